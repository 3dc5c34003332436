#include "TextProgressCtrl.h"

#include "fwstring.h"

CMemDC::CMemDC(CDC* target) : CDC(nullptr), m_target(target) {
    m_bMemDC = GetDeviceCaps(target->m_hDC, TECHNOLOGY) != DT_RASPRINTER;
    if (!m_bMemDC) {
        m_hDC = target->m_hDC;
        return;
    }
    GetClipBox(target->m_hDC, &m_rect);
    m_hDC = CreateCompatibleDC(target->m_hDC);
    m_bitmap = CreateCompatibleBitmap(target->m_hDC, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top);
    m_oldBitmap = static_cast<HBITMAP>(SelectObject(m_hDC, m_bitmap));
    // Drawing at the target's coordinates lands in the bitmap.
    SetWindowOrgEx(m_hDC, m_rect.left, m_rect.top, nullptr);
}

CMemDC::~CMemDC() {
    if (m_bMemDC) {
        BitBlt(m_target->m_hDC, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top,
               m_hDC, m_rect.left, m_rect.top, SRCCOPY);
        if (m_oldBitmap) SelectObject(m_hDC, m_oldBitmap);
        if (m_bitmap) DeleteObject(m_bitmap);
        DeleteDC(m_hDC);
    }
    // A borrowed printing context is its owner's to release.
    m_hDC = nullptr;
}

const CMessageMap* CTextProgressCtrl::StaticMap() {
    static const CMessageMap map = MessageMapOf<CTextProgressCtrl>(CProgressCtrl::StaticMap())
        .Message(WM_ERASEBKGND, &CTextProgressCtrl::OnEraseBkgnd)
        .Message(WM_PAINT, &CTextProgressCtrl::OnPaint)
        .Message(WM_SIZE, &CTextProgressCtrl::OnSize)
        .Message(WM_SETTEXT, &CTextProgressCtrl::OnSetText)
        .Message(WM_GETTEXT, &CTextProgressCtrl::OnGetText);
    return &map;
}

CTextProgressCtrl::CTextProgressCtrl()
    : m_colFore(GetSysColor(COLOR_HIGHLIGHT)),
      m_colBk(GetSysColor(COLOR_WINDOW)),
      m_colTextBack(GetSysColor(COLOR_HIGHLIGHT)),
      m_colTextFore(GetSysColor(COLOR_WINDOW)) {}

int CTextProgressCtrl::SetPos(int pos) {
    if (!m_hWnd || !IsWindow(m_hWnd)) return -1;
    int old = m_nPos;
    m_nPos = pos;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int width = static_cast<int>(static_cast<double>(m_nPos - m_nMin) / (m_nMax - m_nMin) * (rc.right - rc.left));
    if (width != m_nBarWidth) {
        m_nBarWidth = width;
        RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return old;
}

LRESULT CTextProgressCtrl::OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }

LRESULT CTextProgressCtrl::OnPaint(WPARAM, LPARAM) {
    double fraction = static_cast<double>(m_nPos - m_nMin) / (m_nMax - m_nMin);
    CPaintDC paint(m_hWnd);
    {
        CMemDC dc(&paint);
        RECT client, bar, rest;
        GetClientRect(m_hWnd, &client);
        bar = rest = client;
        bar.right = bar.left + static_cast<int>((client.right - client.left) * fraction);
        rest.left = bar.right;
        dc.FillSolidRect(bar, m_colFore);
        dc.FillSolidRect(rest, m_colBk);

        std::wstring text = m_caption.empty() ? Utf8ToWide(FormatText("%d%%", static_cast<int>(fraction * 100)))
                                              : Utf8ToWide(m_caption);
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
        HGDIOBJ oldFont = font ? SelectObject(dc.m_hDC, font) : nullptr;
        dc.SetBkMode(TRANSPARENT);
        const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        // The two halves of one centred text meet at the edge of the filled part.
        HRGN region = CreateRectRgnIndirect(&bar);
        SelectClipRgn(dc.m_hDC, region);
        dc.SetTextColor(m_colTextFore);
        DrawTextW(dc.m_hDC, text.c_str(), -1, &client, format);
        SetRectRgn(region, rest.left, rest.top, rest.right, rest.bottom);
        SelectClipRgn(dc.m_hDC, region);
        dc.SetTextColor(m_colTextBack);
        DrawTextW(dc.m_hDC, text.c_str(), -1, &client, format);
        SelectClipRgn(dc.m_hDC, nullptr);
        DeleteObject(region);
        if (oldFont) SelectObject(dc.m_hDC, oldFont);
    }
    return 0;
}

LRESULT CTextProgressCtrl::OnSize(WPARAM, LPARAM) {
    LRESULT r = Default();
    m_nBarWidth = -1;
    return r;
}

LRESULT CTextProgressCtrl::OnSetText(WPARAM, LPARAM lp) {
    LRESULT r = Default();
    const wchar_t* text = reinterpret_cast<const wchar_t*>(lp);
    std::string caption = text ? WideToUtf8(text) : std::string();
    if (caption != m_caption) {
        m_caption = caption;
        Invalidate(TRUE);
    }
    return r;
}

LRESULT CTextProgressCtrl::OnGetText(WPARAM size, LPARAM lp) {
    wchar_t* out = reinterpret_cast<wchar_t*>(lp);
    if (!out || size == 0) return 0;
    std::wstring caption = Utf8ToWide(m_caption);
    // Copies at most the buffer's size; terminated whenever the buffer has room for it.
    size_t n = caption.size() < size ? caption.size() : size;
    caption.copy(out, n);
    if (n < size) out[n] = L'\0';
    return static_cast<LRESULT>(n);
}
