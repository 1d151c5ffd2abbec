// Offset curves: parallel lines and rays, concentric arcs and circles, and polylines whose
// offset segments are trimmed or extended to meet (round joins where they cannot).
//
// Sign: a positive distance offsets to the right of the direction of travel seen from the
// curve's normal. For arcs and circles (counter-clockwise about their normal) that is the
// larger radius; for a counter-clockwise closed polyline it is the outside.
#include "curve_geom.h"

#include <contura/ge/curve2d.h>
#include <contura/ge/intersect2d.h>

#include <algorithm>
#include <cmath>

namespace contura::db {
namespace {

// Neighbouring offset segments meet at their carriers' crossing unless it lies farther than
// this many offset distances from their source vertex (a spike at an almost reversing
// corner); then a round join is used.
constexpr double kMiterLimit = 1000.0;

// One segment of a polyline after offsetting: its end points and, for an arc, its circle
// and sense. origStart / origEnd are the vertices of the source segment.
struct OffsetSeg {
  AcGePoint2d s, e;
  bool arc = false;
  AcGePoint2d c;
  double r = 0.0;
  bool ccw = true;
  double sweep = 0.0;  // of the source arc
  AcGePoint2d origStart, origEnd;
  bool join = false;   // a round join inserted between two segments
};

double sweepInSense(const OffsetSeg& seg, const AcGePoint2d& from, const AcGePoint2d& to) {
  double a = std::atan2(to.y - seg.c.y, to.x - seg.c.x) - std::atan2(from.y - seg.c.y, from.x - seg.c.x);
  if (!seg.ccw) a = -a;
  a = std::fmod(a, kTwoPi);
  if (a < 0.0) a += kTwoPi;
  return a;
}

double bulgeOf(const OffsetSeg& seg) {
  if (!seg.arc) return 0.0;
  const double sweep = sweepInSense(seg, seg.s, seg.e);
  return ge::bulgeFromIncludedAngle(seg.ccw ? sweep : -sweep);
}

// The segments of the path offset by distLeft (positive to the left of travel); segments
// whose offset collapses (arcs shrinking to nothing) are left out.
std::vector<OffsetSeg> offsetSegments(const PolylinePath& path, double distLeft, double tol) {
  std::vector<OffsetSeg> out;
  const size_t n = path.vertices.size();
  for (size_t i = 0; i < path.segmentCount(); ++i) {
    const AcGePoint2d a = path.vertices[i].point, b = path.vertices[(i + 1) % n].point;
    if (a.distanceTo(b) <= tol) continue;
    OffsetSeg seg;
    seg.origStart = a;
    seg.origEnd = b;
    AcGeCircArc2d arc;
    if (ge::arcFromBulge(a, b, path.vertices[i].bulge, arc)) {
      seg.arc = true;
      seg.c = arc.center();
      seg.ccw = !arc.isClockWise();
      seg.sweep = arc.sweep();
      // Left of a counter-clockwise arc is towards its centre.
      seg.r = arc.radius() + (seg.ccw ? -distLeft : distLeft);
      if (seg.r <= tol) continue;
      const double k = seg.r / arc.radius();
      seg.s = seg.c + (a - seg.c) * k;
      seg.e = seg.c + (b - seg.c) * k;
    } else {
      const AcGeVector2d left = (b - a).perpVector().normal() * distLeft;
      seg.s = a + left;
      seg.e = b + left;
    }
    out.push_back(seg);
  }
  return out;
}

// Where the carriers of two offset segments meet, nearest to near; false when they do not.
bool carrierMeet(const OffsetSeg& x, const OffsetSeg& y, const AcGePoint2d& near, AcGePoint2d& out) {
  auto carrier = [](const OffsetSeg& s) -> Piece {
    if (s.arc) return AcGeCircArc2d(s.c, s.r);
    return AcGeLine2d(s.s, s.e);
  };
  const Piece px = carrier(x), py = carrier(y);
  AcGePoint2dArray hits(4);
  ge::intersectCurves(pieceCurve(px), pieceCurve(py), ge::Extend::kNone, hits);
  if (hits.isEmpty()) return false;
  out = hits[0];
  for (const AcGePoint2d& h : hits)
    if (h.distanceTo(near) < out.distanceTo(near)) out = h;
  return true;
}

// A segment runs backwards after trimming when its direction reverses (lines) or its sweep
// wraps past its start (arcs).
bool reversed(const OffsetSeg& seg, double tol) {
  if (seg.join) return false;
  if (seg.s.distanceTo(seg.e) <= tol) return false;
  if (!seg.arc) return (seg.e - seg.s).dotProduct(seg.origEnd - seg.origStart) < 0.0;
  const double sweep = sweepInSense(seg, seg.s, seg.e);
  return sweep > seg.sweep + 0.5 * (kTwoPi - seg.sweep);
}

// Trims or extends neighbouring segments to meet; inserts a round join about the source
// vertex where their carriers do not meet.
std::vector<OffsetSeg> joinSegments(std::vector<OffsetSeg> segs, bool closed, double distLeft, double tol) {
  std::vector<OffsetSeg> out;
  const size_t n = segs.size();
  const size_t joins = closed ? n : n - 1;
  std::vector<bool> roundAfter(n, false);
  for (size_t k = 0; k < joins; ++k) {
    OffsetSeg& x = segs[k];
    OffsetSeg& y = segs[(k + 1) % n];
    if (x.e.distanceTo(y.s) <= tol) {
      y.s = x.e;
      continue;
    }
    const AcGePoint2d vertex((x.origEnd.x + y.origStart.x) * 0.5, (x.origEnd.y + y.origStart.y) * 0.5);
    AcGePoint2d meet;
    // Carriers of nearly parallel lines meet far away or not at all: join them round.
    if (carrierMeet(x, y, vertex, meet) && meet.distanceTo(vertex) <= kMiterLimit * std::fabs(distLeft) + tol) {
      x.e = meet;
      y.s = meet;
    } else {
      roundAfter[k] = true;
    }
  }
  for (size_t k = 0; k < n; ++k) {
    out.push_back(segs[k]);
    if (!roundAfter[k]) continue;
    const OffsetSeg& x = segs[k];
    const OffsetSeg& y = segs[(k + 1) % n];
    OffsetSeg j;
    j.join = true;
    j.arc = true;
    j.c = x.origEnd;
    j.r = std::fabs(distLeft);
    j.s = x.e;
    j.e = y.s;
    const AcGeVector2d u = j.s - j.c, v = j.e - j.c;
    j.ccw = u.x * v.y - u.y * v.x >= 0.0;
    out.push_back(j);
  }
  return out;
}

// The offset path as polyline vertices (start points with bulges, plus the end for open
// paths). False when nothing is left.
bool offsetPath(const PolylinePath& path, double distLeft, double tol, ge::BulgeLoop& verts) {
  std::vector<OffsetSeg> segs = offsetSegments(path, distLeft, tol);
  std::vector<OffsetSeg> joined;
  // Segments that run backwards once joined lie in a part of the offset that folds over
  // itself: drop them and join their neighbours directly.
  for (;;) {
    if (segs.empty()) return false;
    joined = joinSegments(segs, path.closed, distLeft, tol);
    std::vector<OffsetSeg> kept;
    for (const OffsetSeg& s : segs) {
      const auto it = std::find_if(joined.begin(), joined.end(), [&](const OffsetSeg& j) {
        return !j.join && j.origStart.isEqualTo(s.origStart) && j.origEnd.isEqualTo(s.origEnd);
      });
      if (it == joined.end() || !reversed(*it, tol)) kept.push_back(s);
    }
    if (kept.size() == segs.size()) break;
    segs = std::move(kept);
  }
  verts.clear();
  for (const OffsetSeg& s : joined) {
    if (s.s.distanceTo(s.e) <= tol && !(s.arc && !s.join)) continue;
    verts.push_back({s.s, bulgeOf(s)});
  }
  if (verts.empty()) return false;
  if (!path.closed) verts.push_back({joined.back().e, 0.0});
  return true;
}

Acad::ErrorStatus offsetPolyline(const AcDbCurve& curve, double dist, AcDbVoidPtrArray& out) {
  PolylinePath path;
  polylinePath(&curve, path);
  ge::BulgeLoop verts;
  if (!offsetPath(path, -dist, onCurveTol(curveSize(&curve)), verts)) return Acad::eInvalidInput;
  if (const auto* src = AcDbPolyline::cast(&curve)) {
    auto* pl = new AcDbPolyline(unsigned(verts.size()));
    pl->setPropertiesFrom(src);
    pl->setNormal(src->normal());
    pl->setElevation(src->elevation());
    pl->setThickness(src->thickness());
    double width = 0.0;
    const bool constant = src->getConstantWidth(width) == Acad::eOk;
    for (size_t i = 0; i < verts.size(); ++i)
      pl->addVertexAt(unsigned(i), verts[i].point, verts[i].bulge, constant ? width : 0.0, constant ? width : 0.0);
    pl->setClosed(path.closed);
    out.append(pl);
    return Acad::eOk;
  }
  const auto* src = AcDb2dPolyline::cast(&curve);
  AcGePoint3dArray pts;
  AcGeDoubleArray bulges;
  for (const auto& v : verts) {
    pts.append(AcGePoint3d(v.point.x, v.point.y, path.elevation));
    bulges.append(v.bulge);
  }
  auto* pl = new AcDb2dPolyline(AcDb::k2dSimplePoly, pts, path.elevation, path.closed, src->defaultStartWidth(),
                                src->defaultEndWidth(), &bulges);
  pl->setPropertiesFrom(src);
  pl->setNormal(src->normal());
  pl->setThickness(src->thickness());
  out.append(pl);
  return Acad::eOk;
}

// A right-hand side for straight curves: across the direction in the plane of the normal
// (lines) or of the world XY plane (rays, construction lines; the X axis plane for vertical ones).
bool rightOf(const AcGeVector3d& dir, const AcGeVector3d& normal, AcGeVector3d& right) {
  right = dir.crossProduct(normal);
  if (right.length() <= kOnCurveRelTol) return false;
  right.normalize();
  return true;
}

Acad::ErrorStatus offsetCopy(const AcDbCurve& curve, const AcGeVector3d& shift, AcDbVoidPtrArray& out) {
  AcDbEntity* copy = nullptr;
  const Acad::ErrorStatus es = curve.getTransformedCopy(AcGeMatrix3d::translation(shift), copy);
  if (es != Acad::eOk) return es;
  out.append(copy);
  return Acad::eOk;
}

}  // namespace
}  // namespace contura::db

Acad::ErrorStatus AcDbCurve::getOffsetCurves(double offsetDist, AcDbVoidPtrArray& offsetCurves) const {
  using namespace contura::db;
  if (!std::isfinite(offsetDist) || offsetDist == 0.0) return Acad::eInvalidInput;
  switch (curveKind(this)) {
    case CurveKind::kLine: {
      const auto* line = static_cast<const AcDbLine*>(this);
      const AcGeVector3d d = line->endPoint() - line->startPoint();
      if (d.length() <= kZeroLength) return Acad::eDegenerateGeometry;
      AcGeVector3d right;
      if (!rightOf(d.normal(), line->normal(), right)) return Acad::eInvalidInput;
      return offsetCopy(*this, right * offsetDist, offsetCurves);
    }
    case CurveKind::kRay:
    case CurveKind::kXline: {
      const AcGeVector3d dir = static_cast<const AcDbRay*>(this)->unitDir();
      AcGeVector3d right;
      if (!rightOf(dir, AcGeVector3d::kZAxis, right)) rightOf(dir, AcGeVector3d::kXAxis, right);
      return offsetCopy(*this, right * offsetDist, offsetCurves);
    }
    case CurveKind::kArc:
    case CurveKind::kCircle: {
      const auto* circle = AcDbCircle::cast(this);
      const auto* arc = AcDbArc::cast(this);
      const double r = (arc ? arc->radius() : circle->radius()) + offsetDist;
      if (r <= onCurveTol(curveSize(this))) return Acad::eInvalidInput;
      AcDbCurve* copy = AcDbCurve::cast(clone());
      if (arc) static_cast<AcDbArc*>(copy)->setRadius(r);
      else static_cast<AcDbCircle*>(copy)->setRadius(r);
      offsetCurves.append(copy);
      return Acad::eOk;
    }
    case CurveKind::kPolyline:
    case CurveKind::kPolyline2d:
      return offsetPolyline(*this, offsetDist, offsetCurves);
    default:
      // Offsets of ellipses and splines are not ellipses or splines of the same kind.
      return Acad::eNotImplementedYet;
  }
}
