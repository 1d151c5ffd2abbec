// Symbol tables, their iterators and the records of every table but the block table.
#include "internal.h"

#include <algorithm>
#include <charconv>

using contura::db::ObjectAccess;
using contura::db::nameKey;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTable, AcDbObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTableRecord, AcDbObject)

// ---- table bookkeeping -------------------------------------------------------------------
// The index: record names to records, hashed and compared as sameName compares them, so that
// a name is found in any letter case without making its key first.
namespace contura::db {
namespace {
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const { return nameHash(name); }
};
struct NameEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return sameName(a, b); }
};
}  // namespace
}  // namespace contura::db

struct AcDbSymbolTable::Index {
  std::unordered_map<std::string, AcDbStub*, contura::db::NameHash, contura::db::NameEqual> byName;
};

namespace contura::db {

namespace {
std::string_view nameOfRecord(AcDbStub* stub) {
  auto* rec = peekAs<AcDbSymbolTableRecord>(stub);
  return rec ? std::string_view(ObjectAccess::recordName(*rec)) : std::string_view();
}
}  // namespace

AcDbStub* ObjectAccess::tableLookup(const AcDbSymbolTable& table, std::string_view name, bool erasedToo) {
  if (table.mpIndex) {
    auto it = table.mpIndex->byName.find(name);
    if (it != table.mpIndex->byName.end() && isLive(it->second) && sameName(nameOfRecord(it->second), name))
      return it->second;
  }
  // Not in the index, or the index is stale (an erased record, a name changed other than by
  // setName): look at every record.
  AcDbStub* erased = nullptr;
  for (AcDbStub* stub : table.mRecords) {
    if (stub->object == nullptr || !sameName(nameOfRecord(stub), name)) continue;
    if (!(stub->flags & AcDbStub::kErased)) {
      if (table.mpIndex) table.mpIndex->byName.insert_or_assign(std::string(name), stub);
      return stub;
    }
    erased = stub;
  }
  return erasedToo ? erased : nullptr;
}

Acad::ErrorStatus ObjectAccess::tableAppend(AcDbSymbolTable& table, AcDbStub* record) {
  auto* rec = peekAs<AcDbSymbolTableRecord>(record);
  if (rec == nullptr || !rec->isKindOf(table.recordClass())) return Acad::eWrongObjectType;
  if (tableLookup(table, rec->mName, false) != nullptr) return Acad::eDuplicateRecordName;
  if (!table.mpIndex) table.mpIndex = std::make_unique<AcDbSymbolTable::Index>();
  table.mRecords.push_back(record);
  table.mpIndex->byName.insert_or_assign(rec->mName, record);
  rec->mpOwner = table.mpStub;
  return Acad::eOk;
}

void ObjectAccess::tableReindex(AcDbSymbolTable& table) {
  if (!table.mpIndex) table.mpIndex = std::make_unique<AcDbSymbolTable::Index>();
  table.mpIndex->byName.clear();
  for (AcDbStub* stub : table.mRecords)
    if (isLive(stub)) table.mpIndex->byName.insert_or_assign(std::string(nameOfRecord(stub)), stub);
}

}  // namespace contura::db

AcDbStub* AcDbDatabase::Impl::lookupRecord(int table, std::string_view name) const {
  auto* t = contura::db::peekAs<AcDbSymbolTable>(tables[table]);
  return t ? ObjectAccess::tableLookup(*t, name, false) : nullptr;
}

// ---- AcDbSymbolTable ---------------------------------------------------------------------
AcDbSymbolTable::AcDbSymbolTable() = default;
AcDbSymbolTable::~AcDbSymbolTable() = default;

AcDbSymbolTable::AcDbSymbolTable(const AcDbSymbolTable& other) : AcDbObject(other) {
  mRecords = other.mRecords;
  ObjectAccess::tableReindex(*this);
}

AcDbSymbolTable& AcDbSymbolTable::operator=(const AcDbSymbolTable& other) {
  if (this == &other) return *this;
  AcDbObject::operator=(other);
  mRecords = other.mRecords;
  ObjectAccess::tableReindex(*this);
  return *this;
}

const AcRxClass* AcDbSymbolTable::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbSymbolTable&>(src);
  return AcDbSymbolTable::desc();
}

void AcDbSymbolTable::translateIds(const contura::db::IdTranslator& translator) {
  AcDbObject::translateIds(translator);
  std::vector<AcDbStub*> kept;
  for (AcDbStub* stub : mRecords)
    if (AcDbStub* t = translator.translate(stub)) kept.push_back(t);
  mRecords.swap(kept);
  ObjectAccess::tableReindex(*this);
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const ACHAR* entryName, AcDbObjectId& recordId,
                                         bool getErasedRecord) const {
  if (entryName == nullptr) return Acad::eInvalidInput;
  AcDbStub* stub = ObjectAccess::tableLookup(*this, entryName, getErasedRecord);
  if (stub == nullptr) return Acad::eKeyNotFound;
  recordId = stub;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const ACHAR* entryName, AcDbSymbolTableRecord*& pRec,
                                         AcDb::OpenMode openMode, bool openErasedRec) const {
  pRec = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus es = getAt(entryName, id, openErasedRec);
  if (es != Acad::eOk) return es;
  return acdbOpenObject(pRec, id, openMode, openErasedRec);
}

bool AcDbSymbolTable::has(const ACHAR* name) const {
  return name != nullptr && ObjectAccess::tableLookup(*this, name, false) != nullptr;
}

bool AcDbSymbolTable::has(AcDbObjectId id) const {
  AcDbStub* stub = id;
  return contura::db::isLive(stub) && std::find(mRecords.begin(), mRecords.end(), stub) != mRecords.end();
}

Acad::ErrorStatus AcDbSymbolTable::newIterator(AcDbSymbolTableIterator*& pIterator, bool atBeginning,
                                               bool skipDeleted) const {
  pIterator = new AcDbSymbolTableIterator(this, atBeginning, skipDeleted);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbSymbolTableRecord* pRecord) {
  AcDbObjectId id;
  return add(id, pRecord);
}

namespace {
// "*U", "*D", ...: the anonymous block prefixes that get a number.
bool isAnonymousPrefix(const std::string& name) {
  if (name.size() != 2 || name[0] != '*') return false;
  const char c = char(std::toupper(static_cast<unsigned char>(name[1])));
  return c == 'U' || c == 'D' || c == 'X' || c == 'A' || c == 'T' || c == 'E';
}

std::string nextAnonymousName(const AcDbSymbolTable& table, const std::string& prefix) {
  const std::string key = nameKey(prefix);
  long highest = 0;
  for (AcDbStub* stub : ObjectAccess::tableRecords(table)) {
    auto* rec = contura::db::peekAs<AcDbSymbolTableRecord>(stub);
    if (rec == nullptr) continue;
    const std::string k = nameKey(ObjectAccess::recordName(*rec));
    if (k.size() <= 2 || k.compare(0, 2, key) != 0) continue;
    long n = 0;
    auto r = std::from_chars(k.data() + 2, k.data() + k.size(), n);
    if (r.ec == std::errc() && r.ptr == k.data() + k.size()) highest = std::max(highest, n);
  }
  return prefix + std::to_string(highest + 1);
}
}  // namespace

Acad::ErrorStatus AcDbSymbolTable::add(AcDbObjectId& recordId, AcDbSymbolTableRecord* pRecord) {
  if (pRecord == nullptr) return Acad::eNullObjectPointer;
  AcDbStub* self = ObjectAccess::stub(*this);
  if (self == nullptr) return Acad::eNoDatabase;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (!pRecord->isKindOf(recordClass())) return Acad::eWrongObjectType;
  if (ObjectAccess::stub(*pRecord) != nullptr) return Acad::eAlreadyInDb;
  std::string name = ObjectAccess::recordName(*pRecord);
  if (name.empty()) return Acad::eInvalidSymbolTableName;
  if (isKindOf(AcDbBlockTable::desc()) && isAnonymousPrefix(name)) {
    name = nextAnonymousName(*this, name);
    ObjectAccess::setRecordName(*pRecord, name);
  }
  if (ObjectAccess::tableLookup(*this, name, false) != nullptr) return Acad::eDuplicateRecordName;
  AcDbStub* stub = nullptr;
  Acad::ErrorStatus es = ObjectAccess::impl(*self->database).addObject(pRecord, stub);
  if (es != Acad::eOk) return es;
  ObjectAccess::tableAppend(*this, stub);
  recordId = stub;
  return Acad::eOk;
}

// ---- iterator ----------------------------------------------------------------------------
AcDbSymbolTableIterator::AcDbSymbolTableIterator(const AcDbSymbolTable* pTable, bool atBeginning,
                                                 bool skipDeleted)
    : mpTable(pTable ? ObjectAccess::stub(*pTable) : nullptr) {
  start(atBeginning, skipDeleted);
}

AcDbSymbolTableIterator::~AcDbSymbolTableIterator() = default;

const AcDbSymbolTable* AcDbSymbolTableIterator::table() const {
  return contura::db::peekAs<AcDbSymbolTable>(mpTable);
}

void AcDbSymbolTableIterator::skipErasedFrom(bool forward) {
  const AcDbSymbolTable* t = table();
  if (t == nullptr) return;
  const auto& records = ObjectAccess::tableRecords(*t);
  while (mPos >= 0 && mPos < long(records.size()) && !contura::db::isLive(records[size_t(mPos)]))
    mPos += forward ? 1 : -1;
}

void AcDbSymbolTableIterator::start(bool atBeginning, bool skipDeleted) {
  const AcDbSymbolTable* t = table();
  const long n = t ? long(ObjectAccess::tableRecords(*t).size()) : 0;
  mPos = atBeginning ? 0 : n - 1;
  if (skipDeleted) skipErasedFrom(atBeginning);
}

bool AcDbSymbolTableIterator::done() const {
  const AcDbSymbolTable* t = table();
  return t == nullptr || mPos < 0 || mPos >= long(ObjectAccess::tableRecords(*t).size());
}

void AcDbSymbolTableIterator::step(bool forward, bool skipDeleted) {
  if (done()) return;
  mPos += forward ? 1 : -1;
  if (skipDeleted) skipErasedFrom(forward);
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecordId(AcDbObjectId& id) const {
  if (done()) return Acad::eIteratorDone;
  id = ObjectAccess::tableRecords(*table())[size_t(mPos)];
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecord(AcDbSymbolTableRecord*& pRecord, AcDb::OpenMode openMode,
                                                     bool openErasedRec) const {
  pRecord = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus es = getRecordId(id);
  if (es != Acad::eOk) return es;
  return acdbOpenObject(pRecord, id, openMode, openErasedRec);
}

Acad::ErrorStatus AcDbSymbolTableIterator::seek(AcDbObjectId id) {
  const AcDbSymbolTable* t = table();
  if (t == nullptr) return Acad::eInvalidInput;
  const auto& records = ObjectAccess::tableRecords(*t);
  auto it = std::find(records.begin(), records.end(), static_cast<AcDbStub*>(id));
  if (it == records.end()) return Acad::eInvalidInput;
  mPos = long(it - records.begin());
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableIterator::seek(const AcDbSymbolTableRecord* pRecord) {
  return pRecord ? seek(pRecord->objectId()) : Acad::eInvalidInput;
}

// ---- typed tables ------------------------------------------------------------------------
#define DEFINE_SYMBOL_TABLE(T_, R_, I_)                                           \
  ACRX_DXF_DEFINE_MEMBERS(T_, AcDbSymbolTable, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, \
                          0, TABLE, ObjectDBX Classes)                                          \
  T_::T_() = default;                                                                     \
  T_::~T_() = default;                                                                    \
  Acad::ErrorStatus T_::getAt(const ACHAR* entryName, R_*& pRec,                         \
                                 AcDb::OpenMode openMode, bool openErasedRec) const {           \
    pRec = nullptr;                                                                             \
    AcDbObjectId id;                                                                            \
    Acad::ErrorStatus es = AcDbSymbolTable::getAt(entryName, id, openErasedRec);                \
    if (es != Acad::eOk) return es;                                                             \
    return acdbOpenObject(pRec, id, openMode, openErasedRec);                                   \
  }                                                                                             \
  Acad::ErrorStatus T_::add(R_* pRecord) { return AcDbSymbolTable::add(pRecord); }       \
  Acad::ErrorStatus T_::add(AcDbObjectId& recordId, R_* pRecord) {                       \
    return AcDbSymbolTable::add(recordId, pRecord);                                             \
  }                                                                                             \
  Acad::ErrorStatus T_::newIterator(I_*& pIterator, bool atBeginning,                  \
                                       bool skipDeleted) const {                                \
    pIterator = new I_(this, atBeginning, skipDeleted);                                   \
    return Acad::eOk;                                                                           \
  }                                                                                             \
  const AcRxClass* T_::copyTypedData(const AcDbObject& src) {                                \
    AcDbSymbolTable::operator=(static_cast<const T_&>(src));                                 \
    return T_::desc();                                                                       \
  }                                                                                             \
  const AcRxClass* T_::recordClass() const { return R_::desc(); }                        \
  Acad::ErrorStatus I_::getRecord(R_*& pRecord, AcDb::OpenMode openMode,              \
                                        bool openErasedRec) const {                             \
    pRecord = nullptr;                                                                          \
    AcDbObjectId id;                                                                            \
    Acad::ErrorStatus es = getRecordId(id);                                                     \
    if (es != Acad::eOk) return es;                                                             \
    return acdbOpenObject(pRecord, id, openMode, openErasedRec);                                \
  }

DEFINE_SYMBOL_TABLE(AcDbBlockTable, AcDbBlockTableRecord, AcDbBlockTableIterator)
DEFINE_SYMBOL_TABLE(AcDbLayerTable, AcDbLayerTableRecord, AcDbLayerTableIterator)
DEFINE_SYMBOL_TABLE(AcDbTextStyleTable, AcDbTextStyleTableRecord, AcDbTextStyleTableIterator)
DEFINE_SYMBOL_TABLE(AcDbLinetypeTable, AcDbLinetypeTableRecord, AcDbLinetypeTableIterator)
DEFINE_SYMBOL_TABLE(AcDbViewTable, AcDbViewTableRecord, AcDbViewTableIterator)
DEFINE_SYMBOL_TABLE(AcDbUCSTable, AcDbUCSTableRecord, AcDbUCSTableIterator)
DEFINE_SYMBOL_TABLE(AcDbViewportTable, AcDbViewportTableRecord, AcDbViewportTableIterator)
DEFINE_SYMBOL_TABLE(AcDbRegAppTable, AcDbRegAppTableRecord, AcDbRegAppTableIterator)
DEFINE_SYMBOL_TABLE(AcDbDimStyleTable, AcDbDimStyleTableRecord, AcDbDimStyleTableIterator)

// ---- AcDbSymbolTableRecord ---------------------------------------------------------------
AcDbSymbolTableRecord::AcDbSymbolTableRecord() = default;
AcDbSymbolTableRecord::~AcDbSymbolTableRecord() = default;

const AcRxClass* AcDbSymbolTableRecord::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbSymbolTableRecord&>(src);
  return AcDbSymbolTableRecord::desc();
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(ACHAR*& pName) const {
  pName = contura::db::copyString(mName);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const ACHAR*& pName) const {
  pName = mName.c_str();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const ACHAR* pName) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (pName == nullptr || pName[0] == '\0') return Acad::eInvalidSymbolTableName;
  auto* table = contura::db::peekAs<AcDbSymbolTable>(ObjectAccess::owner(*this));
  AcDbStub* self = ObjectAccess::stub(*this);
  if (table != nullptr && self != nullptr) {
    AcDbStub* other = ObjectAccess::tableLookup(*table, pName, false);
    if (other != nullptr && other != self) return Acad::eDuplicateRecordName;
  }
  mName = pName;
  if (table != nullptr && self != nullptr) ObjectAccess::tableReindex(*table);
  return Acad::eOk;
}

bool AcDbSymbolTableRecord::isDependent() const { return mName.find('|') != std::string::npos; }

// ---- records -----------------------------------------------------------------------------
namespace {
Acad::ErrorStatus refuseNamed(const AcDbSymbolTableRecord& rec, bool erasing,
                              std::initializer_list<const char*> keptNames) {
  if (!erasing) return Acad::eOk;
  const std::string key = nameKey(ObjectAccess::recordName(rec));
  for (const char* kept : keptNames)
    if (key == nameKey(kept)) return Acad::eCannotBeErasedByCaller;
  return Acad::eOk;
}
}  // namespace

#define DEFINE_RECORD(RECORD, DXF)                                                             \
  ACRX_DXF_DEFINE_MEMBERS(RECORD, AcDbSymbolTableRecord, AcDb::kDHL_CURRENT,                  \
                          AcDb::kMReleaseCurrent, 0, DXF, ObjectDBX Classes)                   \
  RECORD::~RECORD() = default;                                                                  \
  const AcRxClass* RECORD::copyTypedData(const AcDbObject& src) {                               \
    *this = static_cast<const RECORD&>(src);                                                    \
    return RECORD::desc();                                                                      \
  }

// Layers.
DEFINE_RECORD(AcDbLayerTableRecord, LAYER)

namespace {
enum : Adesk::UInt8 { kLayerFrozen = 1, kLayerLocked = 4, kLayerOff = 0x40, kLayerNoPlot = 0x80 };
}

AcDbLayerTableRecord::AcDbLayerTableRecord() { mColor.setColorIndex(7); }

Acad::ErrorStatus AcDbLayerTableRecord::setName(const ACHAR* pName) {
  if (ObjectAccess::stub(*this) != nullptr && nameKey(ObjectAccess::recordName(*this)) == "0" &&
      pName != nullptr && std::string(pName) != "0")
    return Acad::eInvalidInput;
  return AcDbSymbolTableRecord::setName(pName);
}

Acad::ErrorStatus AcDbLayerTableRecord::setColor(const AcCmColor& color) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (color.isByLayer() || color.isByBlock()) return Acad::eInvalidInput;
  mColor = color;
  return Acad::eOk;
}

bool AcDbLayerTableRecord::isOff() const { return (mFlags & kLayerOff) != 0; }
bool AcDbLayerTableRecord::isFrozen() const { return (mFlags & kLayerFrozen) != 0; }
bool AcDbLayerTableRecord::isLocked() const { return (mFlags & kLayerLocked) != 0; }
bool AcDbLayerTableRecord::isPlottable() const { return (mFlags & kLayerNoPlot) == 0; }

namespace {
Adesk::UInt8 withBit(Adesk::UInt8 flags, Adesk::UInt8 bit, bool on) {
  return on ? Adesk::UInt8(flags | bit) : Adesk::UInt8(flags & ~bit);
}
}  // namespace

Acad::ErrorStatus AcDbLayerTableRecord::setIsOff(bool off) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mFlags = withBit(mFlags, kLayerOff, off);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLayerTableRecord::setIsFrozen(bool frozen) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mFlags = withBit(mFlags, kLayerFrozen, frozen);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLayerTableRecord::setIsLocked(bool locked) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mFlags = withBit(mFlags, kLayerLocked, locked);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLayerTableRecord::setIsPlottable(bool plottable) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mFlags = withBit(mFlags, kLayerNoPlot, !plottable);
  return Acad::eOk;
}

AcDbObjectId AcDbLayerTableRecord::linetypeObjectId() const { return AcDbObjectId(mpLinetype); }

Acad::ErrorStatus AcDbLayerTableRecord::setLinetypeObjectId(AcDbObjectId id) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!id.isNull() && !AcDbLinetypeTableRecord::cast(contura::db::peek(id))) return Acad::eWrongObjectType;
  mpLinetype = id;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::setLineWeight(AcDb::LineWeight weight) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (weight < AcDb::kLnWtByLwDefault || weight > AcDb::kLnWt211) return Acad::eInvalidInput;
  mLineWeight = Adesk::Int16(weight);
  return Acad::eOk;
}

ACHAR* AcDbLayerTableRecord::description() const { return contura::db::copyString(mDescription); }

Acad::ErrorStatus AcDbLayerTableRecord::setDescription(const ACHAR* description) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mDescription = contura::db::safeString(description);
  return Acad::eOk;
}

void AcDbLayerTableRecord::translateIds(const contura::db::IdTranslator& translator) {
  AcDbSymbolTableRecord::translateIds(translator);
  mpLinetype = translator.translate(mpLinetype);
}

Acad::ErrorStatus AcDbLayerTableRecord::subErase(bool erasing) {
  if (!erasing) return Acad::eOk;
  if (AcDbDatabase* db = database()) {
    if (ObjectAccess::impl(*db).clayer == ObjectAccess::stub(*this)) return Acad::eCannotBeErasedByCaller;
  }
  return refuseNamed(*this, erasing, {"0"});
}

// Text styles.
DEFINE_RECORD(AcDbTextStyleTableRecord, STYLE)

namespace {
enum : Adesk::UInt8 { kStyleShapeFile = 1, kStyleVertical = 4 };
}

AcDbTextStyleTableRecord::AcDbTextStyleTableRecord() : mFileName("txt") {}

Acad::ErrorStatus AcDbTextStyleTableRecord::fileName(ACHAR*& fileName) const {
  fileName = contura::db::copyString(mFileName);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::fileName(const ACHAR*& fileName) const {
  fileName = mFileName.c_str();
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setFileName(const ACHAR* fileName) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mFileName = contura::db::safeString(fileName);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::bigFontFileName(ACHAR*& fileName) const {
  fileName = contura::db::copyString(mBigFontFileName);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::bigFontFileName(const ACHAR*& fileName) const {
  fileName = mBigFontFileName.c_str();
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setBigFontFileName(const ACHAR* fileName) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mBigFontFileName = contura::db::safeString(fileName);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setTextSize(double size) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (size < 0.0) return Acad::eInvalidInput;
  mTextSize = size;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setPriorSize(double size) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (size < 0.0) return Acad::eInvalidInput;
  mPriorSize = size;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setXScale(double xScale) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(xScale > 0.0)) return Acad::eInvalidInput;
  mXScale = xScale;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setObliquingAngle(double obliquingAngle) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mOblique = obliquingAngle;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setFlagBits(Adesk::UInt8 flagBits) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mGenFlags = flagBits;
  return Acad::eOk;
}
bool AcDbTextStyleTableRecord::isShapeFile() const { return (mFlags & kStyleShapeFile) != 0; }
Acad::ErrorStatus AcDbTextStyleTableRecord::setIsShapeFile(bool shape) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mFlags = withBit(mFlags, kStyleShapeFile, shape);
  return Acad::eOk;
}
bool AcDbTextStyleTableRecord::isVertical() const { return (mFlags & kStyleVertical) != 0; }
Acad::ErrorStatus AcDbTextStyleTableRecord::setIsVertical(bool vertical) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mFlags = withBit(mFlags, kStyleVertical, vertical);
  return Acad::eOk;
}

// Linetypes.
DEFINE_RECORD(AcDbLinetypeTableRecord, LTYPE)

AcDbLinetypeTableRecord::AcDbLinetypeTableRecord() = default;

Acad::ErrorStatus AcDbLinetypeTableRecord::comments(ACHAR*& pString) const {
  pString = contura::db::copyString(mComments);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLinetypeTableRecord::comments(const ACHAR*& pString) const {
  pString = mComments.c_str();
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLinetypeTableRecord::setComments(const ACHAR* pString) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mComments = contura::db::safeString(pString);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLinetypeTableRecord::setPatternLength(double patternLength) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (patternLength < 0.0) return Acad::eInvalidInput;
  mPatternLength = patternLength;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLinetypeTableRecord::setIsScaledToFit(bool scaledToFit) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mScaledToFit = scaledToFit;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLinetypeTableRecord::setNumDashes(int count) {
  if (!writable()) return Acad::eNotOpenForWrite;
  // The drawing file allows at most 12 dashes per pattern.
  constexpr int kMaxDashes = 12;
  if (count < 0 || count > kMaxDashes) return Acad::eInvalidInput;
  mDashes.resize(size_t(count), 0.0);
  return Acad::eOk;
}
double AcDbLinetypeTableRecord::dashLengthAt(int index) const {
  return (index >= 0 && index < numDashes()) ? mDashes[size_t(index)] : 0.0;
}
Acad::ErrorStatus AcDbLinetypeTableRecord::setDashLengthAt(int index, double value) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (index < 0 || index >= numDashes()) return Acad::eInvalidIndex;
  mDashes[size_t(index)] = value;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLinetypeTableRecord::subErase(bool erasing) {
  return refuseNamed(*this, erasing, {"BYBLOCK", "BYLAYER", "CONTINUOUS"});
}

// Registered applications.
DEFINE_RECORD(AcDbRegAppTableRecord, APPID)
AcDbRegAppTableRecord::AcDbRegAppTableRecord() = default;

// Views, viewports, UCSs.
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbAbstractViewTableRecord, AcDbSymbolTableRecord)
AcDbAbstractViewTableRecord::AcDbAbstractViewTableRecord() = default;
AcDbAbstractViewTableRecord::~AcDbAbstractViewTableRecord() = default;
const AcRxClass* AcDbAbstractViewTableRecord::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbAbstractViewTableRecord&>(src);
  return AcDbAbstractViewTableRecord::desc();
}

#define SETTER(CLASS, NAME, TYPE, MEMBER)                                                      \
  Acad::ErrorStatus CLASS::NAME(TYPE value) {                                                   \
    if (!writable()) return Acad::eNotOpenForWrite;                                             \
    MEMBER = value;                                                                             \
    return Acad::eOk;                                                                           \
  }

SETTER(AcDbAbstractViewTableRecord, setCenterPoint, const AcGePoint2d&, mCenter)
SETTER(AcDbAbstractViewTableRecord, setTarget, const AcGePoint3d&, mTarget)
SETTER(AcDbAbstractViewTableRecord, setViewTwist, double, mTwist)

Acad::ErrorStatus AcDbAbstractViewTableRecord::setHeight(double height) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(height > 0.0)) return Acad::eInvalidInput;
  mHeight = height;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbAbstractViewTableRecord::setWidth(double width) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(width > 0.0)) return Acad::eInvalidInput;
  mWidth = width;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbAbstractViewTableRecord::setViewDirection(const AcGeVector3d& viewDirection) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (viewDirection.isZeroLength()) return Acad::eInvalidInput;
  mDirection = viewDirection;
  return Acad::eOk;
}

DEFINE_RECORD(AcDbViewTableRecord, VIEW)
AcDbViewTableRecord::AcDbViewTableRecord() = default;
SETTER(AcDbViewTableRecord, setIsPaperspaceView, bool, mPaperSpace)

DEFINE_RECORD(AcDbViewportTableRecord, VPORT)
AcDbViewportTableRecord::AcDbViewportTableRecord() = default;
SETTER(AcDbViewportTableRecord, setLowerLeftCorner, const AcGePoint2d&, mLowerLeft)
SETTER(AcDbViewportTableRecord, setUpperRightCorner, const AcGePoint2d&, mUpperRight)

DEFINE_RECORD(AcDbUCSTableRecord, UCS)
AcDbUCSTableRecord::AcDbUCSTableRecord() = default;
SETTER(AcDbUCSTableRecord, setOrigin, const AcGePoint3d&, mOrigin)
SETTER(AcDbUCSTableRecord, setXAxis, const AcGeVector3d&, mXAxis)
SETTER(AcDbUCSTableRecord, setYAxis, const AcGeVector3d&, mYAxis)
