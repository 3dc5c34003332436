#include "commctrls.h"

#include "fwstring.h"

DWORD CListCtrl::GetExtendedStyle() const {
    return static_cast<DWORD>(::SendMessageW(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
}

int CListCtrl::InsertColumn(int column, const std::string& title, int format, int width) {
    std::wstring w = Utf8ToWide(title);
    LVCOLUMNW c = {};
    c.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM | (width >= 0 ? LVCF_WIDTH : 0);
    c.fmt = format;
    c.cx = width;
    c.pszText = &w[0];
    c.iSubItem = column;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c)));
}

bool CListCtrl::SetColumnTitle(int column, const std::string& title) {
    std::wstring w = Utf8ToWide(title);
    LVCOLUMNW c = {};
    c.mask = LVCF_TEXT;
    c.pszText = &w[0];
    return SendMessage(LVM_SETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c)) != 0;
}

int CListCtrl::GetItemCount() const { return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0)); }

int CListCtrl::InsertItem(int item, const std::string& text) {
    std::wstring w = Utf8ToWide(text);
    LVITEMW it = {};
    it.mask = LVIF_TEXT;
    it.iItem = item;
    it.pszText = &w[0];
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it)));
}

bool CListCtrl::SetItemText(int item, int subItem, const std::string& text) {
    std::wstring w = Utf8ToWide(text);
    LVITEMW it = {};
    it.iSubItem = subItem;
    it.pszText = &w[0];
    return SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it)) != 0;
}

std::string CListCtrl::GetItemText(int item, int subItem) const {
    // The control copies at most the buffer's size; grow until the text fits.
    for (int size = 64;; size *= 4) {
        std::wstring buf(static_cast<size_t>(size), L'\0');
        LVITEMW it = {};
        it.iSubItem = subItem;
        it.pszText = &buf[0];
        it.cchTextMax = size;
        int n = static_cast<int>(::SendMessageW(m_hWnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it)));
        if (n < size - 1 || size >= 64 * 1024) return WideToUtf8(buf.c_str(), n);
    }
}

bool CListCtrl::DeleteAllItems() { return SendMessage(LVM_DELETEALLITEMS) != 0; }

bool CListCtrl::GetCheck(int item) const {
    UINT state = static_cast<UINT>(::SendMessageW(m_hWnd, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK));
    return ((state >> 12) - 1) == 1;
}

void CListCtrl::SetCheck(int item, bool checked) {
    SetItemState(item, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

bool CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    LVITEMW it = {};
    it.state = state;
    it.stateMask = mask;
    return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it)) != 0;
}

int CListCtrl::GetFirstSelectedItem() const {
    return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool CListCtrl::GetSubItemRect(int item, int subItem, RECT& rect) const {
    rect = {};
    rect.top = subItem;
    rect.left = LVIR_BOUNDS;
    return ::SendMessageW(m_hWnd, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect)) != 0;
}

int CListCtrl::SubItemHitTest(POINT pt, int* subItem) const {
    LVHITTESTINFO hit = {};
    hit.pt = pt;
    int item = static_cast<int>(::SendMessageW(m_hWnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (subItem) *subItem = item >= 0 ? hit.iSubItem : -1;
    return item;
}

COLORREF CListCtrl::GetTextColor() const { return static_cast<COLORREF>(::SendMessageW(m_hWnd, LVM_GETTEXTCOLOR, 0, 0)); }
COLORREF CListCtrl::GetTextBkColor() const { return static_cast<COLORREF>(::SendMessageW(m_hWnd, LVM_GETTEXTBKCOLOR, 0, 0)); }

void CSpinButtonCtrl::SetRange32(int lower, int upper) { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
int CSpinButtonCtrl::GetPos32() const { return static_cast<int>(::SendMessageW(m_hWnd, UDM_GETPOS32, 0, 0)); }
