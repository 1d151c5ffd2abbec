// The host's input: every question the host or a module asks (a request) is answered from one
// stream of answer lines. A backend (script, terminal, and later a window) implements
// InputSource; the command prompt is the first kind of request, and the editor's point,
// selection and dialog requests are answered the same way.
#pragma once
#include "console.h"

#include <istream>
#include <string>

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

struct Request {
  RequestKind kind = RequestKind::Command;
  std::string prompt;  // UTF-8 text shown before the answer; may be empty
};

struct Answer {
  enum Status { kLine, kEnd };
  Status status = kEnd;
  std::string text;  // the answer line (UTF-8, no line end) when status is kLine

  bool ended() const { return status == kEnd; }
  static Answer line(std::string text) { return {kLine, std::move(text)}; }
  static Answer end() { return {kEnd, {}}; }
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
bool readAnswerLine(std::istream& in, std::string& line);

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
