#include "filedlg.h"

#include <commdlg.h>

#include "app.h"
#include "fwstring.h"
#include "wnd.h"

namespace {
// Long enough for any path Windows can hand back.
constexpr size_t kPathChars = 32768;
}  // namespace

CFileDialog::CFileDialog(BOOL open, const char* defExt, const char* fileName, DWORD flags, const char* filter,
                         CWnd* parent)
    : m_open(open), m_parent(parent) {
    if (defExt) m_defExt = Utf8ToWide(*defExt == '.' ? defExt + 1 : defExt);
    if (filter) {
        m_filter = Utf8ToWide(filter);
        for (auto& c : m_filter)
            if (c == L'|') c = L'\0';
    }
    m_buffer.assign(kPathChars, L'\0');
    if (fileName) {
        std::wstring name = Utf8ToWide(fileName);
        name.copy(&m_buffer[0], std::min(name.size(), kPathChars - 1));
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = flags | OFN_EXPLORER;
    m_ofn.nMaxFile = static_cast<DWORD>(kPathChars);
}

INT_PTR CFileDialog::DoModal() {
    HWND owner = m_parent ? m_parent->m_hWnd : nullptr;
    if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd) owner = AfxGetApp()->m_pMainWnd->m_hWnd;
    m_ofn.hwndOwner = owner;
    m_ofn.hInstance = AfxGetInstanceHandle();
    m_ofn.lpstrFile = &m_buffer[0];
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.nFilterIndex = 1;
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
