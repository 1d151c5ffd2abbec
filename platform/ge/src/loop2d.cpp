// Bulge loops: exact area, perimeter and centroid, point containment and the self-crossing test.
#include <algorithm>
#include <cmath>

#include "contura/ge/loop2d.h"
#include "contura/ge/angles.h"
#include "contura/ge/curve2d.h"
#include "contura/ge/tolerances.h"
#include "prim2d.h"

namespace contura::ge {
namespace {

using detail::CircularPrim;
using detail::closestOnPrim;
using detail::IntResult;
using detail::makeBulgePrim;
using detail::Prim;

using contura::ge::kPi;

struct Segment {
  int index;  // vertex index the segment starts at
  Prim prim;
};

// The loop's segments, skipping zero-length ones.
std::vector<Segment> segmentsOf(std::span<const BulgeVertex> loop) {
  std::vector<Segment> out;
  const size_t n = loop.size();
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const BulgeVertex& a = loop[i];
    const BulgeVertex& b = loop[(i + 1) % n];
    if (a.point.x == b.point.x && a.point.y == b.point.y) continue;
    out.push_back({static_cast<int>(i), makeBulgePrim(a.point, b.point, a.bulge)});
  }
  return out;
}

// theta - sin(theta), accurate for small angles too.
double thetaMinusSin(double theta) {
  if (theta < tol::kSmallAngleSeries) {
    const double t2 = theta * theta;
    return theta * t2 / 6.0 * (1.0 - t2 / 20.0 * (1.0 - t2 / 42.0));
  }
  return theta - std::sin(theta);
}

// Area and centroid of the circular segment between a bulged chord and its arc (unsigned area).
void circularSegment(const AcGePoint2d& from, const AcGePoint2d& to, double bulge, double& area, AcGePoint2d& centroid) {
  const AcGeVector2d chord = to - from;
  const double c = chord.length();
  const double theta = std::fabs(includedAngleFromBulge(bulge));
  AcGePoint2d centre;
  double r;
  bulgeCircle(from, to, bulge, centre, r);
  const double tms = thetaMinusSin(theta);
  area = 0.5 * r * r * tms;
  // Distance of the centroid from the centre, then from the chord's midpoint.
  const double half = 0.5 * theta;
  const double s = std::sin(half);
  const double fromCentre = 4.0 * r * s * s * s / (3.0 * tms);
  const double fromChord = fromCentre - r * std::cos(half);
  // A positive bulge puts the arc on the right of the chord direction.
  const AcGeVector2d towardsArc = bulge > 0.0 ? -chord.perpVector() / c : chord.perpVector() / c;
  centroid = from + chord * 0.5 + towardsArc * fromChord;
}

}  // namespace

BulgeLoop makeLoop(const AcGePoint2dArray& points, const AcGeDoubleArray& bulges) {
  BulgeLoop loop;
  loop.reserve(static_cast<size_t>(points.length()));
  for (int i = 0; i < points.length(); ++i)
    loop.push_back({points[i], i < bulges.length() ? bulges[i] : 0.0});
  return loop;
}

LoopProperties loopProperties(std::span<const BulgeVertex> loop) {
  LoopProperties out;
  const size_t n = loop.size();
  if (n == 0) return out;
  // Work relative to the first vertex so that far-from-origin drawings keep their digits.
  const AcGePoint2d o = loop[0].point;
  double area2 = 0.0;       // twice the chord polygon's signed area
  double mx = 0.0, my = 0.0;  // first moments (times 6 for the polygon part)
  double arcArea = 0.0, arcMx = 0.0, arcMy = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const AcGePoint2d& pa = loop[i].point;
    const AcGePoint2d& pb = loop[(i + 1) % n].point;
    if (pa.x == pb.x && pa.y == pb.y) continue;
    const AcGeVector2d a = pa - o, b = pb - o;
    const double cr = a.crossProduct(b);
    area2 += cr;
    mx += (a.x + b.x) * cr;
    my += (a.y + b.y) * cr;
    const double bulge = loop[i].bulge;
    if (isStraightBulge(bulge)) {
      out.perimeter += pa.distanceTo(pb);
      continue;
    }
    AcGePoint2d centre;
    double radius;
    bulgeCircle(pa, pb, bulge, centre, radius);
    out.perimeter += radius * std::fabs(includedAngleFromBulge(bulge));
    double segArea;
    AcGePoint2d segCentroid;
    circularSegment(pa, pb, bulge, segArea, segCentroid);
    const double signedSeg = bulge > 0.0 ? segArea : -segArea;
    arcArea += signedSeg;
    arcMx += signedSeg * (segCentroid.x - o.x);
    arcMy += signedSeg * (segCentroid.y - o.y);
  }
  out.signedArea = 0.5 * area2 + arcArea;
  out.area = std::fabs(out.signedArea);
  if (out.signedArea != 0.0) {
    const double momentX = mx / 6.0 + arcMx, momentY = my / 6.0 + arcMy;
    out.centroid.set(o.x + momentX / out.signedArea, o.y + momentY / out.signedArea);
  } else {
    double sx = 0.0, sy = 0.0;
    for (const BulgeVertex& v : loop) {
      sx += v.point.x - o.x;
      sy += v.point.y - o.y;
    }
    out.centroid.set(o.x + sx / static_cast<double>(n), o.y + sy / static_cast<double>(n));
  }
  return out;
}

double loopSignedArea(std::span<const BulgeVertex> loop) { return loopProperties(loop).signedArea; }

double loopPerimeter(std::span<const BulgeVertex> loop) { return loopProperties(loop).perimeter; }

// ------------------------------------------------------------------ containment

namespace {

// Signed crossings of the rightward ray from p with a monotone-in-y piece a -> b of the
// boundary, whose crossing abscissa is xAt(y). Half-open in y so that a ray through a shared
// end point counts once.
template <class XAt>
int crossing(const AcGePoint2d& a, const AcGePoint2d& b, const AcGePoint2d& p, XAt xAt) {
  const bool aBelow = a.y <= p.y, bBelow = b.y <= p.y;
  if (aBelow == bBelow) return 0;
  if (!(xAt() > p.x)) return 0;
  return aBelow ? 1 : -1;  // upward +1, downward -1
}

int lineWinding(const AcGePoint2d& a, const AcGePoint2d& b, const AcGePoint2d& p) {
  const bool aBelow = a.y <= p.y, bBelow = b.y <= p.y;
  if (aBelow == bBelow) return 0;
  // p is left of an upward edge (right of a downward one) exactly when the ray crosses it.
  const double side = (b - a).crossProduct(p - a);
  if (aBelow) return side > 0.0 ? 1 : 0;
  return side < 0.0 ? -1 : 0;
}

int arcWinding(const CircularPrim& arc, const AcGePoint2d& p) {
  // World angle phi(t) = phi0 + sigma t; split where the arc turns in y (phi = pi/2 + k pi).
  const double phi0 = std::atan2(arc.fx.y, arc.fx.x);
  const double sigma = arc.fx.crossProduct(arc.fy) > 0.0 ? 1.0 : -1.0;
  double splits[4];
  int numSplits = 0;
  double firstPhi = sigma > 0.0 ? kPi / 2 + kPi * (std::floor((phi0 - kPi / 2) / kPi) + 1.0)
                                : kPi / 2 + kPi * (std::ceil((phi0 - kPi / 2) / kPi) - 1.0);
  for (double t = sigma * (firstPhi - phi0); t < arc.sweep && numSplits < 4; t += kPi)
    if (t > 0.0) splits[numSplits++] = t;
  int w = 0;
  AcGePoint2d a = arc.startPoint;
  double ta = 0.0;
  for (int k = 0; k <= numSplits; ++k) {
    const double tb = k < numSplits ? splits[k] : arc.sweep;
    const AcGePoint2d b = k < numSplits ? arc.c + (arc.fx * std::cos(tb) + arc.fy * std::sin(tb)) * arc.r
                                        : arc.endPoint;
    const double tm = 0.5 * (ta + tb);
    const double side = std::cos(phi0 + sigma * tm) >= 0.0 ? 1.0 : -1.0;
    w += crossing(a, b, p, [&] {
      const double dy = p.y - arc.c.y;
      return arc.c.x + side * std::sqrt(std::max(0.0, arc.r * arc.r - dy * dy));
    });
    a = b;
    ta = tb;
  }
  return w;
}

}  // namespace

PointContainment classifyPoint(std::span<const BulgeVertex> loop, const AcGePoint2d& point, double tol) {
  const std::vector<Segment> segs = segmentsOf(loop);
  for (const Segment& s : segs)
    if (closestOnPrim(s.prim, point).distanceTo(point) <= tol) return PointContainment::kOnBoundary;
  int winding = 0;
  for (const Segment& s : segs) {
    if (s.prim.kind == Prim::kLinear) {
      winding += lineWinding(s.prim.lin.loPoint, s.prim.lin.hiPoint, point);
    } else if (s.prim.kind == Prim::kCircular) {
      winding += arcWinding(s.prim.arc, point);
    }
  }
  return winding != 0 ? PointContainment::kInside : PointContainment::kOutside;
}

// ------------------------------------------------------------------ self-intersection

namespace {

struct Box {
  double minX, minY, maxX, maxY;
};

Box boxOf(const Prim& p, double tol) {
  Box b{};
  if (p.kind == Prim::kLinear) {
    b = {std::min(p.lin.loPoint.x, p.lin.hiPoint.x), std::min(p.lin.loPoint.y, p.lin.hiPoint.y),
         std::max(p.lin.loPoint.x, p.lin.hiPoint.x), std::max(p.lin.loPoint.y, p.lin.hiPoint.y)};
  } else if (p.kind == Prim::kCircular) {
    const CircularPrim& a = p.arc;
    b = {std::min(a.startPoint.x, a.endPoint.x), std::min(a.startPoint.y, a.endPoint.y),
         std::max(a.startPoint.x, a.endPoint.x), std::max(a.startPoint.y, a.endPoint.y)};
    // Add the circle's extreme points that the arc passes.
    const double phi0 = std::atan2(a.fx.y, a.fx.x);
    const double sigma = a.fx.crossProduct(a.fy) > 0.0 ? 1.0 : -1.0;
    for (int k = 0; k < 4; ++k) {
      const double phi = k * kPi / 2;
      double t = std::fmod(sigma * (phi - phi0), 2 * kPi);
      if (t < 0.0) t += 2 * kPi;
      if (t > a.sweep) continue;
      const double x = a.c.x + a.r * std::cos(phi), y = a.c.y + a.r * std::sin(phi);
      b.minX = std::min(b.minX, x);
      b.maxX = std::max(b.maxX, x);
      b.minY = std::min(b.minY, y);
      b.maxY = std::max(b.maxY, y);
    }
  } else {
    b = {p.point.x, p.point.y, p.point.x, p.point.y};
  }
  b.minX -= tol;
  b.minY -= tol;
  b.maxX += tol;
  b.maxY += tol;
  return b;
}

// Exact first point of a loop segment.
AcGePoint2d startOf(const Prim& p) {
  return p.kind == Prim::kLinear ? p.lin.loPoint : (p.kind == Prim::kCircular ? p.arc.startPoint : p.point);
}

// Whether segments i < j (positions in the segment list) meet anywhere they should not.
bool badPair(const std::vector<Segment>& segs, size_t i, size_t j, double tol) {
  const size_t n = segs.size();
  IntResult r;
  detail::intersect(segs[i].prim, segs[j].prim, tol, r);
  if (r.numOverlaps > 0) return true;
  // Neighbours may share their common vertex (both vertices when the loop has two segments).
  const bool jFollowsI = j == i + 1;
  const bool iFollowsJ = i == 0 && j == n - 1;
  for (int k = 0; k < r.numHits; ++k) {
    const AcGePoint2d& p = r.hits[k].point;
    const bool atSharedVertex = (jFollowsI && p.distanceTo(startOf(segs[j].prim)) <= tol) ||
                                (iFollowsJ && p.distanceTo(startOf(segs[i].prim)) <= tol);
    if (!atSharedVertex) return true;
  }
  return false;
}

}  // namespace

bool findSelfIntersection(std::span<const BulgeVertex> loop, int& segA, int& segB, double tol) {
  const std::vector<Segment> segs = segmentsOf(loop);
  const size_t n = segs.size();
  if (n < 2) {
    segA = segB = 0;
    return true;
  }
  // Sweep over x: segments sorted by the left edge of their boxes.
  std::vector<Box> boxes(n);
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) {
    boxes[i] = boxOf(segs[i].prim, tol);
    order[i] = i;
  }
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return boxes[a].minX < boxes[b].minX; });
  for (size_t oi = 0; oi < n; ++oi) {
    const size_t i = order[oi];
    for (size_t oj = oi + 1; oj < n && boxes[order[oj]].minX <= boxes[i].maxX; ++oj) {
      const size_t j = order[oj];
      if (boxes[j].minY > boxes[i].maxY || boxes[j].maxY < boxes[i].minY) continue;
      const size_t lo = std::min(i, j), hi = std::max(i, j);
      if (badPair(segs, lo, hi, tol)) {
        segA = segs[lo].index;
        segB = segs[hi].index;
        return true;
      }
    }
  }
  return false;
}

bool isSelfIntersecting(std::span<const BulgeVertex> loop, double tol) {
  int a, b;
  return findSelfIntersection(loop, a, b, tol);
}

}  // namespace contura::ge
