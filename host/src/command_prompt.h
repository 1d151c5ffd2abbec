// The command prompt: reads command names and runs the commands modules registered.
#pragma once
#include "console.h"
#include "input.h"

#include <string_view>

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

// Asks for commands until QUIT or the end of the input. An empty line asks again; an unknown
// name is reported as 未知命令“NAME”。 (NAME upper-cased) and the prompt comes back.
PromptEnd runCommandPrompt(InputSource& input, Console& console);

}  // namespace contura::host
