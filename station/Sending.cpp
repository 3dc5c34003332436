// Sending a stream to the cutter in chunks of at most 1000 bytes, one overlapped write
// at a time, polled by timer 2; progress in the bar and the tray tip.
#include <cstring>
#include <new>

#include "StationState.h"
#include "TestDlg.h"
#include "UsbLink.h"
#include "app.h"
#include "fwstring.h"
#include "resource.h"
#include "station_messages.h"

namespace {
const int kChunkBytes = 1000;
const UINT_PTR kBlinkTimer = 1, kPollTimer = 2;
const COLORREF kIdleGrey = 0xC8D0D4;
const COLORREF kSendBackground = 0xFFFFFF, kSendBar = 0xFF0000, kSendText = 0x0000FF;

// The chunk under way; the system reads it until the write completes.
char g_staging[kChunkBytes];
}  // namespace

void CTestDlg::BeginSend(char* buffer, int length) {
    m_sendBuffer = buffer;
    m_cursor = buffer;
    m_totalLength = length;
    m_sentCount = 0;
    g_idle = 0;
    m_btnStop.EnableWindow(TRUE);
    m_btnSettings.EnableWindow(FALSE);
    m_btnOpenPlt.EnableWindow(FALSE);
    ShowSendingStatus();
    m_btnExit.EnableWindow(FALSE);
    m_radioAuto.EnableWindow(FALSE);
    m_radioFile.EnableWindow(FALSE);
    m_tray.SetTrayIdle(0);
    m_progress.SetBgColour(kSendBackground);
    m_progress.SetBarColour(kSendBar);
    m_progress.SetTextColour(kSendText);
    m_progress.SetTextOnBarColour(kSendText);
    Invalidate(TRUE);
    SetTimer(kBlinkTimer, 1000);
    OnSendProgress(0, 0);
}

void CTestDlg::ShowSendingStatus() { SetStatusText("Sending...", AfxGetApp()->LoadString(IDS_SENDING)); }

LRESULT CTestDlg::OnSendProgress(WPARAM, LPARAM count) {
    if (g_idle) return EndSend();
    if (count == -1) {
        g_idle = 1;
        return EndSend();
    }
    m_sentCount += static_cast<int>(count);
    // An empty stream is complete from the start.
    double percent = m_totalLength == 0
                         ? 100.0
                         : static_cast<double>(static_cast<uint32_t>(m_sentCount)) /
                               static_cast<double>(static_cast<uint32_t>(m_totalLength)) * 100.0;
    CWinApp* app = AfxGetApp();
    std::string format = m_english ? std::string("Sending: %.0f %% ") : app->LoadString(IDS_SEND_PROGRESS);
    m_tray.SetTrayTip(FormatText(format.c_str(), percent));
    m_progress.SetPos(static_cast<int>(percent));

    char* end = m_sendBuffer + m_totalLength;
    // The stream ends at its first NUL byte.
    bool over = m_sentCount == m_totalLength || m_cursor >= end || *m_cursor == '\0';
    if (!over) {
        std::memset(g_staging, 0, sizeof(g_staging));
        int n = 0;
        while (m_cursor < end && n < kChunkBytes && *m_cursor != '\0') g_staging[n++] = *m_cursor++;
        if (!WriteChunk(g_staging, n)) over = true;
    }
    if (!over) return 1;
    g_idle = 1;
    return EndSend();
}

BOOL CTestDlg::WriteChunk(const void* bytes, int count) {
    PrepareOverlapped();
    PurgeComm(m_hDevice, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    if (WriteFile(m_hDevice, bytes, static_cast<DWORD>(count), nullptr, &m_overlapped) ||
        GetLastError() == ERROR_IO_PENDING) {
        // A write done at once is reported by the first poll, like a pending one.
        m_expectedCount = count;
        SetTimer(kPollTimer, 100);
        return TRUE;
    }
    PostMessage(WM_PORT_ERROR, 0, 4);
    return FALSE;
}

int CTestDlg::PollWrite() {
    DWORD n = 0;
    LPARAM report;
    if (GetOverlappedResult(m_hDevice, &m_overlapped, &n, FALSE)) {
        KillTimer(kPollTimer);
        if (static_cast<int>(n) == m_expectedCount) {
            report = static_cast<LPARAM>(n);
        } else {
            MessageBox("SendBytes is wrong!");
            report = -1;
        }
    } else {
        DWORD err = GetLastError();
        if (err == ERROR_HANDLE_EOF || err == ERROR_IO_INCOMPLETE) return static_cast<int>(n);
        KillTimer(kPollTimer);
        PostMessage(WM_PORT_ERROR, 0, 4);
        report = -1;
    }
    SendMessage(WM_PORT_WRITTEN, 0, report);
    return static_cast<int>(n);
}

LRESULT CTestDlg::EndSend() {
    CWinApp* app = AfxGetApp();
    m_copiesOn = false;
    m_tray.ShowTrayBalloon(m_english ? std::string("Data is finshed!") : app->LoadString(IDS_SEND_DONE), false);
    KillTimer(kBlinkTimer);
    m_tray.SetTrayIcon(IDI_STATION);
    std::string ready = m_english ? std::string("Ready") : app->LoadString(IDS_READY);
    m_status.SetWindowText(ready);
    m_tray.SetTrayTip(ready);
    m_btnStop.EnableWindow(FALSE);
    m_btnSettings.EnableWindow(TRUE);
    m_btnOpenPlt.EnableWindow(TRUE);
    m_btnExit.EnableWindow(TRUE);
    m_radioAuto.EnableWindow(TRUE);
    m_radioFile.EnableWindow(TRUE);
    m_progress.SetBgColour(kIdleGrey);
    m_progress.SetTextColour(kIdleGrey);
    m_progress.SetBarColour(kIdleGrey);
    m_progress.SetTextOnBarColour(kIdleGrey);
    Invalidate(TRUE);
    m_tray.SetTrayIdle(1);
    g_exportPermit = 1;
    m_cursor = nullptr;
    delete[] m_sendBuffer;
    m_sendBuffer = nullptr;
    AbandonDevice();
    return 1;
}

void CTestDlg::AbandonDevice() {
    KillTimer(kPollTimer);
    if (!m_hDevice || m_hDevice == INVALID_HANDLE_VALUE) {
        m_hDevice = nullptr;
        return;
    }
    PurgeComm(m_hDevice, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    // A write still under way would go on using the staging buffer and the overlapped
    // record after the handle is gone; it is cancelled and waited for first.
    DWORD n = 0;
    if (m_overlapped.hEvent && !GetOverlappedResult(m_hDevice, &m_overlapped, &n, FALSE) &&
        GetLastError() == ERROR_IO_INCOMPLETE && CancelIo(m_hDevice))
        WaitForSingleObject(m_overlapped.hEvent, 1000);
    if (!CloseHandle(m_hDevice)) MessageBox("port can not  be closed!");
    m_hDevice = nullptr;
}

void CTestDlg::OnStopCutting() {
    KillTimer(kPollTimer);
    OnSendProgress(0, -1);
}

LRESULT CTestDlg::OnSendJobFile(WPARAM, LPARAM) {
    std::wstring temp(GetTempPathW(0, nullptr) + 1, L'\0');
    DWORD tn = GetTempPathW(static_cast<DWORD>(temp.size()), &temp[0]);
    if (tn >= temp.size()) tn = 0;
    temp.resize(tn);
    const std::wstring jobFile = temp + L"ornavexjob.008";

    auto deleteIfThere = [&]() {
        HANDLE f = CreateFileW(jobFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return false;
        CloseHandle(f);
        DeleteFileW(jobFile.c_str());
        return true;
    };
    // Also while a job's dialogs are open: its send would start under that job.
    if (JobsRefused()) {
        if (deleteIfThere()) m_tray.ShowTrayBalloon(AfxGetApp()->LoadString(IDS_BUSY), true);
        return 0;
    }
    if (!m_linkUsable) {
        if (deleteIfThere()) SendMessage(WM_PORT_ERROR, 0, 3);
        return 0;
    }
    const CutterCheck check = CheckCutterForSend();
    if (check != CutterCheck::kOpened) {
        // The converter waits in its send and has hidden our window: a box now would hold
        // it, so the user is told once it has its answer.
        PostMessage(WM_CUTTER_UNAVAILABLE, static_cast<WPARAM>(check), 0);
        return check == CutterCheck::kNotReady ? 1 : check == CutterCheck::kNotOpened ? 3 : 2;
    }

    // The job file whole; one that cannot be read (or is too large to hold) starts no send
    // and leaves no device open.
    HANDLE f = CreateFileW(jobFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size = {};
    char* buffer = nullptr;
    bool read = false;
    if (f != INVALID_HANDLE_VALUE && GetFileSizeEx(f, &size) && size.QuadPart < 0x7FFFFFFF &&
        (buffer = new (std::nothrow) char[static_cast<size_t>(size.QuadPart) + 1]) != nullptr) {
        std::memset(buffer, 0, static_cast<size_t>(size.QuadPart) + 1);
        DWORD got = 0;
        read = ReadFile(f, buffer, static_cast<DWORD>(size.QuadPart), &got, nullptr) && got == size.QuadPart;
    }
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    if (!read) {
        delete[] buffer;
        AbandonDevice();
        MessageBox(FormatText(m_english ? "%s: the job file cannot be read." : "%s: 无法读取任务文件。",
                              WideToUtf8(jobFile).c_str()));
        return 0;
    }
    BeginSend(buffer, static_cast<int>(size.QuadPart));
    return 6;
}

LRESULT CTestDlg::OnCutterUnavailable(WPARAM check, LPARAM) {
    TellCutterCheck(static_cast<CutterCheck>(check));
    return 0;
}
