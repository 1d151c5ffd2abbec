// Internal scanning of section text without copies: byte ranges walked character by
// character in code page 936, shared by the helpers, the reader and the writer.
#pragma once
#include <afx.h>
#include <dbcolor.h>

#include <vector>

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
// (Lead bytes of code page 936 are 0x81-0xFE, as _ismbblead reports; tested inline because
// this runs for every byte of a text.)
inline int charBytes(const char* p, const char* end) {
  auto c = static_cast<unsigned char>(*p);
  return (c >= 0x81 && c <= 0xFE && p + 1 < end && p[1] != '\0') ? 2 : 1;
}

// The first single-byte character c in s (s must begin at a character boundary); null when
// there is none.
const char* findChar(TextSpan s, char c);
// How many single-byte characters c occur in s.
int countChar(TextSpan s, char c);
// s without white space at either end.
TextSpan trimmed(TextSpan s);

// splitText on spans: the trimmed pieces of s between separators, with the same rule (an
// empty piece ends the splitting and the whole rest is the last piece). `out` is emptied
// first and always gets at least one piece.
void splitSpans(TextSpan s, char sep, std::vector<TextSpan>& out);
// splitRecords on spans: the trimmed record blocks of a text (at least one).
void splitRecordSpans(TextSpan text, std::vector<TextSpan>& out);
// The same blocks, each handed to f(TextSpan) in order as it is found.
template <class F> void forEachRecordSpan(TextSpan text, F&& f);
// The record name of a block (the text between a leading '[' and the first ']'); an empty
// span when there is none.
TextSpan recordNameSpan(TextSpan block);
// The value of the first line whose key (before its first '=', untrimmed) equals `key`
// ignoring the letter case of single-byte characters; a null span (begin == nullptr) when
// no line matches.
TextSpan keyValueSpan(const std::vector<TextSpan>& lines, const char* key);
// Equal ignoring the letter case of single-byte characters (as _mbsicmp compares).
bool equalNoCase(TextSpan a, const char* b);

// atof / atol of the text at s (they stop where a number cannot continue).
double numberAt(TextSpan s);
// The same, telling where the reading stopped (s.begin when s holds no number).
double numberAt(TextSpan s, const char*& stop);
long integerAt(TextSpan s);
// `count` numbers separated by commas, read in order; once a comma is missing the remaining
// numbers read as 0.
void numbersAt(TextSpan s, double* values, int count);
// A true colour from "red,green,blue" (missing numbers read as 0, each cut to 8 bits).
AcCmColor colorAt(TextSpan s);

template <class F> void forEachRecordSpan(TextSpan all, F&& f) {
  // A block begins at a '[' that starts a line: a line feed earlier in the rest, and only
  // white space between that line feed and the '['. Line feeds are found fast; the white
  // space after a line feed is single-byte characters, so the byte after it is a character.
  const char* start = all.begin;  // where the rest begins
  for (TextSpan rest = all;;) {
    const char* lf = findChar(rest, '\n');
    if (lf == nullptr) break;
    const char* p = lf + 1;
    while (p < all.end && isWhiteByte(static_cast<unsigned char>(*p))) ++p;
    if (p < all.end && *p == '[') {
      f(trimmed(TextSpan{start, p}));
      start = p;
    }
    rest = TextSpan{p, all.end};  // p begins a character (after single-byte ones)
  }
  f(trimmed(TextSpan{start, all.end}));
}

}  // namespace sectiontext
