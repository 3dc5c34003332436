#pragma once
// The rules of taking a PLT job in that need no window: the job message's mark grid,
// the mark check against contour mode, the margins in plotter units, and the
// settings the conversion reads.
#include <cstdint>

#include "job_conversion.h"
#include "settings.h"

// x = y = 1000 in the job message means "no mark".
constexpr int32_t kNoMarkGrid = 1000;

struct MarkGrid {
    int32_t x = kNoMarkGrid;  // high word of wParam, signed
    int32_t y = kNoMarkGrid;  // low word, unsigned: the mark row count
};
MarkGrid DecodeMarkGrid(uint32_t wParam);

enum class MarkCheck {
    kTaken,
    kNoMarkSelected,   // contour mode on, but the job names no mark
    kContourModeOff,   // contour mode off, but the job names marks
};
// Only (1000, 1000) means no mark; with contour mode off a job is refused only when
// neither number is 1000.
MarkCheck CheckMarkGrid(bool contourMode, const MarkGrid& grid);
// The balloon text of a refusal (kTaken gives an empty text).
const char* MarkCheckText(MarkCheck check, bool english);

// A margin of the options dialog in plotter units: the single-precision millimetres
// divided by the single-precision 0.025 and truncated, so 10 mm give 399.
int32_t MarginUnits(float mm);

// The settings of the station that the conversion reads.
ConvertSettings ConvertSettingsOf(const StationSettings& s);
