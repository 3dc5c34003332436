#include "aci_palette.h"

#include <array>
#include <cstddef>

namespace {

constexpr AciColour Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// Entries 10 to 249 are 24 hues, 15 degrees apart starting at red, in ten shades: even
// shades are the full colour, odd ones the same brightness half washed out, at five
// brightness steps. Each channel is truncated from its exact value, as the published table
// has it (hue 75 degrees at full brightness is 191, 255, 0).
AciColour HueShade(int index) {
    static const int kBrightness[5] = {255, 204, 153, 127, 76};
    const int hue = (index - 10) / 10 * 15;  // degrees
    const int shade = (index - 10) % 10;
    const double v = kBrightness[shade / 2];
    const double low = (shade % 2) ? static_cast<int>(v / 2) : 0.0;
    // The channel's share of the brightness at this hue, as in HSV.
    auto channel = [&](int offset) {
        const int h = (hue + offset) % 360;
        double f;
        if (h < 60) f = 1.0;
        else if (h < 120) f = (120 - h) / 60.0;
        else if (h < 240) f = 0.0;
        else if (h < 300) f = (h - 240) / 60.0;
        else f = 1.0;
        return static_cast<uint32_t>(low + (v - low) * f);
    };
    return Rgb(channel(0), channel(240), channel(120));
}

std::array<AciColour, kAciColourCount> MakePalette() {
    std::array<AciColour, kAciColourCount> p{};
    const AciColour first[10] = {Rgb(0, 0, 0),       Rgb(255, 0, 0),   Rgb(255, 255, 0), Rgb(0, 255, 0),
                                 Rgb(0, 255, 255),   Rgb(0, 0, 255),   Rgb(255, 0, 255), Rgb(255, 255, 255),
                                 Rgb(128, 128, 128), Rgb(192, 192, 192)};
    for (int i = 0; i < 10; ++i) p[static_cast<size_t>(i)] = first[i];
    for (int i = 10; i < 250; ++i) p[static_cast<size_t>(i)] = HueShade(i);
    const uint32_t greys[6] = {0x33, 0x5B, 0x84, 0xAD, 0xD6, 0xFF};
    for (int i = 0; i < 6; ++i) p[static_cast<size_t>(250 + i)] = Rgb(greys[i], greys[i], greys[i]);
    return p;
}

}  // namespace

std::optional<AciColour> AciPaletteEntry(int32_t colourNumber) {
    static const std::array<AciColour, kAciColourCount> palette = MakePalette();
    if (colourNumber < 0 || colourNumber >= kAciColourCount) return std::nullopt;
    return palette[static_cast<size_t>(colourNumber)];
}

AciColour AciPaletteColour(int32_t colourNumber) { return AciPaletteEntry(colourNumber).value_or(0); }
