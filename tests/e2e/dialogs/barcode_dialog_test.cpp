// The barcode number dialog driven from outside.
#include "dialogs_fixture.h"

#include <cstdlib>

using namespace e2e;

namespace dialogs_e2e {
namespace {

// A seed whose first draw is this number, with the same C library as the host's.
unsigned SeedDrawing(int number) {
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        if (std::rand() % 10000 == number) return seed;
    }
}

struct BarcodeCase {
    const char* name;
    bool generate;
    int closeWith;
    const char* number;
};

class BarcodeTest : public DialogTest, public ::testing::WithParamInterface<BarcodeCase> {};

TEST_P(BarcodeTest, GivesTheDrawnNumberOnlyWhenClosedWithOk) {
    const BarcodeCase& c = GetParam();
    HWND dlg = Open("barcode seed=" + std::to_string(SeedDrawing(7)), "AddBarcode", std::string("barcode-") + c.name);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(ControlText(dlg, kBarcodeNumber), "0000");
    EXPECT_TRUE(GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST);
    if (c.generate) {
        ClickButton(dlg, kGenerate);
        EXPECT_TRUE(WaitUntil([&] { return ControlText(dlg, kBarcodeNumber) == "0007"; }, 2000));
    }
    if (c.closeWith == kOk && c.generate) {
        EXPECT_FALSE(Screenshot("barcode-dialog-generated", {dlg}).empty());
    }
    ClickButton(dlg, c.closeWith);
    auto r = Result();
    EXPECT_EQ(r["number"], c.number);
    EXPECT_EQ(r["result"], std::to_string(c.closeWith));
}

INSTANTIATE_TEST_SUITE_P(Closing, BarcodeTest, ::testing::Values(
    BarcodeCase{"ok_without_generate", false, kOk, "0"},
    BarcodeCase{"generate_ok", true, kOk, "7"},
    BarcodeCase{"generate_cancel", true, kCancel, "0"}),
    [](const ::testing::TestParamInfo<BarcodeCase>& i) { return std::string(i.param.name); });

TEST_F(DialogTest, BarcodeTextsAreRedAndANewDrawReplacesTheNumber) {
    HWND dlg = Open("barcode", "AddBarcode", "barcode-redraw");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(ControlText(dlg, kGenerate), "Generate");
    EXPECT_EQ(ControlText(dlg, kOk), "确定");
    EXPECT_EQ(ControlText(dlg, kCancel), "取消");
    // The number display has red pixels (the text) and nothing but red and background.
    ClickButton(dlg, kGenerate);
    Sleep(300);
    std::string first = ControlText(dlg, kBarcodeNumber);
    EXPECT_EQ(first.size(), 4u);
    RECT r;
    GetWindowRect(Control(dlg, kBarcodeNumber), &r);
    int red = 0;
    for (int y = r.top; y < r.bottom; y += 1)
        for (int x = r.left; x < r.right; x += 1)
            if (ScreenPixel(POINT{x, y}) == RGB(255, 0, 0)) ++red;
    EXPECT_GT(red, 20);
    ClickButton(dlg, kCancel);
    EXPECT_EQ(Result()["number"], "0");
}

}  // namespace
}  // namespace dialogs_e2e
