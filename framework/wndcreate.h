#pragma once
// Windows that the framework creates itself (frame, view) rather than finds (dialog
// controls): their class is registered once, and the object is bound to its window
// from WM_NCCREATE on, so that WM_CREATE already reaches its message map.
#include <windows.h>

#include <string>

class CWnd;

// Registers (once per distinct name) a window class whose procedure binds objects.
const wchar_t* FwRegisterWndClass(const wchar_t* name, UINT style, HICON icon, HBRUSH background);
// Creates a window of such a class for self; null when creation fails.
HWND FwCreateWindow(CWnd* self, const wchar_t* cls, DWORD exStyle, const std::string& title, DWORD style,
                    int x, int y, int cx, int cy, HWND parent, HMENU menuOrId);
