// CDwgDatabase: curve chains, zones and boundary loops — the curves at a point, the extreme
// turn at a junction, chaining curves end to end, zones of connected curves, the loop around
// a picked point, a zone's outline, and regions made from curves.
//
// The array members give the results their definitions give (same curves, same order) with an
// index of the curves' boxes or ends instead of rescanning every curve at each step.
//
// How the loop walks keep to their side (the turn rule left open by the definition): at each
// junction the walk looks back along the curve it came in on and takes, of the curves leaving
// the junction, the one whose leaving direction is the largest counter-clockwise angle from
// that backward direction — the sharpest left turn — so the face being walked round stays on
// the walk's left. The first step is taken the same way with the ray's backward direction
// (towards the pick point) for the inner loop, and with the ray's own direction (away from
// the curves) for the outer loop, so the inner walk goes round the face the pick lies in and
// the outer walk round the outside of the curves the ray met last. A curve passing through a
// junction in its interior leaves it both ways.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <queue>
#include <vector>

#include <dbents.h>
#include <dbpl.h>
#include <dbregion.h>

#include "DwgDatabase.h"
#include "DwgSpatialIndex.h"
#include "DwgToolkitCommon.h"

using namespace dwgtoolkit;

namespace {

const double kPi = std::numbers::pi;
// Two curve ends within this distance continue one another (sortCurvesByContinue).
const double kContinueTol = 0.001;
// How far from the first curve of a zone its outline search picks (getCurveZoneOutLoop).
const double kOutlinePickOffset = 10.0;
// A walk's heading at a junction is taken towards the point this share of the curve's length
// along it.
const double kHeadingShare = 1e-4;

AcDbCurve* curveAt(AcDbVoidPtrArray& curves, int i) { return AcDbCurve::cast(static_cast<AcDbObject*>(curves[i])); }

double ccwAngle(const AcGeVector3d& from, const AcGeVector3d& to) {
  double a = std::atan2(to.y, to.x) - std::atan2(from.y, from.x);
  while (a < 0.0) a += 2.0 * kPi;
  while (a >= 2.0 * kPi) a -= 2.0 * kPi;
  return a;
}

// The curves of an array indexed by their boxes, for "which curves pass near this point".
class CurveIndex {
public:
  explicit CurveIndex(AcDbVoidPtrArray& curves) : m_curves(curves), m_boxes(curves.length()) {
    for (int i = 0; i < curves.length(); i++) {
      AcDbCurve* pCurve = curveAt(curves, i);
      if (pCurve == NULL || pCurve->getGeomExtents(m_boxes[i]) != Acad::eOk) m_boxes[i] = AcDbExtents();
    }
    m_grid.reset(new BoxGrid(m_boxes, kOnCurveTol));
  }
  // The curves the point lies on (isPointOnCurve, no extension), in input order.
  void curvesAt(const AcGePoint3d& pt, std::vector<int>& out) const {
    AcDbExtents probe(pt, pt);
    std::vector<int> candidates;
    m_grid->query(probe, candidates);
    out.clear();
    for (int i : candidates)
      if (CDwgDatabase::isPointOnCurve(pt, curveAt(m_curves, i), false)) out.push_back(i);
  }

private:
  AcDbVoidPtrArray& m_curves;
  std::vector<AcDbExtents> m_boxes;
  std::unique_ptr<BoxGrid> m_grid;
};

// A way of leaving a junction: along a curve, towards one of its ends.
struct Leaving {
  int curve = -1;
  AcGeVector3d dir;
  AcGePoint3d target;  // the end the walk reaches along it
};

// The direction in which a walk leaving pt along a curve heads: towards a point a little way
// along it rather than the tangent, so that curves leaving a junction tangent to each other (a
// wall line and the arc that rounds its end) are told apart by the way they bend.
bool headingAlong(AcDbCurve* pCurve, const AcGePoint3d& pt, bool towardsEnd, AcGeVector3d& heading) {
  AcGePoint3d on, ahead;
  double at = 0.0, length = 0.0;
  if (pCurve->getClosestPointTo(pt, on) != Acad::eOk || pCurve->getDistAtPoint(on, at) != Acad::eOk ||
      CDwgDatabase::getCurveLength(length, pCurve) != 0 || length <= 0.0)
    return false;
  const double step = std::max(length * kHeadingShare, 0.0);
  const double to = towardsEnd ? std::min(at + step, length) : std::max(at - step, 0.0);
  if (to == at || pCurve->getPointAtDist(to, ahead) != Acad::eOk) return false;
  heading = ahead - on;
  return !heading.isZeroLength();
}

void leavingWays(AcDbVoidPtrArray& curves, const std::vector<int>& at, const AcGePoint3d& pt, int except,
                 std::vector<Leaving>& ways) {
  ways.clear();
  for (int i : at) {
    if (i == except) continue;
    AcDbCurve* pCurve = curveAt(curves, i);
    AcGePoint3d s, e;
    if (CDwgDatabase::getCurvePoint(s, e, pCurve) != 0) continue;
    const bool atStart = pt.distanceTo(s) < kOnCurveTol, atEnd = pt.distanceTo(e) < kOnCurveTol;
    AcGeVector3d heading;
    if ((!atEnd || atStart) && headingAlong(pCurve, pt, true, heading)) ways.push_back({i, heading, e});
    if (!atStart && headingAlong(pCurve, pt, false, heading)) ways.push_back({i, heading, s});
  }
}

// The sharpest left turn from `back`; false when there is no way.
bool sharpestLeft(const std::vector<Leaving>& ways, const AcGeVector3d& back, Leaving& chosen) {
  double best = -1.0;
  for (const Leaving& w : ways) {
    double a = ccwAngle(back, w.dir);
    if (a > best) {
      best = a;
      chosen = w;
    }
  }
  return best >= 0.0;
}

// The backward direction at the end of a walk along a curve arriving at pt: heading back along
// the curve from pt (towards its start when the walk arrived at its end).
AcGeVector3d backwardAt(AcDbCurve* pCurve, const AcGePoint3d& pt) {
  AcGeVector3d back;
  if (!headingAlong(pCurve, pt, !CDwgDatabase::isPointCurveEnd(pCurve, pt), back)) {
    back = CDwgDatabase::getCurveVectAtPoint(pCurve, pt);
    if (CDwgDatabase::isPointCurveEnd(pCurve, pt)) back = -back;
  }
  return back;
}

// The walk of getRegionFromCurveIdArrayOnFirstCurvePoint from `first` leaving `start`.
int walkLoop(AcDbVoidPtrArray& loop, AcDbVoidPtrArray& curves, const CurveIndex& index, int first,
             const AcGePoint3d& start) {
  AcDbCurve* pFirst = curveAt(curves, first);
  loop.append(curves[first]);
  AcGePoint3d current = CDwgDatabase::getCurveOtherEndPoint(start, pFirst);
  int currentCurve = first;
  std::vector<int> at;
  std::vector<Leaving> ways;
  // Each curve can be walked at most twice (once each way); more is a walk that cannot close.
  for (int steps = 0; current.distanceTo(start) > kPointArrayTol; steps++) {
    if (steps > 2 * curves.length()) return 3;
    index.curvesAt(current, at);
    if (at.empty()) return 0;  // a dead end: the loop stays open
    if (at.size() < 2) return 3;
    leavingWays(curves, at, current, currentCurve, ways);
    Leaving next;
    if (!sharpestLeft(ways, backwardAt(curveAt(curves, currentCurve), current), next)) return 3;
    loop.append(curves[next.curve]);
    currentCurve = next.curve;
    current = next.target;
  }
  return 0;
}

// The loop search from a pick point along the ray (1, 1, 0).
int loopAroundPoint(AcDbVoidPtrArray& loop, AcDbVoidPtrArray& curves, const AcGePoint3d& pick, bool outer) {
  loop.setLogicalLength(0);
  AcGeVector3d dir = AcGeVector3d(1.0, 1.0, 0.0).normal();
  AcDbRay ray;
  ray.setBasePoint(pick);
  ray.setUnitDir(dir);
  AcGePoint3dArray hits;
  for (int i = 0; i < curves.length(); i++) {
    AcDbCurve* pCurve = curveAt(curves, i);
    AcGePoint3dArray found;
    if (pCurve == NULL || ray.intersectWith(pCurve, AcDb::kOnBothOperands, found) != Acad::eOk) continue;
    CDwgDatabase::addPointToArray(hits, found);
  }
  if (hits.length() == 0) return 1;
  AcGePoint3d hit = hits[0];
  for (int i = 1; i < hits.length(); i++) {
    double d = hits[i].distanceTo(pick);
    if (outer ? d > hit.distanceTo(pick) : d < hit.distanceTo(pick)) hit = hits[i];
  }
  if (hit.distanceTo(pick) <= kPointArrayTol) return 1;
  CurveIndex index(curves);
  std::vector<int> at;
  index.curvesAt(hit, at);
  if (at.empty()) return 3;
  std::vector<Leaving> ways;
  leavingWays(curves, at, hit, -1, ways);
  Leaving first;
  if (!sharpestLeft(ways, outer ? dir : -dir, first)) return 3;
  // The walk starts at the end the chosen way leaves from and returns to it.
  AcDbCurve* pFirst = curveAt(curves, first.curve);
  AcGePoint3d start = CDwgDatabase::getCurveOtherEndPoint(first.target, pFirst);
  if (start.distanceTo(first.target) <= kPointArrayTol) start = first.target;  // a closed curve
  return walkLoop(loop, curves, index, first.curve, start) == 0 ? 0 : 5;
}

}  // namespace

void CDwgDatabase::getCurveArrayAtPointFromArray(AcDbVoidPtrArray& out, AcDbVoidPtrArray& curves, AcGePoint3d pt) {
  out.setLogicalLength(0);
  for (int i = 0; i < curves.length(); i++) {
    AcDbCurve* pCurve = curveAt(curves, i);
    if (pCurve != NULL && isPointOnCurve(pt, pCurve, false)) out.append(curves[i]);
  }
}

int CDwgDatabase::getCurveAtPtSortInfo(int& maxIndex, int& minIndex, AcDbVoidPtrArray& curves, AcGePoint3d pt,
                                       AcGeVector3d ref) {
  if (curves.length() < 2) return 1;
  double most = 0.0, least = 0.0;
  for (int i = 0; i < curves.length(); i++) {
    double a = ccwAngle(ref, getCurveVectAtPoint(curveAt(curves, i), pt));
    if (i == 0 || a > most) {
      most = a;
      maxIndex = i;
    }
    if (i == 0 || a < least) {
      least = a;
      minIndex = i;
    }
  }
  return 0;
}

int CDwgDatabase::sortCurvesByContinue(AcDbVoidPtrArray& curves, bool bridgeGaps, double gapTolerance) {
  const int n = curves.length();
  if (n <= 1) return 0;
  std::vector<AcGePoint3d> starts(n), ends(n);
  std::vector<bool> remaining(n, true);
  EndPointGrid grid(kContinueTol);
  for (int i = 0; i < n; i++) {
    if (getCurvePoint(starts[i], ends[i], curveAt(curves, i)) != 0) return 1;
    grid.add(starts[i], i);
    grid.add(ends[i], i);
  }
  remaining[0] = false;
  int left = n - 1;
  AcDbVoidPtrArray front, back;  // chain = reversed(front) + [first] + back
  AcDbVoidPtrArray bridges;      // lines made to bridge gaps, deleted if the chain fails
  std::vector<int> near;
  for (int side = 0; side < 2; side++) {
    AcGePoint3d freeEnd = side == 0 ? ends[0] : starts[0];
    AcDbVoidPtrArray& grow = side == 0 ? back : front;
    for (;;) {
      // The first remaining curve in input order that continues the free end.
      grid.query(freeEnd, kContinueTol, near);
      int next = -1;
      for (int j : near)
        if (remaining[j]) {
          next = j;
          break;
        }
      if (next >= 0) {
        remaining[next] = false;
        left--;
        grow.append(curves[next]);
        freeEnd = starts[next].distanceTo(freeEnd) <= kContinueTol ? ends[next] : starts[next];
        continue;
      }
      if (!bridgeGaps || left == 0) break;
      // The nearest remaining end (the first found on a tie, start before end).
      int best = -1;
      bool bestIsStart = true;
      double bestDist = 0.0;
      for (int j = 0; j < n; j++) {
        if (!remaining[j]) continue;
        for (bool isStart : {true, false}) {
          double d = (isStart ? starts[j] : ends[j]).distanceTo(freeEnd);
          if (best < 0 || d < bestDist) {
            best = j;
            bestIsStart = isStart;
            bestDist = d;
          }
        }
      }
      if (best < 0 || bestDist > gapTolerance) break;
      AcGePoint3d to = bestIsStart ? starts[best] : ends[best];
      AcDbLine* pBridge = new AcDbLine(freeEnd, to);
      bridges.append(pBridge);
      grow.append(pBridge);
      freeEnd = to;
    }
  }
  if (left > 0) {
    deleteAcdbVoidArray(bridges);
    return 1;
  }
  AcDbVoidPtrArray chain;
  for (int i = front.length() - 1; i >= 0; i--) chain.append(front[i]);
  chain.append(curves[0]);
  chain.append(back);
  curves = chain;
  return 0;
}

void CDwgDatabase::getCurvesZone(CArray<AcDbVoidPtrArray, const AcDbVoidPtrArray&>& zones, AcDbVoidPtrArray& curves) {
  zones.RemoveAll();
  const int n = curves.length();
  std::vector<AcGePoint3d> starts(n), ends(n);
  std::vector<bool> readable(n), used(n, false);
  EndPointGrid grid(kPointArrayTol);
  for (int i = 0; i < n; i++) {
    readable[i] = getCurvePoint(starts[i], ends[i], curveAt(curves, i)) == 0;
    if (!readable[i]) continue;
    grid.add(starts[i], i);
    grid.add(ends[i], i);
  }
  // Each zone grows by the first remaining curve (in input order) with an end near one of the
  // zone's points: a queue of the candidates, smallest index first.
  std::vector<int> near;
  for (int seed = 0; seed < n; seed++) {
    if (used[seed]) continue;
    used[seed] = true;
    AcDbVoidPtrArray zone;
    zone.append(curves[seed]);
    if (readable[seed]) {
      NearPointSet points(kPointArrayTol);
      std::priority_queue<int, std::vector<int>, std::greater<int>> candidates;
      auto addPoint = [&](const AcGePoint3d& p) {
        if (!points.insertIfNew(p)) return;
        grid.query(p, kPointArrayTol, near);
        for (int j : near)
          if (!used[j]) candidates.push(j);
      };
      addPoint(starts[seed]);
      addPoint(ends[seed]);
      while (!candidates.empty()) {
        int j = candidates.top();
        candidates.pop();
        if (used[j]) continue;
        used[j] = true;
        zone.append(curves[j]);
        addPoint(starts[j]);
        addPoint(ends[j]);
      }
    }
    zones.Add(zone);
  }
}

int CDwgDatabase::getRegionFromCurveIdArrayOnPoint(AcDbVoidPtrArray& loop, AcDbVoidPtrArray& curves, AcGePoint3d pick,
                                                   bool outer) {
  m_nLastResult = loopAroundPoint(loop, curves, pick, outer);
  return m_nLastResult;
}

int CDwgDatabase::getRegionFromCurveIdArrayOnPoint(AcDbVoidPtrArray& loop, AcDbObjectIdArray& ids, AcGePoint3d pick,
                                                   bool outer) {
  // The curves are read into copies; the loop holds those copies, the caller's to delete.
  loop.setLogicalLength(0);
  AcDbVoidPtrArray copies;
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbCurve> curve;
    AcDbEntity* pCopy = NULL;
    m_esLast = openEntity(curve, ids[i], AcDb::kForRead);
    if (m_esLast != Acad::eOk || getEntCopy(pCopy, curve.get()) != 0) continue;
    copies.append(pCopy);
  }
  m_nLastResult = loopAroundPoint(loop, copies, pick, outer);
  AcDbVoidPtrArray unused(copies);
  removeAcdbVoidArray(unused, loop);
  deleteAcdbVoidArray(unused);
  return m_nLastResult;
}

int CDwgDatabase::getRegionFromCurveIdArrayOnPoint(AcDbRegion*& pRegion, AcDbObjectIdArray& ids, AcGePoint3d pick,
                                                   bool outer) {
  pRegion = NULL;
  AcDbVoidPtrArray loop;
  m_nLastResult = getRegionFromCurveIdArrayOnPoint(loop, ids, pick, outer);
  int rc = m_nLastResult;
  if (rc == 0 && createRegionFromCurves(pRegion, loop) != 0) rc = 6;
  deleteAcdbVoidArray(loop);
  return rc;
}

int CDwgDatabase::getRegionFromCurveIdArrayOnFirstCurvePoint(AcDbVoidPtrArray& loop, AcDbVoidPtrArray& curves,
                                                             AcDbCurve* pFirst, AcGePoint3d start) {
  loop.setLogicalLength(0);
  int first = curves.find(pFirst);
  AcDbVoidPtrArray withFirst(curves);
  if (first < 0) {
    withFirst.append(pFirst);
    first = withFirst.length() - 1;
  }
  CurveIndex index(withFirst);
  m_nLastResult = walkLoop(loop, withFirst, index, first, start);
  return m_nLastResult;
}

int CDwgDatabase::getCurveZoneOutLoop(AcDbVoidPtrArray& loop, AcDbVoidPtrArray& curves) {
  loop.setLogicalLength(0);
  AcDbCurve* pFirst = curves.length() > 0 ? curveAt(curves, 0) : NULL;
  double length = 0.0;
  AcGePoint3d mid;
  if (pFirst == NULL || getCurveLength(length, pFirst) != 0 || pFirst->getPointAtDist(length * 0.5, mid) != Acad::eOk)
    return 1;
  AcGeVector3d along = getCurveVectAtPoint(pFirst, mid);
  AcGeVector3d across(-along.y, along.x, 0.0);
  AcDbRay ray;
  ray.setBasePoint(mid);
  ray.setUnitDir(across);
  AcGePoint3dArray hits;
  for (int i = 0; i < curves.length(); i++) {
    AcGePoint3dArray found;
    AcDbCurve* pCurve = curveAt(curves, i);
    if (pCurve != NULL && ray.intersectWith(pCurve, AcDb::kOnBothOperands, found) == Acad::eOk) addPointToArray(hits, found);
  }
  if (hits.length() == 0) return 1;
  AcGePoint3d inner = hits.length() == 1 ? mid - across * kOutlinePickOffset : mid + across * kOutlinePickOffset;
  m_nLastResult = getRegionFromCurveIdArrayOnPoint(loop, curves, inner, true);
  return 0;
}

int CDwgDatabase::createRegionFromCurves(AcDbRegion*& pRegion, AcDbVoidPtrArray& curves) {
  pRegion = NULL;
  AcDbVoidPtrArray regions;
  if (AcDbRegion::createFromCurves(curves, regions) != Acad::eOk || regions.length() == 0) {
    deleteAcdbVoidArray(regions);
    return 1;
  }
  pRegion = AcDbRegion::cast(static_cast<AcDbObject*>(regions[0]));
  if (pRegion != NULL) regions.removeAt(0);
  deleteAcdbVoidArray(regions);
  return pRegion != NULL ? 0 : 1;
}

int CDwgDatabase::createRegionFromCurve(AcDbRegion*& pRegion, AcDbCurve* pCurve) {
  AcDbVoidPtrArray one;
  one.append(pCurve);
  return createRegionFromCurves(pRegion, one);
}

int CDwgDatabase::createRegionFromCurveArray(AcDbRegion*, AcDbVoidPtrArray& curves) {
  if (curves.length() == 0) return 1;
  AcDbVoidPtrArray regions;
  m_esLast = AcDbRegion::createFromCurves(curves, regions);
  bool made = m_esLast == Acad::eOk && regions.length() > 0;
  deleteAcdbVoidArray(regions);
  return made ? 0 : 2;
}
