// Spline editing: splitting at parameters by knot insertion and reversing the direction, both
// exact (the pieces trace the same points).
#include "curve_numeric.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace contura::db {
namespace {

// Control points in homogeneous form (x w, y w, z w, w).
struct HPoint {
  double x = 0.0, y = 0.0, z = 0.0, w = 1.0;
  HPoint blend(const HPoint& o, double a) const {
    return {x + (o.x - x) * a, y + (o.y - y) * a, z + (o.z - z) * a, w + (o.w - w) * a};
  }
};

struct Nurbs {
  int degree = 0;
  bool rational = false;
  std::vector<double> knots;
  std::vector<HPoint> ctl;

  static Nurbs of(const AcDbSpline& s) {
    Nurbs n;
    bool closed = false, periodic = false;
    AcGePoint3dArray pts;
    AcGeDoubleArray knots, weights;
    double ctlTol = 0.0, knotTol = 0.0;
    s.getNurbsData(n.degree, n.rational, closed, periodic, pts, knots, weights, ctlTol, knotTol);
    n.knots.assign(knots.begin(), knots.end());
    for (int i = 0; i < pts.length(); ++i) {
      const double w = n.rational ? weights[i] : 1.0;
      n.ctl.push_back({pts[i].x * w, pts[i].y * w, pts[i].z * w, w});
    }
    return n;
  }

  Acad::ErrorStatus applyTo(AcDbSpline& s) const {
    AcGePoint3dArray pts;
    AcGeDoubleArray knotArray, weights;
    for (const HPoint& p : ctl) {
      pts.append(AcGePoint3d(p.x / p.w, p.y / p.w, p.z / p.w));
      weights.append(p.w);
    }
    for (double k : knots) knotArray.append(k);
    if (!rational) weights.setLogicalLength(0);
    return s.setNurbsData(degree, rational, false, false, pts, knotArray, weights);
  }

  // Inserts knot u once (Boehm): the curve is unchanged.
  void insert(double u) {
    const int p = degree;
    const int n = int(ctl.size());
    // The span k with knots[k] <= u < knots[k + 1], within the control range.
    int k = int(std::upper_bound(knots.begin(), knots.end(), u) - knots.begin()) - 1;
    k = std::clamp(k, p, n - 1);
    std::vector<HPoint> out(size_t(n) + 1);
    for (int i = 0; i <= n; ++i) {
      if (i <= k - p) {
        out[size_t(i)] = ctl[size_t(i)];
      } else if (i > k) {
        out[size_t(i)] = ctl[size_t(i - 1)];
      } else {
        const double a = (u - knots[size_t(i)]) / (knots[size_t(i + p)] - knots[size_t(i)]);
        out[size_t(i)] = ctl[size_t(i - 1)].blend(ctl[size_t(i)], a);
      }
    }
    knots.insert(knots.begin() + k + 1, u);
    ctl = std::move(out);
  }

  // Splits at u (inside the domain): this keeps [lo, u], the result is [u, hi].
  Nurbs splitAt(double u) {
    const int p = degree;
    int have = int(std::count(knots.begin(), knots.end(), u));
    for (; have < p; ++have) insert(u);
    const int first = int(std::lower_bound(knots.begin(), knots.end(), u) - knots.begin());
    Nurbs right;
    right.degree = p;
    right.rational = rational;
    right.knots.push_back(u);
    right.knots.insert(right.knots.end(), knots.begin() + first, knots.end());
    right.ctl.assign(ctl.begin() + (first - 1), ctl.end());
    knots.resize(size_t(first + p));
    knots.push_back(u);
    ctl.resize(size_t(first));
    return right;
  }
};

}  // namespace

Acad::ErrorStatus splitSpline(const AcDbSpline& spline, const std::vector<double>& cuts, AcDbVoidPtrArray& out) {
  if (spline.numControlPoints() == 0) return Acad::eNotImplementedYet;
  Nurbs rest = Nurbs::of(spline);
  std::vector<AcDbSpline*> pieces;
  auto emit = [&](const Nurbs& n) {
    auto* piece = AcDbSpline::cast(spline.clone());
    piece->purgeFitData();
    if (n.applyTo(*piece) != Acad::eOk) {
      delete piece;
      return false;
    }
    pieces.push_back(piece);
    return true;
  };
  bool ok = true;
  for (double u : cuts) {
    Nurbs right = rest.splitAt(u);
    ok = ok && emit(rest);
    rest = std::move(right);
  }
  ok = ok && emit(rest);
  if (!ok) {
    for (AcDbSpline* p : pieces) delete p;
    return Acad::eInvalidInput;
  }
  for (AcDbSpline* p : pieces) out.append(p);
  return Acad::eOk;
}

Acad::ErrorStatus reverseSpline(AcDbSpline& spline) {
  AcGePoint3dArray fit;
  int degree = 0;
  double fitTol = 0.0;
  bool tangents = false;
  AcGeVector3d startTan, endTan;
  const bool hasFit = spline.getFitData(fit, degree, fitTol, tangents, startTan, endTan) == Acad::eOk;
  const bool hasControl = spline.numControlPoints() > 0;
  Nurbs n;
  if (hasControl) {
    n = Nurbs::of(spline);
    std::reverse(n.ctl.begin(), n.ctl.end());
    const double a = n.knots.front(), b = n.knots.back();
    std::reverse(n.knots.begin(), n.knots.end());
    for (double& k : n.knots) k = a + b - k;
  }
  if (hasFit) {
    AcGePoint3dArray back;
    for (int i = fit.length(); i-- > 0;) back.append(fit[i]);
    // Setting fit data drops the control data, which is set again after it.
    const Acad::ErrorStatus es = spline.setFitData(back, degree, fitTol, -endTan, -startTan);
    if (es != Acad::eOk) return es;
  }
  return hasControl ? n.applyTo(spline) : Acad::eOk;
}

}  // namespace contura::db
