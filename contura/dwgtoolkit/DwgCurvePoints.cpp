// CDwgDatabase: curve points and ends — end points, mid points, lengths, the direction at a
// point, arc angles and bulges; a point against a curve's ends, the curve itself and the area
// it encloses; moving one end of a line, arc or polyline.
//
// Choices where the interface leaves the meaning to the name:
// - getArc2PtAngle: the angle swept counter-clockwise about the arc's centre from the first
//   point's direction to the second's, in [0, 2pi) (single-precision 2 pi). 1: null arc.
// - getArcAngle: an arc's included angle (end angle minus start angle, brought into
//   (0, 2pi]); 0 for any other curve.
// - getCloestEndPointOnCurve: the end of the curve nearer to the point (the start on a tie).
//   1: an end point cannot be read.
// - getCurveLength: the distance along the curve at its end parameter. getCurveLengthOn2Pt:
//   the distance along the curve between the closest points of the two points (0 when the
//   curve refuses). getCurveMidPoint: the point halfway along. getCurveOtherEndPoint: the end
//   point other than the one the point is nearer to. Failures give zero values.
// - getCurvePoints: the start point, a polyline's inner vertices, the end point, appended
//   without duplicates (0.1). 1: null curve or an end point cannot be read.
// - getCurveVectAtPoint: the unit tangent at the curve's closest point to the point, in the
//   direction of travel; zero when refused.
// - isPointCurveStart / isPointCurveEnd / isPointOnCurve2End: the point is nearer than 0.1
//   (strictly) to the start, the end, either end.
// - isPointInCurve: the point lies inside the area a closed curve encloses, seen from above
//   (plan), and not on the curve (within 0.1); false for an open curve. isPointInLoopCurve
//   takes the curve as closed even when it is not (its end joined to its start by a straight
//   line); the array form takes the curves together as one boundary, whatever their order and
//   direction (even-odd rule: a point inside an odd number of loops is inside). Lines, arcs,
//   circles and polylines are exact (arcs as arcs); other curves are followed in small
//   straight pieces.
// - setArcPoint: the arc's start (flag true) or end angle set to the direction of the point
//   from the centre; centre and radius kept. setPolylinePoint: the first (flag true) or last
//   vertex moved to the point (in the polyline's plane), bulges kept. setCurvePoint(curve,
//   point, flag): lines, arcs and lightweight polylines through those members; 1 for other
//   kinds or a null curve. setCurvePoint(curve, from, to): the end at `from` (nearer than
//   0.1; the start wins) moved to `to`; 1 when `from` is at neither end.
//   setCurveAtSameOneEndPoint(point, c1, c2): the end of each curve nearer to the point moved
//   onto it; 1 when the first cannot be moved, 2 the second.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include <dbents.h>
#include <dbpl.h>
#include <gearc2d.h>
#include <gelnsg2d.h>

#include "DwgDatabase.h"
#include "DwgToolkitCommon.h"

using namespace dwgtoolkit;

namespace {

// A curve that is neither line, arc, circle nor polyline is followed in this many pieces.
const int kFollowPieces = 256;
// Where getArcBulge gives exactly 1.0: an included angle this close to pi.
const double kHalfCircleTol = 0.00001;
// Plan geometry (inside tests) is exact: it uses the double-precision circle, not the
// single-precision angles the members hand out.
const double kPi = std::numbers::pi;

// One piece of a boundary seen from above: a segment, or an arc running counter-clockwise
// from `start` through `sweep`.
struct PlanPiece {
  bool isArc = false;
  double ax = 0, ay = 0, bx = 0, by = 0;  // segment ends
  double cx = 0, cy = 0, r = 0, start = 0, sweep = 0;
};

PlanPiece planSegment(const AcGePoint3d& a, const AcGePoint3d& b) {
  PlanPiece p;
  p.ax = a.x;
  p.ay = a.y;
  p.bx = b.x;
  p.by = b.y;
  return p;
}

// The arc from s to e about c, counter-clockwise in plan when ccw, else clockwise.
PlanPiece planArc(const AcGePoint3d& c, double r, const AcGePoint3d& s, const AcGePoint3d& e, double sweep, bool ccw) {
  PlanPiece p;
  p.isArc = true;
  p.cx = c.x;
  p.cy = c.y;
  p.r = r;
  const AcGePoint3d& from = ccw ? s : e;
  p.start = std::atan2(from.y - c.y, from.x - c.x);
  p.sweep = sweep;
  return p;
}

bool followInPieces(AcDbCurve* pCurve, std::vector<PlanPiece>& pieces) {
  double t0 = 0.0, t1 = 0.0;
  if (pCurve->getStartParam(t0) != Acad::eOk || pCurve->getEndParam(t1) != Acad::eOk) return false;
  AcGePoint3d prev;
  if (pCurve->getPointAtParam(t0, prev) != Acad::eOk) return false;
  for (int k = 1; k <= kFollowPieces; k++) {
    AcGePoint3d next;
    if (pCurve->getPointAtParam(t0 + (t1 - t0) * k / kFollowPieces, next) != Acad::eOk) return false;
    pieces.push_back(planSegment(prev, next));
    prev = next;
  }
  return true;
}

bool polylinePieces(AcDbPolyline* pPline, std::vector<PlanPiece>& pieces) {
  const unsigned int n = pPline->numVerts();
  const unsigned int segments = pPline->isClosed() ? n : (n > 0 ? n - 1 : 0);
  for (unsigned int i = 0; i < segments; i++) {
    AcGePoint3d a, b;
    if (pPline->getPointAt(i, a) != Acad::eOk || pPline->getPointAt((i + 1) % n, b) != Acad::eOk) return false;
    if (pPline->segType(i) == AcDbPolyline::kArc) {
      // Seen from above, a polyline whose normal points down runs the other way round.
      double bulge = 0.0;
      pPline->getBulgeAt(i, bulge);
      if (pPline->normal().z < 0.0) bulge = -bulge;
      AcGeCircArc2d arc(AcGePoint2d(a.x, a.y), AcGePoint2d(b.x, b.y), bulge, Adesk::kFalse);
      PlanPiece p;
      p.isArc = true;
      p.cx = arc.center().x;
      p.cy = arc.center().y;
      p.r = arc.radius();
      p.start = arc.startAng();
      p.sweep = arc.sweep();
      pieces.push_back(p);
    } else {
      pieces.push_back(planSegment(a, b));
    }
  }
  return true;
}

// The curve's boundary pieces in plan; closeIt adds the straight line from end to start of an
// open curve.
bool planPieces(AcDbCurve* pCurve, bool closeIt, std::vector<PlanPiece>& pieces) {
  if (pCurve == NULL) return false;
  if (AcDbLine* pLine = AcDbLine::cast(pCurve)) {
    pieces.push_back(planSegment(pLine->startPoint(), pLine->endPoint()));
  } else if (AcDbArc* pArc = AcDbArc::cast(pCurve)) {
    AcGePoint3d s, e;
    pArc->getStartPoint(s);
    pArc->getEndPoint(e);
    double sweep = std::fmod(pArc->endAngle() - pArc->startAngle(), 2.0 * kPi);
    if (sweep <= 0.0) sweep += 2.0 * kPi;
    pieces.push_back(planArc(pArc->center(), pArc->radius(), s, e, sweep, pArc->normal().z >= 0.0));
  } else if (AcDbCircle* pCircle = AcDbCircle::cast(pCurve)) {
    PlanPiece p;
    p.isArc = true;
    p.cx = pCircle->center().x;
    p.cy = pCircle->center().y;
    p.r = pCircle->radius();
    p.sweep = 2.0 * kPi;
    pieces.push_back(p);
  } else if (AcDbPolyline* pPline = AcDbPolyline::cast(pCurve)) {
    if (!polylinePieces(pPline, pieces)) return false;
  } else if (!followInPieces(pCurve, pieces)) {
    return false;
  }
  if (closeIt && !pCurve->isClosed()) {
    AcGePoint3d s, e;
    if (pCurve->getStartPoint(s) != Acad::eOk || pCurve->getEndPoint(e) != Acad::eOk) return false;
    pieces.push_back(planSegment(e, s));
  }
  return true;
}

double segmentDistance(const PlanPiece& p, double x, double y) {
  double dx = p.bx - p.ax, dy = p.by - p.ay, len2 = dx * dx + dy * dy;
  double t = len2 > 0.0 ? std::clamp(((x - p.ax) * dx + (y - p.ay) * dy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(x - (p.ax + t * dx), y - (p.ay + t * dy));
}

double angleFromStart(const PlanPiece& p, double angle) {
  double a = std::fmod(angle - p.start, 2.0 * kPi);
  return a < 0.0 ? a + 2.0 * kPi : a;
}

double arcDistance(const PlanPiece& p, double x, double y) {
  if (angleFromStart(p, std::atan2(y - p.cy, x - p.cx)) <= p.sweep) return std::fabs(std::hypot(x - p.cx, y - p.cy) - p.r);
  double e = p.start + p.sweep;
  return std::min(std::hypot(x - p.cx - p.r * std::cos(p.start), y - p.cy - p.r * std::sin(p.start)),
                  std::hypot(x - p.cx - p.r * std::cos(e), y - p.cy - p.r * std::sin(e)));
}

// Crossings of the ray from (x, y) towards +X with a segment, half-open in y so that a ray
// through a shared end counts once.
int segmentCrossings(double ax, double ay, double bx, double by, double x, double y) {
  if ((ay > y) == (by > y)) return 0;
  double cross = ax + (y - ay) * (bx - ax) / (by - ay);
  return cross > x ? 1 : 0;
}

// The same for an arc, cut where it turns in y (at 90 and 270 degrees) into pieces along
// which y only grows or only falls, each crossed at most once.
int arcCrossings(const PlanPiece& p, double x, double y) {
  std::vector<double> cuts{p.start};
  for (double turn = -1.5 * kPi; turn < p.start + p.sweep + 4.0 * kPi; turn += kPi) {
    double a = turn;
    while (a <= p.start) a += 2.0 * kPi;
    if (a < p.start + p.sweep && std::find(cuts.begin(), cuts.end(), a) == cuts.end()) cuts.push_back(a);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.push_back(p.start + p.sweep);
  int crossings = 0;
  for (size_t i = 0; i + 1 < cuts.size(); i++) {
    double a0 = cuts[i], a1 = cuts[i + 1];
    double y0 = p.cy + p.r * std::sin(a0), y1 = p.cy + p.r * std::sin(a1);
    if ((y0 > y) == (y1 > y)) continue;
    // Where on this monotone piece y is reached: the angle between a0 and a1 with that sine.
    double s = std::clamp((y - p.cy) / p.r, -1.0, 1.0);
    double base = std::asin(s);
    for (double cand : {base, kPi - base}) {
      double a = cand;
      while (a < a0) a += 2.0 * kPi;
      while (a > a1 + 2.0 * kPi) a -= 2.0 * kPi;
      if (a >= a0 && a <= a1) {
        if (p.cx + p.r * std::cos(a) > x) crossings++;
        break;
      }
    }
  }
  return crossings;
}

// Inside by the even-odd rule, and not on any piece.
bool insidePieces(const std::vector<PlanPiece>& pieces, const AcGePoint3d& pt) {
  int crossings = 0;
  for (const PlanPiece& p : pieces) {
    double d = p.isArc ? arcDistance(p, pt.x, pt.y) : segmentDistance(p, pt.x, pt.y);
    if (d < kOnCurveTol) return false;
    crossings += p.isArc ? arcCrossings(p, pt.x, pt.y) : segmentCrossings(p.ax, p.ay, p.bx, p.by, pt.x, pt.y);
  }
  return crossings % 2 == 1;
}

}  // namespace

int CDwgDatabase::getArc2PtAngle(double& angle, AcDbArc* pArc, AcGePoint3d p1, AcGePoint3d p2) {
  angle = 0.0;
  if (pArc == NULL) return 1;
  AcGePoint3d c = pArc->center();
  angle = std::atan2(p2.y - c.y, p2.x - c.x) - std::atan2(p1.y - c.y, p1.x - c.x);
  if (pArc->normal().z < 0.0) angle = -angle;
  while (angle < 0.0) angle += kTwoPiSingle;
  while (angle >= kTwoPiSingle) angle -= kTwoPiSingle;
  return 0;
}

double CDwgDatabase::getArcAngle(AcDbCurve* pCurve) {
  AcDbArc* pArc = AcDbArc::cast(pCurve);
  if (pArc == NULL) return 0.0;
  double angle = pArc->endAngle() - pArc->startAngle();
  while (angle <= 0.0) angle += kTwoPiSingle;
  while (angle > kTwoPiSingle) angle -= kTwoPiSingle;
  return angle;
}

double CDwgDatabase::getArcBulge(AcDbCurve* pCurve) {
  if (AcDbArc::cast(pCurve) == NULL) return 0.0;
  double angle = getArcAngle(pCurve);
  if (std::fabs(angle - kPiSingle) < kHalfCircleTol) return 1.0;
  return std::tan(angle * 0.25);
}

int CDwgDatabase::getCloestEndPointOnCurve(AcGePoint3d& end, AcGePoint3d pt, AcDbCurve* pCurve) {
  AcGePoint3d s, e;
  if (getCurvePoint(s, e, pCurve) != 0) return 1;
  end = pt.distanceTo(s) <= pt.distanceTo(e) ? s : e;
  return 0;
}

int CDwgDatabase::getCloestPointOnCurve(AcGePoint3d& closest, AcGePoint3d pt, AcDbCurve* pCurve, bool extend) {
  if (pCurve == NULL || pCurve->getClosestPointTo(pt, closest, extend) != Acad::eOk) return 1;
  return 0;
}

int CDwgDatabase::getCloestPointOnCurve(AcGePoint3d& closest, AcGePoint3d pt, AcDbObjectId id, bool extend) {
  OpenedObject<AcDbCurve> curve;
  if (openEntity(curve, id, AcDb::kForRead) != Acad::eOk) return 1;
  return getCloestPointOnCurve(closest, pt, curve.get(), extend) == 0 ? 0 : 2;
}

AcGePoint3d CDwgDatabase::getCurveEndPt(AcDbCurve* pCurve) {
  AcGePoint3d p;
  return getCurveEndPt(p, pCurve) == 0 ? p : AcGePoint3d::kOrigin;
}

AcGePoint3d CDwgDatabase::getCurveEndPt(AcDbObjectId id) {
  AcGePoint3d p;
  return getCurveEndPt(p, id) == 0 ? p : AcGePoint3d::kOrigin;
}

int CDwgDatabase::getCurveEndPt(AcGePoint3d& pt, AcDbCurve* pCurve) {
  if (pCurve == NULL || pCurve->getEndPoint(pt) != Acad::eOk) return 1;
  return 0;
}

int CDwgDatabase::getCurveEndPt(AcGePoint3d& pt, AcDbObjectId id) {
  OpenedObject<AcDbCurve> curve;
  if (openEntity(curve, id, AcDb::kForRead) != Acad::eOk) return 1;
  return getCurveEndPt(pt, curve.get()) == 0 ? 0 : 2;
}

double CDwgDatabase::getCurveLength(AcDbCurve* pCurve) {
  double length = 0.0;
  return getCurveLength(length, pCurve) == 0 ? length : 0.0;
}

double CDwgDatabase::getCurveLength(AcDbObjectId id) {
  double length = 0.0;
  m_nLastResult = getCurveLength(length, id);
  return m_nLastResult == 0 ? length : 0.0;
}

int CDwgDatabase::getCurveLength(double& length, AcDbCurve* pCurve) {
  length = 0.0;
  double endParam = 0.0;
  if (pCurve == NULL || pCurve->getEndParam(endParam) != Acad::eOk) return 1;
  if (pCurve->getDistAtParam(endParam, length) != Acad::eOk) {
    length = 0.0;
    return 1;
  }
  return 0;
}

int CDwgDatabase::getCurveLength(double& length, AcDbObjectId id) {
  length = 0.0;
  OpenedObject<AcDbCurve> curve;
  if (openEntity(curve, id, AcDb::kForRead) != Acad::eOk) return 1;
  return getCurveLength(length, curve.get()) == 0 ? 0 : 2;
}

double CDwgDatabase::getCurveLengthOn2Pt(AcGePoint3d p1, AcGePoint3d p2, AcDbCurve* pCurve) {
  AcGePoint3d c1, c2;
  double d1 = 0.0, d2 = 0.0;
  if (getCloestPointOnCurve(c1, p1, pCurve, false) != 0 || getCloestPointOnCurve(c2, p2, pCurve, false) != 0) return 0.0;
  if (pCurve->getDistAtPoint(c1, d1) != Acad::eOk || pCurve->getDistAtPoint(c2, d2) != Acad::eOk) return 0.0;
  return std::fabs(d2 - d1);
}

AcGePoint3d CDwgDatabase::getCurveMidPoint(AcDbCurve* pCurve) {
  double length = 0.0;
  AcGePoint3d mid;
  if (getCurveLength(length, pCurve) != 0 || pCurve->getPointAtDist(length * 0.5, mid) != Acad::eOk)
    return AcGePoint3d::kOrigin;
  return mid;
}

AcGePoint3d CDwgDatabase::getCurveMidPoint(AcDbObjectId id) {
  OpenedObject<AcDbCurve> curve;
  if (openEntity(curve, id, AcDb::kForRead) != Acad::eOk) return AcGePoint3d::kOrigin;
  return getCurveMidPoint(curve.get());
}

AcGePoint3d CDwgDatabase::getCurveOtherEndPoint(AcGePoint3d pt, AcDbCurve* pCurve) {
  AcGePoint3d s, e;
  if (getCurvePoint(s, e, pCurve) != 0) return AcGePoint3d::kOrigin;
  return pt.distanceTo(s) <= pt.distanceTo(e) ? e : s;
}

AcGePoint3d CDwgDatabase::getCurveOtherEndPoint(AcGePoint3d pt, AcDbObjectId id) {
  OpenedObject<AcDbCurve> curve;
  if (openEntity(curve, id, AcDb::kForRead) != Acad::eOk) return AcGePoint3d::kOrigin;
  return getCurveOtherEndPoint(pt, curve.get());
}

int CDwgDatabase::getCurvePoint(AcGePoint3d& pt, AcDbCurve* pCurve, bool start) {
  AcGePoint3d s, e;
  if (getCurvePoint(s, e, pCurve) != 0) return 11;
  pt = start ? s : e;
  return 0;
}

int CDwgDatabase::getCurvePoint(AcGePoint3d& start, AcGePoint3d& end, AcDbCurve* pCurve) {
  if (pCurve == NULL || pCurve->getStartPoint(start) != Acad::eOk) return 1;
  if (pCurve->getEndPoint(end) != Acad::eOk) return 2;
  return 0;
}

int CDwgDatabase::getCurvePoint(AcGePoint3d& start, AcGePoint3d& end, AcDbObjectId id) {
  OpenedObject<AcDbCurve> curve;
  if (openEntity(curve, id, AcDb::kForRead) != Acad::eOk) return 1;
  return getCurvePoint(start, end, curve.get());
}

int CDwgDatabase::getCurvePoints(AcGePoint3dArray& points, AcDbCurve* pCurve) {
  AcGePoint3d s, e;
  if (getCurvePoint(s, e, pCurve) != 0) return 1;
  addPointToArray(points, s);
  if (AcDbPolyline* pPline = AcDbPolyline::cast(pCurve)) {
    for (unsigned int i = 1; i + 1 < pPline->numVerts(); i++) {
      AcGePoint3d v;
      if (pPline->getPointAt(i, v) == Acad::eOk) addPointToArray(points, v);
    }
  }
  addPointToArray(points, e);
  return 0;
}

AcGePoint3d CDwgDatabase::getCurveStartPt(AcDbCurve* pCurve) {
  AcGePoint3d p;
  return getCurveStartPt(p, pCurve) == 0 ? p : AcGePoint3d::kOrigin;
}

AcGePoint3d CDwgDatabase::getCurveStartPt(AcDbObjectId id) {
  AcGePoint3d p;
  return getCurveStartPt(p, id) == 0 ? p : AcGePoint3d::kOrigin;
}

int CDwgDatabase::getCurveStartPt(AcGePoint3d& pt, AcDbCurve* pCurve) {
  if (pCurve == NULL || pCurve->getStartPoint(pt) != Acad::eOk) return 1;
  return 0;
}

int CDwgDatabase::getCurveStartPt(AcGePoint3d& pt, AcDbObjectId id) {
  OpenedObject<AcDbCurve> curve;
  if (openEntity(curve, id, AcDb::kForRead) != Acad::eOk) return 1;
  return getCurveStartPt(pt, curve.get()) == 0 ? 0 : 2;
}

AcGeVector3d CDwgDatabase::getCurveVectAtPoint(AcDbCurve* pCurve, AcGePoint3d pt) {
  AcGePoint3d on;
  AcGeVector3d tangent;
  if (getCloestPointOnCurve(on, pt, pCurve, false) != 0 || pCurve->getFirstDeriv(on, tangent) != Acad::eOk ||
      tangent.isZeroLength())
    return AcGeVector3d::kIdentity;
  return tangent.normal();
}

bool CDwgDatabase::isPointCurveEnd(AcDbCurve* pCurve, AcGePoint3d pt) {
  AcGePoint3d e;
  return getCurveEndPt(e, pCurve) == 0 && pt.distanceTo(e) < kOnCurveTol;
}

bool CDwgDatabase::isPointCurveStart(AcDbCurve* pCurve, AcGePoint3d pt) {
  AcGePoint3d s;
  return getCurveStartPt(s, pCurve) == 0 && pt.distanceTo(s) < kOnCurveTol;
}

bool CDwgDatabase::isPointInCurve(AcDbCurve* pCurve, AcGePoint3d pt) {
  if (pCurve == NULL || !pCurve->isClosed()) return false;
  std::vector<PlanPiece> pieces;
  return planPieces(pCurve, false, pieces) && insidePieces(pieces, pt);
}

bool CDwgDatabase::isPointInLoopCurve(AcDbCurve* pCurve, AcGePoint3d pt) {
  std::vector<PlanPiece> pieces;
  return planPieces(pCurve, true, pieces) && insidePieces(pieces, pt);
}

bool CDwgDatabase::isPointInLoopCurve(AcDbVoidPtrArray& curves, AcGePoint3d pt) {
  std::vector<PlanPiece> pieces;
  for (int i = 0; i < curves.length(); i++) {
    if (!planPieces(AcDbCurve::cast(static_cast<AcDbObject*>(curves[i])), false, pieces)) return false;
  }
  return !pieces.empty() && insidePieces(pieces, pt);
}

bool CDwgDatabase::isPointNearCurveStart(AcGePoint3d pt, AcDbCurve* pCurve) {
  AcGePoint3d s, e;
  if (getCurvePoint(s, e, pCurve) != 0) return false;
  if (isPointOnCurve(pt, pCurve, false)) {
    AcGePoint3d on;
    double along = 0.0, length = 0.0;
    if (pCurve->getClosestPointTo(pt, on) == Acad::eOk && pCurve->getDistAtPoint(on, along) == Acad::eOk &&
        getCurveLength(length, pCurve) == 0)
      return along < length - along;
  }
  return pt.distanceTo(s) < pt.distanceTo(e);
}

bool CDwgDatabase::isPointOnCurve(AcGePoint3d pt, AcDbCurve* pCurve, bool extend) {
  AcGePoint3d on;
  if (getCloestPointOnCurve(on, pt, pCurve, extend) != 0) return false;
  return pt.distanceTo(on) < kOnCurveTol;
}

bool CDwgDatabase::isPointOnCurve(AcGePoint3d pt, AcDbObjectId id, bool extend) {
  OpenedObject<AcDbCurve> curve;
  if (openEntity(curve, id, AcDb::kForRead) != Acad::eOk) return false;
  return isPointOnCurve(pt, curve.get(), extend);
}

bool CDwgDatabase::isPointOnCurve2End(AcGePoint3d pt, AcDbCurve*& pCurve) {
  return isPointCurveStart(pCurve, pt) || isPointCurveEnd(pCurve, pt);
}

bool CDwgDatabase::isPointOnCurveEnd(bool& isStart, AcGePoint3d pt, AcDbCurve* pCurve) {
  AcGePoint3d s, e;
  if (getCurvePoint(s, e, pCurve) != 0) return false;
  if (pt.distanceTo(s) < kOnCurveTol) {
    isStart = true;
    return true;
  }
  if (pt.distanceTo(e) < kOnCurveTol) {
    isStart = false;
    return true;
  }
  return false;
}

bool CDwgDatabase::isPointOnCurveEnd(bool& isStart, AcGePoint3d pt, AcDbObjectId id) {
  OpenedObject<AcDbCurve> curve;
  if (openEntity(curve, id, AcDb::kForRead) != Acad::eOk) return false;
  return isPointOnCurveEnd(isStart, pt, curve.get());
}

int CDwgDatabase::setArcPoint(AcDbArc*& pArc, AcGePoint3d pt, bool start) {
  if (pArc == NULL) return 1;
  // The angle in the arc's own plane: the point's direction from the centre in its frame.
  AcGeMatrix3d toPlane;
  toPlane.setToWorldToPlane(pArc->normal());
  AcGeVector3d dir = (pt - pArc->center()).transformBy(toPlane);
  double angle = std::atan2(dir.y, dir.x);
  if (angle < 0.0) angle += kTwoPiSingle;
  Acad::ErrorStatus es = start ? pArc->setStartAngle(angle) : pArc->setEndAngle(angle);
  return es == Acad::eOk ? 0 : 2;
}

int CDwgDatabase::setCurveAtSameOneEndPoint(AcGePoint3d pt, AcDbCurve*& pFirst, AcDbCurve*& pSecond) {
  AcGePoint3d s, e;
  m_nLastResult = getCurvePoint(s, e, pFirst);
  if (m_nLastResult != 0) return 1;
  m_nLastResult = setCurvePoint(pFirst, pt, pt.distanceTo(s) <= pt.distanceTo(e));
  if (m_nLastResult != 0) return 1;
  m_nLastResult = getCurvePoint(s, e, pSecond);
  if (m_nLastResult != 0) return 2;
  m_nLastResult = setCurvePoint(pSecond, pt, pt.distanceTo(s) <= pt.distanceTo(e));
  if (m_nLastResult != 0) return 2;
  return 0;
}

int CDwgDatabase::setCurvePoint(AcDbCurve*& pCurve, AcGePoint3d from, AcGePoint3d to) {
  bool isStart = false;
  if (!isPointOnCurveEnd(isStart, from, pCurve)) return 1;
  return setCurvePoint(pCurve, to, isStart);
}

int CDwgDatabase::setCurvePoint(AcDbCurve*& pCurve, AcGePoint3d pt, bool start) {
  if (AcDbLine* pLine = AcDbLine::cast(pCurve)) return setLinePoint(pLine, pt, start);
  if (AcDbArc* pArc = AcDbArc::cast(pCurve)) return setArcPoint(pArc, pt, start);
  if (AcDbPolyline* pPline = AcDbPolyline::cast(pCurve)) return setPolylinePoint(pPline, pt, start);
  return 1;
}

int CDwgDatabase::setCurvePoint(AcGePoint3d start, AcGePoint3d end, AcDbCurve*& pCurve) {
  setCurvePoint(pCurve, start, true);
  setCurvePoint(pCurve, end, false);
  return 0;
}

int CDwgDatabase::setCurvePoint(AcGePoint3d start, AcGePoint3d end, AcDbObjectId id) {
  OpenedObject<AcDbCurve> curve;
  if (openEntity(curve, id, AcDb::kForWrite) != Acad::eOk) return 1;
  AcDbCurve* pCurve = curve.get();
  return setCurvePoint(start, end, pCurve);
}

int CDwgDatabase::setLinePoint(AcDbLine*& pLine, AcGePoint3d pt, bool start) {
  if (pLine == NULL) return 1;
  if (start)
    pLine->setStartPoint(pt);
  else
    pLine->setEndPoint(pt);
  return 0;
}

int CDwgDatabase::setPolylinePoint(AcDbPolyline*& pPline, AcGePoint3d pt, bool start) {
  if (pPline == NULL || pPline->numVerts() == 0) return 1;
  AcGeMatrix3d toPlane;
  toPlane.setToWorldToPlane(pPline->normal());
  AcGePoint3d inPlane = pt;
  inPlane.transformBy(toPlane);
  unsigned int index = start ? 0 : pPline->numVerts() - 1;
  return pPline->setPointAt(index, AcGePoint2d(inPlane.x, inPlane.y)) == Acad::eOk ? 0 : 2;
}
