// AcGeTol: the two tolerances the geometry classes compare with (point and vector equality).
#pragma once

// equalPoint: two points are equal when their distance is at most this value.
// equalVector: two vectors are equal when the length of their difference is at most this
// value; the same number is the threshold of the parallel, perpendicular, zero-length and
// unit-length tests of AcGeVector2d/AcGeVector3d.
// Both default to 1e-10 drawing units, as on the host.
class AcGeTol {
public:
  constexpr AcGeTol() = default;

  double equalPoint() const { return mEqualPoint; }
  double equalVector() const { return mEqualVector; }
  void setEqualPoint(double val) { mEqualPoint = val; }
  void setEqualVector(double val) { mEqualVector = val; }

private:
  double mEqualPoint = 1.0e-10;
  double mEqualVector = 1.0e-10;
};
