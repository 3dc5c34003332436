// The station's PLT conversion as a whole process against hp2xx on the same job.
//   station_bench [MB] [rounds]   writes a CorelDRAW-like job of MB megabytes (50), then runs
//                                 "station_bench convert" and "hp2xx -m hpgl" on it, alternating,
//                                 and prints both times, their ratio and peak memory / input.
//   station_bench convert IN OUT  reads, regroups and converts IN into the cutter stream OUT.
//   station_bench job MB FILE     only writes the job (for profiling the conversion).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "job_conversion.h"
#include "pen_regroup.h"
#include "plt_reader.h"

namespace {

class CSilentNotice : public INotice {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return kAnswerOk; }
};

// About `bytes` of CorelDRAW-like HP-GL: one command per line.
std::string MakeJob(size_t bytes) {
    std::string t = "IN;\r\nIP0,0,1016,1016;\r\nSC0,1016,0,1016;\r\n";
    t.reserve(bytes + 256);
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    char line[64];
    for (size_t path = 0; t.size() < bytes; ++path) {
        if (path % 40 == 0) {
            std::snprintf(line, sizeof line, "SP%u;\r\n", 1 + static_cast<unsigned>((path / 40) % 4));
            t += line;
            t += (path / 40) % 5 == 0 ? "LT1,4;\r\n" : "LT;\r\n";
        }
        // A closed hexagon-like path somewhere on a 0.3 m x 5 m sheet.
        const int cx = 500 + static_cast<int>(next(11000)), cy = 500 + static_cast<int>(next(199000));
        const int r = 100 + static_cast<int>(next(400));
        const int dx[6] = {r, r / 2, -r / 2, -r, -r / 2, r / 2};
        const int dy[6] = {0, r, r, 0, -r, -r};
        std::snprintf(line, sizeof line, "PU%d,%d;\r\n", cx + dx[0], cy + dy[0]);
        t += line;
        for (int i = 1; i <= 6; ++i) {
            std::snprintf(line, sizeof line, "PD%d,%d;\r\n", cx + dx[i % 6], cy + dy[i % 6]);
            t += line;
        }
    }
    t += "SP0;\r\n";
    return t;
}

// What the station does with a job file: read it whole, scan, regroup, convert, write.
int ConvertFile(const char* in, const char* out) {
    std::FILE* f = std::fopen(in, "rb");
    if (!f) return 2;
    auto t0 = std::chrono::steady_clock::now();
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    std::string text(static_cast<size_t>(size), '\0');
    if (std::fread(&text[0], 1, text.size(), f) != text.size()) return 2;
    std::fclose(f);
    // KM_LAPS=1 prints the time of each step.
    auto lap = [&t0](const char* what) {
        const auto t = std::chrono::steady_clock::now();
        if (std::getenv("KM_LAPS")) {
            std::fprintf(stderr, "%s %.3f s\n", what, std::chrono::duration<double>(t - t0).count());
        }
        t0 = t;
    };
    lap("read");
    CSilentNotice notice;
    ConvertJob job;
    if (!ScanPlt(text, job.jobBox)) return 3;
    SetJobReferences(job);
    std::vector<SHARPCOLORS> rows;
    uint8_t mode = 0;
    ScanPens(text, rows, mode, PenPresetTable{1, 2, 3, 4, 5, 6, 7, 8}, false, notice);
    lap("scan");
    const CPenOrder order(text, rows, notice);
    lap("regroup");
    ConvertSettings s;
    s.segEnable = true;
    s.segLen = 200;
    s.closeEnable = true;
    s.usePresets = true;
    s.path = PathSettings{true, 5.0f, 2.0f, 0.5f};
    std::string stream;
    if (ConvertPltToCutter(order, job, s, rows, true, notice, stream) != ConvertResult::kConverted) return 4;
    lap("convert");
    std::string().swap(text);
    f = std::fopen(out, "wb");
    if (!f || std::fwrite(stream.data(), 1, stream.size(), f) != stream.size() || std::fclose(f) != 0) return 2;
    lap("write");
    return 0;
}

struct Run {
    double seconds = 0;
    long peakKb = 0;
};

// Runs argv as a child process; its wall time and peak resident memory.
Run Measure(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr)) _exit(126);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage ru {};
    if (pid < 0 || wait4(pid, &status, 0, &ru) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", args[0].c_str(), status);
        std::exit(1);
    }
    Run r;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.peakKb = ru.ru_maxrss;
    return r;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "convert") return ConvertFile(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "job") {
        const std::string text = MakeJob(static_cast<size_t>(std::atof(argv[2]) * 1e6));
        std::FILE* f = std::fopen(argv[3], "wb");
        return f && std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fclose(f) == 0 ? 0 : 1;
    }
    const double mb = argc > 1 ? std::atof(argv[1]) : 50.0;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    char dir[] = "/tmp/station_bench_XXXXXX";
    if (!mkdtemp(dir)) return 1;
    const std::string job = std::string(dir) + "/job.plt";
    size_t in = 0;
    {
        const std::string text = MakeJob(static_cast<size_t>(mb * 1e6));
        in = text.size();
        std::FILE* f = std::fopen(job.c_str(), "wb");
        if (!f || std::fwrite(text.data(), 1, in, f) != in || std::fclose(f) != 0) return 1;
    }
    const bool haveHp2xx = std::system("command -v hp2xx >/dev/null 2>&1") == 0;
    if (!haveHp2xx) std::printf("hp2xx not found: only the station is measured\n");

    std::vector<double> ours, theirs, ratios;
    long oursPeak = 0, theirsPeak = 0;
    for (int i = 0; i < rounds; ++i) {
        // Alternating, so both see the same load on a busy machine.
        const Run a = Measure({argv[0], "convert", job, std::string(dir) + "/out.cut"});
        ours.push_back(a.seconds);
        oursPeak = std::max(oursPeak, a.peakKb);
        if (!haveHp2xx) continue;
        const Run b = Measure({"hp2xx", "-q", "-m", "hpgl", "-f", std::string(dir) + "/out.hpgl", job});
        theirs.push_back(b.seconds);
        theirsPeak = std::max(theirsPeak, b.peakKb);
        ratios.push_back(b.seconds / a.seconds);
        std::printf("round %d: station %.3f s, hp2xx %.3f s, %.2f times faster\n", i + 1, a.seconds, b.seconds,
                    b.seconds / a.seconds);
    }
    std::printf("input %.1f MB\n", in / 1e6);
    std::printf("station: median %.3f s, peak memory %.1f MB (%.2f x input)\n", Median(ours), oursPeak / 1024.0,
                oursPeak * 1024.0 / in);
    if (haveHp2xx) {
        std::printf("hp2xx -m hpgl: median %.3f s, peak memory %.1f MB (%.2f x input)\n", Median(theirs),
                    theirsPeak / 1024.0, theirsPeak * 1024.0 / in);
        std::printf("station is %.2f times faster than hp2xx (median of %d rounds; target 5)\n", Median(ratios),
                    rounds);
    }
    std::remove((std::string(dir) + "/out.cut").c_str());
    std::remove((std::string(dir) + "/out.hpgl").c_str());
    std::remove(job.c_str());
    rmdir(dir);
    return 0;
}
