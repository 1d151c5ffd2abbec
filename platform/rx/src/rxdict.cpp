// AcRxDictionary and its iterator.
#include <rxdict.h>

#include <afxstr.h>

#include <algorithm>

ACRX_CONS_DEFINE_MEMBERS(AcRxDictionary, AcRxObject, 0)
ACRX_NO_CONS_DEFINE_MEMBERS(AcRxDictionaryIterator, AcRxObject)

namespace {
constexpr Adesk::UInt32 kNoId = static_cast<Adesk::UInt32>(-1);
}

// ---- AcRxDictionary

AcRxDictionary::AcRxDictionary(bool sorted, bool ignoreCase, bool deleteObjects)
    : m_bSorted(sorted), m_bIgnoreCase(ignoreCase), m_bDeleteObjects(deleteObjects) {}

AcRxDictionary::~AcRxDictionary() {
  if (!m_bDeleteObjects) return;
  for (Entry& e : m_entries) {
    delete e.object;
    e.object = nullptr;
  }
}

std::string AcRxDictionary::lookupKey(const ACHAR* key) const {
  if (!m_bIgnoreCase) return key;
  // Upper-cases ASCII letters only, stepping over double-byte characters whole, so that a
  // trail byte that happens to be a letter is left alone.
  CString folded(key);
  folded.MakeUpper();
  return folded.str();
}

const AcRxDictionary::Entry* AcRxDictionary::liveEntry(Adesk::UInt32 id) const {
  if (id >= m_entries.size() || m_entries[id].object == nullptr) return nullptr;
  return &m_entries[id];
}

AcRxObject* AcRxDictionary::at(const ACHAR* key) const { return at(idAt(key)); }

AcRxObject* AcRxDictionary::at(Adesk::UInt32 id) const {
  const Entry* e = liveEntry(id);
  return e != nullptr ? e->object : nullptr;
}

AcRxObject* AcRxDictionary::atPut(const ACHAR* key, AcRxObject* pObject) {
  Adesk::UInt32 id = kNoId;
  return atPut(key, pObject, id);
}

AcRxObject* AcRxDictionary::atPut(const ACHAR* key, AcRxObject* pObject, Adesk::UInt32& retId) {
  retId = kNoId;
  if (key == nullptr || pObject == nullptr) return nullptr;
  std::string lk = lookupKey(key);
  auto found = m_byKey.find(lk);
  if (found != m_byKey.end()) {
    retId = found->second;
    Entry& e = m_entries[found->second];
    AcRxObject* previous = e.object;
    e.object = pObject;
    return previous == pObject ? nullptr : previous;
  }
  retId = static_cast<Adesk::UInt32>(m_entries.size());
  m_entries.push_back(Entry{key, pObject});
  m_byKey.emplace(std::move(lk), retId);
  return nullptr;
}

bool AcRxDictionary::resetKey(const ACHAR* oldKey, const ACHAR* newKey) {
  if (oldKey == nullptr || newKey == nullptr) return false;
  auto found = m_byKey.find(lookupKey(oldKey));
  if (found == m_byKey.end()) return false;
  std::string newLookup = lookupKey(newKey);
  auto taken = m_byKey.find(newLookup);
  if (taken != m_byKey.end() && taken->second != found->second) return false;
  Adesk::UInt32 id = found->second;
  m_byKey.erase(found);
  m_byKey.emplace(std::move(newLookup), id);
  m_entries[id].key = newKey;
  return true;
}

AcRxObject* AcRxDictionary::remove(const ACHAR* key) { return remove(idAt(key)); }

AcRxObject* AcRxDictionary::remove(Adesk::UInt32 id) {
  if (liveEntry(id) == nullptr) return nullptr;
  Entry& e = m_entries[id];
  m_byKey.erase(lookupKey(e.key.c_str()));
  AcRxObject* object = e.object;
  e.object = nullptr;
  e.key.clear();
  return object;
}

bool AcRxDictionary::has(const ACHAR* key) const { return idAt(key) != kNoId; }
bool AcRxDictionary::has(Adesk::UInt32 id) const { return liveEntry(id) != nullptr; }

Adesk::UInt32 AcRxDictionary::idAt(const ACHAR* key) const {
  if (key == nullptr) return kNoId;
  auto found = m_byKey.find(lookupKey(key));
  return found != m_byKey.end() ? found->second : kNoId;
}

const ACHAR* AcRxDictionary::keyAt(Adesk::UInt32 id) const {
  const Entry* e = liveEntry(id);
  return e != nullptr ? e->key.c_str() : nullptr;
}

Adesk::UInt32 AcRxDictionary::numEntries() const {
  return static_cast<Adesk::UInt32>(m_byKey.size());
}

AcRxDictionaryIterator* AcRxDictionary::newIterator(AcRx::DictIterType type) const {
  std::vector<Adesk::UInt32> ids;
  ids.reserve(m_byKey.size());
  if (type == AcRx::kDictSorted) {
    for (const auto& [key, id] : m_byKey) ids.push_back(id);
  } else {
    for (Adesk::UInt32 id = 0; id < m_entries.size(); ++id)
      if (m_entries[id].object != nullptr) ids.push_back(id);
  }
  return new AcRxDictionaryIterator(this, std::move(ids));
}

// ---- AcRxDictionaryIterator

AcRxDictionaryIterator::AcRxDictionaryIterator(const AcRxDictionary* pDict,
                                               std::vector<Adesk::UInt32> ids)
    : m_pDict(pDict), m_ids(std::move(ids)) {
  skipRemoved();
}

void AcRxDictionaryIterator::skipRemoved() {
  while (m_pos < m_ids.size() && !m_pDict->has(m_ids[m_pos])) ++m_pos;
}

bool AcRxDictionaryIterator::done() const { return m_pos >= m_ids.size(); }

bool AcRxDictionaryIterator::next() {
  if (done()) return false;
  ++m_pos;
  skipRemoved();
  return !done();
}

const ACHAR* AcRxDictionaryIterator::key() const {
  return done() ? nullptr : m_pDict->keyAt(m_ids[m_pos]);
}

AcRxObject* AcRxDictionaryIterator::object() const {
  return done() ? nullptr : m_pDict->at(m_ids[m_pos]);
}

Adesk::UInt32 AcRxDictionaryIterator::id() const { return done() ? kNoId : m_ids[m_pos]; }
