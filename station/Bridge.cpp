// The drawing program's bridge: the handlers that serve the macros running inside
// the drawing program (settings request, barcode number, registration-mark data and
// the export dialog request). The presence and language queries sit in TestDlg.cpp.
#include <windows.h>

#include <algorithm>

#include "AddBcdDlg.h"
#include "StationState.h"
#include "TestDlg.h"
#include "app.h"
#include "fwstring.h"
#include "resource.h"

namespace {

const wchar_t kMyOutput[] = L"c:\\myoutput";
const wchar_t kMyOutputPrn[] = L"c:\\myoutput.prn";

// The file the drawing program writes for the cutter model that waits for it. Its
// check has always reported ready at once, without looking at the file.
bool OutputFileReady(const wchar_t*) { return true; }

HWND ChildOfClass(HWND parent, const wchar_t* cls, const wchar_t* caption = nullptr) {
    return FindWindowExW(parent, nullptr, cls, caption);
}

}  // namespace

LRESULT CTestDlg::OnOpenSettingsRequest(WPARAM, LPARAM) {
    // Posted, so that the macro's send returns before the settings dialog opens.
    if (!SettingsHeld()) PostMessage(WM_COMMAND, IDC_SETTINGS, 0);
    return 1;
}

LRESULT CTestDlg::OnGetBarcodeNumber(WPARAM, LPARAM) {
    if (!g_idle) return 1;
    CAddBcdDlg dlg;
    dlg.DoModal();
    return dlg.m_number;
}

LRESULT CTestDlg::OnMarkDataReady(WPARAM, LPARAM) {
    if (JobsRefused()) {
        // Mark data that came while sending, or under a job whose dialogs are open,
        // would change the job under way.
        if (DeleteExportFile()) m_tray.ShowTrayBalloon(AfxGetApp()->LoadString(IDS_BUSY), true);
        return 0;
    }
    std::string text;
    if (!TakeExportFile(FILE_SHARE_WRITE, text)) return 0;
    PltBox box;
    if (!ScanPlt(text, box)) {
        m_tray.ShowTrayBalloon("data error!", true);
        return 0;
    }
    m_markBox = box;
    m_markDataPresent = 1;
    return 1;
}

LRESULT CTestDlg::OnDriveExportDialog(WPARAM, LPARAM) {
    HWND exportDialog = FindWindowW(L"#32770", Utf8ToWide(m_settings.exportFolder).c_str());
    if (!exportDialog) return 0;
    if (!g_exportPermit || !g_idle || !m_driveDialog) {
        ::SendMessageW(exportDialog, WM_CLOSE, 0, 0);
        return 0;
    }
    FillExportDialog(exportDialog);
    return 0;
}

// Fills the drawing program's export dialog with c:\myoutput and presses its button.
void CTestDlg::FillExportDialog(HWND exportDialog) {
    auto tell = [this](const char* text) { MessageBox(text, "Quorlin", MB_ICONEXCLAMATION | MB_OK); };
    g_exportPermit = 0;
    if (GetFileAttributesW(kMyOutputPrn) != INVALID_FILE_ATTRIBUTES) DeleteFileW(kMyOutputPrn);

    wchar_t caption[15] = {};
    ::GetWindowTextW(exportDialog, caption, 15);
    std::wstring folder = Utf8ToWide(m_settings.exportFolder);
    if (!folder.empty() && caption[0] == folder[0]) {
        HWND field = ChildOfClass(exportDialog, L"Edit");
        if (!field) {
            HWND comboEx = ChildOfClass(exportDialog, L"ComboBoxEX32");
            if (!comboEx) return tell("NO ComboxBoxEX32!");
            HWND combo = ChildOfClass(comboEx, L"ComboBox");
            if (!combo) return tell("NO ComboxBox");
            field = ChildOfClass(combo, L"Edit");
            if (!field) return tell("NO ComboxBoxEdit");
        }
        // The settings dialog keeps the wait between 1 and 5 seconds.
        Sleep(static_cast<DWORD>(std::clamp(m_settings.waitSecond, 0, 60)) * 1000);
        ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kMyOutput));
        HWND button = ChildOfClass(exportDialog, L"Button", Utf8ToWide(m_settings.exportFileName).c_str());
        if (!button) return tell("NO BUTTON!");
        ::PostMessageW(button, WM_LBUTTONDOWN, 1, 0);
        ::PostMessageW(button, WM_LBUTTONUP, 0, 0);
    }
    if (m_settings.modelIndex == 1)
        while (!OutputFileReady(kMyOutputPrn)) Sleep(2000);
}
