// Numeric members of smooth curves (ellipses, splines): arc length, parameter at a length and
// closest points, to the relative accuracy kNumericRelTol.
#pragma once
#include "internal.h"

#include <dbelipse.h>
#include <dbspline.h>

#include <functional>
#include <vector>

namespace contura::db {

// Eight-point Gauss-Legendre rule on [-1, 1]: the positive nodes and their weights (the rule
// is symmetric about 0).
inline constexpr double kGaussX[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                      0.9602898564975363};
inline constexpr double kGaussW[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                      0.1012285362903763};

// A curve point(t) for t in [lo, hi] with its first derivative; breaks (sorted, inside or at
// the ends of the range) are where the curve may be less smooth (spline knots) and where
// sampling restarts.
struct ParamCurve {
  std::function<AcGePoint3d(double)> point;
  std::function<AcGeVector3d(double)> deriv;
  double lo = 0.0, hi = 0.0;
  std::vector<double> breaks;
};

// The ellipse over its parameter range, or over its whole turn when full is set.
ParamCurve ellipseCurve(const AcDbEllipse& ellipse, bool full);
// False for a spline without control data.
bool splineCurve(const AcDbSpline& spline, ParamCurve& out);

// Length of the curve between two parameters within its range (from <= to).
double arcLength(const ParamCurve& curve, double from, double to);
// Half the integral of (C - origin) x C' over the curve: summed over the pieces of a closed
// planar loop, the loop's area times its unit normal.
AcGeVector3d vectorArea(const ParamCurve& curve, const AcGePoint3d& origin);
// The area enclosed by the (planar) curve and the chord from its end back to its start.
double enclosedArea(const ParamCurve& curve);
// The parameter reached after walking length (>= 0, at most the rest of the curve) from `from`.
double paramAtLength(const ParamCurve& curve, double from, double length);
// The parameter of the curve point nearest to q.
double closestParam(const ParamCurve& curve, const AcGePoint3d& q);

// Spline editing (exact, by knot insertion and reversal of the control data). splitSpline
// appends the pieces between the sorted cut parameters (inside the domain), all or none.
Acad::ErrorStatus splitSpline(const AcDbSpline& spline, const std::vector<double>& cuts, AcDbVoidPtrArray& out);
Acad::ErrorStatus reverseSpline(AcDbSpline& spline);

}  // namespace contura::db
