#pragma once
// Reading one DXF drawing into the program-wide stores (entity_store.h).
#include <cstddef>
#include <string>

#include "notice.h"

enum class DxfReadResult {
    kRead,         // the drawing is in the stores (possibly without entities)
    kCannotOpen,   // the file could not be opened or read; nothing is shown
    kRefused,      // damaged or hostile content; the user has been told
    kOutOfMemory,  // the drawing needs more memory than there is; the caller reports it
};

// Reads the drawing at path (UTF-8). Every outcome starts a new import, so the stores
// never keep the previous drawing's entities; on anything but kRead they hold no entities.
// The version warning, refusals and failed bulge arcs are shown through notice.
DxfReadResult ReadDxfFile(const std::string& path, INotice& notice);
// The same for a drawing already in memory.
DxfReadResult ReadDxfText(const char* data, size_t size, INotice& notice);
