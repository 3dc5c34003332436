#pragma once
// Reading the HP-GL text that the drawing program exports: commands, points,
// the pre-scan of the job's extent and the pen list.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "notice.h"
#include "records.h"

// One node of a path, and the corner record of a bounding box (next = none).
struct PathPoint {
    int32_t x = 0;
    int32_t y = 0;
    PathPoint* next = nullptr;
};

// Extent of a PLT text. The untouched values tell the caller that no point was found.
struct PltBox {
    static constexpr int32_t kNoMax = -2147483647;
    static constexpr int32_t kNoMin = 2147483647;
    PathPoint maxCorner{kNoMax, kNoMax, nullptr};
    PathPoint minCorner{kNoMin, kNoMin, nullptr};
    int32_t width = 0;
    int32_t height = 0;
    bool IsUntouched() const {
        return maxCorner.x == kNoMax && maxCorner.y == kNoMax && minCorner.x == kNoMin &&
               minCorner.y == kNoMin;
    }
};

// Machine preset (1 to 8) for pens 1 to 8.
using PenPresetTable = std::array<int32_t, 8>;

// Cuts the text into commands: CR and LF are dropped, a blank is stored as ",",
// ";" ends a command, and so does the end of the data.
class CCommandReader {
public:
    enum Result { kEnd, kCommand, kFull };
    // capacity: the number of stored characters at which a command is cut off (kFull).
    // PU and PD are never cut off: drawing programs write a whole outline into one of them.
    CCommandReader(std::string_view text, size_t capacity);
    // Goes on with other text: the reader keeps its capacity and starts a fresh command.
    void Reset(std::string_view text) {
        pos_ = text.data();
        end_ = text.data() + text.size();
        len_ = 0;
        spilled_ = false;
    }
    // kEnd when nothing is left; kFull when the command reached the capacity, in which
    // case the byte after it starts the next command.
    Result Next();
    std::string_view Command() const {
        return spilled_ ? std::string_view(spill_) : std::string_view(buf_.data(), len_);
    }

private:
    Result ReadRestOfPointList();

    const char* pos_;
    const char* end_;
    size_t capacity_;
    size_t len_ = 0;
    std::array<char, 256> buf_{};
    bool spilled_ = false;  // the command is a PU or PD longer than the capacity, held in spill_
    std::string spill_;
};

constexpr size_t kScanCommandCapacity = 254;     // 253 characters are accepted (PU and PD: any number)
constexpr size_t kConvertCommandCapacity = 50;   // 49 characters pass silently

// One coordinate as atol reads it (blanks, sign, digits), limited to 11 characters
// and kept within the signed 32-bit range.
int32_t ParseCoordinate(std::string_view text);

// The coordinate pairs of a PU or PD command, one after the other. The first pair reads
// as it always has: x up to the first ",", y after it (nothing after the "," reads 0).
// A further pair needs both numbers: a lone number at the end adds no point.
class CPointList {
public:
    explicit CPointList(std::string_view command);
    bool Next(int32_t& x, int32_t& y);

private:
    std::string_view rest_;
    bool first_ = true;
};

// The first coordinate pair of a PU or PD command. False when the command carries
// no pair: no argument text, or no "," in it.
bool ParsePoint(std::string_view command, int32_t& x, int32_t& y);

// Pre-scan: extent of the PU/PD points and the mark layout lines. False on a format
// error (over-long command, bad mark layout line); the box is written only on success.
bool ScanPlt(std::string_view text, PltBox& box);

// Appends a colour row for every pen of the text not listed yet and sets colour mode.
void ScanPens(std::string_view text, std::vector<SHARPCOLORS>& rows, uint8_t& colourMode,
              const PenPresetTable& presets, bool english, INotice& notice);

// Links a new node {x, y} after node. Ends the program when memory runs out.
PathPoint* InsertPointAfter(PathPoint* node, int32_t x, int32_t y, INotice& notice);

// The band (from 1) that holds both x values, bands being stretches of length
// bandLength. False when no band holds both; band is then left as it was.
bool FindCommonBand(const PathPoint& first, const PathPoint& second, double bandLength,
                    int32_t bandCount, int32_t& band);

// Shows the message and ends the process with exit code 1.
[[noreturn]] void ExitOutOfMemory(INotice& notice, const char* text, const char* caption,
                                  unsigned style);

// Signed 32-bit results of wider arithmetic, wrapping as the 32-bit registers do.
inline int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }
// Truncation toward zero; NaN gives 0 and values outside the 32-bit range saturate.
int32_t TruncToInt32(double v);
