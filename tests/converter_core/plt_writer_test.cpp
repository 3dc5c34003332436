#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "converter_test_support.h"
#include "dxf_adapter.h"
#include "plt_writer.h"
#include "recording_notice.h"

namespace {

class Writer : public ConverterTest {
protected:
    void SetExtents(double x0, double y0, double x1, double y1) {
        Stores().extMinX = x0; Stores().extMinY = y0;
        Stores().extMaxX = x1; Stores().extMaxY = y1;
    }
    // Records made the way the import makes them.
    void On(const std::string& layer, int colour) {
        adapter_.setAttributes(DL_Attributes(layer, colour, 0, "BYLAYER", 1.0));
    }
    void Line(double x1, double y1, double x2, double y2) {
        adapter_.addLine(DL_LineData(x1, y1, 0, x2, y2, 0));
    }
    void Polyline(int flags, const std::vector<DL_VertexData>& v) {
        adapter_.addPolyline(DL_PolylineData(0, 0, 0, flags));
        for (const auto& p : v) adapter_.addVertex(p);
        adapter_.endSequence();
    }
    // A record whose start and end are one point, for the order tests.
    void Dot(double x, double y, const std::string& layer = "0") {
        SHARP s;
        s.type = kShapeLine;
        s.startX = s.endX = x;
        s.startY = s.endY = y;
        s.attributes = DL_Attributes(layer, 1, 0, "BYLAYER", 1.0);
        s.geometry = DL_LineData(x, y, 0, x, y, 0);
        Stores().entities.push_back(s);
    }
    std::string Text(const CutOrder& order) {
        std::string text;
        EXPECT_EQ(MakePltText(order, notice_, text), PltWriteResult::kWritten);
        return text;
    }
    static CutOrder ByLayer(std::vector<LAYERS> rows, int32_t sort = 0) {
        CutOrder o;
        o.layers = std::move(rows);
        o.sortMethod = sort;
        return o;
    }
    static std::string Body(const std::string& text) {
        // Without the opening, the first preset switch and the trailer.
        const std::string head = "U0,0 D0,0 D0,40 S#0;", tail = "U0,0 @ ";
        EXPECT_EQ(text.compare(0, head.size(), head), 0) << text;
        EXPECT_EQ(text.compare(text.size() - tail.size(), tail.size(), tail), 0) << text;
        return text.substr(head.size(), text.size() - head.size() - tail.size());
    }
    std::filesystem::path TempFile(const std::string& name) {
        auto p = std::filesystem::temp_directory_path() / ("converter_core_" + name + ".plt");
        std::filesystem::remove(p);
        return p;
    }
    static std::string ReadAll(const std::filesystem::path& p) {
        std::ifstream f(p, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }

    CRecordingNotice notice_;
    CRecordingNotice importNotice_;
    CMyDxfAdapter adapter_{importNotice_};
};

TEST_F(Writer, OneLineFile) {
    SetExtents(0, 0, 10, 0);
    On("0", 256);
    Line(0, 0, 10, 0);
    const auto path = TempFile("one_line");
    EXPECT_EQ(WritePltFile(path.u8string(), ByLayer({LAYERS{1, 1, "0"}}), notice_),
              PltWriteResult::kWritten);
    EXPECT_EQ(ReadAll(path), "U0,0 D0,0 D0,40 S#0;U0,0 D0,400 U0,0 @ ");
    std::filesystem::remove(path);
}

TEST_F(Writer, CircleOfRadiusOneWithItsOvercut) {
    SetExtents(0, 0, 10, 10);
    On("0", 256);
    adapter_.addCircle(DL_CircleData(5, 5, 0, 1));
    EXPECT_EQ(Body(Text(ByLayer({LAYERS{1, 1, "0"}}))),
              "U200,240 D200,240,205,239,211,238,216,236,221,233,226,230,230,226,233,221,236,216,"
              "238,211,239,205,240,200,239,194,238,188,236,183,233,178,230,173,226,169,221,166,"
              "216,163,211,161,205,160,200,160,194,160,188,161,183,163,178,166,173,169,169,173,"
              "166,178,163,183,161,188,160,194,160,200,160,205,161,211,163,216,166,221,169,226,"
              "173,230,178,233,183,236,188,238,194,239,200,240,204,239 ");
}

size_t PairsOf(const std::string& run) {
    size_t commas = 0;
    for (char c : run) commas += c == ',';
    return (commas + 1) / 2;
}

TEST_F(Writer, CircleStepCountsGrowWithTheRootOfTheRadius) {
    const struct { double r; size_t steps; } cases[] = {{1, 44}, {10, 140}, {50, 314}};
    SetExtents(0, 0, 200, 200);
    for (const auto& c : cases) {
        adapter_.addCircle(DL_CircleData(100, 100, 0, c.r));
        std::string out;
        ASSERT_TRUE(WriteShapePlt(Stores().entities.back(), out));
        const std::string cut = out.substr(out.find('D'));
        // steps + 1 points (the last on the first) and one overcut point.
        EXPECT_EQ(PairsOf(cut), c.steps + 2) << "radius " << c.r;
    }
}

TEST_F(Writer, TinyAndZeroCirclesWriteOnlyTheirBlank) {
    SetExtents(0, 0, 10, 10);
    for (double r : {0.0, 0.001, -1.0}) {
        adapter_.addCircle(DL_CircleData(5, 5, 0, r));
        std::string out;
        ASSERT_TRUE(WriteShapePlt(Stores().entities.back(), out));
        EXPECT_EQ(out, " ") << r;
    }
}

TEST_F(Writer, BulgeSegmentIsFlattenedInEqualSteps) {
    SetExtents(0, -5, 10, 5);
    On("0", 256);
    Polyline(0, {DL_VertexData(0, 0, 0, 1), DL_VertexData(10, 0, 0, 0)});
    // m = 79 steps for the half circle, w = 158 for a whole one: 79 points, the last on the
    // end vertex, then the blank and the end vertex itself.
    EXPECT_EQ(Body(Text(ByLayer({LAYERS{1, 1, "0"}}))),
              "U200,0 D200,0,208,0,216,1,224,1,232,3,240,4,247,6,255,8,263,10,270,13,277,16,285,"
              "19,292,22,299,26,306,30,312,35,319,39,325,44,331,49,337,54,343,60,348,66,353,72,"
              "358,78,363,84,368,91,372,98,376,105,379,112,383,119,386,126,389,134,391,141,393,"
              "149,395,157,397,164,398,172,399,180,400,188,400,196,400,204,400,212,399,220,398,"
              "228,397,236,395,243,393,251,391,259,389,266,386,274,383,281,379,288,376,295,372,"
              "302,368,309,363,316,358,322,353,328,348,334,343,340,337,346,331,351,325,356,319,"
              "361,312,365,306,370,299,374,292,378,285,381,277,384,270,387,263,390,255,392,247,"
              "394,240,396,232,397,224,399,216,399,208,400,200,400 ,200,400 ");
    EXPECT_TRUE(notice_.shown.empty());
}

TEST_F(Writer, ArcsFollowTheArcDirection) {
    SetExtents(-1, -1, 1, 1);
    On("0", 256);
    adapter_.addArc(DL_ArcData(0, 0, 0, 1, 0, 90));
    const CutOrder order = ByLayer({LAYERS{1, 1, "0"}});
    EXPECT_EQ(Body(Text(order)), "U40,80 D40,80,35,79,29,78,24,76,19,73,14,70,10,66,7,61,4,56,2,"
                                 "51,1,45,0,40,0,40 ");
    // Clockwise from 360 down to 90 degrees: three quarters of the circle.
    Stores().arcDirection = 1;
    EXPECT_EQ(Body(Text(order)),
              "U41,80 D41,80,46,79,52,78,57,76,62,73,67,70,71,66,74,61,77,56,79,51,80,45,80,39,"
              "80,34,79,28,77,23,74,18,71,13,67,9,62,6,57,3,52,1,46,0,41,0,35,0,29,1,24,3,19,6,"
              "14,9,10,13,7,18,4,23,2,28,1,34,0,40,0,40 ");
}

TEST_F(Writer, PolylinesGetNoOvercutAndSingleVerticesNothing) {
    SetExtents(0, 0, 1, 1);
    On("0", 256);
    Polyline(1, {DL_VertexData(0, 0), DL_VertexData(1, 0), DL_VertexData(1, 1)});
    Polyline(0, {DL_VertexData(0.5, 0.5)});
    EXPECT_EQ(Body(Text(ByLayer({LAYERS{1, 1, "0"}}))), "U40,0 D40,0,40,40,0,40,40,0 ");
}

TEST_F(Writer, PresetSwitchesPerEnabledRow) {
    SetExtents(0, 0, 10, 0);
    On("A", 256);
    Line(0, 0, 1, 0);
    On("B", 256);
    Line(2, 0, 3, 0);
    const CutOrder order = ByLayer({LAYERS{1, 1, "A"}, LAYERS{1, 1, "B"}, LAYERS{0, 5, "B"},
                                    LAYERS{1, 3, "EMPTY"}, LAYERS{1, 3, "A"}, LAYERS{1, 8, "a"}});
    EXPECT_EQ(Text(order), "U0,0 D0,0 D0,40 S#0;U0,0 D0,40 U0,80 D0,120 S#2;U0,0 D0,40 S#7;"
                           "U0,0 @ ");
}

TEST_F(Writer, ColourRowsSelectByColour) {
    SetExtents(0, 0, 10, 0);
    On("A", 1);
    Line(0, 0, 1, 0);
    On("A", 3);
    Line(2, 0, 3, 0);
    On("B", 1);
    Line(4, 0, 5, 0);
    CutOrder order;
    order.mode = 1;
    order.colours = {SHARPCOLORS{1, 2, 3}, SHARPCOLORS{1, 4, 1}};
    order.layers = {LAYERS{1, 1, "B"}};  // not the mode in use
    EXPECT_EQ(Text(order), "U0,0 D0,0 D0,40 S#1;U0,80 D0,120 S#3;U0,0 D0,40 U0,160 D0,200 "
                           "U0,0 @ ");
}

TEST_F(Writer, NearestNeighbourOrder) {
    SetExtents(0, 0, 10, 0);
    Dot(5, 0);
    Dot(1, 0);
    Dot(3, 0);
    const std::vector<LAYERS> rows = {LAYERS{1, 1, "0"}};
    EXPECT_EQ(Body(Text(ByLayer(rows, 0))), "U0,200 D0,200 U0,40 D0,40 U0,120 D0,120 ");
    EXPECT_EQ(Body(Text(ByLayer(rows, 1))), "U0,40 D0,40 U0,120 D0,120 U0,200 D0,200 ");
}

TEST_F(Writer, EqualDistancesKeepSelectionOrder) {
    SetExtents(-10, 0, 10, 0);
    Dot(2, 0);
    Dot(-2, 0);
    EXPECT_EQ(Body(Text(ByLayer({LAYERS{1, 1, "0"}}, 1))), "U0,480 D0,480 U0,320 D0,320 ");
    ResetStores();
    SetExtents(-10, 0, 10, 0);
    Dot(-2, 0);
    Dot(2, 0);
    EXPECT_EQ(Body(Text(ByLayer({LAYERS{1, 1, "0"}}, 1))), "U0,320 D0,320 U0,480 D0,480 ");
}

// The current point is the end of the record placed second to last, and the next row
// starts its search from there.
TEST_F(Writer, CurrentPointCarriesOverToTheNextRow) {
    std::vector<int32_t> sel;
    SetExtents(0, 0, 20, 0);
    On("R1", 256);
    Line(1, 0, 10, 0);   // 0: nearest to (0, 0); ends at (10, 0)
    Line(20, 0, 19, 0);  // 1: last, moves nothing
    On("R2", 256);
    Line(0, 0, 0.5, 0);  // 2
    Line(9, 0, 8, 0);    // 3: nearest to (10, 0)
    const std::string text = Text(ByLayer({LAYERS{1, 1, "R1"}, LAYERS{1, 1, "R2"}}, 1));
    EXPECT_EQ(Body(text), "U0,40 D0,400 U0,800 D0,760 U0,360 D0,320 U0,0 D0,20 ");

    sel = {2, 3};
    double x = 0, y = 0;
    NearestNeighbourOrder(sel, x, y);
    EXPECT_EQ(sel, (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(x, 0.5) << "end of the record placed first";
}

// A slot's round ends, nearly vertical half circles that rounding once turned into straight
// cuts: the box and the cut follow the arcs, and nothing is said.
TEST_F(Writer, HalfCirclesOfASlotAreCutAsArcs) {
    SetExtents(0, 0, 100, 100);
    Polyline(1, {DL_VertexData(43.9, 38.6, 0, 1), DL_VertexData(43.7, 59.7, 0, 1)});
    EXPECT_TRUE(importNotice_.shown.empty());
    const SHARP& slot = Stores().entities.back();
    const double cx = 43.8, cy = 49.15, r = std::hypot(0.2, 21.1) / 2;
    EXPECT_NEAR(slot.box[0], cx - r, 1e-6);  // the box holds the whole circle
    EXPECT_NEAR(slot.box[2], cx + r, 1e-6);
    std::string out;
    ASSERT_TRUE(WriteShapePlt(slot, out));
    std::istringstream points(out.substr(out.find('D') + 1));
    int32_t a, b;
    char comma;
    size_t count = 0;
    double maxAngleStep = 0, lastAngle = 0;
    while (points >> a >> comma >> b) {
        // Plot units back to drawing units: a runs down from the top, b along x.
        const double x = b / 40.0, y = 100 - a / 40.0;
        EXPECT_NEAR(std::hypot(x - cx, y - cy), r, 0.02) << a << "," << b;
        const double angle = std::atan2(y - cy, x - cx);
        if (count++ > 0) maxAngleStep = std::max(maxAngleStep, std::fabs(std::remainder(angle - lastAngle, 2 * 3.141592653589793)));
        lastAngle = angle;
        points >> comma;
    }
    EXPECT_GT(count, 40u);
    EXPECT_LT(maxAngleStep, 0.3) << "no straight cut across the circle";
    EXPECT_TRUE(notice_.shown.empty());
}

TEST_F(Writer, EmptyStoreOrUnopenableFileWriteNothing) {
    const auto path = TempFile("keep");
    { std::ofstream(path, std::ios::binary) << "keep"; }
    EXPECT_EQ(WritePltFile(path.u8string(), ByLayer({LAYERS{1, 1, "0"}}), notice_),
              PltWriteResult::kEmptyStore);
    EXPECT_EQ(ReadAll(path), "keep");
    std::filesystem::remove(path);

    On("0", 256);
    Line(0, 0, 1, 1);
    const auto missing = std::filesystem::temp_directory_path() / "no_such_folder_xyz" / "a.plt";
    EXPECT_EQ(WritePltFile(missing.u8string(), ByLayer({LAYERS{1, 1, "0"}}), notice_),
              PltWriteResult::kCannotOpen);
    EXPECT_TRUE(notice_.shown.empty());
}

TEST_F(Writer, CoordinatesBeyondThirtyTwoBitsAreRefused) {
    const auto path = TempFile("range");
    { std::ofstream(path, std::ios::binary) << "keep"; }
    SetExtents(0, 0, 1e8, 0);
    On("0", 256);
    Line(0, 0, 1, 0);
    Line(0, 0, 1e8, 0);  // 4e9 plotter units
    EXPECT_EQ(WritePltFile(path.u8string(), ByLayer({LAYERS{1, 1, "0"}}), notice_),
              PltWriteResult::kOutOfRange);
    EXPECT_EQ(ReadAll(path), "keep");
    EXPECT_EQ(notice_.Count(kPlotRangeMessage), 1u);
    std::filesystem::remove(path);

    // Circles too large to count their chords.
    adapter_.addCircle(DL_CircleData(0, 0, 0, 1e300));
    std::string out;
    EXPECT_FALSE(WriteShapePlt(Stores().entities.back(), out));
}

TEST_F(Writer, TextBeyondTheLimitIsRefused) {
    SetExtents(0, 0, 100, 100);
    On("0", 256);
    for (int i = 0; i < 4; ++i) adapter_.addCircle(DL_CircleData(50, 50, 0, 40));
    const CutOrder order = ByLayer({LAYERS{1, 1, "0"}});
    std::string text;
    ASSERT_EQ(MakePltText(order, notice_, text), PltWriteResult::kWritten);
    const size_t full = text.size();
    EXPECT_EQ(MakePltText(order, notice_, text, full - 1000), PltWriteResult::kTooLarge);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(notice_.Count(kPlotSizeMessage), 1u);
}

TEST_F(Writer, OvercutStopsExactlyAtItsLength) {
    COvercutState& o = OvercutState();
    TrackOvercut(7, 7);  // not active: nothing
    EXPECT_EQ(o.firstPending, 0);
    o.active = 1;
    o.firstPending = 1;
    o.remaining = 4.000000059604645;
    TrackOvercut(0, 0);  // the start only
    TrackOvercut(3, 0);  // 3 of the 4 units
    TrackOvercut(3, 3);  // the last unit ends one unit up this segment
    TrackOvercut(5, 5);  // nothing left to collect
    ASSERT_EQ(o.points.size(), 2u);
    EXPECT_EQ(o.points[0].x, 3);
    EXPECT_EQ(o.points[0].y, 0);
    EXPECT_EQ(o.points[1].x, 3);
    EXPECT_EQ(o.points[1].y, 1);
    EXPECT_EQ(o.remaining, 0);
}

}  // namespace
