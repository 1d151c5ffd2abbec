// The plan-view shape of an entity for picking and window selection, made from the
// primitives the entity draws: line segments, exact circular arcs, and areas (fills, wide
// polyline segments and the boxes of texts) that count wherever they cover.
#pragma once
#include <optional>
#include <vector>

class AcDbEntity;

namespace contura::ed::detail {

struct Rect {
  double x0, y0, x1, y1;  // x0 <= x1, y0 <= y1
  static Rect around(double x, double y, double half) { return {x - half, y - half, x + half, y + half}; }
  static Rect corners(double ax, double ay, double bx, double by);
  bool contains(double x, double y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

struct Segment {
  double ax, ay, bx, by;
};

// A circular arc running counter-clockwise from `start` through `sweep` radians (a whole
// circle has a sweep of 2 pi).
struct Arc {
  double cx, cy, r, start, sweep;
};

struct Point2 {
  double x, y;
};

// A covered area: its loops, holes by the even-odd rule.
struct Area {
  std::vector<std::vector<Point2>> loops;
};

struct Shape {
  std::vector<Segment> segments;
  std::vector<Arc> arcs;
  std::vector<Area> areas;
  bool empty() const { return segments.empty() && arcs.empty() && areas.empty(); }
};

// The shape of an open entity (empty when it has none in plan view).
Shape shapeOf(const AcDbEntity* entity);
// The plan-view box of what the entity draws; nothing when it draws nothing bounded.
std::optional<Rect> extentsOf(const AcDbEntity* entity);

// Distance from (x, y) to the nearest point of the shape (0 inside an area).
double distanceTo(const Shape& shape, double x, double y);
// True when some part of the shape lies in the rectangle (its border included).
bool touches(const Shape& shape, const Rect& rect);
// True when the box lies wholly in the rectangle.
bool within(const Rect& box, const Rect& rect);

}  // namespace contura::ed::detail
