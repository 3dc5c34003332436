#pragma once
// Ornavex, the drawing-to-cut converter: the application, its document template and the About box.
#include "app.h"
#include "dialog.h"
#include "docview.h"

class COrnavexApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;
    void OnAppAbout();

private:
    bool m_oleInitialised = false;
};

class CMySingleDocTemplate : public CSingleDocTemplate {
public:
    using CSingleDocTemplate::CSingleDocTemplate;
    BOOL GetDocString(std::string& out, DocStringIndex index) const override;
};

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(100) {}
};
