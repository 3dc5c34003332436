#pragma once
// Wrappers of the common controls a dialog binds with DDX_Control: list view in
// report style, combo box, up-down control. Texts are UTF-8.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "combobox.h"
#include "wnd.h"

class CListCtrl : public CWnd {
public:
    DWORD GetExtendedStyle() const;
    DWORD SetExtendedStyle(DWORD style);
    int InsertColumn(int column, const std::string& title, int format = LVCFMT_LEFT, int width = -1);
    bool SetColumnTitle(int column, const std::string& title);
    int GetItemCount() const;
    int InsertItem(int item, const std::string& text);
    bool SetItemText(int item, int subItem, const std::string& text);
    std::string GetItemText(int item, int subItem) const;
    bool DeleteAllItems();
    // The check box of an item (list with LVS_EX_CHECKBOXES).
    bool GetCheck(int item) const;
    void SetCheck(int item, bool checked);
    bool SetItemState(int item, UINT state, UINT mask);
    // The first selected item, or -1.
    int GetFirstSelectedItem() const;
    // The cell's rectangle in list coordinates (sub-item 0: the whole first column).
    bool GetSubItemRect(int item, int subItem, RECT& rect) const;
    // The item and sub-item at a point of the list, or -1.
    int SubItemHitTest(POINT pt, int* subItem) const;
    COLORREF GetTextColor() const;
    COLORREF GetTextBkColor() const;
};

class CSpinButtonCtrl : public CWnd {
public:
    void SetRange32(int lower, int upper);
    int GetPos32() const;
};
