// Ornavex as a user sees it: started with a drawing, its menus and toolbar, zoom, and the
// Output command writing the cutter command text or handing the job to Kelmirt.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <optional>

#include "aci_palette.h"
#include "drawing_layout.h"
#include "dxf_import.h"
#include "e2e_kit.h"
#include "plt_writer.h"
#include "recording_notice.h"
#include "station_messages.h"

using namespace e2e;

namespace {

constexpr DWORD kStartMs = 20000;
constexpr UINT kOutput = 32777, kZoomIn = 2001, kZoomOut = 2002, kSet = 32776;
constexpr int kSaveToFile = 1008;
// Dialog 131, the cut strategy.
constexpr int kList = 1003, kEditor = 1004, kByLayer = 1006, kByColour = 1007, kMove = 1011, kSort = 1012;
// Kelmirt's status line and tray icon.
constexpr int kStatusLine = 1006;
constexpr WPARAM kTrayIconId = 173;
const char kTitle[] = "Drevik Ornavex v1.d6.4";
const wchar_t kRegistryKey[] = L"Software\\应用程序向导生成的本地应用程序";

std::string Drawing() { return std::string(KM_TEST_DATA_DIR) + "/dxf/ornavex_layers.dxf"; }

// The rows Ornavex builds for a drawing: every row enabled with preset 1.
CutOrder FreshOrder(const std::string& path) {
    CRecordingNotice n;
    EXPECT_EQ(ReadDxfFile(path, n), DxfReadResult::kRead);
    CutOrder order;
    BuildCutRows(order);
    return order;
}

// What the core writer makes of the drawing with this cut strategy (by default the fresh one).
std::string WriterText(const std::string& path, const std::optional<CutOrder>& order = std::nullopt) {
    CRecordingNotice n;
    EXPECT_EQ(ReadDxfFile(path, n), DxfReadResult::kRead);
    CutOrder fresh;
    BuildCutRows(fresh);
    std::string text;
    EXPECT_EQ(MakePltText(order ? *order : fresh, n, text), PltWriteResult::kWritten);
    return text;
}

// A point inside a cell's swatch, clear of its text and the grid lines.
POINT SwatchPoint(const RECT& r) { return POINT{r.right - 6, (r.top + r.bottom) / 2}; }

// The simulated cutter (cutter-sim.exe) on the pipe that KELMIRT_CUTTER_PIPE names.
class CutterSim {
public:
    CutterSim()
        : name_("ornavex-test-cutter-" + std::to_string(GetCurrentProcessId())),
          out_(JoinPath(OutputDir(), name_ + ".out")) {}
    const std::string& Name() const { return name_; }
    bool Start() {
        DeleteFileIfAny(out_);
        LaunchOptions o;
        o.program = KM_CUTTER_SIM;
        o.copySiblings = false;
        o.arguments = "--pipe " + name_ + " --out \"" + out_ + "\"";
        o.runName = name_;
        if (!prog_.Start(o)) {
            ADD_FAILURE() << prog_.Error();
            return false;
        }
        const std::string pipe = "\\\\.\\pipe\\" + name_;
        return WaitUntil([&] {
            return WaitNamedPipeA(pipe.c_str(), 1) || GetLastError() == ERROR_SEM_TIMEOUT ||
                   GetLastError() == ERROR_PIPE_BUSY;
        }, 10000);
    }
    std::string Received() const { return ReadFileText(out_).value_or(""); }

private:
    std::string name_, out_;
    CProgram prog_;  // ended with the test
};

class OrnavexTest : public ::testing::Test {
protected:
    void SetUp() override {
        EndProgramsWithWindow({std::string("#32770"), std::string("Kelmirt")});
        RegDeleteTreeW(HKEY_CURRENT_USER, kRegistryKey);  // no recent files
    }
    void TearDown() override {
        // A dialog left open by a failed test goes first: the frame is not closed under it.
        const WindowQuery dialogs{std::string("#32770"), std::nullopt, prog.Pid(), true};
        if (prog.Running())
            WaitUntil([&] {
                for (HWND d : FindTopWindows(dialogs)) Post(d, WM_COMMAND, IDCANCEL);
                return FindTopWindows(dialogs).empty();
            }, 10000, 500);
        if (frame) Post(frame, WM_CLOSE);
        if (prog.Running() && !prog.WaitExit(10000)) prog.Terminate();
        EndProgramsWithWindow({std::string("#32770"), std::string("Kelmirt")});
        DeleteFileIfAny(JoinPath(TempDir(), "ornavexjob.008"));
    }

    // Ornavex from a run folder of its own, or, given its path, where it lies.
    HWND Start(const std::string& args, const std::string& tag,
               const std::map<std::string, std::string>& env = {}, const std::string& program = "") {
        LaunchOptions o;
        o.program = program.empty() ? JoinPath(DistDir(), "Ornavex.exe") : program;
        o.inPlace = !program.empty();
        o.arguments = args;
        o.env = env;
        o.runName = "ornavex-" + tag;
        if (!prog.Start(o)) {
            ADD_FAILURE() << prog.Error();
            return nullptr;
        }
        frame = WaitTopWindow({std::string("FwFrameWnd"), std::nullopt, prog.Pid(), true}, kStartMs);
        return frame;
    }

    // The file dialog's name field, once the dialog has finished setting itself up: until then
    // its initialisation may still empty a name typed into it.
    static HWND NameEdit(HWND dlg) {
        HWND edit = nullptr;
        WaitUntil([&] {
            edit = Control(dlg, 0x47c) ? Control(dlg, 0x47c) : Control(dlg, 0x480);
            HWND types = Control(dlg, 0x470);
            return edit && types && IsWindowVisible(dlg) && Send(types, CB_GETCOUNT).value_or(0) > 0;
        }, 10000);
        return edit;
    }

    // The common file dialog of this caption: the name typed into it and OK pressed.
    void AnswerFileDialog(const std::string& caption, const std::string& name) {
        HWND dlg = WaitDialog(caption, prog.Pid(), 10000);
        ASSERT_NE(dlg, nullptr) << caption;
        HWND edit = NameEdit(dlg);
        ASSERT_NE(edit, nullptr);
        SetTextOf(edit, name);
        ClickButton(dlg, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 10000));
    }

    HWND ToolBar() const {
        HWND rebar = FindWindowExW(frame, nullptr, REBARCLASSNAMEW, nullptr);
        return rebar ? FindWindowExW(rebar, nullptr, TOOLBARCLASSNAMEW, nullptr) : nullptr;
    }
    bool ButtonEnabled(UINT id) {
        // The buttons follow the handlers when the program is idle.
        Send(frame, WM_NULL);
        return Send(ToolBar(), TB_ISBUTTONENABLED, id).value_or(0) != 0;
    }

    // The File menu as the user opens it (so its recent-file part is up to date).
    std::vector<MenuItem> OpenFileMenu() {
        Post(frame, WM_SYSCOMMAND, SC_KEYMENU, 'f');
        HWND menu = WaitPopupMenu(prog.Pid(), 5000);
        if (!menu) {
            ADD_FAILURE() << "no File menu";
            return {};
        }
        std::string why;
        auto items = ReadPopupMenu(menu, &why);
        EXPECT_TRUE(items) << why;
        CloseMenu(menu);
        Post(frame, WM_KEYDOWN, VK_ESCAPE);
        WaitUntil([&] { return !IsWindowVisible(menu); }, 3000);
        return items ? *items : std::vector<MenuItem>{};
    }

    // Output -> SaveToFile -> the save dialog, typing name; the dialog's texts are checked.
    void SaveAs(const std::string& name) {
        Post(frame, WM_COMMAND, kOutput);
        HWND out = WaitDialog("Output", prog.Pid(), 10000);
        ASSERT_NE(out, nullptr);
        WaitUntil([&] { return ControlText(out, IDOK) == "SendToPlot"; }, 5000);
        EXPECT_EQ(ControlText(out, IDOK), "SendToPlot");
        EXPECT_EQ(ControlText(out, kSaveToFile), "SaveToFile");
        EXPECT_EQ(Send(Control(out, kSaveToFile), BM_GETCHECK), std::optional<LRESULT>(BST_UNCHECKED));
        Send(Control(out, kSaveToFile), BM_SETCHECK, BST_CHECKED);
        ClickButton(out, IDOK);
        AnswerFileDialog("Save As", name);
    }

    // The cut strategy dialog as Set opens it, once its list is filled.
    HWND OpenStrategy() {
        Post(frame, WM_COMMAND, kSet);
        HWND dlg = WaitDialog("Preset", prog.Pid(), 10000);
        if (dlg) WaitUntil([&] { return ControlText(dlg, IDOK) == "OK" && IsWindowVisible(dlg); }, 5000);
        Sleep(300);
        return dlg;
    }
    ListViewState Rows(HWND dlg) {
        std::string why;
        auto state = ReadListView(Control(dlg, kList), &why);
        EXPECT_TRUE(state) << why;
        return state ? *state : ListViewState{};
    }
    void ClickCell(HWND dlg, int row, int column) {
        auto list = Rows(dlg);
        ASSERT_LT(static_cast<size_t>(row), list.rows.size());
        const RECT& r = list.rows[static_cast<size_t>(row)].cells.at(static_cast<size_t>(column)).rect;
        ClickScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        Sleep(300);
    }
    void MoveSelectedRow(HWND dlg, bool towardsEnd) { e2e::ClickUpDown(Control(dlg, kMove), towardsEnd); }
    bool Checked(HWND dlg, int id) { return IsChecked(dlg, id); }
    void Close(HWND dlg, int button) {
        ClickButton(dlg, button);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));
        Send(frame, WM_NULL);
    }
    // Output with SaveToFile into the run folder; the file's text.
    std::string SavedText(const std::string& name) {
        std::string path = JoinPath(prog.Folder(), name);
        DeleteFileIfAny(path);
        SaveAs(path);
        WaitUntil([&] { return FileExists(path); }, 10000);
        // The file appears before the writer has closed it.
        std::string text, last;
        WaitUntil([&] {
            last = text;
            text = ReadFileText(path).value_or("");
            return !text.empty() && text == last;
        }, 5000, 200);
        return text;
    }
    // Output, SendToPlot.
    void SendToPlot() {
        Post(frame, WM_COMMAND, kOutput);
        HWND out = WaitDialog("Output", prog.Pid(), 10000);
        ASSERT_NE(out, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ControlText(out, IDOK) == "SendToPlot"; }, 5000));
        ClickButton(out, IDOK);
    }

    // A Kelmirt of its own, in English, from the deliverables folder: its window once start-up
    // has put this text on its status line, or null.
    HWND StartStation(CProgram& station, const std::map<std::string, std::string>& env, const std::string& status,
                      const std::string& runName) {
        LaunchOptions o;
        o.program = JoinPath(DistDir(), "Kelmirt.exe");
        o.copySiblings = false;
        o.settingsFiles["Kelmirt.ini"] = "[Language]\r\nLan=English\r\n";
        o.env = env;
        o.runName = runName;
        if (!station.Start(o)) {
            ADD_FAILURE() << station.Error();
            return nullptr;
        }
        HWND w = WaitTopWindow({std::string("#32770"), std::string("Kelmirt"), station.Pid(), false}, kStartMs);
        if (w && !WaitUntil([&] { return ControlText(w, kStatusLine) == status; }, kStartMs)) {
            ADD_FAILURE() << "status line: " << ControlText(w, kStatusLine);
            return nullptr;
        }
        return w;
    }

    // Output, SendToPlot with Kelmirt not running: the station that comes up is the
    // Kelmirt.exe of Ornavex's own folder, and the cutter receives exactly the drawing.
    void ExpectSendStartsTheStationBeside(CutterSim& sim, const std::string& drawing = Drawing()) {
        const std::string expected = WriterText(drawing);
        const std::string job = JoinPath(TempDir(), "ornavexjob.008");
        DeleteFileIfAny(job);
        ASSERT_EQ(FindTopWindow({std::string("#32770"), std::string("Kelmirt")}), nullptr);

        SendToPlot();
        ASSERT_TRUE(WaitUntil([&] { return FileExists(job); }, 20000));
        EXPECT_TRUE(WaitUntil([&] { return ReadFileText(job).value_or("") == expected; }, 5000));
        HWND station = WaitTopWindow({std::string("#32770"), std::string("Kelmirt")}, kStartMs);
        ASSERT_NE(station, nullptr) << "Kelmirt was started";
        HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, PidOf(station));
        ASSERT_NE(p, nullptr);
        wchar_t path[MAX_PATH] = {};
        DWORD n = MAX_PATH;
        QueryFullProcessImageNameW(p, 0, path, &n);
        CloseHandle(p);
        EXPECT_TRUE(EqualNoCase(path, Wide(JoinPath(prog.Folder(), "Kelmirt.exe")))) << Utf8(path);
        EXPECT_TRUE(WaitUntil([&] { return sim.Received().size() >= expected.size(); }, 30000)) << "the job arrives";
        Sleep(1500);
        EXPECT_TRUE(sim.Received() == expected) << "received " << sim.Received().size() << " bytes, written "
                                                << expected.size();
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(station); }, 10000)) << "and ends hidden";
        EXPECT_EQ(WaitDialog("Ornavex", prog.Pid(), 500), nullptr) << "no failure message";
        EXPECT_TRUE(Send(frame, WM_NULL).has_value()) << "Ornavex is back";
    }

    CProgram prog;
    HWND frame = nullptr;
};

TEST_F(OrnavexTest, StartsUntitledWithEnglishMenusAndTheEditButtonsDisabled) {
    ASSERT_NE(Start("", "untitled"), nullptr);
    EXPECT_EQ(TextOf(frame), std::string("Untitled - ") + kTitle);
    EXPECT_TRUE(IsZoomed(frame));

    std::string why;
    auto bar = ReadMenuBar(frame, &why);
    ASSERT_TRUE(bar) << why;
    ASSERT_EQ(bar->size(), 2u);
    EXPECT_EQ((*bar)[0].text, "File(&F)");
    EXPECT_EQ((*bar)[1].text, "Help(&H)");
    auto help = ReadMenuBarPopup(frame, 1, &why);
    ASSERT_TRUE(help) << why;
    ASSERT_EQ(help->size(), 1u);
    EXPECT_EQ((*help)[0].text, "About Ornavex(&A)...");

    auto file = OpenFileMenu();
    ASSERT_EQ(file.size(), 5u);
    EXPECT_EQ(file[0].text, "Open(&O)...\tCtrl+O");
    EXPECT_FALSE(file[0].greyed);
    EXPECT_TRUE(file[1].separator);
    EXPECT_EQ(file[2].text, "Last File");
    EXPECT_TRUE(file[2].greyed) << "no recent files yet";
    EXPECT_TRUE(file[3].separator);
    EXPECT_EQ(file[4].text, "Exit(&X)");

    for (UINT id : {57635u, 57634u, 57637u}) EXPECT_FALSE(ButtonEnabled(id)) << id;
    for (UINT id : {57600u, 57601u, 57603u, 57607u, 57664u, kZoomIn, kZoomOut, 32776u, kOutput})
        EXPECT_TRUE(ButtonEnabled(id)) << id;

    // Output and zoom without a drawing do nothing, not even the dialog.
    Post(frame, WM_COMMAND, kOutput);
    EXPECT_EQ(WaitDialog("Output", prog.Pid(), 1500), nullptr);

    // The About box keeps its Chinese texts under the English menus.
    Post(frame, WM_COMMAND, 57664);
    HWND about = WaitDialog("关于 Ornavex", prog.Pid(), 10000);
    ASSERT_NE(about, nullptr);
    // The dialog is found by its caption before its controls exist.
    WaitUntil([&] { return ControlText(about, IDOK) == "确定"; }, 5000);
    auto texts = StaticTexts(about);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Ornavex 1.0 版"), texts.end());
    EXPECT_EQ(ControlText(about, IDOK), "确定");
    ClickButton(about, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));

    Post(frame, WM_COMMAND, 57665);  // Exit
    EXPECT_EQ(prog.WaitExit(10000), std::optional<DWORD>(0));
    frame = nullptr;
}

TEST_F(OrnavexTest, OpensTheDrawingOnItsCommandLineAndListsItAsRecent) {
    ASSERT_NE(Start("\"" + Drawing() + "\"", "open"), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(frame) == std::string("ornavex_layers.dxf - ") + kTitle; }, 5000))
        << TextOf(frame);
    EXPECT_TRUE(IsZoomed(frame));

    auto file = OpenFileMenu();
    ASSERT_EQ(file.size(), 5u);
    EXPECT_EQ(file[2].id, 57616u);
    EXPECT_EQ(file[2].text.substr(0, 3), "&1 ");
    EXPECT_NE(file[2].text.find("ornavex_layers.dxf"), std::string::npos) << file[2].text;
    EXPECT_FALSE(file[2].greyed);

    // Without a window manager Wine leaves the X window at its first size; showing the
    // maximised window again makes the screenshot show what the program draws.
    ShowWindow(frame, SW_RESTORE);
    ShowWindow(frame, SW_MAXIMIZE);
    Sleep(500);
    EXPECT_FALSE(Screenshot("ornavex-zoom-1", {frame}).empty());
    Post(frame, WM_COMMAND, kZoomIn);
    Post(frame, WM_COMMAND, kZoomIn);
    Post(frame, WM_COMMAND, kZoomIn);
    Send(frame, WM_NULL);
    Sleep(500);
    EXPECT_FALSE(Screenshot("ornavex-zoom-in-3").empty());
    Post(frame, WM_COMMAND, kZoomOut);
    EXPECT_TRUE(Send(frame, WM_NULL).has_value()) << "still answering";

    // New makes the document untitled; Save then asks for a name and still writes nothing.
    Post(frame, WM_COMMAND, 57600);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(frame) == std::string("Untitled - ") + kTitle; }, 5000)) << TextOf(frame);
    Post(frame, WM_COMMAND, 57603);
    const std::string target = JoinPath(prog.Folder(), "never.dxf");
    AnswerFileDialog("Save As", target);
    Send(frame, WM_NULL);
    EXPECT_FALSE(FileExists(target));
    EXPECT_EQ(TextOf(frame), std::string("Untitled - ") + kTitle);
}

// File Open completes a name typed without extension to NAME.dxf through the dialog's
// default extension, also with "All Files" shown, where no filter supplies it. A file of the
// bare name beside it is what the dialog falls back to when the completed name is wrong.
TEST_F(OrnavexTest, FileOpenCompletesATypedNameWithTheDxfExtension) {
    ASSERT_NE(Start("", "open-typed"), nullptr);
    const std::string typed = JoinPath(prog.Folder(), "typed");
    ASSERT_TRUE(CopyFileW(Wide(Backslashed(Drawing())).c_str(), Wide(typed + ".dxf").c_str(), FALSE));
    ASSERT_TRUE(WriteFileText(typed, "not the drawing"));
    Post(frame, WM_COMMAND, 57601);
    HWND open = WaitDialog("Open", prog.Pid(), 10000);
    ASSERT_NE(open, nullptr);
    HWND edit = NameEdit(open);
    ASSERT_NE(edit, nullptr);
    HWND types = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (types = Control(open, 0x470)) != nullptr; }, 5000));
    ASSERT_EQ(Send(types, CB_GETCOUNT), std::optional<LRESULT>(2));
    EXPECT_EQ(ListText(types, 0), "AutoCad R12(*.dxf)");
    Send(types, CB_SETCURSEL, 1);
    Send(open, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
    SetTextOf(edit, typed);
    ClickButton(open, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(frame) == std::string("typed.dxf - ") + kTitle; }, 10000))
        << TextOf(frame);
}

TEST_F(OrnavexTest, OutputSavesTheWriterTextUnderThePltName) {
    ASSERT_NE(Start("\"" + Drawing() + "\"", "save"), nullptr);
    std::string expected = WriterText(Drawing());
    ASSERT_FALSE(expected.empty());
    struct Case { const char* typed; const char* written; };
    for (const Case& c : {Case{"job", "job.plt"}, Case{"job2.PLT", "job2.PLT"}, Case{"job3.txt", "job3.txt.plt"}}) {
        SCOPED_TRACE(c.typed);
        std::string written = JoinPath(prog.Folder(), c.written);
        DeleteFileIfAny(written);
        SaveAs(JoinPath(prog.Folder(), c.typed));
        ASSERT_TRUE(WaitUntil([&] { return FileExists(written); }, 10000));
        // The file appears before the writer has closed it.
        WaitUntil([&] { return ReadFileText(written).value_or("") == expected; }, 5000);
        EXPECT_TRUE(ReadFileText(written).value_or("") == expected) << "the writer's text, byte for byte";
        EXPECT_FALSE(FileExists(JoinPath(prog.Folder(), c.typed)) && std::string(c.typed) != c.written);
    }

    // Checked and then cancelled: nothing, and the next Output starts unchecked.
    Post(frame, WM_COMMAND, kOutput);
    HWND out = WaitDialog("Output", prog.Pid(), 10000);
    ASSERT_NE(out, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(out, IDOK) == "SendToPlot"; }, 5000));
    Send(Control(out, kSaveToFile), BM_SETCHECK, BST_CHECKED);
    Post(out, WM_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(out); }, 5000));
    EXPECT_EQ(WaitDialog("Save As", prog.Pid(), 1000), nullptr);
    Post(frame, WM_COMMAND, kOutput);
    out = WaitDialog("Output", prog.Pid(), 10000);
    ASSERT_NE(out, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(out, IDOK) == "SendToPlot"; }, 5000));
    EXPECT_EQ(Send(Control(out, kSaveToFile), BM_GETCHECK), std::optional<LRESULT>(BST_UNCHECKED));
    EXPECT_FALSE(Screenshot("ornavex-output-dialog", {out}).empty());
    Post(out, WM_CLOSE);
}

std::vector<std::string> Column(const ListViewState& list, size_t column) {
    std::vector<std::string> out;
    for (const auto& row : list.rows) out.push_back(row.cells.at(column).text);
    return out;
}

// Set shows the drawing's rows in dialog 131; what the user changes there is what Output
// writes. Cancel keeps the order, presets, mode and sort, but not the check boxes.
TEST_F(OrnavexTest, SetShowsTheDrawingsRowsAndOutputFollowsTheChangedStrategy) {
    ASSERT_NE(Start("\"" + Drawing() + "\"", "set"), nullptr);
    const CutOrder fresh = FreshOrder(Drawing());
    std::vector<std::string> layers;
    for (const LAYERS& l : fresh.layers) layers.push_back(l.name);
    ASSERT_EQ(layers, (std::vector<std::string>{"OUTLINE", "HOLES", "TEXTURE", "0"}));
    ASSERT_EQ(fresh.colours.size(), 7u);
    ShowWindow(frame, SW_RESTORE);
    ShowWindow(frame, SW_MAXIMIZE);

    HWND dlg = OpenStrategy();
    ASSERT_NE(dlg, nullptr);
    auto list = Rows(dlg);
    EXPECT_EQ(list.columns, (std::vector<std::string>{"layer", "Machine Preset"}));
    EXPECT_EQ(Column(list, 0), layers);
    EXPECT_EQ(Column(list, 1), std::vector<std::string>(4, "Preset#1"));
    for (const auto& row : list.rows) EXPECT_TRUE(row.checked);
    EXPECT_TRUE(Checked(dlg, kByLayer));
    EXPECT_FALSE(Checked(dlg, kByColour));
    EXPECT_EQ(Send(Control(dlg, kSort), CB_GETCURSEL), std::optional<LRESULT>(0));
    EXPECT_FALSE(Screenshot("ornavex-set-layers").empty());

    // By colour: one row per colour number, its swatch from the ACI palette.
    ClickButton(dlg, kByColour);
    Sleep(300);
    list = Rows(dlg);
    EXPECT_EQ(list.columns.at(0), "Color");
    ASSERT_EQ(list.rows.size(), fresh.colours.size());
    RECT lr;
    GetWindowRect(Control(dlg, kList), &lr);
    for (size_t i = 0; i < list.rows.size(); ++i) {
        const RECT& cell = list.rows[i].cells[0].rect;
        if (cell.bottom > lr.bottom) continue;  // scrolled out of sight
        EXPECT_EQ(ScreenPixel(SwatchPoint(cell)), *AciPaletteEntry(fresh.colours[i].colour))
            << "colour " << fresh.colours[i].colour;
    }
    // The first colour moves one place down, the (new) second gets preset 4, the third is
    // unchecked.
    ClickCell(dlg, 0, 0);
    MoveSelectedRow(dlg, /*towardsEnd=*/true);
    ClickCell(dlg, 1, 1);
    HWND editor = Control(dlg, kEditor);
    ASSERT_TRUE(IsWindowVisible(editor));
    EXPECT_EQ(TextOf(editor), "Preset#1");
    SetTextOf(editor, "Preset#4");
    ClickCell(dlg, 2, 0);
    EXPECT_FALSE(IsWindowVisible(editor));
    PressKey(Control(dlg, kList), VK_SPACE);
    Sleep(300);
    list = Rows(dlg);
    EXPECT_EQ(list.rows.at(1).cells.at(1).text, "Preset#4");
    EXPECT_FALSE(list.rows.at(2).checked);
    EXPECT_FALSE(Screenshot("ornavex-set-colours", {dlg}).empty());
    Close(dlg, IDOK);

    CutOrder want = fresh;
    want.mode = 1;
    std::swap(want.colours[0], want.colours[1]);
    want.colours[1].preset = 4;
    want.colours[2].enabled = 0;
    const std::string changed = WriterText(Drawing(), want);
    ASSERT_NE(changed, WriterText(Drawing()));
    EXPECT_TRUE(SavedText("changed.plt") == changed) << "Output writes the changed strategy";
    Sleep(300);
    EXPECT_FALSE(Screenshot("ornavex-colour-unchecked").empty());

    // Set again shows what was chosen; Cancel keeps the sort but not a check box.
    dlg = OpenStrategy();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(Checked(dlg, kByColour));
    list = Rows(dlg);
    ASSERT_EQ(list.rows.size(), 7u);
    EXPECT_EQ(list.rows[1].cells[1].text, "Preset#4");
    EXPECT_FALSE(list.rows[2].checked);
    HWND sort = Control(dlg, kSort);
    Send(sort, CB_SETCURSEL, 1);
    Send(dlg, WM_COMMAND, MAKEWPARAM(kSort, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sort));
    ClickCell(dlg, 0, 0);
    PressKey(Control(dlg, kList), VK_SPACE);
    Sleep(300);
    EXPECT_FALSE(Rows(dlg).rows.at(0).checked);
    Close(dlg, IDCANCEL);
    want.sortMethod = 1;
    const std::string sorted = WriterText(Drawing(), want);
    EXPECT_TRUE(SavedText("sorted.plt") == sorted) << "sorted, and the first row still cut";
}

// The job goes to a running Kelmirt: no second station, its window ends hidden, and the
// simulated cutter receives the writer's text exactly once.
TEST_F(OrnavexTest, SendingToARunningKelmirtReachesTheCutterAsWritten) {
    CutterSim sim;
    ASSERT_TRUE(sim.Start());
    CProgram station;
    HWND w = StartStation(station, {{"KELMIRT_CUTTER_PIPE", sim.Name()}}, "Ready", "ornavex-station");
    ASSERT_NE(w, nullptr);
    const WindowQuery stationQuery{std::string("#32770"), std::string("Kelmirt"), 0, false};
    // Shown, as the user may have it, so that hiding it is Ornavex's doing.
    Sleep(1000);
    Post(w, WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsShown(w); }, 5000));

    ASSERT_NE(Start("\"" + Drawing() + "\"", "send-running"), nullptr);
    const std::string expected = WriterText(Drawing());
    SendToPlot();
    ASSERT_TRUE(WaitUntil([&] { return sim.Received().size() >= expected.size(); }, 30000));
    EXPECT_TRUE(WaitUntil([&] { return ControlText(w, kStatusLine) == "Ready"; }, 10000));
    Sleep(1500);  // a second job would have arrived by now
    EXPECT_TRUE(sim.Received() == expected) << "received " << sim.Received().size() << " bytes, written "
                                            << expected.size();
    EXPECT_FALSE(IsWindowVisible(w)) << "Kelmirt ends hidden";
    EXPECT_EQ(FindTopWindows(stationQuery).size(), 1u) << "no second station";
    EXPECT_TRUE(station.Running());
    EXPECT_TRUE(Send(frame, WM_NULL).has_value()) << "Ornavex is back";
    EXPECT_EQ(ReadFileText(JoinPath(TempDir(), "ornavexjob.008")).value_or(""), expected);
}

// Kelmirt not running: Ornavex starts the one beside itself, which takes the job to the cutter.
TEST_F(OrnavexTest, SendingStartsKelmirtFromItsOwnFolderAndTheJobArrives) {
    CutterSim sim;
    ASSERT_TRUE(sim.Start());
    ASSERT_NE(Start("\"" + Drawing() + "\"", "send", {{"KELMIRT_CUTTER_PIPE", sim.Name()}}), nullptr);
    ExpectSendStartsTheStationBeside(sim);
}

// Slots with nearly vertical round ends, as drawing programs write them: they open, show and
// go to the cutter as arcs, with no message on the way.
TEST_F(OrnavexTest, SlotsReachTheCutterWithTheirRoundEnds) {
    const std::string slots = std::string(KM_TEST_DATA_DIR) + "/dxf/slots.dxf";
    const std::string text = WriterText(slots);
    // The first slot is one circle of two half circles: far more points than its two vertices.
    const size_t from = text.find("S#0;") + 4;
    const std::string first = text.substr(from, text.find(" U", from + 1) - from);
    EXPECT_GT(std::count(first.begin(), first.end(), ','), 60) << first;

    CutterSim sim;
    ASSERT_TRUE(sim.Start());
    ASSERT_NE(Start("\"" + slots + "\"", "slots", {{"KELMIRT_CUTTER_PIPE", sim.Name()}}), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(frame) == std::string("slots.dxf - ") + kTitle; }, 5000))
        << TextOf(frame);
    ShowWindow(frame, SW_RESTORE);
    ShowWindow(frame, SW_MAXIMIZE);
    Send(frame, WM_NULL);
    EXPECT_EQ(WaitDialog("Ornavex", prog.Pid(), 1500), nullptr) << "no message at import or paint";
    ExpectSendStartsTheStationBeside(sim, slots);
}

// The same from the release zip as a user unpacks it: Ornavex lies in its Kelmirt folder,
// beside the station it starts.
TEST_F(OrnavexTest, FromTheUnpackedZipSendingStartsKelmirtAndTheJobArrives) {
    const std::string suite = Backslashed(KM_RELEASE_DIR);
    ASSERT_TRUE(FileExists(JoinPath(suite, "Kelmirt\\Ornavex.exe"))) << "no Kelmirt\\Ornavex.exe in " << suite;
    EXPECT_FALSE(FileExists(JoinPath(suite, "Ornavex.exe"))) << "a second Ornavex.exe, apart from the station";
    CutterSim sim;
    ASSERT_TRUE(sim.Start());
    ASSERT_NE(Start("\"" + Drawing() + "\"", "zip", {{"KELMIRT_CUTTER_PIPE", sim.Name()}},
                    JoinPath(suite, "Kelmirt\\Ornavex.exe")),
              nullptr);
    ExpectSendStartsTheStationBeside(sim);
}

// A file Ornavex cannot write is told by name, and nothing goes out: neither a save that is
// taken for done nor a job the station never gets.
TEST_F(OrnavexTest, AFileThatCannotBeWrittenIsToldAndNothingIsSent) {
    CutterSim sim;
    ASSERT_TRUE(sim.Start());
    ASSERT_NE(Start("\"" + Drawing() + "\"", "unwritable", {{"KELMIRT_CUTTER_PIPE", sim.Name()}}), nullptr);
    auto closeBox = [&]() -> std::string {
        HWND box = WaitDialog("Ornavex", prog.Pid(), 20000);
        if (!box) return "<no box>";
        WaitUntil([&] { return !MessageBoxText(box).empty(); }, 3000);
        std::string text = MessageBoxText(box);
        ClickButton(box, IDOK);
        WaitUntil([&] { return !IsWindow(box); }, 5000);
        return text;
    };

    // SaveToFile into a file that another program holds open without sharing: typed
    // without extension, so the dialog has nothing to ask and the name gains ".plt" after it.
    const std::string target = JoinPath(prog.Folder(), "held.plt");
    ASSERT_TRUE(WriteFileText(target, "kept"));
    HANDLE heldTarget = CreateFileW(Wide(target).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(heldTarget, INVALID_HANDLE_VALUE);
    SaveAs(JoinPath(prog.Folder(), "held"));
    EXPECT_EQ(closeBox(), target + " cannot be written.\r\nNothing was saved.");
    CloseHandle(heldTarget);
    EXPECT_EQ(ReadFileText(target).value_or(""), "kept");

    // SendToPlot while the job file is held open without sharing.
    const std::string job = JoinPath(TempDir(), "ornavexjob.008");
    ASSERT_TRUE(WriteFileText(job, "PU0,0;"));
    HANDLE held = CreateFileW(Wide(job).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SendToPlot();
    EXPECT_EQ(closeBox(), job + " cannot be written.\r\nNothing was sent to the cutter.");
    CloseHandle(held);
    Sleep(1500);  // a job would have reached the cutter by now
    EXPECT_EQ(sim.Received(), "");
    EXPECT_EQ(ReadFileText(job).value_or(""), "PU0,0;");
    EXPECT_TRUE(Send(frame, WM_NULL).has_value()) << "Ornavex is back";
}

// Ornavex has English texts only: on a Chinese system its menus and the cut strategy
// dialog stay English, and the About box keeps its Chinese resource texts.
class OrnavexChineseSystemTest : public OrnavexTest {
protected:
    void SetUp() override {
        if (GetSystemDefaultLangID() != 0x804) GTEST_SKIP() << "needs a Chinese system language (LC_ALL=zh_CN.UTF-8)";
        OrnavexTest::SetUp();
    }
};

TEST_F(OrnavexChineseSystemTest, TheCutStrategyDialogStaysEnglish) {
    ASSERT_NE(Start("\"" + Drawing() + "\"", "set-zh"), nullptr);
    ShowWindow(frame, SW_RESTORE);
    ShowWindow(frame, SW_MAXIMIZE);
    HWND dlg = OpenStrategy();
    ASSERT_NE(dlg, nullptr);
    ClickButton(dlg, kByColour);
    Sleep(300);
    auto list = Rows(dlg);
    EXPECT_EQ(list.columns, (std::vector<std::string>{"Color", "Machine Preset"}));
    EXPECT_EQ(list.rows.size(), 7u);
    EXPECT_EQ(ControlText(dlg, kByLayer), "layer");
    EXPECT_EQ(ControlText(dlg, IDCANCEL), "CANCEL");
    EXPECT_EQ(TextOf(Control(dlg, kSort)), "No sort");
    EXPECT_FALSE(Screenshot("ornavex-set-colours-zh-system").empty());
    Close(dlg, IDCANCEL);
}

// No cutter: the station says so once Ornavex has its answer, so Ornavex is not held behind
// the box, and the station stays idle with the job file kept for another try.
TEST_F(OrnavexTest, SendingWithNoCutterIsToldByTheStationWithoutHoldingOrnavex) {
    constexpr int kStopButton = 1000, kSettingsButton = 1001;
    CProgram station;
    HWND w = StartStation(station, {}, "Not find plotter device", "ornavex-station-no-cutter");
    ASSERT_NE(w, nullptr);
    ASSERT_NE(Start("\"" + Drawing() + "\"", "send-no-cutter"), nullptr);
    const std::string job = JoinPath(TempDir(), "ornavexjob.008");
    DeleteFileIfAny(job);

    SendToPlot();
    // The station's box is captioned with its title, like its window, which it is not.
    HWND box = nullptr;
    WaitUntil([&] {
        for (HWND h : FindTopWindows({std::string("#32770"), std::string("Kelmirt"), station.Pid(), true}))
            if (h != w) box = h;
        return box != nullptr;
    }, 20000);
    ASSERT_NE(box, nullptr) << "the station told nothing";
    WaitUntil([&] { return !MessageBoxText(box).empty(); }, 3000);
    EXPECT_EQ(MessageBoxText(box),
              "No cutting plotter available! \r\n Please check the connection cable and power switch");
    const DWORD t0 = GetTickCount();
    EXPECT_TRUE(Send(frame, WM_NULL, 0, 0, 2000).has_value()) << "Ornavex is held behind the box";
    EXPECT_LT(GetTickCount() - t0, 1000u);
    EXPECT_FALSE(IsWindowVisible(w));

    ClickButton(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    Sleep(500);
    EXPECT_EQ(FindTopWindows({std::string("#32770"), std::string("Kelmirt"), station.Pid(), true}).size(), 0u)
        << "a second box";
    EXPECT_EQ(ControlText(w, kStatusLine), "Not find plotter device");
    EXPECT_FALSE(IsWindowEnabled(Control(w, kStopButton))) << "a send started";
    EXPECT_TRUE(IsWindowEnabled(Control(w, kSettingsButton)));
    EXPECT_TRUE(FileExists(job));
    EXPECT_TRUE(station.Running());
}

// A 100 by 100 square frame as an R12 drawing.
std::string WriteSquareDrawing(const std::string& path) {
    std::string text = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  9\n$EXTMIN\n 10\n0.0\n 20\n0.0\n"
                       "  9\n$EXTMAX\n 10\n100.0\n 20\n100.0\n  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n";
    const int corners[5][2] = {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}};
    for (int i = 0; i < 4; ++i)
        text += "  0\nLINE\n  8\n0\n 10\n" + std::to_string(corners[i][0]) + "\n 20\n" + std::to_string(corners[i][1]) +
                "\n 11\n" + std::to_string(corners[i + 1][0]) + "\n 21\n" + std::to_string(corners[i + 1][1]) + "\n";
    text += "  0\nENDSEC\n  0\nEOF\n";
    EXPECT_TRUE(WriteFileText(path, text));
    return path;
}

HWND ViewOf(HWND frame) { return FindWindowExW(frame, nullptr, L"FwView", nullptr); }

// At every frame height the view's layout settles after the change: its scroll bars, which
// the drawing's size sets, stop coming and going. At the heights where the vertical bar
// decides whether the box fits, a box that followed the bar repainted for ever.
TEST_F(OrnavexTest, TheLayoutSettlesAtEveryWindowSizeAndZoom) {
    const std::string square = WriteSquareDrawing(JoinPath(TempDir(), "ornavex-square.dxf"));
    ASSERT_NE(Start("\"" + square + "\"", "layout"), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(frame) == std::string("ornavex-square.dxf - ") + kTitle; }, 5000));
    HWND view = ViewOf(frame);
    ASSERT_NE(view, nullptr);
    ShowWindow(frame, SW_RESTORE);
    auto bars = [&] { return GetWindowLongW(view, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL); };
    for (int zoomIns = 0; zoomIns < 2; ++zoomIns) {
        if (zoomIns) Post(frame, WM_COMMAND, kZoomIn);
        std::vector<int> restless;
        for (int height = 540; height <= 620; height += 2) {
            SetWindowPos(frame, nullptr, 0, 0, 800, height, SWP_NOZORDER | SWP_NOACTIVATE);
            Send(frame, WM_NULL);
            Sleep(150);
            const LONG settled = bars();
            bool still = true;
            for (int i = 0; i < 10 && still; ++i) {
                Sleep(30);
                still = bars() == settled;
            }
            if (!still) restless.push_back(height);
        }
        std::string heights;
        for (int h : restless) heights += " " + std::to_string(h);
        EXPECT_TRUE(restless.empty()) << "zoomed in " << zoomIns << " times, still changing at heights" << heights;
    }
    EXPECT_TRUE(Send(frame, WM_NULL).has_value());
    DeleteFileIfAny(square);
}

// Opening a drawing the import refuses after a good one: the old drawing is gone from the
// store, so it is gone from the view and the caption too.
TEST_F(OrnavexTest, AFailedSecondOpenLeavesTheViewEmptyAndTheCaptionWithoutAName) {
    ASSERT_NE(Start("\"" + Drawing() + "\"", "failed-open"), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(frame) == std::string("ornavex_layers.dxf - ") + kTitle; }, 5000));
    ShowWindow(frame, SW_RESTORE);
    ShowWindow(frame, SW_MAXIMIZE);
    HWND view = ViewOf(frame);
    ASSERT_NE(view, nullptr);
    // Pixels other than the view's background along its middle row and column.
    auto drawn = [&] {
        RECT rc;
        GetClientRect(view, &rc);
        const COLORREF background = GetSysColor(COLOR_WINDOW);
        int count = 0;
        for (int x = 0; x < rc.right; x += 2) {
            POINT pt{x, rc.bottom / 2};
            ClientToScreen(view, &pt);
            count += ScreenPixel(pt) != background;
        }
        for (int y = 0; y < rc.bottom; y += 2) {
            POINT pt{rc.right / 2, y};
            ClientToScreen(view, &pt);
            count += ScreenPixel(pt) != background;
        }
        return count;
    };
    ASSERT_TRUE(WaitUntil([&] { return drawn() > 0; }, 5000, 200)) << "the first drawing shows";
    // Zoomed in, the drawing needs scroll bars; the empty view needs none.
    auto bars = [&] { return GetWindowLongW(view, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL); };
    for (int i = 0; i < 8; ++i) Post(frame, WM_COMMAND, kZoomIn);
    Send(frame, WM_NULL);
    ASSERT_TRUE(WaitUntil([&] { return bars() == (WS_VSCROLL | WS_HSCROLL); }, 5000));

    const std::string damaged = JoinPath(prog.Folder(), "damaged.dxf");
    ASSERT_TRUE(WriteFileText(damaged, "  0\nSECTION\n  2\nENTITIES\n999\n" + std::string(3000, 'x') +
                                           "\n  0\nENDSEC\n  0\nEOF\n"));
    Post(frame, WM_COMMAND, 57601);
    AnswerFileDialog("Open", damaged);
    HWND box = WaitDialog("Ornavex", prog.Pid(), 10000);
    ASSERT_NE(box, nullptr) << "the refusal is told";
    EXPECT_NE(MessageBoxText(box).find("is too long"), std::string::npos) << MessageBoxText(box);
    ClickButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(frame) == std::string("Untitled - ") + kTitle; }, 5000)) << TextOf(frame);
    EXPECT_TRUE(WaitUntil([&] { return drawn() == 0; }, 5000, 200)) << drawn() << " pixels of the old drawing";
    EXPECT_TRUE(WaitUntil([&] { return bars() == 0; }, 5000)) << "the old drawing's scroll bars stay";
}

// Inkscape's R12 export heads every drawing with the box 0,0 to 8.5,11, whatever the page. Its
// 300 by 120 sign (a frame from 10,10 to 290,110 and four letters) shows on the sheet, inside
// the drawing box, and reaches the cutter with no coordinate behind its origin.
TEST_F(OrnavexTest, AnInkscapeDrawingShowsOnTheSheetAndCutsFromTheOrigin) {
    const std::string sign = std::string(KM_TEST_DATA_DIR) + "/dxf/inkscape_r12.dxf";
    const std::string expected = WriterText(sign);
    CutterSim sim;
    ASSERT_TRUE(sim.Start());
    ASSERT_NE(Start("\"" + sign + "\"", "inkscape", {{"KELMIRT_CUTTER_PIPE", sim.Name()}}), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(frame) == std::string("inkscape_r12.dxf - ") + kTitle; }, 5000))
        << TextOf(frame);
    ShowWindow(frame, SW_RESTORE);
    ShowWindow(frame, SW_MAXIMIZE);
    Send(frame, WM_NULL);
    HWND view = ViewOf(frame);
    ASSERT_NE(view, nullptr);

    // The frame's four sides where the view's box puts them: dark pixels on the white sheet.
    CRecordingNotice n;
    ASSERT_EQ(ReadDxfFile(sign, n), DxfReadResult::kRead);
    const CConverterStores& st = Stores();
    ASSERT_EQ(st.extMaxX, 290);
    auto sidePixels = [&] {
        RECT rc;
        GetClientRect(view, &rc);
        int32_t width = rc.right;
        if (GetWindowLongW(view, GWL_STYLE) & WS_VSCROLL) width += GetSystemMetrics(SM_CXVSCROLL);
        const DrawBox box = ComputeDrawBox(width, 1.0, st.extMinX, st.extMinY, st.extMaxX, st.extMaxY);
        const DrawingMap m(box, st.extMinX, st.extMinY);
        // Dark within a pixel of the point: the line's own pixel, whichever way it rounds.
        auto dark = [&](double x, double y) {
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy) {
                    POINT pt{m.X(x) + dx, m.Y(y) + dy};
                    ClientToScreen(view, &pt);
                    const COLORREF c = ScreenPixel(pt);
                    if (GetRValue(c) < 0x40 && GetGValue(c) < 0x40 && GetBValue(c) < 0x40) return true;
                }
            return false;
        };
        int found = 0, looked = 0;
        for (double t = 20; t <= 280; t += 20, looked += 2) found += dark(t, 10) + dark(t, 110);
        for (double t = 20; t <= 100; t += 20, looked += 2) found += dark(10, t) + dark(290, t);
        return std::make_pair(found, looked);
    };
    std::pair<int, int> sides;
    EXPECT_TRUE(WaitUntil([&] { sides = sidePixels(); return sides.first == sides.second; }, 5000, 200))
        << sides.first << " of " << sides.second << " points of the frame drawn";
    EXPECT_FALSE(Screenshot("ornavex-inkscape-sign", {frame}).empty());

    SendToPlot();
    ASSERT_TRUE(WaitUntil([&] { return sim.Received().size() >= expected.size(); }, 40000)) << "the job arrives";
    Sleep(1500);
    const std::string received = sim.Received();
    EXPECT_TRUE(received == expected) << "received " << received.size() << " bytes, written " << expected.size();
    EXPECT_EQ(received.find('-'), std::string::npos) << "a negative coordinate: " << received;
    EXPECT_EQ(WaitDialog("Ornavex", prog.Pid(), 500), nullptr) << "no message";
}

}  // namespace
