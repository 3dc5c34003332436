// The Output command: the cutter command text into a file, or as a job to Kelmirt.
#include <windows.h>
#include <shellapi.h>

#include <cctype>

#include "OrnavexDoc.h"
#include "app.h"
#include "filedlg.h"
#include "fwstring.h"
#include "station_messages.h"

namespace {

const char kStationProgram[] = "Kelmirt.exe";
const char kJobFileName[] = "ornavexjob.008";
const char kRunFailed[] = "Run Kelmirt faild!";
const char kNothingToCut[] = "The drawing has nothing to cut.";
const char kNoTempFolder[] = "The temporary folder cannot be found.";
const char kNotSaved[] = "Nothing was saved.";
const char kNotSent[] = "Nothing was sent to the cutter.";
const char kPltFilter[] = "PLT Files (*.PLT)|*.PLT||";
constexpr DWORD kStationStartWaitMs = 1000;

HWND FindStation() {
    return FindWindowW(Utf8ToWide(kStationWindowClass).c_str(), Utf8ToWide(kStationCaption).c_str());
}

std::string LowerAscii(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The folder of our own program file, with its trailing backslash.
std::string OwnFolder() {
    std::string path = AfxGetApp() ? AfxGetApp()->ModulePath() : std::string();
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool HandToStation(HWND station) {
    ShowWindow(station, SW_HIDE);
    SendMessageW(station, WM_SEND_JOBFILE, 0, 0);
    return true;
}

// A file we could not write is said so: the user must not take it for saved or sent.
// The writer has already told of a drawing it refused.
void ShowWriteFailure(PltWriteResult r, const std::string& path, const char* consequence) {
    if (r == PltWriteResult::kCannotOpen || r == PltWriteResult::kWriteFailed)
        AfxMessageBox(FormatText("%s cannot be written.\r\n%s", path.c_str(), consequence), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

// Starts Kelmirt from our folder; nonzero when the shell took the request.
BOOL LaunchStation() {
    OSVERSIONINFOEXW v = {};
    v.dwOSVersionInfoSize = sizeof(v);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&v))) {
        v.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&v));
    }
#pragma GCC diagnostic pop
    // Windows 6 and later: the station asks for administrator rights like we do.
    const wchar_t* verb = v.dwMajorVersion >= 6 ? L"runas" : nullptr;
    std::wstring file = Utf8ToWide(OwnFolder() + kStationProgram);
    SHELLEXECUTEINFOW sei = {};
    sei.cbSize = sizeof(sei);
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.lpVerb = verb;
    sei.lpFile = file.c_str();
    sei.nShow = SW_MINIMIZE;
    BOOL ok = ShellExecuteExW(&sei);
    if (ok && sei.hProcess) CloseHandle(sei.hProcess);  // not waited on
    return ok;
}

void COrnavexDoc::OnOutput() {
    if (!m_loaded) return;
    if (m_cut.DoModal() != IDOK) return;
    CMessageBoxNotice notice;

    if (m_cut.m_saveToFile) {
        CFileDialog dlg(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kPltFilter);
        if (dlg.DoModal() != IDOK) return;
        std::string path = dlg.GetPathName();
        if (LowerAscii(dlg.GetFileExt()) != "plt") path += ".plt";
        ShowWriteFailure(WritePltFile(path, m_order, notice), path, kNotSaved);
        return;
    }

    // An empty drawing would make the station send whatever job file an earlier Output left.
    if (Stores().entities.empty()) {
        AfxMessageBox(kNothingToCut, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!FindStation()) {
        if (LaunchStation()) Sleep(kStationStartWaitMs);
        else AfxMessageBox(kRunFailed, MB_OK);
    }
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) {
        AfxMessageBox(kNoTempFolder, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::string jobPath = WideToUtf8(temp) + kJobFileName;
    PltWriteResult written = WritePltFile(jobPath, m_order, notice);
    // Only a job written now goes to the cutter, never an earlier one left in the file.
    if (written != PltWriteResult::kWritten) {
        ShowWriteFailure(written, jobPath, kNotSent);
        return;
    }
    if (HWND station = FindStation()) {
        HandToStation(station);
        return;
    }
    if (!LaunchStation()) {
        AfxMessageBox(kRunFailed, MB_OK);
        return;
    }
    Sleep(kStationStartWaitMs);
    if (HWND station = FindStation()) HandToStation(station);
    else AfxMessageBox(kRunFailed, MB_OK);
}
