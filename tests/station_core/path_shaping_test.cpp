#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "path_shaping.h"
#include "recording_notice.h"

namespace {

// A path built from points; frees whatever list it ends up as, and the old first
// node when a reshaping left it outside.
class TestPath {
public:
    TestPath(std::initializer_list<std::pair<int32_t, int32_t>> points) {
        PathPoint** link = &head_;
        for (auto& p : points) {
            *link = new PathPoint{p.first, p.second, nullptr};
            last_ = *link;
            link = &(*link)->next;
        }
        first_ = head_;
    }
    ~TestPath() {
        bool headSeen = false;
        for (PathPoint* p = first_; p;) {
            PathPoint* n = p->next;
            headSeen = headSeen || p == head_;
            delete p;
            p = n;
        }
        if (!headSeen) delete head_;
    }
    PathPoint* first() const { return first_; }
    PathPoint* last() const { return last_; }
    void set_first(PathPoint* p) { first_ = p; }
    std::vector<std::pair<int32_t, int32_t>> Points() const {
        std::vector<std::pair<int32_t, int32_t>> v;
        for (PathPoint* p = first_; p; p = p->next) v.emplace_back(p->x, p->y);
        return v;
    }

private:
    PathPoint* head_ = nullptr;
    PathPoint* first_ = nullptr;
    PathPoint* last_ = nullptr;
};

using Points = std::vector<std::pair<int32_t, int32_t>>;

PathSettings Dashed(float dash, float gap) {
    PathSettings s;
    s.dashedMode = true;
    s.solidLineLen = dash;
    s.jumpLineLen = gap;
    return s;
}

std::string Emit(TestPath& path, int32_t count, bool dashed, const PathSettings& s) {
    std::string out;
    EmitPath(out, path.first(), count, dashed, s);
    return out;
}

}  // namespace

TEST(PointGeometry, DistanceAndRatio) {
    EXPECT_EQ(PointDistance(PathPoint{0, 0}, PathPoint{300, 400}), 500.0f);
    EXPECT_EQ(PointDistance(PathPoint{-2147483647, 0}, PathPoint{2147483647, 0}), 4294967296.0f);
    PathPoint r = PointAtRatio(PathPoint{300, 0}, PathPoint{600, 0}, 100.0f, 200.0f);
    EXPECT_EQ(r.x, 400);
    EXPECT_EQ(r.y, 0);
    r = PointAtRatio(PathPoint{0, 0}, PathPoint{-10, 7}, 1.0f, 1.0f);  // toward zero: (-5, 3.5)
    EXPECT_EQ(r.x, -5);
    EXPECT_EQ(r.y, 3);
    r = PointAtRatio(PathPoint{5, 5}, PathPoint{9, 9}, 3.0f, 0.0f);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 0);
}

TEST(EmitPath, SolidForms) {
    const PathSettings s;
    TestPath none{{0, 0}};
    EXPECT_EQ(Emit(none, 0, false, s), "");
    TestPath one{{5, 6}};
    EXPECT_EQ(Emit(one, 1, false, s), "U5,6 ");
    TestPath two{{5, 6}, {7, -8}};
    EXPECT_EQ(Emit(two, 2, false, s), "U5,6 D7,-8 ");
    TestPath four{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(Emit(four, 4, false, s), "U0,0 D10,0,10,10,0,10 ");
    // After band splitting the list is longer than the count: every node is written.
    EXPECT_EQ(Emit(four, 2, false, s), "U0,0 D10,0,10,10,0,10 ");
    // A dashed path is written solid while dashed cutting is off.
    PathSettings off = Dashed(10, 5);
    off.dashedMode = false;
    EXPECT_EQ(Emit(two, 2, true, off), "U5,6 D7,-8 ");
}

TEST(EmitPath, DashPatternCarriesAcrossVertices) {
    TestPath path{{0, 0}, {150, 0}, {300, 0}, {600, 0}};
    EXPECT_EQ(Emit(path, 4, true, Dashed(10.0f, 2.5f)), "L1;U0,0 D150,0 D300,0 D400,0 U500,0 D600,0 L0;");
}

TEST(EmitPath, SegmentsOfEightUnitsAreCutWhole) {
    // 2.51 mm is 100.4 units, so the phase ends never fall on a whole unit.
    TestPath eight{{0, 0}, {8, 0}, {300, 0}};
    EXPECT_EQ(Emit(eight, 3, true, Dashed(2.51f, 2.51f)), "L1;U0,0 D8,0 D108,0 U208,0 D300,0 L0;");
    TestPath nine{{0, 0}, {9, 0}, {300, 0}};
    EXPECT_EQ(Emit(nine, 3, true, Dashed(2.51f, 2.51f)), "L1;U0,0 D9,0 D100,0 U200,0 D300,0 L0;");
    // Short segments reset the running length but keep the gap phase.
    TestPath gap{{0, 0}, {0, 150}, {0, 155}, {0, 400}};
    EXPECT_EQ(Emit(gap, 4, true, Dashed(2.51f, 5.01f)), "L1;U0,0 D0,100 U0,150 D0,155 U0,355 D0,400 L0;");
}

TEST(EmitPath, DashedEdgeSettingsEnd) {
    TestPath one{{5, 5}};
    EXPECT_EQ(Emit(one, 1, true, Dashed(10, 5)), "L1;U5,5 L0;");
    TestPath none{{0, 0}};
    EXPECT_EQ(Emit(none, 0, true, Dashed(10, 5)), "");
    TestPath line{{0, 0}, {0, 1000}};
    // No pattern at all: cut solid.
    EXPECT_EQ(Emit(line, 2, true, Dashed(0, 0)), "U0,0 D0,1000 ");
    EXPECT_EQ(Emit(line, 2, true, Dashed(-3, -1)), "U0,0 D0,1000 ");
    // A cut length of 0: every dash is a cut onto the point where it starts.
    EXPECT_EQ(Emit(line, 2, true, Dashed(0, 10)), "L1;U0,0 D0,0 U0,400 D0,400 U0,800 D0,800 U0,1000 L0;");
    // Lengths below a unit cannot advance by truncation; the segment is finished.
    TestPath tiny{{0, 0}, {0, 100}};
    const std::string out = Emit(tiny, 2, true, Dashed(0.001f, 0.001f));
    EXPECT_EQ(out.substr(0, 3), "L1;");
    EXPECT_EQ(out.substr(out.size() - 3), "L0;");
    EXPECT_LT(out.size(), 200u);
}

TEST(CloseCompensate, MovesTheStartIntoTheFirstLongSideAndOvercuts) {
    CRecordingNotice notice;
    PathSettings s;
    {
        TestPath square{{0, 0}, {400, 0}, {400, 400}, {0, 400}, {0, 0}};
        square.set_first(CloseCompensate(square.first(), square.last(), 0.5f, notice));
        EXPECT_EQ(square.Points(), (Points{{200, 0}, {400, 0}, {400, 400}, {0, 400}, {0, 0}, {200, 0}, {220, 0}}));
        EXPECT_EQ(Emit(square, 5, false, s), "U200,0 D400,0,400,400,0,400,0,0,200,0,220,0 ");
    }
    {
        // The first side is too short; the second is taken and the old start is run through.
        TestPath path{{0, 0}, {0, 30}, {400, 30}, {400, 0}, {0, 0}};
        path.set_first(CloseCompensate(path.first(), path.last(), 0.5f, notice));
        EXPECT_EQ(path.Points(),
                  (Points{{200, 30}, {400, 30}, {400, 0}, {0, 0}, {0, 30}, {200, 30}, {220, 30}}));
    }
    {
        // Reversed direction along an axis: the overcut goes toward the side's end.
        TestPath path{{400, 400}, {400, 0}, {0, 0}, {400, 400}};
        path.set_first(CloseCompensate(path.first(), path.last(), 0.5f, notice));
        EXPECT_EQ(path.Points(), (Points{{400, 200}, {400, 0}, {0, 0}, {400, 400}, {400, 200}, {400, 180}}));
    }
    {
        // A slanted side: the overcut end lies on the side, 20.8 units past the middle.
        TestPath path{{0, 0}, {300, 400}, {600, 0}, {0, 0}};
        path.set_first(CloseCompensate(path.first(), path.last(), 0.52f, notice));
        EXPECT_EQ(path.Points(), (Points{{150, 200}, {300, 400}, {600, 0}, {0, 0}, {150, 200}, {162, 216}}));
    }
    {
        TestPath small{{0, 0}, {40, 0}, {40, 40}, {0, 40}, {0, 0}};
        PathPoint* first = small.first();
        EXPECT_EQ(CloseCompensate(first, small.last(), 0.5f, notice), first);
        EXPECT_EQ(small.Points(), (Points{{0, 0}, {40, 0}, {40, 40}, {0, 40}, {0, 0}}));
    }
    EXPECT_TRUE(notice.shown.empty());
}

TEST(SplitAtBands, InsertsBoundariesInTravelOrder) {
    CRecordingNotice notice;
    struct Case {
        const char* name;
        std::vector<std::pair<int32_t, int32_t>> in;
        double b;
        Points out;
    } cases[] = {
        {"rising", {{100, 0}, {900, 800}}, 400, {{100, 0}, {400, 300}, {800, 700}, {900, 800}}},
        {"falling", {{900, 800}, {100, 0}}, 400, {{900, 800}, {800, 700}, {400, 300}, {100, 0}}},
        {"ends on a boundary", {{100, 0}, {400, 0}, {700, 0}}, 400, {{100, 0}, {400, 0}, {700, 0}}},
        {"crosses zero", {{-500, 0}, {500, 10}}, 400, {{-500, 0}, {0, 5}, {400, 9}, {500, 10}}},
        {"along y", {{100, 0}, {100, 900}}, 400, {{100, 0}, {100, 900}}},
        {"real band length", {{0, 0}, {1000, 0}}, 1000.0 / 3, {{0, 0}, {333, 0}, {666, 0}, {1000, 0}}},
        {"band length 0", {{0, 0}, {1000, 0}}, 0, {{0, 0}, {1000, 0}}},
        {"beyond the last band", {{0, 0}, {1300, 0}}, 400, {{0, 0}, {400, 0}, {800, 0}, {1200, 0}, {1300, 0}}},
    };
    for (auto& c : cases) {
        TestPath path{};
        // Build the case's list by hand (initializer lists cannot be forwarded).
        PathPoint* head = new PathPoint{c.in[0].first, c.in[0].second, nullptr};
        PathPoint* tail = head;
        for (size_t i = 1; i < c.in.size(); ++i) tail = tail->next = new PathPoint{c.in[i].first, c.in[i].second, nullptr};
        path.set_first(head);
        SplitAtBands(head, c.b, notice);
        EXPECT_EQ(path.Points(), c.out) << c.name;
    }
}

TEST(EmitPresetSwitch, OncePerPresetAndStream) {
    const std::vector<SHARPCOLORS> rows{{1, 4, 2}, {0, 4, 3}, {1, 6, 5}, {1, 2, 5}};
    PresetState presets;
    presets.usePresets = true;
    presets.rows = &rows;
    presets.written.assign(3, -1);
    CRecordingNotice notice;
    std::string a, b;
    EmitPresetSwitch(a, 2, 0, presets, notice);
    EmitPresetSwitch(a, 3, 0, presets, notice);  // same preset, disabled rows count too
    EmitPresetSwitch(a, 2, 0, presets, notice);
    EmitPresetSwitch(a, 5, 0, presets, notice);  // the later row of pen 5
    EmitPresetSwitch(b, 5, 1, presets, notice);  // each stream has its own memory
    EXPECT_EQ(a, "S#3;S#1;");
    EXPECT_EQ(b, "S#1;");
    EXPECT_TRUE(notice.shown.empty());

    std::string c;
    EmitPresetSwitch(c, -1, 2, presets, notice);  // no pen: pen 1, which has no row
    EmitPresetSwitch(c, 7, 2, presets, notice);
    EXPECT_EQ(c, "S#0;");
    EXPECT_EQ(notice.Texts(), (std::vector<std::string>{"当前路径没有设置笔号，默认黑色笔",
                                                        "没有找到当前颜色对应预设参数！默认为 预设参数1",
                                                        "没有找到当前颜色对应预设参数！默认为 预设参数1"}));

    presets.usePresets = false;
    std::string d;
    EmitPresetSwitch(d, -1, 0, presets, notice);
    EXPECT_EQ(d, "");
    EXPECT_EQ(notice.shown.size(), 3u);
}

TEST(AssignSegments, PiecesGoToTheirBandsInBandCoordinates) {
    CRecordingNotice notice;
    const std::vector<SHARPCOLORS> rows{{1, 3, 1}};
    PresetState presets;
    presets.usePresets = true;
    presets.rows = &rows;
    presets.written.assign(4, -1);
    std::vector<std::string> streams(3);
    PathSettings s;
    {
        TestPath path{{1000, 0}, {1000, 200}, {800, 200}, {400, 200}, {0, 200}};
        AssignSegments(streams, path.first(), 400, 3, false, 1, s, presets, notice);
    }
    {
        TestPath piece{{16500, 7}, {16600, 7}};
        std::vector<std::string> wide(3);
        PresetState none;
        none.written.assign(4, -1);
        AssignSegments(wide, piece.first(), 8000, 3, false, 1, s, none, notice);
        EXPECT_EQ(wide[2], "U500,7 D600,7 ");
    }
    EXPECT_EQ(streams[0], "S#2;U400,200 D0,200 ");
    EXPECT_EQ(streams[1], "S#2;U400,200 D0,200 ");
    EXPECT_EQ(streams[2], "S#2;U200,0 D200,200,0,200 ");
    EXPECT_TRUE(notice.shown.empty());
}

TEST(AssignSegments, DashedPiecesStartTheirOwnPattern) {
    CRecordingNotice notice;
    PresetState presets;
    presets.written.assign(3, -1);
    std::vector<std::string> streams(2);
    TestPath path{{0, 0}, {300, 0}, {700, 0}};
    SplitAtBands(path.first(), 400, notice);
    AssignSegments(streams, path.first(), 400, 2, true, 1, Dashed(5.01f, 2.51f), presets, notice);
    // Dash 200.4, gap 100.4: band 1 runs 0..400 (the gap ends 0.4 past 300, truncated to 300);
    // band 2 starts the pattern again at its own 0.
    EXPECT_EQ(streams[0], "L1;U0,0 D200,0 U300,0 U300,0 D400,0 L0;");
    EXPECT_EQ(streams[1], "L1;U0,0 D200,0 U300,0 L0;");
    EXPECT_TRUE(notice.shown.empty());
}

TEST(AssignSegments, SegmentInNoBand) {
    CRecordingNotice notice;
    PresetState presets;
    presets.written.assign(3, -1);
    std::vector<std::string> streams(2);
    TestPath path{{-100, 0}, {100, 0}, {300, 5}, {500, 5}};
    AssignSegments(streams, path.first(), 400, 2, false, 1, PathSettings{}, presets, notice);
    // The first segment has no band before it and goes to band 1; the unsplit segment
    // across 400 keeps the band it had.
    EXPECT_EQ(streams[0], "U-100,0 D100,0,300,5,500,5 ");
    EXPECT_EQ(streams[1], "");
    EXPECT_EQ(notice.Texts(), (std::vector<std::string>{"error PT1,PT2 Seg", "error PT1,PT2 Seg"}));
    // A single point always has a band: at or below 0 the first.
    TestPath lone{{-5, 3}};
    AssignSegments(streams, lone.first(), 400, 2, false, 1, PathSettings{}, presets, notice);
    EXPECT_EQ(streams[0], "U-100,0 D100,0,300,5,500,5 U-5,3 ");
    EXPECT_EQ(notice.shown.size(), 2u);
}
