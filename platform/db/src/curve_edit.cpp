// Splitting curves at parameters or points, extending their ends, reversing their direction
// and the area they enclose (closed by the chord between their ends when open).
#include "curve_geom.h"
#include "curve_numeric.h"
#include "segments.h"

#include <algorithm>
#include <cmath>

namespace contura::db {
namespace {

// ---- parameters ------------------------------------------------------------------------------

// The parameter range of a curve and the slack at its ends.
struct Range {
  double lo = 0.0, hi = 0.0;
  bool closed = false;
  double tol = 0.0;
};

bool rangeOf(const AcDbCurve& c, Range& r) {
  if (c.getStartParam(r.lo) != Acad::eOk || c.getEndParam(r.hi) != Acad::eOk) return false;
  r.closed = c.isClosed();
  r.tol = curveKind(&c) == CurveKind::kLine ? onCurveTol(r.hi) : kParamTol * std::max(1.0, r.hi - r.lo);
  return true;
}

// Sorted distinct cut parameters inside the range (ends of open curves dropped; closed
// curves take parameters modulo their period). False when one lies outside.
bool cutParams(const AcGeDoubleArray& params, const Range& r, std::vector<double>& cuts) {
  const double period = r.hi - r.lo;
  for (double p : params) {
    if (!std::isfinite(p)) return false;
    if (r.closed) {
      p = r.lo + std::fmod(p - r.lo, period);
      if (p < r.lo) p += period;
      if (p > r.hi - r.tol) p = r.lo;
    } else {
      if (p < r.lo - r.tol || p > r.hi + r.tol) return false;
      if (p <= r.lo + r.tol || p >= r.hi - r.tol) continue;
    }
    cuts.push_back(p);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end(), [&](double a, double b) { return b - a <= r.tol; }), cuts.end());
  return true;
}

// Consecutive (from, to) parameter pairs of the pieces; closed curves wrap past their end
// (to then exceeds hi).
std::vector<std::pair<double, double>> pieceRanges(const std::vector<double>& cuts, const Range& r) {
  std::vector<std::pair<double, double>> out;
  if (r.closed) {
    if (cuts.empty()) return {{r.lo, r.hi}};
    for (size_t i = 0; i + 1 < cuts.size(); ++i) out.emplace_back(cuts[i], cuts[i + 1]);
    out.emplace_back(cuts.back(), cuts.front() + (r.hi - r.lo));
    return out;
  }
  double from = r.lo;
  for (double c : cuts) {
    out.emplace_back(from, c);
    from = c;
  }
  out.emplace_back(from, r.hi);
  return out;
}

// ---- polyline pieces -------------------------------------------------------------------------

// Segment i's vertices, bulge and widths of a path.
struct SegmentData {
  AcGePoint2d p0, p1;
  double bulge, w0, w1;
};

SegmentData segmentAt(const PolylinePath& path, size_t i) {
  const size_t n = path.vertices.size();
  return {path.vertices[i].point, path.vertices[(i + 1) % n].point, path.vertices[i].bulge, path.startWidths[i],
          path.endWidths[i]};
}

// The part of a path between parameters u < v (v may run past the end of a closed path),
// as vertices with bulges and widths. Fractions inside arc segments are fractions of angle.
struct SubVertex {
  AcGePoint2d pt;
  double bulge = 0.0, w0 = 0.0, w1 = 0.0;
};

std::vector<SubVertex> subPath(const PolylinePath& path, double u, double v) {
  const size_t m = path.segmentCount();
  auto locate = [&](double t, size_t& seg, double& frac) {
    const double whole = std::floor(t);
    seg = size_t(whole);
    frac = t - whole;
    if (frac <= 0.0 && seg > 0 && t >= v) {  // the end of a piece sits at the end of its segment
      --seg;
      frac = 1.0;
    }
  };
  std::vector<SubVertex> out;
  double t = u;
  while (t < v) {
    size_t seg;
    double f0;
    locate(t, seg, f0);
    const double next = std::min(v, double(seg) + 1.0);
    const double f1 = next - double(seg);
    const SegmentData s = segmentAt(path, seg % m);
    SubVertex sv;
    sv.pt = segmentPoint(s.p0, s.p1, s.bulge, f0);
    sv.bulge = ge::bulgeFromIncludedAngle((f1 - f0) * ge::includedAngleFromBulge(s.bulge));
    sv.w0 = s.w0 + (s.w1 - s.w0) * f0;
    sv.w1 = s.w0 + (s.w1 - s.w0) * f1;
    out.push_back(sv);
    t = next;
  }
  size_t seg;
  double f;
  locate(v, seg, f);
  const SegmentData s = segmentAt(path, seg % m);
  SubVertex last;
  last.pt = segmentPoint(s.p0, s.p1, s.bulge, f);
  out.push_back(last);
  return out;
}

AcDbCurve* polylinePiece(const AcDbCurve& src, const PolylinePath& path, double u, double v) {
  const std::vector<SubVertex> verts = subPath(path, u, v);
  if (const auto* pl = AcDbPolyline::cast(&src)) {
    auto* piece = new AcDbPolyline(unsigned(verts.size()));
    piece->setPropertiesFrom(pl);
    piece->setNormal(pl->normal());
    piece->setElevation(pl->elevation());
    piece->setThickness(pl->thickness());
    for (size_t i = 0; i < verts.size(); ++i)
      piece->addVertexAt(unsigned(i), verts[i].pt, verts[i].bulge, verts[i].w0, verts[i].w1);
    return piece;
  }
  const auto* pl2 = static_cast<const AcDb2dPolyline*>(&src);
  AcGePoint3dArray pts;
  AcGeDoubleArray bulges;
  for (const SubVertex& sv : verts) {
    pts.append(AcGePoint3d(sv.pt.x, sv.pt.y, path.elevation));
    bulges.append(sv.bulge);
  }
  auto* piece = new AcDb2dPolyline(AcDb::k2dSimplePoly, pts, path.elevation, false, pl2->defaultStartWidth(),
                                   pl2->defaultEndWidth(), &bulges);
  piece->setPropertiesFrom(pl2);
  piece->setNormal(pl2->normal());
  piece->setThickness(pl2->thickness());
  return piece;
}

// ---- pieces of the other kinds ---------------------------------------------------------------

AcDbCurve* linePiece(const AcDbCurve& src, const AcGePoint3d& a, const AcGePoint3d& b) {
  // A line keeps all its data (thickness, normal); a piece of a ray takes its properties.
  AcDbLine* line = nullptr;
  if (AcDbLine::cast(&src)) {
    line = AcDbLine::cast(src.clone());
  } else {
    line = new AcDbLine();
    line->setPropertiesFrom(&src);
  }
  line->setStartPoint(a);
  line->setEndPoint(b);
  return line;
}

AcDbCurve* rayPiece(const AcDbCurve& src, const AcGePoint3d& base, const AcGeVector3d& dir) {
  auto* ray = new AcDbRay();
  ray->setPropertiesFrom(&src);
  ray->setBasePoint(base);
  ray->setUnitDir(dir);
  return ray;
}

AcDbCurve* pieceOf(const AcDbCurve& c, const Range& r, double u, double v) {
  switch (curveKind(&c)) {
    case CurveKind::kLine: {
      AcGePoint3d a, b;
      c.getPointAtParam(u, a);
      c.getPointAtParam(v, b);
      return linePiece(c, a, b);
    }
    case CurveKind::kArc: {
      auto* arc = AcDbArc::cast(c.clone());
      arc->setStartAngle(u);
      arc->setEndAngle(v);
      return arc;
    }
    case CurveKind::kCircle: {
      const auto& circle = static_cast<const AcDbCircle&>(c);
      auto* arc = new AcDbArc(circle.center(), circle.normal(), circle.radius(), u, v);
      arc->setPropertiesFrom(&c);
      arc->setThickness(circle.thickness());
      return arc;
    }
    case CurveKind::kEllipse: {
      auto* e = AcDbEllipse::cast(c.clone());
      e->setStartParam(u);
      e->setEndParam(v);
      return e;
    }
    case CurveKind::kPolyline:
    case CurveKind::kPolyline2d: {
      PolylinePath path;
      polylinePath(&c, path);
      return polylinePiece(c, path, u - r.lo, v - r.lo);
    }
    default:
      return nullptr;
  }
}

Acad::ErrorStatus splitStraight(const AcDbCurve& c, const AcGeDoubleArray& params, AcDbVoidPtrArray& out) {
  const auto& ray = static_cast<const AcDbRay&>(c);
  const bool xline = curveKind(&c) == CurveKind::kXline;
  const double tol = onCurveTol(curveSize(&c));
  std::vector<double> cuts;
  for (double p : params) {
    if (!std::isfinite(p) || (!xline && p < -tol)) return Acad::eInvalidInput;
    if (!xline && p <= tol) continue;
    cuts.push_back(p);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end(), [&](double a, double b) { return b - a <= tol; }), cuts.end());
  const AcGePoint3d base = ray.basePoint();
  const AcGeVector3d dir = ray.unitDir();
  if (cuts.empty()) {
    out.append(c.clone());
    return Acad::eOk;
  }
  if (xline) out.append(rayPiece(c, base + dir * cuts.front(), -dir));
  double from = xline ? cuts.front() : 0.0;
  for (size_t i = xline ? 1 : 0; i < cuts.size(); ++i) {
    out.append(linePiece(c, base + dir * from, base + dir * cuts[i]));
    from = cuts[i];
  }
  out.append(rayPiece(c, base + dir * from, dir));
  return Acad::eOk;
}

bool pathVertexObjects(const AcDb2dPolyline& pl, std::vector<AcDb2dVertex*>& out);

// ---- reversing -------------------------------------------------------------------------------

// Reversed, vertex i of a polyline of n vertices is old vertex `from`, and its segment runs
// backwards along old segment `old`. A closed polyline keeps its start vertex.
void reversedIndices(size_t n, bool closed, size_t i, size_t& from, size_t& old) {
  from = closed ? (n - i) % n : n - 1 - i;
  old = closed ? (2 * n - i - 1) % n : n - 2 - i;
}

Acad::ErrorStatus reversePolyline(AcDbPolyline& pl) {
  PolylinePath path;
  polylinePath(&pl, path);
  const size_t n = path.vertices.size();
  if (n < 2) return Acad::eOk;
  const size_t m = path.segmentCount();
  for (size_t i = 0; i < n; ++i) {
    size_t from = 0, old = 0;
    reversedIndices(n, path.closed, i, from, old);
    pl.setPointAt(unsigned(i), path.vertices[from].point);
    if (i < m) {
      pl.setBulgeAt(unsigned(i), -path.vertices[old].bulge);
      pl.setWidthsAt(unsigned(i), path.endWidths[old], path.startWidths[old]);
    } else {
      pl.setBulgeAt(unsigned(i), 0.0);
    }
  }
  return Acad::eOk;
}

Acad::ErrorStatus reversePolyline2d(AcDb2dPolyline& pl) {
  std::vector<AcDb2dVertex*> verts;
  if (!pathVertexObjects(pl, verts)) return Acad::eNotImplementedYet;
  PolylinePath path;
  polylinePath(&pl, path);
  const size_t n = verts.size();
  const size_t m = path.segmentCount();
  for (size_t i = 0; i < n; ++i) {
    size_t from = 0, old = 0;
    reversedIndices(n, path.closed, i, from, old);
    changeAsOwner(*verts[i], [&](AcDbObject&) {
      verts[i]->setPosition(AcGePoint3d(path.vertices[from].point.x, path.vertices[from].point.y, path.elevation));
      verts[i]->setBulge(i < m ? -path.vertices[old].bulge : 0.0);
      if (i < m) {
        verts[i]->setStartWidth(path.endWidths[old]);
        verts[i]->setEndWidth(path.startWidths[old]);
      }
    });
  }
  return Acad::eOk;
}

// ---- extending -------------------------------------------------------------------------------

// The path vertices of an old-style polyline as its vertex objects; false when it has
// spline frame vertices (its path then is not its vertex list).
bool pathVertexObjects(const AcDb2dPolyline& pl, std::vector<AcDb2dVertex*>& out) {
  AcDbObjectIterator* it = pl.vertexIterator();
  bool plain = true;
  for (it->start(); !it->done(); it->step())
    if (auto* v = AcDb2dVertex::cast(it->entity())) {
      plain = plain && v->vertexType() != AcDb::k2dSplineCtlVertex;
      out.push_back(v);
    }
  delete it;
  return plain;
}

// Moves the first (atStart) or last vertex of a polyline (either kind) so that its end
// segment reaches the point at fraction t of that segment (t < 0 before its start, t > 1
// past its end).
Acad::ErrorStatus extendPolylineEnd(AcDbCurve& curve, bool atStart, double t) {
  PolylinePath path;
  polylinePath(&curve, path);
  const size_t m = path.segmentCount();
  if (m == 0 || path.closed) return Acad::eNotApplicable;
  const size_t seg = atStart ? 0 : m - 1;
  const SegmentData s = segmentAt(path, seg);
  const double theta = ge::includedAngleFromBulge(s.bulge);
  // The grown segment runs over fractions [t, 1] or [0, t] of the old one.
  const double span = atStart ? 1.0 - t : t;
  if (std::fabs(theta * span) >= kTwoPi) return Acad::eInvalidInput;
  BulgeArc arc;
  AcGePoint2d p;
  if (bulgeArc(s.p0, s.p1, s.bulge, arc)) {
    const double a = arc.startAngle + arc.sweep * t;
    p.set(arc.center.x + arc.radius * std::cos(a), arc.center.y + arc.radius * std::sin(a));
  } else {
    p = s.p0 + (s.p1 - s.p0) * t;
  }
  const size_t moved = atStart ? 0 : m;
  const double bulge = ge::bulgeFromIncludedAngle(theta * span);
  if (auto* pl = AcDbPolyline::cast(&curve)) {
    pl->setPointAt(unsigned(moved), p);
    return pl->setBulgeAt(unsigned(seg), bulge);
  }
  std::vector<AcDb2dVertex*> verts;
  if (!pathVertexObjects(*static_cast<AcDb2dPolyline*>(&curve), verts)) return Acad::eNotImplementedYet;
  changeAsOwner(*verts[moved], [&](AcDbObject&) { verts[moved]->setPosition(AcGePoint3d(p.x, p.y, path.elevation)); });
  changeAsOwner(*verts[seg], [&](AcDbObject&) { verts[seg]->setBulge(bulge); });
  return Acad::eOk;
}

// The fraction of a polyline's end segment at which point lies on its carrier.
bool fractionOnEndSegment(const PolylinePath& path, bool atStart, const AcGePoint2d& p, double tol, double& t) {
  const size_t m = path.segmentCount();
  const SegmentData s = segmentAt(path, atStart ? 0 : m - 1);
  BulgeArc arc;
  if (bulgeArc(s.p0, s.p1, s.bulge, arc)) {
    if (std::fabs(p.distanceTo(arc.center) - arc.radius) > tol) return false;
    double a = std::atan2(p.y - arc.center.y, p.x - arc.center.x) - arc.startAngle;
    if (arc.sweep < 0.0) a = -a;
    a = std::fmod(a, kTwoPi);
    if (a < 0.0) a += kTwoPi;
    // Before the start (at the start end) or past the end (at the end).
    const double size = std::fabs(arc.sweep);
    t = atStart ? (a - kTwoPi) / size : a / size;
    return true;
  }
  const AcGeVector2d d = s.p1 - s.p0;
  const double len2 = d.lengthSqrd();
  if (len2 <= 0.0) return false;
  t = (p - s.p0).dotProduct(d) / len2;
  return (s.p0 + d * t).distanceTo(p) <= tol;
}

}  // namespace
}  // namespace contura::db

using namespace contura::db;

Acad::ErrorStatus AcDbCurve::getSplitCurves(const AcGeDoubleArray& params, AcDbVoidPtrArray& curveSegments) const {
  const CurveKind kind = curveKind(this);
  if (kind == CurveKind::kRay || kind == CurveKind::kXline) return splitStraight(*this, params, curveSegments);
  if (kind == CurveKind::kOther) return Acad::eNotImplementedYet;
  Range r;
  if (!rangeOf(*this, r)) return kind == CurveKind::kSpline ? Acad::eNotImplementedYet : Acad::eDegenerateGeometry;
  if (kind == CurveKind::kSpline) r.closed = false;  // pieces of closed splines are not joined round
  std::vector<double> cuts;
  if (!cutParams(params, r, cuts)) return Acad::eInvalidInput;
  if (kind == CurveKind::kSpline) return splitSpline(static_cast<const AcDbSpline&>(*this), cuts, curveSegments);
  // A circle cut once becomes one arc all the way round from the cut.
  for (const auto& [u, v] : pieceRanges(cuts, r)) {
    AcDbCurve* piece = pieceOf(*this, r, u, v);
    if (piece == nullptr) return Acad::eNotImplementedYet;
    curveSegments.append(piece);
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getSplitCurves(const AcGePoint3dArray& points, AcDbVoidPtrArray& curveSegments) const {
  AcGeDoubleArray params;
  const double tol = onCurveTol(curveSize(this));
  for (const AcGePoint3d& p : points) {
    AcGePoint3d on;
    Acad::ErrorStatus es = getClosestPointTo(p, on);
    if (es != Acad::eOk) return es;
    if (on.distanceTo(p) > tol) return Acad::eInvalidInput;
    double param = 0.0;
    es = getParamAtPoint(on, param);
    if (es != Acad::eOk) return es;
    params.append(param);
  }
  return getSplitCurves(params, curveSegments);
}

Acad::ErrorStatus AcDbCurve::extend(double newParam) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (!std::isfinite(newParam)) return Acad::eInvalidInput;
  switch (curveKind(this)) {
    case CurveKind::kLine: {
      auto* line = static_cast<AcDbLine*>(this);
      const AcGeVector3d d = line->endPoint() - line->startPoint();
      const double len = d.length();
      if (len <= kZeroLength) return Acad::eDegenerateGeometry;
      const AcGePoint3d p = line->startPoint() + d * (newParam / len);
      if (newParam < 0.0) return line->setStartPoint(p);
      if (newParam > len) return line->setEndPoint(p);
      return Acad::eInvalidInput;
    }
    case CurveKind::kArc: {
      auto* arc = static_cast<AcDbArc*>(this);
      const double lo = arc->startAngle(), hi = lo + arc->totalAngle();
      if ((newParam < lo ? hi - newParam : newParam - lo) >= kTwoPi) return Acad::eInvalidInput;
      if (newParam < lo) return arc->setStartAngle(newParam);
      if (newParam > hi) return arc->setEndAngle(newParam);
      return Acad::eInvalidInput;
    }
    case CurveKind::kEllipse: {
      auto* e = static_cast<AcDbEllipse*>(this);
      if (e->isClosed()) return Acad::eNotApplicable;
      const double lo = e->startParam(), hi = e->endParam();
      if ((newParam < lo ? hi - newParam : newParam - lo) >= kTwoPi) return Acad::eInvalidInput;
      if (newParam < lo) return e->setStartParam(newParam);
      if (newParam > hi) return e->setEndParam(newParam);
      return Acad::eInvalidInput;
    }
    case CurveKind::kPolyline:
    case CurveKind::kPolyline2d: {
      double end = 0.0;
      if (isClosed() || getEndParam(end) != Acad::eOk || end < 1.0) return Acad::eNotApplicable;
      if (newParam < 0.0) return extendPolylineEnd(*this, true, newParam);
      if (newParam > end) return extendPolylineEnd(*this, false, newParam - (end - 1.0));
      return Acad::eInvalidInput;
    }
    case CurveKind::kCircle:
    case CurveKind::kRay:
    case CurveKind::kXline:
      return Acad::eNotApplicable;
    default:
      return Acad::eNotImplementedYet;
  }
}

Acad::ErrorStatus AcDbCurve::extend(bool extendStart, const AcGePoint3d& toPoint) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  const double tol = onCurveTol(std::max(curveSize(this), toPoint.asVector().length()));
  switch (curveKind(this)) {
    case CurveKind::kLine: {
      auto* line = static_cast<AcDbLine*>(this);
      Linear3d carrier;
      linearOf(line, true, carrier);
      if (closestOnLinear(carrier, toPoint).distanceTo(toPoint) > tol) return Acad::eInvalidInput;
      return extendStart ? line->setStartPoint(toPoint) : line->setEndPoint(toPoint);
    }
    case CurveKind::kArc: {
      auto* arc = static_cast<AcDbArc*>(this);
      const PlaneFrame f = PlaneFrame::ofNormal(arc->normal(), arc->center().asVector().dotProduct(arc->normal()));
      const AcGeVector2d v = f.toPlane(toPoint - arc->center());
      if (std::fabs(f.height(toPoint)) > tol || std::fabs(v.length() - arc->radius()) > tol) return Acad::eInvalidInput;
      const double a = std::atan2(v.y, v.x);
      return extendStart ? arc->setStartAngle(a) : arc->setEndAngle(a);
    }
    case CurveKind::kEllipse: {
      auto* e = static_cast<AcDbEllipse*>(this);
      const AcGeVector3d v = toPoint - e->center();
      const AcGeVector3d major = e->majorAxis(), minor = e->minorAxis();
      const double t = std::atan2(v.dotProduct(minor) / minor.lengthSqrd(), v.dotProduct(major) / major.lengthSqrd());
      const AcGePoint3d on = e->center() + major * std::cos(t) + minor * std::sin(t);
      if (on.distanceTo(toPoint) > tol) return Acad::eInvalidInput;
      return extendStart ? e->setStartParam(t) : e->setEndParam(t);
    }
    case CurveKind::kPolyline:
    case CurveKind::kPolyline2d: {
      PolylinePath path;
      polylinePath(this, path);
      if (path.closed || path.segmentCount() == 0) return Acad::eNotApplicable;
      const PlaneFrame f = PlaneFrame::ofNormal(path.normal, path.elevation);
      if (std::fabs(f.height(toPoint)) > tol) return Acad::eInvalidInput;
      double t = 0.0;
      if (!fractionOnEndSegment(path, extendStart, f.toPlane(toPoint), tol, t)) return Acad::eInvalidInput;
      return extendPolylineEnd(*this, extendStart, t);
    }
    case CurveKind::kCircle:
    case CurveKind::kRay:
    case CurveKind::kXline:
      return Acad::eNotApplicable;
    default:
      return Acad::eNotImplementedYet;
  }
}

Acad::ErrorStatus AcDbCurve::reverseCurve() {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  switch (curveKind(this)) {
    case CurveKind::kLine: {
      auto* line = static_cast<AcDbLine*>(this);
      const AcGePoint3d s = line->startPoint();
      line->setStartPoint(line->endPoint());
      return line->setEndPoint(s);
    }
    case CurveKind::kArc: {
      // The same points run the other way about the opposite normal.
      auto* arc = static_cast<AcDbArc*>(this);
      AcGePoint3d s, e;
      arc->getStartPoint(s);
      arc->getEndPoint(e);
      const AcGeVector3d n = -arc->normal();
      const PlaneFrame f = PlaneFrame::ofNormal(n, 0.0);
      const AcGeVector2d vs = f.toPlane(s - arc->center()), ve = f.toPlane(e - arc->center());
      arc->setNormal(n);
      arc->setStartAngle(std::atan2(ve.y, ve.x));
      return arc->setEndAngle(std::atan2(vs.y, vs.x));
    }
    case CurveKind::kCircle: {
      auto* circle = static_cast<AcDbCircle*>(this);
      return circle->setNormal(-circle->normal());
    }
    case CurveKind::kEllipse: {
      // With the normal turned over the minor axis flips: parameter t becomes -t.
      auto* e = static_cast<AcDbEllipse*>(this);
      const double lo = e->startParam(), hi = e->endParam();
      const bool closed = e->isClosed();
      Acad::ErrorStatus es = e->set(e->center(), -e->normal(), e->majorAxis(), e->radiusRatio());
      if (es != Acad::eOk || closed) return es;
      es = e->setStartParam(-hi);
      return es == Acad::eOk ? e->setEndParam(-lo) : es;
    }
    case CurveKind::kPolyline:
      return reversePolyline(*static_cast<AcDbPolyline*>(this));
    case CurveKind::kPolyline2d:
      return reversePolyline2d(*static_cast<AcDb2dPolyline*>(this));
    case CurveKind::kSpline:
      return reverseSpline(*static_cast<AcDbSpline*>(this));
    case CurveKind::kRay:
    case CurveKind::kXline:
      return Acad::eNotApplicable;
    default:
      return Acad::eNotImplementedYet;
  }
}

Acad::ErrorStatus AcDbCurve::getArea(double& area) const {
  switch (curveKind(this)) {
    case CurveKind::kLine:
      area = 0.0;
      return Acad::eOk;
    case CurveKind::kCircle: {
      const double r = static_cast<const AcDbCircle*>(this)->radius();
      area = kPi * r * r;
      return Acad::eOk;
    }
    case CurveKind::kArc: {
      // The circular segment between the arc and its chord.
      const auto* arc = static_cast<const AcDbArc*>(this);
      const double r = arc->radius(), theta = arc->totalAngle();
      area = 0.5 * r * r * (theta - std::sin(theta));
      return Acad::eOk;
    }
    case CurveKind::kEllipse: {
      // The affine image of a circular segment: a b / 2 (dt - sin dt).
      const auto* e = static_cast<const AcDbEllipse*>(this);
      const double a = e->majorAxis().length(), b = e->minorAxis().length();
      const double dt = e->endParam() - e->startParam();
      area = 0.5 * a * b * (dt - std::sin(dt));
      return Acad::eOk;
    }
    case CurveKind::kPolyline:
    case CurveKind::kPolyline2d: {
      PolylinePath path;
      polylinePath(this, path);
      contura::ge::BulgeLoop loop = path.vertices;
      // An open polyline is closed by the chord from its end back to its start.
      if (!path.closed && !loop.empty()) loop.back().bulge = 0.0;
      area = loop.size() < 2 ? 0.0 : contura::ge::loopProperties(loop).area;
      return Acad::eOk;
    }
    case CurveKind::kSpline: {
      ParamCurve c;
      if (!isPlanar() || !splineCurve(static_cast<const AcDbSpline&>(*this), c)) return Acad::eNotImplementedYet;
      area = enclosedArea(c);
      return Acad::eOk;
    }
    case CurveKind::kRay:
    case CurveKind::kXline:
      return Acad::eNotApplicable;
    default:
      return Acad::eNotImplementedYet;
  }
}
