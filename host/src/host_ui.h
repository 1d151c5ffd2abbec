// The script and terminal backends of the module's requests: dialogs, file dialogs, message
// boxes (afx) and points, picks, selections and drags (ed) are answered from the same input
// source as the command prompt. A request the person cancels (Ctrl-C) says *取消*: a dialog
// is cancelled as Esc cancels it, a file dialog gives no file, a message box answers with its
// cancel button (else its last one), and the editor's requests get *cancel*. A script's answers are echoed after their prompts; at the
// terminal a dialog is shown when it opens. When the input ends while a request is pending,
// the request is cancelled and the console says so.
#pragma once
#include <contura/afx/ui_backend.h>
#include <contura/ed/input.h>

#include "console.h"
#include "input.h"

namespace contura::host {

class HostUi final : public afx::UiBackend, public ed::InputBackend {
public:
  HostUi(InputSource& input, Console& console) : m_input(input), m_console(console) {}

  // Dialogs: the prompt names the dialog; each line is one action (dialog_actions.h).
  void runModal(afx::DialogSession& session) override;
  // File dialogs: a path, or *cancel*.
  std::optional<std::string> chooseFile(const afx::FileDialogRequest& request) override;
  // Message boxes: shown; a box with more than one button asks which (是/否/确定/取消/重试/
  // 忽略/中止, or yes/no/ok/cancel/retry/ignore/abort).
  int messageBox(const afx::MessageBoxRequest& request) override;

  ed::InputLine readLine(const ed::InputRequest& request) override;
  void message(std::string_view text) override;

private:
  void show(const std::string& utf8);
  std::string described(const afx::DialogSession& session) const;
  void inputEnded(const std::string& what);
  InputSource& m_input;
  Console& m_console;
};

// Installs a HostUi as both backends for its lifetime.
class ScopedHostUi {
public:
  ScopedHostUi(InputSource& input, Console& console)
      : m_ui(input, console), m_dialogs(m_ui), m_editor(m_ui) {}

private:
  HostUi m_ui;
  afx::ScopedUiBackend m_dialogs;
  ed::ScopedInputBackend m_editor;
};

}  // namespace contura::host
