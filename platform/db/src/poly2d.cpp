// Old-style 2D polylines and their vertices.
#include "defaults.h"
#include "segments.h"

using contura::db::BulgePath;

#include <algorithm>
#include <cmath>

using contura::db::ObjectAccess;
using contura::db::PartList;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbVertex, AcDbEntity)
AcDbVertex::AcDbVertex() = default;
AcDbVertex::~AcDbVertex() = default;

// ---- AcDb2dVertex ------------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDb2dVertex, AcDbVertex, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, VERTEX,
                        ObjectDBX Classes)

AcDb2dVertex::AcDb2dVertex() = default;
AcDb2dVertex::AcDb2dVertex(const AcGePoint3d& position, double bulge, double startWidth, double endWidth,
                           double tangent)
    : mPosition(position), mBulge(bulge), mStartWidth(startWidth), mEndWidth(endWidth), mTangent(tangent) {}
AcDb2dVertex::~AcDb2dVertex() = default;

const AcRxClass* AcDb2dVertex::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDb2dVertex&>(src);
  return AcDb2dVertex::desc();
}

#define VERTEX_SET(MEMBER, VALUE)                                                              \
  do {                                                                                          \
    if (!writable()) return Acad::eNotOpenForWrite;                                             \
    MEMBER = (VALUE);                                                                           \
    return Acad::eOk;                                                                           \
  } while (0)

Acad::ErrorStatus AcDb2dVertex::setVertexType(AcDb::Vertex2dType type) {
  if (type < AcDb::k2dVertex || type > AcDb::k2dCurveFitVertex) return Acad::eInvalidInput;
  VERTEX_SET(mType, Adesk::UInt8(type));
}
Acad::ErrorStatus AcDb2dVertex::setPosition(const AcGePoint3d& pos) { VERTEX_SET(mPosition, pos); }
Acad::ErrorStatus AcDb2dVertex::setStartWidth(double newVal) {
  if (newVal < 0.0) return Acad::eInvalidInput;
  VERTEX_SET(mStartWidth, newVal);
}
Acad::ErrorStatus AcDb2dVertex::setEndWidth(double newVal) {
  if (newVal < 0.0) return Acad::eInvalidInput;
  VERTEX_SET(mEndWidth, newVal);
}
Acad::ErrorStatus AcDb2dVertex::setBulge(double newVal) { VERTEX_SET(mBulge, newVal); }
Acad::ErrorStatus AcDb2dVertex::useTangent() { VERTEX_SET(mTangentUsed, true); }
Acad::ErrorStatus AcDb2dVertex::ignoreTangent() { VERTEX_SET(mTangentUsed, false); }
Acad::ErrorStatus AcDb2dVertex::setTangent(double newVal) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mTangent = newVal;
  mTangentUsed = true;
  return Acad::eOk;
}

// ---- AcDb2dPolyline --------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDb2dPolyline, AcDbCurve, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, POLYLINE,
                        ObjectDBX Classes)

AcDb2dPolyline::AcDb2dPolyline() = default;

AcDb2dPolyline::AcDb2dPolyline(AcDb::Poly2dType type, const AcGePoint3dArray& vertices, double elevation,
                               bool closed, double defStartWidth, double defEndWidth, const AcGeDoubleArray* bulges)
    : mElevation(elevation), mDefStartWidth(defStartWidth), mDefEndWidth(defEndWidth), mType(Adesk::UInt8(type)),
      mClosed(closed) {
  mpVertices = std::make_unique<PartList>();
  for (int i = 0; i < vertices.length(); ++i) {
    const double bulge = (bulges != nullptr && i < bulges->length()) ? (*bulges)[i] : 0.0;
    mpVertices->pending.emplace_back(new AcDb2dVertex(vertices[i], bulge, defStartWidth, defEndWidth));
    mpVertices->pendingSources.push_back(nullptr);
  }
}

AcDb2dPolyline::~AcDb2dPolyline() = default;

AcDb2dPolyline::AcDb2dPolyline(const AcDb2dPolyline& other) : AcDbCurve(other) { copyPolylineData(other); }

void AcDb2dPolyline::copyPolylineData(const AcDb2dPolyline& other) {
  mNormal = other.mNormal;
  mElevation = other.mElevation;
  mThickness = other.mThickness;
  mDefStartWidth = other.mDefStartWidth;
  mDefEndWidth = other.mDefEndWidth;
  mType = other.mType;
  mClosed = other.mClosed;
  mPlinegen = other.mPlinegen;
  mpVertices = other.mpVertices ? std::make_unique<PartList>(*other.mpVertices) : nullptr;
}

const AcRxClass* AcDb2dPolyline::copyTypedData(const AcDbObject& src) {
  const auto& other = static_cast<const AcDb2dPolyline&>(src);
  AcDbCurve::operator=(other);
  copyPolylineData(other);
  return AcDb2dPolyline::desc();
}

void AcDb2dPolyline::translateIds(const contura::db::IdTranslator& translator) {
  AcDbCurve::translateIds(translator);
  if (!mpVertices) return;
  std::vector<AcDbStub*> kept;
  for (AcDbStub* id : mpVertices->ids)
    if (AcDbStub* t = translator.translate(id)) kept.push_back(t);
  mpVertices->ids.swap(kept);
}

void AcDb2dPolyline::addedToDatabase() {
  if (mpVertices) contura::db::addPendingParts(*this, *mpVertices);
}

void AcDb2dPolyline::collectParts(AcDbObjectIdArray& parts) const {
  if (mpVertices)
    for (AcDbStub* id : mpVertices->ids) parts.append(id);
}

void AcDb2dPolyline::collectSubentities(AcArray<AcDbEntity*>& parts) const {
  if (!mpVertices) return;
  for (const auto& p : mpVertices->pending) parts.append(p.get());
  for (AcDbStub* id : mpVertices->ids)
    if (auto* e = contura::db::peekAs<AcDbEntity>(id)) parts.append(e);
}

Acad::ErrorStatus AcDb2dPolyline::subErase(bool) { return Acad::eOk; }

#define PLINE_SET(MEMBER, VALUE)                                                               \
  do {                                                                                          \
    if (!writable()) return Acad::eNotOpenForWrite;                                             \
    MEMBER = (VALUE);                                                                           \
    return Acad::eOk;                                                                           \
  } while (0)

Acad::ErrorStatus AcDb2dPolyline::setPolyType(AcDb::Poly2dType type) {
  if (type < AcDb::k2dSimplePoly || type > AcDb::k2dCubicSplinePoly) return Acad::eInvalidInput;
  PLINE_SET(mType, Adesk::UInt8(type));
}
Acad::ErrorStatus AcDb2dPolyline::makeClosed() { PLINE_SET(mClosed, true); }
Acad::ErrorStatus AcDb2dPolyline::makeOpen() { PLINE_SET(mClosed, false); }
Acad::ErrorStatus AcDb2dPolyline::setDefaultStartWidth(double v) { PLINE_SET(mDefStartWidth, v); }
Acad::ErrorStatus AcDb2dPolyline::setDefaultEndWidth(double v) { PLINE_SET(mDefEndWidth, v); }
Acad::ErrorStatus AcDb2dPolyline::setThickness(double v) { PLINE_SET(mThickness, v); }
Acad::ErrorStatus AcDb2dPolyline::setNormal(const AcGeVector3d& normal) {
  if (normal.isZeroLength()) return Acad::eInvalidInput;
  PLINE_SET(mNormal, normal.normal());
}
Acad::ErrorStatus AcDb2dPolyline::setElevation(double elevation) { PLINE_SET(mElevation, elevation); }
Acad::ErrorStatus AcDb2dPolyline::setLinetypeGenerationOn() { PLINE_SET(mPlinegen, true); }
Acad::ErrorStatus AcDb2dPolyline::setLinetypeGenerationOff() { PLINE_SET(mPlinegen, false); }

Acad::ErrorStatus AcDb2dPolyline::appendVertex(AcDb2dVertex* pNewVertex) {
  AcDbObjectId id;
  return appendVertex(id, pNewVertex);
}

Acad::ErrorStatus AcDb2dPolyline::appendVertex(AcDbObjectId& objId, AcDb2dVertex* pNewVertex) {
  if (pNewVertex == nullptr) return Acad::eNullObjectPointer;
  if (!writable()) return Acad::eNotOpenForWrite;
  if (ObjectAccess::stub(*pNewVertex) != nullptr || ObjectAccess::owner(*pNewVertex) != nullptr) return Acad::eAlreadyInDb;
  if (!mpVertices) mpVertices = std::make_unique<PartList>();
  AcDbStub* self = ObjectAccess::stub(*this);
  if (self == nullptr) {
    for (const auto& p : mpVertices->pending)
      if (p.get() == pNewVertex) return Acad::eAlreadyInDb;
    mpVertices->pending.emplace_back(pNewVertex);
    mpVertices->pendingSources.push_back(nullptr);
    objId = AcDbObjectId();
    return Acad::eOk;
  }
  AcDbDatabase::Impl& impl = ObjectAccess::impl(*self->database);
  contura::db::applyEntityDefaults(impl, *pNewVertex);
  AcDbStub* stub = nullptr;
  Acad::ErrorStatus es = impl.addObject(pNewVertex, stub);
  if (es != Acad::eOk) return es;
  ObjectAccess::setOwner(*pNewVertex, self);
  mpVertices->ids.push_back(stub);
  objId = stub;
  return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::openVertex(AcDb2dVertex*& pVertex, AcDbObjectId vertId, AcDb::OpenMode mode,
                                             bool openErasedOne) const {
  pVertex = nullptr;
  if (!mpVertices || std::find(mpVertices->ids.begin(), mpVertices->ids.end(), static_cast<AcDbStub*>(vertId)) ==
                         mpVertices->ids.end())
    return Acad::eInvalidInput;
  return acdbOpenObject(pVertex, vertId, mode, openErasedOne);
}

AcDbObjectIterator* AcDb2dPolyline::vertexIterator() const { return ObjectAccess::newIterator(mpVertices.get()); }

AcGePoint3d AcDb2dPolyline::vertexPosition(const AcDb2dVertex& vert) const {
  const AcGePoint3d p = vert.position();
  return contura::db::ocsToWorld(mNormal) * AcGePoint3d(p.x, p.y, mElevation);
}

// ---- geometry ------------------------------------------------------------------------------
namespace {

using Vertex2d = contura::db::PathVertex;

// The vertices that make the polyline's path (spline frame control points are left out).
std::vector<Vertex2d> pathVertices(const AcDb2dPolyline& pl) {
  std::vector<Vertex2d> out;
  AcDbObjectIterator* it = pl.vertexIterator();
  for (it->start(); !it->done(); it->step()) {
    auto* v = AcDb2dVertex::cast(it->entity());
    if (v == nullptr || v->vertexType() == AcDb::k2dSplineCtlVertex) continue;
    out.push_back({AcGePoint2d(v->position().x, v->position().y), v->bulge()});
  }
  delete it;
  return out;
}

}  // namespace

Acad::ErrorStatus AcDb2dPolyline::getStartParam(double& startParam) const {
  if (pathVertices(*this).empty()) return Acad::eDegenerateGeometry;
  startParam = 0.0;
  return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::getEndParam(double& endParam) const {
  const std::vector<Vertex2d> v = pathVertices(*this);
  if (v.empty()) return Acad::eDegenerateGeometry;
  endParam = BulgePath(v, mClosed).endParam();
  return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::getStartPoint(AcGePoint3d& startPoint) const { return getPointAtParam(0.0, startPoint); }

Acad::ErrorStatus AcDb2dPolyline::getEndPoint(AcGePoint3d& endPoint) const {
  double end = 0.0;
  Acad::ErrorStatus es = getEndParam(end);
  return es == Acad::eOk ? getPointAtParam(end, endPoint) : es;
}

Acad::ErrorStatus AcDb2dPolyline::getPointAtParam(double param, AcGePoint3d& point) const {
  const std::vector<Vertex2d> v = pathVertices(*this);
  if (v.empty()) return Acad::eDegenerateGeometry;
  AcGePoint2d p;
  if (!BulgePath(v, mClosed).pointAtParam(param, p)) return Acad::eInvalidInput;
  point = contura::db::ocsToWorld(mNormal) * AcGePoint3d(p.x, p.y, mElevation);
  return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::getParamAtPoint(const AcGePoint3d& point, double& param) const {
  const std::vector<Vertex2d> v = pathVertices(*this);
  if (v.empty()) return Acad::eDegenerateGeometry;
  const BulgePath path(v, mClosed);
  const AcGePoint3d local = contura::db::worldToOcs(mNormal) * point;
  const double tol = contura::db::onCurveTol(std::max(path.size(), std::fabs(mElevation)));
  if (std::fabs(local.z - mElevation) > tol) return Acad::eInvalidInput;
  return path.paramAtPoint(AcGePoint2d(local.x, local.y), tol, param) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDb2dPolyline::getDistAtParam(double param, double& dist) const {
  const std::vector<Vertex2d> v = pathVertices(*this);
  if (v.empty()) return Acad::eDegenerateGeometry;
  return BulgePath(v, mClosed).distAtParam(param, dist) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDb2dPolyline::getParamAtDist(double dist, double& param) const {
  const std::vector<Vertex2d> v = pathVertices(*this);
  if (v.empty()) return Acad::eDegenerateGeometry;
  return BulgePath(v, mClosed).paramAtDist(dist, param) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDb2dPolyline::getFirstDeriv(double param, AcGeVector3d& firstDeriv) const {
  const std::vector<Vertex2d> v = pathVertices(*this);
  if (v.empty()) return Acad::eDegenerateGeometry;
  AcGeVector2d d;
  if (!BulgePath(v, mClosed).firstDerivAt(param, d)) return Acad::eInvalidInput;
  firstDeriv = contura::db::ocsToWorld(mNormal) * AcGeVector3d(d.x, d.y, 0.0);
  return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::explode(AcDbVoidPtrArray& entitySet) const {
  const std::vector<Vertex2d> v = pathVertices(*this);
  const BulgePath path(v, mClosed);
  if (path.segments() == 0) return Acad::eNotApplicable;
  path.explode(*this, mNormal, mElevation, entitySet);
  return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  AcArray<AcDbEntity*> parts;
  collectSubentities(parts);
  double scale = 1.0;
  const bool similar = contura::db::planeSimilarity(xform, mNormal, scale);
  if (!similar) {
    for (AcDbEntity* e : parts)
      if (auto* v = AcDb2dVertex::cast(e); v && !contura::ge::isStraightBulge(v->bulge()))
        return Acad::eCannotScaleNonUniformly;
  }
  const AcGeVector3d newNormal = contura::db::transformNormal(xform, mNormal);
  if (newNormal.isZeroLength()) return Acad::eInvalidInput;
  const AcGeMatrix3d toWorld = contura::db::ocsToWorld(mNormal);
  AcGeVector3d u(toWorld(0, 0), toWorld(1, 0), toWorld(2, 0));
  AcGeVector3d w(toWorld(0, 1), toWorld(1, 1), toWorld(2, 1));
  u.transformBy(xform);
  w.transformBy(xform);
  const bool flipped = u.crossProduct(w).dotProduct(newNormal) < 0.0;
  const AcGeMatrix3d map = contura::db::worldToOcs(newNormal) * xform * toWorld;
  double elevation = (map * AcGePoint3d(0.0, 0.0, mElevation)).z;
  for (AcDbEntity* e : parts) {
    auto* v = AcDb2dVertex::cast(e);
    if (v == nullptr) continue;
    contura::db::changeAsOwner(*v, [&](AcDbObject&) {
      const AcGePoint3d p = v->position();
      const AcGePoint3d q = map * AcGePoint3d(p.x, p.y, mElevation);
      elevation = q.z;
      v->setPosition(AcGePoint3d(q.x, q.y, q.z));
      if (flipped) v->setBulge(-v->bulge());
      if (similar) {
        v->setStartWidth(v->startWidth() * scale);
        v->setEndWidth(v->endWidth() * scale);
      }
    });
  }
  mElevation = elevation;
  mNormal = newNormal;
  if (similar) {
    mDefStartWidth *= scale;
    mDefEndWidth *= scale;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::getGeomExtents(AcDbExtents& extents) const {
  const std::vector<Vertex2d> v = pathVertices(*this);
  if (v.empty()) return Acad::eInvalidExtents;
  AcDbExtents box;
  BulgePath(v, mClosed).addExtents(contura::db::ocsToWorld(mNormal), mElevation, box);
  extents = box;
  return Acad::eOk;
}
