// CAcUiColorComboBox: the host's colour picker, a drop-down list of the index colours with a
// list of recently used colours.
#pragma once
#include <afxwin.h>

// Bound to a "ComboBox" control of a dialog template (CBS_DROPDOWNLIST, typically also
// CBS_OWNERDRAWFIXED | CBS_HASSTRINGS) with DDX_Control or SubclassDlgItem.
//
// Rows: one per colour index, row N showing index N for N from 0 to 256 - 0 "ByBlock",
// 1 to 7 by name ("红", "黄", "绿", "青", "蓝", "洋红", "白"), 8 to 255 "颜色 N",
// 256 "ByLayer". Each row's item data is its colour index. The rows are made the first time
// the control is used after it is bound (by a member of this class or by any message sent
// to it), so whoever looks at or picks from the control - a person, a script, the module -
// sees them. A value outside 0..256 given to AddColorToMRU or SetCurrentItemColor gets a
// row of its own after row 256 ("颜色 N"), so a value read from a drawing is shown and handed
// back unchanged.
//
// Recently used colours: one list shared by every colour box of the process (the host keeps
// it across dialogs), most recent first, at most kMaxRecentColors entries, only indices
// 0..256. Window backends may offer them first; the rows do not move.
class CAcUiColorComboBox : public CComboBox {
  DECLARE_DYNAMIC(CAcUiColorComboBox)

public:
  // Index colours have rows 0..kLastColorIndex.
  static constexpr int kLastColorIndex = 256;
  static constexpr int kMaxRecentColors = 8;

  CAcUiColorComboBox();

  // The colour index of the selected row; -1 when no row is selected.
  int GetCurrentItemColor();
  // Selects the row of colour index `color` (see above for values outside 0..256).
  void SetCurrentItemColor(int color);
  // Puts `color` first in the recently used colours (indices 0..256 only) and returns the
  // row that shows it, ready for SetCurSel. CB_ERR only when the control has no window.
  int AddColorToMRU(int color);
  // The row whose colour index is `color`; CB_ERR when none.
  int FindItemByColor(int color);
  // The colour index of row nIndex; -1 for a row that does not exist.
  int GetItemColor(int nIndex);

  // The row text for colour index `color` (any value: outside 0..256 "颜色 N").
  static CString ColorName(int color);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  // Makes the rows once the control has a window; TRUE when they are there.
  BOOL EnsureRows();
  // The row of `color`, adding a row for a value outside 0..256; CB_ERR without a window.
  int RowForColor(int color);

  bool m_bFilling;
  bool m_bFilled;
};
