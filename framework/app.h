#pragma once
// The application object: one global instance per program; WinMain (in the
// framework) sets it up and calls InitInstance.
#include <windows.h>

#include <string>

#include "cmdui.h"
#include "notice.h"

class CWnd;
class CDocTemplate;
class CDocument;
class CRecentFileList;
class CCommandLineInfo;

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    virtual ~CWinApp();

    // Returns FALSE to end the program once it returns (dialog programs), TRUE to
    // enter the framework's message loop.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return m_exitCode; }

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    int m_exitCode = 0;

    // Full path of the program file (UTF-8) and its name without extension.
    std::string ModulePath() const;
    std::string AppName() const;
    HICON LoadIcon(int id) const;
    std::string LoadString(UINT id) const;

    int Run();
    // Called while the message queue is empty; TRUE asks for more idle calls.
    virtual BOOL OnIdle(LONG count);

    // Single-document programs (docapp.cpp).
    void SetRegistryKey(const std::string& key);  // settings under HKCU\Software\key\<title>
    void LoadStdProfileSettings(UINT maxRecentFiles = 4);
    void AddDocTemplate(CDocTemplate* docTemplate);  // the application owns it
    void ParseCommandLine(CCommandLineInfo& info);
    BOOL ProcessShellCommand(CCommandLineInfo& info);
    virtual CDocument* OpenDocumentFile(const std::string& path);
    void AddToRecentFileList(const std::string& path);
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();
    void OnOpenRecentFile(UINT id);
    void OnUpdateRecentFileMenu(CCmdUI* ui);
    // Fills the recent-file part of a menu at index; the number of items it now takes.
    int UpdateRecentFileMenu(HMENU menu, int index);
    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;

    std::string m_pszRegistryKey;  // empty: no registry settings
    std::string m_pszProfileName;  // the program's title, its registry sub-key
    CDocTemplate* m_pDocTemplate = nullptr;
    CRecentFileList* m_pRecentFileList = nullptr;
    HGLOBAL m_hDevMode = nullptr, m_hDevNames = nullptr;  // the printer chosen in Print Setup
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
std::string AfxGetAppName();
// A message box with the program's title as caption, owned by the active window.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
// No OLE controls are hosted; kept so start-up code reads as it should.
inline void AfxEnableControlContainer() {}

// The notice that portable core code shows its messages through: message boxes.
class CMessageBoxNotice : public INotice {
public:
    int Show(const std::string& text, const std::string& caption, unsigned style) override;
};
