// The plan-view shape of an entity for picking and window selection: line segments and
// circular arcs for curves, a box for texts and for entities known only by their extents.
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

struct Shape {
  std::vector<Segment> segments;
  std::vector<Arc> arcs;
  std::optional<Rect> box;
  bool empty() const { return segments.empty() && arcs.empty() && !box; }
};

// The shape of an open entity (empty when it has none in plan view).
Shape shapeOf(const AcDbEntity* entity);
// The entity's extents in plan view; nothing when it has none.
std::optional<Rect> extentsOf(const AcDbEntity* entity);

// Distance from (x, y) to the nearest point of the shape (0 inside a box).
double distanceTo(const Shape& shape, double x, double y);
// True when some part of the shape lies in the rectangle (its border included).
bool touches(const Shape& shape, const Rect& rect);
// True when the box lies wholly in the rectangle.
bool within(const Rect& box, const Rect& rect);

}  // namespace contura::ed::detail
