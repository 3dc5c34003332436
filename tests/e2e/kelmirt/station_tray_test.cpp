// Kelmirt's tray: the menu's items and greying while idle, in both languages,
// the double-click restore, and screenshots of what the user sees.
#include "station_fixture.h"

using namespace e2e;

namespace kelmirt_e2e {
namespace {

struct ExpectedItem {
    UINT id;  // 0: separator
    const char* text;
};

struct TrayCase {
    const char* name;
    const char* lan;
    std::vector<ExpectedItem> items;
};

const TrayCase kEnglish{"English", "English",
                        {{kTrayAbout, "About"}, {kTrayHelp, "Help"}, {0, ""}, {kTraySet, "Set"}, {0, ""},
                         {kTrayStop, "Stop"}, {0, ""}, {kTrayExit, "Exit"}}};
// The resource texts keep their inner blanks; Exit has one ideographic space.
const TrayCase kChinese{"Chinese", "Chinese",
                        {{kTrayAbout, "关于...."}, {kTrayHelp, "帮    助"}, {0, ""}, {kTraySet, "选    项"}, {0, ""},
                         {kTrayStop, "取    消"}, {0, ""}, {kTrayExit, "退　出"}}};

class StationTrayTest : public StationTest, public ::testing::WithParamInterface<TrayCase> {};

TEST_P(StationTrayTest, MenuWhileIdleGreysOnlyStop) {
    const TrayCase& c = GetParam();
    HWND w = Start(std::string("[Language]\r\nLan=") + c.lan + "\r\n");
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitHidden(w));

    HWND menu = OpenTrayMenu(w);
    ASSERT_NE(menu, nullptr);
    auto items = TrayMenuItems(menu);
    ASSERT_EQ(items.size(), c.items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE("position " + std::to_string(i));
        const ExpectedItem& e = c.items[i];
        EXPECT_EQ(items[i].separator, e.id == 0);
        if (e.id == 0) continue;
        EXPECT_EQ(items[i].id, e.id);
        EXPECT_EQ(items[i].text, e.text);
        EXPECT_EQ(items[i].greyed, e.id == kTrayStop);
        EXPECT_EQ(items[i].isDefault, i == 0);
    }
    EXPECT_FALSE(Screenshot(std::string("kelmirt-tray-menu-") + c.name, {menu}).empty());
    ASSERT_TRUE(CloseMenu(menu));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));
    EXPECT_TRUE(station.Running());
    EXPECT_EQ(Ping(w), std::optional<LRESULT>(1));
}

TEST_P(StationTrayTest, DoubleClickRestoresTheMainDialogWithoutAMenu) {
    const TrayCase& c = GetParam();
    HWND w = Start(std::string("[Language]\r\nLan=") + c.lan + "\r\n");
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitHidden(w));

    // A left click and a right button press do nothing.
    ASSERT_TRUE(Post(w, WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDOWN));
    ASSERT_TRUE(Post(w, WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONUP));
    ASSERT_TRUE(Post(w, WM_TRAY_NOTIFY, kTrayIconId, WM_RBUTTONDOWN));
    EXPECT_EQ(WaitPopupMenu(station.Pid(), 1000), nullptr);
    EXPECT_FALSE(IsWindowVisible(w));
    // Another icon's messages are not the station's.
    ASSERT_TRUE(Post(w, WM_TRAY_NOTIFY, kTrayIconId + 1, WM_RBUTTONUP));
    EXPECT_EQ(WaitPopupMenu(station.Pid(), 1000), nullptr);

    ASSERT_TRUE(Restore(w));
    EXPECT_EQ(WaitPopupMenu(station.Pid(), 1000), nullptr);
    EXPECT_EQ(TextOf(w), "Kelmirt");
    Sleep(500);  // let it paint
    EXPECT_FALSE(Screenshot(std::string("kelmirt-main-dialog-") + c.name, {w}).empty());
}

std::string Upper(std::string s) {
    for (char& c : s) if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

TEST_F(StationTest, TrayAboutOpensTheAboutBoxAndHelpDoesNothing) {
    HWND w = Start(std::string("[Language]\r\nLan=English\r\n"));
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitHidden(w));

    // The version line: the maker's address, then "       V3.6 ".
    std::string version;
    for (const auto& t : StaticTexts(w))
        if (t.find("V3.6") != std::string::npos) version = t;
    size_t eol = version.find_first_of("\r\n");
    ASSERT_NE(eol, std::string::npos) << version;
    std::string address = version.substr(0, eol);
    EXPECT_FALSE(address.empty());
    EXPECT_EQ(version.substr(version.find_last_of("\r\n") + 1), "       V3.6 ");

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        HWND menu = OpenTrayMenu(w);
        ASSERT_NE(menu, nullptr);
        auto items = TrayMenuItems(menu);
        ASSERT_FALSE(items.empty());
        ASSERT_TRUE(PickMenuItem(menu, items, 0, round == 0 ? PickBy::Keyboard : PickBy::Mouse));
        HWND about = WaitDialog("About Kelmirt", station.Pid(), 5000);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(ControlText(about, 1074), Upper(address));
        EXPECT_EQ(ControlText(about, 1077), "   ");
        ASSERT_TRUE(PressKey(about, VK_ESCAPE));
        WindowQuery q;
        q.caption = "About Kelmirt";
        q.pid = station.Pid();
        EXPECT_TRUE(WaitNoTopWindow(q, 5000));
    }

    HWND menu = OpenTrayMenu(w);
    ASSERT_NE(menu, nullptr);
    auto items = TrayMenuItems(menu);
    ASSERT_GT(items.size(), 1u);
    ASSERT_TRUE(PickMenuItem(menu, items, 1, PickBy::Keyboard));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));
    Sleep(500);
    WindowQuery shown;
    shown.pid = station.Pid();
    shown.visibleOnly = true;
    EXPECT_TRUE(FindTopWindows(shown).empty()) << "Help opened a window";
    EXPECT_EQ(Ping(w), std::optional<LRESULT>(1));
}

INSTANTIATE_TEST_SUITE_P(Lan, StationTrayTest, ::testing::Values(kEnglish, kChinese),
                         [](const ::testing::TestParamInfo<TrayCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace kelmirt_e2e
