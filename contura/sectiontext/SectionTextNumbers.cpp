// Number formatting of the section text writer. std::to_chars with the general format and
// precision 6 gives exactly the characters of printf "%.6g" in the C locale (round to
// nearest), without printf's parsing of the format and locale look-ups.
#include "SectionTextNumbers.h"

#include <charconv>

namespace sectiontext {

namespace {
constexpr int kSignificantDigits = 6;  // the precision of %g
}

void appendG(CString& out, double value) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::general, kSignificantDigits);
  if (ec != std::errc()) {
    out.AppendFormat("%g", value);
    return;
  }
  *end = '\0';
  out += buf;
}

void appendD(CString& out, long value) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf - 1, value);
  *end = '\0';
  (void)ec;
  out += buf;
}

}  // namespace sectiontext
