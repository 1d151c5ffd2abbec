// acutPrintf: the command-line printing of modules, handed to the installed print sink.
#include <acutads.h>
#include <contura/ed/print_sink.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace contura::ed {
namespace {

void writeToStdout(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

PrintSink& installedSink() {
  static PrintSink sink;
  return sink;
}

}  // namespace

PrintSink setPrintSink(PrintSink sink) {
  PrintSink previous = std::move(installedSink());
  installedSink() = std::move(sink);
  return previous;
}

}  // namespace contura::ed

int acutPrintf(const ACHAR* format, ...) {
  if (format == nullptr) return RTERROR;
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length < 0) {
    va_end(args);
    return RTERROR;
  }
  std::string text(static_cast<size_t>(length), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);

  // A copy, so that a sink that installs another sink while it runs stays alive.
  contura::ed::PrintSink sink = contura::ed::installedSink();
  if (sink)
    sink(text);
  else
    contura::ed::writeToStdout(text);
  return RTNORM;
}
