// The window session: application object, main window, backends, the command prompt.
#include "qt_frontend.h"

#include <QApplication>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
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

// Whether a local socket accepts a connection.
bool socketAnswers(const std::string& path) {
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

// Why the display the environment names cannot be reached; empty when it can (or when it
// cannot be told without connecting over the network). Qt ends the process when it cannot
// connect, so this is asked first.
std::string unreachableDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0') return {};
  if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland != nullptr && *wayland != '\0') {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string path = wayland[0] == '/' ? wayland : std::string(runtime ? runtime : "") + "/" + wayland;
    if (socketAnswers(path)) return {};
  }
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return "WAYLAND_DISPLAY names no running display";
  std::string text = display;
  size_t colon = text.rfind(':');
  std::string host = colon == std::string::npos ? std::string() : text.substr(0, colon);
  if (!host.empty() && host != "unix") return {};  // over the network: Qt will say
  std::string number = colon == std::string::npos ? std::string() : text.substr(colon + 1);
  number = number.substr(0, number.find('.'));
  if (socketAnswers("/tmp/.X11-unix/X" + number)) return {};
  return "no X server answers on DISPLAY=" + text;
}

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
    if (std::string why = unreachableDisplay(); !why.empty()) {
      std::fprintf(stderr, "contura: --gui cannot reach the display: %s\n", why.c_str());
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
