// Lines, rays and segments in 2D, and the parameter intervals they report.
#include <algorithm>
#include <cmath>
#include <limits>

#include "geline2d.h"
#include "gelnsg2d.h"
#include "geray2d.h"

// ---------------------------------------------------------------- AcGeInterval

AcGeInterval& AcGeInterval::set(double lower, double upper) {
  if (lower > upper) std::swap(lower, upper);
  mLower = lower;
  mUpper = upper;
  mBoundedBelow = mBoundedAbove = true;
  return *this;
}

AcGeInterval& AcGeInterval::set(Adesk::Boolean boundedBelow, double bound) {
  mBoundedBelow = boundedBelow;
  mBoundedAbove = !boundedBelow;
  mLower = mUpper = bound;
  return *this;
}

AcGeInterval& AcGeInterval::set() {
  mBoundedBelow = mBoundedAbove = false;
  mLower = mUpper = 0.0;
  return *this;
}

Adesk::Boolean AcGeInterval::contains(double val) const {
  if (mBoundedBelow && val < mLower - mTol) return false;
  if (mBoundedAbove && val > mUpper + mTol) return false;
  return true;
}

bool AcGeInterval::operator==(const AcGeInterval& o) const {
  if (mBoundedBelow != o.mBoundedBelow || mBoundedAbove != o.mBoundedAbove) return false;
  if (mBoundedBelow && std::fabs(mLower - o.mLower) > mTol) return false;
  if (mBoundedAbove && std::fabs(mUpper - o.mUpper) > mTol) return false;
  return true;
}

// ---------------------------------------------------------------- AcGeCurve2d

Adesk::Boolean AcGeCurve2d::isOn(const AcGePoint2d& pnt, double& param, const AcGeTol& tol) const {
  if (!isOn(pnt, tol)) return false;
  param = paramOf(pnt, tol);
  return true;
}

// ---------------------------------------------------------------- AcGeLinearEnt2d

void AcGeLinearEnt2d::getLine(AcGeLine2d& line) const { line.set(mBase, mDir); }

void AcGeLinearEnt2d::getPerpLine(const AcGePoint2d& pnt, AcGeLine2d& perpLine) const {
  perpLine.set(pnt, mDir.perpVector());
}

Adesk::Boolean AcGeLinearEnt2d::isParallelTo(const AcGeLinearEnt2d& line, const AcGeTol& tol) const {
  return mDir.isParallelTo(line.mDir, tol);
}

Adesk::Boolean AcGeLinearEnt2d::isPerpendicularTo(const AcGeLinearEnt2d& line, const AcGeTol& tol) const {
  return mDir.isPerpendicularTo(line.mDir, tol);
}

Adesk::Boolean AcGeLinearEnt2d::isColinearTo(const AcGeLinearEnt2d& line, const AcGeTol& tol) const {
  if (!isParallelTo(line, tol)) return false;
  return std::fabs((line.mBase - mBase).crossProduct(mDir)) <= tol.equalPoint();
}

double AcGeLinearEnt2d::clampParam(double t) const {
  if (mHasLower && t < mLower) return mLower;
  if (mHasUpper && t > mUpper) return mUpper;
  return t;
}

void AcGeLinearEnt2d::getInterval(AcGeInterval& range) const {
  if (mHasLower && mHasUpper) {
    range.set(mLower, mUpper);
  } else if (mHasLower) {
    range.set(true, mLower);
  } else if (mHasUpper) {
    range.set(false, mUpper);
  } else {
    range.set();
  }
}

AcGePoint2d AcGeLinearEnt2d::evalPoint(double param) const { return mBase + mDir * param; }

AcGePoint2d AcGeLinearEnt2d::evalPoint(double param, int numDeriv, AcGeVector2dArray& derivArray) const {
  derivArray.removeAll();
  if (numDeriv >= 1) derivArray.append(mDir);
  if (numDeriv >= 2) derivArray.append(AcGeVector2d::kIdentity);
  return evalPoint(param);
}

double AcGeLinearEnt2d::paramOf(const AcGePoint2d& pnt, const AcGeTol&) const {
  return clampParam((pnt - mBase).dotProduct(mDir));
}

AcGePoint2d AcGeLinearEnt2d::closestPointTo(const AcGePoint2d& pnt, const AcGeTol&) const {
  return evalPoint(clampParam((pnt - mBase).dotProduct(mDir)));
}

double AcGeLinearEnt2d::length(double fromParam, double toParam, const AcGeTol&) const {
  return mDir.isZeroLength() ? 0.0 : std::fabs(toParam - fromParam);
}

double AcGeLinearEnt2d::paramAtLength(double datumParam, double length, Adesk::Boolean posParamDir,
                                      const AcGeTol&) const {
  return posParamDir ? datumParam + length : datumParam - length;
}

Adesk::Boolean AcGeLinearEnt2d::hasStartPoint(AcGePoint2d& startPnt) const {
  if (!mHasLower) return false;
  startPnt = evalPoint(mLower);
  return true;
}

Adesk::Boolean AcGeLinearEnt2d::hasEndPoint(AcGePoint2d& endPnt) const {
  if (!mHasUpper) return false;
  endPnt = evalPoint(mUpper);
  return true;
}

Adesk::Boolean AcGeLinearEnt2d::isClosed(const AcGeTol&) const { return false; }

Adesk::Boolean AcGeLinearEnt2d::isEqualTo(const AcGeEntity2d& ent, const AcGeTol& tol) const {
  if (ent.type() != type()) return false;
  const auto& o = static_cast<const AcGeLinearEnt2d&>(ent);
  if (mHasLower != o.mHasLower || mHasUpper != o.mHasUpper) return false;
  AcGePoint2d a, b;
  if (mHasLower && !(hasStartPoint(a) && o.hasStartPoint(b) && a.isEqualTo(b, tol))) return false;
  if (mHasUpper && !(hasEndPoint(a) && o.hasEndPoint(b) && a.isEqualTo(b, tol))) return false;
  if (!mHasLower && !mHasUpper) return isColinearTo(o, tol) && mDir.isCodirectionalTo(o.mDir, tol);
  return mDir.isEqualTo(o.mDir, tol) || (mHasLower && mHasUpper && mDir.isZeroLength(tol));
}

// ---------------------------------------------------------------- AcGeLine2d

// Reflections across a line, declared with the point and matrix classes.
AcGePoint2d& AcGePoint2d::mirror(const AcGeLine2d& line) { return mirror(line.pointOnLine(), line.direction()); }
AcGeMatrix2d& AcGeMatrix2d::setToMirroring(const AcGeLine2d& line) {
  return setToMirroring(line.pointOnLine(), line.direction());
}
AcGeMatrix2d AcGeMatrix2d::mirroring(const AcGeLine2d& line) { return AcGeMatrix2d().setToMirroring(line); }

const AcGeLine2d AcGeLine2d::kXAxis(AcGePoint2d(0.0, 0.0), AcGeVector2d(1.0, 0.0));
const AcGeLine2d AcGeLine2d::kYAxis(AcGePoint2d(0.0, 0.0), AcGeVector2d(0.0, 1.0));

AcGeLine2d::AcGeLine2d() = default;
AcGeLine2d::AcGeLine2d(const AcGePoint2d& pnt, const AcGeVector2d& vec) { set(pnt, vec); }
AcGeLine2d::AcGeLine2d(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2) { set(pnt1, pnt2); }

AcGeLine2d& AcGeLine2d::set(const AcGePoint2d& pnt, const AcGeVector2d& vec) {
  const AcGeVector2d d = vec.normal();
  if (d.isZeroLength()) return *this;  // no direction: keep the line as it was
  mBase = pnt;
  mDir = d;
  return *this;
}

AcGeLine2d& AcGeLine2d::set(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2) { return set(pnt1, pnt2 - pnt1); }

AcGeEntity2d& AcGeLine2d::transformBy(const AcGeMatrix2d& xfm) {
  const AcGePoint2d p = xfm * mBase;
  return set(p, xfm * mDir);
}

AcGeCurve2d& AcGeLine2d::reverseParam() {
  mDir.negate();
  return *this;
}

// ---------------------------------------------------------------- AcGeRay2d

AcGeRay2d::AcGeRay2d() {
  mHasLower = true;
  mLower = 0.0;
}
AcGeRay2d::AcGeRay2d(const AcGePoint2d& pnt, const AcGeVector2d& vec) : AcGeRay2d() { set(pnt, vec); }
AcGeRay2d::AcGeRay2d(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2) : AcGeRay2d() { set(pnt1, pnt2); }

AcGeRay2d& AcGeRay2d::set(const AcGePoint2d& pnt, const AcGeVector2d& vec) {
  const AcGeVector2d d = vec.normal();
  if (d.isZeroLength()) return *this;
  mBase = pnt;
  mDir = d;
  return *this;
}

AcGeRay2d& AcGeRay2d::set(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2) { return set(pnt1, pnt2 - pnt1); }

AcGeEntity2d& AcGeRay2d::transformBy(const AcGeMatrix2d& xfm) {
  const AcGePoint2d p = xfm * mBase;
  return set(p, xfm * mDir);
}

AcGeCurve2d& AcGeRay2d::reverseParam() {
  mDir.negate();
  return *this;
}

// ---------------------------------------------------------------- AcGeLineSeg2d

AcGeLineSeg2d::AcGeLineSeg2d() { set(AcGePoint2d(0.0, 0.0), AcGePoint2d(1.0, 0.0)); }
AcGeLineSeg2d::AcGeLineSeg2d(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2) { set(pnt1, pnt2); }
AcGeLineSeg2d::AcGeLineSeg2d(const AcGePoint2d& pnt, const AcGeVector2d& vec) { set(pnt, vec); }

AcGeLineSeg2d& AcGeLineSeg2d::set(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2) {
  const AcGePoint2d a = pnt1, b = pnt2;  // the arguments may be this segment's own ends
  mStart = a;
  mEnd = b;
  mBase = a;
  const AcGeVector2d v = b - a;
  const double len = v.length();
  mDir = len > 0.0 ? v / len : AcGeVector2d();
  mHasLower = mHasUpper = true;
  mLower = 0.0;
  mUpper = len;
  return *this;
}

AcGeLineSeg2d& AcGeLineSeg2d::set(const AcGePoint2d& pnt, const AcGeVector2d& vec) { return set(pnt, pnt + vec); }

AcGePoint2d AcGeLineSeg2d::midPoint() const { return baryComb(0.5); }

AcGePoint2d AcGeLineSeg2d::baryComb(double blendCoeff) const {
  return {mStart.x + (mEnd.x - mStart.x) * blendCoeff, mStart.y + (mEnd.y - mStart.y) * blendCoeff};
}

void AcGeLineSeg2d::getBisector(AcGeLine2d& line) const {
  line.set(midPoint(), (mEnd - mStart).perpVector());
}

AcGePoint2d AcGeLineSeg2d::evalPoint(double param) const {
  // The ends come back exactly as they were given.
  if (param == 0.0) return mStart;
  if (param == mUpper) return mEnd;
  return mBase + mDir * param;
}

AcGeEntity2d& AcGeLineSeg2d::transformBy(const AcGeMatrix2d& xfm) {
  const AcGePoint2d a = xfm * mStart, b = xfm * mEnd;
  return set(a, b);
}

AcGeCurve2d& AcGeLineSeg2d::reverseParam() { return set(mEnd, mStart); }
