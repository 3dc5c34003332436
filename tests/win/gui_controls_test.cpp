// The main dialog's own controls: colour helpers, the flat button's hover, pressed and
// disabled looks, the flat edit's border and focus rule, the radio group and the group box.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "GuiControls.h"
#include "resource.h"

namespace {

// A visible parent with a child control of the given class and style.
struct Host {
    HWND parent = nullptr;
    Host() {
        parent = CreateWindowExW(0, L"#32770", L"gui host", WS_POPUP | WS_VISIBLE, 40, 40, 300, 200, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    }
    ~Host() { DestroyWindow(parent); }
    HWND Child(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x = 10, int y = 10, int w = 40,
               int h = 40) {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    }
};

// Paints a control's item into a memory bitmap and reads pixels back.
struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp;
    HGDIOBJ old;
    Canvas(int w, int h) {
        HDC screen = GetDC(nullptr);
        bmp = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bmp);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

DRAWITEMSTRUCT Item(HWND w, HDC dc, int size, UINT state) {
    DRAWITEMSTRUCT d = {};
    d.CtlType = ODT_BUTTON;
    d.hwndItem = w;
    d.hDC = dc;
    d.rcItem = {0, 0, size, size};
    d.itemState = state;
    return d;
}

class ButtonProbe : public CGuiButton {
public:
    using CGuiButton::m_hover;
    using CGuiButton::m_icons;
};

class RadioProbe : public CGuiRadioButton {
public:
    using CGuiRadioButton::m_hover;
};

BOOL CALLBACK FindToolTip(HWND w, LPARAM lp) {
    wchar_t cls[64];
    GetClassNameW(w, cls, 64);
    if (std::wstring(cls) == TOOLTIPS_CLASSW) *reinterpret_cast<HWND*>(lp) = w;
    return TRUE;
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace

TEST(GuiColours, TintsFollowTheSystemColours) {
    COLORREF face = GetSysColor(COLOR_BTNFACE), high = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(GetButtonFace(), face);
    EXPECT_EQ(GetButtonHighlight(), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetButtonShadow(), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetFaceTint(), RGB(3 * GetRValue(face) / 4 + 61, 3 * GetGValue(face) / 4 + 61, 3 * GetBValue(face) / 4 + 61));

    // Highlight RGB(51, 153, 255): the blue wraps to 9.
    INT element = COLOR_HIGHLIGHT;
    COLORREF blue = RGB(51, 153, 255);
    ASSERT_TRUE(SetSysColors(1, &element, &blue));
    EXPECT_EQ(GetHighlightTint(), RGB(61, 163, 9));
    INT faceElement = COLOR_BTNFACE;
    COLORREF white = RGB(255, 255, 255), grey = RGB(212, 212, 212);
    ASSERT_TRUE(SetSysColors(1, &faceElement, &white));
    EXPECT_EQ(GetFaceTint(), RGB(252, 252, 252));
    ASSERT_TRUE(SetSysColors(1, &faceElement, &grey));
    EXPECT_EQ(GetFaceTint(), RGB(220, 220, 220));
    SetSysColors(1, &element, &high);
    SetSysColors(1, &faceElement, &face);
}

TEST(GuiButton, BecomesOwnerDrawnAndDrawsFlatRaisedAndSunkenFrames) {
    Host host;
    ButtonProbe button;
    ASSERT_TRUE(button.SubclassWindow(host.Child(L"BUTTON", L"Exit", BS_DEFPUSHBUTTON, 1)));
    EXPECT_EQ(GetWindowLongW(button.m_hWnd, GWL_STYLE) & 0xF, BS_OWNERDRAW);
    EXPECT_TRUE(button.SetIcons(IDI_EXIT, -1, -1, 32, 32));
    for (HICON icon : button.m_icons) EXPECT_NE(icon, nullptr);
    EXPECT_NE(button.m_icons[0], button.m_icons[1]);  // each its own handle
    button.SetLayoutFlag(1);

    Canvas c(40, 40);
    struct Case {
        const char* name;
        int hover;
        UINT state;
        COLORREF topLeft, bottomRight;
    } cases[] = {
        {"resting", 0, 0, GetButtonFace(), GetButtonFace()},
        {"hovered", 1, 0, GetButtonHighlight(), GetButtonShadow()},
        {"pressed", 1, ODS_SELECTED, GetButtonShadow(), GetButtonHighlight()},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        button.m_hover = k.hover;
        DRAWITEMSTRUCT d = Item(button.m_hWnd, c.dc, 40, k.state);
        button.DrawItem(&d);
        EXPECT_EQ(c.At(0, 20), k.topLeft);
        EXPECT_EQ(c.At(20, 0), k.topLeft);
        EXPECT_EQ(c.At(39, 20), k.bottomRight);
        EXPECT_EQ(c.At(20, 39), k.bottomRight);
    }
}

TEST(GuiButton, DisabledIconIsEmbossedAndMissingIconLeavesTheFace) {
    Host host;
    ButtonProbe button;
    ASSERT_TRUE(button.SubclassWindow(host.Child(L"BUTTON", L"", 0, 1001)));
    // No normal icon: FALSE, and nothing loaded for hover or pressed.
    EXPECT_FALSE(button.SetIcons(-1, -1, -1, 32, 32));
    EXPECT_EQ(button.m_icons[1], nullptr);
    button.SetLayoutFlag(1);
    Canvas c(40, 40);
    DRAWITEMSTRUCT d = Item(button.m_hWnd, c.dc, 40, 0);
    button.DrawItem(&d);
    for (int x = 2; x < 38; x += 3) EXPECT_EQ(c.At(x, 20), GetButtonFace());

    ASSERT_TRUE(button.SetIcons(IDI_SETTINGS, -1, -1, 32, 32));
    auto picture = [&](UINT state) {
        DRAWITEMSTRUCT item = Item(button.m_hWnd, c.dc, 40, state);
        button.DrawItem(&item);
        std::string pixels;
        for (int y = 4; y < 36; ++y)
            for (int x = 2; x < 34; ++x) pixels += std::to_string(c.At(x, y)) + ",";
        return pixels;
    };
    std::string normal = picture(0), disabled = picture(ODS_DISABLED);
    EXPECT_NE(normal, disabled);
    // With the icon flag off nothing is drawn inside.
    button.SetLayoutFlag(0);
    DRAWITEMSTRUCT off = Item(button.m_hWnd, c.dc, 40, 0);
    button.DrawItem(&off);
    for (int x = 2; x < 38; x += 3) EXPECT_EQ(c.At(x, 20), GetButtonFace());
}

TEST(GuiButton, HoverStartsOnceAndEndsWithTheButtonRelease) {
    Host host;
    ButtonProbe button;
    ASSERT_TRUE(button.SubclassWindow(host.Child(L"BUTTON", L"", 0, 1002)));
    SetCursorPos(60, 60);  // inside the button (host at 40,40; button at 10,10)
    SendMessageW(button.m_hWnd, WM_MOUSEMOVE, 0, Point(5, 5));
    EXPECT_EQ(button.m_hover, 1);
    // Outside the button a move changes nothing.
    SendMessageW(button.m_hWnd, WM_MOUSEMOVE, 0, Point(100, 100));
    EXPECT_EQ(button.m_hover, 1);
    SendMessageW(button.m_hWnd, WM_LBUTTONUP, 0, Point(5, 5));
    EXPECT_EQ(button.m_hover, 0);
    // The 10 ms timer ends hover when the cursor has left.
    SendMessageW(button.m_hWnd, WM_MOUSEMOVE, 0, Point(5, 5));
    EXPECT_EQ(button.m_hover, 1);
    SetCursorPos(600, 600);
    MSG m;
    DWORD start = GetTickCount();
    while (button.m_hover && GetTickCount() - start < 2000)
        if (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    EXPECT_EQ(button.m_hover, 0);
}

TEST(GuiButton, ToolTipDeactivatedByNullIsNotReactivatedByText) {
    Host host;
    ButtonProbe button;
    ASSERT_TRUE(button.SubclassWindow(host.Child(L"BUTTON", L"", 0, 1002)));
    button.SetToolTip("Option");
    button.SetToolTip(nullptr);
    button.SetToolTip("设置参数");
    HWND tip = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindToolTip, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip, nullptr);
    TOOLINFOW ti = {};
    wchar_t text[80] = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = host.parent;
    ti.uId = reinterpret_cast<UINT_PTR>(button.m_hWnd);
    ti.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(std::wstring(text), L"设置参数");
}

TEST(GuiEdit, FocusLeavesNothingSelectedAndTheBorderIsFlat) {
    Host host;
    CGuiEdit edit;
    HWND h = host.Child(L"EDIT", L"联机 online", WS_BORDER | ES_CENTER | ES_READONLY, 1009, 10, 10, 80, 24);
    ASSERT_TRUE(edit.SubclassWindow(h));
    SendMessageW(h, EM_SETSEL, 0, -1);
    SetFocus(host.parent);
    SetFocus(h);
    DWORD start = 1, end = 1;
    SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);

    // With a two-pixel border the tinted line lies just outside the client area.
    SetWindowLongW(h, GWL_EXSTYLE, GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    SendMessageW(h, WM_NCPAINT, 1, 0);
    HDC dc = GetWindowDC(h);
    COLORREF outer = GetPixel(dc, 0, 10), inner = GetPixel(dc, 1, 10);
    ReleaseDC(h, dc);
    ASSERT_NE(outer, CLR_INVALID);
    EXPECT_EQ(outer, GetButtonFace());
    EXPECT_EQ(inner, GetHighlightTint());
}

TEST(GuiRadioButton, SelectingOneClearsTheOthersOfItsGroupOnly) {
    Host host;
    RadioProbe autoMode, fileMode;
    CButton plain;
    ASSERT_TRUE(autoMode.SubclassWindow(host.Child(L"BUTTON", L"自  动", BS_AUTORADIOBUTTON | WS_GROUP, 1017, 10, 10, 80, 16)));
    ASSERT_TRUE(fileMode.SubclassWindow(host.Child(L"BUTTON", L"从PLT文件", BS_AUTORADIOBUTTON, 1018, 10, 30, 80, 16)));
    HWND other = host.Child(L"BUTTON", L"plain", BS_AUTORADIOBUTTON, 1019, 10, 50, 80, 16);
    ASSERT_TRUE(plain.SubclassWindow(other));
    host.Child(L"BUTTON", L"next group", BS_PUSHBUTTON | WS_GROUP, 1020, 10, 70, 80, 16);
    EXPECT_EQ(GetWindowLongW(autoMode.m_hWnd, GWL_STYLE) & 0xF, BS_OWNERDRAW);

    autoMode.SetSelected(1);
    // A release outside the button changes nothing.
    SendMessageW(fileMode.m_hWnd, WM_LBUTTONUP, 0, Point(200, 5));
    EXPECT_EQ(fileMode.IsSelected(), 0);
    EXPECT_EQ(autoMode.IsSelected(), 1);
    SendMessageW(fileMode.m_hWnd, WM_LBUTTONUP, 0, Point(5, 5));
    EXPECT_EQ(fileMode.IsSelected(), 1);
    EXPECT_EQ(autoMode.IsSelected(), 0);
    EXPECT_EQ(fileMode.m_hover, 0);

    // A move inside starts hover once; further moves are consumed.
    SendMessageW(autoMode.m_hWnd, WM_MOUSEMOVE, 0, Point(5, 5));
    EXPECT_EQ(autoMode.m_hover, 1);
}

TEST(GuiRadioButton, DrawsRingHoverAndDot) {
    Host host;
    RadioProbe radio;
    ASSERT_TRUE(radio.SubclassWindow(host.Child(L"BUTTON", L"自  动", BS_AUTORADIOBUTTON, 1017, 10, 10, 80, 13)));
    Canvas c(80, 13);
    auto draw = [&](int hover, int selected, UINT state) {
        radio.m_hover = hover;
        radio.SetSelected(selected);
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_BUTTON;
        d.hwndItem = radio.m_hWnd;
        d.hDC = c.dc;
        d.rcItem = {0, 0, 80, 13};
        d.itemState = state;
        radio.DrawItem(&d);
    };
    auto blueGrey = [](COLORREF p) { return GetBValue(p) > GetRValue(p) && GetRValue(p) >= 87 && GetRValue(p) <= 181; };
    auto green = [](COLORREF p) { return GetGValue(p) > GetRValue(p) && GetGValue(p) > GetBValue(p); };
    auto warm = [](COLORREF p) { return GetRValue(p) >= 251 && GetBValue(p) < 160; };

    draw(0, 0, 0);
    EXPECT_TRUE(blueGrey(c.At(6, 0)));
    EXPECT_TRUE(blueGrey(c.At(0, 6)));
    EXPECT_EQ(c.At(6, 6), GetFaceTint());
    EXPECT_EQ(c.At(6, 1), GetFaceTint());
    draw(1, 1, 0);
    EXPECT_TRUE(warm(c.At(6, 1))) << std::hex << c.At(6, 1);
    EXPECT_TRUE(green(c.At(6, 6)));
    EXPECT_EQ(c.At(6, 3), RGB(242, 237, 215));
    draw(0, 1, ODS_DISABLED);
    EXPECT_TRUE(green(c.At(6, 6)));
    EXPECT_EQ(c.At(6, 1), GetFaceTint());
}

TEST(GuiGroupBox, KeepsTheCaptionItWasAttachedWith) {
    Host host;
    CGuiGroupBox group;
    HWND h = host.Child(L"BUTTON", L"模式", BS_GROUPBOX, 1034, 10, 10, 120, 60);
    ASSERT_TRUE(group.SubclassWindow(h));
    EXPECT_EQ(group.Caption(), "模式");
    EXPECT_EQ(GetWindowTextLengthW(h), 0);
    SetWindowTextW(h, L"other");
    EXPECT_EQ(group.Caption(), "模式");
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}
