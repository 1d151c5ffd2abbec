// The command line's output: UTF-8 text on a stream, with the cursor position tracked so that
// prompts start on a line of their own and a session reads like a CAD transcript.
#pragma once
#include <ostream>
#include <string>
#include <string_view>

namespace contura::host {

class Console {
public:
  explicit Console(std::ostream& out);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Writes UTF-8 text as it is.
  void write(std::string_view utf8);
  // Writes text a module printed (code page 936) as UTF-8; bytes the code page does not define
  // become U+FFFD. A double-byte character split across two calls is joined: a lead byte at
  // the end of one call waits for the next.
  void writeModuleText(std::string_view cp936);
  // Starts a prompt: ends the current line unless the cursor is at the start of one.
  void beginPrompt();
  // A person typed an answer and pressed Enter: the terminal's cursor is at the start of a
  // line, so the line feed that output usually begins with is not repeated.
  void lineEnteredByUser();
  // Ends the session's output: a waiting lead byte is written as U+FFFD and the last line is
  // ended.
  void finish();

  bool atLineStart() const { return m_atLineStart; }

private:
  void put(std::string_view utf8);
  std::ostream& m_out;
  bool m_atLineStart = true;
  bool m_enterJustPressed = false;
  std::string m_heldLeadByte;  // an unfinished double-byte character of module text
};

}  // namespace contura::host
