// Generic-text names of the multi-byte (MBCS) build: _TCHAR is char and the _tcs functions
// are the code page 936 aware _mbs functions where MBCS differs from plain bytes.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "afxstr.h"

typedef char _TCHAR;
typedef unsigned char _TUCHAR;
typedef char _TSCHAR;
typedef unsigned int _TINT;

inline char* _tcschr(const char* s, unsigned int c) {
  return reinterpret_cast<char*>(_mbschr(reinterpret_cast<const unsigned char*>(s), c));
}
inline char* _tcsrchr(const char* s, unsigned int c) {
  return reinterpret_cast<char*>(_mbsrchr(reinterpret_cast<const unsigned char*>(s), c));
}
inline char* _tcsstr(const char* s, const char* sub) {
  return reinterpret_cast<char*>(
      _mbsstr(reinterpret_cast<const unsigned char*>(s), reinterpret_cast<const unsigned char*>(sub)));
}
inline int _tcscmp(const char* a, const char* b) {
  return _mbscmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
}
inline int _tcsicmp(const char* a, const char* b) {
  return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
}
inline char* _tcsinc(const char* p) {
  return reinterpret_cast<char*>(_mbsinc(reinterpret_cast<const unsigned char*>(p)));
}
// Length in characters (a double-byte character counts once).
inline size_t _tcsclen(const char* s) { return _mbslen(reinterpret_cast<const unsigned char*>(s)); }

// Byte-wise in the MBCS build too.
#define _tcslen strlen
#define _tcscpy strcpy
#define _tcscat strcat
#define _stprintf sprintf
#define _sntprintf snprintf
#define _tprintf printf
#define _ftprintf fprintf
#define _ttoi atoi
#define _ttol atol
#define _tstoi atoi
#define _tstol atol
#define _ttof atof
#define _tstof atof
#define _tcstod strtod
#define _tcstol strtol
#define _tcstoul strtoul
