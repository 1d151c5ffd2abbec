// The ordering and matching of list rows.
#include "list_compare.h"

#include <cstring>
#include <string_view>

#include "mbcs.h"

namespace contura::afx::detail {
namespace {

using contura::afx::mbcs::charSize;
using contura::afx::mbcs::charValue;

// Character classes in sort order.
enum Rank { kSymbol = 0, kDigit = 1, kLetter = 2, kWide = 3 };

Rank rankOf(unsigned int c) {
  if (c > 0xFF) return kWide;
  if (c >= '0' && c <= '9') return kDigit;
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return kLetter;
  if (c >= 0x80) return kWide;
  return kSymbol;
}

unsigned int folded(unsigned int c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// Walks both texts character by character; `compare` gets each pair and returns non-zero to
// stop with that result. Returns 0 when both end together, else which one ended first.
template <class F>
int walk(std::string_view a, std::string_view b, F compare) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    unsigned int ca = charValue(a, i), cb = charValue(b, j);
    if (int r = compare(ca, cb)) return r;
    i += charSize(a, i);
    j += charSize(b, j);
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace

int compareForSort(const CString& a, const CString& b) {
  std::string_view x = a.str(), y = b.str();
  int primary = walk(x, y, [](unsigned int ca, unsigned int cb) {
    Rank ra = rankOf(ca), rb = rankOf(cb);
    if (ra != rb) return ra < rb ? -1 : 1;
    unsigned int fa = folded(ca), fb = folded(cb);
    if (fa != fb) return fa < fb ? -1 : 1;
    return 0;
  });
  if (primary != 0) return primary;
  // Same ignoring case: the first lower-case letter facing an upper-case one sorts first.
  return walk(x, y, [](unsigned int ca, unsigned int cb) {
    if (ca == cb) return 0;
    return ca > cb ? -1 : 1;  // 'a' (0x61) before 'A' (0x41)
  });
}

bool equalIgnoringCase(const CString& text, const char* other) {
  std::string_view o = other ? other : "";
  return walk(text.str(), o, [](unsigned int ca, unsigned int cb) { return folded(ca) == folded(cb) ? 0 : 1; }) == 0;
}

bool startsWithIgnoringCase(const CString& text, const char* prefix) {
  std::string_view p = prefix ? prefix : "";
  std::string_view t = text.str();
  size_t i = 0, j = 0;
  while (j < p.size()) {
    if (i >= t.size()) return false;
    if (folded(charValue(t, i)) != folded(charValue(p, j))) return false;
    i += charSize(t, i);
    j += charSize(p, j);
  }
  return true;
}

}  // namespace contura::afx::detail
