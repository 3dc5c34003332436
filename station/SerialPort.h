#pragma once
// The serial port link: a COM port opened for overlapped I/O, and one worker thread
// that writes the pending text and reports to its owner window with WM_PORT_WRITTEN
// (lParam: bytes written) and WM_PORT_ERROR (codes 1, 2 and 4).
#include <windows.h>

#include <string>

class CSerialPort {
public:
    CSerialPort();
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens "\\.\COM<port>" with the line "baud=%ld parity=%c data=%d stop=%d". A worker
    // that runs is ended first and an open port closed.
    BOOL OpenPort(HWND owner, int port, long baud, char parity, int dataBits, int stopBits, DWORD eventMask,
                  int writeBufferSize);
    // Starts the worker thread; TRUE when it was created.
    BOOL StartMonitor();
    // Puts text (up to the write buffer's size) into the write buffer and asks the worker
    // to write it; FALSE while no worker runs.
    BOOL WriteToPort(const std::string& text);
    // The port handle, or INVALID_HANDLE_VALUE while no port is open.
    HANDLE GetPortHandle() const;
    int PortNumber() const { return m_portNumber; }
    BOOL IsWorkerAlive() const { return m_threadAlive; }
    // Tells the user which call failed, with the system's text for the last error.
    void ShowPortError(const char* call);

protected:
    static DWORD WINAPI PortThreadProc(LPVOID port);
    static void WriteBuffer(CSerialPort* port);
    void StopWorker();

    int m_portNumber = 0;
    HANDLE m_thread = nullptr;
    CRITICAL_SECTION m_lock;
    volatile LONG m_threadAlive = 0;
    HANDLE m_shutdownEvent = nullptr;
    HANDLE m_hComm = nullptr;
    HANDLE m_writeEvent = nullptr;
    HANDLE m_events[3] = {nullptr, nullptr, nullptr};
    OVERLAPPED m_ov = {};       // line events
    OVERLAPPED m_writeOv = {};  // writes: a record of their own, not the pending event wait's
    COMMTIMEOUTS m_timeouts = {};
    DCB m_dcb = {};
    HWND m_owner = nullptr;
    int m_messagePortNumber = 0;
    char* m_writeBuffer = nullptr;
    DWORD m_eventMask = 0;
    int m_writeBufferSize = 0;
};

extern CSerialPort g_serialPort;
