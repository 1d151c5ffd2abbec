// The host's input: every question the host or a module asks (a request) is answered from one
// stream of answer lines. A backend (script, terminal, and later a window) implements
// InputSource; the command prompt is the first kind of request, and the editor's point,
// selection and dialog requests are answered the same way.
#pragma once
#include "console.h"

#include <istream>
#include <string>
#include <string_view>

namespace contura::host {

enum class RequestKind {
  Command,     // the command prompt: a command name, QUIT
  Point,       // a point: x,y / x,y,z / @dx,dy / empty line / *cancel*
  Entity,      // an entity pick: x,y / h HANDLE / *cancel*
  Selection,   // one line of a selection, ended by an empty line / *cancel*
  Drag,        // the final cursor point of a drag
  Text,        // a string or keyword
  Dialog,      // one action on an open dialog (click, type, select, ok, ...)
  FileDialog,  // a path / *cancel*
};

// What the console says when a request is cancelled (the editor says the same).
inline constexpr std::string_view kCancelledText = "*取消*";

struct Request {
  RequestKind kind = RequestKind::Command;
  std::string prompt;  // UTF-8 text shown before the answer; may be empty
};

struct Answer {
  // kCancel: the person cancelled the request (Ctrl-C at the terminal); a script's
  // "*cancel*" is an ordinary line the requester understands.
  enum Status { kLine, kEnd, kCancel };
  Status status = kEnd;
  // The answer line (UTF-8, no line end) when status is kLine; what had been typed when the
  // request was cancelled.
  std::string text;

  bool ended() const { return status == kEnd; }
  bool cancelled() const { return status == kCancel; }
  static Answer line(std::string text) { return {kLine, std::move(text)}; }
  static Answer end() { return {kEnd, {}}; }
  static Answer cancel(std::string typed) { return {kCancel, std::move(typed)}; }
};

// One source of answers.
class InputSource {
public:
  virtual ~InputSource() = default;
  // Shows the request's prompt and returns the next answer line. Lines whose first character
  // is ';' are comments and never answers; a carriage return before the line end is dropped.
  // kEnd when the input has ended; every later call returns kEnd as well. A requester that
  // gets kEnd while it still needs an answer cancels its request and says so.
  virtual Answer answer(const Request& request) = 0;
  // True when a person answers (the terminal, a window), false for a script.
  virtual bool interactive() const = 0;
};

// Reads a line of an input stream, skipping comment lines. False at the end of the stream.
// `atStart`, when given and true, says the stream's first line is next: a UTF-8 byte-order
// mark before it is dropped (editors save scripts with one), and it is set to false.
bool readAnswerLine(std::istream& in, std::string& line, bool* atStart = nullptr);

// Answers from a script. Each answer is echoed after its prompt, so the output reads as if a
// person had typed it; at the end of the script nothing more is shown.
class ScriptInput : public InputSource {
public:
  ScriptInput(std::istream& in, Console& console) : m_in(in), m_console(console) {}
  Answer answer(const Request& request) override;
  bool interactive() const override { return false; }

private:
  std::istream& m_in;
  Console& m_console;
  bool m_ended = false;
  bool m_atStart = true;
};

// Answers typed by a person at the terminal: the prompt is shown, the person's own typing is
// the echo.
class TerminalInput : public InputSource {
public:
  TerminalInput(std::istream& in, Console& console) : m_in(in), m_console(console) {}
  Answer answer(const Request& request) override;
  bool interactive() const override { return true; }

private:
  std::istream& m_in;
  Console& m_console;
  bool m_ended = false;
};

}  // namespace contura::host
