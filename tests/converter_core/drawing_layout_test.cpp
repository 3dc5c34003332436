#include <gtest/gtest.h>
#include <cmath>
#include <cstdint>
#include <limits>

#include "aci_palette.h"
#include "converter_test_support.h"
#include "drawing_layout.h"
#include "dxf_import.h"
#include "recording_notice.h"

namespace {

using Layout = ConverterTest;

std::string Entities(const std::vector<std::pair<int, std::string>>& body) {
    std::vector<std::pair<int, std::string>> g = {{0, "SECTION"}, {2, "ENTITIES"}};
    g.insert(g.end(), body.begin(), body.end());
    g.push_back({0, "ENDSEC"});
    g.push_back({0, "EOF"});
    return DxfText(g);
}

std::vector<std::pair<int, std::string>> Line(const char* layer, const char* colour, const char* x2) {
    return {{0, "LINE"}, {8, layer}, {62, colour}, {10, "0"}, {20, "0"}, {30, "0"}, {11, x2}, {21, "5"}, {31, "0"}};
}

void Read(const std::string& text) {
    CRecordingNotice n;
    ASSERT_EQ(ReadDxfText(text.data(), text.size(), n), DxfReadResult::kRead);
}

TEST_F(Layout, OneLineGivesOneRowOfEachKind) {
    Read(Entities(Line("0", "1", "10")));
    CutOrder order;
    order.mode = 1;
    order.sortMethod = 1;
    BuildCutRows(order);
    ASSERT_EQ(order.colours.size(), 1u);
    EXPECT_EQ(order.colours[0].enabled, 1);
    EXPECT_EQ(order.colours[0].preset, 1);
    EXPECT_EQ(order.colours[0].colour, 1);
    ASSERT_EQ(order.layers.size(), 1u);
    EXPECT_EQ(order.layers[0].enabled, 1);
    EXPECT_EQ(order.layers[0].preset, 1);
    EXPECT_EQ(order.layers[0].name, "0");
    EXPECT_EQ(order.mode, 1) << "the user's mode and sort survive an open";
    EXPECT_EQ(order.sortMethod, 1);
}

TEST_F(Layout, RowsFollowFirstAppearanceAndLayerCaseCounts) {
    auto body = Line("A", "3", "10");
    for (auto part : {Line("a", "1", "4"), Line("A", "5", "6"), Line("B", "3", "2")})
        body.insert(body.end(), part.begin(), part.end());
    // A polyline that never gets a vertex: its layer and colour get no row.
    for (auto g : std::vector<std::pair<int, std::string>>{
             {0, "POLYLINE"}, {8, "EMPTY"}, {62, "6"}, {66, "1"}, {70, "0"}, {0, "SEQEND"}})
        body.push_back(g);
    Read(Entities(body));
    CutOrder order;
    order.layers = {LAYERS{0, 7, "stale"}};
    order.colours = {SHARPCOLORS{0, 7, 99}};
    BuildCutRows(order);
    std::vector<std::string> names;
    for (const auto& l : order.layers) names.push_back(l.name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "a", "B"}));
    std::vector<int32_t> colours;
    for (const auto& c : order.colours) colours.push_back(c.colour);
    EXPECT_EQ(colours, (std::vector<int32_t>{3, 1, 5}));
    for (const auto& e : Stores().entities) EXPECT_NE(e.attributes.getLayer(), "EMPTY");
}

TEST_F(Layout, DisabledRowHidesItsRecordsInItsModeOnly) {
    auto body = Line("L1", "3", "10");
    auto other = Line("L2", "1", "4");
    body.insert(body.end(), other.begin(), other.end());
    Read(Entities(body));
    CutOrder order;
    BuildCutRows(order);
    const SHARP& green = Stores().entities[0];
    const SHARP& red = Stores().entities[1];
    order.colours[0].enabled = 0;  // colour 3
    order.mode = 1;
    EXPECT_FALSE(IsRecordShown(green, order));
    EXPECT_TRUE(IsRecordShown(red, order));
    order.mode = 0;
    EXPECT_TRUE(IsRecordShown(green, order)) << "layer mode looks at the layer rows";
    order.layers[0].enabled = 0;
    EXPECT_FALSE(IsRecordShown(green, order));
    // A record that matches no row is drawn.
    order.layers.clear();
    EXPECT_TRUE(IsRecordShown(green, order));
}

TEST(LayoutZoom, StepsAreTheSinglePrecisionTenth) {
    EXPECT_EQ(ZoomedIn(ZoomedIn(1.0)), 1.2100000032782554);
    EXPECT_EQ(ZoomedOut(1.0), 0.8999999985098839);
    double z = 1.0;
    for (int i = 0; i < 8; ++i) z = ZoomedIn(z);
    EXPECT_EQ(z, 2.143588833230518);
}

TEST(LayoutBox, PlacementInAThousandPixelWindow) {
    struct Case { double zoom; int32_t left, right; };
    double z8 = 1.0;
    for (int i = 0; i < 8; ++i) z8 = ZoomedIn(z8);
    for (const Case& c : {Case{1.0, 250, 750}, Case{2.0, 0, 1000}, Case{z8, 50, 1156}}) {
        SCOPED_TRACE(c.zoom);
        DrawBox b = ComputeDrawBox(1000, c.zoom, 0, 0, 100, 50);
        EXPECT_EQ(b.left, c.left);
        EXPECT_EQ(b.right, c.right);
        EXPECT_EQ(b.top, 50);
        EXPECT_DOUBLE_EQ(b.scale, (c.right - c.left) / 100.0);
        EXPECT_EQ(b.bottom, static_cast<int32_t>(b.scale * 50) + 50);
    }
}

TEST(LayoutBox, ScrollRangeIsTheBoxAndAHundred) {
    DrawBox b = ComputeDrawBox(1000, 1.0, 0, 0, 100, 50);  // 250..750, 50..300
    ScrollSize s = ScrollSizeOf(b);
    EXPECT_EQ(s.cx, 600);
    EXPECT_EQ(s.cy, 350);
    EXPECT_EQ(ScrollSizeOf(DrawBox{}).cx, 100) << "before anything is drawn";
    EXPECT_EQ(ScrollSizeOf(DrawBox{}).cy, 100);
    DrawBox inverted;
    inverted.right = -500;
    inverted.bottom = -500;
    EXPECT_EQ(ScrollSizeOf(inverted).cx, 0);
    EXPECT_EQ(ScrollSizeOf(inverted).cy, 0);
}

TEST(LayoutBox, DrawingsWithoutWidthStayFinite) {
    DrawBox tall = ComputeDrawBox(1000, 1.0, 5, 0, 5, 100);  // a vertical line
    EXPECT_DOUBLE_EQ(tall.scale, 5.0);
    EXPECT_EQ(tall.bottom, 550);
    DrawBox point = ComputeDrawBox(1000, 1.0, 0, 0, 0, 0);  // no extents at all
    EXPECT_EQ(point.scale, 1.0);
    EXPECT_EQ(point.bottom, 50);
    // Tiny widths and absurd extents clamp instead of overflowing.
    DrawBox tiny = ComputeDrawBox(1000, 1.0, 0, -1e300, 1e-300, 1e300);
    EXPECT_TRUE(std::isfinite(tiny.scale));
    EXPECT_EQ(tiny.bottom, INT32_MAX);
    DrawingMap m(tiny, 0, -1e300);
    EXPECT_EQ(m.Y(1e300), 0);
    EXPECT_EQ(m.X(-1e300), 250 + INT32_MIN);
    EXPECT_EQ(TruncPixel(std::nan("")), 0);
}

TEST(LayoutMap, PointsArcsAndSheet) {
    DrawBox b = ComputeDrawBox(1000, 1.0, 0, 0, 100, 50);  // scale 5, bottom 300
    DrawingMap m(b, 0, 0);
    EXPECT_EQ(m.X(10.15), 250 + 50);
    EXPECT_EQ(m.Y(10.15), 300 - 50);
    EXPECT_EQ(m.RoundX(10.15), 250 + 51);
    EXPECT_EQ(m.RoundY(10.15), 300 - 51);
    int32_t x, y;
    m.ArcPoint(50, 25, 10, 90, x, y);  // top of the circle
    EXPECT_EQ(x, 250 + 250);
    EXPECT_EQ(y, 300 - (125 + 50));
    EXPECT_EQ(m.SheetRight(), 750) << "900 units are cut off at the box";
    EXPECT_EQ(m.SheetBottom(), 300);
}

// Where a drawing lands on screen: the box and every entity's end points and vertices.
struct Placement {
    DrawBox box;
    std::vector<std::pair<int32_t, int32_t>> points;
};

Placement PlaceStoredDrawing(int32_t width, double zoom) {
    const CConverterStores& s = Stores();
    Placement p;
    p.box = ComputeDrawBox(width, zoom, s.extMinX, s.extMinY, s.extMaxX, s.extMaxY);
    DrawingMap m(p.box, s.extMinX, s.extMinY);
    for (const SHARP& e : s.entities) {
        p.points.emplace_back(m.X(e.startX), m.Y(e.startY));
        p.points.emplace_back(m.X(e.endX), m.Y(e.endY));
        if (const auto* v = e.Vertices())
            for (const DL_VertexData& d : *v) p.points.emplace_back(m.RoundX(d.x), m.RoundY(d.y));
    }
    return p;
}

// A header with the unset extents marker, and no header at all, place the drawing exactly as
// a header with the right extents does, inside its box.
TEST_F(Layout, DrawingsWithoutHeaderExtentsArePlacedAsWithRightOnes) {
    const std::string right = SignWithRightExtents();
    ASSERT_FALSE(HasFailure());
    double z8 = 1.0;
    for (int i = 0; i < 8; ++i) z8 = ZoomedIn(z8);
    struct View { int32_t width; double zoom; };
    const View views[] = {{1000, 1.0}, {1280, 1.0}, {1280, z8}, {640, ZoomedOut(1.0)}};
    Read(right);
    std::vector<Placement> want;
    for (const View& v : views) want.push_back(PlaceStoredDrawing(v.width, v.zoom));
    ASSERT_EQ(want[0].box.left, 250);
    ASSERT_EQ(want[0].box.right, 750);
    ASSERT_DOUBLE_EQ(want[0].box.scale, 500.0 / 300.0);
    ASSERT_EQ(want[0].box.bottom, 50 + 200);

    for (const char* name : {"unset_extents.dxf", "no_header.dxf"}) {
        SCOPED_TRACE(name);
        CRecordingNotice n;
        ASSERT_EQ(ReadDxfFile(FixturePath(name), n), DxfReadResult::kRead);
        for (size_t i = 0; i < std::size(views); ++i) {
            SCOPED_TRACE(views[i].width);
            Placement got = PlaceStoredDrawing(views[i].width, views[i].zoom);
            EXPECT_EQ(got.box.left, want[i].box.left);
            EXPECT_EQ(got.box.top, want[i].box.top);
            EXPECT_EQ(got.box.right, want[i].box.right);
            EXPECT_EQ(got.box.bottom, want[i].box.bottom);
            EXPECT_EQ(got.box.scale, want[i].box.scale);
            EXPECT_EQ(got.points, want[i].points);
            ASSERT_GT(got.points.size(), 8u);
            // Rounded vertices may stand one pixel past the truncated box.
            for (const auto& [x, y] : got.points) {
                EXPECT_TRUE(x >= got.box.left - 1 && x <= got.box.right + 1) << x;
                EXPECT_TRUE(y >= got.box.top - 1 && y <= got.box.bottom + 1) << y;
            }
        }
    }
}

TEST(LayoutBulge, SegmentsTooShortOrTooFlatForAnArcAreLines) {
    struct Case {
        const char* what;
        double x1, y1, x2, y2, bulge;
        bool arc;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"both ends in one pixel", 10.2, 10.2, 10.4, 10.3, 0.3, false},
        {"a half circle two pixels across", 0, 0, 2, 0, 1, false},
        {"two pixels apart both ways", 0, 0, 2, 2, 1, false},
        {"rise of 0.4 over 40 pixels", 0, 0, 40, 0, 0.02, false},
        {"rise just under a pixel", 0, 0, 0, 100, 0.0199, false},
        {"rise of a pixel", 0, 0, 0, 100, 0.02, true},
        {"rise of 3 over 20 pixels", 0, 0, 20, 0, -0.3, true},
        {"half circle", 0, 0, 100, 0, 1, true},
        {"half circle, clockwise", 0, 0, 100, 0, -1, true},
        {"three pixels apart", 0, 0, 3, 0, 1, true},
        // The ends count as the view rounds them.
        {"2.8 apart, rounded to pixels 1 and 3", 0.6, 0, 3.4, 0, 1, false},
        {"3.2 apart, rounded to pixels 0 and 4", 0.4, 0, 3.6, 0, 1, true},
        // A major arc is nearly its whole circle, however close its ends.
        {"major arc, ends a pixel apart", 0, 0, 1, 0, 10, true},
        {"major arc, ends a pixel apart, clockwise", 0, 0, 0, 1, -10, true},
        {"major arc smaller than a pixel", 0, 0, 0.1, 0, 10, false},
        {"one point", 5, 5, 5, 5, 10, false},
        {"bulge 0", 0, 0, 100, 0, 0, false},
        {"infinite bulge", 0, 0, 100, 0, inf, false},
    };
    for (const Case& c : cases) EXPECT_EQ(ShowsAsArc(c.x1, c.y1, c.x2, c.y2, c.bulge), c.arc) << c.what;
}

TEST(LayoutBulge, ArcPointsRunOnTheArcToTheSecondEnd) {
    struct Case {
        const char* what;
        double x2, bulge;
        double cx, cy, r;
        double side;  // sign of y on the arc's far side
        size_t most;  // at most this many points
    };
    // From (0, 0) to (x2, 0).
    const Case cases[] = {
        {"half circle below", 100, 1, 50, 0, 50, -1, 64},
        {"half circle above, clockwise", 100, -1, 50, 0, 50, 1, 64},
        {"major arc over a chord of a pixel", 1, 10, 0.5, -2.475, 2.525, -1, 16},
        {"circle far larger than a screen", 2e8, 0.5, 1e8, 7.5e7, 1.25e8, -1, 4096},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ScaledPoint> points;
        ASSERT_TRUE(BulgeArcPoints(0, 0, c.x2, 0, c.bulge, points));
        ASSERT_FALSE(points.empty());
        EXPECT_LE(points.size(), c.most);
        EXPECT_EQ(points.back().x, c.x2);
        EXPECT_EQ(points.back().y, 0);
        ScaledPoint last{0, 0};
        double far = 0;
        for (const ScaledPoint& p : points) {
            EXPECT_NEAR(std::hypot(p.x - c.cx, p.y - c.cy), c.r, c.r * 1e-9);
            if (points.size() < 4096) {  // each chord within a quarter pixel of the arc
                const double mx = (p.x + last.x) / 2 - c.cx, my = (p.y + last.y) / 2 - c.cy;
                EXPECT_LE(c.r - std::hypot(mx, my), 0.25);
            }
            if (std::fabs(p.y) > std::fabs(far)) far = p.y;
            last = p;
        }
        EXPECT_GT(far * c.side, 0);
        EXPECT_NEAR(std::fabs(far), c.side > 0 ? c.cy + c.r : c.r - c.cy, 0.25 + c.r * 1e-9);
    }
    std::vector<ScaledPoint> none;
    EXPECT_FALSE(BulgeArcPoints(0, 0, 100, 0, 0, none));
    EXPECT_FALSE(BulgeArcPoints(5, 5, 5, 5, 1, none)) << "no arc through one point";
    EXPECT_TRUE(none.empty());
}

TEST(Palette, KnownEntriesAndOutOfRange) {
    EXPECT_EQ(AciPaletteColour(1), 0x0000FFu);
    EXPECT_EQ(AciPaletteColour(4), 0xFFFF00u);
    EXPECT_EQ(AciPaletteColour(10), 0x0000FFu);
    EXPECT_EQ(AciPaletteColour(11), 0x7F7FFFu);
    EXPECT_EQ(AciPaletteColour(12), 0x0000CCu);
    EXPECT_EQ(AciPaletteColour(13), 0x6666CCu);
    EXPECT_EQ(AciPaletteColour(250), 0x333333u);
    EXPECT_EQ(AciPaletteColour(255), 0xFFFFFFu);
    EXPECT_EQ(AciPaletteColour(-1), 0u);
    EXPECT_EQ(AciPaletteColour(256), 0u);
    EXPECT_EQ(AciPaletteColour(1000000), 0u);
}

}  // namespace
