// The input backend, queued answers, the editor's state and the parsing of answer lines.
#include <afxstr.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <deque>
#include <iterator>
#include <utility>

#include "editor_impl.h"

namespace contura::ed {
namespace {

// The pick box a session starts with, in drawing units (half the side of the square).
constexpr double kDefaultPickBox = 5.0;

InputBackend*& installed() {
  static InputBackend* backend = nullptr;
  return backend;
}

double& pickBoxRef() {
  static double value = kDefaultPickBox;
  return value;
}

std::deque<std::string>& queued() {
  static std::deque<std::string> lines;
  return lines;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool parseNumber(std::string_view s, double& out) {
  s = trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(out);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// Splits at blanks.
std::vector<std::string_view> words(std::string_view s) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    size_t start = i;
    while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
    if (i > start) out.push_back(s.substr(start, i - start));
  }
  return out;
}

bool isHandle(std::string_view s) {
  if (s.empty() || s.size() > 16) return false;
  for (char c : s)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

InputBackend* setInputBackend(InputBackend* backend) {
  InputBackend* previous = installed();
  installed() = backend;
  return previous;
}

void setPickBox(double halfSide) {
  if (halfSide > 0 && std::isfinite(halfSide)) pickBoxRef() = halfSide;
}

double pickBox() { return pickBoxRef(); }

void queueAnswer(std::string line) { queued().push_back(std::move(line)); }

std::optional<std::array<double, 3>> parsePoint(std::string_view text, const std::array<double, 3>& from) {
  text = trim(text);
  bool relative = !text.empty() && text.front() == '@';
  if (relative) text.remove_prefix(1);
  std::array<double, 3> p{0.0, 0.0, 0.0};
  int n = 0;
  while (n < 3) {
    size_t comma = text.find(',');
    if (!parseNumber(text.substr(0, comma), p[n])) return std::nullopt;
    ++n;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
    if (n == 3) return std::nullopt;  // a fourth number
  }
  if (n < 2) return std::nullopt;
  if (relative)
    for (int i = 0; i < 3; ++i) p[i] += from[i];
  return p;
}

SelectionLine parseSelectionLine(std::string_view text, const std::array<double, 3>& lastPoint) {
  SelectionLine line;
  text = trim(text);
  if (text.empty()) {
    line.kind = SelectionLine::kEnd;
    return line;
  }
  if (text == "*cancel*") {
    line.kind = SelectionLine::kCancel;
    return line;
  }
  std::vector<std::string_view> w = words(text);
  std::string_view keyword = w.front();
  if (w.size() == 1 && (equalsIgnoringCase(keyword, "all") || equalsIgnoringCase(keyword, "l"))) {
    line.kind = equalsIgnoringCase(keyword, "all") ? SelectionLine::kAll : SelectionLine::kLast;
    return line;
  }
  if (w.size() == 3 && (equalsIgnoringCase(keyword, "w") || equalsIgnoringCase(keyword, "c"))) {
    auto a = parsePoint(w[1], lastPoint), b = parsePoint(w[2], lastPoint);
    if (!a || !b) return line;
    line.kind = equalsIgnoringCase(keyword, "w") ? SelectionLine::kWindow : SelectionLine::kCrossing;
    line.p1 = *a;
    line.p2 = *b;
    return line;
  }
  if (w.size() >= 2 && equalsIgnoringCase(keyword, "h")) {
    for (size_t i = 1; i < w.size(); ++i) {
      if (!isHandle(w[i])) return line;
      std::string h(w[i]);
      for (char& c : h) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      line.handles.push_back(std::move(h));
    }
    line.kind = SelectionLine::kHandles;
    return line;
  }
  if (auto p = parsePoint(text, lastPoint)) {
    line.kind = SelectionLine::kPick;
    line.p1 = *p;
  }
  return line;
}

namespace {

// Lower-cases the ASCII letters of a code page 936 text, leaving double-byte characters
// (whose second byte may look like a letter) as they are.
std::string foldCase(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    auto byte = static_cast<unsigned char>(out[i]);
    if (_ismbblead(byte)) {
      ++i;  // the trail byte
      continue;
    }
    out[i] = static_cast<char>(std::tolower(byte));
  }
  return out;
}

// How an answer names a keyword: exactly (the word or its abbreviation), by a prefix that
// reaches the word's last capital, or not at all.
enum class Naming { kNone, kPrefix, kExact };

Naming naming(std::string_view answer, std::string_view word) {
  std::string said = foldCase(answer), whole = foldCase(word), abbreviation;
  size_t reach = 0;  // the length a prefix needs: up to the last capital
  for (size_t i = 0; i < word.size(); ++i) {
    auto byte = static_cast<unsigned char>(word[i]);
    if (_ismbblead(byte)) {
      ++i;  // a double-byte character has no capitals
    } else if (std::isupper(byte)) {
      abbreviation += static_cast<char>(std::tolower(byte));
      reach = i + 1;
    }
  }
  if (said == whole || (!abbreviation.empty() && said == abbreviation)) return Naming::kExact;
  if (reach > 0 && said.size() >= reach && said.size() < whole.size() && whole.compare(0, said.size(), said) == 0)
    return Naming::kPrefix;
  return Naming::kNone;
}

}  // namespace

std::optional<std::vector<Keyword>> parseKeywordList(std::string_view list) {
  std::vector<std::string_view> all = words(list), locals = all, globals;
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i] != "_") continue;
    locals.assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(i));
    globals.assign(all.begin() + static_cast<std::ptrdiff_t>(i) + 1, all.end());
    if (globals.size() != locals.size()) return std::nullopt;
    break;
  }
  std::vector<Keyword> keywords;
  for (size_t i = 0; i < locals.size(); ++i)
    keywords.push_back({std::string(locals[i]), std::string(globals.empty() ? locals[i] : globals[i])});
  return keywords;
}

const Keyword* matchKeyword(std::string_view answer, const std::vector<Keyword>& keywords) {
  answer = trim(answer);
  bool global = answer.size() > 1 && answer.front() == '_';
  if (global) answer.remove_prefix(1);
  if (answer.empty()) return nullptr;
  const Keyword* byPrefix = nullptr;
  for (const Keyword& keyword : keywords) {
    Naming how = naming(answer, global ? keyword.global : keyword.local);
    if (how == Naming::kExact) return &keyword;
    if (how == Naming::kPrefix && !byPrefix) byPrefix = &keyword;
  }
  return byPrefix;
}

namespace detail {

Arming takeArming() {
  lastInputRef().reset();
  return std::exchange(armedRef(), Arming{});
}

Arming& armedRef() {
  static Arming arming;
  return arming;
}

std::optional<std::string>& lastInputRef() {
  static std::optional<std::string> text;
  return text;
}

std::vector<std::string> localNames(const std::vector<Keyword>& keywords) {
  std::vector<std::string> names;
  for (const Keyword& keyword : keywords) names.push_back(keyword.local);
  return names;
}

void queueAnswersFirst(std::vector<std::string> lines) {
  queued().insert(queued().begin(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
}

InputLine ask(const InputRequest& request) {
  if (!queued().empty()) {
    std::string line = std::move(queued().front());
    queued().pop_front();
    // "\\" (a pause) hands this answer to the person after all.
    if (line != "\\") {
      // Shown as if typed, so that a transcript shows what the command answered.
      std::string_view prompt = request.prompt;
      while (!prompt.empty() && prompt.front() == '\n') prompt.remove_prefix(1);
      say("\n" + std::string(prompt) + line);
      return InputLine::line(std::move(line));
    }
  }
  if (!installed()) return InputLine::end();
  return installed()->readLine(request);
}

void say(std::string_view text) {
  if (installed()) installed()->message(text);
}

Point3& lastPointRef() {
  static Point3 p{0.0, 0.0, 0.0};
  return p;
}

std::vector<TemporaryVector>& temporaryVectorsRef() {
  static std::vector<TemporaryVector> vectors;
  return vectors;
}

DisplayedView& viewRef() {
  static DisplayedView view;
  return view;
}

int& regenerationsRef() {
  static int count = 0;
  return count;
}

void regenerate() {
  temporaryVectorsRef().clear();
  ++regenerationsRef();
}

}  // namespace detail

std::vector<TemporaryVector> temporaryVectors() { return detail::temporaryVectorsRef(); }
int regenerations() { return detail::regenerationsRef(); }
DisplayedView displayedView() { return detail::viewRef(); }
std::array<double, 3> lastPoint() { return detail::lastPointRef(); }

void resetEditor() {
  detail::freeAllSelectionSets();
  detail::temporaryVectorsRef().clear();
  detail::regenerationsRef() = 0;
  detail::lastPointRef() = {0.0, 0.0, 0.0};
  detail::viewRef() = DisplayedView{};
  pickBoxRef() = kDefaultPickBox;
  queued().clear();
  detail::takeArming();
}

}  // namespace contura::ed
