#pragma once
// Centre, radius and angles of a polyline segment that carries a bulge.
#include <cstdint>

// Finds the arc from (x1, y1) to (x2, y2) whose bulge (tangent of a quarter of the included
// angle, negative for clockwise) is given. For a bulge other than 0 sets the centre, the
// radius, the start and end angles (radians, 0 to 2 pi) and clockwise (1 for a negative
// bulge, else 0), and returns true. A bulge of 0 returns false and sets nothing.
bool BulgeToArc(double x1, double y1, double x2, double y2, double bulge, uint8_t& clockwise,
                double& centreX, double& centreY, double& radius, double& startAngle,
                double& endAngle);
