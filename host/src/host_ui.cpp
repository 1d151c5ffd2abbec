// The requests of the module answered from the host's input source.
#include "host_ui.h"

#include <algorithm>

#include <contura/os/codepage.h>

#include "answer_text.h"
#include "dialog_actions.h"

namespace contura::host {
namespace {

std::string windowText(HWND h) {
  CString text;
  if (CWnd* w = CWnd::FromHandle(h)) w->GetWindowText(text);
  return os::cp936ToUtf8(text.str());
}

// A prompt of the module without the line feeds it starts with: the console starts every
// prompt on a line of its own.
std::string promptText(std::string_view cp936) {
  while (!cp936.empty() && cp936.front() == '\n') cp936.remove_prefix(1);
  return os::cp936ToUtf8(cp936);
}

RequestKind kindOf(ed::RequestKind kind) {
  switch (kind) {
    case ed::RequestKind::kPoint: return RequestKind::Point;
    case ed::RequestKind::kEntity: return RequestKind::Entity;
    case ed::RequestKind::kSelection: return RequestKind::Selection;
    case ed::RequestKind::kDrag: return RequestKind::Drag;
    case ed::RequestKind::kKeyword:
    case ed::RequestKind::kString: return RequestKind::Text;
  }
  return RequestKind::Point;
}

struct ButtonName {
  int id;
  const char* chinese;
  const char* english;
};

constexpr ButtonName kButtons[] = {{IDOK, "确定", "ok"},        {IDCANCEL, "取消", "cancel"}, {IDYES, "是", "yes"},
                                   {IDNO, "否", "no"},          {IDRETRY, "重试", "retry"},   {IDIGNORE, "忽略", "ignore"},
                                   {IDABORT, "中止", "abort"}};

const ButtonName* buttonNamed(int id) {
  for (const ButtonName& b : kButtons)
    if (b.id == id) return &b;
  return nullptr;
}

}  // namespace

// Starts a line of its own; the line is left open, so that whatever comes next (a prompt, or
// module text that begins with a line feed) starts the next line.
void HostUi::show(const std::string& utf8) {
  std::string_view text = utf8;
  while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (text.empty()) return;
  m_console.beginPrompt();
  m_console.write(text);
}

void HostUi::inputEnded(const std::string& what) { show("输入已结束，取消" + what + "。\n"); }

// At the terminal a description is shown with long contents cut short; a script's transcript
// keeps all of it.
std::string HostUi::described(const afx::DialogSession& session) const {
  std::string text = os::cp936ToUtf8(session.describe());
  return m_input.interactive() ? abbreviateLongContents(text, kTerminalContentLines) : text;
}

void HostUi::runModal(afx::DialogSession& session) {
  if (m_input.interactive()) show(described(session));
  while (!session.ended()) {
    std::string caption = windowText(session.dialog());
    Answer answer = m_input.answer({RequestKind::Dialog, "对话框“" + caption + "”: "});
    if (answer.ended()) {
      inputEnded("对话框“" + caption + "”");
      return;
    }
    if (answer.cancelled()) {  // as Esc does
      show(std::string(kCancelledText) + "\n");
      DialogAction cancel;
      cancel.kind = DialogAction::kCancel;
      show(applyDialogAction(cancel, session));
      continue;
    }
    std::string error;
    std::optional<DialogAction> action = parseDialogAction(answer.text, error);
    if (!action) {
      show(error + "\n");
      continue;
    }
    show(action->kind == DialogAction::kShow ? described(session) : applyDialogAction(*action, session));
  }
}

std::optional<std::string> HostUi::chooseFile(const afx::FileDialogRequest& request) {
  std::string prompt = os::cp936ToUtf8(request.title);
  if (!request.initialName.empty()) prompt += "（" + os::cp936ToUtf8(request.initialName) + "）";
  prompt += " 文件名: ";
  Answer answer = m_input.answer({RequestKind::FileDialog, prompt});
  if (answer.ended()) {
    inputEnded("文件对话框“" + os::cp936ToUtf8(request.title) + "”");
    return std::nullopt;
  }
  if (answer.cancelled() || keywordOf(answer.text) == "*cancel*") {
    show(std::string(kCancelledText) + "\n");
    return std::nullopt;
  }
  return os::utf8ToCp936(answer.text);
}

int HostUi::messageBox(const afx::MessageBoxRequest& request) {
  show("[" + os::cp936ToUtf8(request.caption) + "] " + os::cp936ToUtf8(request.text) + "\n");
  std::vector<int> buttons = afx::messageBoxButtons(request.type);
  if (buttons.size() == 1) return buttons.front();
  std::string prompt = "请选择 ";
  for (size_t i = 0; i < buttons.size(); ++i) {
    const ButtonName* b = buttonNamed(buttons[i]);
    prompt += (i ? "/" : "") + std::string(b->chinese) + "(" + b->english + ")";
  }
  prompt += ": ";
  for (;;) {
    Answer answer = m_input.answer({RequestKind::Text, prompt});
    if (answer.ended()) {
      inputEnded("消息框");
      return buttons.back();
    }
    if (answer.cancelled()) {  // as Esc does: the cancel button, else the box's last one
      show(std::string(kCancelledText) + "\n");
      return std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end() ? IDCANCEL : buttons.back();
    }
    std::string said = keywordOf(answer.text);
    if (said == "*cancel*") said = "cancel";
    for (int id : buttons) {
      const ButtonName* b = buttonNamed(id);
      std::string english = b->english;
      if (said == b->chinese || said == english || (said.size() == 1 && said[0] == english[0])) return id;
    }
    show("无效的回答。\n");
  }
}

ed::InputLine HostUi::readLine(const ed::InputRequest& request) {
  Answer answer = m_input.answer({kindOf(request.kind), promptText(request.prompt)});
  if (answer.ended()) {
    inputEnded("请求");
    return ed::InputLine::end();
  }
  // The editor cancels on *cancel* and says so itself.
  if (answer.cancelled()) return ed::InputLine::line("*cancel*");
  return ed::InputLine::line(os::utf8ToCp936(answer.text));
}

void HostUi::message(std::string_view text) { m_console.writeModuleText(text); }

}  // namespace contura::host
