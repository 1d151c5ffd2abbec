// AcDbDictionary: named entries that own (or point to) objects, with an iterator.
//
// Keys are compared without regard to the case of ASCII letters (double-byte characters of
// code page 936 as they are) and kept as given. Entries whose object is erased are skipped by
// lookups, counts and iterators. Changing a dictionary needs it open for write
// (eNotOpenForWrite).
#pragma once
#include <dbmain.h>

#include <string>
#include <vector>

class AcDbDictionaryIterator;

class AcDbDictionary : public AcDbObject {
public:
  ACRX_DECLARE_MEMBERS(AcDbDictionary);
  AcDbDictionary();
  ~AcDbDictionary() override;

  // How entries are merged when drawings are combined (kept for the drawing file).
  enum DuplicateRecordCloning { kDrcNotApplicable = 0, kDrcIgnore = 1, kDrcReplace = 2,
                                kDrcXrefMangleName = 3, kDrcMangleName = 4,
                                kDrcUnmangleName = 5 };

  // eKeyNotFound when there is no entry of that name.
  Acad::ErrorStatus getAt(const ACHAR* entryName, AcDbObject*& entryObj, AcDb::OpenMode mode) const;
  Acad::ErrorStatus getAt(const ACHAR* entryName, AcDbObjectId& entryObj) const;
  // The key of the entry holding objId (copy); eKeyNotFound.
  Acad::ErrorStatus nameAt(AcDbObjectId objId, ACHAR*& name) const;
  bool has(const ACHAR* entryName) const;
  bool has(AcDbObjectId objId) const;
  Adesk::UInt32 numEntries() const;

  // Takes the entry out; its object is not erased and no longer has this owner.
  Acad::ErrorStatus remove(const ACHAR* key);
  Acad::ErrorStatus remove(const ACHAR* key, AcDbObjectId& returnId);
  Acad::ErrorStatus remove(AcDbObjectId objId);
  // False when oldName is missing or newName is taken (or empty).
  bool setName(const ACHAR* oldName, const ACHAR* newName);
  // Puts newValue under srchKey. A new object is added to this dictionary's database (open
  // for write: close it) and owned by the dictionary; an object already in the database is
  // taken as it is (eWrongDatabase when it belongs to another one). When the key is taken,
  // the old entry's object is erased if this dictionary owns it, and the entry holds the new
  // object. eInvalidKey for an empty key, eNullObjectPointer, eNoDatabase when the dictionary
  // is not in a database. A group put here takes the key as its name.
  Acad::ErrorStatus setAt(const ACHAR* srchKey, AcDbObject* newValue, AcDbObjectId& retObjId);

  bool isTreatElementsAsHard() const { return mHard; }
  void setTreatElementsAsHard(bool doIt);
  DuplicateRecordCloning mergeStyle() const { return DuplicateRecordCloning(mMergeStyle); }
  void setMergeStyle(DuplicateRecordCloning style);

  // kDictSorted walks the keys in order (case-insensitive byte order), kDictCollated in the
  // order the entries were made. The caller deletes the iterator.
  AcDbDictionaryIterator* newIterator(AcRx::DictIterType type = AcRx::kDictSorted) const;

protected:
  AcDbDictionary(const AcDbDictionary&);
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  void translateIds(const contura::db::IdTranslator& translator) override;

private:
  friend struct contura::db::ObjectAccess;
  friend class AcDbDictionaryIterator;
  struct Entry {
    std::string key;
    AcDbStub* id;
  };
  int findEntry(const ACHAR* key) const;  // index of the live entry, -1
  std::vector<Entry> mEntries;
  Adesk::UInt8 mMergeStyle = kDrcIgnore;
  bool mHard = false;
};

// Walks a snapshot of the entries taken when it was made.
class AcDbDictionaryIterator {
public:
  virtual ~AcDbDictionaryIterator();
  const ACHAR* name() const;  // null when done
  Acad::ErrorStatus getObject(AcDbObject*& pObject, AcDb::OpenMode openMode = AcDb::kForRead);
  AcDbObjectId objectId() const;
  bool done() const;
  bool next();  // false when it has moved past the last entry
  bool setPosition(AcDbObjectId objId);

private:
  friend class AcDbDictionary;
  AcDbDictionaryIterator() = default;
  std::vector<std::pair<std::string, AcDbStub*>> mEntries;
  size_t mPos = 0;
};
