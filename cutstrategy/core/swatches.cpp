#include "swatches.h"

#include <array>

namespace {

constexpr uint32_t kPenColours[kPenColourCount] = {
    SwatchRgb(255, 255, 255), SwatchRgb(0, 0, 0),     SwatchRgb(0, 0, 255),
    SwatchRgb(255, 0, 0),     SwatchRgb(0, 255, 0),   SwatchRgb(255, 0, 255),
    SwatchRgb(255, 255, 0),   SwatchRgb(0, 255, 255), SwatchRgb(153, 102, 51),
};

// Entries 10 to 249 are 24 hues, 15 degrees apart starting at red, in ten shades:
// even shades are the full colour, odd ones the same brightness half washed out,
// at five brightness steps.
std::array<uint32_t, kAciColourCount> BuildAci() {
    std::array<uint32_t, kAciColourCount> t{};
    const uint32_t fixed[10] = {
        SwatchRgb(0, 0, 0),     SwatchRgb(255, 0, 0),     SwatchRgb(255, 255, 0), SwatchRgb(0, 255, 0),
        SwatchRgb(0, 255, 255), SwatchRgb(0, 0, 255),     SwatchRgb(255, 0, 255), SwatchRgb(255, 255, 255),
        SwatchRgb(128, 128, 128), SwatchRgb(192, 192, 192)};
    for (int i = 0; i < 10; ++i) t[static_cast<size_t>(i)] = fixed[i];
    const int brightness[5] = {255, 204, 153, 127, 76};
    for (int i = 10; i < 250; ++i) {
        int hue = (i - 10) / 10 * 15;  // degrees
        int shade = (i - 10) % 10;
        double v = brightness[shade / 2];
        double low = (shade % 2) ? static_cast<int>(v / 2) : 0.0;
        // Hue to red, green, blue between low and v, as in HSV.
        auto channel = [&](int offset) {
            int h = (hue + offset) % 360;
            double f;
            if (h < 60) f = 1.0;
            else if (h < 120) f = (120 - h) / 60.0;
            else if (h < 240) f = 0.0;
            else if (h < 300) f = (h - 240) / 60.0;
            else f = 1.0;
            return static_cast<uint32_t>(low + (v - low) * f);
        };
        t[static_cast<size_t>(i)] = SwatchRgb(channel(0), channel(240), channel(120));
    }
    const uint32_t greys[6] = {0x33, 0x5B, 0x84, 0xAD, 0xD6, 0xFF};
    for (int i = 0; i < 6; ++i) t[static_cast<size_t>(250 + i)] = SwatchRgb(greys[i], greys[i], greys[i]);
    return t;
}

}  // namespace

std::optional<uint32_t> PenSwatch(int32_t pen) {
    if (pen < 0 || pen >= kPenColourCount) return std::nullopt;
    return kPenColours[pen];
}

std::optional<uint32_t> AciSwatch(int32_t index) {
    static const std::array<uint32_t, kAciColourCount> table = BuildAci();
    if (index < 0 || index >= kAciColourCount) return std::nullopt;
    return table[static_cast<size_t>(index)];
}
