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
                double& endAngle, INotice& notice) {
    if (b == 0) return false;

    const double q = 4 * std::atan(std::fabs(b));
    const double chord = std::sqrt((x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2));
    const double r = std::fabs((chord * 0.5) / std::sin(0.5 * q));

    // The two centres on the chord's perpendicular bisector.
    double ax, ay, bx, by;
    if (std::fabs(x2 - x1) < kStraightTolerance) {
        const double h = std::sqrt(r * r - (y1 - y2) * (y1 - y2) * 0.25);
        const double ym = (y1 + y2) * 0.5;
        ax = x2 - h; ay = ym;
        bx = x1 + h; by = ym;
    } else {
        const double k = (y2 - y1) / (x2 - x1);
        if (std::fabs(y2 - y1) < kStraightTolerance || k == 0) {
            const double h = std::sqrt(r * r - (x1 - x2) * (x1 - x2) * 0.25);
            const double xm = (x1 + x2) * 0.5;
            ax = xm; ay = y2 - h;
            bx = xm; by = y1 + h;
        } else {
            const double m = (x2 * x2 - x1 * x1 + y2 * y2 - y1 * y1) * 0.5 / (x2 - x1);
            const double p = 2 * k * x1 - 2 * k * m - 2 * y1;
            const double u = k * k + 1;
            double d = p * p - 4 * u * (x1 * x1 - 2 * m * x1 + m * m + y1 * y1 - r * r);
            if (std::fabs(d) < kStraightTolerance) d = 0;
            if (d < 0) {
                notice.Show("derta <0!", std::string(), kNoticeOk);
                return false;
            }
            const double ya = (-std::sqrt(d) - p) / (2 * u);
            const double yb = (std::sqrt(d) - p) / (2 * u);
            ax = m - k * ya; ay = ya;
            bx = m - k * yb; by = yb;
        }
    }

    // B lies left of the chord's direction when side >= 0.
    const double side = (x2 - x1) * (by - y1) - (y2 - y1) * (bx - x1);
    const bool useB = (side >= 0) == ((b > 0) == (std::fabs(b) <= 1));
    const double cx = useB ? bx : ax;
    const double cy = useB ? by : ay;

    centreX = cx;
    centreY = cy;
    radius = r;
    startAngle = AngleAround(x1, y1, cx, cy, r);
    endAngle = AngleAround(x2, y2, cx, cy, r);
    clockwise = b < 0 ? 1 : 0;
    return true;
}
