// The drawing database's named tolerances: one constant per meaning, shared by every curve,
// region and solid algorithm of the database.
//
// 2D intersections, loop measurements and the self-crossing test use the geometry layer's
// constants (contura/ge/tolerances.h) through AcGeContext::gTol. The constants here are the
// database's own: they compare world coordinates of entities of any size, so most of them are
// relative to the size of what is compared.
#pragma once
#include <contura/ge/tolerances.h>

#include <algorithm>

namespace contura::db {

// A point lies on a curve (or two points are one) when it is within
// max(kOnCurveAbsTol, kOnCurveRelTol * size), size being the magnitude of the coordinates
// involved (see onCurveTol).
inline constexpr double kOnCurveRelTol = 1e-9;
inline constexpr double kOnCurveAbsTol = 1e-9;

// Lengths, radii and bulges whose magnitude is at most this are zero (straight segments,
// coincident points, degenerate axes).
inline constexpr double kZeroLength = 1e-12;

// Slack on curve parameters at a curve's ends: vertex indices of polylines, angles of arcs
// and ellipses (radians), knots of splines.
inline constexpr double kParamTol = 1e-10;

// Relative slack when a distance along a curve is compared with the curve's length.
inline constexpr double kLengthRelTol = 1e-12;

// A transform keeps a plane's shape (similarity) when its mapped unit axes differ in length,
// or depart from perpendicular (cosine), by at most this relative amount. Also the test for
// shear in block transforms and for perpendicular ellipse axes.
inline constexpr double kSimilarityTol = 1e-9;

// A matrix whose pivots fall below this (relative to its largest entry) is singular.
inline constexpr double kSingularTol = 1e-12;

// Relative accuracy of the numeric members (lengths along ellipses and splines, their
// closest points, second moments over arcs): iterations stop when the change is below it.
inline constexpr double kNumericRelTol = 1e-13;

// Tolerance for point-on-curve tests of a curve of size `size`.
inline double onCurveTol(double size) { return std::max(kOnCurveAbsTol, kOnCurveRelTol * size); }

}  // namespace contura::db
