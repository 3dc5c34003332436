#include "plt_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

// At least the two characters of the mnemonic fit, so a cut-off command is known to be no
// PU or PD.
CCommandReader::CCommandReader(std::string_view text, size_t capacity)
    : pos_(text.data()), end_(text.data() + text.size()),
      capacity_(capacity < 2 ? 2 : (capacity > 255 ? 255 : capacity)) {}

CCommandReader::Result CCommandReader::Next() {
    len_ = 0;
    spilled_ = false;
    if (pos_ == end_) return kEnd;
    while (pos_ != end_) {
        char c = *pos_++;
        if (c == '\r' || c == '\n') continue;
        if (c == ';') return kCommand;
        buf_[len_++] = (c == ' ') ? ',' : c;
        if (len_ == capacity_) {
            if (buf_[0] == 'P' && (buf_[1] == 'U' || buf_[1] == 'D')) return ReadRestOfPointList();
            return kFull;
        }
    }
    // The data ended inside a command, or only line breaks were left.
    return len_ ? kCommand : kEnd;
}

CCommandReader::Result CCommandReader::ReadRestOfPointList() {
    spill_.assign(buf_.data(), len_);
    spilled_ = true;
    while (pos_ != end_) {
        const char* run = pos_;
        while (pos_ != end_ && *pos_ != ';' && *pos_ != '\r' && *pos_ != '\n' && *pos_ != ' ') ++pos_;
        spill_.append(run, pos_);
        if (pos_ == end_) break;
        const char c = *pos_++;
        if (c == ';') break;
        if (c == ' ') spill_ += ',';
    }
    return kCommand;
}

int32_t ParseCoordinate(std::string_view text) {
    if (text.size() > 11) text = text.substr(0, 11);
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');  // 11 characters cannot overflow 64 bits
    }
    if (negative) v = -v;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

namespace {

// Blanks were stored as commas: "PU 5 7" reads as "PU,5,7", so separators in front of a
// number are skipped.
std::string_view SkipSeparators(std::string_view s) {
    s.remove_prefix(std::min(s.find_first_not_of(','), s.size()));
    return s;
}

}  // namespace

CPointList::CPointList(std::string_view command)
    : rest_(command.size() < 3 ? std::string_view() : command.substr(2)) {}

bool CPointList::Next(int32_t& x, int32_t& y) {
    std::string_view s = SkipSeparators(rest_);
    const size_t comma = s.find(',');
    if (comma == std::string_view::npos) {
        rest_ = std::string_view();
        return false;
    }
    const std::string_view xText = s.substr(0, comma);
    s = SkipSeparators(s.substr(comma + 1));
    if (s.empty() && !first_) {
        rest_ = std::string_view();
        return false;
    }
    const size_t end = std::min(s.find(','), s.size());
    x = ParseCoordinate(xText);
    y = ParseCoordinate(s.substr(0, end));
    rest_ = s.substr(end);
    first_ = false;
    return true;
}

bool ParsePoint(std::string_view command, int32_t& x, int32_t& y) { return CPointList(command).Next(x, y); }

int32_t TruncToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

namespace {

bool Contains(std::string_view s, const char* what) { return s.find(what) != std::string_view::npos; }

struct MarkLineResult {
    bool ok = true;        // false: the scan fails
    bool accepted = false; // a form matched with its field count
    bool gc = false;
    float size = 0.0f;
};

// Count of converted fields of one sscanf form, and the second real.
int ScanForm(const std::string& line, const char* format, bool longForm, float& size) {
    int i1 = 0, i2 = 0;
    float f[5] = {0, 0, 0, 0, 0};
    int n = longForm ? std::sscanf(line.c_str(), format, &i1, &f[0], &f[1], &f[2], &f[3], &f[4], &i2)
                     : std::sscanf(line.c_str(), format, &i1, &f[0], &f[1], &f[2], &f[3]);
    if (n >= 3) size = f[1];
    return n;
}

MarkLineResult ReadMarkLine(std::string_view command) {
    MarkLineResult r;
    const std::string line(command);
    struct Form { const char* format; bool longForm; int need; bool atLeast; bool gc; };
    const Form* form = nullptr;
    static const Form kSaSegmentV{"$1:SA,regmark,segment,type2V,%d,%f,%f,%f,%f,%f,%d", true, 7, false, false};
    static const Form kSaAreaV{"$1:SA,regmark,segment,area,type2V,%d,%f,%f,%f,%f", false, 5, false, false};
    static const Form kSaAreaH{"$1:SA,regmark,segment,area,type2H,%d,%f,%f,%f,%f", false, 5, false, false};
    static const Form kSaAuto{"$1:SA,regmark,type2,auto,%d,%f,%f,%f,%f,%f,%d", true, 5, true, false};
    static const Form kGcAuto{"$1:GC,Regmark,Type-2,Auto,%d,%f,%f,%f,%f", false, 5, false, true};
    static const Form kGcAreaV{"$1:GC,Regmark,Segment,Area,Type-2V,%d,%f,%f,%f,%f", false, 5, false, true};
    static const Form kGcAreaH{"$1:GC,Regmark,Segment,Area,Type-2H,%d,%f,%f,%f,%f", false, 5, false, true};
    if (Contains(command, "SA,regmark")) {
        if (Contains(command, "SA,regmark,segment,type2V")) form = &kSaSegmentV;
        else if (Contains(command, "SA,regmark,segment,area")) {
            if (Contains(command, "type2V")) form = &kSaAreaV;
            else if (Contains(command, "type2H")) form = &kSaAreaH;
        } else if (Contains(command, "SA,regmark,type2,auto")) form = &kSaAuto;
    } else if (Contains(command, "GC,Regmark")) {
        if (Contains(command, "GC,Regmark,Type-2,Auto")) form = &kGcAuto;
        else if (Contains(command, "GC,Regmark,Segment,Area,Type-2V")) form = &kGcAreaV;
        else if (Contains(command, "GC,Regmark,Segment,Area,Type-2H")) form = &kGcAreaH;
    } else {
        return r;  // some other "$" line: ignored
    }
    if (!form) {
        r.ok = false;
        return r;
    }
    float size = 0.0f;
    int n = ScanForm(line, form->format, form->longForm, size);
    if (form->atLeast ? n < form->need : n != form->need) {
        r.ok = false;
        return r;
    }
    r.accepted = true;
    r.gc = form->gc;
    r.size = size;
    return r;
}

}  // namespace

bool ScanPlt(std::string_view text, PltBox& box) {
    CCommandReader reader(text, kScanCommandCapacity);
    bool gcSeen = false;
    bool pointSeen = false;
    float markSize = 0.0f;
    int64_t maxX = PltBox::kNoMax, maxY = PltBox::kNoMax, minX = PltBox::kNoMin, minY = PltBox::kNoMin;

    CCommandReader::Result r = reader.Next();
    while (r != CCommandReader::kEnd) {
        if (r == CCommandReader::kFull) return false;
        std::string_view cmd = reader.Command();
        if (cmd.size() >= 2 && cmd[0] == 'P' && cmd[1] == 'U') {
            // The PU and the "?D" commands after it.
            for (;;) {
                if (reader.Command().size() < 3) {
                    r = reader.Next();
                    break;
                }
                CPointList points(reader.Command());
                for (int32_t x, y; points.Next(x, y);) {
                    pointSeen = true;
                    if (x > maxX) maxX = x;
                    if (y > maxY) maxY = y;
                    if (x < minX) minX = x;
                    if (y < minY) minY = y;
                }
                r = reader.Next();
                if (r == CCommandReader::kEnd) break;
                if (r == CCommandReader::kFull) return false;
                std::string_view next = reader.Command();
                if (!(next.size() >= 2 && next[1] == 'D')) break;  // examined next
            }
            continue;
        }
        if (!cmd.empty() && cmd[0] == '$') {
            MarkLineResult m = ReadMarkLine(cmd);
            if (!m.ok) return false;
            if (m.accepted) {
                markSize = m.size;
                gcSeen = gcSeen || m.gc;
            }
        }
        r = reader.Next();
    }
    // Half the mark size in plotter units; only a box with points is adjusted, so an
    // empty job keeps the untouched values that mark it as empty.
    if (gcSeen && pointSeen) {
        // Only the size and the factor are single precision; the product is not rounded
        // to float, so a 9-point mark gives 63, not 64.
        int32_t m = TruncToInt32(static_cast<double>(markSize) * static_cast<double>(14.111111f) * 0.5 + 0.5);
        maxX -= m;
        maxY -= m;
        minX += m;
        minY += m;
    }
    box.maxCorner = PathPoint{Wrap32(maxX), Wrap32(maxY), nullptr};
    box.minCorner = PathPoint{Wrap32(minX), Wrap32(minY), nullptr};
    box.width = Wrap32(std::llabs(static_cast<long long>(box.maxCorner.x) - box.minCorner.x));
    box.height = Wrap32(std::llabs(static_cast<long long>(box.maxCorner.y) - box.minCorner.y));
    return true;
}

void ScanPens(std::string_view text, std::vector<SHARPCOLORS>& rows, uint8_t& colourMode,
              const PenPresetTable& presets, bool english, INotice& notice) {
    // The text is taken as a C string: it ends at a NUL byte.
    size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    size_t pos = 0;
    while ((pos = text.find("SP", pos)) != std::string_view::npos) {
        if (pos + 2 >= text.size()) break;
        char c = text[pos + 2];
        pos += 2;
        if (c == '0') continue;
        int32_t pen;
        if (c >= '1' && c <= '8') {
            pen = c - '0';
        } else {
            notice.Show(english ? "Unsupported pen color! \nHas been automatically converted to black pen!"
                                : "不支持的笔颜色!\n已自动转换成黑色笔!",
                        std::string(), kNoticeOk);
            pen = 1;
        }
        bool listed = false;
        for (const SHARPCOLORS& row : rows) {
            if (row.colour == pen) {
                listed = true;
                break;
            }
        }
        if (!listed) {
            rows.push_back(SHARPCOLORS{1, static_cast<uint8_t>(presets[static_cast<size_t>(pen - 1)]), pen});
        }
    }
    colourMode = 1;
}

void ExitOutOfMemory(INotice& notice, const char* text, const char* caption, unsigned style) {
    notice.Show(text, caption, style);
    std::exit(1);
}

PathPoint* InsertPointAfter(PathPoint* node, int32_t x, int32_t y, INotice& notice) {
    PathPoint* p = new (std::nothrow) PathPoint;
    if (!p) ExitOutOfMemory(notice, "Not enough memory to allocate buffer ", "error", kNoticeIconError);
    p->x = x;
    p->y = y;
    p->next = node->next;
    node->next = p;
    return p;
}

bool FindCommonBand(const PathPoint& first, const PathPoint& second, double bandLength,
                    int32_t bandCount, int32_t& band) {
    const int64_t a = first.x, b = second.x;
    if (a <= 0 && b <= 0) {
        band = 1;
        return true;
    }
    const double T = std::trunc(static_cast<double>(bandCount) * bandLength);
    if (static_cast<double>(a) >= T && static_cast<double>(b) >= T) {
        band = bandCount;
        return true;
    }
    if (bandCount <= 0) return false;
    // The bands are in order along x, so the walk can start just below the smaller
    // point and stop once a band starts above it.
    const int64_t low = a < b ? a : b;
    int64_t i = 0;
    if (bandLength > 0 && low > 0) {
        double start = std::floor(static_cast<double>(low) / bandLength) - 2;
        if (start > 0) i = start >= bandCount ? bandCount : static_cast<int64_t>(start);
    }
    for (; i < bandCount; ++i) {
        const double lo = std::trunc(static_cast<double>(i) * bandLength);
        const double hi = std::trunc(static_cast<double>(i + 1) * bandLength);
        if (lo > static_cast<double>(low)) break;
        if (lo <= a && a <= hi && lo <= b && b <= hi) {
            band = static_cast<int32_t>(i + 1);
            return true;
        }
    }
    return false;
}
