#pragma once
// The list of recently opened files, newest first, kept in the per-user registry as the
// values File1, File2, ... of the key "Recent File List" under the program's key.
#include <string>
#include <vector>

class CRecentFileList {
public:
    // programKey: the path under HKEY_CURRENT_USER (empty: kept in memory only).
    CRecentFileList(const std::string& programKey, size_t size);

    void Add(const std::string& path);  // to the top; an entry already there moves up
    void Remove(size_t index);
    size_t GetSize() const { return m_size; }
    const std::vector<std::string>& Files() const { return m_files; }
    void ReadList();
    void WriteList() const;
    // The menu text of entry index: "&1 " and the path, shortened in the middle when long.
    std::string MenuText(size_t index) const;

private:
    std::string m_key;
    size_t m_size;
    std::vector<std::string> m_files;
};
