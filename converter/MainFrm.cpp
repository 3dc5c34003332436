#include "MainFrm.h"

#include "docview.h"
#include "fwstring.h"
#include "resource.h"

const CMessageMap* CMainFrame::StaticMap() {
    static const CMessageMap map = MessageMapOf<CMainFrame>(CFrameWnd::StaticMap()).Message(WM_CREATE, &CMainFrame::OnCreate);
    return &map;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
    m_strTitle = "Drevik Ornavex v1.d6.4";
    return TRUE;
}

LRESULT CMainFrame::OnCreate(WPARAM wp, LPARAM lp) {
    if (CFrameWnd::OnCreate(wp, lp) == -1) return -1;
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                               AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    if (!m_wndReBar.Create(this, RBS_BANDBORDERS, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
                           AFX_IDW_REBAR) ||
        !m_wndReBar.AddBar(&m_wndToolBar, nullptr, nullptr, RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP))
        return -1;
    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY);
    m_wndToolBar.EnableToolTips(TRUE);
    TranslateMenu();
    return 0;
}

void CMainFrame::TranslateMenu() {
    HMENU bar = GetMenu(m_hWnd);
    if (!bar) return;
    auto byPosition = [&](int pos, const char* text) {
        HMENU popup = GetSubMenu(bar, pos);
        ModifyMenuW(bar, pos, MF_BYPOSITION | MF_STRING | (popup ? MF_POPUP : 0),
                    reinterpret_cast<UINT_PTR>(popup), Utf8ToWide(text).c_str());
    };
    auto byCommand = [](HMENU menu, UINT id, const char* text) {
        ModifyMenuW(menu, id, MF_BYCOMMAND | MF_STRING, id, Utf8ToWide(text).c_str());
    };
    HMENU file = GetSubMenu(bar, 0), help = GetSubMenu(bar, 1);
    byPosition(0, "File(&F)");
    byPosition(1, "Help(&H)");
    if (file) {
        byCommand(file, ID_FILE_OPEN, "Open(&O)...\tCtrl+O");
        byCommand(file, ID_FILE_MRU_FILE1, "Last File");
        byCommand(file, ID_APP_EXIT, "Exit(&X)");
    }
    if (help) byCommand(help, ID_APP_ABOUT, "About Ornavex(&A)...");
    DrawMenuBar(m_hWnd);
}
