#pragma once
// The station's private window messages (WM_USER + offset). Kelmirt serves them;
// the drawing program's macros, Ornavex and the station's own link code send them.
enum : unsigned {
    WM_PORT_WRITTEN = 0x400 + 9,          // wParam 0, lParam bytes written or -1 (abort)
    WM_TRAY_NOTIFY = 0x400 + 10,          // wParam icon id, lParam mouse message
    WM_CUTTER_UNAVAILABLE = 0x400 + 11,   // posted to itself: wParam why a job file could not go out
    WM_PLT_EXPORTED = 0x400 + 100,        // wParam mark grid (x high, y low), lParam mark value
    WM_DRIVE_EXPORT_DIALOG = 0x400 + 101,
    WM_STATION_PING = 0x400 + 102,        // answers 1
    WM_OPEN_SETTINGS = 0x400 + 106,
    WM_PORT_ERROR = 0x400 + 108,          // lParam error code 1 to 4
    WM_GET_LANGUAGE = 0x400 + 109,        // answers 1 for English, 0 for Chinese
    WM_GET_BARCODE_NUMBER = 0x400 + 110,
    WM_SEND_JOBFILE = 0x400 + 118,
    WM_MARKDATA_READY = 0x400 + 119,
};

// Messages that lower-integrity senders (the macros) may send to the station.
constexpr unsigned kStationAdmittedMessages[] = {
    WM_PLT_EXPORTED, WM_OPEN_SETTINGS, WM_GET_LANGUAGE,
    WM_GET_BARCODE_NUMBER, WM_SEND_JOBFILE, WM_MARKDATA_READY,
};

// The station's identity: a top-level dialog window with exactly this caption.
constexpr const char kStationWindowClass[] = "#32770";
constexpr const char kStationCaption[] = "Kelmirt";
