// The circle constants and the one angle normalisation every layer uses.
#pragma once
#include <numbers>

namespace contura::ge {

inline constexpr double kPi = std::numbers::pi;
inline constexpr double kTwoPi = 2.0 * std::numbers::pi;
inline constexpr double kHalfPi = 0.5 * std::numbers::pi;

// The angle brought into [0, 2pi). A value that only rounding keeps at 2pi becomes 0; a
// non-finite angle becomes 0.
double normalizeAngle(double radians);

}  // namespace contura::ge
