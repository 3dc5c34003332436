// End-to-end test kit: popup menus, the notification area and screenshots.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <sstream>

#include "e2e_kit.h"
#include "probe_protocol.h"

namespace e2e {

namespace {

// Loads the probe into the thread that owns the window (through a hook), asks it
// to describe the window, and returns its answer lines without the "OK" line.
std::optional<std::vector<std::wstring>> AskProbe(HWND w, WPARAM kind, std::string* why) {
    auto fail = [&](const std::string& reason) -> std::optional<std::vector<std::wstring>> {
        if (why) *why = reason;
        return std::nullopt;
    };
    static HMODULE probe = LoadLibraryW(Wide(KM_E2E_PROBE_DLL).c_str());
    if (!probe) return fail("cannot load the probe library " + std::string(KM_E2E_PROBE_DLL));
    auto hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe, KM_PROBE_HOOK_EXPORT)));
    if (!hookProc) return fail("the probe library has no hook");
    DWORD pid = 0;
    DWORD tid = GetWindowThreadProcessId(w, &pid);
    if (!tid) return fail("no such window");

    wchar_t name[64];
    ProbeMappingName(pid, name, 64);
    HANDLE map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kProbeMappingBytes, name);
    if (!map) return fail("cannot create the probe mapping");
    auto* view = static_cast<wchar_t*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, kProbeMappingBytes));
    if (!view) { CloseHandle(map); return fail("cannot map the probe mapping"); }
    view[0] = 0;

    std::optional<std::vector<std::wstring>> result;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, hookProc, probe, tid);
    if (!hook) {
        if (why) *why = "SetWindowsHookEx failed, error " + std::to_string(GetLastError());
    } else {
        static const UINT request = RegisterWindowMessageW(KM_PROBE_REQUEST_MESSAGE);
        if (!Send(w, request, kind, 0, 5000)) {
            if (why) *why = "the program did not answer the probe request";
        } else {
            std::wstring answer(view, wcsnlen(view, kProbeMappingBytes / sizeof(wchar_t)));
            std::vector<std::wstring> lines;
            std::wstringstream in(answer);
            for (std::wstring line; std::getline(in, line);) lines.push_back(line);
            if (lines.empty()) {
                if (why) *why = "the probe did not run in the program";
            } else if (lines[0] != L"OK") {
                if (why) *why = Utf8(lines[0]);
            } else {
                lines.erase(lines.begin());
                result = lines;
            }
        }
        UnhookWindowsHookEx(hook);
    }
    UnmapViewOfFile(view);
    CloseHandle(map);
    return result;
}

std::vector<std::wstring> SplitTabs(const std::wstring& line, size_t fields) {
    std::vector<std::wstring> out;
    size_t start = 0;
    while (out.size() + 1 < fields) {
        size_t tab = line.find(L'\t', start);
        if (tab == std::wstring::npos) break;
        out.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    out.push_back(line.substr(start));
    return out;
}

void SendMouseClick(int x, int y) {
    SetCursorPos(x, y);
    Sleep(50);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in[0], sizeof(INPUT));
    Sleep(50);
    SendInput(1, &in[1], sizeof(INPUT));
}

void PostKey(HWND w, UINT vk) {
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    Post(w, WM_KEYDOWN, vk, 1 | scan);
    Post(w, WM_KEYUP, vk, 1 | scan | (3u << 30));
}

}  // namespace

// --- list views ----------------------------------------------------------------

std::optional<ListViewState> ReadListView(HWND list, std::string* why) {
    auto lines = AskProbe(list, kProbeListView, why);
    if (!lines) return std::nullopt;
    ListViewState state;
    for (const auto& line : *lines) {
        if (line.rfind(L"col\t", 0) == 0) {
            state.columns.push_back(Utf8(line.substr(4)));
            continue;
        }
        if (line.rfind(L"row\t", 0) != 0) continue;
        auto f = SplitTabs(line, 4 + 2 * state.columns.size());
        if (f.size() < 4) continue;
        ListRow row;
        row.checked = f[1] == L"1";
        row.selected = f[2] == L"1";
        row.focused = f[3] == L"1";
        for (size_t i = 4; i + 1 < f.size(); i += 2) {
            ListCell cell;
            swscanf(f[i].c_str(), L"%ld,%ld,%ld,%ld", &cell.rect.left, &cell.rect.top, &cell.rect.right, &cell.rect.bottom);
            cell.text = Utf8(f[i + 1]);
            row.cells.push_back(cell);
        }
        state.rows.push_back(row);
    }
    return state;
}

// --- mouse ---------------------------------------------------------------------

void ClickScreen(POINT pt) { SendMouseClick(pt.x, pt.y); }

void ClickClient(HWND w, POINT pt) {
    ClientToScreen(w, &pt);
    SendMouseClick(pt.x, pt.y);
}

void ClickUpDown(HWND updown, bool towardsEnd) {
    RECT r;
    GetClientRect(updown, &r);
    ClickClient(updown, POINT{r.right / 2, towardsEnd ? r.bottom - 4 : 4});
    Sleep(300);
}

COLORREF ScreenPixel(POINT pt) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, pt.x, pt.y);
    ReleaseDC(nullptr, screen);
    return c;
}

// --- popup menus ---------------------------------------------------------------

HWND WaitPopupMenu(DWORD pid, DWORD timeoutMs) {
    WindowQuery q;
    q.cls = "#32768";
    q.pid = pid;
    q.visibleOnly = true;
    return WaitTopWindow(q, timeoutMs);
}

namespace {
std::optional<std::vector<MenuItem>> ReadMenuLines(HWND w, WPARAM kind, std::string* why) {
    auto lines = AskProbe(w, kind, why);
    if (!lines) return std::nullopt;
    std::vector<MenuItem> items;
    for (const auto& line : *lines) {
        auto f = SplitTabs(line, 6);
        if (f.size() != 6) continue;
        MenuItem m;
        m.position = std::stoi(f[0]);
        m.id = static_cast<UINT>(std::stoul(f[1]));
        UINT type = static_cast<UINT>(std::stoul(f[2]));
        UINT state = static_cast<UINT>(std::stoul(f[3]));
        m.separator = (type & MFT_SEPARATOR) != 0;
        m.greyed = (state & (MF_GRAYED | MF_DISABLED)) != 0;
        m.isDefault = (state & MFS_DEFAULT) != 0;
        swscanf(f[4].c_str(), L"%ld,%ld,%ld,%ld", &m.rect.left, &m.rect.top, &m.rect.right, &m.rect.bottom);
        m.text = Utf8(f[5]);
        items.push_back(m);
    }
    return items;
}
}  // namespace

std::optional<std::vector<MenuItem>> ReadPopupMenu(HWND menuWindow, std::string* why) {
    return ReadMenuLines(menuWindow, kProbeMenu, why);
}

std::optional<std::vector<MenuItem>> ReadMenuBar(HWND window, std::string* why) {
    return ReadMenuLines(window, kProbeMenuBar, why);
}

std::optional<std::vector<MenuItem>> ReadMenuBarPopup(HWND window, int position, std::string* why) {
    return ReadMenuLines(window, kProbeSubMenu + static_cast<WPARAM>(position), why);
}

bool PickMenuItem(HWND menuWindow, const std::vector<MenuItem>& items, int position, PickBy how) {
    auto it = std::find_if(items.begin(), items.end(), [&](const MenuItem& m) { return m.position == position; });
    if (it == items.end() || it->separator) return false;
    if (how == PickBy::Mouse) {
        if (it->rect.right <= it->rect.left) return false;
        SendMouseClick((it->rect.left + it->rect.right) / 2, (it->rect.top + it->rect.bottom) / 2);
        return true;
    }
    // Home selects the first item; Down skips separators, as the menu does for a user.
    PostKey(menuWindow, VK_HOME);
    for (const auto& m : items) {
        if (m.position > it->position) break;
        if (m.position > items.front().position && !m.separator) PostKey(menuWindow, VK_DOWN);
    }
    PostKey(menuWindow, VK_RETURN);
    return true;
}

bool CloseMenu(HWND menuWindow) {
    if (!menuWindow) return false;
    PostKey(menuWindow, VK_ESCAPE);
    return true;
}

// --- notification area ---------------------------------------------------------

std::optional<TrayState> ReadTray(std::string* why) {
    // Wine's shell keeps icon tips in tooltip controls of explorer's tray window;
    // they are reachable only when explorer shows that window.
    WindowQuery q;
    q.cls = "Shell_TrayWnd";
    HWND tray = FindTopWindow(q);
    if (!tray) {
        if (why) *why = "no Shell_TrayWnd window: the shell keeps its tray icons out of reach";
        return std::nullopt;
    }
    WindowQuery tq;
    tq.cls = "tooltips_class32";
    tq.pid = PidOf(tray);
    // Explorer keeps one tooltip per icon; no tooltip means no icon.
    TrayState state;
    auto tips = FindTopWindows(tq);
    bool any = tips.empty();
    for (HWND tip : tips) {
        auto lines = AskProbe(tip, kProbeTooltips, why);
        if (!lines) continue;
        any = true;
        for (const auto& line : *lines) {
            auto f = SplitTabs(line, 4);
            if (f.size() != 4 || f[0] != L"tool") continue;
            if (f[2] == L"1") {
                if (f[1] == L"1") state.balloons.push_back(Utf8(f[3]));
            } else if (!f[3].empty()) {
                state.tips.push_back(Utf8(f[3]));
            }
        }
    }
    if (!any) {
        if (why && why->empty()) *why = "the shell's tray tooltips cannot be read";
        return std::nullopt;
    }
    return state;
}

// --- screen --------------------------------------------------------------------

namespace {

uint32_t Crc(const unsigned char* p, size_t n, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool made = false;
    if (!made) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        made = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Be32(std::string& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<char>((v >> s) & 0xFF));
}

void Chunk(std::string& out, const char* type, const std::string& data) {
    Be32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    Be32(out, Crc(reinterpret_cast<const unsigned char*>(body.data()), body.size()));
}

// A PNG of 8-bit RGB rows with stored (uncompressed) deflate blocks: simple and exact.
std::string EncodePng(int width, int height, const std::string& rgbRows) {
    std::string raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');
        raw.append(rgbRows, static_cast<size_t>(y) * 3 * width, 3 * static_cast<size_t>(width));
    }
    std::string z = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) { a = (a + c) % 65521; b = (b + a) % 65521; }
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        bool last = pos + n >= raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z.append(raw, pos, n);
        pos += n;
        if (last) break;
    }
    Be32(z, (b << 16) | a);
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    Be32(ihdr, static_cast<uint32_t>(width));
    Be32(ihdr, static_cast<uint32_t>(height));
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", "");
    return png;
}

// The screen's pixels in this rectangle as RGB rows; empty when it cannot be read.
std::string CaptureRgb(const RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return {};
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::string rgb;
    if (dib && bits) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        rgb.assign(static_cast<size_t>(w) * h * 3, '\0');
        const auto* px = static_cast<const unsigned char*>(bits);
        for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i) {
            rgb[3 * i] = static_cast<char>(px[4 * i + 2]);
            rgb[3 * i + 1] = static_cast<char>(px[4 * i + 1]);
            rgb[3 * i + 2] = static_cast<char>(px[4 * i]);
        }
        SelectObject(mem, old);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return rgb;
}

std::string WritePng(const std::string& name, const RECT& r, const std::string& rgb) {
    if (rgb.empty()) return {};
    std::string file = JoinPath(OutputDir(), name + ".png");
    return WriteFileText(file, EncodePng(r.right - r.left, r.bottom - r.top, rgb)) ? file : std::string();
}

RECT VirtualScreen() {
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace

std::string Screenshot(const std::string& name) {
    RECT screen = VirtualScreen();
    return WritePng(name, screen, CaptureRgb(screen));
}

std::string Screenshot(const std::string& name, const std::vector<HWND>& windows) {
    // A dialog found by its caption may not be on screen yet on a busy machine.
    WaitUntil([&] { return std::all_of(windows.begin(), windows.end(), [](HWND w) { return !IsWindow(w) || IsShown(w); }); }, 5000);
    RECT screen = VirtualScreen();
    std::vector<RECT> shown;
    RECT all{};
    for (HWND w : windows) {
        RECT r;
        if (!IsShown(w) || !GetWindowRect(w, &r) || !IntersectRect(&r, &r, &screen)) continue;
        shown.push_back(r);
        UnionRect(&all, &all, &r);
    }
    if (shown.empty()) return {};

    // Balloons and tips float over everything; keep them out of the picture.
    WindowQuery tq;
    tq.cls = "tooltips_class32";
    tq.visibleOnly = true;
    std::vector<HWND> hidden;
    for (HWND tip : FindTopWindows(tq)) {
        if (std::find(windows.begin(), windows.end(), tip) != windows.end()) continue;
        ShowWindow(tip, SW_HIDE);
        hidden.push_back(tip);
    }
    if (!hidden.empty()) {
        for (HWND w : windows) RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        Sleep(300);  // the windows below repaint in their own threads
    }

    std::string rgb = CaptureRgb(all);
    int width = all.right - all.left;
    for (int y = all.top; y < all.bottom && !rgb.empty(); ++y) {
        for (int x = all.left; x < all.right; ++x) {
            POINT pt{x, y};
            bool inside = std::any_of(shown.begin(), shown.end(), [&](const RECT& r) { return PtInRect(&r, pt) != FALSE; });
            if (!inside) rgb.replace(3 * (static_cast<size_t>(y - all.top) * width + (x - all.left)), 3, 3, '\xFF');
        }
    }
    // Put back what we hid: the tests may still read the balloon.
    for (HWND tip : hidden) ShowWindow(tip, SW_SHOWNA);
    return WritePng(name, all, rgb);
}

}  // namespace e2e
