#pragma once
// CWnd: a window object bound to an HWND, with a message map that routes messages
// to member handlers. Windows created elsewhere (dialog controls) are subclassed
// so that a derived control class can handle its own messages.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CWnd;

// One message map entry. Handlers take wParam and lParam and return the result.
struct CMessageMapEntry {
    enum Kind { Message, Command, ControlNotify, Notify };
    Kind kind;
    UINT message;   // Message: the message number
    UINT code;      // ControlNotify/Notify: the notification code
    UINT idFirst, idLast;
    std::function<LRESULT(CWnd&, WPARAM, LPARAM)> handler;
};

// A class's entries; lookups fall through to the base class's map.
struct CMessageMap {
    const CMessageMap* base = nullptr;
    std::vector<CMessageMapEntry> entries;
    const CMessageMapEntry* Find(UINT message, WPARAM wParam, LPARAM lParam) const;
};

// Builds the map of class T:
//   static const CMessageMap map = MessageMapOf<T>(Base::StaticMap())
//       .Command(IDOK, &T::OnOK).Message(WM_TIMER, &T::OnTimer);
template <class T>
class MessageMapOf {
public:
    explicit MessageMapOf(const CMessageMap* base) { map_.base = base; }

    // A menu item, accelerator or button click with this id.
    MessageMapOf& Command(UINT id, void (T::*fn)()) { return CommandRange(id, id, fn); }
    MessageMapOf& CommandRange(UINT first, UINT last, void (T::*fn)()) {
        map_.entries.push_back({CMessageMapEntry::Command, WM_COMMAND, 0, first, last,
                                [fn](CWnd& w, WPARAM, LPARAM) -> LRESULT { (static_cast<T&>(w).*fn)(); return 0; }});
        return *this;
    }
    // A WM_COMMAND notification of a control (EN_CHANGE, BN_CLICKED, ...).
    MessageMapOf& ControlNotify(UINT code, UINT id, void (T::*fn)()) {
        map_.entries.push_back({CMessageMapEntry::ControlNotify, WM_COMMAND, code, id, id,
                                [fn](CWnd& w, WPARAM, LPARAM) -> LRESULT { (static_cast<T&>(w).*fn)(); return 0; }});
        return *this;
    }
    // A WM_NOTIFY notification of a control.
    MessageMapOf& Notify(UINT code, UINT id, void (T::*fn)(NMHDR*, LRESULT*)) {
        map_.entries.push_back({CMessageMapEntry::Notify, WM_NOTIFY, code, id, id,
                                [fn](CWnd& w, WPARAM, LPARAM lp) -> LRESULT {
                                    LRESULT result = 0;
                                    (static_cast<T&>(w).*fn)(reinterpret_cast<NMHDR*>(lp), &result);
                                    return result;
                                }});
        return *this;
    }
    // Any window message, system or private.
    MessageMapOf& Message(UINT message, LRESULT (T::*fn)(WPARAM, LPARAM)) {
        map_.entries.push_back({CMessageMapEntry::Message, message, 0, 0, 0,
                                [fn](CWnd& w, WPARAM wp, LPARAM lp) { return (static_cast<T&>(w).*fn)(wp, lp); }});
        return *this;
    }
    operator CMessageMap() const { return map_; }

private:
    CMessageMap map_;
};

// Declares the map functions in a class body.
#define FW_DECLARE_MESSAGE_MAP()                \
public:                                         \
    static const CMessageMap* StaticMap();      \
    const CMessageMap* GetMessageMap() const override { return StaticMap(); }

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    static const CMessageMap* StaticMap();
    virtual const CMessageMap* GetMessageMap() const { return StaticMap(); }

    // Binds this object to an existing window and routes its messages through the map.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(int id, CWnd* parent);
    HWND Detach();
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Default processing of the message being handled (the window's own procedure).
    LRESULT Default();

    // Window helpers; texts are UTF-8.
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::PostMessageW(m_hWnd, msg, wp, lp); }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    void SetIcon(HICON icon, BOOL big) { SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)); }
    int MessageBox(const std::string& text, const std::string& caption = std::string(), UINT type = MB_OK);

    // Called for every message that reaches the window; the map first, then Default().
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // After the window is gone (WM_NCDESTROY).
    virtual void PostNcDestroy() {}
    // Just before SubclassWindow routes the window through this object.
    virtual void PreSubclassWindow() {}
    // A notification the parent got about this control (WM_DRAWITEM); true when handled here.
    virtual bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    // The message loop offers each message here first (accelerators); TRUE when used up.
    virtual BOOL PreTranslateMessage(MSG*) { return FALSE; }

protected:
    WNDPROC m_oldProc = nullptr;
    struct CurrentMessage { UINT msg; WPARAM wp; LPARAM lp; };
    CurrentMessage m_current{};

    friend LRESULT CALLBACK FwWndProc(HWND, UINT, WPARAM, LPARAM);
};

LRESULT CALLBACK FwWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
