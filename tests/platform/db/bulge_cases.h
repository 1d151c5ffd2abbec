// The bulges every consumer of a polyline must agree on (tiny ones that are straight for all
// purposes, ordinary arcs, and nearly whole circles), the polyline that carries them, and
// what the bulged segment is, worked out here from the bulge alone.
#pragma once
#include <dbpl.h>

#include <cmath>

namespace bulgecases {

inline constexpr double kBulges[] = {1e-13, -1e-13, 1e-9, -1e-9, 1e-6, -1e-6, 0.5, -0.5, 1.0, -1.0, 1e3, -1e3};
inline constexpr double kSide = 10.0;

// A counter-clockwise square of side kSide whose bottom segment, from (0,0) to (kSide,0),
// carries the bulge (positive: bowing outwards, below the square). The caller owns it.
inline AcDbPolyline* bulgedSquare(double bulge) {
  auto* pl = new AcDbPolyline();
  pl->addVertexAt(0, AcGePoint2d(0, 0), bulge);
  pl->addVertexAt(1, AcGePoint2d(kSide, 0));
  pl->addVertexAt(2, AcGePoint2d(kSide, kSide));
  pl->addVertexAt(3, AcGePoint2d(0, kSide));
  pl->setClosed(true);
  return pl;
}

struct Segment {
  double midY;       // the middle of the segment is at (kSide/2, midY)
  double radius;     // of its circle
  double areaAdded;  // to the square's area by the bulge (negative: taken away)
  double xLow, xHigh, yLow, yHigh;  // the box of the segment
};

inline Segment bulgedSegment(double b) {
  const double c = kSide, ab = std::fabs(b);
  Segment s{};
  s.midY = -b * c / 2.0;  // the sagitta, tan(angle/4) half chords from the chord
  s.radius = c * (1.0 + b * b) / (4.0 * ab);
  const double angle = 4.0 * std::atan(ab);
  // r^2/2 (angle - sin angle), by its series where the difference cancels.
  const double area = ab < 1e-4 ? 2.0 / 3.0 * c * (ab * c / 2.0) : s.radius * s.radius / 2.0 * (angle - std::sin(angle));
  s.areaAdded = b > 0 ? area : -area;
  const bool pastChord = ab > 1.0;  // more than a half circle: wider than its chord
  s.xLow = pastChord ? c / 2.0 - s.radius : 0.0;
  s.xHigh = pastChord ? c / 2.0 + s.radius : c;
  s.yLow = std::min(0.0, s.midY);
  s.yHigh = std::max(0.0, s.midY);
  return s;
}

}  // namespace bulgecases
