// Times the nearest-neighbour order of one row of 10,000, 100,000 and 1,000,000 records, the
// k-d tree search against the plain greedy search (the latter up to a size given as the first
// argument, 100,000 by default), and checks that both give the same order.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <random>
#include <vector>

#include "nearest_order.h"
#include "nearest_order_reference.h"

namespace {

// Wall time and the process's processor time: on a shared machine the latter shows the cost
// when other work holds the processors.
struct Timer {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::clock_t cpu = std::clock();
    double Wall() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
    }
    double Cpu() const { return double(std::clock() - cpu) / CLOCKS_PER_SEC; }
};

// Short cuts scattered over a 2000 x 1000 mm sheet.
std::vector<NnRecordEnds> Scattered(size_t n) {
    std::mt19937 rnd(12345);
    std::uniform_real_distribution<double> x(0, 2000), y(0, 1000), d(-10, 10);
    std::vector<NnRecordEnds> r(n);
    for (auto& e : r) {
        e.startX = x(rnd);
        e.startY = y(rnd);
        e.endX = e.startX + d(rnd);
        e.endY = e.startY + d(rnd);
    }
    return r;
}

// Small lettering: records on a 0.5 mm lattice, closed (ending where they start), many of
// them starting on the same point, so that equal distances are everywhere.
std::vector<NnRecordEnds> Lettering(size_t n) {
    std::mt19937 rnd(54321);
    const int side = static_cast<int>(std::sqrt(n / 2.0)) + 1;
    std::uniform_int_distribution<int> cell(0, side - 1);
    std::vector<NnRecordEnds> r(n);
    for (auto& e : r) {
        e.startX = e.endX = cell(rnd) * 0.5;
        e.startY = e.endY = cell(rnd) * 0.5;
    }
    return r;
}

void Run(const char* name, const std::vector<NnRecordEnds>& records, size_t referenceUpTo) {
    double x = 0, y = 0;
    Timer t;
    const std::vector<int32_t> fast = NearestNeighbourPermutation(records, x, y);
    const double fastSeconds = t.Wall(), fastCpu = t.Cpu();
    std::printf("%-9s %7zu records: k-d tree %7.3f s (%7.3f s cpu)", name, records.size(),
                fastSeconds, fastCpu);
    if (records.size() > referenceUpTo) {
        std::printf(", greedy search not run (quadratic)\n");
        return;
    }
    double rx = 0, ry = 0;
    Timer r;
    const std::vector<int32_t> ref = ReferenceNearestPermutation(records, rx, ry);
    const double refSeconds = r.Wall(), refCpu = r.Cpu();
    std::printf(", greedy search %7.3f s (%7.3f s cpu), %5.0f times faster, %s\n", refSeconds,
                refCpu, refCpu / fastCpu,
                fast == ref && x == rx && y == ry ? "same order" : "ORDER DIFFERS");
}

}  // namespace

int main(int argc, char** argv) {
    const size_t referenceUpTo = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    for (size_t n : {10000, 100000, 1000000}) {
        Run("scattered", Scattered(n), referenceUpTo);
        Run("lettering", Lettering(n), referenceUpTo);
    }
    return 0;
}
