// CString: the multi-byte (code page 936) MFC string over a std::string of bytes, long texts
// shared between copies until one of them changes.
#include "afxstr.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "afxres.h"
#include "mbcs.h"

namespace mb = contura::afx::mbcs;

namespace {

// MAKEINTRESOURCE values are below 0x10000; MFC loads the string resource for them.
bool isResourceId(const char* psz) {
  return psz != nullptr && reinterpret_cast<std::uintptr_t>(psz) < 0x10000;
}

// The C isspace set, for single bytes only: a double-byte character is never white space.
bool isWhite(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int clampLength(long long n) { return n < 0 ? 0 : static_cast<int>(n); }

// Byte offsets of every character start in s, plus s.size() at the end.
std::vector<std::size_t> charStarts(std::string_view s) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i)) starts.push_back(i);
  starts.push_back(s.size());
  return starts;
}

}  // namespace

// ---- sharing -------------------------------------------------------------------------------

void CString::release(Shared* shared) {
  if (shared != nullptr && shared->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete shared;
}

std::string& CString::own() {
  if (m_shared == nullptr) return m_data;
  if (m_shared->refs.load(std::memory_order_acquire) != 1) {
    // Other copies hold these bytes: take a copy of our own (still long, so still shareable).
    Shared* mine = new Shared(std::string(m_shared->bytes));
    release(m_shared);
    m_shared = mine;
  }
  return m_shared->bytes;
}

void CString::settle() {
  if (m_shared == nullptr && m_data.size() >= kShareFrom) {
    m_shared = new Shared(std::move(m_data));
    m_data.clear();
  }
}

// ---- construction and assignment -------------------------------------------------------------

CString::CString() = default;

CString::CString(const CString& other) : m_data(other.m_data), m_shared(other.m_shared) {
  if (m_shared != nullptr) m_shared->refs.fetch_add(1, std::memory_order_relaxed);
}

CString::CString(CString&& other) noexcept : m_data(std::move(other.m_data)), m_shared(other.m_shared) {
  other.m_data.clear();
  other.m_shared = nullptr;
}

CString::~CString() { release(m_shared); }

CString::CString(const char* psz) {
  if (isResourceId(psz)) {
    LoadString(static_cast<UINT>(reinterpret_cast<std::uintptr_t>(psz)));
  } else if (psz) {
    m_data = psz;
    settle();
  }
}

CString::CString(const char* pch, int nLength) {
  if (pch && nLength > 0) m_data.assign(pch, static_cast<std::size_t>(nLength));
  settle();
}

CString::CString(char ch, int nRepeat) {
  if (nRepeat > 0) m_data.assign(static_cast<std::size_t>(nRepeat), ch);
  settle();
}

CString::CString(std::string_view bytes) : m_data(bytes) { settle(); }

CString& CString::operator=(const CString& other) {
  CString copy(other);
  return *this = std::move(copy);
}

CString& CString::operator=(CString&& other) noexcept {
  if (this == &other) return *this;
  release(m_shared);
  m_data = std::move(other.m_data);
  m_shared = other.m_shared;
  other.m_data.clear();
  other.m_shared = nullptr;
  return *this;
}

CString& CString::operator=(const char* psz) {
  if (isResourceId(psz)) {
    LoadString(static_cast<UINT>(reinterpret_cast<std::uintptr_t>(psz)));
    return *this;
  }
  // psz may point into this string's own (or shared) bytes: copy before replacing.
  return *this = CString(std::string_view(psz ? psz : ""));
}

CString& CString::operator=(char ch) { return *this = CString(ch); }

// ---- size and access -----------------------------------------------------------------------

int CString::GetLength() const { return static_cast<int>(str().size()); }
BOOL CString::IsEmpty() const { return str().empty(); }
void CString::Empty() { *this = CString(); }

char CString::GetAt(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetLength()) return '\0';
  return str()[static_cast<std::size_t>(nIndex)];
}

void CString::SetAt(int nIndex, char ch) {
  if (nIndex >= 0 && nIndex < GetLength()) own()[static_cast<std::size_t>(nIndex)] = ch;
}

char CString::operator[](int nIndex) const { return GetAt(nIndex); }
CString::operator const char*() const { return str().c_str(); }
const char* CString::GetString() const { return str().c_str(); }

// ---- concatenation -------------------------------------------------------------------------

CString& CString::operator+=(const CString& s) {
  if (s.IsEmpty()) return *this;
  if (IsEmpty()) return *this = s;  // takes a share of a long text instead of a copy
  const CString keep(s);            // s may be this string itself
  own() += keep.str();
  settle();
  return *this;
}

CString& CString::operator+=(const char* psz) {
  if (psz) {
    std::string copy(psz);  // copy first: psz may point into this string's bytes
    own() += copy;
    settle();
  }
  return *this;
}

CString& CString::operator+=(char ch) {
  own() += ch;
  settle();
  return *this;
}

CString operator+(const CString& a, const CString& b) { return CString(std::string_view(a.str() + b.str())); }
CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
CString operator+(const char* a, const CString& b) { CString r(a ? a : ""); r += b; return r; }
CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
CString operator+(char a, const CString& b) { CString r(a); r += b; return r; }

// ---- comparison and extraction ---------------------------------------------------------------

int CString::Compare(const char* psz) const {
  return _mbscmp(reinterpret_cast<const unsigned char*>(GetString()),
                 reinterpret_cast<const unsigned char*>(psz ? psz : ""));
}

int CString::CompareNoCase(const char* psz) const {
  return _mbsicmp(reinterpret_cast<const unsigned char*>(GetString()),
                  reinterpret_cast<const unsigned char*>(psz ? psz : ""));
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const {
  long long first = nFirst < 0 ? 0 : nFirst;
  long long count = nCount < 0 ? 0 : nCount;
  long long len = GetLength();
  if (first >= len) return CString();
  if (first + count > len) count = len - first;
  if (first == 0 && count == len) return *this;  // the whole text: a copy, shared when long
  return CString(std::string_view(str()).substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const {
  int count = nCount < 0 ? 0 : (nCount > GetLength() ? GetLength() : nCount);
  return Mid(GetLength() - count, count);
}

CString CString::SpanIncluding(const char* pszCharSet) const {
  std::string_view s(str()), set(pszCharSet ? pszCharSet : "");
  std::size_t i = 0;
  while (i < s.size() && s[i] != '\0' && mb::charIn(s, i, set)) i += mb::charSize(s, i);
  return Left(static_cast<int>(i));
}

CString CString::SpanExcluding(const char* pszCharSet) const {
  std::string_view s(str()), set(pszCharSet ? pszCharSet : "");
  std::size_t i = 0;
  while (i < s.size() && s[i] != '\0' && !mb::charIn(s, i, set)) i += mb::charSize(s, i);
  return Left(static_cast<int>(i));
}

// ---- case and order ------------------------------------------------------------------------

CString& CString::MakeUpper() {
  std::string& d = own();
  std::string_view s(d);
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (mb::charSize(s, i) == 1 && d[i] >= 'a' && d[i] <= 'z') d[i] = static_cast<char>(d[i] - 'a' + 'A');
  return *this;
}

CString& CString::MakeLower() {
  std::string& d = own();
  std::string_view s(d);
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (mb::charSize(s, i) == 1 && d[i] >= 'A' && d[i] <= 'Z') d[i] = static_cast<char>(d[i] - 'A' + 'a');
  return *this;
}

CString& CString::MakeReverse() {
  // Reverses the order of characters; a double-byte character keeps its byte order.
  std::string& d = own();
  std::vector<std::size_t> starts = charStarts(d);
  std::string reversed;
  reversed.reserve(d.size());
  for (std::size_t k = starts.size() - 1; k > 0; --k)
    reversed.append(d, starts[k - 1], starts[k] - starts[k - 1]);
  d.swap(reversed);
  return *this;
}

// ---- trimming ------------------------------------------------------------------------------
// `drop` decides for a single-byte character whether it goes. What to keep is found first; the
// text is changed (and so unshared) only when something goes.
namespace {

template <class Drop>
std::size_t leftKeep(std::string_view s, Drop drop) {
  std::size_t i = 0;
  while (i < s.size() && mb::charSize(s, i) == 1 && drop(static_cast<unsigned char>(s[i]))) ++i;
  return i;
}

template <class Drop>
std::size_t rightKeep(std::string_view s, Drop drop) {
  // Walks forward so a trail byte is never judged on its own; keeps the end of the last
  // character that is not dropped.
  std::size_t end = 0;
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (mb::charSize(s, i) == 2 || !drop(static_cast<unsigned char>(s[i]))) end = i + mb::charSize(s, i);
  return end;
}

auto whiteDrop() { return [](unsigned char c) { return isWhite(c); }; }
auto charDrop(char target) { return [target](unsigned char c) { return c == static_cast<unsigned char>(target); }; }
auto setDrop(const char* targets) {
  std::string_view set(targets ? targets : "");
  return [set](unsigned char c) { return mb::singleByteIn(c, set); };
}

}  // namespace

void CString::dropFront(std::size_t n) {
  if (n > 0) own().erase(0, n);
}

void CString::keepFront(std::size_t n) {
  if (n < str().size()) own().resize(n);
}

CString& CString::TrimLeft() { dropFront(leftKeep(str(), whiteDrop())); return *this; }
CString& CString::TrimLeft(char chTarget) { dropFront(leftKeep(str(), charDrop(chTarget))); return *this; }
CString& CString::TrimLeft(const char* pszTargets) { dropFront(leftKeep(str(), setDrop(pszTargets))); return *this; }
CString& CString::TrimRight() { keepFront(rightKeep(str(), whiteDrop())); return *this; }
CString& CString::TrimRight(char chTarget) { keepFront(rightKeep(str(), charDrop(chTarget))); return *this; }
CString& CString::TrimRight(const char* pszTargets) { keepFront(rightKeep(str(), setDrop(pszTargets))); return *this; }
CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
CString& CString::Trim(const char* pszTargets) { return TrimRight(pszTargets).TrimLeft(pszTargets); }

// ---- editing -------------------------------------------------------------------------------

int CString::Replace(char chOld, char chNew) {
  if (chOld == chNew) return 0;
  // Character positions are found on the text as it is; it is unshared only if one matches.
  std::vector<std::size_t> hits;
  std::string_view s(str());
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (mb::charSize(s, i) == 1 && s[i] == chOld) hits.push_back(i);
  if (!hits.empty()) {
    std::string& d = own();
    for (std::size_t i : hits) d[i] = chNew;
  }
  return static_cast<int>(hits.size());
}

int CString::Replace(const char* pszOld, const char* pszNew) {
  if (!pszOld || !*pszOld) return 0;
  std::string_view from(pszOld);
  std::string to(pszNew ? pszNew : "");
  std::string out;
  int count = 0;
  std::string_view s(str());
  for (std::size_t i = 0; i < s.size();) {
    if (s.compare(i, from.size(), from) == 0) {
      out += to;
      i += from.size();
      ++count;
    } else {
      std::size_t n = mb::charSize(s, i);
      out.append(s.substr(i, n));
      i += n;
    }
  }
  if (count) *this = CString(std::string_view(out));
  return count;
}

int CString::Remove(char ch) {
  std::string out;
  int count = 0;
  std::string_view s(str());
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i)) {
    std::size_t n = mb::charSize(s, i);
    if (n == 1 && s[i] == ch) ++count;
    else out.append(s.substr(i, n));
  }
  if (count) *this = CString(std::string_view(out));
  return count;
}

int CString::Insert(int nIndex, char ch) {
  int at = nIndex < 0 ? 0 : (nIndex > GetLength() ? GetLength() : nIndex);
  own().insert(static_cast<std::size_t>(at), 1, ch);
  settle();
  return GetLength();
}

int CString::Insert(int nIndex, const char* psz) {
  int at = nIndex < 0 ? 0 : (nIndex > GetLength() ? GetLength() : nIndex);
  if (psz) {
    std::string copy(psz);  // psz may point into this string's bytes
    own().insert(static_cast<std::size_t>(at), copy);
    settle();
  }
  return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
  long long at = nIndex < 0 ? 0 : nIndex;
  long long count = nCount < 0 ? 0 : nCount;
  long long len = GetLength();
  if (at + count > len) count = len - at;
  if (count > 0) own().erase(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
  return GetLength();
}

// ---- searching -----------------------------------------------------------------------------

int CString::Find(char ch) const { return Find(ch, 0); }

int CString::Find(char ch, int nStart) const {
  if (nStart < 0 || nStart >= GetLength()) return -1;
  std::string_view s(str());
  auto start = static_cast<std::size_t>(nStart);
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (i >= start && mb::charSize(s, i) == 1 && s[i] == ch) return static_cast<int>(i);
  return -1;
}

int CString::Find(const char* pszSub) const { return Find(pszSub, 0); }

int CString::Find(const char* pszSub, int nStart) const {
  if (!pszSub || nStart < 0 || nStart > GetLength()) return -1;
  std::string_view s(str()), sub(pszSub);
  auto start = static_cast<std::size_t>(nStart);
  // Matches start at character boundaries of the whole string, at or after nStart; an empty
  // substring matches at the first boundary there (the end counts as one).
  for (std::size_t i = 0;; i += mb::charSize(s, i)) {
    if (i >= start && s.compare(i, sub.size(), sub) == 0) return static_cast<int>(i);
    if (i >= s.size()) return -1;
  }
}

int CString::ReverseFind(char ch) const {
  std::string_view s(str());
  int found = -1;
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (mb::charSize(s, i) == 1 && s[i] == ch) found = static_cast<int>(i);
  return found;
}

int CString::FindOneOf(const char* pszCharSet) const {
  std::string_view s(str()), set(pszCharSet ? pszCharSet : "");
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (mb::charIn(s, i, set)) return static_cast<int>(i);
  return -1;
}

// ---- formatting ----------------------------------------------------------------------------

void CString::FormatV(const char* pszFormat, va_list args) {
  if (!pszFormat) {
    Empty();
    return;
  }
  // The arguments may point into this string: format into a new buffer, then replace.
  va_list probe;
  va_copy(probe, args);
  int n = std::vsnprintf(nullptr, 0, pszFormat, probe);
  va_end(probe);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<std::size_t>(n) + 1);
    va_list fill;
    va_copy(fill, args);
    std::vsnprintf(out.data(), out.size(), pszFormat, fill);
    va_end(fill);
    out.resize(static_cast<std::size_t>(n));
  }
  *this = CString(std::string_view(out));
}

void CString::Format(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  FormatV(pszFormat, args);
  va_end(args);
}

void CString::AppendFormat(const char* pszFormat, ...) {
  CString tail;
  va_list args;
  va_start(args, pszFormat);
  tail.FormatV(pszFormat, args);
  va_end(args);
  *this += tail;
}

// ---- buffers and resources -----------------------------------------------------------------

char* CString::GetBuffer(int nMinBufLength) {
  // The buffer is the string itself (unshared first), grown with zero bytes to the asked size,
  // so that ReleaseBuffer(-1) finds the end of whatever the caller wrote. It stays where it is
  // until ReleaseBuffer, which may move a text that has grown long into a shared block.
  std::string& d = own();
  if (nMinBufLength > GetLength()) d.resize(static_cast<std::size_t>(nMinBufLength), '\0');
  return d.data();
}

char* CString::GetBufferSetLength(int nNewLength) {
  std::string& d = own();
  d.resize(static_cast<std::size_t>(clampLength(nNewLength)), '\0');
  return d.data();
}

void CString::ReleaseBuffer(int nNewLength) {
  std::string& d = own();
  std::size_t n = nNewLength < 0 ? std::strlen(d.c_str()) : static_cast<std::size_t>(nNewLength);
  if (n < d.size()) d.resize(n);
  settle();
}

BOOL CString::LoadString(UINT nID) {
  const char* text = AfxFindString(nID);
  *this = CString(std::string_view(text ? text : ""));
  return text != nullptr;
}

bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, const char* b) { return !(a == b); }
bool operator!=(const char* a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
