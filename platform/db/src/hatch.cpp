// Hatches: pattern, loops of polyline and edge kinds, transforms and extents.
#include "segments.h"

#include <contura/db/hatch_data.h>
#include <gearc2d.h>
#include <gelnsg2d.h>

#include <algorithm>
#include <cmath>

using contura::db::HatchData;
using contura::db::HatchEdge;
using contura::db::HatchLoop;
using contura::db::ObjectAccess;
using contura::db::kTwoPi;

struct AcDbHatch::Data {
  HatchData d;
};

ACRX_DXF_DEFINE_MEMBERS(AcDbHatch, AcDbEntity, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, HATCH,
                        ObjectDBX Classes)

AcDbHatch::AcDbHatch() : mpData(std::make_unique<Data>()) {}
AcDbHatch::~AcDbHatch() = default;
AcDbHatch::AcDbHatch(const AcDbHatch& other) : AcDbEntity(other), mpData(std::make_unique<Data>(*other.mpData)) {}

const AcRxClass* AcDbHatch::copyTypedData(const AcDbObject& src) {
  const auto& other = static_cast<const AcDbHatch&>(src);
  AcDbEntity::operator=(other);
  *mpData = *other.mpData;
  return AcDbHatch::desc();
}

namespace contura::db {
const HatchData& hatchData(const AcDbHatch& hatch) { return ObjectAccess::pimpl(hatch)->d; }
Acad::ErrorStatus setHatchData(AcDbHatch& hatch, HatchData data) {
  if (!hatch.isWriteEnabled()) return Acad::eNotOpenForWrite;
  ObjectAccess::pimpl(hatch)->d = std::move(data);
  return Acad::eOk;
}
}  // namespace contura::db

#define HATCH_SET(MEMBER, VALUE)                                                               \
  do {                                                                                          \
    if (!writable()) return Acad::eNotOpenForWrite;                                             \
    mpData->d.MEMBER = (VALUE);                                                                 \
    return Acad::eOk;                                                                           \
  } while (0)

double AcDbHatch::elevation() const { return mpData->d.elevation; }
Acad::ErrorStatus AcDbHatch::setElevation(double elevation) { HATCH_SET(elevation, elevation); }
AcGeVector3d AcDbHatch::normal() const { return mpData->d.normal; }
Acad::ErrorStatus AcDbHatch::setNormal(const AcGeVector3d& normal) {
  if (normal.isZeroLength()) return Acad::eInvalidInput;
  HATCH_SET(normal, normal.normal());
}
bool AcDbHatch::isSolidFill() const { return mpData->d.solidFill; }
AcDbHatch::HatchPatternType AcDbHatch::patternType() const { return HatchPatternType(mpData->d.patternType); }
const ACHAR* AcDbHatch::patternName() const { return mpData->d.patternName.c_str(); }

Acad::ErrorStatus AcDbHatch::setPattern(HatchPatternType patType, const ACHAR* patName) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (patName == nullptr || patName[0] == '\0') return Acad::eInvalidInput;
  if (patType < kUserDefined || patType > kCustomDefined) return Acad::eInvalidInput;
  mpData->d.patternType = patType;
  mpData->d.patternName = patName;
  mpData->d.solidFill = contura::db::nameKey(patName) == "SOLID";
  return Acad::eOk;
}

double AcDbHatch::patternAngle() const { return mpData->d.patternAngle; }
Acad::ErrorStatus AcDbHatch::setPatternAngle(double angle) { HATCH_SET(patternAngle, contura::db::normalizeAngle(angle)); }
double AcDbHatch::patternScale() const { return mpData->d.patternScale; }
Acad::ErrorStatus AcDbHatch::setPatternScale(double scale) {
  if (!(scale > 0.0)) return Acad::eInvalidInput;
  HATCH_SET(patternScale, scale);
}
double AcDbHatch::patternSpace() const { return mpData->d.patternSpace; }
Acad::ErrorStatus AcDbHatch::setPatternSpace(double space) {
  if (!(space > 0.0)) return Acad::eInvalidInput;
  HATCH_SET(patternSpace, space);
}
bool AcDbHatch::patternDouble() const { return mpData->d.patternDouble; }
Acad::ErrorStatus AcDbHatch::setPatternDouble(bool isDouble) { HATCH_SET(patternDouble, isDouble); }
AcDbHatch::HatchStyle AcDbHatch::hatchStyle() const { return HatchStyle(mpData->d.style); }
Acad::ErrorStatus AcDbHatch::setHatchStyle(HatchStyle style) {
  if (style < kNormal || style > kIgnore) return Acad::eInvalidInput;
  HATCH_SET(style, style);
}
bool AcDbHatch::associative() const { return mpData->d.associative; }
Acad::ErrorStatus AcDbHatch::setAssociative(bool isAssociative) { HATCH_SET(associative, isAssociative); }

int AcDbHatch::numLoops() const { return int(mpData->d.loops.size()); }

Adesk::Int32 AcDbHatch::loopTypeAt(int loopIndex) const {
  if (loopIndex < 0 || loopIndex >= numLoops()) return -1;
  return mpData->d.loops[size_t(loopIndex)].type;
}

namespace {

// The actual (counter-clockwise-from-X) angle of a stored arc angle.
double actualAngle(const HatchEdge& e, double stored) { return e.ccw ? stored : -stored; }

AcGePoint2d arcPoint(const HatchEdge& e, double stored) {
  const double a = actualAngle(e, stored);
  return AcGePoint2d(e.center.x + e.radius * std::cos(a), e.center.y + e.radius * std::sin(a));
}

// Signed sweep of a circular arc edge (positive counter-clockwise).
double arcSweep(const HatchEdge& e) {
  double sweep = std::fmod(e.endAngle - e.startAngle, kTwoPi);
  if (sweep <= 0.0) sweep += kTwoPi;
  return e.ccw ? sweep : -sweep;
}

bool onlyLinesAndArcs(const HatchLoop& loop) {
  return std::all_of(loop.edges.begin(), loop.edges.end(), [](const HatchEdge& e) {
    return e.type == AcDbHatch::kLine || e.type == AcDbHatch::kCirArc;
  });
}

AcGePoint2d edgeStart(const HatchEdge& e) { return e.type == AcDbHatch::kLine ? e.start : arcPoint(e, e.startAngle); }

double edgeBulge(const HatchEdge& e) {
  return e.type == AcDbHatch::kCirArc ? contura::ge::bulgeFromIncludedAngle(arcSweep(e)) : 0.0;
}

// The loop as vertices with bulges (only for polyline loops and loops of lines and arcs).
bool loopVertices(const HatchLoop& loop, std::vector<contura::db::HatchVertex>& out, bool& closed) {
  out.clear();
  if (loop.isPolyline()) {
    out = loop.vertices;
    closed = loop.closed;
    return true;
  }
  if (!onlyLinesAndArcs(loop)) return false;
  for (const HatchEdge& e : loop.edges) out.push_back({edgeStart(e), edgeBulge(e)});
  closed = true;
  return true;
}

}  // namespace

Acad::ErrorStatus AcDbHatch::getLoopAt(int loopIndex, Adesk::Int32& loopType, AcGePoint2dArray& vertices,
                                       AcGeDoubleArray& bulges) const {
  if (loopIndex < 0 || loopIndex >= numLoops()) return Acad::eInvalidIndex;
  const HatchLoop& loop = mpData->d.loops[size_t(loopIndex)];
  std::vector<contura::db::HatchVertex> verts;
  bool closed = true;
  if (!loopVertices(loop, verts, closed)) return Acad::eNotApplicable;
  loopType = loop.type;
  vertices.removeAll();
  bulges.removeAll();
  for (const auto& v : verts) {
    vertices.append(v.pt);
    bulges.append(v.bulge);
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::getLoopAt(int loopIndex, Adesk::Int32& loopType, AcGeVoidPointerArray& edgePtrs,
                                       AcGeIntArray& edgeTypes) const {
  if (loopIndex < 0 || loopIndex >= numLoops()) return Acad::eInvalidIndex;
  const HatchLoop& loop = mpData->d.loops[size_t(loopIndex)];
  if (!loop.isPolyline() && !onlyLinesAndArcs(loop)) return Acad::eNotApplicable;
  loopType = loop.type;
  edgePtrs.removeAll();
  edgeTypes.removeAll();
  if (loop.isPolyline()) {
    const size_t n = loop.vertices.size();
    const size_t segments = n < 2 ? 0 : (loop.closed ? n : n - 1);
    for (size_t i = 0; i < segments; ++i) {
      const AcGePoint2d& p0 = loop.vertices[i].pt;
      const AcGePoint2d& p1 = loop.vertices[(i + 1) % n].pt;
      auto* arc = new AcGeCircArc2d;
      if (contura::ge::arcFromBulge(p0, p1, loop.vertices[i].bulge, *arc)) {
        edgePtrs.append(arc);
        edgeTypes.append(kCirArc);
      } else {
        delete arc;
        edgePtrs.append(new AcGeLineSeg2d(p0, p1));
        edgeTypes.append(kLine);
      }
    }
    return Acad::eOk;
  }
  for (const HatchEdge& e : loop.edges) {
    if (e.type == kLine) {
      edgePtrs.append(new AcGeLineSeg2d(e.start, e.end));
    } else {
      // Clockwise arcs keep their angles measured clockwise, as the drawing file does.
      edgePtrs.append(new AcGeCircArc2d(e.center, e.radius, e.startAngle, e.endAngle, AcGeVector2d::kXAxis, !e.ccw));
    }
    edgeTypes.append(e.type);
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::appendLoop(Adesk::Int32 loopType, const AcGePoint2dArray& vertices,
                                        const AcGeDoubleArray& bulges) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (vertices.length() < 2) return Acad::eInvalidInput;
  if (!bulges.isEmpty() && bulges.length() != vertices.length()) return Acad::eInvalidInput;
  HatchLoop loop;
  loop.type = loopType | kPolyline;
  loop.closed = true;
  for (int i = 0; i < vertices.length(); ++i)
    loop.vertices.push_back({vertices[i], bulges.isEmpty() ? 0.0 : bulges[i]});
  mpData->d.loops.push_back(std::move(loop));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::appendLoop(Adesk::Int32 loopType, const AcGeVoidPointerArray& edgePtrs,
                                        const AcGeIntArray& edgeTypes) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (edgePtrs.isEmpty() || edgePtrs.length() != edgeTypes.length()) return Acad::eInvalidInput;
  HatchLoop loop;
  loop.type = loopType & ~kPolyline;
  for (int i = 0; i < edgePtrs.length(); ++i) {
    HatchEdge e;
    e.type = edgeTypes[i];
    if (edgePtrs[i] == nullptr) return Acad::eInvalidInput;
    if (e.type == kLine) {
      const auto* seg = static_cast<const AcGeLineSeg2d*>(edgePtrs[i]);
      e.start = seg->startPoint();
      e.end = seg->endPoint();
    } else if (e.type == kCirArc) {
      const auto* arc = static_cast<const AcGeCircArc2d*>(edgePtrs[i]);
      const double ref = std::atan2(arc->refVec().y, arc->refVec().x);
      e.center = arc->center();
      e.radius = arc->radius();
      e.ccw = !arc->isClockWise();
      // Stored angles: counter-clockwise from X, or for clockwise arcs clockwise from X.
      const double shift = e.ccw ? ref : -ref;
      e.startAngle = arc->startAng() + shift;
      e.endAngle = arc->endAng() + shift;
    } else {
      return Acad::eInvalidInput;
    }
    loop.edges.push_back(e);
  }
  mpData->d.loops.push_back(std::move(loop));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::removeLoopAt(int loopIndex) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (loopIndex < 0 || loopIndex >= numLoops()) return Acad::eInvalidIndex;
  mpData->d.loops.erase(mpData->d.loops.begin() + loopIndex);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::evaluateHatch(bool) { return Acad::eOk; }

// ---- transforms and extents ------------------------------------------------------------------
namespace {

struct PlaneMap2d {
  AcGeMatrix3d map;  // old OCS -> new OCS
  double scale = 1.0;
  double rotation = 0.0;  // of the X axis
  bool flipped = false;
  AcGePoint2d apply(const AcGePoint2d& p, double elevation, double* z = nullptr) const {
    const AcGePoint3d q = map * AcGePoint3d(p.x, p.y, elevation);
    if (z) *z = q.z;
    return AcGePoint2d(q.x, q.y);
  }
  AcGeVector2d applyVector(const AcGeVector2d& v) const {
    const AcGeVector3d q = map * AcGeVector3d(v.x, v.y, 0.0);
    return AcGeVector2d(q.x, q.y);
  }
  // A direction angle mapped.
  double angle(double a) const { return flipped ? rotation - a : rotation + a; }
};

void transformEdge(HatchEdge& e, const PlaneMap2d& m, double elevation) {
  switch (e.type) {
    case AcDbHatch::kLine:
      e.start = m.apply(e.start, elevation);
      e.end = m.apply(e.end, elevation);
      break;
    case AcDbHatch::kCirArc: {
      const double a0 = m.angle(actualAngle(e, e.startAngle));
      const double a1 = m.angle(actualAngle(e, e.endAngle));
      e.center = m.apply(e.center, elevation);
      e.radius *= m.scale;
      if (m.flipped) e.ccw = !e.ccw;
      e.startAngle = contura::db::normalizeAngle(e.ccw ? a0 : -a0);
      e.endAngle = contura::db::normalizeAngle(e.ccw ? a1 : -a1);
      if (e.endAngle <= e.startAngle) e.endAngle += kTwoPi;
      break;
    }
    case AcDbHatch::kEllArc:
      e.center = m.apply(e.center, elevation);
      e.majorAxis = m.applyVector(e.majorAxis);
      break;
    case AcDbHatch::kSpline:
      for (AcGePoint2d& p : e.controlPoints) p = m.apply(p, elevation);
      for (AcGePoint2d& p : e.fitPoints) p = m.apply(p, elevation);
      e.startTangent = m.applyVector(e.startTangent);
      e.endTangent = m.applyVector(e.endTangent);
      break;
    default:
      break;
  }
}

}  // namespace

Acad::ErrorStatus AcDbHatch::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  HatchData& d = mpData->d;
  double scale = 1.0;
  if (!contura::db::planeSimilarity(xform, d.normal, scale)) return Acad::eCannotScaleNonUniformly;
  const AcGeVector3d newNormal = contura::db::transformNormal(xform, d.normal);
  if (newNormal.isZeroLength()) return Acad::eInvalidInput;
  PlaneMap2d m;
  m.map = contura::db::worldToOcs(newNormal) * xform * contura::db::ocsToWorld(d.normal);
  m.scale = scale;
  const AcGeVector3d x = m.map * AcGeVector3d(1.0, 0.0, 0.0);
  const AcGeVector3d y = m.map * AcGeVector3d(0.0, 1.0, 0.0);
  m.rotation = std::atan2(x.y, x.x);
  m.flipped = x.x * y.y - x.y * y.x < 0.0;
  // Elliptic edges keep their parameters only without a mirror.
  if (m.flipped)
    for (const HatchLoop& loop : d.loops)
      for (const HatchEdge& e : loop.edges)
        if (e.type == kEllArc) return Acad::eNotApplicable;
  double newElevation = (m.map * AcGePoint3d(0.0, 0.0, d.elevation)).z;
  for (HatchLoop& loop : d.loops) {
    for (auto& v : loop.vertices) {
      v.pt = m.apply(v.pt, d.elevation);
      if (m.flipped) v.bulge = -v.bulge;
    }
    for (HatchEdge& e : loop.edges) transformEdge(e, m, d.elevation);
  }
  for (AcGePoint2d& p : d.seedPoints) p = m.apply(p, d.elevation);
  for (auto& line : d.patternLines) {
    line.angle = contura::db::normalizeAngle(m.angle(line.angle));
    line.base = m.apply(line.base, d.elevation);
    line.offset = m.applyVector(line.offset);
    for (double& dash : line.dashes) dash *= scale;
  }
  d.patternAngle = contura::db::normalizeAngle(m.angle(d.patternAngle));
  if (!d.solidFill) {
    d.patternScale *= scale;
    d.patternSpace *= scale;
  }
  d.elevation = newElevation;
  d.normal = newNormal;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::getGeomExtents(AcDbExtents& extents) const {
  const HatchData& d = mpData->d;
  const AcGeMatrix3d toWorld = contura::db::ocsToWorld(d.normal);
  AcDbExtents box;
  auto add2d = [&](const AcGePoint2d& p) { box.addPoint(toWorld * AcGePoint3d(p.x, p.y, d.elevation)); };
  for (const HatchLoop& loop : d.loops) {
    std::vector<contura::db::HatchVertex> verts;
    bool closed = true;
    if (loopVertices(loop, verts, closed)) {
      const size_t n = verts.size();
      for (size_t i = 0; i < n; ++i) {
        if (!closed && i + 1 == n) {
          add2d(verts[i].pt);
          break;
        }
        contura::db::addSegmentExtents(verts[i].pt, verts[(i + 1) % n].pt, verts[i].bulge, toWorld, d.elevation, box);
      }
      continue;
    }
    for (const HatchEdge& e : loop.edges) {
      switch (e.type) {
        case kLine: add2d(e.start); add2d(e.end); break;
        case kCirArc: {
          contura::db::addSegmentExtents(edgeStart(e), arcPoint(e, e.endAngle), edgeBulge(e), toWorld, d.elevation, box);
          break;
        }
        case kEllArc: {
          // The whole ellipse's box contains the arc.
          const double a = e.majorAxis.length(), b = a * e.minorRatio;
          const double ang = std::atan2(e.majorAxis.y, e.majorAxis.x);
          const double hx = std::hypot(a * std::cos(ang), b * std::sin(ang));
          const double hy = std::hypot(a * std::sin(ang), b * std::cos(ang));
          add2d(AcGePoint2d(e.center.x - hx, e.center.y - hy));
          add2d(AcGePoint2d(e.center.x + hx, e.center.y + hy));
          break;
        }
        case kSpline:
          for (const AcGePoint2d& p : e.controlPoints) add2d(p);
          for (const AcGePoint2d& p : e.fitPoints) add2d(p);
          break;
        default: break;
      }
    }
  }
  if (box.isEmpty()) return Acad::eInvalidExtents;
  extents = box;
  return Acad::eOk;
}
