#pragma once
// Ornavex's main frame: the toolbar in a rebar and the English menu texts.
#include "frame.h"

class CMyToolBar : public CToolBar {};

class CMainFrame : public CFrameWnd {
    FW_DECLARE_MESSAGE_MAP()
public:
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;

protected:
    LRESULT OnCreate(WPARAM wp, LPARAM lp);
    void TranslateMenu();

    CMyToolBar m_wndToolBar;
    CReBar m_wndReBar;
};
