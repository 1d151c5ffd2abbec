// Intersections of two 2D curves under the four extension modes the drawing database uses.
#pragma once
#include "acadstrc.h"
#include "gecurv2d.h"
#include "gept2dar.h"

namespace contura::ge {

// Which operand is taken as extended: the same numbers as AcDb::Intersect
// (kOnBothOperands, kExtendThis, kExtendArg, kExtendBoth). Extending turns a segment or ray
// into its infinite line and an arc into its full circle.
enum class Extend { kNone = 0, kThis = 1, kArg = 2, kBoth = 3 };

// Appends to points the intersection points of curve (this) and arg, in order along curve,
// following the rules of AcGeCurveCurveInt2d (tangency gives one point, overlaps give none,
// ends touching give that end). Supported curves: AcGeLineSeg2d, AcGeLine2d, AcGeRay2d,
// AcGeCircArc2d. Returns eOk, or eInvalidInput (nothing appended) for another curve type or
// an extension value outside 0..3.
Acad::ErrorStatus intersectCurves(const AcGeCurve2d& curve, const AcGeCurve2d& arg, Extend mode,
                                  AcGePoint2dArray& points, const AcGeTol& tol = AcGeContext::gTol);

// Number of intersection points without building an array (0 for unsupported curves).
int countIntersections(const AcGeCurve2d& curve, const AcGeCurve2d& arg, Extend mode,
                       const AcGeTol& tol = AcGeContext::gTol);

}  // namespace contura::ge
