// Regions and 3D solids as data holders (loops in a plane, extrusions, modeller data kept as
// read), and entities kept as raw drawing-file tags.
#include "segments.h"
#include "area_props.h"

#include <contura/db/rawtags.h>
#include <contura/db/solid_data.h>
#include <dbregion.h>
#include <dbsol3d.h>

#include <cmath>

using contura::db::Loop2d;
using contura::db::ObjectAccess;
using contura::db::RegionData;
using contura::db::SolidData;

namespace {

// The matrix from the region's plane coordinates (x, y, z along the normal) to the world.
AcGeMatrix3d planeFrame(const RegionData& d) {
  AcGeMatrix3d m;
  m.setCoordSystem(d.origin, d.xAxis, d.yAxis, d.xAxis.crossProduct(d.yAxis));
  return m;
}

template <class F> void forEachSegment(const Loop2d& loop, F&& f) {
  const size_t n = loop.size();
  if (n < 2) return;
  for (size_t i = 0; i < n; ++i) f(loop[i].pt, loop[(i + 1) % n].pt, loop[i].bulge);
}

// Signed area of a closed loop of lines and arcs (counter-clockwise positive).
double loopArea(const Loop2d& loop) { return contura::ge::loopSignedArea(contura::db::toBulgeLoop(loop)); }

}  // namespace

// ---- AcDbRegion ----------------------------------------------------------------------------
struct AcDbRegion::Data {
  RegionData d;
};

ACRX_DXF_DEFINE_MEMBERS(AcDbRegion, AcDbEntity, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, REGION,
                        ObjectDBX Classes)

AcDbRegion::AcDbRegion() : mpData(std::make_unique<Data>()) {}
AcDbRegion::~AcDbRegion() = default;
AcDbRegion::AcDbRegion(const AcDbRegion& other) : AcDbEntity(other), mpData(std::make_unique<Data>(*other.mpData)) {}

const AcRxClass* AcDbRegion::copyTypedData(const AcDbObject& src) {
  const auto& other = static_cast<const AcDbRegion&>(src);
  AcDbEntity::operator=(other);
  *mpData = *other.mpData;
  return AcDbRegion::desc();
}

namespace contura::db {
const RegionData& regionData(const AcDbRegion& region) { return ObjectAccess::pimpl(region)->d; }
Acad::ErrorStatus setRegionData(AcDbRegion& region, RegionData data) {
  if (!region.isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (data.xAxis.isZeroLength() || data.yAxis.isZeroLength()) return Acad::eInvalidInput;
  data.xAxis.normalize();
  data.yAxis.normalize();
  ObjectAccess::pimpl(region)->d = std::move(data);
  return Acad::eOk;
}
}  // namespace contura::db

// createFromCurves: region_build.cpp; area properties: area_props.cpp.

bool AcDbRegion::isNull() const { return mpData->d.loops.empty() && mpData->d.modellerData.empty(); }

Acad::ErrorStatus AcDbRegion::getPlane(AcGePlane& regionPlane) const {
  if (!mpData->d.modellerData.empty()) return Acad::eNotApplicable;
  regionPlane.set(mpData->d.origin, mpData->d.xAxis, mpData->d.yAxis);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::getNormal(AcGeVector3d& normal) const {
  if (!mpData->d.modellerData.empty()) return Acad::eNotApplicable;
  normal = mpData->d.xAxis.crossProduct(mpData->d.yAxis).normal();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::getArea(double& regionArea) const {
  if (!mpData->d.modellerData.empty()) return Acad::eNotImplementedYet;
  if (mpData->d.loops.empty()) return Acad::eDegenerateGeometry;
  // The first loop is the boundary, the others are holes.
  double area = std::fabs(loopArea(mpData->d.loops[0]));
  for (size_t i = 1; i < mpData->d.loops.size(); ++i) area -= std::fabs(loopArea(mpData->d.loops[i]));
  regionArea = area;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::getPerimeter(double& perimeter) const {
  if (!mpData->d.modellerData.empty()) return Acad::eNotImplementedYet;
  if (mpData->d.loops.empty()) return Acad::eDegenerateGeometry;
  double total = 0.0;
  for (const Loop2d& loop : mpData->d.loops) total += contura::ge::loopPerimeter(contura::db::toBulgeLoop(loop));
  perimeter = total;
  return Acad::eOk;
}


Acad::ErrorStatus AcDbRegion::explode(AcDbVoidPtrArray& entitySet) const {
  if (!mpData->d.modellerData.empty()) return Acad::eNotApplicable;
  const AcGeMatrix3d frame = planeFrame(mpData->d);
  for (const Loop2d& loop : mpData->d.loops) {
    forEachSegment(loop, [&](const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge) {
      AcDbCurve* piece = contura::db::segmentEntity(p0, p1, bulge, AcGeVector3d::kZAxis, 0.0);
      if (piece == nullptr) return;
      piece->transformBy(frame);
      piece->setPropertiesFrom(this);
      entitySet.append(piece);
    });
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  RegionData& d = mpData->d;
  if (!d.modellerData.empty()) return Acad::eNotApplicable;
  AcGeVector3d x = d.xAxis, y = d.yAxis;
  x.transformBy(xform);
  y.transformBy(xform);
  const double lx = x.length(), ly = y.length();
  // Loops keep their plane coordinates, scaled; the frame carries rotation and mirroring.
  if (lx <= contura::db::kZeroLength || std::fabs(lx - ly) > contura::db::kSimilarityTol * lx ||
      std::fabs(x.dotProduct(y)) > contura::db::kSimilarityTol * lx * ly)
    return Acad::eCannotScaleNonUniformly;
  d.origin.transformBy(xform);
  d.xAxis = x / lx;
  d.yAxis = y / ly;
  for (Loop2d& loop : d.loops)
    for (auto& v : loop) v.pt.set(v.pt.x * lx, v.pt.y * lx);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::getGeomExtents(AcDbExtents& extents) const {
  if (mpData->d.loops.empty()) return Acad::eInvalidExtents;
  const AcGeMatrix3d frame = planeFrame(mpData->d);
  AcDbExtents box;
  for (const Loop2d& loop : mpData->d.loops)
    forEachSegment(loop, [&](const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge) {
      contura::db::addSegmentExtents(p0, p1, bulge, frame, 0.0, box);
    });
  extents = box;
  return Acad::eOk;
}

// ---- AcDb3dSolid -----------------------------------------------------------------------------
struct AcDb3dSolid::Data {
  SolidData d;
};

ACRX_DXF_DEFINE_MEMBERS(AcDb3dSolid, AcDbEntity, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, 3DSOLID,
                        ObjectDBX Classes)

AcDb3dSolid::AcDb3dSolid() : mpData(std::make_unique<Data>()) {}
AcDb3dSolid::~AcDb3dSolid() = default;
AcDb3dSolid::AcDb3dSolid(const AcDb3dSolid& other) : AcDbEntity(other), mpData(std::make_unique<Data>(*other.mpData)) {}

const AcRxClass* AcDb3dSolid::copyTypedData(const AcDbObject& src) {
  const auto& other = static_cast<const AcDb3dSolid&>(src);
  AcDbEntity::operator=(other);
  *mpData = *other.mpData;
  return AcDb3dSolid::desc();
}

namespace contura::db {
const SolidData& solidData(const AcDb3dSolid& solid) { return ObjectAccess::pimpl(solid)->d; }
Acad::ErrorStatus setSolidData(AcDb3dSolid& solid, SolidData data) {
  if (!solid.isWriteEnabled()) return Acad::eNotOpenForWrite;
  ObjectAccess::pimpl(solid)->d = std::move(data);
  return Acad::eOk;
}
}  // namespace contura::db

Acad::ErrorStatus AcDb3dSolid::createBox(double xLen, double yLen, double zLen) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(xLen > 0.0 && yLen > 0.0 && zLen > 0.0)) return Acad::eInvalidInput;
  SolidData d;
  d.kind = SolidData::kExtrusion;
  const double hx = 0.5 * xLen, hy = 0.5 * yLen;
  d.loops.push_back({{AcGePoint2d(-hx, -hy), 0.0}, {AcGePoint2d(hx, -hy), 0.0}, {AcGePoint2d(hx, hy), 0.0},
                     {AcGePoint2d(-hx, hy), 0.0}});
  d.height = zLen;
  d.baseZ = -0.5 * zLen;
  mpData->d = std::move(d);
  return Acad::eOk;
}

Acad::ErrorStatus AcDb3dSolid::extrude(const AcDbRegion* region, double height, double taperAngle) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (region == nullptr || height == 0.0 || !std::isfinite(height)) return Acad::eInvalidInput;
  if (taperAngle != 0.0) return Acad::eNotImplementedYet;
  const RegionData& r = contura::db::regionData(*region);
  if (!r.modellerData.empty()) return Acad::eNotApplicable;
  if (r.loops.empty()) return Acad::eInvalidInput;
  SolidData d;
  d.kind = SolidData::kExtrusion;
  d.loops = r.loops;
  d.placement = planeFrame(r);
  d.baseZ = height > 0.0 ? 0.0 : height;
  d.height = std::fabs(height);
  mpData->d = std::move(d);
  return Acad::eOk;
}

bool AcDb3dSolid::isNull() const { return mpData->d.kind == SolidData::kNone; }


Acad::ErrorStatus AcDb3dSolid::explode(AcDbVoidPtrArray&) const { return Acad::eNotApplicable; }

Acad::ErrorStatus AcDb3dSolid::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  SolidData& d = mpData->d;
  if (d.kind == SolidData::kModeller) return Acad::eNotApplicable;
  d.placement = xform * d.placement;
  return Acad::eOk;
}

Acad::ErrorStatus AcDb3dSolid::getGeomExtents(AcDbExtents& extents) const {
  const SolidData& d = mpData->d;
  if (d.kind != SolidData::kExtrusion || d.loops.empty()) return Acad::eInvalidExtents;
  AcDbExtents box;
  for (double z : {d.baseZ, d.baseZ + d.height})
    for (const Loop2d& loop : d.loops)
      forEachSegment(loop, [&](const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge) {
        // Exact for rigid placements; otherwise the segment's own box, transformed.
        if (d.placement.isUniScaledOrtho()) {
          contura::db::addSegmentExtents(p0, p1, bulge, d.placement, z, box);
        } else {
          AcDbExtents local;
          contura::db::addSegmentExtents(p0, p1, bulge, AcGeMatrix3d::kIdentity, z, local);
          local.transformBy(d.placement);
          box.addExt(local);
        }
      });
  extents = box;
  return Acad::eOk;
}

// ---- raw entities and objects ------------------------------------------------------------------
ACRX_CONS_DEFINE_MEMBERS(AcDbRawEntity, AcDbEntity, AcDb::kDHL_CURRENT)
ACRX_CONS_DEFINE_MEMBERS(AcDbRawObject, AcDbObject, AcDb::kDHL_CURRENT)

AcDbRawEntity::AcDbRawEntity() = default;
AcDbRawEntity::~AcDbRawEntity() = default;

const AcRxClass* AcDbRawEntity::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbRawEntity&>(src);
  return AcDbRawEntity::desc();
}

Acad::ErrorStatus AcDbRawEntity::setDxfName(std::string name) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mDxfName = std::move(name);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbRawEntity::setClassName(std::string name) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mClassName = std::move(name);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbRawEntity::setTags(AcDbRawTags tags) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mTags = std::move(tags);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbRawEntity::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  // Tags that are not understood cannot be moved; only the identity leaves them right.
  return xform.isEqualTo(AcGeMatrix3d::kIdentity) ? Acad::eOk : Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbRawEntity::getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& pEnt) const {
  pEnt = nullptr;
  if (!xform.isEqualTo(AcGeMatrix3d::kIdentity)) return Acad::eNotApplicable;
  return AcDbEntity::getTransformedCopy(xform, pEnt);
}

AcDbRawObject::AcDbRawObject() = default;
AcDbRawObject::~AcDbRawObject() = default;

const AcRxClass* AcDbRawObject::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbRawObject&>(src);
  return AcDbRawObject::desc();
}

Acad::ErrorStatus AcDbRawObject::setDxfName(std::string name) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mDxfName = std::move(name);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbRawObject::setClassName(std::string name) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mClassName = std::move(name);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbRawObject::setTags(AcDbRawTags tags) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mTags = std::move(tags);
  return Acad::eOk;
}
