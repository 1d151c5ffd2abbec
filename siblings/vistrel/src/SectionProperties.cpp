// Area properties of a section's closed shapes: each shape measured as a region of its own,
// the measures summed with the sign its nesting gives it.
#include "VistrelSectionProperties.h"

#include <dbents.h>
#include <dbpl.h>
#include <dbregion.h>
#include <gearc2d.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace vistrel {

namespace {

// A polyline is closed when its last vertex lies this close to its first (drawing units); the
// writer repeats the first vertex exactly, so only rounding is forgiven.
constexpr double kClosingGap = 1e-9;
// A product moment this small against the polar moment is rounding of a symmetric section:
// it is taken as zero, so that the principal axes of such a section lie on x and y exactly.
constexpr double kNegligibleProduct = 1e-12;

// One closed shape: a loop of vertices with bulges, or a circle.
struct ClosedShape {
  std::vector<Vertex> loop;  // empty for a circle
  Point2 center;
  double radius = 0.0;
  Point2 firstPoint() const { return loop.empty() ? Point2{center.x + radius, center.y} : loop.front().pt; }
};

// Inside the area a loop of lines and arcs encloses: the chord polygon, changed wherever a
// circular segment (between an arc and its chord) lies over the point. Which segments are arcs,
// and their circles, come from the polyline's own segments (one rule for straightness).
bool insideLoop(const std::vector<Vertex>& loop, Point2 p) {
  AcDbPolyline pline(static_cast<unsigned int>(loop.size()));
  for (std::size_t i = 0; i < loop.size(); ++i)
    pline.addVertexAt(static_cast<unsigned int>(i), AcGePoint2d(loop[i].pt.x, loop[i].pt.y), loop[i].bulge);
  pline.setClosed(true);
  bool inside = false;
  const std::size_t n = loop.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Point2 a = loop[i].pt, b = loop[(i + 1) % n].pt;
    if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) inside = !inside;
    AcGeCircArc2d arc;
    if (pline.segType(static_cast<unsigned int>(i)) != AcDbPolyline::kArc ||
        pline.getArcSegAt(static_cast<unsigned int>(i), arc) != Acad::eOk)
      continue;
    // A positive bulge runs counter-clockwise: its arc lies right of the way from a to b.
    const double side = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    if (std::hypot(p.x - arc.center().x, p.y - arc.center().y) < arc.radius() && side * loop[i].bulge < 0.0)
      inside = !inside;
  }
  return inside;
}

bool insideShape(const ClosedShape& s, Point2 p) {
  if (s.loop.empty()) return std::hypot(p.x - s.center.x, p.y - s.center.y) < s.radius;
  return insideLoop(s.loop, p);
}

bool samePoint(Point2 a, Point2 b) { return std::fabs(a.x - b.x) <= kClosingGap && std::fabs(a.y - b.y) <= kClosingGap; }

std::vector<ClosedShape> closedShapes(const DisplayList& list) {
  std::vector<ClosedShape> out;
  for (const Shape& s : list.shapes) {
    if (s.kind == ShapeKind::kCircle) {
      out.push_back({{}, s.center, s.radius});
    } else if (s.kind == ShapeKind::kPolyline && s.vertices.size() >= 2) {
      const bool repeated = samePoint(s.vertices.front().pt, s.vertices.back().pt);
      if (!s.outline && !repeated) continue;
      ClosedShape c;
      c.loop = s.vertices;
      if (repeated) c.loop.pop_back();  // its bulge leads nowhere
      out.push_back(std::move(c));
    }
  }
  return out;
}

// The region of one shape, or null when it encloses nothing or crosses itself.
std::unique_ptr<AcDbRegion> regionOf(const ClosedShape& s) {
  std::unique_ptr<AcDbCurve> curve;
  if (s.loop.empty()) {
    curve = std::make_unique<AcDbCircle>(AcGePoint3d(s.center.x, s.center.y, 0.0), AcGeVector3d::kZAxis, s.radius);
  } else {
    auto pline = std::make_unique<AcDbPolyline>();
    for (std::size_t i = 0; i < s.loop.size(); ++i)
      pline->addVertexAt(unsigned(i), AcGePoint2d(s.loop[i].pt.x, s.loop[i].pt.y), s.loop[i].bulge);
    pline->setClosed(Adesk::kTrue);
    curve = std::move(pline);
  }
  AcDbVoidPtrArray curves, regions;
  curves.append(curve.get());
  const Acad::ErrorStatus es = AcDbRegion::createFromCurves(curves, regions);
  std::unique_ptr<AcDbRegion> first;
  for (int i = 0; i < regions.length(); ++i) {
    std::unique_ptr<AcDbRegion> r(static_cast<AcDbRegion*>(regions[i]));
    if (i == 0) first = std::move(r);
  }
  if (es != Acad::eOk || regions.length() != 1) return nullptr;
  return first;
}

// Integrals over one shape's area (of 1, x, y, y^2, x^2, x y) about ref, its perimeter and extents.
struct ShapeMeasures {
  double a = 0.0, x = 0.0, y = 0.0, yy = 0.0, xx = 0.0, xy = 0.0, perimeter = 0.0;
  AcGePoint2d lo, hi;
};

bool measure(const ClosedShape& s, const AcGePoint3d& ref, ShapeMeasures& m) {
  const std::unique_ptr<AcDbRegion> region = regionOf(s);
  if (!region) return false;
  AcGePoint2d centroid;
  double mom[2], prod, prin[2], radii[2];
  AcGeVector2d axes[2];
  if (region->getAreaProp(ref, AcGeVector3d::kXAxis, AcGeVector3d::kYAxis, m.perimeter, m.a, centroid, mom, prod, prin,
                          axes, radii, m.lo, m.hi) != Acad::eOk)
    return false;
  m.x = m.a * centroid.x;
  m.y = m.a * centroid.y;
  m.yy = mom[0];
  m.xx = mom[1];
  m.xy = prod;
  return true;
}

void setPrincipal(SectionProperties& p) {
  if (std::fabs(p.ixy) <= kNegligibleProduct * (std::fabs(p.ix) + std::fabs(p.iy))) p.ixy = 0.0;
  const double mean = 0.5 * (p.ix + p.iy), half = 0.5 * (p.ix - p.iy);
  const double radius = std::hypot(half, p.ixy);
  p.i1 = mean + radius;
  p.i2 = mean - radius;
  double angle = 0.5 * std::atan2(-p.ixy, half) * 180.0 / std::numbers::pi + 0.0;  // no -0
  if (angle <= -90.0) angle += 180.0;
  p.angleDegrees = angle;
}

}  // namespace

SectionProperties sectionProperties(const DisplayList& list) {
  SectionProperties p;
  const std::vector<ClosedShape> shapes = closedShapes(list);
  if (shapes.empty()) return p;
  // Measured about a point of the section so that sections far from the origin keep digits.
  const Point2 first = shapes.front().firstPoint();
  const AcGePoint3d ref(first.x, first.y, 0.0);
  ShapeMeasures sum;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    int depth = 0;
    for (std::size_t j = 0; j < shapes.size(); ++j)
      if (j != i && insideShape(shapes[j], shapes[i].firstPoint())) ++depth;
    ShapeMeasures m;
    if (!measure(shapes[i], ref, m)) {
      p.result = SectionProperties::kBadShape;
      return p;
    }
    const double sign = depth % 2 == 0 ? 1.0 : -1.0;
    sum.a += sign * m.a;
    sum.x += sign * m.x;
    sum.y += sign * m.y;
    sum.yy += sign * m.yy;
    sum.xx += sign * m.xx;
    sum.xy += sign * m.xy;
    if (sign > 0.0) {
      p.outerPerimeter += m.perimeter;
      p.box.add(m.lo.x + ref.x, m.lo.y + ref.y);
      p.box.add(m.hi.x + ref.x, m.hi.y + ref.y);
    } else {
      p.holePerimeter += m.perimeter;
      ++p.holes;
    }
  }
  p.shapes = int(shapes.size());
  if (!(sum.a > 0.0)) {
    p.result = SectionProperties::kNoArea;
    return p;
  }
  const double cx = sum.x / sum.a, cy = sum.y / sum.a;  // about ref
  p.area = sum.a;
  p.centroid = {ref.x + cx, ref.y + cy};
  p.ix = sum.yy - sum.a * cy * cy;
  p.iy = sum.xx - sum.a * cx * cx;
  p.ixy = sum.xy - sum.a * cx * cy;
  setPrincipal(p);
  p.result = SectionProperties::kOk;
  return p;
}

SectionProperties sectionProperties(std::string_view sectionText) {
  return sectionProperties(parseSectionText(sectionText));
}

}  // namespace vistrel
