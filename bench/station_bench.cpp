// Converts generated PLT jobs of growing size (closed paths, several pens, dashed
// lines, bands) and prints the throughput and the peak memory of the process.
#include <sys/resource.h>

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

struct Result {
    double seconds;
    size_t outBytes;
};

Result Run(std::string text) {
    CSilentNotice notice;
    const auto start = std::chrono::steady_clock::now();
    ConvertJob job;
    if (!ScanPlt(text, job.jobBox)) std::abort();
    SetJobReferences(job);
    std::vector<SHARPCOLORS> rows;
    uint8_t mode = 0;
    ScanPens(text, rows, mode, PenPresetTable{1, 2, 3, 4, 5, 6, 7, 8}, false, notice);
    RegroupByPen(text, rows, notice);
    ConvertSettings s;
    s.segEnable = true;
    s.segLen = 200;
    s.closeEnable = true;
    s.usePresets = true;
    s.path = PathSettings{true, 5.0f, 2.0f, 0.5f};
    std::string out;
    if (ConvertPltToCutter(text, job, s, rows, true, notice, out) != ConvertResult::kConverted) std::abort();
    const auto end = std::chrono::steady_clock::now();
    return Result{std::chrono::duration<double>(end - start).count(), out.size()};
}

}  // namespace

int main(int argc, char** argv) {
    const double mb = argc > 1 ? std::atof(argv[1]) : 50.0;
    const double sizes[] = {mb / 4, mb / 2, mb};
    for (double size : sizes) {
        std::string text = MakeJob(static_cast<size_t>(size * 1e6));
        const size_t in = text.size();
        const Result r = Run(std::move(text));
        struct rusage ru;
        getrusage(RUSAGE_SELF, &ru);
        std::printf("input %.1f MB, output %.1f MB: %.3f s, %.1f MB/s, peak memory %.1f MB (%.2f x input)\n",
                    in / 1e6, r.outBytes / 1e6, r.seconds, in / 1e6 / r.seconds, ru.ru_maxrss / 1024.0,
                    ru.ru_maxrss * 1024.0 / in);
    }
    return 0;
}
