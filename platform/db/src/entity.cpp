// AcDbEntity: common properties (layer, linetype, colour, visibility, line weight) and the
// default geometry members.
#include "internal.h"

#include <dbapserv.h>

using contura::db::ObjectAccess;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbEntity, AcDbObject)

namespace {

AcDbDatabase* resolvingDatabase(const AcDbEntity& ent) {
  if (AcDbDatabase* db = ent.database()) return db;
  return acdbHostApplicationServices()->workingDatabase();
}

// Checks that id names a record of the given class that may serve the entity.
Acad::ErrorStatus checkRecord(const AcDbEntity& ent, AcDbObjectId id, const AcRxClass* cls) {
  if (id.isNull()) return Acad::eNullObjectId;
  AcDbObject* rec = contura::db::peek(id);
  if (rec == nullptr || !rec->isKindOf(cls)) return Acad::eWrongObjectType;
  if (ent.database() != nullptr && id.database() != ent.database()) return Acad::eWrongDatabase;
  return Acad::eOk;
}

ACHAR* recordNameCopy(AcDbStub* stub) {
  auto* rec = contura::db::peekAs<AcDbSymbolTableRecord>(stub);
  if (rec == nullptr) return nullptr;
  return contura::db::copyString(ObjectAccess::recordName(*rec));
}

}  // namespace

AcDbEntity::AcDbEntity() = default;
AcDbEntity::~AcDbEntity() = default;

AcDbObjectId AcDbEntity::blockId() const { return ownerId(); }

AcCmColor AcDbEntity::color() const {
  AcCmColor c(mColor);
  const contura::db::ObjectExtras* e = ObjectAccess::extrasIf(*this);
  if (e && (!e->colorName.empty() || !e->bookName.empty()))
    c.setNames(e->colorName.c_str(), e->bookName.c_str());
  return c;
}

Acad::ErrorStatus AcDbEntity::setColor(const AcCmColor& color, bool doSubents) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mColor = color.entityColor();
  if (color.hasColorName() || color.hasBookName()) {
    auto& e = ObjectAccess::extras(*this);
    e.colorName = color.colorName();
    e.bookName = color.bookName();
  } else if (auto* e = const_cast<contura::db::ObjectExtras*>(ObjectAccess::extrasIf(*this))) {
    e->colorName.clear();
    e->bookName.clear();
  }
  if (doSubents) {
    AcArray<AcDbEntity*> parts;
    collectSubentities(parts);
    for (AcDbEntity* part : parts) part->mColor = mColor;
  }
  return Acad::eOk;
}

Adesk::UInt16 AcDbEntity::colorIndex() const { return Adesk::UInt16(mColor.colorIndex()); }

Acad::ErrorStatus AcDbEntity::setColorIndex(Adesk::UInt16 color, bool doSubents) {
  AcCmColor c;
  Acad::ErrorStatus es = c.setColorIndex(color);
  if (es != Acad::eOk) return es;
  return setColor(c, doSubents);
}

ACHAR* AcDbEntity::layer() const { return recordNameCopy(mpLayer); }
AcDbObjectId AcDbEntity::layerId() const { return AcDbObjectId(mpLayer); }

Acad::ErrorStatus AcDbEntity::setLayer(const ACHAR* newVal, bool doSubents, bool allowHiddenLayer) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (newVal == nullptr) return Acad::eInvalidInput;
  AcDbDatabase* db = resolvingDatabase(*this);
  if (db == nullptr) return Acad::eNoDatabase;
  AcDbStub* layer = ObjectAccess::impl(*db).lookupRecord(AcDbDatabase::Impl::kLayerTable, newVal);
  if (layer == nullptr) return Acad::eKeyNotFound;
  return setLayer(AcDbObjectId(layer), doSubents, allowHiddenLayer);
}

Acad::ErrorStatus AcDbEntity::setLayer(AcDbObjectId newVal, bool doSubents, bool) {
  if (!writable()) return Acad::eNotOpenForWrite;
  Acad::ErrorStatus es = checkRecord(*this, newVal, AcDbLayerTableRecord::desc());
  if (es != Acad::eOk) return es;
  mpLayer = newVal;
  if (doSubents) {
    AcArray<AcDbEntity*> parts;
    collectSubentities(parts);
    for (AcDbEntity* part : parts) part->mpLayer = mpLayer;
  }
  return Acad::eOk;
}

ACHAR* AcDbEntity::linetype() const { return recordNameCopy(mpLinetype); }
AcDbObjectId AcDbEntity::linetypeId() const { return AcDbObjectId(mpLinetype); }

Acad::ErrorStatus AcDbEntity::setLinetype(const ACHAR* newVal, bool doSubents) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (newVal == nullptr) return Acad::eInvalidInput;
  AcDbDatabase* db = resolvingDatabase(*this);
  if (db == nullptr) return Acad::eNoDatabase;
  AcDbStub* lt = ObjectAccess::impl(*db).lookupRecord(AcDbDatabase::Impl::kLinetypeTable, newVal);
  if (lt == nullptr) return Acad::eKeyNotFound;
  return setLinetype(AcDbObjectId(lt), doSubents);
}

Acad::ErrorStatus AcDbEntity::setLinetype(AcDbObjectId newVal, bool doSubents) {
  if (!writable()) return Acad::eNotOpenForWrite;
  Acad::ErrorStatus es = checkRecord(*this, newVal, AcDbLinetypeTableRecord::desc());
  if (es != Acad::eOk) return es;
  mpLinetype = newVal;
  if (doSubents) {
    AcArray<AcDbEntity*> parts;
    collectSubentities(parts);
    for (AcDbEntity* part : parts) part->mpLinetype = mpLinetype;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLinetypeScale(double newval, bool doSubents) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(newval > 0.0)) return Acad::eInvalidInput;
  mLinetypeScale = newval;
  if (doSubents) {
    AcArray<AcDbEntity*> parts;
    collectSubentities(parts);
    for (AcDbEntity* part : parts) part->mLinetypeScale = newval;
  }
  return Acad::eOk;
}

AcDb::Visibility AcDbEntity::visibility() const { return AcDb::Visibility(mVisibility); }

Acad::ErrorStatus AcDbEntity::setVisibility(AcDb::Visibility newVal, bool doSubents) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (newVal != AcDb::kVisible && newVal != AcDb::kInvisible) return Acad::eInvalidInput;
  mVisibility = Adesk::UInt8(newVal);
  if (doSubents) {
    AcArray<AcDbEntity*> parts;
    collectSubentities(parts);
    for (AcDbEntity* part : parts) part->mVisibility = mVisibility;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLineWeight(AcDb::LineWeight newVal, bool doSubents) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (newVal < AcDb::kLnWtByLwDefault || newVal > AcDb::kLnWt211) return Acad::eInvalidInput;
  mLineWeight = Adesk::Int16(newVal);
  if (doSubents) {
    AcArray<AcDbEntity*> parts;
    collectSubentities(parts);
    for (AcDbEntity* part : parts) part->mLineWeight = mLineWeight;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setPropertiesFrom(const AcDbEntity* pEntity, bool doSubents) {
  if (pEntity == nullptr) return Acad::eNullEntityPointer;
  if (!writable()) return Acad::eNotOpenForWrite;
  mpLayer = pEntity->mpLayer;
  mpLinetype = pEntity->mpLinetype;
  mLinetypeScale = pEntity->mLinetypeScale;
  mVisibility = pEntity->mVisibility;
  mLineWeight = pEntity->mLineWeight;
  return setColor(pEntity->color(), doSubents);
}

void AcDbEntity::setDatabaseDefaults() { setDatabaseDefaults(nullptr); }

void AcDbEntity::setDatabaseDefaults(AcDbDatabase* pDb) {
  if (!writable()) return;
  AcDbDatabase* db = pDb ? pDb : resolvingDatabase(*this);
  if (db == nullptr) return;
  const AcDbDatabase::Impl& impl = ObjectAccess::impl(*db);
  mpLayer = impl.clayer;
  mpLinetype = impl.celtype;
  mLinetypeScale = impl.celtscale;
  mLineWeight = impl.celweight;
  setColor(impl.cecolor, false);
}

const AcRxClass* AcDbEntity::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbEntity&>(src);
  return AcDbEntity::desc();
}

void AcDbEntity::translateIds(const contura::db::IdTranslator& translator) {
  AcDbObject::translateIds(translator);
  mpLayer = translator.translate(mpLayer);
  mpLinetype = translator.translate(mpLinetype);
}

void AcDbEntity::collectSubentities(AcArray<AcDbEntity*>&) const {}

Acad::ErrorStatus AcDbEntity::transformBy(const AcGeMatrix3d&) { return Acad::eNotApplicable; }

Acad::ErrorStatus AcDbEntity::getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& pEnt) const {
  pEnt = nullptr;
  AcDbEntity* copy = AcDbEntity::cast(clone());
  if (copy == nullptr) return Acad::eNotApplicable;
  Acad::ErrorStatus es = copy->transformBy(xform);
  if (es != Acad::eOk) {
    delete copy;
    return es;
  }
  pEnt = copy;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::explode(AcDbVoidPtrArray&) const { return Acad::eNotApplicable; }
Acad::ErrorStatus AcDbEntity::getGeomExtents(AcDbExtents&) const { return Acad::eInvalidExtents; }

// intersectWith: curve_intersect.cpp.
