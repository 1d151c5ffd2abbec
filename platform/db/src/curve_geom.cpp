// Curves as exact 2D pieces in a plane: frames, kinds, polyline paths and the pieces themselves.
#include "curve_geom.h"

#include <contura/ge/curve2d.h>

#include <algorithm>
#include <cmath>

namespace contura::db {

CurveKind curveKind(const AcDbEntity* e) {
  if (e == nullptr) return CurveKind::kOther;
  // The database's own classes by identity first (cheap), derived classes by kind.
  const AcRxClass* c = e->isA();
  if (c == AcDbLine::desc()) return CurveKind::kLine;
  if (c == AcDbArc::desc()) return CurveKind::kArc;
  if (c == AcDbPolyline::desc()) return CurveKind::kPolyline;
  if (c == AcDbCircle::desc()) return CurveKind::kCircle;
  if (AcDbLine::cast(e)) return CurveKind::kLine;
  if (AcDbXline::cast(e)) return CurveKind::kXline;
  if (AcDbRay::cast(e)) return CurveKind::kRay;
  if (AcDbArc::cast(e)) return CurveKind::kArc;
  if (AcDbCircle::cast(e)) return CurveKind::kCircle;
  if (AcDbPolyline::cast(e)) return CurveKind::kPolyline;
  if (AcDb2dPolyline::cast(e)) return CurveKind::kPolyline2d;
  if (AcDbEllipse::cast(e)) return CurveKind::kEllipse;
  if (AcDbSpline::cast(e)) return CurveKind::kSpline;
  return CurveKind::kOther;
}

// ---- frames --------------------------------------------------------------------------------
PlaneFrame PlaneFrame::ofNormal(const AcGeVector3d& unitNormal, double elevation) {
  PlaneFrame f;
  f.normal = unitNormal;
  f.worldXY = unitNormal.x == 0.0 && unitNormal.y == 0.0 && unitNormal.z > 0.0;
  if (f.worldXY) {
    f.normal = AcGeVector3d::kZAxis;
    f.origin.set(0.0, 0.0, elevation);
    return f;
  }
  const AcGeMatrix3d m = ocsToWorld(unitNormal);
  f.xAxis.set(m(0, 0), m(1, 0), m(2, 0));
  f.yAxis.set(m(0, 1), m(1, 1), m(2, 1));
  f.origin = AcGePoint3d::kOrigin + unitNormal * elevation;
  return f;
}

PlaneFrame PlaneFrame::ofAxes(const AcGePoint3d& origin, const AcGeVector3d& unitX, const AcGeVector3d& unitNormal) {
  PlaneFrame f;
  f.origin = origin;
  f.xAxis = unitX;
  f.normal = unitNormal;
  f.yAxis = unitNormal.crossProduct(unitX);
  f.worldXY = unitX == AcGeVector3d::kXAxis && unitNormal == AcGeVector3d::kZAxis;
  f.ocs = f.worldXY;
  return f;
}

AcGePoint2d PlaneFrame::toPlane(const AcGePoint3d& p) const {
  if (worldXY) return AcGePoint2d(p.x - origin.x, p.y - origin.y);
  const AcGeVector3d v = p - origin;
  return AcGePoint2d(v.dotProduct(xAxis), v.dotProduct(yAxis));
}

AcGeVector2d PlaneFrame::toPlane(const AcGeVector3d& v) const {
  if (worldXY) return AcGeVector2d(v.x, v.y);
  return AcGeVector2d(v.dotProduct(xAxis), v.dotProduct(yAxis));
}

double PlaneFrame::height(const AcGePoint3d& p) const {
  if (worldXY) return p.z - origin.z;
  return (p - origin).dotProduct(normal);
}

AcGePoint3d PlaneFrame::toWorld(const AcGePoint2d& p) const {
  if (worldXY) return AcGePoint3d(p.x + origin.x, p.y + origin.y, origin.z);
  return origin + xAxis * p.x + yAxis * p.y;
}

AcGeVector3d PlaneFrame::toWorld(const AcGeVector2d& v) const {
  if (worldXY) return AcGeVector3d(v.x, v.y, 0.0);
  return xAxis * v.x + yAxis * v.y;
}

const AcGeCurve2d& pieceCurve(const Piece& piece) {
  return std::visit([](const auto& c) -> const AcGeCurve2d& { return c; }, piece);
}

// ---- straight curves and polyline paths ------------------------------------------------------
bool linearOf(const AcDbEntity* curve, bool extend, Linear3d& out) {
  out = Linear3d();
  switch (curveKind(curve)) {
    case CurveKind::kLine: {
      const auto* line = static_cast<const AcDbLine*>(curve);
      out.base = line->startPoint();
      const AcGeVector3d d = line->endPoint() - out.base;
      const double len = d.length();
      out.dir = len > 0.0 ? d / len : AcGeVector3d();
      out.hi = len;
      out.hasLo = out.hasHi = !extend;
      return true;
    }
    case CurveKind::kRay: {
      const auto* ray = static_cast<const AcDbRay*>(curve);
      out.base = ray->basePoint();
      out.dir = ray->unitDir();
      out.hasLo = !extend;
      return true;
    }
    case CurveKind::kXline: {
      const auto* ray = static_cast<const AcDbRay*>(curve);
      out.base = ray->basePoint();
      out.dir = ray->unitDir();
      return true;
    }
    default:
      return false;
  }
}

bool polylinePath(const AcDbEntity* curve, PolylinePath& out) {
  out = PolylinePath();
  if (const auto* pl = AcDbPolyline::cast(curve)) {
    const unsigned n = pl->numVerts();
    out.vertices.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
      ge::BulgeVertex v;
      pl->getPointAt(i, v.point);
      pl->getBulgeAt(i, v.bulge);
      out.vertices.push_back(v);
      double sw = 0.0, ew = 0.0;
      pl->getWidthsAt(i, sw, ew);
      out.startWidths.push_back(sw);
      out.endWidths.push_back(ew);
    }
    out.closed = pl->isClosed();
    out.normal = pl->normal();
    out.elevation = pl->elevation();
    return true;
  }
  if (const auto* pl = AcDb2dPolyline::cast(curve)) {
    AcDbObjectIterator* it = pl->vertexIterator();
    for (it->start(); !it->done(); it->step()) {
      const auto* v = AcDb2dVertex::cast(it->entity());
      // Spline frame control points are not on the path.
      if (v == nullptr || v->vertexType() == AcDb::k2dSplineCtlVertex) continue;
      out.vertices.push_back({AcGePoint2d(v->position().x, v->position().y), v->bulge()});
      out.startWidths.push_back(v->startWidth());
      out.endWidths.push_back(v->endWidth());
    }
    delete it;
    out.closed = pl->isClosed();
    out.normal = pl->normal();
    out.elevation = pl->elevation();
    return true;
  }
  return false;
}

bool naturalFrame(const AcDbEntity* curve, PlaneFrame& frame) {
  switch (curveKind(curve)) {
    case CurveKind::kArc: {
      const auto* arc = static_cast<const AcDbArc*>(curve);
      frame = PlaneFrame::ofNormal(arc->normal(), arc->center().asVector().dotProduct(arc->normal()));
      return true;
    }
    case CurveKind::kCircle: {
      const auto* c = static_cast<const AcDbCircle*>(curve);
      frame = PlaneFrame::ofNormal(c->normal(), c->center().asVector().dotProduct(c->normal()));
      return true;
    }
    case CurveKind::kPolyline: {
      const auto* pl = static_cast<const AcDbPolyline*>(curve);
      frame = PlaneFrame::ofNormal(pl->normal(), pl->elevation());
      return true;
    }
    case CurveKind::kPolyline2d: {
      const auto* pl = static_cast<const AcDb2dPolyline*>(curve);
      frame = PlaneFrame::ofNormal(pl->normal(), pl->elevation());
      return true;
    }
    case CurveKind::kEllipse: {
      const auto* e = static_cast<const AcDbEllipse*>(curve);
      frame = PlaneFrame::ofNormal(e->normal(), e->center().asVector().dotProduct(e->normal()));
      return true;
    }
    default:
      return false;
  }
}

double pathSize(const PolylinePath& path) {
  double size = std::fabs(path.elevation);
  for (const auto& v : path.vertices) size = std::max({size, std::fabs(v.point.x), std::fabs(v.point.y)});
  return size;
}

double curveSize(const AcDbEntity* curve) {
  auto mag = [](const AcGePoint3d& p) { return std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}); };
  switch (curveKind(curve)) {
    case CurveKind::kLine: {
      const auto* line = static_cast<const AcDbLine*>(curve);
      return std::max(mag(line->startPoint()), mag(line->endPoint()));
    }
    case CurveKind::kRay:
    case CurveKind::kXline:
      return mag(static_cast<const AcDbRay*>(curve)->basePoint());
    case CurveKind::kArc: {
      const auto* arc = static_cast<const AcDbArc*>(curve);
      return mag(arc->center()) + arc->radius();
    }
    case CurveKind::kCircle: {
      const auto* c = static_cast<const AcDbCircle*>(curve);
      return mag(c->center()) + c->radius();
    }
    case CurveKind::kPolyline:
    case CurveKind::kPolyline2d: {
      PolylinePath path;
      polylinePath(curve, path);
      return pathSize(path);
    }
    case CurveKind::kEllipse: {
      const auto* e = static_cast<const AcDbEllipse*>(curve);
      return mag(e->center()) + e->majorAxis().length();
    }
    default: {
      AcDbExtents box;
      if (curve && curve->getGeomExtents(box) == Acad::eOk) return std::max(mag(box.minPoint()), mag(box.maxPoint()));
      return 0.0;
    }
  }
}

bool curveIsClosed(const AcDbEntity* curve) {
  const auto* c = AcDbCurve::cast(curve);
  return c != nullptr && c->isClosed();
}

// ---- pieces ----------------------------------------------------------------------------------
namespace {

bool parallelNormals(const AcGeVector3d& a, const AcGeVector3d& b, bool& same) {
  const double dot = a.dotProduct(b);
  same = dot > 0.0;
  return 1.0 - std::fabs(dot) <= kOnCurveRelTol;
}

// A straight piece from p0 to p1, run on past its start and/or end.
Piece straightPiece(const AcGePoint2d& p0, const AcGePoint2d& p1, bool extendStart, bool extendEnd) {
  // Coincident ends give a point (a zero-length segment), extended or not.
  if ((p0.x == p1.x && p0.y == p1.y) || (!extendStart && !extendEnd)) return AcGeLineSeg2d(p0, p1);
  if (extendStart && extendEnd) return AcGeLine2d(p0, p1);
  if (extendEnd) return AcGeRay2d(p0, p1 - p0);
  return AcGeRay2d(p1, p0 - p1);
}

// An arc from its world data: centre and start angle measured in frame, counter-clockwise
// about the arc's normal (clockwise in the frame when the normals are opposite).
Piece arcPiece(const AcGePoint2d& c, double r, double startAngleInFrame, double sweep, bool sameSense, bool full) {
  if (full) return AcGeCircArc2d(c, r);
  if (sameSense) return AcGeCircArc2d(c, r, startAngleInFrame, startAngleInFrame + sweep);
  // Clockwise arcs measure angles clockwise from +X.
  return AcGeCircArc2d(c, r, -startAngleInFrame, -startAngleInFrame + sweep, AcGeVector2d::kXAxis, Adesk::kTrue);
}

bool polylinePieces(const AcDbEntity* curve, const PlaneFrame& f, bool extendStart, bool extendEnd,
                    std::vector<Piece>& pieces, AcGePoint2d* firstPoint) {
  PolylinePath path;
  polylinePath(curve, path);
  if (path.vertices.empty()) return false;
  bool same = true;
  if (!parallelNormals(path.normal, f.normal, same)) return false;
  const double tol = onCurveTol(pathSize(path));
  // Vertices in the frame: unchanged when the frame is the polyline's own OCS.
  std::vector<AcGePoint2d> pts;
  pts.reserve(path.vertices.size());
  const PlaneFrame own = PlaneFrame::ofNormal(path.normal, path.elevation);
  if (own.normal == f.normal && own.xAxis == f.xAxis && own.yAxis == f.yAxis) {
    // Same axes: the OCS coordinates move by the offset between the origins.
    if (std::fabs(f.height(own.origin)) > tol) return false;
    const AcGePoint2d shift = f.toPlane(own.origin);
    for (const auto& v : path.vertices) pts.emplace_back(v.point.x + shift.x, v.point.y + shift.y);
  } else {
    for (const auto& v : path.vertices) {
      const AcGePoint3d w = own.toWorld(v.point);
      if (std::fabs(f.height(w)) > tol) return false;
      pts.push_back(f.toPlane(w));
    }
  }
  if (firstPoint) *firstPoint = pts.front();
  const size_t n = pts.size();
  const size_t segments = path.segmentCount();
  const size_t firstPiece = pieces.size();
  for (size_t i = 0; i < segments; ++i) {
    const AcGePoint2d& a = pts[i];
    const AcGePoint2d& b = pts[(i + 1) % n];
    if (a.isEqualTo(b)) continue;
    const double bulge = same ? path.vertices[i].bulge : -path.vertices[i].bulge;
    AcGeCircArc2d arc;
    if (ge::arcFromBulge(a, b, bulge, arc)) pieces.emplace_back(arc);
    else pieces.emplace_back(AcGeLineSeg2d(a, b));
  }
  if (path.closed || pieces.size() == firstPiece) return true;
  // Run the first piece on past the start and the last past the end.
  auto extendPiece = [&](Piece& p, bool atStart, bool atEnd) {
    if (auto* seg = std::get_if<AcGeLineSeg2d>(&p)) {
      p = straightPiece(seg->startPoint(), seg->endPoint(), atStart, atEnd);
    } else if (auto* arc = std::get_if<AcGeCircArc2d>(&p)) {
      p = AcGeCircArc2d(arc->center(), arc->radius());
    }
  };
  if (pieces.size() - firstPiece == 1) {
    if (extendStart || extendEnd) extendPiece(pieces.back(), extendStart, extendEnd);
  } else {
    if (extendStart) extendPiece(pieces[firstPiece], true, false);
    if (extendEnd) extendPiece(pieces.back(), false, true);
  }
  return true;
}

}  // namespace

bool planarPieces(const AcDbEntity* curve, const PlaneFrame& f, bool extendStart, bool extendEnd,
                  std::vector<Piece>& pieces, AcGePoint2d* firstPoint) {
  const CurveKind kind = curveKind(curve);
  switch (kind) {
    case CurveKind::kLine: {
      const auto* line = static_cast<const AcDbLine*>(curve);
      const double tol = onCurveTol(curveSize(curve));
      if (std::fabs(f.height(line->startPoint())) > tol || std::fabs(f.height(line->endPoint())) > tol) return false;
      const AcGePoint2d a = f.toPlane(line->startPoint()), b = f.toPlane(line->endPoint());
      if (firstPoint) *firstPoint = a;
      pieces.push_back(straightPiece(a, b, extendStart, extendEnd));
      return true;
    }
    case CurveKind::kRay:
    case CurveKind::kXline: {
      const auto* ray = static_cast<const AcDbRay*>(curve);
      const double tol = onCurveTol(curveSize(curve));
      if (std::fabs(f.height(ray->basePoint())) > tol || std::fabs(ray->unitDir().dotProduct(f.normal)) > kOnCurveRelTol)
        return false;
      const AcGePoint2d base = f.toPlane(ray->basePoint());
      const AcGeVector2d dir = f.toPlane(ray->unitDir());
      if (firstPoint) *firstPoint = base;
      if (kind == CurveKind::kXline || extendStart) pieces.emplace_back(AcGeLine2d(base, dir));
      else pieces.emplace_back(AcGeRay2d(base, dir));
      return true;
    }
    case CurveKind::kArc:
    case CurveKind::kCircle: {
      const auto* circle = AcDbCircle::cast(curve);
      const auto* arc = AcDbArc::cast(curve);
      const AcGePoint3d c = arc ? arc->center() : circle->center();
      const AcGeVector3d n = arc ? arc->normal() : circle->normal();
      const double r = arc ? arc->radius() : circle->radius();
      bool same = true;
      if (!parallelNormals(n, f.normal, same)) return false;
      if (std::fabs(f.height(c)) > onCurveTol(curveSize(curve))) return false;
      const AcGePoint2d c2 = f.toPlane(c);
      if (!arc) {
        if (firstPoint) *firstPoint = c2 + AcGeVector2d(r, 0.0);
        pieces.emplace_back(AcGeCircArc2d(c2, r));
        return true;
      }
      double a0 = arc->startAngle();
      // In the arc's own OCS its angles carry over; otherwise measure the start point.
      if (!(f.ocs && n == f.normal)) {
        AcGePoint3d start;
        arc->getStartPoint(start);
        const AcGeVector2d s = f.toPlane(start - c);
        a0 = std::atan2(s.y, s.x);
      }
      if (firstPoint) *firstPoint = c2 + AcGeVector2d(r * std::cos(a0), r * std::sin(a0));
      pieces.push_back(arcPiece(c2, r, a0, arc->totalAngle(), same, extendStart || extendEnd));
      return true;
    }
    case CurveKind::kPolyline:
    case CurveKind::kPolyline2d:
      return polylinePieces(curve, f, extendStart, extendEnd, pieces, firstPoint);
    default:
      return false;
  }
}

void appendDistinct(AcGePoint3dArray& points, int from, const AcGePoint3d& pt, double tol) {
  for (int i = from; i < points.length(); ++i)
    if (points[i].distanceTo(pt) <= tol) return;
  points.append(pt);
}

AcGePoint3d closestOnLinear(const Linear3d& line, const AcGePoint3d& pt) {
  double t = (pt - line.base).dotProduct(line.dir);
  if (line.hasLo) t = std::max(t, line.lo);
  if (line.hasHi) t = std::min(t, line.hi);
  return line.base + line.dir * t;
}

}  // namespace contura::db
