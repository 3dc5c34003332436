#include "dxf_guard.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// One line as dxflib's reader takes it: cut at the first NUL byte, trailing line ends gone.
struct Line {
    const char* text;
    size_t length;
    bool terminated;  // ended by a line feed (otherwise the data ends here)
};

// dxflib reads group codes and counts with strtol and keeps an int.
int ToIntLikeDxflib(const char* text, size_t length) {
    char buf[kMaxDxfLineBytes + 1];
    std::memcpy(buf, text, length);
    buf[length] = '\0';
    char* end;
    return static_cast<int>(std::strtol(buf, &end, 10));
}

enum Kind { kOther, kLwPolyline, kSpline, kLeader };

// Largest counts an entity announced, and the element groups it really holds.
struct EntityCounts {
    Kind kind = kOther;
    uint32_t line = 0;         // line of the largest count
    long long vertices = 0;    // LWPOLYLINE 90, LEADER 76
    long long knots = 0;       // SPLINE 72
    long long controls = 0;    // SPLINE 73
    long long fits = 0;        // SPLINE 74
    long long groups10 = 0, groups40 = 0, groups11 = 0;

    static bool Holds(long long announced, long long present) {
        return announced <= kDxfCountSlack || announced <= present;
    }
    bool Fits() const {
        switch (kind) {
        case kLwPolyline:
        case kLeader: return Holds(vertices, groups10);
        case kSpline:
            return Holds(knots, groups40) && Holds(controls, groups10) && Holds(fits, groups11);
        default: return true;
        }
    }
    void Announce(long long& slot, int value, uint32_t at) {
        if (value > slot) {
            slot = value;
            line = at;
        }
    }
};

}  // namespace

DxfCheck CheckDxfText(const char* data, size_t size) {
    DxfCheck result;
    if (size > kMaxDxfBytes) {
        result.verdict = DxfCheck::kTooLarge;
        return result;
    }

    // Every line is read, so every line has to fit.
    {
        uint32_t lineNo = 1;
        for (size_t pos = 0;; ++lineNo) {
            const void* nl = pos < size ? std::memchr(data + pos, '\n', size - pos) : nullptr;
            const size_t raw = nl ? static_cast<const char*>(nl) - (data + pos) : size - pos;
            if (raw > kMaxDxfLineBytes) {
                result.verdict = DxfCheck::kLineTooLong;
                result.line = lineNo;
                return result;
            }
            if (!nl) break;
            pos += raw + 1;
        }
    }

    size_t pos = 0;
    uint32_t lineNo = 0;
    auto next = [&]() {
        ++lineNo;
        const char* start = size ? data + pos : "";
        const void* nl = pos < size ? std::memchr(start, '\n', size - pos) : nullptr;
        const size_t raw = nl ? static_cast<const char*>(nl) - start : size - pos;
        pos += raw + (nl ? 1 : 0);
        size_t len = std::find(start, start + raw, '\0') - start;
        while (len > 0 && (start[len - 1] == '\r' || start[len - 1] == '\n')) --len;
        return Line{start, len, nl != nullptr};
    };

    EntityCounts entity;
    for (;;) {
        const Line code = next();
        if (!code.terminated) break;  // the reader stops before taking this group
        const Line value = next();
        const unsigned groupCode = static_cast<unsigned>(ToIntLikeDxflib(code.text, code.length));
        if (groupCode == 0 || groupCode == 9) {
            if (!entity.Fits()) break;
            entity = EntityCounts();
            const std::string v(value.text, value.length);
            if (v == "LWPOLYLINE") entity.kind = kLwPolyline;
            else if (v == "SPLINE") entity.kind = kSpline;
            else if (v == "LEADER") entity.kind = kLeader;
        } else if (groupCode != 999 && groupCode < 1100 && entity.kind != kOther) {
            if (groupCode == 10) {
                ++entity.groups10;
            } else if (groupCode == 11) {
                ++entity.groups11;
            } else if (groupCode == 40) {
                ++entity.groups40;
            } else if (entity.kind == kSpline &&
                       (groupCode == 72 || groupCode == 73 || groupCode == 74)) {
                const int n = ToIntLikeDxflib(value.text, value.length);
                entity.Announce(groupCode == 72 ? entity.knots
                                : groupCode == 73 ? entity.controls
                                                  : entity.fits,
                                n, lineNo);
            } else if ((entity.kind == kLwPolyline && groupCode == 90) ||
                       (entity.kind == kLeader && groupCode == 76)) {
                entity.Announce(entity.vertices, ToIntLikeDxflib(value.text, value.length),
                                lineNo);
            }
        }
        if (!value.terminated) break;
    }
    if (!entity.Fits()) {
        result.verdict = DxfCheck::kCountTooLarge;
        result.line = entity.line;
    }
    return result;
}
