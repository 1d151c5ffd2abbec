// AcGeInterval: a parameter range [lower, upper], each end bounded or unbounded.
#pragma once
#include "gegbl.h"

class AcGeInterval {
public:
  AcGeInterval() = default;  // unbounded on both sides
  AcGeInterval(double lower, double upper) { set(lower, upper); }
  // One-sided: boundedBelow true gives [bound, +inf), false gives (-inf, bound].
  AcGeInterval(Adesk::Boolean boundedBelow, double bound) { set(boundedBelow, bound); }

  double lowerBound() const { return mLower; }
  double upperBound() const { return mUpper; }
  void getBounds(double& lower, double& upper) const { lower = mLower; upper = mUpper; }
  double length() const { return isBounded() ? mUpper - mLower : -1.0; }
  double tolerance() const { return mTol; }

  AcGeInterval& set(double lower, double upper);  // swaps the ends when given reversed
  AcGeInterval& set(Adesk::Boolean boundedBelow, double bound);
  AcGeInterval& set();  // unbounded
  AcGeInterval& setUpper(double upper) { mUpper = upper; mBoundedAbove = true; return *this; }
  AcGeInterval& setLower(double lower) { mLower = lower; mBoundedBelow = true; return *this; }
  AcGeInterval& setTolerance(double tol) { mTol = tol; return *this; }

  Adesk::Boolean isBounded() const { return mBoundedBelow && mBoundedAbove; }
  Adesk::Boolean isBoundedAbove() const { return mBoundedAbove; }
  Adesk::Boolean isBoundedBelow() const { return mBoundedBelow; }
  Adesk::Boolean isUnBounded() const { return !mBoundedBelow && !mBoundedAbove; }
  Adesk::Boolean isSingleton() const { return isBounded() && mUpper - mLower <= mTol; }
  // Within the interval, ends widened by tolerance().
  Adesk::Boolean contains(double val) const;
  Adesk::Boolean isEqualAtUpper(double value) const { return mBoundedAbove && value - mUpper <= mTol && mUpper - value <= mTol; }
  Adesk::Boolean isEqualAtLower(double value) const { return mBoundedBelow && value - mLower <= mTol && mLower - value <= mTol; }

  bool operator==(const AcGeInterval& other) const;
  bool operator!=(const AcGeInterval& other) const { return !(*this == other); }

private:
  double mLower = 0.0;
  double mUpper = 0.0;
  double mTol = 1.0e-12;
  bool mBoundedBelow = false;
  bool mBoundedAbove = false;
};
