// The window session: application object, main window, backends, the command prompt.
#include "qt_frontend.h"

#include <QApplication>
#include <QGuiApplication>

#include <contura/afx/ui_backend.h>
#include <contura/ed/input.h>
#include <contura/ed/print_sink.h>

#include <cstdlib>
#include <memory>

#include "command_prompt.h"
#include "console.h"
#include "main_window.h"
#include "session.h"
#include "window_ui.h"

namespace contura::qt {
namespace {

MainWindow* gWindow = nullptr;
WindowUi* gUi = nullptr;
QString gLastTranscript;

// Whether a window system is there to show the window on: a display server, or a platform
// named with QT_QPA_PLATFORM (offscreen for tests).
bool haveDisplay() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// Clears the running-window pointers however run() ends.
struct RunningGuard {
  RunningGuard(MainWindow& window, WindowUi& ui) {
    gWindow = &window;
    gUi = &ui;
  }
  ~RunningGuard() {
    gWindow = nullptr;
    gUi = nullptr;
  }
};

}  // namespace

MainWindow* QtFrontEnd::runningWindow() { return gWindow; }
WindowUi* QtFrontEnd::runningUi() { return gUi; }
QString QtFrontEnd::lastTranscript() { return gLastTranscript; }

int QtFrontEnd::run(host::WindowSession& session) {
  std::unique_ptr<QApplication> app;
  if (QApplication::instance() == nullptr) {
    if (!haveDisplay()) {
      std::fputs("contura: --gui needs a display (DISPLAY or WAYLAND_DISPLAY; QT_QPA_PLATFORM=offscreen runs "
                 "without one)\n",
                 stderr);
      return host::kExitError;
    }
    static int argc = 1;
    static char name[] = "contura";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QApplication>(argc, argv);
  }
  MainWindow window(session.drawing, session.drawingPath);
  TranscriptStream transcript(*window.commandPanel());
  host::Console console(transcript);
  WindowUi ui(window, console);
  RunningGuard running(window, ui);
  afx::ScopedUiBackend dialogs(ui);
  ed::ScopedInputBackend editor(ui);
  ed::ScopedPrintSink sink([&console](std::string_view text) { console.writeModuleText(text); });
  if (session.options.pickbox) window.canvas()->setPickBoxPixels(*session.options.pickbox);
  window.setSaveVersion(session.options.saveVersion);
  window.show();
  window.canvas()->zoomExtents();
  window.commandPanel()->input()->setFocus();
  if (!session.openError.empty()) window.showError(QString::fromStdString(session.openError));
  // QUIT at the prompt ends like closing the window: unsaved changes are asked about first.
  while (host::runCommandPrompt(ui, console) == host::PromptEnd::Quit && !ui.inputEnded() && !window.confirmDiscard()) {
  }
  console.finish();
  gLastTranscript = window.commandPanel()->transcript();
  window.hide();
  return host::kExitOk;
}

void installQtFrontEnd() {
  static QtFrontEnd frontEnd;
  host::setWindowFrontEnd(&frontEnd);
}

}  // namespace contura::qt
