#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "bulge.h"

namespace {

constexpr double kPi = 3.141592653589793;

struct Arc {
    bool ok;
    uint8_t clockwise;
    double cx, cy, r, start, end;
};

Arc Solve(double x1, double y1, double x2, double y2, double b, uint8_t clockwiseIn = 7) {
    Arc a{false, clockwiseIn, -1, -1, -1, -1, -1};
    a.ok = BulgeToArc(x1, y1, x2, y2, b, a.clockwise, a.cx, a.cy, a.r, a.start, a.end);
    return a;
}

TEST(BulgeToArc, HalfCirclesBothWays) {
    Arc ccw = Solve(0, 0, 10, 0, 1);
    ASSERT_TRUE(ccw.ok);
    EXPECT_DOUBLE_EQ(ccw.cx, 5);
    EXPECT_NEAR(ccw.cy, 0, 1e-12);
    EXPECT_DOUBLE_EQ(ccw.r, 5);
    EXPECT_DOUBLE_EQ(ccw.start, kPi);
    EXPECT_NEAR(ccw.end, 0, 1e-12);
    EXPECT_EQ(ccw.clockwise, 0);

    Arc cw = Solve(0, 0, 10, 0, -1, 0);
    ASSERT_TRUE(cw.ok);
    EXPECT_DOUBLE_EQ(cw.cx, 5);
    EXPECT_NEAR(cw.cy, 0, 1e-12);
    EXPECT_DOUBLE_EQ(cw.r, 5);
    EXPECT_EQ(cw.clockwise, 1);
}

TEST(BulgeToArc, VerticalChord) {
    Arc a = Solve(0, 0, 0, 10, 1);
    ASSERT_TRUE(a.ok);
    EXPECT_NEAR(a.cx, 0, 1e-12);
    EXPECT_DOUBLE_EQ(a.cy, 5);
    EXPECT_DOUBLE_EQ(a.r, 5);
}

// A quarter circle (bulge tan(pi/8)) on a sloped chord picks the centre left of the chord
// for a small positive bulge and right of it for the same bulge negated.
TEST(BulgeToArc, SlopedChordPicksTheSideByBulge) {
    const double b = 0.41421356237309503;  // tan(22.5 degrees)
    Arc left = Solve(1, 0, 0, 1, b);
    ASSERT_TRUE(left.ok);
    EXPECT_NEAR(left.cx, 0, 1e-9);
    EXPECT_NEAR(left.cy, 0, 1e-9);
    EXPECT_NEAR(left.r, 1, 1e-9);
    EXPECT_NEAR(left.start, 0, 1e-6);
    EXPECT_NEAR(left.end, kPi / 2, 1e-6);
    Arc right = Solve(1, 0, 0, 1, -b);
    ASSERT_TRUE(right.ok);
    EXPECT_NEAR(right.cx, 1, 1e-9);
    EXPECT_NEAR(right.cy, 1, 1e-9);
    EXPECT_EQ(right.clockwise, 1);
}

TEST(BulgeToArc, ZeroBulgeSetsNothingAndSaysNothing) {
    Arc a = Solve(0, 0, 10, 0, 0);
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.clockwise, 7);
    EXPECT_EQ(a.cx, -1);
}

// Checks one segment's arc: both points on the circle at the given angles (so the centre
// lies on the chord's bisector at the radius), on the side the bulge picks, and the radius
// the included angle gives.
void ExpectArc(double x1, double y1, double x2, double y2, double b) {
    SCOPED_TRACE(testing::Message() << "(" << x1 << ", " << y1 << ") -> (" << x2 << ", " << y2
                                    << ") bulge " << b);
    const Arc a = Solve(x1, y1, x2, y2, b);
    ASSERT_TRUE(a.ok);
    const double chord = std::hypot(x2 - x1, y2 - y1);
    EXPECT_NEAR(a.r, chord / 2 / std::sin(2 * std::atan(std::fabs(b))), 1e-12 * a.r);
    const double scale = std::max({a.r, std::fabs(a.cx), std::fabs(a.cy), 1.0});
    EXPECT_NEAR(std::hypot(x1 - a.cx, y1 - a.cy), a.r, 1e-9 * scale);
    EXPECT_NEAR(std::hypot(x2 - a.cx, y2 - a.cy), a.r, 1e-9 * scale);
    EXPECT_NEAR(a.cx + a.r * std::cos(a.start), x1, 1e-7 * scale);
    EXPECT_NEAR(a.cy + a.r * std::sin(a.start), y1, 1e-7 * scale);
    EXPECT_NEAR(a.cx + a.r * std::cos(a.end), x2, 1e-7 * scale);
    EXPECT_NEAR(a.cy + a.r * std::sin(a.end), y2, 1e-7 * scale);
    EXPECT_EQ(a.clockwise, b < 0 ? 1 : 0);
    const double side = (x2 - x1) * (a.cy - y1) - (y2 - y1) * (a.cx - x1);
    if (std::fabs(b) == 1) {
        EXPECT_NEAR(a.cx, (x1 + x2) / 2, 1e-9 * scale);  // a half circle's centre is the chord's middle
        EXPECT_NEAR(a.cy, (y1 + y2) / 2, 1e-9 * scale);
    } else {
        EXPECT_EQ(side > 0, (b > 0) == (std::fabs(b) < 1)) << "side " << side;
    }
}

// Half circles are where rounding used to leave the circle short of the chord: every one
// gets its arc, at any direction and size, as do flat and deep arcs.
TEST(BulgeToArc, EverySegmentWithABulgeGetsItsArc) {
    ExpectArc(43.9, 38.6, 43.7, 59.7, 1);  // a slot's end
    ExpectArc(43.7, 59.7, 43.9, 38.6, 1);
    ExpectArc(3058.9983033553535, 649.5461355254984, 3059.0903527408973, 658.3584741147199, 1);
    const double bulges[] = {1, -1, 1e-9, -1e-6, 0.01, 0.41421356237309503, -0.999, 1.001, 3, -20};
    for (double b : bulges)
        for (double length : {0.001, 1.0, 43.0, 1000.0})
            for (double degrees = 0; degrees < 360; degrees += 7.5)
                for (double tilt : {0.0, 1e-7, 1e-3}) {  // nearly vertical and level chords too
                    const double t = degrees * kPi / 180 + tilt;
                    ExpectArc(512.345, 487.5, 512.345 + length * std::cos(t), 487.5 + length * std::sin(t), b);
                }
    // Half circles between random three-decimal points of a 1000 mm drawing.
    std::mt19937 random(23);
    std::uniform_int_distribution<int> coordinate(0, 1000000);
    for (int i = 0; i < 4000; ++i) {
        const double x1 = coordinate(random) / 1000.0, y1 = coordinate(random) / 1000.0;
        const double x2 = i % 2 ? x1 + (coordinate(random) % 400 - 200) / 1000.0 : coordinate(random) / 1000.0;
        const double y2 = coordinate(random) / 1000.0;
        if (x1 == x2 && y1 == y2) continue;
        ExpectArc(x1, y1, x2, y2, i % 3 ? 1 : -1);
    }
}

}  // namespace
