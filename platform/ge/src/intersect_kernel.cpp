// The intersection kernel: line/line, line/circle and circle/circle with bounds, snapping and overlaps.
#include <algorithm>
#include <cmath>
#include <limits>

#include "contura/ge/angles.h"
#include "contura/ge/curve2d.h"
#include "contura/ge/tolerances.h"
#include "gearc2d.h"
#include "gelent2d.h"
#include "prim2d.h"

namespace contura::ge::detail {
namespace {

using contura::ge::kTwoPi;
constexpr double kInf = std::numeric_limits<double>::infinity();

// Angle of v in the frame (fx, fy), within [start, start + 2pi).
double frameAngle(const CircularPrim& a, const AcGeVector2d& v, double start) {
  double t = std::atan2(v.dotProduct(a.fy), v.dotProduct(a.fx));
  double k = std::floor((t - start) / kTwoPi);
  t -= k * kTwoPi;
  if (t < start) t += kTwoPi;
  if (t >= start + kTwoPi) t -= kTwoPi;
  return t;
}

AcGePoint2d evalArc(const CircularPrim& a, double t) {
  return a.c + (a.fx * std::cos(t) + a.fy * std::sin(t)) * a.r;
}

// Accepts a carrier point for a bounded linear prim, snapping near-end points onto the end.
bool acceptLinear(const LinearPrim& l, AcGePoint2d& p, double& t, double tol) {
  if (l.hasLo && t <= l.lo + tol) {
    if (t < l.lo - tol) return false;
    t = l.lo;
    p = l.loPoint;
  } else if (l.hasHi && t >= l.hi - tol) {
    if (t > l.hi + tol) return false;
    t = l.hi;
    p = l.hiPoint;
  }
  return true;
}

// Accepts a point on the circle of a, snapping it onto an end when within tol of one.
bool acceptCircular(const CircularPrim& a, AcGePoint2d& p, double& t, double tol) {
  t = frameAngle(a, p - a.c, a.start);
  if (a.full) return true;
  if (p.distanceTo(a.startPoint) <= tol) {
    t = a.start;
    p = a.startPoint;
    return true;
  }
  if (p.distanceTo(a.endPoint) <= tol) {
    t = a.start + a.sweep;
    p = a.endPoint;
    return true;
  }
  return t <= a.start + a.sweep;
}

bool accept(const Prim& pr, AcGePoint2d& p, double& t, double tol) {
  switch (pr.kind) {
    case Prim::kLinear:
      t = (p - pr.lin.base).dotProduct(pr.lin.dir);
      return acceptLinear(pr.lin, p, t, tol);
    case Prim::kCircular:
      return acceptCircular(pr.arc, p, t, tol);
    case Prim::kPoint:
      t = 0.0;
      if (p.distanceTo(pr.point) > tol) return false;
      p = pr.point;
      return true;
  }
  return false;
}

// A candidate point on both carriers: keep it when both curves accept it. Snapping onto the
// first curve's end wins; the second curve may then move it onto its own end only when that
// end is within tolerance of the first's.
void offer(const Prim& a, const Prim& b, AcGePoint2d p, bool tangent, double tol, IntResult& out) {
  Hit h;
  h.tangent = tangent;
  AcGePoint2d pa = p, pb = p;
  if (!accept(a, pa, h.t1, tol)) return;
  if (!accept(b, pb, h.t2, tol)) return;
  // Prefer an exact end point of either curve over the computed position.
  h.point = (pa.x != p.x || pa.y != p.y) ? pa : pb;
  out.addHit(h, tol);
}

// ------------------------------------------------------------------ linear / linear

// Maps parameter s of b onto a's parameter.
double mapParam(const LinearPrim& a, const LinearPrim& b, double s) {
  return (b.base - a.base).dotProduct(a.dir) + s * b.dir.dotProduct(a.dir);
}

void colinear(const Prim& pa, const Prim& pb, double tol, IntResult& out) {
  const LinearPrim& a = pa.lin;
  const LinearPrim& b = pb.lin;
  const double sign = b.dir.dotProduct(a.dir) >= 0.0 ? 1.0 : -1.0;
  double bLo = b.hasLo ? mapParam(a, b, b.lo) : -sign * kInf;
  double bHi = b.hasHi ? mapParam(a, b, b.hi) : sign * kInf;
  if (bLo > bHi) std::swap(bLo, bHi);
  const double lo = std::max(a.hasLo ? a.lo : -kInf, bLo);
  const double hi = std::min(a.hasHi ? a.hi : kInf, bHi);
  if (hi < lo - tol) return;
  if (hi - lo <= tol) {
    const double t = std::isinf(lo) ? hi : (std::isinf(hi) ? lo : 0.5 * (lo + hi));
    offer(pa, pb, a.base + a.dir * t, true, tol, out);
    return;
  }
  // Back to b's parameters: s = (t - offset) * sign.
  const double offset = (b.base - a.base).dotProduct(a.dir);
  double s1 = (lo - offset) * sign, s2 = (hi - offset) * sign;
  if (s1 > s2) std::swap(s1, s2);
  if (out.numOverlaps < 2) out.overlaps[out.numOverlaps++] = {lo, hi, s1, s2};
}

void linearLinear(const Prim& pa, const Prim& pb, double tol, IntResult& out) {
  const LinearPrim& a = pa.lin;
  const LinearPrim& b = pb.lin;
  const double cross = a.dir.crossProduct(b.dir);
  const AcGeVector2d w = b.base - a.base;
  if (std::fabs(cross) <= tol::kParallelSine) {
    if (std::fabs(w.crossProduct(a.dir)) > tol) return;  // parallel, apart
    colinear(pa, pb, tol, out);
    return;
  }
  // Shared exact end points intersect exactly; otherwise solve base_a + d_a t = base_b + d_b s.
  const double t = w.crossProduct(b.dir) / cross;
  offer(pa, pb, a.base + a.dir * t, false, tol, out);
}

// ------------------------------------------------------------------ linear / circular

void linearCircular(const Prim& pl, const Prim& pc, bool swapped, double tol, IntResult& out) {
  const LinearPrim& l = pl.lin;
  const CircularPrim& c = pc.arc;
  const AcGeVector2d toC = c.c - l.base;
  const double tf = toC.dotProduct(l.dir);
  const double h = std::fabs(toC.crossProduct(l.dir));
  if (h > c.r + tol) return;
  const AcGePoint2d foot = l.base + l.dir * tf;
  const Prim& first = swapped ? pc : pl;
  const Prim& second = swapped ? pl : pc;
  if (std::fabs(h - c.r) <= tol) {
    offer(first, second, foot, true, tol, out);
    return;
  }
  const double s = std::sqrt((c.r - h) * (c.r + h));
  offer(first, second, foot - l.dir * s, false, tol, out);
  offer(first, second, foot + l.dir * s, false, tol, out);
}

// ------------------------------------------------------------------ circular / circular

// World angular interval of an arc: [w0, w0 + len], counter-clockwise.
void worldInterval(const CircularPrim& a, double& w0, double& len) {
  const double beta = std::atan2(a.fx.y, a.fx.x);
  const bool ccw = a.fx.crossProduct(a.fy) > 0.0;
  len = a.sweep;
  w0 = ccw ? beta + a.start : beta - a.start - a.sweep;
}

// Arc parameter of world angle phi lying in the arc's world interval [w0, w0 + len].
double paramFromWorld(const CircularPrim& a, double w0, double phi) {
  const bool ccw = a.fx.crossProduct(a.fy) > 0.0;
  const double off = std::clamp(phi - w0, 0.0, a.sweep);
  return ccw ? a.start + off : a.start + a.sweep - off;
}

void coCircular(const Prim& pa, const Prim& pb, double tol, IntResult& out) {
  const CircularPrim& a = pa.arc;
  const CircularPrim& b = pb.arc;
  double a0, la, b0, lb;
  worldInterval(a, a0, la);
  worldInterval(b, b0, lb);
  const double angTol = tol / a.r;
  if (a.full && b.full) {
    out.overlaps[out.numOverlaps++] = {a.start, a.start + kTwoPi, b.start, b.start + kTwoPi};
    return;
  }
  // Shift b's interval so that it starts within one turn after a's start.
  double delta = std::fmod(b0 - a0, kTwoPi);
  if (delta < 0.0) delta += kTwoPi;
  const double shifts[2] = {delta, delta - kTwoPi};
  for (double sh : shifts) {
    const double bs = a0 + sh;  // b's start in a's unwrapped frame
    const double lo = std::max(a0, bs), hi = std::min(a0 + la, bs + lb);
    if (hi < lo - angTol) continue;
    if (hi - lo <= angTol) {
      const double phi = 0.5 * (lo + hi);
      offer(pa, pb, a.c + AcGeVector2d(std::cos(phi), std::sin(phi)) * a.r, true, tol, out);
      continue;
    }
    if (out.numOverlaps >= 2) continue;
    double s1 = paramFromWorld(b, bs, lo), s2 = paramFromWorld(b, bs, hi);
    double t1 = paramFromWorld(a, a0, lo), t2 = paramFromWorld(a, a0, hi);
    if (s1 > s2) std::swap(s1, s2);
    if (t1 > t2) std::swap(t1, t2);
    out.overlaps[out.numOverlaps++] = {t1, t2, s1, s2};
    if (a.full || b.full) break;  // the whole of the shorter arc: one range
  }
}

void circularCircular(const Prim& pa, const Prim& pb, double tol, IntResult& out) {
  const CircularPrim& a = pa.arc;
  const CircularPrim& b = pb.arc;
  const AcGeVector2d cc = b.c - a.c;
  const double d = cc.length();
  if (d <= tol) {
    if (std::fabs(a.r - b.r) <= tol) coCircular(pa, pb, tol, out);
    return;
  }
  if (d > a.r + b.r + tol || d < std::fabs(a.r - b.r) - tol) return;
  const AcGeVector2d u = cc / d;
  if (std::fabs(d - (a.r + b.r)) <= tol) {
    offer(pa, pb, a.c + u * a.r, true, tol, out);
    return;
  }
  if (std::fabs(d - std::fabs(a.r - b.r)) <= tol) {
    offer(pa, pb, a.r >= b.r ? a.c + u * a.r : a.c - u * a.r, true, tol, out);
    return;
  }
  const double along = (d * d + a.r * a.r - b.r * b.r) / (2.0 * d);
  const double h = std::sqrt(std::max(0.0, a.r * a.r - along * along));
  const AcGePoint2d m = a.c + u * along;
  offer(pa, pb, m - u.perpVector() * h, false, tol, out);
  offer(pa, pb, m + u.perpVector() * h, false, tol, out);
}

}  // namespace

void IntResult::addHit(const Hit& h, double tol) {
  for (int i = 0; i < numHits; ++i)
    if (hits[i].point.distanceTo(h.point) <= tol) return;
  if (numHits >= 4) return;
  // Insertion keeps the hits sorted by the first curve's parameter.
  int i = numHits++;
  while (i > 0 && hits[i - 1].t1 > h.t1) {
    hits[i] = hits[i - 1];
    --i;
  }
  hits[i] = h;
}

void intersect(const Prim& a, const Prim& b, double tol, IntResult& out) {
  out.numHits = 0;
  out.numOverlaps = 0;
  if (a.kind == Prim::kPoint || b.kind == Prim::kPoint) {
    // A degenerate curve meets the other one where it lies on it; accept() only checks
    // the position along a carrier, so the distance to the curve is tested here.
    const AcGePoint2d p = a.kind == Prim::kPoint ? a.point : b.point;
    const Prim& other = a.kind == Prim::kPoint ? b : a;
    if (closestOnPrim(other, p).distanceTo(p) <= tol) offer(a, b, p, true, tol, out);
    return;
  }
  if (a.kind == Prim::kLinear && b.kind == Prim::kLinear) return linearLinear(a, b, tol, out);
  if (a.kind == Prim::kLinear) return linearCircular(a, b, false, tol, out);
  if (b.kind == Prim::kLinear) return linearCircular(b, a, true, tol, out);
  circularCircular(a, b, tol, out);
}

// ------------------------------------------------------------------ building prims

bool makePrim(const AcGeCurve2d& curve, bool extend, Prim& out) {
  if (curve.isKindOf(AcGe::kLinearEnt2d)) {
    const auto& l = static_cast<const AcGeLinearEnt2d&>(curve);
    if (l.direction().isZeroLength()) {
      out.kind = Prim::kPoint;
      out.point = l.pointOnLine();
      return true;
    }
    out.kind = Prim::kLinear;
    LinearPrim& p = out.lin;
    p.base = l.pointOnLine();
    p.dir = l.direction();
    p.hasLo = !extend && l.boundedBelow();
    p.hasHi = !extend && l.boundedAbove();
    p.lo = l.lowerParam();
    p.hi = l.upperParam();
    if (p.hasLo) p.loPoint = l.evalPoint(p.lo);
    if (p.hasHi) p.hiPoint = l.evalPoint(p.hi);
    return true;
  }
  if (curve.type() == AcGe::kCircArc2d) {
    const auto& c = static_cast<const AcGeCircArc2d&>(curve);
    if (!(c.radius() > 0.0)) {
      out.kind = Prim::kPoint;
      out.point = c.center();
      return true;
    }
    out.kind = Prim::kCircular;
    CircularPrim& p = out.arc;
    p.c = c.center();
    p.r = c.radius();
    p.fx = c.frameX();
    p.fy = c.frameY();
    p.full = extend || c.isFullCircle();
    p.start = c.startAng();
    p.sweep = p.full ? kTwoPi : c.sweep();
    p.startPoint = c.startPoint();
    p.endPoint = c.endPoint();
    return true;
  }
  return false;
}

Prim makeBulgePrim(const AcGePoint2d& from, const AcGePoint2d& to, double bulge) {
  Prim out;
  const AcGeVector2d chord = to - from;
  const double c = chord.length();
  if (c == 0.0) {
    out.kind = Prim::kPoint;
    out.point = from;
    return out;
  }
  if (isStraightBulge(bulge)) {
    out.kind = Prim::kLinear;
    out.lin.base = from;
    out.lin.dir = chord / c;
    out.lin.hasLo = out.lin.hasHi = true;
    out.lin.lo = 0.0;
    out.lin.hi = c;
    out.lin.loPoint = from;
    out.lin.hiPoint = to;
    return out;
  }
  out.kind = Prim::kCircular;
  CircularPrim& a = out.arc;
  bulgeCircle(from, to, bulge, a.c, a.r);
  a.fx = (from - a.c) / a.r;
  a.fy = bulge > 0.0 ? a.fx.perpVector() : -a.fx.perpVector();
  a.start = 0.0;
  a.sweep = std::fabs(includedAngleFromBulge(bulge));
  a.full = false;
  a.startPoint = from;
  a.endPoint = to;
  return out;
}

double paramOnCarrier(const Prim& p, const AcGePoint2d& pt) {
  switch (p.kind) {
    case Prim::kLinear:
      return (pt - p.lin.base).dotProduct(p.lin.dir);
    case Prim::kCircular:
      return frameAngle(p.arc, pt - p.arc.c, p.arc.start);
    case Prim::kPoint:
      return 0.0;
  }
  return 0.0;
}

AcGePoint2d evalPrim(const Prim& p, double t) {
  switch (p.kind) {
    case Prim::kLinear:
      if (p.lin.hasLo && t == p.lin.lo) return p.lin.loPoint;
      if (p.lin.hasHi && t == p.lin.hi) return p.lin.hiPoint;
      return p.lin.base + p.lin.dir * t;
    case Prim::kCircular:
      if (!p.arc.full && t == p.arc.start) return p.arc.startPoint;
      if (!p.arc.full && t == p.arc.start + p.arc.sweep) return p.arc.endPoint;
      return evalArc(p.arc, t);
    case Prim::kPoint:
      return p.point;
  }
  return p.point;
}

AcGePoint2d closestOnPrim(const Prim& p, const AcGePoint2d& pt) {
  switch (p.kind) {
    case Prim::kLinear: {
      double t = (pt - p.lin.base).dotProduct(p.lin.dir);
      if (p.lin.hasLo && t <= p.lin.lo) return p.lin.loPoint;
      if (p.lin.hasHi && t >= p.lin.hi) return p.lin.hiPoint;
      return p.lin.base + p.lin.dir * t;
    }
    case Prim::kCircular: {
      const CircularPrim& a = p.arc;
      const AcGeVector2d v = pt - a.c;
      if (v.lengthSqrd() == 0.0) return a.full ? evalArc(a, a.start) : a.startPoint;
      const double t = frameAngle(a, v, a.start);
      if (a.full || t <= a.start + a.sweep) return a.c + v.normal() * a.r;
      return pt.distanceTo(a.startPoint) <= pt.distanceTo(a.endPoint) ? a.startPoint : a.endPoint;
    }
    case Prim::kPoint:
      return p.point;
  }
  return p.point;
}

}  // namespace contura::ge::detail
