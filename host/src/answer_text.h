// Small helpers for the words people type as answers: blanks around them, ASCII letter case.
// Only ASCII letters change case: Chinese text and other UTF-8 bytes are left as they are.
#pragma once
#include <string>
#include <string_view>

namespace contura::host {

// `s` without the blanks and tabs around it.
inline std::string_view trimBlanks(std::string_view s) {
  const char* blanks = " \t";
  size_t first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  size_t last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
}

inline char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string upperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = upperAscii(c);
  return out;
}

inline std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lowerAscii(c);
  return out;
}

// The answer as a keyword is compared: blanks around it dropped, lower case.
inline std::string keywordOf(std::string_view answer) { return lowerAscii(trimBlanks(answer)); }

}  // namespace contura::host
