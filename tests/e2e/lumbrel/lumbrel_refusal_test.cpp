// Where Setup stops, what it says, and what it leaves as it was.
#include "lumbrel_fixture.h"

#include "station_messages.h"

using namespace e2e;

namespace lumbrel_e2e {
namespace {

bool Installed() { return FileExists(std::string(kInstallFolder) + "Kelmirt.exe"); }

TEST_F(LumbrelTest, RefusesWhileTheStationRuns) {
    CProgram station;
    LaunchOptions o;
    o.program = JoinPath(DistDir(), "Kelmirt.exe");
    o.copySiblings = false;
    o.settingsFiles["Kelmirt.ini"] = "[Language]\r\nLan=English\r\n";
    o.runName = "lumbrel-station-running";
    ASSERT_TRUE(station.Start(o)) << station.Error();
    WindowQuery q;
    q.cls = kStationWindowClass;
    q.caption = kStationCaption;
    q.pid = station.Pid();
    ASSERT_NE(WaitTopWindow(q, 20000), nullptr);

    ASSERT_NE(Start(), nullptr);
    SetupRun run = PressSetup();
    EXPECT_EQ(run.boxes, std::vector<Box>{Stop("Kelmirt is running.Close it or Restart computer! ")});
    EXPECT_TRUE(lumbrel.Running());
    EXPECT_TRUE(Calls().empty()) << "the drawing program is not even started";
    EXPECT_TRUE(FilesIn(draw.folder).empty());
    EXPECT_TRUE(FilesIn(draw.gms).empty());
    EXPECT_FALSE(Installed());
    station.Terminate();
}

TEST_F(LumbrelTest, AVersionThatIsNotInstalledReportsTheErrorAndItsOwnText) {
    UnregisterProgId("coreldraw.Application.21");
    UnregisterProgId("coreldraw.Application.20");
    UnregisterProgId("coreldraw.Application.11");
    ASSERT_NE(Start(), nullptr);
    // The same dialog takes one try after the other.
    struct { int index; const char* text; } tries[] = {
        {11, "CorelDRAW 2019 not be installed!"}, {10, "CorelDRAW 2018 not be installed!"}, {0, "CorelDRAW 11 not be installed!"}};
    for (const auto& t : tries) {
        Select(t.index);
        SetupRun run = PressSetup();
        ASSERT_EQ(run.boxes.size(), 2u) << t.text;
        EXPECT_EQ(run.boxes[0].caption, kAppTitle);
        EXPECT_EQ(run.boxes[0].text, "Invalid class string") << "the automation error, as the system words it";
        EXPECT_EQ(run.boxes[1], Stop(t.text));
        EXPECT_TRUE(lumbrel.Running());
    }
    EXPECT_TRUE(Calls().empty());
    EXPECT_FALSE(Installed());
}

TEST_F(LumbrelTest, AnEmptyGmsFolderStopsAfterTheClosingCall) {
    draw.gms = "";
    ASSERT_NE(Start(), nullptr);
    SetupRun run = PressSetup();
    EXPECT_EQ(run.boxes, std::vector<Box>{Stop("Get GMS path faild!")});
    EXPECT_TRUE(lumbrel.Running());
    std::vector<std::string> calls = Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{"gms get 60020000", "app method 6002000E", "release app"}))
        << "the application object is let go when the attempt fails";
    EXPECT_FALSE(Installed());
}

TEST_F(LumbrelTest, AMissingMacroStopsAfterTheOnesBeforeIt) {
    ASSERT_NE(Start({"KmtOutline.gms"}), nullptr);
    SetupRun run = PressSetup();
    EXPECT_EQ(run.boxes, std::vector<Box>{Stop("bad gms path!")});
    EXPECT_TRUE(lumbrel.Running());
    EXPECT_EQ(FilesIn(draw.gms), (std::vector<std::string>{"KmtAddBarCode.gms", "KmtAddmark.gms", "Kmtcut.gms"}));
    EXPECT_FALSE(Installed());
    EXPECT_FALSE(GetFileAttributesW(Wide(kInstallFolder).c_str()) != INVALID_FILE_ATTRIBUTES)
        << "not even the installation folder is made";
}

TEST_F(LumbrelTest, AMissingStationFileStopsTheInstallation) {
    ASSERT_NE(Start({"Kelmirt\\Kelmirt.ini"}), nullptr);
    SetupRun run = PressSetup();
    EXPECT_EQ(run.boxes, std::vector<Box>{Stop("file is bad,don't copy!")});
    EXPECT_TRUE(lumbrel.Running());
    EXPECT_EQ(FilesIn(draw.gms).size(), 5u);
    EXPECT_TRUE(Installed()) << "the program was copied before the settings file was missed";
    EXPECT_FALSE(FileExists(std::string(kInstallFolder) + "Kelmirt.ini"));
}

TEST_F(LumbrelTest, AGmsFolderWithoutTrailingBackslashGetsTheNamesAppended) {
    draw.gms = JoinPath(root, "GMS");
    ASSERT_NE(Start(), nullptr);
    SetupRun run = PressSetup();
    EXPECT_EQ(run.boxes.size(), 1u);
    EXPECT_TRUE(FilesIn(draw.gms).empty());
    for (const char* name : kMacroFiles) EXPECT_TRUE(FileExists(JoinPath(root, std::string("GMS") + name))) << name;
    EXPECT_TRUE(Installed());
}

TEST_F(LumbrelTest, SettingsThatCannotBeWrittenAreReportedOneByOne) {
    // A folder where the settings file should be: no key can be written.
    CreateDirectoryW(Wide(draw.folder + "CorelDRAW\\_default\\FiltMan.ini").c_str(), nullptr);
    ASSERT_NE(Start(), nullptr);
    SetupRun run = PressSetup();
    Box iniError{kAppTitle, "INI ERROR!", false};
    EXPECT_EQ(run.boxes, (std::vector<Box>{iniError, iniError, iniError, Box{kSetupCaption, "Sucessed!", false}}));
    EXPECT_TRUE(Installed());
}

TEST_F(LumbrelTest, ARefusedCallIsReportedAndTheDialogStays) {
    draw.failDispid = "60020045";
    ASSERT_NE(Start(), nullptr);
    SetupRun run = PressSetup();
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, kAppTitle);
    EXPECT_EQ(run.boxes[0].text, "The stand-in was told to fail this call.");
    EXPECT_TRUE(lumbrel.Running());
    EXPECT_EQ(Calls().back(), "release app");
    EXPECT_TRUE(FilesIn(draw.gms).empty());
    EXPECT_FALSE(Installed());
}

}  // namespace
}  // namespace lumbrel_e2e
