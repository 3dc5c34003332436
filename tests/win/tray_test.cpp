// The station's tray icon record and its rules, under Wine's shell.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "SystemTray.h"
#include "app.h"
#include "fwstring.h"
#include "resource.h"
#include "station_messages.h"

namespace {
// The tray texts come from the program's string table, which this test program carries.
CWinApp g_testApp;

struct HiddenWindow {
    HWND h = CreateWindowExW(0, L"STATIC", L"tray owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ~HiddenWindow() { DestroyWindow(h); }
};
}  // namespace

TEST(SystemTray, NothingHappensBeforeTheIconIsAdded) {
    CSystemTray tray;
    EXPECT_FALSE(tray.ShowTrayBalloon("data error!", true));
    EXPECT_FALSE(tray.SetTrayTip("Ready"));
    EXPECT_FALSE(tray.SetTrayIcon(IDI_STATION));
    EXPECT_FALSE(tray.RemoveTrayIcon());
    EXPECT_FALSE(tray.AddTrayIcon(nullptr, WM_TRAY_NOTIFY, "Kelmirt", nullptr, IDR_TRAYMENU));
    EXPECT_FALSE(tray.m_added);
}

TEST(SystemTray, AddsWithTheStartUpBalloonAndCutsLongTexts) {
    HiddenWindow owner;
    CSystemTray tray;
    ASSERT_TRUE(tray.AddTrayIcon(owner.h, WM_TRAY_NOTIFY, "Kelmirt", nullptr, IDR_TRAYMENU));
    EXPECT_EQ(tray.m_nid.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE));
    EXPECT_EQ(WideToUtf8(tray.m_nid.szInfo), "Kelmirt Running");
    EXPECT_EQ(WideToUtf8(tray.m_nid.szInfoTitle), "Kelmirt");
    EXPECT_EQ(tray.m_nid.uTimeout, 1000u);
    EXPECT_EQ(tray.m_nid.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));

    const std::string tip127(127, 't');
    EXPECT_TRUE(tray.SetTrayTip(tip127));
    EXPECT_EQ(WideToUtf8(tray.m_nid.szTip), tip127);
    tray.SetTrayTip(std::string(200, 'x'));
    EXPECT_EQ(WideToUtf8(tray.m_nid.szTip), std::string(127, 'x'));
    // Chinese texts count in characters, not bytes.
    std::string chinese;
    for (int i = 0; i < 130; ++i) chinese += "切";
    tray.ShowTrayBalloon(chinese, true);
    EXPECT_EQ(Utf8ToWide(WideToUtf8(tray.m_nid.szInfo)).size(), 130u);
    EXPECT_EQ(tray.m_nid.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
    // A character outside the basic plane that straddles the limit is left out whole.
    const std::string emoji = "\xF0\x9F\x98\x80";  // U+1F600, two UTF-16 units
    tray.SetTrayTip(std::string(126, 'a') + emoji + "b");
    EXPECT_EQ(WideToUtf8(tray.m_nid.szTip), std::string(126, 'a'));
    tray.SetTrayTip(std::string(125, 'a') + emoji + "b");
    EXPECT_EQ(WideToUtf8(tray.m_nid.szTip), std::string(125, 'a') + emoji);

    EXPECT_EQ(tray.OnTrayMenu(999, WM_RBUTTONUP), 0);          // another icon
    EXPECT_EQ(tray.OnTrayMenu(IDR_TRAYMENU, WM_LBUTTONDOWN), 1);  // no menu for other clicks
    EXPECT_TRUE(tray.RemoveTrayIcon());
    EXPECT_FALSE(tray.RemoveTrayIcon());
}
