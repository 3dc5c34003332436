// The drawing program's part of Setup: export unit, workspace, GMS folder.
#include "LumbrelDlg.h"

#include "app.h"
#include "fwstring.h"

namespace {
// The station reads plot files in 1/40 mm.
const char* const kHpglKeys[][2] = {
    {"DLG Plotter Units Per Inch", "1016"},
    {"DLG Curve Resolution", "0.001"},
    {"DLG No PW or VS", "0"},
};
}  // namespace

bool CLumbrelDlg::PrepareDraw(int index, CDrawAppDriver& app, const std::string& toolFolder,
                              std::string& gmsFolder) {
    const DrawVersion& version = kDrawVersions[index];
    std::wstring settingsPath = Utf8ToWide(app.GetSettingsFolder() + version.settingsFile);
    for (const auto& key : kHpglKeys) {
        if (!WritePrivateProfileStringW(L"CorelHPGLExport", Utf8ToWide(key[0]).c_str(), Utf8ToWide(key[1]).c_str(),
                                        settingsPath.c_str()))
            AfxMessageBox("INI ERROR!", MB_OK);
    }
    if (!app.GetVbaAvailable() && version.vbaMissing == VbaMissing::Warning)
        SetupMessage("VBA don't be installed!", MB_ICONSTOP);
    app.LoadWorkspace(toolFolder + version.workspaceFile);

    CGmsFolderDriver gms;
    gms.AttachDispatch(app.GetGmsFolderObject());
    gmsFolder = gms.GetFolder();
    gms.DetachDispatch();
    if (gmsFolder.empty()) {
        SetupMessage("Get GMS path faild!", MB_ICONSTOP);
        app.Finish();
        return false;
    }
    app.Finish();
    app.DetachDispatch();
    return true;
}

bool CLumbrelDlg::PrepareDraw11(CDrawApp11Driver& app, CGmsFolderDriver& gms, const std::string& toolFolder,
                                std::string& gmsFolder) {
    if (!app.GetVbaAvailable()) {
        SetupMessage("VBA don't be installed!", MB_ICONSTOP);
        return false;
    }
    app.SetLoadFlag(TRUE);
    (void)app.Prepare();  // the object stays with the drawing program
    app.LoadCommandFile(toolFolder + kDrawVersions[kDrawVersion11].workspaceFile);
    gms.AttachDispatch(app.GetGmsFolderObject());
    gmsFolder = gms.GetFolder();
    if (gmsFolder.empty()) {
        SetupMessage("Get GMS path faild!", MB_ICONSTOP);
        return false;
    }
    app.Finish();
    return true;
}
