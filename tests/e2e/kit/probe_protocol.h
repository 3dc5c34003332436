#pragma once
// How the kit asks its probe library, which a hook has loaded into the program
// under test, to read objects that only that process can read (menus, tooltips).
// The kit creates a named mapping, sends the registered request message to a
// window of the program's thread; the probe's hook answers into the mapping as
// UTF-16 lines that start with "OK" or "ERR".
#include <windows.h>

#define KM_PROBE_REQUEST_MESSAGE L"KmE2eProbeRequest"
#define KM_PROBE_HOOK_EXPORT "KmProbeHook"

enum : WPARAM {
    kProbeMenu = 1,      // the window is a popup menu window (#32768): its items
    kProbeTooltips = 2,  // the window is a tooltip control: its tools' texts
    kProbeListView = 3,  // the window is a list view: its columns and rows
    kProbeMenuBar = 4,   // the window's menu bar: its items
    kProbeSubMenu = 0x100,  // + position: the pop-up at that position of the window's menu bar
};

constexpr DWORD kProbeMappingBytes = 256 * 1024;

inline void ProbeMappingName(DWORD pid, wchar_t* out, size_t n) {
    wsprintfW(out, L"KmE2eProbe-%lu", static_cast<unsigned long>(pid));
    (void)n;
}
