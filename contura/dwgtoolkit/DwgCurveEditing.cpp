// CDwgDatabase: curve editing — breaking curves at points, linked groups, short curves,
// lines and arcs from two points and a bulge, polylines from curve chains, offsets, curves
// sorted around a point, and curves lying on one another united.
//
// Choices where the interface leaves the meaning to the name (codes count the steps):
// - createCurve(out, p1, p2, bulge): a line when |bulge| < 0.0001, else the arc from p1 to p2
//   with that bulge (counter-clockwise for a positive bulge). 1: the points coincide.
// - createPolyline(out, curves): one polyline through the lines, arcs and polylines in the
//   order given, each turned round where that continues the previous one; closed when it ends
//   within 0.1 of its start. 1: empty array or another kind of curve; 2: a gap wider than 0.1.
// - getPolylineFromCurves(out, curves): the curves chained (as sortCurvesByContinue, without
//   bridging, on a copy of the array) then createPolyline. 1: they do not form one chain;
//   2: the polyline could not be made. The id form (out, first, used, candidates): the curves
//   among the candidates connected to the first one end to end (as a zone), chained and made
//   into a polyline; `used` receives their ids. 1: the first curve cannot be opened; 2: a
//   candidate cannot be opened; 3: no single chain; 4: no polyline.
// - offsetCurveCopy(out, curve, dist): the curve's first offset curve at the signed distance.
//   1: refused or none.
// - sortCurvesAtPt(out, curves, pt, ccw): the curves passing within 0.1 of pt, ordered by the
//   direction in which each leaves pt (from +X, counter-clockwise ascending when ccw, else
//   descending); a curve through pt in its interior counts with the direction towards its
//   end. 1: none passes. The id form opens the curves for read (1: one cannot be opened).
// - unitTwoCurve(joined, c1, c2): when the curves lie on one another (isOnSameCurves at 0.1)
//   and touch or overlap (within 0.1), c1 is changed to cover both (lines: the two extreme
//   points along c1's direction; arcs: the union of their angle ranges); c2 is left as it is.
//   Other kinds are never joined. Returns 0. Id form (joined, id1, id2, eraseSecond): c1 opened
//   for write, c2 for read (write when it is to be erased, which happens only when joined).
//   1: c1 not opened; 2: c2 not opened.
// - unitCurvesOnSameCurve(curves): repeatedly joins the first pair (i < j, in order) that
//   unitTwoCurve joins: the later curve is deleted from the array (pointer form) or erased
//   (id form, the id removed), until no pair joins. 1 (id form): a curve cannot be opened.
// - unitRedrawCurve: the united curves written back. Id form: as unitCurvesOnSameCurve on the
//   database. Pointer forms: on the array itself, or (input, output) leaving the input as it
//   was and putting united copies into the output.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include <dbents.h>
#include <dbpl.h>
#include <gearc2d.h>

#include "DwgDatabase.h"
#include "DwgSpatialIndex.h"
#include "DwgToolkitCommon.h"

using namespace dwgtoolkit;

namespace {

const double kPi = std::numbers::pi;
// Ends of curves within this distance are linked (divideCurvesIsLinked2End).
const double kLinkTol = 5.0;

AcDbCurve* curveAt(AcDbVoidPtrArray& curves, int i) { return AcDbCurve::cast(static_cast<AcDbObject*>(curves[i])); }

bool curveEnds(AcDbCurve* c, AcGePoint3d& s, AcGePoint3d& e) { return CDwgDatabase::getCurvePoint(s, e, c) == 0; }

// Breaks one curve at one point; the output is emptied first. Codes as breakCurve's.
int breakAtPoint(AcDbVoidPtrArray& pieces, AcDbCurve* pCurve, const AcGePoint3d& pt, Acad::ErrorStatus& es) {
  pieces.setLogicalLength(0);
  bool isStart = false;
  if (CDwgDatabase::isPointOnCurveEnd(isStart, pt, pCurve)) return 3;
  if (!CDwgDatabase::isPointOnCurve(pt, pCurve, false)) return 1;
  AcGePoint3d on;
  pCurve->getClosestPointTo(pt, on);
  if (AcDbLine* pLine = AcDbLine::cast(pCurve)) {
    pieces.append(new AcDbLine(pLine->startPoint(), on));
    pieces.append(new AcDbLine(on, pLine->endPoint()));
    return 0;
  }
  if (AcDbArc* pArc = AcDbArc::cast(pCurve)) {
    double d = 0.0;
    pArc->getDistAtPoint(on, d);
    double split = pArc->startAngle() + d / pArc->radius();
    pieces.append(new AcDbArc(pArc->center(), pArc->normal(), pArc->radius(), pArc->startAngle(), split));
    pieces.append(new AcDbArc(pArc->center(), pArc->normal(), pArc->radius(), split, pArc->endAngle()));
    return 0;
  }
  if (AcDbPolyline::cast(pCurve) != NULL) {
    AcDbVoidPtrArray segments;
    es = pCurve->explode(segments);
    if (es != Acad::eOk) {
      CDwgDatabase::deleteAcdbVoidArray(segments);
      return 3;
    }
    for (int i = 0; i < segments.length(); i++) {
      AcDbCurve* pSeg = curveAt(segments, i);
      bool atEnd = false;
      if (pSeg == NULL || CDwgDatabase::isPointOnCurveEnd(atEnd, pt, pSeg) || !CDwgDatabase::isPointOnCurve(pt, pSeg, false))
        continue;
      AcDbVoidPtrArray halves;
      Acad::ErrorStatus inner = Acad::eOk;
      if (breakAtPoint(halves, pSeg, pt, inner) != 0) {
        CDwgDatabase::deleteAcdbVoidArray(halves);
        CDwgDatabase::deleteAcdbVoidArray(segments);
        return 5;
      }
      segments.removeAt(i);
      delete pSeg;
      segments.append(halves);
      break;
    }
    pieces = segments;
    return 0;
  }
  return 4;
}

// The outgoing direction of a curve at one of its points: along its travel, or against it at
// its end.
AcGeVector3d leavingDirection(AcDbCurve* pCurve, const AcGePoint3d& pt) {
  AcGeVector3d d = CDwgDatabase::getCurveVectAtPoint(pCurve, pt);
  if (CDwgDatabase::isPointCurveEnd(pCurve, pt) && !CDwgDatabase::isPointCurveStart(pCurve, pt)) d = -d;
  return d;
}

double planAngle(const AcGeVector3d& d) {
  double a = std::atan2(d.y, d.x);
  return a < 0.0 ? a + 2.0 * kPi : a;
}

}  // namespace

int CDwgDatabase::breakCurve(AcDbVoidPtrArray& pieces, AcDbCurve* pCurve, AcGePoint3d pt) {
  if (pCurve == NULL) {
    pieces.setLogicalLength(0);
    return 4;
  }
  int rc = breakAtPoint(pieces, pCurve, pt, m_esLast);
  if (rc != 0) deleteAcdbVoidArray(pieces);
  return rc;
}

int CDwgDatabase::breakCurve(AcDbVoidPtrArray& pieces, AcDbCurve* pCurve, AcGePoint3dArray points) {
  pieces.setLogicalLength(0);
  if (pCurve == NULL || points.length() == 0) return 1;
  AcGePoint3dArray breaks;
  for (int i = 0; i < points.length(); i++) {
    bool isStart = false;
    if (isPointOnCurveEnd(isStart, points[i], pCurve) || !isPointOnCurve(points[i], pCurve, false)) continue;
    addPointToArray(breaks, points[i]);
  }
  if (breaks.length() == 0) return 1;
  AcDbEntity* pCopy = NULL;
  m_esLast = pCurve->getTransformedCopy(AcGeMatrix3d::kIdentity, pCopy);
  if (m_esLast != Acad::eOk) return 4;
  pieces.append(pCopy);
  for (int b = 0; b < breaks.length(); b++) {
    for (int i = 0; i < pieces.length(); i++) {
      AcDbVoidPtrArray halves;
      Acad::ErrorStatus es = Acad::eOk;
      AcDbCurve* pPiece = curveAt(pieces, i);
      if (pPiece == NULL || breakAtPoint(halves, pPiece, breaks[b], es) != 0) {
        deleteAcdbVoidArray(halves);
        continue;
      }
      pieces.removeAt(i);
      delete pPiece;
      pieces.append(halves);
      break;
    }
  }
  return 0;
}

int CDwgDatabase::breakCurve(AcDbVoidPtrArray& pieces, AcDbObjectId id, AcGePoint3dArray points) {
  pieces.setLogicalLength(0);
  OpenedObject<AcDbCurve> curve;
  m_esLast = openEntity(curve, id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  m_nLastResult = breakCurve(pieces, curve.get(), points);
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::createCurve(AcDbCurve*& pOut, AcGePoint2d p1, AcGePoint2d p2, double bulge) {
  return createCurve(pOut, pt2To3(p1), pt2To3(p2), bulge);
}

int CDwgDatabase::createCurve(AcDbCurve*& pOut, AcGePoint3d p1, AcGePoint3d p2, double bulge) {
  pOut = NULL;
  if (p1.distanceTo(p2) == 0.0) return 1;
  if (std::fabs(bulge) < kStraightBulgeTol) {
    pOut = new AcDbLine(p1, p2);
    return 0;
  }
  AcGeCircArc2d arc(AcGePoint2d(p1.x, p1.y), AcGePoint2d(p2.x, p2.y), bulge, Adesk::kFalse);
  pOut = new AcDbArc(AcGePoint3d(arc.center().x, arc.center().y, p1.z), arc.radius(), arc.startAng(), arc.endAng());
  return 0;
}

int CDwgDatabase::createPolyline(AcDbCurve*& pOut, AcDbVoidPtrArray& curves) {
  pOut = NULL;
  if (curves.length() == 0) return 1;
  OwnedObject<AcDbPolyline> pline(new AcDbPolyline());
  unsigned int n = 0;
  AcGePoint3d current, first;
  for (int i = 0; i < curves.length(); i++) {
    AcDbCurve* pCurve = curveAt(curves, i);
    AcGePoint3d s, e;
    if (pCurve == NULL || !curveEnds(pCurve, s, e)) return 1;
    // Which way the curve continues the chain: from its start, or turned round.
    bool reversed = false;
    if (i == 0) {
      AcDbCurve* pNext = curves.length() > 1 ? curveAt(curves, 1) : NULL;
      AcGePoint3d ns, ne;
      if (pNext != NULL && curveEnds(pNext, ns, ne))
        reversed = std::min(s.distanceTo(ns), s.distanceTo(ne)) < std::min(e.distanceTo(ns), e.distanceTo(ne));
      first = reversed ? e : s;
      current = first;
    } else {
      reversed = e.distanceTo(current) < s.distanceTo(current);
      if ((reversed ? e : s).distanceTo(current) > kPointArrayTol) return 2;
    }
    if (AcDbLine::cast(pCurve) != NULL || AcDbArc::cast(pCurve) != NULL) {
      double bulge = getArcBulge(pCurve);
      if (AcDbArc* pArc = AcDbArc::cast(pCurve)) {
        if (pArc->normal().z < 0.0) bulge = -bulge;
      }
      pline.get()->addVertexAt(n++, AcGePoint2d(current.x, current.y), reversed ? -bulge : bulge);
      current = reversed ? s : e;
    } else if (AcDbPolyline* pPart = AcDbPolyline::cast(pCurve)) {
      unsigned int m = pPart->numVerts();
      unsigned int segments = pPart->isClosed() ? m : (m > 0 ? m - 1 : 0);
      for (unsigned int k = 0; k < segments; k++) {
        unsigned int seg = reversed ? segments - 1 - k : k;
        double bulge = 0.0;
        pPart->getBulgeAt(seg, bulge);
        pline.get()->addVertexAt(n++, AcGePoint2d(current.x, current.y), reversed ? -bulge : bulge);
        AcGePoint3d next;
        pPart->getPointAt(reversed ? seg : (seg + 1) % m, next);
        current = next;
      }
    } else {
      return 1;
    }
  }
  if (current.distanceTo(first) <= kPointArrayTol) {
    pline.get()->setClosed(true);
  } else {
    pline.get()->addVertexAt(n++, AcGePoint2d(current.x, current.y), 0.0);
  }
  pline.get()->setElevation(first.z);
  pOut = pline.release();
  return 0;
}

int CDwgDatabase::divideCurvesIsLinked2End(AcDbVoidPtrArray& open, AcDbVoidPtrArray& linked, AcDbVoidPtrArray& curves) {
  open.setLogicalLength(0);
  linked.setLogicalLength(0);
  linked.append(curves);
  // The ends of every curve, to find the curves near an end without looking at them all; a
  // curve found there counts while it is still in `linked`.
  const int n = linked.length();
  EndPointGrid ends(kLinkTol);
  std::vector<AcGePoint3d> starts(n), finishes(n);
  std::vector<bool> readable(n, false), inLinked(n, true);
  for (int i = 0; i < n; i++) {
    AcDbCurve* pCurve = curveAt(linked, i);
    readable[i] = pCurve != NULL && curveEnds(pCurve, starts[i], finishes[i]);
    if (!readable[i]) continue;
    ends.add(starts[i], i);
    ends.add(finishes[i], i);
  }
  std::vector<int> near;
  auto linkedAt = [&](int self, const AcGePoint3d& p) {
    ends.query(p, kLinkTol, near);
    for (int j : near)
      if (j != self && inLinked[j]) return true;
    return false;
  };
  int walk = 0;  // position in `linked`
  for (int i = 0; i < n; i++) {
    bool both = readable[i] && linkedAt(i, starts[i]) && linkedAt(i, finishes[i]);
    if (both) {
      walk++;
      continue;
    }
    open.append(linked[walk]);
    linked.removeAt(walk);
    inLinked[i] = false;
  }
  return 0;
}

int CDwgDatabase::eraseCurveShort(AcDbObjectIdArray& ids, double minLength) {
  int i = 0;
  while (i < ids.length()) {
    OpenedObject<AcDbCurve> curve;
    m_esLast = openEntity(curve, ids[i], AcDb::kForRead);
    if (m_esLast != Acad::eOk) {
      ids.removeAt(i);
      continue;
    }
    AcGePoint3d end;
    double length = 0.0;
    bool measured = curve->getEndPoint(end) == Acad::eOk && curve->getDistAtPoint(end, length) == Acad::eOk;
    if (measured && length <= minLength) {
      ids.removeAt(i);
      m_esLast = curve->upgradeOpen();
      if (m_esLast == Acad::eOk) curve->erase();
      continue;
    }
    i++;
  }
  return 0;
}

int CDwgDatabase::getPolylineFromCurves(AcDbPolyline*& pOut, AcDbVoidPtrArray& curves) {
  pOut = NULL;
  AcDbVoidPtrArray chain(curves);
  CDwgDatabase toolkit(NULL);
  if (toolkit.sortCurvesByContinue(chain, false, 0.0) != 0) return 1;
  AcDbCurve* pCurve = NULL;
  if (createPolyline(pCurve, chain) != 0) return 2;
  pOut = AcDbPolyline::cast(pCurve);
  return 0;
}

int CDwgDatabase::getPolylineFromCurves(AcDbPolyline*& pOut, AcDbObjectId firstId, AcDbObjectIdArray& used,
                                        AcDbObjectIdArray candidates) {
  pOut = NULL;
  used.setLogicalLength(0);
  AcDbVoidPtrArray copies;
  AcDbObjectIdArray copyIds;
  AcDbEntity* pCopy = NULL;
  {
    OpenedObject<AcDbCurve> first;
    if (openEntity(first, firstId, AcDb::kForRead) != Acad::eOk) return 1;
    if (getEntCopy(pCopy, first.get()) != 0) return 1;
  }
  copies.append(pCopy);
  copyIds.append(firstId);
  for (int i = 0; i < candidates.length(); i++) {
    if (candidates[i] == firstId) continue;
    OpenedObject<AcDbCurve> curve;
    if (openEntity(curve, candidates[i], AcDb::kForRead) != Acad::eOk || getEntCopy(pCopy, curve.get()) != 0) {
      deleteAcdbVoidArray(copies);
      return 2;
    }
    copies.append(pCopy);
    copyIds.append(candidates[i]);
  }
  CDwgDatabase toolkit(NULL);
  CArray<AcDbVoidPtrArray, const AcDbVoidPtrArray&> zones;
  toolkit.getCurvesZone(zones, copies);
  AcDbVoidPtrArray zone = zones.GetSize() > 0 ? zones[0] : AcDbVoidPtrArray();
  int rc = 0;
  AcDbPolyline* pPline = NULL;
  if (getPolylineFromCurves(pPline, zone) != 0) {
    rc = 3;
  } else {
    pOut = pPline;
    for (int i = 0; i < copies.length(); i++)
      if (zone.contains(copies[i])) used.append(copyIds[i]);
  }
  deleteAcdbVoidArray(copies);
  return rc;
}

int CDwgDatabase::offsetCurveCopy(AcDbCurve*& pOut, AcDbCurve* pCurve, double dist) {
  pOut = NULL;
  if (pCurve == NULL) return 1;
  AcDbVoidPtrArray offsets;
  m_esLast = pCurve->getOffsetCurves(dist, offsets);
  if (m_esLast != Acad::eOk || offsets.length() == 0) {
    deleteAcdbVoidArray(offsets);
    return 1;
  }
  pOut = curveAt(offsets, 0);
  offsets.removeAt(0);
  deleteAcdbVoidArray(offsets);
  return pOut != NULL ? 0 : 1;
}

int CDwgDatabase::sortCurvesAtPt(AcDbVoidPtrArray& out, AcDbVoidPtrArray& curves, AcGePoint3d pt, bool ccw) {
  out.setLogicalLength(0);
  std::vector<std::pair<double, void*>> found;
  for (int i = 0; i < curves.length(); i++) {
    AcDbCurve* pCurve = curveAt(curves, i);
    if (pCurve == NULL || !isPointOnCurve(pt, pCurve, false)) continue;
    found.push_back({planAngle(leavingDirection(pCurve, pt)), curves[i]});
  }
  if (found.empty()) return 1;
  std::stable_sort(found.begin(), found.end(), [ccw](const auto& a, const auto& b) {
    return ccw ? a.first < b.first : a.first > b.first;
  });
  for (const auto& f : found) out.append(f.second);
  return 0;
}

int CDwgDatabase::sortCurvesAtPt(AcDbObjectIdArray& out, AcDbObjectIdArray& ids, AcGePoint3d pt, bool ccw) {
  out.setLogicalLength(0);
  AcDbVoidPtrArray curves, sorted;
  int rc = 0;
  for (int i = 0; i < ids.length() && rc == 0; i++) {
    AcDbEntity* pCopy = NULL;
    OpenedObject<AcDbCurve> curve;
    if (openEntity(curve, ids[i], AcDb::kForRead) != Acad::eOk || getEntCopy(pCopy, curve.get()) != 0)
      rc = 1;
    else
      curves.append(pCopy);
  }
  if (rc == 0) rc = sortCurvesAtPt(sorted, curves, pt, ccw);
  for (int i = 0; rc == 0 && i < sorted.length(); i++) out.append(ids[curves.find(sorted[i])]);
  deleteAcdbVoidArray(curves);
  return rc;
}

int CDwgDatabase::unitTwoCurve(bool& joined, AcDbCurve* c1, AcDbCurve* c2) {
  joined = false;
  if (c1 == NULL || c2 == NULL || !isOnSameCurves(c1, c2, kOnCurveTol)) return 0;
  if (AcDbLine* l1 = AcDbLine::cast(c1)) {
    AcDbLine* l2 = AcDbLine::cast(c2);
    if (l2 == NULL) return 0;
    AcGePoint3d s = l1->startPoint();
    AcGeVector3d d = l1->endPoint() - s;
    double len = d.length();
    if (len == 0.0) return 0;
    d /= len;
    double a = (l2->startPoint() - s).dotProduct(d), b = (l2->endPoint() - s).dotProduct(d);
    if (std::min(a, b) > len + kOnCurveTol || std::max(a, b) < -kOnCurveTol) return 0;  // apart
    double lo = std::min({0.0, a, b}), hi = std::max({len, a, b});
    l1->setStartPoint(s + d * lo);
    l1->setEndPoint(s + d * hi);
    joined = true;
    return 0;
  }
  AcDbArc* a1 = AcDbArc::cast(c1);
  AcDbArc* a2 = AcDbArc::cast(c2);
  if (a1 == NULL || a2 == NULL) return 0;
  // Angle ranges relative to a1's start; a2 must touch or overlap (within 0.1 of arc length).
  const double twoPi = 2.0 * kPi, slack = kOnCurveTol / a1->radius();
  auto rel = [&](double a) {
    double r = std::fmod(a - a1->startAngle(), twoPi);
    return r < 0.0 ? r + twoPi : r;
  };
  double sweep1 = std::fmod(a1->endAngle() - a1->startAngle() + twoPi, twoPi);
  double sweep2 = std::fmod(a2->endAngle() - a2->startAngle() + twoPi, twoPi);
  if (sweep1 == 0.0) sweep1 = twoPi;
  if (sweep2 == 0.0) sweep2 = twoPi;
  double s2 = rel(a2->startAngle());
  if (s2 <= sweep1 + slack) {  // a2 starts on a1: a1 runs on to a2's end when that is farther
    if (s2 + sweep2 > sweep1) a1->setEndAngle(a1->startAngle() + std::min(s2 + sweep2, twoPi));
    joined = true;
  } else if (s2 + sweep2 >= twoPi - slack) {  // a2 ends on a1's start: a1 starts at a2's start
    double newSweep = std::min(twoPi, sweep1 + (twoPi - s2));
    a1->setStartAngle(a2->startAngle());
    a1->setEndAngle(a2->startAngle() + newSweep);
    joined = true;
  }
  return 0;
}

int CDwgDatabase::unitTwoCurve(bool& joined, AcDbObjectId id1, AcDbObjectId id2, bool eraseSecond) {
  joined = false;
  OpenedObject<AcDbCurve> c1, c2;
  if (openEntity(c1, id1, AcDb::kForWrite) != Acad::eOk) return 1;
  if (openEntity(c2, id2, eraseSecond ? AcDb::kForWrite : AcDb::kForRead) != Acad::eOk) return 2;
  unitTwoCurve(joined, c1.get(), c2.get());
  if (joined && eraseSecond) c2->erase();
  return 0;
}

int CDwgDatabase::unitCurvesOnSameCurve(AcDbVoidPtrArray& curves) {
  bool again = true;
  while (again) {
    again = false;
    for (int i = 0; i < curves.length() && !again; i++) {
      for (int j = i + 1; j < curves.length() && !again; j++) {
        bool joined = false;
        unitTwoCurve(joined, curveAt(curves, i), curveAt(curves, j));
        if (!joined) continue;
        delete static_cast<AcDbObject*>(curves[j]);
        curves.removeAt(j);
        again = true;
      }
    }
  }
  return 0;
}

int CDwgDatabase::unitCurvesOnSameCurve(AcDbObjectIdArray& ids) {
  bool again = true;
  while (again) {
    again = false;
    for (int i = 0; i < ids.length() && !again; i++) {
      for (int j = i + 1; j < ids.length() && !again; j++) {
        bool joined = false;
        if (unitTwoCurve(joined, ids[i], ids[j], true) != 0) return 1;
        if (!joined) continue;
        ids.removeAt(j);
        again = true;
      }
    }
  }
  return 0;
}

int CDwgDatabase::unitRedrawCurve(AcDbObjectIdArray& ids) {
  m_nLastResult = unitCurvesOnSameCurve(ids);
  return m_nLastResult;
}

int CDwgDatabase::unitRedrawCurve(AcDbVoidPtrArray& curves) {
  m_nLastResult = unitCurvesOnSameCurve(curves);
  return m_nLastResult;
}

int CDwgDatabase::unitRedrawCurve(AcDbVoidPtrArray& curves, AcDbVoidPtrArray& united) {
  united.setLogicalLength(0);  // what it held is the caller's
  for (int i = 0; i < curves.length(); i++) {
    AcDbEntity* pCopy = NULL;
    if (getEntCopy(pCopy, static_cast<AcDbEntity*>(curves[i])) == 0) united.append(pCopy);
  }
  m_nLastResult = unitCurvesOnSameCurve(united);
  return m_nLastResult;
}
