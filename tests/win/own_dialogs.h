#pragma once
// Finding the dialogs and message boxes this test program shows, so that a thread of
// the test can answer them while the code under test waits in their modal loop.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fwstring.h"

namespace own_dialogs {

struct Search {
    const std::vector<HWND>* skip;
    HWND found;
};

inline BOOL CALLBACK Visit(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(h) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
    if (s->skip && std::find(s->skip->begin(), s->skip->end(), h) != s->skip->end()) return TRUE;
    s->found = h;
    return FALSE;
}

// The next visible dialog of this process that is not in skip, waited for; null when none came.
inline HWND WaitNext(const std::vector<HWND>& skip, DWORD timeoutMs = 10000) {
    DWORD start = GetTickCount();
    for (;;) {
        Search s{&skip, nullptr};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
        if (s.found || GetTickCount() - start >= timeoutMs) return s.found;
        Sleep(50);
    }
}

// A message box's text (its static has the id 0xFFFF); empty for other dialogs.
inline std::string BoxText(HWND box) {
    wchar_t buf[1024] = {};
    if (!GetDlgItem(box, 0xFFFF)) return std::string();
    GetDlgItemTextW(box, 0xFFFF, buf, 1024);
    return WideToUtf8(buf);
}

inline bool IsBox(HWND w) { return GetDlgItem(w, 0xFFFF) != nullptr; }

}  // namespace own_dialogs
