#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "converter_test_support.h"
#include "dxf_guard.h"
#include "dxf_import.h"
#include "recording_notice.h"

namespace {

using Guard = ConverterTest;

std::string Entity(const std::string& type, const std::vector<std::pair<int, std::string>>& g) {
    std::vector<std::pair<int, std::string>> all = {{0, "SECTION"}, {2, "ENTITIES"}, {0, type},
                                                    {8, "0"}};
    all.insert(all.end(), g.begin(), g.end());
    all.push_back({0, "ENDSEC"});
    all.push_back({0, "EOF"});
    return DxfText(all);
}

// The counts with which dxflib 3.26.4 overflows its arrays or asks for gigabytes.
TEST_F(Guard, KnownAllocationFaultsAreRefusedBeforeDxflibSeesThem) {
    const struct { const char* type; int code; const char* count; } cases[] = {
        {"LWPOLYLINE", 90, "1073741824"}, {"LWPOLYLINE", 90, "200000000"},
        {"SPLINE", 74, "1431655766"},     {"SPLINE", 73, "62262223"},
        {"SPLINE", 72, "536870912"},      {"LEADER", 76, "1431655766"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.count);
        CRecordingNotice n;
        const std::string text = Entity(c.type, {{c.code, c.count}, {10, "1"}, {20, "2"}});
        EXPECT_EQ(ReadDxfText(text.data(), text.size(), n), DxfReadResult::kRefused);
        ASSERT_EQ(n.shown.size(), 1u);
        EXPECT_NE(n.shown[0].text.find("line 10 gives a count"), std::string::npos)
            << n.shown[0].text;
        EXPECT_TRUE(Stores().entities.empty());
    }
}

TEST_F(Guard, CountsTheEntityHoldsOrSmallOnesAreRead) {
    std::vector<std::pair<int, std::string>> many = {{90, "5000"}};
    for (int i = 0; i < 5000; ++i) {
        many.push_back({10, std::to_string(i)});
        many.push_back({20, "0"});
    }
    const std::string held = Entity("LWPOLYLINE", many);
    EXPECT_TRUE(CheckDxfText(held.data(), held.size()).Accepted());

    const std::string sloppy = Entity("LWPOLYLINE", {{90, "4096"}, {10, "1"}, {20, "1"}});
    EXPECT_TRUE(CheckDxfText(sloppy.data(), sloppy.size()).Accepted());
    const std::string over = Entity("LWPOLYLINE", {{90, "4097"}, {10, "1"}, {20, "1"}});
    EXPECT_EQ(CheckDxfText(over.data(), over.size()).verdict, DxfCheck::kCountTooLarge);

    // The same group code outside the entities dxflib allocates for means nothing.
    const std::string other = Entity("LINE", {{90, "1073741824"}, {73, "1431655766"}});
    EXPECT_TRUE(CheckDxfText(other.data(), other.size()).Accepted());
}

// dxflib reads group codes the way strtol does; the check must see the same codes.
TEST_F(Guard, GroupCodesAreReadLikeDxflibReadsThem) {
    const std::string spaced = "0\nSPLINE\n  74  \r\n1431655766\r\n0\nEOF\n";
    EXPECT_EQ(CheckDxfText(spaced.data(), spaced.size()).verdict, DxfCheck::kCountTooLarge);
    const std::string nul = std::string("0\nLWPOLYLINE\n90\0junk\n1073741824\n", 32);
    EXPECT_EQ(CheckDxfText(nul.data(), nul.size()).verdict, DxfCheck::kCountTooLarge);
    const std::string lastGroup = "0\nLEADER\n76\n1431655766";  // no final line feed
    EXPECT_EQ(CheckDxfText(lastGroup.data(), lastGroup.size()).verdict,
              DxfCheck::kCountTooLarge);
}

TEST_F(Guard, OverlongLinesAreRefused) {
    const std::string fits = "999\n" + std::string(kMaxDxfLineBytes - 1, 'x') + "\r\n0\nEOF\n";
    EXPECT_TRUE(CheckDxfText(fits.data(), fits.size()).Accepted());
    CRecordingNotice n;
    const std::string longer = "999\n" + std::string(kMaxDxfLineBytes + 1, 'x') + "\n0\nEOF\n";
    EXPECT_EQ(ReadDxfText(longer.data(), longer.size(), n), DxfReadResult::kRefused);
    ASSERT_EQ(n.shown.size(), 1u);
    EXPECT_EQ(n.shown[0].text, "The DXF file cannot be read: line 2 is too long.\r\n"
                               "The file may be damaged.");
    EXPECT_EQ(n.shown[0].style, kNoticeOk | kNoticeIconError);
    // Also the last line, without a line feed after it.
    const std::string tail = "0\nEOF\n" + std::string(5000, '7');
    EXPECT_EQ(CheckDxfText(tail.data(), tail.size()).verdict, DxfCheck::kLineTooLong);
}

TEST_F(Guard, FilesAboveTheSizeLimitAreRefused) {
    std::string big(kMaxDxfBytes + 1, '\n');
    EXPECT_EQ(CheckDxfText(big.data(), big.size()).verdict, DxfCheck::kTooLarge);
    big.pop_back();
    EXPECT_TRUE(CheckDxfText(big.data(), big.size()).Accepted());
}

TEST_F(Guard, EmptyAndOddTextReadWithoutEntities) {
    for (const std::string& t : {std::string(), std::string("0"), std::string("\n\n\n"),
                                std::string("0\nLINE\n10\n")}) {
        CRecordingNotice n;
        EXPECT_EQ(ReadDxfText(t.data(), t.size(), n), DxfReadResult::kRead);
        EXPECT_TRUE(n.shown.empty());
    }
}

// The kept fuzz regression inputs, each crafted for one known dxflib fault, read through
// this build's dxflib without harm.
TEST_F(Guard, KeptFaultInputsAreHarmless) {
    const std::filesystem::path dir =
        std::filesystem::u8path(std::string(KM_TEST_DATA_DIR) + "/../../fuzz/regress/converter");
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(e.path().filename().u8string());
        ++files;
        CRecordingNotice n;
        const DxfReadResult r = ReadDxfFile(e.path().u8string(), n);
        const bool fault = e.path().filename().u8string() != "hatch_edges.dxf";
        EXPECT_EQ(r, fault ? DxfReadResult::kRefused : DxfReadResult::kRead);
        EXPECT_EQ(n.shown.size(), fault ? 1u : 0u);
    }
    EXPECT_GE(files, 7u);
}

}  // namespace
