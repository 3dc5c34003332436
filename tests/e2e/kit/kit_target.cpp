// The kit's own test program. Shows what it was started with (settings file,
// environment, working folder, system language), answers a private message,
// opens a popup menu and a message box on request, and keeps a tray icon.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr UINT kAsk = WM_APP + 1;      // answers wParam + 42
constexpr UINT kNote = WM_APP + 2;     // shows a message box
constexpr UINT kTray = WM_APP + 3;     // tray callback: right button opens the menu
constexpr UINT kIdAbout = 201, kIdStop = 202, kIdExit = 203;

std::wstring Folder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L'\\'));
}

void OpenMenu(HWND dlg) {
    HMENU m = CreatePopupMenu();
    AppendMenuW(m, MF_STRING, kIdAbout, L"About");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING | MF_GRAYED, kIdStop, L"Stop");
    AppendMenuW(m, MF_STRING, kIdExit, L"退出");
    SetMenuDefaultItem(m, 0, TRUE);
    POINT pt = {300, 300};
    SetForegroundWindow(dlg);
    TrackPopupMenu(m, TPM_LEFTALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, dlg, nullptr);
    PostMessageW(dlg, WM_NULL, 0, 0);
    DestroyMenu(m);
}

INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        wchar_t text[100] = {};
        GetPrivateProfileStringW(L"Main", L"Greeting", L"none", text, 100, (Folder() + L"\\target.ini").c_str());
        SetDlgItemTextW(dlg, 1100, text);
        wchar_t env[100] = L"unset";
        GetEnvironmentVariableW(L"KIT_GREETING", env, 100);
        wchar_t cwd[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, cwd);
        SetDlgItemTextW(dlg, 1101, (std::wstring(env) + L"|" + cwd).c_str());
        wchar_t lang[16];
        wsprintfW(lang, L"%04x", GetSystemDefaultLangID());
        SetDlgItemTextW(dlg, 1102, lang);
        NOTIFYICONDATAW nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = dlg;
        nid.uID = 1;
        nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        nid.uCallbackMessage = kTray;
        nid.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        lstrcpyW(nid.szTip, L"Kit target tip");
        Shell_NotifyIconW(NIM_ADD, &nid);
        return TRUE;
    }
    case kAsk:
        SetWindowLongPtrW(dlg, DWLP_MSGRESULT, static_cast<LONG_PTR>(wp + 42));
        return TRUE;
    case kNote:
        MessageBoxW(dlg, L"Target says hi", L"Kit Note", MB_OK);
        return TRUE;
    case kTray:
        if (LOWORD(lp) == WM_RBUTTONUP) OpenMenu(dlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case 1104: OpenMenu(dlg); return TRUE;
        case kIdAbout: SetDlgItemTextW(dlg, 1103, L"picked about"); return TRUE;
        case kIdStop: SetDlgItemTextW(dlg, 1103, L"picked stop"); return TRUE;
        case kIdExit: EndDialog(dlg, 7); return TRUE;
        case IDOK: EndDialog(dlg, 10); return TRUE;
        case IDCANCEL: EndDialog(dlg, 2); return TRUE;
        }
        break;
    case WM_DESTROY: {
        NOTIFYICONDATAW nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = dlg;
        nid.uID = 1;
        Shell_NotifyIconW(NIM_DELETE, &nid);
        break;
    }
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(100), nullptr, Proc, 0));
}
