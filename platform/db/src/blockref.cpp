// Block references and multi-inserts: placement, attributes (parts), explode, transforms and
// extents; the part lists shared with old-style polylines.
#include "defaults.h"

#include <algorithm>
#include <cmath>

using contura::db::ObjectAccess;
using contura::db::PartList;

// ---- parts -----------------------------------------------------------------------------------
namespace contura::db {

PartList* ObjectAccess::parts(AcDbEntity& owner) {
  if (auto* ref = AcDbBlockReference::cast(&owner)) return ref->mpAttributes.get();
  if (auto* pl = AcDb2dPolyline::cast(&owner)) return pl->mpVertices.get();
  return nullptr;
}

PartList& ObjectAccess::ensureParts(AcDbEntity& owner) {
  std::unique_ptr<PartList>* slot = nullptr;
  if (auto* ref = AcDbBlockReference::cast(&owner)) slot = &ref->mpAttributes;
  else if (auto* pl = AcDb2dPolyline::cast(&owner)) slot = &pl->mpVertices;
  static PartList none;  // never reached for the two owner kinds
  if (slot == nullptr) return none;
  if (!*slot) *slot = std::make_unique<PartList>();
  return **slot;
}

void addPendingParts(AcDbEntity& owner, PartList& parts) {
  AcDbStub* ownerStub = ObjectAccess::stub(owner);
  if (ownerStub == nullptr) return;
  AcDbDatabase::Impl& impl = ObjectAccess::impl(*ownerStub->database);
  for (size_t i = 0; i < parts.pending.size(); ++i) {
    AcDbEntity* part = parts.pending[i].release();
    AcDbStub* source = i < parts.pendingSources.size() ? parts.pendingSources[i] : nullptr;
    applyEntityDefaults(impl, *part);
    Adesk::UInt64 handle = 0;
    if (impl.copyContext && impl.copyContext->keepHandles && source) handle = source->handle;
    AcDbStub* stub = nullptr;
    if (impl.addObject(part, stub, handle) != Acad::eOk && impl.addObject(part, stub) != Acad::eOk) {
      delete part;
      continue;
    }
    ObjectAccess::setOwner(*part, ownerStub);
    ObjectAccess::markClosed(*part);
    parts.ids.push_back(stub);
    if (impl.copyContext && source) impl.copyContext->map[source] = stub;
  }
  parts.pending.clear();
  parts.pendingSources.clear();
}

}  // namespace contura::db

namespace {

// Appends a part to an owner: held while the owner is new, added to its database otherwise.
Acad::ErrorStatus appendPart(AcDbEntity& owner, std::unique_ptr<PartList>& slot, AcDbEntity* part, AcDbObjectId& id) {
  if (ObjectAccess::stub(*part) != nullptr || ObjectAccess::owner(*part) != nullptr) return Acad::eAlreadyInDb;
  if (!slot) slot = std::make_unique<PartList>();
  AcDbStub* ownerStub = ObjectAccess::stub(owner);
  if (ownerStub == nullptr) {
    if (std::any_of(slot->pending.begin(), slot->pending.end(), [&](const auto& p) { return p.get() == part; }))
      return Acad::eAlreadyInDb;
    slot->pending.emplace_back(part);
    slot->pendingSources.push_back(nullptr);
    id = AcDbObjectId();
    return Acad::eOk;
  }
  AcDbDatabase::Impl& impl = ObjectAccess::impl(*ownerStub->database);
  contura::db::applyEntityDefaults(impl, *part);
  AcDbStub* stub = nullptr;
  Acad::ErrorStatus es = impl.addObject(part, stub);
  if (es != Acad::eOk) return es;
  ObjectAccess::setOwner(*part, ownerStub);
  slot->ids.push_back(stub);
  id = stub;
  return Acad::eOk;
}

// Every part in memory (held or in the database).
void partsInMemory(const PartList* parts, AcArray<AcDbEntity*>& out) {
  if (parts == nullptr) return;
  for (const auto& p : parts->pending) out.append(p.get());
  for (AcDbStub* id : parts->ids)
    if (auto* e = contura::db::peekAs<AcDbEntity>(id)) out.append(e);
}

void translatePartIds(PartList* parts, const contura::db::IdTranslator& translator) {
  if (parts == nullptr) return;
  std::vector<AcDbStub*> kept;
  for (AcDbStub* id : parts->ids)
    if (AcDbStub* t = translator.translate(id)) kept.push_back(t);
  parts->ids.swap(kept);
}

// Nesting depth of extents and explode through block references (a block that contains a
// reference to itself would otherwise never end).
constexpr int kMaxBlockNesting = 64;
thread_local int gBlockNesting = 0;

struct NestingGuard {
  bool ok;
  NestingGuard() : ok(++gBlockNesting <= kMaxBlockNesting) {}
  ~NestingGuard() { --gBlockNesting; }
};


}  // namespace

// ---- AcDbBlockReference ----------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbBlockReference, AcDbEntity, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, INSERT,
                        ObjectDBX Classes)

AcDbBlockReference::AcDbBlockReference() = default;
AcDbBlockReference::AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRec)
    : mPosition(position), mpBlock(blockTableRec) {}
AcDbBlockReference::~AcDbBlockReference() = default;

AcDbBlockReference::AcDbBlockReference(const AcDbBlockReference& other) : AcDbEntity(other) {
  copyReferenceData(other);
}

void AcDbBlockReference::copyReferenceData(const AcDbBlockReference& other) {
  mPosition = other.mPosition;
  mScale = other.mScale;
  mNormal = other.mNormal;
  mpBlock = other.mpBlock;
  mRotation = other.mRotation;
  mpAttributes = other.mpAttributes ? std::make_unique<PartList>(*other.mpAttributes) : nullptr;
}

const AcRxClass* AcDbBlockReference::copyTypedData(const AcDbObject& src) {
  const auto& other = static_cast<const AcDbBlockReference&>(src);
  AcDbEntity::operator=(other);
  copyReferenceData(other);
  return AcDbBlockReference::desc();
}

void AcDbBlockReference::translateIds(const contura::db::IdTranslator& translator) {
  AcDbEntity::translateIds(translator);
  mpBlock = translator.translate(mpBlock);
  translatePartIds(mpAttributes.get(), translator);
}

void AcDbBlockReference::addedToDatabase() {
  if (mpAttributes) contura::db::addPendingParts(*this, *mpAttributes);
}

void AcDbBlockReference::collectParts(AcDbObjectIdArray& parts) const {
  if (mpAttributes)
    for (AcDbStub* id : mpAttributes->ids) parts.append(id);
}

void AcDbBlockReference::collectSubentities(AcArray<AcDbEntity*>& parts) const {
  partsInMemory(mpAttributes.get(), parts);
}

Acad::ErrorStatus AcDbBlockReference::subErase(bool) { return Acad::eOk; }

AcDbObjectId AcDbBlockReference::blockTableRecord() const { return AcDbObjectId(mpBlock); }

Acad::ErrorStatus AcDbBlockReference::setBlockTableRecord(AcDbObjectId blockId) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!blockId.isNull() && !AcDbBlockTableRecord::cast(contura::db::peek(blockId))) return Acad::eWrongObjectType;
  mpBlock = blockId;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setPosition(const AcGePoint3d& pos) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mPosition = pos;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setScaleFactors(const AcGeScale3d& scale) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (scale.sx == 0.0 || scale.sy == 0.0 || scale.sz == 0.0) return Acad::eInvalidInput;
  mScale = scale;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setRotation(double newVal) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mRotation = contura::db::normalizeAngle(newVal);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setNormal(const AcGeVector3d& newVal) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (newVal.isZeroLength()) return Acad::eInvalidInput;
  mNormal = newVal.normal();
  return Acad::eOk;
}

AcGeMatrix3d AcDbBlockReference::blockTransform() const {
  AcGePoint3d origin;
  if (auto* btr = contura::db::peekAs<AcDbBlockTableRecord>(mpBlock)) origin = btr->origin();
  return AcGeMatrix3d::translation(mPosition.asVector()) * contura::db::ocsToWorld(mNormal) *
         AcGeMatrix3d::rotation(mRotation, AcGeVector3d::kZAxis) * AcGeMatrix3d::scaling(mScale) *
         AcGeMatrix3d::translation(-origin.asVector());
}

Acad::ErrorStatus AcDbBlockReference::setBlockTransform(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  const AcGeVector3d c0(xform(0, 0), xform(1, 0), xform(2, 0));
  const AcGeVector3d c1(xform(0, 1), xform(1, 1), xform(2, 1));
  const AcGeVector3d c2(xform(0, 2), xform(1, 2), xform(2, 2));
  const double l0 = c0.length(), l1 = c1.length(), l2 = c2.length();
  if (l0 <= contura::db::kZeroLength || l1 <= contura::db::kZeroLength || l2 <= contura::db::kZeroLength)
    return Acad::eCannotScaleNonUniformly;
  if (std::fabs(c0.dotProduct(c1)) > contura::db::kSimilarityTol * l0 * l1 || std::fabs(c0.dotProduct(c2)) > contura::db::kSimilarityTol * l0 * l2 ||
      std::fabs(c1.dotProduct(c2)) > contura::db::kSimilarityTol * l1 * l2)
    return Acad::eCannotScaleNonUniformly;
  // The normal is the image of the block's Z axis; X fixes the rotation; Y's side fixes the
  // sign of its scale (a mirror is kept as a negative X scale).
  const AcGeVector3d n = c2 / l2;
  const AcGeVector3d localX = contura::db::worldToOcs(n) * c0;
  double rotation = std::atan2(localX.y, localX.x);
  double sx = l0, sy = l1;
  if (n.crossProduct(c0 / l0).dotProduct(c1) < 0.0) {
    sx = -sx;
    rotation += contura::db::kPi;
  }
  AcGePoint3d origin;
  if (auto* btr = contura::db::peekAs<AcDbBlockTableRecord>(mpBlock)) origin = btr->origin();
  mNormal = n;
  mRotation = contura::db::normalizeAngle(rotation);
  mScale = AcGeScale3d(sx, sy, l2);
  // position = xform applied to the block's origin.
  mPosition = xform * origin;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbAttribute* pAttr) {
  AcDbObjectId id;
  return appendAttribute(id, pAttr);
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbObjectId& attrId, AcDbAttribute* pAttr) {
  if (pAttr == nullptr) return Acad::eNullObjectPointer;
  if (!writable()) return Acad::eNotOpenForWrite;
  return appendPart(*this, mpAttributes, pAttr, attrId);
}

Acad::ErrorStatus AcDbBlockReference::openAttribute(AcDbAttribute*& pAttr, AcDbObjectId attrId, AcDb::OpenMode mode,
                                                    bool openErasedOne) {
  pAttr = nullptr;
  if (!mpAttributes || std::find(mpAttributes->ids.begin(), mpAttributes->ids.end(),
                                 static_cast<AcDbStub*>(attrId)) == mpAttributes->ids.end())
    return Acad::eInvalidInput;
  return acdbOpenObject(pAttr, attrId, mode, openErasedOne);
}

AcDbObjectIterator* AcDbBlockReference::attributeIterator() const {
  return ObjectAccess::newIterator(mpAttributes.get());
}

Acad::ErrorStatus AcDbBlockReference::explodeWith(const AcGeMatrix3d& xform, AcDbVoidPtrArray& entitySet) const {
  auto* btr = contura::db::peekAs<AcDbBlockTableRecord>(mpBlock);
  if (btr == nullptr) return Acad::eNullBlockName;
  NestingGuard guard;
  if (!guard.ok) return Acad::eSelfReference;
  for (AcDbStub* stub : ObjectAccess::blockEntities(*btr)) {
    if (!contura::db::isLive(stub)) continue;
    auto* ent = static_cast<AcDbEntity*>(stub->object);
    AcDbEntity* copy = nullptr;
    const Acad::ErrorStatus es = ent->getTransformedCopy(xform, copy);
    if (es == Acad::eOk && copy != nullptr) {
      entitySet.append(copy);
    } else if (es == Acad::eCannotScaleNonUniformly) {
      // A polyline with arcs cannot be stretched as a whole: its lines and arcs can (the
      // arcs become elliptical arcs).
      AcDbVoidPtrArray pieces;
      if (ent->explode(pieces) != Acad::eOk) continue;
      for (void* p : pieces) {
        auto* piece = static_cast<AcDbEntity*>(p);
        AcDbEntity* placed = nullptr;
        if (piece->getTransformedCopy(xform, placed) == Acad::eOk && placed != nullptr) entitySet.append(placed);
        delete piece;
      }
    }
    // Entities that cannot follow the transform otherwise (kept as raw data) are left out.
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::explode(AcDbVoidPtrArray& entitySet) const {
  return explodeWith(blockTransform(), entitySet);
}

Acad::ErrorStatus AcDbBlockReference::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  const AcGePoint3d position = mPosition;
  const AcGeScale3d scale = mScale;
  const AcGeVector3d normal = mNormal;
  const double rotation = mRotation;
  Acad::ErrorStatus es = setBlockTransform(xform * blockTransform());
  if (es != Acad::eOk) {
    mPosition = position;
    mScale = scale;
    mNormal = normal;
    mRotation = rotation;
    return es;
  }
  AcArray<AcDbEntity*> parts;
  collectSubentities(parts);
  for (AcDbEntity* part : parts)
    contura::db::changeAsOwner(*part, [&](AcDbObject& o) { static_cast<AcDbEntity&>(o).transformBy(xform); });
  return Acad::eOk;
}

namespace {
// The box of one entity placed by xform (the entity's own box transformed when it cannot be
// copied through the transform).
void addPlacedExtents(const AcDbEntity& ent, const AcGeMatrix3d& xform, AcDbExtents& box) {
  AcDbEntity* copy = nullptr;
  AcDbExtents e;
  if (ent.getTransformedCopy(xform, copy) == Acad::eOk && copy != nullptr) {
    if (copy->getGeomExtents(e) == Acad::eOk) box.addExt(e);
    delete copy;
    return;
  }
  if (ent.getGeomExtents(e) == Acad::eOk) {
    e.transformBy(xform);
    box.addExt(e);
  }
}
}  // namespace

Acad::ErrorStatus AcDbBlockReference::getGeomExtents(AcDbExtents& extents) const {
  auto* btr = contura::db::peekAs<AcDbBlockTableRecord>(mpBlock);
  if (btr == nullptr) return Acad::eInvalidExtents;
  NestingGuard guard;
  if (!guard.ok) return Acad::eInvalidExtents;
  const AcGeMatrix3d xform = blockTransform();
  AcDbExtents box;
  for (AcDbStub* stub : ObjectAccess::blockEntities(*btr)) {
    if (!contura::db::isLive(stub)) continue;
    auto* ent = static_cast<const AcDbEntity*>(stub->object);
    // Attribute definitions are not drawn by references.
    if (AcDbAttributeDefinition::cast(ent) != nullptr) continue;
    addPlacedExtents(*ent, xform, box);
  }
  AcArray<AcDbEntity*> parts;
  collectSubentities(parts);
  for (AcDbEntity* part : parts) {
    AcDbExtents e;
    if (part->visibility() == AcDb::kVisible && part->getGeomExtents(e) == Acad::eOk) box.addExt(e);
  }
  if (box.isEmpty()) return Acad::eInvalidExtents;
  extents = box;
  return Acad::eOk;
}

// ---- AcDbMInsertBlock ------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbMInsertBlock, AcDbBlockReference, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0,
                        INSERT, ObjectDBX Classes)

AcDbMInsertBlock::AcDbMInsertBlock() = default;
AcDbMInsertBlock::AcDbMInsertBlock(const AcGePoint3d& position, AcDbObjectId blockTableRec, Adesk::UInt16 columns,
                                   Adesk::UInt16 rows, double colSpacing, double rowSpacing)
    : AcDbBlockReference(position, blockTableRec), mColumnSpacing(colSpacing), mRowSpacing(rowSpacing),
      mColumns(std::max<Adesk::UInt16>(columns, 1)), mRows(std::max<Adesk::UInt16>(rows, 1)) {}
AcDbMInsertBlock::~AcDbMInsertBlock() = default;

const AcRxClass* AcDbMInsertBlock::copyTypedData(const AcDbObject& src) {
  AcDbBlockReference::copyTypedData(src);
  const auto& other = static_cast<const AcDbMInsertBlock&>(src);
  mColumnSpacing = other.mColumnSpacing;
  mRowSpacing = other.mRowSpacing;
  mColumns = other.mColumns;
  mRows = other.mRows;
  return AcDbMInsertBlock::desc();
}

Acad::ErrorStatus AcDbMInsertBlock::setColumns(Adesk::UInt16 columns) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (columns == 0) return Acad::eInvalidInput;
  mColumns = columns;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbMInsertBlock::setRows(Adesk::UInt16 rows) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (rows == 0) return Acad::eInvalidInput;
  mRows = rows;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbMInsertBlock::setColumnSpacing(double spacing) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mColumnSpacing = spacing;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbMInsertBlock::setRowSpacing(double spacing) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mRowSpacing = spacing;
  return Acad::eOk;
}

AcGeMatrix3d AcDbMInsertBlock::cellTransform(int row, int column) const {
  // Cells are spaced along the reference's rotated X and Y axes, in drawing units.
  const AcGeVector3d offset = contura::db::ocsToWorld(normal()) *
                              (AcGeMatrix3d::rotation(rotation(), AcGeVector3d::kZAxis) *
                               AcGeVector3d(column * mColumnSpacing, row * mRowSpacing, 0.0));
  return AcGeMatrix3d::translation(offset) * blockTransform();
}

Acad::ErrorStatus AcDbMInsertBlock::explode(AcDbVoidPtrArray& entitySet) const {
  for (int r = 0; r < mRows; ++r)
    for (int c = 0; c < mColumns; ++c) {
      Acad::ErrorStatus es = explodeWith(cellTransform(r, c), entitySet);
      if (es != Acad::eOk) return es;
    }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMInsertBlock::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  const AcGeScale3d before = scaleFactors();
  Acad::ErrorStatus es = AcDbBlockReference::transformBy(xform);
  if (es != Acad::eOk) return es;
  const AcGeScale3d after = scaleFactors();
  mColumnSpacing *= std::fabs(after.sx / before.sx);
  mRowSpacing *= std::fabs(after.sy / before.sy);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMInsertBlock::getGeomExtents(AcDbExtents& extents) const {
  AcDbExtents cell;
  Acad::ErrorStatus es = AcDbBlockReference::getGeomExtents(cell);
  if (es != Acad::eOk) return es;
  AcDbExtents box;
  const AcGeMatrix3d first = blockTransform();
  for (int r = 0; r < mRows; ++r)
    for (int c = 0; c < mColumns; ++c) {
      AcDbExtents moved = cell;
      moved.transformBy(AcGeMatrix3d::translation(cellTransform(r, c).translation() - first.translation()));
      box.addExt(moved);
    }
  extents = box;
  return Acad::eOk;
}
