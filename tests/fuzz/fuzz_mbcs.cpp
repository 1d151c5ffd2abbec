// libFuzzer target: the multi-byte string helpers on any bytes. The input is cut at its first
// line feed into a text and a second string (the needle, the other side of a comparison, the
// characters to trim); the CRT-style functions must agree with each other and with CString,
// and the code page conversions must give well-formed text.
#include <afx.h>
#include <contura/os/codepage.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"

namespace {

using contura::os::EncodingGuess;

const unsigned char* bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.c_str()); }

// The character a _mbschr result points at: a lead byte and the byte after it as
// (lead << 8) | next.
unsigned int charAt(const unsigned char* p) {
  if (_ismbblead(*p) && p[1] != 0) return (unsigned(*p) << 8) | p[1];
  return *p;
}

void checkSearches(const std::string& text, const std::string& other) {
  const unsigned char* s = bytes(text);
  const unsigned char* end = s + std::strlen(text.c_str());
  unsigned int wanted[] = {other.empty() ? 0u : static_cast<unsigned char>(other[0]),
                           other.size() < 2 ? 0u : (unsigned(static_cast<unsigned char>(other[0])) << 8) |
                                                       static_cast<unsigned char>(other[1])};
  for (unsigned int c : wanted) {
    for (const unsigned char* p : {_mbschr(s, c), _mbsrchr(s, c)}) {
      if (!p) continue;
      FUZZ_CHECK(p >= s && p <= end, "found outside the string");
      if (c != 0) FUZZ_CHECK(charAt(p) == c, "found another character");
    }
  }
  const unsigned char* sub = _mbsstr(s, bytes(other));
  if (sub) {
    std::size_t n = std::strlen(other.c_str());
    FUZZ_CHECK(sub >= s && sub + n <= end && std::memcmp(sub, other.c_str(), n) == 0, "wrong substring");
  }
  // In well-formed text CString finds a single byte where _mbschr does (on a lone lead byte
  // the CRT functions give up or pair it with any byte, CString does neither).
  if (!wanted[0] || wanted[0] >= 0x80 || !contura::os::isValidCp936(text.c_str())) return;
  CString cs(text.c_str());
  const unsigned char* p = _mbschr(s, wanted[0]);
  FUZZ_CHECK(cs.Find(static_cast<char>(wanted[0])) == (p ? static_cast<int>(p - s) : -1), "Find and _mbschr differ");
  p = _mbsrchr(s, wanted[0]);
  FUZZ_CHECK(cs.ReverseFind(static_cast<char>(wanted[0])) == (p ? static_cast<int>(p - s) : -1),
             "ReverseFind and _mbsrchr differ");
}

void checkComparisons(const std::string& a, const std::string& b) {
  FUZZ_CHECK(_mbsicmp(bytes(a), bytes(a)) == 0 && _mbscmp(bytes(a), bytes(a)) == 0, "a string differs from itself");
  FUZZ_CHECK(_mbsicmp(bytes(a), bytes(b)) == -_mbsicmp(bytes(b), bytes(a)), "_mbsicmp is not antisymmetric");
  FUZZ_CHECK(_mbscmp(bytes(a), bytes(b)) == -_mbscmp(bytes(b), bytes(a)), "_mbscmp is not antisymmetric");
  CString upper(a.c_str()), lower(a.c_str());
  upper.MakeUpper();
  lower.MakeLower();
  FUZZ_CHECK(upper.CompareNoCase(a.c_str()) == 0 && lower.CompareNoCase(upper) == 0, "case change is not case-blind equal");
  FUZZ_CHECK(upper.GetLength() == lower.GetLength(), "case change changed the length");
}

// Editing members with positions and counts taken from the input: no crash, lengths add up.
void checkEditing(const std::string& text, const std::string& other) {
  CString cs{std::string_view(text)};
  int n = other.empty() ? 0 : static_cast<signed char>(other[0]);
  int m = other.size() < 2 ? 0 : static_cast<signed char>(other[1]);
  int length = cs.GetLength();
  (void)cs.Mid(n);
  (void)cs.Mid(n, m);
  (void)cs.Left(n);
  (void)cs.Right(n);
  (void)cs.SpanIncluding(other.c_str());
  (void)cs.SpanExcluding(other.c_str());
  (void)cs.FindOneOf(other.c_str());
  (void)cs.Find(other.c_str(), n);
  CString edited = cs;
  edited.Insert(n, other.c_str());
  FUZZ_CHECK(edited.GetLength() == length + static_cast<int>(std::strlen(other.c_str())), "Insert lost bytes");
  edited.Delete(m, n);
  edited.Replace(other.c_str(), "[]\\");
  edited.Remove('\\');
  CString trimmed = cs;
  trimmed.Trim(other.c_str());
  FUZZ_CHECK(trimmed.GetLength() <= length, "Trim made the string longer");
  trimmed.TrimLeft().TrimRight(other.empty() ? ' ' : other[0]);
  CString reversed = cs;
  reversed.MakeReverse();
  FUZZ_CHECK(reversed.GetLength() == length, "MakeReverse changed the length");
}

void checkConversions(const std::string& text) {
  std::string utf8 = contura::os::cp936ToUtf8(text);
  EncodingGuess g = contura::os::guessEncoding(utf8);
  FUZZ_CHECK(g == EncodingGuess::kAscii || g == EncodingGuess::kUtf8, "CP936 decoded to malformed UTF-8");
  std::string back = contura::os::utf8ToCp936(text);
  (void)contura::os::isValidCp936(back);
  if (contura::os::isValidCp936(text))
    FUZZ_CHECK(contura::os::utf8ToCp936(utf8) == text, "valid CP936 text did not survive UTF-8 and back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t cut = std::min(input.find('\n'), input.size());
  std::string text(input.substr(0, cut));
  std::string other(cut < input.size() ? input.substr(cut + 1) : std::string_view());
  checkSearches(text, other);
  checkComparisons(text, other);
  checkEditing(text, other);
  checkConversions(text);
  return 0;
}
