// Hatches between the file's hatch values and the database's hatch data: degrees in the
// file, radians in the database; boundary objects by handle in the file, by id in the
// database.
#include "drawing_common.h"

#include <cmath>

namespace contura::dxf::detail {

namespace {

AcGePoint2d toPoint2d(const Point2& p) { return AcGePoint2d(p.x, p.y); }
AcGeVector2d toVector2d(const Point2& p) { return AcGeVector2d(p.x, p.y); }
Point2 fromPoint2d(const AcGePoint2d& p) { return {p.x, p.y}; }
Point2 fromVector2d(const AcGeVector2d& v) { return {v.x, v.y}; }

db::HatchEdge edgeOf(const HatchEdge& e) {
  db::HatchEdge out;
  out.type = e.type;
  out.start = toPoint2d(e.start);
  out.end = toPoint2d(e.end);
  out.center = toPoint2d(e.center);
  out.radius = e.radius;
  out.majorAxis = toVector2d(e.majorAxis);
  out.minorRatio = e.ratio;
  out.startAngle = toRadians(e.startAngle);
  out.endAngle = toRadians(e.endAngle);
  out.ccw = e.ccw;
  out.degree = e.degree;
  out.rational = e.rational;
  out.periodic = e.periodic;
  out.knots = e.knots;
  for (const Point2& p : e.controlPoints) out.controlPoints.push_back(toPoint2d(p));
  out.weights = e.weights;
  for (const Point2& p : e.fitPoints) out.fitPoints.push_back(toPoint2d(p));
  out.startTangent = toVector2d(e.startTangent);
  out.endTangent = toVector2d(e.endTangent);
  return out;
}

HatchEdge edgeOf(const db::HatchEdge& e, DxfVersion version) {
  HatchEdge out;
  out.type = static_cast<std::int16_t>(e.type);
  out.start = fromPoint2d(e.start);
  out.end = fromPoint2d(e.end);
  out.center = fromPoint2d(e.center);
  out.radius = e.radius;
  out.majorAxis = fromVector2d(e.majorAxis);
  out.ratio = e.minorRatio;
  out.startAngle = toDegrees(e.startAngle);
  out.endAngle = toDegrees(e.endAngle);
  out.ccw = e.ccw;
  out.degree = static_cast<std::int16_t>(e.degree);
  out.rational = e.rational;
  out.periodic = e.periodic;
  out.knots = e.knots;
  for (const AcGePoint2d& p : e.controlPoints) out.controlPoints.push_back(fromPoint2d(p));
  out.weights = e.weights;
  for (const AcGePoint2d& p : e.fitPoints) out.fitPoints.push_back(fromPoint2d(p));
  // Spline edges carry their fit data (a count, then points and tangents) from R2010 on.
  out.hasFitData = version >= DxfVersion::R2010;
  out.startTangent = fromVector2d(e.startTangent);
  out.endTangent = fromVector2d(e.endTangent);
  out.hasStartTangent = out.hasFitData && !e.startTangent.isZeroLength();
  out.hasEndTangent = out.hasFitData && !e.endTangent.isZeroLength();
  return out;
}

}  // namespace

db::HatchData hatchDataOf(const HatchEntity& h, const std::function<AcDbObjectId(std::uint64_t)>& idOf) {
  db::HatchData d;
  d.elevation = h.elevation.z;
  d.normal = toVector(h.normal);
  d.patternName = h.patternName;
  d.patternType = h.patternType;
  d.solidFill = h.solidFill;
  d.associative = h.associative;
  d.style = h.style;
  d.patternAngle = toRadians(h.patternAngle);
  d.patternScale = h.patternScale;
  d.patternDouble = h.patternDouble;
  for (const HatchPath& p : h.paths) {
    db::HatchLoop& loop = d.loops.emplace_back();
    loop.type = p.flags;
    loop.closed = p.closed;
    for (std::size_t i = 0; i < p.vertices.size(); ++i)
      loop.vertices.push_back({toPoint2d(p.vertices[i]), i < p.bulges.size() ? p.bulges[i] : 0.0});
    for (const HatchEdge& e : p.edges) loop.edges.push_back(edgeOf(e));
    for (std::uint64_t handle : p.boundaryHandles) loop.boundaryIds.push_back(idOf(handle));
  }
  for (const HatchPatternLine& l : h.patternLines) {
    d.patternLines.push_back({toRadians(l.angle), toPoint2d(l.base), toVector2d(l.offset), l.dashes});
  }
  // A user-defined pattern is parallel lines: its spacing is their offset.
  if (h.patternType == AcDbHatch::kUserDefined && !h.patternLines.empty())
    d.patternSpace = std::hypot(h.patternLines[0].offset.x, h.patternLines[0].offset.y);
  for (const Point2& p : h.seedPoints) d.seedPoints.push_back(toPoint2d(p));
  if (h.hasPixelSize) d.pixelSize = h.pixelSize;
  return d;
}

HatchEntity hatchEntityOf(const db::HatchData& d, DxfVersion version,
                          const std::function<std::uint64_t(AcDbObjectId)>& handleOf) {
  HatchEntity h;
  h.elevation = {0, 0, d.elevation};
  h.normal = fromVector(d.normal);
  h.patternName = d.patternName;
  h.patternType = static_cast<std::int16_t>(d.patternType);
  h.solidFill = d.solidFill;
  h.associative = d.associative;
  h.style = static_cast<std::int16_t>(d.style);
  h.patternAngle = toDegrees(d.patternAngle);
  h.patternScale = d.patternScale;
  h.patternDouble = d.patternDouble;
  for (const db::HatchLoop& loop : d.loops) {
    HatchPath& p = h.paths.emplace_back();
    p.flags = loop.type;
    p.closed = loop.closed;
    for (const db::HatchVertex& v : loop.vertices) {
      p.vertices.push_back(fromPoint2d(v.pt));
      p.bulges.push_back(v.bulge);
      p.hasBulge = p.hasBulge || v.bulge != 0;
    }
    for (const db::HatchEdge& e : loop.edges) p.edges.push_back(edgeOf(e, version));
    for (AcDbObjectId id : loop.boundaryIds) {
      // A boundary object erased since is not written: the file would name a missing object.
      if (id.isErased()) continue;
      if (std::uint64_t handle = handleOf(id)) p.boundaryHandles.push_back(handle);
    }
  }
  for (const db::HatchPatternLine& l : d.patternLines) {
    h.patternLines.push_back({toDegrees(l.angle), fromPoint2d(l.base), fromVector2d(l.offset), l.dashes});
  }
  for (const AcGePoint2d& p : d.seedPoints) h.seedPoints.push_back(fromPoint2d(p));
  h.hasPixelSize = d.pixelSize != 0.0;
  h.pixelSize = d.pixelSize;
  return h;
}

}  // namespace contura::dxf::detail
