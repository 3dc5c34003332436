#include "controls.h"

#include "app.h"
#include "fwstring.h"

bool CButton::OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
    if (msg != WM_DRAWITEM) return false;
    DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp));
    *result = TRUE;
    return true;
}

bool CToolTipCtrl::Create(CWnd* tool, DWORD style) {
    HWND h = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, tool->m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
    if (!h) return false;
    m_hWnd = h;
    return true;
}

namespace {
TOOLINFOW ToolInfo(CWnd* tool, std::wstring* text) {
    TOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = GetParent(tool->m_hWnd);
    ti.uId = reinterpret_cast<UINT_PTR>(tool->m_hWnd);
    ti.lpszText = text && !text->empty() ? &(*text)[0] : nullptr;
    return ti;
}
}  // namespace

void CToolTipCtrl::AddTool(CWnd* tool, const std::string& text) {
    std::wstring w = Utf8ToWide(text);
    TOOLINFOW ti = ToolInfo(tool, &w);
    SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::SetToolText(CWnd* tool, const std::string& text) {
    std::wstring w = Utf8ToWide(text);
    TOOLINFOW ti = ToolInfo(tool, &w);
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}
