// Kelmirt's start-up as other programs and the user see it: identity, single
// instance, language, the stale export file, and the ways it ends.
#include "station_fixture.h"

using namespace e2e;

namespace kelmirt_e2e {
namespace {

const char kEnglishIni[] = "[Language]\r\nLan=English\r\n";
const char kNoDevice[] = "Not find plotter device";
const char kNoDeviceZh[] = "没有可用切绘设备";

TEST_F(StationTest, IsAHiddenDialogCaptionedKelmirtThatAnswersPeers) {
    HWND w = Start(kEnglishIni);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ClassOf(w), "#32770");
    EXPECT_EQ(TextOf(w), "Kelmirt");
    EXPECT_EQ(GetParent(w), nullptr);
    EXPECT_TRUE(WaitHidden(w));
    EXPECT_FALSE(IsIconic(w)) << "hidden, not minimized";
    EXPECT_EQ(FindTopWindows(StationQuery()).size(), 1u);
    // Peers ask from their own process.
    EXPECT_EQ(Ping(w), std::optional<LRESULT>(1));
    EXPECT_EQ(Language(w), std::optional<LRESULT>(1));
    EXPECT_EQ(ControlText(w, kStatusLine), kNoDevice);

    // The tray holds the station's icon with its tip.
    std::string why;
    auto tray = ReadTray(&why);
    ASSERT_TRUE(tray) << why;
    EXPECT_NE(std::find(tray->tips.begin(), tray->tips.end(), "Kelmirt"), tray->tips.end());
    // The start-up balloon.
    EXPECT_TRUE(WaitUntil([&] {
        tray = ReadTray(&why);
        return tray && std::find(tray->balloons.begin(), tray->balloons.end(), "Kelmirt Running") != tray->balloons.end();
    }, 5000, 100));
}

TEST_F(StationTest, SecondStartExitsWithOneAndLeavesTheFirstAlone) {
    HWND first = Start(kEnglishIni);
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(WaitHidden(first));

    CProgram second;
    LaunchOptions o;
    o.program = JoinPath(DistDir(), "Kelmirt.exe");
    o.copySiblings = false;
    o.settingsFiles["Kelmirt.ini"] = kEnglishIni;
    o.runName = "kelmirt-second-start";
    ASSERT_TRUE(second.Start(o)) << second.Error();
    EXPECT_EQ(second.WaitExit(kExitMs), std::optional<DWORD>(1));

    EXPECT_TRUE(station.Running());
    EXPECT_EQ(FindTopWindows(StationQuery()), std::vector<HWND>{first});
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_EQ(Ping(first), std::optional<LRESULT>(1));
}

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

TEST_F(StationTest, AWindowOfAnotherClassCaptionedKelmirtDoesNotStopAStart) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KitNotAStation";
    RegisterClassW(&wc);
    HWND impostor = CreateWindowExW(0, wc.lpszClassName, L"Kelmirt", WS_OVERLAPPED, 0, 0, 50, 50,
                                    nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(impostor, nullptr);

    HWND w = Start(kEnglishIni);
    EXPECT_NE(w, nullptr);
    EXPECT_TRUE(station.Running());
    if (w) {
        EXPECT_EQ(Ping(w), std::optional<LRESULT>(1));
    }
    DestroyWindow(impostor);
}

// The language comes from [Language] Lan; an empty value lets the system decide
// and is written back.
struct LanguageCase {
    const char* name;
    std::optional<std::string> ini;  // nullopt: no settings file
    LRESULT english;
    const char* lanAfter;            // [Language] Lan in the file after start
};

class StationLanguageTest : public StationTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(StationLanguageTest, FollowsTheSettingsFile) {
    const LanguageCase& c = GetParam();
    HWND w = Start(c.ini);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Language(w), std::optional<LRESULT>(c.english));
    EXPECT_EQ(ControlText(w, kStatusLine), c.english ? kNoDevice : kNoDeviceZh);
    EXPECT_EQ(IniValue("Language", "Lan"), c.lanAfter);
    if (!c.ini) {
        EXPECT_FALSE(FileExists(IniPath())) << "a missing settings file is not created at start";
    }
}

// Run under an English system language (the test entry sets LC_ALL=C.UTF-8).
INSTANTIATE_TEST_SUITE_P(
    Lan, StationLanguageTest,
    ::testing::Values(
        LanguageCase{"NoFile", std::nullopt, 1, "<absent>"},
        LanguageCase{"NoKey", std::string("[COM]\r\nCurrentCom=1\r\n"), 1, "<absent>"},
        LanguageCase{"Chinese", std::string("[Language]\r\nLan=Chinese\r\n"), 0, "Chinese"},
        LanguageCase{"LowerCase", std::string("[Language]\r\nLan=chinese\r\n"), 1, "chinese"},
        LanguageCase{"Capitals", std::string("[Language]\r\nLan=CHINESE\r\n"), 1, "CHINESE"},
        LanguageCase{"SectionInCapitals", std::string("[LANGUAGE]\r\nLan=Chinese\r\n"), 0, "Chinese"},
        LanguageCase{"EmptyOnEnglishSystem", std::string("[Language]\r\nLan=\r\n"), 1, "English"}),
    [](const ::testing::TestParamInfo<LanguageCase>& i) { return std::string(i.param.name); });

// These need a Chinese (PRC) system language; the ctest entry kelmirt_e2e_test_zh
// runs them with LC_ALL=zh_CN.UTF-8 (Wine takes the locale from its own start, not
// from the environment block a parent hands to CreateProcess).
class ChineseSystemTest : public StationTest {
protected:
    void SetUp() override {
        if (GetSystemDefaultLangID() != 0x804) GTEST_SKIP() << "needs a Chinese system language (LC_ALL=zh_CN.UTF-8)";
        StationTest::SetUp();
    }
};

TEST_F(ChineseSystemTest, EmptyLanChoosesChineseAndWritesItBack) {
    HWND w = Start(std::string("[Language]\r\nLan=\r\n"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Language(w), std::optional<LRESULT>(0));
    EXPECT_EQ(ControlText(w, kStatusLine), kNoDeviceZh);
    EXPECT_EQ(IniValue("Language", "Lan"), "Chinese");
    HWND menu = OpenTrayMenu(w);
    ASSERT_NE(menu, nullptr);
    auto items = TrayMenuItems(menu);
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[0].text, "关于....");
    EXPECT_EQ(items[7].text, "退　出");
    CloseMenu(menu);
}

TEST_F(ChineseSystemTest, ExplicitLanguageWinsOverTheSystem) {
    HWND w = Start(std::string("[Language]\r\nLan=English\r\n"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Language(w), std::optional<LRESULT>(1));
    EXPECT_EQ(IniValue("Language", "Lan"), "English");
}

// The export file is the temporary folder + "\" + [AutoGET] ColExportFilename,
// whatever ColExportPath says.
std::string ExportIni(const std::string& fileName) {
    return "[Language]\r\nLan=English\r\n[AutoGET]\r\nColExportPath=D:\\cut\r\nColExportFilename=" + fileName + "\r\n";
}

TEST_F(StationTest, DeletesALeftoverExportFileAtStart) {
    std::string name = "kelmirt-e2e-leftover-" + std::to_string(GetCurrentProcessId()) + ".plt";
    std::string path = TempDir() + name;
    ASSERT_TRUE(WriteFileText(path, "IN;PU0,0;PD100,100;"));
    HWND w = Start(ExportIni(name));
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(FileExists(path));
    DeleteFileIfAny(path);
}

TEST_F(StationTest, KeepsAnExportFileThatAnotherProgramHoldsLocked) {
    std::string name = "kelmirt-e2e-locked-" + std::to_string(GetCurrentProcessId()) + ".plt";
    std::string path = TempDir() + name;
    ASSERT_TRUE(WriteFileText(path, "IN;"));
    HANDLE held = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HWND w = Start(ExportIni(name));
    EXPECT_NE(w, nullptr);
    EXPECT_TRUE(FileExists(path));
    CloseHandle(held);
    DeleteFileIfAny(path);
}

TEST_F(StationTest, CloseRequestsDoNothingAndMinimizeHides) {
    HWND w = Start(kEnglishIni);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitHidden(w));
    ASSERT_TRUE(Restore(w));
    EXPECT_EQ(TextOf(w), "Kelmirt");

    EXPECT_TRUE(Send(w, WM_CLOSE).has_value());
    EXPECT_TRUE(Send(w, WM_SYSCOMMAND, SC_CLOSE, 0).has_value());
    Sleep(500);
    EXPECT_TRUE(station.Running());
    EXPECT_TRUE(IsShown(w));
    EXPECT_EQ(Ping(w), std::optional<LRESULT>(1));

    // The minimize button hides the window instead of minimizing it.
    ASSERT_TRUE(Post(w, WM_SYSCOMMAND, SC_MINIMIZE, 0));
    EXPECT_TRUE(WaitHidden(w));
    EXPECT_FALSE(IsIconic(w));
    ASSERT_TRUE(Restore(w));
}

enum class EndBy { EscKey, ExitButton, TrayExitByMouse, TrayExitByKeyboard };

std::string EndByName(const ::testing::TestParamInfo<EndBy>& i) {
    switch (i.param) {
    case EndBy::EscKey: return "EscKey";
    case EndBy::ExitButton: return "ExitButton";
    case EndBy::TrayExitByMouse: return "TrayExitByMouse";
    case EndBy::TrayExitByKeyboard: return "TrayExitByKeyboard";
    }
    return "?";
}

class StationEndTest : public StationTest, public ::testing::WithParamInterface<EndBy> {};

TEST_P(StationEndTest, EndsTheProcessAndRemovesTheTrayIcon) {
    HWND w = Start(kEnglishIni);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitHidden(w));
    switch (GetParam()) {
    case EndBy::EscKey:
        ASSERT_TRUE(Restore(w));
        ASSERT_TRUE(PressKey(w, VK_ESCAPE));
        break;
    case EndBy::ExitButton:
        ASSERT_TRUE(Restore(w));
        ASSERT_TRUE(ClickButton(w, kExitButton));
        break;
    case EndBy::TrayExitByMouse:
    case EndBy::TrayExitByKeyboard: {
        HWND menu = OpenTrayMenu(w);
        ASSERT_NE(menu, nullptr);
        auto items = TrayMenuItems(menu);
        auto exit = std::find_if(items.begin(), items.end(), [](const MenuItem& m) { return m.id == kTrayExit; });
        ASSERT_NE(exit, items.end());
        ASSERT_TRUE(PickMenuItem(menu, items, exit->position,
                                 GetParam() == EndBy::TrayExitByMouse ? PickBy::Mouse : PickBy::Keyboard));
        break;
    }
    }
    auto code = station.WaitExit(kExitMs);
    ASSERT_TRUE(code.has_value()) << "the station still runs";
    EXPECT_NE(*code, 1u);
    EXPECT_TRUE(FindTopWindows(StationQuery()).empty());
    std::string why;
    auto tray = ReadTray(&why);
    ASSERT_TRUE(tray) << why;
    EXPECT_EQ(std::find(tray->tips.begin(), tray->tips.end(), "Kelmirt"), tray->tips.end());
}

INSTANTIATE_TEST_SUITE_P(Ways, StationEndTest,
                         ::testing::Values(EndBy::EscKey, EndBy::ExitButton, EndBy::TrayExitByMouse,
                                           EndBy::TrayExitByKeyboard),
                         EndByName);

}  // namespace
}  // namespace kelmirt_e2e
