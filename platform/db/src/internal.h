// Shared internals of the database: the id stub, per-object extras, privileged access to
// objects and databases, and small helpers (names, strings, OCS, text metrics).
#pragma once
#include <dbmain.h>
#include <dbsymtb.h>
#include <dbdict.h>
#include <dbents.h>
#include <dbgroup.h>
#include <contura/db/rawtags.h>

#include <contura/ge/angles.h>
#include <contura/os/codepage.h>

#include "tolerances.h"

#include <cmath>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// What an AcDbObjectId points at: one per object (or per handle named before its object
// arrived), owned by its database for the database's whole life.
class AcDbStub {
public:
  enum : Adesk::UInt8 { kErased = 1, kGone = 2 };
  AcDbObject* object = nullptr;  // owned by the database; null while pending or gone
  AcDbDatabase* database = nullptr;
  Adesk::UInt64 handle = 0;
  Adesk::UInt8 flags = 0;
};

class AcDbAttribute;

namespace contura::db {

using ge::kPi;
using ge::kTwoPi;
using ge::normalizeAngle;

// Everything an object rarely has, allocated only when it has some of it.
struct ObjectExtras {
  AcDbRawTags xdata;
  AcDbRawTags appGroups;
  AcDbRawTags extra;
  AcDbStub* extDict = nullptr;
  AcDbVoidPtrArray reactors;  // AcDbStub* of persistent reactors
  std::string colorName;      // colour book names of an entity's true colour
  std::string bookName;
};

class IdTranslator {
public:
  virtual ~IdTranslator() = default;
  // The id in the target for an id of the source (null when it has none).
  virtual AcDbStub* translate(AcDbStub* id) const = 0;
};

// While the owner is new, its parts (attributes, vertices) live here; once the owner is in a
// database they are objects of their own and only their ids are kept.
class PartList {
public:
  PartList() = default;
  // A deep copy: every part of other (held or in the database) cloned and held here.
  explicit PartList(const PartList& other);
  PartList& operator=(const PartList&) = delete;
  std::vector<std::unique_ptr<AcDbEntity>> pending;
  std::vector<AcDbStub*> pendingSources;  // the part each pending one was copied from, or null
  std::vector<AcDbStub*> ids;
};

// Adds the parts an owner held while new to the owner's database (closed, owned by it).
void addPendingParts(AcDbEntity& owner, PartList& parts);
// Runs change(obj) on an object in a database as if it were open for write (parts that
// follow their owner).
template <class F> void changeAsOwner(AcDbObject& obj, F&& change);

// Reports misuse of the protocol through the installed handler.
void reportMisuse(Acad::ErrorStatus es, const char* what);

// Copies made while wblock / insert runs: which source object each new object came from.
struct CopyContext {
  bool keepHandles = false;
  std::unordered_map<AcDbStub*, AcDbStub*> map;  // source -> copy
};

// ---- helpers ---------------------------------------------------------------------------
using os::isLeadByte;
// The key a name is compared by: ASCII letters upper-cased, double-byte characters intact.
std::string nameKey(std::string_view name);
// nameKey(a) == nameKey(b), without making the keys.
bool sameName(std::string_view a, std::string_view b);
// A hash of nameKey(name), without making the key.
std::size_t nameHash(std::string_view name);
inline std::string safeString(const ACHAR* text) { return text ? std::string(text) : std::string(); }
// A new[] copy of text.
ACHAR* copyString(const std::string& text);
// OCS of a normal.
inline AcGeMatrix3d ocsToWorld(const AcGeVector3d& normal) { return AcGeMatrix3d::planeToWorld(normal); }
inline AcGeMatrix3d worldToOcs(const AcGeVector3d& normal) { return AcGeMatrix3d::worldToPlane(normal); }
// Shortest text that reads back as the same double.
std::string formatDouble(double value);
// True when xform maps lengths in the plane of normal by one factor (returned) and keeps
// the plane's shape (similarity of the plane); mirrored tells whether it flips orientation.
bool planeSimilarity(const AcGeMatrix3d& xform, const AcGeVector3d& normal, double& scale);
// The transformed normal of a plane (inverse transpose), unit length; null vector when
// degenerate.
AcGeVector3d transformNormal(const AcGeMatrix3d& xform, const AcGeVector3d& normal);

// The object behind a stub without opening it (internal use only).
inline AcDbObject* peek(AcDbStub* stub) { return stub ? stub->object : nullptr; }
template <class T> T* peekAs(AcDbStub* stub) { return T::cast(peek(stub)); }
inline bool isLive(AcDbStub* stub) {
  return stub && stub->object && !(stub->flags & AcDbStub::kErased);
}

// Privileged access to objects and databases for the database's own code.
struct ObjectAccess {
  enum : Adesk::UInt8 { kWrite = 1, kNotify = 2, kModified = 4 };

  static AcDbStub* stub(const AcDbObject& o) { return o.mpStub; }
  static Adesk::UInt8& attributeFlags(AcDbAttribute& a);
  static void setStub(AcDbObject& o, AcDbStub* s) { o.mpStub = s; }
  static AcDbStub* owner(const AcDbObject& o) { return o.mpOwner; }
  static void setOwner(AcDbObject& o, AcDbStub* s) { o.mpOwner = s; }
  static ObjectExtras& extras(AcDbObject& o);
  static const ObjectExtras* extrasIf(const AcDbObject& o) { return o.mpExtras.get(); }
  static Adesk::UInt8& openFlags(AcDbObject& o) { return o.mOpenFlags; }
  static Adesk::UInt16& readers(AcDbObject& o) { return o.mReaders; }
  // Opens an object in a database (the checks of acdbOpenObject after the id checks).
  static Acad::ErrorStatus open(AcDbObject& o, AcDb::OpenMode mode);
  static void markClosed(AcDbObject& o) { o.mReaders = 0; o.mOpenFlags &= ~(kWrite | kNotify); }

  static const AcRxClass* copyTypedData(AcDbObject& dst, const AcDbObject& src) { return dst.copyTypedData(src); }
  static void translateIds(AcDbObject& o, const IdTranslator& t) { o.translateIds(t); }
  static void addedToDatabase(AcDbObject& o) { o.addedToDatabase(); }
  static void collectParts(const AcDbObject& o, AcDbObjectIdArray& parts) { o.collectParts(parts); }

  static AcDbStub*& entityLayer(AcDbEntity& e) { return e.mpLayer; }
  static AcDbStub*& entityLinetype(AcDbEntity& e) { return e.mpLinetype; }
  static std::vector<AcDbStub*>& blockEntities(AcDbBlockTableRecord& r) { return r.mEntities; }
  static const std::vector<AcDbStub*>& blockEntities(const AcDbBlockTableRecord& r) { return r.mEntities; }
  static Adesk::UInt8& blockFlags(AcDbBlockTableRecord& r) { return r.mFlags; }
  static std::vector<AcDbStub*>& tableRecords(AcDbSymbolTable& t) { return t.mRecords; }
  static const std::vector<AcDbStub*>& tableRecords(const AcDbSymbolTable& t) { return t.mRecords; }
  static const std::string& recordName(const AcDbSymbolTableRecord& r) { return r.mName; }
  static void setRecordName(AcDbSymbolTableRecord& r, std::string name) { r.mName = std::move(name); }
  // Table bookkeeping (symtable.cpp).
  static Acad::ErrorStatus tableAppend(AcDbSymbolTable& table, AcDbStub* record);
  static AcDbStub* tableLookup(const AcDbSymbolTable& table, std::string_view name, bool erasedToo);
  static void tableReindex(AcDbSymbolTable& table);
  static Acad::ErrorStatus dictionaryAppend(AcDbDictionary& dict, const std::string& key, AcDbStub* id);
  static void renameEntry(AcDbDictionary& dict, AcDbStub* id, const std::string& key);
  static std::string& groupName(AcDbGroup& g) { return g.mName; }
  static PartList* parts(AcDbEntity& owner);  // attributes or vertices, null for other kinds
  static PartList& ensureParts(AcDbEntity& owner);

  static AcDbDatabase::Impl& impl(AcDbDatabase& db) { return *db.mImpl; }
  static const AcDbDatabase::Impl& impl(const AcDbDatabase& db) { return *db.mImpl; }

  static AcDbObjectIterator* newIterator(const PartList* parts);
  // The private data block of classes that keep their data behind a pointer.
  template <class T> static auto& pimpl(T& obj) { return obj.mpData; }
  template <class T> static AcDbRawTags& rawTagsOf(T& obj) { return obj.mTags; }
};

}  // namespace contura::db

// ---- the database's own state ------------------------------------------------------------
namespace contura::db {
// Open-addressed map from handle to stub (no per-object allocation).
class HandleIndex {
public:
  AcDbStub* find(Adesk::UInt64 handle) const;
  void insert(AcDbStub* stub);  // the handle must not be present
  size_t size() const { return mCount; }

private:
  void grow();
  std::vector<AcDbStub*> mSlots;
  size_t mCount = 0;
};
}  // namespace contura::db

namespace contura::db {
// Stubs are made in chunks of this many, on the object heap.
constexpr size_t kStubChunk = 4096;
struct StubChunkRelease {
  void operator()(AcDbStub* chunk) const noexcept;
};
using StubChunk = std::unique_ptr<AcDbStub[], StubChunkRelease>;
StubChunk newStubChunk();
}  // namespace contura::db

struct AcDbDatabase::Impl {
  static constexpr size_t kChunk = contura::db::kStubChunk;
  enum { kBlockTable, kLayerTable, kTextStyleTable, kLinetypeTable, kViewTable, kUCSTable,
         kViewportTable, kRegAppTable, kDimStyleTable, kTableCount };

  explicit Impl(AcDbDatabase* owner) : self(owner) {}
  AcDbDatabase* self;
  std::vector<contura::db::StubChunk> chunks;
  size_t usedInLast = kChunk;
  contura::db::HandleIndex index;
  Adesk::UInt64 handseed = 1;
  Adesk::UInt64 largestHandle = 0;  // the largest handle any stub has
  AcDbStub* tables[kTableCount] = {};
  AcDbStub* namedObjects = nullptr;
  AcDbStub* clayer = nullptr;
  AcDbStub* textstyle = nullptr;
  AcDbStub* celtype = nullptr;
  AcDbStub* dimstyle = nullptr;
  AcCmColor cecolor;
  double celtscale = 1.0;
  double ltscale = 1.0;
  double textsize = 2.5;
  Adesk::Int16 celweight = AcDb::kLnWtByLayer;
  AcGePoint3d insbase;
  AcGePoint3d extmin{1e20, 1e20, 1e20};
  AcGePoint3d extmax{-1e20, -1e20, -1e20};
  std::string fileName;
  std::string lastFileMessage;
  contura::db::RawHeader rawHeader;
  contura::db::RawHeader rawSections;
  contura::db::CopyContext* copyContext = nullptr;
  Adesk::Int32 objectCount = 0;
  // The change history (contura/db/changes.h): the stub of every change since the change
  // numbered changeLogStart, oldest first; changeCount changes in all.
  std::uint64_t changeCount = 0;
  std::uint64_t changeLogStart = 0;
  std::vector<AcDbStub*> changeLog;
  void recordChange(AcDbStub* stub);

  AcDbStub* newStub(Adesk::UInt64 handle);
  AcDbStub* findStub(Adesk::UInt64 handle) const { return index.find(handle); }
  Adesk::UInt64 takeHandle();
  // Adds a new object: a fresh handle (or `handle` when not 0), open for write. The object
  // then adds its parts (addedToDatabase).
  Acad::ErrorStatus addObject(AcDbObject* obj, AcDbStub*& stub, Adesk::UInt64 handle = 0);
  template <class F> void forEachStub(F&& f) const {
    for (size_t c = 0; c < chunks.size(); ++c) {
      const size_t n = (c + 1 == chunks.size()) ? usedInLast : kChunk;
      for (size_t i = 0; i < n; ++i) f(&chunks[c][i]);
    }
  }
  bool ownsStub(const AcDbStub* stub) const;
  AcDbStub* modelSpace() const;
  AcDbStub* lookupRecord(int table, std::string_view name) const;
};

template <class F> void contura::db::changeAsOwner(AcDbObject& obj, F&& change) {
  Adesk::UInt8& flags = ObjectAccess::openFlags(obj);
  const Adesk::UInt8 saved = flags;
  flags |= ObjectAccess::kWrite;
  change(obj);
  flags = saved;
}

// Every database alive in the process (for validating entity names).
std::vector<AcDbDatabase*>& liveDatabases();
