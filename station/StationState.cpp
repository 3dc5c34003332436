#include "StationState.h"

uint8_t g_idle = 1;
int32_t g_exportPermit = 1;
uint8_t g_blinkToggle = 1;
HANDLE g_stopEvent = nullptr;
HANDLE g_watcherThread = nullptr;
std::string g_watcherFolder;

#include "SerialPort.h"

CSerialPort g_serialPort;
