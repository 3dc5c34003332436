#include "cutter_language.h"

#include <cstdarg>
#include <cstdio>

#include "plt_reader.h"

namespace {

void Appendf(std::string& out, const char* format, ...) {
    char buf[256];
    va_list ap;
    va_start(ap, format);
    int n = std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    if (n > 0) out.append(buf, static_cast<size_t>(n < static_cast<int>(sizeof buf) ? n : sizeof buf - 1));
}

// Sums in the trailers wrap like the 32-bit values they are made of.
int32_t Sum(int32_t a, int32_t b) { return Wrap32(static_cast<int64_t>(a) + b); }

}  // namespace

void AppendPresetSwitch(std::string& out, int32_t preset) {
    Appendf(out, "S#%d;", static_cast<int>(Sum(preset, -1)));
}

void AppendSizeHeader(std::string& out, int32_t length, int32_t width) {
    Appendf(out, "I%d,%d ", static_cast<int>(length), static_cast<int>(width));
}

void AppendMarkHeader(std::string& out, int32_t gridX, int32_t gridY, int32_t value) {
    Appendf(out, "GM%d,%d,%d;", static_cast<int>(gridX), static_cast<int>(gridY), static_cast<int>(value));
}

void AppendBandHeader(std::string& out, int32_t bandLength, int32_t width) {
    Appendf(out, "I%d,%d ", static_cast<int>(bandLength), static_cast<int>(width));
}

void AppendFirstPartHeader(std::string& out, int32_t partLength, int32_t width, int32_t barcode) {
    Appendf(out, "I%d,%d GF%d,%d; GB%04d; GP; ", static_cast<int>(partLength), static_cast<int>(width), 0, 0,
            static_cast<int>(barcode));
}

void AppendPartHeader(std::string& out, int32_t partLength, int32_t width) {
    Appendf(out, "I%d,%d GQ;GP; ", static_cast<int>(partLength), static_cast<int>(width));
}

void AppendSingleTrailer(std::string& out, int32_t L, const TrailerValues& v) {
    const int C = v.copies;
    const int LS = Sum(L, v.spacing);
    if (v.copiesOn) {
        if (v.contour) Appendf(out, "U%d,0 GE; U%d,0 @ ", static_cast<int>(L), LS);
        else Appendf(out, "U%d,0 U%d,0 @ ", static_cast<int>(L), LS);
        if (v.model == 2) Appendf(out, "GR%d;GC%d,0;VM0;", LS, C);
        else Appendf(out, "GC%d,0;", C);
        return;
    }
    if (v.model == 1 || v.model == 2) {
        Appendf(out, "U%d,0 @ VM0;", static_cast<int>(L));
    } else if (v.feed) {
        if (v.contour) Appendf(out, "U%d,0 GE; U%d,%d @ ", static_cast<int>(L), Sum(L, v.feedY), static_cast<int>(v.feedX));
        else Appendf(out, "U%d,%d @ ", Sum(L, v.feedY), static_cast<int>(v.feedX));
    } else {
        Appendf(out, "U%d,0 @ ", static_cast<int>(L));
    }
}

void AppendBandTrailer(std::string& out, bool last, int32_t B, int32_t R, const TrailerValues& v) {
    if (!last) {
        Appendf(out, "U%d,0 @ ", static_cast<int>(B));
        if (v.model == 2) Appendf(out, "GR%d;", static_cast<int>(B));
        return;
    }
    if (v.copiesOn) {
        const int RS = Sum(R, v.spacing);
        Appendf(out, "U%d,0 @ ", RS);
        if (v.model == 2) Appendf(out, "GR%d;GC%d,0;VM0; ", RS, static_cast<int>(v.copies));
        else Appendf(out, "GC%d,0; ", static_cast<int>(v.copies));
        return;
    }
    Appendf(out, "U%d,0 @ ", static_cast<int>(R));
    if (v.model == 2) Appendf(out, "GR%d;VM0; ", static_cast<int>(R));
}

void AppendPartTrailer(std::string& out, bool last, int32_t P, const TrailerValues& v) {
    const int p = P;
    if (v.model != 2) {
        if (v.copiesOn && last) {
            Appendf(out, "U%d,0 GE;U%d,0 @ ", p, Sum(P, v.spacing));
            Appendf(out, "GC%d,0;", static_cast<int>(v.copies));
        } else {
            Appendf(out, "U%d,0 GE;U%d,0 @ ", p, p);
        }
        return;
    }
    if (v.copiesOn && last) {
        const int PS = Sum(P, v.spacing);
        Appendf(out, "U%d,0 GE;U%d,0 @ ", p, PS);
        Appendf(out, "GR%d;GC%d,0;VM0;", PS, static_cast<int>(v.copies));
        return;
    }
    Appendf(out, "U%d,0 GE; @ GR%d;", p, p);
    if (last) out += "VM0;";
}
