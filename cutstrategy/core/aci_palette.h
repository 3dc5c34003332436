#pragma once
// The AutoCAD Color Index palette: what the converter draws each colour number in and
// what the cut strategy's colour rows show as swatches.
#include <cstdint>
#include <optional>

// 0x00BBGGRR, as a Win32 COLORREF.
using AciColour = uint32_t;

constexpr int kAciColourCount = 256;

// The palette entry; none for a colour number outside 0 to 255 (the dialog then keeps
// the list's own background).
std::optional<AciColour> AciPaletteEntry(int32_t colourNumber);

// Colour numbers outside 0 to 255 (only a malformed drawing brings them) are drawn black,
// so they stay visible on the white sheet.
AciColour AciPaletteColour(int32_t colourNumber);
