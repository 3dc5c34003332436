#pragma once
// The station's pen colours, the swatches of its cut strategy's colour rows, as Windows
// COLORREF values (0x00BBGGRR). The converter's rows take theirs from the ACI palette
// (aci_palette.h).
#include <cstdint>
#include <optional>

constexpr uint32_t SwatchRgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

constexpr int kPenColourCount = 9;

// The pen's colour; none for a pen number the table does not hold.
std::optional<uint32_t> PenSwatch(int32_t pen);
