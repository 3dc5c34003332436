#pragma once
// Where a converted job is saved: the name the user chose, made a ".plt" file, with
// the barcode number in front of it for a contour job.
#include <cstdint>
#include <string>

struct PltSaveTarget {
    std::string path;         // the file to write
    bool showBarcode = false; // tell the user the barcode file name
    std::string shownPath;    // the path that message shows
};

// chosenPath and extension as the save dialog gives them (the extension without its dot).
PltSaveTarget PltSavePath(const std::string& chosenPath, const std::string& extension, bool contourMode,
                          int32_t markValue);
