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

bool EntityExtents(double& minX, double& minY, double& maxX, double& maxY) {
    bool any = false;
    for (const SHARP& r : Stores().entities) {
        if (r.type == kShapePolyline && r.VertexCount() == 0) continue;
        // Lines keep min x, min y, max x, max y; the other shapes min x, max y, max x, min y.
        const bool line = r.type == kShapeLine;
        const double x0 = r.box[0], x1 = r.box[2];
        const double y0 = line ? r.box[1] : r.box[3], y1 = line ? r.box[3] : r.box[1];
        if (!(std::isfinite(x0) && std::isfinite(x1) && std::isfinite(y0) && std::isfinite(y1)) ||
            x0 > x1 || y0 > y1)
            continue;
        if (!any) {
            minX = x0; minY = y0; maxX = x1; maxY = y1;
            any = true;
            continue;
        }
        minX = std::min(minX, x0); minY = std::min(minY, y0);
        maxX = std::max(maxX, x1); maxY = std::max(maxY, y1);
    }
    return any;
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
