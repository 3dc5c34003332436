#include "GuiControls.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "app.h"
#include "fwstring.h"
#include "gdi.h"

// --- colours ---------------------------------------------------------------

COLORREF GetButtonFace() { return GetSysColor(COLOR_BTNFACE); }
COLORREF GetButtonHighlight() { return GetSysColor(COLOR_BTNHIGHLIGHT); }
COLORREF GetButtonShadow() { return GetSysColor(COLOR_BTNSHADOW); }

COLORREF GetHighlightTint() {
    COLORREF c = GetSysColor(COLOR_HIGHLIGHT);
    return RGB((GetRValue(c) + 10) & 0xFF, (GetGValue(c) + 10) & 0xFF, (GetBValue(c) + 10) & 0xFF);
}

COLORREF GetFaceTint() {
    COLORREF c = GetSysColor(COLOR_BTNFACE);
    auto tint = [](int v) { return 3 * v / 4 + 61; };
    return RGB(tint(GetRValue(c)), tint(GetGValue(c)), tint(GetBValue(c)));
}

namespace {
// Cursor position of the message being handled, in the window's client coordinates.
POINT LastCursorInClient(HWND wnd) {
    DWORD pos = GetMessagePos();
    POINT pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ScreenToClient(wnd, &pt);
    return pt;
}

bool InClient(HWND wnd, LPARAM lp) {
    RECT rc;
    GetClientRect(wnd, &rc);
    POINT pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    return PtInRect(&rc, pt) != FALSE;
}

bool CursorInClient(HWND wnd) {
    RECT rc;
    GetClientRect(wnd, &rc);
    return PtInRect(&rc, LastCursorInClient(wnd)) != FALSE;
}

void Draw3dRect(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    CDC c(dc);
    int w = r.right - r.left, h = r.bottom - r.top;
    c.FillSolidRect({r.left, r.top, r.left + w - 1, r.top + 1}, topLeft);
    c.FillSolidRect({r.left, r.top, r.left + 1, r.top + h - 1}, topLeft);
    c.FillSolidRect({r.left + w - 1, r.top, r.left + w, r.top + h}, bottomRight);
    c.FillSolidRect({r.left, r.top + h - 1, r.left + w, r.top + h}, bottomRight);
}

void AddOwnerDraw(HWND wnd) {
    SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) | 0xB);
}
}  // namespace

// --- flat button -----------------------------------------------------------

const CMessageMap* CGuiButton::StaticMap() {
    static const CMessageMap map = MessageMapOf<CGuiButton>(CButton::StaticMap())
        .Message(WM_CREATE, &CGuiButton::OnCreate)
        .Message(WM_ERASEBKGND, &CGuiButton::OnEraseBkgnd)
        .Message(WM_MOUSEMOVE, &CGuiButton::OnMouseMove)
        .Message(WM_LBUTTONUP, &CGuiButton::OnLButtonUp)
        .Message(WM_LBUTTONDOWN, &CGuiButton::OnLButtonDown)
        .Message(WM_TIMER, &CGuiButton::OnTimer)
        .Message(WM_SYSCOLORCHANGE, &CGuiButton::OnSysColorChange);
    return &map;
}

CGuiButton::~CGuiButton() {
    for (HICON& icon : m_icons)
        if (icon) DestroyIcon(icon);
    if (m_toolTip.m_hWnd) DestroyWindow(m_toolTip.Detach());
}

BOOL CGuiButton::SetIcons(int normalId, int hoverId, int pressedId, int cx, int cy) {
    auto load = [&](int id, UINT extra) {
        return static_cast<HICON>(LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy,
                                             LR_LOADMAP3DCOLORS | extra));
    };
    auto replace = [](HICON& slot, HICON icon) {
        if (slot) DestroyIcon(slot);
        slot = icon;
    };
    BOOL result = FALSE;
    if (normalId != -1) {
        replace(m_icons[0], load(normalId, 0));
        result = TRUE;
    }
    // Hover and pressed fall back to the normal image, each as a handle of its own.
    auto fallback = [&](int id, HICON& slot, UINT extraWhenMissing) {
        if (id != -1) {
            HICON icon = load(id, 0);
            if (!icon && m_icons[0]) icon = load(normalId, 0);
            replace(slot, icon);
        } else if (m_icons[0]) {
            replace(slot, load(normalId, extraWhenMissing));
        }
    };
    fallback(hoverId, m_icons[1], 0);
    fallback(pressedId, m_icons[2], LR_LOADTRANSPARENT);
    return result;
}

void CGuiButton::SetToolTip(const char* text) {
    m_tipText = text;
    if (!m_hWnd) return;
    if (!m_toolTip.m_hWnd) {
        m_toolTip.Create(this, TTS_ALWAYSTIP);
        if (text) m_toolTip.Activate(TRUE);
        m_toolTip.AddTool(this, text ? text : "");
    } else {
        m_toolTip.SetToolText(this, text ? text : "");
    }
    if (!text) m_toolTip.Activate(FALSE);
}

void CGuiButton::PreSubclassWindow() { AddOwnerDraw(m_hWnd); }

LRESULT CGuiButton::OnCreate(WPARAM, LPARAM) { return Default() == -1 ? -1 : 0; }

LRESULT CGuiButton::OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }

void CGuiButton::RepaintNow() {
    Invalidate(TRUE);
    UpdateWindow(m_hWnd);
}

LRESULT CGuiButton::OnMouseMove(WPARAM, LPARAM lp) {
    if (InClient(m_hWnd, lp)) {
        if (m_hover == 1) return 0;
        m_hover = 1;
        RepaintNow();
        SetTimer(1, 10);
    }
    return Default();
}

LRESULT CGuiButton::OnLButtonUp(WPARAM, LPARAM) {
    LRESULT r = Default();
    m_hover = 0;
    RepaintNow();
    return r;
}

LRESULT CGuiButton::OnLButtonDown(WPARAM, LPARAM) {
    LRESULT r = Default();
    RepaintNow();
    return r;
}

LRESULT CGuiButton::OnTimer(WPARAM wp, LPARAM) {
    if (wp == 1 && !CursorInClient(m_hWnd)) {
        m_hover = 0;
        RepaintNow();
        KillTimer(1);
    }
    return Default();
}

LRESULT CGuiButton::OnSysColorChange(WPARAM, LPARAM) {
    LRESULT r = Default();
    m_buttonColour = GetFaceTint();
    return r;
}

void CGuiButton::DrawItem(DRAWITEMSTRUCT* dis) {
    HDC dc = dis->hDC;
    const RECT item = dis->rcItem;
    const bool pressed = (dis->itemState & ODS_SELECTED) != 0;

    HBRUSH face = CreateSolidBrush(GetButtonFace());
    FillRect(dc, &item, face);
    DeleteObject(face);
    int oldMode = SetBkMode(dc, TRANSPARENT);

    RECT content = item;
    if (pressed) content.bottom += 2;  // lowers the centred icon by a pixel

    if (m_layout == 1) {
        HICON icon = pressed ? m_icons[2] : (m_hover == 1 ? m_icons[1] : m_icons[0]);
        if (icon) {
            ICONINFO info = {};
            int w = 0, h = 0;
            if (GetIconInfo(icon, &info)) {
                w = static_cast<int>(static_cast<unsigned char>(info.xHotspot * 2));
                h = static_cast<int>(static_cast<unsigned char>(info.yHotspot * 2));
                if (info.hbmMask) DeleteObject(info.hbmMask);
                if (info.hbmColor) DeleteObject(info.hbmColor);
            }
            UINT flags = DST_ICON | ((dis->itemState & ODS_DISABLED) ? DSS_DISABLED : 0);
            HBRUSH brush = CreateSolidBrush(GetButtonFace());
            DrawStateW(dc, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, 2,
                       ((content.bottom - content.top) - h) / 2, w, h, flags);
            DeleteObject(brush);
        }
    }

    if (pressed) Draw3dRect(dc, item, GetButtonShadow(), GetButtonHighlight());
    else if (m_hover == 1) Draw3dRect(dc, item, GetButtonHighlight(), GetButtonShadow());
    else Draw3dRect(dc, item, m_buttonColour, m_buttonColour);

    if (dis->itemState & ODS_FOCUS) {
        RECT focus = item;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(dc, &focus);
    }
    SetBkMode(dc, oldMode);
}

// --- flat edit -------------------------------------------------------------

const CMessageMap* CGuiEdit::StaticMap() {
    static const CMessageMap map = MessageMapOf<CGuiEdit>(CEdit::StaticMap())
        .Message(WM_CREATE, &CGuiEdit::OnCreate)
        .Message(WM_NCPAINT, &CGuiEdit::OnNcPaint)
        .Message(WM_SETFOCUS, &CGuiEdit::OnSetFocus);
    return &map;
}

LRESULT CGuiEdit::OnCreate(WPARAM, LPARAM) { return Default() == -1 ? -1 : 0; }

LRESULT CGuiEdit::OnNcPaint(WPARAM, LPARAM) {
    HDC dc = GetWindowDC(m_hWnd);
    if (!dc) return 0;
    RECT window, client;
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(m_hWnd, &client);
    POINT origin = {0, 0};
    ClientToScreen(m_hWnd, &origin);
    OffsetRect(&client, origin.x - window.left, origin.y - window.top);
    OffsetRect(&window, -window.left, -window.top);

    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    HBRUSH face = CreateSolidBrush(GetButtonFace());
    FillRect(dc, &window, face);
    Draw3dRect(dc, window, GetButtonFace(), GetButtonFace());
    InflateRect(&window, -1, -1);
    Draw3dRect(dc, window, GetHighlightTint(), GetHighlightTint());
    DeleteObject(face);
    ReleaseDC(m_hWnd, dc);
    return 0;
}

LRESULT CGuiEdit::OnSetFocus(WPARAM, LPARAM) {
    LRESULT r = Default();
    SendMessage(EM_SETSEL, 0, 0);
    SendMessage(EM_SCROLLCARET);
    return r;
}

// --- group box -------------------------------------------------------------

const CMessageMap* CGuiGroupBox::StaticMap() {
    static const CMessageMap map = MessageMapOf<CGuiGroupBox>(CButton::StaticMap())
        .Message(WM_PAINT, &CGuiGroupBox::OnPaint)
        .Message(WM_SYSCOLORCHANGE, &CGuiGroupBox::OnSysColorChange);
    return &map;
}

void CGuiGroupBox::PreSubclassWindow() {
    m_caption = GetWindowText();
    ::SetWindowTextW(m_hWnd, L"");  // nothing else draws the caption
}

LRESULT CGuiGroupBox::OnSysColorChange(WPARAM, LPARAM) {
    m_background = GetButtonFace();
    return Default();
}

LRESULT CGuiGroupBox::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT b;
    ::GetClientRect(m_hWnd, &b);
    HPEN pen = CreatePen(PS_SOLID, 1, GetButtonShadow());
    HBRUSH brush = CreateSolidBrush(m_background);
    HFONT font = CreateFontW(-11, 0, 0, 0, 400, FALSE, FALSE, FALSE, 0, OUT_STRING_PRECIS, CLIP_STROKE_PRECIS, 1,
                             VARIABLE_PITCH | FF_SWISS, L"Verdana");
    HGDIOBJ oldFont = SelectObject(dc, font);
    std::wstring caption = Utf8ToWide(m_caption);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    RECT captionRect = {b.left + 6, b.top, b.left + size.cx + 9, b.top + size.cy + 1};
    RECT f = b;
    InflateRect(&f, -1, -1);
    f.top += 6;

    HGDIOBJ oldPen = SelectObject(dc, pen);
    const POINT lines[8][2] = {
        {{f.left + 2, f.top}, {f.right - 2, f.top}},       {{f.left, f.top + 2}, {f.left, f.bottom - 2}},
        {{f.right, f.top + 2}, {f.right, f.bottom - 2}},   {{f.left + 2, f.bottom}, {f.right - 2, f.bottom}},
        {{f.left + 2, f.top}, {f.left, f.top + 2}},        {{f.right - 2, f.top}, {f.right, f.top + 2}},
        {{f.left, f.bottom - 2}, {f.left + 2, f.bottom}},  {{f.right - 2, f.bottom}, {f.right, f.bottom - 2}},
    };
    for (const auto& l : lines) {
        MoveToEx(dc, l[0].x, l[0].y, nullptr);
        LineTo(dc, l[1].x, l[1].y);
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    FillRect(dc, &captionRect, brush);
    SetTextColor(dc, GetHighlightTint());
    TextOutW(dc, captionRect.left, captionRect.top, caption.c_str(), static_cast<int>(caption.size()));
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    DeleteObject(font);
    DeleteObject(brush);
    EndPaint(m_hWnd, &ps);
    return 0;
}

// --- radio button ----------------------------------------------------------

namespace {
struct Pixel {
    int x, y;
    COLORREF colour;
};

COLORREF Mix(COLORREF a, COLORREF b, double t) {
    if (t < 0) t = 0;
    if (t > 1) t = 1;
    auto m = [t](int u, int v) { return static_cast<int>(u + (v - u) * t + 0.5); };
    return RGB(m(GetRValue(a), GetRValue(b)), m(GetGValue(a), GetGValue(b)), m(GetBValue(a), GetBValue(b)));
}

// The 13 x 13 outline: a ring of radius 5.8 around (6, 6), darker where a pixel lies on it.
const std::vector<Pixel>& Outline() {
    static const std::vector<Pixel> pixels = [] {
        std::vector<Pixel> p;
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x) {
                double off = std::fabs(std::hypot(x - 6.0, y - 6.0) - 5.8);
                if (off < 0.75) p.push_back({x, y, Mix(RGB(87, 124, 156), RGB(181, 196, 207), off / 0.75)});
            }
        return p;
    }();
    return pixels;
}

// The hover ring just inside the outline, warm yellows, two cool pixels at the upper left.
const std::vector<Pixel>& HoverRing() {
    static const std::vector<Pixel> pixels = [] {
        std::vector<Pixel> p;
        for (int y = 1; y <= 11; ++y)
            for (int x = 1; x <= 11; ++x) {
                double d = std::hypot(x - 6.0, y - 6.0);
                if (std::fabs(d - 4.9) >= 0.5) continue;
                if ((y == 1 || y == 11) && x != 6) continue;
                p.push_back({x, y, Mix(RGB(251, 200, 99), RGB(254, 223, 156), (y - 1) / 10.0)});
            }
        p.push_back({3, 2, RGB(181, 196, 207)});
        p.push_back({2, 3, RGB(181, 196, 207)});
        return p;
    }();
    return pixels;
}

// The check dot: greens, darker towards the lower right, with a cream highlight on top.
const std::vector<Pixel>& CheckDot() {
    static const std::vector<Pixel> pixels = [] {
        std::vector<Pixel> p;
        p.push_back({6, 3, RGB(242, 237, 215)});
        for (int y = 4; y <= 7; ++y)
            for (int x = 4; x <= 8; ++x)
                p.push_back({x, y, Mix(RGB(172, 222, 160), RGB(33, 161, 33), ((x - 4) + (y - 4)) / 7.0)});
        p.push_back({6, 8, RGB(33, 161, 33)});
        return p;
    }();
    return pixels;
}

void Plot(HDC dc, const RECT& box, const std::vector<Pixel>& pixels) {
    for (const Pixel& px : pixels) SetPixel(dc, box.left + px.x, box.top + px.y, px.colour);
}
}  // namespace

const CMessageMap* CGuiRadioButton::StaticMap() {
    static const CMessageMap map = MessageMapOf<CGuiRadioButton>(CButton::StaticMap())
        .Message(WM_ERASEBKGND, &CGuiRadioButton::OnEraseBkgnd)
        .Message(WM_TIMER, &CGuiRadioButton::OnTimer)
        .Message(WM_MOUSEMOVE, &CGuiRadioButton::OnMouseMove)
        .Message(WM_LBUTTONUP, &CGuiRadioButton::OnLButtonUp)
        .Message(WM_CREATE, &CGuiRadioButton::OnCreate);
    return &map;
}

void CGuiRadioButton::PreSubclassWindow() { AddOwnerDraw(m_hWnd); }

LRESULT CGuiRadioButton::OnCreate(WPARAM, LPARAM) { return Default() == -1 ? -1 : 0; }

LRESULT CGuiRadioButton::OnEraseBkgnd(WPARAM, LPARAM) { return FALSE; }

LRESULT CGuiRadioButton::OnMouseMove(WPARAM, LPARAM lp) {
    if (m_hover == 1) return 0;
    if (InClient(m_hWnd, lp)) {
        m_hover = 1;
        Invalidate(TRUE);
        UpdateWindow(m_hWnd);
        SetTimer(1, 100);
    }
    return Default();
}

LRESULT CGuiRadioButton::OnTimer(WPARAM, LPARAM) {
    if (!CursorInClient(m_hWnd)) {
        m_hover = 0;
        Invalidate(TRUE);
        KillTimer(1);
    }
    return Default();
}

LRESULT CGuiRadioButton::OnLButtonUp(WPARAM, LPARAM lp) {
    LRESULT r = Default();  // the dialog hears of the click before the choice changes
    if (m_hWnd && InClient(m_hWnd, lp)) {
        m_selected = 1;
        m_hover = 0;
        ClearGroup();
        Invalidate(TRUE);
        KillTimer(1);
    }
    return r;
}

void CGuiRadioButton::ClearGroup() {
    HWND parent = GetParent(m_hWnd);
    if (!parent) return;
    for (HWND w = GetNextDlgGroupItem(parent, m_hWnd, FALSE); w && w != m_hWnd;
         w = GetNextDlgGroupItem(parent, w, FALSE)) {
        if (!(GetWindowLongW(w, GWL_STYLE) & 0x9)) continue;
        if (auto* other = dynamic_cast<CGuiRadioButton*>(FromHandlePermanent(w))) {
            other->m_selected = 0;
            other->Invalidate(TRUE);
        }
    }
}

void CGuiRadioButton::DrawItem(DRAWITEMSTRUCT* dis) {
    HDC dc = dis->hDC;
    const RECT r = dis->rcItem;
    HBRUSH tint = CreateSolidBrush(GetFaceTint());
    FillRect(dc, &r, tint);
    DeleteObject(tint);
    int oldMode = SetBkMode(dc, TRANSPARENT);

    std::wstring caption = Utf8ToWide(GetWindowText());
    SIZE size = {0, 0};
    if (!caption.empty()) GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);

    const int height = r.bottom - r.top;
    m_circle.left = r.left;
    m_circle.right = r.left + 13;
    if (height > 13) {
        m_circle.top = (height - 13) / 2;
        m_circle.bottom = m_circle.top + 13;
    } else {
        m_circle.top = r.top;
        m_circle.bottom = r.bottom;
    }
    Plot(dc, m_circle, Outline());

    if (dis->itemState & ODS_DISABLED) {
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption.c_str()), static_cast<WPARAM>(caption.size()),
                   r.left + 15, m_circle.top + 1, size.cx, size.cy, DST_PREFIXTEXT | DSS_DISABLED);
    } else {
        RECT text = {r.left + 14, r.top, r.right, r.bottom};
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_VCENTER | DT_SINGLELINE | DT_LEFT);
    }
    if (m_hover == 1) Plot(dc, m_circle, HoverRing());
    if (m_selected == 1) Plot(dc, m_circle, CheckDot());
    SetBkMode(dc, oldMode);
}
