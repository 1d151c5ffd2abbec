// Character walking over code page 936 bytes, shared by the CRT helpers and CString.
#pragma once
#include <cstddef>
#include <string_view>

#include <contura/os/codepage.h>

namespace contura::afx::mbcs {

using os::isLeadByte;
using os::isTrailByte;

// Bytes taken by the character at s[i]: a lead byte takes the next byte with it unless that
// byte is missing or zero (the C runtime stops at a zero byte; a lone lead byte is one
// character of its own here).
inline std::size_t charSize(std::string_view s, std::size_t i) {
  if (isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() && s[i + 1] != '\0') return 2;
  return 1;
}

// The character value at s[i]: a double-byte character is (lead << 8) | trail.
inline unsigned int charValue(std::string_view s, std::size_t i) {
  unsigned int c = static_cast<unsigned char>(s[i]);
  if (charSize(s, i) == 2) c = (c << 8) | static_cast<unsigned char>(s[i + 1]);
  return c;
}

// True when `ch` occurs in `set` as a single-byte character (double-byte characters of
// `set` never match a single byte).
inline bool singleByteIn(unsigned char ch, std::string_view set) {
  for (std::size_t i = 0; i < set.size(); i += charSize(set, i))
    if (charSize(set, i) == 1 && static_cast<unsigned char>(set[i]) == ch) return true;
  return false;
}

// True when the character at s[i] occurs in `set` (compared as whole characters).
inline bool charIn(std::string_view s, std::size_t i, std::string_view set) {
  unsigned int c = charValue(s, i);
  for (std::size_t j = 0; j < set.size(); j += charSize(set, j))
    if (charValue(set, j) == c) return true;
  return false;
}

}  // namespace contura::afx::mbcs
