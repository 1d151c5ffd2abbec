// CString: the multi-byte (code page 936) MFC string over a std::string of bytes.
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

CString::CString() = default;
CString::CString(const CString& other) = default;
CString::CString(CString&& other) noexcept = default;
CString::~CString() = default;

CString::CString(const char* psz) {
  if (isResourceId(psz)) {
    LoadString(static_cast<UINT>(reinterpret_cast<std::uintptr_t>(psz)));
  } else if (psz) {
    m_data = psz;
  }
}

CString::CString(const char* pch, int nLength) {
  if (pch && nLength > 0) m_data.assign(pch, static_cast<std::size_t>(nLength));
}

CString::CString(char ch, int nRepeat) {
  if (nRepeat > 0) m_data.assign(static_cast<std::size_t>(nRepeat), ch);
}

CString::CString(std::string_view bytes) : m_data(bytes) {}

CString& CString::operator=(const CString& other) = default;
CString& CString::operator=(CString&& other) noexcept = default;

CString& CString::operator=(const char* psz) {
  if (isResourceId(psz)) {
    LoadString(static_cast<UINT>(reinterpret_cast<std::uintptr_t>(psz)));
    return *this;
  }
  // psz may point into this string's own buffer: copy before replacing.
  std::string copy = psz ? std::string(psz) : std::string();
  m_data.swap(copy);
  return *this;
}

CString& CString::operator=(char ch) {
  m_data.assign(1, ch);
  return *this;
}

int CString::GetLength() const { return static_cast<int>(m_data.size()); }
BOOL CString::IsEmpty() const { return m_data.empty(); }
void CString::Empty() { m_data.clear(); }

char CString::GetAt(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetLength()) return '\0';
  return m_data[static_cast<std::size_t>(nIndex)];
}

void CString::SetAt(int nIndex, char ch) {
  if (nIndex >= 0 && nIndex < GetLength()) m_data[static_cast<std::size_t>(nIndex)] = ch;
}

char CString::operator[](int nIndex) const { return GetAt(nIndex); }
CString::operator const char*() const { return m_data.c_str(); }
const char* CString::GetString() const { return m_data.c_str(); }

CString& CString::operator+=(const CString& s) {
  m_data += s.m_data;
  return *this;
}

CString& CString::operator+=(const char* psz) {
  if (psz) m_data += std::string(psz);  // copy first: psz may point into m_data
  return *this;
}

CString& CString::operator+=(char ch) {
  m_data += ch;
  return *this;
}

CString operator+(const CString& a, const CString& b) { return CString(std::string_view(a.m_data + b.m_data)); }
CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
CString operator+(const char* a, const CString& b) { CString r(a ? a : ""); r += b; return r; }
CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
CString operator+(char a, const CString& b) { CString r(a); r += b; return r; }

int CString::Compare(const char* psz) const {
  return _mbscmp(reinterpret_cast<const unsigned char*>(m_data.c_str()),
                 reinterpret_cast<const unsigned char*>(psz ? psz : ""));
}

int CString::CompareNoCase(const char* psz) const {
  return _mbsicmp(reinterpret_cast<const unsigned char*>(m_data.c_str()),
                  reinterpret_cast<const unsigned char*>(psz ? psz : ""));
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const {
  long long first = nFirst < 0 ? 0 : nFirst;
  long long count = nCount < 0 ? 0 : nCount;
  long long len = GetLength();
  if (first >= len) return CString();
  if (first + count > len) count = len - first;
  return CString(std::string_view(m_data).substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const {
  int count = nCount < 0 ? 0 : (nCount > GetLength() ? GetLength() : nCount);
  return Mid(GetLength() - count, count);
}

CString CString::SpanIncluding(const char* pszCharSet) const {
  std::string_view s(m_data), set(pszCharSet ? pszCharSet : "");
  std::size_t i = 0;
  while (i < s.size() && s[i] != '\0' && mb::charIn(s, i, set)) i += mb::charSize(s, i);
  return Left(static_cast<int>(i));
}

CString CString::SpanExcluding(const char* pszCharSet) const {
  std::string_view s(m_data), set(pszCharSet ? pszCharSet : "");
  std::size_t i = 0;
  while (i < s.size() && s[i] != '\0' && !mb::charIn(s, i, set)) i += mb::charSize(s, i);
  return Left(static_cast<int>(i));
}

CString& CString::MakeUpper() {
  std::string_view s(m_data);
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (mb::charSize(s, i) == 1 && m_data[i] >= 'a' && m_data[i] <= 'z') m_data[i] = static_cast<char>(m_data[i] - 'a' + 'A');
  return *this;
}

CString& CString::MakeLower() {
  std::string_view s(m_data);
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (mb::charSize(s, i) == 1 && m_data[i] >= 'A' && m_data[i] <= 'Z') m_data[i] = static_cast<char>(m_data[i] - 'A' + 'a');
  return *this;
}

CString& CString::MakeReverse() {
  // Reverses the order of characters; a double-byte character keeps its byte order.
  std::vector<std::size_t> starts = charStarts(m_data);
  std::string reversed;
  reversed.reserve(m_data.size());
  for (std::size_t k = starts.size() - 1; k > 0; --k)
    reversed.append(m_data, starts[k - 1], starts[k] - starts[k - 1]);
  m_data.swap(reversed);
  return *this;
}

// The trimming family: `drop` decides for a single-byte character whether it goes.
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

CString& CString::TrimLeft() { m_data.erase(0, leftKeep(m_data, whiteDrop())); return *this; }
CString& CString::TrimLeft(char chTarget) { m_data.erase(0, leftKeep(m_data, charDrop(chTarget))); return *this; }
CString& CString::TrimLeft(const char* pszTargets) { m_data.erase(0, leftKeep(m_data, setDrop(pszTargets))); return *this; }
CString& CString::TrimRight() { m_data.resize(rightKeep(m_data, whiteDrop())); return *this; }
CString& CString::TrimRight(char chTarget) { m_data.resize(rightKeep(m_data, charDrop(chTarget))); return *this; }
CString& CString::TrimRight(const char* pszTargets) { m_data.resize(rightKeep(m_data, setDrop(pszTargets))); return *this; }
CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
CString& CString::Trim(const char* pszTargets) { return TrimRight(pszTargets).TrimLeft(pszTargets); }

int CString::Replace(char chOld, char chNew) {
  if (chOld == chNew) return 0;
  int count = 0;
  std::string_view s(m_data);
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i)) {
    if (mb::charSize(s, i) == 1 && m_data[i] == chOld) {
      m_data[i] = chNew;
      ++count;
    }
  }
  return count;
}

int CString::Replace(const char* pszOld, const char* pszNew) {
  if (!pszOld || !*pszOld) return 0;
  std::string_view from(pszOld);
  std::string to(pszNew ? pszNew : "");
  std::string out;
  int count = 0;
  std::string_view s(m_data);
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
  if (count) m_data.swap(out);
  return count;
}

int CString::Remove(char ch) {
  std::string out;
  int count = 0;
  std::string_view s(m_data);
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i)) {
    std::size_t n = mb::charSize(s, i);
    if (n == 1 && s[i] == ch) ++count;
    else out.append(s.substr(i, n));
  }
  m_data.swap(out);
  return count;
}

int CString::Insert(int nIndex, char ch) {
  int at = nIndex < 0 ? 0 : (nIndex > GetLength() ? GetLength() : nIndex);
  m_data.insert(static_cast<std::size_t>(at), 1, ch);
  return GetLength();
}

int CString::Insert(int nIndex, const char* psz) {
  int at = nIndex < 0 ? 0 : (nIndex > GetLength() ? GetLength() : nIndex);
  if (psz) m_data.insert(static_cast<std::size_t>(at), std::string(psz));
  return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
  long long at = nIndex < 0 ? 0 : nIndex;
  long long count = nCount < 0 ? 0 : nCount;
  long long len = GetLength();
  if (at + count > len) count = len - at;
  if (count > 0) m_data.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
  return GetLength();
}

int CString::Find(char ch) const { return Find(ch, 0); }

int CString::Find(char ch, int nStart) const {
  if (nStart < 0 || nStart >= GetLength()) return -1;
  std::string_view s(m_data);
  auto start = static_cast<std::size_t>(nStart);
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (i >= start && mb::charSize(s, i) == 1 && s[i] == ch) return static_cast<int>(i);
  return -1;
}

int CString::Find(const char* pszSub) const { return Find(pszSub, 0); }

int CString::Find(const char* pszSub, int nStart) const {
  if (!pszSub || nStart < 0 || nStart > GetLength()) return -1;
  std::string_view s(m_data), sub(pszSub);
  auto start = static_cast<std::size_t>(nStart);
  // Matches start at character boundaries of the whole string, at or after nStart; an empty
  // substring matches at the first boundary there (the end counts as one).
  for (std::size_t i = 0;; i += mb::charSize(s, i)) {
    if (i >= start && s.compare(i, sub.size(), sub) == 0) return static_cast<int>(i);
    if (i >= s.size()) return -1;
  }
}

int CString::ReverseFind(char ch) const {
  std::string_view s(m_data);
  int found = -1;
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (mb::charSize(s, i) == 1 && s[i] == ch) found = static_cast<int>(i);
  return found;
}

int CString::FindOneOf(const char* pszCharSet) const {
  std::string_view s(m_data), set(pszCharSet ? pszCharSet : "");
  for (std::size_t i = 0; i < s.size(); i += mb::charSize(s, i))
    if (mb::charIn(s, i, set)) return static_cast<int>(i);
  return -1;
}

void CString::FormatV(const char* pszFormat, va_list args) {
  if (!pszFormat) {
    m_data.clear();
    return;
  }
  // The arguments may point into this string: format into a new buffer, then swap.
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
  m_data.swap(out);
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
  m_data += tail.m_data;
}

char* CString::GetBuffer(int nMinBufLength) {
  // The buffer is the string itself, grown with zero bytes to the asked size, so that
  // ReleaseBuffer(-1) finds the end of whatever the caller wrote.
  if (nMinBufLength > GetLength()) m_data.resize(static_cast<std::size_t>(nMinBufLength), '\0');
  return m_data.data();
}

char* CString::GetBufferSetLength(int nNewLength) {
  m_data.resize(static_cast<std::size_t>(clampLength(nNewLength)), '\0');
  return m_data.data();
}

void CString::ReleaseBuffer(int nNewLength) {
  std::size_t n = nNewLength < 0 ? std::strlen(m_data.c_str()) : static_cast<std::size_t>(nNewLength);
  if (n < m_data.size()) m_data.resize(n);
}

BOOL CString::LoadString(UINT nID) {
  const char* text = AfxFindString(nID);
  if (!text) {
    m_data.clear();
    return FALSE;
  }
  m_data = text;
  return TRUE;
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
