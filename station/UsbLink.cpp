// The cutter on USB: a printing-class device with the maker's vendor and product ids.
#include <windows.h>
#include <setupapi.h>

#include <cstring>
#include <vector>

#include "TestDlg.h"
#include "fwstring.h"

namespace {
const char kCutterHardwareId[] = "USB\\VID_03EB&PID_6200";
}

BOOL CTestDlg::FindCutterDevice() {
    static const GUID usbPrint = {0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};
    HDEVINFO set = SetupDiGetClassDevsA(&usbPrint, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return FALSE;
    std::vector<unsigned char> buffer(261);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    BOOL found = FALSE;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA iface = {};
        iface.cbSize = sizeof(iface);
        if (!SetupDiEnumDeviceInterfaces(set, nullptr, &usbPrint, index, &iface)) break;
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        SP_DEVINFO_DATA info = {};
        info.cbSize = sizeof(info);
        if (!SetupDiGetDeviceInterfaceDetailA(set, &iface, detail, static_cast<DWORD>(buffer.size()), nullptr, &info))
            break;
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

// The status request comes with the sending machinery; until then no reply arrives.
bool CTestDlg::QueryDeviceStatus() { return false; }

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

LRESULT CTestDlg::OnDeviceChange(WPARAM, LPARAM) { return TRUE; }
