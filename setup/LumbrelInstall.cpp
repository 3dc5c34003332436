// The files' part of Setup: the macros into the drawing program, the station
// into the program-files folder.
#include "LumbrelDlg.h"

#include "fwstring.h"

namespace {
const char* const kMacroFiles[] = {"Kmtcut.gms", "KmtAddBarCode.gms", "KmtAddmark.gms", "KmtOutline.gms", "KmtSet.gms"};
const char kInstallFolder[] = "c:\\program files\\Kelmirt\\";

bool Copy(const std::string& from, const std::string& to) {
    return CopyFileW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(), FALSE) != FALSE;
}
}  // namespace

bool CLumbrelDlg::CopyMacros(const std::string& toolFolder, const std::string& gmsFolder) {
    // The folder text is the drawing program's own; the names follow it as they are.
    for (const char* name : kMacroFiles) {
        if (!Copy(toolFolder + "\\" + name, gmsFolder + name)) {
            SetupMessage("bad gms path!", MB_ICONSTOP);
            return false;
        }
    }
    return true;
}

bool CLumbrelDlg::InstallStation(const std::string& toolFolder) {
    if (!SetCurrentDirectoryW(L"c:\\program files\\")) CreateDirectoryW(L"c:\\program files\\", nullptr);
    std::wstring folder = Utf8ToWide(kInstallFolder);
    if (!SetCurrentDirectoryW(folder.c_str())) CreateDirectoryW(folder.c_str(), nullptr);
    for (const char* name : {"Kelmirt.exe", "Kelmirt.ini"}) {
        if (!Copy(toolFolder + "\\Kelmirt\\" + name, FormatText("%s%s", kInstallFolder, name))) {
            SetupMessage("file is bad,don't copy!", MB_ICONSTOP);
            return false;
        }
    }
    return true;
}
