// Closed loops of line and arc segments (bulge loops): area, perimeter, centroid, containment, self-crossing.
#pragma once
#include <span>
#include <vector>

#include "contura/ge/tolerances.h"
#include "gedblar.h"
#include "gept2dar.h"

namespace contura::ge {

// Vertex i joins vertex i + 1 (the last joins the first) by a segment with bulge
// vertices[i].bulge (see curve2d.h: tan(theta / 4), positive counter-clockwise).
// Consecutive coincident vertices form zero-length segments, which are ignored.
struct BulgeVertex {
  AcGePoint2d point;
  double bulge = 0.0;
};
using BulgeLoop = std::vector<BulgeVertex>;

// Builds a loop from parallel arrays; a missing bulge (bulges shorter than points) is 0.
BulgeLoop makeLoop(const AcGePoint2dArray& points, const AcGeDoubleArray& bulges);

// Exact measurements: arc segments contribute their circular segments by formula.
struct LoopProperties {
  double signedArea = 0.0;  // positive for a counter-clockwise loop
  double area = 0.0;        // |signedArea|
  double perimeter = 0.0;
  AcGePoint2d centroid;     // of the enclosed area; the vertex mean when the area is 0
};
LoopProperties loopProperties(std::span<const BulgeVertex> loop);
double loopSignedArea(std::span<const BulgeVertex> loop);
double loopPerimeter(std::span<const BulgeVertex> loop);

// Where a point lies against the loop's enclosed area (non-zero winding), with
// tolerance tol for the boundary.
enum class PointContainment { kOutside = 0, kInside = 1, kOnBoundary = 2 };
PointContainment classifyPoint(std::span<const BulgeVertex> loop, const AcGePoint2d& point,
                               double tol = tol::kPointEqual);

// True when the loop crosses or touches itself: two segments that are not neighbours meet,
// neighbours meet anywhere but at their shared vertex, or segments overlap. Fewer than two
// non-zero segments count as self-intersecting (they enclose nothing). tol is the point
// tolerance of the intersection tests.
bool isSelfIntersecting(std::span<const BulgeVertex> loop, double tol = tol::kPointEqual);

// The first pair of segment indices found crossing (i < j), for error messages; false when
// the loop is simple.
bool findSelfIntersection(std::span<const BulgeVertex> loop, int& segA, int& segB, double tol = tol::kPointEqual);

}  // namespace contura::ge
