#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "plt_reader.h"
#include "recording_notice.h"

namespace {

std::vector<std::string> Commands(std::string_view text, size_t capacity, std::vector<int>* full = nullptr) {
    CCommandReader reader(text, capacity);
    std::vector<std::string> out;
    for (CCommandReader::Result r; (r = reader.Next()) != CCommandReader::kEnd;) {
        out.emplace_back(reader.Command());
        if (full) full->push_back(r == CCommandReader::kFull);
    }
    return out;
}

struct BoxCase {
    const char* name;
    std::string text;
    int32_t maxX, maxY, minX, minY, width, height;
};

}  // namespace

TEST(CommandReader, DropsLineBreaksTurnsBlanksIntoCommasAndKeepsTheLastCommand) {
    EXPECT_EQ(Commands("P\r\nU5 7;PD1,\n2;;SP1", 254),
              (std::vector<std::string>{"PU5,7", "PD1,2", "", "SP1"}));
    EXPECT_EQ(Commands("PU1,1;\r\n", 254), (std::vector<std::string>{"PU1,1"}));
    EXPECT_TRUE(Commands("\r\n\r\n", 254).empty());
}

TEST(CommandReader, ConversionLimitCutsTheFiftiethCharacterAndGoesOn) {
    const std::string c49(49, 'x'), c50(50, 'x');
    std::vector<int> full;
    EXPECT_EQ(Commands(c49 + ";PU", kConvertCommandCapacity, &full), (std::vector<std::string>{c49, "PU"}));
    EXPECT_EQ(full, (std::vector<int>{0, 0}));
    full.clear();
    // The 50 characters end the command; the ";" after them starts an empty one.
    EXPECT_EQ(Commands(c50 + ";PU", kConvertCommandCapacity, &full), (std::vector<std::string>{c50, "", "PU"}));
    EXPECT_EQ(full, (std::vector<int>{1, 0, 0}));
    full.clear();
    EXPECT_EQ(Commands(c50 + "yz;", kConvertCommandCapacity, &full), (std::vector<std::string>{c50, "yz"}));
    EXPECT_EQ(full, (std::vector<int>{1, 0}));
}

TEST(CommandReader, PuAndPdAreNeverCutOff) {
    const std::string pairs = std::string(300, '7') + "1,2 3";
    const std::string read = std::string(300, '7') + "1,2,3";
    for (size_t capacity : {size_t{2}, size_t{3}, kConvertCommandCapacity, kScanCommandCapacity}) {
        std::vector<int> full;
        EXPECT_EQ(Commands("PU" + pairs + ";\r\nPD" + pairs + "\r\n;X", capacity, &full),
                  (std::vector<std::string>{"PU" + read, "PD" + read, "X"}))
            << capacity;
        EXPECT_EQ(full, (std::vector<int>{0, 0, 0})) << capacity;
        // Other commands are still cut, also a PD but for its case.
        full.clear();
        EXPECT_EQ(Commands("Pd" + pairs, capacity, &full).front(), ("Pd" + pairs).substr(0, capacity)) << capacity;
        EXPECT_EQ(full.front(), 1) << capacity;
    }
}

TEST(ParseCoordinate, ReadsLikeAtolWithinElevenCharacters) {
    struct { const char* text; int32_t value; } cases[] = {
        {"12abc", 12}, {"-5", -5}, {"+7", 7}, {"\t42", 42}, {"", 0}, {"x1", 0},
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"99999999999", INT32_MAX}, {"-9999999999", INT32_MIN},
        {"000000000012", 1},  // only the first 11 characters count
    };
    for (auto& c : cases) EXPECT_EQ(ParseCoordinate(c.text), c.value) << c.text;
}

TEST(ParsePoint, TakesTheFirstPairAndThePointListEveryPair) {
    int32_t x = -1, y = -1;
    EXPECT_TRUE(ParsePoint("PD10,20,30,40", x, y));
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    EXPECT_FALSE(ParsePoint("PD", x, y));
    EXPECT_FALSE(ParsePoint("PD100", x, y));  // no comma: no point
    EXPECT_TRUE(ParsePoint("PU,5,,7", x, y));  // from "PU 5  7"
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 7);

    using Pairs = std::vector<std::pair<int32_t, int32_t>>;
    struct { const char* command; Pairs pairs; } cases[] = {
        {"PD10,20,30,40", {{10, 20}, {30, 40}}},
        {"PU,5,,7,,-8,,9,", {{5, 7}, {-8, 9}}},  // from "PU 5  7  -8  9 "
        {"PD100", {}},
        {"PD5,", {{5, 0}}},               // a first pair reads as it always has
        {"PD1,2,3", {{1, 2}}},            // a lone number at the end is no point
        {"PD1,2,3,", {{1, 2}}},
        {"PD1,2,3,x", {{1, 2}, {3, 0}}},  // each number read like atol
        {"PD1,2,000000000012,4", {{1, 2}, {1, 4}}},  // within eleven characters
    };
    for (auto& c : cases) {
        Pairs read;
        CPointList points(c.command);
        for (int32_t px, py; points.Next(px, py);) read.emplace_back(px, py);
        EXPECT_EQ(read, c.pairs) << c.command;
    }
}

TEST(ScanPlt, BoxOfThePoints) {
    const BoxCase cases[] = {
        {"repeated points", "PU0,0;PD0,0;PD100,0;PD100,0;PD100,100;", 100, 100, 0, 0, 100, 100},
        {"PD before any PU", "PD500,500;PU10,20;PD30,40;", 30, 40, 10, 20, 20, 20},
        {"blanks and line breaks", "PU 5 7;P\r\nD-3,\r\n9;", 5, 9, -3, 7, 8, 2},
        {"several pairs", "PU0,0;PD10,20,30,40;", 30, 40, 0, 0, 30, 40},
        {"D commands continue the chain", "PU1,1;XD9,9;PU2,2;", 9, 9, 1, 1, 8, 8},
        {"short D command ends the chain", "PU1,1;PD;PD50,50;", 1, 1, 1, 1, 0, 0},
        {"other command ends the chain", "PU1,1;SP1;PD50,50;PU3,3;", 3, 3, 1, 1, 2, 2},
        {"GC mark line shrinks by 60",
         "$1:GC,Regmark,Type-2,Auto,4,10,8.5,10,10;PU0,0;PD1000,2000;", 940, 1940, 60, 60, 880, 1880},
        // 9 x 14.11111068725586 x 0.5 + 0.5 = 63.999998..., truncated to 63.
        {"9-point GC mark shrinks by 63",
         "$1:GC,Regmark,Segment,Area,Type-2V,4,10,9,10,10;PU0,0;PD1000,2000;", 937, 1937, 63, 63, 874, 1874},
        {"SA mark line does not shrink",
         "$1:SA,regmark,type2,auto,3,1,8.5,1,1;PU0,0;PD1000,2000;", 1000, 2000, 0, 0, 1000, 2000},
        {"the last mark size counts",
         "$1:GC,Regmark,Type-2,Auto,4 10 8.5 10 10;$1:SA,regmark,segment,area,type2H,1,2,17,3,4;"
         "PU0,0;PD1000,2000;", 880, 1880, 120, 120, 760, 1760},
        {"other $ lines are ignored", "$hello;PU1,2;", 1, 2, 1, 2, 0, 0},
    };
    for (const BoxCase& c : cases) {
        PltBox box;
        ASSERT_TRUE(ScanPlt(c.text, box)) << c.name;
        EXPECT_EQ(box.maxCorner.x, c.maxX) << c.name;
        EXPECT_EQ(box.maxCorner.y, c.maxY) << c.name;
        EXPECT_EQ(box.minCorner.x, c.minX) << c.name;
        EXPECT_EQ(box.minCorner.y, c.minY) << c.name;
        EXPECT_EQ(box.width, c.width) << c.name;
        EXPECT_EQ(box.height, c.height) << c.name;
    }
}

TEST(ScanPlt, TextWithoutPointsKeepsTheInitialBox) {
    for (const char* text : {"", "IN;SP1;PD5,5;", "PU;PD;", "$1:GC,Regmark,Type-2,Auto,4,10,8.5,10,10;"}) {
        PltBox box;
        ASSERT_TRUE(ScanPlt(text, box)) << text;
        EXPECT_TRUE(box.IsUntouched()) << text;
    }
}

TEST(ScanPlt, CommandLengthLimit) {
    PltBox box;
    EXPECT_TRUE(ScanPlt("PU1,1;XX" + std::string(251, 'a') + ";", box));
    EXPECT_FALSE(ScanPlt("PU1,1;XX" + std::string(252, 'a') + ";", box));
    // Line breaks do not count.
    EXPECT_TRUE(ScanPlt("XX" + std::string(251, 'a') + "\r\n;", box));
    // The limit holds inside a path too, for all but PU and PD.
    EXPECT_FALSE(ScanPlt("PU1,1;XD2,2" + std::string(250, ',') + ";", box));
}

TEST(ScanPlt, MarkLayoutLines) {
    struct { const char* line; bool ok; } cases[] = {
        {"$1:SA,regmark,segment,type2V,1,2,3,4,5,6,7", true},
        {"$1:SA,regmark,segment,type2V,1,2,3,4,5,6", false},
        {"$1:SA,regmark,segment,area,type2V,1,2,3,4,5", true},
        {"$1:SA,regmark,segment,area,type2H,1,2,3,4,5", true},
        {"$1:SA,regmark,segment,area,type2H,1,2,3,4", false},
        {"$1:SA,regmark,segment,area,type2X,1,2,3,4,5", false},
        {"$1:SA,regmark,type2,auto,1,2,3,4,5", true},
        {"$1:SA,regmark,type2,auto,1,2,3,4", false},
        {"$1:SA,regmark,type2,auto,1,2,3,4,5,6", true},
        {"$1:SA,regmark,type2,auto,1,2,3", false},
        {"$2:SA,regmark,type2,auto,1,2,3,4,5,6", false},
        {"$1:SA,regmark,other", false},
        {"$1:GC,Regmark,Type-2,Auto,1,2,3,4,5", true},
        {"$1:GC,Regmark,Type-2,Auto,1,2,3,4", false},
        {"$1:GC,Regmark,Segment,Area,Type-2V,1,2,3,4,5", true},
        {"$1:GC,Regmark,Segment,Area,Type-2H,1,2,3,4,5", true},
        {"$1:GC,Regmark,Segment,Area,Type-2X,1,2,3,4,5", false},
        {"$1:gc,regmark,Type-2,Auto,1,2,3,4,5", true},  // neither form: ignored
    };
    for (auto& c : cases) {
        PltBox box;
        EXPECT_EQ(ScanPlt(std::string("PU0,0;") + c.line + ";PD9,9;", box), c.ok) << c.line;
    }
}

TEST(ScanPens, ListsPensInOrderOfFirstUse) {
    const PenPresetTable presets{3, 4, 5, 6, 7, 8, 1, 2};
    std::vector<SHARPCOLORS> rows;
    uint8_t mode = 0;
    CRecordingNotice notice;
    ScanPens("SP2;PU0,0;SP1;SP2;SP0;SP9;SP3;SP", rows, mode, presets, false, notice);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].colour, 2);
    EXPECT_EQ(rows[0].preset, 4);
    EXPECT_EQ(rows[0].enabled, 1);
    EXPECT_EQ(rows[1].colour, 1);
    EXPECT_EQ(rows[1].preset, 3);
    EXPECT_EQ(rows[2].colour, 3);
    EXPECT_EQ(rows[2].preset, 5);
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(notice.Texts(), (std::vector<std::string>{"不支持的笔颜色!\n已自动转换成黑色笔!"}));
}

TEST(ScanPens, UnsupportedPenBecomesPenOneInEnglishToo) {
    const PenPresetTable presets{6, 1, 1, 1, 1, 1, 1, 1};
    std::vector<SHARPCOLORS> rows{{0, 2, 5}};  // rows already listed stay as they are
    uint8_t mode = 0;
    CRecordingNotice notice;
    ScanPens("SP;SP5;SPA;", rows, mode, presets, true, notice);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].enabled, 0);
    EXPECT_EQ(rows[1].colour, 1);
    EXPECT_EQ(rows[1].preset, 6);
    EXPECT_EQ(notice.Count("Unsupported pen color! \nHas been automatically converted to black pen!"), 2u);
    EXPECT_EQ(notice.shown[0].caption, "");
}

TEST(FindCommonBand, BandsIncludeBothEndsAndTheLowerBandWins) {
    struct { int32_t a, b; bool found; int32_t band; } cases[] = {
        {8000, 8000, true, 1},   {7999, 8001, false, -7}, {24000, 30000, true, 3},
        {-5, 0, true, 1},        {-5, 10, false, -7},      {8000, 16000, true, 2},
        {16001, 23999, true, 3}, {0, 8000, true, 1},       {30000, 24001, true, 3},
    };
    for (auto& c : cases) {
        int32_t band = -7;
        EXPECT_EQ(FindCommonBand(PathPoint{c.a, 0}, PathPoint{c.b, 0}, 8000.0, 3, band), c.found) << c.a << " " << c.b;
        EXPECT_EQ(band, c.band) << c.a << " " << c.b;
    }
    // Bands of a real length: the boundaries are truncated.
    int32_t band = 0;
    EXPECT_TRUE(FindCommonBand(PathPoint{333, 0}, PathPoint{666, 0}, 1000.0 / 3, 3, band));
    EXPECT_EQ(band, 2);
}

TEST(InsertPointAfter, LinksTheNewNodeBehind) {
    PathPoint tail{5, 6, nullptr};
    PathPoint head{1, 2, &tail};
    CRecordingNotice notice;
    PathPoint* n = InsertPointAfter(&head, 3, 4, notice);
    EXPECT_EQ(head.next, n);
    EXPECT_EQ(n->next, &tail);
    EXPECT_EQ(n->x, 3);
    EXPECT_EQ(n->y, 4);
    delete n;
    EXPECT_TRUE(notice.shown.empty());
}
