#pragma once
// The serial port link. Only what the station's shell needs so far.
#include <windows.h>

class CSerialPort {
public:
    CSerialPort() = default;
    ~CSerialPort() {
        if (m_hComm) CloseHandle(m_hComm);
    }
    // Purges the port; a port that was never opened makes this a failed call, nothing more.
    BOOL Purge(DWORD flags) { return PurgeComm(m_hComm, flags); }

    HANDLE m_hComm = nullptr;
};

extern CSerialPort g_serialPort;
