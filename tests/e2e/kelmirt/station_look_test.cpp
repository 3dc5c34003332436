// The main dialog's flat buttons as a user sees them: flat at rest, raised under the
// mouse, flat again once it leaves; screenshots in both languages.
#include "station_fixture.h"

using namespace e2e;

namespace kelmirt_e2e {
namespace {

struct LookCase {
    const char* name;
    const char* lan;
};

class StationLookTest : public StationTest, public ::testing::WithParamInterface<LookCase> {
protected:
    // One pixel of the screen, from a copy of the whole screen as the screenshots take it.
    static COLORREF ScreenPixel(int x, int y) {
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
    // The left and right edge pixels of a button near its top (the start-up balloon may
    // cover its lower half).
    static std::pair<COLORREF, COLORREF> Edges(HWND button) {
        RECT r;
        GetWindowRect(button, &r);
        int y = r.top + 6;
        return {ScreenPixel(r.left, y), ScreenPixel(r.right - 1, y)};
    }
};

TEST_P(StationLookTest, MainDialogWithTheSettingsButtonHovered) {
    const LookCase& c = GetParam();
    HWND w = Start(std::string("[Language]\r\nLan=") + c.lan + "\r\n");
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitHidden(w));
    ASSERT_TRUE(Restore(w));
    for (int id : {1, 1000, 1001, 1002, 1003, 1017, 1018})
        EXPECT_EQ(GetWindowLongW(Control(w, id), GWL_STYLE) & 0xF, BS_OWNERDRAW) << id;
    // The stop button is disabled while idle, so its icon is drawn embossed.
    EXPECT_FALSE(IsWindowEnabled(Control(w, 1000)));

    HWND settings = Control(w, 1001);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), high = GetSysColor(COLOR_BTNHIGHLIGHT),
                   shadow = GetSysColor(COLOR_BTNSHADOW);
    SetCursorPos(5, 1000);
    EXPECT_TRUE(WaitUntil([&] { return Edges(settings) == std::make_pair(face, face); }, 5000));
    RECT r;
    GetWindowRect(settings, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    // The pointer moved by another process does not always make a mouse move here.
    Post(settings, WM_MOUSEMOVE, 0, MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2));
    EXPECT_TRUE(WaitUntil([&] { return Edges(settings) == std::make_pair(high, shadow); }, 5000))
        << std::hex << Edges(settings).first << " " << Edges(settings).second;
    Sleep(300);
    EXPECT_FALSE(Screenshot(std::string("kelmirt-main-dialog-hover-") + c.name).empty());
    // Flat again once the mouse has left.
    SetCursorPos(5, 1000);
    EXPECT_TRUE(WaitUntil([&] { return Edges(settings) == std::make_pair(face, face); }, 5000));
    EXPECT_EQ(Ping(w), std::optional<LRESULT>(1));
}

INSTANTIATE_TEST_SUITE_P(Languages, StationLookTest,
                         ::testing::Values(LookCase{"English", "English"}, LookCase{"Chinese", "Chinese"}),
                         [](const ::testing::TestParamInfo<LookCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace kelmirt_e2e
