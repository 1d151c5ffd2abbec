// Plan-view shapes of entities and the distance and rectangle tests picking needs.
#include "pickgeom.h"

#include <dbents.h>
#include <dbextents.h>
#include <dbmain.h>
#include <dbpl.h>

#include <algorithm>
#include <cmath>

namespace contura::ed::detail {
namespace {

constexpr double kTwoPi = 6.283185307179586;
// How far (in radians) an angle may lie outside an arc's range and still count as on it.
constexpr double kAngleSlack = 1e-12;
// A normal counts as the world Z axis (up or down) when its x and y parts are this small.
constexpr double kPlanNormal = 1e-9;
// A bulge this small makes a straight segment.
constexpr double kStraightBulge = 1e-12;

double normalized(double a) {
  a = std::fmod(a, kTwoPi);
  return a < 0 ? a + kTwoPi : a;
}

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

double distanceToBox(const Rect& b, double x, double y) {
  double dx = std::max({b.x0 - x, 0.0, x - b.x1});
  double dy = std::max({b.y0 - y, 0.0, y - b.y1});
  return std::hypot(dx, dy);
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

bool boxesOverlap(const Rect& a, const Rect& b) { return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1; }

bool isPlan(const AcGeVector3d& n) { return std::fabs(n.x) < kPlanNormal && std::fabs(n.y) < kPlanNormal; }

// An arc of an entity whose normal is +Z or -Z, as seen from above. Angles are measured in
// the entity's own system; looking from below mirrors them about the Y axis.
Arc planArc(const AcGePoint3d& c, double r, double start, double end, const AcGeVector3d& normal) {
  double sweep = normalized(end - start);
  if (sweep == 0.0 && end != start) sweep = kTwoPi;
  if (normal.z >= 0) return {c.x, c.y, r, normalized(start), sweep};
  return {c.x, c.y, r, normalized(M_PI - end), sweep};
}

// The segment from vertex i to vertex j of a polyline with bulge b (counter-clockwise arcs for
// positive bulges, in the polyline's plane seen from above).
void addBulgedSegment(Shape& shape, const AcGePoint2d& p, const AcGePoint2d& q, double b) {
  if (std::fabs(b) < kStraightBulge) {
    shape.segments.push_back({p.x, p.y, q.x, q.y});
    return;
  }
  double dx = q.x - p.x, dy = q.y - p.y;
  double chord = std::hypot(dx, dy);
  if (chord == 0.0) return;
  double offset = chord * (1 - b * b) / (4 * b);  // from the chord's middle to the centre, leftwards
  double cx = (p.x + q.x) / 2 - dy / chord * offset;
  double cy = (p.y + q.y) / 2 + dx / chord * offset;
  double r = chord * (1 + b * b) / (4 * std::fabs(b));
  double sweep = 4 * std::atan(std::fabs(b));
  double from = b > 0 ? std::atan2(p.y - cy, p.x - cx) : std::atan2(q.y - cy, q.x - cx);
  shape.arcs.push_back({cx, cy, r, normalized(from), sweep});
}

}  // namespace

Rect Rect::corners(double ax, double ay, double bx, double by) {
  return {std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
}

std::optional<Rect> extentsOf(const AcDbEntity* entity) {
  AcDbExtents ext;
  if (!entity || entity->getGeomExtents(ext) != Acad::eOk) return std::nullopt;
  AcGePoint3d lo = ext.minPoint(), hi = ext.maxPoint();
  if (lo.x > hi.x || lo.y > hi.y) return std::nullopt;
  return Rect{lo.x, lo.y, hi.x, hi.y};
}

Shape shapeOf(const AcDbEntity* entity) {
  Shape shape;
  if (!entity) return shape;
  if (const AcDbLine* line = AcDbLine::cast(entity)) {
    AcGePoint3d a = line->startPoint(), b = line->endPoint();
    shape.segments.push_back({a.x, a.y, b.x, b.y});
    return shape;
  }
  if (const AcDbArc* arc = AcDbArc::cast(entity); arc && isPlan(arc->normal())) {
    shape.arcs.push_back(planArc(arc->center(), arc->radius(), arc->startAngle(), arc->endAngle(), arc->normal()));
    return shape;
  }
  if (const AcDbCircle* circle = AcDbCircle::cast(entity); circle && isPlan(circle->normal())) {
    AcGePoint3d c = circle->center();
    shape.arcs.push_back({c.x, c.y, circle->radius(), 0.0, kTwoPi});
    return shape;
  }
  if (const AcDbPolyline* pl = AcDbPolyline::cast(entity); pl && isPlan(pl->normal()) && pl->normal().z > 0) {
    unsigned int n = pl->numVerts();
    unsigned int segments = pl->isClosed() ? n : (n > 0 ? n - 1 : 0);
    for (unsigned int i = 0; i < segments; ++i) {
      AcGePoint2d p, q;
      double bulge = 0.0;
      pl->getPointAt(i, p);
      pl->getPointAt((i + 1) % n, q);
      pl->getBulgeAt(i, bulge);
      addBulgedSegment(shape, p, q, bulge);
    }
    if (n == 1) {
      AcGePoint2d p;
      pl->getPointAt(0, p);
      shape.segments.push_back({p.x, p.y, p.x, p.y});
    }
    return shape;
  }
  // Texts, and entities known only by their extents: their box.
  shape.box = extentsOf(entity);
  return shape;
}

double distanceTo(const Shape& shape, double x, double y) {
  double best = HUGE_VAL;
  for (const Segment& s : shape.segments) best = std::min(best, distanceToSegment(s, x, y));
  for (const Arc& a : shape.arcs) best = std::min(best, distanceToArc(a, x, y));
  if (shape.box) best = std::min(best, distanceToBox(*shape.box, x, y));
  return best;
}

bool touches(const Shape& shape, const Rect& rect) {
  for (const Segment& s : shape.segments)
    if (segmentTouches(s, rect)) return true;
  for (const Arc& a : shape.arcs)
    if (arcTouches(a, rect)) return true;
  return shape.box && boxesOverlap(*shape.box, rect);
}

bool within(const Rect& box, const Rect& rect) {
  return box.x0 >= rect.x0 && box.x1 <= rect.x1 && box.y0 >= rect.y0 && box.y1 <= rect.y1;
}

}  // namespace contura::ed::detail
