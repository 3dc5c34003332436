#pragma once
// The cutter's link: the USB printing-class device, or, for tests only, a simulated
// cutter serving the named pipe that KELMIRT_CUTTER_PIPE names.
#include <windows.h>

#include <string>

// {28D78FAD-5A12-11D1-AE5B-0000F803A8C2}: the interface class the cutter appears under.
extern const GUID kUsbPrintInterface;

// \\.\pipe\NAME when the environment names a simulated cutter, else empty.
std::string SimulatedCutterPath();
