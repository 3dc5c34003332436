// Streams of generated jobs, recorded once: reading, regrouping and conversion may be made
// faster, but the bytes they produce for these jobs must stay exactly as recorded.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "job_conversion.h"
#include "pen_regroup.h"
#include "plt_reader.h"
#include "recording_notice.h"

namespace {

uint64_t Fnv1a(const std::string& s) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
    return h;
}

struct JobShape {
    int pens;          // pens 1..pens, switched every few paths
    bool dashEvery;    // some stretches with LT1,4
    bool messyLines;   // several commands on a line, blank lines, CR-only breaks, no final ";"
    unsigned seed;
};

// A CorelDRAW-like job of about `paths` closed and open paths.
std::string MakeJob(const JobShape& shape, int paths) {
    std::string t = "IN;\r\nIP0,0,1016,1016;\r\nSC0,1016,0,1016;\r\n";
    uint32_t seed = shape.seed;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    char line[96];
    const char* eol = "\r\n";
    for (int path = 0; path < paths; ++path) {
        if (shape.messyLines) eol = next(4) == 0 ? "" : (next(5) == 0 ? "\n" : "\r\n");
        if (path % 7 == 0) {
            std::snprintf(line, sizeof line, "SP%u;%s", 1 + next(static_cast<uint32_t>(shape.pens)), eol);
            t += line;
            if (shape.dashEvery) t += next(3) == 0 ? "LT1,4;\r\n" : "LT;\r\n";
        }
        if (shape.messyLines && next(9) == 0) t += "\r\n";
        const int cx = 300 + static_cast<int>(next(9000)), cy = 300 + static_cast<int>(next(60000));
        const int r = 40 + static_cast<int>(next(600));
        const bool closed = next(4) != 0;
        std::snprintf(line, sizeof line, "PU%d,%d;%s", cx + r, cy, eol);
        t += line;
        const int sides = 3 + static_cast<int>(next(6));
        for (int i = 1; i <= sides; ++i) {
            const int k = closed ? i % sides : i;
            const int px = cx + (k % 3 == 0 ? r : (k % 3 == 1 ? -r / 2 : r / 3)) + (closed ? 0 : i * 11);
            const int py = cy + (k % 2 == 0 ? r / 4 : -r) * (k % 4 == 3 ? -1 : 1);
            std::snprintf(line, sizeof line, "PD%d,%d;%s", px, py, eol);
            t += line;
        }
    }
    t += shape.messyLines ? "PU0,0" : "SP0;\r\n";
    return t;
}

struct Recorded {
    const char* name;
    JobShape shape;
    int paths;
    bool segments;
    bool contour;
    bool dashed;
    bool close;
    bool disableSecondRow;
    size_t regroupedSize;
    uint64_t regroupedHash;
    size_t streamSize;
    uint64_t streamHash;
};

std::string Describe(size_t size, uint64_t hash) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%zu, 0x%016llxull", size, static_cast<unsigned long long>(hash));
    return buf;
}

const Recorded kRecorded[] = {
    {"single stream, four pens", {4, false, false, 11}, 3000, false, false, false, false, false,
     290564, 0x8d78c4abaed1657aull, 212380, 0x2b061c24f746ba87ull},
    {"dashed pen, closing", {3, true, false, 12}, 3000, false, false, true, true, false,
     294621, 0xc607c81067438855ull, 551522, 0x72fb42b3ac2d4775ull},
    {"bands, dashed, a pen switched off", {5, true, false, 13}, 3000, true, false, true, true, true,
     229867, 0x387d8d4e6b43aa44ull, 387599, 0xecdcca2925dfd6efull},
    {"contour parts", {2, false, false, 14}, 2000, true, true, false, false, false,
     193364, 0x98593382fe7c2361ull, 137179, 0xdada2d71b0eb3240ull},
    {"contour split without bands", {3, true, false, 15}, 2000, false, true, true, false, false,
     193628, 0x4e3f3765f6fbb646ull, 373192, 0xcd1407cff7ba31faull},
    {"messy lines", {4, true, true, 16}, 3000, true, false, true, true, false,
     286062, 0x1c6678e85ce01147ull, 514207, 0x90f0224d907ac5cdull},
};

}  // namespace

TEST(JobStreamFixture, GeneratedJobsGiveTheRecordedBytes) {
    for (const Recorded& rec : kRecorded) {
        SCOPED_TRACE(rec.name);
        std::string text = MakeJob(rec.shape, rec.paths);
        CRecordingNotice notice;
        ConvertJob job;
        ASSERT_TRUE(ScanPlt(text, job.jobBox));
        SetJobReferences(job);
        std::vector<SHARPCOLORS> rows;
        uint8_t mode = 0;
        ScanPens(text, rows, mode, PenPresetTable{1, 2, 3, 4, 5, 6, 7, 8}, true, notice);
        if (rec.disableSecondRow && rows.size() > 1) rows[1].enabled = 0;
        // The station reads the job in pen order where it lies; the regrouped copy is kept
        // for its recorded bytes.
        std::string regrouped = text;
        RegroupByPen(regrouped, rows, notice);
        const CPenOrder order(text, rows, notice);
        ConvertSettings s;
        s.segEnable = rec.segments;
        s.segLen = 60;
        s.contourMode = rec.contour;
        s.closeEnable = rec.close;
        s.usePresets = true;
        s.path = PathSettings{rec.dashed, 3.0f, 1.5f, 0.5f};
        if (rec.contour) job.markGridY = 4;
        std::string out;
        ASSERT_EQ(ConvertPltToCutter(order, job, s, rows, true, notice, out), ConvertResult::kConverted);
        EXPECT_EQ(Describe(regrouped.size(), Fnv1a(regrouped)), Describe(rec.regroupedSize, rec.regroupedHash));
        EXPECT_EQ(Describe(out.size(), Fnv1a(out)), Describe(rec.streamSize, rec.streamHash));
    }
}

// A pen change on every other line: far more bucket changes than the walk keeps track of.
TEST(JobStreamFixture, RegroupingWithAPenChangeOnEveryLine) {
    std::string text, one = "SP1;\r\n", two = "SP2;\r\n";
    for (int i = 0; i < 5000; ++i) {
        text += "SP1;\nPU1," + std::to_string(i) + ";\nLT;\nSP2;\nPU2," + std::to_string(i) + ";\nLT1;\n";
        one += std::string(i == 0 ? "LT;" : "LT1;") + "\nPU1," + std::to_string(i) + ";\nLT;\n";
        two += "LT;\nPU2," + std::to_string(i) + ";\nLT1;\n";
    }
    CRecordingNotice notice;
    RegroupByPen(text, {SHARPCOLORS{1, 1, 1}, SHARPCOLORS{1, 2, 2}}, notice);
    EXPECT_EQ(text, one + two + "SP0;\n");
}
