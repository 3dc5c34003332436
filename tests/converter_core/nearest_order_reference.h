#pragma once
// The nearest-neighbour order as a plain greedy search over every remaining record: quadratic,
// kept as the reference that the fast order must match exactly (tests and benchmark).
#include <cmath>
#include <numeric>
#include <utility>
#include <vector>

#include "nearest_order.h"

inline std::vector<int32_t> ReferenceNearestPermutation(const std::vector<NnRecordEnds>& records,
                                                        double& curX, double& curY) {
    const size_t n = records.size();
    std::vector<int32_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    for (size_t k = 0; k + 1 < n; ++k) {
        double best = 2147483647.0;
        size_t winner = k;
        for (size_t l = k; l < n; ++l) {
            const double dx = records[order[l]].startX - curX;
            const double dy = records[order[l]].startY - curY;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d < best) {
                best = d;
                winner = l;
            }
        }
        std::swap(order[k], order[winner]);
        curX = records[order[k]].endX;
        curY = records[order[k]].endY;
    }
    return order;
}
