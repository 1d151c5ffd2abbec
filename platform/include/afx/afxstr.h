// CString: the MFC multi-byte string. It holds code page 936 bytes; every search and trim
// steps over double-byte characters whole (lead byte 0x81-0xFE followed by a trail byte), so
// a trail byte equal to '[', ']' or '\\' is never taken for that character.
// Lengths, indexes and counts are in bytes, as in the MBCS build of MFC.
//
// Copies share long texts as MFC's CString does: a copy of a text of kShareFrom bytes or more
// takes a reference to the same bytes, and the first change through either copy (any editing
// member, GetBuffer) gives that copy bytes of its own. Shorter texts are copied outright.
// Sharing is safe across threads as far as a std::string is: copies of one text may be used
// and changed on different threads, one CString object may not be changed concurrently.
#pragma once
#include <windows.h>
#include <atomic>
#include <cstdarg>
#include <string>
#include <string_view>

class CString {
public:
  CString();
  CString(const CString& other);
  CString(CString&& other) noexcept;
  // Null gives the empty string; a MAKEINTRESOURCE value loads that string (LoadString).
  CString(const char* psz);
  CString(const char* pch, int nLength);     // exactly nLength bytes (zero bytes included)
  CString(char ch, int nRepeat = 1);
  explicit CString(std::string_view bytes);
  ~CString();

  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  CString& operator=(const char* psz);  // as the constructor
  CString& operator=(char ch);

  // Size and access.
  int GetLength() const;
  BOOL IsEmpty() const;
  void Empty();
  char GetAt(int nIndex) const;
  void SetAt(int nIndex, char ch);
  char operator[](int nIndex) const;
  operator const char*() const;  // always zero-terminated
  const char* GetString() const;

  // Concatenation.
  CString& operator+=(const CString& s);
  CString& operator+=(const char* psz);
  CString& operator+=(char ch);
  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, const char* b);
  friend CString operator+(const char* a, const CString& b);
  friend CString operator+(const CString& a, char b);
  friend CString operator+(char a, const CString& b);

  // Comparison: Compare is byte-wise by character (_mbscmp); CompareNoCase is _mbsicmp.
  // Both return <0, 0 or >0.
  int Compare(const char* psz) const;
  int CompareNoCase(const char* psz) const;

  // Extraction; out-of-range arguments are clamped, never an error.
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;
  CString SpanIncluding(const char* pszCharSet) const;
  CString SpanExcluding(const char* pszCharSet) const;

  // Case: single-byte ASCII letters only; double-byte characters are left as they are.
  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();

  // Trimming. The no-argument forms remove white space (the C isspace set: blank, tab, line
  // feed, carriage return, vertical tab, form feed); the double-byte space A1A1 is not white
  // space. The (ch) and (set) forms remove any run of the given single-byte characters (as
  // MFC's multi-byte build does, a double-byte character is never removed by them).
  CString& Trim();
  CString& Trim(char chTarget);
  CString& Trim(const char* pszTargets);
  CString& TrimLeft();
  CString& TrimLeft(char chTarget);
  CString& TrimLeft(const char* pszTargets);
  CString& TrimRight();
  CString& TrimRight(char chTarget);
  CString& TrimRight(const char* pszTargets);

  // Editing; results are counts of replacements/removals or the new length.
  int Replace(char chOld, char chNew);
  int Replace(const char* pszOld, const char* pszNew);
  int Remove(char ch);
  int Insert(int nIndex, char ch);
  int Insert(int nIndex, const char* psz);
  int Delete(int nIndex, int nCount = 1);

  // Searching: byte index of the first match at or after nStart, or -1. Matches start only at
  // character boundaries. The character form gives -1 when nStart >= length; the string form
  // only when nStart > length.
  int Find(char ch) const;
  int Find(char ch, int nStart) const;
  int Find(const char* pszSub) const;
  int Find(const char* pszSub, int nStart) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* pszCharSet) const;

  // printf formatting, exactly as the C library does it (%g as glibc).
  void Format(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* pszFormat, va_list args);
  void AppendFormat(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

  // Direct buffer access: GetBuffer(n) returns a writable buffer of at least n bytes plus a
  // terminating zero; ReleaseBuffer(-1) takes the length up to the first zero byte,
  // ReleaseBuffer(n) takes n bytes.
  char* GetBuffer(int nMinBufLength = 0);
  char* GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);

  // Loads string nID from the current resource chain (see AfxFindResourceHandle); FALSE and an
  // empty string when no module holds it.
  BOOL LoadString(UINT nID);

  // The bytes as a standard string (platform code only).
  const std::string& str() const { return m_shared ? m_shared->bytes : m_data; }

  // Texts at least this long are shared between copies; shorter ones are copied, which costs
  // less than a shared block of their own.
  static constexpr std::size_t kShareFrom = 256;

private:
  struct Shared {
    explicit Shared(std::string&& b) : bytes(std::move(b)) {}
    std::atomic<long> refs{1};
    std::string bytes;
  };
  // The bytes, held by this string alone, for changing them (unshares a shared text).
  std::string& own();
  // After a change: a text that has grown to kShareFrom bytes moves into a shared block.
  void settle();
  static void release(Shared* shared);
  void dropFront(std::size_t n);  // removes the first n bytes
  void keepFront(std::size_t n);  // keeps only the first n bytes

  std::string m_data;           // the bytes while not shared (empty while m_shared is set)
  Shared* m_shared = nullptr;   // the shared bytes of a long text
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, const char* b);
bool operator>(const CString& a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator>=(const CString& a, const CString& b);

// Multi-byte string functions of the C runtime for code page 936 (unsigned char, as in the CRT).
// A double-byte character is compared as (lead << 8) | trail; a single byte never matches a
// trail byte. _mbschr/_mbsrchr find the terminating zero when asked for 0, and give null when
// the string ends in a lone lead byte. _mbscmp/_mbsicmp return -1, 0 or 1; _mbsicmp lower-cases
// single bytes and compares double-byte characters as they are. _mbsinc never steps over the
// terminating zero. _mbslen counts characters.
int _ismbblead(unsigned int c);
int _ismbbtrail(unsigned int c);
unsigned char* _mbschr(const unsigned char* s, unsigned int c);
unsigned char* _mbsrchr(const unsigned char* s, unsigned int c);
unsigned char* _mbsstr(const unsigned char* s, const unsigned char* sub);
int _mbscmp(const unsigned char* a, const unsigned char* b);
int _mbsicmp(const unsigned char* a, const unsigned char* b);
unsigned char* _mbsinc(const unsigned char* p);
size_t _mbslen(const unsigned char* s);
