#pragma once
// The settings file through the Windows private-profile functions.
#include <string>

#include "profile.h"

class CIniProfile : public IProfile {
public:
    // path is UTF-8, like every text inside the programs.
    explicit CIniProfile(const std::string& path);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def, size_t maxChars) override;
    // False when the file is read-only or cannot be written.
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override;

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};
