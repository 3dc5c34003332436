#pragma once
// Starting the real Kelmirt.exe from the deliverables folder, each test in a run
// folder of its own, and the station's window and tray menu as a user sees them.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "e2e_kit.h"
#include "station_messages.h"

namespace kelmirt_e2e {

constexpr WPARAM kTrayIconId = 173;
constexpr int kExitButton = 1, kStatusLine = 1006;
constexpr UINT kTrayAbout = 32771, kTraySet = 32772, kTrayExit = 32773, kTrayStop = 32774, kTrayHelp = 32775;
// Starting, and ending, take a few seconds under Wine.
constexpr DWORD kStartMs = 20000, kExitMs = 20000;

e2e::WindowQuery StationQuery(DWORD pid = 0);

class StationTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a station with this settings file (nullopt: no settings file at all)
    // and waits until its window exists and answers; the window, or null.
    HWND Start(e2e::CProgram& prog, const std::optional<std::string>& ini, const std::string& tag = "");
    HWND Start(const std::optional<std::string>& ini) { return Start(station, ini); }
    // Waits until start-up has put the window away into the tray.
    bool WaitHidden(HWND w);

    std::optional<LRESULT> Ping(HWND w);
    std::optional<LRESULT> Language(HWND w);
    // The tray double-click, as the shell sends it.
    bool Restore(HWND w);
    // The tray right click: the open popup menu window, or null.
    HWND OpenTrayMenu(HWND w);
    std::vector<e2e::MenuItem> TrayMenuItems(HWND menu);

    // One pixel of the screen, from a copy of the whole screen as the screenshots take it.
    static COLORREF ScreenPixel(int x, int y);
    // The left and right frame pixels of a flat button near its top (the start-up
    // balloon may cover its lower half).
    static std::pair<COLORREF, COLORREF> FrameEdges(HWND button);
    // Puts the mouse over a flat button and waits until it shows its raised frame.
    static bool HoverButton(HWND button);

    // [section] key of the run folder's Kelmirt.ini, as the profile functions read it.
    std::string IniValue(const std::string& section, const std::string& key);
    std::string IniPath() const;

    e2e::CProgram station;
    // Environment additions for the stations this test starts.
    std::map<std::string, std::string> stationEnv;
};

}  // namespace kelmirt_e2e
