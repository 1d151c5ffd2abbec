// Whole runs of `contura --gui` inside the test program, driven step by step: each step runs
// when the window next waits for the person (a request, a dialog, a file dialog, a message
// box) and acts as a person would, with synthetic mouse and key events.
#pragma once
#include <QPoint>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "dialog_mirror.h"
#include "main_window.h"
#include "wait_hook.h"
#include "window_ui.h"

namespace guitest {

using contura::qt::WaitKind;

struct GuiRun {
  int exitCode = -1;
  std::string err;
  std::string transcript;  // the command line's text when the window ended
  std::vector<std::string> failures;
};

class GuiDriver {
public:
  using Step = std::function<void()>;
  // Adds a step that expects the window to be waiting in `kind`.
  GuiDriver& then(WaitKind kind, std::string what, Step step);
  // Runs `contura --gui` with the module and these arguments until the window ends; a step
  // missing, a wait of the wrong kind or a run longer than the time limit fails the run and
  // ends the window.
  GuiRun run(std::vector<std::string> args);

private:
  struct Entry {
    WaitKind kind;
    std::string what;
    Step step;
  };
  void onWait(WaitKind kind);
  void abandon(const std::string& why);
  std::vector<Entry> m_steps;
  size_t m_next = 0;
  GuiRun m_run;
};

// The running window and its parts.
contura::qt::MainWindow& window();
contura::qt::WindowUi& ui();
contura::qt::DialogMirror& topDialog();
// The widget of control `id` of the top dialog (fails the test when missing).
QWidget* control(int id);

// A person's actions.
void typeCommand(const QString& line);          // into the command line, then Enter
void clickCanvasAt(double x, double y);         // left click at a world point
void rightClickCanvas();
void dragWindow(double x1, double y1, double x2, double y2);  // left button from one world point to another
void clickControl(int id);
void typeInto(QWidget* widget, const QString& ascii);         // key presses
void commitText(QWidget* widget, const QString& text);        // an input method's commit (Chinese)
void chooseInFileDialog(const QString& path);                 // types the name, Enter
void pressMessageBoxButton(const QString& text);

}  // namespace guitest
