// Number formatting of the section text writer. std::to_chars with the general format and
// precision 6 gives exactly the characters of printf "%.6g" in the C locale (round to
// nearest), without printf's parsing of the format and locale look-ups.
#include "SectionTextNumbers.h"

#include <charconv>

namespace sectiontext {

namespace {
constexpr int kSignificantDigits = 6;  // the precision of %g
}

void appendG(std::string& out, double value) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, kSignificantDigits);
  if (ec != std::errc()) {  // cannot happen with 32 bytes; printf as the fallback all the same
    CString s;
    s.Format("%g", value);
    out += s.GetString();
    return;
  }
  out.append(buf, end);
}

void appendG(CString& out, double value) {
  std::string s;
  appendG(s, value);
  out += s.c_str();
}

void appendD(std::string& out, long value) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  (void)ec;  // 24 bytes hold every long
  out.append(buf, end);
}

void appendD(CString& out, long value) {
  std::string s;
  appendD(s, value);
  out += s.c_str();
}

}  // namespace sectiontext
