// The terminal with line editing through libedit.
#include "line_editor.h"

#include "answer_text.h"
#include "command_prompt.h"

#include <contura/os/paths.h>

#include <histedit.h>
#include <langinfo.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace contura::host {
namespace {

constexpr int kHistoryLines = 1000;
constexpr int kEndsBeforeGivingUp = 3;

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void onInterrupt(int) { gInterrupted = 1; }

// Ctrl-C sets a flag instead of ending the program. While a line is read the read is
// interrupted, so that the editor returns at once; otherwise interrupted system calls go on.
void catchInterrupt(bool interruptReads) {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = interruptReads ? 0 : SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t characterCount(std::string_view utf8) {
  return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) { return !isContinuationByte(c); }));
}

char foldCase(char c, bool ignoreCase) { return ignoreCase ? upperAscii(c) : c; }

bool startsWith(std::string_view text, std::string_view start, bool ignoreCase) {
  if (text.size() < start.size()) return false;
  for (size_t i = 0; i < start.size(); ++i)
    if (foldCase(text[i], ignoreCase) != foldCase(start[i], ignoreCase)) return false;
  return true;
}

std::string_view withoutLeadingBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

// libedit reads and shows multibyte text in the character set of the locale: a UTF-8 one is
// chosen when the environment names another.
void useUtf8Characters() {
  std::setlocale(LC_CTYPE, "");
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}

}  // namespace

Completion complete(std::string_view word, const std::vector<std::string>& candidates, bool ignoreCase) {
  Completion result{std::string(word), {}};
  for (const std::string& candidate : candidates)
    if (startsWith(candidate, word, ignoreCase)) result.matches.push_back(candidate);
  if (result.matches.empty()) return result;
  std::string_view shared = result.matches.front();
  for (const std::string& match : result.matches) {
    size_t n = 0;
    while (n < shared.size() && n < match.size() && foldCase(shared[n], ignoreCase) == foldCase(match[n], ignoreCase)) ++n;
    shared = shared.substr(0, n);
  }
  while (!shared.empty() && shared.size() < result.matches.front().size() &&
         isContinuationByte(result.matches.front()[shared.size()]))
    shared.remove_suffix(1);
  if (shared.size() > word.size()) result.word = std::string(shared);
  return result;
}

std::vector<std::string> fileNameCandidates(std::string_view typed) {
  size_t slash = typed.rfind('/');
  std::string folderPart(slash == std::string_view::npos ? std::string_view() : typed.substr(0, slash + 1));
  std::string_view namePart = slash == std::string_view::npos ? typed : typed.substr(slash + 1);
  std::vector<std::string> out;
  std::error_code ec;
  std::filesystem::directory_iterator it(folderPart.empty() ? "." : folderPart, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (!name.starts_with(namePart) || (name.front() == '.' && !namePart.starts_with("."))) continue;
    std::error_code kindError;
    out.push_back(folderPart + name + (it->is_directory(kindError) ? "/" : ""));
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::optional<std::filesystem::path> historyFile() {
  std::optional<std::filesystem::path> folder = os::userDataFolder();
  if (!folder) return std::nullopt;
  return *folder / "history";
}

bool LineEditorInput::available() {
  const char* term = std::getenv("TERM");
  return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO) && term != nullptr && std::strcmp(term, "dumb") != 0;
}

LineEditorInput::LineEditorInput(Console& console, std::optional<std::filesystem::path> historyPath)
    : m_console(console), m_historyPath(std::move(historyPath)) {
  useUtf8Characters();
  HistEvent event;
  m_commandHistory = history_init();
  m_answerHistory = history_init();
  for (History* h : {m_commandHistory, m_answerHistory}) {
    history(h, &event, H_SETSIZE, kHistoryLines);
    history(h, &event, H_SETUNIQUE, 1);
  }
  if (m_historyPath) history(m_commandHistory, &event, H_LOAD, m_historyPath->c_str());
  m_editor = el_init("contura", stdin, stdout, stderr);
  el_set(m_editor, EL_CLIENTDATA, this);
  el_set(m_editor, EL_EDITOR, "emacs");
  el_set(m_editor, EL_PROMPT, &LineEditorInput::promptOf);
  el_set(m_editor, EL_HIST, history, m_commandHistory);
  // The wide form keeps these static texts as they are; the narrow form copies them and never
  // frees the copies.
  el_wset(m_editor, EL_ADDFN, L"contura-complete", L"Complete a command or file name", &LineEditorInput::completeKey);
  el_set(m_editor, EL_BIND, "^I", "contura-complete", nullptr);
  el_source(m_editor, nullptr);  // the person's own ~/.editrc
  catchInterrupt(false);
}

LineEditorInput::~LineEditorInput() {
  std::signal(SIGINT, SIG_DFL);
  el_end(m_editor);
  history_end(m_commandHistory);
  history_end(m_answerHistory);
}

char* LineEditorInput::promptOf(EditLine* el) {
  void* data = nullptr;
  el_get(el, EL_CLIENTDATA, &data);
  return static_cast<LineEditorInput*>(data)->m_prompt.data();
}

unsigned char LineEditorInput::completeKey(EditLine* el, int) {
  void* data = nullptr;
  el_get(el, EL_CLIENTDATA, &data);
  return static_cast<LineEditorInput*>(data)->completeAtCursor();
}

unsigned char LineEditorInput::completeAtCursor() {
  const LineInfo* line = el_line(m_editor);
  std::string_view word = withoutLeadingBlanks(std::string_view(line->buffer, line->cursor - line->buffer));
  Completion completion;
  if (m_kind == RequestKind::Command)
    completion = complete(word, commandNames(), true);
  else if (m_kind == RequestKind::FileDialog)
    completion = complete(word, fileNameCandidates(word), false);
  else
    return CC_ERROR;
  if (completion.matches.empty()) return CC_ERROR;
  if (completion.word != word) {
    el_deletestr(m_editor, static_cast<int>(characterCount(word)));
    el_insertstr(m_editor, completion.word.c_str());
    return CC_REFRESH;
  }
  if (completion.matches.size() == 1) return CC_NORM;
  std::string listed = "\n";
  for (const std::string& match : completion.matches) {
    std::string_view shown = match;
    if (m_kind == RequestKind::FileDialog) {  // the names without their common folder
      size_t slash = shown.find_last_of('/', shown.size() - 2);
      if (slash != std::string_view::npos) shown.remove_prefix(slash + 1);
    }
    listed.append(shown).append("  ");
  }
  listed += "\n";
  std::fputs(listed.c_str(), stdout);
  std::fflush(stdout);
  return CC_REDISPLAY;
}

void LineEditorInput::remember(const std::string& line, RequestKind kind) {
  if (withoutLeadingBlanks(line).empty()) return;
  HistEvent event;
  History* h = kind == RequestKind::Command ? m_commandHistory : m_answerHistory;
  history(h, &event, H_ENTER, line.c_str());
  if (kind != RequestKind::Command || !m_historyPath) return;
  std::error_code ec;
  std::filesystem::create_directories(m_historyPath->parent_path(), ec);
  history(h, &event, H_SAVE, m_historyPath->c_str());
}

Answer LineEditorInput::answer(const Request& request) {
  if (m_ended) return Answer::end();
  m_console.beginPrompt();
  std::string_view prompt = request.prompt;
  if (size_t lastBreak = prompt.rfind('\n'); lastBreak != std::string_view::npos) {
    m_console.write(prompt.substr(0, lastBreak + 1));
    prompt.remove_prefix(lastBreak + 1);
  }
  m_prompt = std::string(prompt);
  m_kind = request.kind;
  el_set(m_editor, EL_HIST, history, request.kind == RequestKind::Command ? m_commandHistory : m_answerHistory);
  bool pressedWhileWorking = gInterrupted != 0;
  gInterrupted = 0;
  if (pressedWhileWorking && request.kind != RequestKind::Command) {
    m_console.write(m_prompt + "\n");
    m_console.lineEnteredByUser();
    return Answer::cancel({});
  }
  for (;;) {
    int count = 0;
    catchInterrupt(true);
    const char* read = el_gets(m_editor, &count);
    int readError = errno;
    catchInterrupt(false);
    if (read != nullptr && count > 0) {
      std::string line(read, static_cast<size_t>(count));
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
      m_endsInRow = 0;
      remember(line, request.kind);
      m_console.lineEnteredByUser();
      return Answer::line(std::move(line));
    }
    if (count < 0 && gInterrupted) {
      gInterrupted = 0;
      const LineInfo* info = el_line(m_editor);
      std::string typed(info->buffer, info->lastchar);
      if (request.kind == RequestKind::Command && withoutLeadingBlanks(typed).empty()) {
        std::fputs("\r", stdout);  // nothing to cancel: the prompt is drawn again in its place
        continue;
      }
      m_console.write("\n");
      m_console.lineEnteredByUser();
      return Answer::cancel(std::move(typed));
    }
    if (count < 0 && readError == EINTR) continue;  // another signal
    // Ctrl-D on an empty line, or the end of the terminal.
    if (count < 0 || ++m_endsInRow >= kEndsBeforeGivingUp) {
      m_ended = true;
      m_console.write("\n");
      return Answer::end();
    }
    if (request.kind == RequestKind::Command) {
      // The line is drawn again with the command it stands for, over the terminal's "^D".
      m_console.write("\r" + m_prompt + "QUIT\n");
      m_console.lineEnteredByUser();
      return Answer::line("QUIT");
    }
    m_console.write("\n");
    m_console.lineEnteredByUser();
    return Answer::cancel({});
  }
}

}  // namespace contura::host
