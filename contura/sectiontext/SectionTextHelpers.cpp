// Text helpers of the section text: splitting, key lookup, number, point and colour reading,
// and appending new entities to model space.
#include "SectionTextHelpers.h"

#include "SectionTextScan.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace sectiontext;

// ---------------------------------------------------------------------------------------
// Number reading. Plain decimals of up to 19 significant digits and a power of ten the
// double holds exactly (what the writer's "%g" produces) are read here directly: the digits
// as an integer, then one multiplication or division by an exact power of ten, which rounds
// once, as the correctly rounded reading does. std::from_chars reads the other decimal forms;
// the rare forms it does not take (hexadecimal, values out of range) go through the C
// runtime, which gives what atof/atol give.

namespace {

constexpr int kMaxExactDigits = 19;          // significant digits an unsigned 64-bit integer holds
constexpr std::uint64_t kExactMantissa = std::uint64_t(1) << 53;  // integers a double holds exactly
constexpr int kMaxExactPower = 22;           // 1e22 is the largest power of ten a double holds exactly
constexpr double kPowers[kMaxExactPower + 1] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The unsigned decimal at p (digits, an optional '.' and digits, an optional exponent), when
// it is read exactly by one rounding; `stop` is where it ends. False for anything else (no
// digits, too many digits, a large exponent), which the general reading takes.
bool readPlainDecimal(const char* p, const char* end, double& value, const char*& stop) {
  std::uint64_t mantissa = 0;
  int digits = 0, scale = 0;
  bool any = false;
  for (; p < end && isDigit(*p); ++p, any = true) {
    if (mantissa == 0 && *p == '0') continue;  // leading zeros count for nothing
    if (++digits > kMaxExactDigits) return false;
    mantissa = mantissa * 10 + std::uint64_t(*p - '0');
  }
  if (p < end && *p == '.') {
    for (++p; p < end && isDigit(*p); ++p, any = true) {
      --scale;
      if (mantissa == 0 && *p == '0') continue;
      if (++digits > kMaxExactDigits) return false;
      mantissa = mantissa * 10 + std::uint64_t(*p - '0');
    }
  }
  if (!any) return false;
  if (p < end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) negative = *q++ == '-';
    if (q < end && isDigit(*q)) {  // else the 'e' is not part of the number
      int exponent = 0;
      for (; q < end && isDigit(*q); ++q)
        if ((exponent = exponent * 10 + (*q - '0')) > 1000) return false;
      scale += negative ? -exponent : exponent;
      p = q;
    }
  }
  if (p < end && (*p == 'x' || *p == 'X')) return false;  // "0x...": hexadecimal
  stop = p;
  if (mantissa == 0) {
    value = 0.0;
    return true;
  }
  if (mantissa > kExactMantissa || scale < -kMaxExactPower || scale > kMaxExactPower) return false;
  value = scale < 0 ? double(mantissa) / kPowers[-scale] : double(mantissa) * kPowers[scale];
  return true;
}

}  // namespace

double sectiontext::numberAt(TextSpan s) {
  const char* stop = nullptr;
  return numberAt(s, stop);
}

double sectiontext::numberAt(TextSpan s, const char*& stop) {
  stop = s.begin;  // nothing read
  const char* p = s.begin;
  while (p < s.end && isWhiteByte(static_cast<unsigned char>(*p))) ++p;
  const char* digits = p;
  bool negative = false;
  if (digits < s.end && (*digits == '+' || *digits == '-')) {
    negative = *digits == '-';
    ++digits;
    if (digits < s.end && (*digits == '+' || *digits == '-')) return 0.0;
  }
  double value = 0.0;
  const char* end = nullptr;
  if (readPlainDecimal(digits, s.end, value, end)) {
    stop = end;
    return negative ? -value : value;
  }
  bool hex = s.end - digits >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  if (!hex) {
    auto [ptr, ec] = std::from_chars(digits, s.end, value);
    if (ec == std::errc()) {
      stop = ptr;
      return negative ? -value : value;
    }
    if (ec == std::errc::invalid_argument) return 0.0;
  }
  std::string copy(p, s.end);
  char* after = nullptr;
  value = std::strtod(copy.c_str(), &after);
  stop = p + (after - copy.c_str());
  return value;
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

namespace {

bool isLeadRange(char c) {
  auto b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}

// True when the byte at `at` (inside s, s.begin a character boundary) begins a character.
// A character always begins right after a byte outside the lead range 0x81-0xFE, so only the
// run of lead-range bytes just before `at` matters: its bytes pair up from its start, and an
// odd run ends with a lead byte that takes the byte at `at` as its trail byte.
bool isCharStart(TextSpan s, const char* at) {
  const char* q = at;
  while (q > s.begin && isLeadRange(q[-1])) --q;
  return ((at - q) & 1) == 0;
}

}  // namespace

const char* sectiontext::findChar(TextSpan s, char c) {
  if (static_cast<unsigned char>(c) >= 0x80 || c == '\0') {  // never a separator of the format
    for (const char* p = s.begin; p < s.end; p += charBytes(p, s.end))
      if (*p == c && charBytes(p, s.end) == 1) return p;
    return nullptr;
  }
  // A byte below 0x80 is a character of its own unless a lead byte takes it: find it fast,
  // then check that it begins a character.
  for (const char* from = s.begin; from < s.end;) {
    auto* hit = static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(s.end - from)));
    if (hit == nullptr) return nullptr;
    if (isCharStart(s, hit)) return hit;
    from = hit + 1;
  }
  return nullptr;
}

TextSpan sectiontext::trimmed(TextSpan s) {
  const char* b = s.begin;
  while (b < s.end && charBytes(b, s.end) == 1 && isWhiteByte(static_cast<unsigned char>(*b))) ++b;
  // From the end: white space bytes go unless the last one before them is the lead byte of a
  // double-byte character, which takes the first of them as its trail byte. Whether it is a
  // lead byte follows from the run of lead-range bytes (0x81-0xFE) that ends there: a
  // character always starts right after a byte outside that range (or at b), and inside the
  // run bytes pair up, so an odd run ends with a lead byte.
  const char* e = s.end;
  while (e > b && isWhiteByte(static_cast<unsigned char>(e[-1]))) --e;
  if (e < s.end && e > b) {
    const char* run = e;
    while (run > b && static_cast<unsigned char>(run[-1]) >= 0x81 && static_cast<unsigned char>(run[-1]) <= 0xFE) --run;
    if ((e - run) % 2 == 1) ++e;  // the lead byte keeps its trail
  }
  return TextSpan{b, e};
}

void sectiontext::numbersAt(TextSpan s, double* values, int count) {
  // Each number starts after the comma that ends the one before; once a comma is missing,
  // the remaining numbers read as 0. A number holds no comma, so the search for the comma
  // starts where the reading of the number stopped (a character boundary: numbers are
  // single-byte characters).
  TextSpan rest = s;
  for (int i = 0; i < count; ++i) {
    if (rest.begin == nullptr) {
      values[i] = 0.0;
      continue;
    }
    const char* stop = rest.begin;
    values[i] = numberAt(rest, stop);
    const char* comma = (stop < rest.end && *stop == ',') ? stop : findChar(TextSpan{stop, rest.end}, ',');
    rest = comma ? TextSpan{comma + 1, rest.end} : TextSpan{nullptr, nullptr};
  }
}

int sectiontext::countChar(TextSpan s, char c) {
  int n = 0;
  for (TextSpan rest = s;;) {
    const char* p = findChar(rest, c);
    if (p == nullptr) return n;
    ++n;
    rest.begin = p + 1;  // just after a single-byte character: a character boundary
  }
}

void sectiontext::splitSpans(TextSpan s, char sep, std::vector<TextSpan>& out) {
  out.clear();
  TextSpan rest = s;
  const char* p = findChar(rest, sep);
  while (p != nullptr && p > rest.begin) {
    out.push_back(trimmed(TextSpan{rest.begin, p}));
    rest.begin = p + 1;
    p = findChar(rest, sep);
  }
  out.push_back(trimmed(rest));
}

void splitText(CStringArray& out, CString s, char sep) {
  std::vector<TextSpan> pieces;
  splitSpans(spanOf(s), sep, pieces);
  out.RemoveAll();
  out.SetSize(0, static_cast<INT_PTR>(pieces.size()));
  for (const TextSpan& piece : pieces) out.Add(toCString(piece));
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

void sectiontext::splitRecordSpans(TextSpan all, std::vector<TextSpan>& out) {
  out.clear();
  forEachRecordSpan(all, [&out](TextSpan block) { out.push_back(block); });
}

void splitRecords(CStringArray& out, CString text) {
  std::vector<TextSpan> blocks;
  splitRecordSpans(spanOf(text), blocks);
  out.RemoveAll();
  out.SetSize(0, static_cast<INT_PTR>(blocks.size()));
  for (const TextSpan& block : blocks) out.Add(toCString(block));
}

TextSpan sectiontext::recordNameSpan(TextSpan block) {
  if (block.begin == block.end || *block.begin != '[') return TextSpan{block.begin, block.begin};
  TextSpan inner{block.begin + 1, block.end};
  const char* close = findChar(inner, ']');
  return close ? TextSpan{inner.begin, close} : TextSpan{block.begin, block.begin};
}

CString recordName(CString block) { return toCString(recordNameSpan(spanOf(block))); }

bool sectiontext::equalNoCase(TextSpan a, const char* b) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  // ASCII bytes are characters of their own: compare them folded without the character walk,
  // which takes over at the first other byte (a character boundary on both sides).
  const char* p = a.begin;
  const char* q = b;
  for (; p < a.end && static_cast<unsigned char>(*p) < 0x80 && static_cast<unsigned char>(*q) < 0x80; ++p, ++q) {
    if (*q == '\0' || lower(*p) != lower(*q)) return false;
  }
  while (p < a.end) {
    int n = charBytes(p, a.end);
    if (*q == '\0') return false;
    if (n == 2) {
      if (p[0] != q[0] || p[1] != q[1]) return false;
    } else if (lower(*p) != lower(*q)) {
      return false;
    }
    p += n;
    q += n;
  }
  return *q == '\0';
}

TextSpan sectiontext::keyValueSpan(const std::vector<TextSpan>& lines, const char* key) {
  for (const TextSpan& line : lines) {
    if (line.begin == line.end) continue;
    const char* eq = findChar(line, '=');
    if (eq == nullptr) continue;
    if (equalNoCase(TextSpan{line.begin, eq}, key)) return TextSpan{eq + 1, line.end};
  }
  return TextSpan{};
}

namespace {

std::vector<TextSpan> spansOf(CStringArray& lines) {
  std::vector<TextSpan> spans;
  spans.reserve(static_cast<std::size_t>(lines.GetSize()));
  for (INT_PTR i = 0; i < lines.GetSize(); ++i) spans.push_back(spanOf(lines[i]));
  return spans;
}

}  // namespace

CString getKeyValue(CStringArray& lines, CString key) {
  TextSpan value = keyValueSpan(spansOf(lines), key);
  return value.begin ? toCString(value) : CString();
}

CString getKeyValues(CStringArray& lines, CString key) {
  CString joined;
  bool first = true;
  for (const TextSpan& line : spansOf(lines)) {
    std::vector<TextSpan> one{line};
    TextSpan value = keyValueSpan(one, key);
    if (value.begin == nullptr) continue;
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
