#pragma once
// What a program's main dialog does with its icon and its system menu.
#include <windows.h>

#include <string>

// Adds a separator and an item with this command id to the window's system menu;
// nothing when the text is empty or there is no system menu.
void AppendSystemMenuItem(HWND wnd, UINT id, const std::string& text);
// The WM_PAINT of a minimised dialog: the icon centred in its client area.
void PaintMinimizedIcon(HWND wnd, HICON icon);
