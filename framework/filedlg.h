#pragma once
// The common Open and Save As dialogs. Filters are written "Name|*.ext|Name|*.*||".
#include <windows.h>
#include <commdlg.h>

#include <string>

class CWnd;

class CFileDialog {
public:
    CFileDialog(BOOL open, const char* defExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);
    // IDOK when the user chose a file, IDCANCEL otherwise.
    INT_PTR DoModal();
    std::string GetPathName() const { return m_path; }  // full path, UTF-8
    std::string GetFileName() const;                     // name with extension
    std::string GetFileExt() const;                      // after the name's last dot; empty without one

    OPENFILENAMEW m_ofn{};

private:
    BOOL m_open;
    std::wstring m_defExt, m_filter, m_buffer;
    CWnd* m_parent;
    std::string m_path;
};
