#include "SystemTray.h"

#include <cstring>

#include "app.h"
#include "fwstring.h"
#include "resource.h"

namespace {
// Copies text into a fixed field, cut to the field's size less its terminating zero.
template <size_t N>
void CopyField(wchar_t (&field)[N], const std::string& text) {
    std::wstring w = Utf8ToWide(text);
    size_t n = w.size() < N - 1 ? w.size() : N - 1;
    // A character outside the basic plane must not lose its second half at the cut.
    if (n < w.size() && n > 0 && IS_HIGH_SURROGATE(w[n - 1])) --n;
    std::memcpy(field, w.data(), n * sizeof(wchar_t));
    field[n] = L'\0';
}

const struct { UINT position; UINT id; const wchar_t* english; } kEnglishItems[] = {
    {0, ID_TRAY_ABOUT, L"About"}, {1, ID_TRAY_HELP, L"Help"}, {3, ID_TRAY_SET, L"Set"},
    {5, ID_TRAY_STOP, L"Stop"},   {7, ID_TRAY_EXIT, L"Exit"},
};
}  // namespace

CSystemTray::CSystemTray() {
    std::memset(&m_nid, 0, sizeof(m_nid));
}

CSystemTray::~CSystemTray() { RemoveTrayIcon(); }

BOOL CSystemTray::AddTrayIcon(HWND owner, UINT callbackMessage, const std::string& tip, HICON icon, UINT id) {
    if (LOBYTE(LOWORD(GetVersion())) < 4 || !owner || !IsWindow(owner)) {
        m_added = FALSE;
        return FALSE;
    }
    CWinApp* app = AfxGetApp();
    std::memset(&m_nid, 0, sizeof(m_nid));
    // The version-2 record: tip, balloon text and title, no GUID.
    m_nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
    m_nid.hWnd = owner;
    m_nid.uID = id;
    m_nid.hIcon = icon;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    m_nid.uCallbackMessage = callbackMessage;
    CopyField(m_nid.szInfo, app->LoadString(IDS_TRAY_RUNNING));
    m_nid.uTimeout = 1000;
    CopyField(m_nid.szInfoTitle, app->LoadString(IDS_TRAY_TITLE));
    m_nid.dwInfoFlags = NIIF_INFO;
    CopyField(m_nid.szTip, tip);
    m_added = Shell_NotifyIconW(NIM_ADD, &m_nid);
    return m_added;
}

BOOL CSystemTray::RemoveTrayIcon() {
    if (!m_added) return FALSE;
    m_nid.uFlags = 0;
    BOOL ok = Shell_NotifyIconW(NIM_DELETE, &m_nid);
    m_added = FALSE;
    return ok;
}

BOOL CSystemTray::Modify(UINT flags) {
    m_nid.uFlags = flags;
    return Shell_NotifyIconW(NIM_MODIFY, &m_nid);
}

BOOL CSystemTray::SetTrayIcon(HICON icon) {
    if (!m_added) return FALSE;
    m_nid.hIcon = icon;
    return Modify(NIF_ICON);
}

BOOL CSystemTray::SetTrayIcon(UINT iconResourceId) {
    if (!m_added) return FALSE;
    return SetTrayIcon(AfxGetApp()->LoadIcon(static_cast<int>(iconResourceId)));
}

BOOL CSystemTray::SetTrayTip(const std::string& tip) {
    if (!m_added) return FALSE;
    CopyField(m_nid.szTip, tip);
    return Modify(NIF_TIP);
}

BOOL CSystemTray::ShowTrayBalloon(const std::string& text, bool warning) {
    if (!m_added) return FALSE;
    CopyField(m_nid.szInfo, text);
    m_nid.dwInfoFlags = warning ? NIIF_WARNING : NIIF_INFO;
    return Modify(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO);
}

LRESULT CSystemTray::OnTrayMenu(WPARAM id, LPARAM mouseMessage) {
    if (id != m_nid.uID) return 0;
    if (LOWORD(mouseMessage) != WM_RBUTTONUP) return 1;
    HMENU menu = LoadMenuW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nid.uID));
    if (!menu) return 0;
    HMENU popup = GetSubMenu(menu, 0);
    if (!popup) {
        DestroyMenu(menu);
        return 0;
    }
    if (m_english)
        for (const auto& item : kEnglishItems)
            ModifyMenuW(popup, item.position, MF_BYPOSITION | MF_STRING, item.id, item.english);
    // After relabelling, which would drop the default state of a replaced item.
    SetMenuDefaultItem(popup, 0, TRUE);
    POINT pos;
    GetCursorPos(&pos);
    if (m_idle) {
        EnableMenuItem(popup, ID_TRAY_STOP, MF_BYCOMMAND | MF_GRAYED);
    } else {
        EnableMenuItem(popup, ID_TRAY_EXIT, MF_BYCOMMAND | MF_GRAYED);
    }
    if (!m_idle || m_jobOpen) EnableMenuItem(popup, ID_TRAY_SET, MF_BYCOMMAND | MF_GRAYED);
    SetForegroundWindow(m_nid.hWnd);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, pos.x, pos.y, 0, m_nid.hWnd, nullptr);
    PostMessageW(m_nid.hWnd, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return 1;
}
