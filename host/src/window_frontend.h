// The window front end of `contura --gui`: a build that has a window installs one; the
// session hands it the loaded module's drawing in place of the terminal's command prompt.
#pragma once
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "options.h"

class AcDbDatabase;

namespace contura::host {

// What the session gives the window.
struct WindowSession {
  const Options& options;
  // The working database. The window may replace it (opening another drawing); the one held
  // when the window ends is the one --save writes.
  std::unique_ptr<AcDbDatabase>& drawing;
  // The file the drawing was read from (empty for a new drawing).
  std::optional<std::filesystem::path> drawingPath;
  // Why DRAWING.dxf could not be read (empty when it was, or none was given); the window
  // shows it and starts with a new drawing.
  std::string openError;
};

class WindowFrontEnd {
public:
  virtual ~WindowFrontEnd() = default;
  // Runs the command prompt in the window until the person quits or closes it. The module is
  // loaded, the print sink and the backends of the script and terminal are installed (the
  // window installs its own over them). Returns the program's exit code.
  virtual int run(WindowSession& session) = 0;
};

// Installs the front end (not owned; null removes it) and returns the previous one.
WindowFrontEnd* setWindowFrontEnd(WindowFrontEnd* frontEnd);
WindowFrontEnd* windowFrontEnd();

}  // namespace contura::host
