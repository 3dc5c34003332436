#include "aci_palette.h"

#include <array>
#include <cstddef>

namespace {

AciColour Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// 10 to 249: 24 hues 15 degrees apart, each in five brightnesses, full and half saturated.
AciColour HueShade(int index) {
    static const uint32_t kValue[5] = {255, 204, 153, 127, 76};
    int hue = (index - 10) / 10;   // 0 .. 23
    int shade = (index - 10) % 10;
    uint32_t v = kValue[shade / 2];
    int sector = hue / 4, step = hue % 4;  // 60-degree sectors of four 15-degree steps
    uint32_t rising = v * static_cast<uint32_t>(step) / 4;
    uint32_t falling = v - rising;
    uint32_t r = 0, g = 0, b = 0;
    switch (sector) {
    case 0: r = v; g = rising; break;
    case 1: r = falling; g = v; break;
    case 2: g = v; b = rising; break;
    case 3: g = falling; b = v; break;
    case 4: r = rising; b = v; break;
    default: r = v; b = falling; break;
    }
    if (shade % 2) {  // the pale twin: half way to the brightness
        r += (v - r) / 2;
        g += (v - g) / 2;
        b += (v - b) / 2;
    }
    return Rgb(r, g, b);
}

std::array<AciColour, 256> MakePalette() {
    std::array<AciColour, 256> p{};
    const AciColour first[10] = {Rgb(0, 0, 0),       Rgb(255, 0, 0),   Rgb(255, 255, 0), Rgb(0, 255, 0),
                                 Rgb(0, 255, 255),   Rgb(0, 0, 255),   Rgb(255, 0, 255), Rgb(255, 255, 255),
                                 Rgb(128, 128, 128), Rgb(192, 192, 192)};
    for (int i = 0; i < 10; ++i) p[i] = first[i];
    for (int i = 10; i < 250; ++i) p[i] = HueShade(i);
    const uint32_t greys[6] = {0x33, 0x5B, 0x84, 0xAD, 0xD6, 0xFF};
    for (int i = 0; i < 6; ++i) p[250 + i] = Rgb(greys[i], greys[i], greys[i]);
    return p;
}

}  // namespace

AciColour AciPaletteColour(int32_t colourNumber) {
    static const std::array<AciColour, 256> palette = MakePalette();
    if (colourNumber < 0 || colourNumber > 255) return 0;
    return palette[static_cast<size_t>(colourNumber)];
}
