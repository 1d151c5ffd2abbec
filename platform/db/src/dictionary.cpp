// AcDbDictionary and its iterator; AcDbGroup.
#include "internal.h"

#include <dbgroup.h>

#include <algorithm>

using contura::db::ObjectAccess;
using contura::db::nameKey;

ACRX_DXF_DEFINE_MEMBERS(AcDbDictionary, AcDbObject, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0,
                        DICTIONARY, ObjectDBX Classes)

AcDbDictionary::AcDbDictionary() = default;
AcDbDictionary::~AcDbDictionary() = default;
AcDbDictionary::AcDbDictionary(const AcDbDictionary& other)
    : AcDbObject(other), mEntries(other.mEntries), mMergeStyle(other.mMergeStyle), mHard(other.mHard) {}

const AcRxClass* AcDbDictionary::copyTypedData(const AcDbObject& src) {
  const auto& other = static_cast<const AcDbDictionary&>(src);
  AcDbObject::operator=(other);
  mEntries = other.mEntries;
  mMergeStyle = other.mMergeStyle;
  mHard = other.mHard;
  return AcDbDictionary::desc();
}

void AcDbDictionary::translateIds(const contura::db::IdTranslator& translator) {
  AcDbObject::translateIds(translator);
  std::vector<Entry> kept;
  for (Entry& e : mEntries)
    if (AcDbStub* t = translator.translate(e.id)) kept.push_back({e.key, t});
  mEntries.swap(kept);
}

int AcDbDictionary::findEntry(const ACHAR* key) const {
  if (key == nullptr) return -1;
  const std::string wanted = nameKey(key);
  for (size_t i = 0; i < mEntries.size(); ++i) {
    if (contura::db::isLive(mEntries[i].id) && nameKey(mEntries[i].key) == wanted) return int(i);
  }
  return -1;
}

Acad::ErrorStatus AcDbDictionary::getAt(const ACHAR* entryName, AcDbObjectId& entryObj) const {
  const int at = findEntry(entryName);
  if (at < 0) return Acad::eKeyNotFound;
  entryObj = mEntries[size_t(at)].id;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::getAt(const ACHAR* entryName, AcDbObject*& entryObj,
                                        AcDb::OpenMode mode) const {
  entryObj = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus es = getAt(entryName, id);
  if (es != Acad::eOk) return es;
  return acdbOpenObject(entryObj, id, mode);
}

Acad::ErrorStatus AcDbDictionary::nameAt(AcDbObjectId objId, ACHAR*& name) const {
  for (const Entry& e : mEntries) {
    if (e.id == static_cast<AcDbStub*>(objId) && contura::db::isLive(e.id)) {
      name = contura::db::copyString(e.key);
      return Acad::eOk;
    }
  }
  return Acad::eKeyNotFound;
}

bool AcDbDictionary::has(const ACHAR* entryName) const { return findEntry(entryName) >= 0; }

bool AcDbDictionary::has(AcDbObjectId objId) const {
  return std::any_of(mEntries.begin(), mEntries.end(), [&](const Entry& e) {
    return e.id == static_cast<AcDbStub*>(objId) && contura::db::isLive(e.id);
  });
}

Adesk::UInt32 AcDbDictionary::numEntries() const {
  return Adesk::UInt32(std::count_if(mEntries.begin(), mEntries.end(),
                                     [](const Entry& e) { return contura::db::isLive(e.id); }));
}

Acad::ErrorStatus AcDbDictionary::remove(const ACHAR* key) {
  AcDbObjectId id;
  return remove(key, id);
}

Acad::ErrorStatus AcDbDictionary::remove(const ACHAR* key, AcDbObjectId& returnId) {
  if (!writable()) return Acad::eNotOpenForWrite;
  const int at = findEntry(key);
  if (at < 0) return Acad::eKeyNotFound;
  returnId = mEntries[size_t(at)].id;
  if (AcDbObject* obj = contura::db::peek(returnId))
    if (ObjectAccess::owner(*obj) == ObjectAccess::stub(*this)) ObjectAccess::setOwner(*obj, nullptr);
  mEntries.erase(mEntries.begin() + at);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(AcDbObjectId objId) {
  if (!writable()) return Acad::eNotOpenForWrite;
  for (size_t i = 0; i < mEntries.size(); ++i) {
    if (mEntries[i].id == static_cast<AcDbStub*>(objId)) {
      if (AcDbObject* obj = contura::db::peek(objId))
        if (ObjectAccess::owner(*obj) == ObjectAccess::stub(*this)) ObjectAccess::setOwner(*obj, nullptr);
      mEntries.erase(mEntries.begin() + long(i));
      return Acad::eOk;
    }
  }
  return Acad::eKeyNotFound;
}

bool AcDbDictionary::setName(const ACHAR* oldName, const ACHAR* newName) {
  if (!writable() || newName == nullptr || newName[0] == '\0') return false;
  const int at = findEntry(oldName);
  if (at < 0) return false;
  const int clash = findEntry(newName);
  if (clash >= 0 && clash != at) return false;
  mEntries[size_t(at)].key = newName;
  if (auto* group = contura::db::peekAs<AcDbGroup>(mEntries[size_t(at)].id))
    ObjectAccess::groupName(*group) = newName;
  return true;
}

Acad::ErrorStatus AcDbDictionary::setAt(const ACHAR* srchKey, AcDbObject* newValue, AcDbObjectId& retObjId) {
  if (srchKey == nullptr || srchKey[0] == '\0') return Acad::eInvalidKey;
  if (newValue == nullptr) return Acad::eNullObjectPointer;
  AcDbStub* self = ObjectAccess::stub(*this);
  if (self == nullptr) return Acad::eNoDatabase;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  AcDbStub* stub = ObjectAccess::stub(*newValue);
  if (stub != nullptr && stub->database != self->database) return Acad::eWrongDatabase;
  if (stub == nullptr) {
    Acad::ErrorStatus es = ObjectAccess::impl(*self->database).addObject(newValue, stub);
    if (es != Acad::eOk) return es;
  }
  const int at = findEntry(srchKey);
  if (at >= 0) {
    AcDbStub* old = mEntries[size_t(at)].id;
    if (old != stub) {
      if (AcDbObject* oldObj = contura::db::peek(old))
        if (ObjectAccess::owner(*oldObj) == self) old->flags |= AcDbStub::kErased;
      mEntries[size_t(at)].id = stub;
    }
    mEntries[size_t(at)].key = srchKey;
  } else {
    mEntries.push_back({srchKey, stub});
  }
  ObjectAccess::setOwner(*newValue, self);
  if (auto* group = AcDbGroup::cast(newValue)) ObjectAccess::groupName(*group) = srchKey;
  retObjId = stub;
  return Acad::eOk;
}

void AcDbDictionary::setTreatElementsAsHard(bool doIt) {
  if (writable()) mHard = doIt;
}

void AcDbDictionary::setMergeStyle(DuplicateRecordCloning style) {
  if (writable()) mMergeStyle = Adesk::UInt8(style);
}

AcDbDictionaryIterator* AcDbDictionary::newIterator(AcRx::DictIterType type) const {
  auto* it = new AcDbDictionaryIterator();
  for (const Entry& e : mEntries)
    if (contura::db::isLive(e.id)) it->mEntries.emplace_back(e.key, e.id);
  if (type == AcRx::kDictSorted) {
    std::stable_sort(it->mEntries.begin(), it->mEntries.end(),
                     [](const auto& a, const auto& b) { return nameKey(a.first) < nameKey(b.first); });
  }
  return it;
}

namespace contura::db {
Acad::ErrorStatus ObjectAccess::dictionaryAppend(AcDbDictionary& dict, const std::string& key, AcDbStub* id) {
  if (key.empty()) return Acad::eInvalidKey;
  if (dict.findEntry(key.c_str()) >= 0) return Acad::eDuplicateKey;
  dict.mEntries.push_back({key, id});
  if (AcDbObject* obj = peek(id)) {
    obj->mpOwner = dict.mpStub;
    if (auto* group = AcDbGroup::cast(obj)) group->mName = key;
  }
  return Acad::eOk;
}

void ObjectAccess::renameEntry(AcDbDictionary& dict, AcDbStub* id, const std::string& key) {
  for (auto& e : dict.mEntries)
    if (e.id == id) e.key = key;
}
}  // namespace contura::db

AcDbDictionaryIterator::~AcDbDictionaryIterator() = default;
const ACHAR* AcDbDictionaryIterator::name() const { return done() ? nullptr : mEntries[mPos].first.c_str(); }
AcDbObjectId AcDbDictionaryIterator::objectId() const {
  return done() ? AcDbObjectId() : AcDbObjectId(mEntries[mPos].second);
}
bool AcDbDictionaryIterator::done() const { return mPos >= mEntries.size(); }
bool AcDbDictionaryIterator::next() {
  if (!done()) ++mPos;
  return !done();
}
bool AcDbDictionaryIterator::setPosition(AcDbObjectId objId) {
  for (size_t i = 0; i < mEntries.size(); ++i) {
    if (mEntries[i].second == static_cast<AcDbStub*>(objId)) {
      mPos = i;
      return true;
    }
  }
  return false;
}
Acad::ErrorStatus AcDbDictionaryIterator::getObject(AcDbObject*& pObject, AcDb::OpenMode openMode) {
  pObject = nullptr;
  if (done()) return Acad::eIteratorDone;
  return acdbOpenObject(pObject, AcDbObjectId(mEntries[mPos].second), openMode);
}

// ---- groups ------------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbGroup, AcDbObject, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, GROUP,
                        ObjectDBX Classes)

AcDbGroup::AcDbGroup() = default;
AcDbGroup::AcDbGroup(const ACHAR* grpDesc, bool selectable)
    : mDescription(contura::db::safeString(grpDesc)), mSelectable(selectable) {}
AcDbGroup::~AcDbGroup() = default;

const AcRxClass* AcDbGroup::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbGroup&>(src);
  return AcDbGroup::desc();
}

void AcDbGroup::translateIds(const contura::db::IdTranslator& translator) {
  AcDbObject::translateIds(translator);
  std::vector<AcDbStub*> kept;
  for (AcDbStub* stub : mMembers)
    if (AcDbStub* t = translator.translate(stub)) kept.push_back(t);
  mMembers.swap(kept);
}

Acad::ErrorStatus AcDbGroup::getName(ACHAR*& name) const {
  name = contura::db::copyString(mName);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::setName(const ACHAR* newName) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (newName == nullptr || newName[0] == '\0') return Acad::eInvalidInput;
  if (auto* dict = contura::db::peekAs<AcDbDictionary>(ObjectAccess::owner(*this))) {
    AcDbObjectId existing;
    if (dict->getAt(newName, existing) == Acad::eOk && existing != objectId()) return Acad::eDuplicateKey;
    ObjectAccess::renameEntry(*dict, objectId(), newName);
  }
  mName = newName;
  return Acad::eOk;
}

ACHAR* AcDbGroup::description() const { return contura::db::copyString(mDescription); }

Acad::ErrorStatus AcDbGroup::setDescription(const ACHAR* grpDesc) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mDescription = contura::db::safeString(grpDesc);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::setSelectable(bool selectable) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mSelectable = selectable;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::setAnonymous() {
  if (!writable()) return Acad::eNotOpenForWrite;
  mAnonymous = true;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::checkMember(AcDbObjectId id) const {
  if (id.isNull()) return Acad::eNullObjectId;
  AcDbObject* obj = contura::db::peek(id);
  if (obj == nullptr || !obj->isKindOf(AcDbEntity::desc())) return Acad::eNotAnEntity;
  if (database() != nullptr && id.database() != database()) return Acad::eWrongDatabase;
  if (std::find(mMembers.begin(), mMembers.end(), static_cast<AcDbStub*>(id)) != mMembers.end())
    return Acad::eDuplicateKey;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::append(AcDbObjectId id) { return insertAt(Adesk::UInt32(mMembers.size()), id); }

Acad::ErrorStatus AcDbGroup::append(const AcDbObjectIdArray& ids) {
  if (!writable()) return Acad::eNotOpenForWrite;
  for (int i = 0; i < ids.length(); ++i) {
    Acad::ErrorStatus es = checkMember(ids[i]);
    if (es != Acad::eOk) return es;
    for (int j = 0; j < i; ++j)
      if (ids[j] == ids[i]) return Acad::eDuplicateKey;
  }
  for (const AcDbObjectId& id : ids) mMembers.push_back(id);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::prepend(AcDbObjectId id) { return insertAt(0, id); }

Acad::ErrorStatus AcDbGroup::insertAt(Adesk::UInt32 idx, AcDbObjectId id) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (idx > mMembers.size()) return Acad::eInvalidIndex;
  Acad::ErrorStatus es = checkMember(id);
  if (es != Acad::eOk) return es;
  mMembers.insert(mMembers.begin() + idx, id);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::remove(AcDbObjectId id) {
  if (!writable()) return Acad::eNotOpenForWrite;
  auto it = std::find(mMembers.begin(), mMembers.end(), static_cast<AcDbStub*>(id));
  if (it == mMembers.end()) return Acad::eKeyNotFound;
  mMembers.erase(it);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::remove(const AcDbObjectIdArray& ids) {
  if (!writable()) return Acad::eNotOpenForWrite;
  for (const AcDbObjectId& id : ids)
    if (std::find(mMembers.begin(), mMembers.end(), static_cast<AcDbStub*>(id)) == mMembers.end())
      return Acad::eKeyNotFound;
  for (const AcDbObjectId& id : ids) remove(id);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::removeAt(Adesk::UInt32 idx) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (idx >= mMembers.size()) return Acad::eInvalidIndex;
  mMembers.erase(mMembers.begin() + idx);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::replace(AcDbObjectId oldId, AcDbObjectId newId) {
  if (!writable()) return Acad::eNotOpenForWrite;
  auto it = std::find(mMembers.begin(), mMembers.end(), static_cast<AcDbStub*>(oldId));
  if (it == mMembers.end()) return Acad::eKeyNotFound;
  if (oldId == newId) return Acad::eOk;
  Acad::ErrorStatus es = checkMember(newId);
  if (es != Acad::eOk) return es;
  *it = newId;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::clear() {
  if (!writable()) return Acad::eNotOpenForWrite;
  mMembers.clear();
  return Acad::eOk;
}

Adesk::UInt32 AcDbGroup::numEntities() const {
  return Adesk::UInt32(std::count_if(mMembers.begin(), mMembers.end(), contura::db::isLive));
}

Adesk::UInt32 AcDbGroup::allEntityIds(AcDbObjectIdArray& ids) const {
  ids.removeAll();
  for (AcDbStub* stub : mMembers)
    if (contura::db::isLive(stub)) ids.append(stub);
  return Adesk::UInt32(ids.length());
}

bool AcDbGroup::has(const AcDbEntity* pEntity) const { return pEntity && has(pEntity->objectId()); }

bool AcDbGroup::has(AcDbObjectId id) const {
  AcDbStub* stub = id;
  return contura::db::isLive(stub) && std::find(mMembers.begin(), mMembers.end(), stub) != mMembers.end();
}

Acad::ErrorStatus AcDbGroup::getIndex(AcDbObjectId id, Adesk::UInt32& idx) const {
  auto it = std::find(mMembers.begin(), mMembers.end(), static_cast<AcDbStub*>(id));
  if (it == mMembers.end()) return Acad::eKeyNotFound;
  idx = Adesk::UInt32(it - mMembers.begin());
  return Acad::eOk;
}

template <class F> Acad::ErrorStatus AcDbGroup::forEachMember(F&& apply) {
  for (AcDbStub* stub : mMembers) {
    if (!contura::db::isLive(stub)) continue;
    AcDbEntity* ent = nullptr;
    Acad::ErrorStatus es = acdbOpenAcDbEntity(ent, AcDbObjectId(stub), AcDb::kForWrite);
    if (es != Acad::eOk) return es;
    es = apply(*ent);
    ent->close();
    if (es != Acad::eOk) return es;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::setColorIndex(Adesk::UInt16 color) {
  return forEachMember([&](AcDbEntity& e) { return e.setColorIndex(color); });
}
Acad::ErrorStatus AcDbGroup::setColor(const AcCmColor& color) {
  return forEachMember([&](AcDbEntity& e) { return e.setColor(color); });
}
Acad::ErrorStatus AcDbGroup::setLayer(const ACHAR* newVal) {
  return forEachMember([&](AcDbEntity& e) { return e.setLayer(newVal); });
}
Acad::ErrorStatus AcDbGroup::setLayer(AcDbObjectId newVal) {
  return forEachMember([&](AcDbEntity& e) { return e.setLayer(newVal); });
}
Acad::ErrorStatus AcDbGroup::setLinetype(const ACHAR* newVal) {
  return forEachMember([&](AcDbEntity& e) { return e.setLinetype(newVal); });
}
Acad::ErrorStatus AcDbGroup::setVisibility(AcDb::Visibility newVal) {
  return forEachMember([&](AcDbEntity& e) { return e.setVisibility(newVal); });
}
