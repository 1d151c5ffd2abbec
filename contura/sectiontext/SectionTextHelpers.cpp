// Text helpers of the section text: splitting, key lookup, number, point and colour reading,
// and appending new entities to model space.
#include "SectionTextHelpers.h"

#include "SectionTextScan.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>

using namespace sectiontext;

// ---------------------------------------------------------------------------------------
// Number reading. std::from_chars reads the C locale's decimal forms fast; the rare forms it
// does not take (hexadecimal, values out of range) go through the C runtime, which gives
// what atof/atol give.

double sectiontext::numberAt(TextSpan s) {
  const char* p = s.begin;
  while (p < s.end && isWhiteByte(static_cast<unsigned char>(*p))) ++p;
  const char* digits = p;
  bool negative = false;
  if (digits < s.end && (*digits == '+' || *digits == '-')) {
    negative = *digits == '-';
    ++digits;
    if (digits < s.end && (*digits == '+' || *digits == '-')) return 0.0;
  }
  bool hex = s.end - digits >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  if (!hex) {
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(digits, s.end, value);
    if (ec == std::errc()) return negative ? -value : value;
    if (ec == std::errc::invalid_argument) return 0.0;
  }
  std::string copy(p, s.end);
  return std::strtod(copy.c_str(), nullptr);
}

long sectiontext::integerAt(TextSpan s) {
  const char* p = s.begin;
  while (p < s.end && isWhiteByte(static_cast<unsigned char>(*p))) ++p;
  const char* digits = p;
  if (digits < s.end && *digits == '+') {
    ++digits;
    if (digits < s.end && *digits == '-') return 0;
  }
  long value = 0;
  auto [ptr, ec] = std::from_chars(digits, s.end, value);
  if (ec == std::errc()) return value;
  if (ec == std::errc::invalid_argument) return 0;
  std::string copy(p, s.end);
  return std::strtol(copy.c_str(), nullptr, 10);  // clamps to LONG_MIN / LONG_MAX
}

double textToDouble(const char* psz) {
  if (psz == nullptr) return 0.0;
  return numberAt(TextSpan{psz, psz + std::strlen(psz)});
}

long textToLong(const char* psz) {
  if (psz == nullptr) return 0;
  return integerAt(TextSpan{psz, psz + std::strlen(psz)});
}

// ---------------------------------------------------------------------------------------
// Scanning.

const char* sectiontext::findChar(TextSpan s, char c) {
  for (const char* p = s.begin; p < s.end; p += charBytes(p, s.end))
    if (*p == c && charBytes(p, s.end) == 1) return p;
  return nullptr;
}

TextSpan sectiontext::trimmed(TextSpan s) {
  const char* b = s.begin;
  while (b < s.end && charBytes(b, s.end) == 1 && isWhiteByte(static_cast<unsigned char>(*b))) ++b;
  // Walks forward so that a trail byte is never judged on its own.
  const char* e = b;
  for (const char* p = b; p < s.end;) {
    int n = charBytes(p, s.end);
    if (n == 2 || !isWhiteByte(static_cast<unsigned char>(*p))) e = p + n;
    p += n;
  }
  return TextSpan{b, e};
}

void sectiontext::numbersAt(TextSpan s, double* values, int count) {
  // Each number starts after the comma that ends the one before; once a comma is missing,
  // the remaining numbers read as 0.
  TextSpan rest = s;
  for (int i = 0; i < count; ++i) {
    if (rest.begin == nullptr) {
      values[i] = 0.0;
      continue;
    }
    values[i] = numberAt(rest);
    const char* comma = findChar(rest, ',');
    rest = comma ? TextSpan{comma + 1, rest.end} : TextSpan{nullptr, nullptr};
  }
}

int sectiontext::countChar(TextSpan s, char c) {
  int n = 0;
  for (const char* p = s.begin; p < s.end; p += charBytes(p, s.end))
    if (*p == c && charBytes(p, s.end) == 1) ++n;
  return n;
}

// ---------------------------------------------------------------------------------------

void splitText(CStringArray& out, CString s, char sep) {
  out.RemoveAll();
  TextSpan rest = spanOf(s);
  const char* p = findChar(rest, sep);
  while (p != nullptr && p > rest.begin) {
    out.Add(toCString(trimmed(TextSpan{rest.begin, p})));
    rest.begin = p + 1;
    p = findChar(rest, sep);
  }
  out.Add(toCString(trimmed(rest)));
}

CString leftOf(CString s, char c) {
  TextSpan all = spanOf(s);
  const char* p = findChar(all, c);
  return p ? toCString(TextSpan{all.begin, p}) : CString();
}

CString rightOf(CString s, char c) {
  TextSpan all = spanOf(s);
  const char* p = findChar(all, c);
  return p ? toCString(TextSpan{p + 1, all.end}) : s;
}

void splitRecords(CStringArray& out, CString text) {
  out.RemoveAll();
  TextSpan all = spanOf(text);
  const char* start = all.begin;  // where the rest begins
  bool sawLineFeed = false;       // a line feed in the rest before the current character
  bool whiteSinceLineFeed = true; // only white space since that line feed
  for (const char* p = all.begin; p < all.end;) {
    int n = charBytes(p, all.end);
    if (n == 1) {
      char c = *p;
      // A '[' after the rest's first character that starts a line begins the next block.
      if (c == '[' && p > start && sawLineFeed && whiteSinceLineFeed) {
        out.Add(toCString(trimmed(TextSpan{start, p})));
        start = p;
        sawLineFeed = false;
      }
      if (c == '\n') {
        sawLineFeed = true;
        whiteSinceLineFeed = true;
      } else if (!isWhiteByte(static_cast<unsigned char>(c))) {
        whiteSinceLineFeed = false;
      }
    } else {
      whiteSinceLineFeed = false;
    }
    p += n;
  }
  out.Add(toCString(trimmed(TextSpan{start, all.end})));
}

CString recordName(CString block) {
  TextSpan all = spanOf(block);
  if (all.begin == all.end || *all.begin != '[') return CString();
  TextSpan inner{all.begin + 1, all.end};
  const char* close = findChar(inner, ']');
  return close ? toCString(TextSpan{inner.begin, close}) : CString();
}

namespace {

// The value of `line` when its key equals `key` ignoring letter case; null span otherwise.
bool keyValueOf(const CString& line, const CString& key, TextSpan& value) {
  TextSpan all = spanOf(line);
  if (all.begin == all.end) return false;
  const char* eq = findChar(all, '=');
  if (eq == nullptr) return false;
  // Equal texts under the case-blind comparison have equal byte lengths (only single-byte
  // letters change case), so the length test spares building the key for most lines.
  if (eq - all.begin != key.GetLength()) return false;
  CString lineKey(all.begin, static_cast<int>(eq - all.begin));
  if (_mbsicmp(reinterpret_cast<const unsigned char*>(lineKey.GetString()),
               reinterpret_cast<const unsigned char*>(key.GetString())) != 0)
    return false;
  value = TextSpan{eq + 1, all.end};
  return true;
}

}  // namespace

CString getKeyValue(CStringArray& lines, CString key) {
  TextSpan value;
  for (INT_PTR i = 0; i < lines.GetSize(); ++i)
    if (keyValueOf(lines[i], key, value)) return toCString(value);
  return CString();
}

CString getKeyValues(CStringArray& lines, CString key) {
  CString joined;
  bool first = true;
  TextSpan value;
  for (INT_PTR i = 0; i < lines.GetSize(); ++i) {
    if (!keyValueOf(lines[i], key, value)) continue;
    if (!first) joined += '\n';
    joined += toCString(value);
    first = false;
  }
  return joined;
}

AcGePoint3d parsePoint(CString s) {
  double xy[2];
  numbersAt(spanOf(s), xy, 2);
  return AcGePoint3d(xy[0], xy[1], 0.0);
}

void parsePoint(AcGePoint2d& pt, CString s) {
  double xy[2];
  numbersAt(spanOf(s), xy, 2);
  pt.set(xy[0], xy[1]);
}

void parseVertex(AcGePoint2d& pt, double& bulge, double& startWidth, double& endWidth, CString s) {
  double v[5];
  numbersAt(spanOf(s), v, 5);
  pt.set(v[0], v[1]);
  bulge = v[2];
  startWidth = v[3];
  endWidth = v[4];
}
