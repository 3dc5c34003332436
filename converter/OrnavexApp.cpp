#include "OrnavexApp.h"

#include <commctrl.h>
#include <ole2.h>

#include "MainFrm.h"
#include "OrnavexDoc.h"
#include "OrnavexView.h"
#include "resource.h"

COrnavexApp theApp;

namespace {
// The registry key the recent-file list lives under (then the program's title).
const char kRegistryKey[] = "应用程序向导生成的本地应用程序";
}  // namespace

BOOL COrnavexApp::InitInstance() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    // (The framework's own InitInstance only tells dialog programs to end; nothing to call.)
    if (FAILED(OleInitialize(nullptr))) {
        AfxMessageBox(LoadString(IDP_OLE_INIT_FAILED));
        return FALSE;
    }
    m_oleInitialised = true;
    AfxEnableControlContainer();
    SetRegistryKey(kRegistryKey);
    LoadStdProfileSettings(4);

    AddDocTemplate(new CMySingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(COrnavexDoc), RUNTIME_CLASS(CMainFrame),
                                            RUNTIME_CLASS(COrnavexView)));
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo)) return FALSE;
    m_pMainWnd->ShowWindow(SW_SHOWMAXIMIZED);
    UpdateWindow(m_pMainWnd->m_hWnd);
    return TRUE;
}

int COrnavexApp::ExitInstance() {
    if (m_oleInitialised) OleUninitialize();
    m_oleInitialised = false;
    return CWinApp::ExitInstance();
}

BOOL COrnavexApp::OnCmdMsg(UINT id, CCmdUI* ui) {
    static const CommandMap<COrnavexApp> map = CommandMap<COrnavexApp>()
        .On(ID_APP_ABOUT, &COrnavexApp::OnAppAbout)
        .On(ID_FILE_NEW, &CWinApp::OnFileNew)
        .On(ID_FILE_OPEN, &CWinApp::OnFileOpen)
        .On(ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup);
    return map.Dispatch(*this, id, ui) || CWinApp::OnCmdMsg(id, ui);
}

void COrnavexApp::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}

BOOL CMySingleDocTemplate::GetDocString(std::string& out, DocStringIndex index) const {
    switch (index) {
    case fileNewName:
    case filterName:
        out = "AutoCad R12(*.dxf)";
        return TRUE;
    case filterExt:
        out = ".dxf";
        return TRUE;
    default:
        CSingleDocTemplate::GetDocString(out, index);
        return TRUE;
    }
}
