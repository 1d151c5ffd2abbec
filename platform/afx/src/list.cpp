// List boxes and combo boxes: rows with item data, sorting, searching, selection, the combo
// box's field, and CListBox and CComboBox.
#include <afxwin.h>

#include <cstring>
#include <vector>

#include "list_compare.h"
#include "textfield.h"
#include "window_impl.h"

namespace contura::afx::detail {

namespace {

struct Row {
  CString text;
  DWORD_PTR data = 0;
};

struct ListData : ControlData {
  std::vector<Row> rows;
  int cur = -1;
  int top = 0;
  bool dropped = false;
  TextField field;  // combo boxes: the edit field
};

bool validRow(const ListData& d, intptr_t i) { return i >= 0 && i < static_cast<intptr_t>(d.rows.size()); }

int addRow(ListData& d, const char* text, bool sorted) {
  Row row{text ? text : "", 0};
  size_t at = d.rows.size();
  if (sorted) {
    // After every row that sorts before it or equal to it: equal rows keep their order.
    at = 0;
    while (at < d.rows.size() && compareForSort(d.rows[at].text, row.text) <= 0) ++at;
  }
  d.rows.insert(d.rows.begin() + static_cast<long>(at), row);
  if (d.cur >= static_cast<int>(at)) ++d.cur;
  return static_cast<int>(at);
}

int insertRow(ListData& d, intptr_t index, const char* text) {
  if (index == -1) index = static_cast<intptr_t>(d.rows.size());
  if (index < 0 || index > static_cast<intptr_t>(d.rows.size())) return LB_ERR;
  d.rows.insert(d.rows.begin() + index, Row{text ? text : "", 0});
  if (d.cur >= index) ++d.cur;
  return static_cast<int>(index);
}

int deleteRow(ListData& d, intptr_t index) {
  if (!validRow(d, index)) return LB_ERR;
  d.rows.erase(d.rows.begin() + index);
  if (d.cur == index)
    d.cur = -1;
  else if (d.cur > index)
    --d.cur;
  if (d.top >= static_cast<int>(d.rows.size())) d.top = d.rows.empty() ? 0 : static_cast<int>(d.rows.size()) - 1;
  return static_cast<int>(d.rows.size());
}

// The first row after `startAfter` (-1: from the top), wrapping round, that begins with
// (exact: equals) `text` ignoring letter case.
int findRow(const ListData& d, intptr_t startAfter, const char* text, bool exact) {
  if (!text) return LB_ERR;
  int n = static_cast<int>(d.rows.size());
  if (n == 0) return LB_ERR;
  int start = (startAfter < 0 || startAfter >= n) ? 0 : static_cast<int>(startAfter) + 1;
  for (int k = 0; k < n; ++k) {
    int i = (start + k) % n;
    bool match = exact ? equalIgnoringCase(d.rows[i].text, text) : startsWithIgnoringCase(d.rows[i].text, text);
    if (match) return i;
  }
  return LB_ERR;
}

int copyRow(const ListData& d, intptr_t index, LPARAM buffer) {
  if (!validRow(d, index)) return LB_ERR;
  const CString& text = d.rows[static_cast<size_t>(index)].text;
  // The caller's buffer holds at least the row's length plus one, as the list box demands.
  if (char* out = reinterpret_cast<char*>(buffer)) {
    std::memcpy(out, text.GetString(), static_cast<size_t>(text.GetLength()) + 1);
  }
  return text.GetLength();
}

// Messages list and combo boxes answer alike: rows, item data, search.
bool commonListMessage(ListData& d, UINT m, WPARAM wp, LPARAM lp, bool sorted, LRESULT& result) {
  intptr_t index = static_cast<intptr_t>(wp);
  switch (m) {
    case LB_ADDSTRING:
    case CB_ADDSTRING:
      result = addRow(d, reinterpret_cast<const char*>(lp), sorted);
      return true;
    case LB_INSERTSTRING:
    case CB_INSERTSTRING:
      result = insertRow(d, index, reinterpret_cast<const char*>(lp));
      return true;
    case LB_GETCOUNT:
    case CB_GETCOUNT:
      result = static_cast<LRESULT>(d.rows.size());
      return true;
    case LB_GETCURSEL:
    case CB_GETCURSEL:
      result = d.cur;
      return true;
    case LB_GETTEXT:
    case CB_GETLBTEXT:
      result = copyRow(d, index, lp);
      return true;
    case LB_GETTEXTLEN:
    case CB_GETLBTEXTLEN:
      result = validRow(d, index) ? d.rows[static_cast<size_t>(index)].text.GetLength() : LB_ERR;
      return true;
    case LB_SETITEMDATA:
    case CB_SETITEMDATA:
      if (!validRow(d, index)) {
        result = LB_ERR;
      } else {
        d.rows[static_cast<size_t>(index)].data = static_cast<DWORD_PTR>(lp);
        result = TRUE;
      }
      return true;
    case LB_GETITEMDATA:
    case CB_GETITEMDATA:
      result = validRow(d, index) ? static_cast<LRESULT>(d.rows[static_cast<size_t>(index)].data) : LB_ERR;
      return true;
    case LB_FINDSTRING:
    case CB_FINDSTRING:
      result = findRow(d, index, reinterpret_cast<const char*>(lp), false);
      return true;
    case LB_FINDSTRINGEXACT:
    case CB_FINDSTRINGEXACT:
      result = findRow(d, index, reinterpret_cast<const char*>(lp), true);
      return true;
    default:
      return false;
  }
}

ListData& listData(HWND h) { return dataOf<ListData>(*find(h)); }

}  // namespace

LRESULT listBoxProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  Window* w = find(h);
  if (!w) return 0;
  ListData& d = dataOf<ListData>(*w);
  bool notify = (w->style & LBS_NOTIFY) != 0;
  LRESULT result = 0;
  if (commonListMessage(d, m, wp, lp, (w->style & LBS_SORT) != 0, result)) {
    w->needsPaint = true;
    return result;
  }
  intptr_t index = static_cast<intptr_t>(wp);
  switch (m) {
    case LB_DELETESTRING:
      w->needsPaint = true;
      return deleteRow(d, index);
    case LB_RESETCONTENT:
      d.rows.clear();
      d.cur = -1;
      d.top = 0;
      w->needsPaint = true;
      return 0;
    case LB_SETCURSEL:
      if (index == -1) {
        d.cur = -1;
        return LB_ERR;
      }
      if (!validRow(d, index)) return LB_ERR;
      d.cur = static_cast<int>(index);
      w->needsPaint = true;
      return d.cur;
    case LB_SELECTSTRING: {
      int found = findRow(d, index, reinterpret_cast<const char*>(lp), false);
      if (found != LB_ERR) d.cur = found;
      return found;
    }
    case LB_GETTOPINDEX:
      return d.top;
    case LB_SETTOPINDEX:
      if (!validRow(d, index) && !(index == 0 && d.rows.empty())) return LB_ERR;
      d.top = static_cast<int>(index);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(h);
      return 0;
    case WM_LBUTTONDBLCLK:
      SetFocus(h);
      if (find(h) && notify && listData(h).cur >= 0) notifyParent(h, LBN_DBLCLK);
      return 0;
    case WM_SETFOCUS:
      if (notify) notifyParent(h, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      if (notify) notifyParent(h, LBN_KILLFOCUS);
      return 0;
    default:
      return DefWindowProc(h, m, wp, lp);
  }
}

namespace {

bool hasEditField(const Window& w) { return (w.style & CBS_TYPEMASK) != CBS_DROPDOWNLIST; }

// Selects a row (or none) and shows it in the field.
LRESULT selectComboRow(Window& w, ListData& d, intptr_t index) {
  w.needsPaint = true;
  if (!validRow(d, index)) {
    d.cur = -1;
    w.text.Empty();
    d.field.anchor = d.field.caret = 0;
    return CB_ERR;
  }
  d.cur = static_cast<int>(index);
  w.text = d.rows[static_cast<size_t>(index)].text;
  d.field.anchor = 0;
  d.field.caret = w.text.GetLength();
  return d.cur;
}

}  // namespace

LRESULT comboBoxProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  Window* w = find(h);
  if (!w) return 0;
  ListData& d = dataOf<ListData>(*w);
  LRESULT result = 0;
  if (commonListMessage(d, m, wp, lp, (w->style & CBS_SORT) != 0, result)) {
    w->needsPaint = true;
    return result;
  }
  intptr_t index = static_cast<intptr_t>(wp);
  switch (m) {
    case CB_DELETESTRING: {
      bool wasSelected = d.cur == index;
      LRESULT left = deleteRow(d, index);
      if (wasSelected && !hasEditField(*w)) w->text.Empty();
      w->needsPaint = true;
      return left;
    }
    case CB_RESETCONTENT:
      d.rows.clear();
      d.cur = -1;
      w->text.Empty();
      d.field.anchor = d.field.caret = 0;
      w->needsPaint = true;
      return CB_OKAY;
    case CB_SETCURSEL:
      return selectComboRow(*w, d, index);
    case CB_SELECTSTRING: {
      int found = findRow(d, index, reinterpret_cast<const char*>(lp), false);
      if (found != CB_ERR) selectComboRow(*w, d, found);
      return found;
    }
    case CB_LIMITTEXT:
      d.field.limit = wp ? static_cast<UINT>(wp) : kLargestTypingLimit;
      return TRUE;
    case CB_GETEDITSEL:
      if (wp) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(d.field.selStart());
      if (lp) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(d.field.selEnd());
      return MAKELONG(d.field.selStart(), d.field.selEnd());
    case CB_SETEDITSEL:
      if (!hasEditField(*w)) return CB_ERR;
      d.field.setSel(w->text, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
      return TRUE;
    case CB_SHOWDROPDOWN:
      if (static_cast<bool>(wp) != d.dropped) {
        d.dropped = wp != 0;
        notifyParent(h, d.dropped ? CBN_DROPDOWN : CBN_CLOSEUP);
      }
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return d.dropped;
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lp);
      if (!hasEditField(*w)) {
        int found = findRow(d, -1, text, true);
        if (found == CB_ERR) return CB_ERR;
        selectComboRow(*w, d, found);
        return TRUE;
      }
      w->text = text ? text : "";
      d.field.anchor = d.field.caret = 0;
      w->needsPaint = true;
      return TRUE;
    }
    case WM_CHAR: {
      if (!hasEditField(*w)) {
        // A drop-down list jumps to the next row starting with the typed character.
        char typed[3] = {0, 0, 0};
        if (wp > 0xFF) {
          typed[0] = static_cast<char>(wp >> 8);
          typed[1] = static_cast<char>(wp & 0xFF);
        } else {
          typed[0] = static_cast<char>(wp);
        }
        int found = findRow(d, d.cur, typed, false);
        if (found != CB_ERR && found != d.cur) {
          selectComboRow(*w, d, found);
          notifyParent(h, CBN_SELCHANGE);
        }
        return 0;
      }
      TypeResult r = typeCharacter(w->text, d.field, w->style & ~ES_MULTILINE, static_cast<UINT>(wp));
      if (r == TypeResult::kChanged) {
        d.cur = -1;
        w->needsPaint = true;
        notifyParent(h, CBN_EDITUPDATE);
        if (find(h)) notifyParent(h, CBN_EDITCHANGE);
      }
      return 0;
    }
    case WM_CLEAR:
      if (hasEditField(*w) && d.field.selStart() != d.field.selEnd()) {
        d.field.replaceSel(w->text, {});
        d.cur = -1;
        w->needsPaint = true;
        notifyParent(h, CBN_EDITUPDATE);
        if (find(h)) notifyParent(h, CBN_EDITCHANGE);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(h);
      return 0;
    case WM_SETFOCUS:
      notifyParent(h, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      notifyParent(h, CBN_KILLFOCUS);
      return 0;
    default:
      return DefWindowProc(h, m, wp, lp);
  }
}

}  // namespace contura::afx::detail

// --- CListBox ----------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CListBox, CWnd)

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("ListBox", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CListBox::GetCount() const { return static_cast<int>(::SendMessage(m_hWnd, LB_GETCOUNT, 0, 0)); }
int CListBox::GetCurSel() const { return static_cast<int>(::SendMessage(m_hWnd, LB_GETCURSEL, 0, 0)); }
int CListBox::SetCurSel(int nSelect) {
  return static_cast<int>(::SendMessage(m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(nSelect), 0));
}
int CListBox::GetTopIndex() const { return static_cast<int>(::SendMessage(m_hWnd, LB_GETTOPINDEX, 0, 0)); }
int CListBox::SetTopIndex(int nIndex) {
  return static_cast<int>(::SendMessage(m_hWnd, LB_SETTOPINDEX, static_cast<WPARAM>(nIndex), 0));
}
DWORD_PTR CListBox::GetItemData(int nIndex) const {
  return static_cast<DWORD_PTR>(::SendMessage(m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0));
}
int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
  return static_cast<int>(
      ::SendMessage(m_hWnd, LB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
}
void* CListBox::GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
int CListBox::SetItemDataPtr(int nIndex, void* pData) {
  return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData));
}
int CListBox::GetText(int nIndex, LPTSTR lpszBuffer) const {
  return static_cast<int>(
      ::SendMessage(m_hWnd, LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszBuffer)));
}
void CListBox::GetText(int nIndex, CString& rString) const {
  int n = GetTextLen(nIndex);
  if (n == LB_ERR) {
    rString.Empty();
    return;
  }
  GetText(nIndex, rString.GetBuffer(n + 1));
  rString.ReleaseBuffer(n);
}
int CListBox::GetTextLen(int nIndex) const {
  return static_cast<int>(::SendMessage(m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0));
}
int CListBox::AddString(LPCTSTR lpszItem) {
  return static_cast<int>(::SendMessage(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem)));
}
int CListBox::InsertString(int nIndex, LPCTSTR lpszItem) {
  return static_cast<int>(
      ::SendMessage(m_hWnd, LB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszItem)));
}
int CListBox::DeleteString(UINT nIndex) {
  return static_cast<int>(::SendMessage(m_hWnd, LB_DELETESTRING, nIndex, 0));
}
void CListBox::ResetContent() { ::SendMessage(m_hWnd, LB_RESETCONTENT, 0, 0); }
int CListBox::FindString(int nStartAfter, LPCTSTR lpszItem) const {
  return static_cast<int>(
      ::SendMessage(m_hWnd, LB_FINDSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszItem)));
}
int CListBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
  return static_cast<int>(::SendMessage(m_hWnd, LB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart),
                                        reinterpret_cast<LPARAM>(lpszFind)));
}
int CListBox::SelectString(int nStartAfter, LPCTSTR lpszItem) {
  return static_cast<int>(::SendMessage(m_hWnd, LB_SELECTSTRING, static_cast<WPARAM>(nStartAfter),
                                        reinterpret_cast<LPARAM>(lpszItem)));
}

// --- CComboBox ---------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("ComboBox", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CComboBox::GetCount() const { return static_cast<int>(::SendMessage(m_hWnd, CB_GETCOUNT, 0, 0)); }
int CComboBox::GetCurSel() const { return static_cast<int>(::SendMessage(m_hWnd, CB_GETCURSEL, 0, 0)); }
int CComboBox::SetCurSel(int nSelect) {
  return static_cast<int>(::SendMessage(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(nSelect), 0));
}
DWORD_PTR CComboBox::GetItemData(int nIndex) const {
  return static_cast<DWORD_PTR>(::SendMessage(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0));
}
int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
  return static_cast<int>(
      ::SendMessage(m_hWnd, CB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
}
void* CComboBox::GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
int CComboBox::SetItemDataPtr(int nIndex, void* pData) {
  return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData));
}
int CComboBox::GetLBText(int nIndex, LPTSTR lpszText) const {
  return static_cast<int>(
      ::SendMessage(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszText)));
}
void CComboBox::GetLBText(int nIndex, CString& rString) const {
  int n = GetLBTextLen(nIndex);
  if (n == CB_ERR) {
    rString.Empty();
    return;
  }
  GetLBText(nIndex, rString.GetBuffer(n + 1));
  rString.ReleaseBuffer(n);
}
int CComboBox::GetLBTextLen(int nIndex) const {
  return static_cast<int>(::SendMessage(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex), 0));
}
int CComboBox::AddString(LPCTSTR lpszString) {
  return static_cast<int>(::SendMessage(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
}
int CComboBox::InsertString(int nIndex, LPCTSTR lpszString) {
  return static_cast<int>(
      ::SendMessage(m_hWnd, CB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszString)));
}
int CComboBox::DeleteString(UINT nIndex) {
  return static_cast<int>(::SendMessage(m_hWnd, CB_DELETESTRING, nIndex, 0));
}
void CComboBox::ResetContent() { ::SendMessage(m_hWnd, CB_RESETCONTENT, 0, 0); }
int CComboBox::FindString(int nStartAfter, LPCTSTR lpszString) const {
  return static_cast<int>(::SendMessage(m_hWnd, CB_FINDSTRING, static_cast<WPARAM>(nStartAfter),
                                        reinterpret_cast<LPARAM>(lpszString)));
}
int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
  return static_cast<int>(::SendMessage(m_hWnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart),
                                        reinterpret_cast<LPARAM>(lpszFind)));
}
int CComboBox::SelectString(int nStartAfter, LPCTSTR lpszString) {
  return static_cast<int>(::SendMessage(m_hWnd, CB_SELECTSTRING, static_cast<WPARAM>(nStartAfter),
                                        reinterpret_cast<LPARAM>(lpszString)));
}
BOOL CComboBox::LimitText(int nMaxChars) {
  return ::SendMessage(m_hWnd, CB_LIMITTEXT, static_cast<WPARAM>(nMaxChars), 0) != 0;
}
DWORD CComboBox::GetEditSel() const { return static_cast<DWORD>(::SendMessage(m_hWnd, CB_GETEDITSEL, 0, 0)); }
BOOL CComboBox::SetEditSel(int nStartChar, int nEndChar) {
  return ::SendMessage(m_hWnd, CB_SETEDITSEL, 0, MAKELPARAM(nStartChar, nEndChar)) != CB_ERR;
}
void CComboBox::ShowDropDown(BOOL bShowIt) { ::SendMessage(m_hWnd, CB_SHOWDROPDOWN, bShowIt, 0); }
BOOL CComboBox::GetDroppedState() const { return ::SendMessage(m_hWnd, CB_GETDROPPEDSTATE, 0, 0) != 0; }
