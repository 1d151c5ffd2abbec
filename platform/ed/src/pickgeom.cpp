// Plan-view shapes of entities and the distance and rectangle tests picking needs.
#include "pickgeom.h"

#include <contura/db/world_draw.h>
#include <contura/ge/angles.h>
#include <dbmain.h>

#include <algorithm>
#include <cmath>

namespace contura::ed::detail {
namespace {

using contura::ge::kTwoPi;
// How far (in radians) an angle may lie outside an arc's range and still count as on it.
constexpr double kAngleSlack = 1e-12;

double normalized(double a) { return contura::ge::normalizeAngle(a); }

bool angleOnArc(const Arc& arc, double angle) {
  if (arc.sweep >= kTwoPi) return true;
  return normalized(angle - arc.start) <= arc.sweep + kAngleSlack;
}

double distanceToSegment(const Segment& s, double x, double y) {
  double dx = s.bx - s.ax, dy = s.by - s.ay;
  double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((x - s.ax) * dx + (y - s.ay) * dy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(x - (s.ax + t * dx), y - (s.ay + t * dy));
}

double distanceToArc(const Arc& a, double x, double y) {
  double d = std::hypot(x - a.cx, y - a.cy);
  if (angleOnArc(a, std::atan2(y - a.cy, x - a.cx))) return std::fabs(d - a.r);
  double e = a.start + a.sweep;
  return std::min(std::hypot(x - (a.cx + a.r * std::cos(a.start)), y - (a.cy + a.r * std::sin(a.start))),
                  std::hypot(x - (a.cx + a.r * std::cos(e)), y - (a.cy + a.r * std::sin(e))));
}

double cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

bool segmentsMeet(const Segment& p, const Segment& q) {
  double d1x = p.bx - p.ax, d1y = p.by - p.ay, d2x = q.bx - q.ax, d2y = q.by - q.ay;
  double denom = cross(d1x, d1y, d2x, d2y);
  double ex = q.ax - p.ax, ey = q.ay - p.ay;
  if (denom == 0.0) {
    // Parallel: they meet only when collinear and overlapping.
    if (cross(ex, ey, d1x, d1y) != 0.0) return false;
    double len2 = d1x * d1x + d1y * d1y;
    if (len2 == 0.0) return distanceToSegment(q, p.ax, p.ay) == 0.0;
    double t0 = (ex * d1x + ey * d1y) / len2;
    double t1 = ((q.bx - p.ax) * d1x + (q.by - p.ay) * d1y) / len2;
    return std::max(t0, t1) >= 0.0 && std::min(t0, t1) <= 1.0;
  }
  double t = cross(ex, ey, d2x, d2y) / denom;
  double u = cross(ex, ey, d1x, d1y) / denom;
  return t >= 0.0 && t <= 1.0 && u >= 0.0 && u <= 1.0;
}

std::vector<Segment> edgesOf(const Rect& r) {
  return {{r.x0, r.y0, r.x1, r.y0}, {r.x1, r.y0, r.x1, r.y1}, {r.x1, r.y1, r.x0, r.y1}, {r.x0, r.y1, r.x0, r.y0}};
}

bool segmentTouches(const Segment& s, const Rect& r) {
  if (r.contains(s.ax, s.ay) || r.contains(s.bx, s.by)) return true;
  for (const Segment& e : edgesOf(r))
    if (segmentsMeet(s, e)) return true;
  return false;
}

// True when the arc meets the segment.
bool arcMeetsSegment(const Arc& a, const Segment& s) {
  double dx = s.bx - s.ax, dy = s.by - s.ay;
  double fx = s.ax - a.cx, fy = s.ay - a.cy;
  double qa = dx * dx + dy * dy, qb = 2 * (fx * dx + fy * dy), qc = fx * fx + fy * fy - a.r * a.r;
  if (qa == 0.0) return std::fabs(std::sqrt(qc + a.r * a.r) - a.r) == 0.0 && angleOnArc(a, std::atan2(fy, fx));
  double disc = qb * qb - 4 * qa * qc;
  if (disc < 0) return false;
  double root = std::sqrt(disc);
  for (double t : {(-qb - root) / (2 * qa), (-qb + root) / (2 * qa)}) {
    if (t < 0.0 || t > 1.0) continue;
    double x = s.ax + t * dx, y = s.ay + t * dy;
    if (angleOnArc(a, std::atan2(y - a.cy, x - a.cx))) return true;
  }
  return false;
}

bool arcTouches(const Arc& a, const Rect& r) {
  double e = a.start + a.sweep;
  if (r.contains(a.cx + a.r * std::cos(a.start), a.cy + a.r * std::sin(a.start)) ||
      r.contains(a.cx + a.r * std::cos(e), a.cy + a.r * std::sin(e)))
    return true;
  for (const Segment& edge : edgesOf(r))
    if (arcMeetsSegment(a, edge)) return true;
  // A whole circle inside the rectangle meets no edge and has no end inside it: test a point.
  return a.sweep >= kTwoPi && r.contains(a.cx + a.r, a.cy);
}

// Even-odd: whether (x, y) lies inside the area.
bool insideArea(const Area& area, double x, double y) {
  bool inside = false;
  for (const auto& loop : area.loops)
    for (std::size_t i = 0, j = loop.size() - 1; i < loop.size(); j = i++) {
      const Point2 &a = loop[i], &b = loop[j];
      if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y)) inside = !inside;
    }
  return inside;
}

template <class F> void forEachEdge(const Area& area, F&& f) {
  for (const auto& loop : area.loops)
    for (std::size_t i = 0, j = loop.size() - 1; i < loop.size(); j = i++)
      f(Segment{loop[j].x, loop[j].y, loop[i].x, loop[i].y});
}

double distanceToArea(const Area& area, double x, double y) {
  if (insideArea(area, x, y)) return 0.0;
  double best = HUGE_VAL;
  forEachEdge(area, [&](const Segment& s) { best = std::min(best, distanceToSegment(s, x, y)); });
  return best;
}

bool areaTouches(const Area& area, const Rect& r) {
  if (insideArea(area, r.x0, r.y0)) return true;  // the rectangle may lie wholly inside
  bool touching = false;
  forEachEdge(area, [&](const Segment& s) { touching = touching || segmentTouches(s, r); });
  return touching;
}

// A normal counts as the world Z axis (up or down) when its x and y parts are this small.
constexpr double kPlanNormal = 1e-9;
// Rays and construction lines reach this far from their base point for picking.
constexpr double kInfiniteReach = 1e8;

// The primitives an entity draws, seen from above.
class ShapeBuilder final : public db::WorldDrawConsumer {
public:
  explicit ShapeBuilder(Shape& shape) : WorldDrawConsumer(nullptr), m_shape(shape) {}

private:
  void onPolyline(const AcGePoint3d* p, std::size_t count, bool closed, const db::DrawStyle&) override {
    if (count == 1) m_shape.segments.push_back({p[0].x, p[0].y, p[0].x, p[0].y});
    for (std::size_t i = 1; i < count; ++i) m_shape.segments.push_back({p[i - 1].x, p[i - 1].y, p[i].x, p[i].y});
    if (closed && count > 2) m_shape.segments.push_back({p[count - 1].x, p[count - 1].y, p[0].x, p[0].y});
  }
  void onArc(const AcGePoint3d& c, double r, const AcGeVector3d& normal, const AcGeVector3d& start, double sweep,
             const db::DrawStyle& style) override {
    if (std::fabs(normal.x) < kPlanNormal && std::fabs(normal.y) < kPlanNormal) {
      // Seen from below the arc runs clockwise: the same points run counter-clockwise from its end.
      double from = std::atan2(start.y, start.x);
      if (normal.z < 0.0) from -= sweep;
      m_shape.arcs.push_back({c.x, c.y, r, normalized(from), sweep});
      return;
    }
    // A tilted arc looks like part of an ellipse from above.
    const AcGeVector3d v = normal.crossProduct(start);
    const int pieces = db::arcPieceCount(sweep, r, 0.0);
    m_points.clear();
    for (int k = 0; k <= pieces; ++k) {
      const double t = sweep * k / pieces;
      m_points.push_back(c + (start * std::cos(t) + v * std::sin(t)) * r);
    }
    onPolyline(m_points.data(), m_points.size(), false, style);
  }
  void onFill(const std::vector<std::vector<AcGePoint3d>>& loops, const db::DrawStyle&) override {
    Area& area = m_shape.areas.emplace_back();
    for (const auto& loop : loops) {
      if (loop.empty()) continue;
      auto& out = area.loops.emplace_back();
      for (const AcGePoint3d& p : loop) out.push_back({p.x, p.y});
    }
  }
  void onText(const db::DrawnText& text, const db::DrawStyle&) override {
    AcGePoint3d corners[4];
    db::textCorners(text, corners);
    Area& area = m_shape.areas.emplace_back();
    auto& loop = area.loops.emplace_back();
    for (const AcGePoint3d& p : corners) loop.push_back({p.x, p.y});
  }
  void onPoints(const AcGePoint3d* p, std::size_t count, const db::DrawStyle&) override {
    for (std::size_t i = 0; i < count; ++i) m_shape.segments.push_back({p[i].x, p[i].y, p[i].x, p[i].y});
  }
  void onInfiniteLine(const AcGePoint3d& base, const AcGeVector3d& dir, bool ray, const db::DrawStyle&) override {
    const AcGePoint3d from = ray ? base : base - dir * kInfiniteReach, to = base + dir * kInfiniteReach;
    m_shape.segments.push_back({from.x, from.y, to.x, to.y});
  }

  Shape& m_shape;
  std::vector<AcGePoint3d> m_points;
};

}  // namespace

Rect Rect::corners(double ax, double ay, double bx, double by) {
  return {std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
}

std::optional<Rect> extentsOf(const AcDbEntity* entity) {
  AcGePoint3d lo, hi;
  if (!entity || !db::drawnExtents(const_cast<AcDbEntity&>(*entity), lo, hi)) return std::nullopt;
  return Rect{lo.x, lo.y, hi.x, hi.y};
}

Shape shapeOf(const AcDbEntity* entity) {
  Shape shape;
  if (!entity) return shape;
  ShapeBuilder builder(shape);
  // Drawing reads the entity only; the interface takes it as the host's does, not const.
  builder.drawEntity(const_cast<AcDbEntity&>(*entity));
  return shape;
}

double distanceTo(const Shape& shape, double x, double y) {
  double best = HUGE_VAL;
  for (const Segment& s : shape.segments) best = std::min(best, distanceToSegment(s, x, y));
  for (const Arc& a : shape.arcs) best = std::min(best, distanceToArc(a, x, y));
  for (const Area& a : shape.areas) best = std::min(best, distanceToArea(a, x, y));
  return best;
}

bool touches(const Shape& shape, const Rect& rect) {
  for (const Segment& s : shape.segments)
    if (segmentTouches(s, rect)) return true;
  for (const Arc& a : shape.arcs)
    if (arcTouches(a, rect)) return true;
  for (const Area& a : shape.areas)
    if (areaTouches(a, rect)) return true;
  return false;
}

bool within(const Rect& box, const Rect& rect) {
  return box.x0 >= rect.x0 && box.x1 <= rect.x1 && box.y0 >= rect.y0 && box.y1 <= rect.y1;
}

}  // namespace contura::ed::detail
