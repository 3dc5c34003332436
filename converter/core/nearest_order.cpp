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
// one placed earlier. The tree is complete, in heap order (children of i at 2i + 1 and
// 2i + 2), and every leaf owns kLeafSize consecutive slots, some of them empty: a slot's leaf
// follows from its number, and the places of a leaf share one cache line. Records whose start
// point is not finite (never within reach) take the slots after the tree's.
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
        leaves_ = 0;
        if (!points.empty()) {
            leaves_ = 1;
            while (static_cast<size_t>(leaves_) * kLeafSize < points.size()) leaves_ *= 2;
        }
        treeSlots_ = leaves_ * kLeafSize;
        const size_t slots = static_cast<size_t>(treeSlots_) + outside.size();
        start_.assign(slots, Start{0, 0});
        place_.assign(slots, kGone);
        ends_.assign(slots, End{0, 0});
        recordOf_.assign(slots, -1);
        order_.resize(n);
        if (leaves_ > 0) Build(points, 0, 0, static_cast<int32_t>(points.size()));
        for (size_t i = 0; i < outside.size(); ++i)
            Put(treeSlots_ + static_cast<int32_t>(i), outside[i]);
        for (int32_t slot = 0; slot < static_cast<int32_t>(slots); ++slot) {
            const int32_t record = recordOf_[slot];
            if (record < 0) continue;
            ends_[slot] = {records[record].endX, records[record].endY};
            order_[record] = slot;
        }
        const int32_t nodes = leaves_ > 0 ? 2 * leaves_ - 1 : 0;
        alive_.assign(nodes, 0);
        first_.assign(nodes, 0);
        box_.resize(nodes);
        for (int32_t node = nodes - 1; node >= 0; --node) {
            if (IsLeaf(node)) Gather(node);
            else Combine(node);
        }
    }

    std::vector<int32_t> Run(double& curX, double& curY) {
        const int32_t n = static_cast<int32_t>(order_.size());
        for (int32_t k = 0; k + 1 < n; ++k) {
            const int32_t winner = Nearest(curX, curY);
            if (winner >= 0 && place_[winner] != k) {
                const int32_t displaced = order_[k];
                const int32_t to = place_[winner];
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
    static constexpr int32_t kGone = -1;  // the place of an empty slot or a placed record

    struct Point {
        double x, y;
        int32_t record;
    };
    struct Start {
        double x, y;
    };
    struct End {
        double x, y;
    };
    struct Box {
        double minX, minY, maxX, maxY;  // of the remaining start points
    };
    struct Summary {
        Box box;
        int32_t alive, first;
        bool operator==(const Summary& o) const {
            return alive == o.alive && first == o.first && box.minX == o.box.minX &&
                   box.minY == o.box.minY && box.maxX == o.box.maxX && box.maxY == o.box.maxY;
        }
    };

    bool IsLeaf(int32_t node) const { return node >= leaves_ - 1; }
    int32_t FirstSlot(int32_t leaf) const { return (leaf - (leaves_ - 1)) * kLeafSize; }
    int32_t LeafOf(int32_t slot) const { return leaves_ - 1 + slot / kLeafSize; }
    Summary Summarise(int32_t node) const { return {box_[node], alive_[node], first_[node]}; }

    void Put(int32_t slot, const Point& p) {
        start_[slot] = {p.x, p.y};
        place_[slot] = p.record;  // places start as the selection's order
        recordOf_[slot] = p.record;
    }

    // Spreads points[lo, hi) over the node's leaves, halving the wider side of their box.
    void Build(std::vector<Point>& points, int32_t node, int32_t lo, int32_t hi) {
        if (IsLeaf(node)) {
            for (int32_t i = lo; i < hi; ++i) Put(FirstSlot(node) + (i - lo), points[i]);
            return;
        }
        if (hi - lo > 1) {
            double minX = points[lo].x, maxX = minX, minY = points[lo].y, maxY = minY;
            for (int32_t i = lo + 1; i < hi; ++i) {
                minX = std::min(minX, points[i].x);
                maxX = std::max(maxX, points[i].x);
                minY = std::min(minY, points[i].y);
                maxY = std::max(maxY, points[i].y);
            }
            // Compared as halves so that huge spans cannot overflow.
            const bool byX = maxX / 2 - minX / 2 >= maxY / 2 - minY / 2;
            std::nth_element(points.begin() + lo, points.begin() + (lo + (hi - lo + 1) / 2),
                             points.begin() + hi, [byX](const Point& a, const Point& b) {
                                 return byX ? a.x < b.x : a.y < b.y;
                             });
        }
        // Each half fits its side: a node holds at most twice what either child can.
        const int32_t mid = lo + (hi - lo + 1) / 2;
        Build(points, 2 * node + 1, lo, mid);
        Build(points, 2 * node + 2, mid, hi);
    }

    void Gather(int32_t node) {
        int32_t alive = 0;
        Box& box = box_[node];
        const int32_t lo = FirstSlot(node);
        for (int32_t slot = lo; slot < lo + kLeafSize; ++slot) {
            if (place_[slot] == kGone) continue;
            const Start& s = start_[slot];
            if (alive++ == 0) {
                box = {s.x, s.y, s.x, s.y};
                first_[node] = place_[slot];
                continue;
            }
            box.minX = std::min(box.minX, s.x);
            box.maxX = std::max(box.maxX, s.x);
            box.minY = std::min(box.minY, s.y);
            box.maxY = std::max(box.maxY, s.y);
            first_[node] = std::min(first_[node], place_[slot]);
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
        place_[slot] = place;
        if (slot >= treeSlots_) return;
        int32_t node = LeafOf(slot);
        int32_t first = place;
        const int32_t lo = FirstSlot(node);
        for (int32_t i = lo; i < lo + kLeafSize; ++i)
            if (place_[i] != kGone) first = std::min(first, place_[i]);
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
        place_[slot] = kGone;
        if (slot >= treeSlots_) return;
        int32_t node = LeafOf(slot);
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
        if (leaves_ == 0 || !std::isfinite(x) || !std::isfinite(y)) return -1;
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
            const int32_t lo = FirstSlot(node);
            for (int32_t slot = lo; slot < lo + kLeafSize; ++slot) {
                if (place_[slot] == kGone) continue;
                const double d = Distance(fromX_, fromY_, start_[slot].x, start_[slot].y);
                if (Beats(d, place_[slot])) {
                    best_ = d;
                    bestPlace_ = place_[slot];
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

    int32_t leaves_ = 0;
    int32_t treeSlots_ = 0;
    // By node, in heap order.
    std::vector<Box> box_;
    std::vector<int32_t> alive_;  // how many start points remain
    std::vector<int32_t> first_;  // smallest current place among them
    // By slot.
    std::vector<Start> start_;
    std::vector<int32_t> place_;  // current place, kGone once placed
    std::vector<End> ends_;
    std::vector<int32_t> recordOf_;
    // By place: the slot there.
    std::vector<int32_t> order_;
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
