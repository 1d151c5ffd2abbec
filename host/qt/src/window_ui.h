// The window as the source of every answer: the command prompt and the editor's requests are
// answered from the command line or the canvas (the same answer lines a script gives), the
// module's dialogs run as real dialogs, file dialogs and message boxes are Qt's. Each wait
// runs an event loop of its own until its answer comes or the window closes.
#pragma once
#include <QEventLoop>
#include <QString>

#include <contura/afx/ui_backend.h>
#include <contura/ed/input.h>

#include <optional>
#include <vector>

#include "console.h"
#include "input.h"
#include "main_window.h"

namespace contura::qt {

class DialogMirror;

class WindowUi final : public host::InputSource, public afx::UiBackend, public ed::InputBackend {
public:
  WindowUi(MainWindow& window, host::Console& console);
  ~WindowUi() override;

  // The command prompt and the host's questions.
  host::Answer answer(const host::Request& request) override;
  bool interactive() const override { return true; }

  void runModal(afx::DialogSession& session) override;
  std::optional<std::string> chooseFile(const afx::FileDialogRequest& request) override;
  int messageBox(const afx::MessageBoxRequest& request) override;

  ed::InputLine readLine(const ed::InputRequest& request) override;
  void message(std::string_view text) override;

  // An answer to the pending request (ignored when none is pending).
  void submit(const QString& line);
  // No more input: the pending request and every later one end (the window closed).
  void endInput();
  bool inputEnded() const { return m_ended; }
  // The request waiting for an answer, if any.
  std::optional<host::RequestKind> pendingRequest() const {
    return m_current ? std::optional(m_current->request.kind) : std::nullopt;
  }
  // The module dialogs running now, the outermost first.
  const std::vector<DialogMirror*>& dialogs() const { return m_dialogs; }

private:
  struct Pending {
    host::Request request;
    Canvas::Mode mode = Canvas::Mode::kIdle;
    std::optional<QPointF> base;
    std::vector<std::string> dragged;
    QPointF dragFrom;
    std::vector<std::string> highlighted;
  };
  void present(const Pending& pending);
  host::Answer wait(const host::Request& request, Canvas::Mode mode, std::optional<QPointF> base = std::nullopt,
                    std::vector<std::string> dragged = {}, std::vector<std::string> highlighted = {});
  QWidget* topWindow() const;
  void show(const std::string& utf8);

  MainWindow& m_window;
  host::Console& m_console;
  std::optional<Pending> m_current;  // the request being answered
  std::optional<QString> m_answer;
  QEventLoop* m_loop = nullptr;
  std::vector<DialogMirror*> m_dialogs;
  bool m_ended = false;
};

}  // namespace contura::qt
