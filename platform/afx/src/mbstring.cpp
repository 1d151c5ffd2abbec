// The C runtime's multi-byte string functions for code page 936.
#include "afxstr.h"

#include <cstring>

#include "mbcs.h"

using contura::afx::mbcs::isLeadByte;
using contura::afx::mbcs::isTrailByte;

namespace {

// Reads one character at p and advances p past it. A lead byte before the terminating zero
// yields 0 (the runtime treats the broken character as the end of the string) and sets
// `broken`.
unsigned int nextChar(const unsigned char*& p, bool& broken) {
  unsigned int c = *p;
  broken = false;
  if (c == 0) return 0;
  ++p;
  if (isLeadByte(static_cast<unsigned char>(c))) {
    if (*p == 0) {
      broken = true;
      return 0;
    }
    c = (c << 8) | *p++;
  }
  return c;
}

unsigned int lowerSingle(unsigned int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

int sign(unsigned int a, unsigned int b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

int _ismbblead(unsigned int c) { return c <= 0xFF && isLeadByte(static_cast<unsigned char>(c)) ? 1 : 0; }

int _ismbbtrail(unsigned int c) { return c <= 0xFF && isTrailByte(static_cast<unsigned char>(c)) ? 1 : 0; }

unsigned char* _mbschr(const unsigned char* s, unsigned int c) {
  if (!s) return nullptr;
  for (const unsigned char* p = s;;) {
    const unsigned char* at = p;
    bool broken = false;
    unsigned int cc = nextChar(p, broken);
    if (broken) return nullptr;
    if (cc == c) return const_cast<unsigned char*>(at);
    if (cc == 0) return nullptr;
  }
}

unsigned char* _mbsrchr(const unsigned char* s, unsigned int c) {
  if (!s) return nullptr;
  const unsigned char* found = nullptr;
  for (const unsigned char* p = s;;) {
    const unsigned char* at = p;
    bool broken = false;
    unsigned int cc = nextChar(p, broken);
    if (broken) return nullptr;
    if (cc == c) found = at;
    if (cc == 0) return const_cast<unsigned char*>(found);
  }
}

unsigned char* _mbsstr(const unsigned char* s, const unsigned char* sub) {
  if (!s || !sub) return nullptr;
  std::size_t n = std::strlen(reinterpret_cast<const char*>(sub));
  if (n == 0) return const_cast<unsigned char*>(s);
  for (const unsigned char* p = s; *p; p = _mbsinc(p))
    if (std::strncmp(reinterpret_cast<const char*>(p), reinterpret_cast<const char*>(sub), n) == 0)
      return const_cast<unsigned char*>(p);
  return nullptr;
}

int _mbscmp(const unsigned char* a, const unsigned char* b) {
  if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
  for (;;) {
    bool broken = false;
    unsigned int ca = nextChar(a, broken);
    unsigned int cb = nextChar(b, broken);
    if (ca != cb) return sign(ca, cb);
    if (ca == 0) return 0;
  }
}

int _mbsicmp(const unsigned char* a, const unsigned char* b) {
  if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
  for (;;) {
    bool broken = false;
    unsigned int ca = nextChar(a, broken);
    unsigned int cb = nextChar(b, broken);
    // Single bytes compare lower-cased; double-byte characters compare as they are.
    if (ca <= 0xFF) ca = lowerSingle(ca);
    if (cb <= 0xFF) cb = lowerSingle(cb);
    if (ca != cb) return sign(ca, cb);
    if (ca == 0) return 0;
  }
}

unsigned char* _mbsinc(const unsigned char* p) {
  if (!p) return nullptr;
  // Never steps over the terminating zero behind a lone lead byte.
  if (isLeadByte(*p) && p[1] != 0) return const_cast<unsigned char*>(p + 2);
  return const_cast<unsigned char*>(p + 1);
}

size_t _mbslen(const unsigned char* s) {
  if (!s) return 0;
  size_t n = 0;
  for (const unsigned char* p = s; *p; p = _mbsinc(p)) ++n;
  return n;
}
