// The cutter on USB: a printing-class device with the maker's vendor and product ids.
#include "UsbLink.h"

#include <setupapi.h>

#include <cstring>
#include <vector>

#include "StationState.h"
#include "TestDlg.h"
#include "app.h"
#include "cutter_status.h"
#include "fwstring.h"
#include "resource.h"

const GUID kUsbPrintInterface = {0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};

namespace {
const char kCutterHardwareId[] = "USB\\VID_03EB&PID_6200";
const DWORD kDetailBufferBytes = 261;
const DWORD kStatusWaitMs = 1000;

// Setup layer failures end the search; the text goes to the debugger's log, since the
// callers only tell found from not found and an arrival may come often.
void ReportSearchError(const char* format) {
    std::string text = FormatText(format, static_cast<unsigned long>(GetLastError()));
    OutputDebugStringA((text + "\n").c_str());
}

bool IsSimulated(const std::string& path) { return path.compare(0, 9, "\\\\.\\pipe\\") == 0; }

// The status request on the simulator's pipe: the request frame goes out, then the
// reply is read with the overlapped record, so the caller waits for it as for the
// device's own request.
BOOL PipeStatusRequest(HANDLE h, OVERLAPPED* ov, void* reply, DWORD replyBytes) {
    uint8_t frame[kPipeStatusFrameBytes];
    MakePipeStatusFrame(frame);
    OVERLAPPED w = {};
    w.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD n = 0;
    BOOL ok = WriteFile(h, frame, sizeof(frame), nullptr, &w);
    if (!ok && GetLastError() == ERROR_IO_PENDING) {
        WaitForSingleObject(w.hEvent, kStatusWaitMs);
        ok = GetOverlappedResult(h, &w, &n, FALSE);
        if (!ok) {
            CancelIo(h);
            GetOverlappedResult(h, &w, &n, TRUE);
        }
    }
    CloseHandle(w.hEvent);
    if (!ok) {
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    return ReadFile(h, reply, replyBytes, nullptr, ov);
}
}  // namespace

std::string SimulatedCutterPath() {
    char name[200];
    DWORD n = GetEnvironmentVariableA("KELMIRT_CUTTER_PIPE", name, sizeof(name));
    if (n == 0 || n >= sizeof(name)) return std::string();
    return std::string("\\\\.\\pipe\\") + name;
}

BOOL CTestDlg::FindCutterDevice() {
    std::string simulated = SimulatedCutterPath();
    if (!simulated.empty()) {
        // A pipe whose instances are all busy exists all the same.
        bool present = WaitNamedPipeA(simulated.c_str(), 1) || GetLastError() == ERROR_SEM_TIMEOUT ||
                       GetLastError() == ERROR_PIPE_BUSY;
        if (present) m_devicePath = simulated;
        return present ? TRUE : FALSE;
    }
    HDEVINFO set = SetupDiGetClassDevsA(&kUsbPrintInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        ReportSearchError("SetupDiGetClassDevs failed. (err=%lx)");
        return FALSE;
    }
    std::vector<unsigned char> buffer(kDetailBufferBytes);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    BOOL found = FALSE;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA iface = {};
        iface.cbSize = sizeof(iface);
        if (!SetupDiEnumDeviceInterfaces(set, nullptr, &kUsbPrintInterface, index, &iface)) {
            if (GetLastError() != ERROR_NO_MORE_ITEMS) ReportSearchError("SetupDiEnumDeviceInterfaces failed. (err=%lx)");
            break;
        }
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        SP_DEVINFO_DATA info = {};
        info.cbSize = sizeof(info);
        if (!SetupDiGetDeviceInterfaceDetailA(set, &iface, detail, kDetailBufferBytes, nullptr, &info)) {
            ReportSearchError("SetupDiGetDeviceInterfaceDetail failed. (err=%lx)");
            break;
        }
        char hardwareId[256] = {0};
        if (SetupDiGetDeviceRegistryPropertyA(set, &info, SPDRP_HARDWAREID, nullptr,
                                              reinterpret_cast<BYTE*>(hardwareId), sizeof(hardwareId) - 1, nullptr) &&
            std::strncmp(hardwareId, kCutterHardwareId, 21) == 0) {
            m_devicePath = detail->DevicePath;
            found = TRUE;
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return found;
}

HANDLE CTestDlg::OpenCutterDevice() {
    if (m_hDevice && m_hDevice != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hDevice);
        Sleep(500);
        m_hDevice = nullptr;
    }
    if (m_devicePath.empty()) return INVALID_HANDLE_VALUE;
    m_hDevice = CreateFileA(m_devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OVERLAPPED, nullptr);
    return m_hDevice;
}

void CTestDlg::PrepareOverlapped() {
    HANDLE event = m_overlapped.hEvent;
    if (!event) event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::memset(&m_overlapped, 0, sizeof(m_overlapped));
    m_overlapped.hEvent = event;
    ResetEvent(event);
}

bool CTestDlg::QueryDeviceStatus() {
    bool noAnswer = false;
    if (AskDeviceStatus(noAnswer)) return true;
    if (noAnswer) MessageBox("没有得到参数");
    return false;
}

bool CTestDlg::AskDeviceStatus(bool& noAnswer) {
    noAnswer = false;
    // While sending, the device handle and the overlapped record are the send's.
    if (!g_idle) return false;
    HANDLE h = OpenCutterDevice();
    if (h == INVALID_HANDLE_VALUE) {
        m_hDevice = nullptr;
        return false;
    }
    PrepareOverlapped();
    // The system may write into the reply until the request ends, so it lives as long as the dialog.
    static uint8_t reply[kStatusReplyBytes];
    std::memset(reply, 0, sizeof(reply));
    DWORD got = 0;
    BOOL done;
    if (IsSimulated(m_devicePath)) {
        done = PipeStatusRequest(h, &m_overlapped, reply, sizeof(reply));
    } else {
        done = DeviceIoControl(h, kUsbPrintVendorGetCommand, const_cast<uint8_t*>(kStatusRequest),
                               sizeof(kStatusRequest), reply, sizeof(reply), nullptr, &m_overlapped);
    }
    BOOL ok = TRUE;
    if (done) {
        GetOverlappedResult(h, &m_overlapped, &got, FALSE);
    } else {
        // A request refused at once has nothing to wait for.
        bool pending = GetLastError() == ERROR_IO_PENDING;
        if (pending) WaitForSingleObject(m_overlapped.hEvent, kStatusWaitMs);
        ok = pending && GetOverlappedResult(h, &m_overlapped, &got, FALSE);
        if (pending && !ok) {
            // No answer in time: the request must be over before its record is used again.
            CancelIo(h);
            DWORD ignored;
            GetOverlappedResult(h, &m_overlapped, &ignored, TRUE);
        }
    }
    CloseHandle(h);
    m_hDevice = nullptr;
    // A reply too short to hold the ready byte is no reply.
    if (!ok || got <= kStatusReadyByte) {
        noAnswer = true;
        return false;
    }
    m_deviceStatus[0] = static_cast<uint16_t>(reply[0] | (reply[1] << 8));
    m_deviceStatus[1] = static_cast<uint16_t>(reply[2] | (reply[3] << 8));
    m_deviceReady = reply[kStatusReadyByte];
    return true;
}

CutterCheck CTestDlg::CheckCutterForSend() {
    bool noAnswer = false;
    if (!AskDeviceStatus(noAnswer)) return noAnswer ? CutterCheck::kNoAnswer : CutterCheck::kNoDevice;
    if (!m_deviceReady) return CutterCheck::kNotReady;
    if (OpenCutterDevice() == INVALID_HANDLE_VALUE) {
        m_hDevice = nullptr;
        return CutterCheck::kNotOpened;
    }
    return CutterCheck::kOpened;
}

void CTestDlg::TellCutterCheck(CutterCheck check) {
    const UINT stopOnTop = MB_ICONSTOP | MB_TOPMOST;
    switch (check) {
        case CutterCheck::kNoAnswer:
            MessageBox("没有得到参数");
            [[fallthrough]];
        case CutterCheck::kNoDevice:
            MessageBox(m_english ? "No cutting plotter available! \r\n Please check the connection cable and power switch"
                                 : "没有可用切绘设备！\r\n请检查连接线缆及电源开关",
                       "", stopOnTop);
            break;
        case CutterCheck::kNotReady:
            MessageBox(m_english ? "Plot device is not ready!\r\nPress RUN/STOP key for cutting,please."
                                 : "切绘设备尚未准备就绪！\r\n请按 联机 键",
                       "", stopOnTop);
            break;
        case CutterCheck::kNotOpened:
            MessageBox("Port is not ready!");
            break;
        case CutterCheck::kOpened:
            break;
    }
}

void CTestDlg::LookForCutter() {
    if (FindCutterDevice()) {
        QueryDeviceStatus();
        SetStatusText("Ready", AfxGetApp()->LoadString(IDS_READY));
    } else {
        SetStatusText("Not find plotter device", "没有可用切绘设备");
        m_banner.ShowWindow(SW_HIDE);
    }
}

BOOL CTestDlg::RegisterDeviceWatch(const GUID& interfaceClass, HWND recipient, HDEVNOTIFY* handle) {
    DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = interfaceClass;
    *handle = RegisterDeviceNotificationA(recipient, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!*handle) {
        MessageBox("RegisterDeviceNotification failed!");
        return FALSE;
    }
    return TRUE;
}

BOOL CTestDlg::UnregisterDeviceWatch(HDEVNOTIFY handle) {
    if (!handle) return TRUE;
    if (!UnregisterDeviceNotification(handle)) {
        MessageBox("UnregisterDeviceNotification failed!");
        return FALSE;
    }
    return TRUE;
}

LRESULT CTestDlg::OnDeviceChange(WPARAM event, LPARAM) {
    if (event == DBT_DEVICEARRIVAL) {
        if (!FindCutterDevice()) return TRUE;
        if (!g_idle) {
            // The send holds the device; its status text stays, only the banner follows.
            m_banner.SetWindowText("DREVIK PLOTTER \r\n");
            m_banner.ShowWindow(SW_SHOW);
            return TRUE;
        }
        SetStatusText("Plot device connected", "刻绘机已经连接");
        Sleep(1000);
        QueryDeviceStatus();
        m_banner.SetWindowText("DREVIK PLOTTER \r\n");
        m_banner.ShowWindow(SW_SHOW);
    } else if (event == DBT_DEVICEREMOVECOMPLETE) {
        if (FindCutterDevice()) return TRUE;
        SetStatusText("Plot device disconnected", "刻绘机已离线");
        m_banner.ShowWindow(SW_HIDE);
    }
    return TRUE;
}
