// The fast nearest-neighbour order must give exactly the greedy search's order, ties, far
// records, NaN and infinite coordinates included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

#include "converter_test_support.h"
#include "nearest_order.h"
#include "nearest_order_reference.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Both orders from the same point; also the point they leave behind.
void ExpectSameOrder(const std::vector<NnRecordEnds>& records, double x, double y,
                     const std::string& what) {
    double fastX = x, fastY = y, refX = x, refY = y;
    const std::vector<int32_t> fast = NearestNeighbourPermutation(records, fastX, fastY);
    const std::vector<int32_t> ref = ReferenceNearestPermutation(records, refX, refY);
    ASSERT_EQ(fast, ref) << what << ", " << records.size() << " records from " << x << "," << y;
    EXPECT_TRUE(SameBits(fastX, refX) && SameBits(fastY, refY))
        << what << ": ends at " << fastX << "," << fastY << " instead of " << refX << "," << refY;
}

class Maker {
public:
    explicit Maker(unsigned seed) : rnd_(seed) {}
    double Real(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rnd_);
    }
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rnd_); }
    bool Chance(double p) { return Real(0, 1) < p; }
    template <class T> const T& Pick(const std::vector<T>& v) {
        return v[Int(0, int(v.size()) - 1)];
    }
    // A record from a start point, ending on it, near it, or anywhere in span.
    NnRecordEnds From(double x, double y, double span) {
        switch (Int(0, 2)) {
        case 0: return {x, y, x, y};
        case 1: return {x, y, x + Real(-1, 1), y + Real(-1, 1)};
        default: return {x, y, Real(0, span), Real(0, span)};
        }
    }
    std::mt19937& Engine() { return rnd_; }

private:
    std::mt19937 rnd_;
};

// Records that cover one kind of selection; every kind is run on many seeds.
using Generator = std::function<std::vector<NnRecordEnds>(Maker&, double& x, double& y)>;

struct Kind {
    const char* name;
    int seeds;
    Generator make;
};

std::vector<NnRecordEnds> Random(Maker& m, double& x, double& y) {
    const double span = std::pow(10.0, m.Int(-3, 7));
    const int n = m.Chance(0.1) ? m.Int(1000, 3000) : m.Int(0, 300);
    std::vector<NnRecordEnds> r;
    for (int i = 0; i < n; ++i) r.push_back(m.From(m.Real(0, span), m.Real(0, span), span));
    x = m.Real(-span, 2 * span);
    y = m.Real(-span, 2 * span);
    return r;
}

// Points of a lattice: from a lattice point, four or more records lie equally far, and
// distances repeat everywhere; some points come twice.
std::vector<NnRecordEnds> Lattice(Maker& m, double& x, double& y) {
    const int side = m.Int(2, 40);
    const double step = m.Pick(std::vector<double>{1, 0.5, 0.1, 3, 1e-7, 1e6});
    std::vector<NnRecordEnds> r;
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j) {
            const double px = i * step, py = j * step;
            const int copies = m.Chance(0.1) ? 2 : 1;
            for (int c = 0; c < copies; ++c) {
                const int ei = std::clamp(i + m.Int(-1, 1), 0, side - 1);
                const int ej = std::clamp(j + m.Int(-1, 1), 0, side - 1);
                r.push_back({px, py, ei * step, ej * step});
            }
        }
    std::shuffle(r.begin(), r.end(), m.Engine());
    x = m.Int(-1, side) * step;
    y = m.Chance(0.5) ? (side - 1) * step / 2 : m.Int(0, side - 1) * step;
    return r;
}

// A few places, each the start of many records.
std::vector<NnRecordEnds> Duplicates(Maker& m, double& x, double& y) {
    std::vector<std::pair<double, double>> places(m.Int(1, 5));
    for (auto& p : places) p = {m.Int(-3, 3), m.Int(-3, 3)};
    std::vector<NnRecordEnds> r;
    const int n = m.Int(2, 600);
    for (int i = 0; i < n; ++i) {
        const auto& s = m.Pick(places);
        const auto& e = m.Pick(places);
        r.push_back({s.first, s.second, e.first, e.second});
    }
    x = m.Int(-4, 4);
    y = m.Int(-4, 4);
    return r;
}

// Records near the start and a few about the reach away or beyond it, whose ends can leave
// everything else out of reach, so that records stay in place.
std::vector<NnRecordEnds> FarAway(Maker& m, double& x, double& y) {
    const std::vector<double> far = {2147483647.0, 2147483646.0, 2147483648.0, -2147483647.0,
                                     1518500249.0, 1518500250.0, 3e9, -5e9, 1e12};
    std::vector<NnRecordEnds> r;
    const int n = m.Int(2, 200);
    for (int i = 0; i < n; ++i) {
        if (m.Chance(0.08)) {
            const double fx = m.Pick(far), fy = m.Chance(0.5) ? 0 : m.Pick(far);
            if (m.Chance(0.5)) r.push_back({fx, fy, m.Real(0, 100), m.Real(0, 100)});
            else r.push_back({fx, fy, fx + m.Int(0, 2), fy});
        } else {
            NnRecordEnds rec = m.From(m.Real(0, 100), m.Real(0, 100), 100);
            if (m.Chance(0.05)) {
                rec.endX = m.Pick(far);
                rec.endY = m.Chance(0.5) ? 0 : m.Pick(far);
            }
            r.push_back(rec);
        }
    }
    x = 0;
    y = 0;
    return r;
}

// Starts and ends that are not numbers, infinite, or so large that their squares overflow.
std::vector<NnRecordEnds> Unusual(Maker& m, double& x, double& y) {
    const std::vector<double> odd = {kNaN, kInf, -kInf, 1e300, -1e300, 1.7e308, -1.7e308,
                                     1e154, 5e-324, -0.0};
    auto value = [&](double span) { return m.Chance(0.15) ? m.Pick(odd) : m.Real(0, span); };
    std::vector<NnRecordEnds> r;
    const int n = m.Int(2, 300);
    for (int i = 0; i < n; ++i) r.push_back({value(50), value(50), value(50), value(50)});
    x = m.Chance(0.2) ? m.Pick(odd) : 0;
    y = 0;
    return r;
}

// All of the above in one selection.
std::vector<NnRecordEnds> Mixed(Maker& m, double& x, double& y) {
    const Generator parts[] = {Random, Lattice, Duplicates, FarAway, Unusual};
    std::vector<NnRecordEnds> r;
    for (int p = m.Int(2, 4); p > 0; --p) {
        double ignoredX, ignoredY;
        const auto more = parts[m.Int(0, 4)](m, ignoredX, ignoredY);
        r.insert(r.end(), more.begin(), more.begin() + std::min<size_t>(more.size(), 400));
    }
    std::shuffle(r.begin(), r.end(), m.Engine());
    x = m.Real(0, 10);
    y = m.Real(0, 10);
    return r;
}

TEST(NearestOrder, EqualsTheGreedySearchOnManySelections) {
    const Kind kinds[] = {{"random", 150, Random},       {"lattice", 80, Lattice},
                          {"duplicates", 80, Duplicates}, {"far away", 150, FarAway},
                          {"unusual values", 150, Unusual}, {"mixed", 60, Mixed}};
    for (const Kind& kind : kinds)
        for (int seed = 0; seed < kind.seeds; ++seed) {
            Maker m(seed);
            double x = 0, y = 0;
            const auto records = kind.make(m, x, y);
            ExpectSameOrder(records, x, y,
                            std::string(kind.name) + " seed " + std::to_string(seed));
            if (HasFatalFailure()) return;
        }
}

TEST(NearestOrder, SmallAndHandMadeSelections) {
    const struct {
        const char* what;
        std::vector<NnRecordEnds> records;
        double x, y;
    } cases[] = {
        {"none", {}, 3, 4},
        {"one", {{5, 5, 9, 9}}, 3, 4},
        {"two, the second nearer", {{5, 0, 6, 0}, {1, 0, 2, 0}}, 0, 0},
        {"two, equally far", {{2, 0, 2, 0}, {-2, 0, -2, 0}}, 0, 0},
        {"two, both out of reach", {{3e9, 0, 1, 1}, {4e9, 0, 2, 2}}, 0, 0},
        {"exactly the reach away", {{3e9, 0, 5, 5}, {2147483647.0, 0, 7, 7}}, 0, 0},
        {"just within reach", {{3e9, 0, 5, 5}, {2147483646.0, 0, 7, 7}}, 0, 0},
        {"not a number first", {{kNaN, 0, 0, 0}, {1, 0, 7, 7}, {2, 0, 2, 0}}, 0, 0},
        {"end not a number", {{1, 0, kNaN, 0}, {2, 0, 2, 0}, {3, 0, 3, 0}, {0, 0, 0, 0}}, 0, 0},
        {"start point not a number", {{1, 0, 1, 0}, {2, 0, 2, 0}, {3, 0, 3, 0}}, kNaN, 0},
        {"infinite start point", {{1, 0, 1, 0}, {2, 0, 2, 0}, {3, 0, 3, 0}}, -kInf, 0},
        {"squares overflow", {{1e200, 1e200, 0, 0}, {-1e200, 0, 1, 1}, {1, 1, 1e200, 1e200}}, 0, 0},
        {"end beyond reach, then back",
         {{1, 0, 5e9, 0}, {9, 0, 2, 0}, {8, 0, 8, 0}, {3, 0, 3, 0}}, 0, 0},
    };
    for (const auto& c : cases) ExpectSameOrder(c.records, c.x, c.y, c.what);

    // Ties follow the current order, which the swaps keep changing: from (0, 0) the record at
    // place 2 wins and the record from place 0 moves there; from (1, 0) the records now at
    // places 1 and 2 are equally far, and the one at place 1 goes first, although it came
    // second in the selection.
    const std::vector<NnRecordEnds> swapped = {{2, 0, 2, 0}, {1, 1, 1, 1}, {0, 0, 1, 0}};
    double x = 0, y = 0;
    EXPECT_EQ(NearestNeighbourPermutation(swapped, x, y), (std::vector<int32_t>{2, 1, 0}));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 1);
}

// Row after row from the store, the current point carried over, records shared by rows.
class NearestOrderRows : public ConverterTest {};

TEST_F(NearestOrderRows, EqualAcrossRows) {
    for (int seed = 0; seed < 20; ++seed) {
        ResetStores();
        Maker m(1000 + seed);
        double ignoredX, ignoredY;
        const auto records = Mixed(m, ignoredX, ignoredY);
        std::vector<NnRecordEnds> ends;
        for (const NnRecordEnds& r : records) {
            SHARP s;
            s.startX = r.startX; s.startY = r.startY;
            s.endX = r.endX; s.endY = r.endY;
            Stores().entities.push_back(s);
            ends.push_back(r);
        }
        double fastX = 0, fastY = 0, refX = 0, refY = 0;
        for (int row = 0; row < 5; ++row) {
            std::vector<int32_t> selection;
            const double share = m.Real(0, 0.6);
            for (size_t i = 0; i < ends.size(); ++i)
                if (m.Chance(share)) selection.push_back(static_cast<int32_t>(i));
            std::vector<NnRecordEnds> rowEnds;
            for (int32_t i : selection) rowEnds.push_back(ends[i]);
            const std::vector<int32_t> ref = ReferenceNearestPermutation(rowEnds, refX, refY);
            std::vector<int32_t> expected;
            for (int32_t p : ref) expected.push_back(selection[p]);
            NearestNeighbourOrder(selection, fastX, fastY);
            ASSERT_EQ(selection, expected) << "seed " << seed << " row " << row;
            ASSERT_TRUE(SameBits(fastX, refX) && SameBits(fastY, refY))
                << "seed " << seed << " row " << row;
        }
    }
}

}  // namespace
