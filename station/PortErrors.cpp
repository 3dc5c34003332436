// Link failures reported to the main dialog as WM_PORT_ERROR with a code.
#include "TestDlg.h"
#include "app.h"
#include "resource.h"

LRESULT CTestDlg::OnPortError(WPARAM, LPARAM code) {
    CWinApp* app = AfxGetApp();
    switch (code) {
    case 1:  // a serial write ended with a failure
    case 4: {  // a write to the cutter failed
        std::string text = app->LoadString(IDS_CUT_ABORTED);
        m_tray.ShowTrayBalloon(text, true);
        MessageBox(text, "Kelmirt", MB_ICONEXCLAMATION | MB_TOPMOST);
        OnStopCutting();
        break;
    }
    case 2:  // the serial line broke: offer to reopen it
        OnPortErrorReopen();
        break;
    case 3: {  // a job arrived while the link is not usable; a send under way goes on
        std::string text = app->LoadString(IDS_PORT_NOT_READY);
        m_tray.ShowTrayBalloon(text, true);
        MessageBox(text, "Kelmirt", MB_ICONEXCLAMATION | MB_TOPMOST);
        break;
    }
    default:
        break;
    }
    return 1;
}
