// The command prompt loop.
#include "command_prompt.h"

#include "answer_text.h"

#include <accmd.h>
#include <afxres.h>
#include <contura/os/codepage.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <string>

namespace contura::host {
namespace {

// The code points of UTF-8 text, ASCII letters upper-cased; a byte that starts no character
// stands for itself.
std::u32string foldedCodePoints(std::string_view utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (i + length > utf8.size()) length = 1;
    char32_t point = length == 1 ? c : c & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) point = (point << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    if (point >= 'a' && point <= 'z') point -= 'a' - 'A';
    out += point;
    i += length;
  }
  return out;
}

// Steps from `a` to `b`: adding, dropping or changing a character, or swapping two neighbours.
size_t editSteps(const std::u32string& a, const std::u32string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i)
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[a.size()][b.size()];
}

constexpr size_t kMostSuggestionSteps = 2;

// Makes a module's resources current for the duration of a command.
class CommandResourceScope {
public:
  explicit CommandResourceScope(HINSTANCE resource) : m_previous(AfxGetResourceHandle()), m_set(resource != nullptr) {
    if (m_set) AfxSetResourceHandle(resource);
  }
  ~CommandResourceScope() {
    if (m_set) AfxSetResourceHandle(m_previous);
  }
  CommandResourceScope(const CommandResourceScope&) = delete;
  CommandResourceScope& operator=(const CommandResourceScope&) = delete;

private:
  HINSTANCE m_previous;
  bool m_set;
};

}  // namespace

AcEdCommand* findCommand(std::string_view typed) {
  std::string_view name = trimBlanks(typed);
  bool globalOnly = !name.empty() && name.front() == '_';
  if (globalOnly) name.remove_prefix(1);
  if (name.empty()) return nullptr;
  AcEdCommandStack* stack = acedRegCmds;
  if (stack == nullptr) return nullptr;
  std::string cp936 = os::utf8ToCp936(name);
  if (!globalOnly)
    if (AcEdCommand* local = stack->lookupLocalCmd(cp936.c_str())) return local;
  return stack->lookupGlobalCmd(cp936.c_str());
}

void runCommand(AcEdCommand* command, Console& console) {
  // Everything needed is copied first: the command may remove itself while it runs.
  AcRxFunctionPtr function = command->functionAddr();
  std::string name = os::cp936ToUtf8(command->globalName());
  CommandResourceScope resources(command->resourceHandle());
  try {
    function();
  } catch (const std::exception& e) {
    console.beginPrompt();
    console.write("命令 " + name + " 因内部错误中止：" + e.what() + "\n");
  } catch (...) {
    console.beginPrompt();
    console.write("命令 " + name + " 因内部错误中止。\n");
  }
}

std::vector<std::string> commandNames() {
  std::vector<std::string> names;
  std::vector<std::string> folded;
  auto add = [&](std::string name) {
    std::string key = upperAscii(name);
    if (name.empty() || std::find(folded.begin(), folded.end(), key) != folded.end()) return;
    folded.push_back(std::move(key));
    names.push_back(std::move(name));
  };
  for (const HostCommand& c : kHostCommands) {
    add(c.name);
    add(c.localName);
  }
  if (AcEdCommandStack* stack = acedRegCmds) {
    std::unique_ptr<AcEdCommandIterator> it(stack->iterator());
    for (; !it->done(); it->next()) {
      add(os::cp936ToUtf8(it->command()->localName()));
      add(os::cp936ToUtf8(it->command()->globalName()));
    }
  }
  return names;
}

std::string nearestName(std::string_view typed, const std::vector<std::string>& names) {
  std::u32string wanted = foldedCodePoints(typed);
  std::string best;
  size_t bestSteps = kMostSuggestionSteps + 1;
  for (const std::string& name : names) {
    std::u32string candidate = foldedCodePoints(name);
    size_t steps = editSteps(wanted, candidate);
    if (steps < bestSteps && steps < candidate.size()) {
      best = name;
      bestSteps = steps;
    }
  }
  return best;
}

PromptEnd runCommandPrompt(InputSource& input, Console& console, const PromptContext& context) {
  const Request request{RequestKind::Command, std::string(kCommandPrompt)};
  for (;;) {
    Answer answer = input.answer(request);
    if (answer.ended()) return PromptEnd::EndOfInput;
    std::string_view name = trimBlanks(answer.text);
    if (answer.cancelled()) {
      if (!name.empty()) console.write("\n" + std::string(kCancelledText));
      continue;
    }
    if (name.empty()) continue;
    if (const HostCommand* own = findHostCommand(name)) {
      switch (runHostCommand(*own, input, console, context)) {
        case HostCommandEnd::kDone: continue;
        case HostCommandEnd::kQuit: return PromptEnd::Quit;
        case HostCommandEnd::kInputEnded: return PromptEnd::EndOfInput;
      }
    }
    AcEdCommand* command = findCommand(name);
    if (command == nullptr) {
      std::string message = "\n未知命令“" + upperAscii(name) + "”。";
      std::string near = nearestName(name, commandNames());
      if (!near.empty()) message += "是否指“" + near + "”？";
      console.write(message);
      continue;
    }
    runCommand(command, console);
  }
}

}  // namespace contura::host
