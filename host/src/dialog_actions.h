// The dialog actions of the input language: one answer line while a dialog is open.
//   click ID | dblclick ID | select ID ROW | choose ID ROW | type ID TEXT | size W H
//   ok | cancel | close | print ID | show
// ID is a control id or its caption ("..." for a caption with blanks); ROW a row number from
// 0 or "text"; TEXT the rest of the line, in which \n is a line break and \\ a backslash.
// Keywords ignore letter case. Lines are UTF-8.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "contura/afx/ui_backend.h"

namespace contura::host {

struct DialogAction {
  enum Kind { kClick, kDoubleClick, kSelect, kChoose, kType, kSize, kOk, kCancel, kClose, kPrint, kShow };
  Kind kind = kShow;
  std::string control;  // id or caption
  std::optional<int> row;
  std::optional<std::string> rowText;
  std::string text;  // kType, escapes resolved
  int width = 0, height = 0;
};

// Parses one line. Nothing, and `error` set to the message to show, when it is no action.
std::optional<DialogAction> parseDialogAction(std::string_view line, std::string& error);

// A dialog's description (DialogSession::describe) as the terminal shows it: a control whose
// content runs over `keptLines` lines shows its first `keptLines` and then ……共 N 行 (N the
// lines it has); `print ID` shows all of it. Shorter contents are as they were.
std::string abbreviateLongContents(std::string_view description, size_t keptLines);

// Lines of a control's content the terminal shows before abbreviating it.
inline constexpr size_t kTerminalContentLines = 8;

// Applies an action to the running dialog. Returns what to show (UTF-8, ending with a line
// end, or empty): the text of show and print, or why the action changed nothing.
std::string applyDialogAction(const DialogAction& action, afx::DialogSession& session);

}  // namespace contura::host
