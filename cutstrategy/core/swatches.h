#pragma once
// Colours of the cut strategy's colour rows, as Windows COLORREF values (0x00BBGGRR):
// the station's pen colours (pens 0 to 8) and the AutoCAD Color Index palette (0 to 255).
#include <cstdint>
#include <optional>

constexpr uint32_t SwatchRgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

constexpr int kPenColourCount = 9;
constexpr int kAciColourCount = 256;

// The pen's colour; none for a pen number the table does not hold.
std::optional<uint32_t> PenSwatch(int32_t pen);
// The palette entry; none for a colour number outside 0 to 255.
std::optional<uint32_t> AciSwatch(int32_t index);
