// Code page 936 <-> UTF-8 through the C library's iconv, with replacement of what cannot convert.
#include "contura/os/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <string>

namespace contura::os {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";  // U+FFFD
constexpr char kReplacementCp936 = '?';
constexpr std::size_t kChunkBytes = 4096;

// One iconv descriptor. A descriptor carries conversion state, so each thread owns its own
// (see converter()) rather than sharing one behind a lock.
class Iconv {
public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == invalid())
      throw std::runtime_error(std::string("the C library cannot convert from ") + from + " to " +
                               to + " (are the gconv modules installed?)");
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

  // Converts as much as possible; returns errno of the stop (0 when all input was consumed).
  int step(const char*& src, std::size_t& srcLeft, char*& dst, std::size_t& dstLeft) {
    char* in = const_cast<char*>(src);  // iconv's signature is not const-correct
    std::size_t r = iconv(cd_, &in, &srcLeft, &dst, &dstLeft);
    src = in;
    return r == static_cast<std::size_t>(-1) ? errno : 0;
  }

private:
  static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

Iconv& fromCp936() {
  thread_local Iconv cd("UTF-8", "CP936");
  return cd;
}

Iconv& toCp936() {
  thread_local Iconv cd("CP936", "UTF-8");
  return cd;
}

bool isAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}


// Bytes one undefined code page 936 character occupies at src: a lead byte with a trail byte
// after it is one (unmapped) character; anything else is a single bad byte.
std::size_t badCp936Length(const char* src, std::size_t left) {
  auto b0 = static_cast<unsigned char>(src[0]);
  if (left >= 2 && isLeadByte(b0) && isTrailByte(static_cast<unsigned char>(src[1]))) return 2;
  return 1;
}

// Length of the UTF-8 sequence at src when it is well formed (shortest form, no surrogate,
// at most U+10FFFF); otherwise 0 and `prefix` is the length of its maximal ill-formed
// subsequence (at least 1).
std::size_t utf8SequenceLength(const char* src, std::size_t left, std::size_t& prefix) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(src[i]); };
  unsigned char b0 = byte(0);
  std::size_t need;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 3;
    if (b0 == 0xE0) lo = 0xA0;       // no overlong forms
    if (b0 == 0xED) hi = 0x9F;       // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 4;
    if (b0 == 0xF0) lo = 0x90;       // no overlong forms
    if (b0 == 0xF4) hi = 0x8F;       // nothing above U+10FFFF
  } else {
    prefix = 1;
    return 0;
  }
  std::size_t i = 1;
  for (; i < need && i < left; ++i) {
    unsigned char b = byte(i);
    unsigned char l = i == 1 ? lo : 0x80, h = i == 1 ? hi : 0xBF;
    if (b < l || b > h) break;
  }
  if (i == need) return need;
  prefix = i;
  return 0;
}

// Runs `cd` over the whole input, appending converted bytes to `out`; at each input position
// the converter refuses, `onBad` appends a replacement and returns how many bytes to skip.
template <typename OnBad>
void convert(Iconv& cd, std::string_view in, std::string& out, OnBad onBad) {
  cd.reset();
  const char* src = in.data();
  std::size_t left = in.size();
  char chunk[kChunkBytes];
  while (left > 0) {
    char* dst = chunk;
    std::size_t room = sizeof chunk;
    int err = cd.step(src, left, dst, room);
    out.append(chunk, static_cast<std::size_t>(dst - chunk));
    if (err == 0 || err == E2BIG) continue;
    // EILSEQ (undefined input) or EINVAL (incomplete sequence at the end).
    std::size_t skip = onBad(src, left, out);
    src += skip;
    left -= skip;
    cd.reset();
  }
  // Both encodings are stateless, so there is no shift state to flush at the end.
}

}  // namespace

std::string cp936ToUtf8(std::string_view cp936) {
  if (isAscii(cp936)) return std::string(cp936);
  std::string out;
  out.reserve(cp936.size() + cp936.size() / 2);
  convert(fromCp936(), cp936, out, [](const char* src, std::size_t left, std::string& o) {
    o += kReplacementUtf8;
    return badCp936Length(src, left);
  });
  return out;
}

std::string utf8ToCp936(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  auto onBad = [](const char* src, std::size_t left, std::string& o) {
    o += kReplacementCp936;
    std::size_t prefix = 0;
    std::size_t whole = utf8SequenceLength(src, left, prefix);
    return whole != 0 ? whole : prefix;
  };
  // A byte below 0x80 is a whole character in UTF-8 (never part of a longer or ill-formed
  // sequence) and the same byte in code page 936, so ASCII runs are copied and only the runs
  // between them go through the converter: text such as section text is mostly ASCII.
  auto isAsciiByte = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
  auto pos = utf8.begin();
  while (pos != utf8.end()) {
    auto runEnd = std::find_if_not(pos, utf8.end(), isAsciiByte);
    out.append(pos, runEnd);
    pos = std::find_if(runEnd, utf8.end(), isAsciiByte);
    if (pos != runEnd) convert(toCp936(), std::string_view(&*runEnd, static_cast<std::size_t>(pos - runEnd)), out, onBad);
  }
  return out;
}

bool isValidCp936(std::string_view cp936) {
  if (isAscii(cp936)) return true;
  bool valid = true;
  std::string sink;
  sink.reserve(cp936.size() * 2);
  convert(fromCp936(), cp936, sink, [&valid](const char*, std::size_t left, std::string&) {
    valid = false;
    return left;  // the answer is known: skip the rest
  });
  return valid;
}

namespace {

// Length of the well-formed UTF-8 sequence starting at `p` (a byte above 0x7F), 0 if none.
std::size_t utf8SequenceAt(const unsigned char* p, const unsigned char* end) {
  unsigned char b = p[0];
  std::size_t n = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
  if (n == 0 || static_cast<std::size_t>(end - p) < n) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((p[i] & 0xC0) != 0x80) return 0;
  // Overlong forms, surrogates and code points beyond U+10FFFF.
  if ((b == 0xE0 && p[1] < 0xA0) || (b == 0xED && p[1] > 0x9F) || (b == 0xF0 && p[1] < 0x90) ||
      (b == 0xF4 && p[1] > 0x8F))
    return 0;
  return n;
}

// True when every byte above 0x7F belongs to a well-formed UTF-8 sequence.
bool isWellFormedUtf8(const unsigned char* p, const unsigned char* end) {
  while (p < end) {
    if (*p < 0x80) {
      ++p;
      continue;
    }
    std::size_t n = utf8SequenceAt(p, end);
    if (n == 0) return false;
    p += n;
  }
  return true;
}

// True when the bytes above 0x7F come in lead/trail pairs of Chinese code page 936 text.
bool isChinesePairs(const unsigned char* p, const unsigned char* end) {
  while (p < end) {
    if (*p < 0x80) {
      ++p;
      continue;
    }
    if (p + 1 >= end || *p < 0x81 || *p > 0xFE || p[1] < 0xA1 || p[1] > 0xFE) return false;
    p += 2;
  }
  return true;
}

}  // namespace

EncodingGuess guessEncoding(std::string_view text) {
  const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = begin + text.size();
  if (isAscii(text)) return EncodingGuess::kAscii;
  if (isWellFormedUtf8(begin, end)) return EncodingGuess::kUtf8;
  return isChinesePairs(begin, end) ? EncodingGuess::kGbk : EncodingGuess::kOther;
}

}  // namespace contura::os
