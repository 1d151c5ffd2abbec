// The geometry layer's named tolerances: one constant per meaning, in drawing units or radians.
#pragma once

namespace contura::ge::tol {

// Default distance within which two points are one point, the default of AcGeTol::equalPoint()
// (AcGeContext::gTol). Intersections, end snapping, tangency and on-curve tests take the
// caller's AcGeTol; this is what they get when the caller passes none.
inline constexpr double kPointEqual = 1.0e-10;

// Default of AcGeTol::equalVector(): unit vectors whose difference (or, for the parallel test,
// the sine of whose angle) is at most this are taken as equal (parallel).
inline constexpr double kVectorEqual = 1.0e-10;

// Two lines whose unit directions have a cross product at most this are parallel for
// intersection purposes: they meet nowhere, or (when within the point tolerance of each
// other) are colinear and overlap. Kept far below any angle a drawing distinguishes, so a
// genuine shallow crossing is always computed as a crossing.
inline constexpr double kParallelSine = 1.0e-13;

// A bulge whose magnitude is below this is a straight segment. For a 1e4-unit chord the arc
// then departs from the chord by under 5e-9 units, below anything a loop measurement keeps.
inline constexpr double kBulgeStraight = 1.0e-12;

// Below this included angle the circular-segment area uses its series expansion instead of
// r^2/2 (theta - sin theta), which would lose all digits to cancellation.
inline constexpr double kSmallAngleSeries = 1.0e-3;

}  // namespace contura::ge::tol
