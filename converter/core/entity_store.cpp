#include "entity_store.h"

#include <algorithm>
#include <cmath>

#include "geometry_constants.h"

CConverterStores& Stores() {
    static CConverterStores stores;
    return stores;
}

void ResetStores() {
    CConverterStores fresh;
    std::swap(Stores(), fresh);
}

void ReleaseEntityStore() {
    std::vector<SHARP>().swap(Stores().entities);
}

void DropEmptyPolylines() {
    auto& e = Stores().entities;
    e.erase(std::remove_if(e.begin(), e.end(),
                           [](const SHARP& s) {
                               return s.type == kShapePolyline && s.VertexCount() == 0;
                           }),
            e.end());
}

void ExtendBoxByPoint(double x, double y, double box[4]) {
    if (x < box[0]) box[0] = x;
    if (y > box[1]) box[1] = y;
    if (x > box[2]) box[2] = x;
    if (y < box[3]) box[3] = y;
}

namespace {

// Negative angles are folded into 0 to 2 pi, so the quarter numbers are never negative.
double FoldNegativeAngle(double a) {
    if (a >= 0) return a;
    a = std::fmod(a, kTwoPi);
    if (a < 0) a += kTwoPi;
    return a;
}

}  // namespace

void ExtendBoxByArc(int32_t direction, double r, double s, double e, double cx, double cy,
                    double box[4]) {
    ExtendBoxByPoint(cx + r * std::cos(s), cy + r * std::sin(s), box);
    if (std::isfinite(s) && std::isfinite(e)) {
        s = FoldNegativeAngle(s);
        e = FoldNegativeAngle(e);
        // Quarter numbers stay doubles: angles past a full turn count on, and more than four
        // quarters only pass the same points again.
        double qs = std::trunc(s / kHalfPi);
        double qe = std::trunc(e / kHalfPi);
        if (direction == 0) {
            static const double kCcw[4][2] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}};
            if (e < s) qe += 4;
            const double steps = std::min(qe - qs, 4.0);
            for (int j = 0; j < steps; ++j) {
                const int q = static_cast<int>(std::fmod(qs + j, 4.0));
                ExtendBoxByPoint(cx + r * kCcw[q][0], cy + r * kCcw[q][1], box);
            }
        } else {
            static const double kCw[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
            if (e > s) qs += 4;
            const double steps = std::min(qs - qe, 4.0);
            for (int j = 0; j < steps; ++j) {
                const int q = static_cast<int>(std::fmod(qs - j, 4.0));
                ExtendBoxByPoint(cx + r * kCw[q][0], cy + r * kCw[q][1], box);
            }
        }
    }
    ExtendBoxByPoint(cx + r * std::cos(e), cy + r * std::sin(e), box);
}
