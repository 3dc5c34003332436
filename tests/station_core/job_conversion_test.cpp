#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "job_conversion.h"
#include "pen_regroup.h"
#include "recording_notice.h"

namespace {

// A job of length 1000 and width 200: its one path comes out as "U1000,0 D1000,200,0,200 ".
const char kJob[] = "SP1;PU0,0;PD200,0;PD200,1000;";
const char kPath[] = "U1000,0 D1000,200,0,200 ";
const char kHead[] = "U0,0 I1000,200 U0,0 D0,0,0,40 U ";

ConvertJob JobFor(const std::string& plt) {
    ConvertJob job;
    EXPECT_TRUE(ScanPlt(plt, job.jobBox));
    SetJobReferences(job);
    return job;
}

std::string Convert(const std::string& plt, const ConvertJob& job, const ConvertSettings& s,
                    const std::vector<SHARPCOLORS>& rows, CRecordingNotice& notice) {
    std::string stream;
    EXPECT_EQ(ConvertPltToCutter(plt, job, s, rows, true, notice, stream), ConvertResult::kConverted);
    return stream;
}

std::string Convert(const std::string& plt, const ConvertSettings& s, CRecordingNotice& notice,
                    const std::vector<SHARPCOLORS>& rows = {}) {
    return Convert(plt, JobFor(plt), s, rows, notice);
}

}  // namespace

TEST(ConvertPltToCutter, SingleStreamTrailers) {
    struct Case {
        const char* name;
        bool contour, copies, feed;
        int32_t model;
        std::string trailer;
    };
    const Case cases[] = {
        {"copies, contour, model 0", true, true, false, 0, "U1000,0 GE; U1080,0 @ GC3,0;"},
        {"copies, contour, model 1", true, true, true, 1, "U1000,0 GE; U1080,0 @ GC3,0;"},
        {"copies, contour, model 2", true, true, false, 2, "U1000,0 GE; U1080,0 @ GR1080;GC3,0;VM0;"},
        {"copies, model 0", false, true, true, 0, "U1000,0 U1080,0 @ GC3,0;"},
        {"copies, model 1", false, true, false, 1, "U1000,0 U1080,0 @ GC3,0;"},
        {"copies, model 2", false, true, false, 2, "U1000,0 U1080,0 @ GR1080;GC3,0;VM0;"},
        {"feed, contour, model 0", true, false, true, 0, "U1000,0 GE; U1400,200 @ "},
        {"feed, model 0", false, false, true, 0, "U1400,200 @ "},
        {"no feed, model 0", false, false, false, 0, "U1000,0 @ "},
        {"no feed, contour, model 0", true, false, false, 0, "U1000,0 @ "},
        {"feed, model 1", false, false, true, 1, "U1000,0 @ VM0;"},
        {"contour, model 2", true, false, true, 2, "U1000,0 @ VM0;"},
        {"no model", false, false, false, -1, "U1000,0 @ "},
    };
    for (const Case& c : cases) {
        ConvertSettings s;
        s.contourMode = c.contour;
        s.canFeedPaper = c.feed;
        s.model = c.model;
        s.xSteps = 5.0f;
        s.ySteps = 10.0f;
        ConvertJob job = JobFor(kJob);
        job.copiesOn = c.copies;
        job.copies = 3;
        job.copySpacing = 2;
        job.markGridX = 5;
        job.markGridY = 0;  // no rows: the contour job is not split
        job.markValue = 7;
        CRecordingNotice notice;
        const std::string head = c.contour ? "U0,0 I1000,200 GM5,0,7;U0,0 D0,0,0,40 U " : kHead;
        EXPECT_EQ(Convert(kJob, job, s, {}, notice), head + kPath + c.trailer) << c.name;
        EXPECT_TRUE(notice.shown.empty()) << c.name;
    }
}

TEST(ConvertPltToCutter, FeedMillimetresTruncateWithoutRoundingToFloat) {
    // 40 x 2.3f = 91.999998 and 40 x 0.7f = 27.9999995: 91 and 27 units, not 92 and 28.
    ConvertSettings s;
    s.canFeedPaper = true;
    s.xSteps = 2.3f;
    s.ySteps = 0.7f;
    CRecordingNotice notice;
    EXPECT_EQ(Convert(kJob, s, notice), std::string(kHead) + kPath + "U1027,91 @ ");
    s.contourMode = true;
    ConvertJob job = JobFor(kJob);
    job.markGridX = 5;
    job.markGridY = 0;
    job.markValue = 7;
    EXPECT_EQ(Convert(kJob, job, s, {}, notice),
              "U0,0 I1000,200 GM5,0,7;U0,0 D0,0,0,40 U " + std::string(kPath) + "U1000,0 GE; U1027,91 @ ");
    EXPECT_TRUE(notice.shown.empty());
}

TEST(ConvertPltToCutter, BandTrailers) {
    // Length 800 in bands of 400: the last band has length 0.
    const std::string plt = "PU0,0;PD200,800;";
    struct Case {
        const char* name;
        bool copies;
        int32_t model;
        std::string notLast, last;
    };
    const Case cases[] = {
        {"model 0", false, 0, "U400,0 @ ", "U0,0 @ "},
        {"model 2", false, 2, "U400,0 @ GR400;", "U0,0 @ GR0;VM0; "},
        {"copies, model 0", true, 0, "U400,0 @ ", "U80,0 @ GC3,0; "},
        {"copies, model 2", true, 2, "U400,0 @ GR400;", "U80,0 @ GR80;GC3,0;VM0; "},
    };
    for (const Case& c : cases) {
        ConvertSettings s;
        s.segEnable = true;
        s.segLen = 10;
        s.model = c.model;
        s.canFeedPaper = true;  // feed has no effect on bands
        ConvertJob job = JobFor(plt);
        job.copiesOn = c.copies;
        job.copies = 3;
        job.copySpacing = 2;
        CRecordingNotice notice;
        EXPECT_EQ(Convert(plt, job, s, {}, notice),
                  "U0,0 I400,200 U0,0 D0,0,0,40 U U400,100 D0,200 " + c.notLast +
                      "U0,0 I400,200 U400,0 D0,100 " + c.notLast + "U0,0 I0,200 " + c.last)
            << c.name;
        EXPECT_TRUE(notice.shown.empty()) << c.name;
    }
}

TEST(ConvertPltToCutter, BandsWithPresetsAndStartSegment) {
    const std::vector<SHARPCOLORS> rows{{1, 3, 1}};
    ConvertSettings s;
    s.segEnable = true;
    s.segLen = 10;
    s.usePresets = true;
    const std::string b1 = "U0,0 I400,200 U0,0 D0,0,0,40 U S#2;U400,200 D0,200 U400,0 @ ";
    const std::string b2 = "U0,0 I400,200 S#2;U400,200 D0,200 U400,0 @ ";
    const std::string b3 = "U0,0 I200,200 S#2;U200,0 D200,200,0,200 U200,0 @ ";
    struct { int32_t start; std::string out; } cases[] = {{1, b1 + b2 + b3}, {2, b2 + b3}, {3, b3}, {4, ""}};
    for (auto& c : cases) {
        ConvertJob job = JobFor(kJob);
        job.segmentStart = c.start;
        CRecordingNotice notice;
        EXPECT_EQ(Convert(kJob, job, s, rows, notice), c.out) << c.start;
        EXPECT_TRUE(notice.shown.empty());
    }
}

TEST(ConvertPltToCutter, BandLayoutEdges) {
    CRecordingNotice notice;
    ConvertSettings s;
    s.segEnable = true;
    s.segLen = 100;  // one band longer than the job
    EXPECT_EQ(Convert(kJob, s, notice), std::string(kHead) + kPath + "U1000,0 @ ");
    s.segLen = 0;  // no band length: one stream
    EXPECT_EQ(Convert(kJob, s, notice), std::string(kHead) + kPath + "U1000,0 @ ");
    s.segLen = -5;
    EXPECT_EQ(Convert(kJob, s, notice), std::string(kHead) + kPath + "U1000,0 @ ");
    // Model 1 cuts as one stream without feed; the settings handed in stay as they were.
    s.segLen = 10;
    s.model = 1;
    s.canFeedPaper = true;
    EXPECT_EQ(Convert(kJob, s, notice), std::string(kHead) + kPath + "U1000,0 @ VM0;");
    EXPECT_TRUE(s.segEnable);
    EXPECT_TRUE(s.canFeedPaper);
    // A bare PU writes nothing in a band job.
    s.model = 0;
    s.segLen = 100;
    s.usePresets = true;
    EXPECT_EQ(Convert(std::string(kJob) + "SP2;PU;", s, notice, {{1, 1, 1}, {1, 5, 2}}),
              "U0,0 I1000,200 U0,0 D0,0,0,40 U S#0;" + std::string(kPath) + "U1000,0 @ ");
    EXPECT_TRUE(notice.shown.empty());
}

TEST(ConvertPltToCutter, ContourParts) {
    const std::string p0 = "U0,0 I333,200 GF0,0; GB0007; GP; U0,0 D0,0,0,40 U U333,200 D0,200 ";
    const std::string p1 = "U0,0 I333,200 GQ;GP; U333,200 D0,200 ";
    const std::string p2 = "U0,0 I334,200 GQ;GP; U334,0 D334,200,0,200 ";
    struct Case {
        const char* name;
        bool copies;
        int32_t model, start;
        std::string out;
    };
    const std::string t = "U333,0 GE;U333,0 @ ", t2 = "U333,0 GE; @ GR333;";
    const Case cases[] = {
        {"model 0", false, 0, 1, p0 + t + p1 + t + p2 + t},
        {"copies, model 0", true, 0, 1, p0 + t + p1 + t + p2 + "U333,0 GE;U413,0 @ GC3,0;"},
        {"model 2", false, 2, 1, p0 + t2 + p1 + t2 + p2 + "U333,0 GE; @ GR333;VM0;"},
        {"copies, model 2", true, 2, 1, p0 + t2 + p1 + t2 + p2 + "U333,0 GE;U413,0 @ GR413;GC3,0;VM0;"},
        {"from part 2", false, 0, 2, p1 + t + p2 + t},
    };
    for (const Case& c : cases) {
        ConvertSettings s;
        s.segEnable = true;
        s.contourMode = true;
        s.model = c.model;
        ConvertJob job = JobFor(kJob);
        job.markGridX = 1000;
        job.markGridY = 2;
        job.markValue = 7;
        job.copiesOn = c.copies;
        job.copies = 3;
        job.copySpacing = 2;
        job.segmentStart = c.start;
        CRecordingNotice notice;
        EXPECT_EQ(Convert(kJob, job, s, {}, notice), c.out) << c.name;
        EXPECT_TRUE(notice.shown.empty()) << c.name;
    }
}

TEST(ConvertPltToCutter, ContourWithoutSegmentedOutput) {
    ConvertSettings s;
    s.contourMode = true;
    ConvertJob job = JobFor(kJob);
    job.markGridX = 1000;
    job.markGridY = 2;
    job.markValue = 7;
    CRecordingNotice notice;
    // The path is split at the part boundaries and stays in one stream.
    EXPECT_EQ(Convert(kJob, job, s, {}, notice),
              "U0,0 I1000,200 GM1000,2,7;U0,0 D0,0,0,40 U U1000,0 D1000,200,666,200,333,200,0,200 U1000,0 @ ");
    // Segmented output with no mark rows: one stream with the mark header.
    s.segEnable = true;
    job.markGridY = 0;
    EXPECT_EQ(Convert(kJob, job, s, {}, notice),
              "U0,0 I1000,200 GM1000,0,7;U0,0 D0,0,0,40 U " + std::string(kPath) + "U1000,0 @ ");
    EXPECT_TRUE(notice.shown.empty());
}

TEST(ConvertPltToCutter, MarkDataReplacesTheJobBox) {
    ConvertSettings s;
    ConvertJob job = JobFor(kJob);
    job.markDataPresent = true;
    ASSERT_TRUE(ScanPlt("PU-100,-50;PD300,1050;", job.markBox));
    SetJobReferences(job);
    CRecordingNotice notice;
    // L = 1100, W = 400; Ytop 1050 and Xleft -100 move every point.
    EXPECT_EQ(Convert(kJob, job, s, {}, notice),
              "U0,0 I1100,400 U0,0 D0,0,0,40 U U1050,100 D1050,300,50,300 U1100,0 @ ");
}

TEST(ConvertPltToCutter, MarkDataWithoutPointsKeepsTheJobBox) {
    ConvertSettings s;
    ConvertJob job = JobFor(kJob);
    job.markDataPresent = true;
    ASSERT_TRUE(ScanPlt("$1:GC,Regmark,Type-2,Auto,4,10,8.5,10,10;", job.markBox));
    SetJobReferences(job);
    EXPECT_EQ(job.referenceX, 0);
    EXPECT_EQ(job.referenceY, 1000);
    CRecordingNotice notice;
    EXPECT_EQ(Convert(kJob, job, s, {}, notice), std::string(kHead) + kPath + "U1000,0 @ ");
}

TEST(ConvertPltToCutter, MarkPenIsSkippedInContourMode) {
    const std::string plt = "SP1;PU0,0;PD200,0;SP3;PU0,500;PD200,500;SP0;PU0,1000;PD200,1000;";
    const std::vector<SHARPCOLORS> rows{{1, 2, 1}, {1, 5, 3}};
    struct Case {
        const char* name;
        bool contour;
        int32_t flagColor;
        std::string out;
    } cases[] = {
        {"mark pen 3", true, 2,
         "U0,0 I1000,200 GM5,0,7;U0,0 D0,0,0,40 U S#1;U1000,0 D1000,200 U0,0 D0,200 U1000,0 @ "},
        {"mark pen 2", true, 1,
         "U0,0 I1000,200 GM5,0,7;U0,0 D0,0,0,40 U S#1;U1000,0 D1000,200 S#4;U500,0 D500,200 U0,0 D0,200 U1000,0 @ "},
        {"no mark pen", true, 0,
         "U0,0 I1000,200 GM5,0,7;U0,0 D0,0,0,40 U S#1;U1000,0 D1000,200 S#4;U500,0 D500,200 U0,0 D0,200 U1000,0 @ "},
        {"contour off", false, 2,
         "U0,0 I1000,200 U0,0 D0,0,0,40 U S#1;U1000,0 D1000,200 S#4;U500,0 D500,200 U0,0 D0,200 U1000,0 @ "},
    };
    for (auto& c : cases) {
        ConvertSettings s;
        s.contourMode = c.contour;
        s.flagColor = c.flagColor;
        s.usePresets = true;
        ConvertJob job = JobFor(plt);
        job.markGridX = 5;
        job.markGridY = 0;
        job.markValue = 7;
        CRecordingNotice notice;
        EXPECT_EQ(Convert(plt, job, s, rows, notice), c.out) << c.name;
        EXPECT_TRUE(notice.shown.empty()) << c.name;
    }
}

TEST(ConvertPltToCutter, PresetSwitchesAndTheirMessages) {
    ConvertSettings s;
    s.usePresets = true;
    CRecordingNotice notice;
    // Pens 2 and 3 share a preset: one switch.
    EXPECT_EQ(Convert("SP2;PU0,0;PD200,1000;SP3;PU0,0;PD0,500;SP2;PU0,0;", s, notice, {{1, 4, 2}, {1, 4, 3}}),
              "U0,0 I1000,200 U0,0 D0,0,0,40 U S#3;U1000,0 D0,200 U1000,0 D500,0 U1000,0 U1000,0 @ ");
    EXPECT_TRUE(notice.shown.empty());
    // No pen selected: every path brings the message and takes pen 1's preset.
    EXPECT_EQ(Convert("PU0,0;PD200,1000;PU0,0;PD100,100;", s, notice, {{1, 4, 1}}),
              "U0,0 I1000,200 U0,0 D0,0,0,40 U S#3;U1000,0 D0,200 U1000,0 D900,100 U1000,0 @ ");
    EXPECT_EQ(notice.Count("当前路径没有设置笔号，默认黑色笔"), 2u);
    notice.shown.clear();
    // A bare PU still switches; a bare SP is no pen and falls back to preset 1.
    EXPECT_EQ(Convert("SP1;PU0,0;PD200,1000;SP2;PU;SP;PU0,0;", s, notice, {{1, 1, 1}, {1, 6, 2}}),
              "U0,0 I1000,200 U0,0 D0,0,0,40 U S#0;U1000,0 D0,200 S#5;S#0;U1000,0 U1000,0 @ ");
    EXPECT_EQ(notice.Texts(), (std::vector<std::string>{"没有找到当前颜色对应预设参数！默认为 预设参数1"}));
}

TEST(ConvertPltToCutter, ReadingRules) {
    ConvertSettings s;
    struct Case {
        const char* name;
        std::string plt;
        std::string paths;
        size_t overlong;
    };
    const std::string c40(40, ',');
    const Case cases[] = {
        {"repeated points", "PU0,0;PD0,0;PD100,0;PD100,0;PD200,1000;", "U1000,0 D1000,100,0,200 ", 0},
        {"49 characters pass", "PU0,0;PD100,100" + c40 + ";PD200,1000;", "U1000,0 D900,100,0,200 ", 0},
        {"50 characters end the path", "PU0,0;PD100,100;XD" + c40 + "12345678;PD200,1000;", "U1000,0 D900,100 ", 1},
        {"PD without coordinates", "PU0,0;PD;PD200,1000;", "U1000,0 D0,200 ", 0},
        {"PD outside a path", "PD50,50;PU0,0;PD200,1000;", "U1000,0 D0,200 ", 0},
        {"other command ends the path", "PU0,0;PD200,0;XX;PD200,1000;PU0,1000;PD0,0;",
         "U1000,0 D1000,200 U0,0 D1000,0 ", 0},
        {"blanks and line breaks", "PU 0 0;P\r\nD200 10\r\n00;", "U1000,0 D0,200 ", 0},
        {"several pairs", "PU0,0;PD200,1000,5,5;", "U1000,0 D0,200,995,5 ", 0},
        {"IW sets the top", "IW0,0,5000,500;PU0,0;PD200,1000;", "U500,0 D-500,200 ", 0},
        {"IW without comma", "IW;PU0,0;PD200,1000;", "U1000,0 D0,200 ", 0},
        {"$ lines are ignored", "$1:GC,Regmark,Type-2,Auto,4,10,8.5,10,10;PU0,0;PD200,1000;", "U1000,0 D0,200 ", 0},
    };
    for (const Case& c : cases) {
        CRecordingNotice notice;
        ConvertJob job;
        ASSERT_TRUE(ScanPlt("PU0,0;PD200,1000;", job.jobBox));
        SetJobReferences(job);
        EXPECT_EQ(Convert(c.plt, job, s, {}, notice), kHead + c.paths + "U1000,0 @ ") << c.name;
        EXPECT_EQ(notice.Count("字符数超出最大行字符数"), c.overlong) << c.name;
        EXPECT_EQ(notice.shown.size(), c.overlong) << c.name;
    }
}

namespace {

std::string PltFixture(const char* name) {
    std::ifstream in(std::string(KM_TEST_DATA_DIR) + "/plt/" + name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The same drawing with one pair per PD command, as CorelDRAW writes it.
std::string OnePairPerPd(const std::string& text) {
    std::string out;
    std::stringstream commands(text);
    for (std::string cmd; std::getline(commands, cmd, ';');) {
        if (cmd.compare(0, 2, "PD") != 0) {
            out += cmd + ";";
            continue;
        }
        std::stringstream numbers(cmd.substr(2));
        for (std::string x, y; std::getline(numbers, x, ',') && std::getline(numbers, y, ',');)
            out += "PD" + x + "," + y + ";";
    }
    return out;
}

std::string LongPd() {
    std::string pd = "PD";
    for (int i = 1; pd.size() < 2000; ++i) pd += std::to_string(i * 3) + "," + std::to_string(i % 2 * 900) + ",";
    return pd + "0,0";
}

}  // namespace

TEST(ConvertPltToCutter, EveryPairOfAPuOrPdCounts) {
    struct Case {
        const char* name;
        std::string plt;
        std::string onePairPerCommand;  // the stream must be this text's; empty: the scan refuses
        int32_t maxX, maxY, minX, minY;
        size_t told;                    // over-long commands the conversion tells of
    };
    const std::string square = "IN;SP1;PU0,0;PD4000,0;PD4000,4000;PD0,4000;PD0,0;PU0,0;SP0;";
    const std::string inkscape = PltFixture("inkscape_sign.plt");
    const Case cases[] = {
        {"a square in one PD", "IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU0,0;SP0;", square, 4000, 4000, 0, 0, 0},
        // The blade moves up through the pairs; the path starts at the last one.
        {"several pairs in a PU", "PU9000,-50,700,9000,0,0;PD4000,0;", "PU0,0;PD4000,0;", 9000, 9000, 0, -50, 0},
        {"a PD of 2,000 characters", "PU0,0;" + LongPd() + ";", "PU0,0;" + OnePairPerPd(LongPd()), 873, 900, 0, 0, 0},
        {"a lone number at the end", "PU0,0;PD4000,0,4000,4000,7;PD0,4000,9,;",
         "PU0,0;PD4000,0;PD4000,4000;PD0,4000;", 4000, 4000, 0, 0, 0},
        {"Inkscape's export", inkscape, OnePairPerPd(inkscape), 12010, 4820, 0, 0, 0},
        {"254 characters, no PU or PD", "PU0,0;PD4000,0;PA" + std::string(252, '1') + ";", "", 0, 0, 0, 0, 0},
        {"50 characters, no PU or PD", "PU0,0;PD4000,0;PA" + std::string(48, '1') + ";PD0,0;", "PU0,0;PD4000,0;",
         4000, 0, 0, 0, 1},
    };
    ConvertSettings s;
    for (const Case& c : cases) {
        ConvertJob job;
        ASSERT_EQ(ScanPlt(c.plt, job.jobBox), !c.onePairPerCommand.empty()) << c.name;
        if (c.onePairPerCommand.empty()) continue;
        EXPECT_EQ(job.jobBox.maxCorner.x, c.maxX) << c.name;
        EXPECT_EQ(job.jobBox.maxCorner.y, c.maxY) << c.name;
        EXPECT_EQ(job.jobBox.minCorner.x, c.minX) << c.name;
        EXPECT_EQ(job.jobBox.minCorner.y, c.minY) << c.name;
        SetJobReferences(job);
        CRecordingNotice notice, onePair;
        const std::string stream = Convert(c.plt, job, s, {}, notice);
        EXPECT_EQ(stream, Convert(c.onePairPerCommand, job, s, {}, onePair)) << c.name;
        EXPECT_EQ(notice.Count("字符数超出最大行字符数"), c.told) << c.name;
        EXPECT_EQ(notice.shown.size(), c.told) << c.name;
    }
}

TEST(ConvertPltToCutter, MarginsShiftEveryPoint) {
    ConvertSettings s;
    ConvertJob job = JobFor(kJob);
    job.leftOffset = 399;  // 10 mm
    job.topOffset = 19;    // 0.5 mm
    CRecordingNotice notice;
    EXPECT_EQ(Convert(kJob, job, s, {}, notice), std::string(kHead) + "U1399,19 D1399,219,399,219 U1000,0 @ ");
}

TEST(ConvertPltToCutter, ClosingCompensation) {
    ConvertSettings s;
    s.closeEnable = true;
    s.path.closeOffset = 0.5f;
    CRecordingNotice notice;
    const std::string head = "U0,0 I400,300 U0,0 D0,0,0,40 U ";
    EXPECT_EQ(Convert("PU0,0;PD300,0;PD0,400;PD0,0;", s, notice),
              head + "U400,150 D400,300,0,0,400,0,400,150,400,170 U400,0 @ ");
    // Open path of four points: unchanged.
    EXPECT_EQ(Convert("PU0,0;PD300,0;PD0,400;PD0,10;", s, notice), head + "U400,0 D400,300,0,0,390,0 U400,0 @ ");
    // A closed path of three points is left alone too.
    EXPECT_EQ(Convert("PU0,0;PD300,400;PD0,0;", s, notice), head + "U400,0 D0,300,400,0 U400,0 @ ");
    s.closeEnable = false;
    EXPECT_EQ(Convert("PU0,0;PD300,0;PD0,400;PD0,0;", s, notice), head + "U400,0 D400,300,0,0,400,0 U400,0 @ ");
    // Segmented output: no compensation.
    s.closeEnable = true;
    s.segEnable = true;
    s.segLen = 100;
    EXPECT_EQ(Convert("PU0,0;PD300,0;PD0,400;PD0,0;", s, notice),
              "U0,0 I400,300 U0,0 D0,0,0,40 U U400,0 D400,300,0,0,400,0 U400,0 @ ");
    EXPECT_TRUE(notice.shown.empty());
}

TEST(ConvertPltToCutter, DashedPathsAcrossBands) {
    ConvertSettings s;
    s.path = PathSettings{true, 5.01f, 2.51f, 0.5f};
    s.segEnable = true;
    s.segLen = 10;
    // Length 700 along station x: bands of 400 and 300.
    const std::string plt = "LT1;PU0,0;PD0,700;LT;PU100,0;PD100,700;";
    // The dashed path runs from 700 down to 0: band 2 takes 700..400 and band 1 400..0, each
    // with its own pattern (dash 200.4, gap 100.4; 99.6 and 98.6 truncate toward zero).
    CRecordingNotice notice;
    EXPECT_EQ(Convert(plt, s, notice),
              "U0,0 I400,100 U0,0 D0,0,0,40 U L1;U400,0 D199,0 U98,0 D0,0 L0;U400,100 D0,100 U400,0 @ "
              "U0,0 I300,100 L1;U300,0 D99,0 U0,0 L0;U300,100 D0,100 U300,0 @ ");
    // Without dashed cutting allowed, LT changes nothing.
    s.path.dashedMode = false;
    EXPECT_EQ(Convert(plt, s, notice),
              "U0,0 I400,100 U0,0 D0,0,0,40 U U400,0 D0,0 U400,100 D0,100 U400,0 @ "
              "U0,0 I300,100 U300,0 D0,0 U300,100 D0,100 U300,0 @ ");
    EXPECT_TRUE(notice.shown.empty());
}

TEST(ConvertPltToCutter, ExportedFileThroughScanRegroupAndConversion) {
    std::ifstream in(KM_TEST_DATA_DIR "/plt/two_pens.plt", std::ios::binary);
    ASSERT_TRUE(in.good());
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();

    ConvertJob job;
    ASSERT_TRUE(ScanPlt(text, job.jobBox));
    SetJobReferences(job);
    std::vector<SHARPCOLORS> rows;
    uint8_t mode = 0;
    CRecordingNotice notice;
    ScanPens(text, rows, mode, PenPresetTable{1, 3, 1, 1, 1, 1, 1, 1}, false, notice);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].colour, 1);
    EXPECT_EQ(rows[1].colour, 2);
    std::swap(rows[0], rows[1]);  // the user moves pen 2 up

    RegroupByPen(text, rows, notice);
    EXPECT_EQ(text,
              "SP2;\r\nIN;\r\nIP0,0,1016,1016;\r\nSC0,1016,0,1016;\r\nLT;\nLT1,2;\r\nPU0,200;\r\nPD400,200;\r\nLT;\r\n"
              "SP1;\r\nLT;\nPU0,0;\r\nPD400,0;\r\nLT;\r\nPU0,400;\r\nPD400,400;\r\nSP0;\n");

    ConvertSettings s;
    s.usePresets = true;
    s.path = PathSettings{true, 2.51f, 5.01f, 0.5f};
    EXPECT_EQ(Convert(text, job, s, rows, notice),
              "U0,0 I400,400 U0,0 D0,0,0,40 U S#2;L1;U200,0 D200,100 U200,300 D200,400 L0;"
              "S#0;U400,0 D400,400 U0,0 D0,400 U400,0 @ ");
    EXPECT_TRUE(notice.shown.empty());
}

TEST(ConvertPltToCutter, JobsPastTheLimitAreRefusedQuickly) {
    // One far coordinate: a dash pattern, bands of a millimetre or contour parts reaching
    // beyond the job would make a stream of hundreds of megabytes out of a few bytes.
    const std::string far = "SP1;LT1;PU0,0;PD0,1000000000;PD100,0;";
    struct Case {
        const char* name;
        bool dashed, bands, parts;
    };
    const Case cases[] = {
        {"dashed", true, false, false},
        {"bands", false, true, false},
        {"dashed bands", true, true, false},
        // Measured by small mark data, the path runs far past the last contour part.
        {"split past the parts", false, false, true},
    };
    for (const Case& c : cases) {
        ConvertSettings s;
        s.path = PathSettings{c.dashed, 2.0f, 2.0f, 0.5f};
        s.segEnable = c.bands;
        s.segLen = 1;
        s.contourMode = c.parts;
        ConvertJob job = JobFor(far);
        if (c.parts) {
            job.markDataPresent = ScanPlt("PU0,0;PD100,100;", job.markBox);
            SetJobReferences(job);
        }
        job.markGridY = 2;
        for (const bool english : {true, false}) {
            CRecordingNotice notice;
            std::string stream = "left over";
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(ConvertPltToCutter(far, job, s, {}, english, notice, stream), ConvertResult::kTooLarge)
                << c.name;
            EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.5)
                << c.name;
            EXPECT_TRUE(stream.empty()) << c.name;
            EXPECT_EQ(notice.Texts(), std::vector<std::string>{JobTooLargeMessage(english)}) << c.name;
        }
    }
    EXPECT_NE(std::string(JobTooLargeMessage(true)), JobTooLargeMessage(false));
}

TEST(ConvertPltToCutter, LimitCountsEveryByteOfTheJob) {
    // Each layout's whole stream fits a limit of exactly its size and not one byte less.
    struct Case {
        const char* name;
        bool seg, contour, dashed;
    };
    const Case cases[] = {
        {"single", false, false, false},
        {"single dashed", false, false, true},
        {"bands", true, false, false},
        {"bands dashed", true, false, true},
        {"contour parts", true, true, false},
        {"contour split", false, true, true},
    };
    const std::string plt = "SP1;LT1;PU0,0;PD200,0;PD200,1000;LT;PU0,0;PD200,900;";
    for (const Case& c : cases) {
        ConvertSettings s;
        s.segEnable = c.seg;
        s.segLen = 10;
        s.contourMode = c.contour;
        s.path = PathSettings{c.dashed, 1.0f, 1.0f, 0.5f};
        s.usePresets = true;
        ConvertJob job = JobFor(plt);
        job.markGridY = 2;
        CRecordingNotice notice;
        const std::string whole = Convert(plt, job, s, {{1, 2, 1}}, notice);
        std::string stream;
        EXPECT_EQ(ConvertPltToCutter(plt, job, s, {{1, 2, 1}}, true, notice, stream, whole.size()),
                  ConvertResult::kConverted)
            << c.name;
        EXPECT_EQ(stream, whole) << c.name;
        EXPECT_TRUE(notice.shown.empty()) << c.name;
        EXPECT_EQ(ConvertPltToCutter(plt, job, s, {{1, 2, 1}}, false, notice, stream, whole.size() - 1),
                  ConvertResult::kTooLarge)
            << c.name;
        EXPECT_TRUE(stream.empty()) << c.name;
        EXPECT_EQ(notice.Count(JobTooLargeMessage(false)), 1u) << c.name;
    }
}
