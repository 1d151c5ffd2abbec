// The script and terminal sources of answers.
#include "input.h"

#include <string_view>

namespace contura::host {

bool readAnswerLine(std::istream& in, std::string& line, bool* atStart) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  while (std::getline(in, line)) {
    if (atStart != nullptr && *atStart) {
      *atStart = false;
      if (line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == ';') continue;
    return true;
  }
  return false;
}

Answer ScriptInput::answer(const Request& request) {
  std::string line;
  if (m_ended || !readAnswerLine(m_in, line, &m_atStart)) {
    m_ended = true;
    return Answer::end();
  }
  m_console.beginPrompt();
  m_console.write(request.prompt);
  m_console.write(line);
  return Answer::line(std::move(line));
}

Answer TerminalInput::answer(const Request& request) {
  if (m_ended) return Answer::end();
  m_console.beginPrompt();
  m_console.write(request.prompt);
  std::string line;
  if (!readAnswerLine(m_in, line)) {
    m_ended = true;
    m_console.write("\n");
    return Answer::end();
  }
  m_console.lineEnteredByUser();
  return Answer::line(std::move(line));
}

}  // namespace contura::host
