#include "LumbrelApp.h"

#include "LumbrelDlg.h"

CLumbrelApp theApp;

BOOL CLumbrelApp::InitInstance() {
    AfxEnableControlContainer();
    CLumbrelDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The program ends with its dialog.
    return FALSE;
}
