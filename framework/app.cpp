#include "app.h"

#include <commctrl.h>

#include "fwstring.h"
#include "wnd.h"

namespace {
CWinApp* g_app = nullptr;
}

void ReleaseDocObjects(CWinApp* app);  // docapp.cpp

CWinApp::CWinApp() { g_app = this; }
CWinApp::~CWinApp() {
    ReleaseDocObjects(this);
    if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }
HINSTANCE AfxGetInstanceHandle() { return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleW(nullptr); }

std::string CWinApp::ModulePath() const {
    wchar_t buf[MAX_PATH * 2] = {0};
    DWORD n = GetModuleFileNameW(m_hInstance, buf, MAX_PATH * 2);
    return WideToUtf8(buf, static_cast<int>(n));
}

std::string CWinApp::AppName() const {
    std::string path = ModulePath();
    size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

HICON CWinApp::LoadIcon(int id) const {
    return ::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(id));
}

std::string CWinApp::LoadString(UINT id) const {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a pointer into the resource.
    int n = ::LoadStringW(AfxGetInstanceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 ? WideToUtf8(text, n) : std::string();
}

int CWinApp::Run() {
    MSG msg;
    LONG idleCount = 0;
    for (;;) {
        while (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
            if (!OnIdle(idleCount++)) break;
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        idleCount = 0;
        if (m_pMainWnd && m_pMainWnd->m_hWnd && m_pMainWnd->PreTranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return ExitInstance();
}

BOOL CWinApp::OnIdle(LONG count) {
    if (count == 0 && m_pMainWnd && m_pMainWnd->m_hWnd) ::SendMessageW(m_pMainWnd->m_hWnd, 0x0363, 0, 0);
    return FALSE;
}

std::string AfxGetAppName() { return g_app ? g_app->AppName() : std::string(); }

int AfxMessageBox(const std::string& text, UINT type) {
    HWND owner = GetActiveWindow();
    if (!owner && g_app && g_app->m_pMainWnd) owner = g_app->m_pMainWnd->m_hWnd;
    return MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(AfxGetAppName()).c_str(), type);
}

int CMessageBoxNotice::Show(const std::string& text, const std::string& caption, unsigned style) {
    if (caption.empty()) return AfxMessageBox(text, style);
    return MessageBoxW(GetActiveWindow(), Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), style);
}
