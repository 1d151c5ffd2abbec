// The platform's record of each window, the window class table and the helpers the window
// procedures of the standard controls share. UI thread only.
#pragma once
#include <afxwin.h>

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace contura::afx::detail {

// Per-window state of a control class (list rows, edit selection, ...).
struct ControlData {
  virtual ~ControlData() = default;
};

struct Window {
  HWND handle = nullptr;
  std::string className;  // as the class was registered
  WNDPROC proc = nullptr;  // the current procedure (AfxWndProc once subclassed)
  CString text;
  DWORD style = 0;
  DWORD exStyle = 0;
  int id = 0;
  RECT rect{};             // in the parent's client coordinates (child) or screen (others)
  HWND parent = nullptr;   // parent of a child window, owner of any other
  std::vector<HWND> children;  // in creation order, which is also the tab order
  CWnd* permanent = nullptr;   // the object bound to the window
  std::unique_ptr<CWnd> temporary;  // made by FromHandle for a window without one
  std::unique_ptr<ControlData> data;
  HINSTANCE instance = nullptr;
  UINT templateId = 0;     // dialogs: the template they were made from
  bool needsPaint = true;
  bool destroying = false;
  bool child() const { return (style & WS_CHILD) != 0; }
};

// The window of a handle; null when the handle is not (or no longer) a window.
Window* find(HWND hWnd);
// Every window, in creation order.
std::vector<HWND> allWindows();

// Makes a window; `attach` (may be null) is bound and subclassed before WM_CREATE, as MFC
// does for windows it creates.
HWND createWindow(DWORD exStyle, std::string_view className, const char* text, DWORD style, RECT rect,
                  HWND parent, int id, HINSTANCE instance, void* param, CWnd* attach);

// Typed access to a window's control data, made on first use.
template <class T>
T& dataOf(Window& w) {
  if (T* existing = dynamic_cast<T*>(w.data.get())) return *existing;
  auto made = std::make_unique<T>();
  T& ref = *made;
  w.data = std::move(made);
  return ref;
}

// Sends WM_COMMAND with notification `code` from control `control` to its parent.
void notifyParent(HWND control, UINT code);

// The window procedures of the standard classes.
LRESULT buttonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT staticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT editProc(HWND, UINT, WPARAM, LPARAM);
LRESULT richEditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT listBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT comboBoxProc(HWND, UINT, WPARAM, LPARAM);
void registerRichEditClasses();

// The message being handled by CWnd::WindowProc (for CWnd::Default).
struct CurrentMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
CurrentMessage& currentMessage();

// Messages posted and not delivered yet.
std::deque<MSG>& postedMessages();
// Delivers posted messages, then paints marked visible windows.
void deliverPostedAndPaint();

// The modal dialogs running now (outermost first).
std::vector<HWND>& modalStack();
// Bytes of a double-byte-aware copy: at most `max` bytes of `text` without splitting a
// double-byte character.
size_t fitBytes(std::string_view text, size_t max);
// Copies text into a caller's buffer of nMax bytes (zero-terminated, cut at a character
// boundary); returns the bytes copied.
int copyText(std::string_view text, LPSTR buffer, int nMax);

// ASCII case-insensitive equality of class names.
bool sameClassName(std::string_view a, std::string_view b);

}  // namespace contura::afx::detail
