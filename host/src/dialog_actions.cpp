// Parsing dialog actions and applying them to a running dialog.
#include "dialog_actions.h"

#include "answer_text.h"

#include <charconv>
#include <vector>

#include <contura/os/codepage.h>

namespace contura::host {
namespace {

const char* const kActions = "click、dblclick、select、choose、type、size、ok、cancel、close、print、show";

// Takes the next word, or the text between double quotes, from the front of `rest`.
// False when there is none or a quote is not closed.
bool takeToken(std::string_view& rest, std::string& token) {
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  if (rest.empty()) return false;
  if (rest.front() == '"') {
    size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) return false;
    token = std::string(rest.substr(1, close - 1));
    rest.remove_prefix(close + 1);
    return true;
  }
  size_t end = rest.find_first_of(" \t");
  token = std::string(rest.substr(0, end));
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
  return true;
}

bool parseInt(std::string_view s, int& out) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

// \n is a line break and \\ a backslash; any other backslash stays as it is.
std::string unescape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'n' || s[i + 1] == '\\')) {
      out += s[i + 1] == 'n' ? '\n' : '\\';
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string usage(DialogAction::Kind kind) {
  switch (kind) {
    case DialogAction::kClick: return "用法：click ID";
    case DialogAction::kDoubleClick: return "用法：dblclick ID";
    case DialogAction::kSelect: return "用法：select ID 行号|\"文字\"";
    case DialogAction::kChoose: return "用法：choose ID 行号|\"文字\"";
    case DialogAction::kType: return "用法：type ID 文字";
    case DialogAction::kSize: return "用法：size 宽 高（像素，正整数）";
    case DialogAction::kPrint: return "用法：print ID";
    default: return "用法：ok | cancel | close | show";
  }
}

std::string quotedName(const std::string& s) { return "“" + s + "”"; }

}  // namespace

std::optional<DialogAction> parseDialogAction(std::string_view line, std::string& error) {
  // Only leading blanks go: a typed text keeps its trailing ones.
  std::string_view rest = line;
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  std::string word;
  if (!takeToken(rest, word)) {
    error = std::string("请输入对话框操作：") + kActions + "。";
    return std::nullopt;
  }
  static const std::pair<const char*, DialogAction::Kind> kKeywords[] = {
      {"click", DialogAction::kClick},   {"dblclick", DialogAction::kDoubleClick}, {"select", DialogAction::kSelect},
      {"choose", DialogAction::kChoose}, {"type", DialogAction::kType},           {"size", DialogAction::kSize},
      {"ok", DialogAction::kOk},         {"cancel", DialogAction::kCancel},       {"close", DialogAction::kClose},
      {"print", DialogAction::kPrint},   {"show", DialogAction::kShow}};
  DialogAction action;
  bool known = false;
  std::string keyword = lowerAscii(word);
  for (auto [name, kind] : kKeywords)
    if (keyword == name) {
      action.kind = kind;
      known = true;
    }
  if (!known) {
    error = "无效的对话框操作" + quotedName(std::string(trimBlanks(line))) + "。可用的操作：" + kActions + "。";
    return std::nullopt;
  }
  error = usage(action.kind);
  switch (action.kind) {
    case DialogAction::kOk:
    case DialogAction::kCancel:
    case DialogAction::kClose:
    case DialogAction::kShow:
      if (!trimBlanks(rest).empty()) return std::nullopt;
      break;
    case DialogAction::kClick:
    case DialogAction::kDoubleClick:
    case DialogAction::kPrint:
      if (!takeToken(rest, action.control) || !trimBlanks(rest).empty()) return std::nullopt;
      break;
    case DialogAction::kSelect:
    case DialogAction::kChoose: {
      if (!takeToken(rest, action.control)) return std::nullopt;
      std::string_view row = trimBlanks(rest);
      if (row.empty()) return std::nullopt;
      int number = 0;
      if (row.size() >= 2 && row.front() == '"' && row.back() == '"')
        action.rowText = std::string(row.substr(1, row.size() - 2));
      else if (parseInt(row, number))
        action.row = number;
      else
        action.rowText = std::string(row);
      break;
    }
    case DialogAction::kType: {
      if (!takeToken(rest, action.control)) return std::nullopt;
      // The text is everything after the one blank that follows the id.
      if (!rest.empty()) rest.remove_prefix(1);
      action.text = unescape(rest);
      break;
    }
    case DialogAction::kSize: {
      std::string w, h;
      if (!takeToken(rest, w) || !takeToken(rest, h) || !trimBlanks(rest).empty()) return std::nullopt;
      if (!parseInt(w, action.width) || !parseInt(h, action.height) || action.width <= 0 || action.height <= 0)
        return std::nullopt;
      break;
    }
  }
  error.clear();
  return action;
}

std::string abbreviateLongContents(std::string_view description, size_t keptLines) {
  // A control's first line starts with two blanks; the lines of its content after it start
  // with eight (an edit box's with "| " after them, its first line being in the control's).
  constexpr std::string_view kContentIndent = "        ";
  std::string out;
  size_t contentLines = 0;
  bool editContent = false;
  auto endContent = [&] {
    if (contentLines > keptLines)
      out += std::string(kContentIndent) + "……共 " + std::to_string(contentLines + (editContent ? 1 : 0)) + " 行\n";
    contentLines = 0;
  };
  while (!description.empty()) {
    size_t end = description.find('\n');
    std::string_view line = description.substr(0, end == std::string_view::npos ? description.size() : end + 1);
    description.remove_prefix(line.size());
    if (line.starts_with(kContentIndent)) {
      editContent = line.substr(kContentIndent.size()).starts_with("| ");
      if (++contentLines <= keptLines) out += line;
      continue;
    }
    endContent();
    out += line;
  }
  endContent();
  return out;
}

std::string applyDialogAction(const DialogAction& action, afx::DialogSession& session) {
  using afx::ActionStatus;
  if (action.kind == DialogAction::kShow) return os::cp936ToUtf8(session.describe());
  ActionStatus status = ActionStatus::kDone;
  HWND control = nullptr;
  bool needsControl = action.kind != DialogAction::kOk && action.kind != DialogAction::kCancel &&
                      action.kind != DialogAction::kClose && action.kind != DialogAction::kSize;
  if (needsControl) {
    control = session.findControl(os::utf8ToCp936(action.control));
    if (!control) return "对话框中没有控件" + quotedName(action.control) + "。\n";
  }
  afx::RowRef row;
  if (action.row) row = afx::RowRef::number(*action.row);
  if (action.rowText) row = afx::RowRef::named(os::utf8ToCp936(*action.rowText));
  switch (action.kind) {
    case DialogAction::kClick: status = session.click(control); break;
    case DialogAction::kDoubleClick: status = session.doubleClick(control); break;
    case DialogAction::kSelect:
    case DialogAction::kChoose: status = session.select(control, row); break;
    case DialogAction::kType: status = session.type(control, os::utf8ToCp936(action.text)); break;
    case DialogAction::kSize: status = session.resize(action.width, action.height); break;
    case DialogAction::kOk: status = session.pressOk(); break;
    case DialogAction::kCancel: status = session.pressCancel(); break;
    case DialogAction::kClose: status = session.close(); break;
    case DialogAction::kPrint: return os::cp936ToUtf8(session.describeControl(control));
    case DialogAction::kShow: break;
  }
  const std::string name = quotedName(action.control);
  switch (status) {
    case ActionStatus::kDone: return {};
    case ActionStatus::kNoSuchControl: return "对话框中没有控件" + name + "。\n";
    case ActionStatus::kHidden: return "控件" + name + "不可见。\n";
    case ActionStatus::kDisabled:
      return needsControl ? "控件" + name + "已禁用。\n" : std::string("对话框已禁用。\n");
    case ActionStatus::kWrongKind: return "控件" + name + "不接受这个操作。\n";
    case ActionStatus::kNoSuchRow:
      return "控件" + name + "中没有行" +
             quotedName(action.rowText ? *action.rowText : std::to_string(action.row.value_or(-1))) + "。\n";
    case ActionStatus::kEnded: return "对话框已关闭。\n";
  }
  return {};
}

}  // namespace contura::host
