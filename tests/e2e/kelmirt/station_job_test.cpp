// The road from the drawing program to the cutter end to end: the test acts as the
// drawing program's macros (export file, station messages) and as the user (options
// dialog, cut strategy dialog, barcode dialog, file dialogs), and compares what the
// simulated cutter received with what the job core makes of the same text and choices.
#include <windows.h>
#include <tlhelp32.h>

#include "job_conversion.h"
#include "job_intake.h"
#include "pen_regroup.h"
#include "station_send_fixture.h"

namespace kelmirt_e2e {
namespace {

constexpr int kOptWidth = 1007, kOptHeight = 1008, kOptLeft = 1009, kOptTop = 1010, kOptSaveToFile = 1060,
              kOptCopies = 1080, kOptSpace = 1103, kOptCount = 1104, kOptSegStart = 1107, kOptPens = 1109;
constexpr int kPenList = 1093, kPenEditor = 1033, kPenMove = 1011, kUseMachine = 1112;
constexpr int kBarcodeNumber = 1095, kGenerate = 1096;
constexpr int kPortLabel = 1007;
constexpr int kSetContour = 1042, kSetLanguage = 1079, kSetCancel = 1020;
const char kOptionsCaption[] = "Cutting Set";
const char kSettingsCaption[] = "设置";
const char kPensCaption[] = "设置切割策略";
const char kExportName[] = "kmtexport.plt";
const WPARAM kNoMark = MAKELONG(1000, 1000);

std::string ExportPath() { return TempDir() + kExportName; }

std::string Ini(const std::string& extra, const char* language = "English") {
    return std::string("[Language]\r\nLan=") + language + "\r\n[AutoGET]\r\nColExportFilename=" + kExportName +
           "\r\n" + extra;
}

// Three pens, a closed path and a dashed pen, one command per line as the export has them.
const char kJob[] =
    "IN;\r\nIP0,0,1016,1016;\r\nSC0,1016,0,1016;\r\nSP1;\r\nLT;\r\nPU0,0;\r\nPD4000,0;\r\nPD4000,2000;\r\n"
    "PD0,2000;\r\nPD0,0;\r\nSP2;\r\nLT2,4;\r\nPU1000,500;\r\nPD3000,1500;\r\nPD3500,300;\r\nLT;\r\nSP3;\r\n"
    "PU200,200;\r\nPD800,900;\r\nPD1200,300;\r\nSP0;\r\n";
const char kJobSettings[] =
    "[CutConfig]\r\nUsePresetPa=1\r\nSP1=1\r\nSP2=2\r\nSP3=3\r\nDashedMode=1\r\nSolidLineLen=3\r\nJumpLineLen=2\r\n"
    "CloseEnble=1\r\nCloseOffset=0.5\r\n";
// Registration marks in pen 2 at the corners, with the mark size line of the macros.
const char kMarkData[] =
    "IN;\r\n$1:GC,Regmark,Type-2,Auto,4,10,8.5,10,10;\r\nSP2;\r\nPU-500,-300;\r\nPD-300,-300;\r\nPU-500,6000;\r\n"
    "PD-300,6000;\r\nPU8000,-300;\r\nPD8200,-300;\r\nPU8000,6000;\r\nPD8200,6000;\r\n";

class CSilentNotice : public INotice {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return kAnswerOk; }
};

// The settings of kJobSettings as the conversion reads them.
ConvertSettings JobSettings() {
    ConvertSettings s;
    s.usePresets = true;
    s.closeEnable = true;
    s.path = PathSettings{true, 3.0f, 2.0f, 0.5f};
    return s;
}

// What the user chose for a job.
struct Choices {
    ConvertSettings settings = JobSettings();
    PenPresetTable presets{1, 2, 3, 1, 1, 1, 1, 1};
    std::vector<SHARPCOLORS> rows;  // empty: the pens as the station lists them
    int32_t leftUnits = 0, topUnits = 0;
    bool copiesOn = false;
    int32_t copies = 1, spacing = 0, segmentStart = 1;
    int32_t gridX = 1000, gridY = 1000, markValue = 0;
    std::string markData;  // empty: none
};

// The stream the job core computes for the text and the choices.
std::string Expected(std::string text, const Choices& c) {
    CSilentNotice notice;
    ConvertJob job;
    EXPECT_TRUE(ScanPlt(text, job.jobBox));
    if (!c.markData.empty()) {
        job.markDataPresent = true;
        EXPECT_TRUE(ScanPlt(c.markData, job.markBox));
    }
    SetJobReferences(job);
    std::vector<SHARPCOLORS> rows = c.rows;
    if (rows.empty()) {
        uint8_t mode = 0;
        ScanPens(text, rows, mode, c.presets, true, notice);
    }
    RegroupByPen(text, rows, notice);
    job.leftOffset = c.leftUnits;
    job.topOffset = c.topUnits;
    job.markGridX = c.gridX;
    job.markGridY = c.gridY;
    job.markValue = c.markValue;
    job.copiesOn = c.copiesOn;
    job.copies = c.copies;
    job.copySpacing = c.spacing;
    job.segmentStart = c.segmentStart;
    std::string stream;
    EXPECT_EQ(ConvertPltToCutter(text, job, c.settings, rows, true, notice, stream), ConvertResult::kConverted);
    return stream;
}

class StationJobTest : public StationSendTest {
protected:
    void SetUp() override {
        StationSendTest::SetUp();
        DeleteFileIfAny(ExportPath());
    }
    void TearDown() override {
        StationSendTest::TearDown();
        DeleteFileIfAny(ExportPath());
    }

    void Export(const std::string& text) { ASSERT_TRUE(WriteBinary(ExportPath(), text)); }
    HWND WaitShown(const std::string& caption, DWORD ms = 10000) {
        HWND d = WaitDialog(caption, station.Pid(), ms);
        if (d) {
            WaitUntil([&] { return IsShown(d); }, 5000);
            Sleep(300);
        }
        return d;
    }
    HWND WaitOptions() { return WaitShown(kOptionsCaption); }
    bool Gone(HWND dlg) { return WaitUntil([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); }, 10000); }
    HWND OpenPens(HWND options) {
        if (!ClickButton(options, kOptPens)) return nullptr;
        return WaitShown(kPensCaption);
    }
    ListViewState List(HWND pens) {
        std::string why;
        auto state = ReadListView(Control(pens, kPenList), &why);
        EXPECT_TRUE(state) << why;
        return state ? *state : ListViewState{};
    }
    std::vector<std::string> Presets(HWND pens) {
        std::vector<std::string> out;
        for (const auto& row : List(pens).rows) out.push_back(row.cells.at(1).text);
        return out;
    }
    void ClickCell(HWND pens, int row, int column) {
        auto list = List(pens);
        ASSERT_LT(static_cast<size_t>(row), list.rows.size());
        const RECT& r = list.rows[static_cast<size_t>(row)].cells.at(static_cast<size_t>(column)).rect;
        ClickScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        Sleep(300);
    }
    // Types a preset into a row's cell editor and leaves it, as the user does.
    void SetPreset(HWND pens, int row, const std::string& text) {
        ClickCell(pens, row, 1);
        HWND editor = Control(pens, kPenEditor);
        ASSERT_TRUE(IsWindowVisible(editor));
        SetTextOf(editor, text);
        RECT r;
        GetClientRect(Control(pens, kPenList), &r);
        ClickClient(Control(pens, kPenList), POINT{r.right / 2, r.bottom - 10});
        Sleep(300);
    }
    void MoveRow(HWND pens, int row, bool towardsEnd) {
        ClickCell(pens, row, 0);
        ClickUpDown(Control(pens, kPenMove), towardsEnd);
    }
    bool Checked(HWND dlg, int id) { return IsChecked(dlg, id); }
    // The file name field of a common file dialog.
    HWND NameField(HWND dlg) {
        HWND edit = nullptr;
        WaitUntil([&] { return (edit = Control(dlg, 0x47c) ? Control(dlg, 0x47c) : Control(dlg, 0x480)) != nullptr; }, 5000);
        return edit;
    }
    void PickFile(const std::string& caption, const std::string& path) {
        HWND dlg = WaitShown(caption);
        ASSERT_NE(dlg, nullptr) << caption;
        HWND edit = NameField(dlg);
        ASSERT_NE(edit, nullptr);
        SetTextOf(edit, path);
        ClickButton(dlg, IDOK);
        EXPECT_TRUE(Gone(dlg));
    }
    // The open-PLT-file button with path picked in its file dialog: the job's options dialog.
    HWND OpenPicked(HWND w, const std::string& path) {
        if (!ClickButton(w, kOpenPltButton)) return nullptr;
        PickFile("Open", path);
        return WaitOptions();
    }
    std::string PenKeys() {
        std::string s = "UsePresetPa=" + IniValue("CutConfig", "UsePresetPa");
        for (int pen = 1; pen <= 8; ++pen) s += " SP" + std::to_string(pen) + "=" + IniValue("CutConfig", "SP" + std::to_string(pen));
        return s;
    }
};

TEST_F(StationJobTest, MainRoadThroughTheDialogsReachesTheCutterAsTheCoreConvertsIt) {
    ASSERT_TRUE(sim.Start());
    HWND w = StartStation(Ini(kJobSettings));
    ASSERT_NE(w, nullptr);

    Export(kJob);
    AsyncSend job(w, WM_PLT_EXPORTED, kNoMark, 0);
    HWND options = WaitOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(FileExists(ExportPath())) << "the export file is read and deleted before the dialog";
    EXPECT_EQ(ControlText(options, kOptWidth), "100");
    EXPECT_EQ(ControlText(options, kOptHeight), "50");
    EXPECT_EQ(ControlText(options, kOptLeft), "0");
    EXPECT_EQ(ControlText(options, kOptSegStart), "1");
    EXPECT_FALSE(Screenshot("kelmirt-job-options-en", {options}).empty());
    SetControlText(options, kOptLeft, "10");
    SetControlText(options, kOptTop, "0.5");

    HWND pens = OpenPens(options);
    ASSERT_NE(pens, nullptr);
    EXPECT_TRUE(Checked(pens, kUseMachine));
    EXPECT_EQ(Presets(pens), (std::vector<std::string>{"预设参数#1", "预设参数#2", "预设参数#3"}));
    SetPreset(pens, 2, "预设参数#5");
    MoveRow(pens, 0, /*towardsEnd=*/true);
    EXPECT_EQ(Presets(pens), (std::vector<std::string>{"预设参数#2", "预设参数#1", "预设参数#5"}));
    ClickButton(pens, IDOK);
    ASSERT_TRUE(Gone(pens));
    // Nothing is stored before the options are confirmed.
    EXPECT_EQ(IniValue("CutConfig", "SP3"), "3");
    ClickButton(options, IDOK);
    EXPECT_EQ(job.Result(), std::optional<LRESULT>(1));
    ASSERT_TRUE(WaitIdle(w));

    Choices c;
    c.rows = {{1, 2, 2}, {1, 1, 1}, {1, 5, 3}};
    c.leftUnits = 399;  // 10 mm in single precision
    c.topUnits = 19;    // 0.5 mm
    const std::string expected = Expected(kJob, c);
    EXPECT_EQ(sim.Received(), expected);
    EXPECT_NE(expected.find("S#4;"), std::string::npos) << "pen 3 on preset 5";
    EXPECT_EQ(PenKeys(), "UsePresetPa=1 SP1=1 SP2=2 SP3=5 SP4=1 SP5=1 SP6=1 SP7=1 SP8=1");

    // The same job saved to a file: the file holds the stream, the cutter gets nothing.
    sim.Clear();
    const std::string saved = JoinPath(station.Folder(), "saved.plt");
    Export(kJob);
    AsyncSend again(w, WM_PLT_EXPORTED, kNoMark, 0);
    options = WaitOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(Checked(options, kOptSaveToFile));
    Send(Control(options, kOptSaveToFile), BM_SETCHECK, BST_CHECKED);
    ClickButton(options, IDOK);
    PickFile("Save As", saved);
    EXPECT_EQ(CloseBox(w), "Save finshed!");
    EXPECT_EQ(again.Result(), std::optional<LRESULT>(1));
    Choices s;
    s.presets = {1, 2, 5, 1, 1, 1, 1, 1};  // the presets stored by the first job
    EXPECT_EQ(ReadBinary(saved), Expected(kJob, s));
    Sleep(500);
    EXPECT_EQ(sim.Received(), "");
    EXPECT_FALSE(FileExists(ExportPath()));
}

TEST_F(StationJobTest, ContourJobTakesItsMarksBarcodeAndReferencePointFromTheMarkData) {
    ASSERT_TRUE(sim.Start());
    HWND w = StartStation(Ini(std::string(kJobSettings) + "CutImageMode=1\r\n"));
    ASSERT_NE(w, nullptr);

    // Without marks the job is refused; only (1000, 1000) means no mark.
    Export(kJob);
    EXPECT_EQ(Send(w, WM_PLT_EXPORTED, kNoMark, 0, 10000), std::optional<LRESULT>(0));
    EXPECT_FALSE(FileExists(ExportPath()));
    EXPECT_TRUE(Balloon("No any mark is selected!"));
    Export(kJob);
    {
        AsyncSend taken(w, WM_PLT_EXPORTED, MAKELONG(1000, 0), 0);
        HWND options = WaitOptions();
        ASSERT_NE(options, nullptr);
        ClickButton(options, IDCANCEL);
        EXPECT_EQ(taken.Result(), std::optional<LRESULT>(0));
    }

    Export(kMarkData);
    EXPECT_EQ(Send(w, WM_MARKDATA_READY, 0, 0, 10000), std::optional<LRESULT>(1));
    EXPECT_FALSE(FileExists(ExportPath()));

    int number = -1;
    {
        AsyncSend barcode(w, WM_GET_BARCODE_NUMBER);
        HWND dlg = WaitShown("AddBarcode");
        ASSERT_NE(dlg, nullptr);
        ClickButton(dlg, kGenerate);
        Sleep(300);
        std::string shown = ControlText(dlg, kBarcodeNumber);
        ASSERT_EQ(shown.size(), 4u) << shown;
        number = std::stoi(shown);
        ClickButton(dlg, IDOK);
        EXPECT_EQ(barcode.Result(), std::optional<LRESULT>(number));
    }

    Export(kJob);
    AsyncSend job(w, WM_PLT_EXPORTED, MAKELONG(2, 3), number);  // 3 marks across, 2 rows
    HWND options = WaitOptions();
    ASSERT_NE(options, nullptr);
    SetControlText(options, kOptLeft, "10");  // no effect in contour mode
    ClickButton(options, IDOK);
    EXPECT_EQ(job.Result(), std::optional<LRESULT>(1));
    ASSERT_TRUE(WaitIdle(w));

    Choices c;
    c.settings.contourMode = true;
    c.gridX = 3;
    c.gridY = 2;
    c.markValue = number;
    c.markData = kMarkData;
    const std::string expected = Expected(kJob, c);
    EXPECT_EQ(sim.Received(), expected);
    EXPECT_NE(expected.find("GM3,2," + std::to_string(number) + ";"), std::string::npos) << expected;
    Choices ownBox = c;
    ownBox.markData.clear();
    EXPECT_NE(expected, Expected(kJob, ownBox)) << "the mark box must move the drawing";
}

TEST_F(StationJobTest, EveryRefusalSaysWhyAndLeavesNoExportFileBehind) {
    HWND w = StartStation(Ini(""));
    ASSERT_NE(w, nullptr);
    struct Case {
        const char* name;
        UINT msg;
        WPARAM wp;
        std::string file;
        const char* balloon;  // null: none
    };
    const Case cases[] = {
        {"over-long command", WM_PLT_EXPORTED, kNoMark, "PA" + std::string(260, '1') + ";\r\n", "data error!"},
        {"marks given with contour mode off", WM_PLT_EXPORTED, MAKELONG(2, 3), kJob, "Cut picture mode is off!"},
        {"mark data the scan rejects", WM_MARKDATA_READY, 0, "$1:SA,regmark,segment,area,type2X,1,2,3,4,5;", "data error!"},
        {"empty file", WM_PLT_EXPORTED, kNoMark, "", nullptr},
        {"no point", WM_PLT_EXPORTED, kNoMark, "IN;\r\nSP1;\r\nPD5,5;\r\n", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Export(c.file);
        EXPECT_EQ(Send(w, c.msg, c.wp, 0, 10000), std::optional<LRESULT>(0));
        EXPECT_FALSE(FileExists(ExportPath()));
        if (c.balloon) {
            EXPECT_TRUE(Balloon(c.balloon));
        }
    }
    // No export file: nothing happens.
    EXPECT_EQ(Send(w, WM_PLT_EXPORTED, kNoMark, 0), std::optional<LRESULT>(0));
    EXPECT_EQ(Send(w, WM_MARKDATA_READY), std::optional<LRESULT>(0));
    // A file that the drawing program still holds stays where it is.
    Export(kJob);
    HANDLE held = CreateFileW(Wide(ExportPath()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Send(w, WM_PLT_EXPORTED, kNoMark, 0), std::optional<LRESULT>(0));
    EXPECT_EQ(Send(w, WM_MARKDATA_READY), std::optional<LRESULT>(0));
    CloseHandle(held);
    EXPECT_TRUE(FileExists(ExportPath()));
    EXPECT_EQ(BoxCount(w), 0);
}

TEST_F(StationJobTest, WhileSendingJobsAreRefusedAndTheBarcodeRequestAnswersOne) {
    ASSERT_TRUE(sim.Start("--slow 400"));
    HWND w = StartStation(Ini(""));
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(SendJob(w, Stream(20000)), std::optional<LRESULT>(6));
    Export(kJob);
    EXPECT_EQ(Send(w, WM_PLT_EXPORTED, kNoMark, 0), std::optional<LRESULT>(0));
    EXPECT_FALSE(FileExists(ExportPath()));
    EXPECT_TRUE(Balloon(kBusy));
    Export(kMarkData);
    EXPECT_EQ(Send(w, WM_MARKDATA_READY), std::optional<LRESULT>(0));
    EXPECT_FALSE(FileExists(ExportPath()));
    EXPECT_EQ(Send(w, WM_GET_BARCODE_NUMBER), std::optional<LRESULT>(1));
    EXPECT_EQ(Send(w, WM_OPEN_SETTINGS), std::optional<LRESULT>(1));
    Sleep(500);
    EXPECT_EQ(WaitDialog("AddBarcode", station.Pid(), 100), nullptr);
    EXPECT_EQ(WaitDialog(kSettingsCaption, station.Pid(), 100), nullptr);
    ASSERT_TRUE(Restore(w));
    ASSERT_TRUE(ClickButton(w, kStopButton));
    ASSERT_TRUE(WaitIdle(w, 5000));
}

TEST_F(StationJobTest, AfterDecliningTheReopenTheNextJobIsRefusedWithCodeThree) {
    HWND w = StartStation(Ini(""));
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(Post(w, WM_PORT_ERROR, 0, 2));
    HWND ask = WaitShown("Quorlinsign");
    ASSERT_NE(ask, nullptr);
    ASSERT_TRUE(ClickButton(ask, IDNO));
    ASSERT_TRUE(WaitUntil([&] { return ControlText(w, kPortLabel) == "COM:error"; }, 5000));
    WaitUntil([&] { return BoxCount(w) == 0; }, 5000);

    Export(kJob);
    AsyncSend job(w, WM_PLT_EXPORTED, kNoMark, 0);
    EXPECT_EQ(CloseBox(w), "串口没有准备好,设备无法工作!");
    EXPECT_EQ(job.Result(), std::optional<LRESULT>(0));
    EXPECT_FALSE(FileExists(ExportPath()));
    EXPECT_TRUE(Balloon("串口没有准备好,设备无法工作!"));
}

TEST_F(StationJobTest, CancelKeepsThePresetsAndTheJobWithOneNumberAtThousandIsTaken) {
    ASSERT_TRUE(sim.Start());
    HWND w = StartStation(Ini("[CutConfig]\r\nUsePresetPa=1\r\nSP1=2\r\n"));
    ASSERT_NE(w, nullptr);
    const std::string before = PenKeys();
    Export(kJob);
    AsyncSend job(w, WM_PLT_EXPORTED, MAKELONG(1000, 5), 0);
    HWND options = WaitOptions();
    ASSERT_NE(options, nullptr);
    HWND pens = OpenPens(options);
    ASSERT_NE(pens, nullptr);
    SetPreset(pens, 0, "预设参数#7");
    ClickButton(pens, kUseMachine);
    ClickButton(pens, IDOK);
    ASSERT_TRUE(Gone(pens));
    ClickButton(options, IDCANCEL);
    EXPECT_EQ(job.Result(), std::optional<LRESULT>(0));
    EXPECT_EQ(PenKeys(), before);
    EXPECT_FALSE(FileExists(ExportPath()));
    Sleep(500);
    EXPECT_EQ(sim.Received(), "");
}

TEST_F(StationJobTest, SegmentStartThreeTurnsTheCopiesOff) {
    ASSERT_TRUE(sim.Start());
    HWND w = StartStation(Ini(std::string(kJobSettings) + "SegEnble=1\r\nSegLen=20\r\n"));
    ASSERT_NE(w, nullptr);
    Export(kJob);
    AsyncSend job(w, WM_PLT_EXPORTED, kNoMark, 0);
    HWND options = WaitOptions();
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(IsWindowEnabled(Control(options, kOptSegStart)));
    ClickButton(options, kOptCopies);
    Sleep(300);
    SetControlText(options, kOptCount, "3");
    SetControlText(options, kOptSpace, "5");
    SetControlText(options, kOptSegStart, "3");
    ClickButton(options, IDOK);
    EXPECT_EQ(job.Result(), std::optional<LRESULT>(1));
    ASSERT_TRUE(WaitIdle(w));
    Choices c;
    c.settings.segEnable = true;
    c.settings.segLen = 20;
    c.copies = 3;
    c.spacing = 5;
    c.segmentStart = 3;
    const std::string expected = Expected(kJob, c);
    EXPECT_EQ(sim.Received(), expected);
    Choices withCopies = c;
    withCopies.copiesOn = true;
    EXPECT_NE(expected, Expected(kJob, withCopies)) << "copies must show in the stream";
}

TEST_F(StationJobTest, TheOpenPltButtonCutsAPickedFileAndLeavesItInPlace) {
    ASSERT_TRUE(sim.Start());
    HWND w = StartStation(Ini(kJobSettings));
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(Restore(w));
    const std::string picked = JoinPath(station.Folder(), "Picked.plt");
    ASSERT_TRUE(WriteBinary(picked, kJob));

    HWND options = OpenPicked(w, picked);
    ASSERT_NE(options, nullptr);
    ClickButton(options, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return sim.Received().size() > 0; }, 20000));
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(sim.Received(), Expected(kJob, Choices{}));
    EXPECT_EQ(ReadBinary(picked), kJob);
    EXPECT_FALSE(FileExists(ExportPath()));

    // An export file that cannot be replaced: no job.
    sim.Clear();
    Export("held");
    HANDLE held = CreateFileW(Wide(ExportPath()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(ClickButton(w, kOpenPltButton));
    PickFile("Open", picked);
    EXPECT_EQ(CloseBox(w), "Source file error!");
    CloseHandle(held);
    EXPECT_EQ(WaitDialog(kOptionsCaption, station.Pid(), 500), nullptr);
    EXPECT_EQ(ReadBinary(picked), kJob);
    EXPECT_EQ(sim.Received(), "");
}

// Inkscape writes each outline into one PD of thousands of characters, all on one line.
TEST_F(StationJobTest, TheOpenPltButtonCutsEveryPointOfInkscapesExport) {
    ASSERT_TRUE(sim.Start());
    HWND w = StartStation(Ini(kJobSettings));
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(Restore(w));
    const std::string sign = ReadBinary(KM_TEST_DATA_DIR "/plt/inkscape_sign.plt");
    ASSERT_GT(sign.size(), 10000u);
    const std::string picked = JoinPath(station.Folder(), "sign.plt");
    ASSERT_TRUE(WriteBinary(picked, sign));

    HWND options = OpenPicked(w, picked);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(ControlText(options, kOptWidth), "300.25");
    EXPECT_EQ(ControlText(options, kOptHeight), "120.5");
    ClickButton(options, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return sim.Received().size() > 0; }, 20000));
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(sim.Received(), Expected(sign, Choices{}));
    EXPECT_EQ(BoxCount(w), 0);
    auto tray = ReadTray();
    ASSERT_TRUE(tray);
    EXPECT_EQ(std::find(tray->balloons.begin(), tray->balloons.end(), "data error!"), tray->balloons.end());
}

TEST_F(StationJobTest, JobMessagesWhileAJobsDialogIsOpenAreRefusedAndTheFirstJobGoesOutUnchanged) {
    ASSERT_TRUE(sim.Start());
    HWND w = StartStation(Ini(kJobSettings));
    ASSERT_NE(w, nullptr);
    Export(kJob);
    AsyncSend first(w, WM_PLT_EXPORTED, kNoMark, 0);
    HWND options = WaitOptions();
    ASSERT_NE(options, nullptr);

    Export("IN;\r\nSP4;\r\nPU0,0;\r\nPD9999,9999;\r\n");
    EXPECT_EQ(Send(w, WM_PLT_EXPORTED, MAKELONG(7, 7), 42), std::optional<LRESULT>(0));
    EXPECT_FALSE(FileExists(ExportPath()));
    EXPECT_TRUE(Balloon(kBusy));
    Export(kMarkData);
    EXPECT_EQ(Send(w, WM_MARKDATA_READY), std::optional<LRESULT>(0));
    EXPECT_FALSE(FileExists(ExportPath()));
    EXPECT_EQ(SendJob(w, "PU1,1;"), std::optional<LRESULT>(0));
    EXPECT_FALSE(FileExists(JobFilePath()));
    EXPECT_EQ(WaitDialog(kOptionsCaption, station.Pid(), 100), options);

    ClickButton(options, IDOK);
    EXPECT_EQ(first.Result(), std::optional<LRESULT>(1));
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(sim.Received(), Expected(kJob, Choices{}));
}

// Settings changed under an open job would change it: while the job's dialogs are open
// the settings command is held as while sending, and the job cuts as it was read.
TEST_F(StationJobTest, WhileAJobsDialogIsOpenTheSettingsCommandIsHeldAndTheJobCutsAsRead) {
    ASSERT_TRUE(sim.Start());
    HWND w = StartStation(Ini(kJobSettings));
    ASSERT_NE(w, nullptr);
    Export(kJob);
    AsyncSend job(w, WM_PLT_EXPORTED, kNoMark, 0);
    HWND options = WaitOptions();
    ASSERT_NE(options, nullptr);

    // A settings dialog that came up under the job would get contour cutting switched on,
    // which the job's stream would show.
    auto settingsCameUp = [&] {
        HWND dlg = WaitDialog(kSettingsCaption, station.Pid(), 1500);
        if (!dlg) return false;
        WaitUntil([&] { return IsWindowVisible(dlg) != FALSE; }, 5000);
        Send(Control(dlg, kSetContour), BM_SETCHECK, BST_CHECKED);
        ClickButton(dlg, IDOK);
        Gone(dlg);
        return true;
    };
    const struct {
        const char* route;
        UINT msg;
        WPARAM wp;
    } routes[] = {
        {"the drawing program's request", WM_OPEN_SETTINGS, 0},
        {"the tray's Set", WM_COMMAND, kTraySet},
        {"the settings button", WM_COMMAND, kSettingsButton},
    };
    for (const auto& r : routes) {
        SCOPED_TRACE(r.route);
        if (r.msg == WM_COMMAND) {
            ASSERT_TRUE(Post(w, r.msg, r.wp, 0));
        } else {
            EXPECT_EQ(Send(w, r.msg, r.wp, 0), std::optional<LRESULT>(1));
        }
        EXPECT_FALSE(settingsCameUp());
    }
    ExpectTrayMenuGreys(w, {kTraySet, kTrayStop}, "while a job's dialog is open");
    EXPECT_EQ(WaitDialog(kOptionsCaption, station.Pid(), 100), options);

    ClickButton(options, IDOK);
    EXPECT_EQ(job.Result(), std::optional<LRESULT>(1));
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(sim.Received(), Expected(kJob, Choices{}));

    // With the job out, the settings command is back.
    ExpectTrayMenu(w, /*sending=*/false);
    EXPECT_EQ(Send(w, WM_OPEN_SETTINGS), std::optional<LRESULT>(1));
    HWND dlg = WaitShown(kSettingsCaption);
    ASSERT_NE(dlg, nullptr);
    ClickButton(dlg, kSetCancel);
    EXPECT_TRUE(Gone(dlg));
}

// The reverse: a job that starts sending while the settings dialog is open is still told on
// the status line after OK, in the language just chosen, not taken for done.
TEST_F(StationJobTest, SettingsOkDuringASendLeavesTheStatusLineTellingTheSend) {
    ASSERT_TRUE(sim.Start("--slow 400"));
    HWND w = StartStation(Ini(""));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Send(w, WM_OPEN_SETTINGS), std::optional<LRESULT>(1));
    HWND dlg = WaitShown(kSettingsCaption);
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(SendJob(w, Stream(20000)), std::optional<LRESULT>(6));
    EXPECT_EQ(ControlText(w, kStatusLine), "Sending...");

    HWND language = Control(dlg, kSetLanguage);
    ASSERT_EQ(Send(language, CB_SETCURSEL, 0), std::optional<LRESULT>(0));  // 中文
    ASSERT_TRUE(Post(dlg, WM_COMMAND, MAKEWPARAM(kSetLanguage, CBN_SELCHANGE), reinterpret_cast<LPARAM>(language)));
    ClickButton(dlg, IDOK);
    ASSERT_TRUE(Gone(dlg));
    EXPECT_EQ(Ping(w), std::optional<LRESULT>(1));
    EXPECT_TRUE(Enabled(w, kStopButton)) << "the send goes on";
    EXPECT_EQ(ControlText(w, kStatusLine), "发送中。。。");

    ASSERT_TRUE(Restore(w));
    ASSERT_TRUE(ClickButton(w, kStopButton));
    EXPECT_TRUE(WaitUntil([&] { return Idle(w) && ControlText(w, kStatusLine) == "准备就绪"; }, 5000, 50));
}

TEST_F(StationJobTest, ChineseOptionsDialogAsAJobOpensIt) {
    HWND w = StartStation(Ini("", "Chinese"));
    ASSERT_NE(w, nullptr);
    Export(kJob);
    EXPECT_EQ(Send(w, WM_PLT_EXPORTED, MAKELONG(2, 3), 0), std::optional<LRESULT>(0));
    EXPECT_TRUE(Balloon("切割图片模式未开启!"));
    Export(kJob);
    AsyncSend job(w, WM_PLT_EXPORTED, kNoMark, 0);
    HWND options = WaitOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(ControlText(options, kOptWidth), "100");
    EXPECT_EQ(ControlText(options, IDOK), "切割");
    EXPECT_FALSE(Screenshot("kelmirt-job-options-zh").empty());
    ClickButton(options, IDCANCEL);
    EXPECT_EQ(job.Result(), std::optional<LRESULT>(0));
}

// Threads of a process (the folder watcher is one of them).
int ThreadCount(DWORD pid) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 t = {};
    t.dwSize = sizeof(t);
    int n = 0;
    for (BOOL ok = Thread32First(snap, &t); ok; ok = Thread32Next(snap, &t)) n += t.th32OwnerProcessID == pid;
    CloseHandle(snap);
    return n;
}

TEST_F(StationJobTest, SettingsOkRunsOneWatcherInAutoModeAndNoneInFileMode) {
    HWND w = StartStation(Ini(""));
    ASSERT_NE(w, nullptr);
    const DWORD pid = station.Pid();
    auto settingsOk = [&] {
        // The macros' settings request opens the dialog after the send has returned.
        EXPECT_EQ(Send(w, WM_OPEN_SETTINGS), std::optional<LRESULT>(1));
        HWND dlg = WaitShown(kSettingsCaption);
        ASSERT_NE(dlg, nullptr);
        ClickButton(dlg, IDOK);
        ASSERT_TRUE(Gone(dlg));
        // The station answers once the settings command is through.
        EXPECT_EQ(Ping(w), std::optional<LRESULT>(1));
        Sleep(300);
    };
    auto threadsBecome = [&](int n) { return WaitUntil([&] { return ThreadCount(pid) == n; }, 5000); };
    Sleep(1000);
    const int base = ThreadCount(pid);
    ASSERT_GT(base, 0);
    settingsOk();
    EXPECT_TRUE(threadsBecome(base + 1)) << "one watcher after the first OK";
    settingsOk();
    settingsOk();
    EXPECT_EQ(ThreadCount(pid), base + 1) << "a restart ends the previous watcher first";

    ASSERT_TRUE(Post(w, WM_COMMAND, kFileRadio, 0));
    EXPECT_TRUE(threadsBecome(base)) << "file mode ends the watcher";
    settingsOk();
    EXPECT_EQ(ThreadCount(pid), base) << "file mode: OK starts no watcher";

    ASSERT_TRUE(Post(w, WM_COMMAND, kAutoRadio, 0));
    settingsOk();
    EXPECT_TRUE(threadsBecome(base + 1));
    // A change in the watched folder changes nothing visible.
    Export("touch");
    DeleteFileIfAny(ExportPath());
    Sleep(300);
    EXPECT_EQ(Ping(w), std::optional<LRESULT>(1));
    EXPECT_EQ(ThreadCount(pid), base + 1);
}

// A stand-in for the drawing program's export dialog: a dialog captioned with the
// station's export folder, on a thread of its own, that notes when it is asked to close.
class ExportDialogStandIn {
public:
    explicit ExportDialogStandIn(const std::string& caption) : thread_([this, caption] { Run(caption); }) {
        WaitUntil([&] { return window_.load() != nullptr; }, 5000);
    }
    ~ExportDialogStandIn() {
        if (HWND h = window_.load()) PostMessageW(h, WM_USER, 0, 0);
        thread_.join();
    }
    bool Closed() const { return closed_; }

private:
    static INT_PTR CALLBACK Proc(HWND h, UINT msg, WPARAM, LPARAM lp) {
        if (msg == WM_INITDIALOG) {
            SetWindowLongPtrW(h, DWLP_USER, lp);
            return TRUE;
        }
        auto* self = reinterpret_cast<ExportDialogStandIn*>(GetWindowLongPtrW(h, DWLP_USER));
        if (msg == WM_CLOSE || msg == WM_USER) {
            if (msg == WM_CLOSE) self->closed_ = true;
            DestroyWindow(h);
            PostQuitMessage(0);
            return TRUE;
        }
        return FALSE;
    }
    void Run(const std::string& caption) {
        std::wstring title = Wide(caption);
        std::vector<WORD> t(sizeof(DLGTEMPLATE) / 2 + 2 + title.size() + 1 + 4, 0);
        auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
        d->style = WS_POPUP | WS_CAPTION;
        d->cx = 100;
        d->cy = 40;
        WORD* p = t.data() + sizeof(DLGTEMPLATE) / 2 + 2;  // no menu, the dialog class
        for (wchar_t ch : title) *p++ = ch;
        HWND h = CreateDialogIndirectParamW(nullptr, d, nullptr, &Proc, reinterpret_cast<LPARAM>(this));
        window_ = h;
        if (!h) return;
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
    }
    std::atomic<HWND> window_{nullptr};
    std::atomic<bool> closed_{false};
    std::thread thread_;
};

TEST_F(StationJobTest, ExportDialogRequestClosesTheDialogWhileTheDriveSwitchIsOff) {
    HWND w = StartStation(Ini(""));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Send(w, WM_DRIVE_EXPORT_DIALOG), std::optional<LRESULT>(0));
    ExportDialogStandIn exportDialog(TempDir());
    EXPECT_EQ(Send(w, WM_DRIVE_EXPORT_DIALOG), std::optional<LRESULT>(0));
    EXPECT_TRUE(WaitUntil([&] { return exportDialog.Closed(); }, 5000));
    EXPECT_EQ(BoxCount(w), 0);
}

}  // namespace
}  // namespace kelmirt_e2e
