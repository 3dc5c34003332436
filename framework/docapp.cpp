// The application's single-document parts: templates, command line, the File commands
// and the recent-file list.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include "app.h"
#include "docview.h"
#include "filedlg.h"
#include "fwstring.h"
#include "recentfiles.h"
#include "wnd.h"

void ReleaseDocObjects(CWinApp* app) {
    delete app->m_pDocTemplate;
    app->m_pDocTemplate = nullptr;
    delete app->m_pRecentFileList;
    app->m_pRecentFileList = nullptr;
    if (app->m_hDevMode) GlobalFree(app->m_hDevMode);
    if (app->m_hDevNames) GlobalFree(app->m_hDevNames);
    app->m_hDevMode = app->m_hDevNames = nullptr;
}

namespace {
// The part of the title string before its first newline, the program's name otherwise.
std::string ProgramTitle(const CWinApp& app) {
    std::string t = app.LoadString(57344);
    return t.empty() ? app.AppName() : t.substr(0, t.find('\n'));
}
}  // namespace

void CWinApp::SetRegistryKey(const std::string& key) {
    m_pszRegistryKey = key;
    m_pszProfileName = ProgramTitle(*this);
}

void CWinApp::LoadStdProfileSettings(UINT maxRecentFiles) {
    std::string key;
    if (!m_pszRegistryKey.empty()) key = "Software\\" + m_pszRegistryKey + "\\" + m_pszProfileName;
    delete m_pRecentFileList;
    m_pRecentFileList = new CRecentFileList(key, maxRecentFiles);
    m_pRecentFileList->ReadList();
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
    delete m_pDocTemplate;
    m_pDocTemplate = docTemplate;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return;
    for (int i = 1; i < argc; ++i) {
        std::string arg = WideToUtf8(argv[i]);
        if (arg.empty() || arg[0] == '/' || arg[0] == '-') continue;  // flags: none used here
        if (info.m_strFileName.empty()) {
            info.m_strFileName = arg;
            info.m_nShellCommand = CCommandLineInfo::FileOpen;
        }
    }
    LocalFree(argv);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    if (info.m_nShellCommand == CCommandLineInfo::FileOpen) {
        if (OpenDocumentFile(info.m_strFileName)) return TRUE;
        // The user has been told why; a program that has no window yet cannot go on.
        if (!m_pMainWnd) return FALSE;
        return TRUE;
    }
    OnFileNew();
    return m_pMainWnd != nullptr;
}

CDocument* CWinApp::OpenDocumentFile(const std::string& path) {
    if (!m_pDocTemplate) return nullptr;
    return m_pDocTemplate->OpenDocumentFile(path.c_str());
}

void CWinApp::AddToRecentFileList(const std::string& path) {
    if (m_pRecentFileList) m_pRecentFileList->Add(path);
}

void CWinApp::OnFileNew() {
    if (m_pDocTemplate) m_pDocTemplate->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
    if (!m_pDocTemplate) return;
    std::string ext = m_pDocTemplate->DefaultExtension();
    std::string filter = m_pDocTemplate->FileFilter() + "All Files (*.*)|*.*||";
    CFileDialog dlg(TRUE, ext.c_str(), nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filter.c_str());
    if (dlg.DoModal() == IDOK) OpenDocumentFile(dlg.GetPathName());
}

void CWinApp::OnFilePrintSetup() {
    PRINTDLGW pd = {};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    pd.Flags = PD_PRINTSETUP;
    pd.hDevMode = m_hDevMode;
    pd.hDevNames = m_hDevNames;
    PrintDlgW(&pd);
    m_hDevMode = pd.hDevMode;
    m_hDevNames = pd.hDevNames;
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd && m_pMainWnd->m_hWnd) ::PostMessageW(m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
}

void CWinApp::OnOpenRecentFile(UINT id) {
    size_t index = id - ID_FILE_MRU_FILE1;
    if (!m_pRecentFileList || index >= m_pRecentFileList->Files().size()) return;
    std::string path = m_pRecentFileList->Files()[index];
    // A file that no longer opens leaves the list.
    if (!OpenDocumentFile(path)) m_pRecentFileList->Remove(index);
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* ui) {
    ui->Enable(m_pRecentFileList && !m_pRecentFileList->Files().empty());
}

int CWinApp::UpdateRecentFileMenu(HMENU menu, int index) {
    // The first recent-file item (or the placeholder) keeps the place; the others go.
    static std::wstring placeholder;
    wchar_t text[512] = {};
    // The resource's own text stands in while the list is empty; entries start with "&1".
    if (GetMenuItemID(menu, index) == ID_FILE_MRU_FILE1 && GetMenuStringW(menu, index, text, 511, MF_BYPOSITION) &&
        text[0] != L'&')
        placeholder = text;
    while (index < GetMenuItemCount(menu)) {
        UINT id = GetMenuItemID(menu, index);
        if (id < ID_FILE_MRU_FILE1 || id > ID_FILE_MRU_FILE4) break;
        DeleteMenu(menu, index, MF_BYPOSITION);
    }
    size_t count = m_pRecentFileList ? m_pRecentFileList->Files().size() : 0;
    if (count == 0) {
        std::wstring shown = placeholder.empty() ? L"Recent File" : placeholder;
        InsertMenuW(menu, index, MF_BYPOSITION | MF_STRING | MF_GRAYED, ID_FILE_MRU_FILE1, shown.c_str());
        return 1;
    }
    for (size_t i = 0; i < count; ++i)
        InsertMenuW(menu, index + static_cast<int>(i), MF_BYPOSITION | MF_STRING | MF_ENABLED,
                    ID_FILE_MRU_FILE1 + static_cast<UINT>(i), Utf8ToWide(m_pRecentFileList->MenuText(i)).c_str());
    return static_cast<int>(count);
}

BOOL CWinApp::OnCmdMsg(UINT id, CCmdUI* ui) {
    static const CommandMap<CWinApp> map = CommandMap<CWinApp>()
        .OnRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE4, &CWinApp::OnOpenRecentFile, &CWinApp::OnUpdateRecentFileMenu)
        .On(ID_APP_EXIT, &CWinApp::OnAppExit);
    return map.Dispatch(*this, id, ui);
}
