// Core of the database: handles, ids, stubs and their index, extents, misuse reports and
// small shared helpers.
#include "internal.h"
#include "contura/db/changes.h"
#include "object_heap.h"

#include <contura/db/diagnostics.h>
#include <acutmem.h>
#include <dbextents.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <unordered_set>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

namespace contura::db {

namespace {
void defaultMisuseHandler(Acad::ErrorStatus es, const char* what) {
  std::fprintf(stderr, "drawing database misuse (status %d): %s\n", int(es), what);
#ifndef NDEBUG
  std::abort();
#endif
}
MisuseHandler gMisuseHandler = &defaultMisuseHandler;
}  // namespace

MisuseHandler setMisuseHandler(MisuseHandler handler) {
  MisuseHandler previous = gMisuseHandler;
  gMisuseHandler = handler ? handler : &defaultMisuseHandler;
  return previous;
}

void reportMisuse(Acad::ErrorStatus es, const char* what) { gMisuseHandler(es, what); }

std::string nameKey(std::string_view name) {
  std::string key(name);
  for (size_t i = 0; i < key.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(key[i]);
    if (isLeadByte(c) && i + 1 < key.size()) {
      ++i;  // the trail byte is part of the character, never a letter
    } else if (c >= 'a' && c <= 'z') {
      key[i] = char(c - 'a' + 'A');
    }
  }
  return key;
}

namespace {
unsigned char upperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c; }
}  // namespace

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (isLeadByte(x) && i + 1 < a.size()) {
      // A double-byte character: equal bytes (then b has the same character here too).
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (upperAscii(x) != upperAscii(y)) {
      return false;
    }
  }
  return true;
}

size_t nameHash(std::string_view name) {
  // FNV-1a over the bytes of the name's key.
  constexpr std::uint64_t kOffset = 14695981039346656037ull, kPrime = 1099511628211ull;
  std::uint64_t h = kOffset;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (isLeadByte(c) && i + 1 < name.size()) {
      h = (h ^ c) * kPrime;
      c = static_cast<unsigned char>(name[++i]);  // the trail byte, never folded
    } else {
      c = upperAscii(c);
    }
    h = (h ^ c) * kPrime;
  }
  return size_t(h);
}

ACHAR* copyString(const std::string& text) {
  ACHAR* out = new ACHAR[text.size() + 1];
  std::memcpy(out, text.c_str(), text.size() + 1);
  return out;
}

std::string formatDouble(double value) {
  char buf[64];
  auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

bool planeSimilarity(const AcGeMatrix3d& xform, const AcGeVector3d& normal, double& scale) {
  const AcGeMatrix3d ocs = ocsToWorld(normal);
  AcGeVector3d u(ocs(0, 0), ocs(1, 0), ocs(2, 0));
  AcGeVector3d v(ocs(0, 1), ocs(1, 1), ocs(2, 1));
  u.transformBy(xform);
  v.transformBy(xform);
  const double lu = u.length();
  const double lv = v.length();
  scale = lu;
  if (lu <= kZeroLength || lv <= kZeroLength) return false;
  if (std::fabs(lu - lv) > kSimilarityTol * std::max(lu, lv)) return false;
  return std::fabs(u.dotProduct(v)) <= kSimilarityTol * lu * lv;
}

AcGeVector3d transformNormal(const AcGeMatrix3d& xform, const AcGeVector3d& normal) {
  // The plane's normal maps by the inverse transpose of the linear part.
  AcGeMatrix3d linear = xform;
  linear.setTranslation(AcGeVector3d());
  AcGeMatrix3d inv;
  if (!linear.inverse(inv, kSingularTol)) return AcGeVector3d();
  AcGeMatrix3d it = inv.transpose();
  AcGeVector3d n = normal;
  n.transformBy(it);
  const double len = n.length();
  return len > kZeroLength ? n / len : AcGeVector3d();
}

PartList::PartList(const PartList& other) {
  for (const auto& part : other.pending) {
    pending.emplace_back(static_cast<AcDbEntity*>(part->clone()));
    pendingSources.push_back(nullptr);
  }
  for (AcDbStub* id : other.ids) {
    AcDbEntity* part = peekAs<AcDbEntity>(id);
    if (part == nullptr || (id->flags & AcDbStub::kErased)) continue;
    pending.emplace_back(static_cast<AcDbEntity*>(part->clone()));
    pendingSources.push_back(id);
  }
  // A clone can only fail for a class without constructor; drop such holes.
  for (size_t i = pending.size(); i-- > 0;) {
    if (!pending[i]) {
      pending.erase(pending.begin() + long(i));
      pendingSources.erase(pendingSources.begin() + long(i));
    }
  }
}

}  // namespace contura::db

// ---- handle index ----------------------------------------------------------------------
namespace contura::db {
namespace {
inline size_t slotOf(Adesk::UInt64 handle, size_t mask) {
  return size_t((handle * 0x9E3779B97F4A7C15ull) >> 17) & mask;
}
}  // namespace

AcDbStub* HandleIndex::find(Adesk::UInt64 handle) const {
  if (mSlots.empty()) return nullptr;
  const size_t mask = mSlots.size() - 1;
  for (size_t i = slotOf(handle, mask);; i = (i + 1) & mask) {
    AcDbStub* s = mSlots[i];
    if (s == nullptr) return nullptr;
    if (s->handle == handle) return s;
  }
}

void HandleIndex::insert(AcDbStub* stub) {
  if ((mCount + 1) * 10 > mSlots.size() * 7) grow();
  const size_t mask = mSlots.size() - 1;
  size_t i = slotOf(stub->handle, mask);
  while (mSlots[i] != nullptr) i = (i + 1) & mask;
  mSlots[i] = stub;
  ++mCount;
}

void HandleIndex::grow() {
  std::vector<AcDbStub*> old;
  old.swap(mSlots);
  mSlots.assign(old.empty() ? 1024 : old.size() * 2, nullptr);
  const size_t mask = mSlots.size() - 1;
  for (AcDbStub* s : old) {
    if (s == nullptr) continue;
    size_t i = slotOf(s->handle, mask);
    while (mSlots[i] != nullptr) i = (i + 1) & mask;
    mSlots[i] = s;
  }
}
}  // namespace contura::db

// ---- database storage ------------------------------------------------------------------
namespace contura::db {
// Stubs are plain data (nothing to destroy): a chunk is made in place and given back whole.
static_assert(std::is_trivially_destructible_v<AcDbStub>);

void StubChunkRelease::operator()(AcDbStub* chunk) const noexcept {
  heap::release(chunk, kStubChunk * sizeof(AcDbStub));
}

StubChunk newStubChunk() {
  auto* chunk = static_cast<AcDbStub*>(heap::allocate(kStubChunk * sizeof(AcDbStub)));
  std::uninitialized_default_construct_n(chunk, kStubChunk);
  return StubChunk(chunk);
}
}  // namespace contura::db

AcDbStub* AcDbDatabase::Impl::newStub(Adesk::UInt64 handle) {
  if (usedInLast == kChunk) {
    chunks.push_back(contura::db::newStubChunk());
    usedInLast = 0;
  }
  AcDbStub* stub = &chunks.back()[usedInLast++];
  stub->database = self;
  stub->handle = handle;
  index.insert(stub);
  if (handle >= handseed) handseed = handle + 1;
  if (handle > largestHandle) largestHandle = handle;
  return stub;
}

Adesk::UInt64 AcDbDatabase::Impl::takeHandle() {
  // Above every handle in use, the seed is free without asking the index (the usual case:
  // the seed only falls below a used handle when a drawing file sets it so).
  if (handseed > largestHandle) return handseed++;
  while (index.find(handseed) != nullptr) ++handseed;
  return handseed++;
}

Acad::ErrorStatus AcDbDatabase::Impl::addObject(AcDbObject* obj, AcDbStub*& stub,
                                                Adesk::UInt64 handle) {
  using contura::db::ObjectAccess;
  if (obj == nullptr) return Acad::eNullObjectPointer;
  if (ObjectAccess::stub(*obj) != nullptr) return Acad::eAlreadyInDb;
  if (handle == 0) {
    stub = newStub(takeHandle());
  } else {
    stub = findStub(handle);
    if (stub != nullptr) {
      if (stub->object != nullptr || (stub->flags & AcDbStub::kGone)) return Acad::eHandleInUse;
    } else {
      stub = newStub(handle);
    }
  }
  stub->object = obj;
  ObjectAccess::setStub(*obj, stub);
  ObjectAccess::readers(*obj) = 0;
  ObjectAccess::openFlags(*obj) = ObjectAccess::kWrite;
  ++objectCount;
  recordChange(stub);
  ObjectAccess::addedToDatabase(*obj);
  return Acad::eOk;
}

namespace {
// The change history keeps at most this many changes; older ones are forgotten half at a time.
constexpr std::size_t kChangeHistory = std::size_t(1) << 20;
}  // namespace

void AcDbDatabase::Impl::recordChange(AcDbStub* stub) {
  if (changeLog.size() >= kChangeHistory) {
    const std::size_t forgotten = changeLog.size() / 2;
    changeLog.erase(changeLog.begin(), changeLog.begin() + static_cast<std::ptrdiff_t>(forgotten));
    changeLogStart += forgotten;
  }
  changeLog.push_back(stub);
  ++changeCount;
}

std::uint64_t contura::db::changeCount(const AcDbDatabase& db) {
  return ObjectAccess::impl(db).changeCount;
}

bool contura::db::changedSince(const AcDbDatabase& db, std::uint64_t since, std::vector<AcDbObjectId>& changed) {
  const AcDbDatabase::Impl& impl = ObjectAccess::impl(db);
  changed.clear();
  if (since < impl.changeLogStart || since > impl.changeCount) return false;
  // Newest first, each stub once, then turned back into the order of last change.
  std::unordered_set<const AcDbStub*> seen;
  for (std::size_t i = impl.changeLog.size(); i-- > since - impl.changeLogStart;) {
    AcDbStub* stub = impl.changeLog[i];
    if (seen.insert(stub).second) changed.emplace_back(stub);
  }
  std::reverse(changed.begin(), changed.end());
  return true;
}

bool AcDbDatabase::Impl::ownsStub(const AcDbStub* stub) const {
  for (const auto& chunk : chunks) {
    const AcDbStub* first = chunk.get();
    if (stub >= first && stub < first + kChunk) return true;
  }
  return false;
}

std::vector<AcDbDatabase*>& liveDatabases() {
  // Never destroyed: databases held by other static objects may die after this one would.
  static auto* dbs = new std::vector<AcDbDatabase*>();
  return *dbs;
}

// ---- handles and ids -----------------------------------------------------------------------
AcDbHandle::AcDbHandle(const ACHAR* hexString) {
  if (hexString == nullptr) return;
  const size_t len = std::strlen(hexString);
  if (len == 0 || len > 16) return;
  Adesk::UInt64 value = 0;
  auto result = std::from_chars(hexString, hexString + len, value, 16);
  if (result.ec == std::errc() && result.ptr == hexString + len) mValue = value;
}

bool AcDbHandle::getIntoAsciiBuffer(ACHAR* pBuf, size_t nBufLen) const {
  char tmp[17];
  auto result = std::to_chars(tmp, tmp + sizeof tmp, mValue, 16);
  const size_t n = size_t(result.ptr - tmp);
  if (pBuf == nullptr || nBufLen < n + 1) return false;
  for (size_t i = 0; i < n; ++i) pBuf[i] = char(std::toupper(static_cast<unsigned char>(tmp[i])));
  pBuf[n] = '\0';
  return true;
}

const AcDbObjectId AcDbObjectId::kNull;

bool AcDbObjectId::isValid() const { return mId != nullptr && mId->object != nullptr; }
bool AcDbObjectId::isErased() const {
  return mId != nullptr && mId->object != nullptr && (mId->flags & AcDbStub::kErased) != 0;
}
AcDbHandle AcDbObjectId::handle() const { return mId ? AcDbHandle(mId->handle) : AcDbHandle(); }
AcDbDatabase* AcDbObjectId::database() const { return mId ? mId->database : nullptr; }

// ---- extents -----------------------------------------------------------------------------
namespace {
constexpr double kEmptyExtent = 1e20;
}

AcDbExtents::AcDbExtents()
    : mMin(kEmptyExtent, kEmptyExtent, kEmptyExtent), mMax(-kEmptyExtent, -kEmptyExtent, -kEmptyExtent) {}
AcDbExtents::AcDbExtents(const AcGePoint3d& min, const AcGePoint3d& max) : mMin(min), mMax(max) {}

Acad::ErrorStatus AcDbExtents::set(const AcGePoint3d& min, const AcGePoint3d& max) {
  if (min.x > max.x || min.y > max.y || min.z > max.z) return Acad::eInvalidExtents;
  mMin = min;
  mMax = max;
  return Acad::eOk;
}

void AcDbExtents::addPoint(const AcGePoint3d& pt) {
  mMin.set(std::min(mMin.x, pt.x), std::min(mMin.y, pt.y), std::min(mMin.z, pt.z));
  mMax.set(std::max(mMax.x, pt.x), std::max(mMax.y, pt.y), std::max(mMax.z, pt.z));
}

void AcDbExtents::addExt(const AcDbExtents& src) {
  if (src.isEmpty()) return;
  addPoint(src.mMin);
  addPoint(src.mMax);
}

void AcDbExtents::expandBy(const AcGeVector3d& vec) {
  if (isEmpty()) return;
  AcGePoint3d lo = mMin, hi = mMax;
  for (unsigned i = 0; i < 3; ++i) {
    if (vec[i] < 0) lo[i] += vec[i]; else hi[i] += vec[i];
  }
  mMin = lo;
  mMax = hi;
}

void AcDbExtents::transformBy(const AcGeMatrix3d& mat) {
  if (isEmpty()) return;
  AcDbExtents out;
  for (int i = 0; i < 8; ++i) {
    AcGePoint3d corner((i & 1) ? mMax.x : mMin.x, (i & 2) ? mMax.y : mMin.y, (i & 4) ? mMax.z : mMin.z);
    out.addPoint(mat * corner);
  }
  *this = out;
}

// ---- strings -----------------------------------------------------------------------------
ACHAR* acutNewString(const ACHAR* pInput) {
  return pInput ? contura::db::copyString(pInput) : nullptr;
}

void acutDelString(ACHAR*& pString) {
  delete[] pString;
  pString = nullptr;
}
