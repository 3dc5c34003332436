#pragma once
// Device contexts: the few drawing operations the programs use.
#include <windows.h>

class CWnd;

class CDC {
public:
    explicit CDC(HDC dc = nullptr) : m_hDC(dc) {}
    HDC m_hDC;
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    void FillSolidRect(const RECT& r, COLORREF c) {
        COLORREF old = ::SetBkColor(m_hDC, c);
        ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
        ::SetBkColor(m_hDC, old);
    }
};

// The context of one WM_PAINT, released when it goes out of scope.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND wnd) : m_wnd(wnd) { m_hDC = ::BeginPaint(wnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_wnd, &m_ps); }
    PAINTSTRUCT m_ps{};
private:
    HWND m_wnd;
};

// A window's client context, released when it goes out of scope.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND wnd) : m_wnd(wnd) { m_hDC = ::GetDC(wnd); }
    ~CClientDC() { ::ReleaseDC(m_wnd, m_hDC); }
private:
    HWND m_wnd;
};
