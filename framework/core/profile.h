#pragma once
// Access to one private-profile (INI) file. Section and key names compare without
// regard to ASCII case, as the Windows profile functions do. Texts are UTF-8.
#include <map>
#include <string>
#include <vector>

class IProfile {
public:
    virtual ~IProfile() = default;
    // The key's value, or def when the key (or the file) is absent. A value longer than
    // maxChars is cut to maxChars bytes, like a buffer of maxChars + 1 bytes would.
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& def, size_t maxChars) = 0;
    // Stores value as the key's text, creating file, section and key as needed.
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

// An INI file held in memory: the native stand-in for the Windows profile functions,
// also able to read and write INI text so that tests can look at the written form.
class CMemoryProfile : public IProfile {
public:
    CMemoryProfile() = default;
    explicit CMemoryProfile(const std::string& iniText) { Parse(iniText); }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def, size_t maxChars) override;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override;

    void Parse(const std::string& iniText);
    std::string Text() const;
    // Raw lookup for tests; false when the key is absent.
    bool Has(const std::string& section, const std::string& key, std::string* value = nullptr) const;
    bool exists = false;      // false: no file; reads give defaults
    bool readOnly = false;    // writes fail (and change nothing)
    int writes = 0;           // successful writes so far

private:
    struct Key { std::string name, value; };
    struct Section { std::string name; std::vector<Key> keys; };
    std::vector<Section> sections_;
    Section* FindSection(const std::string& name);
    const Section* FindSection(const std::string& name) const;
};
