#include "wndcreate.h"

#include "app.h"
#include "fwstring.h"
#include "wnd.h"

namespace {

LRESULT CALLBACK BindingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE && !CWnd::FromHandlePermanent(hwnd)) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        if (auto* self = static_cast<CWnd*>(cs->lpCreateParams)) {
            // From here on FwWndProc routes the messages; Default() comes back here.
            self->SubclassWindow(hwnd);
            return FwWndProc(hwnd, msg, wp, lp);
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

const wchar_t* FwRegisterWndClass(const wchar_t* name, UINT style, HICON icon, HBRUSH background) {
    WNDCLASSEXW wc = {};
    if (GetClassInfoExW(AfxGetInstanceHandle(), name, &wc)) return name;
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &BindingProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) ? name : nullptr;
}

HWND FwCreateWindow(CWnd* self, const wchar_t* cls, DWORD exStyle, const std::string& title, DWORD style,
                    int x, int y, int cx, int cy, HWND parent, HMENU menuOrId) {
    if (!cls) return nullptr;
    return CreateWindowExW(exStyle, cls, Utf8ToWide(title).c_str(), style, x, y, cx, cy, parent, menuOrId,
                           AfxGetInstanceHandle(), self);
}
