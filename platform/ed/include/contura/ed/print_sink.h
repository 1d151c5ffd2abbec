// Where the command-line text of modules goes: the host program installs a sink, tests
// install one to capture what a module prints.
#pragma once
#include <functional>
#include <string_view>

namespace contura::ed {

// Receives the text of each acutPrintf call: code page 936 bytes exactly as formatted
// (line feeds included; a call's text may end inside a double-byte character when the
// module prints one byte at a time).
using PrintSink = std::function<void(std::string_view cp936)>;

// Installs `sink` and returns the one it replaces. An empty sink restores the default, which
// writes the bytes unchanged to standard output.
PrintSink setPrintSink(PrintSink sink);

// Installs a sink for the lifetime of the object and puts the previous one back after.
class ScopedPrintSink {
public:
  explicit ScopedPrintSink(PrintSink sink) : m_previous(setPrintSink(std::move(sink))) {}
  ~ScopedPrintSink() { setPrintSink(std::move(m_previous)); }
  ScopedPrintSink(const ScopedPrintSink&) = delete;
  ScopedPrintSink& operator=(const ScopedPrintSink&) = delete;

private:
  PrintSink m_previous;
};

}  // namespace contura::ed
