#pragma once
// The items of the cutter command stream and the fixed texts the station lays out
// around a job's paths (headers, start block, trailers).
#include <charconv>
#include <cstdint>
#include <string>

constexpr const char kOpenMove[] = "U0,0 ";
constexpr const char kStartBlock[] = "U0,0 D0,0,0,40 U ";
constexpr const char kDashOn[] = "L1;";
constexpr const char kDashOff[] = "L0;";

inline void AppendInt(std::string& out, int64_t v) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, static_cast<size_t>(r.ptr - buf));
}

// Point items: station x, then station y.
inline void AppendPair(std::string& out, int32_t x, int32_t y) {
    AppendInt(out, x);
    out.push_back(',');
    AppendInt(out, y);
}
inline void AppendMove(std::string& out, int32_t x, int32_t y) {
    out.push_back('U');
    AppendPair(out, x, y);
    out.push_back(' ');
}
inline void AppendCut(std::string& out, int32_t x, int32_t y) {
    out.push_back('D');
    AppendPair(out, x, y);
    out.push_back(' ');
}
// A cut run: the open item, one continuation per further point, then the closing blank.
inline void AppendOpenCut(std::string& out, int32_t x, int32_t y) {
    out.push_back('D');
    AppendPair(out, x, y);
}
inline void AppendContinuation(std::string& out, int32_t x, int32_t y) {
    out.push_back(',');
    AppendPair(out, x, y);
}
inline void AppendRunEnd(std::string& out) { out.push_back(' '); }

// "S#%d;" with the machine preset minus 1.
void AppendPresetSwitch(std::string& out, int32_t preset);
// Job length and width of a single stream: "I%d,%d ".
void AppendSizeHeader(std::string& out, int32_t length, int32_t width);
// The registration-mark numbers and the barcode number: "GM%d,%d,%d;".
void AppendMarkHeader(std::string& out, int32_t gridX, int32_t gridY, int32_t value);
// "I%d,%d " for a band of a segmented job.
void AppendBandHeader(std::string& out, int32_t bandLength, int32_t width);
// The first contour part, "I%d,%d GF0,0; GB%04d; GP; ", and the further ones, "I%d,%d GQ;GP; ".
void AppendFirstPartHeader(std::string& out, int32_t partLength, int32_t width, int32_t barcode);
void AppendPartHeader(std::string& out, int32_t partLength, int32_t width);

// Values the trailers are made of. All lengths in plotter units.
struct TrailerValues {
    int32_t model = 0;        // 0, 1 or 2; any other value writes the model 0 forms
    bool copiesOn = false;
    int32_t copies = 0;       // C
    int32_t spacing = 0;      // S, copy spacing in plotter units
    bool contour = false;
    bool feed = false;        // CanFeedPaper
    int32_t feedX = 0;        // trunc(40 x XSTEPS)
    int32_t feedY = 0;        // trunc(40 x YSTEPS)
};

void AppendSingleTrailer(std::string& out, int32_t length, const TrailerValues& v);
void AppendBandTrailer(std::string& out, bool last, int32_t bandLength, int32_t lastLength,
                       const TrailerValues& v);
void AppendPartTrailer(std::string& out, bool last, int32_t partLength, const TrailerValues& v);
