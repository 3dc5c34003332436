#pragma once
// The common open and save dialogs, MFC style. The filter uses '|' between its parts
// ("PLT Files (*.PLT)|*.PLT||"); paths are UTF-8.
#include <windows.h>
#include <commdlg.h>

#include <string>

class CWnd;

class CFileDialog {
public:
    CFileDialog(BOOL openFileDialog, const char* defExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);
    virtual ~CFileDialog() = default;

    // IDOK when a file was chosen, IDCANCEL otherwise.
    virtual INT_PTR DoModal();
    std::string GetPathName() const { return m_path; }
    // The name after the last backslash.
    std::string GetFileName() const;
    // The extension without its dot, as typed; empty when the name has none.
    std::string GetFileExt() const;

    OPENFILENAMEW m_ofn{};

private:
    BOOL m_open;
    std::wstring m_defExt, m_filter, m_title;
    std::wstring m_buffer;
    std::string m_path;
    CWnd* m_parent;
};
