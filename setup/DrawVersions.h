#pragma once
// The drawing-program versions Lumbrel can prepare, one row per entry of its
// version list (the list index is the row).

enum class VbaMissing { Fatal, Warning, Ignored };

struct DrawVersion {
    const char* listText;
    const char* progId;
    const char* failureText;     // shown when the version cannot be started for automation
    const char* settingsFile;    // HPGL export settings, after the folder property; null: none
    const char* workspaceFile;   // workspace or command file, after the tool folder
    VbaMissing vbaMissing;
};

constexpr int kDrawVersionCount = 12;
constexpr int kPreselectedVersion = 3;  // X4
// The version with an object model of its own.
constexpr int kDrawVersion11 = 0;

extern const DrawVersion kDrawVersions[kDrawVersionCount];
