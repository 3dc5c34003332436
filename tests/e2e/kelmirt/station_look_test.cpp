// The main dialog's flat buttons as a user sees them: flat at rest, raised under the
// mouse, flat again once it leaves; screenshots in both languages.
#include "station_fixture.h"

using namespace e2e;

namespace kelmirt_e2e {
namespace {

struct LookCase {
    const char* name;
    const char* lan;
};

class StationLookTest : public StationTest, public ::testing::WithParamInterface<LookCase> {};

TEST_P(StationLookTest, MainDialogWithTheSettingsButtonHovered) {
    const LookCase& c = GetParam();
    HWND w = Start(std::string("[Language]\r\nLan=") + c.lan + "\r\n");
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitHidden(w));
    ASSERT_TRUE(Restore(w));
    for (int id : {1, 1000, 1001, 1002, 1003, 1017, 1018})
        EXPECT_EQ(GetWindowLongW(Control(w, id), GWL_STYLE) & 0xF, BS_OWNERDRAW) << id;
    // The stop button is disabled while idle, so its icon is drawn embossed.
    EXPECT_FALSE(IsWindowEnabled(Control(w, 1000)));

    HWND settings = Control(w, 1001);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    SetCursorPos(5, 1000);
    EXPECT_TRUE(WaitUntil([&] { return FrameEdges(settings) == std::make_pair(face, face); }, 5000));
    EXPECT_TRUE(HoverButton(settings)) << std::hex << FrameEdges(settings).first << " " << FrameEdges(settings).second;
    Sleep(300);
    EXPECT_FALSE(Screenshot(std::string("kelmirt-main-dialog-hover-") + c.name).empty());
    // Flat again once the mouse has left.
    SetCursorPos(5, 1000);
    EXPECT_TRUE(WaitUntil([&] { return FrameEdges(settings) == std::make_pair(face, face); }, 5000));
    EXPECT_EQ(Ping(w), std::optional<LRESULT>(1));
}

INSTANTIATE_TEST_SUITE_P(Languages, StationLookTest,
                         ::testing::Values(LookCase{"English", "English"}, LookCase{"Chinese", "Chinese"}),
                         [](const ::testing::TestParamInfo<LookCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace kelmirt_e2e
