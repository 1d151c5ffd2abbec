// AcDbObject: identity, the open/close protocol, erasing, extension dictionaries, reactors,
// cloning; the functions that open objects by id; entity names.
#include "internal.h"
#include "filing.h"
#include "object_heap.h"

using contura::db::ObjectAccess;
using contura::db::reportMisuse;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbObject, AcRxObject)

// ---- open/close state ------------------------------------------------------------------
namespace contura::db {

// The protocol allows at most this many simultaneous read opens.
constexpr Adesk::UInt16 kMaxReaders = 256;

ObjectExtras& ObjectAccess::extras(AcDbObject& o) {
  if (!o.mpExtras) o.mpExtras = std::make_unique<ObjectExtras>();
  return *o.mpExtras;
}

Acad::ErrorStatus ObjectAccess::open(AcDbObject& o, AcDb::OpenMode mode) {
  Adesk::UInt8& flags = o.mOpenFlags;
  switch (mode) {
    case AcDb::kForRead:
      if (flags & kNotify) return Acad::eWasNotifying;
      if (flags & kWrite) return Acad::eWasOpenForWrite;
      if (o.mReaders >= kMaxReaders) return Acad::eAtMaxReaders;
      ++o.mReaders;
      return Acad::eOk;
    case AcDb::kForWrite:
      if (flags & kNotify) return Acad::eWasNotifying;
      if (flags & kWrite) return Acad::eWasOpenForWrite;
      if (o.mReaders > 0) return Acad::eWasOpenForRead;
      flags |= kWrite;
      return Acad::eOk;
    case AcDb::kForNotify:
      if (flags & kNotify) return Acad::eWasOpenForNotify;
      flags |= kNotify;
      return Acad::eOk;
  }
  return Acad::eInvalidInput;
}

}  // namespace contura::db

void* AcDbObject::operator new(std::size_t size) { return contura::db::heap::allocate(size); }
void AcDbObject::operator delete(void* p, std::size_t size) noexcept { contura::db::heap::release(p, size); }

AcDbObject::AcDbObject() = default;

AcDbObject::AcDbObject(const AcDbObject& other) : AcGiDrawable(other) { *this = other; }

AcDbObject& AcDbObject::operator=(const AcDbObject& other) {
  if (this == &other) return *this;
  const contura::db::ObjectExtras* src = other.mpExtras.get();
  if (src == nullptr) {
    if (mpExtras) {
      mpExtras->xdata.clear();
      mpExtras->appGroups.clear();
      mpExtras->extra.clear();
      mpExtras->colorName.clear();
      mpExtras->bookName.clear();
    }
    return *this;
  }
  contura::db::ObjectExtras& dst = ObjectAccess::extras(*this);
  dst.xdata = src->xdata;
  dst.appGroups = src->appGroups;
  dst.extra = src->extra;
  dst.colorName = src->colorName;
  dst.bookName = src->bookName;
  return *this;
}

AcDbObject::~AcDbObject() {
  if (mpStub != nullptr) {
    // The database owns its objects; deleting one behind its back leaves an id without an
    // object. Keep the id safe: it now names a permanently erased object.
    reportMisuse(Acad::eInvalidOpenState, "delete of an object that is in a database (erase it instead)");
    if (mpStub->object == this) {
      mpStub->object = nullptr;
      mpStub->flags |= AcDbStub::kGone | AcDbStub::kErased;
      --ObjectAccess::impl(*mpStub->database).objectCount;
    }
  }
}

AcDbObjectId AcDbObject::objectId() const { return AcDbObjectId(mpStub); }
AcDbObjectId AcDbObject::ownerId() const { return AcDbObjectId(mpOwner); }

Acad::ErrorStatus AcDbObject::setOwnerId(AcDbObjectId ownerId) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mpOwner = ownerId;
  return Acad::eOk;
}

void AcDbObject::getAcDbHandle(AcDbHandle& handle) const {
  handle = mpStub ? AcDbHandle(mpStub->handle) : AcDbHandle();
}

AcDbDatabase* AcDbObject::database() const { return mpStub ? mpStub->database : nullptr; }

Acad::ErrorStatus AcDbObject::close() {
  if (mpStub == nullptr) {
    reportMisuse(Acad::eNotInDatabase, "close() of an object that is not in a database (delete it instead)");
    return Acad::eNotInDatabase;
  }
  if (mOpenFlags & ObjectAccess::kNotify) {
    mOpenFlags &= ~ObjectAccess::kNotify;
    return Acad::eOk;
  }
  if (mOpenFlags & ObjectAccess::kWrite) {
    subClose();
    mOpenFlags &= ~ObjectAccess::kWrite;
    ObjectAccess::impl(*mpStub->database).recordChange(mpStub);
    return Acad::eOk;
  }
  if (mReaders > 0) {
    --mReaders;
    return Acad::eOk;
  }
  reportMisuse(Acad::eInvalidOpenState, "close() of an object that is not open");
  return Acad::eInvalidOpenState;
}

Acad::ErrorStatus AcDbObject::upgradeOpen() {
  if (mpStub == nullptr) return Acad::eWasOpenForWrite;  // a new object is open for write
  if (mOpenFlags & ObjectAccess::kNotify) return Acad::eWasNotifying;
  if (mOpenFlags & ObjectAccess::kWrite) return Acad::eWasOpenForWrite;
  if (mReaders == 0) return Acad::eNotOpenForRead;
  if (mReaders > 1) return Acad::eHadMultipleReaders;
  mReaders = 0;
  mOpenFlags |= ObjectAccess::kWrite;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::downgradeOpen() {
  if (mpStub == nullptr || !(mOpenFlags & ObjectAccess::kWrite)) return Acad::eNotOpenForWrite;
  if (mOpenFlags & ObjectAccess::kNotify) return Acad::eWasNotifying;
  subClose();
  mOpenFlags &= ~ObjectAccess::kWrite;
  mReaders = 1;
  ObjectAccess::impl(*mpStub->database).recordChange(mpStub);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::upgradeFromNotify(bool& wasWritable) {
  if (!(mOpenFlags & ObjectAccess::kNotify)) return Acad::eInvalidOpenState;
  wasWritable = (mOpenFlags & ObjectAccess::kWrite) != 0;
  mOpenFlags = Adesk::UInt8((mOpenFlags & ~ObjectAccess::kNotify) | ObjectAccess::kWrite);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::downgradeToNotify(bool wasWritable) {
  if (!(mOpenFlags & ObjectAccess::kWrite)) return Acad::eNotOpenForWrite;
  if (!wasWritable) mOpenFlags &= ~ObjectAccess::kWrite;
  mOpenFlags |= ObjectAccess::kNotify;
  return Acad::eOk;
}

bool AcDbObject::isReadEnabled() const {
  return mpStub == nullptr || mReaders > 0 || (mOpenFlags & (ObjectAccess::kWrite | ObjectAccess::kNotify));
}
bool AcDbObject::isWriteEnabled() const {
  return mpStub == nullptr || (mOpenFlags & ObjectAccess::kWrite) != 0;
}
bool AcDbObject::isNotifyEnabled() const { return (mOpenFlags & ObjectAccess::kNotify) != 0; }
bool AcDbObject::isNewObject() const { return mpStub == nullptr; }
bool AcDbObject::isModified() const { return (mOpenFlags & ObjectAccess::kModified) != 0; }
bool AcDbObject::isErased() const { return mpStub != nullptr && (mpStub->flags & AcDbStub::kErased); }

void AcDbObject::assertReadEnabled() const {
  if (!isReadEnabled()) reportMisuse(Acad::eNotOpenForRead, "reading an object that is not open");
}
void AcDbObject::assertWriteEnabled(bool, bool) {
  if (!isWriteEnabled()) reportMisuse(Acad::eNotOpenForWrite, "changing an object that is not open for write");
  else mOpenFlags |= ObjectAccess::kModified;
}
void AcDbObject::assertNotifyEnabled() const {
  if (!isNotifyEnabled()) reportMisuse(Acad::eInvalidOpenState, "notifying an object that is not open for notify");
}

bool AcDbObject::writable() const {
  if (isWriteEnabled()) return true;
  reportMisuse(Acad::eNotOpenForWrite, "changing an object that is not open for write");
  return false;
}

// ---- erase -------------------------------------------------------------------------------
namespace {
void setErasedWithParts(AcDbStub* stub, bool erasing) {
  if (stub == nullptr) return;
  if (erasing) stub->flags |= AcDbStub::kErased;
  else stub->flags &= ~AcDbStub::kErased;
  if (AcDbObject* obj = stub->object) {
    AcDbObjectIdArray parts;
    ObjectAccess::collectParts(*obj, parts);
    for (const AcDbObjectId& part : parts) setErasedWithParts(part, erasing);
  }
}
}  // namespace

Acad::ErrorStatus AcDbObject::erase(bool erasing) {
  if (mpStub == nullptr) return Acad::eNotInDatabase;
  if (!(mOpenFlags & ObjectAccess::kWrite)) return Acad::eNotOpenForWrite;
  const bool erased = (mpStub->flags & AcDbStub::kErased) != 0;
  if (erasing && erased) return Acad::eWasErased;
  if (!erasing && !erased) return Acad::eWasNotErased;
  Acad::ErrorStatus es = subErase(erasing);
  if (es != Acad::eOk) return es;
  setErasedWithParts(mpStub, erasing);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::subErase(bool) { return Acad::eOk; }
Acad::ErrorStatus AcDbObject::subClose() { return Acad::eOk; }

// ---- extension dictionary and reactors ---------------------------------------------------
AcDbObjectId AcDbObject::extensionDictionary() const {
  return mpExtras ? AcDbObjectId(mpExtras->extDict) : AcDbObjectId();
}

Acad::ErrorStatus AcDbObject::createExtensionDictionary() {
  if (mpStub == nullptr) return Acad::eNoDatabase;
  if (!writable()) return Acad::eNotOpenForWrite;
  if (mpExtras && contura::db::isLive(mpExtras->extDict)) return Acad::eAlreadyInDb;
  auto* dict = new AcDbDictionary();
  dict->setTreatElementsAsHard(true);
  AcDbStub* stub = nullptr;
  Acad::ErrorStatus es = ObjectAccess::impl(*mpStub->database).addObject(dict, stub);
  if (es != Acad::eOk) {
    delete dict;
    return es;
  }
  ObjectAccess::setOwner(*dict, mpStub);
  ObjectAccess::markClosed(*dict);
  ObjectAccess::extras(*this).extDict = stub;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::releaseExtensionDictionary() {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!mpExtras || mpExtras->extDict == nullptr) return Acad::eOk;
  AcDbStub* stub = mpExtras->extDict;
  if (auto* dict = contura::db::peekAs<AcDbDictionary>(stub)) {
    if (dict->numEntries() > 0) return Acad::eContainerNotEmpty;
  }
  stub->flags |= AcDbStub::kErased;
  mpExtras->extDict = nullptr;
  return Acad::eOk;
}

void AcDbObject::addPersistentReactor(AcDbObjectId objId) {
  if (objId.isNull() || !writable()) return;
  AcDbVoidPtrArray& reactors = ObjectAccess::extras(*this).reactors;
  AcDbStub* stub = objId;
  if (!reactors.contains(stub)) reactors.append(stub);
}

Acad::ErrorStatus AcDbObject::removePersistentReactor(AcDbObjectId objId) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!mpExtras || !mpExtras->reactors.remove(static_cast<AcDbStub*>(objId))) return Acad::eKeyNotFound;
  return Acad::eOk;
}

bool AcDbObject::hasPersistentReactor(AcDbObjectId objId) const {
  return mpExtras && mpExtras->reactors.contains(static_cast<AcDbStub*>(objId));
}

const AcDbVoidPtrArray* AcDbObject::reactors() const {
  return (mpExtras && !mpExtras->reactors.isEmpty()) ? &mpExtras->reactors : nullptr;
}

// ---- filing and cloning ------------------------------------------------------------------
Acad::ErrorStatus AcDbObject::dxfInFields(AcDbDxfFiler*) { return Acad::eOk; }
Acad::ErrorStatus AcDbObject::dxfOutFields(AcDbDxfFiler*) const { return Acad::eOk; }

const AcRxClass* AcDbObject::copyTypedData(const AcDbObject& src) {
  *this = src;
  return AcDbObject::desc();
}

void AcDbObject::translateIds(const contura::db::IdTranslator& translator) {
  mpOwner = translator.translate(mpOwner);
  if (mpExtras) {
    mpExtras->extDict = translator.translate(mpExtras->extDict);
    AcDbVoidPtrArray kept;
    for (void* p : mpExtras->reactors) {
      if (AcDbStub* t = translator.translate(static_cast<AcDbStub*>(p))) kept.append(t);
    }
    mpExtras->reactors = kept;
  }
}

void AcDbObject::addedToDatabase() {}
void AcDbObject::collectParts(AcDbObjectIdArray&) const {}

Acad::ErrorStatus AcDbObject::copyFrom(const AcRxObject* other) {
  if (other == nullptr) return Acad::eNullObjectPointer;
  const AcDbObject* src = AcDbObject::cast(other);
  if (src == nullptr || !src->isKindOf(isA())) return Acad::eNotThatKindOfClass;
  if (src == this) return Acad::eOk;
  if (!writable()) return Acad::eNotOpenForWrite;
  const AcRxClass* copied = copyTypedData(*src);
  if (copied == isA()) return Acad::eOk;
  // A class of another module: its own data travels through its filing members.
  return contura::db::copyFiledData(*src, *this);
}

AcRxObject* AcDbObject::clone() const {
  AcRxClass* cls = isA();
  AcRxObject* made = cls ? cls->create() : nullptr;
  AcDbObject* copy = AcDbObject::cast(made);
  if (copy == nullptr) {
    delete made;
    return nullptr;
  }
  if (copy->copyFrom(this) != Acad::eOk) {
    delete copy;
    return nullptr;
  }
  return copy;
}

// ---- opening by id -----------------------------------------------------------------------
Acad::ErrorStatus acdbOpenObject(AcDbObject*& pObj, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased, const AcRxClass* pClass) {
  pObj = nullptr;
  AcDbStub* stub = id;
  if (stub == nullptr) return Acad::eNullObjectId;
  if (stub->object == nullptr) {
    return (stub->flags & AcDbStub::kGone) ? Acad::ePermanentlyErased : Acad::eUnknownHandle;
  }
  if ((stub->flags & AcDbStub::kErased) && !openErased) return Acad::eWasErased;
  if (pClass != nullptr && !stub->object->isKindOf(pClass)) return Acad::eNotThatKindOfClass;
  Acad::ErrorStatus es = ObjectAccess::open(*stub->object, mode);
  if (es != Acad::eOk) return es;
  pObj = stub->object;
  return Acad::eOk;
}

Acad::ErrorStatus acdbOpenObject(AcDbObject*& pObj, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased) {
  return acdbOpenObject(pObj, id, mode, openErased, nullptr);
}

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& pEnt, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased, const AcRxClass* pClass) {
  pEnt = nullptr;
  AcDbStub* stub = id;
  if (stub != nullptr && stub->object != nullptr && !stub->object->isKindOf(AcDbEntity::desc()))
    return Acad::eNotAnEntity;
  AcDbObject* obj = nullptr;
  Acad::ErrorStatus es = acdbOpenObject(obj, id, mode, openErased, pClass);
  if (es == Acad::eOk) pEnt = static_cast<AcDbEntity*>(obj);
  return es;
}

Acad::ErrorStatus acdbOpenObject(AcDbEntity*& pEnt, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased) {
  return acdbOpenAcDbEntity(pEnt, id, mode, openErased, nullptr);
}

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& pObj, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased, const AcRxClass* pClass) {
  return acdbOpenObject(pObj, id, mode, openErased, pClass);
}

// ---- entity names ------------------------------------------------------------------------
namespace {
AcDbStub* liveStubAt(Adesk::LongPtr value) {
  auto* stub = reinterpret_cast<const AcDbStub*>(value);
  if (stub == nullptr) return nullptr;
  for (AcDbDatabase* db : liveDatabases()) {
    if (ObjectAccess::impl(*db).ownsStub(stub)) return const_cast<AcDbStub*>(stub);
  }
  return nullptr;
}
}  // namespace

Acad::ErrorStatus acdbGetAdsName(ads_name& objName, AcDbObjectId objId) {
  if (objId.isNull()) return Acad::eNullObjectId;
  objName[0] = reinterpret_cast<Adesk::LongPtr>(static_cast<AcDbStub*>(objId));
  objName[1] = 0;
  return Acad::eOk;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& objId, const ads_name objName) {
  AcDbStub* stub = liveStubAt(objName[0]);
  if (stub == nullptr || objName[1] != 0 || stub->object == nullptr) return Acad::eInvalidAdsName;
  objId = stub;
  return Acad::eOk;
}

AcDbObjectId acdbPersistentReactorObjectId(const void* pSomething) {
  return AcDbObjectId(liveStubAt(reinterpret_cast<Adesk::LongPtr>(pSomething)));
}

bool acdbIsPersistentReactor(const void* pSomething) {
  return liveStubAt(reinterpret_cast<Adesk::LongPtr>(pSomething)) != nullptr;
}

// ---- part iterators ----------------------------------------------------------------------
namespace contura::db {
AcDbObjectIterator* ObjectAccess::newIterator(const PartList* parts) {
  auto* it = new AcDbObjectIterator();
  if (parts != nullptr) {
    for (const auto& p : parts->pending) {
      it->mEntities.append(p.get());
      it->mIds.append(nullptr);
    }
    for (AcDbStub* id : parts->ids) {
      it->mEntities.append(peekAs<AcDbEntity>(id));
      it->mIds.append(id);
    }
  }
  return it;
}
}  // namespace contura::db

AcDbObjectIterator::~AcDbObjectIterator() = default;
bool AcDbObjectIterator::done() const { return mPos < 0 || mPos >= mEntities.length(); }

void AcDbObjectIterator::step(bool backwards, bool skipErasedObjects) {
  do {
    mPos += backwards ? -1 : 1;
  } while (skipErasedObjects && !done() && mIds[mPos] != nullptr &&
           (mIds[mPos]->flags & AcDbStub::kErased));
}

void AcDbObjectIterator::start(bool atEnd) {
  mPos = atEnd ? mEntities.length() - 1 : 0;
  while (!done() && mIds[mPos] != nullptr && (mIds[mPos]->flags & AcDbStub::kErased))
    mPos += atEnd ? -1 : 1;
}

void AcDbObjectIterator::setPosition(AcDbEntity* pEnt) {
  const int at = mEntities.find(pEnt);
  if (at >= 0) mPos = at;
}

void AcDbObjectIterator::setPosition(AcDbObjectId pObj) {
  const int at = mIds.find(static_cast<AcDbStub*>(pObj));
  if (at >= 0) mPos = at;
}

AcDbEntity* AcDbObjectIterator::entity() { return done() ? nullptr : mEntities[mPos]; }
AcDbObjectId AcDbObjectIterator::objectId() { return done() ? AcDbObjectId() : AcDbObjectId(mIds[mPos]); }
