#include "StationState.h"

uint8_t g_idle = 1;
int32_t g_exportPermit = 1;
uint8_t g_blinkToggle = 1;
HANDLE g_stopEvent = nullptr;
HANDLE g_watcherThread = nullptr;
std::string g_watcherFolder;

#include "SerialPort.h"
#include "fwstring.h"

CSerialPort g_serialPort;

std::string TempFolder() {
    // Asked for its length first: a temporary folder longer than MAX_PATH must not be
    // read past the end of a fixed buffer.
    std::wstring temp(GetTempPathW(0, nullptr) + 1, L'\0');
    DWORD n = GetTempPathW(static_cast<DWORD>(temp.size()), &temp[0]);
    if (n >= temp.size()) n = 0;
    return WideToUtf8(temp.c_str(), static_cast<int>(n));
}
