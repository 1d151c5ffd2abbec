// libFuzzer target: the parsers of script answer lines on any bytes. The first line is a
// keyword list; every line is then read as a point, a selection line, a keyword answer and a
// dialog action. A matched keyword must be one of the list's.
#include <contura/ed/input.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "dialog_actions.h"
#include "fuzz_check.h"

namespace {

using namespace contura;

void parseLine(std::string_view line, const std::vector<ed::Keyword>& keywords) {
  const std::array<double, 3> last{1.5, -2.0, 0.25};
  (void)ed::parsePoint(line, last);
  ed::SelectionLine selection = ed::parseSelectionLine(line, last);
  for (const std::string& h : selection.handles)
    FUZZ_CHECK(!h.empty() && h.find_first_not_of("0123456789ABCDEF") == std::string::npos, h.c_str());
  const ed::Keyword* k = ed::matchKeyword(line, keywords);
  FUZZ_CHECK(!k || (k >= keywords.data() && k < keywords.data() + keywords.size()), "a keyword not in the list");
  std::string error;
  auto action = host::parseDialogAction(line, error);
  FUZZ_CHECK(action.has_value() == error.empty(), "an action with an error, or no action without one");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t cut = std::min(input.find('\n'), input.size());
  auto keywords = ed::parseKeywordList(input.substr(0, cut));
  std::vector<ed::Keyword> list = keywords ? *keywords : std::vector<ed::Keyword>{};
  for (std::size_t at = 0; at <= input.size();) {
    std::size_t end = std::min(input.find('\n', at), input.size());
    parseLine(input.substr(at, end - at), list);
    at = end + 1;
  }
  return 0;
}
