// The cut strategy's records, their array, the cell text of a preset and the swatches.
#include <gtest/gtest.h>

#include "aci_palette.h"
#include "fwarray.h"
#include "preset_cell.h"
#include "records.h"
#include "swatches.h"

namespace {

TEST(CutStrategyRows, ANewLayerRowIsEnabledWithPresetOne) {
    LAYERS row;
    EXPECT_EQ(row.enabled, 1);
    EXPECT_EQ(row.preset, 1);
    EXPECT_TRUE(row.name.empty());
}

TEST(CutStrategyRows, TheArrayChecksEveryIndexAndSwapsWholeRows) {
    CArray<LAYERS> rows;
    EXPECT_THROW(rows[0], CInvalidArgException);
    rows.Add(LAYERS{1, 2, "Outline"});
    rows.Add(LAYERS{0, 7, "Text"});
    rows.Swap(0, 1);
    EXPECT_EQ(rows[0].name, "Text");
    EXPECT_EQ(rows[0].preset, 7);
    EXPECT_EQ(rows[0].enabled, 0);
    EXPECT_EQ(rows[1].name, "Outline");
    for (int bad : {-1, 2, 1 << 30}) {
        EXPECT_THROW(rows.GetAt(bad), CInvalidArgException) << bad;
        EXPECT_THROW(rows.Swap(0, bad), CInvalidArgException) << bad;
    }
    rows.SetSize(0);
    EXPECT_EQ(rows.GetSize(), 0);
    EXPECT_THROW(rows.SetSize(-1), CInvalidArgException);
}

TEST(CutStrategyRows, OnlyATextEndingInADigitOneToEightNamesAPreset) {
    struct { const char* text; int preset; } cases[] = {
        {"预设参数#5", 5}, {"Preset#8", 8}, {"abc1", 1}, {"", 0}, {"Preset#9", 0},
        {"Preset#0", 0}, {"x", 0}, {"5 ", 0}, {"预设参数", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(PresetFromCellText(c.text), c.preset) << c.text;
}

TEST(CutStrategySwatches, PenColoursAreTheTableAndOtherPensHaveNone) {
    EXPECT_EQ(PenSwatch(0), SwatchRgb(255, 255, 255));
    EXPECT_EQ(PenSwatch(1), SwatchRgb(0, 0, 0));
    EXPECT_EQ(PenSwatch(2), SwatchRgb(0, 0, 255));
    EXPECT_EQ(PenSwatch(3), SwatchRgb(255, 0, 0));
    EXPECT_EQ(PenSwatch(8), SwatchRgb(153, 102, 51));
    for (int pen : {-1, 9, 256, INT32_MIN, INT32_MAX}) EXPECT_FALSE(PenSwatch(pen)) << pen;
}

TEST(CutStrategySwatches, AciPaletteHoldsThePublishedColours) {
    struct { int index; uint32_t colour; } cases[] = {
        {0, 0x000000}, {1, 0x0000FF}, {2, 0x00FFFF}, {3, 0x00FF00}, {4, 0xFFFF00}, {5, 0xFF0000},
        {6, 0xFF00FF}, {7, 0xFFFFFF}, {8, 0x808080}, {9, 0xC0C0C0}, {10, 0x0000FF}, {11, 0x7F7FFF},
        {12, 0x0000CC}, {13, 0x6666CC}, {20, 0x003FFF}, {21, 0x7F9FFF}, {30, 0x007FFF}, {50, 0x00FFFF},
        {90, 0x00FF00}, {130, 0xFFFF00}, {170, 0xFF0000}, {210, 0xFF00FF}, {18, 0x00004C}, {19, 0x26264C},
        {250, 0x333333}, {251, 0x5B5B5B}, {252, 0x848484}, {253, 0xADADAD}, {254, 0xD6D6D6}, {255, 0xFFFFFF},
        // Falling channels truncate like rising ones: 191, 127, 63, never 192, 128, 64.
        {60, 0x00FFBF}, {61, 0x7FFFDF}, {64, 0x009972}, {66, 0x007F5F}, {70, 0x00FF7F}, {80, 0x00FF3F},
        {140, 0xFFBF00}, {150, 0xFF7F00}, {155, 0x99724C}, {160, 0xFF3F00}, {220, 0xBF00FF}, {230, 0x7F00FF},
        {236, 0x3F007F}, {240, 0x3F00FF}, {245, 0x5F4C99}, {249, 0x2F264C},
    };
    for (const auto& c : cases) EXPECT_EQ(AciPaletteEntry(c.index), c.colour) << c.index;
    for (int index : {-1, 256, 300, INT32_MIN, INT32_MAX}) EXPECT_FALSE(AciPaletteEntry(index)) << index;
}

}  // namespace
