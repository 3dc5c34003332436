#include "recentfiles.h"

#include <windows.h>

#include <algorithm>

#include "fwstring.h"

namespace {
const char kSection[] = "Recent File List";
// Longer paths are shown as their start, "...", and their file name.
constexpr size_t kMaxMenuChars = 30;

bool SamePath(const std::string& a, const std::string& b) {
    return lstrcmpiW(Utf8ToWide(a).c_str(), Utf8ToWide(b).c_str()) == 0;
}
}  // namespace

CRecentFileList::CRecentFileList(const std::string& programKey, size_t size)
    : m_key(programKey.empty() ? std::string() : programKey + "\\" + kSection), m_size(size) {}

void CRecentFileList::Add(const std::string& path) {
    if (path.empty() || m_size == 0) return;
    m_files.erase(std::remove_if(m_files.begin(), m_files.end(), [&](const std::string& f) { return SamePath(f, path); }),
                  m_files.end());
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > m_size) m_files.resize(m_size);
    WriteList();
}

void CRecentFileList::Remove(size_t index) {
    if (index >= m_files.size()) return;
    m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(index));
    WriteList();
}

void CRecentFileList::ReadList() {
    m_files.clear();
    if (m_key.empty()) return;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Utf8ToWide(m_key).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (size_t i = 0; i < m_size; ++i) {
        std::wstring name = Utf8ToWide(FormatText("File%u", static_cast<unsigned>(i + 1)));
        DWORD type = 0, bytes = 0;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ)
            continue;
        std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &bytes) ==
            ERROR_SUCCESS) {
            std::string path = WideToUtf8(value.c_str());
            if (!path.empty()) m_files.push_back(path);
        }
    }
    RegCloseKey(key);
}

void CRecentFileList::WriteList() const {
    if (m_key.empty()) return;
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Utf8ToWide(m_key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    for (size_t i = 0; i < m_size; ++i) {
        std::wstring name = Utf8ToWide(FormatText("File%u", static_cast<unsigned>(i + 1)));
        if (i < m_files.size()) {
            std::wstring value = Utf8ToWide(m_files[i]);
            RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        } else {
            RegDeleteValueW(key, name.c_str());
        }
    }
    RegCloseKey(key);
}

std::string CRecentFileList::MenuText(size_t index) const {
    std::wstring path = Utf8ToWide(m_files.at(index));
    if (path.size() > kMaxMenuChars) {
        size_t slash = path.find_last_of(L"\\/");
        std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
        size_t root = path.find(L'\\');
        std::wstring head = root == std::wstring::npos ? std::wstring() : path.substr(0, root + 1);
        if (head.size() + 3 + 1 + name.size() < path.size()) path = head + L"...\\" + name;
    }
    // An ampersand in a path must not become a mnemonic.
    std::wstring shown;
    for (wchar_t c : path) {
        shown += c;
        if (c == L'&') shown += L'&';
    }
    return FormatText("&%u ", static_cast<unsigned>(index + 1)) + WideToUtf8(shown);
}
