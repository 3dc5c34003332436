#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pen_regroup.h"
#include "recording_notice.h"

namespace {

std::string Regroup(std::string text, const std::vector<SHARPCOLORS>& rows, CRecordingNotice& notice) {
    RegroupByPen(text, rows, notice);
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
        {"no line feed", {{1, 1, 1}, {0, 1, 2}, {1, 1, 3}}, "SP1;PU0,0;PD5,5;",
         "SP1;\r\nSP3;\r\n" "SP0;\n", 0},
        {"line type repeated at the switch and kept in place",
         {{1, 1, 1}, {1, 1, 2}},
         "SP1;\nLT1;\nPU0,0;\nSP2;\nPU1,1;\nSP1;\nLT;\nPU2,2;\n",
         "SP1;\r\nLT;\nLT1;\nPU0,0;\nLT1;\nLT;\nPU2,2;\nSP2;\r\nLT1;\nPU1,1;\nSP0;\n", 0},
        {"pen 0 and SP; vanish, CR after SP is unknown",
         {{1, 1, 1}},
         "SP0;\nSP;\nSP\r\nPU1,1;\r\nNSP1;\n",
         "SP1;\r\nLT;\nPU1,1;\r\nLT;\nSP0;\n", 2},  // the third character of NSP1; is P
        {"unlisted pen stays in the current bucket and the last matching row wins",
         {{1, 1, 1}, {1, 1, 2}, {1, 1, 1}},
         "SP5;\nPU1,1;\nSP1;\nPU2,2;\nSP7;\nPU3,3;\n",
         "SP1;\r\nLT;\nPU1,1;\nSP2;\r\nSP1;\r\nLT;\nPU2,2;\nLT;\nPU3,3;\nSP0;\n", 2},
        {"text after the last line feed is not taken", {{1, 1, 1}}, "PU1,1;\nPD2,2;",
         "SP1;\r\nPU1,1;\nSP0;\n", 0},
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
