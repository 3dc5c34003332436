#include "AboutDlg.h"

#include <cctype>

#include "resource.h"

const char kMakerWebAddress[] = "kelmirt.example.com";

const CMessageMap* CAboutDlg::StaticMap() {
    static const CMessageMap map = MessageMapOf<CAboutDlg>(CDialog::StaticMap())
        .Command(IDC_ABOUT_WEB, &CAboutDlg::EmptyHandler)
        .Command(IDC_ABOUT_LINE, &CAboutDlg::EmptyHandler);
    return &map;
}

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_ABOUT_LINE, "   ");
    std::string web = kMakerWebAddress;
    for (char& c : web) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    SetDlgItemText(IDC_ABOUT_WEB, web);
    return TRUE;
}
