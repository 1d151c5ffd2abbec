// Bulge segments of polylines, hatch and region loops: arc data and evaluation in 2D.
#pragma once
#include "internal.h"

#include <contura/ge/curve2d.h>
#include <gepnt2d.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace contura::db {

// The circle of a bulge segment from p0 to p1 (bulge = tan of a quarter of the signed
// included angle), from the geometry's bulge conversion. False for a straight bulge
// (contura::ge::isStraightBulge) or a zero-length segment.
struct BulgeArc {
  AcGePoint2d center;
  double radius = 0.0;
  double startAngle = 0.0;  // angle of p0 seen from the centre
  double sweep = 0.0;       // signed included angle (positive: counter-clockwise)
};
bool bulgeArc(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, BulgeArc& arc);
// Point at fraction t (0..1) of the segment (uniform in angle on arcs).
AcGePoint2d segmentPoint(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, double t);
// Derivative with respect to t.
AcGeVector2d segmentDeriv(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, double t);
double segmentLength(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge);
// The fraction t of the segment nearest pt, and the distance from pt to that point.
double segmentParamOf(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, const AcGePoint2d& pt,
                      double& distance);
// Adds the segment's 2D bounding box to lo/hi.
void addSegmentBox(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, AcGePoint2d& lo, AcGePoint2d& hi);
// Adds the world box of the segment, lying in the OCS plane given by toWorld at elevation.
void addSegmentExtents(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, const AcGeMatrix3d& toWorld,
                       double elevation, AcDbExtents& box);
// A new AcDbLine or AcDbArc for the segment in the OCS of normal at elevation, or null for a
// zero-length segment.
AcDbCurve* segmentEntity(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge,
                         const AcGeVector3d& normal, double elevation);
// True when angle (any value) lies on the counter-clockwise sweep from start of size sweep >= 0.
bool angleInSweep(double angle, double start, double sweep);

// The path of a polyline in its OCS, the one segment model of the lightweight and the
// old-style polyline: vertices V (anything with a point `pt` and the `bulge` of the segment
// that starts there), open or closed. Vertex i sits at parameter i; a one-vertex path is a
// point at parameter 0. Members answer false for a parameter, point or distance off the path.
struct PathVertex {
  AcGePoint2d pt;
  double bulge = 0.0;
};
template <class V> class BulgePath {
public:
  BulgePath(const std::vector<V>& vertices, bool closed) : mV(vertices), mClosed(closed) {}

  bool empty() const { return mV.empty(); }
  size_t segments() const { return mV.size() < 2 ? 0 : (mClosed ? mV.size() : mV.size() - 1); }
  double endParam() const { return double(segments()); }

  AcGePoint2d pointAt(size_t i, double t) const { return segmentPoint(from(i), to(i), mV[i].bulge, t); }

  // A parameter as a segment index and the fraction inside it; false outside
  // [0, endParam] (with kParamTol to spare).
  bool split(double param, size_t& index, double& t) const {
    const double end = endParam();
    if (!(param >= -kParamTol && param <= end + kParamTol)) return false;
    param = std::clamp(param, 0.0, end);
    index = segments() == 0 ? 0 : std::min(size_t(std::floor(param)), segments() - 1);
    t = segments() == 0 ? 0.0 : param - double(index);
    return true;
  }
  bool pointAtParam(double param, AcGePoint2d& p) const {
    size_t i = 0;
    double t = 0.0;
    if (empty() || !split(param, i, t)) return false;
    p = segments() == 0 ? mV[0].pt : pointAt(i, t);
    return true;
  }
  bool firstDerivAt(double param, AcGeVector2d& d) const {
    size_t i = 0;
    double t = 0.0;
    if (empty() || !split(param, i, t)) return false;
    d = segments() == 0 ? AcGeVector2d() : segmentDeriv(from(i), to(i), mV[i].bulge, t);
    return true;
  }
  bool secondDerivAt(double param, AcGeVector2d& d) const {
    size_t i = 0;
    double t = 0.0;
    if (empty() || !split(param, i, t)) return false;
    BulgeArc arc;
    d = AcGeVector2d();
    if (segments() > 0 && bulgeArc(from(i), to(i), mV[i].bulge, arc)) {
      const double a = arc.startAngle + arc.sweep * t;
      d = AcGeVector2d(std::cos(a), std::sin(a)) * (-arc.radius * arc.sweep * arc.sweep);
    }
    return true;
  }
  // The parameter of the path point nearest p when it lies within tol of the path.
  bool paramAtPoint(const AcGePoint2d& p, double tol, double& param) const {
    if (empty()) return false;
    double best = p.distanceTo(mV[0].pt), bestParam = 0.0;
    for (size_t i = 0; i < segments(); ++i) {
      double d = 0.0;
      const double t = segmentParamOf(from(i), to(i), mV[i].bulge, p, d);
      if (i == 0 || d < best) {
        best = d;
        bestParam = double(i) + t;
      }
    }
    if (best > tol) return false;
    param = bestParam;
    return true;
  }
  bool distAtParam(double param, double& dist) const {
    size_t index = 0;
    double t = 0.0;
    if (empty() || !split(param, index, t)) return false;
    dist = 0.0;
    for (size_t i = 0; i < index; ++i) dist += segmentLength(from(i), to(i), mV[i].bulge);
    if (segments() > 0) dist += t * segmentLength(from(index), to(index), mV[index].bulge);
    return true;
  }
  bool paramAtDist(double dist, double& param) const {
    if (empty() || dist < 0.0) return false;
    double walked = 0.0;
    for (size_t i = 0; i < segments(); ++i) {
      const double len = segmentLength(from(i), to(i), mV[i].bulge);
      if (dist <= walked + len) {
        param = double(i) + (len > 0.0 ? (dist - walked) / len : 0.0);
        return true;
      }
      walked += len;
    }
    if (dist > walked * (1.0 + kLengthRelTol) + kZeroLength) return false;
    param = endParam();
    return true;
  }
  // Largest distance of a vertex from the OCS origin (the size on-curve tolerances scale with).
  double size() const {
    double s = 0.0;
    for (const V& v : mV) s = std::max(s, std::hypot(v.pt.x, v.pt.y));
    return s;
  }
  // The world box of the path lying in the OCS plane given by toWorld at elevation.
  void addExtents(const AcGeMatrix3d& toWorld, double elevation, AcDbExtents& box) const {
    if (!empty()) box.addPoint(toWorld * AcGePoint3d(mV[0].pt.x, mV[0].pt.y, elevation));
    for (size_t i = 0; i < segments(); ++i) addSegmentExtents(from(i), to(i), mV[i].bulge, toWorld, elevation, box);
  }
  // A line or arc for each segment of non-zero length, with the properties of source.
  void explode(const AcDbEntity& source, const AcGeVector3d& normal, double elevation,
               AcDbVoidPtrArray& entitySet) const {
    for (size_t i = 0; i < segments(); ++i) {
      AcDbCurve* piece = segmentEntity(from(i), to(i), mV[i].bulge, normal, elevation);
      if (piece == nullptr) continue;
      piece->setPropertiesFrom(&source);
      entitySet.append(piece);
    }
  }

private:
  const AcGePoint2d& from(size_t i) const { return mV[i].pt; }
  const AcGePoint2d& to(size_t i) const { return mV[(i + 1) % mV.size()].pt; }

  const std::vector<V>& mV;
  bool mClosed;
};

}  // namespace contura::db
