#include "Cut.h"

#include "resource.h"

const CMessageMap* CCut::StaticMap() {
    static const CMessageMap map = MessageMapOf<CCut>(CDialog::StaticMap())
        .ControlNotify(BN_CLICKED, IDC_SAVETOFILE, &CCut::OnSaveToFile)
        .ControlNotify(BN_HILITE, IDC_SAVETOFILE, &CCut::OnSaveToFile)
        .Message(WM_CLOSE, &CCut::OnCloseMsg)
        .Message(WM_DESTROY, &CCut::OnDestroyMsg);
    return &map;
}

void CCut::DoDataExchange(CDataExchange* pDX) { DDX_Control(pDX, IDC_SAVETOFILE, m_saveCheck); }

BOOL CCut::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText("Output");
    SetDlgItemText(IDOK, "SendToPlot");
    SetDlgItemText(IDC_SAVETOFILE, "SaveToFile");
    return TRUE;
}

// The dialog's default handling turns the close box into a cancel.
LRESULT CCut::OnCloseMsg(WPARAM, LPARAM) { return Default(); }

LRESULT CCut::OnDestroyMsg(WPARAM, LPARAM) {
    // Read on every way out, OK and cancel alike.
    m_saveToFile = IsDlgButtonChecked(m_hWnd, IDC_SAVETOFILE) == BST_CHECKED;
    if (m_saveCheck.m_hWnd) m_saveCheck.Detach();
    return Default();
}
