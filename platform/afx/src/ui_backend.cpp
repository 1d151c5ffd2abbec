// The installed UI backend, the default one, and message boxes.
#include "contura/afx/ui_backend.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "contura/os/codepage.h"
#include "window_impl.h"

namespace contura::afx {
namespace {

// Used when the host installed nothing: no one can answer, so every dialog is left at once.
class NoInputBackend final : public UiBackend {
public:
  void runModal(DialogSession&) override {}
  std::optional<std::string> chooseFile(const FileDialogRequest&) override { return std::nullopt; }
  int messageBox(const MessageBoxRequest& request) override {
    std::string line = os::cp936ToUtf8(request.caption) + ": " + os::cp936ToUtf8(request.text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    return messageBoxButtons(request.type).front();
  }
};

NoInputBackend& noInputBackend() {
  static NoInputBackend backend;
  return backend;
}

UiBackend*& installed() {
  static UiBackend* backend = nullptr;
  return backend;
}

std::string& appName() {
  static std::string name = "Contura";
  return name;
}

// The window a box or dialog of the application belongs to: the innermost running dialog
// that is shown, else the main window.
HWND activeOwner() {
  const std::vector<HWND>& stack = detail::modalStack();
  for (auto it = stack.rbegin(); it != stack.rend(); ++it)
    if (IsWindowVisible(*it)) return *it;
  return mainWindow();
}

}  // namespace

std::vector<int> messageBoxButtons(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
  }
}

UiBackend* setUiBackend(UiBackend* backend) {
  UiBackend* previous = installed();
  installed() = backend;
  return previous;
}

UiBackend& uiBackend() { return installed() ? *installed() : noInputBackend(); }

void setAppName(std::string name) { appName() = std::move(name); }

}  // namespace contura::afx

int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  contura::afx::MessageBoxRequest request;
  request.text = lpText ? lpText : "";
  // Windows' own caption for a box without one.
  request.caption = lpCaption ? lpCaption : "错误";
  request.type = uType;
  request.owner = hWnd;
  // The box is modal to its owner's top-level window.
  HWND top = hWnd;
  while (contura::afx::detail::Window* w = contura::afx::detail::find(top)) {
    if (!w->child()) break;
    top = w->parent;
  }
  bool reenable = top && IsWindow(top) && IsWindowEnabled(top);
  HWND focus = GetFocus();
  if (reenable) EnableWindow(top, FALSE);
  int answer = contura::afx::uiBackend().messageBox(request);
  if (reenable && IsWindow(top)) EnableWindow(top, TRUE);
  // The window that had the focus gets it back when the box goes, as on Windows.
  if (focus && IsWindow(focus) && IsWindowEnabled(focus)) SetFocus(focus);
  std::vector<int> buttons = contura::afx::messageBoxButtons(uType);
  if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end()) answer = buttons.back();
  return answer;
}

void MessageBeep(UINT) {
  // There is no speaker to sound; a refused key simply has no effect.
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT) {
  return ::MessageBox(contura::afx::activeOwner(), lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  const char* text = AfxFindString(nIDPrompt);
  return AfxMessageBox(text ? text : "", nType, nIDHelp);
}

LPCTSTR AfxGetAppName() { return contura::afx::appName().c_str(); }
