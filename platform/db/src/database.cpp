// AcDbDatabase: construction with the default drawing, tables and dictionaries, header
// variables, and the platform-internal access a drawing-file reader uses.
#include "defaults.h"

#include <contura/db/database_access.h>
#include <dbapserv.h>
#include <dbdict.h>
#include <dbpl.h>

#include <algorithm>

using contura::db::ObjectAccess;
using Impl = AcDbDatabase::Impl;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDatabase, AcRxObject)

namespace contura::db {

namespace {

AcDbStub* addTableIfMissing(Impl& impl, int kind, AcDbSymbolTable* (*make)()) {
  if (impl.tables[kind] != nullptr) return impl.tables[kind];
  AcDbSymbolTable* table = make();
  AcDbStub* stub = nullptr;
  impl.addObject(table, stub);
  ObjectAccess::markClosed(*table);
  impl.tables[kind] = stub;
  return stub;
}

template <class T> AcDbSymbolTable* makeTable() { return new T(); }

template <class R> AcDbStub* recordIfMissing(Impl& impl, int table, const char* name) {
  if (AcDbStub* found = impl.lookupRecord(table, name)) return found;
  return addRecordDirect(impl, table, new R(), name);
}

}  // namespace

AcDbStub* addRecordDirect(Impl& impl, int table, AcDbSymbolTableRecord* rec, const std::string& name) {
  auto* t = peekAs<AcDbSymbolTable>(impl.tables[table]);
  if (t == nullptr) {
    delete rec;
    return nullptr;
  }
  ObjectAccess::setRecordName(*rec, name);
  AcDbStub* stub = nullptr;
  if (impl.addObject(rec, stub) != Acad::eOk) {
    delete rec;
    return nullptr;
  }
  ObjectAccess::tableAppend(*t, stub);
  ObjectAccess::markClosed(*rec);
  return stub;
}

AcDbStub* appendEntityDirect(Impl& impl, AcDbStub* block, AcDbEntity* ent) {
  auto* btr = peekAs<AcDbBlockTableRecord>(block);
  if (btr == nullptr) {
    delete ent;
    return nullptr;
  }
  applyEntityDefaults(impl, *ent);
  AcDbStub* stub = nullptr;
  if (impl.addObject(ent, stub) != Acad::eOk) {
    delete ent;
    return nullptr;
  }
  ObjectAccess::setOwner(*ent, block);
  ObjectAccess::blockEntities(*btr).push_back(stub);
  ObjectAccess::markClosed(*ent);
  return stub;
}

void applyEntityDefaults(Impl& impl, AcDbEntity& ent) {
  auto resolve = [&](AcDbStub*& slot, int table, AcDbStub* fallback) {
    if (slot != nullptr && slot->database == impl.self && slot->object != nullptr) return;
    AcDbStub* found = nullptr;
    if (auto* rec = peekAs<AcDbSymbolTableRecord>(slot))
      found = impl.lookupRecord(table, ObjectAccess::recordName(*rec));
    slot = found ? found : fallback;
  };
  resolve(ObjectAccess::entityLayer(ent), Impl::kLayerTable, impl.clayer);
  resolve(ObjectAccess::entityLinetype(ent), Impl::kLinetypeTable, impl.celtype);
}

void buildDefaultDrawing(Impl& impl) {
  addTableIfMissing(impl, Impl::kBlockTable, &makeTable<AcDbBlockTable>);
  addTableIfMissing(impl, Impl::kLayerTable, &makeTable<AcDbLayerTable>);
  addTableIfMissing(impl, Impl::kTextStyleTable, &makeTable<AcDbTextStyleTable>);
  addTableIfMissing(impl, Impl::kLinetypeTable, &makeTable<AcDbLinetypeTable>);
  addTableIfMissing(impl, Impl::kViewTable, &makeTable<AcDbViewTable>);
  addTableIfMissing(impl, Impl::kUCSTable, &makeTable<AcDbUCSTable>);
  addTableIfMissing(impl, Impl::kViewportTable, &makeTable<AcDbViewportTable>);
  addTableIfMissing(impl, Impl::kRegAppTable, &makeTable<AcDbRegAppTable>);
  addTableIfMissing(impl, Impl::kDimStyleTable, &makeTable<AcDbDimStyleTable>);

  if (impl.namedObjects == nullptr) {
    auto* nod = new AcDbDictionary();
    nod->setTreatElementsAsHard(true);
    impl.addObject(nod, impl.namedObjects);
    ObjectAccess::markClosed(*nod);
  }
  if (auto* nod = peekAs<AcDbDictionary>(impl.namedObjects)) {
    AcDbObjectId groups;
    if (nod->getAt(ACDB_GROUP_DICTIONARY, groups) != Acad::eOk) {
      auto* dict = new AcDbDictionary();
      dict->setTreatElementsAsHard(true);
      AcDbStub* stub = nullptr;
      impl.addObject(dict, stub);
      ObjectAccess::dictionaryAppend(*nod, ACDB_GROUP_DICTIONARY, stub);
      ObjectAccess::markClosed(*dict);
    }
  }

  AcDbStub* byBlock = recordIfMissing<AcDbLinetypeTableRecord>(impl, Impl::kLinetypeTable, "ByBlock");
  AcDbStub* byLayer = recordIfMissing<AcDbLinetypeTableRecord>(impl, Impl::kLinetypeTable, "ByLayer");
  AcDbStub* continuous = impl.lookupRecord(Impl::kLinetypeTable, "Continuous");
  if (continuous == nullptr) {
    auto* lt = new AcDbLinetypeTableRecord();
    lt->setComments("Solid line");
    continuous = addRecordDirect(impl, Impl::kLinetypeTable, lt, "Continuous");
  }
  (void)byBlock;

  AcDbStub* layer0 = impl.lookupRecord(Impl::kLayerTable, "0");
  if (layer0 == nullptr) {
    auto* layer = new AcDbLayerTableRecord();
    layer->setLinetypeObjectId(continuous);
    layer0 = addRecordDirect(impl, Impl::kLayerTable, layer, "0");
  }
  AcDbStub* standardStyle = recordIfMissing<AcDbTextStyleTableRecord>(impl, Impl::kTextStyleTable, "Standard");
  AcDbStub* standardDim = recordIfMissing<AcDbDimStyleTableRecord>(impl, Impl::kDimStyleTable, "Standard");
  recordIfMissing<AcDbRegAppTableRecord>(impl, Impl::kRegAppTable, "ACAD");
  recordIfMissing<AcDbViewportTableRecord>(impl, Impl::kViewportTable, "*Active");
  recordIfMissing<AcDbBlockTableRecord>(impl, Impl::kBlockTable, ACDB_MODEL_SPACE);
  recordIfMissing<AcDbBlockTableRecord>(impl, Impl::kBlockTable, ACDB_PAPER_SPACE);

  if (!isLive(impl.clayer)) impl.clayer = layer0;
  if (!isLive(impl.celtype)) impl.celtype = byLayer;
  if (!isLive(impl.textstyle)) impl.textstyle = standardStyle;
  if (!isLive(impl.dimstyle)) impl.dimstyle = standardDim;
}

AcDbStub* ensureArrowheadBlock(Impl& impl, const std::string& name) {
  if (AcDbStub* found = impl.lookupRecord(Impl::kBlockTable, name)) return found;
  const std::string key = nameKey(name);
  // The standard arrowheads, drawn for an arrow size of 1 pointing along +X to the origin.
  std::vector<AcDbEntity*> parts;
  if (key == "_OBLIQUE") {
    parts.push_back(new AcDbLine(AcGePoint3d(-0.5, -0.5, 0.0), AcGePoint3d(0.5, 0.5, 0.0)));
  } else if (key == "_ARCHTICK") {
    auto* pl = new AcDbPolyline();
    pl->addVertexAt(0, AcGePoint2d(-0.5, -0.5));
    pl->addVertexAt(1, AcGePoint2d(0.5, 0.5));
    pl->setConstantWidth(0.15);
    parts.push_back(pl);
  } else if (key == "_DOT") {
    auto* pl = new AcDbPolyline();
    pl->addVertexAt(0, AcGePoint2d(-0.25, 0.0), 1.0);
    pl->addVertexAt(1, AcGePoint2d(0.25, 0.0), 1.0);
    pl->setClosed(true);
    pl->setConstantWidth(0.5);
    parts.push_back(pl);
  } else if (key == "_OPEN") {
    parts.push_back(new AcDbLine(AcGePoint3d(-1.0, 1.0 / 6.0, 0.0), AcGePoint3d(0.0, 0.0, 0.0)));
    parts.push_back(new AcDbLine(AcGePoint3d(0.0, 0.0, 0.0), AcGePoint3d(-1.0, -1.0 / 6.0, 0.0)));
  } else if (key != "_NONE") {
    return nullptr;
  }
  AcDbStub* block = addRecordDirect(impl, Impl::kBlockTable, new AcDbBlockTableRecord(), name);
  if (block == nullptr) {
    for (AcDbEntity* e : parts) delete e;
    return nullptr;
  }
  for (AcDbEntity* e : parts) {
    // Arrowheads follow the dimension's colour.
    e->setColorIndex(0);
    appendEntityDirect(impl, block, e);
  }
  return block;
}

}  // namespace contura::db

// ---- construction ------------------------------------------------------------------------
AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing, bool) : mImpl(std::make_unique<Impl>(this)) {
  liveDatabases().push_back(this);
  if (buildDefaultDrawing) contura::db::buildDefaultDrawing(*mImpl);
}

AcDbDatabase::~AcDbDatabase() {
  auto& live = liveDatabases();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  if (acdbHostApplicationServices()->workingDatabase() == this)
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
  mImpl->forEachStub([](AcDbStub* stub) {
    if (AcDbObject* obj = stub->object) {
      ObjectAccess::setStub(*obj, nullptr);  // the database itself deletes it: no misuse
      stub->object = nullptr;
      delete obj;
    }
  });
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObject* pObj) {
  AcDbObjectId id;
  return addAcDbObject(id, pObj);
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObjectId& objId, AcDbObject* pObj) {
  AcDbStub* stub = nullptr;
  Acad::ErrorStatus es = mImpl->addObject(pObj, stub);
  if (es == Acad::eOk) objId = stub;
  return es;
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& retId, bool createIfNotFound,
                                                const AcDbHandle& objHandle, Adesk::UInt32) {
  if (objHandle.isNull()) return Acad::eNullHandle;
  AcDbStub* stub = mImpl->findStub(objHandle);
  if (stub == nullptr) {
    if (!createIfNotFound) return Acad::eUnknownHandle;
    stub = mImpl->newStub(objHandle);
  }
  retId = stub;
  return Acad::eOk;
}

AcDbHandle AcDbDatabase::handseed() const { return AcDbHandle(mImpl->handseed); }
Adesk::Int32 AcDbDatabase::approxNumObjects() const { return mImpl->objectCount; }

// ---- tables ------------------------------------------------------------------------------
namespace {
template <class T>
Acad::ErrorStatus openTable(AcDbStub* stub, T*& pTable, AcDb::OpenMode mode) {
  pTable = nullptr;
  if (stub == nullptr) return Acad::eNullObjectId;
  return acdbOpenObject(pTable, AcDbObjectId(stub), mode);
}
}  // namespace

#define TABLE_ACCESS(GETTER, ID_GETTER, TYPE, KIND)                                            \
  Acad::ErrorStatus AcDbDatabase::GETTER(TYPE*& pTable, AcDb::OpenMode mode) {                 \
    return openTable(mImpl->tables[Impl::KIND], pTable, mode);                                  \
  }                                                                                             \
  AcDbObjectId AcDbDatabase::ID_GETTER() const { return AcDbObjectId(mImpl->tables[Impl::KIND]); }

TABLE_ACCESS(getBlockTable, blockTableId, AcDbBlockTable, kBlockTable)
TABLE_ACCESS(getLayerTable, layerTableId, AcDbLayerTable, kLayerTable)
TABLE_ACCESS(getTextStyleTable, textStyleTableId, AcDbTextStyleTable, kTextStyleTable)
TABLE_ACCESS(getLinetypeTable, linetypeTableId, AcDbLinetypeTable, kLinetypeTable)
TABLE_ACCESS(getViewTable, viewTableId, AcDbViewTable, kViewTable)
TABLE_ACCESS(getUCSTable, UCSTableId, AcDbUCSTable, kUCSTable)
TABLE_ACCESS(getViewportTable, viewportTableId, AcDbViewportTable, kViewportTable)
TABLE_ACCESS(getRegAppTable, regAppTableId, AcDbRegAppTable, kRegAppTable)
TABLE_ACCESS(getDimStyleTable, dimStyleTableId, AcDbDimStyleTable, kDimStyleTable)

Acad::ErrorStatus AcDbDatabase::getNamedObjectsDictionary(AcDbDictionary*& pDict, AcDb::OpenMode mode) {
  return openTable(mImpl->namedObjects, pDict, mode);
}
AcDbObjectId AcDbDatabase::namedObjectsDictionaryId() const { return AcDbObjectId(mImpl->namedObjects); }

AcDbObjectId AcDbDatabase::groupDictionaryId() const {
  auto* nod = contura::db::peekAs<AcDbDictionary>(mImpl->namedObjects);
  AcDbObjectId id;
  if (nod != nullptr) nod->getAt(ACDB_GROUP_DICTIONARY, id);
  return id;
}

Acad::ErrorStatus AcDbDatabase::getGroupDictionary(AcDbDictionary*& pDict, AcDb::OpenMode mode) {
  return openTable(static_cast<AcDbStub*>(groupDictionaryId()), pDict, mode);
}

AcDbObjectId AcDbDatabase::byLayerLinetype() const {
  return AcDbObjectId(mImpl->lookupRecord(Impl::kLinetypeTable, "ByLayer"));
}
AcDbObjectId AcDbDatabase::byBlockLinetype() const {
  return AcDbObjectId(mImpl->lookupRecord(Impl::kLinetypeTable, "ByBlock"));
}
AcDbObjectId AcDbDatabase::continuousLinetype() const {
  return AcDbObjectId(mImpl->lookupRecord(Impl::kLinetypeTable, "Continuous"));
}

AcDbStub* AcDbDatabase::Impl::modelSpace() const { return lookupRecord(kBlockTable, ACDB_MODEL_SPACE); }

// ---- header variables ----------------------------------------------------------------------
namespace {
Acad::ErrorStatus checkHeaderRecord(const AcDbDatabase* db, AcDbObjectId id, const AcRxClass* cls) {
  if (id.isNull()) return Acad::eNullObjectId;
  if (id.database() != db) return Acad::eWrongDatabase;
  AcDbObject* obj = contura::db::peek(id);
  if (obj == nullptr || !obj->isKindOf(cls)) return Acad::eWrongObjectType;
  return Acad::eOk;
}
}  // namespace

#define HEADER_ID(GETTER, SETTER, MEMBER, CLASS)                                               \
  AcDbObjectId AcDbDatabase::GETTER() const { return AcDbObjectId(mImpl->MEMBER); }            \
  Acad::ErrorStatus AcDbDatabase::SETTER(AcDbObjectId objId) {                                  \
    Acad::ErrorStatus es = checkHeaderRecord(this, objId, CLASS::desc());                       \
    if (es == Acad::eOk) mImpl->MEMBER = objId;                                                 \
    return es;                                                                                  \
  }

HEADER_ID(clayer, setClayer, clayer, AcDbLayerTableRecord)
HEADER_ID(textstyle, setTextstyle, textstyle, AcDbTextStyleTableRecord)
HEADER_ID(celtype, setCeltype, celtype, AcDbLinetypeTableRecord)
HEADER_ID(dimstyle, setDimstyle, dimstyle, AcDbDimStyleTableRecord)

AcCmColor AcDbDatabase::cecolor() const { return mImpl->cecolor; }
Acad::ErrorStatus AcDbDatabase::setCecolor(const AcCmColor& color) {
  mImpl->cecolor = color;
  return Acad::eOk;
}
double AcDbDatabase::celtscale() const { return mImpl->celtscale; }
Acad::ErrorStatus AcDbDatabase::setCeltscale(double scale) {
  if (!(scale > 0.0)) return Acad::eInvalidInput;
  mImpl->celtscale = scale;
  return Acad::eOk;
}
double AcDbDatabase::ltscale() const { return mImpl->ltscale; }
Acad::ErrorStatus AcDbDatabase::setLtscale(double scale) {
  if (!(scale > 0.0)) return Acad::eInvalidInput;
  mImpl->ltscale = scale;
  return Acad::eOk;
}
AcDb::LineWeight AcDbDatabase::celweight() const { return AcDb::LineWeight(mImpl->celweight); }
Acad::ErrorStatus AcDbDatabase::setCelweight(AcDb::LineWeight weight) {
  if (weight < AcDb::kLnWtByLwDefault || weight > AcDb::kLnWt211) return Acad::eInvalidInput;
  mImpl->celweight = Adesk::Int16(weight);
  return Acad::eOk;
}
double AcDbDatabase::textsize() const { return mImpl->textsize; }
Acad::ErrorStatus AcDbDatabase::setTextsize(double size) {
  if (!(size > 0.0)) return Acad::eInvalidInput;
  mImpl->textsize = size;
  return Acad::eOk;
}
AcGePoint3d AcDbDatabase::insbase() const { return mImpl->insbase; }
Acad::ErrorStatus AcDbDatabase::setInsbase(const AcGePoint3d& insbase) {
  mImpl->insbase = insbase;
  return Acad::eOk;
}
AcGePoint3d AcDbDatabase::extmin() const { return mImpl->extmin; }
AcGePoint3d AcDbDatabase::extmax() const { return mImpl->extmax; }
Acad::ErrorStatus AcDbDatabase::setExtmin(const AcGePoint3d& min) {
  mImpl->extmin = min;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbDatabase::setExtmax(const AcGePoint3d& max) {
  mImpl->extmax = max;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::updateExt(bool) {
  auto* ms = contura::db::peekAs<AcDbBlockTableRecord>(mImpl->modelSpace());
  if (ms == nullptr) return Acad::eNullObjectId;
  AcDbExtents box;
  for (AcDbStub* stub : ObjectAccess::blockEntities(*ms)) {
    if (!contura::db::isLive(stub)) continue;
    AcDbExtents e;
    if (static_cast<AcDbEntity*>(stub->object)->getGeomExtents(e) == Acad::eOk) box.addExt(e);
  }
  mImpl->extmin = box.minPoint();
  mImpl->extmax = box.maxPoint();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::getFilename(const ACHAR*& pOutput) const {
  pOutput = mImpl->fileName.c_str();
  return Acad::eOk;
}

// ---- platform-internal access ------------------------------------------------------------
namespace contura::db {

Acad::ErrorStatus addObjectWithHandle(AcDbDatabase& db, AcDbObjectId& id, AcDbObject* obj,
                                      const AcDbHandle& handle) {
  if (handle.isNull()) return Acad::eNullHandle;
  AcDbStub* stub = nullptr;
  Acad::ErrorStatus es = ObjectAccess::impl(db).addObject(obj, stub, handle);
  if (es == Acad::eOk) id = stub;
  return es;
}

Acad::ErrorStatus appendExistingEntity(AcDbObjectId blockId, AcDbObjectId entityId) {
  auto* btr = peekAs<AcDbBlockTableRecord>(blockId);
  auto* ent = peekAs<AcDbEntity>(entityId);
  if (btr == nullptr || ent == nullptr) return Acad::eWrongObjectType;
  if (blockId.database() != entityId.database()) return Acad::eWrongDatabase;
  if (ObjectAccess::owner(*ent) != nullptr) return Acad::eAlreadyInDb;
  applyEntityDefaults(ObjectAccess::impl(*blockId.database()), *ent);
  ObjectAccess::setOwner(*ent, blockId);
  ObjectAccess::blockEntities(*btr).push_back(entityId);
  return Acad::eOk;
}

Acad::ErrorStatus appendEntityWithHandle(AcDbObjectId blockId, AcDbObjectId& id, AcDbEntity* ent,
                                         const AcDbHandle& handle) {
  auto* btr = peekAs<AcDbBlockTableRecord>(blockId);
  if (btr == nullptr) return Acad::eWrongObjectType;
  if (ent == nullptr) return Acad::eNullEntityPointer;
  Impl& impl = ObjectAccess::impl(*blockId.database());
  applyEntityDefaults(impl, *ent);
  Acad::ErrorStatus es = addObjectWithHandle(*blockId.database(), id, ent, handle);
  if (es != Acad::eOk) return es;
  ObjectAccess::setOwner(*ent, blockId);
  ObjectAccess::blockEntities(*btr).push_back(id);
  return Acad::eOk;
}

Acad::ErrorStatus appendExistingPart(AcDbObjectId ownerId, AcDbObjectId partId) {
  auto* owner = peekAs<AcDbEntity>(ownerId);
  auto* part = peekAs<AcDbEntity>(partId);
  if (owner == nullptr || part == nullptr) return Acad::eWrongObjectType;
  const bool fits = (AcDbBlockReference::cast(owner) && AcDbAttribute::cast(part)) ||
                    (AcDb2dPolyline::cast(owner) && AcDb2dVertex::cast(part));
  if (!fits) return Acad::eWrongObjectType;
  if (ownerId.database() != partId.database()) return Acad::eWrongDatabase;
  if (ObjectAccess::owner(*part) != nullptr) return Acad::eAlreadyInDb;
  ObjectAccess::ensureParts(*owner).ids.push_back(partId);
  ObjectAccess::setOwner(*part, ownerId);
  return Acad::eOk;
}

Acad::ErrorStatus appendExistingRecord(AcDbObjectId tableId, AcDbObjectId recordId) {
  auto* table = peekAs<AcDbSymbolTable>(tableId);
  if (table == nullptr) return Acad::eWrongObjectType;
  if (tableId.database() != recordId.database()) return Acad::eWrongDatabase;
  return ObjectAccess::tableAppend(*table, recordId);
}

Acad::ErrorStatus appendExistingEntry(AcDbObjectId dictionaryId, const std::string& key,
                                      AcDbObjectId objectId) {
  auto* dict = peekAs<AcDbDictionary>(dictionaryId);
  if (dict == nullptr) return Acad::eWrongObjectType;
  if (objectId.isNull()) return Acad::eNullObjectId;
  if (dictionaryId.database() != objectId.database()) return Acad::eWrongDatabase;
  return ObjectAccess::dictionaryAppend(*dict, key, objectId);
}

// Never below a handle already in use: a drawing file whose $HANDSEED is lower than its own
// handles (applied once its objects are read) would otherwise be saved with that seed, and the
// saved file could not be read back (new objects taking the handles of later ones).
void setHandseed(AcDbDatabase& db, const AcDbHandle& seed) {
  auto& impl = ObjectAccess::impl(db);
  impl.handseed = std::max<Adesk::UInt64>({seed.value(), impl.largestHandle + 1, 1});
}

AcDbHandle allocateHandle(AcDbDatabase& db) { return AcDbHandle(ObjectAccess::impl(db).takeHandle()); }

Acad::ErrorStatus setTableId(AcDbDatabase& db, TableKind kind, AcDbObjectId tableId) {
  static const AcRxClass* (*const kClasses[])() = {
      [] { return (const AcRxClass*)AcDbBlockTable::desc(); },
      [] { return (const AcRxClass*)AcDbLayerTable::desc(); },
      [] { return (const AcRxClass*)AcDbTextStyleTable::desc(); },
      [] { return (const AcRxClass*)AcDbLinetypeTable::desc(); },
      [] { return (const AcRxClass*)AcDbViewTable::desc(); },
      [] { return (const AcRxClass*)AcDbUCSTable::desc(); },
      [] { return (const AcRxClass*)AcDbViewportTable::desc(); },
      [] { return (const AcRxClass*)AcDbRegAppTable::desc(); },
      [] { return (const AcRxClass*)AcDbDimStyleTable::desc(); }};
  const int k = int(kind);
  AcDbObject* obj = peek(tableId);
  if (obj == nullptr || !obj->isKindOf(kClasses[k]())) return Acad::eWrongObjectType;
  if (tableId.database() != &db) return Acad::eWrongDatabase;
  ObjectAccess::impl(db).tables[k] = tableId;
  return Acad::eOk;
}

Acad::ErrorStatus setNamedObjectsDictionaryId(AcDbDatabase& db, AcDbObjectId dictId) {
  if (!AcDbDictionary::cast(peek(dictId))) return Acad::eWrongObjectType;
  if (dictId.database() != &db) return Acad::eWrongDatabase;
  ObjectAccess::impl(db).namedObjects = dictId;
  return Acad::eOk;
}

void completeDefaultDrawing(AcDbDatabase& db) { buildDefaultDrawing(ObjectAccess::impl(db)); }

void setExtensionDictionary(AcDbObject& obj, AcDbObjectId dictId) {
  ObjectAccess::extras(obj).extDict = dictId;
}

void setPersistentReactors(AcDbObject& obj, const AcDbObjectIdArray& reactorIds) {
  AcDbVoidPtrArray& reactors = ObjectAccess::extras(obj).reactors;
  reactors.removeAll();
  for (const AcDbObjectId& id : reactorIds)
    if (!id.isNull()) reactors.append(static_cast<AcDbStub*>(id));
}

AcDbObjectIdArray persistentReactors(const AcDbObject& obj) {
  AcDbObjectIdArray ids;
  if (const ObjectExtras* e = ObjectAccess::extrasIf(obj))
    for (void* p : e->reactors) ids.append(static_cast<AcDbStub*>(p));
  return ids;
}

void setFileName(AcDbDatabase& db, const std::string& cp936Path) { ObjectAccess::impl(db).fileName = cp936Path; }

std::vector<AcDbObjectId> allObjectIds(const AcDbDatabase& db) {
  std::vector<AcDbObjectId> ids;
  ObjectAccess::impl(db).forEachStub([&](AcDbStub* stub) {
    if (stub->object != nullptr) ids.emplace_back(stub);
  });
  return ids;
}

}  // namespace contura::db
