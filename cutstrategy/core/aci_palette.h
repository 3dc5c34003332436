#pragma once
// The AutoCAD Color Index palette: what the converter draws each colour number in and
// what the cut strategy's colour rows show as swatches.
#include <cstdint>

// 0x00BBGGRR, as a Win32 COLORREF.
using AciColour = uint32_t;

// Colour numbers outside 0 to 255 (only a malformed drawing brings them) are drawn black,
// so they stay visible on the white sheet.
AciColour AciPaletteColour(int32_t colourNumber);
