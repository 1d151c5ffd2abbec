// Internal scanning of section text without copies: byte ranges walked character by
// character in code page 936, shared by the helpers, the reader and the writer.
#pragma once
#include <afx.h>
#include <dbcolor.h>

namespace sectiontext {

// A range of bytes [begin, end) inside a text that outlives it. A null begin means "absent".
struct TextSpan {
  const char* begin = nullptr;
  const char* end = nullptr;
  bool empty() const { return begin == end; }
  int length() const { return static_cast<int>(end - begin); }
};

inline TextSpan spanOf(const CString& s) {
  const char* p = s.GetString();
  return TextSpan{p, p + s.GetLength()};
}

inline CString toCString(TextSpan s) { return CString(s.begin, s.length()); }

// The C runtime's space test, for single bytes.
inline bool isWhiteByte(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Bytes of the character at p: a lead byte takes the next byte with it unless the text ends
// there or that byte is zero (as the C runtime's multi-byte walk does).
inline int charBytes(const char* p, const char* end) {
  return (_ismbblead(static_cast<unsigned char>(*p)) && p + 1 < end && p[1] != '\0') ? 2 : 1;
}

// The first single-byte character c in s (s must begin at a character boundary); null when
// there is none.
const char* findChar(TextSpan s, char c);
// How many single-byte characters c occur in s.
int countChar(TextSpan s, char c);
// s without white space at either end.
TextSpan trimmed(TextSpan s);

// atof / atol of the text at s (they stop where a number cannot continue).
double numberAt(TextSpan s);
long integerAt(TextSpan s);
// `count` numbers separated by commas, read in order; once a comma is missing the remaining
// numbers read as 0.
void numbersAt(TextSpan s, double* values, int count);
// A true colour from "red,green,blue" (missing numbers read as 0, each cut to 8 bits).
AcCmColor colorAt(TextSpan s);

}  // namespace sectiontext
