// AcDbObjectId: how callers name a database object. An id stays valid for the life of its
// database, also after the object is erased; it never points at freed memory.
#pragma once
#include <adesk.h>
#include <dbhandle.h>

#include <cstddef>
#include <functional>

class AcDbDatabase;
class AcDbStub;

class AcDbObjectId {
public:
  constexpr AcDbObjectId() = default;  // the null id
  constexpr AcDbObjectId(AcDbStub* stub) : mId(stub) {}

  static const AcDbObjectId kNull;

  bool isNull() const { return mId == nullptr; }
  void setNull() { mId = nullptr; }
  // Not null and naming an object that exists (erased or not).
  bool isValid() const;
  // The object is erased (false for null and for ids whose object never arrived).
  bool isErased() const;
  bool isEffectivelyErased() const { return isErased(); }
  // The object's handle; the null handle for the null id.
  AcDbHandle handle() const;
  // The database the id belongs to; null for the null id.
  AcDbDatabase* database() const;
  AcDbDatabase* originalDatabase() const { return database(); }

  operator AcDbStub*() const { return mId; }
  AcDbObjectId& operator=(AcDbStub* stub) { mId = stub; return *this; }

  bool operator==(const AcDbObjectId& id) const { return mId == id.mId; }
  bool operator!=(const AcDbObjectId& id) const { return mId != id.mId; }
  bool operator<(const AcDbObjectId& id) const { return std::less<AcDbStub*>()(mId, id.mId); }
  bool operator>(const AcDbObjectId& id) const { return id < *this; }
  bool operator<=(const AcDbObjectId& id) const { return !(id < *this); }
  bool operator>=(const AcDbObjectId& id) const { return !(*this < id); }
  bool operator==(const AcDbStub* stub) const { return mId == stub; }
  bool operator!=(const AcDbStub* stub) const { return mId != stub; }

  // Hash value for unordered containers.
  std::size_t hash() const { return std::hash<AcDbStub*>()(mId); }

private:
  AcDbStub* mId = nullptr;
};

// Ids of the two kinds the host distinguishes by ownership semantics; here they are the
// same id with the same behaviour.
typedef AcDbObjectId AcDbHardOwnershipId;
typedef AcDbObjectId AcDbSoftOwnershipId;
typedef AcDbObjectId AcDbHardPointerId;
typedef AcDbObjectId AcDbSoftPointerId;

template <> struct std::hash<AcDbObjectId> {
  std::size_t operator()(const AcDbObjectId& id) const noexcept { return id.hash(); }
};
