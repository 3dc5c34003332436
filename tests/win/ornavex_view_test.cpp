// Ornavex's view: polylines with bulge arcs drawn into a memory bitmap.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "OrnavexView.h"
#include "bulge.h"
#include "drawing_layout.h"
#include "dxf_import.h"
#include "entity_store.h"
#include "plt_writer.h"
#include "recording_notice.h"

namespace {

constexpr int kWidth = 1000, kHeight = 800;
constexpr double kPi = 3.141592653589793;
// What the bitmap holds before the view paints: no colour the view uses.
constexpr uint32_t kPaper = 0x00336699;
// The start and end markers are 2 by 2 rectangles drawn with a pen 2 pixels wide around a
// point that the view truncates, not rounds: they reach 3 pixels from the true point in
// each direction, 2 past the box.
constexpr int kMarkerReach = 3;
// How far a drawn pixel may lie from the true outline: the points are rounded to pixels, and
// an arc's chords rise up to a quarter pixel off it.
constexpr double kSlack = 1.5;

struct Picture {
    std::vector<uint32_t> pixels;  // top-down rows of kWidth
    DrawBox box;
    double minX = 0, minY = 0;
};

Picture Paint(CConverterStores stores) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = kWidth;
    bi.bmiHeader.biHeight = -kHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ before = SelectObject(dc, bitmap);
    Picture p;
    p.pixels.assign(static_cast<size_t>(kWidth) * kHeight, kPaper);
    EXPECT_TRUE(bitmap && dc && bits);
    if (bitmap && dc && bits) {
        std::copy(p.pixels.begin(), p.pixels.end(), static_cast<uint32_t*>(bits));
        CutOrder order;  // no rows: every record is drawn
        DrawDrawing(dc, kWidth, stores, order);
        GdiFlush();
        std::copy_n(static_cast<const uint32_t*>(bits), p.pixels.size(), p.pixels.begin());
    }
    SelectObject(dc, before);
    DeleteDC(dc);
    DeleteObject(bitmap);
    p.box = ComputeDrawBox(kWidth, stores.zoomFactor, stores.extMinX, stores.extMinY, stores.extMaxX, stores.extMaxY);
    p.minX = stores.extMinX;
    p.minY = stores.extMinY;
    return p;
}

// The pixels that the drawing's records change, against the same view without them.
std::vector<bool> Drawn(const CConverterStores& stores, Picture& with) {
    with = Paint(stores);
    CConverterStores empty = stores;
    empty.entities.clear();
    Picture without = Paint(empty);
    std::vector<bool> drawn(with.pixels.size());
    for (size_t i = 0; i < drawn.size(); ++i) drawn[i] = with.pixels[i] != without.pixels[i];
    return drawn;
}

struct Point {
    double x, y;  // pixels, continuous: pixel (i, j) is the point (i, j)
};

// The true outline of every polyline in pixels, in points at most a quarter pixel apart.
std::vector<std::vector<Point>> Outlines(const CConverterStores& stores, const Picture& p) {
    const double s = p.box.scale;
    auto place = [&](double sx, double sy) { return Point{p.box.left + sx, p.box.bottom - sy}; };
    std::vector<std::vector<Point>> out;
    for (const SHARP& e : stores.entities) {
        const auto* v = e.Vertices();
        if (!v || v->size() < 2) continue;
        std::vector<Point> line;
        for (size_t i = 0; i + 1 < v->size(); ++i) {
            const double x1 = ((*v)[i].x - p.minX) * s, y1 = ((*v)[i].y - p.minY) * s;
            const double x2 = ((*v)[i + 1].x - p.minX) * s, y2 = ((*v)[i + 1].y - p.minY) * s;
            uint8_t cw = 0;
            double cx, cy, r, a1, a2;
            if (BulgeToArc(x1, y1, x2, y2, (*v)[i].bulge, cw, cx, cy, r, a1, a2) && r > 0) {
                double sweep = cw ? a1 - a2 : a2 - a1;
                if (sweep < 0) sweep += 2 * kPi;
                const int n = std::max(1, static_cast<int>(std::ceil(sweep * r * 4)));
                for (int k = 0; k < n; ++k) {
                    const double a = a1 + (cw ? -1 : 1) * sweep * k / n;
                    line.push_back(place(cx + r * std::cos(a), cy + r * std::sin(a)));
                }
            } else {
                const int n = std::max(1, static_cast<int>(std::ceil(std::hypot(x2 - x1, y2 - y1) * 4)));
                for (int k = 0; k < n; ++k)
                    line.push_back(place(x1 + (x2 - x1) * k / n, y1 + (y2 - y1) * k / n));
            }
        }
        const DL_VertexData& last = v->back();
        line.push_back(place((last.x - p.minX) * s, (last.y - p.minY) * s));
        out.push_back(line);
    }
    return out;
}

// The pixels within reach of any outline point.
std::vector<bool> NearOutline(const std::vector<std::vector<Point>>& outlines, double reach) {
    std::vector<bool> onOutline(static_cast<size_t>(kWidth) * kHeight);
    const int r = static_cast<int>(std::ceil(reach));
    for (const auto& line : outlines)
        for (const Point& q : line)
            for (int y = static_cast<int>(q.y) - r; y <= static_cast<int>(q.y) + r + 1; ++y)
                for (int x = static_cast<int>(q.x) - r; x <= static_cast<int>(q.x) + r + 1; ++x)
                    if (x >= 0 && y >= 0 && x < kWidth && y < kHeight && std::hypot(x - q.x, y - q.y) <= reach)
                        onOutline[static_cast<size_t>(y) * kWidth + x] = true;
    return onOutline;
}

// The pixels inside the outlines by the even-odd rule, as a letter's ink lies.
std::vector<bool> Inside(const std::vector<std::vector<Point>>& outlines) {
    std::vector<bool> inside(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        std::vector<double> crossings;
        for (const auto& line : outlines)
            for (size_t i = 0; i + 1 < line.size(); ++i) {
                const Point& a = line[i];
                const Point& b = line[i + 1];
                if ((a.y <= y) != (b.y <= y)) crossings.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
            }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2)
            for (int x = std::max(0, static_cast<int>(std::ceil(crossings[i])));
                 x <= std::min(kWidth - 1, static_cast<int>(crossings[i + 1])); ++x)
                inside[static_cast<size_t>(y) * kWidth + x] = true;
    }
    return inside;
}

// What a flood fill from the bitmap's corner reaches through pixels the records left alone.
std::vector<bool> FillFromOutside(const std::vector<bool>& drawn) {
    std::vector<bool> reached(drawn.size());
    std::vector<int> todo = {0};
    reached[0] = true;
    while (!todo.empty()) {
        const int at = todo.back();
        todo.pop_back();
        const int x = at % kWidth, y = at / kWidth;
        const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
        for (const auto& n : next) {
            if (n[0] < 0 || n[1] < 0 || n[0] >= kWidth || n[1] >= kHeight) continue;
            const int i = n[1] * kWidth + n[0];
            if (reached[i] || drawn[i]) continue;
            reached[i] = true;
            todo.push_back(i);
        }
    }
    return reached;
}

// Whether pixel (x, y) lies where a record's start or end marker may reach.
bool AtMarker(const CConverterStores& stores, const Picture& p, int x, int y) {
    for (const SHARP& e : stores.entities)
        for (const Point& q : {Point{e.startX, e.startY}, Point{e.endX, e.endY}}) {
            const double px = p.box.left + (q.x - p.minX) * p.box.scale, py = p.box.bottom - (q.y - p.minY) * p.box.scale;
            if (std::fabs(x - px) <= kMarkerReach && std::fabs(y - py) <= kMarkerReach) return true;
        }
    return false;
}

std::string Where(size_t i) { return "(" + std::to_string(i % kWidth) + ", " + std::to_string(i / kWidth) + ")"; }

class OrnavexView : public ::testing::Test {
protected:
    void SetUp() override { ResetStores(); }
    void TearDown() override { ResetStores(); }
};

// "OPEN" traced by potrace 1.16: closed polylines of short bulge segments, bulges from 0.00002
// to 0.2. In the whole word many chords are a pixel or less; the O alone, larger, has many
// segments that show as arcs. Made with
//   convert -size 1600x560 -gravity center -font DejaVu-Sans-Bold -pointsize 440 label:OPEN
//           -threshold 50% open.pbm
//   potrace -b dxf -o potrace_open.dxf open.pbm
// Its header's extents (the bitmap, 1600 by 560) hold every entity.
TEST_F(OrnavexView, TracedLettersStayInTheirBoxAndOnTheirClosedOutlines) {
    struct Case {
        const char* what;
        bool letterO;
        double zoom;
        int arcs;  // at least this many segments show as arcs
    };
    const Case cases[] = {
        {"OPEN", false, 1, 0},
        {"the O", true, 1.4, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CRecordingNotice notice;
        ASSERT_EQ(ReadDxfFile(std::string(KM_TEST_DATA_DIR) + "/dxf/potrace_open.dxf", notice), DxfReadResult::kRead);
        ASSERT_EQ(Stores().entities.size(), 6u);
        if (c.letterO) {  // its outer and inner outline, in extents of their own
            Stores().entities.resize(2);
            CConverterStores& st = Stores();
            ASSERT_TRUE(EntityExtents(st.extMinX, st.extMinY, st.extMaxX, st.extMaxY));
        }
        Stores().zoomFactor = c.zoom;
        const CConverterStores stores = Stores();
        Picture p;
        const std::vector<bool> drawn = Drawn(stores, p);
        ASSERT_LE(p.box.bottom + kMarkerReach, kHeight);
        int arcs = 0;
        for (const SHARP& e : stores.entities)
            for (size_t i = 0; i + 1 < e.Vertices()->size(); ++i) {
                const DL_VertexData& a = (*e.Vertices())[i];
                const DL_VertexData& b = (*e.Vertices())[i + 1];
                const double s = p.box.scale;
                arcs += ShowsAsArc((a.x - p.minX) * s, (a.y - p.minY) * s, (b.x - p.minX) * s, (b.y - p.minY) * s,
                                   a.bulge);
            }
        EXPECT_GE(arcs, c.arcs);
        const auto outlines = Outlines(stores, p);
        const std::vector<bool> onOutline = NearOutline(outlines, kSlack);
        const std::vector<bool> inside = Inside(outlines);
        const std::vector<bool> reached = FillFromOutside(drawn);

        size_t outOfBox = 0, astray = 0, leaks = 0, ink = 0, count = 0;
        std::string firstOut, firstAstray, firstLeak;
        for (size_t i = 0; i < drawn.size(); ++i) {
            const int x = static_cast<int>(i % kWidth), y = static_cast<int>(i / kWidth);
            if (drawn[i]) {
                ++count;
                if (x < p.box.left - (kMarkerReach - 1) || x > p.box.right + (kMarkerReach - 1) ||
                    y < p.box.top - (kMarkerReach - 1) || y > p.box.bottom + (kMarkerReach - 1)) {
                    if (!outOfBox++) firstOut = Where(i);
                }
                if (!onOutline[i] && !AtMarker(stores, p, x, y) && !astray++) firstAstray = Where(i);
            } else if (inside[i] && !onOutline[i]) {
                ++ink;
                if (reached[i] && !leaks++) firstLeak = Where(i);
            }
        }
        EXPECT_GT(count, 2000u) << "the letters are drawn";
        EXPECT_EQ(outOfBox, 0u) << "first at " << firstOut;
        EXPECT_EQ(astray, 0u) << "no strays or rings; first at " << firstAstray;
        EXPECT_GT(ink, 10000u) << "the letters' strokes hold pixels off their outline";
        EXPECT_EQ(leaks, 0u) << "the outlines are closed; the fill from outside got in at " << firstLeak;
    }
}

// A half circle 100 units across in a drawing 120 wide: about 420 pixels across.
TEST_F(OrnavexView, HalfCircleOfVisibleSizeStaysRound) {
    CConverterStores stores;
    SHARP s;
    s.type = kShapePolyline;
    s.attributes.setColor(1);
    s.geometry = std::vector<DL_VertexData>{DL_VertexData(0, 0, 0, 1), DL_VertexData(100, 0, 0, 0)};
    s.startX = 0;
    s.endX = 100;
    stores.entities.push_back(s);
    stores.extMinX = -10;
    stores.extMinY = -60;
    stores.extMaxX = 110;
    stores.extMaxY = 10;
    Picture p;
    const std::vector<bool> drawn = Drawn(stores, p);
    const double s100 = p.box.scale;
    const Point centre{p.box.left + 60 * s100, p.box.bottom - 60 * s100};
    const double r = 50 * s100;

    size_t off = 0;
    std::string firstOff;
    for (size_t i = 0; i < drawn.size(); ++i) {
        if (!drawn[i]) continue;
        const int x = static_cast<int>(i % kWidth), y = static_cast<int>(i / kWidth);
        if (!AtMarker(stores, p, x, y) && std::fabs(std::hypot(x - centre.x, y - centre.y) - r) > kSlack && !off++)
            firstOff = Where(i);
    }
    EXPECT_EQ(off, 0u) << "every pixel on the circle; first off at " << firstOff;
    // Counter-clockwise from (0, 0) to (100, 0): the lower half, all of it.
    for (int degrees = 190; degrees < 360; degrees += 10) {
        const double a = degrees * kPi / 180;
        const Point q{centre.x + r * std::cos(a), centre.y - r * std::sin(a)};
        bool found = false;
        for (int y = static_cast<int>(q.y) - 3; y <= static_cast<int>(q.y) + 3 && !found; ++y)
            for (int x = static_cast<int>(q.x) - 3; x <= static_cast<int>(q.x) + 3 && !found; ++x)
                found = std::hypot(x - q.x, y - q.y) <= kSlack && drawn[static_cast<size_t>(y) * kWidth + x];
        EXPECT_TRUE(found) << "nothing drawn at " << degrees << " degrees";
    }
}

}  // namespace
