#include "station_fixture.h"

using namespace e2e;

namespace kelmirt_e2e {

WindowQuery StationQuery(DWORD pid) {
    WindowQuery q;
    q.cls = kStationWindowClass;
    q.caption = kStationCaption;
    q.pid = pid;
    return q;
}

void StationTest::SetUp() {
    // A station left over by a crashed earlier run would make ours exit at once.
    EndProgramsWithWindow(StationQuery());
    ASSERT_TRUE(WaitNoTopWindow(StationQuery(), 5000)) << "a station window stays after ending its program";
    ASSERT_TRUE(FileExists(JoinPath(DistDir(), "Kelmirt.exe"))) << "no Kelmirt.exe in " << DistDir();
}

void StationTest::TearDown() {
    station.Terminate();
    EndProgramsWithWindow(StationQuery());
}

HWND StationTest::Start(CProgram& prog, const std::optional<std::string>& ini, const std::string& tag) {
    LaunchOptions o;
    o.program = JoinPath(DistDir(), "Kelmirt.exe");
    o.copySiblings = false;
    if (ini) o.settingsFiles["Kelmirt.ini"] = *ini;
    o.env = stationEnv;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("kelmirt-") + info->test_suite_name() + "-" + info->name() + tag;
    for (char& c : name) if (c == '/') c = '-';
    o.runName = name;
    if (!prog.Start(o)) {
        ADD_FAILURE() << prog.Error();
        return nullptr;
    }
    HWND w = WaitTopWindow(StationQuery(prog.Pid()), kStartMs);
    if (!w) {
        auto code = prog.WaitExit(0);
        ADD_FAILURE() << "no station window; the program " << (code ? "ended with " + std::to_string(*code) : "still runs");
        return nullptr;
    }
    // It may answer while its initialisation still waits on the shell; the status
    // line, set by the device search near the end, tells that start-up is through.
    if (!WaitUntil([&] { return Ping(w).has_value(); }, kStartMs)) ADD_FAILURE() << "the station does not answer";
    if (!WaitUntil([&] { return !ControlText(w, kStatusLine).empty(); }, kStartMs))
        ADD_FAILURE() << "start-up did not reach the device search (status line 1006 stays empty)";
    return w;
}

bool StationTest::WaitHidden(HWND w) {
    // Shown when the dialog starts, then hidden by the minimize request it posts
    // itself: hidden for a while in a row means it is through with that.
    DWORD since = 0;
    return WaitUntil([&] {
        if (IsWindowVisible(w)) { since = 0; return false; }
        if (!since) since = GetTickCount();
        return GetTickCount() - since >= 700;
    }, 10000);
}

std::optional<LRESULT> StationTest::Ping(HWND w) { return Send(w, WM_STATION_PING); }
std::optional<LRESULT> StationTest::Language(HWND w) { return Send(w, WM_GET_LANGUAGE); }

bool StationTest::Restore(HWND w) {
    return Post(w, WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDBLCLK) && WaitUntil([&] { return IsShown(w); }, 5000);
}

HWND StationTest::OpenTrayMenu(HWND w) {
    if (!Post(w, WM_TRAY_NOTIFY, kTrayIconId, WM_RBUTTONUP)) return nullptr;
    return WaitPopupMenu(PidOf(w), 5000);
}

std::vector<MenuItem> StationTest::TrayMenuItems(HWND menu) {
    std::string why;
    auto items = ReadPopupMenu(menu, &why);
    if (!items) {
        ADD_FAILURE() << "tray menu not readable: " << why;
        return {};
    }
    return *items;
}

COLORREF StationTest::ScreenPixel(int x, int y) {
    int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    int x0 = GetSystemMetrics(SM_XVIRTUALSCREEN), y0 = GetSystemMetrics(SM_YVIRTUALSCREEN);
    if (x < x0 || y < y0 || x >= x0 + w || y >= y0 + h) return CLR_INVALID;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    COLORREF c = CLR_INVALID;
    if (dib && bits) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, x0, y0, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        const auto* px = static_cast<const unsigned char*>(bits) + 4 * (static_cast<size_t>(y - y0) * w + (x - x0));
        c = RGB(px[2], px[1], px[0]);
        SelectObject(mem, old);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return c;
}

std::pair<COLORREF, COLORREF> StationTest::FrameEdges(HWND button) {
    RECT r;
    GetWindowRect(button, &r);
    int y = r.top + 6;
    return {ScreenPixel(r.left, y), ScreenPixel(r.right - 1, y)};
}

bool StationTest::HoverButton(HWND button) {
    RECT r;
    GetWindowRect(button, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    // The pointer moved by another process does not always make a mouse move here.
    Post(button, WM_MOUSEMOVE, 0, MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2));
    const auto raised = std::make_pair(GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    return WaitUntil([&] { return FrameEdges(button) == raised; }, 5000);
}

std::string StationTest::IniPath() const { return JoinPath(station.Folder(), "Kelmirt.ini"); }

std::string StationTest::IniValue(const std::string& section, const std::string& key) {
    wchar_t buf[256] = {};
    GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"<absent>", buf, 256, Wide(IniPath()).c_str());
    return Utf8(buf);
}

}  // namespace kelmirt_e2e
