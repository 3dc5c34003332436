#include "SerialPort.h"

#include <cstdio>
#include <cstring>

#include "fwstring.h"
#include "station_messages.h"

namespace {
// How long ending the worker may take before the port goes on without it.
const DWORD kWorkerEndMs = 5000;

HANDLE ResetOrCreate(HANDLE event) {
    if (event) {
        ResetEvent(event);
        return event;
    }
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}
}  // namespace

CSerialPort::CSerialPort() { InitializeCriticalSection(&m_lock); }

CSerialPort::~CSerialPort() {
    StopWorker();
    if (m_hComm) CloseHandle(m_hComm);
    for (HANDLE h : {m_shutdownEvent, m_writeEvent, m_ov.hEvent, m_writeOv.hEvent})
        if (h) CloseHandle(h);
    delete[] m_writeBuffer;
    DeleteCriticalSection(&m_lock);
}

void CSerialPort::StopWorker() {
    if (m_thread) {
        // Signalled until the worker has seen it, with a bound on the wait.
        DWORD start = GetTickCount();
        while (m_threadAlive && GetTickCount() - start < kWorkerEndMs) {
            SetEvent(m_shutdownEvent);
            if (WaitForSingleObject(m_thread, 50) == WAIT_OBJECT_0) break;
        }
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
}

BOOL CSerialPort::OpenPort(HWND owner, int port, long baud, char parity, int dataBits, int stopBits,
                           DWORD eventMask, int writeBufferSize) {
    StopWorker();

    m_ov.hEvent = ResetOrCreate(m_ov.hEvent);
    m_writeOv.hEvent = ResetOrCreate(m_writeOv.hEvent);
    m_writeEvent = ResetOrCreate(m_writeEvent);
    m_shutdownEvent = ResetOrCreate(m_shutdownEvent);
    m_events[0] = m_shutdownEvent;
    m_events[1] = m_writeEvent;
    m_events[2] = nullptr;

    EnterCriticalSection(&m_lock);
    m_owner = owner;
    if (writeBufferSize < 0) writeBufferSize = 0;
    delete[] m_writeBuffer;
    m_writeBuffer = new char[static_cast<size_t>(writeBufferSize) + 1];
    m_writeBuffer[0] = '\0';
    m_portNumber = port;
    m_messagePortNumber = port;
    m_writeBufferSize = writeBufferSize;
    m_eventMask = eventMask;

    if (m_hComm) {
        CloseHandle(m_hComm);
        Sleep(500);
        m_hComm = nullptr;
    }

    char name[50], line[50];
    std::snprintf(name, sizeof(name), "\\\\.\\COM%d", port);
    std::snprintf(line, sizeof(line), "baud=%ld parity=%c data=%d stop=%d", baud, parity, dataBits, stopBits);

    HANDLE h = CreateFileW(Utf8ToWide(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        LeaveCriticalSection(&m_lock);
        return FALSE;
    }
    m_hComm = h;

    const char* failed = nullptr;
    m_timeouts.ReadIntervalTimeout = 1000;
    m_timeouts.ReadTotalTimeoutMultiplier = 1000;
    m_timeouts.ReadTotalTimeoutConstant = 1000;
    m_timeouts.WriteTotalTimeoutMultiplier = 0;
    m_timeouts.WriteTotalTimeoutConstant = 0;
    if (!SetCommTimeouts(m_hComm, &m_timeouts)) failed = "SetCommTimeouts()";
    else if (!SetCommMask(m_hComm, eventMask)) failed = "SetCommMask()";
    else {
        m_dcb.DCBlength = sizeof(m_dcb);
        if (!GetCommState(m_hComm, &m_dcb)) failed = "GetCommState()";
        else {
            m_dcb.fOutxCtsFlow = TRUE;
            if (!BuildCommDCBW(Utf8ToWide(line).c_str(), &m_dcb)) failed = "BuildCommDCB()";
            else if (!SetCommState(m_hComm, &m_dcb)) failed = "SetCommState()";
        }
    }
    if (failed) {
        // The handle stays open until the next open closes it.
        ShowPortError(failed);
        LeaveCriticalSection(&m_lock);
        return FALSE;
    }
    PurgeComm(m_hComm, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    LeaveCriticalSection(&m_lock);
    return TRUE;
}

BOOL CSerialPort::StartMonitor() {
    if (m_thread) return TRUE;
    m_thread = CreateThread(nullptr, 0, &CSerialPort::PortThreadProc, this, 0, nullptr);
    return m_thread != nullptr;
}

BOOL CSerialPort::WriteToPort(const std::string& text) {
    if (!m_thread || !m_writeBuffer) return FALSE;
    EnterCriticalSection(&m_lock);
    size_t n = text.size() < static_cast<size_t>(m_writeBufferSize) ? text.size() : static_cast<size_t>(m_writeBufferSize);
    std::memcpy(m_writeBuffer, text.data(), n);
    m_writeBuffer[n] = '\0';
    LeaveCriticalSection(&m_lock);
    SetEvent(m_writeEvent);
    return TRUE;
}

HANDLE CSerialPort::GetPortHandle() const { return m_hComm ? m_hComm : INVALID_HANDLE_VALUE; }

DWORD WINAPI CSerialPort::PortThreadProc(LPVOID param) {
    auto* port = static_cast<CSerialPort*>(param);
    InterlockedExchange(&port->m_threadAlive, 1);
    if (port->m_hComm) PurgeComm(port->m_hComm, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    bool eventWaitPending = false;
    while (port->m_threadAlive) {
        DWORD events = 0;
        // One line-event wait at a time: a new one is asked for only once the last has ended.
        if (eventWaitPending && HasOverlappedIoCompleted(&port->m_ov)) eventWaitPending = false;
        if (!eventWaitPending) {
            if (WaitCommEvent(port->m_hComm, &events, &port->m_ov)) {
                ResetEvent(port->m_ov.hEvent);
            } else {
                DWORD error = GetLastError();
                if (error == ERROR_IO_PENDING) eventWaitPending = true;
                else if (error != ERROR_INVALID_PARAMETER) PostMessageW(port->m_owner, WM_PORT_ERROR, 0, 2);
            }
        }
        DWORD which = WaitForMultipleObjects(2, port->m_events, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0) {
            InterlockedExchange(&port->m_threadAlive, 0);
            break;
        }
        if (which == WAIT_OBJECT_0 + 1) {
            EnterCriticalSection(&port->m_lock);
            DWORD length = static_cast<DWORD>(std::strlen(port->m_writeBuffer));
            LeaveCriticalSection(&port->m_lock);
            WriteBuffer(port);
            SendMessageW(port->m_owner, WM_PORT_WRITTEN, 0, static_cast<LPARAM>(length));
        }
    }
    if (eventWaitPending) CancelIo(port->m_hComm);
    return 0;
}

void CSerialPort::WriteBuffer(CSerialPort* port) {
    ResetEvent(port->m_writeEvent);
    EnterCriticalSection(&port->m_lock);
    port->m_writeOv.Offset = 0;
    port->m_writeOv.OffsetHigh = 0;
    PurgeComm(port->m_hComm, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    DWORD length = static_cast<DWORD>(std::strlen(port->m_writeBuffer)), written = 0;
    if (WriteFile(port->m_hComm, port->m_writeBuffer, length, &written, &port->m_writeOv)) {
        LeaveCriticalSection(&port->m_lock);
    } else if (GetLastError() == ERROR_IO_PENDING) {
        BOOL ok = GetOverlappedResult(port->m_hComm, &port->m_writeOv, &written, TRUE);
        LeaveCriticalSection(&port->m_lock);
        if (!ok) SendMessageW(port->m_owner, WM_PORT_ERROR, 0, 1);
    } else {
        LeaveCriticalSection(&port->m_lock);
        PostMessageW(port->m_owner, WM_PORT_ERROR, 0, 4);
    }
    DWORD errors = 0;
    COMSTAT stat;
    ClearCommError(port->m_hComm, &errors, &stat);
}

void CSerialPort::ShowPortError(const char* call) {
    wchar_t* system = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, GetLastError(),
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&system), 0, nullptr);
    std::string message = system ? WideToUtf8(system) : std::string();
    char text[200];
    std::snprintf(text, sizeof(text), "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n", call,
                  message.c_str(), m_messagePortNumber);
    // A text cut at the limit must not end inside a character.
    std::string shown = text;
    if (shown.size() == sizeof(text) - 1) {
        size_t lead = shown.size();
        while (lead > 0 && (static_cast<unsigned char>(shown[lead - 1]) & 0xC0) == 0x80) --lead;
        if (lead > 0) {
            unsigned char c = static_cast<unsigned char>(shown[lead - 1]);
            size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            if (lead - 1 + need > shown.size()) shown.resize(lead - 1);
        }
    }
    MessageBoxW(nullptr, Utf8ToWide(shown).c_str(), L"Application Error", MB_ICONERROR);
    if (system) LocalFree(system);
}
