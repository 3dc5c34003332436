#include "font.h"

#include "fwstring.h"

bool CFont::CreatePointFont(int tenthsOfPoint, const std::string& face) {
    DeleteObject();
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(tenthsOfPoint, dpi, 720);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::wstring w = Utf8ToWide(face);
    lstrcpynW(lf.lfFaceName, w.c_str(), LF_FACESIZE);
    m_hObject = CreateFontIndirectW(&lf);
    return m_hObject != nullptr;
}

void CFont::DeleteObject() {
    if (m_hObject) ::DeleteObject(m_hObject);
    m_hObject = nullptr;
}

void CenterOnScreen(HWND wnd) {
    RECT r = {};
    GetWindowRect(wnd, &r);
    int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    SetWindowPos(wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MakeTopmost(HWND wnd, bool show) {
    SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | (show ? SWP_SHOWWINDOW : 0));
}
