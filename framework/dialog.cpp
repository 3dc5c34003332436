#include "dialog.h"

#include <cstdlib>

#include "app.h"
#include "combobox.h"
#include "fwstring.h"

const CMessageMap* CDialog::StaticMap() {
    static const CMessageMap map = MessageMapOf<CDialog>(CWnd::StaticMap())
        .Command(IDOK, &CDialog::OnOK)
        .Command(IDCANCEL, &CDialog::OnCancel);
    return &map;
}

INT_PTR CDialog::DoModal() {
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!parent && AfxGetApp() && AfxGetApp()->m_pMainWnd && AfxGetApp()->m_pMainWnd != this)
        parent = AfxGetApp()->m_pMainWnd->m_hWnd;
    bool parentEnabled = parent && IsWindowEnabled(parent);
    if (parentEnabled) ::EnableWindow(parent, FALSE);

    m_modalResult = -1;
    m_inModalLoop = true;
    HWND h = CreateDialogParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), parent,
                                &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (h) {
        // A dialog created visible stays as its code leaves it (a station hides itself at
        // start); one created hidden is shown once its first messages are through.
        bool showOnIdle = (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) == 0;
        MSG msg;
        while (m_inModalLoop) {
            if (showOnIdle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                ::ShowWindow(h, SW_SHOWNORMAL);
                showOnIdle = false;
            }
            BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got <= 0) {
                if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (!IsDialogMessageW(h, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    if (parentEnabled) ::EnableWindow(parent, TRUE);
    if (h) {
        if (parent && GetActiveWindow() == h) SetActiveWindow(parent);
        ::ShowWindow(h, SW_HIDE);
        DestroyWindow(h);
    }
    m_inModalLoop = false;
    return m_modalResult;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lp) {
    if (msg != WM_INITDIALOG) return FALSE;  // everything else reaches the object through its map
    auto* dlg = reinterpret_cast<CDialog*>(lp);
    dlg->SubclassWindow(hwnd);
    dlg->m_current = {msg, 0, lp};
    return dlg->OnInitDialog();
}

void CDialog::EndDialog(INT_PTR result) {
    m_modalResult = result;
    m_inModalLoop = false;
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL save) {
    CDataExchange dx(this, save != FALSE);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return FALSE;
    }
    return TRUE;
}

void CDataExchange::Fail(const std::string& message) {
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    if (HWND item = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl)) {
        SetFocus(item);
        SendMessageW(item, EM_SETSEL, 0, -1);
    }
    throw Failure{};
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    pDX->m_idLastControl = id;
    if (!control.m_hWnd) control.SubclassDlgItem(id, pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    pDX->m_idLastControl = id;
    if (pDX->m_bSaveAndValidate) value = pDX->m_pDlgWnd->GetDlgItemText(id);
    else pDX->m_pDlgWnd->SetDlgItemText(id, value);
}

void DDX_Text(CDataExchange* pDX, int id, int& value) {
    pDX->m_idLastControl = id;
    if (!pDX->m_bSaveAndValidate) { pDX->m_pDlgWnd->SetDlgItemText(id, FormatText("%d", value)); return; }
    std::string text = pDX->m_pDlgWnd->GetDlgItemText(id);
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (text.empty() || !end || *end) pDX->Fail("请输入一个整数。");
    value = static_cast<int>(v);
}

void DDX_Text(CDataExchange* pDX, int id, float& value) {
    pDX->m_idLastControl = id;
    if (!pDX->m_bSaveAndValidate) { pDX->m_pDlgWnd->SetDlgItemText(id, FormatText("%g", value)); return; }
    std::string text = pDX->m_pDlgWnd->GetDlgItemText(id);
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (text.empty() || !end || *end) pDX->Fail("请输入一个数。");
    value = static_cast<float>(v);
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
    pDX->m_idLastControl = id;
    HWND item = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
    if (pDX->m_bSaveAndValidate) value = static_cast<int>(SendMessageW(item, BM_GETCHECK, 0, 0));
    else SendMessageW(item, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& value) {
    pDX->m_idLastControl = firstId;
    HWND dlg = pDX->m_pDlgWnd->m_hWnd;
    HWND item = ::GetDlgItem(dlg, firstId);
    if (pDX->m_bSaveAndValidate) value = -1;
    // The group runs from the first radio to the next control with WS_GROUP.
    for (int index = 0; item; ++index) {
        if (pDX->m_bSaveAndValidate) {
            if (SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            SendMessageW(item, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        item = GetNextDlgGroupItem(dlg, item, FALSE);
        if (!item || item == ::GetDlgItem(dlg, firstId)) break;
    }
}

namespace {
// A combo box of the dialog, used for one exchange without being bound to it.
struct BorrowedCombo : CComboBox {
    BorrowedCombo(CDataExchange* pDX, int id) { m_hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id); }
    ~BorrowedCombo() override { m_hWnd = nullptr; }
};
}  // namespace

void DDX_CBIndex(CDataExchange* pDX, int id, int& index) {
    pDX->m_idLastControl = id;
    BorrowedCombo box(pDX, id);
    if (pDX->m_bSaveAndValidate) index = box.GetCurSel();
    else box.SetCurSel(index);
}

void DDX_CBStringExact(CDataExchange* pDX, int id, std::string& value) {
    pDX->m_idLastControl = id;
    if (pDX->m_bSaveAndValidate) {
        value = pDX->m_pDlgWnd->GetDlgItemText(id);
        return;
    }
    BorrowedCombo box(pDX, id);
    int row = value.empty() ? CB_ERR : box.FindStringExact(-1, value);
    box.SetCurSel(row == CB_ERR ? -1 : row);
    if (row == CB_ERR) box.SetWindowText(value);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        pDX->Fail(FormatText("请输入一个在 %d 和 %d 之间的整数。", minVal, maxVal));
}

void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal) {
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        pDX->Fail(FormatText("请输入一个在 %g 和 %g 之间的数字。", minVal, maxVal));
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars) {
    if (pDX->m_bSaveAndValidate && static_cast<int>(value.size()) > maxChars)
        pDX->Fail(FormatText("Please enter no more than %d characters.", maxChars));
    else if (!pDX->m_bSaveAndValidate)
        SendMessageW(::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, pDX->m_idLastControl), EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
}
