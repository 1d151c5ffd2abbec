// A running dialog as a backend drives it: actions turned into the messages a person's
// mouse and keyboard would cause, and the dialog described as text.
#include <afxcmn.h>
#include <contura/os/codepage.h>

#include <cstdio>
#include <string>

#include "contura/afx/ui_backend.h"
#include "window_impl.h"

namespace contura::afx {
namespace {

using detail::find;
using detail::sameClassName;
using detail::Window;

bool isRichEdit(const Window& w) {
  for (const char* name : {"RichEdit20A", "RichEdit20W", "RICHEDIT50W", "RichEdit"})
    if (sameClassName(w.className, name)) return true;
  return false;
}

bool isEdit(const Window& w) { return sameClassName(w.className, "Edit") || isRichEdit(w); }
bool isList(const Window& w) { return sameClassName(w.className, "ListBox"); }
bool isCombo(const Window& w) { return sameClassName(w.className, "ComboBox"); }
bool comboHasField(const Window& w) { return (w.style & CBS_TYPEMASK) != CBS_DROPDOWNLIST; }

std::string withoutMnemonics(std::string_view caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(caption[i]);
    if (contura::os::isLeadByte(c) && i + 1 < caption.size()) {
      out += caption.substr(i, 2);
      ++i;
    } else if (c == '&' && i + 1 < caption.size() && caption[i + 1] == '&') {
      out += '&';
      ++i;
    } else if (c != '&') {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool parseId(std::string_view s, int& id) {
  if (s.empty() || s.size() > 11) return false;
  size_t i = s[0] == '-' ? 1 : 0;
  if (i == s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  id = static_cast<int>(s[0] == '-' ? -v : v);
  return true;
}

std::string kindOf(const Window& w) {
  if (sameClassName(w.className, "Button")) {
    switch (w.style & BS_TYPEMASK) {
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE: return "复选框";
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON: return "单选按钮";
      case BS_GROUPBOX: return "分组框";
      default: return "按钮";
    }
  }
  if (sameClassName(w.className, "Static")) return "静态文本";
  if (isRichEdit(w)) return "富文本框";
  if (sameClassName(w.className, "Edit")) return (w.style & ES_MULTILINE) ? "多行编辑框" : "编辑框";
  if (isList(w)) return "列表框";
  if (isCombo(w)) return comboHasField(w) ? "组合框" : "下拉列表";
  return w.className;
}

std::string quoted(std::string_view text) { return "“" + std::string(text) + "”"; }

// The lines of a text, split at "\r\n", "\n" or "\r".
std::vector<std::string> linesOf(std::string_view text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

std::string idText(const Window& w) {
  if (w.id == -1 || w.id == 0xFFFF) return "[-]";
  return "[" + std::to_string(w.id) + "]";
}

std::string stateText(const Window& w) {
  std::string s;
  if (!(w.style & WS_VISIBLE)) s += "（隐藏）";
  if (w.style & WS_DISABLED) s += "（禁用）";
  if (sameClassName(w.className, "Button")) {
    DWORD type = w.style & BS_TYPEMASK;
    if (type == BS_DEFPUSHBUTTON) s += "（默认）";
    LRESULT check = SendMessage(w.handle, BM_GETCHECK, 0, 0);
    if (check == BST_CHECKED) s += "（已选中）";
    if (check == BST_INDETERMINATE) s += "（不确定）";
  }
  if (GetFocus() == w.handle) s += "（焦点）";
  return s.empty() ? s : " " + s;
}

std::string rowText(HWND h, UINT getLen, UINT getText, int row) {
  LRESULT n = SendMessage(h, getLen, static_cast<WPARAM>(row), 0);
  if (n < 0) return {};
  std::string text(static_cast<size_t>(n) + 1, '\0');
  SendMessage(h, getText, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n));
  return text;
}

// Every row, the selected one marked '>', indented by `indent`.
std::string rowsOf(HWND h, bool combo, const std::string& indent) {
  UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT;
  UINT cur = combo ? CB_GETCURSEL : LB_GETCURSEL;
  int n = static_cast<int>(SendMessage(h, count, 0, 0));
  int selected = static_cast<int>(SendMessage(h, cur, 0, 0));
  int width = static_cast<int>(std::to_string(n > 0 ? n - 1 : 0).size());
  std::string out;
  for (int i = 0; i < n; ++i) {
    char number[32];
    std::snprintf(number, sizeof number, "%*d", width, i);
    out += indent + (i == selected ? "> " : "  ") + number + "  " +
           rowText(h, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, combo ? CB_GETLBTEXT : LB_GETTEXT, i) + "\n";
  }
  return out;
}

// The text shown for a control's content (edit boxes hide a password's characters).
std::string contentOf(const Window& w) {
  std::string text = w.text.str();
  if (isEdit(w) && (w.style & ES_PASSWORD)) text.assign(text.size(), '*');
  return text;
}

// One control: a head line, and for lists (and, in detail, combo boxes) their rows, for
// multi-line boxes their further lines.
std::string describeWindow(const Window& w, bool detailed) {
  const std::string indent = "        ";
  std::string head = "  " + idText(w) + " " + kindOf(w);
  std::string more;
  if (isList(w)) {
    int n = static_cast<int>(SendMessage(w.handle, LB_GETCOUNT, 0, 0));
    head += " " + std::to_string(n) + " 行";
    more = rowsOf(w.handle, false, indent);
  } else if (isCombo(w)) {
    int n = static_cast<int>(SendMessage(w.handle, CB_GETCOUNT, 0, 0));
    head += " " + quoted(w.text.str()) + "，" + std::to_string(n) + " 行";
    if (detailed) more = rowsOf(w.handle, true, indent);
  } else if (isEdit(w)) {
    std::vector<std::string> lines = linesOf(contentOf(w));
    head += " " + quoted(lines.front());
    for (size_t i = 1; i < lines.size(); ++i) more += indent + "| " + lines[i] + "\n";
  } else if (!w.text.IsEmpty()) {
    head += " " + quoted(w.text.str());
  }
  return head + stateText(w) + "\n" + more;
}

}  // namespace

DialogSession::DialogSession(CDialog& dialog) : m_dialog(dialog) {}

HWND DialogSession::dialog() const { return m_dialog.m_hWnd; }

UINT DialogSession::templateId() const {
  Window* w = find(dialog());
  return w ? w->templateId : 0;
}

bool DialogSession::ended() const { return !IsWindow(dialog()) || !m_dialog.ContinueModal(); }

HWND DialogSession::findControl(std::string_view idOrCaption) const {
  Window* d = find(dialog());
  if (!d) return nullptr;
  int id = 0;
  if (parseId(idOrCaption, id)) return GetDlgItem(dialog(), id);
  std::string wanted = withoutMnemonics(idOrCaption);
  for (HWND c : d->children) {
    Window* w = find(c);
    if (w && !isEdit(*w) && !isCombo(*w) && withoutMnemonics(w->text.str()) == wanted) return c;
  }
  return nullptr;
}

ActionStatus DialogSession::checkUsable(HWND control) const {
  if (ended()) return ActionStatus::kEnded;
  Window* w = find(control);
  if (!w || !w->child() || w->parent != dialog()) return ActionStatus::kNoSuchControl;
  if (!IsWindowVisible(control)) return ActionStatus::kHidden;
  if (!IsWindowEnabled(control) || !IsWindowEnabled(dialog())) return ActionStatus::kDisabled;
  return ActionStatus::kDone;
}

namespace {

// PreTranslateMessage of every bound window from the target up to the dialog; true when one
// of them took the message.
bool preTranslate(MSG& msg, HWND dialog) {
  for (HWND h = msg.hwnd; h && IsWindow(h);) {
    if (CWnd* p = CWnd::FromHandlePermanent(h); p && p->PreTranslateMessage(&msg)) return true;
    if (h == dialog) break;
    h = GetParent(h);
  }
  return !IsWindow(msg.hwnd);
}

// One input message as the dialog's message loop handles it: pre-translation, dispatch, and
// for the keys that make characters, the character.
void deliver(MSG msg, HWND dialog) {
  if (preTranslate(msg, dialog)) return;
  SendMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  if (msg.message != WM_KEYDOWN || !IsWindow(msg.hwnd)) return;
  WPARAM ch = 0;
  switch (msg.wParam) {
    case VK_RETURN: ch = '\r'; break;
    case VK_ESCAPE: ch = 0x1B; break;
    case VK_BACK: ch = 0x08; break;
    case VK_TAB: ch = '\t'; break;
    default: return;
  }
  deliver(MSG{msg.hwnd, WM_CHAR, ch, 1, 0, {0, 0}}, dialog);
}

MSG mouseAt(HWND control, UINT message, WPARAM keys) {
  RECT r{};
  GetClientRect(control, &r);
  return MSG{control, message, keys, MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2), 0, {0, 0}};
}

}  // namespace

ActionStatus DialogSession::click(HWND control) {
  ActionStatus s = checkUsable(control);
  if (s != ActionStatus::kDone) return s;
  deliver(mouseAt(control, WM_LBUTTONDOWN, MK_LBUTTON), dialog());
  if (!ended() && IsWindow(control)) deliver(mouseAt(control, WM_LBUTTONUP, 0), dialog());
  flush();
  return ActionStatus::kDone;
}

ActionStatus DialogSession::doubleClick(HWND control) {
  ActionStatus s = checkUsable(control);
  if (s != ActionStatus::kDone) return s;
  const std::pair<UINT, WPARAM> sequence[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}, {WM_LBUTTONDBLCLK, MK_LBUTTON}, {WM_LBUTTONUP, 0}};
  for (auto [message, keys] : sequence) {
    if (ended() || !IsWindow(control)) break;
    deliver(mouseAt(control, message, keys), dialog());
  }
  flush();
  return ActionStatus::kDone;
}

ActionStatus DialogSession::select(HWND control, const RowRef& row) {
  ActionStatus s = checkUsable(control);
  if (s != ActionStatus::kDone) return s;
  Window* w = find(control);
  bool combo = isCombo(*w);
  if (!combo && !isList(*w)) return ActionStatus::kWrongKind;
  int index = row.index;
  if (row.text)
    index = static_cast<int>(SendMessage(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT,
                                         static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(row.text->c_str())));
  int count = static_cast<int>(SendMessage(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
  if (index < 0 || index >= count) return ActionStatus::kNoSuchRow;
  SetFocus(control);
  if (!IsWindow(control)) return ActionStatus::kDone;
  if (combo) {
    SendMessage(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    detail::notifyParent(control, CBN_SELCHANGE);
    if (IsWindow(control) && !ended()) detail::notifyParent(control, CBN_SELENDOK);
  } else {
    SendMessage(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (find(control)->style & LBS_NOTIFY) detail::notifyParent(control, LBN_SELCHANGE);
  }
  flush();
  return ActionStatus::kDone;
}

ActionStatus DialogSession::type(HWND control, std::string_view cp936) {
  ActionStatus s = checkUsable(control);
  if (s != ActionStatus::kDone) return s;
  Window* w = find(control);
  bool combo = isCombo(*w);
  if (!(isEdit(*w) || (combo && comboHasField(*w)))) return ActionStatus::kWrongKind;
  SetFocus(control);
  if (!IsWindow(control)) return ActionStatus::kDone;
  // Select everything and delete it, as a person clearing the box would.
  if (combo)
    SendMessage(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  else
    SendMessage(control, EM_SETSEL, 0, -1);
  SendMessage(control, WM_CLEAR, 0, 0);
  flush();
  for (size_t i = 0; i < cp936.size() && !ended() && IsWindow(control);) {
    unsigned char c = static_cast<unsigned char>(cp936[i]);
    if (c == '\n') {
      deliver(MSG{control, WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}}, dialog());
      ++i;
    } else {
      WPARAM code = c;
      size_t size = 1;
      if (contura::os::isLeadByte(c) && i + 1 < cp936.size()) {
        code = (static_cast<WPARAM>(c) << 8) | static_cast<unsigned char>(cp936[i + 1]);
        size = 2;
      }
      deliver(MSG{control, WM_CHAR, code, 1, 0, {0, 0}}, dialog());
      i += size;
    }
    flush();
  }
  return ActionStatus::kDone;
}

ActionStatus DialogSession::input(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
  if (ended()) return ActionStatus::kEnded;
  if (target != dialog()) {
    ActionStatus s = checkUsable(target);
    if (s != ActionStatus::kDone) return s;
  } else if (!IsWindowEnabled(dialog())) {
    return ActionStatus::kDisabled;
  }
  deliver(MSG{target, message, wParam, lParam, 0, {0, 0}}, dialog());
  flush();
  return ActionStatus::kDone;
}

std::vector<HWND> DialogSession::controls() const {
  Window* d = find(dialog());
  return d ? d->children : std::vector<HWND>();
}

ActionStatus DialogSession::resize(int width, int height) {
  if (ended()) return ActionStatus::kEnded;
  RECT r{};
  GetWindowRect(dialog(), &r);
  MoveWindow(dialog(), r.left, r.top, width, height, TRUE);
  flush();
  return ActionStatus::kDone;
}

ActionStatus DialogSession::pressOk() {
  if (ended()) return ActionStatus::kEnded;
  if (!IsWindowEnabled(dialog())) return ActionStatus::kDisabled;
  deliver(MSG{dialog(), WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}}, dialog());
  flush();
  return ActionStatus::kDone;
}

ActionStatus DialogSession::pressCancel() {
  if (ended()) return ActionStatus::kEnded;
  if (!IsWindowEnabled(dialog())) return ActionStatus::kDisabled;
  deliver(MSG{dialog(), WM_KEYDOWN, VK_ESCAPE, 1, 0, {0, 0}}, dialog());
  flush();
  return ActionStatus::kDone;
}

ActionStatus DialogSession::close() {
  if (ended()) return ActionStatus::kEnded;
  if (!IsWindowEnabled(dialog())) return ActionStatus::kDisabled;
  SendMessage(dialog(), WM_CLOSE, 0, 0);
  flush();
  return ActionStatus::kDone;
}

void DialogSession::flush() { detail::deliverPostedAndPaint(); }

std::string DialogSession::describe() const {
  Window* d = find(dialog());
  if (!d) return {};
  RECT r{};
  GetClientRect(dialog(), &r);
  std::string out = "对话框 " + quoted(d->text.str()) + " (" + std::to_string(d->templateId) + ") " +
                    std::to_string(r.right) + " x " + std::to_string(r.bottom);
  if (!(d->style & WS_VISIBLE)) out += " （隐藏）";
  if (d->style & WS_DISABLED) out += " （禁用）";
  out += "\n";
  for (HWND c : d->children)
    if (Window* w = find(c)) out += describeWindow(*w, false);
  return out;
}

std::string DialogSession::describeControl(HWND control) const {
  Window* w = find(control);
  return w ? describeWindow(*w, true) : std::string();
}

}  // namespace contura::afx
