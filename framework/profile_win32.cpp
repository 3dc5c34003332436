#include "profile_win32.h"

#include <windows.h>

#include <vector>

#include "fwstring.h"

CIniProfile::CIniProfile(const std::string& path) : path_(Utf8ToWide(path)) {}

std::string CIniProfile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& def, size_t maxChars) {
    const std::wstring wsection = Utf8ToWide(section), wkey = Utf8ToWide(key), wdef = Utf8ToWide(def);
    // Read the whole value first: the limit applies to the UTF-8 text, not to UTF-16 units.
    std::vector<wchar_t> buf(256);
    DWORD n = 0;
    for (;;) {
        n = GetPrivateProfileStringW(wsection.c_str(), wkey.c_str(), wdef.c_str(), buf.data(),
                                     static_cast<DWORD>(buf.size()), path_.c_str());
        if (n + 1 < buf.size() || buf.size() >= (1u << 20)) break;  // INI lines are short; stop anyway
        buf.resize(buf.size() * 2);
    }
    std::string value = WideToUtf8(buf.data(), static_cast<int>(n));
    if (value.size() > maxChars) value.resize(maxChars);
    return value;
}

bool CIniProfile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
    DWORD attributes = GetFileAttributesW(path_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;  // also when the process could write it anyway (Wine as root)
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A new file starts as UTF-16 so that the profile functions keep any text as it is;
        // an existing file keeps its encoding.
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            static const unsigned char bom[2] = {0xFF, 0xFE};
            DWORD written = 0;
            WriteFile(file, bom, sizeof bom, &written, nullptr);
            CloseHandle(file);
        }
    }
    return WritePrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(),
                                      Utf8ToWide(value).c_str(), path_.c_str()) != FALSE;
}
