// Ornavex as a user sees it: started with a drawing, its menus and toolbar, zoom, and the
// Output command writing the cutter command text or handing the job to Kelmirt.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "drawing_layout.h"
#include "dxf_import.h"
#include "e2e_kit.h"
#include "plt_writer.h"
#include "recording_notice.h"
#include "station_messages.h"

using namespace e2e;

namespace {

constexpr DWORD kStartMs = 20000;
constexpr UINT kOutput = 32777, kZoomIn = 2001, kZoomOut = 2002;
constexpr int kSaveToFile = 1008;
const char kTitle[] = "Drevik Ornavex v1.d6.4";
const wchar_t kRegistryKey[] = L"Software\\应用程序向导生成的本地应用程序";

std::string Drawing() { return std::string(KM_TEST_DATA_DIR) + "/dxf/ornavex_layers.dxf"; }

// What the core writer makes of the drawing with every row enabled and preset 1.
std::string WriterText(const std::string& path) {
    CRecordingNotice n;
    EXPECT_EQ(ReadDxfFile(path, n), DxfReadResult::kRead);
    CutOrder order;
    BuildCutRows(order);
    std::string text;
    EXPECT_EQ(MakePltText(order, n, text), PltWriteResult::kWritten);
    return text;
}

class OrnavexTest : public ::testing::Test {
protected:
    void SetUp() override {
        EndProgramsWithWindow({std::string("#32770"), std::string("Kelmirt")});
        RegDeleteTreeW(HKEY_CURRENT_USER, kRegistryKey);  // no recent files
    }
    void TearDown() override {
        if (frame) Post(frame, WM_CLOSE);
        if (prog.Running() && !prog.WaitExit(10000)) prog.Terminate();
        EndProgramsWithWindow({std::string("#32770"), std::string("Kelmirt")});
        DeleteFileIfAny(JoinPath(TempDir(), "ornavexjob.008"));
    }

    HWND Start(const std::string& args, const std::string& tag) {
        LaunchOptions o;
        o.program = JoinPath(DistDir(), "Ornavex.exe");
        o.arguments = args;
        o.runName = "ornavex-" + tag;
        if (!prog.Start(o)) {
            ADD_FAILURE() << prog.Error();
            return nullptr;
        }
        frame = WaitTopWindow({std::string("FwFrameWnd"), std::nullopt, prog.Pid(), true}, kStartMs);
        return frame;
    }

    // The file name box of the common file dialog, once it exists.
    static HWND NameEdit(HWND dlg) {
        HWND edit = nullptr;
        WaitUntil([&] { return (edit = Control(dlg, 0x47c) ? Control(dlg, 0x47c) : Control(dlg, 0x480)) != nullptr; }, 5000);
        return edit;
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
        HWND save = WaitDialog("Save As", prog.Pid(), 10000);
        ASSERT_NE(save, nullptr);
        HWND edit = NameEdit(save);
        ASSERT_NE(edit, nullptr);
        SetTextOf(edit, name);
        ClickButton(save, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(save); }, 10000));
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
    EXPECT_FALSE(Screenshot("ornavex-zoom-1").empty());
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
    HWND save = WaitDialog("Save As", prog.Pid(), 10000);
    ASSERT_NE(save, nullptr);
    HWND edit = NameEdit(save);
    std::string target = JoinPath(prog.Folder(), "never.dxf");
    SetTextOf(edit, target);
    ClickButton(save, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(save); }, 10000));
    Send(frame, WM_NULL);
    EXPECT_FALSE(FileExists(target));
    EXPECT_EQ(TextOf(frame), std::string("Untitled - ") + kTitle);
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
    EXPECT_FALSE(Screenshot("ornavex-output-dialog").empty());
    Post(out, WM_CLOSE);
}

TEST_F(OrnavexTest, SendingStartsKelmirtFromItsOwnFolderAndWritesTheJobFile) {
    ASSERT_NE(Start("\"" + Drawing() + "\"", "send"), nullptr);
    std::string expected = WriterText(Drawing());
    std::string job = JoinPath(TempDir(), "ornavexjob.008");
    DeleteFileIfAny(job);
    ASSERT_EQ(FindTopWindow({std::string("#32770"), std::string("Kelmirt")}), nullptr);

    Post(frame, WM_COMMAND, kOutput);
    HWND out = WaitDialog("Output", prog.Pid(), 10000);
    ASSERT_NE(out, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(out, IDOK) == "SendToPlot"; }, 5000));
    ClickButton(out, IDOK);  // SendToPlot
    ASSERT_TRUE(WaitUntil([&] { return FileExists(job); }, 20000));
    EXPECT_TRUE(WaitUntil([&] { return ReadFileText(job).value_or("") == expected; }, 5000));
    HWND station = WaitTopWindow({std::string("#32770"), std::string("Kelmirt")}, kStartMs);
    ASSERT_NE(station, nullptr) << "Kelmirt was started";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(station); }, 10000)) << "and ends hidden";
    // It came from the run folder beside Ornavex.
    HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, PidOf(station));
    ASSERT_NE(p, nullptr);
    wchar_t path[MAX_PATH] = {};
    DWORD n = MAX_PATH;
    QueryFullProcessImageNameW(p, 0, path, &n);
    CloseHandle(p);
    std::string exe = Utf8(path);
    EXPECT_NE(exe.find("ornavex-send"), std::string::npos) << exe;
    EXPECT_TRUE(Send(frame, WM_NULL).has_value()) << "Ornavex is back";
}

}  // namespace
