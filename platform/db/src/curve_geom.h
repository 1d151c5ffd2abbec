// Curves of the database as exact 2D pieces (segments, arcs, rays, lines) in a plane: the
// common ground of intersections, closest points, offsets, splitting and region building.
#pragma once
#include "internal.h"

#include <contura/ge/loop2d.h>
#include <dbelipse.h>
#include <dbpl.h>
#include <dbspline.h>
#include <gearc2d.h>
#include <geline2d.h>
#include <gelnsg2d.h>
#include <geray2d.h>

#include <variant>
#include <vector>

namespace contura::db {

// The kinds of curve the algorithms know, told apart by class.
enum class CurveKind { kLine, kRay, kXline, kArc, kCircle, kPolyline, kPolyline2d, kEllipse, kSpline, kOther };
CurveKind curveKind(const AcDbEntity* entity);

// An orthonormal right-handed frame of a plane: plane point (x, y) is the world point
// origin + x * xAxis + y * yAxis. The frame of a normal is the OCS of that normal (arbitrary
// axis rule) moved along it by the elevation, so the OCS coordinates of planar entities are
// their plane coordinates unchanged.
struct PlaneFrame {
  AcGePoint3d origin;
  AcGeVector3d xAxis{1.0, 0.0, 0.0};
  AcGeVector3d yAxis{0.0, 1.0, 0.0};
  AcGeVector3d normal{0.0, 0.0, 1.0};
  bool worldXY = true;  // axes are the world axes (skips the rotation)
  bool ocs = true;      // the axes are the OCS of the normal (angles of entities carry over)

  static PlaneFrame ofNormal(const AcGeVector3d& unitNormal, double elevation);
  // A frame of the plane through origin with the given unit normal and in-plane unit x axis.
  static PlaneFrame ofAxes(const AcGePoint3d& origin, const AcGeVector3d& unitX, const AcGeVector3d& unitNormal);
  AcGePoint2d toPlane(const AcGePoint3d& p) const;
  AcGeVector2d toPlane(const AcGeVector3d& v) const;
  double height(const AcGePoint3d& p) const;  // signed distance from the plane
  AcGePoint3d toWorld(const AcGePoint2d& p) const;
  AcGeVector3d toWorld(const AcGeVector2d& v) const;
};

// One piece of a curve in a plane, in the curve's direction of travel.
using Piece = std::variant<AcGeLineSeg2d, AcGeCircArc2d, AcGeRay2d, AcGeLine2d>;
const AcGeCurve2d& pieceCurve(const Piece& piece);

// A straight curve: base + dir * t for t in [lo, hi] (bounds where they exist), dir unit.
struct Linear3d {
  AcGePoint3d base;
  AcGeVector3d dir;
  double lo = 0.0, hi = 0.0;
  bool hasLo = false, hasHi = false;
};
// Lines, rays and construction lines; extend drops the bounds. False for other curves.
bool linearOf(const AcDbEntity* curve, bool extend, Linear3d& out);

// The vertices of a lightweight or old-style 2D polyline in its OCS, with its plane.
struct PolylinePath {
  ge::BulgeLoop vertices;  // bulge of the segment from each vertex to the next
  std::vector<double> startWidths, endWidths;  // per vertex
  bool closed = false;
  AcGeVector3d normal{0.0, 0.0, 1.0};
  double elevation = 0.0;
  size_t segmentCount() const { return vertices.size() < 2 ? 0 : (closed ? vertices.size() : vertices.size() - 1); }
};
bool polylinePath(const AcDbEntity* curve, PolylinePath& out);

// The plane a curve lies in by its own definition (arcs, circles, polylines, ellipses), as
// the frame of its normal. False for straight curves (they lie in many planes), splines and
// other entities.
bool naturalFrame(const AcDbEntity* curve, PlaneFrame& frame);

// The pieces of a curve expressed in frame, in order along the curve. Zero-length polyline
// segments are skipped. With extendStart / extendEnd the first / last piece runs on past
// the curve's end (segments become rays or lines, arcs their full circles; closed curves
// are not extended). False when the curve does not lie in the frame's plane (within the
// on-curve tolerance of its size) or is not a line, ray, construction line, arc, circle or
// polyline. A polyline made of one point gives no pieces and true; firstPoint then holds it.
bool planarPieces(const AcDbEntity* curve, const PlaneFrame& frame, bool extendStart, bool extendEnd,
                  std::vector<Piece>& pieces, AcGePoint2d* firstPoint = nullptr);

// The magnitude of a curve's coordinates (for relative tolerances).
double curveSize(const AcDbEntity* curve);
double pathSize(const PolylinePath& path);

// Whether a closed or open curve extends at all (closed curves never do).
bool curveIsClosed(const AcDbEntity* curve);

// Appends pt to points unless a point appended since index `from` lies within tol of it.
void appendDistinct(AcGePoint3dArray& points, int from, const AcGePoint3d& pt, double tol);

// Closest point of a straight curve to pt (bounds respected).
AcGePoint3d closestOnLinear(const Linear3d& line, const AcGePoint3d& pt);

}  // namespace contura::db
