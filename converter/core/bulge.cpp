#include "bulge.h"

#include <algorithm>
#include <cmath>

#include "geometry_constants.h"

namespace {

// Angle of (x, y) seen from the centre, 0 to 2 pi.
double AngleAround(double x, double y, double cx, double cy, double r) {
    double c = std::clamp((x - cx) / r, -1.0, 1.0);
    double a = std::acos(c);
    if (y - cy < 0) a = kTwoPi - a;
    return a;
}

}  // namespace

bool BulgeToArc(double x1, double y1, double x2, double y2, double b, uint8_t& clockwise,
                double& centreX, double& centreY, double& radius, double& startAngle,
                double& endAngle) {
    if (b == 0) return false;

    const double q = 4 * std::atan(std::fabs(b));
    const double dx = x2 - x1, dy = y2 - y1;
    const double chord = std::sqrt(dx * dx + dy * dy);
    const double r = std::fabs((chord * 0.5) / std::sin(0.5 * q));

    // The centre lies on the chord's perpendicular bisector, (L/2)(1/b - b)/2 from its middle
    // (r cos(q/2)): left of the direction from the first point to the second for a positive
    // bulge of at most 1 and for a negative one above 1 in size, right otherwise, on the chord
    // for a half circle. Solving for the circle through both points instead loses half circles
    // to rounding.
    double cx = (x1 + x2) * 0.5, cy = (y1 + y2) * 0.5;
    if (chord > 0) {
        double left = 0.25 * (1 / b - b);  // in chords
        if (!std::isfinite(left)) left = (b > 0 ? r : -r) * std::cos(0.5 * q) / chord;
        cx -= dy * left;
        cy += dx * left;
    }

    centreX = cx;
    centreY = cy;
    radius = r;
    startAngle = AngleAround(x1, y1, cx, cy, r);
    endAngle = AngleAround(x2, y2, cx, cy, r);
    clockwise = b < 0 ? 1 : 0;
    return true;
}
