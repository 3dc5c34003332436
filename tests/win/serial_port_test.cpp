// The serial port link on a real serial line: tools/serial-pair.sh joins COM7 and
// COM8 of the Wine prefix through a pseudo-terminal pair (KM_SERIAL_PORTS names them).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "SerialPort.h"
#include "station_messages.h"

namespace {

// What the worker reports to its owner window.
struct Owner {
    struct Report {
        UINT msg;
        LPARAM lp;
    };
    std::vector<Report> reports;
    HWND h = nullptr;

    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<Owner*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        if (self && (msg == WM_PORT_WRITTEN || msg == WM_PORT_ERROR)) {
            self->reports.push_back({msg, lp});
            return 1;
        }
        return DefWindowProcW(w, msg, wp, lp);
    }
    Owner() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"serial test owner";
        RegisterClassW(&wc);
        h = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Owner() { DestroyWindow(h); }
    // Pumps messages until a report of this kind arrives or the time is up.
    bool WaitFor(UINT msg, LPARAM lp, DWORD ms) {
        DWORD start = GetTickCount();
        for (;;) {
            for (const Report& r : reports)
                if (r.msg == msg && r.lp == lp) return true;
            if (GetTickCount() - start > ms) return false;
            MSG m;
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
};

bool WaitUntilAlive(const CSerialPort& port) {
    for (int i = 0; i < 150 && !port.IsWorkerAlive(); ++i) Sleep(20);
    return port.IsWorkerAlive() != FALSE;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* ports = std::getenv("KM_SERIAL_PORTS");
        if (!ports) GTEST_SKIP() << "no serial line (run through tools/serial-pair.sh)";
        std::istringstream in(ports);
        in >> near_ >> far_;
        ASSERT_GT(near_, 0);
        ASSERT_GT(far_, 0);
    }
    // The far end, opened plainly for reading.
    HANDLE OpenFarEnd() {
        std::wstring name = L"\\\\.\\COM" + std::to_wstring(far_);
        HANDLE h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            COMMTIMEOUTS t = {};
            t.ReadIntervalTimeout = 200;
            t.ReadTotalTimeoutConstant = 3000;
            SetCommTimeouts(h, &t);
        }
        return h;
    }
    static std::string ReadUpTo(HANDLE h, size_t n) {
        std::string got;
        DWORD start = GetTickCount();
        while (got.size() < n && GetTickCount() - start < 5000) {
            char buf[256];
            DWORD read = 0;
            if (!ReadFile(h, buf, sizeof(buf), &read, nullptr)) break;
            got.append(buf, read);
        }
        return got;
    }
    int near_ = 0, far_ = 0;
};

// Lets a test put another handle under the port, as a cable that broke would.
class CTestSerialPort : public CSerialPort {
public:
    void ReplaceHandle(HANDLE h) {
        CloseHandle(m_hComm);
        m_hComm = h;
    }
};

}  // namespace

TEST_F(SerialPortTest, NeverOpenedPortHasNoHandle) {
    CSerialPort port;
    EXPECT_EQ(port.GetPortHandle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(port.PortNumber(), 0);
    EXPECT_FALSE(port.WriteToPort("x"));  // no worker yet
    // The purge at the station's end is then a harmless failed call.
    EXPECT_FALSE(PurgeComm(port.GetPortHandle(), 15));
}

TEST_F(SerialPortTest, MissingPortFailsSilently) {
    Owner owner;
    CSerialPort port;
    EXPECT_FALSE(port.OpenPort(owner.h, 199, 9600, 'N', 8, 1, EV_CTS, 8));
    EXPECT_EQ(port.GetPortHandle(), INVALID_HANDLE_VALUE);
}

TEST_F(SerialPortTest, WorkerWritesTheTextToTheOtherEndAndReportsItsLength) {
    Owner owner;
    HANDLE farEnd = OpenFarEnd();
    ASSERT_NE(farEnd, INVALID_HANDLE_VALUE);
    {
        CSerialPort port;
        // The station's line: its baud rate, no parity, 8 data bits, 1 stop bit, CTS events.
        ASSERT_TRUE(port.OpenPort(owner.h, near_, 9600, 'N', 8, 1, EV_CTS, 64));
        ASSERT_NE(port.GetPortHandle(), INVALID_HANDLE_VALUE);
        EXPECT_EQ(port.PortNumber(), near_);
        DCB dcb = {};
        dcb.DCBlength = sizeof(dcb);
        ASSERT_TRUE(GetCommState(port.GetPortHandle(), &dcb));
        EXPECT_EQ(dcb.BaudRate, 9600u);
        EXPECT_EQ(dcb.ByteSize, 8);
        EXPECT_EQ(dcb.Parity, NOPARITY);
        EXPECT_EQ(dcb.StopBits, ONESTOPBIT);

        ASSERT_TRUE(port.StartMonitor());
        ASSERT_TRUE(WaitUntilAlive(port));
        const std::string text = "IN;PU0,0;PD400,0;@";
        ASSERT_TRUE(port.WriteToPort(text));
        EXPECT_TRUE(owner.WaitFor(WM_PORT_WRITTEN, static_cast<LPARAM>(text.size()), 5000));
        EXPECT_EQ(ReadUpTo(farEnd, text.size()), text);

        // A text longer than the write buffer is cut to its size.
        ASSERT_TRUE(port.WriteToPort(std::string(100, 'A')));
        EXPECT_TRUE(owner.WaitFor(WM_PORT_WRITTEN, 64, 5000));
        EXPECT_EQ(ReadUpTo(farEnd, 64), std::string(64, 'A'));
    }  // the destructor ends the worker
    CloseHandle(farEnd);
}

TEST_F(SerialPortTest, ReopeningEndsTheWorkerAndOpensAgain) {
    Owner owner;
    CSerialPort port;
    ASSERT_TRUE(port.OpenPort(owner.h, near_, 9600, 'N', 8, 1, EV_CTS, 8));
    ASSERT_TRUE(port.StartMonitor());
    ASSERT_TRUE(WaitUntilAlive(port));
    ASSERT_TRUE(port.OpenPort(owner.h, near_, 19200, 'N', 8, 1, EV_CTS, 8));
    EXPECT_FALSE(port.IsWorkerAlive());
    ASSERT_TRUE(port.StartMonitor());
    EXPECT_TRUE(WaitUntilAlive(port));
}

TEST_F(SerialPortTest, FailingWriteRaisesCodeFour) {
    Owner owner;
    wchar_t temp[MAX_PATH], file[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    GetTempFileNameW(temp, L"ser", 0, file);
    {
        CTestSerialPort port;
        ASSERT_TRUE(port.OpenPort(owner.h, near_, 9600, 'N', 8, 1, EV_CTS, 8));
        // A handle that refuses writes in place of the line.
        HANDLE readOnly = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OVERLAPPED, nullptr);
        ASSERT_NE(readOnly, INVALID_HANDLE_VALUE);
        port.ReplaceHandle(readOnly);
        ASSERT_TRUE(port.StartMonitor());
        ASSERT_TRUE(WaitUntilAlive(port));
        ASSERT_TRUE(port.WriteToPort("PU0,0;"));
        EXPECT_TRUE(owner.WaitFor(WM_PORT_ERROR, 4, 5000));
        EXPECT_TRUE(owner.WaitFor(WM_PORT_WRITTEN, 6, 5000));
    }
    DeleteFileW(file);
}
