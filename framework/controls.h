#pragma once
// Thin wrappers of the standard controls, bound to dialog items by DDX_Control.
#include <windows.h>
#include <commctrl.h>

#include "wnd.h"

class CButton : public CWnd {
public:
    HICON SetIcon(HICON icon) {
        return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    }
    int GetCheck() const { return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int state) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
    // Owner-drawn buttons paint here; the parent's WM_DRAWITEM is handed to it.
    virtual void DrawItem(DRAWITEMSTRUCT*) {}
    bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CEdit : public CWnd {
public:
    void SetReadOnly(BOOL readOnly = TRUE) { SendMessage(EM_SETREADONLY, readOnly); }
};

class CStatic : public CWnd {};

class CProgressCtrl : public CWnd {
public:
    void SetRange(int lower, int upper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    int SetPos(int pos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos))); }
    int GetPos() const { return static_cast<int>(::SendMessageW(m_hWnd, PBM_GETPOS, 0, 0)); }
};

// A tooltip window for one control.
class CToolTipCtrl : public CWnd {
public:
    // Creates the tooltip for tool (a child window) and adds it with the text.
    bool Create(CWnd* tool, DWORD style = TTS_ALWAYSTIP);
    void Activate(BOOL active) { SendMessage(TTM_ACTIVATE, active); }
    void SetToolText(CWnd* tool, const std::string& text);
    void AddTool(CWnd* tool, const std::string& text);
};
