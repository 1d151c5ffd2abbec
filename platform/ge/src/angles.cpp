// Angle normalisation.
#include "contura/ge/angles.h"

#include <cmath>

namespace contura::ge {

double normalizeAngle(double radians) {
  if (!std::isfinite(radians)) return 0.0;
  double a = std::fmod(radians, kTwoPi);
  if (a < 0.0) a += kTwoPi;
  return a >= kTwoPi ? 0.0 : a;
}

}  // namespace contura::ge
