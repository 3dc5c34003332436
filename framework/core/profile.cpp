#include "profile.h"

#include <algorithm>
#include <cctype>

namespace {
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}
}  // namespace

CMemoryProfile::Section* CMemoryProfile::FindSection(const std::string& name) {
    for (auto& s : sections_) if (SameName(s.name, name)) return &s;
    return nullptr;
}
const CMemoryProfile::Section* CMemoryProfile::FindSection(const std::string& name) const {
    for (auto& s : sections_) if (SameName(s.name, name)) return &s;
    return nullptr;
}

bool CMemoryProfile::Has(const std::string& section, const std::string& key, std::string* value) const {
    const Section* s = FindSection(section);
    if (!s) return false;
    for (auto& k : s->keys)
        if (SameName(k.name, key)) { if (value) *value = k.value; return true; }
    return false;
}

std::string CMemoryProfile::ReadString(const std::string& section, const std::string& key,
                                       const std::string& def, size_t maxChars) {
    std::string v;
    if (!exists || !Has(section, key, &v)) v = def;
    // The profile functions drop one pair of enclosing quotes.
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    if (v.size() > maxChars) v.resize(maxChars);
    return v;
}

bool CMemoryProfile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    if (readOnly) return false;
    exists = true;
    Section* s = FindSection(section);
    if (!s) { sections_.push_back(Section{section, {}}); s = &sections_.back(); }
    for (auto& k : s->keys)
        if (SameName(k.name, key)) { k.value = value; ++writes; return true; }
    s->keys.push_back(Key{key, value});
    ++writes;
    return true;
}

void CMemoryProfile::Parse(const std::string& iniText) {
    exists = true;
    sections_.clear();
    Section* cur = nullptr;
    size_t pos = 0;
    while (pos <= iniText.size()) {
        size_t eol = iniText.find('\n', pos);
        if (eol == std::string::npos) eol = iniText.size();
        std::string line = Trim(iniText.substr(pos, eol - pos));
        pos = eol + 1;
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            std::string name = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            cur = FindSection(name);
            if (!cur) { sections_.push_back(Section{name, {}}); cur = &sections_.back(); }
            continue;
        }
        if (!cur) continue;
        size_t eq = line.find('=');
        std::string name = Trim(line.substr(0, eq));
        std::string value = eq == std::string::npos ? std::string() : Trim(line.substr(eq + 1));
        bool found = false;
        for (auto& k : cur->keys) if (SameName(k.name, name)) { found = true; break; }
        if (!found) cur->keys.push_back(Key{name, value});  // the first of duplicate keys wins
    }
}

std::string CMemoryProfile::Text() const {
    std::string out;
    for (auto& s : sections_) {
        out += "[" + s.name + "]\r\n";
        for (auto& k : s.keys) out += k.name + "=" + k.value + "\r\n";
    }
    return out;
}
