#include "job_output.h"

#include <cstdio>

PltSaveTarget PltSavePath(const std::string& chosenPath, const std::string& extension, bool contourMode,
                          int32_t markValue) {
    std::string ext = extension;
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const bool isPlt = ext == "plt";

    PltSaveTarget t;
    t.path = chosenPath;
    if (contourMode && markValue != 0) {
        size_t slash = chosenPath.find_last_of('\\');
        std::string folder = slash == std::string::npos ? std::string() : chosenPath.substr(0, slash + 1);
        std::string name = slash == std::string::npos ? chosenPath : chosenPath.substr(slash + 1);
        char prefix[24];
        std::snprintf(prefix, sizeof(prefix), "%04d-", static_cast<int>(markValue));
        t.path = folder + prefix + name;
        t.showBarcode = true;
        t.shownPath = isPlt ? t.path : t.path + ".plt";
    }
    if (!isPlt) t.path += ".plt";
    return t;
}
