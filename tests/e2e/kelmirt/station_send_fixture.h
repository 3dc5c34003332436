#pragma once
// Sending tests' helpers: a simulated cutter process (cutter-sim.exe serving the named
// pipe that KELMIRT_CUTTER_PIPE names), a station started with it, and synchronous
// sends from a thread of their own.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <memory>
#include <thread>

#include "station_fixture.h"

namespace kelmirt_e2e {

using namespace e2e;

constexpr int kStopButton = 1000, kSettingsButton = 1001, kOpenPltButton = 1002, kBanner = 1008;
constexpr int kAutoRadio = 1017, kFileRadio = 1018;
const char kEnglishIni[] = "[Language]\r\nLan=English\r\n";
const char kBusy[] = "正在切割，请稍后再试!";
const char kAborted[] = "本次刻绘意外中止或被取消!请复位刻绘机!";

inline std::string JobFilePath() { return TempDir() + "ornavexjob.008"; }

inline std::string ReadBinary(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline bool WriteBinary(const std::string& path, const std::string& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(data.data(), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(f);
}

// A stream that shows misplaced or lost chunks: each line numbers itself.
inline std::string Stream(size_t n) {
    std::string s;
    for (int line = 0; s.size() < n; ++line) s += "PU" + std::to_string(line * 7) + "," + std::to_string(line) + ";\n";
    s.resize(n);
    return s;
}

// One simulated cutter process and the files it writes.
class CutterSim {
public:
    CutterSim() {
        static int serial = 0;
        name_ = "kelmirt-test-cutter-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
        out_ = JoinPath(OutputDir(), name_ + ".out");
        chunks_ = JoinPath(OutputDir(), name_ + ".chunks");
    }
    ~CutterSim() { Stop(); }

    const std::string& Name() const { return name_; }
    std::string PipePath() const { return "\\\\.\\pipe\\" + name_; }

    bool Start(const std::string& options = "") {
        Stop();
        Clear();
        LaunchOptions o;
        o.program = KM_CUTTER_SIM;
        o.copySiblings = false;
        o.arguments = "--pipe " + name_ + " --out \"" + out_ + "\" --chunks \"" + chunks_ + "\" " + options;
        o.runName = name_;
        prog_ = std::make_unique<CProgram>();
        if (!prog_->Start(o)) {
            ADD_FAILURE() << prog_->Error();
            return false;
        }
        return WaitUntil([&] { return Present(); }, 10000);
    }
    void Stop() {
        if (prog_) prog_->Terminate();
        prog_.reset();
        WaitUntil([&] { return !Present(); }, 5000);
    }
    bool Present() const {
        return WaitNamedPipeA(PipePath().c_str(), 1) || GetLastError() == ERROR_SEM_TIMEOUT ||
               GetLastError() == ERROR_PIPE_BUSY;
    }
    void Clear() {
        DeleteFileIfAny(out_);
        DeleteFileIfAny(chunks_);
    }
    std::string Received() const { return ReadBinary(out_); }
    std::vector<int> Chunks() const {
        std::vector<int> sizes;
        std::ifstream f(chunks_);
        for (int n; f >> n;) sizes.push_back(n);
        return sizes;
    }
    bool Running() const { return prog_ && prog_->Running(); }

private:
    std::string name_, out_, chunks_;
    std::unique_ptr<CProgram> prog_;
};

class StationSendTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        DeleteFileIfAny(JobFilePath());
        stationEnv["KELMIRT_CUTTER_PIPE"] = sim.Name();
    }
    void TearDown() override {
        StationTest::TearDown();
        sim.Stop();
        DeleteFileIfAny(JobFilePath());
    }

    HWND StartStation(const std::string& ini = kEnglishIni) {
        HWND w = Start(ini);
        if (w) {
            EXPECT_TRUE(WaitHidden(w));
        }
        return w;
    }
    // The converter's hand-over: the job file, then WM_SEND_JOBFILE, answered synchronously.
    std::optional<LRESULT> SendJob(HWND w, const std::string& job, DWORD timeoutMs = 10000) {
        EXPECT_TRUE(WriteBinary(JobFilePath(), job));
        return Send(w, WM_SEND_JOBFILE, 0, 0, timeoutMs);
    }
    bool Enabled(HWND w, int id) { return IsWindowEnabled(Control(w, id)) != FALSE; }
    bool Idle(HWND w) { return !Enabled(w, kStopButton) && Enabled(w, kSettingsButton); }
    bool WaitIdle(HWND w, DWORD ms = 20000) {
        return WaitUntil([&] { return Idle(w) && ControlText(w, kStatusLine) == "Ready"; }, ms, 50);
    }
    bool Balloon(const std::string& text, DWORD ms = 5000) {
        return WaitUntil([&] {
            auto tray = ReadTray();
            return tray && std::find(tray->balloons.begin(), tray->balloons.end(), text) != tray->balloons.end();
        }, ms, 100);
    }
    bool TipStartsWith(const std::string& prefix) {
        auto tray = ReadTray();
        if (!tray) return false;
        for (const auto& t : tray->tips)
            if (t.compare(0, prefix.size(), prefix) == 0) return true;
        return false;
    }
    // The idle state as the user sees it: buttons, radios, status line and tray menu.
    void ExpectIdle(HWND w) {
        EXPECT_FALSE(Enabled(w, kStopButton));
        for (int id : {kSettingsButton, kOpenPltButton, kExitButton, kAutoRadio, kFileRadio})
            EXPECT_TRUE(Enabled(w, id)) << "control " << id;
        EXPECT_EQ(ControlText(w, kStatusLine), "Ready");
        ExpectTrayMenu(w, /*sending=*/false);
    }
    void ExpectTrayMenu(HWND w, bool sending) {
        if (sending)
            ExpectTrayMenuGreys(w, {kTraySet, kTrayExit}, "while sending");
        else
            ExpectTrayMenuGreys(w, {kTrayStop}, "while idle");
    }
    // The tray menu greys exactly these items.
    void ExpectTrayMenuGreys(HWND w, const std::vector<UINT>& greyedIds, const std::string& when) {
        HWND menu = OpenTrayMenu(w);
        ASSERT_NE(menu, nullptr);
        for (const auto& item : TrayMenuItems(menu)) {
            if (item.separator) continue;
            bool greyed = std::find(greyedIds.begin(), greyedIds.end(), item.id) != greyedIds.end();
            EXPECT_EQ(item.greyed, greyed) << item.text << " " << when;
        }
        ASSERT_TRUE(CloseMenu(menu));
        WaitUntil([&] { return !IsWindowVisible(menu); }, 5000);
    }
    // Closes a message box of the station (captioned with the program's title, like the
    // station's own window, which it is not) and returns its text.
    std::string CloseBox(HWND w, DWORD ms = 10000) {
        WindowQuery q;
        q.cls = "#32770";
        q.caption = "Kelmirt";
        q.pid = station.Pid();
        q.visibleOnly = true;
        HWND box = nullptr;
        WaitUntil([&] {
            for (HWND h : FindTopWindows(q))
                if (h != w) box = h;
            return box != nullptr;
        }, ms, 50);
        if (!box) return "<no box>";
        std::string text = MessageBoxText(box);
        PressKey(box, VK_RETURN);
        WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
        return text;
    }
    int BoxCount(HWND w) {
        WindowQuery q;
        q.caption = "Kelmirt";
        q.pid = station.Pid();
        q.visibleOnly = true;
        int n = 0;
        for (HWND h : FindTopWindows(q)) n += h != w;
        return n;
    }

    CutterSim sim;
};

// Sends a message from a thread of its own, so that the test can answer the message
// boxes the handler shows before it returns.
class AsyncSend {
public:
    AsyncSend(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) : thread_([=] {
        DWORD_PTR r = 0;
        if (SendMessageTimeoutW(w, msg, wp, lp, SMTO_NORMAL, 60000, &r)) result_ = static_cast<LRESULT>(r);
        done_ = true;
    }) {}
    ~AsyncSend() { thread_.join(); }
    std::optional<LRESULT> Result() {
        WaitUntil([&] { return done_.load(); }, 60000);
        return done_ && result_ >= 0 ? std::optional<LRESULT>(result_) : std::nullopt;
    }

private:
    std::atomic<bool> done_{false};
    LRESULT result_ = -1;
    std::thread thread_;
};

}  // namespace kelmirt_e2e
