// The Qt window as the front end of `contura --gui`.
#pragma once
#include <QString>

#include "window_frontend.h"

namespace contura::qt {

class MainWindow;
class WindowUi;

class QtFrontEnd final : public host::WindowFrontEnd {
public:
  // Makes the application object when there is none (the program), or uses the one there is
  // (tests); shows the main window with the drawing and runs the command prompt in it.
  int run(host::WindowSession& session) override;

  // The window and its answers while run() is going on (null otherwise): for tests.
  static MainWindow* runningWindow();
  static WindowUi* runningUi();
  // The command line's text of the last window when it ended.
  static QString lastTranscript();
};

// Installs a QtFrontEnd for the program `contura` (once).
void installQtFrontEnd();

}  // namespace contura::qt
