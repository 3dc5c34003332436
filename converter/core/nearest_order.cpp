#include "nearest_order.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The one distance formula: the tree's bounds must round exactly like the records' distances.
inline double Distance(double fromX, double fromY, double x, double y) {
    const double dx = x - fromX, dy = y - fromY;
    return std::sqrt(dx * dx + dy * dy);
}

constexpr int32_t kLeafSize = 8;

// The greedy order over a k-d tree of the start points of the records not yet placed. Each
// node keeps the box of its remaining start points and the smallest current place among them,
// so that a search passes over a node that cannot hold a nearer record, nor an equally near
// one placed earlier. Nodes lie in heap order (children of i at 2i + 1 and 2i + 2); records
// are kept by slot, in tree order, so that a leaf is one short run of memory. Records whose
// start point is not finite (never within reach) take the slots after the tree's.
class CNearestOrder {
public:
    explicit CNearestOrder(const std::vector<NnRecordEnds>& records) {
        const int32_t n = static_cast<int32_t>(records.size());
        std::vector<Point> points, outside;
        for (int32_t i = 0; i < n; ++i) {
            const NnRecordEnds& r = records[i];
            if (std::isfinite(r.startX) && std::isfinite(r.startY))
                points.push_back({r.startX, r.startY, i});
            else
                outside.push_back({r.startX, r.startY, i});
        }
        treeSize_ = static_cast<int32_t>(points.size());
        if (treeSize_ > 0) Build(points, 0, 0, treeSize_);
        points.insert(points.end(), outside.begin(), outside.end());
        slots_.resize(n);
        ends_.resize(n);
        recordOf_.resize(n);
        order_.resize(n);
        for (int32_t slot = 0; slot < n; ++slot) {
            const int32_t record = points[slot].record;
            // Places start as the selection's order.
            slots_[slot] = {points[slot].x, points[slot].y, record, -1};
            ends_[slot] = {records[record].endX, records[record].endY};
            recordOf_[slot] = record;
            order_[record] = slot;
        }
        const size_t nodes = range_.size();
        alive_.assign(nodes, 0);
        first_.assign(nodes, 0);
        box_.resize(nodes);
        for (int32_t node = static_cast<int32_t>(nodes) - 1; node >= 0; --node) {
            if (range_[node].hi == 0) continue;  // no node here
            if (IsLeaf(node)) {
                for (int32_t slot = range_[node].lo; slot < range_[node].hi; ++slot)
                    slots_[slot].leaf = node;
                Gather(node);
            } else {
                Combine(node);
            }
        }
    }

    std::vector<int32_t> Run(double& curX, double& curY) {
        const int32_t n = static_cast<int32_t>(order_.size());
        for (int32_t k = 0; k + 1 < n; ++k) {
            const int32_t winner = Nearest(curX, curY);
            if (winner >= 0 && slots_[winner].place != k) {
                const int32_t displaced = order_[k];
                const int32_t to = slots_[winner].place;
                order_[to] = displaced;
                order_[k] = winner;
                Moved(displaced, to);
            }
            Remove(order_[k]);
            curX = ends_[order_[k]].x;
            curY = ends_[order_[k]].y;
        }
        std::vector<int32_t> result(n);
        for (int32_t place = 0; place < n; ++place) result[place] = recordOf_[order_[place]];
        return result;
    }

private:
    static constexpr int32_t kGone = -1;

    struct Point {
        double x, y;
        int32_t record;
    };
    struct Slot {
        double x, y;    // start point
        int32_t place;  // current place, kGone once placed
        int32_t leaf;   // -1 outside the tree
    };
    struct End {
        double x, y;
    };
    struct Box {
        double minX, minY, maxX, maxY;  // of the remaining start points
    };
    struct Range {
        int32_t lo = 0, hi = 0;  // the node's slots; both 0 where there is no node
    };
    struct Summary {
        Box box;
        int32_t alive, first;
        bool operator==(const Summary& o) const {
            return alive == o.alive && first == o.first && box.minX == o.box.minX &&
                   box.minY == o.box.minY && box.maxX == o.box.maxX && box.maxY == o.box.maxY;
        }
    };

    bool IsLeaf(int32_t node) const { return range_[node].hi - range_[node].lo <= kLeafSize; }
    Summary Summarise(int32_t node) const { return {box_[node], alive_[node], first_[node]}; }

    void Build(std::vector<Point>& points, int32_t node, int32_t lo, int32_t hi) {
        if (static_cast<size_t>(node) >= range_.size())
            range_.resize(2 * static_cast<size_t>(node) + 1);
        range_[node] = {lo, hi};
        if (hi - lo <= kLeafSize) return;
        double minX = points[lo].x, maxX = minX, minY = points[lo].y, maxY = minY;
        for (int32_t i = lo + 1; i < hi; ++i) {
            minX = std::min(minX, points[i].x);
            maxX = std::max(maxX, points[i].x);
            minY = std::min(minY, points[i].y);
            maxY = std::max(maxY, points[i].y);
        }
        // Halves the wider side; compared as halves so that huge spans cannot overflow.
        const bool byX = maxX / 2 - minX / 2 >= maxY / 2 - minY / 2;
        const int32_t mid = lo + (hi - lo) / 2;
        std::nth_element(points.begin() + lo, points.begin() + mid, points.begin() + hi,
                         [byX](const Point& a, const Point& b) {
                             return byX ? a.x < b.x : a.y < b.y;
                         });
        Build(points, 2 * node + 1, lo, mid);
        Build(points, 2 * node + 2, mid, hi);
    }

    void Gather(int32_t node) {
        int32_t alive = 0;
        Box& box = box_[node];
        for (int32_t slot = range_[node].lo; slot < range_[node].hi; ++slot) {
            const Slot& s = slots_[slot];
            if (s.place == kGone) continue;
            if (alive++ == 0) {
                box = {s.x, s.y, s.x, s.y};
                first_[node] = s.place;
                continue;
            }
            box.minX = std::min(box.minX, s.x);
            box.maxX = std::max(box.maxX, s.x);
            box.minY = std::min(box.minY, s.y);
            box.maxY = std::max(box.maxY, s.y);
            first_[node] = std::min(first_[node], s.place);
        }
        alive_[node] = alive;
    }

    int32_t ChildrenFirst(int32_t node) const {
        const int32_t a = 2 * node + 1, b = a + 1;
        if (alive_[a] == 0) return first_[b];
        if (alive_[b] == 0) return first_[a];
        return std::min(first_[a], first_[b]);
    }

    void Combine(int32_t node) {
        const int32_t a = 2 * node + 1, b = a + 1;
        alive_[node] = alive_[a] + alive_[b];
        first_[node] = ChildrenFirst(node);
        if (alive_[a] == 0 || alive_[b] == 0) {
            box_[node] = box_[alive_[a] ? a : b];
            return;
        }
        box_[node] = {std::min(box_[a].minX, box_[b].minX), std::min(box_[a].minY, box_[b].minY),
                      std::max(box_[a].maxX, box_[b].maxX), std::max(box_[a].maxY, box_[b].maxY)};
    }

    // The slot's place grew (places only ever grow): only the smallest places above change.
    void Moved(int32_t slot, int32_t place) {
        slots_[slot].place = place;
        int32_t node = slots_[slot].leaf;
        if (node < 0) return;
        int32_t first = place;
        for (int32_t i = range_[node].lo; i < range_[node].hi; ++i)
            if (slots_[i].place != kGone) first = std::min(first, slots_[i].place);
        while (first != first_[node]) {
            first_[node] = first;
            if (node == 0) break;
            node = (node - 1) / 2;
            first = ChildrenFirst(node);
        }
    }

    // The slot's record was placed: it leaves the tree, and the nodes above it are brought up
    // to date as far as they change.
    void Remove(int32_t slot) {
        slots_[slot].place = kGone;
        int32_t node = slots_[slot].leaf;
        if (node < 0) return;
        Summary before = Summarise(node);
        Gather(node);
        while (node != 0 && !(Summarise(node) == before)) {
            node = (node - 1) / 2;
            before = Summarise(node);
            Combine(node);
        }
    }

    // The slot nearest to (x, y) by the rules of the order, or -1 when none is within reach.
    int32_t Nearest(double x, double y) {
        if (treeSize_ == 0 || !std::isfinite(x) || !std::isfinite(y)) return -1;
        fromX_ = x;
        fromY_ = y;
        best_ = kNearestReach;
        bestPlace_ = 0;
        winner_ = -1;
        Search(0, Bound(0));
        return winner_;
    }

    // The distance to the box's point nearest to the current point. Rounding keeps order, so
    // no start point in the box gets a smaller distance from the same formula.
    double Bound(int32_t node) const {
        const Box& b = box_[node];
        return Distance(fromX_, fromY_, std::clamp(fromX_, b.minX, b.maxX),
                        std::clamp(fromY_, b.minY, b.maxY));
    }

    // Whether a record at this distance and place would beat the best so far.
    bool Beats(double d, int32_t place) const {
        return d < best_ || (winner_ >= 0 && d == best_ && place < bestPlace_);
    }

    void Search(int32_t node, double bound) {
        if (alive_[node] == 0 || !Beats(bound, first_[node])) return;
        if (IsLeaf(node)) {
            for (int32_t slot = range_[node].lo; slot < range_[node].hi; ++slot) {
                const Slot& s = slots_[slot];
                if (s.place == kGone) continue;
                const double d = Distance(fromX_, fromY_, s.x, s.y);
                if (Beats(d, s.place)) {
                    best_ = d;
                    bestPlace_ = s.place;
                    winner_ = slot;
                }
            }
            return;
        }
        const int32_t a = 2 * node + 1, b = a + 1;
        const double boundA = alive_[a] ? Bound(a) : 0, boundB = alive_[b] ? Bound(b) : 0;
        // The nearer side first (of equal sides the earlier), so the other is mostly passed over.
        if (boundA < boundB || (boundA == boundB && first_[a] <= first_[b])) {
            Search(a, boundA);
            Search(b, boundB);
        } else {
            Search(b, boundB);
            Search(a, boundA);
        }
    }

    // By node, in heap order.
    std::vector<Range> range_;
    std::vector<Box> box_;
    std::vector<int32_t> alive_;  // how many start points remain
    std::vector<int32_t> first_;  // smallest current place among them
    // By slot.
    std::vector<Slot> slots_;
    std::vector<End> ends_;
    std::vector<int32_t> recordOf_;
    // By place: the slot there.
    std::vector<int32_t> order_;
    int32_t treeSize_ = 0;
    double fromX_ = 0, fromY_ = 0;
    double best_ = 0;
    int32_t bestPlace_ = 0;
    int32_t winner_ = -1;  // slot of the best so far
};

}  // namespace

std::vector<int32_t> NearestNeighbourPermutation(const std::vector<NnRecordEnds>& records,
                                                 double& curX, double& curY) {
    if (records.size() < 2) {
        std::vector<int32_t> order(records.size());
        std::iota(order.begin(), order.end(), 0);
        return order;
    }
    return CNearestOrder(records).Run(curX, curY);
}
