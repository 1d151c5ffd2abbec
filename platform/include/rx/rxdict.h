// AcRxDictionary: runtime objects by name, as the system registry and the class dictionary
// hold them. Entries also have ids (0, 1, 2, ... in insertion order; ids are not reused).
#pragma once
#include <rxobject.h>

#include <map>
#include <string>
#include <vector>

class AcRxDictionary;

// Walks a dictionary. The dictionary must outlive the iterator; entries removed while
// walking are skipped, entries added are not visited.
class AcRxDictionaryIterator : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(AcRxDictionaryIterator);
  AcRxDictionaryIterator(const AcRxDictionary* pDict, std::vector<Adesk::UInt32> ids);

  bool done() const;
  bool next();  // false once done
  const ACHAR* key() const;      // null when done
  AcRxObject* object() const;    // null when done
  Adesk::UInt32 id() const;

private:
  void skipRemoved();
  const AcRxDictionary* m_pDict;
  std::vector<Adesk::UInt32> m_ids;
  size_t m_pos = 0;
};

class AcRxDictionary : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(AcRxDictionary);
  // sorted: the default iteration is by key; ignoreCase: keys compare ignoring the case of
  // ASCII letters (double-byte characters are compared whole); deleteObjects: the
  // dictionary deletes the objects it holds when it is deleted.
  explicit AcRxDictionary(bool sorted = true, bool ignoreCase = false, bool deleteObjects = true);
  ~AcRxDictionary() override;
  AcRxDictionary(const AcRxDictionary&) = delete;
  AcRxDictionary& operator=(const AcRxDictionary&) = delete;

  AcRxObject* at(const ACHAR* key) const;  // null when absent
  AcRxObject* at(Adesk::UInt32 id) const;  // null when absent
  // Puts pObject under key. Returns the object it replaces (now owned by the caller) or
  // null. A null key or object changes nothing and returns null.
  AcRxObject* atPut(const ACHAR* key, AcRxObject* pObject);
  AcRxObject* atPut(const ACHAR* key, AcRxObject* pObject, Adesk::UInt32& retId);
  // Renames an entry; false when oldKey is absent or newKey is taken by another entry.
  bool resetKey(const ACHAR* oldKey, const ACHAR* newKey);
  // Takes an entry out; returns its object (now owned by the caller) or null.
  AcRxObject* remove(const ACHAR* key);
  AcRxObject* remove(Adesk::UInt32 id);
  bool has(const ACHAR* key) const;
  bool has(Adesk::UInt32 id) const;
  Adesk::UInt32 idAt(const ACHAR* key) const;  // (Adesk::UInt32)-1 when absent
  const ACHAR* keyAt(Adesk::UInt32 id) const;  // null when absent
  Adesk::UInt32 numEntries() const;

  // A new iterator the caller deletes: kDictSorted walks by key (byte order, case folded
  // when the dictionary ignores case), kDictCollated by insertion.
  AcRxDictionaryIterator* newIterator(AcRx::DictIterType type = AcRx::kDictSorted) const;
  bool deletesObjects() const { return m_bDeleteObjects; }
  bool isCaseSensitive() const { return !m_bIgnoreCase; }
  bool isSorted() const { return m_bSorted; }

private:
  struct Entry {
    std::string key;
    AcRxObject* object = nullptr;  // null once removed
  };
  std::string lookupKey(const ACHAR* key) const;
  const Entry* liveEntry(Adesk::UInt32 id) const;

  bool m_bSorted;
  bool m_bIgnoreCase;
  bool m_bDeleteObjects;
  std::vector<Entry> m_entries;                    // by id
  std::map<std::string, Adesk::UInt32> m_byKey;    // lookup key -> id
};
