// Edit boxes and rich edit controls: their window procedures, typing, and CEdit and
// CRichEditCtrl.
#include <afxcmn.h>

#include <algorithm>

#include <contura/os/codepage.h>

#include "textfield.h"
#include "window_impl.h"

namespace contura::afx::detail {

namespace {

// Bytes of the character that starts at `pos`.
int charSizeAt(const CString& text, int pos) {
  if (pos < text.GetLength() - 1 && os::isLeadByte(static_cast<unsigned char>(text[pos]))) return 2;
  return 1;
}

// The start of the character that ends at `pos`.
int previousCharStart(const CString& text, int pos) {
  int i = 0, last = 0;
  while (i < pos) {
    last = i;
    i += charSizeAt(text, i);
  }
  return last;
}

}  // namespace

int snapToCharacter(const CString& text, int pos) {
  pos = std::clamp(pos, 0, text.GetLength());
  int i = 0;
  while (i < pos) {
    int next = i + charSizeAt(text, i);
    if (next > pos) return i;
    i = next;
  }
  return i;
}

void TextField::setSel(const CString& text, int start, int end) {
  int length = text.GetLength();
  if (start == -1) {
    anchor = caret;
    return;
  }
  if (end < 0 || end > length) end = length;
  start = std::clamp(start, 0, length);
  anchor = snapToCharacter(text, start);
  caret = snapToCharacter(text, end);
}

void TextField::replaceSel(CString& text, std::string_view insert) {
  int from = selStart(), to = selEnd();
  std::string bytes = text.str();
  bytes.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), insert);
  text = CString(std::string_view(bytes));
  anchor = caret = from + static_cast<int>(insert.size());
  modified = true;
}

TypeResult typeCharacter(CString& text, TextField& field, DWORD style, UINT code) {
  if (style & ES_READONLY) return TypeResult::kRefused;
  if (code == 0x08) {
    if (field.selStart() == field.selEnd()) {
      if (field.caret == 0) return TypeResult::kUnchanged;
      // "\r\n" goes as one.
      int from = previousCharStart(text, field.caret);
      if (field.caret >= 2 && text[field.caret - 1] == '\n' && text[field.caret - 2] == '\r') from = field.caret - 2;
      field.anchor = from;
    }
    field.replaceSel(text, {});
    return TypeResult::kChanged;
  }
  std::string insert;
  if (code == '\r') {
    if (!(style & ES_MULTILINE)) return TypeResult::kRefused;
    insert = "\r\n";
  } else if (code < 0x20 || code == 0x7F) {
    return TypeResult::kRefused;
  } else if (code > 0xFF) {
    insert.push_back(static_cast<char>(code >> 8));
    insert.push_back(static_cast<char>(code & 0xFF));
  } else {
    char c = static_cast<char>(code);
    if ((style & ES_NUMBER) && !(c >= '0' && c <= '9')) return TypeResult::kRefused;
    if ((style & ES_UPPERCASE) && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if ((style & ES_LOWERCASE) && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    insert.push_back(c);
  }
  if (code > 0xFF && (style & ES_NUMBER)) return TypeResult::kRefused;
  long long after = static_cast<long long>(text.GetLength()) - (field.selEnd() - field.selStart()) +
                    static_cast<long long>(insert.size());
  if (after > static_cast<long long>(field.limit)) return TypeResult::kTooLong;
  field.replaceSel(text, insert);
  return TypeResult::kChanged;
}

TypeResult deleteForward(CString& text, TextField& field, DWORD style) {
  if (style & ES_READONLY) return TypeResult::kRefused;
  if (field.selStart() == field.selEnd()) {
    if (field.caret >= text.GetLength()) return TypeResult::kUnchanged;
    int size = charSizeAt(text, field.caret);
    if (text[field.caret] == '\r' && field.caret + 1 < text.GetLength() && text[field.caret + 1] == '\n') size = 2;
    field.anchor = field.caret;
    field.caret += size;
  }
  field.replaceSel(text, {});
  return TypeResult::kChanged;
}

namespace {

struct EditData : ControlData {
  TextField field;
  bool rich = false;
  DWORD eventMask = ENM_NONE;
  COLORREF background = RGB(255, 255, 255);
};

EditData& editData(Window& w, bool rich) {
  bool made = dynamic_cast<EditData*>(w.data.get()) == nullptr;
  EditData& d = dataOf<EditData>(w);
  if (made) d.rich = rich;
  return d;
}

// A plain edit box always tells its parent; a rich edit control only for events its mask
// asks. EN_UPDATE comes first; its handler may change the text again or destroy the box.
void notifyChange(HWND h, const EditData& d) {
  bool update = !d.rich || (d.eventMask & ENM_UPDATE);
  bool change = !d.rich || (d.eventMask & ENM_CHANGE);
  if (update) notifyParent(h, EN_UPDATE);
  if (change && find(h)) notifyParent(h, EN_CHANGE);
}

int lineCount(const CString& text) {
  int lines = 1;
  for (int i = 0; i < text.GetLength(); ++i)
    if (text[i] == '\n') ++lines;
  return lines;
}

LRESULT commonEditProc(HWND h, UINT m, WPARAM wp, LPARAM lp, bool rich) {
  Window* w = find(h);
  if (!w) return 0;
  EditData& d = editData(*w, rich);
  switch (m) {
    case WM_SETTEXT: {
      w->text = reinterpret_cast<const char*>(lp);
      d.field.anchor = d.field.caret = 0;
      d.field.modified = false;
      w->needsPaint = true;
      // A multi-line edit box does not report text set by the program; a single-line one
      // and a rich edit control (by its mask) do.
      if (rich || !(w->style & ES_MULTILINE)) notifyChange(h, d);
      return TRUE;
    }
    case WM_CHAR: {
      TypeResult r = typeCharacter(w->text, d.field, w->style, static_cast<UINT>(wp));
      if (r == TypeResult::kChanged) {
        w->needsPaint = true;
        notifyChange(h, d);
      } else if (r == TypeResult::kTooLong) {
        notifyParent(h, EN_MAXTEXT);
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (wp == VK_DELETE && deleteForward(w->text, d.field, w->style) == TypeResult::kChanged) {
        w->needsPaint = true;
        notifyChange(h, d);
      }
      return 0;
    case WM_CLEAR:
      if (!(w->style & ES_READONLY) && d.field.selStart() != d.field.selEnd()) {
        d.field.replaceSel(w->text, {});
        w->needsPaint = true;
        notifyChange(h, d);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(h);
      return 0;
    case WM_SETFOCUS:
      notifyParent(h, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      notifyParent(h, EN_KILLFOCUS);
      return 0;
    case EM_GETSEL:
      if (wp) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(d.field.selStart());
      if (lp) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(d.field.selEnd());
      return MAKELONG(d.field.selStart(), d.field.selEnd());
    case EM_SETSEL:
      d.field.setSel(w->text, static_cast<int>(static_cast<intptr_t>(wp)), static_cast<int>(lp));
      return 0;
    case EM_EXGETSEL:
      if (auto* cr = reinterpret_cast<CHARRANGE*>(lp)) *cr = CHARRANGE{d.field.selStart(), d.field.selEnd()};
      return 0;
    case EM_EXSETSEL:
      if (auto* cr = reinterpret_cast<CHARRANGE*>(lp)) d.field.setSel(w->text, cr->cpMin, cr->cpMax);
      return d.field.selEnd();
    case EM_REPLACESEL:
      d.field.replaceSel(w->text, reinterpret_cast<const char*>(lp) ? reinterpret_cast<const char*>(lp) : "");
      w->needsPaint = true;
      notifyChange(h, d);
      return 0;
    case EM_LIMITTEXT:
      d.field.limit = wp ? static_cast<UINT>(wp) : kLargestTypingLimit;
      return 0;
    case EM_EXLIMITTEXT:
      d.field.limit = lp ? static_cast<UINT>(lp) : 0x10000;
      return 0;
    case EM_GETLIMITTEXT:
      return d.field.limit;
    case EM_SETREADONLY:
      if (wp)
        w->style |= ES_READONLY;
      else
        w->style &= ~ES_READONLY;
      return TRUE;
    case EM_GETMODIFY:
      return d.field.modified;
    case EM_SETMODIFY:
      d.field.modified = wp != 0;
      return 0;
    case EM_GETLINECOUNT:
      return lineCount(w->text);
    case EM_SCROLLCARET:
      return TRUE;
    case EM_SETEVENTMASK: {
      DWORD old = d.eventMask;
      d.eventMask = static_cast<DWORD>(lp);
      return old;
    }
    case EM_GETEVENTMASK:
      return d.eventMask;
    case EM_SETBKGNDCOLOR: {
      COLORREF old = d.background;
      if (!wp) d.background = static_cast<COLORREF>(lp);
      return old;
    }
    default:
      return DefWindowProc(h, m, wp, lp);
  }
}

}  // namespace

LRESULT editProc(HWND h, UINT m, WPARAM wp, LPARAM lp) { return commonEditProc(h, m, wp, lp, false); }
LRESULT richEditProc(HWND h, UINT m, WPARAM wp, LPARAM lp) { return commonEditProc(h, m, wp, lp, true); }

}  // namespace contura::afx::detail

// --- CEdit ------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CEdit, CWnd)

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("Edit", nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CEdit::GetSel() const { return static_cast<DWORD>(::SendMessage(m_hWnd, EM_GETSEL, 0, 0)); }

void CEdit::GetSel(int& nStartChar, int& nEndChar) const {
  DWORD start = 0, end = 0;
  ::SendMessage(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  nStartChar = static_cast<int>(start);
  nEndChar = static_cast<int>(end);
}

void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll) {
  SetSel(static_cast<short>(LOWORD(dwSelection)), static_cast<short>(HIWORD(dwSelection)), bNoScroll);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll) {
  ::SendMessage(m_hWnd, EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
  if (!bNoScroll) ::SendMessage(m_hWnd, EM_SCROLLCARET, 0, 0);
}

void CEdit::ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo) {
  ::SendMessage(m_hWnd, EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(lpszNewText));
}

void CEdit::LimitText(int nChars) { ::SendMessage(m_hWnd, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0); }
void CEdit::SetLimitText(UINT nMax) { ::SendMessage(m_hWnd, EM_SETLIMITTEXT, nMax, 0); }
UINT CEdit::GetLimitText() const { return static_cast<UINT>(::SendMessage(m_hWnd, EM_GETLIMITTEXT, 0, 0)); }
void CEdit::Clear() { ::SendMessage(m_hWnd, WM_CLEAR, 0, 0); }
BOOL CEdit::SetReadOnly(BOOL bReadOnly) { return ::SendMessage(m_hWnd, EM_SETREADONLY, bReadOnly, 0) != 0; }
int CEdit::GetLineCount() const { return static_cast<int>(::SendMessage(m_hWnd, EM_GETLINECOUNT, 0, 0)); }
BOOL CEdit::GetModify() const { return ::SendMessage(m_hWnd, EM_GETMODIFY, 0, 0) != 0; }
void CEdit::SetModify(BOOL bModified) { ::SendMessage(m_hWnd, EM_SETMODIFY, bModified, 0); }

// --- CRichEditCtrl ------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("RichEdit20A", nullptr, dwStyle, rect, pParentWnd, nID);
}

void CRichEditCtrl::GetSel(CHARRANGE& cr) const { ::SendMessage(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const {
  CHARRANGE cr{0, 0};
  GetSel(cr);
  nStartChar = cr.cpMin;
  nEndChar = cr.cpMax;
}

void CRichEditCtrl::SetSel(CHARRANGE& cr) { ::SendMessage(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar) {
  CHARRANGE cr{static_cast<LONG>(nStartChar), static_cast<LONG>(nEndChar)};
  SetSel(cr);
}

void CRichEditCtrl::ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo) {
  ::SendMessage(m_hWnd, EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(lpszNewText));
}

void CRichEditCtrl::LimitText(long nChars) { ::SendMessage(m_hWnd, EM_EXLIMITTEXT, 0, nChars); }
long CRichEditCtrl::GetLimitText() const { return static_cast<long>(::SendMessage(m_hWnd, EM_GETLIMITTEXT, 0, 0)); }
long CRichEditCtrl::GetTextLength() const { return ::GetWindowTextLength(m_hWnd); }
int CRichEditCtrl::GetLineCount() const { return static_cast<int>(::SendMessage(m_hWnd, EM_GETLINECOUNT, 0, 0)); }
DWORD CRichEditCtrl::GetEventMask() const { return static_cast<DWORD>(::SendMessage(m_hWnd, EM_GETEVENTMASK, 0, 0)); }
DWORD CRichEditCtrl::SetEventMask(DWORD dwEventMask) {
  return static_cast<DWORD>(::SendMessage(m_hWnd, EM_SETEVENTMASK, 0, dwEventMask));
}
BOOL CRichEditCtrl::SetReadOnly(BOOL bReadOnly) { return ::SendMessage(m_hWnd, EM_SETREADONLY, bReadOnly, 0) != 0; }
COLORREF CRichEditCtrl::SetBackgroundColor(BOOL bSysColor, COLORREF cr) {
  return static_cast<COLORREF>(::SendMessage(m_hWnd, EM_SETBKGNDCOLOR, bSysColor, cr));
}
BOOL CRichEditCtrl::GetModify() const { return ::SendMessage(m_hWnd, EM_GETMODIFY, 0, 0) != 0; }
void CRichEditCtrl::SetModify(BOOL bModified) { ::SendMessage(m_hWnd, EM_SETMODIFY, bModified, 0); }
void CRichEditCtrl::Clear() { ::SendMessage(m_hWnd, WM_CLEAR, 0, 0); }
