// The send machinery's poll of a write under way, with the write's outcome set in its
// overlapped record (a pipe cannot complete a write short, a USB device can).
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "StationState.h"
#include "TestDlg.h"
#include "own_dialogs.h"

namespace {

// Presses OK in the first message box of this process that shows up; its text.
std::string AnswerBox() {
    HWND box = own_dialogs::WaitNext({});
    if (!box) return "<no box>";
    std::string text = own_dialogs::BoxText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
}

struct SendingDialog {
    CTestDlg dlg;
    HWND host = CreateWindowExW(0, L"STATIC", L"station", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SendingDialog(int total, int expected, ULONG_PTR transferred) {
        dlg.SubclassWindow(host);
        dlg.m_sendBuffer = new char[total];
        for (int i = 0; i < total; ++i) dlg.m_sendBuffer[i] = 'U';
        dlg.m_totalLength = total;
        dlg.m_cursor = dlg.m_sendBuffer + expected;
        dlg.m_expectedCount = expected;
        // A finished write: its status and byte count, its event set.
        dlg.m_hDevice = CreateEventW(nullptr, TRUE, TRUE, nullptr);
        dlg.m_overlapped.hEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
        dlg.m_overlapped.Internal = 0;
        dlg.m_overlapped.InternalHigh = transferred;
        g_idle = 0;
    }
    ~SendingDialog() {
        g_idle = 1;
        dlg.Detach();
        DestroyWindow(host);
    }
};

TEST(Sending, AWriteThatTransferredFewerBytesEndsTheSendWithAMessage) {
    SendingDialog s(1500, 1000, 600);
    std::string shown;
    std::thread answer([&] { shown = AnswerBox(); });
    s.dlg.PollWrite();
    answer.join();
    EXPECT_EQ(shown, "SendBytes is wrong!");
    // The end of the send: idle, buffer freed, device closed.
    EXPECT_EQ(g_idle, 1);
    EXPECT_EQ(s.dlg.m_sendBuffer, nullptr);
    EXPECT_EQ(s.dlg.m_hDevice, nullptr);
    EXPECT_EQ(s.dlg.m_sentCount, 0);
}

TEST(Sending, AWholeWriteGoesOnWithTheNextChunk) {
    // The next chunk goes to a handle that cannot take it: the send ends quietly here,
    // with the failure posted as code 4 for the dialog's port error handler.
    SendingDialog s(1500, 1000, 1000);
    s.dlg.PollWrite();
    EXPECT_EQ(s.dlg.m_sentCount, 1000);
    EXPECT_EQ(g_idle, 1);
    MSG m;
    bool posted = false;
    while (PeekMessageW(&m, s.host, 0, 0, PM_REMOVE))
        if (m.message == 0x400 + 108 && m.lParam == 4) posted = true;
    EXPECT_TRUE(posted);
}

}  // namespace
