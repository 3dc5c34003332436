#include "job_intake.h"

MarkGrid DecodeMarkGrid(uint32_t wParam) {
    MarkGrid g;
    g.x = static_cast<int16_t>(static_cast<uint16_t>(wParam >> 16));
    g.y = static_cast<uint16_t>(wParam & 0xFFFF);
    return g;
}

MarkCheck CheckMarkGrid(bool contourMode, const MarkGrid& grid) {
    if (contourMode) return grid.x == kNoMarkGrid && grid.y == kNoMarkGrid ? MarkCheck::kNoMarkSelected : MarkCheck::kTaken;
    return grid.x != kNoMarkGrid && grid.y != kNoMarkGrid ? MarkCheck::kContourModeOff : MarkCheck::kTaken;
}

const char* MarkCheckText(MarkCheck check, bool english) {
    switch (check) {
    case MarkCheck::kNoMarkSelected:
        return english ? "No any mark is selected!" : "没有选中任何标记!";
    case MarkCheck::kContourModeOff:
        return english ? "Cut picture mode is off!" : "切割图片模式未开启!";
    default:
        return "";
    }
}

int32_t MarginUnits(float mm) {
    // The divisor is the single-precision 0.025 (a little above 0.025), so the quotient
    // of 10 mm is just below 400.
    return TruncToInt32(static_cast<double>(mm) / static_cast<double>(0.025f));
}

ConvertSettings ConvertSettingsOf(const StationSettings& s) {
    ConvertSettings c;
    c.model = s.modelIndex;
    c.segEnable = s.segEnble != 0;
    c.segLen = s.segLen;
    c.contourMode = s.cutImageMode != 0;
    c.flagColor = s.flagColor;
    c.closeEnable = s.closeEnble != 0;
    c.canFeedPaper = s.canFeedPaper != 0;
    c.xSteps = s.xSteps;
    c.ySteps = s.ySteps;
    c.usePresets = s.usePresetPa != 0;
    c.path.dashedMode = s.dashedMode != 0;
    c.path.solidLineLen = s.solidLineLen;
    c.path.jumpLineLen = s.jumpLineLen;
    c.path.closeOffset = s.closeOffset;
    return c;
}
