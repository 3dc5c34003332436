#include "frame.h"

#include <algorithm>
#include <vector>

#include "app.h"
#include "docview.h"
#include "fwstring.h"
#include "wndcreate.h"

// --- toolbar -----------------------------------------------------------------

namespace {
// The toolbar resource: version 1, image width and height, count, then the command ids
// (0 for a separator).
constexpr WORD kToolbarResourceType = 241;
constexpr COLORREF kToolbarMaskColour = RGB(192, 192, 192);
}  // namespace

CToolBar::~CToolBar() {
    if (m_images) ImageList_Destroy(m_images);
}

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id) {
    m_barStyle = style & 0xFFFF;
    DWORD ws = (style & 0xFFFF0000u) | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | TBSTYLE_TOOLTIPS;
    HWND h = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, ws | ctrlStyle, 0, 0, 0, 0, parent->m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AfxGetInstanceHandle(), nullptr);
    if (!h) return FALSE;
    SubclassWindow(h);
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    // Clicks and tooltip requests go to the frame even when a rebar holds the bar.
    SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(parent->m_hWnd));
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT id) {
    HINSTANCE inst = AfxGetInstanceHandle();
    HRSRC res = FindResourceW(inst, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kToolbarResourceType));
    HGLOBAL mem = res ? LoadResource(inst, res) : nullptr;
    const WORD* data = mem ? static_cast<const WORD*>(LockResource(mem)) : nullptr;
    DWORD bytes = res ? SizeofResource(inst, res) : 0;
    if (!data || bytes < 8 || data[0] != 1) return FALSE;
    int width = data[1], height = data[2], count = data[3];
    if (bytes < static_cast<DWORD>(8 + 2 * count)) return FALSE;

    m_images = ImageList_LoadImageW(inst, MAKEINTRESOURCEW(id), width, 0, kToolbarMaskColour, IMAGE_BITMAP,
                                    LR_CREATEDIBSECTION);
    if (!m_images) return FALSE;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON b = {};
        b.idCommand = data[4 + i];
        if (b.idCommand == 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = image++;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(b);
    }
    SendMessage(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessage(TB_AUTOSIZE);
    return TRUE;
}

void CToolBar::EnableToolTips(BOOL on) {
    HWND tip = reinterpret_cast<HWND>(SendMessage(TB_GETTOOLTIPS));
    if (tip) ::SendMessageW(tip, TTM_ACTIVATE, on, 0);
}

SIZE CToolBar::Size() const {
    SIZE s{0, 0};
    ::SendMessageW(m_hWnd, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&s));
    return s;
}

void CToolBar::OnUpdateCmdUI(CCmdTarget* target) {
    int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    for (int i = 0; i < count; ++i) {
        TBBUTTON b = {};
        if (!SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b)) || (b.fsStyle & BTNS_SEP)) continue;
        CCmdUI ui(static_cast<UINT>(b.idCommand));
        BOOL enabled = target->OnCmdMsg(ui.m_nID, &ui) && ui.m_bEnabled;
        BOOL now = (b.fsState & TBSTATE_ENABLED) != 0;
        if (enabled != now) SendMessage(TB_ENABLEBUTTON, b.idCommand, MAKELPARAM(enabled, 0));
    }
}

// --- rebar -------------------------------------------------------------------

BOOL CReBar::Create(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id) {
    DWORD ws = (style & 0xFFFF0000u) | CCS_NODIVIDER | CCS_TOP;
    HWND h = CreateWindowExW(WS_EX_TOOLWINDOW, REBARCLASSNAMEW, nullptr, ws | ctrlStyle, 0, 0, 0, 0, parent->m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AfxGetInstanceHandle(), nullptr);
    if (!h) return FALSE;
    SubclassWindow(h);
    REBARINFO ri = {};
    ri.cbSize = sizeof(ri);
    SendMessage(RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&ri));
    return TRUE;
}

BOOL CReBar::AddBar(CToolBar* bar, const char* text, HBITMAP background, DWORD bandStyle) {
    SIZE s = bar->Size();
    std::wstring wtext = text ? Utf8ToWide(text) : std::wstring();
    REBARBANDINFOW band = {};
    band.cbSize = REBARBANDINFOW_V6_SIZE;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
    band.fStyle = bandStyle;
    band.hwndChild = bar->m_hWnd;
    band.cxMinChild = s.cx;
    band.cyMinChild = s.cy;
    band.cx = s.cx;
    if (text) {
        band.fMask |= RBBIM_TEXT;
        band.lpText = &wtext[0];
    }
    if (background) {
        band.fMask |= RBBIM_BACKGROUND;
        band.hbmBack = background;
    }
    return SendMessage(RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) != 0;
}

int CReBar::Height() const {
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    return r.bottom - r.top;
}

// --- frame -------------------------------------------------------------------

namespace {
bool IsToolBar(HWND w) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    return lstrcmpiW(cls, TOOLBARCLASSNAMEW) == 0;
}
}  // namespace

const CMessageMap* CFrameWnd::StaticMap() {
    static const CMessageMap map = MessageMapOf<CFrameWnd>(CWnd::StaticMap())
        .Message(WM_CREATE, &CFrameWnd::OnCreate)
        .Message(WM_SIZE, &CFrameWnd::OnSizeMsg)
        .Message(WM_COMMAND, &CFrameWnd::OnCommandMsg)
        .Message(WM_INITMENUPOPUP, &CFrameWnd::OnInitMenuPopup)
        .Message(WM_IDLEUPDATECMDUI, &CFrameWnd::OnIdleUpdateCmdUI)
        .Message(WM_NOTIFY, &CFrameWnd::OnNotifyMsg)
        .Message(WM_CLOSE, &CFrameWnd::OnClose)
        .Message(WM_DESTROY, &CFrameWnd::OnDestroy)
        .Message(WM_SETFOCUS, &CFrameWnd::OnSetFocus);
    return &map;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    (void)cs;
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT id) {
    m_nIDResource = id;
    CWinApp* app = AfxGetApp();
    std::string all = app ? app->LoadString(id) : std::string();
    m_strTitle = all.substr(0, all.find('\n'));
    CREATESTRUCTW cs = {};
    cs.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    cs.hMenu = LoadMenuW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(id));
    if (!PreCreateWindow(cs)) {
        if (cs.hMenu) DestroyMenu(cs.hMenu);
        return FALSE;
    }
    HICON icon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(id));
    const wchar_t* cls = FwRegisterWndClass(L"FwFrameWnd", CS_DBLCLKS, icon, nullptr);
    m_hAccelTable = LoadAcceleratorsW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(id));
    if (!FwCreateWindow(this, cls, cs.dwExStyle, m_strTitle, cs.style, cs.x, cs.y, cs.cx, cs.cy, nullptr, cs.hMenu)) {
        if (cs.hMenu) DestroyMenu(cs.hMenu);
        return FALSE;
    }
    return TRUE;
}

LRESULT CFrameWnd::OnCreate(WPARAM, LPARAM) {
    if (Default() == -1) return -1;
    if (m_pNewView) {
        CView* view = m_pNewView;
        m_pNewView = nullptr;
        if (m_pNewDocument) m_pNewDocument->AddView(view);
        if (!view->Create(this, AFX_IDW_PANE_FIRST)) {
            if (view->GetDocument()) view->GetDocument()->RemoveView(view);
            delete view;
            return -1;
        }
        m_pView = view;
    }
    return 0;
}

void CFrameWnd::PostNcDestroy() {
    if (AfxGetApp() && AfxGetApp()->m_pMainWnd == this) AfxGetApp()->m_pMainWnd = nullptr;
    delete this;
}

CDocument* CFrameWnd::GetActiveDocument() const { return m_pView ? m_pView->GetDocument() : nullptr; }

void CFrameWnd::OnUpdateFrameTitle() {
    CDocument* doc = GetActiveDocument();
    SetWindowText(doc && !doc->GetTitle().empty() ? doc->GetTitle() + " - " + m_strTitle : m_strTitle);
}

void CFrameWnd::InitialUpdateFrame() {
    if (m_pView) m_pView->OnInitialUpdate();
    OnUpdateFrameTitle();
}

void CFrameWnd::RecalcLayout() {
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int top = 0;
    // Bars first, top to bottom in creation order; the view takes the rest.
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (m_pView && child == m_pView->m_hWnd) continue;
        if (!::IsWindowVisible(child)) continue;
        ::SendMessageW(child, WM_SIZE, 0, MAKELPARAM(rc.right, rc.bottom));
        RECT r;
        GetWindowRect(child, &r);
        SetWindowPos(child, nullptr, 0, top, rc.right, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        top += r.bottom - r.top;
    }
    if (m_pView && m_pView->m_hWnd)
        SetWindowPos(m_pView->m_hWnd, nullptr, 0, top, rc.right, std::max<LONG>(0, rc.bottom - top),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CFrameWnd::OnSizeMsg(WPARAM, LPARAM) {
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (m_hAccelTable && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
        (msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd)))
        return TranslateAcceleratorW(m_hWnd, m_hAccelTable, msg) != 0;
    return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT id, CCmdUI* ui) {
    if (m_pView && m_pView->OnCmdMsg(id, ui)) return TRUE;
    if (const CMessageMapEntry* e = GetMessageMap()->Find(WM_COMMAND, MAKEWPARAM(id, 0), 0)) {
        if (e->kind == CMessageMapEntry::Command) {
            if (ui) ui->Enable(TRUE);
            else e->handler(*this, MAKEWPARAM(id, 0), 0);
            return TRUE;
        }
    }
    if (CDocument* doc = GetActiveDocument())
        if (doc->OnCmdMsg(id, ui)) return TRUE;
    if (CWinApp* app = AfxGetApp())
        if (app->OnCmdMsg(id, ui)) return TRUE;
    return FALSE;
}

BOOL CFrameWnd::RouteCommand(UINT id) {
    // A command that has become disabled since its menu or button was shown does nothing.
    CCmdUI ui(id);
    if (!OnCmdMsg(id, &ui) || !ui.m_bEnabled) return FALSE;
    return OnCmdMsg(id, nullptr);
}

LRESULT CFrameWnd::OnCommandMsg(WPARAM wp, LPARAM lp) {
    HWND from = reinterpret_cast<HWND>(lp);
    // Menus and accelerators (no control) and toolbar buttons are commands.
    if (!from || (HIWORD(wp) == BN_CLICKED && IsToolBar(from))) {
        RouteCommand(LOWORD(wp));
        return 0;
    }
    return Default();
}

LRESULT CFrameWnd::OnInitMenuPopup(WPARAM wp, LPARAM lp) {
    if (HIWORD(lp)) return Default();  // the system menu
    HMENU menu = reinterpret_cast<HMENU>(wp);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        UINT id = GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separator or pop-up
        if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE4 && AfxGetApp()) {
            i += AfxGetApp()->UpdateRecentFileMenu(menu, i) - 1;
            continue;
        }
        CCmdUI ui(id);
        BOOL enabled = OnCmdMsg(id, &ui) && ui.m_bEnabled;
        EnableMenuItem(menu, i, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    return 0;
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        for (HWND bar = GetWindow(child, GW_CHILD); bar; bar = GetWindow(bar, GW_HWNDNEXT))
            if (auto* tb = dynamic_cast<CToolBar*>(CWnd::FromHandlePermanent(bar))) tb->OnUpdateCmdUI(this);
    return 0;
}

LRESULT CFrameWnd::OnNotifyMsg(WPARAM, LPARAM lp) {
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if (hdr && hdr->code == TTN_GETDISPINFOW) {
        auto* di = reinterpret_cast<NMTTDISPINFOW*>(lp);
        if (!(di->uFlags & TTF_IDISHWND)) {
            // The tip is the part of the command's string after its newline.
            std::string text = AfxGetApp() ? AfxGetApp()->LoadString(static_cast<UINT>(hdr->idFrom)) : std::string();
            size_t nl = text.find('\n');
            m_tipText = Utf8ToWide(nl == std::string::npos ? std::string() : text.substr(nl + 1));
            di->lpszText = &m_tipText[0];
            di->hinst = nullptr;
            return 0;
        }
    }
    return Default();
}

LRESULT CFrameWnd::OnClose(WPARAM, LPARAM) {
    if (CDocument* doc = GetActiveDocument()) {
        doc->OnCloseDocument();  // destroys this frame too
        return 0;
    }
    DestroyWindow(m_hWnd);
    return 0;
}

LRESULT CFrameWnd::OnDestroy(WPARAM, LPARAM) {
    if (AfxGetApp() && AfxGetApp()->m_pMainWnd == this) PostQuitMessage(0);
    return Default();
}

LRESULT CFrameWnd::OnSetFocus(WPARAM, LPARAM) {
    if (m_pView && m_pView->m_hWnd) ::SetFocus(m_pView->m_hWnd);
    return 0;
}
