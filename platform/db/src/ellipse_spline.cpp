// Ellipses (parameters, points, any affine transform, extents) and splines (NURBS data,
// de Boor evaluation, transforms, extents).
#include "internal.h"
#include "segments.h"

#include <dbelipse.h>
#include <dbspline.h>

#include <algorithm>
#include <cmath>

using contura::db::kTwoPi;
using contura::db::normalizeAngle;
using contura::db::onCurveTol;

using contura::db::kParamTol;

// ---- AcDbEllipse ------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbEllipse, AcDbCurve, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, ELLIPSE,
                        ObjectDBX Classes)

AcDbEllipse::AcDbEllipse() = default;
AcDbEllipse::AcDbEllipse(const AcGePoint3d& center, const AcGeVector3d& unitNormal, const AcGeVector3d& majorAxis,
                         double radiusRatio, double startAngle, double endAngle) {
  set(center, unitNormal, majorAxis, radiusRatio, startAngle, endAngle);
}
AcDbEllipse::~AcDbEllipse() = default;

const AcRxClass* AcDbEllipse::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbEllipse&>(src);
  return AcDbEllipse::desc();
}

AcGeVector3d AcDbEllipse::minorAxis() const { return mNormal.crossProduct(mMajor) * mRatio; }

double AcDbEllipse::paramAtAngle(double angle) const {
  // A point at parametric angle p has tan(angle) = ratio * tan(p).
  const double p = std::atan2(std::sin(angle), mRatio * std::cos(angle));
  return normalizeAngle(p);
}

double AcDbEllipse::angleAtParam(double param) const {
  return normalizeAngle(std::atan2(mRatio * std::sin(param), std::cos(param)));
}

double AcDbEllipse::startAngle() const { return angleAtParam(mStartParam); }
double AcDbEllipse::endAngle() const {
  const double a = angleAtParam(mEndParam);
  return (mEndParam - mStartParam >= kTwoPi - kParamTol && a <= angleAtParam(mStartParam)) ? a + kTwoPi : a;
}

namespace {
// Start in [0, 2pi); end after it by (0, 2pi]; a full turn when they coincide.
void normalizeRange(double& start, double& end) {
  const double span = end - start;
  start = normalizeAngle(start);
  if (std::fabs(span) >= kTwoPi - kParamTol || std::fabs(span) <= kParamTol) {
    end = start + kTwoPi;
    return;
  }
  double e = normalizeAngle(end);
  if (e <= start) e += kTwoPi;
  end = e;
}
}  // namespace

Acad::ErrorStatus AcDbEllipse::setStartParam(double startParam) {
  if (!writable()) return Acad::eNotOpenForWrite;
  double end = mEndParam;
  const double start = normalizeAngle(startParam);
  end = normalizeAngle(end);
  if (end <= start) end += kTwoPi;
  mStartParam = start;
  mEndParam = end;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::setEndParam(double endParam) {
  if (!writable()) return Acad::eNotOpenForWrite;
  double start = mStartParam, end = endParam;
  normalizeRange(start, end);
  mStartParam = start;
  mEndParam = end;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::setStartAngle(double startAngle) { return setStartParam(paramAtAngle(startAngle)); }
Acad::ErrorStatus AcDbEllipse::setEndAngle(double endAngle) {
  if (!writable()) return Acad::eNotOpenForWrite;
  const bool fullTurn = std::fabs(endAngle - startAngle()) >= kTwoPi - kParamTol;
  double start = mStartParam;
  double end = fullTurn ? mStartParam + kTwoPi : paramAtAngle(endAngle);
  normalizeRange(start, end);
  mEndParam = end;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::setCenter(const AcGePoint3d& center) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mCenter = center;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::setRadiusRatio(double ratio) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(ratio > contura::db::kZeroLength && ratio <= 1.0 + contura::db::kZeroLength)) return Acad::eInvalidInput;
  mRatio = std::min(ratio, 1.0);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::get(AcGePoint3d& center, AcGeVector3d& unitNormal, AcGeVector3d& majorAxis,
                                   double& radiusRatio, double& startAngle, double& endAngle) const {
  center = mCenter;
  unitNormal = mNormal;
  majorAxis = mMajor;
  radiusRatio = mRatio;
  startAngle = this->startAngle();
  endAngle = this->endAngle();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::set(const AcGePoint3d& center, const AcGeVector3d& unitNormal,
                                   const AcGeVector3d& majorAxis, double radiusRatio, double startAngle,
                                   double endAngle) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (unitNormal.isZeroLength() || majorAxis.isZeroLength()) return Acad::eInvalidInput;
  const AcGeVector3d n = unitNormal.normal();
  // Normal and major axis must be perpendicular (relative tolerance on their cosine).
  if (std::fabs(n.dotProduct(majorAxis.normal())) > contura::db::kSimilarityTol) return Acad::eInvalidInput;
  if (!(radiusRatio > contura::db::kZeroLength && radiusRatio <= 1.0 + contura::db::kZeroLength)) return Acad::eInvalidInput;
  mCenter = center;
  mNormal = n;
  mMajor = majorAxis;
  mRatio = std::min(radiusRatio, 1.0);
  double start = paramAtAngle(startAngle);
  double end = (std::fabs(endAngle - startAngle) >= kTwoPi - kParamTol) ? start + kTwoPi : paramAtAngle(endAngle);
  normalizeRange(start, end);
  mStartParam = start;
  mEndParam = end;
  return Acad::eOk;
}

bool AcDbEllipse::isClosed() const { return mEndParam - mStartParam >= kTwoPi - kParamTol; }

Acad::ErrorStatus AcDbEllipse::getPlane(AcGePlane& plane) const {
  plane.set(mCenter, mNormal);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbEllipse::getStartParam(double& startParam) const {
  startParam = mStartParam;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbEllipse::getEndParam(double& endParam) const {
  endParam = mEndParam;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbEllipse::getStartPoint(AcGePoint3d& startPoint) const {
  startPoint = mCenter + mMajor * std::cos(mStartParam) + minorAxis() * std::sin(mStartParam);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbEllipse::getEndPoint(AcGePoint3d& endPoint) const {
  endPoint = mCenter + mMajor * std::cos(mEndParam) + minorAxis() * std::sin(mEndParam);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getPointAtParam(double param, AcGePoint3d& point) const {
  if (!(param >= mStartParam - kParamTol && param <= mEndParam + kParamTol)) return Acad::eInvalidInput;
  point = mCenter + mMajor * std::cos(param) + minorAxis() * std::sin(param);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getParamAtPoint(const AcGePoint3d& point, double& param) const {
  const AcGeVector3d v = point - mCenter;
  const AcGeVector3d minor = minorAxis();
  const double a2 = mMajor.lengthSqrd(), b2 = minor.lengthSqrd();
  if (a2 <= 0.0 || b2 <= 0.0) return Acad::eInvalidInput;
  const double c = v.dotProduct(mMajor) / a2, s = v.dotProduct(minor) / b2;
  const double p = std::atan2(s, c);
  const AcGePoint3d onCurve = mCenter + mMajor * std::cos(p) + minor * std::sin(p);
  if (onCurve.distanceTo(point) > onCurveTol(std::max(std::sqrt(a2), mCenter.asVector().length())))
    return Acad::eInvalidInput;
  double rel = std::fmod(p - mStartParam, kTwoPi);
  if (rel < 0.0) rel += kTwoPi;
  if (rel > mEndParam - mStartParam + kParamTol) {
    if (kTwoPi - rel <= kParamTol) rel = 0.0;
    else return Acad::eInvalidInput;
  }
  param = mStartParam + rel;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getFirstDeriv(double param, AcGeVector3d& firstDeriv) const {
  if (!(param >= mStartParam - kParamTol && param <= mEndParam + kParamTol)) return Acad::eInvalidInput;
  firstDeriv = mMajor * -std::sin(param) + minorAxis() * std::cos(param);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getSecondDeriv(double param, AcGeVector3d& secDeriv) const {
  if (!(param >= mStartParam - kParamTol && param <= mEndParam + kParamTol)) return Acad::eInvalidInput;
  secDeriv = mMajor * -std::cos(param) + minorAxis() * -std::sin(param);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  // The image is c' + u cos t + v sin t with conjugate semi-diameters u, v; turn them into
  // perpendicular ones by shifting the parameter by t0.
  AcGeVector3d u = mMajor, v = minorAxis();
  u.transformBy(xform);
  v.transformBy(xform);
  const double t0 = 0.5 * std::atan2(2.0 * u.dotProduct(v), u.lengthSqrd() - v.lengthSqrd());
  AcGeVector3d a = u * std::cos(t0) + v * std::sin(t0);
  AcGeVector3d b = u * -std::sin(t0) + v * std::cos(t0);
  double shift = t0;
  if (a.length() < b.length()) {
    const AcGeVector3d oldA = a;
    a = b;
    b = -oldA;
    shift += 0.5 * contura::db::kPi;
  }
  if (a.isZeroLength() || b.isZeroLength()) return Acad::eInvalidInput;
  AcGeVector3d n = a.crossProduct(b).normal();
  double start = mStartParam - shift, end = mEndParam - shift;
  // Keep the normal on the side the plane's own normal maps to (a mirrored ellipse runs the
  // other way instead of turning over).
  const AcGeVector3d mapped = contura::db::transformNormal(xform, mNormal);
  if (!mapped.isZeroLength() && n.dotProduct(mapped) < 0.0) {
    n = -n;
    const double s = -end;
    end = -start;
    start = s;
  }
  const double span = end - start;
  mCenter.transformBy(xform);
  mMajor = a;
  mNormal = n;
  mRatio = std::min(1.0, b.length() / a.length());
  mStartParam = normalizeAngle(start);
  mEndParam = mStartParam + span;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getGeomExtents(AcDbExtents& extents) const {
  AcDbExtents box;
  AcGePoint3d p;
  getStartPoint(p);
  box.addPoint(p);
  getEndPoint(p);
  box.addPoint(p);
  const AcGeVector3d minor = minorAxis();
  const double sweep = mEndParam - mStartParam;
  for (int i = 0; i < 3; ++i) {
    const double t = std::atan2(minor[i], mMajor[i]);
    for (double cand : {t, t + contura::db::kPi}) {
      if (contura::db::angleInSweep(cand, mStartParam, sweep))
        box.addPoint(mCenter + mMajor * std::cos(cand) + minor * std::sin(cand));
    }
  }
  extents = box;
  return Acad::eOk;
}

// ---- AcDbSpline ------------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbSpline, AcDbCurve, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, SPLINE,
                        ObjectDBX Classes)

namespace {
// Degree limits of the drawing file.
constexpr int kMinDegree = 1;
constexpr int kMaxDegree = 25;

struct Homogeneous {
  double x = 0, y = 0, z = 0, w = 0;
  Homogeneous operator*(double f) const { return {x * f, y * f, z * f, w * f}; }
  Homogeneous operator+(const Homogeneous& o) const { return {x + o.x, y + o.y, z + o.z, w + o.w}; }
  Homogeneous operator-(const Homogeneous& o) const { return {x - o.x, y - o.y, z - o.z, w - o.w}; }
};

// The knot span index k with knots[k] <= t < knots[k+1] inside the domain.
int findSpan(const std::vector<double>& knots, int degree, int numCtl, double t) {
  if (t >= knots[size_t(numCtl)]) return numCtl - 1;
  int k = degree;
  while (k < numCtl - 1 && t >= knots[size_t(k) + 1]) ++k;
  return k;
}

// de Boor on homogeneous points.
Homogeneous deBoor(const std::vector<Homogeneous>& pts, const std::vector<double>& knots, int degree, double t) {
  const int n = int(pts.size());
  const int k = findSpan(knots, degree, n, t);
  std::vector<Homogeneous> d(size_t(degree) + 1);
  for (int j = 0; j <= degree; ++j) d[size_t(j)] = pts[size_t(j + k - degree)];
  for (int r = 1; r <= degree; ++r) {
    for (int j = degree; j >= r; --j) {
      const double left = knots[size_t(j + k - degree)];
      const double right = knots[size_t(j + 1 + k - r)];
      const double alpha = right > left ? (t - left) / (right - left) : 0.0;
      d[size_t(j)] = d[size_t(j) - 1] * (1.0 - alpha) + d[size_t(j)] * alpha;
    }
  }
  return d[size_t(degree)];
}

}  // namespace

AcDbSpline::AcDbSpline() = default;

AcDbSpline::AcDbSpline(const AcGePoint3dArray& fitPoints, int order, double fitTolerance) {
  setFitData(fitPoints, order - 1, fitTolerance, AcGeVector3d(), AcGeVector3d());
}

AcDbSpline::AcDbSpline(int degree, bool rational, bool closed, bool periodic, const AcGePoint3dArray& controlPoints,
                       const AcGeDoubleArray& knots, const AcGeDoubleArray& weights, double controlPtTol,
                       double knotTol) {
  setNurbsData(degree, rational, closed, periodic, controlPoints, knots, weights, controlPtTol, knotTol);
}

AcDbSpline::~AcDbSpline() = default;

const AcRxClass* AcDbSpline::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbSpline&>(src);
  return AcDbSpline::desc();
}

Acad::ErrorStatus AcDbSpline::getControlPointAt(int index, AcGePoint3d& point) const {
  if (index < 0 || index >= numControlPoints()) return Acad::eInvalidIndex;
  point = mControlPoints[size_t(index)];
  return Acad::eOk;
}
Acad::ErrorStatus AcDbSpline::setControlPointAt(int index, const AcGePoint3d& point) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (index < 0 || index >= numControlPoints()) return Acad::eInvalidIndex;
  mControlPoints[size_t(index)] = point;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbSpline::getWeightAt(int index, double& weight) const {
  if (index < 0 || index >= numControlPoints()) return Acad::eInvalidIndex;
  weight = mWeights.empty() ? 1.0 : mWeights[size_t(index)];
  return Acad::eOk;
}
Acad::ErrorStatus AcDbSpline::getFitPointAt(int index, AcGePoint3d& point) const {
  if (index < 0 || index >= numFitPoints()) return Acad::eInvalidIndex;
  point = mFitPoints[size_t(index)];
  return Acad::eOk;
}
Acad::ErrorStatus AcDbSpline::setFitPointAt(int index, const AcGePoint3d& point) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (index < 0 || index >= numFitPoints()) return Acad::eInvalidIndex;
  mFitPoints[size_t(index)] = point;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbSpline::purgeFitData() {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!hasControlData()) return Acad::eNotApplicable;  // the fit data is all there is
  mFitPoints.clear();
  mStartTangent = mEndTangent = AcGeVector3d();
  mFitTolerance = 0.0;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getNurbsData(int& degree, bool& rational, bool& closed, bool& periodic,
                                           AcGePoint3dArray& controlPoints, AcGeDoubleArray& knots,
                                           AcGeDoubleArray& weights, double& controlPtTol, double& knotTol) const {
  degree = mDegree;
  rational = isRational();
  closed = mClosed;
  periodic = mPeriodic;
  controlPoints.removeAll();
  for (const AcGePoint3d& p : mControlPoints) controlPoints.append(p);
  knots.removeAll();
  for (double k : mKnots) knots.append(k);
  weights.removeAll();
  for (double w : mWeights) weights.append(w);
  controlPtTol = mControlTolerance;
  knotTol = mKnotTolerance;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::setNurbsData(int degree, bool rational, bool closed, bool periodic,
                                           const AcGePoint3dArray& controlPoints, const AcGeDoubleArray& knots,
                                           const AcGeDoubleArray& weights, double controlPtTol, double knotTol) {
  if (!writable()) return Acad::eNotOpenForWrite;
  const int n = controlPoints.length();
  if (degree < kMinDegree || degree > kMaxDegree || n < degree + 1) return Acad::eInvalidInput;
  if (knots.length() != n + degree + 1) return Acad::eInvalidInput;
  for (int i = 1; i < knots.length(); ++i)
    if (knots[i] < knots[i - 1]) return Acad::eInvalidInput;
  if (!(knots[n] > knots[degree])) return Acad::eInvalidInput;
  if (rational && weights.length() != n) return Acad::eInvalidInput;
  if (rational)
    for (double w : weights)
      if (!(w > 0.0)) return Acad::eInvalidInput;
  mDegree = degree;
  mClosed = closed;
  mPeriodic = periodic;
  mControlPoints.assign(controlPoints.begin(), controlPoints.end());
  mKnots.assign(knots.begin(), knots.end());
  if (rational) mWeights.assign(weights.begin(), weights.end());
  else mWeights.clear();
  mControlTolerance = controlPtTol;
  mKnotTolerance = knotTol;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getFitData(AcGePoint3dArray& fitPoints, int& degree, double& fitTolerance,
                                         bool& tangentsExist, AcGeVector3d& startTangent,
                                         AcGeVector3d& endTangent) const {
  if (!hasFitData()) return Acad::eNotApplicable;
  fitPoints.removeAll();
  for (const AcGePoint3d& p : mFitPoints) fitPoints.append(p);
  degree = mDegree;
  fitTolerance = mFitTolerance;
  tangentsExist = !mStartTangent.isZeroLength() || !mEndTangent.isZeroLength();
  startTangent = mStartTangent;
  endTangent = mEndTangent;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::setFitData(const AcGePoint3dArray& fitPoints, int degree, double fitTolerance,
                                         const AcGeVector3d& startTangent, const AcGeVector3d& endTangent) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (fitPoints.length() < 2 || degree < kMinDegree || degree > kMaxDegree || fitTolerance < 0.0)
    return Acad::eInvalidInput;
  mFitPoints.assign(fitPoints.begin(), fitPoints.end());
  mDegree = degree;
  mFitTolerance = fitTolerance;
  mStartTangent = startTangent;
  mEndTangent = endTangent;
  // The control data no longer matches the fit points: it is dropped, not recomputed.
  mControlPoints.clear();
  mKnots.clear();
  mWeights.clear();
  return Acad::eOk;
}

AcGePoint3d AcDbSpline::evaluate(double param) const {
  std::vector<Homogeneous> pts(mControlPoints.size());
  for (size_t i = 0; i < pts.size(); ++i) {
    const double w = mWeights.empty() ? 1.0 : mWeights[i];
    pts[i] = {mControlPoints[i].x * w, mControlPoints[i].y * w, mControlPoints[i].z * w, w};
  }
  const Homogeneous h = deBoor(pts, mKnots, mDegree, param);
  return AcGePoint3d(h.x / h.w, h.y / h.w, h.z / h.w);
}

bool AcDbSpline::isClosed() const {
  if (mClosed) return true;
  AcGePoint3d s, e;
  return getStartPoint(s) == Acad::eOk && getEndPoint(e) == Acad::eOk && s.isEqualTo(e);
}

bool AcDbSpline::isPlanar() const {
  const std::vector<AcGePoint3d>& pts = hasControlData() ? mControlPoints : mFitPoints;
  if (pts.size() < 3) return true;
  // The plane of the first point and the two directions spanning the widest triangle.
  AcGeVector3d n;
  for (size_t i = 1; i + 1 < pts.size() && n.isZeroLength(); ++i)
    for (size_t j = i + 1; j < pts.size() && n.isZeroLength(); ++j)
      n = (pts[i] - pts[0]).crossProduct(pts[j] - pts[0]);
  if (n.isZeroLength()) return true;
  n.normalize();
  double size = 0.0;
  for (const AcGePoint3d& p : pts) size = std::max(size, p.distanceTo(pts[0]));
  for (const AcGePoint3d& p : pts)
    if (std::fabs((p - pts[0]).dotProduct(n)) > onCurveTol(size)) return false;
  return true;
}

Acad::ErrorStatus AcDbSpline::getStartParam(double& startParam) const {
  if (!hasControlData()) return Acad::eNotImplementedYet;
  startParam = mKnots[size_t(mDegree)];
  return Acad::eOk;
}
Acad::ErrorStatus AcDbSpline::getEndParam(double& endParam) const {
  if (!hasControlData()) return Acad::eNotImplementedYet;
  endParam = mKnots[mControlPoints.size()];
  return Acad::eOk;
}
Acad::ErrorStatus AcDbSpline::getStartPoint(AcGePoint3d& startPoint) const {
  if (hasControlData()) {
    startPoint = evaluate(mKnots[size_t(mDegree)]);
    return Acad::eOk;
  }
  if (mFitPoints.empty()) return Acad::eDegenerateGeometry;
  startPoint = mFitPoints.front();
  return Acad::eOk;
}
Acad::ErrorStatus AcDbSpline::getEndPoint(AcGePoint3d& endPoint) const {
  if (hasControlData()) {
    endPoint = evaluate(mKnots[mControlPoints.size()]);
    return Acad::eOk;
  }
  if (mFitPoints.empty()) return Acad::eDegenerateGeometry;
  endPoint = mFitPoints.back();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getPointAtParam(double param, AcGePoint3d& point) const {
  if (!hasControlData()) return Acad::eNotImplementedYet;
  const double lo = mKnots[size_t(mDegree)], hi = mKnots[mControlPoints.size()];
  const double tol = kParamTol * std::max(1.0, hi - lo);
  if (!(param >= lo - tol && param <= hi + tol)) return Acad::eInvalidInput;
  point = evaluate(std::clamp(param, lo, hi));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getFirstDeriv(double param, AcGeVector3d& firstDeriv) const {
  if (!hasControlData()) return Acad::eNotImplementedYet;
  const double lo = mKnots[size_t(mDegree)], hi = mKnots[mControlPoints.size()];
  const double tol = kParamTol * std::max(1.0, hi - lo);
  if (!(param >= lo - tol && param <= hi + tol)) return Acad::eInvalidInput;
  const double t = std::clamp(param, lo, hi);
  // Homogeneous curve A(t) = (w x, w y, w z, w) and its derivative curve of one degree less;
  // the point's derivative is (A' - w' C) / w.
  const size_t n = mControlPoints.size();
  std::vector<Homogeneous> pts(n);
  for (size_t i = 0; i < n; ++i) {
    const double w = mWeights.empty() ? 1.0 : mWeights[i];
    pts[i] = {mControlPoints[i].x * w, mControlPoints[i].y * w, mControlPoints[i].z * w, w};
  }
  const Homogeneous a = deBoor(pts, mKnots, mDegree, t);
  std::vector<Homogeneous> dpts(n - 1);
  for (size_t i = 0; i + 1 < n; ++i) {
    const double span = mKnots[i + size_t(mDegree) + 1] - mKnots[i + 1];
    dpts[i] = span > 0.0 ? (pts[i + 1] - pts[i]) * (double(mDegree) / span) : Homogeneous{};
  }
  Homogeneous da{};
  if (mDegree >= 1 && n >= 2) {
    const std::vector<double> dknots(mKnots.begin() + 1, mKnots.end() - 1);
    da = deBoor(dpts, dknots, mDegree - 1, t);
  }
  const AcGeVector3d c(a.x / a.w, a.y / a.w, a.z / a.w);
  firstDeriv = (AcGeVector3d(da.x, da.y, da.z) - c * da.w) / a.w;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  for (AcGePoint3d& p : mControlPoints) p.transformBy(xform);
  for (AcGePoint3d& p : mFitPoints) p.transformBy(xform);
  mStartTangent.transformBy(xform);
  mEndTangent.transformBy(xform);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getGeomExtents(AcDbExtents& extents) const {
  const std::vector<AcGePoint3d>& pts = hasControlData() ? mControlPoints : mFitPoints;
  if (pts.empty()) return Acad::eInvalidExtents;
  AcDbExtents box;
  for (const AcGePoint3d& p : pts) box.addPoint(p);
  extents = box;
  return Acad::eOk;
}
