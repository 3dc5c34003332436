// The programs' entry: set up the application object and run its start-up.
#include <windows.h>
#include <commctrl.h>

#include "app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
