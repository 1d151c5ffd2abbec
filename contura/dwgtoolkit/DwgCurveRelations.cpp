// CDwgDatabase: curve relations — crossings, parallel and concentric curves, closest ends,
// projections, and the crossing points at a picked point.
//
// Choices where the interface leaves the meaning to the name (codes count the steps):
// - getTwoCurveCloestDist(dist, start1, start2, c1, c2[, ref]): the smallest of the
//   distances between an end of c1 and an end of c2, from an end of c1 to c2 itself, and from
//   an end of c2 to c1 itself (a T junction counts as meeting). The flags say which end of
//   each curve is involved (for an end against a curve's body: that curve's end nearer to
//   the touching point). Ties keep the first in that order. With a reference point, only
//   c1's end on the reference point's half (isPointNearCurveStart) is used, and a c2 end
//   counts only where it touches that half of c1. 1: an end point cannot be read.
// - isParallelCurves, polylines: a line and a polyline are parallel when every segment of
//   the polyline is (a straight segment as a line, a bulged one fails the test); two
//   polylines when they have the same number of segments and each pair is (two straight
//   segments as lines, two bulged ones as concentric arcs). The distance is the first
//   pair's.
// - get2ParallelCurveProjectLength(length, c1, c2): for parallel lines, the length of the
//   stretch of c1 that c2's ends, projected onto c1's line, cover; for concentric arcs, the
//   arc length on c1 of the angles both arcs cover. 1: not parallel; the id form 1 when a
//   curve cannot be opened, 2 when the pointer form fails.
// - get2ParallelLineMinExtent(box, id1, id2): the box around the parts of two parallel lines
//   that lie opposite each other. 1: a line cannot be opened; 2: not parallel lines or
//   nothing opposite.
// - getCurveProjectOnCurve(out, c1, c2): a new curve, the part of c2 that lies opposite c1
//   (lines: c2's stretch between the projections of c1's ends; arcs: c2's arc between c1's
//   end angles). 1: not parallel, or nothing opposite.
// - getCurveProjectPointOnCurve(points, c1, c2): the closest points on c2 (extended) of c1's
//   start and end, appended without duplicates. 1: refused.
// - getCurvePtMaxMinLength(far, near, pt, curve, points): of the points, the farthest and
//   the nearest along the curve from pt's closest point. 1: no point could be measured.
// - getCurveCrossPoints(points, curve, curves, mode): the crossings of the curve with each
//   other curve of the array under the extension mode, appended without duplicates (0.1)
//   and without emptying the output first. 1: null curve.
// - getCurveCrossOnCurvesPoint(result, pick, curve, curves, nearest): of the crossing points
//   of curve with each curve of the array (without extension), the nearest (flag true) or
//   farthest along curve from the pick's closest point. 1: no crossing.
// - getTwoCurveUnitePoints(joinable, p1, p2, c1, c2): the nearest pair of ends (p1 of c1, p2
//   of c2); joinable when they are nearer than 1.0. 1: an end cannot be read.
// - isSameCurves: the curves lie on one another (isOnSameCurves at 0.1) and have the same
//   ends, in either direction, within 0.1.
// - isTangentCurves(c1, c2, pt): both curves pass within 0.1 of pt and their directions
//   there are parallel at the vector tolerance 0.1.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include <dbents.h>
#include <dbpl.h>

#include "DwgDatabase.h"
#include "DwgSpatialIndex.h"
#include "DwgToolkitCommon.h"

using namespace dwgtoolkit;

namespace {

// Geometry here is exact: the double-precision circle.
const double kPi = std::numbers::pi;

AcDbCurve* curveAt(AcDbVoidPtrArray& curves, int i) { return AcDbCurve::cast(static_cast<AcDbObject*>(curves[i])); }

AcGeTol vectorTol(double tol) {
  AcGeTol t;
  t.setEqualVector(tol);
  return t;
}

AcGeVector3d lineDirection(const AcGePoint3d& s, const AcGePoint3d& e) {
  AcGeVector3d d = e - s;
  return d.isZeroLength() ? d : d.normal();
}

// A piece for the parallel tests: a straight stretch or an arc (centre, radius).
struct Piece {
  bool isArc = false;
  AcGePoint3d s, e, c;
  double r = 0.0;
};

bool piecesOf(AcDbCurve* pCurve, std::vector<Piece>& pieces) {
  if (AcDbLine* pLine = AcDbLine::cast(pCurve)) {
    pieces.push_back({false, pLine->startPoint(), pLine->endPoint(), AcGePoint3d(), 0.0});
    return true;
  }
  if (AcDbArc* pArc = AcDbArc::cast(pCurve)) {
    Piece p;
    p.isArc = true;
    pArc->getStartPoint(p.s);
    pArc->getEndPoint(p.e);
    p.c = pArc->center();
    p.r = pArc->radius();
    pieces.push_back(p);
    return true;
  }
  if (AcDbPolyline* pPline = AcDbPolyline::cast(pCurve)) {
    const unsigned int n = pPline->numVerts();
    const unsigned int segments = pPline->isClosed() ? n : (n > 0 ? n - 1 : 0);
    for (unsigned int i = 0; i < segments; i++) {
      Piece p;
      double bulge = 0.0;
      pPline->getPointAt(i, p.s);
      pPline->getPointAt((i + 1) % n, p.e);
      pPline->getBulgeAt(i, bulge);
      if (std::fabs(bulge) >= kStraightBulgeTol) {
        AcGeCircArc2d arc(AcGePoint2d(p.s.x, p.s.y), AcGePoint2d(p.e.x, p.e.y), bulge, Adesk::kFalse);
        p.isArc = true;
        p.c = AcGePoint3d(arc.center().x, arc.center().y, p.s.z);
        p.r = arc.radius();
      }
      pieces.push_back(p);
    }
    return !pieces.empty();
  }
  return false;
}

// Line-line: parallel directions at tol, distance from a point of the first to the second's
// line. Arc-arc: concentric centres, distance the radii's difference.
bool piecesParallel(const Piece& a, const Piece& b, double tol, double& dist) {
  if (!a.isArc && !b.isArc) {
    AcGeVector3d da = lineDirection(a.s, a.e), db = lineDirection(b.s, b.e);
    if (!da.isParallelTo(db, vectorTol(tol))) return false;
    AcGeVector3d toA = a.s - b.s;
    dist = (toA - db * toA.dotProduct(db)).length();
    return true;
  }
  if (a.isArc && b.isArc) {
    if (a.c.distanceTo(b.c) >= kConcentricTol) return false;
    dist = std::fabs(a.r - b.r);
    return true;
  }
  return false;
}

// Where along the line from s (unit direction d) the point projects.
double along(const AcGePoint3d& s, const AcGeVector3d& d, const AcGePoint3d& p) { return (p - s).dotProduct(d); }

double angleOn(const AcGePoint3d& c, const AcGePoint3d& p) { return std::atan2(p.y - c.y, p.x - c.x); }

// The crossings of two curves without extension, nothing when refused.
void crossingsOf(AcDbCurve* a, AcDbCurve* b, AcDb::Intersect mode, AcGePoint3dArray& points) {
  points.setLogicalLength(0);
  if (a->intersectWith(b, mode, points) != Acad::eOk) points.setLogicalLength(0);
}

// Distance along the curve from its start to the closest point of p; false when refused.
bool distAlong(AcDbCurve* pCurve, const AcGePoint3d& p, double& d) {
  AcGePoint3d on;
  return pCurve->getClosestPointTo(p, on) == Acad::eOk && pCurve->getDistAtPoint(on, d) == Acad::eOk;
}

}  // namespace

int CDwgDatabase::get2ParallelCurveProjectLength(double& length, AcDbCurve* c1, AcDbCurve* c2) {
  length = 0.0;
  double dist = 0.0;
  if (!isParallelCurves(dist, c1, c2, kDefaultParallelTol)) return 1;
  if (AcDbLine* l1 = AcDbLine::cast(c1)) {
    AcDbLine* l2 = AcDbLine::cast(c2);
    if (l2 == NULL) return 1;
    AcGeVector3d d = lineDirection(l1->startPoint(), l1->endPoint());
    double len1 = l1->startPoint().distanceTo(l1->endPoint());
    double a = along(l1->startPoint(), d, l2->startPoint()), b = along(l1->startPoint(), d, l2->endPoint());
    length = std::max(0.0, std::min(len1, std::max(a, b)) - std::max(0.0, std::min(a, b)));
    return 0;
  }
  AcDbArc* a1 = AcDbArc::cast(c1);
  AcDbArc* a2 = AcDbArc::cast(c2);
  if (a1 == NULL || a2 == NULL) return 1;
  // The angles of a2 measured from a1's start, counter-clockwise; both ranges start at 0 for a1.
  const double twoPi = 2.0 * kPi;
  auto rel = [&](double a) {
    double r = std::fmod(a - a1->startAngle(), twoPi);
    return r < 0.0 ? r + twoPi : r;
  };
  double sweep1 = getArcAngle(a1), s2 = rel(a2->startAngle()), sweep2 = getArcAngle(a2);
  double covered = 0.0;
  for (double start : {s2, s2 - twoPi}) covered += std::max(0.0, std::min(sweep1, start + sweep2) - std::max(0.0, start));
  length = std::min(covered, sweep1) * a1->radius();
  return 0;
}

int CDwgDatabase::get2ParallelCurveProjectLength(double& length, AcDbObjectId id1, AcDbObjectId id2) {
  length = 0.0;
  OpenedObject<AcDbCurve> c1, c2;
  if (openEntity(c1, id1, AcDb::kForRead) != Acad::eOk || openEntity(c2, id2, AcDb::kForRead) != Acad::eOk) return 1;
  return get2ParallelCurveProjectLength(length, c1.get(), c2.get()) == 0 ? 0 : 2;
}

int CDwgDatabase::get2ParallelLineMinExtent(AcDbExtents& box, AcDbObjectId id1, AcDbObjectId id2) {
  OpenedObject<AcDbLine> l1, l2;
  if (openEntity(l1, id1, AcDb::kForRead) != Acad::eOk || openEntity(l2, id2, AcDb::kForRead) != Acad::eOk) return 1;
  AcDbCurve* pCurve = NULL;
  if (getCurveProjectOnCurve(pCurve, l1.get(), l2.get()) != 0) return 2;
  OwnedObject<AcDbCurve> onSecond(pCurve);
  if (getCurveProjectOnCurve(pCurve, l2.get(), l1.get()) != 0) return 2;
  OwnedObject<AcDbCurve> onFirst(pCurve);
  AcDbExtents all, one;
  onSecond.get()->getGeomExtents(one);
  all.addExt(one);
  onFirst.get()->getGeomExtents(one);
  all.addExt(one);
  box = all;
  return 0;
}

int CDwgDatabase::getCurveCrossOnCurvesPoint(AcGePoint3d& result, AcGePoint3d pick, AcDbCurve*& pCurve,
                                             AcDbVoidPtrArray& curves, bool nearest) {
  double from = 0.0;
  if (pCurve == NULL || !distAlong(pCurve, pick, from)) return 1;
  bool found = false;
  double best = 0.0;
  AcGePoint3dArray points;
  for (int i = 0; i < curves.length(); i++) {
    AcDbCurve* pOther = curveAt(curves, i);
    if (pOther == NULL || pOther == pCurve) continue;
    crossingsOf(pCurve, pOther, AcDb::kOnBothOperands, points);
    for (int k = 0; k < points.length(); k++) {
      double d = 0.0;
      if (!distAlong(pCurve, points[k], d)) continue;
      double gap = std::fabs(d - from);
      if (!found || (nearest ? gap < best : gap > best)) {
        found = true;
        best = gap;
        result = points[k];
      }
    }
  }
  return found ? 0 : 1;
}

int CDwgDatabase::getCurveCrossPoints(AcGePoint3dArray& points, AcDbCurve* c1, AcDbCurve* c2, AcDb::Intersect mode) {
  if (c1 == NULL || c2 == NULL) return 1;
  AcGePoint3dArray found;
  m_esLast = c1->intersectWith(c2, mode, found);
  if (m_esLast != Acad::eOk) return 1;
  points.append(found);
  return 0;
}

int CDwgDatabase::getCurveCrossPoints(AcGePoint3dArray& points, AcDbCurve* pCurve, AcDbVoidPtrArray& curves,
                                      AcDb::Intersect mode) {
  if (pCurve == NULL) return 1;
  AcGePoint3dArray found;
  for (int i = 0; i < curves.length(); i++) {
    AcDbCurve* pOther = curveAt(curves, i);
    if (pOther == NULL || pOther == pCurve) continue;
    crossingsOf(pCurve, pOther, mode, found);
    addPointToArray(points, found);
  }
  return 0;
}

int CDwgDatabase::getCurveCrossPoints(AcGePoint3dArray& points, AcDbObjectId id1, AcDbObjectId id2, AcDb::Intersect mode) {
  OpenedObject<AcDbCurve> c1, c2;
  m_esLast = openEntity(c1, id1, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  m_esLast = openEntity(c2, id2, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 2;
  m_nLastResult = getCurveCrossPoints(points, c1.get(), c2.get(), mode);
  return m_nLastResult == 0 ? 0 : 3;
}

int CDwgDatabase::getCurveCrossPoints(AcGePoint3dArray& points, AcDbVoidPtrArray& curves) {
  points.setLogicalLength(0);
  const int n = curves.length();
  if (n < 2) return 0;
  // Every pair (i, j), i < j, in that order; pairs whose boxes are apart cannot cross, so
  // only the grid's candidates are intersected, taken in increasing j.
  std::vector<AcDbExtents> boxes(n);
  for (int i = 0; i < n; i++) {
    AcDbCurve* pCurve = curveAt(curves, i);
    if (pCurve == NULL || pCurve->getGeomExtents(boxes[i]) != Acad::eOk) boxes[i] = AcDbExtents();
  }
  BoxGrid grid(boxes, kPointArrayTol);
  NearPointSet kept(kPointArrayTol);
  std::vector<int> candidates;
  AcGePoint3dArray found;
  for (int i = 0; i < n; i++) {
    AcDbCurve* pFirst = curveAt(curves, i);
    if (pFirst == NULL) continue;
    grid.query(boxes[i], candidates);
    for (int j : candidates) {
      if (j <= i) continue;
      AcDbCurve* pSecond = curveAt(curves, j);
      if (pSecond == NULL) continue;
      crossingsOf(pFirst, pSecond, AcDb::kOnBothOperands, found);
      for (int k = 0; k < found.length(); k++)
        if (kept.insertIfNew(found[k])) points.append(found[k]);
    }
  }
  return 0;
}

int CDwgDatabase::getCurveCrossSetAtPoint(AcGePoint3d pick, AcDbCurve* pCurve, AcDbVoidPtrArray& found,
                                          AcDbVoidPtrArray& candidates, double tol) {
  found.setLogicalLength(0);
  if (pCurve == NULL) return 1;
  const bool pickNearStart = isPointNearCurveStart(pick, pCurve);
  for (int i = 0; i < candidates.length(); i++) {
    AcDbCurve* pOther = curveAt(candidates, i);
    if (pOther == NULL || pOther == pCurve) continue;
    double dist = 0.0;
    if (getTwoCurveCloestDist(dist, pCurve, pOther, pick) == 0 && dist <= tol) found.append(pOther);
  }
  AcGePoint3dArray crossings;
  int i = 0;
  while (i < found.length()) {
    AcDbCurve* pOther = curveAt(found, i);
    crossingsOf(pCurve, pOther, AcDb::kOnBothOperands, crossings);
    bool onPickHalf = false;
    for (int k = 0; k < crossings.length() && !onPickHalf; k++)
      onPickHalf = isPointNearCurveStart(crossings[k], pCurve) == pickNearStart;
    if (onPickHalf) {
      i++;
      continue;
    }
    double dist = 0.0;
    bool start1 = true, start2 = true;
    bool otherHalf = getTwoCurveCloestDist(dist, start1, start2, pCurve, pOther) == 0 && dist <= tol &&
                     start1 != pickNearStart;
    if (otherHalf)
      found.removeAt(i);
    else
      i++;
  }
  return 0;
}

int CDwgDatabase::getCurveCrossTwoCurvePoint(AcGePoint3d& result, AcGePoint3d pick, AcDbCurve*& pCurve,
                                             AcDbCurve*& pOther1, AcDbCurve*& pOther2, bool nearest) {
  AcGePoint3d ref;
  if (getCloestPointOnCurve(ref, pick, pCurve, false) != 0) return 1;
  AcGePoint3d p1, p2;
  m_nLastResult = getTwoCurveCrossPoint(p1, ref, pCurve, pOther1);
  if (m_nLastResult != 0) return 1;
  m_nLastResult = getTwoCurveCrossPoint(p2, ref, pCurve, pOther2);
  if (m_nLastResult != 0) return 2;
  // Distance from the pick along the curve: straight for a line, angle times radius for an arc.
  auto gap = [&](const AcGePoint3d& p) {
    if (AcDbArc* pArc = AcDbArc::cast(pCurve)) {
      double a = std::fabs(angleOn(pArc->center(), p) - angleOn(pArc->center(), ref));
      if (a > kPi) a = 2.0 * kPi - a;
      return a * pArc->radius();
    }
    return ref.distanceTo(p);
  };
  double g1 = gap(p1), g2 = gap(p2);
  result = (nearest ? g1 <= g2 : g1 >= g2) ? p1 : p2;
  return 0;
}

int CDwgDatabase::getCurveCrossTwoFarthestPoint(AcGePoint3d& result, AcGePoint3d pick, AcDbCurve*& pCurve,
                                                AcDbCurve*& pOther1, AcDbCurve*& pOther2) {
  return getCurveCrossTwoCurvePoint(result, pick, pCurve, pOther1, pOther2, false);
}

int CDwgDatabase::getCurveCrossTwoNearestPoint(AcGePoint3d& result, AcGePoint3d pick, AcDbCurve*& pCurve,
                                               AcDbCurve*& pOther1, AcDbCurve*& pOther2) {
  return getCurveCrossTwoCurvePoint(result, pick, pCurve, pOther1, pOther2, true);
}

int CDwgDatabase::getCurveProjectOnCurve(AcDbCurve*& pOut, AcDbCurve* c1, AcDbCurve* c2) {
  pOut = NULL;
  double dist = 0.0;
  if (!isParallelCurves(dist, c1, c2, kDefaultParallelTol)) return 1;
  if (AcDbLine* l2 = AcDbLine::cast(c2)) {
    AcDbLine* l1 = AcDbLine::cast(c1);
    if (l1 == NULL) return 1;
    AcGeVector3d d = lineDirection(l2->startPoint(), l2->endPoint());
    double len2 = l2->startPoint().distanceTo(l2->endPoint());
    double a = along(l2->startPoint(), d, l1->startPoint()), b = along(l2->startPoint(), d, l1->endPoint());
    double lo = std::max(0.0, std::min(a, b)), hi = std::min(len2, std::max(a, b));
    if (hi <= lo) return 1;
    pOut = new AcDbLine(l2->startPoint() + d * lo, l2->startPoint() + d * hi);
    return 0;
  }
  AcDbArc* a1 = AcDbArc::cast(c1);
  AcDbArc* a2 = AcDbArc::cast(c2);
  if (a1 == NULL || a2 == NULL) return 1;
  double covered = 0.0;
  if (get2ParallelCurveProjectLength(covered, a2, a1) != 0 || covered <= 0.0) return 1;
  // The common angles: from the later start to the earlier end, counter-clockwise.
  double start = a2->startAngle(), end = a2->endAngle();
  auto inside = [](double a, const AcDbArc* arc) {
    double rel = std::fmod(a - arc->startAngle(), 2.0 * kPi);
    if (rel < 0.0) rel += 2.0 * kPi;
    return rel <= CDwgDatabase::getArcAngle(const_cast<AcDbArc*>(arc)) + 1e-12;
  };
  if (inside(a1->startAngle(), a2)) start = a1->startAngle();
  if (inside(a1->endAngle(), a2)) end = a1->endAngle();
  pOut = new AcDbArc(a2->center(), a2->normal(), a2->radius(), start, end);
  return 0;
}

int CDwgDatabase::getCurveProjectPointOnCurve(AcGePoint3dArray& points, AcDbCurve* c1, AcDbCurve* c2) {
  AcGePoint3d s, e, ps, pe;
  if (getCurvePoint(s, e, c1) != 0 || c2 == NULL) return 1;
  if (c2->getClosestPointTo(s, ps, true) != Acad::eOk || c2->getClosestPointTo(e, pe, true) != Acad::eOk) return 1;
  addPointToArray(points, ps);
  addPointToArray(points, pe);
  return 0;
}

int CDwgDatabase::getCurveProjectPointOnCurve(AcGePoint3dArray& points, AcDbObjectId id1, AcDbObjectId id2) {
  OpenedObject<AcDbCurve> c1, c2;
  if (openEntity(c1, id1, AcDb::kForRead) != Acad::eOk || openEntity(c2, id2, AcDb::kForRead) != Acad::eOk) return 1;
  return getCurveProjectPointOnCurve(points, c1.get(), c2.get()) == 0 ? 0 : 2;
}

int CDwgDatabase::getCurvePtMaxMinLength(AcGePoint3d& farthest, AcGePoint3d& nearest, AcGePoint3d pt,
                                         AcDbCurve*& pCurve, AcGePoint3dArray& points) {
  double from = 0.0;
  if (pCurve == NULL || !distAlong(pCurve, pt, from)) return 1;
  bool any = false;
  double most = 0.0, least = 0.0;
  for (int i = 0; i < points.length(); i++) {
    double d = 0.0;
    if (!distAlong(pCurve, points[i], d)) continue;
    double gap = std::fabs(d - from);
    if (!any || gap > most) {
      most = gap;
      farthest = points[i];
    }
    if (!any || gap < least) {
      least = gap;
      nearest = points[i];
    }
    any = true;
  }
  return any ? 0 : 1;
}

int CDwgDatabase::getTwoCurveCloestDist(double& dist, AcDbCurve* c1, AcDbCurve* c2) {
  bool s1 = true, s2 = true;
  return getTwoCurveCloestDist(dist, s1, s2, c1, c2);
}

int CDwgDatabase::getTwoCurveCloestDist(double& dist, AcDbCurve* c1, AcDbCurve* c2, AcGePoint3d ref) {
  bool s1 = true, s2 = true;
  return getTwoCurveCloestDist(dist, s1, s2, c1, c2, ref);
}

int CDwgDatabase::getTwoCurveCloestDist(double& dist, AcDbObjectId id1, AcDbObjectId id2) {
  OpenedObject<AcDbCurve> c1, c2;
  if (openEntity(c1, id1, AcDb::kForRead) != Acad::eOk || openEntity(c2, id2, AcDb::kForRead) != Acad::eOk) return 1;
  return getTwoCurveCloestDist(dist, c1.get(), c2.get()) == 0 ? 0 : 2;
}

int CDwgDatabase::getTwoCurveCloestDist(double& dist, AcDbObjectId id1, AcDbObjectId id2, AcGePoint3d ref) {
  OpenedObject<AcDbCurve> c1, c2;
  if (openEntity(c1, id1, AcDb::kForRead) != Acad::eOk || openEntity(c2, id2, AcDb::kForRead) != Acad::eOk) return 1;
  return getTwoCurveCloestDist(dist, c1.get(), c2.get(), ref) == 0 ? 0 : 2;
}

namespace {

// The closest-ends search of getTwoCurveCloestDist; `onlyStart1` restricts c1 to one end.
int closestEnds(double& dist, bool& start1, bool& start2, AcDbCurve* c1, AcDbCurve* c2, const bool* onlyStart1) {
  AcGePoint3d s1, e1, s2, e2;
  if (CDwgDatabase::getCurvePoint(s1, e1, c1) != 0 || CDwgDatabase::getCurvePoint(s2, e2, c2) != 0) return 1;
  bool found = false;
  auto consider = [&](double d, bool first, bool second) {
    if (!found || d < dist) {
      found = true;
      dist = d;
      start1 = first;
      start2 = second;
    }
  };
  for (bool first : {true, false}) {
    if (onlyStart1 && first != *onlyStart1) continue;
    const AcGePoint3d& p1 = first ? s1 : e1;
    consider(p1.distanceTo(s2), first, true);
    consider(p1.distanceTo(e2), first, false);
  }
  for (bool first : {true, false}) {
    if (onlyStart1 && first != *onlyStart1) continue;
    const AcGePoint3d& p1 = first ? s1 : e1;
    AcGePoint3d on;
    if (c2->getClosestPointTo(p1, on) == Acad::eOk)
      consider(p1.distanceTo(on), first, on.distanceTo(s2) <= on.distanceTo(e2));
  }
  for (bool second : {true, false}) {
    const AcGePoint3d& p2 = second ? s2 : e2;
    AcGePoint3d on;
    if (c1->getClosestPointTo(p2, on) != Acad::eOk) continue;
    bool nearStart1 = CDwgDatabase::isPointNearCurveStart(on, c1);
    if (onlyStart1 && nearStart1 != *onlyStart1) continue;
    consider(p2.distanceTo(on), nearStart1, second);
  }
  return found ? 0 : 1;
}

}  // namespace

int CDwgDatabase::getTwoCurveCloestDist(double& dist, bool& start1, bool& start2, AcDbCurve* c1, AcDbCurve* c2) {
  dist = 0.0;
  if (c1 == NULL || c2 == NULL) return 1;
  return closestEnds(dist, start1, start2, c1, c2, NULL);
}

int CDwgDatabase::getTwoCurveCloestDist(double& dist, bool& start1, bool& start2, AcDbCurve* c1, AcDbCurve* c2,
                                        AcGePoint3d ref) {
  dist = 0.0;
  if (c1 == NULL || c2 == NULL) return 1;
  const bool refNearStart = isPointNearCurveStart(ref, c1);
  return closestEnds(dist, start1, start2, c1, c2, &refNearStart);
}

int CDwgDatabase::getTwoCurveCrossPoint(AcGePoint3d& result, AcGePoint3d ref, AcDbCurve* c1, AcDbCurve* c2) {
  if (c1 == NULL || c2 == NULL) return 1;
  AcGePoint3dArray points;
  if (c1->intersectWith(c2, AcDb::kOnBothOperands, points) != Acad::eOk) return 1;
  if (points.length() == 0) {
    if (c1->intersectWith(c2, AcDb::kExtendBoth, points) != Acad::eOk) return 2;
    if (points.length() == 0) return 3;
  }
  if (points.length() == 1) {
    result = points[0];
    return 0;
  }
  const bool refNearStart = isPointNearCurveStart(ref, c1);
  bool found = false;
  for (int i = 0; i < points.length(); i++) {
    if (isPointNearCurveStart(points[i], c1) != refNearStart) continue;
    if (!found || points[i].distanceTo(ref) < result.distanceTo(ref)) result = points[i];
    found = true;
  }
  if (!found) {  // none on the reference's side: the nearest to it
    result = points[0];
    for (int i = 1; i < points.length(); i++)
      if (points[i].distanceTo(ref) < result.distanceTo(ref)) result = points[i];
  }
  return 0;
}

int CDwgDatabase::getTwoCurveCrossPoint(AcGePoint3dArray& points, AcDbCurve* c1, AcDbCurve* c2, bool extend) {
  points.setLogicalLength(0);
  if (c1 == NULL || c2 == NULL) return 1;
  if (c1->intersectWith(c2, extend ? AcDb::kExtendBoth : AcDb::kOnBothOperands, points) != Acad::eOk) {
    points.setLogicalLength(0);
    return 1;
  }
  if (points.length() > 0) return 0;
  double dist = 0.0;
  if (!isParallelCurves(dist, c1, c2, kDefaultParallelTol) || dist >= kParallelMeetTol) return 0;
  bool start1 = true, start2 = true;
  double endGap = 0.0;
  if (getTwoCurveCloestDist(endGap, start1, start2, c1, c2) != 0) return 2;
  AcGePoint3d p1 = getCurveStartPt(c1), p2 = getCurveStartPt(c2);
  if (!start1) p1 = getCurveEndPt(c1);
  if (!start2) p2 = getCurveEndPt(c2);
  if (p1.distanceTo(p2) < kParallelMeetTol)
    points.append(p1);
  else if (extend)
    points.append(getMidPoint(p1, p2));
  return 0;
}

int CDwgDatabase::getTwoCurveUnitePoints(bool& joinable, AcGePoint3d& p1, AcGePoint3d& p2, AcDbCurve* c1, AcDbCurve* c2) {
  joinable = false;
  AcGePoint3d s1, e1, s2, e2;
  if (getCurvePoint(s1, e1, c1) != 0 || getCurvePoint(s2, e2, c2) != 0) return 1;
  double best = -1.0;
  for (const AcGePoint3d& a : {s1, e1})
    for (const AcGePoint3d& b : {s2, e2})
      if (best < 0.0 || a.distanceTo(b) < best) {
        best = a.distanceTo(b);
        p1 = a;
        p2 = b;
      }
  joinable = best < kParallelMeetTol;
  return 0;
}

int CDwgDatabase::getTwoCurveUnitePoints(bool& joinable, AcGePoint3d& p1, AcGePoint3d& p2, AcDbObjectId id1, AcDbObjectId id2) {
  joinable = false;
  OpenedObject<AcDbCurve> c1, c2;
  if (openEntity(c1, id1, AcDb::kForRead) != Acad::eOk || openEntity(c2, id2, AcDb::kForRead) != Acad::eOk) return 1;
  return getTwoCurveUnitePoints(joinable, p1, p2, c1.get(), c2.get()) == 0 ? 0 : 2;
}

bool CDwgDatabase::isCurveIntersect(AcDbCurve* c1, AcDbCurve* c2) {
  AcGePoint3d first;
  return isCurveIntersect(c1, c2, first);
}

bool CDwgDatabase::isCurveIntersect(AcDbCurve* c1, AcDbCurve* c2, AcGePoint3d& first) {
  if (c1 == NULL || c2 == NULL) return false;
  AcGePoint3dArray points;
  if (c1->intersectWith(c2, AcDb::kOnBothOperands, points) != Acad::eOk || points.length() == 0) return false;
  first = points[0];
  return true;
}

bool CDwgDatabase::isOnSameCurves(AcDbCurve* c1, AcDbCurve* c2, double tol) {
  double dist = 0.0;
  return isParallelCurves(dist, c1, c2, kDefaultParallelTol) && dist <= tol;
}

bool CDwgDatabase::isOnSameCurves(AcDbObjectId id1, AcDbObjectId id2, double tol) {
  OpenedObject<AcDbCurve> c1, c2;
  if (openEntity(c1, id1, AcDb::kForRead) != Acad::eOk || openEntity(c2, id2, AcDb::kForRead) != Acad::eOk) return false;
  return isOnSameCurves(c1.get(), c2.get(), tol);
}

bool CDwgDatabase::isParallelCurves(AcDbCurve* c1, AcDbCurve* c2, double tol) {
  double dist = 0.0;
  return isParallelCurves(dist, c1, c2, tol);
}

bool CDwgDatabase::isParallelCurves(AcDbObjectId id1, AcDbObjectId id2, double tol) {
  double dist = 0.0;
  return isParallelCurves(dist, id1, id2, tol);
}

bool CDwgDatabase::isParallelCurves(double& dist, AcDbCurve* c1, AcDbCurve* c2, double tol) {
  dist = 0.0;
  if (c1 == NULL || c2 == NULL) return false;
  const bool poly1 = AcDbPolyline::cast(c1) != NULL, poly2 = AcDbPolyline::cast(c2) != NULL;
  std::vector<Piece> p1, p2;
  if (!piecesOf(c1, p1) || !piecesOf(c2, p2)) return false;
  if (!poly1 && !poly2) return piecesParallel(p1[0], p2[0], tol, dist);
  if (poly1 && poly2) {
    if (p1.size() != p2.size()) return false;
    double first = 0.0;
    for (size_t i = 0; i < p1.size(); i++) {
      double d = 0.0;
      if (!piecesParallel(p1[i], p2[i], tol, d)) return false;
      if (i == 0) first = d;
    }
    dist = first;
    return true;
  }
  // One polyline against a line (an arc against a polyline fails on the first bulged or
  // straight mismatch).
  const std::vector<Piece>& many = poly1 ? p1 : p2;
  const Piece& single = poly1 ? p2[0] : p1[0];
  double first = 0.0;
  for (size_t i = 0; i < many.size(); i++) {
    double d = 0.0;
    if (!piecesParallel(single, many[i], tol, d)) return false;
    if (i == 0) first = d;
  }
  dist = first;
  return true;
}

bool CDwgDatabase::isParallelCurves(double& dist, AcDbObjectId id1, AcDbObjectId id2, double tol) {
  dist = 0.0;
  OpenedObject<AcDbCurve> c1, c2;
  if (openEntity(c1, id1, AcDb::kForRead) != Acad::eOk || openEntity(c2, id2, AcDb::kForRead) != Acad::eOk) return false;
  return isParallelCurves(dist, c1.get(), c2.get(), tol);
}

bool CDwgDatabase::isSameCurves(AcDbCurve* c1, AcDbCurve* c2) {
  if (!isOnSameCurves(c1, c2, kOnCurveTol)) return false;
  AcGePoint3d s1, e1, s2, e2;
  if (getCurvePoint(s1, e1, c1) != 0 || getCurvePoint(s2, e2, c2) != 0) return false;
  return (isSamePoint(s1, s2, kOnCurveTol) && isSamePoint(e1, e2, kOnCurveTol)) ||
         (isSamePoint(s1, e2, kOnCurveTol) && isSamePoint(e1, s2, kOnCurveTol));
}

bool CDwgDatabase::isTangentCurves(AcDbCurve* c1, AcDbCurve* c2, AcGePoint3d pt) {
  if (!isPointOnCurve(pt, c1, false) || !isPointOnCurve(pt, c2, false)) return false;
  AcGeVector3d d1 = getCurveVectAtPoint(c1, pt), d2 = getCurveVectAtPoint(c2, pt);
  if (d1.isZeroLength() || d2.isZeroLength()) return false;
  return d1.isParallelTo(d2, vectorTol(kDefaultParallelTol)) == Adesk::kTrue;
}
