#pragma once
// Combo box controls, bound to dialog items by DDX_Control. Texts are UTF-8.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "fwstring.h"
#include "wnd.h"

class CComboBox : public CWnd {
public:
    int AddString(const std::string& text) {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str())));
    }
    int GetCount() const { return static_cast<int>(::SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0)); }
    int GetCurSel() const { return static_cast<int>(::SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    std::string GetLBText(int index) const {
        LRESULT n = ::SendMessageW(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (n == CB_ERR) return std::string();
        std::wstring text(static_cast<size_t>(n) + 1, L'\0');
        n = ::SendMessageW(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
        return n == CB_ERR ? std::string() : WideToUtf8(text.c_str(), static_cast<int>(n));
    }
    // The row whose text equals text (the control compares without case), after row
    // startAfter (-1: from the top); CB_ERR when there is none.
    int FindStringExact(int startAfter, const std::string& text) const {
        return static_cast<int>(::SendMessageW(m_hWnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter),
                                               reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str())));
    }
    // Empties the list and adds rows in order.
    template <size_t N>
    void SetRows(const char* const (&rows)[N]) {
        ResetContent();
        for (const char* row : rows) AddString(row);
    }
    BOOL ShowDropDown(BOOL show = TRUE) { return static_cast<BOOL>(SendMessage(CB_SHOWDROPDOWN, show)); }
    BOOL GetDroppedState() const { return static_cast<BOOL>(::SendMessageW(m_hWnd, CB_GETDROPPEDSTATE, 0, 0)); }
};

// The extended combo box (items with images); its items are added like the plain one's.
class CComboBoxEx : public CComboBox {};
