// The command prompt: reads command names and runs the commands modules registered.
#pragma once
#include "console.h"
#include "host_commands.h"
#include "input.h"

#include <string>
#include <string_view>
#include <vector>

class AcEdCommand;

namespace contura::host {

// The prompt shown for every command (UTF-8).
inline constexpr std::string_view kCommandPrompt = "命令: ";

// Finds a registered command by what the user typed (UTF-8): a local name, else a global
// name, letter case ignored; a leading '_' looks among global names only. Blanks around the
// name are ignored. Null when no command has that name.
AcEdCommand* findCommand(std::string_view typed);

// Runs a command: its module's resources are current while it runs (when it registered a
// resource handle) and the previous resource handle is current again after. An exception
// that escapes the command is reported on the console and the prompt goes on.
void runCommand(AcEdCommand* command, Console& console);

enum class PromptEnd {
  Quit,        // QUIT was entered
  EndOfInput,  // the input ended
};

// Every name a command is typed by (UTF-8): the host's commands' and each registered
// command's global and local names, each once (letter case ignored), in that order.
std::vector<std::string> commandNames();

// The name among `names` nearest to `typed` (letter case ignored; one character added,
// dropped, changed, or two neighbours swapped, count one step each), when it is at most two
// steps away and fewer steps than it has characters; empty when none is that near.
std::string nearestName(std::string_view typed, const std::vector<std::string>& names);

// Asks for commands until QUIT or the end of the input. An empty line asks again; the host's
// own commands (host_commands.h) run on `context`; an unknown name is reported as
// 未知命令“NAME”。 (NAME upper-cased), followed by 是否指“NEAR”？ when a known name is near,
// and the prompt comes back. A cancelled line (Ctrl-C) that had text says *取消*.
PromptEnd runCommandPrompt(InputSource& input, Console& console, const PromptContext& context = {});

}  // namespace contura::host
