#pragma once
// The greedy nearest-neighbour cut order, found with a k-d tree instead of a search over
// every remaining record, so that rows of a million records sort in seconds.
#include <cstdint>
#include <vector>

// Where a record's cut starts and ends, in drawing units.
struct NnRecordEnds {
    double startX, startY, endX, endY;
};

// Distances not below this never win a step.
constexpr double kNearestReach = 2147483647.0;

// The greedy order of records from (curX, curY): at each step, of the records not yet placed,
// the one whose start point lies nearest (sqrt(dx * dx + dy * dy) in double, below
// kNearestReach) is swapped into the next place; of equal distances the one first in the
// current order wins (each swap moves the displaced record to the winner's place). When none
// is within reach, the record already in that place stays. The current point then becomes the
// placed record's end; the last place is not searched and moves nothing.
// Returns the new order as indexes into records; (curX, curY) ends as the end of the record
// placed second to last (unchanged for fewer than two records).
std::vector<int32_t> NearestNeighbourPermutation(const std::vector<NnRecordEnds>& records,
                                                 double& curX, double& curY);
