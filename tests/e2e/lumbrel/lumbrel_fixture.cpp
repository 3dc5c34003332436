#include "lumbrel_fixture.h"

#include <algorithm>
#include <cstring>

#include "station_messages.h"

using namespace e2e;

namespace lumbrel_e2e {

const char* const kMacroFiles[5] = {"Kmtcut.gms", "KmtAddBarCode.gms", "KmtAddmark.gms", "KmtOutline.gms", "KmtSet.gms"};

namespace {
constexpr DWORD kStartMs = 20000, kSetupMs = 60000;

WindowQuery StationQuery() {
    WindowQuery q;
    q.cls = kStationWindowClass;
    q.caption = kStationCaption;
    return q;
}

WindowQuery LumbrelQuery(DWORD pid = 0) {
    WindowQuery q;
    q.cls = "#32770";
    q.caption = kSetupCaption;
    q.pid = pid;
    return q;
}

BOOL CALLBACK NoteIcon(HWND w, LPARAM lp) {
    if (_stricmp(ClassOf(w).c_str(), "Static") == 0 && (GetWindowLongW(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        IsWindowVisible(w) && Send(w, STM_GETICON).value_or(0) != 0)
        *reinterpret_cast<bool*>(lp) = true;
    return TRUE;
}

bool HasIcon(HWND box) {
    bool found = false;
    EnumChildWindows(box, NoteIcon, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A dialog of the process other than its main one: a message box.
HWND FindBox(DWORD pid, HWND mainDlg) {
    WindowQuery q;
    q.cls = "#32770";
    q.pid = pid;
    for (HWND w : FindTopWindows(q))
        if (w != mainDlg) return w;
    return nullptr;
}

void CALLBACK SetupReturned(HWND, UINT, ULONG_PTR data, LRESULT) { *reinterpret_cast<bool*>(data) = true; }

}  // namespace

void PrintTo(const Box& b, std::ostream* os) {
    *os << "[" << b.caption << "] \"" << b.text << "\"" << (b.icon ? " with icon" : "");
}

Box Stop(const std::string& text) { return Box{kSetupCaption, text, true}; }

bool LumbrelTest::RegisterStandIn() {
    HMODULE dll = LoadLibraryW(Wide(Backslashed(KM_DRAW_STANDIN)).c_str());
    if (!dll) return false;
    auto reg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    bool ok = reg && SUCCEEDED(reg());
    FreeLibrary(dll);
    return ok;
}

void LumbrelTest::UnregisterProgId(const std::string& progId) { RegDeleteTreeW(HKEY_CLASSES_ROOT, Wide(progId).c_str()); }

void LumbrelTest::SetUp() {
    EndProgramsWithWindow(StationQuery());
    EndProgramsWithWindow(LumbrelQuery());
    ASSERT_TRUE(WaitNoTopWindow(StationQuery(), 5000));
    ASSERT_TRUE(FileExists(JoinPath(Backslashed(KM_RELEASE_DIR), "Lumbrel.exe"))) << "no Lumbrel.exe in " << KM_RELEASE_DIR;
    ASSERT_TRUE(RegisterStandIn()) << "the stand-in does not register from " << KM_DRAW_STANDIN;
    RemoveTree(kInstallFolder);

    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    for (char& c : name) if (c == '/') c = '-';
    root = JoinPath(JoinPath(OutputDir(), "lumbrel"), name);
    RemoveTree(root);
    CreateDirectoryW(Wide(JoinPath(OutputDir(), "lumbrel")).c_str(), nullptr);
    CreateDirectoryW(Wide(root).c_str(), nullptr);
    CreateDirectoryW(Wide(JoinPath(root, "corel")).c_str(), nullptr);
    CreateDirectoryW(Wide(JoinPath(root, "GMS")).c_str(), nullptr);
    draw.folder = JoinPath(root, "corel") + "\\";
    // X4's settings folder, as the drawing program has it.
    CreateDirectoryW(Wide(draw.folder + "CorelDRAW").c_str(), nullptr);
    CreateDirectoryW(Wide(draw.folder + "CorelDRAW\\_default").c_str(), nullptr);
    draw.gms = JoinPath(root, "GMS") + "\\";
    logPath = JoinPath(root, "calls.log");
}

void LumbrelTest::TearDown() {
    lumbrel.Terminate();
    EndProgramsWithWindow(StationQuery());
}

HWND LumbrelTest::Start(const std::vector<std::string>& removeFiles) {
    LaunchOptions o;
    o.program = JoinPath(Backslashed(KM_RELEASE_DIR), "Lumbrel.exe");
    o.copySiblings = true;
    o.copyFolders = true;
    o.removeFiles = removeFiles;
    o.env["KM_DRAW_FOLDER"] = draw.folder;
    o.env["KM_DRAW_VBA"] = draw.vba ? "1" : "0";
    o.env["KM_DRAW_GMS"] = draw.gms;
    o.env["KM_DRAW_FAIL"] = draw.failDispid;
    o.env["KM_DRAW_LOG"] = logPath;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    o.runName = std::string("lumbrel-") + info->test_suite_name() + "-" + info->name();
    for (char& c : o.runName) if (c == '/') c = '-';
    if (!lumbrel.Start(o)) {
        ADD_FAILURE() << lumbrel.Error();
        return nullptr;
    }
    dlg = WaitTopWindow(LumbrelQuery(lumbrel.Pid()), kStartMs);
    if (!dlg) {
        ADD_FAILURE() << "no setup dialog";
        return nullptr;
    }
    // The controls come a moment after the dialog's own window.
    auto list = [&] { return Control(dlg, kVersionList); };
    if (!WaitUntil([&] { return Send(list(), CB_GETCOUNT) == std::optional<LRESULT>(12) && IsWindowVisible(dlg); }, kStartMs)) {
        auto count = Send(list(), CB_GETCOUNT);
        ADD_FAILURE() << "the version list does not fill: " << (count ? std::to_string(*count) : "no answer")
                      << " rows, dialog " << (IsWindowVisible(dlg) ? "visible" : "hidden") << ", "
                      << Screenshot("lumbrel-start-failure");
    }
    return dlg;
}

void LumbrelTest::Select(int index) {
    EXPECT_EQ(Send(Control(dlg, kVersionList), CB_SETCURSEL, static_cast<WPARAM>(index)), std::optional<LRESULT>(index));
}

SetupRun LumbrelTest::PressSetup(const std::string& shotText, const std::string& shotName) {
    SetupRun run;
    bool returned = false;
    // The click runs Setup inside the button's message; the callback comes when it returns.
    if (!SendMessageCallbackW(Control(dlg, kSetupButton), BM_CLICK, 0, 0, SetupReturned, reinterpret_cast<ULONG_PTR>(&returned))) {
        ADD_FAILURE() << "pressing Setup failed";
        return run;
    }
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kSetupMs) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (returned || !lumbrel.Running()) {
            run.finished = true;
            return run;
        }
        HWND box = FindBox(lumbrel.Pid(), dlg);
        if (!box) {
            Sleep(20);
            continue;
        }
        // Let it settle (its text is set while it is being created).
        WaitUntil([&] { return IsWindowVisible(box) && !MessageBoxText(box).empty(); }, 3000);
        Box b{TextOf(box), MessageBoxText(box), HasIcon(box)};
        run.boxes.push_back(b);
        if (!shotText.empty() && b.text == shotText) Screenshot(shotName, {box});
        ClickButton(box, IDOK);
        if (!WaitUntil([&] { return !IsWindow(box); }, 5000)) {
            ADD_FAILURE() << "a message box does not close: " << b.text;
            return run;
        }
    }
    ADD_FAILURE() << "Setup did not come back within " << kSetupMs << " ms";
    return run;
}

std::vector<std::string> LumbrelTest::Calls() const {
    std::vector<std::string> lines;
    auto text = ReadFileText(logPath);
    if (!text) return lines;
    size_t pos = 0;
    while (pos < text->size()) {
        size_t end = text->find("\r\n", pos);
        if (end == std::string::npos) end = text->size();
        lines.push_back(text->substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string LumbrelTest::Shipped(const std::string& name) const {
    return ReadFileText(JoinPath(ToolFolder(), name)).value_or("<missing>");
}

std::string LumbrelTest::IniValue(const std::string& path, const std::string& section, const std::string& key) const {
    wchar_t buf[256] = {};
    GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"<absent>", buf, 256, Wide(path).c_str());
    return Utf8(buf);
}

std::vector<std::string> LumbrelTest::FilesIn(const std::string& folder) const {
    std::vector<std::string> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(Wide(JoinPath(folder, "*")).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Utf8(fd.cFileName));
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace lumbrel_e2e
