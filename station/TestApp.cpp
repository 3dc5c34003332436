#include "TestApp.h"

#include "TestDlg.h"
#include "fwstring.h"
#include "profile_win32.h"
#include "settings.h"
#include "station_messages.h"

CTestApp theApp;


BOOL CTestApp::InitInstance() {
    AfxEnableControlContainer();
    std::string settingsPath = StationSettingsPath(ModulePath());
    CIniProfile profile(settingsPath);
    uint8_t english = ChooseStartupLanguage(profile, GetSystemDefaultLangID());

    // Only one station: a second start leaves at once.
    if (FindWindowW(Utf8ToWide(kStationWindowClass).c_str(), Utf8ToWide(kStationCaption).c_str()))
        ExitProcess(1);

    CTestDlg dlg;
    m_pMainWnd = &dlg;
    dlg.m_english = english;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
