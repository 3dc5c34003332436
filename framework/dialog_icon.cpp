#include "dialog_icon.h"

#include "fwstring.h"
#include "gdi.h"

void AppendSystemMenuItem(HWND wnd, UINT id, const std::string& text) {
    HMENU sys = GetSystemMenu(wnd, FALSE);
    if (!sys || text.empty()) return;
    AppendMenuW(sys, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(sys, MF_STRING, id, Utf8ToWide(text).c_str());
}

void PaintMinimizedIcon(HWND wnd, HICON icon) {
    CPaintDC dc(wnd);
    SendMessageW(wnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    RECT rc;
    GetClientRect(wnd, &rc);
    dc.DrawIcon((rc.right - rc.left - cx + 1) / 2, (rc.bottom - rc.top - cy + 1) / 2, icon);
}
