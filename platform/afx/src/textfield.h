// The editable text of edit boxes, rich edit controls and combo box fields: selection,
// caret, text limit and the effect of typed characters. Positions are byte offsets that
// never fall inside a double-byte character.
#pragma once
#include <afxwin.h>

#include <string>

namespace contura::afx::detail {

// The largest number of bytes a person may type when no limit was set, as on Windows.
inline constexpr UINT kDefaultTypingLimit = 32767;
// The limit LimitText(0) sets: as good as none.
inline constexpr UINT kLargestTypingLimit = 0x7FFFFFFE;

struct TextField {
  int anchor = 0;  // where the selection started
  int caret = 0;   // where it ends (the caret)
  UINT limit = kDefaultTypingLimit;
  bool modified = false;

  int selStart() const { return anchor < caret ? anchor : caret; }
  int selEnd() const { return anchor < caret ? caret : anchor; }

  // EM_SETSEL: start -1 removes the selection (the caret stays); end -1 (or past the end)
  // is the end of the text.
  void setSel(const CString& text, int start, int end);
  // Replaces the selection with `insert` and puts the caret after it.
  void replaceSel(CString& text, std::string_view insert);
};

enum class TypeResult {
  kChanged,   // the text changed: the control raises its update and change notifications
  kRefused,   // refused by the style (ES_NUMBER, ES_READONLY) or a control character
  kTooLong,   // refused by the text limit (EN_MAXTEXT)
  kUnchanged  // accepted but nothing to do (backspace at the start of the text)
};

// The effect of WM_CHAR `code` on a field with `style` (ES_ styles): a character (double-byte
// ones as (lead << 8) | trail) replaces the selection; 0x08 deletes the selection or the
// character before the caret; '\r' inserts "\r\n" in a multi-line field.
TypeResult typeCharacter(CString& text, TextField& field, DWORD style, UINT code);
// VK_DELETE: deletes the selection or the character after the caret.
TypeResult deleteForward(CString& text, TextField& field, DWORD style);

// The byte offset of the character boundary at or before `pos` in `text`.
int snapToCharacter(const CString& text, int pos);

}  // namespace contura::afx::detail
