#pragma once
// The application object: one global instance per program; WinMain (in the
// framework) sets it up and calls InitInstance.
#include <windows.h>

#include <string>

#include "notice.h"

class CWnd;

class CWinApp {
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
