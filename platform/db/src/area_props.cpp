// Area moments of loops; region area properties, 3D solid mass properties and hatch areas
// built on them.
#include "area_props.h"

#include "segments.h"

#include <contura/db/hatch_data.h>
#include <contura/ge/curve2d.h>
#include <dbhatch.h>
#include <dbregion.h>
#include <dbsol3d.h>
#include <dbspline.h>

#include "curve_numeric.h"

#include <algorithm>
#include <cmath>

namespace contura::db {

AreaMoments& AreaMoments::operator+=(const AreaMoments& o) {
  a += o.a;
  x += o.x;
  y += o.y;
  xx += o.xx;
  yy += o.yy;
  xy += o.xy;
  return *this;
}

AreaMoments AreaMoments::operator*(double k) const { return {a * k, x * k, y * k, xx * k, yy * k, xy * k}; }

AreaMoments AreaMoments::shifted(double dx, double dy) const {
  return {a, x + dx * a, y + dy * a, xx + 2.0 * dx * x + dx * dx * a, yy + 2.0 * dy * y + dy * dy * a,
          xy + dx * y + dy * x + dx * dy * a};
}

namespace {

// Exact boundary integrals of a straight segment, with the same potentials as the arcs
// below (x dy - y dx over 2, x^2 dy / 2, -y^2 dx / 2, x^3 dy / 3, -y^3 dx / 3, x^2 y dy / 2):
// the pieces of one loop must share them for the sums to be the area integrals.
AreaMoments segmentMoments(double x0, double y0, double x1, double y1) {
  const double dx = x1 - x0, dy = y1 - y0;
  return {0.5 * (x0 * y1 - x1 * y0),
          dy / 6.0 * (x0 * x0 + x0 * x1 + x1 * x1),
          -dx / 6.0 * (y0 * y0 + y0 * y1 + y1 * y1),
          dy / 12.0 * (x0 + x1) * (x0 * x0 + x1 * x1),
          -dx / 12.0 * (y0 + y1) * (y0 * y0 + y1 * y1),
          dy / 24.0 * (3.0 * x0 * x0 * y0 + x0 * x0 * y1 + 2.0 * x0 * x1 * (y0 + y1) + x1 * x1 * y0 + 3.0 * x1 * x1 * y1)};
}

// Integrals of cos^m t sin^n t over [t0, t0 + sweep], written as differences that keep their
// digits when the sweep is small (no subtraction of nearly equal sines or cosines).
struct TrigIntegrals {
  double c, s, cc, ss, ccc, sss, cccc, ssss, cs, ccs, cccs;
  TrigIntegrals(double t0, double sweep) {
    const double t1 = t0 + sweep;
    const double s0 = std::sin(t0), c0 = std::cos(t0), s1 = std::sin(t1), c1 = std::cos(t1);
    const double half = 0.5 * sweep, mid = t0 + half;
    const double dSin = 2.0 * std::cos(mid) * std::sin(half);   // sin t1 - sin t0
    const double dCos = -2.0 * std::sin(mid) * std::sin(half);  // cos t1 - cos t0
    const double dSin2 = std::sin(sweep) * std::sin(t0 + t1);   // sin^2 t1 - sin^2 t0
    const double dSinDouble = 2.0 * std::cos(2.0 * mid) * std::sin(sweep);        // sin 2t1 - sin 2t0
    const double dSinQuad = 2.0 * std::cos(4.0 * mid) * std::sin(2.0 * sweep);   // sin 4t1 - sin 4t0
    c = dSin;
    s = -dCos;
    cc = half + dSinDouble / 4.0;
    ss = half - dSinDouble / 4.0;
    ccc = dSin - dSin * (s1 * s1 + s1 * s0 + s0 * s0) / 3.0;
    sss = -dCos + dCos * (c1 * c1 + c1 * c0 + c0 * c0) / 3.0;
    cccc = 3.0 * sweep / 8.0 + dSinDouble / 4.0 + dSinQuad / 32.0;
    ssss = 3.0 * sweep / 8.0 - dSinDouble / 4.0 + dSinQuad / 32.0;
    cs = dSin2 / 2.0;
    ccs = -dCos * (c1 * c1 + c1 * c0 + c0 * c0) / 3.0;
    cccs = dSin2 * (c1 * c1 + c0 * c0) / 4.0;  // -(cos^4 t1 - cos^4 t0) / 4
  }
};

// Boundary integrals along an arc of centre (cx, cy) and radius r from angle t0 over sweep, in
// closed form: on the arc x = cx + r cos t, y = cy + r sin t, and each potential above is a
// polynomial of degree four at most in cos t and sin t.
AreaMoments arcMoments(double cx, double cy, double r, double t0, double sweep) {
  const TrigIntegrals I(t0, sweep);
  const double r2 = r * r, r3 = r2 * r;
  AreaMoments m;
  m.a = 0.5 * (r * cx * I.c + r * cy * I.s + r2 * sweep);
  m.x = 0.5 * r * (cx * cx * I.c + 2.0 * cx * r * I.cc + r2 * I.ccc);
  m.y = 0.5 * r * (cy * cy * I.s + 2.0 * cy * r * I.ss + r2 * I.sss);
  m.xx = r / 3.0 * (cx * cx * cx * I.c + 3.0 * cx * cx * r * I.cc + 3.0 * cx * r2 * I.ccc + r3 * I.cccc);
  m.yy = r / 3.0 * (cy * cy * cy * I.s + 3.0 * cy * cy * r * I.ss + 3.0 * cy * r2 * I.sss + r3 * I.ssss);
  m.xy = 0.5 * r *
         (cx * cx * cy * I.c + cx * cx * r * I.cs + 2.0 * cx * cy * r * I.cc + 2.0 * cx * r2 * I.ccs +
          cy * r2 * I.ccc + r3 * I.cccs);
  return m;
}

}  // namespace

AreaMoments loopMoments(std::span<const ge::BulgeVertex> loop, const AcGePoint2d& ref) {
  AreaMoments m;
  const size_t n = loop.size();
  if (n < 2) return m;
  for (size_t i = 0; i < n; ++i) {
    const AcGePoint2d& p0 = loop[i].point;
    const AcGePoint2d& p1 = loop[(i + 1) % n].point;
    if (p0.x == p1.x && p0.y == p1.y) continue;
    BulgeArc arc;
    if (std::fabs(loop[i].bulge) >= ge::tol::kBulgeStraight && bulgeArc(p0, p1, loop[i].bulge, arc))
      m += arcMoments(arc.center.x - ref.x, arc.center.y - ref.y, arc.radius, arc.startAngle, arc.sweep);
    else
      m += segmentMoments(p0.x - ref.x, p0.y - ref.y, p1.x - ref.x, p1.y - ref.y);
  }
  return m;
}

AreaMoments regionMoments(const std::vector<ge::BulgeLoop>& loops, const AcGePoint2d& ref) {
  AreaMoments total;
  for (size_t i = 0; i < loops.size(); ++i) {
    const AreaMoments m = loopMoments(loops[i], ref);
    // The boundary counts positive and every hole negative, whichever way they run.
    const double sign = (m.a < 0.0) == (i == 0) ? -1.0 : 1.0;
    total += m * sign;
  }
  return total;
}

ge::BulgeLoop toBulgeLoop(const Loop2d& loop) {
  ge::BulgeLoop out;
  out.reserve(loop.size());
  for (const LoopVertex& v : loop) out.push_back({v.pt, v.bulge});
  return out;
}

}  // namespace contura::db

namespace ge = contura::ge;
using contura::db::AreaMoments;
using contura::db::kGaussW;
using contura::db::kGaussX;
using contura::db::kPi;
using contura::db::kTwoPi;

// ---- regions ---------------------------------------------------------------------------------
namespace {

// Principal moments and axes of a symmetric 2x2 tensor [[a, b], [b, c]].
void principal2(double a, double b, double c, double moments[2], AcGeVector2d axes[2]) {
  const double phi = 0.5 * std::atan2(2.0 * b, a - c);
  const double cs = std::cos(phi), sn = std::sin(phi);
  axes[0].set(cs, sn);
  axes[1].set(-sn, cs);
  moments[0] = a * cs * cs + 2.0 * b * cs * sn + c * sn * sn;
  moments[1] = a * sn * sn - 2.0 * b * cs * sn + c * cs * cs;
}

}  // namespace

Acad::ErrorStatus AcDbRegion::getAreaProp(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                          const AcGeVector3d& yAxis, double& perimeter, double& area,
                                          AcGePoint2d& centroid, double momInertia[2], double& prodInertia,
                                          double prinMoments[2], AcGeVector2d prinAxes[2], double radiiGyration[2],
                                          AcGePoint2d& extentsLow, AcGePoint2d& extentsHigh) const {
  using namespace contura::db;
  const RegionData& d = regionData(*this);
  if (!d.modellerData.empty()) return Acad::eNotImplementedYet;
  if (d.loops.empty()) return Acad::eDegenerateGeometry;
  if (xAxis.isZeroLength() || yAxis.isZeroLength()) return Acad::eInvalidInput;
  const AcGeVector3d ux = xAxis.normal(), uy = yAxis.normal();
  const AcGeVector3d n = d.xAxis.crossProduct(d.yAxis);
  // The axes must span the region's plane.
  if (std::fabs(ux.dotProduct(uy)) > kSimilarityTol || std::fabs(ux.dotProduct(n)) > kSimilarityTol ||
      std::fabs(uy.dotProduct(n)) > kSimilarityTol)
    return Acad::eInvalidInput;
  // Plane coordinates (u, v) to the caller's system: a rotation (possibly mirrored) and a move.
  const double a11 = d.xAxis.dotProduct(ux), a12 = d.yAxis.dotProduct(ux);
  const double a21 = d.xAxis.dotProduct(uy), a22 = d.yAxis.dotProduct(uy);
  const AcGeVector3d o = d.origin - origin;
  const double tx = o.dotProduct(ux), ty = o.dotProduct(uy);
  const bool mirrored = a11 * a22 - a12 * a21 < 0.0;
  std::vector<ge::BulgeLoop> loops;
  double total = 0.0;
  AcGePoint2d lo(1e300, 1e300), hi(-1e300, -1e300);
  for (const Loop2d& loop : d.loops) {
    ge::BulgeLoop mapped;
    for (const LoopVertex& v : loop)
      mapped.push_back({AcGePoint2d(a11 * v.pt.x + a12 * v.pt.y + tx, a21 * v.pt.x + a22 * v.pt.y + ty),
                        mirrored ? -v.bulge : v.bulge});
    total += ge::loopPerimeter(mapped);
    for (size_t i = 0; i < mapped.size(); ++i)
      addSegmentBox(mapped[i].point, mapped[(i + 1) % mapped.size()].point, mapped[i].bulge, lo, hi);
    loops.push_back(std::move(mapped));
  }
  // Integrate about a point of the region, then move the second moments to the origin.
  const AcGePoint2d ref = loops.front().front().point;
  const AreaMoments m = regionMoments(loops, ref);
  if (!(m.a > 0.0)) return Acad::eDegenerateGeometry;
  const AreaMoments at0 = m.shifted(ref.x, ref.y);
  perimeter = total;
  area = m.a;
  centroid.set(ref.x + m.x / m.a, ref.y + m.y / m.a);
  momInertia[0] = at0.yy;  // about the x axis
  momInertia[1] = at0.xx;  // about the y axis
  prodInertia = at0.xy;
  // About the centroid: the inertia tensor [[Iyy, -Pxy], [-Pxy, Ixx]] in (x, y).
  const double cx = m.x / m.a, cy = m.y / m.a;
  const double ixc = m.yy - m.a * cy * cy, iyc = m.xx - m.a * cx * cx, pxyc = m.xy - m.a * cx * cy;
  principal2(ixc, -pxyc, iyc, prinMoments, prinAxes);
  radiiGyration[0] = std::sqrt(std::max(0.0, momInertia[0]) / m.a);
  radiiGyration[1] = std::sqrt(std::max(0.0, momInertia[1]) / m.a);
  extentsLow = lo;
  extentsHigh = hi;
  return Acad::eOk;
}

// ---- 3D solids -------------------------------------------------------------------------------
namespace {

struct Mat3 {
  double m[3][3] = {};
  static Mat3 linearOf(const AcGeMatrix3d& x) {
    Mat3 r;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) r.m[i][j] = x(unsigned(i), unsigned(j));
    return r;
  }
  AcGeVector3d col(int j) const { return {m[0][j], m[1][j], m[2][j]}; }
  AcGeVector3d operator*(const AcGeVector3d& v) const {
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
  }
  Mat3 operator*(const Mat3& o) const {
    Mat3 r;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j)
        for (int k = 0; k < 3; ++k) r.m[i][j] += m[i][k] * o.m[k][j];
    return r;
  }
  Mat3 transposed() const {
    Mat3 r;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) r.m[i][j] = m[j][i];
    return r;
  }
  double det() const {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  }
};

double component(const AcGeVector3d& v, int i) { return i == 0 ? v.x : (i == 1 ? v.y : v.z); }

// Eigenvalues and unit eigenvectors (columns of vecs) of a symmetric 3x3 matrix by Jacobi
// rotations.
void symmetricEigen(Mat3 a, double values[3], AcGeVector3d vecs[3]) {
  constexpr int kMaxSweeps = 64;
  Mat3 v;
  for (int i = 0; i < 3; ++i) v.m[i][i] = 1.0;
  for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
    const double off = std::fabs(a.m[0][1]) + std::fabs(a.m[0][2]) + std::fabs(a.m[1][2]);
    const double diag = std::fabs(a.m[0][0]) + std::fabs(a.m[1][1]) + std::fabs(a.m[2][2]);
    if (off <= contura::db::kNumericRelTol * diag || off == 0.0) break;
    for (int p = 0; p < 2; ++p)
      for (int q = p + 1; q < 3; ++q) {
        if (a.m[p][q] == 0.0) continue;
        const double theta = 0.5 * std::atan2(2.0 * a.m[p][q], a.m[q][q] - a.m[p][p]);
        const double c = std::cos(theta), s = std::sin(theta);
        Mat3 r;
        for (int i = 0; i < 3; ++i) r.m[i][i] = 1.0;
        r.m[p][p] = c;
        r.m[q][q] = c;
        r.m[p][q] = s;
        r.m[q][p] = -s;
        a = r.transposed() * a * r;
        v = v * r;
      }
  }
  for (int i = 0; i < 3; ++i) {
    values[i] = a.m[i][i];
    vecs[i] = v.col(i);
  }
}

// Surface area of the side of an extrusion: each boundary segment swept along the mapped
// extrusion vector.
double sideArea(const contura::db::SolidData& d, const Mat3& L) {
  const AcGeVector3d up = L * AcGeVector3d(0.0, 0.0, d.height);
  constexpr int kPiecesPerTurn = 16;
  double total = 0.0;
  for (const contura::db::Loop2d& loop : d.loops) {
    const size_t n = loop.size();
    for (size_t i = 0; i < n; ++i) {
      const AcGePoint2d& p0 = loop[i].pt;
      const AcGePoint2d& p1 = loop[(i + 1) % n].pt;
      contura::db::BulgeArc arc;
      if (!contura::db::bulgeArc(p0, p1, loop[i].bulge, arc)) {
        total += (L * AcGeVector3d(p1.x - p0.x, p1.y - p0.y, 0.0)).crossProduct(up).length();
        continue;
      }
      // Gauss-Legendre over the angle; exact for similarities (a constant integrand).
      const int pieces = std::max(1, int(std::ceil(std::fabs(arc.sweep) / kTwoPi * kPiecesPerTurn)));
      const double h = arc.sweep / pieces;
      for (int p = 0; p < pieces; ++p)
        for (int k = 0; k < 4; ++k)
          for (double sgn : {-1.0, 1.0}) {
            const double t = arc.startAngle + h * (p + 0.5) + sgn * 0.5 * h * kGaussX[k];
            const AcGeVector3d tangent(-arc.radius * std::sin(t), arc.radius * std::cos(t), 0.0);
            total += kGaussW[k] * 0.5 * std::fabs(h) * (L * tangent).crossProduct(up).length();
          }
    }
  }
  return total;
}

}  // namespace

Acad::ErrorStatus AcDb3dSolid::getArea(double& area) const {
  using namespace contura::db;
  const SolidData& d = solidData(*this);
  if (d.kind == SolidData::kModeller) return Acad::eNotImplementedYet;
  if (d.kind == SolidData::kNone || d.loops.empty()) return Acad::eDegenerateGeometry;
  std::vector<ge::BulgeLoop> loops;
  for (const Loop2d& loop : d.loops) loops.push_back(toBulgeLoop(loop));
  const AreaMoments m = regionMoments(loops, loops.front().front().point);
  const Mat3 L = Mat3::linearOf(d.placement);
  const double capScale = L.col(0).crossProduct(L.col(1)).length();
  area = 2.0 * m.a * capScale + sideArea(d, L);
  return Acad::eOk;
}

Acad::ErrorStatus AcDb3dSolid::getMassProp(double& volume, AcGePoint3d& centroid, double momInertia[3],
                                           double prodInertia[3], double prinMoments[3], AcGeVector3d prinAxes[3],
                                           double radiiGyration[3], AcDbExtents& extents) const {
  using namespace contura::db;
  const SolidData& d = solidData(*this);
  if (d.kind == SolidData::kModeller) return Acad::eNotImplementedYet;
  if (d.kind == SolidData::kNone || d.loops.empty()) return Acad::eDegenerateGeometry;
  std::vector<ge::BulgeLoop> loops;
  for (const Loop2d& loop : d.loops) loops.push_back(toBulgeLoop(loop));
  const AcGePoint2d ref = loops.front().front().point;
  const AreaMoments m = regionMoments(loops, ref);
  // Local integrals over the prism (x, y relative to ref; z from baseZ to baseZ + height).
  const double z0 = d.baseZ, z1 = d.baseZ + d.height;
  const double h = d.height, z2 = 0.5 * (z1 * z1 - z0 * z0), z3 = (z1 * z1 * z1 - z0 * z0 * z0) / 3.0;
  const double V = m.a * h;
  const AcGeVector3d S(m.x * h, m.y * h, m.a * z2);
  Mat3 J;
  J.m[0][0] = m.xx * h;
  J.m[1][1] = m.yy * h;
  J.m[2][2] = m.a * z3;
  J.m[0][1] = J.m[1][0] = m.xy * h;
  J.m[0][2] = J.m[2][0] = m.x * z2;
  J.m[1][2] = J.m[2][1] = m.y * z2;
  // World: p = L q + t, with the reference point folded into t.
  const Mat3 L = Mat3::linearOf(d.placement);
  const double detL = std::fabs(L.det());
  const AcGeVector3d t = d.placement.translation() + L * AcGeVector3d(ref.x, ref.y, 0.0);
  const AcGeVector3d LS = L * S;
  const Mat3 LJLt = L * J * L.transposed();
  Mat3 Jw;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      Jw.m[i][j] = detL * (LJLt.m[i][j] + component(LS, i) * component(t, j) + component(t, i) * component(LS, j) +
                           V * component(t, i) * component(t, j));
  volume = detL * V;
  if (!(volume > 0.0)) return Acad::eDegenerateGeometry;
  const AcGeVector3d first = (LS + t * V) * detL;
  const AcGeVector3d c = first / volume;
  centroid = AcGePoint3d::kOrigin + c;
  momInertia[0] = Jw.m[1][1] + Jw.m[2][2];
  momInertia[1] = Jw.m[0][0] + Jw.m[2][2];
  momInertia[2] = Jw.m[0][0] + Jw.m[1][1];
  prodInertia[0] = Jw.m[0][1];
  prodInertia[1] = Jw.m[1][2];
  prodInertia[2] = Jw.m[2][0];
  // About the centroid: the inertia tensor trace(Jc) I - Jc.
  Mat3 Jc = Jw;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) Jc.m[i][j] -= volume * component(c, i) * component(c, j);
  const double trace = Jc.m[0][0] + Jc.m[1][1] + Jc.m[2][2];
  Mat3 I;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) I.m[i][j] = (i == j ? trace : 0.0) - Jc.m[i][j];
  symmetricEigen(I, prinMoments, prinAxes);
  for (int i = 0; i < 3; ++i) radiiGyration[i] = std::sqrt(std::max(0.0, momInertia[i]) / volume);
  return getGeomExtents(extents);
}

// ---- hatches ---------------------------------------------------------------------------------
namespace {

using contura::db::HatchEdge;
using contura::db::HatchLoop;

// A circular or elliptic arc edge as p(t) = centre + U cos t + V sin t over t from its start
// angle through `sweep` (0 < sweep <= 2 pi); stored angles of clockwise edges are measured
// clockwise, so V is turned round for them.
struct ArcFrame {
  AcGeVector2d U, V;
  double sweep = 0.0;
  AcGePoint2d at(const HatchEdge& e, double t) const { return e.center + U * std::cos(t) + V * std::sin(t); }
};

ArcFrame arcFrameOf(const HatchEdge& e) {
  const bool circle = e.type == AcDbHatch::kCirArc;
  ArcFrame f;
  f.U = circle ? AcGeVector2d(e.radius, 0.0) : e.majorAxis;
  f.V = circle ? AcGeVector2d(0.0, e.radius) : AcGeVector2d(-e.majorAxis.y, e.majorAxis.x) * e.minorRatio;
  if (!e.ccw) f.V = -f.V;
  f.sweep = std::fmod(e.endAngle - e.startAngle, kTwoPi);
  if (f.sweep <= 0.0) f.sweep += kTwoPi;
  return f;
}

// Half the boundary integral of p x dp (twice-signed-area contribution halved) of an edge,
// relative to ref: the edge's share of the loop's signed area.
double edgeArea(const HatchEdge& e, const AcGePoint2d& ref, bool& ok) {
  auto cross = [](const AcGeVector2d& a, const AcGeVector2d& b) { return a.x * b.y - a.y * b.x; };
  switch (e.type) {
    case AcDbHatch::kLine:
      return 0.5 * cross(e.start - ref, e.end - ref);
    case AcDbHatch::kCirArc:
    case AcDbHatch::kEllArc: {
      const ArcFrame f = arcFrameOf(e);
      const AcGeVector2d &U = f.U, &V = f.V;
      const double sweep = f.sweep, t0 = e.startAngle, t1 = t0 + sweep;
      const AcGeVector2d c = e.center - ref;
      const AcGeVector2d chordPart = U * (std::cos(t1) - std::cos(t0)) + V * (std::sin(t1) - std::sin(t0));
      return 0.5 * (cross(U, V) * sweep + cross(c, chordPart));
    }
    case AcDbHatch::kSpline: {
      if (e.controlPoints.empty()) break;
      AcGePoint3dArray ctl;
      AcGeDoubleArray knots, weights;
      for (const AcGePoint2d& p : e.controlPoints) ctl.append(AcGePoint3d(p.x - ref.x, p.y - ref.y, 0.0));
      for (double k : e.knots) knots.append(k);
      for (double w : e.weights) weights.append(w);
      AcDbSpline spline;
      if (spline.setNurbsData(e.degree, e.rational, false, e.periodic, ctl, knots, weights) != Acad::eOk) break;
      contura::db::ParamCurve c;
      if (!contura::db::splineCurve(spline, c)) break;
      // About the origin of the shifted frame: the edge's own share of the loop integral.
      const AcGeVector3d v = contura::db::vectorArea(c, AcGePoint3d::kOrigin);
      return v.z;
    }
    default:
      break;
  }
  ok = false;
  return 0.0;
}

// The loop as a polygon good enough to tell which loops lie inside which (curved edges
// sampled), or exactly as bulge vertices when it has only lines and arcs.
contura::ge::BulgeLoop containmentLoop(const HatchLoop& loop) {
  constexpr int kSamplesPerEdge = 32;
  contura::ge::BulgeLoop out;
  if (loop.isPolyline()) {
    for (const auto& v : loop.vertices) out.push_back({v.pt, v.bulge});
    return out;
  }
  for (const HatchEdge& e : loop.edges) {
    if (e.type == AcDbHatch::kLine) {
      out.push_back({e.start, 0.0});
      continue;
    }
    if (e.type == AcDbHatch::kSpline) {
      for (const AcGePoint2d& p : e.controlPoints.empty() ? e.fitPoints : e.controlPoints) out.push_back({p, 0.0});
      continue;
    }
    const ArcFrame f = arcFrameOf(e);
    for (int k = 0; k < kSamplesPerEdge; ++k) out.push_back({f.at(e, e.startAngle + f.sweep * k / kSamplesPerEdge), 0.0});
  }
  return out;
}

}  // namespace

namespace contura::db {

Acad::ErrorStatus hatchLoopArea(const AcDbHatch& hatch, int loopIndex, double& signedArea) {
  const HatchData& d = hatchData(hatch);
  if (loopIndex < 0 || loopIndex >= int(d.loops.size())) return Acad::eInvalidIndex;
  const HatchLoop& loop = d.loops[size_t(loopIndex)];
  if (loop.isPolyline()) {
    ge::BulgeLoop verts;
    for (const auto& v : loop.vertices) verts.push_back({v.pt, v.bulge});
    // An open polyline loop is closed by its last segment running straight back.
    if (!loop.closed && !verts.empty()) verts.back().bulge = 0.0;
    signedArea = verts.size() < 2 ? 0.0 : ge::loopSignedArea(verts);
    return Acad::eOk;
  }
  if (loop.edges.empty()) {
    signedArea = 0.0;
    return Acad::eOk;
  }
  const AcGePoint2d ref = loop.edges.front().type == AcDbHatch::kLine ? loop.edges.front().start
                                                                      : loop.edges.front().center;
  bool ok = true;
  double total = 0.0;
  for (const HatchEdge& e : loop.edges) total += edgeArea(e, ref, ok);
  if (!ok) return Acad::eNotApplicable;
  signedArea = total;
  return Acad::eOk;
}

namespace {

int piecesFor(double turn, double maxTurn) { return std::max(1, int(std::ceil(std::fabs(turn) / maxTurn))); }

// The points of an arc or elliptic arc edge from its start, its end left out.
void sampleArcEdge(const HatchEdge& e, double maxTurn, std::vector<AcGePoint2d>& out) {
  const ArcFrame f = arcFrameOf(e);
  const int pieces = piecesFor(f.sweep, maxTurn);
  for (int k = 0; k < pieces; ++k) out.push_back(f.at(e, e.startAngle + f.sweep * k / pieces));
}

// The points of a spline edge from its start, its end left out.
void sampleSplineEdge(const HatchEdge& e, std::vector<AcGePoint2d>& out) {
  if (e.controlPoints.empty()) {
    if (!e.fitPoints.empty()) out.insert(out.end(), e.fitPoints.begin(), e.fitPoints.end() - 1);
    return;
  }
  AcGePoint3dArray ctl;
  AcGeDoubleArray knots, weights;
  for (const AcGePoint2d& p : e.controlPoints) ctl.append(AcGePoint3d(p.x, p.y, 0.0));
  for (double k : e.knots) knots.append(k);
  for (double w : e.weights) weights.append(w);
  AcDbSpline spline;
  ParamCurve c;
  if (spline.setNurbsData(e.degree, e.rational, false, e.periodic, ctl, knots, weights) != Acad::eOk ||
      !splineCurve(spline, c)) {
    out.insert(out.end(), e.controlPoints.begin(), e.controlPoints.end() - 1);  // its control polygon
    return;
  }
  const int pieces = kHatchSplineSamplesPerSpan * std::max<int>(1, int(c.breaks.size()) + 1);
  for (int k = 0; k < pieces; ++k) {
    const AcGePoint3d p = c.point(c.lo + (c.hi - c.lo) * k / pieces);
    out.push_back(AcGePoint2d(p.x, p.y));
  }
}

// The points of a bulged segment from a to b, b left out.
void sampleBulge(const AcGePoint2d& a, const AcGePoint2d& b, double bulge, double maxTurn,
                 std::vector<AcGePoint2d>& out) {
  out.push_back(a);
  AcGeCircArc2d arc;
  if (!ge::arcFromBulge(a, b, bulge, arc)) return;
  const double sweep = arc.endAng() - arc.startAng();
  const int pieces = piecesFor(sweep, maxTurn);
  for (int k = 1; k < pieces; ++k) out.push_back(arc.evalPoint(arc.startAng() + sweep * k / pieces));
}

}  // namespace

Acad::ErrorStatus hatchLoopPolygon(const AcDbHatch& hatch, int loopIndex, double maxTurn,
                                   std::vector<AcGePoint2d>& points) {
  const HatchData& d = hatchData(hatch);
  if (loopIndex < 0 || loopIndex >= int(d.loops.size())) return Acad::eInvalidIndex;
  if (!(maxTurn > 0.0)) return Acad::eInvalidInput;
  const HatchLoop& loop = d.loops[size_t(loopIndex)];
  points.clear();
  if (loop.isPolyline()) {
    const size_t n = loop.vertices.size();
    for (size_t i = 0; i < n; ++i) {
      const bool last = i + 1 == n;
      // An open loop's last vertex runs straight back to the first.
      const double bulge = last && !loop.closed ? 0.0 : loop.vertices[i].bulge;
      sampleBulge(loop.vertices[i].pt, loop.vertices[last ? 0 : i + 1].pt, bulge, maxTurn, points);
    }
    return Acad::eOk;
  }
  for (const HatchEdge& e : loop.edges) {
    if (e.type == AcDbHatch::kLine) points.push_back(e.start);
    else if (e.type == AcDbHatch::kSpline) sampleSplineEdge(e, points);
    else sampleArcEdge(e, maxTurn, points);
  }
  return Acad::eOk;
}

}  // namespace contura::db

Acad::ErrorStatus AcDbHatch::getArea(double& area) const {
  using namespace contura::db;
  const HatchData& d = hatchData(*this);
  const size_t n = d.loops.size();
  std::vector<double> areas(n);
  std::vector<ge::BulgeLoop> shapes(n);
  for (size_t i = 0; i < n; ++i) {
    Acad::ErrorStatus es = hatchLoopArea(*this, int(i), areas[i]);
    if (es != Acad::eOk) return es;
    shapes[i] = containmentLoop(d.loops[i]);
  }
  // Loops nest as islands: the depth of a loop is the number of loops around it. Normal
  // style fills alternate depths, outer style only the outermost band, ignore style only
  // the outermost loops.
  double total = 0.0;
  for (size_t i = 0; i < n; ++i) {
    int depth = 0;
    for (size_t j = 0; j < n; ++j) {
      if (j == i || shapes[j].size() < 2) continue;
      // The first vertex of loop i that is not on loop j tells which side of j it is on.
      for (const auto& v : shapes[i]) {
        const ge::PointContainment where = ge::classifyPoint(shapes[j], v.point);
        if (where == ge::PointContainment::kOnBoundary) continue;
        if (where == ge::PointContainment::kInside) ++depth;
        break;
      }
    }
    const double a = std::fabs(areas[i]);
    switch (d.style) {
      case kOuter:
        total += depth == 0 ? a : (depth == 1 ? -a : 0.0);
        break;
      case kIgnore:
        total += depth == 0 ? a : 0.0;
        break;
      default:
        total += depth % 2 == 0 ? a : -a;
        break;
    }
  }
  area = total;
  return Acad::eOk;
}
