#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "converter_test_support.h"
#include "dxf_adapter.h"
#include "dxf_import.h"
#include "entity_store.h"
#include "recording_notice.h"

namespace {

using Import = ConverterTest;

constexpr double kPi = 3.141592653589793;

// The coordinate pairs of a written text: "U a,b", "D a,b,c,d..." (a preset switch may stand
// before the U).
std::vector<std::pair<long, long>> WrittenPairs(const std::string& text) {
    std::vector<std::pair<long, long>> pairs;
    std::istringstream items(text);
    for (std::string item; std::getline(items, item, ' ');) {
        const size_t at = item.find_first_of("UD");
        if (at == std::string::npos || at + 1 >= item.size()) continue;
        std::istringstream numbers(item.substr(at + 1));
        long first, second;
        char comma;
        while (numbers >> first >> comma >> second) {
            pairs.emplace_back(first, second);
            if (!(numbers >> comma)) break;
        }
    }
    return pairs;
}

TEST_F(Import, MixedR12DrawingKeepsItsShapesInFileOrder) {
    CRecordingNotice n;
    ASSERT_EQ(ReadDxfFile(FixturePath("r12_mix.dxf"), n), DxfReadResult::kRead);
    EXPECT_TRUE(n.shown.empty()) << "an R12 drawing gives no version warning";

    const CConverterStores& s = Stores();
    // The header says 0,0 to 10,10; the circle reaches 15,25 and the arc dips below 0.
    EXPECT_EQ(s.extMinX, 0);
    EXPECT_NEAR(s.extMinY, -std::sin(10 * kPi / 180), 1e-6);
    EXPECT_EQ(s.extMaxX, 15);
    EXPECT_EQ(s.extMaxY, 25);
    EXPECT_EQ(s.importState, kImportIdle);
    EXPECT_TRUE(s.vertices.empty());
    ASSERT_EQ(s.layers.size(), 6u);
    EXPECT_EQ(s.layers[2].name, "OFF");
    EXPECT_EQ(s.layers[2].colour, -3);

    // Nothing of the block, the insert, the point, the face, the text or the zero-length line.
    struct Expected { int32_t type; const char* layer; int colour; };
    const Expected want[] = {
        {kShapeLine, "OFF", 3},      {kShapeLine, "0", 0},       {kShapeLine, "NOWHERE", 0},
        {kShapeLine, "RED", 0},      {kShapeLine, "RED", 0},     {kShapeLine, "DUP", 2},
        {kShapeLine, "off", 5},      {kShapeCircle, "RED", 4},   {kShapeArc, "RED", 1},
        {kShapePolyline, "RED", 1},  {kShapePolyline, "RED", 1}, {kShapePolyline, "RED", 1},
        {kShapeLine, "RED", 1},
    };
    ASSERT_EQ(s.entities.size(), std::size(want));
    for (size_t i = 0; i < std::size(want); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.entities[i].type, want[i].type);
        EXPECT_EQ(s.entities[i].attributes.getLayer(), want[i].layer);
        EXPECT_EQ(s.entities[i].attributes.getColor(), want[i].colour);
    }
    EXPECT_TRUE(s.entities[12].attributes.isInPaperSpace());

    const SHARP& line = s.entities[0];
    EXPECT_EQ(line.startX, 0);
    EXPECT_EQ(line.endX, 10);
    ASSERT_NE(line.Line(), nullptr);
    EXPECT_EQ(line.Line()->x2, 10);
    EXPECT_EQ(line.VertexCount(), 0);
}

TEST_F(Import, CircleAndArcRecords) {
    CRecordingNotice n;
    ASSERT_EQ(ReadDxfFile(FixturePath("r12_mix.dxf"), n), DxfReadResult::kRead);
    const SHARP& c = Stores().entities[7];
    EXPECT_EQ(c.startX, 10);
    EXPECT_EQ(c.startY, 25);
    EXPECT_EQ(c.endX, 10);
    EXPECT_EQ(c.endY, 25);
    const double circleBox[4] = {5, 25, 15, 15};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c.box[i], circleBox[i]) << i;

    // 350 to 10 degrees counter-clockwise passes the point right of the centre only.
    const SHARP& a = Stores().entities[8];
    EXPECT_NEAR(a.box[0], std::cos(350.0 / 180 * kPi), 1e-12);
    EXPECT_NEAR(a.box[1], std::sin(10.0 / 180 * kPi), 1e-12);
    EXPECT_EQ(a.box[2], 1);
    EXPECT_NEAR(a.box[3], -std::sin(10.0 / 180 * kPi), 1e-12);
    EXPECT_NEAR(a.startX, std::cos(350.0 / 180 * kPi), 1e-12);
    EXPECT_NEAR(a.endY, std::sin(10.0 / 180 * kPi), 1e-12);
    ASSERT_NE(a.Arc(), nullptr);
    EXPECT_EQ(a.Arc()->angle1, 350);
}

TEST_F(Import, PolylinesClosedOpenAndEmpty) {
    CRecordingNotice n;
    ASSERT_EQ(ReadDxfFile(FixturePath("r12_mix.dxf"), n), DxfReadResult::kRead);
    const SHARP& closed = Stores().entities[9];
    EXPECT_EQ(closed.flags & 1u, 1u);
    ASSERT_EQ(closed.VertexCount(), 5);
    const auto& v = *closed.Vertices();
    EXPECT_EQ(v[4].x, 0);
    EXPECT_EQ(v[4].y, 0);
    EXPECT_EQ(v[4].bulge, 0);
    EXPECT_EQ(v[1].bulge, 1);
    EXPECT_EQ(closed.startX, closed.endX);
    EXPECT_EQ(closed.startY, closed.endY);
    // The bulge from (4, 0) to (4, 4) swings out to x = 6.
    EXPECT_EQ(closed.box[0], 0);
    EXPECT_EQ(closed.box[1], 4);
    EXPECT_NEAR(closed.box[2], 6, 1e-12);
    EXPECT_EQ(closed.box[3], 0);

    const SHARP& open = Stores().entities[10];
    ASSERT_EQ(open.VertexCount(), 2);
    EXPECT_EQ((*open.Vertices())[1].bulge, 0) << "the last vertex drops its bulge of 0.5";
    EXPECT_EQ(open.endX, 5);

    EXPECT_EQ(Stores().entities[11].VertexCount(), 0);
    DropEmptyPolylines();
    ASSERT_EQ(Stores().entities.size(), 12u);
    EXPECT_EQ(Stores().entities[11].type, kShapeLine);
}

TEST_F(Import, ClockwiseArcBoxTakesTheLongWay) {
    CRecordingNotice n;
    const std::string text = DxfText({{0, "SECTION"}, {2, "HEADER"}, {9, "$ANGDIR"}, {70, "1"},
                                      {0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"},
                                      {0, "ARC"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
                                      {40, "1"}, {50, "350"}, {51, "10"},
                                      {0, "ENDSEC"}, {0, "EOF"}});
    ASSERT_EQ(ReadDxfText(text.data(), text.size(), n), DxfReadResult::kRead);
    ASSERT_EQ(Stores().entities.size(), 1u);
    const SHARP& a = Stores().entities[0];
    EXPECT_EQ(a.box[0], -1);
    EXPECT_EQ(a.box[1], 1);
    EXPECT_NEAR(a.box[2], std::cos(10.0 / 180 * kPi), 1e-12);
    EXPECT_EQ(a.box[3], -1);
    // Start and end do not follow the direction.
    EXPECT_NEAR(a.startY, -std::sin(10.0 / 180 * kPi), 1e-12);
}

// Angles past a full turn keep counting quarters: 20 to 400 degrees counter-clockwise (and
// 400 down to 20 clockwise) sweeps more than a whole circle, so every quarter point is in.
TEST_F(Import, ArcBeyondAFullTurnTakesInEveryQuarter) {
    CRecordingNotice n;
    CMyDxfAdapter a(n);
    a.addArc(DL_ArcData(0, 0, 0, 1, 20, 400));
    Stores().arcDirection = 1;
    a.addArc(DL_ArcData(0, 0, 0, 1, 400, 20));
    a.addArc(DL_ArcData(0, 0, 0, 1, 1e300, 0));  // far beyond any drawing: still ends
    ASSERT_EQ(Stores().entities.size(), 3u);
    const double whole[4] = {-1, 1, 1, -1};
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(Stores().entities[k].box[i], whole[i]) << k << i;
}

// A later drawing warns once and is read all the same; its extents are its own (it has none
// in its header, so its line's box), but the arc direction of the drawing before stays.
TEST_F(Import, LaterVersionWarnsAndKeepsTheArcDirection) {
    CRecordingNotice n;
    const std::string first = DxfText({{0, "SECTION"}, {2, "HEADER"}, {9, "$EXTMIN"}, {10, "-2"},
                                       {20, "-3"}, {30, "0"}, {9, "$EXTMAX"}, {10, "7"},
                                       {20, "8"}, {30, "0"}, {9, "$ANGDIR"}, {70, "1"},
                                       {0, "ENDSEC"}, {0, "EOF"}});
    ASSERT_EQ(ReadDxfText(first.data(), first.size(), n), DxfReadResult::kRead);
    EXPECT_EQ(Stores().extMinX, -2);
    EXPECT_EQ(Stores().extMaxY, 8);
    EXPECT_EQ(Stores().arcDirection, 1);

    ASSERT_EQ(ReadDxfFile(FixturePath("later_version.dxf"), n), DxfReadResult::kRead);
    ASSERT_EQ(n.shown.size(), 1u);
    EXPECT_EQ(n.shown[0].text, "Open DXF version is not R12 version, \r\nsome graphic elements "
                               "may not be processed, please check!");
    EXPECT_EQ(n.shown[0].style, kNoticeOk);
    EXPECT_EQ(Stores().entities.size(), 1u);
    EXPECT_EQ(Stores().extMinX, 0);
    EXPECT_EQ(Stores().extMinY, 0);
    EXPECT_EQ(Stores().extMaxX, 1);
    EXPECT_EQ(Stores().extMaxY, 1);
    EXPECT_EQ(Stores().arcDirection, 1);
}

TEST_F(Import, HeaderKeysMatchCaseAndVersionExactly) {
    CRecordingNotice n;
    const std::string text = DxfText({{0, "SECTION"}, {2, "HEADER"}, {9, "$angdir"}, {70, "1"},
                                      {9, "$ACADVER"}, {1, "AC1009 "}, {0, "ENDSEC"},
                                      {0, "EOF"}});
    ASSERT_EQ(ReadDxfText(text.data(), text.size(), n), DxfReadResult::kRead);
    EXPECT_EQ(Stores().arcDirection, 0);
    EXPECT_EQ(n.Count(kDxfVersionWarning), 1u) << "a trailing blank is another version";
}

TEST_F(Import, StartingAnImportClearsThePreviousDrawing) {
    CRecordingNotice n;
    ASSERT_EQ(ReadDxfFile(FixturePath("r12_mix.dxf"), n), DxfReadResult::kRead);
    Stores().zoomFactor = 3;
    Stores().drawBox[2] = 99;
    Stores().vertices.push_back(DL_VertexData(1, 1, 0, 0));
    EXPECT_EQ(ReadDxfFile(FixturePath("no_such_file.dxf"), n), DxfReadResult::kCannotOpen);
    EXPECT_TRUE(Stores().entities.empty());
    EXPECT_TRUE(Stores().layers.empty());
    EXPECT_TRUE(Stores().vertices.empty());
    EXPECT_EQ(Stores().zoomFactor, 1);
    EXPECT_EQ(Stores().drawBox[2], 0);
    EXPECT_EQ(Stores().extMaxX, 0);
    EXPECT_TRUE(n.shown.empty());
}

// A line that interrupts a polyline leaves it without vertices; the stray vertices that follow
// must not turn up in the next polyline.
TEST_F(Import, StrayVerticesDoNotJoinTheNextPolyline) {
    CRecordingNotice n;
    CMyDxfAdapter a(n);
    a.addPolyline(DL_PolylineData(0, 0, 0, 0));
    a.addLine(DL_LineData(0, 0, 0, 1, 1, 0));
    EXPECT_EQ(Stores().importState, kImportIdle);
    a.addVertex(DL_VertexData(50, 50, 0, 0));
    a.endSequence();
    a.addPolyline(DL_PolylineData(0, 0, 0, 0));
    a.addVertex(DL_VertexData(1, 2, 0, 0));
    a.addVertex(DL_VertexData(3, 4, 0, 0));
    a.endEntity();
    a.endSequence();  // the second finisher finds the import idle
    ASSERT_EQ(Stores().entities.size(), 3u);
    EXPECT_EQ(Stores().entities[0].VertexCount(), 0);
    ASSERT_EQ(Stores().entities[2].VertexCount(), 2);
    EXPECT_EQ((*Stores().entities[2].Vertices())[0].x, 1);
    EXPECT_EQ(Stores().entities[2].startX, 1);
}

TEST_F(Import, LayerColourSizesAtTheEdgeOfInt) {
    CRecordingNotice n;
    CMyDxfAdapter a(n);
    a.setAttributes(DL_Attributes("EDGE", -2147483647 - 1, 0, "BYLAYER", 1.0));
    a.addLayer(DL_LayerData("EDGE", 0));
    a.setAttributes(DL_Attributes("EDGE", 256, 0, "BYLAYER", 1.0));
    a.addCircle(DL_CircleData(0, 0, 0, 1));
    ASSERT_EQ(Stores().entities.size(), 1u);
    EXPECT_EQ(Stores().entities[0].attributes.getColor(), 2147483647);
}

TEST_F(Import, LwPolylineIsStoredAsAPolyline) {
    CRecordingNotice n;
    const std::string text = DxfText({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LWPOLYLINE"},
                                      {8, "0"}, {90, "3"}, {70, "1"},
                                      {10, "0"}, {20, "0"}, {10, "1"}, {20, "0"},
                                      {10, "1"}, {20, "1"}, {0, "ENDSEC"}, {0, "EOF"}});
    ASSERT_EQ(ReadDxfText(text.data(), text.size(), n), DxfReadResult::kRead);
    ASSERT_EQ(Stores().entities.size(), 1u);
    EXPECT_EQ(Stores().entities[0].type, kShapePolyline);
    EXPECT_EQ(Stores().entities[0].VertexCount(), 4);
}

// Header extents that are missing or unset give way to the box of the entities; valid ones
// (also a box without area) grow to hold every entity, and stay as they are when they do.
TEST_F(Import, ExtentsHoldTheHeaderBoxAndEveryEntity) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        bool min, max;            // which header variables come
        double header[4];         // min x, min y, max x, max y
        bool entities;
        double want[4];
    };
    const Case cases[] = {
        {"header that holds everything", true, true, {-1, 2, 20, 7}, true, {-1, 2, 20, 7}},
        {"header with margins", true, true, {-5, -3, 25, 8}, true, {-5, -3, 25, 8}},
        {"header with margins, nothing drawn", true, true, {-5, -3, 25, 8}, false, {-5, -3, 25, 8}},
        {"header without area", true, true, {0, 0, 0, 0}, true, {-1, 0, 20, 7}},
        {"header without area, nothing drawn", true, true, {0, 0, 0, 0}, false, {0, 0, 0, 0}},
        {"header smaller than the drawing", true, true, {1, 1, 2, 2}, true, {-1, 1, 20, 7}},
        {"header beside the drawing", true, true, {30, 0, 40, 1}, true, {-1, 0, 40, 7}},
        {"fixed letter-size header", true, true, {0, 0, 8.5, 11}, true, {-1, 0, 20, 11}},
        {"unset marker", true, true, {1e20, 1e20, -1e20, -1e20}, true, {-1, 2, 20, 7}},
        {"minimum above maximum in y only", true, true, {0, 9, 30, 8}, true, {-1, 2, 20, 7}},
        {"maximum not finite", true, true, {0, 0, inf, 10}, true, {-1, 2, 20, 7}},
        {"minimum not a number", true, true, {nan, 0, 30, 10}, true, {-1, 2, 20, 7}},
        {"no maximum", true, false, {0, 0, 0, 0}, true, {-1, 2, 20, 7}},
        {"no header", false, false, {0, 0, 0, 0}, true, {-1, 2, 20, 7}},
        {"unset marker and nothing drawn", true, true, {1e20, 1e20, -1e20, -1e20}, false, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingNotice n;
        CMyDxfAdapter a(n);
        if (c.min) a.setVariableVector("$EXTMIN", c.header[0], c.header[1], 0, 10);
        if (c.max) a.setVariableVector("$EXTMAX", c.header[2], c.header[3], 0, 10);
        a.addPolyline(DL_PolylineData(0, 0, 0, 0));  // no vertices: no box of its own
        a.endSequence();
        if (c.entities) {
            a.addLine(DL_LineData(4, 7, 0, 20, 2, 0));
            a.addCircle(DL_CircleData(0, 4, 0, 1));
            a.addArc(DL_ArcData(5, 3, 0, nan, 0, 90));  // a box that is no box
        }
        a.SettleExtents();
        const CConverterStores& s = Stores();
        EXPECT_EQ(s.extMinX, c.want[0]);
        EXPECT_EQ(s.extMinY, c.want[1]);
        EXPECT_EQ(s.extMaxX, c.want[2]);
        EXPECT_EQ(s.extMaxY, c.want[3]);
    }
}

// A 300 by 120 sign as drawing programs save it with the unset extents marker, and the same
// without any HEADER section: both are written, every point inside the sign's box, exactly as
// with a header that gives the right extents.
TEST_F(Import, DrawingsWithoutHeaderExtentsAreWrittenInTheirBox) {
    const std::string right = SignWithRightExtents();
    ASSERT_FALSE(HasFailure());
    CutOrder order;
    order.layers = {{1, 1, "SIGN"}, {1, 2, "0"}};
    CRecordingNotice n;
    ASSERT_EQ(ReadDxfText(right.data(), right.size(), n), DxfReadResult::kRead);
    std::string want;
    ASSERT_EQ(MakePltText(order, n, want), PltWriteResult::kWritten);

    for (const char* name : {"unset_extents.dxf", "no_header.dxf"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(ReadDxfFile(FixturePath(name), n), DxfReadResult::kRead);
        EXPECT_EQ(Stores().extMinX, 10);
        EXPECT_EQ(Stores().extMinY, 5);
        EXPECT_EQ(Stores().extMaxX, 310);
        EXPECT_EQ(Stores().extMaxY, 125);
        std::string text;
        ASSERT_EQ(MakePltText(order, n, text), PltWriteResult::kWritten);
        EXPECT_EQ(text, want);
        // Every pair: first down from the top (0 to 120 x 40), second along x (0 to 300 x 40).
        const auto pairs = WrittenPairs(text);
        for (const auto& [first, second] : pairs)
            EXPECT_TRUE(first >= 0 && first <= 4800 && second >= 0 && second <= 12000) << first << "," << second;
        EXPECT_GT(pairs.size(), 100u);
    }
    EXPECT_TRUE(n.shown.empty()) << n.shown[0].text;
}

// Inkscape's R12 export writes a fixed header box (0,0 to 8.5,11) whatever the page: its 300 by
// 120 sign (lines from 10,10 to 290,110) is written as with a header that holds it all, and no
// coordinate falls behind the cutter's origin.
TEST_F(Import, AHeaderBoxThatMissesTheDrawingGrowsToHoldIt) {
    CRecordingNotice n;
    CutOrder order;
    order.layers = {{1, 1, "Sign"}};
    ASSERT_EQ(ReadDxfFile(FixturePath("inkscape_r12.dxf"), n), DxfReadResult::kRead);
    EXPECT_EQ(Stores().extMinX, 0);
    EXPECT_EQ(Stores().extMinY, 0);
    EXPECT_EQ(Stores().extMaxX, 290);
    EXPECT_EQ(Stores().extMaxY, 110);
    std::string text;
    ASSERT_EQ(MakePltText(order, n, text), PltWriteResult::kWritten);
    const auto pairs = WrittenPairs(text);
    EXPECT_GT(pairs.size(), 30u);
    for (const auto& [first, second] : pairs) EXPECT_TRUE(first >= 0 && second >= 0) << first << "," << second;

    std::string holding = ReadFixture("inkscape_r12.dxf");
    const std::string fixed = "$EXTMAX\n 10 \n 8.5 \n 20 \n 11 \n";
    const size_t at = holding.find(fixed);
    ASSERT_NE(at, std::string::npos);
    holding.replace(at, fixed.size(), "$EXTMAX\n 10 \n 290 \n 20 \n 110 \n");
    ASSERT_EQ(ReadDxfText(holding.data(), holding.size(), n), DxfReadResult::kRead);
    std::string want;
    ASSERT_EQ(MakePltText(order, n, want), PltWriteResult::kWritten);
    EXPECT_EQ(text, want);
    EXPECT_TRUE(n.shown.empty()) << n.shown[0].text;
}

}  // namespace
