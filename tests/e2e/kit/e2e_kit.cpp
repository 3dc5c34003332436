// End-to-end test kit: programs, windows, messages and controls.
#include "e2e_kit.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace e2e {

std::wstring Wide(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::string Backslashed(std::string p) {
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return towlower(x) == towlower(y); });
}

namespace {

bool MakeFolders(const std::string& path) {
    std::wstring w = Wide(path);
    for (size_t i = 3; i <= w.size(); ++i) {
        if (i == w.size() || w[i] == L'\\') {
            std::wstring part = w.substr(0, i);
            if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        }
    }
    return true;
}

std::string LastErrorText(const char* what) {
    return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

// Copies a folder with everything in it; the name of what failed, or empty.
std::wstring CopyTree(const std::wstring& from, const std::wstring& to) {
    if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return to;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((from + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return from;
    std::wstring failed;
    do {
        std::wstring n = fd.cFileName;
        if (n == L"." || n == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) failed = CopyTree(from + L"\\" + n, to + L"\\" + n);
        else if (!CopyFileW((from + L"\\" + n).c_str(), (to + L"\\" + n).c_str(), FALSE)) failed = from + L"\\" + n;
    } while (failed.empty() && FindNextFileW(h, &fd));
    FindClose(h);
    return failed;
}

}  // namespace

std::string DistDir() { return Backslashed(KM_DIST_DIR); }
std::string OutputDir() { return Backslashed(KM_TEST_OUTPUT_DIR); }

std::string TempDir() {
    wchar_t buf[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, buf);
    return Utf8(buf);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    char last = folder.back();
    return (last == '\\' || last == '/') ? folder + name : folder + "\\" + name;
}

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadFileText(const std::string& path) {
    HANDLE f = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string out;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    CloseHandle(f);
    return out;
}

bool WriteFileText(const std::string& path, const std::string& text) {
    HANDLE f = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok = text.empty() || (WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &put, nullptr) && put == text.size());
    CloseHandle(f);
    return ok;
}

bool DeleteFileIfAny(const std::string& path) {
    return DeleteFileW(Wide(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

void RemoveTree(const std::string& path) {
    std::wstring w = Wide(path);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((w + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring n = fd.cFileName;
            if (n == L"." || n == L"..") continue;
            std::wstring full = w + L"\\" + n;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(Utf8(full));
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(w.c_str());
}

// --- programs --------------------------------------------------------------

CProgram::~CProgram() { Terminate(); }

bool CProgram::Start(const LaunchOptions& o) {
    Terminate();
    error_.clear();
    std::string program = Backslashed(o.program);
    size_t slash = program.find_last_of('\\');
    if (slash == std::string::npos) { error_ = "program path has no folder: " + program; return false; }
    std::string srcFolder = program.substr(0, slash), exeName = program.substr(slash + 1);
    if (!FileExists(program)) { error_ = "no such program: " + program; return false; }

    if (o.inPlace) {
        folder_ = srcFolder;
        exe_ = program;
        return Launch(o);
    }

    static int counter = 0;
    std::string runName = o.runName;
    if (runName.empty()) runName = "run-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    folder_ = JoinPath(JoinPath(OutputDir(), "runs"), runName);
    RemoveTree(folder_);
    if (!MakeFolders(folder_)) { error_ = LastErrorText("creating the run folder"); return false; }

    // The program and (usually) what is shipped beside it.
    std::vector<std::wstring> names;
    if (o.copySiblings) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW(Wide(srcFolder + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring n = fd.cFileName;
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    names.push_back(n);
                } else if (o.copyFolders && n != L"." && n != L"..") {
                    std::wstring failed = CopyTree(Wide(srcFolder) + L"\\" + n, Wide(folder_) + L"\\" + n);
                    if (!failed.empty()) { FindClose(h); error_ = LastErrorText(("copying " + Utf8(failed)).c_str()); return false; }
                }
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
    } else {
        names.push_back(Wide(exeName));
        for (const auto& c : o.companions) names.push_back(Wide(c));
    }
    for (const auto& n : names) {
        std::wstring from = Wide(srcFolder) + L"\\" + n, to = Wide(folder_) + L"\\" + n;
        if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) { error_ = LastErrorText(("copying " + Utf8(n)).c_str()); return false; }
    }
    for (const auto& n : o.removeFiles) DeleteFileIfAny(JoinPath(folder_, n));
    for (const auto& [name, text] : o.settingsFiles) {
        if (!WriteFileText(JoinPath(folder_, name), text)) { error_ = LastErrorText(("writing " + name).c_str()); return false; }
    }
    exe_ = JoinPath(folder_, exeName);
    return Launch(o);
}

bool CProgram::Launch(const LaunchOptions& o) {
    // Environment: ours, with the additions replacing variables of the same name.
    std::vector<std::wstring> vars;
    if (wchar_t* env = GetEnvironmentStringsW()) {
        for (const wchar_t* p = env; *p; p += wcslen(p) + 1) vars.emplace_back(p);
        FreeEnvironmentStringsW(env);
    }
    for (const auto& [k, v] : o.env) {
        std::wstring key = Wide(k);
        vars.erase(std::remove_if(vars.begin(), vars.end(), [&](const std::wstring& e) {
                       size_t eq = e.find(L'=', 1);
                       return eq != std::wstring::npos && EqualNoCase(e.substr(0, eq), key);
                   }), vars.end());
        vars.push_back(key + L"=" + Wide(v));
    }
    std::wstring block;
    for (const auto& v : vars) { block += v; block.push_back(L'\0'); }
    block.push_back(L'\0');

    std::wstring cmd = L"\"" + Wide(exe_) + L"\"";
    if (!o.arguments.empty()) cmd += L" " + Wide(o.arguments);
    std::wstring work = Wide(o.workDir.empty() ? folder_ : Backslashed(o.workDir));
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(Wide(exe_).c_str(), cmd.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        block.data(), work.c_str(), &si, &pi)) {
        error_ = LastErrorText("CreateProcess");
        return false;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
}

bool CProgram::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> CProgram::WaitExit(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_, &code)) return std::nullopt;
    return code;
}

void CProgram::Terminate() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 0xE2E);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}

std::optional<std::string> CProgram::ReadFile(const std::string& name) const {
    return ReadFileText(JoinPath(folder_, name));
}

// --- windows ---------------------------------------------------------------

std::string ClassOf(HWND w) {
    wchar_t buf[256] = {};
    GetClassNameW(w, buf, 256);
    return Utf8(buf);
}

DWORD PidOf(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

std::vector<HWND> FindTopWindows(const WindowQuery& q) {
    struct Ctx { const WindowQuery* q; std::vector<HWND> found; } ctx{&q, {}};
    struct Cb { static BOOL CALLBACK Each(HWND w, LPARAM lp) {
        auto* c = reinterpret_cast<Ctx*>(lp);
        const WindowQuery& q = *c->q;
        if (q.pid && PidOf(w) != q.pid) return TRUE;
        if (q.visibleOnly && !IsWindowVisible(w)) return TRUE;
        if (q.cls && ClassOf(w) != *q.cls) return TRUE;
        if (q.caption) {
            wchar_t buf[512] = {};
            GetWindowTextW(w, buf, 512);
            if (Utf8(buf) != *q.caption) return TRUE;
        }
        c->found.push_back(w);
        return TRUE;
    } };
    EnumWindows(Cb::Each, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND FindTopWindow(const WindowQuery& q) {
    auto all = FindTopWindows(q);
    return all.empty() ? nullptr : all.front();
}

HWND WaitTopWindow(const WindowQuery& q, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(q)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitNoTopWindow(const WindowQuery& q, DWORD timeoutMs) {
    return WaitUntil([&] { return FindTopWindow(q) == nullptr; }, timeoutMs);
}

bool IsShown(HWND w) { return IsWindowVisible(w) && !IsIconic(w); }

int EndProgramsWithWindow(const WindowQuery& q) {
    int ended = 0;
    for (HWND w : FindTopWindows(q)) {
        DWORD pid = PidOf(w);
        if (!pid || pid == GetCurrentProcessId()) continue;
        HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!p) continue;
        if (TerminateProcess(p, 0xE2E)) ++ended;
        WaitForSingleObject(p, 5000);
        CloseHandle(p);
    }
    return ended;
}

// --- messages ----------------------------------------------------------------

std::optional<LRESULT> Send(HWND w, UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(w, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result)) return std::nullopt;
    return static_cast<LRESULT>(result);
}

bool Post(HWND w, UINT msg, WPARAM wp, LPARAM lp) { return PostMessageW(w, msg, wp, lp) != FALSE; }

// --- dialogs and controls ----------------------------------------------------

HWND WaitDialog(const std::string& caption, DWORD pid, DWORD timeoutMs, const std::string& cls) {
    WindowQuery q;
    q.cls = cls;
    q.caption = caption;
    q.pid = pid;
    return WaitTopWindow(q, timeoutMs);
}

std::string TextOf(HWND w) {
    auto len = Send(w, WM_GETTEXTLENGTH, 0, 0);
    if (!len || *len <= 0) return {};
    std::wstring buf(static_cast<size_t>(*len) + 1, L'\0');
    auto got = Send(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
    if (!got) return {};
    buf.resize(std::min(static_cast<size_t>(*got), buf.size()));
    return Utf8(buf);
}

bool SetTextOf(HWND w, const std::string& text) {
    std::wstring t = Wide(text);
    auto r = Send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()));
    return r && *r;
}

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::string ControlText(HWND dialog, int id) {
    HWND c = Control(dialog, id);
    return c ? TextOf(c) : std::string();
}

std::string ListText(HWND list, int index) {
    auto len = Send(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (!len || *len < 0) return "<none>";
    std::wstring buf(static_cast<size_t>(*len) + 1, L'\0');
    auto got = Send(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
    if (!got || *got < 0) return "<none>";
    buf.resize(static_cast<size_t>(*got));
    return Utf8(buf);
}

bool SetControlText(HWND dialog, int id, const std::string& text) {
    HWND c = Control(dialog, id);
    return c && SetTextOf(c, text);
}

bool IsChecked(HWND dialog, int id) {
    return Send(Control(dialog, id), BM_GETCHECK) == std::optional<LRESULT>(BST_CHECKED);
}

std::vector<std::string> StaticTexts(HWND dialog) {
    struct Ctx { HWND parent; std::vector<std::string> texts; } ctx{dialog, {}};
    struct Cb { static BOOL CALLBACK Each(HWND w, LPARAM lp) {
        auto* c = reinterpret_cast<Ctx*>(lp);
        if (GetParent(w) != c->parent) return TRUE;
        std::string cls = ClassOf(w);
        if (!EqualNoCase(Wide(cls), L"Static")) return TRUE;
        LONG type = GetWindowLongW(w, GWL_STYLE) & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE) return TRUE;
        std::string t = TextOf(w);
        if (!t.empty()) c->texts.push_back(t);
        return TRUE;
    } };
    EnumChildWindows(dialog, Cb::Each, reinterpret_cast<LPARAM>(&ctx));
    return ctx.texts;
}

std::string MessageBoxText(HWND box) {
    std::string out;
    for (const auto& t : StaticTexts(box)) out += (out.empty() ? "" : "\n") + t;
    return out;
}

bool ClickButton(HWND button) { return button && Post(button, BM_CLICK, 0, 0); }
bool ClickButton(HWND dialog, int id) { return ClickButton(Control(dialog, id)); }

bool PressKey(HWND w, UINT vk) {
    if (!w) return false;
    HWND target = w;
    GUITHREADINFO gi = {};
    gi.cbSize = sizeof(gi);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gi) && gi.hwndFocus &&
        (gi.hwndFocus == w || IsChild(w, gi.hwndFocus)))
        target = gi.hwndFocus;
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    return Post(target, WM_KEYDOWN, vk, 1 | scan) && Post(target, WM_KEYUP, vk, 1 | scan | (3u << 30));
}

}  // namespace e2e
