#include "filedlg.h"

#include <commdlg.h>

#include <algorithm>

#include "fwstring.h"
#include "wnd.h"

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_open(openFileDialog), m_parent(parent) {
    if (defExt) m_defExt = Utf8ToWide(defExt);
    if (filter) {
        // The common dialog wants NUL between the parts and two at the end.
        m_filter = Utf8ToWide(filter);
        for (wchar_t& c : m_filter)
            if (c == L'|') c = L'\0';
        m_filter.push_back(L'\0');
        m_filter.push_back(L'\0');
    }
    m_buffer.assign(32768, L'\0');
    if (fileName) {
        std::wstring name = Utf8ToWide(fileName);
        if (name.size() < m_buffer.size()) std::copy(name.begin(), name.end(), m_buffer.begin());
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal() {
    m_ofn.hwndOwner = m_parent ? m_parent->m_hWnd : GetActiveWindow();
    m_ofn.lpstrFile = &m_buffer[0];
    m_ofn.nMaxFile = static_cast<DWORD>(m_buffer.size());
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.lpstrDefExt = m_defExt.empty() ? nullptr : m_defExt.c_str();
    BOOL ok = m_open ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn);
    if (!ok) return IDCANCEL;
    m_path = WideToUtf8(m_buffer.c_str());
    return IDOK;
}

std::string CFileDialog::GetFileName() const {
    size_t slash = m_path.find_last_of("\\/");
    return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

std::string CFileDialog::GetFileExt() const {
    std::string name = GetFileName();
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}
