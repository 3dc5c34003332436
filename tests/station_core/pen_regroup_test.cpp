#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "job_conversion.h"
#include "pen_regroup.h"
#include "recording_notice.h"

namespace {

std::string Regroup(std::string text, const std::vector<SHARPCOLORS>& rows, CRecordingNotice& notice) {
    RegroupByPen(text, rows, notice);
    return text;
}

// The regrouping as it was when it went line by line: what files with one command per
// line must still give, byte for byte.
std::string RegroupByLines(const std::string& text, const std::vector<SHARPCOLORS>& rows,
                           CRecordingNotice& notice) {
    if (rows.empty()) return text;
    std::vector<std::string> buckets(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) buckets[i] = "SP" + std::to_string(rows[i].colour) + ";\r\n";
    size_t current = 0;
    std::string lineType = "LT;";
    const std::string_view all(text);
    size_t start = 0;
    for (size_t lf; (lf = all.find('\n', start)) != std::string_view::npos; start = lf + 1) {
        const std::string_view line = all.substr(start, lf - start);
        if (line.find("LT") != std::string_view::npos) {
            lineType.assign(line);
            (buckets[current] += line) += '\n';
            continue;
        }
        if (line.find("SP") != std::string_view::npos) {
            const char c = line.size() > 2 ? line[2] : '\0';
            if (c == '0' || c == ';') continue;
            bool found = false;
            for (size_t i = 0; i < rows.size(); ++i)
                if (rows[i].colour == static_cast<unsigned char>(c) - '0') current = i, found = true;
            if (!found) notice.Show("未知笔颜色!", std::string(), kNoticeOk);
            (buckets[current] += lineType) += '\n';
            continue;
        }
        (buckets[current] += line) += '\n';
    }
    std::string out;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].enabled) out += buckets[i];
    return out + "SP0;\n";
}

// A job as the drawing program exports it: one command per line, each ended by CR LF,
// with pens (some unlisted, some 0), line types, paths and the odd empty line.
std::string CorelStyleJob(std::mt19937& rng) {
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::string t = "IN;\r\nIP0,0,1016,1016;\r\nSC0,1016,0,1016;\r\n";
    const int commands = 50 + pick(400);
    for (int i = 0; i < commands; ++i) {
        switch (pick(12)) {
        case 0: t += "SP" + std::to_string(pick(10)) + ";"; break;
        case 1: t += pick(2) ? "LT;" : "LT" + std::to_string(1 + pick(6)) + "," + std::to_string(1 + pick(4)) + ";"; break;
        case 2: t += pick(2) ? "PU;" : "PD;"; break;
        case 3: t += pick(8) ? "" : "SP;"; break;
        default:
            t += (pick(4) ? "PD" : "PU") + std::to_string(pick(4000)) + "," + std::to_string(pick(4000)) + ";";
        }
        t += "\r\n";
    }
    return t + "SP0;\r\n";
}

std::string ReadFixture(const char* name) {
    std::ifstream in(std::string(KM_TEST_DATA_DIR) + "/plt/" + name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The whole road of an exported job: scan, pen list (pen 2 moved up, pen 3 switched off),
// regrouping, conversion with presets and dashed cutting.
std::string Stream(std::string text, CRecordingNotice& notice) {
    ConvertJob job;
    EXPECT_TRUE(ScanPlt(text, job.jobBox));
    SetJobReferences(job);
    std::vector<SHARPCOLORS> rows;
    uint8_t mode = 0;
    ScanPens(text, rows, mode, PenPresetTable{1, 3, 5, 1, 1, 1, 1, 1}, false, notice);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SHARPCOLORS& a, const SHARPCOLORS& b) { return a.colour == 2 && b.colour != 2; });
    for (SHARPCOLORS& r : rows) r.enabled = r.colour != 3;
    RegroupByPen(text, rows, notice);
    ConvertSettings s;
    s.usePresets = true;
    s.path = PathSettings{true, 2.51f, 5.01f, 0.5f};
    std::string stream;
    EXPECT_EQ(ConvertPltToCutter(text, job, s, rows, false, notice, stream), ConvertResult::kConverted);
    return stream;
}

std::string OneLine(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
               text.end());
    return text;
}

}  // namespace

TEST(RegroupByPen, Cases) {
    struct Case {
        const char* name;
        std::vector<SHARPCOLORS> rows;
        std::string in, out;
        size_t unknownPen;
    };
    const Case cases[] = {
        {"rows pen 2 then pen 1",
         {{1, 1, 2}, {1, 1, 1}},
         "IN;\nSP1;\nPU0,0;\nPD1,1;\nSP2;\nPU5,5;\nPD6,6;\n",
         "SP2;\r\nIN;\nLT;\nPU5,5;\nPD6,6;\nSP1;\r\nLT;\nPU0,0;\nPD1,1;\nSP0;\n", 0},
        {"disabled row drops its drawing",
         {{1, 1, 1}, {0, 1, 3}},
         "SP3;\nPU9,9;\nSP1;\nPU1,1;\nSP3;\nPD8,8;\n",
         "SP1;\r\nLT;\nPU1,1;\nSP0;\n", 0},
        {"one line", {{1, 1, 1}, {0, 1, 2}, {1, 1, 3}}, "SP1;PU0,0;PD5,5;SP2;PU1,1;SP3;PU2,2;",
         "SP1;\r\nLT;\nPU0,0;\nPD5,5;\nSP3;\r\nLT;\nPU2,2;\nSP0;\n", 0},
        {"a path on the line of its pen", {{1, 1, 1}, {1, 1, 2}}, "SP2;PU0,0;PD10,10;\r\n",
         "SP1;\r\nSP2;\r\nLT;\nPU0,0;\nPD10,10;\r\nSP0;\n", 0},
        {"line type repeated at the switch and kept in place",
         {{1, 1, 1}, {1, 1, 2}},
         "SP1;\nLT1;\nPU0,0;\nSP2;\nPU1,1;\nSP1;\nLT;\nPU2,2;\n",
         "SP1;\r\nLT;\nLT1;\nPU0,0;\nLT1;\nLT;\nPU2,2;\nSP2;\r\nLT1;\nPU1,1;\nSP0;\n", 0},
        {"line type of a one-line job", {{1, 1, 1}, {1, 1, 2}}, "SP1;LT1,2;PU0,0;SP2;PU1,1;",
         "SP1;\r\nLT;\nLT1,2;\nPU0,0;\nSP2;\r\nLT1,2;\nPU1,1;\nSP0;\n", 0},
        // "SP\r\nPU1,1;" is the one command SPPU1,1 to the reading as well.
        {"pen 0 and SP; vanish, SP without a digit is unknown",
         {{1, 1, 1}},
         "SP0;\nSP;\nSP\r\nPU1,1;\r\nPU2,2;\r\nNSP1;\n",
         "SP1;\r\nLT;\nPU2,2;\r\nLT;\nSP0;\n", 2},  // the third character of NSP1; is P
        {"unlisted pen stays in the current bucket and the last matching row wins",
         {{1, 1, 1}, {1, 1, 2}, {1, 1, 1}},
         "SP5;\nPU1,1;\nSP1;\nPU2,2;\nSP7;\nPU3,3;\n",
         "SP1;\r\nLT;\nPU1,1;\nSP2;\r\nSP1;\r\nLT;\nPU2,2;\nLT;\nPU3,3;\nSP0;\n", 2},
        {"the last command counts without a line feed", {{1, 1, 1}}, "PU1,1;\r\nPD2,2;",
         "SP1;\r\nPU1,1;\r\nPD2,2;\nSP0;\n", 0},
        {"a last command without its ; gets one", {{1, 1, 1}}, "PU1,1;\r\nPD2,2\r",
         "SP1;\r\nPU1,1;\r\nPD2,2;\r\nSP0;\n", 0},
        {"a command broken over lines stays whole", {{1, 1, 1}, {1, 1, 2}},
         "SP2;PU1\r\n,1;\r\nSP1;\r\nPU2,2;",
         "SP1;\r\nLT;\nPU2,2;\nSP2;\r\nLT;\nPU1\r\n,1;\r\nSP0;\n", 0},
        {"empty lines stay where they were", {{1, 1, 1}, {1, 1, 2}},
         "PU1,1;\r\n\r\nSP2;\r\n\nPU2,2;\r\n\r",
         "SP1;\r\nPU1,1;\r\n\r\nSP2;\r\nLT;\n\nPU2,2;\r\nSP0;\n", 0},
    };
    for (const Case& c : cases) {
        CRecordingNotice notice;
        EXPECT_EQ(Regroup(c.in, c.rows, notice), c.out) << c.name;
        EXPECT_EQ(notice.Count("未知笔颜色!"), c.unknownPen) << c.name;
        EXPECT_EQ(notice.shown.size(), c.unknownPen) << c.name;
    }
}

TEST(RegroupByPen, WithoutRowsTheTextStays) {
    CRecordingNotice notice;
    EXPECT_EQ(Regroup("SP2;\nPU1,1;", {}, notice), "SP2;\nPU1,1;");
}

// Files with one command per line come out exactly as the line-by-line regrouping gave them.
TEST(RegroupByPen, CorelStyleJobsKeepTheirBytes) {
    std::mt19937 rng(14);
    for (int job = 0; job < 200; ++job) {
        const std::string text = CorelStyleJob(rng);
        std::vector<SHARPCOLORS> rows;
        const int count = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < count; ++i)
            rows.push_back(SHARPCOLORS{static_cast<uint8_t>(rng() % 4 != 0), 1, 1 + static_cast<int32_t>(rng() % 8)});
        CRecordingNotice before, after;
        ASSERT_EQ(Regroup(text, rows, after), RegroupByLines(text, rows, before)) << "job " << job;
        ASSERT_EQ(after.Texts(), before.Texts()) << "job " << job;
    }
    CRecordingNotice before, after;
    const std::string exported = ReadFixture("two_pens.plt");
    const std::vector<SHARPCOLORS> rows = {{1, 1, 2}, {1, 1, 1}};
    EXPECT_EQ(Regroup(exported, rows, after), RegroupByLines(exported, rows, before));
}

// Written on one line, as many drawing programs do, a job cuts the same as with one command
// per line: pens in their places, the dashed pen dashed, a switched-off pen left out.
TEST(RegroupByPen, OneLineJobGivesTheSameStream) {
    const std::string lines =
        "IN;\r\nSP1;\r\nPU0,0;\r\nPD400,0;\r\nPD400,300;\r\nSP2;\r\nLT1,2;\r\nPU0,200;\r\n"
        "PD400,200;\r\nLT;\r\nSP3;\r\nPU100,100;\r\nPD300,100;\r\nSP1;\r\nPU0,400;\r\n"
        "PD400,400;\r\nSP2;\r\nPU50,50;\r\nPD60,60;\r\nSP0;\r\n";
    CRecordingNotice n1, n2, n3;
    const std::string want = Stream(lines, n1);
    EXPECT_EQ(want,
              "U0,0 I400,400 U0,0 D0,0,0,40 U S#2;L1;U200,0 D200,100 U200,300 D200,400 L0;U350,50 D340,60 "
              "S#0;U400,0 D400,400,100,400 U0,0 D0,400 U400,0 @ ");
    EXPECT_EQ(Stream(OneLine(lines), n2), want);
    EXPECT_EQ(Stream(OneLine(lines) + "\n", n3), want);
    EXPECT_TRUE(n1.shown.empty());
    EXPECT_TRUE(n2.shown.empty());

    // The exported fixture on one line as well.
    CRecordingNotice n4, n5;
    const std::string exported = ReadFixture("two_pens.plt");
    ASSERT_FALSE(exported.empty());
    EXPECT_EQ(Stream(OneLine(exported), n4), Stream(exported, n5));
}

// The last command is cut whether or not a line feed follows it, also without its ";".
TEST(RegroupByPen, LastCommandWithoutLineFeedIsCut) {
    const std::string full = "SP1;\r\nPU0,0;\r\nPD400,0;\r\nPU0,400;\r\nPD400,400;\r\n";
    CRecordingNotice n;
    const std::string want = Stream(full, n);
    EXPECT_NE(want.find("U0,0 D0,400 "), std::string::npos) << want;
    EXPECT_EQ(Stream(full.substr(0, full.size() - 2), n), want);
    EXPECT_EQ(Stream(full.substr(0, full.size() - 3), n), want);
    EXPECT_EQ(Stream(full.substr(0, full.size() - 1), n), want);
    EXPECT_TRUE(n.shown.empty());
}

namespace {

// The commands a reader cuts, with how each ended.
template <class Reader>
std::vector<std::string> CommandsOf(Reader& reader) {
    std::vector<std::string> out;
    for (CCommandReader::Result r; (r = reader.Next()) != CCommandReader::kEnd;)
        out.push_back((r == CCommandReader::kFull ? "full:" : "") + std::string(reader.Command()));
    return out;
}

// Reading in pen order gives the commands and messages of reading the regrouped text.
void ExpectSameCommands(const std::string& text, const std::vector<SHARPCOLORS>& rows, const std::string& what) {
    CRecordingNotice copied, inPlace;
    const std::string regrouped = Regroup(text, rows, copied);
    const CPenOrder order(text, rows, inPlace);
    ASSERT_EQ(inPlace.Texts(), copied.Texts()) << what;
    for (size_t capacity : {kConvertCommandCapacity, kScanCommandCapacity, size_t{3}}) {
        CCommandReader plain(regrouped, capacity);
        CPenOrderReader ordered(order, capacity);
        ASSERT_EQ(CommandsOf(ordered), CommandsOf(plain)) << what << ", capacity " << capacity;
    }
}

// Text made of the pieces that trouble a reader: pen changes of every kind, line types,
// commands cut by line breaks, over-long commands, and an end without ";".
std::string RoughText(std::mt19937& rng) {
    static const char* const kPieces[] = {
        "SP1;", "SP2;", "SP3;", "SP0;", "SP;", "SP9;", "S\r\nP2;", "XSP1;", "LT;", "LT1,4;", "L\nT2;",
        "PU1,2;", "PD3,4;", "PD5,6", "PU;", ";", ";;", "\r", "\n", "\r\n", "\r\r\n", " ", "IW0,0,5,5;",
        "PD1234567890123456789012345678901234567890,123456789012345678901234567890;",
    };
    std::string t;
    const int count = static_cast<int>(rng() % 60);
    for (int i = 0; i < count; ++i) t += kPieces[rng() % (sizeof kPieces / sizeof *kPieces)];
    switch (rng() % 4) {
    case 0: t += "PD7,8"; break;  // the last command without its ";"
    case 1: t += "LT3"; break;
    case 2: t += std::string(49 + rng() % 3, '9'); break;  // cut off right at the end
    default: break;
    }
    return t;
}

}  // namespace

TEST(CPenOrder, ReadsAsTheRegroupedText) {
    std::mt19937 rng(15);
    for (int i = 0; i < 3000; ++i) {
        const std::string text = i % 3 ? RoughText(rng) : CorelStyleJob(rng);
        std::vector<SHARPCOLORS> rows;
        const int count = static_cast<int>(rng() % 5);
        for (int r = 0; r < count; ++r)
            rows.push_back(SHARPCOLORS{static_cast<uint8_t>(rng() % 4 != 0), 1, static_cast<int32_t>(rng() % 10)});
        ExpectSameCommands(text, rows, "text " + std::to_string(i));
        if (HasFatalFailure()) return;
    }
    ExpectSameCommands(ReadFixture("two_pens.plt"), {{1, 1, 2}, {1, 1, 1}}, "exported job");
    // Inkscape writes each outline into one PD of thousands of characters.
    for (const auto& rows : {std::vector<SHARPCOLORS>{}, std::vector<SHARPCOLORS>{{1, 1, 1}}})
        ExpectSameCommands(ReadFixture("inkscape_sign.plt"), rows, "Inkscape's export");
}

// A job is read where it lies; only one with pen changes on most of its lines is copied.
TEST(CPenOrder, CopiesOnlyTextsFullOfPenChanges) {
    std::mt19937 rng(16);
    const std::vector<SHARPCOLORS> rows = {{1, 1, 1}, {1, 1, 2}, {0, 1, 3}};
    std::string job;
    while (job.size() < 400000) job += CorelStyleJob(rng);
    CRecordingNotice notice;
    EXPECT_FALSE(CPenOrder(job, rows, notice).Copied());
    ExpectSameCommands(job, rows, "job");

    std::string changes;
    for (int i = 0; i < 3000; ++i) changes += "SP1;PU" + std::to_string(i) + ",1;SP2;SP7;SP0;\r\n";
    EXPECT_TRUE(CPenOrder(changes, rows, notice).Copied());
    ExpectSameCommands(changes, rows, "changes");
}
