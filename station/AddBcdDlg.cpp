#include "AddBcdDlg.h"

#include <cstdlib>

#include "fwstring.h"
#include "resource.h"

const CMessageMap* CAddBcdDlg::StaticMap() {
    static const CMessageMap map = MessageMapOf<CAddBcdDlg>(CDialog::StaticMap())
        .Command(IDC_BCD_GENERATE, &CAddBcdDlg::OnGenerate)
        .Command(IDCANCEL, &CAddBcdDlg::OnCancel)
        .Message(WM_CTLCOLORSTATIC, &CAddBcdDlg::OnCtlColorStatic);
    return &map;
}

CAddBcdDlg::CAddBcdDlg(CWnd* parent) : CDialog(IDD_ADDBARCODE, parent) {}

BOOL CAddBcdDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    MakeTopmost(m_hWnd);
    m_numberFont.CreatePointFont(150, "Arial");
    SendDlgItemMessageW(m_hWnd, IDC_BCD_NUMBER, WM_SETFONT, reinterpret_cast<WPARAM>(m_numberFont.m_hObject), TRUE);
    SetDlgItemText(IDC_BCD_NUMBER, "0000");
    m_number = 0;
    return TRUE;
}

void CAddBcdDlg::OnGenerate() {
    m_number = std::rand() % 10000;
    SetDlgItemText(IDC_BCD_NUMBER, FormatText("%04d", m_number));
}

void CAddBcdDlg::OnCancel() {
    m_number = 0;
    CDialog::OnCancel();
}

LRESULT CAddBcdDlg::OnCtlColorStatic(WPARAM wp, LPARAM) {
    LRESULT brush = Default();  // the dialog's own background
    ::SetTextColor(reinterpret_cast<HDC>(wp), RGB(255, 0, 0));
    return brush;
}
