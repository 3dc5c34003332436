#pragma once
// The main frame of a single-document program: menu, accelerators, a toolbar in a rebar,
// and the view in the rest of the client area. It routes commands and keeps menus and
// toolbar buttons enabled only for commands that something handles.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "cmdui.h"
#include "wnd.h"

class CDocument;
class CView;

class CToolBar : public CWnd {
public:
    // Creates the toolbar control; barStyle adds CBRS_* styles kept by the framework.
    BOOL CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id);
    // Loads the toolbar resource (type 241) and its bitmap (same id, 16 x 15 images).
    BOOL LoadToolBar(UINT id);
    DWORD GetBarStyle() const { return m_barStyle; }
    void SetBarStyle(DWORD style) { m_barStyle = style; }
    void EnableToolTips(BOOL on = TRUE);
    // Enables the buttons whose command target handles them.
    void OnUpdateCmdUI(CCmdTarget* target);
    SIZE Size() const;

    DWORD m_barStyle = 0;
    HIMAGELIST m_images = nullptr;
    ~CToolBar() override;
};

class CReBar : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id);
    // Adds bar as a band of its own.
    BOOL AddBar(CToolBar* bar, const char* text, HBITMAP background, DWORD bandStyle);
    int Height() const;
};

// Bar styles kept by the framework.
enum : DWORD {
    CBRS_ALIGN_TOP = 0x2000, CBRS_TOP = 0x2800, CBRS_TOOLTIPS = 0x10, CBRS_FLYBY = 0x20,
};

class CFrameWnd : public CWnd, public CCmdTarget {
    FW_DECLARE_MESSAGE_MAP()
public:
    CFrameWnd() = default;

    // Creates the frame with menu, accelerators, icon and title of resource id.
    virtual BOOL LoadFrame(UINT id);
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    // The caption: the document's title, " - ", then the frame's title.
    virtual void OnUpdateFrameTitle();
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;
    void PostNcDestroy() override;

    CView* GetActiveView() const { return m_pView; }
    CDocument* GetActiveDocument() const;
    void RecalcLayout();
    void InitialUpdateFrame();

    std::string m_strTitle;
    CView* m_pView = nullptr;
    CDocument* m_pNewDocument = nullptr;  // the document the view is made for
    CView* m_pNewView = nullptr;          // made by the template, created in OnCreate
    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDResource = 0;

protected:
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnSizeMsg(WPARAM, LPARAM);
    LRESULT OnCommandMsg(WPARAM, LPARAM);
    LRESULT OnInitMenuPopup(WPARAM, LPARAM);
    LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM);
    LRESULT OnNotifyMsg(WPARAM, LPARAM);
    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    // Runs the command when something handles it and it is enabled.
    BOOL RouteCommand(UINT id);

    std::wstring m_tipText;  // the tooltip text handed out last
};
