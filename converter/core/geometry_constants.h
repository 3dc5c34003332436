#pragma once
// Numbers shared by the import, the bulge arcs and the command-text writer.

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kHalfPi = 1.5707963267948966;
// Tolerances that were chosen in single precision and are used as the doubles they became.
constexpr double kStraightTolerance = static_cast<double>(0.00001f);  // 9.999999747378752e-06
constexpr double kArcChordHeight = static_cast<double>(0.1f);         // 0.10000000149011612
constexpr double kBulgeChordHeight = static_cast<double>(0.04f);      // 0.03999999910593033
// The closing overcut of a circle, 4 plotter units (4 + 2^-24 as it was kept).
constexpr double kOvercutLength = 4.000000059604645;
constexpr double kPlotUnitsPerDrawingUnit = 40.0;
