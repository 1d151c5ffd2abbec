// The terminal with line editing (libedit): the arrow keys move in the line and through the
// lines entered before, Tab completes command names at the command prompt and file names at
// a file prompt, and Ctrl-C cancels the pending request:
//   - at the command prompt it drops what was typed (saying *取消* when there was some);
//   - at any other request it answers Answer::cancel, and pressed while a command works it
//     cancels the request that comes next;
//   - Ctrl-D on an empty command line answers QUIT; elsewhere it cancels like Ctrl-C. Three
//     ends in a row without a line between (a terminal that went away) end the input.
// Command lines are kept across sessions in a history file; the answers to other requests
// have a history of their own that lasts the session.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "input.h"

struct editline;
struct history;

namespace contura::host {

// Completing the word before the cursor among `candidates`: the word becomes the only match,
// else the longest beginning all matches share (never cutting a character in two); `matches`
// lists them all. ASCII letter case is ignored when `ignoreCase`, and the word keeps the case
// typed unless it grows.
struct Completion {
  std::string word;
  std::vector<std::string> matches;
};
Completion complete(std::string_view word, const std::vector<std::string>& candidates, bool ignoreCase);

// The files and folders whose path begins with `typed` (a folder part up to the last '/',
// relative to the current folder, and the start of a name; hidden entries only when the name
// starts with '.'), folders ending with '/', sorted.
std::vector<std::string> fileNameCandidates(std::string_view typed);

// Where the command history is kept: "history" in the user's data folder; none without one.
std::optional<std::filesystem::path> historyFile();

class LineEditorInput final : public InputSource {
public:
  // True when standard input and output are a terminal the editor can drive.
  static bool available();

  // Reads from the terminal on standard input; `historyPath`, when given, is read now and
  // written after each command line (a file that cannot be read or written is skipped).
  LineEditorInput(Console& console, std::optional<std::filesystem::path> historyPath);
  ~LineEditorInput() override;
  LineEditorInput(const LineEditorInput&) = delete;
  LineEditorInput& operator=(const LineEditorInput&) = delete;

  Answer answer(const Request& request) override;
  bool interactive() const override { return true; }

private:
  unsigned char completeAtCursor();
  static unsigned char completeKey(editline* el, int key);
  static char* promptOf(editline* el);
  void remember(const std::string& line, RequestKind kind);

  Console& m_console;
  std::optional<std::filesystem::path> m_historyPath;
  editline* m_editor = nullptr;
  struct history* m_commandHistory = nullptr;
  struct history* m_answerHistory = nullptr;
  std::string m_prompt;
  RequestKind m_kind = RequestKind::Command;
  int m_endsInRow = 0;
  bool m_ended = false;
};

}  // namespace contura::host
