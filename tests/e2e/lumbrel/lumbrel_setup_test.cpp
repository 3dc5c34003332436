// Lumbrel as a sign shop uses it: pick the drawing program's version, press
// Setup; the drawing program is prepared and the station installed.
#include "lumbrel_fixture.h"

#include "station_messages.h"

using namespace e2e;

namespace lumbrel_e2e {
namespace {

const char* const kRows[12] = {
    "Corel Graphics 11", "Corel Graphics 12", "CorelDRAW Graphics Suite X3", "CorelDRAW Graphics Suite X4",
    "CorelDRAW Graphics Suite X5", "CorelDRAW Graphics Suite X6", "CorelDRAW Graphics Suite X6.1",
    "CorelDRAW Graphics Suite X7", "CorelDRAW Graphics Suite X8", "CorelDRAW Graphics Suite 2017",
    "CorelDRAW Graphics Suite 2018", "CorelDRAW Graphics Suite 2019"};
const Box kSuccess{kSetupCaption, "Sucessed!", false};

// The calls of versions 12 to 2019, up to the closing one.
std::vector<std::string> ModernCalls(const std::string& progId, const std::string& workspace) {
    return {"create " + progId,       "app get 6002006B",  "app method 60020051",
            "app method 60020045 \"" + workspace + "\"", "app get 60020044", "gms get 60020000",
            "app method 6002000E"};
}

TEST_F(LumbrelTest, DialogOffersTwelveVersionsWithX4Chosen) {
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(ClassOf(dlg), "#32770");
    HWND list = Control(dlg, kVersionList);
    ASSERT_EQ(Send(list, CB_GETCOUNT), std::optional<LRESULT>(12));
    for (int i = 0; i < 12; ++i) EXPECT_EQ(ListText(list, i), kRows[i]) << "row " << i;
    EXPECT_EQ(Send(list, CB_GETCURSEL), std::optional<LRESULT>(3));
    EXPECT_EQ(ControlText(dlg, kSetupButton), "Setup");
    EXPECT_TRUE(IsWindowVisible(Control(dlg, kSetupButton)));
    EXPECT_FALSE(IsWindowVisible(Control(dlg, kCancelButton)));
    auto statics = StaticTexts(dlg);
    EXPECT_NE(std::find(statics.begin(), statics.end(), "CorelDraw:"), statics.end());
    EXPECT_NE(std::find(statics.begin(), statics.end(), "Ver:a.6"), statics.end());

    // The list open, as the user picks a version.
    Send(list, CB_SHOWDROPDOWN, TRUE);
    EXPECT_TRUE(WaitUntil([&] { return Send(list, CB_GETDROPPEDSTATE) == std::optional<LRESULT>(TRUE); }, 3000));
    Sleep(300);
    // The dropped list is a top-level window of its own.
    WindowQuery dropped;
    dropped.cls = "ComboLBox";
    dropped.pid = lumbrel.Pid();
    dropped.visibleOnly = true;
    HWND drop = FindTopWindow(dropped);
    EXPECT_NE(drop, nullptr);
    EXPECT_FALSE(Screenshot("lumbrel-version-list", {dlg, drop}).empty());
    Send(list, CB_SHOWDROPDOWN, FALSE);

    // The About item of the system menu.
    Post(dlg, WM_SYSCOMMAND, 0x10, 0);
    HWND about = WaitDialog("关于 Lumbrel", lumbrel.Pid(), 5000);
    ASSERT_NE(about, nullptr);
    auto aboutTexts = StaticTexts(about);
    EXPECT_NE(std::find(aboutTexts.begin(), aboutTexts.end(), "Lumbrel  Ver:a.6"), aboutTexts.end());
    ClickButton(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));

    // Esc ends the tool without touching anything.
    SetForegroundWindow(dlg);
    PressKey(dlg, VK_ESCAPE);
    EXPECT_EQ(lumbrel.WaitExit(10000), std::optional<DWORD>(0));
    EXPECT_TRUE(Calls().empty());
    EXPECT_FALSE(FileExists(std::string(kInstallFolder) + "Kelmirt.exe"));
}

TEST_F(LumbrelTest, SetupWithX4PreparesTheDrawingProgramAndInstallsTheStation) {
    // The export settings hold other keys and sections that must stay.
    std::string filtman = draw.folder + "CorelDRAW\\_default\\FiltMan.ini";
    ASSERT_TRUE(WriteFileText(filtman, "[CorelHPGLExport]\r\nDLG Plotter Units Per Inch=1200\r\nDLG Pen Count=8\r\n"
                                       "[CorelDXFExport]\r\nVersion=12\r\n"));
    // An earlier installation is reused and overwritten.
    CreateDirectoryW(L"c:\\program files\\Kelmirt", nullptr);
    ASSERT_TRUE(WriteFileText(std::string(kInstallFolder) + "Kelmirt.exe", "old"));
    ASSERT_TRUE(WriteFileText(std::string(kInstallFolder) + "Kelmirt.ini", "old"));

    ASSERT_NE(Start(), nullptr);
    SetupRun run = PressSetup("Sucessed!", "lumbrel-success");
    EXPECT_EQ(run.boxes, std::vector<Box>{kSuccess});
    EXPECT_EQ(lumbrel.WaitExit(10000), std::optional<DWORD>(0)) << "the tool ends after success";

    // The application object is kept, not released; so is the GMS folder object.
    EXPECT_EQ(Calls(), ModernCalls("coreldraw.Application.14", ToolFolder() + "\\Kelmirt.xslt"));
    EXPECT_EQ(IniValue(filtman, "CorelHPGLExport", "DLG Plotter Units Per Inch"), "1016");
    EXPECT_EQ(IniValue(filtman, "CorelHPGLExport", "DLG Curve Resolution"), "0.001");
    EXPECT_EQ(IniValue(filtman, "CorelHPGLExport", "DLG No PW or VS"), "0");
    EXPECT_EQ(IniValue(filtman, "CorelHPGLExport", "DLG Pen Count"), "8");
    EXPECT_EQ(IniValue(filtman, "CorelDXFExport", "Version"), "12");
    for (const char* name : kMacroFiles)
        EXPECT_EQ(ReadFileText(draw.gms + name).value_or("<missing>"), Shipped(name)) << name;
    EXPECT_EQ(ReadFileText(std::string(kInstallFolder) + "Kelmirt.exe").value_or(""), Shipped("Kelmirt\\Kelmirt.exe"));
    EXPECT_EQ(ReadFileText(std::string(kInstallFolder) + "Kelmirt.ini").value_or(""), Shipped("Kelmirt\\Kelmirt.ini"));

    // The installed station runs from there and answers its peers.
    std::wstring exe = Wide(std::string(kInstallFolder) + "Kelmirt.exe");
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               Wide(kInstallFolder).c_str(), &si, &pi));
    CloseHandle(pi.hThread);
    WindowQuery station;
    station.cls = kStationWindowClass;
    station.caption = kStationCaption;
    station.pid = pi.dwProcessId;
    HWND w = WaitTopWindow(station, 20000);
    EXPECT_NE(w, nullptr);
    if (w) {
        EXPECT_TRUE(WaitUntil([&] { return Send(w, WM_STATION_PING) == std::optional<LRESULT>(1); }, 20000));
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
}

// Every version of the list against a drawing program with or without VBA.
struct VersionCase {
    const char* name;
    int index;
    bool vba;
    const char* progId;
    const char* settingsFile;  // below the folder property
    const char* workspace;     // after the tool folder
    bool warns;                // the VBA warning shows, and Setup goes on
};

class LumbrelVersionTest : public LumbrelTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(LumbrelVersionTest, PreparesTheChosenVersion) {
    const VersionCase& c = GetParam();
    std::string settings = draw.folder + c.settingsFile;
    // The drawing program's own folders exist; the settings file does not yet.
    std::string sub = c.settingsFile;
    for (size_t at = sub.find('\\'); at != std::string::npos; at = sub.find('\\', at + 1))
        CreateDirectoryW(Wide(draw.folder + sub.substr(0, at)).c_str(), nullptr);
    draw.vba = c.vba;

    ASSERT_NE(Start(), nullptr);
    Select(c.index);
    SetupRun run = PressSetup();
    std::vector<Box> expected;
    if (c.warns) expected.push_back(Stop("VBA don't be installed!"));
    expected.push_back(kSuccess);
    EXPECT_EQ(run.boxes, expected);
    EXPECT_EQ(lumbrel.WaitExit(10000), std::optional<DWORD>(0));
    EXPECT_EQ(Calls(), ModernCalls(c.progId, ToolFolder() + c.workspace));
    EXPECT_EQ(IniValue(settings, "CorelHPGLExport", "DLG Plotter Units Per Inch"), "1016");
    EXPECT_EQ(IniValue(settings, "CorelHPGLExport", "DLG Curve Resolution"), "0.001");
    EXPECT_EQ(IniValue(settings, "CorelHPGLExport", "DLG No PW or VS"), "0");
    EXPECT_EQ(FilesIn(draw.gms).size(), 5u);
    EXPECT_TRUE(FileExists(std::string(kInstallFolder) + "Kelmirt.exe"));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, LumbrelVersionTest,
    ::testing::Values(
        VersionCase{"V12NoVba", 1, false, "coreldraw.Application.12", "CorelDRAW12\\_default\\FiltMan.ini", "\\Kelmirt.xslt", true},
        VersionCase{"X3NoVba", 2, false, "coreldraw.Application.13", "CorelDRAW\\_default\\FiltMan.ini", "\\Kelmirt.xslt", true},
        VersionCase{"X4NoVba", 3, false, "coreldraw.Application.14", "CorelDRAW\\_default\\FiltMan.ini", "\\Kelmirt.xslt", true},
        VersionCase{"X5NoVba", 4, false, "coreldraw.Application.15", "_default\\FiltMan.ini", "\\Kelmirt.xslt", false},
        VersionCase{"X6", 5, true, "coreldraw.Application.16", "_default\\FiltMan.ini", "\\Kelmirt.xslt", false},
        VersionCase{"X61", 6, true, "coreldraw.Application.16.1", "_default\\FiltMan.ini", "\\Kelmirt.xslt", false},
        VersionCase{"X7", 7, true, "coreldraw.Application.17", "settings.ini", "\\Kelmirt_X7.cdws", false},
        VersionCase{"X8", 8, true, "coreldraw.Application.18", "settings.ini", "\\Kelmirt_X8.cdws", false},
        VersionCase{"V2017", 9, true, "CorelDRAW.Application.19", "settings.ini", "\\Kelmirt_X8.cdws", false},
        VersionCase{"V2018NoVba", 10, false, "coreldraw.Application.20", "settings.ini", "\\Kelmirt_X8.cdws", false},
        VersionCase{"V2019", 11, true, "coreldraw.Application.21", "settings.ini", "\\Kelmirt_X8.cdws", false}),
    [](const ::testing::TestParamInfo<VersionCase>& i) { return std::string(i.param.name); });

TEST_F(LumbrelTest, Version11LoadsItsCommandFileAndReleasesItsObjects) {
    ASSERT_NE(Start(), nullptr);
    Select(0);
    SetupRun run = PressSetup();
    EXPECT_EQ(run.boxes, std::vector<Box>{kSuccess});
    EXPECT_EQ(lumbrel.WaitExit(10000), std::optional<DWORD>(0));
    std::vector<std::string> expected = {"create coreldraw.Application.11",
                                         "app11 method 6002005F",
                                         "app11 put 60020002 TRUE",
                                         "app11 method 6002001F",
                                         "app11 method 6002004F \"" + ToolFolder() + "\\command.cwf\"",
                                         "app11 get 6002004E",
                                         "gms get 60020000",
                                         "app11 method 60020011",
                                         "release gms",
                                         "release app11"};
    EXPECT_EQ(Calls(), expected);
    EXPECT_TRUE(FilesIn(draw.folder).empty()) << "no export settings for version 11";
    EXPECT_EQ(FilesIn(draw.gms).size(), 5u);
    EXPECT_TRUE(FileExists(std::string(kInstallFolder) + "Kelmirt.ini"));
}

TEST_F(LumbrelTest, Version11WithoutVbaStops) {
    draw.vba = false;
    ASSERT_NE(Start(), nullptr);
    Select(0);
    SetupRun run = PressSetup();
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.boxes, std::vector<Box>{Stop("VBA don't be installed!")});
    EXPECT_TRUE(lumbrel.Running()) << "the dialog stays for another try";
    EXPECT_EQ(Calls(), (std::vector<std::string>{"create coreldraw.Application.11", "app11 method 6002005F", "release app11"}));
    EXPECT_TRUE(FilesIn(draw.gms).empty());
    EXPECT_FALSE(FileExists(std::string(kInstallFolder) + "Kelmirt.exe"));
}

}  // namespace
}  // namespace lumbrel_e2e
