#include <gtest/gtest.h>

#include "bulge.h"
#include "recording_notice.h"

namespace {

constexpr double kPi = 3.141592653589793;

struct Arc {
    bool ok;
    uint8_t clockwise;
    double cx, cy, r, start, end;
};

Arc Solve(double x1, double y1, double x2, double y2, double b, CRecordingNotice& n,
        uint8_t clockwiseIn = 7) {
    Arc a{false, clockwiseIn, -1, -1, -1, -1, -1};
    a.ok = BulgeToArc(x1, y1, x2, y2, b, a.clockwise, a.cx, a.cy, a.r, a.start, a.end, n);
    return a;
}

TEST(BulgeToArc, HalfCirclesBothWays) {
    CRecordingNotice n;
    Arc ccw = Solve(0, 0, 10, 0, 1, n);
    ASSERT_TRUE(ccw.ok);
    EXPECT_DOUBLE_EQ(ccw.cx, 5);
    EXPECT_NEAR(ccw.cy, 0, 1e-12);
    EXPECT_DOUBLE_EQ(ccw.r, 5);
    EXPECT_DOUBLE_EQ(ccw.start, kPi);
    EXPECT_NEAR(ccw.end, 0, 1e-12);
    EXPECT_EQ(ccw.clockwise, 0);

    Arc cw = Solve(0, 0, 10, 0, -1, n, 0);
    ASSERT_TRUE(cw.ok);
    EXPECT_DOUBLE_EQ(cw.cx, 5);
    EXPECT_NEAR(cw.cy, 0, 1e-12);
    EXPECT_DOUBLE_EQ(cw.r, 5);
    EXPECT_EQ(cw.clockwise, 1);
    EXPECT_TRUE(n.shown.empty());
}

TEST(BulgeToArc, VerticalChord) {
    CRecordingNotice n;
    Arc a = Solve(0, 0, 0, 10, 1, n);
    ASSERT_TRUE(a.ok);
    EXPECT_NEAR(a.cx, 0, 1e-12);
    EXPECT_DOUBLE_EQ(a.cy, 5);
    EXPECT_DOUBLE_EQ(a.r, 5);
}

// A quarter circle (bulge tan(pi/8)) on a sloped chord picks the centre left of the chord
// for a small positive bulge and right of it for the same bulge negated.
TEST(BulgeToArc, SlopedChordPicksTheSideByBulge) {
    CRecordingNotice n;
    const double b = 0.41421356237309503;  // tan(22.5 degrees)
    Arc left = Solve(1, 0, 0, 1, b, n);
    ASSERT_TRUE(left.ok);
    EXPECT_NEAR(left.cx, 0, 1e-9);
    EXPECT_NEAR(left.cy, 0, 1e-9);
    EXPECT_NEAR(left.r, 1, 1e-9);
    EXPECT_NEAR(left.start, 0, 1e-6);
    EXPECT_NEAR(left.end, kPi / 2, 1e-6);
    Arc right = Solve(1, 0, 0, 1, -b, n);
    ASSERT_TRUE(right.ok);
    EXPECT_NEAR(right.cx, 1, 1e-9);
    EXPECT_NEAR(right.cy, 1, 1e-9);
    EXPECT_EQ(right.clockwise, 1);
}

TEST(BulgeToArc, ZeroBulgeSetsNothingAndSaysNothing) {
    CRecordingNotice n;
    Arc a = Solve(0, 0, 10, 0, 0, n);
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.clockwise, 7);
    EXPECT_EQ(a.cx, -1);
    EXPECT_TRUE(n.shown.empty());
}

// Rounding leaves the circle short of the chord: the message, once per call, nothing set.
TEST(BulgeToArc, NegativeDiscriminantShowsItsMessage) {
    CRecordingNotice n;
    for (int i = 0; i < 2; ++i) {
        Arc a = Solve(3058.9983033553535, 649.5461355254984, 3059.0903527408973, 658.3584741147199,
                    1.0, n);
        EXPECT_FALSE(a.ok);
        EXPECT_EQ(a.clockwise, 7);
        EXPECT_EQ(a.cx, -1);
        EXPECT_EQ(a.r, -1);
        EXPECT_EQ(a.start, -1);
    }
    ASSERT_EQ(n.shown.size(), 2u);
    EXPECT_EQ(n.shown[0].text, "derta <0!");
    EXPECT_EQ(n.shown[0].caption, "");
    EXPECT_EQ(n.shown[0].style, kNoticeOk);
}

}  // namespace
