// The command prompt loop.
#include "command_prompt.h"

#include <accmd.h>
#include <afxres.h>
#include <contura/os/codepage.h>

#include <exception>
#include <string>

namespace contura::host {
namespace {

std::string_view trimBlanks(std::string_view s) {
  const char* blanks = " \t";
  size_t first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  size_t last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
}

std::string upperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool isQuit(std::string_view name) { return upperAscii(name) == "QUIT"; }

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

PromptEnd runCommandPrompt(InputSource& input, Console& console) {
  const Request request{RequestKind::Command, std::string(kCommandPrompt)};
  for (;;) {
    Answer answer = input.answer(request);
    if (answer.ended()) return PromptEnd::EndOfInput;
    std::string_view name = trimBlanks(answer.text);
    if (name.empty()) continue;
    if (isQuit(name)) return PromptEnd::Quit;
    AcEdCommand* command = findCommand(name);
    if (command == nullptr) {
      console.write("\n未知命令“" + upperAscii(name) + "”。");
      continue;
    }
    runCommand(command, console);
  }
}

}  // namespace contura::host
