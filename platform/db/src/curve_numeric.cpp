// Ellipse and spline lengths, parameters at lengths and closest points by adaptive
// Gauss-Legendre quadrature and bracketed root finding; the members of AcDbEllipse and
// AcDbSpline built on them.
#include "curve_numeric.h"

#include <algorithm>
#include <cmath>

namespace contura::db {
namespace {

// Deepest halving of an interval by the adaptive quadrature and the closest-point search.
constexpr int kMaxDepth = 40;
constexpr int kMaxBisections = 200;
// Samples per section when looking for the closest point's bracket.
constexpr int kSamplesPerSection = 16;

double speed(const ParamCurve& c, double t) { return c.deriv(t).length(); }

double gauss(const ParamCurve& c, double a, double b) {
  const double m = 0.5 * (a + b), h = 0.5 * (b - a);
  double sum = 0.0;
  for (int i = 0; i < 4; ++i) sum += kGaussW[i] * (speed(c, m - h * kGaussX[i]) + speed(c, m + h * kGaussX[i]));
  return sum * h;
}

double adaptive(const ParamCurve& c, double a, double b, double whole, double scale, int depth) {
  const double m = 0.5 * (a + b);
  const double left = gauss(c, a, m), right = gauss(c, m, b);
  if (depth >= kMaxDepth || std::fabs(left + right - whole) <= kNumericRelTol * scale) return left + right;
  return adaptive(c, a, m, left, scale, depth + 1) + adaptive(c, m, b, right, scale, depth + 1);
}

// The sections [lo, b1], [b1, b2], ..., [bn, hi] of the curve that overlap [from, to].
std::vector<double> sectionEnds(const ParamCurve& c, double from, double to) {
  std::vector<double> ends{from};
  for (double b : c.breaks)
    if (b > from && b < to) ends.push_back(b);
  ends.push_back(to);
  return ends;
}

// The same adaptive rule for a vector integrand.
template <class F> AcGeVector3d gaussVec(F&& f, double a, double b) {
  const double m = 0.5 * (a + b), h = 0.5 * (b - a);
  AcGeVector3d sum;
  for (int i = 0; i < 4; ++i) sum += (f(m - h * kGaussX[i]) + f(m + h * kGaussX[i])) * kGaussW[i];
  return sum * h;
}

template <class F> AcGeVector3d adaptiveVec(F&& f, double a, double b, const AcGeVector3d& whole, double scale, int depth) {
  const double m = 0.5 * (a + b);
  const AcGeVector3d left = gaussVec(f, a, m), right = gaussVec(f, m, b);
  if (depth >= kMaxDepth || (left + right - whole).length() <= kNumericRelTol * scale) return left + right;
  return adaptiveVec(f, a, m, left, scale, depth + 1) + adaptiveVec(f, m, b, right, scale, depth + 1);
}

double distance2(const ParamCurve& c, double t, const AcGePoint3d& q) { return (c.point(t) - q).lengthSqrd(); }
// Derivative (halved) of the squared distance: (C(t) - q) . C'(t).
double slope(const ParamCurve& c, double t, const AcGePoint3d& q) { return (c.point(t) - q).dotProduct(c.deriv(t)); }

// The root of the slope in [a, b] where it runs from negative to positive.
double bisectSlope(const ParamCurve& c, double a, double b, const AcGePoint3d& q) {
  for (int i = 0; i < kMaxBisections && b - a > kNumericRelTol * std::max(1.0, std::fabs(a)); ++i) {
    const double m = 0.5 * (a + b);
    if (slope(c, m, q) < 0.0) a = m;
    else b = m;
  }
  return 0.5 * (a + b);
}

}  // namespace

ParamCurve ellipseCurve(const AcDbEllipse& e, bool full) {
  ParamCurve c;
  const AcGePoint3d centre = e.center();
  const AcGeVector3d major = e.majorAxis(), minor = e.minorAxis();
  c.point = [=](double t) { return centre + major * std::cos(t) + minor * std::sin(t); };
  c.deriv = [=](double t) { return major * -std::sin(t) + minor * std::cos(t); };
  c.lo = e.startParam();
  c.hi = full ? c.lo + kTwoPi : e.endParam();
  // Quarter turns keep the speed's extremes at section ends.
  for (int k = -8; k <= 8; ++k) c.breaks.push_back(0.5 * kPi * k);
  return c;
}

bool splineCurve(const AcDbSpline& s, ParamCurve& out) {
  double lo = 0.0, hi = 0.0;
  if (s.getStartParam(lo) != Acad::eOk || s.getEndParam(hi) != Acad::eOk) return false;
  int degree = 0;
  bool rational = false, closed = false, periodic = false;
  AcGePoint3dArray ctl;
  AcGeDoubleArray knots, weights;
  double ctlTol = 0.0, knotTol = 0.0;
  s.getNurbsData(degree, rational, closed, periodic, ctl, knots, weights, ctlTol, knotTol);
  const AcDbSpline* sp = &s;
  out.point = [sp](double t) {
    AcGePoint3d p;
    sp->getPointAtParam(t, p);
    return p;
  };
  out.deriv = [sp](double t) {
    AcGeVector3d d;
    sp->getFirstDeriv(t, d);
    return d;
  };
  out.lo = lo;
  out.hi = hi;
  for (double k : knots)
    if (k > lo && k < hi && (out.breaks.empty() || k > out.breaks.back())) out.breaks.push_back(k);
  return true;
}

double arcLength(const ParamCurve& c, double from, double to) {
  if (!(to > from)) return 0.0;
  const std::vector<double> ends = sectionEnds(c, from, to);
  double total = 0.0;
  for (size_t i = 0; i + 1 < ends.size(); ++i) {
    const double whole = gauss(c, ends[i], ends[i + 1]);
    total += adaptive(c, ends[i], ends[i + 1], whole, std::max(std::fabs(whole), kZeroLength), 0);
  }
  return total;
}

AcGeVector3d vectorArea(const ParamCurve& c, const AcGePoint3d& origin) {
  auto f = [&](double t) { return (c.point(t) - origin).crossProduct(c.deriv(t)); };
  const std::vector<double> ends = sectionEnds(c, c.lo, c.hi);
  AcGeVector3d total;
  for (size_t i = 0; i + 1 < ends.size(); ++i) {
    const AcGeVector3d whole = gaussVec(f, ends[i], ends[i + 1]);
    total += adaptiveVec(f, ends[i], ends[i + 1], whole, std::max(whole.length(), kZeroLength), 0);
  }
  return total * 0.5;
}

// About the start point the closing chord adds nothing.
double enclosedArea(const ParamCurve& c) { return vectorArea(c, c.point(c.lo)).length(); }

double paramAtLength(const ParamCurve& c, double from, double length) {
  double a = from, b = c.hi;
  if (length <= 0.0) return from;
  // Newton on L(t) - length, kept inside a shrinking bracket [a, b].
  double t = from + (c.hi - from) * std::min(1.0, length / std::max(arcLength(c, from, c.hi), kZeroLength));
  for (int i = 0; i < kMaxBisections; ++i) {
    const double err = arcLength(c, from, t) - length;
    if (std::fabs(err) <= kNumericRelTol * std::max(1.0, length)) break;
    if (err > 0.0) b = t;
    else a = t;
    const double v = speed(c, t);
    double next = v > 0.0 ? t - err / v : 0.5 * (a + b);
    if (!(next > a && next < b)) next = 0.5 * (a + b);
    if (b - a <= kNumericRelTol * std::max(1.0, std::fabs(t))) break;
    t = next;
  }
  return t;
}

double closestParam(const ParamCurve& c, const AcGePoint3d& q) {
  // Sample every section, then refine around the best sample where the slope changes sign.
  std::vector<double> samples;
  const std::vector<double> ends = sectionEnds(c, c.lo, c.hi);
  for (size_t i = 0; i + 1 < ends.size(); ++i)
    for (int k = 0; k < kSamplesPerSection; ++k)
      samples.push_back(ends[i] + (ends[i + 1] - ends[i]) * k / kSamplesPerSection);
  samples.push_back(c.hi);
  size_t best = 0;
  double bestD = distance2(c, samples[0], q);
  for (size_t i = 1; i < samples.size(); ++i) {
    const double d = distance2(c, samples[i], q);
    if (d < bestD) {
      bestD = d;
      best = i;
    }
  }
  double bestT = samples[best];
  auto consider = [&](double t) {
    const double d = distance2(c, t, q);
    if (d < bestD) {
      bestD = d;
      bestT = t;
    }
  };
  if (best > 0 && slope(c, samples[best - 1], q) < 0.0 && slope(c, samples[best], q) >= 0.0)
    consider(bisectSlope(c, samples[best - 1], samples[best], q));
  if (best + 1 < samples.size() && slope(c, samples[best], q) <= 0.0 && slope(c, samples[best + 1], q) > 0.0)
    consider(bisectSlope(c, samples[best], samples[best + 1], q));
  return bestT;
}

}  // namespace contura::db

using contura::db::arcLength;
using contura::db::closestParam;
using contura::db::kLengthRelTol;
using contura::db::kParamTol;
using contura::db::ParamCurve;
using contura::db::paramAtLength;

namespace {

Acad::ErrorStatus distAtParam(const ParamCurve& c, double param, double& dist) {
  const double tol = kParamTol * std::max(1.0, c.hi - c.lo);
  if (!(param >= c.lo - tol && param <= c.hi + tol)) return Acad::eInvalidInput;
  dist = arcLength(c, c.lo, std::clamp(param, c.lo, c.hi));
  return Acad::eOk;
}

Acad::ErrorStatus paramAtDist(const ParamCurve& c, double dist, double& param) {
  const double total = arcLength(c, c.lo, c.hi);
  if (!(dist >= 0.0 && dist <= total * (1.0 + kLengthRelTol) + contura::db::kZeroLength)) return Acad::eInvalidInput;
  param = dist >= total ? c.hi : paramAtLength(c, c.lo, dist);
  return Acad::eOk;
}

}  // namespace

Acad::ErrorStatus AcDbEllipse::getDistAtParam(double param, double& dist) const {
  return distAtParam(contura::db::ellipseCurve(*this, false), param, dist);
}

Acad::ErrorStatus AcDbEllipse::getParamAtDist(double dist, double& param) const {
  return paramAtDist(contura::db::ellipseCurve(*this, false), dist, param);
}

Acad::ErrorStatus AcDbSpline::getDistAtParam(double param, double& dist) const {
  ParamCurve c;
  if (!contura::db::splineCurve(*this, c)) return Acad::eNotImplementedYet;
  return distAtParam(c, param, dist);
}

Acad::ErrorStatus AcDbSpline::getParamAtDist(double dist, double& param) const {
  ParamCurve c;
  if (!contura::db::splineCurve(*this, c)) return Acad::eNotImplementedYet;
  return paramAtDist(c, dist, param);
}

Acad::ErrorStatus AcDbSpline::getParamAtPoint(const AcGePoint3d& point, double& param) const {
  ParamCurve c;
  if (!contura::db::splineCurve(*this, c)) return Acad::eNotImplementedYet;
  const double t = closestParam(c, point);
  AcDbExtents box;
  getGeomExtents(box);
  const double size = std::max(box.minPoint().asVector().length(), box.maxPoint().asVector().length());
  if (c.point(t).distanceTo(point) > contura::db::onCurveTol(size)) return Acad::eInvalidInput;
  param = t;
  return Acad::eOk;
}
