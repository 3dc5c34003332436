#pragma once
// The station's notification-area icon: image, tip, balloons and the popup menu.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

class CSystemTray {
public:
    CSystemTray();
    virtual ~CSystemTray();
    CSystemTray(const CSystemTray&) = delete;
    CSystemTray& operator=(const CSystemTray&) = delete;

    BOOL AddTrayIcon(HWND owner, UINT callbackMessage, const std::string& tip, HICON icon, UINT id);
    BOOL RemoveTrayIcon();
    BOOL SetTrayIcon(HICON icon);
    BOOL SetTrayIcon(UINT iconResourceId);
    BOOL SetTrayTip(const std::string& tip);
    BOOL ShowTrayBalloon(const std::string& text, bool warning);
    void SetTrayIdle(uint8_t idle) { m_idle = idle; }
    void SetTrayJobOpen(uint8_t open) { m_jobOpen = open; }
    void SetEnglish(uint8_t english) { m_english = english; }
    virtual LRESULT OnTrayMenu(WPARAM id, LPARAM mouseMessage);

    uint8_t m_idle = 1;
    uint8_t m_jobOpen = 0;  // a job's dialogs are open: the menu greys Set
    BOOL m_added = FALSE;
    NOTIFYICONDATAW m_nid;
    uint8_t m_english = 0;

private:
    BOOL Modify(UINT flags);
};
