#include <gtest/gtest.h>

#include "job_intake.h"

TEST(JobIntake, MarkGridComesFromTheHighAndLowWords) {
    struct Case {
        uint32_t wParam;
        int32_t x, y;
    };
    const Case cases[] = {
        {(1000u << 16) | 1000u, 1000, 1000},
        {(1000u << 16) | 5u, 1000, 5},
        {(3u << 16) | 2u, 3, 2},
        {0xFFFF0000u | 0xFFFFu, -1, 65535},  // x is signed, y is not
        {0x80000000u, -32768, 0},
    };
    for (const Case& c : cases) {
        MarkGrid g = DecodeMarkGrid(c.wParam);
        EXPECT_EQ(g.x, c.x) << std::hex << c.wParam;
        EXPECT_EQ(g.y, c.y) << std::hex << c.wParam;
    }
}

TEST(JobIntake, OnlyBothNumbersAtThousandMeanNoMark) {
    struct Case {
        bool contour;
        int32_t x, y;
        MarkCheck check;
    };
    const Case cases[] = {
        {false, 1000, 1000, MarkCheck::kTaken},
        {false, 1000, 5, MarkCheck::kTaken},
        {false, 5, 1000, MarkCheck::kTaken},
        {false, 3, 2, MarkCheck::kContourModeOff},
        {true, 1000, 1000, MarkCheck::kNoMarkSelected},
        {true, 1000, 0, MarkCheck::kTaken},
        {true, 3, 2, MarkCheck::kTaken},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckMarkGrid(c.contour, MarkGrid{c.x, c.y}), c.check) << c.contour << " " << c.x << "," << c.y;
    }
    EXPECT_STREQ(MarkCheckText(MarkCheck::kNoMarkSelected, true), "No any mark is selected!");
    EXPECT_STREQ(MarkCheckText(MarkCheck::kNoMarkSelected, false), "没有选中任何标记!");
    EXPECT_STREQ(MarkCheckText(MarkCheck::kContourModeOff, true), "Cut picture mode is off!");
    EXPECT_STREQ(MarkCheckText(MarkCheck::kContourModeOff, false), "切割图片模式未开启!");
    EXPECT_STREQ(MarkCheckText(MarkCheck::kTaken, true), "");
}

TEST(JobIntake, MarginsAreDividedInSinglePrecision) {
    struct Case {
        float mm;
        int32_t units;
    };
    const Case cases[] = {{10.0f, 399}, {0.5f, 19}, {0.0f, 0}, {1.0f, 39}, {2.5f, 99}, {-10.0f, -399}, {1e12f, 2147483647}};
    for (const Case& c : cases) EXPECT_EQ(MarginUnits(c.mm), c.units) << c.mm;
}

TEST(JobIntake, ConversionSettingsAreTheStoredOnes) {
    StationSettings s;
    s.modelIndex = 2;
    s.segEnble = 1;
    s.segLen = 150;
    s.cutImageMode = 1;
    s.flagColor = 2;
    s.closeEnble = 1;
    s.canFeedPaper = 1;
    s.xSteps = 1.5f;
    s.ySteps = 2.5f;
    s.usePresetPa = 1;
    s.dashedMode = 1;
    s.solidLineLen = 4.0f;
    s.jumpLineLen = 3.0f;
    s.closeOffset = 0.75f;
    ConvertSettings c = ConvertSettingsOf(s);
    EXPECT_EQ(c.model, 2);
    EXPECT_TRUE(c.segEnable);
    EXPECT_EQ(c.segLen, 150);
    EXPECT_TRUE(c.contourMode);
    EXPECT_EQ(c.flagColor, 2);
    EXPECT_TRUE(c.closeEnable);
    EXPECT_TRUE(c.canFeedPaper);
    EXPECT_EQ(c.xSteps, 1.5f);
    EXPECT_EQ(c.ySteps, 2.5f);
    EXPECT_TRUE(c.usePresets);
    EXPECT_TRUE(c.path.dashedMode);
    EXPECT_EQ(c.path.solidLineLen, 4.0f);
    EXPECT_EQ(c.path.jumpLineLen, 3.0f);
    EXPECT_EQ(c.path.closeOffset, 0.75f);

    ConvertSettings off = ConvertSettingsOf(StationSettings{});
    EXPECT_FALSE(off.segEnable || off.contourMode || off.closeEnable || off.canFeedPaper || off.usePresets ||
                 off.path.dashedMode);
    EXPECT_EQ(off.model, 0);
}
