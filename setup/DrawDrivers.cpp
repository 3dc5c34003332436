#include "DrawDrivers.h"

std::string CDrawAppDriver::GetSettingsFolder() { return GetPropertyString(0x6002006B); }
BOOL CDrawAppDriver::GetVbaAvailable() { return InvokeMethodBool(0x60020051); }
void CDrawAppDriver::LoadWorkspace(const std::string& path) { InvokeMethod(0x60020045, {path}); }
LPDISPATCH CDrawAppDriver::GetGmsFolderObject() { return GetPropertyDispatch(0x60020044); }
void CDrawAppDriver::Finish() { InvokeMethod(0x6002000E); }

BOOL CDrawApp11Driver::GetVbaAvailable() { return InvokeMethodBool(0x6002005F); }
void CDrawApp11Driver::SetLoadFlag(BOOL value) { SetPropertyBool(0x60020002, value); }
LPDISPATCH CDrawApp11Driver::Prepare() { return InvokeMethodDispatch(0x6002001F); }
void CDrawApp11Driver::LoadCommandFile(const std::string& path) { InvokeMethod(0x6002004F, {path}); }
LPDISPATCH CDrawApp11Driver::GetGmsFolderObject() { return GetPropertyDispatch(0x6002004E); }
void CDrawApp11Driver::Finish() { InvokeMethod(0x60020011); }

std::string CGmsFolderDriver::GetFolder() { return GetPropertyString(0x60020000); }
