// AcGeScale3d: independent scale factors along X, Y and Z.
#pragma once
#include "gegbl.h"

class AcGeMatrix3d;

class AcGeScale3d {
public:
  constexpr AcGeScale3d() = default;  // (1,1,1)
  constexpr explicit AcGeScale3d(double factor) : sx(factor), sy(factor), sz(factor) {}
  constexpr AcGeScale3d(double xFact, double yFact, double zFact) : sx(xFact), sy(yFact), sz(zFact) {}

  static const AcGeScale3d kIdentity;

  AcGeScale3d operator*(const AcGeScale3d& s) const { return {sx * s.sx, sy * s.sy, sz * s.sz}; }
  AcGeScale3d& operator*=(const AcGeScale3d& s) { return *this = *this * s; }
  AcGeScale3d operator*(double f) const { return {sx * f, sy * f, sz * f}; }
  AcGeScale3d& operator*=(double f) { return *this = *this * f; }
  friend AcGeScale3d operator*(double f, const AcGeScale3d& s) { return s * f; }
  AcGeScale3d& setToProduct(const AcGeScale3d& s1, const AcGeScale3d& s2) { return *this = s1 * s2; }
  AcGeScale3d& setToProduct(const AcGeScale3d& s, double f) { return *this = s * f; }
  // Reciprocal factors; a zero factor stays zero.
  AcGeScale3d inverse() const;
  AcGeScale3d& invert() { return *this = inverse(); }
  Adesk::Boolean isProportional(const AcGeTol& tol = AcGeContext::gTol) const;

  bool operator==(const AcGeScale3d& s) const { return isEqualTo(s); }
  bool operator!=(const AcGeScale3d& s) const { return !isEqualTo(s); }
  Adesk::Boolean isEqualTo(const AcGeScale3d& s, const AcGeTol& tol = AcGeContext::gTol) const;

  double operator[](unsigned int i) const { return i == 0 ? sx : (i == 1 ? sy : sz); }
  double& operator[](unsigned int i) { return i == 0 ? sx : (i == 1 ? sy : sz); }
  AcGeScale3d& set(double xFact, double yFact, double zFact) { sx = xFact; sy = yFact; sz = zFact; return *this; }
  // The diagonal matrix with these factors.
  void getMatrix(AcGeMatrix3d& mat) const;
  operator AcGeMatrix3d() const;

  double sx = 1.0;
  double sy = 1.0;
  double sz = 1.0;
};
