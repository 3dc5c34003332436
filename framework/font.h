#pragma once
// A GDI font owned by the object, and where a dialog places its window.
#include <windows.h>

#include <string>

class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // A font of this many tenths of a point on the screen, by face name (UTF-8).
    bool CreatePointFont(int tenthsOfPoint, const std::string& face);
    void DeleteObject();
    HFONT m_hObject = nullptr;
    operator HFONT() const { return m_hObject; }
};

// Places the window in the middle of the primary screen (integer halves).
void CenterOnScreen(HWND wnd);
// Puts the window above all others that are not topmost, without moving or sizing it.
void MakeTopmost(HWND wnd, bool show = false);
