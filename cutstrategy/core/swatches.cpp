#include "swatches.h"

namespace {

constexpr uint32_t kPenColours[kPenColourCount] = {
    SwatchRgb(255, 255, 255), SwatchRgb(0, 0, 0),     SwatchRgb(0, 0, 255),
    SwatchRgb(255, 0, 0),     SwatchRgb(0, 255, 0),   SwatchRgb(255, 0, 255),
    SwatchRgb(255, 255, 0),   SwatchRgb(0, 255, 255), SwatchRgb(153, 102, 51),
};

}  // namespace

std::optional<uint32_t> PenSwatch(int32_t pen) {
    if (pen < 0 || pen >= kPenColourCount) return std::nullopt;
    return kPenColours[pen];
}
