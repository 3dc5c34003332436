#include "pltfilecfg.h"

#include "PresetDlg.h"
#include "app.h"
#include "font.h"
#include "resource.h"

const CMessageMap* Cpltfilecfg::StaticMap() {
    static const CMessageMap map = MessageMapOf<Cpltfilecfg>(CDialog::StaticMap())
        .Command(IDOK, &Cpltfilecfg::OnOK)
        .Command(IDC_CFG_COPIES, &Cpltfilecfg::OnCopiesClicked)
        .Command(IDC_CFG_PENS, &Cpltfilecfg::OnPens);
    return &map;
}

Cpltfilecfg::Cpltfilecfg(CWnd* parent) : CDialog(IDD_PLTFILECFG, parent) {}

void Cpltfilecfg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_CFG_LEFT, m_left);
    DDX_Text(pDX, IDC_CFG_TOP, m_top);
    DDX_Text(pDX, IDC_CFG_WIDTH, m_width);
    DDX_Text(pDX, IDC_CFG_HEIGHT, m_height);
    DDX_Check(pDX, IDC_CFG_SAVETOFILE, m_saveToFile);
    DDX_Check(pDX, IDC_CFG_COPIES, m_copiesOn);
    DDX_Text(pDX, IDC_CFG_COUNT, m_copyCount);
    DDV_MinMaxInt(pDX, m_copyCount, 1, 99);
    DDX_Text(pDX, IDC_CFG_SPACE, m_copySpace);
    DDV_MinMaxInt(pDX, m_copySpace, 0, 500);
    DDX_Text(pDX, IDC_CFG_SEGSTART, m_segStart);
    DDV_MinMaxInt(pDX, m_segStart, 1, 30);
}

BOOL Cpltfilecfg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterOnScreen(m_hWnd);
    MakeTopmost(m_hWnd, true);
    if (m_english) {
        static const struct { int id; const char* text; } kEnglish[] = {
            {IDOK, "CUT"}, {IDCANCEL, "Cancel"}, {IDC_CFG_SIZEGROUP, "Size"}, {IDC_CFG_WIDTHLABEL, " Width:"},
            {IDC_CFG_HEIGHTLABEL, "Heigth:"}, {IDC_CFG_BORDERGROUP, "Border"}, {IDC_CFG_LEFTLABEL, "Left"},
            {IDC_CFG_TOPLABEL, "Top"}, {IDC_CFG_SAVETOFILE, "SaveToFile"}, {IDC_CFG_COPIES, "Copies"},
            {IDC_CFG_COUNTLABEL, "Number:"}, {IDC_CFG_SPACELABEL, "Space:"}, {IDC_CFG_SEGLABEL, "Segment cut from NO."}};
        for (const auto& c : kEnglish) SetDlgItemText(c.id, c.text);
    }
    m_saveToFile = 0;
    EnableCopyFields();
    ::EnableWindow(GetDlgItem(IDC_CFG_SEGSTART), m_segMode != 0);
    if (m_copyCount < 1) m_copyCount = 1;
    UpdateData(FALSE);
    return TRUE;
}

void Cpltfilecfg::EnableCopyFields() {
    ::EnableWindow(GetDlgItem(IDC_CFG_COUNT), m_copiesOn != 0);
    ::EnableWindow(GetDlgItem(IDC_CFG_SPACE), m_copiesOn != 0);
}

void Cpltfilecfg::OnCopiesClicked() {
    UpdateData(TRUE);
    m_copiesOn = static_cast<int>(SendDlgItemMessageW(m_hWnd, IDC_CFG_COPIES, BM_GETCHECK, 0, 0));
    EnableCopyFields();
}

void Cpltfilecfg::OnPens() {
    if (!m_pPresetDlg) return;
    // Owned by this topmost dialog for the run, so that it opens above it.
    CWnd* owner = m_pPresetDlg->m_pParentWnd;
    m_pPresetDlg->m_pParentWnd = this;
    m_pPresetDlg->DoModal();
    m_pPresetDlg->m_pParentWnd = owner;
}

void Cpltfilecfg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_segMode && m_segStart > m_markRows + 1) {
        AfxMessageBox(m_english ? "Segment cut begin number too big!" : "起始段数大于总分段数!");
        return;
    }
    EndDialog(IDOK);
}
