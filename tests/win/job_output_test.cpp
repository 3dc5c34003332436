// The output step of a converted job, with its save dialog and messages answered the
// way a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "StationState.h"
#include "TestDlg.h"
#include "fwstring.h"
#include "own_dialogs.h"

namespace {

const int kFileNameEdit = 0x480, kFileNameCombo = 0x47C;

struct Shown {
    std::string kind;  // "save" or "box"
    std::string text;  // the box's message
};

// Answers the next `count` dialogs of this process: the save dialog gets `fileName`,
// message boxes are read and closed.
std::vector<Shown> Answer(int count, const std::string& fileName) {
    std::vector<Shown> shown;
    std::vector<HWND> done;
    while (static_cast<int>(shown.size()) < count) {
        HWND w = own_dialogs::WaitNext(done, 20000);
        if (!w) break;
        done.push_back(w);
        Sleep(200);  // let it finish its initialisation
        if (own_dialogs::IsBox(w)) {
            shown.push_back({"box", own_dialogs::BoxText(w)});
        } else {
            std::wstring name = Utf8ToWide(fileName);
            SetDlgItemTextW(w, kFileNameEdit, name.c_str());
            SetDlgItemTextW(w, kFileNameCombo, name.c_str());
            shown.push_back({"save", ""});
        }
        PostMessageW(w, WM_COMMAND, IDOK, 0);
    }
    return shown;
}

struct OutputDialog {
    CTestDlg dlg;
    HWND host = CreateWindowExW(0, L"STATIC", L"station", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    OutputDialog() { dlg.SubclassWindow(host); }
    ~OutputDialog() {
        dlg.Detach();
        DestroyWindow(host);
    }
};

std::string Folder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::string folder = WideToUtf8(temp) + "km-job-output\\";
    CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr);
    return folder;
}

std::string Contents(const std::string& path) {
    std::ifstream f(Utf8ToWide(path).c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

TEST(JobOutput, ContourJobIsSavedUnderItsBarcodeNameAndTheUserIsTold) {
    const std::string folder = Folder();
    DeleteFileW(Utf8ToWide(folder + "0042-cut.plt").c_str());
    OutputDialog d;
    d.dlg.m_saveToFile = 1;
    d.dlg.m_settings.cutImageMode = 1;
    d.dlg.m_markValue = 42;
    std::vector<Shown> shown;
    std::thread user([&] { shown = Answer(3, folder + "cut.plt"); });
    EXPECT_EQ(d.dlg.OutputConvertedJob("IN;U0,0;D100,0;@"), 1);
    user.join();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].kind, "save");
    EXPECT_EQ(shown[1].text, "Barcode filename:" + folder + "0042-cut.plt");
    EXPECT_EQ(shown[2].text, "Save finshed!");
    EXPECT_EQ(Contents(folder + "0042-cut.plt"), "IN;U0,0;D100,0;@");
    EXPECT_EQ(d.dlg.m_saveToFile, 0);
}

TEST(JobOutput, TextNameGetsPltAddedAndAnEmptyJobIsAnEmptyFile) {
    const std::string folder = Folder();
    DeleteFileW(Utf8ToWide(folder + "plain.txt.plt").c_str());
    OutputDialog d;
    d.dlg.m_saveToFile = 1;
    std::vector<Shown> shown;
    std::thread user([&] { shown = Answer(2, folder + "plain.txt"); });
    EXPECT_EQ(d.dlg.OutputConvertedJob(""), 1);
    user.join();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Save finshed!");
    EXPECT_EQ(GetFileAttributesW(Utf8ToWide(folder + "plain.txt.plt").c_str()) != INVALID_FILE_ATTRIBUTES, true);
    EXPECT_EQ(Contents(folder + "plain.txt.plt"), "");
}

TEST(JobOutput, SendingWithoutACutterIsRefusedWithResultZero) {
    OutputDialog d;
    d.dlg.m_saveToFile = 0;
    std::vector<Shown> shown;
    std::thread user([&] { shown = Answer(1, ""); });
    EXPECT_EQ(d.dlg.OutputConvertedJob("IN;@"), 0);
    user.join();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "No cutting plotter available! \r\n Please check the connection cable and power switch");
    EXPECT_EQ(g_idle, 1);
    EXPECT_EQ(d.dlg.m_sendBuffer, nullptr);
}

}  // namespace
