// Keyword and text requests: acedInitGet arms the next request, acedGetKword asks for a
// keyword, acedGetInput gives the keyword a request answered with, acedGetString asks for text.
#include <aced.h>
#include <afxstr.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor_impl.h"

namespace ed = contura::ed;

namespace {

// The host's answer buffers hold 512 bytes, the terminating zero included.
constexpr size_t kAnswerBufferSize = 512;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimmed(const std::string& s) {
  size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// Copies text into a host answer buffer; false when it had to be cut (never inside a
// double-byte character).
bool copyToBuffer(const std::string& text, ACHAR* buffer) {
  size_t length = 0;
  while (length < text.size()) {
    size_t step = _ismbblead(static_cast<unsigned char>(text[length])) && length + 1 < text.size() ? 2 : 1;
    if (length + step > kAnswerBufferSize - 1) break;
    length += step;
  }
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return length == text.size();
}

// Splits an answer at blanks: its first word, and the words after it.
std::vector<std::string> blankSeparatedWords(const std::string& text) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && isBlank(text[i])) ++i;
    size_t start = i;
    while (i < text.size() && !isBlank(text[i])) ++i;
    if (i > start) out.push_back(text.substr(start, i - start));
  }
  return out;
}

}  // namespace

int acedInitGet(int val, const ACHAR* kwl) {
  ed::detail::armedRef() = {};
  std::optional<std::vector<ed::Keyword>> keywords = ed::parseKeywordList(kwl ? kwl : "");
  if (!keywords) return RTREJ;
  for (const ed::Keyword& keyword : *keywords)
    if (keyword.local.size() >= kAnswerBufferSize || keyword.global.size() >= kAnswerBufferSize) return RTREJ;
  ed::detail::armedRef() = {val, std::move(*keywords)};
  return RTNORM;
}

int acedGetInput(ACHAR* str) {
  if (!str) return RTREJ;
  const std::optional<std::string>& input = ed::detail::lastInputRef();
  if (!input) return RTERROR;
  copyToBuffer(*input, str);
  return RTNORM;
}

int acedGetKword(const ACHAR* prompt, ACHAR* result) {
  ed::detail::Arming arming = ed::detail::takeArming();
  if (!result || (arming.keywords.empty() && !(arming.flags & RSG_OTHER))) return RTREJ;
  ed::InputRequest request{ed::RequestKind::kKeyword, prompt ? prompt : "", std::nullopt};
  request.keywords = ed::detail::localNames(arming.keywords);
  for (;;) {
    ed::InputLine answer = ed::detail::ask(request);
    if (answer.ended) return RTCAN;
    std::string text = trimmed(answer.text);
    if (text == "*cancel*") {
      ed::detail::say(ed::kCancelled);
      return RTCAN;
    }
    if (text.empty() && !(arming.flags & RSG_NONULL)) return RTNONE;
    std::optional<std::string> chosen;
    if (const ed::Keyword* keyword = ed::matchKeyword(text, arming.keywords)) {
      chosen = keyword->global;
    } else if (!text.empty() && (arming.flags & RSG_OTHER)) {
      chosen = text;
    }
    if (!chosen) {
      ed::detail::say(ed::kInvalidKeyword);
      continue;
    }
    copyToBuffer(*chosen, result);
    ed::detail::lastInputRef() = std::move(chosen);
    return RTNORM;
  }
}

int acedGetString(int cronly, const ACHAR* prompt, ACHAR* result) {
  ed::detail::takeArming();
  if (!result) return RTREJ;
  const ed::InputRequest request{ed::RequestKind::kString, prompt ? prompt : "", std::nullopt};
  ed::InputLine answer = ed::detail::ask(request);
  if (answer.ended) return RTCAN;
  if (trimmed(answer.text) == "*cancel*") {
    ed::detail::say(ed::kCancelled);
    return RTCAN;
  }
  std::string text = answer.text;
  if (!cronly) {
    std::vector<std::string> words = blankSeparatedWords(text);
    text = words.empty() ? std::string() : words.front();
    if (!words.empty()) ed::detail::queueAnswersFirst({words.begin() + 1, words.end()});
  }
  return copyToBuffer(text, result) ? RTNORM : RTINPUTTRUNCATED;
}
