// The user-interface backend: what shows the module's dialogs, file dialogs and message
// boxes to a person or a script, and turns their actions into window messages. The host
// program installs one (script, terminal, window); tests install their own.
//
// Everything here runs on the thread that runs the module (the UI thread). Texts are code
// page 936 bytes; converting them for a terminal or a window is the backend's business.
#pragma once
#include <afxwin.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace contura::afx {

// The outcome of one action on a dialog. Anything but kDone changed nothing.
enum class ActionStatus {
  kDone,
  kNoSuchControl,  // the dialog has no control with that id or caption
  kHidden,         // the control (or the dialog) is not visible
  kDisabled,       // the control (or the dialog) is disabled
  kWrongKind,      // the action does not apply to that kind of control
  kNoSuchRow,      // the list has no such row (number out of range, or no row with that text)
  kEnded,          // the dialog has already ended
};

// A row of a list or combo box: by number from 0, or by its text (the first row equal to it
// ignoring ASCII letter case).
struct RowRef {
  int index = -1;
  std::optional<std::string> text;
  static RowRef number(int i) { return {i, std::nullopt}; }
  static RowRef named(std::string t) { return {-1, std::move(t)}; }
};

// One running modal dialog as a backend sees it. Each action behaves as a person's action
// would: mouse and keyboard messages pass through PreTranslateMessage of the target window
// and its parents up to the dialog before they are dispatched, controls raise their
// notifications (BN_CLICKED, LBN_SELCHANGE, EN_UPDATE, ...) to the dialog's message map, and
// after the action posted messages are delivered and windows marked for painting get
// WM_PAINT. An action may end the dialog (ended() turns true) or open a nested dialog, which
// runs inside the action.
class DialogSession {
public:
  explicit DialogSession(CDialog& dialog);
  DialogSession(const DialogSession&) = delete;
  DialogSession& operator=(const DialogSession&) = delete;

  HWND dialog() const;
  CDialog& dialogObject() const { return m_dialog; }
  // The template id the dialog was made from.
  UINT templateId() const;
  // True once EndDialog was called (or the window is gone).
  bool ended() const;

  // A control of the dialog by its decimal id, or by its caption (exact bytes, '&' markers
  // ignored). Null when none matches.
  HWND findControl(std::string_view idOrCaption) const;

  // Left button down and up at the control's centre. Buttons raise BN_CLICKED (check boxes
  // and radio buttons change state first); other controls get the mouse messages and the
  // focus as their class gives it.
  ActionStatus click(HWND control);
  // Down, up, double-click, up at the centre. A list box raises LBN_DBLCLK for its selected
  // row; a push button counts it as a second click.
  ActionStatus doubleClick(HWND control);
  // Selects a row of a list box or a combo box as a person's click does: the control takes
  // the focus, the row is selected, then LBN_SELCHANGE (list box with LBS_NOTIFY) or
  // CBN_SELCHANGE and CBN_SELENDOK (combo box).
  ActionStatus select(HWND control, const RowRef& row);
  // Types into an edit box, a rich edit control or the field of a combo box: the control
  // takes the focus, its text is selected and deleted (a box that held text raises one
  // update, as deleting does), then each character of `cp936` arrives as WM_CHAR and raises
  // the control's update and change notifications (EN_UPDATE, EN_CHANGE; CBN_EDITUPDATE,
  // CBN_EDITCHANGE) when it changed the text. A double-byte character is one WM_CHAR whose
  // wParam is (lead << 8) | trail. '\n' is the Enter key: a line break in a multi-line box
  // with ES_WANTRETURN, otherwise the dialog's default button (typing stops if that ends
  // the dialog). Characters the box refuses (ES_NUMBER, ES_READONLY, the text limit) change
  // nothing, as on Windows.
  ActionStatus type(HWND control, std::string_view cp936);
  // One mouse or keyboard message of a person's input, for a control of the dialog or the
  // dialog itself, handled as the dialog's message loop does: PreTranslateMessage of the
  // windows from the target up to the dialog, then dispatch; WM_KEYDOWN of Enter, Esc,
  // Backspace and Tab also brings its character. Mouse positions are in the target's client
  // coordinates. A window backend sends what the person does to a control this way.
  ActionStatus input(HWND target, UINT message, WPARAM wParam, LPARAM lParam);
  // The dialog's controls in creation order, which is also the tab order.
  std::vector<HWND> controls() const;
  // Sizes the dialog to width x height pixels (its client area); it gets WM_SIZE.
  ActionStatus resize(int width, int height);
  // Enter on the dialog: its default button (IDOK unless the dialog set another).
  ActionStatus pressOk();
  // Esc on the dialog: IDCANCEL.
  ActionStatus pressCancel();
  // The title bar's close box: WM_CLOSE.
  ActionStatus close();

  // The dialog as text, one control a line: caption, template id and size, then each
  // control's id, kind, caption or content and state; list rows with the selected one
  // marked '>'. Lines end with '\n'.
  std::string describe() const;
  // One control as text: its kind and content (every row of a list or combo box, every line
  // of an edit box).
  std::string describeControl(HWND control) const;

  // Delivers posted messages and paints windows marked for painting. Every action does this
  // itself; a backend that sends messages of its own calls it after them.
  void flush();

private:
  ActionStatus checkUsable(HWND control) const;
  CDialog& m_dialog;
};

// The request of a file dialog.
struct FileDialogRequest {
  bool open = true;         // Open; false: Save As
  std::string title;        // "打开" or "另存为" unless the module gave one
  std::string initialName;  // the initial file name (may be empty)
  std::string defaultExt;   // without the dot (may be empty)
  std::vector<std::pair<std::string, std::string>> filters;  // description, patterns
  DWORD flags = 0;          // OFN_ flags as the module passed them
  HWND owner = nullptr;
};

// The request of a message box.
struct MessageBoxRequest {
  std::string text;
  std::string caption;
  UINT type = MB_OK;  // MB_ buttons and icon
  HWND owner = nullptr;
};

// The buttons of a message box of `type`, as IDOK, IDCANCEL, IDYES, ... in the order shown.
std::vector<int> messageBoxButtons(UINT type);

class UiBackend {
public:
  virtual ~UiBackend() = default;
  // Runs one modal dialog: takes actions and applies them through `session` until
  // session.ended(). Returning earlier means no more input will come: the dialog is then
  // cancelled (Esc), and ended with IDCANCEL should it stay open. The dialog is made,
  // initialised and shown when this is called.
  virtual void runModal(DialogSession& session) = 0;
  // The path chosen in a file dialog, or nothing when the person cancelled. Called again
  // when the dialog refuses the path (missing file, overwrite declined).
  virtual std::optional<std::string> chooseFile(const FileDialogRequest& request) = 0;
  // Shows a message box and returns the button pressed (one of messageBoxButtons).
  virtual int messageBox(const MessageBoxRequest& request) = 0;
};

// Installs a backend (not owned) and returns the one it replaces. Null installs the default,
// which cancels every dialog and file dialog at once and writes message boxes to the
// standard error stream (UTF-8), answering them with their first button.
UiBackend* setUiBackend(UiBackend* backend);
UiBackend& uiBackend();

class ScopedUiBackend {
public:
  explicit ScopedUiBackend(UiBackend& backend) : m_previous(setUiBackend(&backend)) {}
  ~ScopedUiBackend() { setUiBackend(m_previous); }
  ScopedUiBackend(const ScopedUiBackend&) = delete;
  ScopedUiBackend& operator=(const ScopedUiBackend&) = delete;

private:
  UiBackend* m_previous;
};

// The host's main window (made on first use, shown and enabled).
HWND mainWindow();
// The modal dialogs running now, the outermost first.
std::vector<HWND> runningDialogs();
// Sets the name AfxGetAppName reports (code page 936); "Contura" by default.
void setAppName(std::string name);

// Dialog units to pixels with the base units of the dialog font (6 x 13): x and widths times
// 6/4, y and heights times 13/8, rounded as MulDiv.
inline constexpr int kDialogBaseUnitX = 6;
inline constexpr int kDialogBaseUnitY = 13;
inline int dialogUnitsToPixelsX(int x) { return MulDiv(x, kDialogBaseUnitX, 4); }
inline int dialogUnitsToPixelsY(int y) { return MulDiv(y, kDialogBaseUnitY, 8); }

}  // namespace contura::afx
