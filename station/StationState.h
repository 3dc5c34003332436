#pragma once
// Program-wide state of the station, owned by the user-interface thread unless noted.
#include <windows.h>

#include <cstdint>
#include <string>

extern uint8_t g_idle;           // 1 idle, 0 sending
extern int32_t g_exportPermit;   // consumed by the export dialog request
extern uint8_t g_blinkToggle;    // which blink icon comes next
extern HANDLE g_stopEvent;       // manual reset; ends the folder watcher (shared with it)
extern HANDLE g_watcherThread;   // null while no watcher runs
extern std::string g_watcherFolder;

// The temporary folder with its trailing backslash (UTF-8); empty when the system has none.
std::string TempFolder();
