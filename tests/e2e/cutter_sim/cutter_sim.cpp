// cutter-sim: a simulated cutter for the station's end-to-end tests. It serves a named
// pipe that the station opens in place of the USB device when KELMIRT_CUTTER_PIPE names
// it, answers the status request, and appends every byte it receives to a file.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cutter_status.h"

namespace {

struct Options {
    std::string pipe, out, chunks;
    bool notReady = false;
    bool noStatusAnswer = false;
    DWORD slowMs = 0;
    int shortWrite = 0;       // this data write (from 1) is cut short
    int failWrite = 0;        // this data write (from 1) fails
    int disconnectAfter = 0;  // after this many data writes the cutter goes away
    bool vanishAfterStatus = false;
};

Options g_opt;
CRITICAL_SECTION g_lock;
LONG g_dataWrites = 0;
HANDLE g_quit = nullptr;

const char kHelp[] =
    "cutter-sim --pipe NAME --out FILE [options]\n"
    "Serves \\\\.\\pipe\\NAME as a cutter: answers the status request and appends every\n"
    "byte received to FILE.\n"
    "  --chunks FILE          also append the size of each write received, one per line\n"
    "  --not-ready            answer the status request with the ready byte 0\n"
    "  --no-status-answer     take the status request and never answer it\n"
    "  --slow MS              keep each write pending for MS milliseconds before taking it\n"
    "  --short-write N        take only the first 100 bytes of the N-th write (from 1), then\n"
    "                         hang up (a pipe completes a write whole or not at all, so the\n"
    "                         station sees that write fail)\n"
    "  --fail-write N         hang up while the N-th write (from 1) is pending\n"
    "  --disconnect-after N   hang up and go away (end) once N writes were taken, so the\n"
    "                         next write fails at once\n"
    "  --vanish-after-status  go away once the first status request was answered\n"
    "  --help                 this text\n";

void Append(const std::string& path, const char* data, size_t n) {
    if (path.empty()) return;
    FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) return;
    std::fwrite(data, 1, n, f);
    std::fclose(f);
}

HANDLE MakeInstance() {
    std::string name = "\\\\.\\pipe\\" + g_opt.pipe;
    // A one-byte input buffer keeps each write pending until it is taken.
    return CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                            PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES, 4096, 1,
                            0, nullptr);
}

// Reads one whole message; false when the station hung up.
bool ReadMessage(HANDLE h, std::vector<char>& msg, DWORD limit = 0) {
    msg.clear();
    OVERLAPPED ov = {};
    ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool ok = false;
    for (;;) {
        char buf[65536];
        DWORD want = limit ? limit : sizeof(buf), n = 0;
        ResetEvent(ov.hEvent);
        BOOL r = ReadFile(h, buf, want, nullptr, &ov);
        if (!r && GetLastError() == ERROR_IO_PENDING) r = GetOverlappedResult(h, &ov, &n, TRUE);
        else if (r || GetLastError() == ERROR_MORE_DATA) r = GetOverlappedResult(h, &ov, &n, TRUE);
        DWORD err = r ? 0 : GetLastError();
        msg.insert(msg.end(), buf, buf + n);
        if (r) { ok = true; break; }
        if (err == ERROR_MORE_DATA && !limit) continue;
        ok = err == ERROR_MORE_DATA;
        break;
    }
    CloseHandle(ov.hEvent);
    return ok;
}

void HangUp(HANDLE h) {
    DisconnectNamedPipe(h);
    CloseHandle(h);
}

DWORD WINAPI Serve(void* param) {
    HANDLE h = static_cast<HANDLE>(param);
    std::vector<char> msg;
    for (bool first = true;; first = false) {
        if (g_opt.slowMs && !first) Sleep(g_opt.slowMs);
        LONG next = g_dataWrites + 1;
        if (!first && g_opt.failWrite && next == g_opt.failWrite) {
            HangUp(h);
            return 0;
        }
        if (!first && g_opt.shortWrite && next == g_opt.shortWrite) {
            ReadMessage(h, msg, 100);
            EnterCriticalSection(&g_lock);
            Append(g_opt.out, msg.data(), msg.size());
            Append(g_opt.chunks, (std::to_string(msg.size()) + "\n").data(), std::to_string(msg.size()).size() + 1);
            g_dataWrites = next;
            LeaveCriticalSection(&g_lock);
            HangUp(h);
            return 0;
        }
        if (!ReadMessage(h, msg)) break;
        if (first && IsPipeStatusFrame(reinterpret_cast<const uint8_t*>(msg.data()), msg.size())) {
            if (g_opt.noStatusAnswer) {
                // Wait until the station gives up and hangs up.
                while (ReadMessage(h, msg)) {}
                break;
            }
            uint8_t reply[kStatusReplyBytes] = {0x01, 0x00, 0x00, 0x00, 0x01, 0, 0, 0};
            reply[kStatusReadyByte] = g_opt.notReady ? 0 : 1;
            OVERLAPPED ov = {};
            ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            DWORD n = 0;
            if (!WriteFile(h, reply, sizeof(reply), nullptr, &ov) && GetLastError() == ERROR_IO_PENDING)
                GetOverlappedResult(h, &ov, &n, TRUE);
            CloseHandle(ov.hEvent);
            if (g_opt.vanishAfterStatus) {
                while (ReadMessage(h, msg)) {}
                HangUp(h);
                SetEvent(g_quit);
                return 0;
            }
            continue;
        }
        EnterCriticalSection(&g_lock);
        Append(g_opt.out, msg.data(), msg.size());
        std::string size = std::to_string(msg.size()) + "\n";
        Append(g_opt.chunks, size.data(), size.size());
        LONG taken = ++g_dataWrites;
        LeaveCriticalSection(&g_lock);
        if (g_opt.disconnectAfter && taken >= g_opt.disconnectAfter) {
            HangUp(h);
            SetEvent(g_quit);
            return 0;
        }
    }
    HangUp(h);
    return 0;
}

bool ParseArgs(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (a == "--pipe") g_opt.pipe = value();
        else if (a == "--out") g_opt.out = value();
        else if (a == "--chunks") g_opt.chunks = value();
        else if (a == "--not-ready") g_opt.notReady = true;
        else if (a == "--no-status-answer") g_opt.noStatusAnswer = true;
        else if (a == "--slow") g_opt.slowMs = static_cast<DWORD>(std::atoi(value().c_str()));
        else if (a == "--short-write") g_opt.shortWrite = std::atoi(value().c_str());
        else if (a == "--fail-write") g_opt.failWrite = std::atoi(value().c_str());
        else if (a == "--disconnect-after") g_opt.disconnectAfter = std::atoi(value().c_str());
        else if (a == "--vanish-after-status") g_opt.vanishAfterStatus = true;
        else return false;
    }
    return !g_opt.pipe.empty() && !g_opt.out.empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (!ParseArgs(argc, argv)) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    InitializeCriticalSection(&g_lock);
    g_quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Two instances listen at any time, so that the station's next open never finds the
    // pipe between instances.
    const int kListening = g_opt.vanishAfterStatus ? 1 : 2;
    std::vector<HANDLE> pipes, events;
    std::vector<OVERLAPPED> ovs(kListening);
    for (int i = 0; i < kListening; ++i) {
        events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        pipes.push_back(nullptr);
    }
    auto listen = [&](int i) -> bool {
        pipes[i] = MakeInstance();
        if (pipes[i] == INVALID_HANDLE_VALUE) return false;
        ovs[i] = OVERLAPPED{};
        ovs[i].hEvent = events[i];
        ResetEvent(events[i]);
        if (ConnectNamedPipe(pipes[i], &ovs[i])) SetEvent(events[i]);
        else if (GetLastError() == ERROR_PIPE_CONNECTED) SetEvent(events[i]);
        else if (GetLastError() != ERROR_IO_PENDING) return false;
        return true;
    };
    for (int i = 0; i < kListening; ++i)
        if (!listen(i)) {
            std::fprintf(stderr, "cannot serve the pipe %s (error %lu)\n", g_opt.pipe.c_str(), GetLastError());
            return 1;
        }
    std::printf("serving \\\\.\\pipe\\%s\n", g_opt.pipe.c_str());
    std::fflush(stdout);
    std::vector<HANDLE> waits(events);
    waits.push_back(g_quit);
    for (;;) {
        DWORD r = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
        if (r == WAIT_OBJECT_0 + static_cast<DWORD>(kListening)) break;
        int i = static_cast<int>(r - WAIT_OBJECT_0);
        if (i < 0 || i >= kListening) break;
        HANDLE connected = pipes[i];
        if (g_opt.vanishAfterStatus) {
            pipes[i] = nullptr;
            Serve(connected);
            break;
        }
        if (!listen(i)) break;
        HANDLE t = CreateThread(nullptr, 0, Serve, connected, 0, nullptr);
        if (t) CloseHandle(t);
    }
    // The pipe goes with the process.
    return 0;
}
