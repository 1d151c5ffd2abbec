// Intersections between lines, rays, construction lines, arcs, circles and polylines under the
// four extension modes: exact 2D intersections in a common plane, piercing points otherwise.
#include "curve_geom.h"

#include <contura/ge/intersect2d.h>

#include <cmath>

namespace contura::db {
namespace {

bool supported(CurveKind kind) {
  switch (kind) {
    case CurveKind::kLine:
    case CurveKind::kRay:
    case CurveKind::kXline:
    case CurveKind::kArc:
    case CurveKind::kCircle:
    case CurveKind::kPolyline:
    case CurveKind::kPolyline2d:
      return true;
    default:
      return false;
  }
}

// One operand: the entity and whether it is taken as extended (closed curves never are).
struct Operand {
  const AcDbEntity* entity;
  bool extend;
};

bool piecesOf(const Operand& op, const PlaneFrame& f, std::vector<Piece>& pieces) {
  return planarPieces(op.entity, f, op.extend, op.extend, pieces);
}

// Intersections of two piece lists in one plane, appended in order along the first list.
void intersectPieces(const std::vector<Piece>& a, const std::vector<Piece>& b, const PlaneFrame& f, double tol,
                     AcGePoint3dArray& out, int from) {
  AcGePoint2dArray hits(4);
  for (const Piece& pa : a) {
    const AcGeCurve2d& ca = pieceCurve(pa);
    for (const Piece& pb : b) {
      hits.setLogicalLength(0);
      ge::intersectCurves(ca, pieceCurve(pb), ge::Extend::kNone, hits);
      for (const AcGePoint2d& h : hits) appendDistinct(out, from, f.toWorld(h), tol);
    }
  }
}

bool onPieces(const std::vector<Piece>& pieces, const AcGePoint2d& p, double tol) {
  for (const Piece& piece : pieces)
    if (pieceCurve(piece).closestPointTo(p).distanceTo(p) <= tol) return true;
  return false;
}

// True, with the frame, when both straight curves lie in one plane z = constant.
bool inWorldXY(const AcDbEntity* a, const AcDbEntity* b, PlaneFrame& f) {
  double z = 0.0;
  bool first = true;
  for (const AcDbEntity* e : {a, b}) {
    double z0 = 0.0, z1 = 0.0;
    if (const auto* line = AcDbLine::cast(e)) {
      z0 = line->startPoint().z;
      z1 = line->endPoint().z;
    } else if (const auto* ray = AcDbRay::cast(e)) {
      if (ray->unitDir().z != 0.0) return false;
      z0 = z1 = ray->basePoint().z;
    } else {
      return false;
    }
    if (z0 != z1 || (!first && z0 != z)) return false;
    z = z0;
    first = false;
  }
  f = PlaneFrame::ofNormal(AcGeVector3d::kZAxis, z);
  return true;
}

// A plane containing two straight curves, or false when they are skew.
bool planeOfStraightPair(const Linear3d& a, const Linear3d& b, double tol, PlaneFrame& f) {
  if (a.dir.z == 0.0 && b.dir.z == 0.0 && a.base.z == b.base.z) {
    f = PlaneFrame::ofNormal(AcGeVector3d::kZAxis, a.base.z);
    return true;
  }
  const AcGeVector3d w = b.base - a.base;
  AcGeVector3d n = a.dir.crossProduct(b.dir);
  if (n.length() <= ge::tol::kParallelSine) {
    const AcGeVector3d along = a.dir.isZeroLength() ? b.dir : a.dir;
    n = along.crossProduct(w);
    if (n.length() <= tol) n = along.isZeroLength() ? AcGeVector3d::kZAxis : along.perpVector();
  }
  n.normalize();
  if (std::fabs(w.dotProduct(n)) > tol) return false;
  const AcGeVector3d x = n.perpVector().normal();
  f = PlaneFrame::ofAxes(a.base, x, n);
  return true;
}

// The point where a straight curve pierces the plane of f, if it lies within its bounds.
bool piercePoint(const Linear3d& line, const PlaneFrame& f, double tol, AcGePoint3d& pt) {
  const double along = line.dir.dotProduct(f.normal);
  if (std::fabs(along) <= ge::tol::kParallelSine) return false;
  const double t = -f.height(line.base) / along;
  if ((line.hasLo && t < line.lo - tol) || (line.hasHi && t > line.hi + tol)) return false;
  pt = line.base + line.dir * t;
  return true;
}

// A point and direction of the line where the planes of f and g meet (not parallel).
void planesLine(const PlaneFrame& f, const PlaneFrame& g, AcGePoint3d& p, AcGeVector3d& d) {
  d = f.normal.crossProduct(g.normal);
  // The point of the line nearest f's origin: solve n1.x = h1, n2.x = h2 in the span of n1, n2.
  const double h1 = f.origin.asVector().dotProduct(f.normal), h2 = g.origin.asVector().dotProduct(g.normal);
  const double d12 = f.normal.dotProduct(g.normal);
  const double det = 1.0 - d12 * d12;
  const double c1 = (h1 - h2 * d12) / det, c2 = (h2 - h1 * d12) / det;
  p = AcGePoint3d::kOrigin + f.normal * c1 + g.normal * c2;
  d.normalize();
}

// Points of a planar operand's pieces on the line through p along d (in its frame).
void linePoints(const Operand& op, const PlaneFrame& f, const AcGePoint3d& p, const AcGeVector3d& d,
                std::vector<AcGePoint3d>& points) {
  std::vector<Piece> pieces;
  if (!piecesOf(op, f, pieces)) return;
  const AcGeLine2d line(f.toPlane(p), f.toPlane(d));
  AcGePoint2dArray hits(4);
  for (const Piece& piece : pieces) {
    hits.setLogicalLength(0);
    ge::intersectCurves(pieceCurve(piece), line, ge::Extend::kNone, hits);
    for (const AcGePoint2d& h : hits) points.push_back(f.toWorld(h));
  }
}

}  // namespace

Acad::ErrorStatus intersectEntities(const AcDbEntity* a, const AcDbEntity* b, AcDb::Intersect mode,
                                    AcGePoint3dArray& out) {
  if (b == nullptr) return Acad::eNullEntityPointer;
  const int m = int(mode);
  if (m < 0 || m > 3) return Acad::eInvalidInput;
  if (!supported(curveKind(a)) || !supported(curveKind(b))) return Acad::eNotImplementedYet;
  const Operand opA{a, (m & 1) != 0 && !curveIsClosed(a)};
  const Operand opB{b, (m & 2) != 0 && !curveIsClosed(b)};
  const double tol = onCurveTol(std::max(curveSize(a), curveSize(b)));
  const int from = out.length();

  // The plane to work in: a's own, else b's, else one through two straight curves.
  PlaneFrame f;
  const bool planar = naturalFrame(a, f) || naturalFrame(b, f);
  // Reused between calls: no allocation per pair once they have grown.
  thread_local std::vector<Piece> pa, pb;
  pa.clear();
  pb.clear();
  if (!planar && !inWorldXY(a, b, f)) {
    Linear3d la, lb;
    linearOf(a, opA.extend, la);
    linearOf(b, opB.extend, lb);
    if (!planeOfStraightPair(la, lb, tol, f)) return Acad::eOk;  // skew lines never meet
  }
  const bool inA = piecesOf(opA, f, pa), inB = piecesOf(opB, f, pb);
  if (inA && inB) {
    intersectPieces(pa, pb, f, tol, out, from);
    return Acad::eOk;
  }
  if (!inA && !inB) return Acad::eOk;  // a curve without geometry (an empty polyline)

  // Not in one plane. The operand in f's plane is `flat`; the other crosses that plane.
  const Operand& flat = inA ? opA : opB;
  const Operand& other = inA ? opB : opA;
  const std::vector<Piece>& flatPieces = inA ? pa : pb;
  Linear3d line;
  if (linearOf(other.entity, other.extend, line)) {
    AcGePoint3d pt;
    if (piercePoint(line, f, tol, pt) && onPieces(flatPieces, f.toPlane(pt), tol)) out.append(pt);
    return Acad::eOk;
  }
  PlaneFrame g;
  if (!naturalFrame(other.entity, g)) return Acad::eOk;
  if (1.0 - std::fabs(f.normal.dotProduct(g.normal)) <= kOnCurveRelTol) return Acad::eOk;  // parallel planes
  AcGePoint3d p;
  AcGeVector3d d;
  planesLine(f, g, p, d);
  std::vector<AcGePoint3d> onFlat, onOther;
  linePoints(flat, f, p, d, onFlat);
  linePoints(other, g, p, d, onOther);
  // In order along a.
  const std::vector<AcGePoint3d>& onA = inA ? onFlat : onOther;
  const std::vector<AcGePoint3d>& onB = inA ? onOther : onFlat;
  for (const AcGePoint3d& q : onA)
    for (const AcGePoint3d& r : onB)
      if (q.distanceTo(r) <= tol) {
        appendDistinct(out, from, q, tol);
        break;
      }
  return Acad::eOk;
}

namespace {

// An operand seen along the projection plane's normal, as pieces in that plane's frame, and
// how to carry a point of its projection back onto it.
struct Projected {
  std::vector<Piece> pieces;
  bool straight = false;
  Linear3d line;     // straight operands
  PlaneFrame plane;  // planar operands: the projection frame moved into their plane
};

Acad::ErrorStatus project(const Operand& op, const PlaneFrame& p, Projected& out) {
  if (linearOf(op.entity, op.extend, out.line)) {
    out.straight = true;
    const AcGePoint2d b = p.toPlane(out.line.base);
    const AcGeVector2d d = p.toPlane(out.line.dir);
    // Seen along the normal a perpendicular line is a point, which crosses nothing.
    if (d.length() <= kOnCurveRelTol) return Acad::eOk;
    const Linear3d& l = out.line;
    if (l.hasLo && l.hasHi) out.pieces.emplace_back(AcGeLineSeg2d(b + d * l.lo, b + d * l.hi));
    else if (l.hasLo) out.pieces.emplace_back(AcGeRay2d(b + d * l.lo, d));
    else out.pieces.emplace_back(AcGeLine2d(b, d));
    return Acad::eOk;
  }
  PlaneFrame own;
  if (!naturalFrame(op.entity, own)) return Acad::eNotImplementedYet;
  // Seen along the normal of a tilted plane an arc is an ellipse: not handled.
  if (1.0 - std::fabs(own.normal.dotProduct(p.normal)) > kOnCurveRelTol) return Acad::eNotImplementedYet;
  out.plane = p;
  out.plane.origin = p.origin + p.normal * p.height(own.origin);
  planarPieces(op.entity, out.plane, op.extend, op.extend, out.pieces);
  return Acad::eOk;
}

AcGePoint3d liftBack(const Projected& pr, const PlaneFrame& p, const AcGePoint2d& hit) {
  if (!pr.straight) return pr.plane.toWorld(hit);
  const AcGeVector2d d = p.toPlane(pr.line.dir);
  const double t = (hit - p.toPlane(pr.line.base)).dotProduct(d) / d.lengthSqrd();
  return pr.line.base + pr.line.dir * t;
}

}  // namespace

Acad::ErrorStatus intersectProjected(const AcDbEntity* a, const AcDbEntity* b, AcDb::Intersect mode,
                                     const AcGePlane& plane, AcGePoint3dArray& out) {
  if (b == nullptr) return Acad::eNullEntityPointer;
  const int m = int(mode);
  if (m < 0 || m > 3 || plane.normal().isZeroLength()) return Acad::eInvalidInput;
  if (!supported(curveKind(a)) || !supported(curveKind(b))) return Acad::eNotImplementedYet;
  const Operand opA{a, (m & 1) != 0 && !curveIsClosed(a)};
  const Operand opB{b, (m & 2) != 0 && !curveIsClosed(b)};
  const AcGeVector3d n = plane.normal().normal();
  const PlaneFrame p = PlaneFrame::ofNormal(n, plane.pointOnPlane().asVector().dotProduct(n));
  Projected pa, pb;
  Acad::ErrorStatus es = project(opA, p, pa);
  if (es == Acad::eOk) es = project(opB, p, pb);
  if (es != Acad::eOk) return es;
  const double tol = onCurveTol(std::max(curveSize(a), curveSize(b)));
  const int from = out.length();
  AcGePoint2dArray hits(4);
  for (const Piece& x : pa.pieces)
    for (const Piece& y : pb.pieces) {
      hits.setLogicalLength(0);
      ge::intersectCurves(pieceCurve(x), pieceCurve(y), ge::Extend::kNone, hits);
      for (const AcGePoint2d& h : hits) appendDistinct(out, from, liftBack(pa, p, h), tol);
    }
  return Acad::eOk;
}

}  // namespace contura::db

Acad::ErrorStatus AcDbEntity::intersectWith(const AcDbEntity* pEnt, AcDb::Intersect intType, AcGePoint3dArray& points,
                                            Adesk::LongPtr, Adesk::LongPtr) const {
  return contura::db::intersectEntities(this, pEnt, intType, points);
}

Acad::ErrorStatus AcDbEntity::intersectWith(const AcDbEntity* pEnt, AcDb::Intersect intType, const AcGePlane& projPlane,
                                            AcGePoint3dArray& points, Adesk::LongPtr, Adesk::LongPtr) const {
  return contura::db::intersectProjected(this, pEnt, intType, projPlane, points);
}
