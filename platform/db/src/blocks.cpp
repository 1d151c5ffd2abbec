// Block table records (their entities, references and external-reference data), their
// iterator, and dimension styles (whose arrowheads are blocks).
#include "internal.h"
#include "defaults.h"

#include <algorithm>

using contura::db::ObjectAccess;
using contura::db::nameKey;

ACRX_DXF_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord, AcDb::kDHL_CURRENT,
                        AcDb::kMReleaseCurrent, 0, BLOCK_RECORD, ObjectDBX Classes)

namespace {
enum : Adesk::UInt8 { kBlockAnonymous = 1, kBlockXref = 4, kBlockOverlay = 8 };
}

AcDbBlockTableRecord::AcDbBlockTableRecord() = default;
AcDbBlockTableRecord::~AcDbBlockTableRecord() = default;

const AcRxClass* AcDbBlockTableRecord::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbBlockTableRecord&>(src);
  return AcDbBlockTableRecord::desc();
}

void AcDbBlockTableRecord::translateIds(const contura::db::IdTranslator& translator) {
  AcDbSymbolTableRecord::translateIds(translator);
  std::vector<AcDbStub*> kept;
  for (AcDbStub* stub : mEntities)
    if (AcDbStub* t = translator.translate(stub)) kept.push_back(t);
  mEntities.swap(kept);
  mpLayout = translator.translate(mpLayout);
}

void AcDbBlockTableRecord::collectParts(AcDbObjectIdArray& parts) const {
  for (AcDbStub* stub : mEntities) parts.append(stub);
}

Acad::ErrorStatus AcDbBlockTableRecord::subErase(bool erasing) {
  if (erasing && isLayout()) return Acad::eCannotBeErasedByCaller;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbEntity* pEntity) {
  AcDbObjectId id;
  return appendAcDbEntity(id, pEntity);
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& pOutputId, AcDbEntity* pEntity) {
  if (pEntity == nullptr) return Acad::eNullEntityPointer;
  AcDbStub* self = ObjectAccess::stub(*this);
  if (self == nullptr) return Acad::eNoDatabase;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (ObjectAccess::stub(*pEntity) != nullptr) return Acad::eAlreadyInDb;
  AcDbDatabase::Impl& impl = ObjectAccess::impl(*self->database);
  // Defaults first, so that parts the entity adds when it enters the database follow them.
  contura::db::applyEntityDefaults(impl, *pEntity);
  AcDbStub* stub = nullptr;
  Acad::ErrorStatus es = impl.addObject(pEntity, stub);
  if (es != Acad::eOk) return es;
  ObjectAccess::setOwner(*pEntity, self);
  mEntities.push_back(stub);
  pOutputId = stub;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::newIterator(AcDbBlockTableRecordIterator*& pIterator,
                                                    bool atBeginning, bool skipDeleted) const {
  pIterator = new AcDbBlockTableRecordIterator(this, atBeginning, skipDeleted);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setOrigin(const AcGePoint3d& pt) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mOrigin = pt;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::comments(ACHAR*& pComments) const {
  pComments = contura::db::copyString(mComments);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbBlockTableRecord::comments(const ACHAR*& pComments) const {
  pComments = mComments.c_str();
  return Acad::eOk;
}
Acad::ErrorStatus AcDbBlockTableRecord::setComments(const ACHAR* pComments) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mComments = contura::db::safeString(pComments);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbBlockTableRecord::pathName(ACHAR*& pPath) const {
  pPath = contura::db::copyString(mPathName);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbBlockTableRecord::pathName(const ACHAR*& pPath) const {
  pPath = mPathName.c_str();
  return Acad::eOk;
}
Acad::ErrorStatus AcDbBlockTableRecord::setPathName(const ACHAR* pathStr) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mPathName = contura::db::safeString(pathStr);
  return Acad::eOk;
}

bool AcDbBlockTableRecord::isAnonymous() const {
  const std::string& name = ObjectAccess::recordName(*this);
  return (mFlags & kBlockAnonymous) != 0 || (!name.empty() && name[0] == '*' && !isLayout());
}

bool AcDbBlockTableRecord::isLayout() const {
  const std::string key = nameKey(ObjectAccess::recordName(*this));
  return key == nameKey(ACDB_MODEL_SPACE) || key.rfind(nameKey(ACDB_PAPER_SPACE), 0) == 0;
}

AcDbObjectId AcDbBlockTableRecord::getLayoutId() const { return AcDbObjectId(mpLayout); }

Acad::ErrorStatus AcDbBlockTableRecord::setLayoutId(const AcDbObjectId& layoutId) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mpLayout = layoutId;
  return Acad::eOk;
}

bool AcDbBlockTableRecord::hasAttributeDefinitions() const {
  return std::any_of(mEntities.begin(), mEntities.end(), [](AcDbStub* s) {
    return contura::db::isLive(s) && AcDbAttributeDefinition::cast(s->object) != nullptr;
  });
}

bool AcDbBlockTableRecord::isFromExternalReference() const { return (mFlags & (kBlockXref | kBlockOverlay)) != 0; }
bool AcDbBlockTableRecord::isFromOverlayReference() const { return (mFlags & kBlockOverlay) != 0; }

Acad::ErrorStatus AcDbBlockTableRecord::setIsFromExternalReference(bool isXref) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mFlags = isXref ? Adesk::UInt8(mFlags | kBlockXref) : Adesk::UInt8(mFlags & ~(kBlockXref | kBlockOverlay));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setIsFromOverlayReference(bool isOverlay) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mFlags = isOverlay ? Adesk::UInt8(mFlags | kBlockOverlay | kBlockXref) : Adesk::UInt8(mFlags & ~kBlockOverlay);
  return Acad::eOk;
}

bool AcDbBlockTableRecord::isDependent() const { return AcDbSymbolTableRecord::isDependent(); }

Acad::ErrorStatus AcDbBlockTableRecord::getBlockReferenceIds(AcDbObjectIdArray& ids, bool bDirectOnly,
                                                             bool) const {
  AcDbStub* self = ObjectAccess::stub(*this);
  if (self == nullptr) return Acad::eNoDatabase;
  const AcDbDatabase::Impl& impl = ObjectAccess::impl(*self->database);
  // Blocks whose references are wanted: this one, and (not direct only) every block that
  // holds a reference to one of them.
  std::vector<AcDbStub*> wanted{self};
  for (size_t w = 0; w < wanted.size(); ++w) {
    impl.forEachStub([&](AcDbStub* stub) {
      if (!contura::db::isLive(stub)) return;
      auto* ref = AcDbBlockReference::cast(stub->object);
      if (ref == nullptr || ref->blockTableRecord() != AcDbObjectId(wanted[w])) return;
      AcDbStub* owner = ObjectAccess::owner(*ref);
      if (!contura::db::isLive(owner) || !AcDbBlockTableRecord::cast(owner->object)) return;
      if (!ids.contains(AcDbObjectId(stub))) ids.append(stub);
      if (!bDirectOnly && std::find(wanted.begin(), wanted.end(), owner) == wanted.end())
        wanted.push_back(owner);
    });
  }
  return Acad::eOk;
}

// ---- iterator ----------------------------------------------------------------------------
AcDbBlockTableRecordIterator::AcDbBlockTableRecordIterator(const AcDbBlockTableRecord* pRecord,
                                                           bool atBeginning, bool skipDeleted)
    : mpRecord(pRecord ? ObjectAccess::stub(*pRecord) : nullptr) {
  start(atBeginning, skipDeleted);
}

AcDbBlockTableRecordIterator::~AcDbBlockTableRecordIterator() = default;

const AcDbBlockTableRecord* AcDbBlockTableRecordIterator::record() const {
  return contura::db::peekAs<AcDbBlockTableRecord>(mpRecord);
}

void AcDbBlockTableRecordIterator::skipErasedFrom(bool forward) {
  const AcDbBlockTableRecord* r = record();
  if (r == nullptr) return;
  const auto& ents = ObjectAccess::blockEntities(*r);
  while (mPos >= 0 && mPos < long(ents.size()) && !contura::db::isLive(ents[size_t(mPos)]))
    mPos += forward ? 1 : -1;
}

void AcDbBlockTableRecordIterator::start(bool atBeginning, bool skipDeleted) {
  const AcDbBlockTableRecord* r = record();
  const long n = r ? long(ObjectAccess::blockEntities(*r).size()) : 0;
  mPos = atBeginning ? 0 : n - 1;
  if (skipDeleted) skipErasedFrom(atBeginning);
}

bool AcDbBlockTableRecordIterator::done() const {
  const AcDbBlockTableRecord* r = record();
  return r == nullptr || mPos < 0 || mPos >= long(ObjectAccess::blockEntities(*r).size());
}

void AcDbBlockTableRecordIterator::step(bool forward, bool skipDeleted) {
  if (done()) return;
  mPos += forward ? 1 : -1;
  if (skipDeleted) skipErasedFrom(forward);
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntityId(AcDbObjectId& entityId) const {
  if (done()) return Acad::eIteratorDone;
  entityId = ObjectAccess::blockEntities(*record())[size_t(mPos)];
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntity(AcDbEntity*& pEntity, AcDb::OpenMode openMode,
                                                          bool openErasedEntity) const {
  pEntity = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus es = getEntityId(id);
  if (es != Acad::eOk) return es;
  return acdbOpenAcDbEntity(pEntity, id, openMode, openErasedEntity);
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::seek(AcDbObjectId id) {
  const AcDbBlockTableRecord* r = record();
  if (r == nullptr) return Acad::eInvalidInput;
  const auto& ents = ObjectAccess::blockEntities(*r);
  auto it = std::find(ents.begin(), ents.end(), static_cast<AcDbStub*>(id));
  if (it == ents.end()) return Acad::eInvalidInput;
  mPos = long(it - ents.begin());
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::seek(const AcDbEntity* pEntity) {
  return pEntity ? seek(pEntity->objectId()) : Acad::eInvalidInput;
}

// ---- dimension styles ----------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbDimStyleTableRecord, AcDbSymbolTableRecord, AcDb::kDHL_CURRENT,
                        AcDb::kMReleaseCurrent, 0, DIMSTYLE, ObjectDBX Classes)

AcDbDimStyleTableRecord::AcDbDimStyleTableRecord() = default;
AcDbDimStyleTableRecord::~AcDbDimStyleTableRecord() = default;

const AcRxClass* AcDbDimStyleTableRecord::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbDimStyleTableRecord&>(src);
  return AcDbDimStyleTableRecord::desc();
}

void AcDbDimStyleTableRecord::translateIds(const contura::db::IdTranslator& translator) {
  AcDbSymbolTableRecord::translateIds(translator);
  for (AcDbStub** slot : {&mpBlk, &mpBlk1, &mpBlk2, &mpLdrBlk, &mpTextStyle})
    *slot = translator.translate(*slot);
}

AcDbObjectId AcDbDimStyleTableRecord::dimblk() const { return AcDbObjectId(mpBlk); }
AcDbObjectId AcDbDimStyleTableRecord::dimblk1() const { return AcDbObjectId(mpBlk1); }
AcDbObjectId AcDbDimStyleTableRecord::dimblk2() const { return AcDbObjectId(mpBlk2); }
AcDbObjectId AcDbDimStyleTableRecord::dimldrblk() const { return AcDbObjectId(mpLdrBlk); }
AcDbObjectId AcDbDimStyleTableRecord::dimtxsty() const { return AcDbObjectId(mpTextStyle); }

Acad::ErrorStatus AcDbDimStyleTableRecord::setArrow(AcDbStub*& slot, AcDbObjectId blockId) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!blockId.isNull() && !AcDbBlockTableRecord::cast(contura::db::peek(blockId))) return Acad::eWrongObjectType;
  slot = blockId;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDimStyleTableRecord::setArrowByName(AcDbStub*& slot, const ACHAR* blockName) {
  if (!writable()) return Acad::eNotOpenForWrite;
  const std::string name = contura::db::safeString(blockName);
  if (name.empty() || name == ".") {
    slot = nullptr;
    return Acad::eOk;
  }
  AcDbDatabase* db = database();
  if (db == nullptr) db = acdbHostApplicationServices()->workingDatabase();
  if (db == nullptr) return Acad::eNoDatabase;
  AcDbStub* block = contura::db::ensureArrowheadBlock(ObjectAccess::impl(*db), name);
  if (block == nullptr) return Acad::eKeyNotFound;
  slot = block;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDimStyleTableRecord::setDimblk(AcDbObjectId id) { return setArrow(mpBlk, id); }
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimblk1(AcDbObjectId id) { return setArrow(mpBlk1, id); }
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimblk2(AcDbObjectId id) { return setArrow(mpBlk2, id); }
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimldrblk(AcDbObjectId id) { return setArrow(mpLdrBlk, id); }
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimblk(const ACHAR* n) { return setArrowByName(mpBlk, n); }
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimblk1(const ACHAR* n) { return setArrowByName(mpBlk1, n); }
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimblk2(const ACHAR* n) { return setArrowByName(mpBlk2, n); }
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimldrblk(const ACHAR* n) { return setArrowByName(mpLdrBlk, n); }

Acad::ErrorStatus AcDbDimStyleTableRecord::setDimsah(bool value) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mSeparateArrows = value;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimscale(double value) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (value < 0.0) return Acad::eInvalidInput;
  mScale = value;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimasz(double value) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (value < 0.0) return Acad::eInvalidInput;
  mArrowSize = value;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimtxt(double value) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (value < 0.0) return Acad::eInvalidInput;
  mTextHeight = value;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbDimStyleTableRecord::setDimtxsty(AcDbObjectId textStyleId) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!textStyleId.isNull() && !AcDbTextStyleTableRecord::cast(contura::db::peek(textStyleId)))
    return Acad::eWrongObjectType;
  mpTextStyle = textStyleId;
  return Acad::eOk;
}
