#include "wnd.h"

#include "app.h"
#include "fwstring.h"

namespace {
const wchar_t kObjectProp[] = L"fw.object";

// The messages this thread is handling, innermost first. A window's object may delete
// itself once its window is gone (WM_NCDESTROY); the calls still open for it are marked,
// so that none of them touches the object on the way out.
struct OpenCall;
thread_local OpenCall* t_openCalls = nullptr;
struct OpenCall {
    CWnd* wnd;
    bool gone = false;
    OpenCall* outer = t_openCalls;
    explicit OpenCall(CWnd* w) : wnd(w) { t_openCalls = this; }
    ~OpenCall() { t_openCalls = outer; }
    OpenCall(const OpenCall&) = delete;
    OpenCall& operator=(const OpenCall&) = delete;
};

bool Matches(const CMessageMapEntry& e, UINT message, WPARAM wp, LPARAM lp) {
    switch (e.kind) {
    case CMessageMapEntry::Message:
        return e.message == message;
    case CMessageMapEntry::Command:
        // Menus and buttons send code 0 (BN_CLICKED), accelerators 1.
        return message == WM_COMMAND && HIWORD(wp) <= 1 && LOWORD(wp) >= e.idFirst && LOWORD(wp) <= e.idLast;
    case CMessageMapEntry::ControlNotify:
        return message == WM_COMMAND && HIWORD(wp) == e.code && LOWORD(wp) == e.idFirst;
    case CMessageMapEntry::Notify: {
        if (message != WM_NOTIFY || !lp) return false;
        auto* hdr = reinterpret_cast<const NMHDR*>(lp);
        return hdr->code == e.code && hdr->idFrom == e.idFirst;
    }
    }
    return false;
}
}  // namespace

const CMessageMapEntry* CMessageMap::Find(UINT message, WPARAM wp, LPARAM lp) const {
    for (const CMessageMap* m = this; m; m = m->base)
        for (const auto& e : m->entries)
            if (Matches(e, message, wp, lp)) return &e;
    return nullptr;
}

const CMessageMap* CWnd::StaticMap() {
    static const CMessageMap map;
    return &map;
}

CWnd::~CWnd() {
    if (m_hWnd) Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    return hwnd ? static_cast<CWnd*>(GetPropW(hwnd, kObjectProp)) : nullptr;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd) return false;
    m_hWnd = hwnd;
    PreSubclassWindow();
    SetPropW(hwnd, kObjectProp, this);
    m_oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FwWndProc)));
    return true;
}

bool CWnd::SubclassDlgItem(int id, CWnd* parent) {
    return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, id));
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h) {
        if (m_oldProc && IsWindow(h))
            SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
        RemovePropW(h, kObjectProp);
    }
    m_hWnd = nullptr;
    m_oldProc = nullptr;
    return h;
}

LRESULT CWnd::Default() {
    if (m_oldProc) return CallWindowProcW(m_oldProc, m_hWnd, m_current.msg, m_current.wp, m_current.lp);
    return DefWindowProcW(m_hWnd, m_current.msg, m_current.wp, m_current.lp);
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // Owner-drawn controls paint themselves: the parent hands the request back to them.
    if (msg == WM_DRAWITEM && lp) {
        auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (dis->CtlType != ODT_MENU)
            if (CWnd* child = FromHandlePermanent(dis->hwndItem)) {
                LRESULT result = 0;
                if (child->OnChildNotify(msg, wp, lp, &result)) return result;
            }
    }
    if (const CMessageMapEntry* e = GetMessageMap()->Find(msg, wp, lp)) return e->handler(*this, wp, lp);
    return Default();
}

LRESULT CALLBACK FwWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* w = CWnd::FromHandlePermanent(hwnd);
    if (!w) return DefWindowProcW(hwnd, msg, wp, lp);
    CWnd::CurrentMessage saved = w->m_current;
    w->m_current = {msg, wp, lp};
    if (msg == WM_NCDESTROY) {
        LRESULT r = w->Default();
        w->Detach();
        for (OpenCall* c = t_openCalls; c; c = c->outer)
            if (c->wnd == w) c->gone = true;
        w->PostNcDestroy();
        return r;
    }
    OpenCall call(w);
    LRESULT r = w->WindowProc(msg, wp, lp);
    if (!call.gone) w->m_current = saved;
    return r;
}

void CWnd::SetWindowText(const std::string& text) { ::SetWindowTextW(m_hWnd, Utf8ToWide(text).c_str()); }

std::string CWnd::GetWindowText() const {
    int n = GetWindowTextLengthW(m_hWnd);
    std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(m_hWnd, &buf[0], n + 1);
    return WideToUtf8(buf.c_str(), n);
}

void CWnd::SetDlgItemText(int id, const std::string& text) {
    ::SetDlgItemTextW(m_hWnd, id, Utf8ToWide(text).c_str());
}

std::string CWnd::GetDlgItemText(int id) const {
    HWND item = ::GetDlgItem(m_hWnd, id);
    int n = item ? GetWindowTextLengthW(item) : 0;
    std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetDlgItemTextW(m_hWnd, id, &buf[0], n + 1);
    return WideToUtf8(buf.c_str(), n);
}

int CWnd::MessageBox(const std::string& text, const std::string& caption, UINT type) {
    std::string title = caption.empty() ? AfxGetAppName() : caption;
    return ::MessageBoxW(m_hWnd, Utf8ToWide(text).c_str(), Utf8ToWide(title).c_str(), type);
}
