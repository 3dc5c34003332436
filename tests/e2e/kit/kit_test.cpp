// The kit driving its own small dialog program.
#include <gtest/gtest.h>

#include "e2e_kit.h"

using namespace e2e;

namespace {

constexpr UINT kAsk = WM_APP + 1, kNote = WM_APP + 2, kTray = WM_APP + 3;

class KitTest : public ::testing::Test {
protected:
    HWND StartTarget(LaunchOptions o = {}) {
        o.program = KM_E2E_TARGET;
        if (o.runName.empty()) o.runName = std::string("kit-") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        EXPECT_TRUE(prog.Start(o)) << prog.Error();
        WindowQuery q;
        q.cls = "#32770";
        q.caption = "Kit Target";
        q.pid = prog.Pid();
        HWND w = WaitTopWindow(q, 10000);
        EXPECT_NE(w, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return IsShown(w); }, 5000));
        return w;
    }
    CProgram prog;
};

TEST_F(KitTest, StartsInItsOwnFolderWithSettingsEnvironmentAndWorkingFolder) {
    LaunchOptions o;
    o.settingsFiles["target.ini"] = "[Main]\r\nGreeting=hello from the ini\r\n";
    o.env["KIT_GREETING"] = "grüß dich";
    o.workDir = OutputDir();
    HWND w = StartTarget(o);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(prog.Folder(), OutputDir());
    EXPECT_TRUE(FileExists(prog.ExePath()));
    EXPECT_EQ(ControlText(w, 1100), "hello from the ini");
    EXPECT_EQ(ControlText(w, 1101), "grüß dich|" + OutputDir());
    EXPECT_EQ(PidOf(w), prog.Pid());
}

TEST_F(KitTest, SendsReadsAndSetsTextsAndEndsByKeyOrTeardown) {
    HWND w = StartTarget();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ControlText(w, 1100), "none");
    EXPECT_EQ(Send(w, kAsk, 5, 0), std::optional<LRESULT>(47));
    EXPECT_TRUE(SetControlText(w, 1103, "编辑 text"));
    EXPECT_EQ(ControlText(w, 1103), "编辑 text");

    // A message box is found by its caption and read; its OK button closes it.
    ASSERT_TRUE(Post(w, kNote));
    HWND box = WaitDialog("Kit Note", prog.Pid(), 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Target says hi");
    EXPECT_TRUE(ClickButton(box, IDOK));
    WindowQuery q;
    q.caption = "Kit Note";
    q.pid = prog.Pid();
    EXPECT_TRUE(WaitNoTopWindow(q, 5000));

    EXPECT_TRUE(PressKey(w, VK_ESCAPE));
    EXPECT_EQ(prog.WaitExit(5000), std::optional<DWORD>(2));
}

TEST_F(KitTest, TeardownEndsAProgramThatStillRuns) {
    ASSERT_NE(StartTarget(), nullptr);
    EXPECT_FALSE(prog.WaitExit(100).has_value());
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), prog.Process(), GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
    prog.Terminate();
    EXPECT_EQ(WaitForSingleObject(copy, 0), WAIT_OBJECT_0);
    CloseHandle(copy);
}

TEST_F(KitTest, ReadsAndPicksPopupMenuItems) {
    HWND w = StartTarget();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(ClickButton(w, 1104));
    HWND menu = WaitPopupMenu(prog.Pid(), 5000);
    ASSERT_NE(menu, nullptr);
    std::string why;
    auto items = ReadPopupMenu(menu, &why);
    ASSERT_TRUE(items) << why;
    ASSERT_EQ(items->size(), 4u);
    EXPECT_EQ((*items)[0].text, "About");
    EXPECT_TRUE((*items)[0].isDefault);
    EXPECT_FALSE((*items)[0].greyed);
    EXPECT_TRUE((*items)[1].separator);
    EXPECT_EQ((*items)[2].text, "Stop");
    EXPECT_TRUE((*items)[2].greyed);
    EXPECT_EQ((*items)[3].text, "退出");
    EXPECT_EQ((*items)[3].id, 203u);
    EXPECT_FALSE(Screenshot("kit-popup-menu").empty());

    ASSERT_TRUE(PickMenuItem(menu, *items, 0, PickBy::Keyboard));
    EXPECT_TRUE(WaitUntil([&] { return ControlText(w, 1103) == "picked about"; }, 5000)) << ControlText(w, 1103);

    // The tray icon's right click opens the same menu; the mouse picks Exit.
    ASSERT_TRUE(Post(w, kTray, 1, WM_RBUTTONUP));
    menu = WaitPopupMenu(prog.Pid(), 5000);
    ASSERT_NE(menu, nullptr);
    items = ReadPopupMenu(menu, &why);
    ASSERT_TRUE(items) << why;
    ASSERT_TRUE(PickMenuItem(menu, *items, 3, PickBy::Mouse));
    EXPECT_EQ(prog.WaitExit(5000), std::optional<DWORD>(7));
}

TEST_F(KitTest, TrayTipIsReadOrReportedUnavailable) {
    ASSERT_NE(StartTarget(), nullptr);
    std::string why;
    std::optional<TrayState> tray;
    WaitUntil([&] { return (tray = ReadTray(&why)).has_value(); }, 2000, 100);
    if (tray) {
        EXPECT_NE(std::find(tray->tips.begin(), tray->tips.end(), "Kit target tip"), tray->tips.end());
    } else {
        EXPECT_FALSE(why.empty());
        std::printf("tray not readable here: %s\n", why.c_str());
    }
}

TEST_F(KitTest, ScreenshotIsAPngOfTheScreen) {
    ASSERT_NE(StartTarget(), nullptr);
    std::string path = Screenshot("kit-target");
    ASSERT_FALSE(path.empty());
    auto bytes = ReadFileText(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    EXPECT_GT(bytes->size(), static_cast<size_t>(w) * h * 3);
}

TEST_F(KitTest, WindowScreenshotIsCroppedToTheWindow) {
    HWND w = StartTarget();
    ASSERT_NE(w, nullptr);
    RECT r;
    ASSERT_TRUE(GetWindowRect(w, &r));
    std::string path = Screenshot("kit-target-window", {w});
    ASSERT_FALSE(path.empty());
    auto bytes = ReadFileText(path);
    ASSERT_TRUE(bytes && bytes->size() > 24);
    auto be32 = [&](size_t at) {
        uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>((*bytes)[at + i]);
        return v;
    };
    EXPECT_EQ(be32(16), static_cast<uint32_t>(r.right - r.left));  // IHDR width and height
    EXPECT_EQ(be32(20), static_cast<uint32_t>(r.bottom - r.top));
}

}  // namespace
