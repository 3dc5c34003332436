#pragma once
// The drawing program's automation objects, one typed call per member we use.
#include <string>

#include "ole.h"

// The application object of versions 12 to 2019.
class CDrawAppDriver : public COleDispatchDriver {
public:
    std::string GetSettingsFolder();           // ends in a separator
    BOOL GetVbaAvailable();
    void LoadWorkspace(const std::string& path);
    LPDISPATCH GetGmsFolderObject();
    void Finish();                             // once the GMS folder has been read
};

// The application object of version 11.
class CDrawApp11Driver : public COleDispatchDriver {
public:
    BOOL GetVbaAvailable();
    void SetLoadFlag(BOOL value);              // TRUE before loading
    LPDISPATCH Prepare();                      // called once before loading
    void LoadCommandFile(const std::string& path);
    LPDISPATCH GetGmsFolderObject();
    void Finish();
};

// The object that gives the GMS (global macro) folder.
class CGmsFolderDriver : public COleDispatchDriver {
public:
    std::string GetFolder();
};
