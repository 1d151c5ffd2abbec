// CAcUiColorComboBox: rows of the index colours and the shared list of recent colours.
#include <acuiComboBox.h>
#include <contura/ui/acui_state.h>

#include <algorithm>
#include <deque>

namespace {

constexpr int kByBlock = 0;
constexpr int kByLayer = CAcUiColorComboBox::kLastColorIndex;

// Names of the seven standard colours, indices 1 to 7.
const char* const kStandardNames[] = {"红", "黄", "绿", "青", "蓝", "洋红", "白"};

bool isIndexColor(int color) { return color >= kByBlock && color <= kByLayer; }

std::deque<int>& recentList() {
  static std::deque<int> list;
  return list;
}

}  // namespace

namespace contura::ui {

std::vector<int> recentColors() { return {recentList().begin(), recentList().end()}; }

void noteRecentColor(int colorIndex, int limit) {
  if (!isIndexColor(colorIndex)) return;
  std::deque<int>& list = recentList();
  list.erase(std::remove(list.begin(), list.end(), colorIndex), list.end());
  list.push_front(colorIndex);
  while (static_cast<int>(list.size()) > std::max(limit, 1)) list.pop_back();
}

void clearRecentColors() { recentList().clear(); }

}  // namespace contura::ui

IMPLEMENT_DYNAMIC(CAcUiColorComboBox, CComboBox)

CAcUiColorComboBox::CAcUiColorComboBox() : m_bFilling(false), m_bFilled(false) {}

CString CAcUiColorComboBox::ColorName(int color) {
  if (color == kByBlock) return "ByBlock";
  if (color == kByLayer) return "ByLayer";
  if (color >= 1 && color <= 7) return kStandardNames[color - 1];
  CString name;
  name.Format("颜色 %d", color);
  return name;
}

BOOL CAcUiColorComboBox::EnsureRows() {
  if (!m_hWnd) return FALSE;
  if (m_bFilled || m_bFilling) return TRUE;
  // The rows are added through the control's own messages, which come back here.
  m_bFilling = true;
  for (int color = kByBlock; color <= kByLayer; ++color) {
    int row = InsertString(-1, ColorName(color));
    SetItemData(row, static_cast<DWORD_PTR>(color));
  }
  m_bFilling = false;
  m_bFilled = true;
  return TRUE;
}

LRESULT CAcUiColorComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Rows are needed for anything but the window's end.
  if (message != WM_DESTROY && message != WM_NCDESTROY) EnsureRows();
  return CComboBox::WindowProc(message, wParam, lParam);
}

int CAcUiColorComboBox::GetItemColor(int nIndex) {
  if (!EnsureRows() || nIndex < 0 || nIndex >= GetCount()) return -1;
  return static_cast<int>(static_cast<INT_PTR>(GetItemData(nIndex)));
}

int CAcUiColorComboBox::FindItemByColor(int color) {
  if (!EnsureRows()) return CB_ERR;
  if (isIndexColor(color)) return color;  // row N shows index N
  for (int row = kByLayer + 1; row < GetCount(); ++row)
    if (GetItemColor(row) == color) return row;
  return CB_ERR;
}

int CAcUiColorComboBox::RowForColor(int color) {
  int row = FindItemByColor(color);
  if (row != CB_ERR || !m_hWnd) return row;
  row = InsertString(-1, ColorName(color));
  SetItemData(row, static_cast<DWORD_PTR>(static_cast<INT_PTR>(color)));
  return row;
}

int CAcUiColorComboBox::GetCurrentItemColor() { return GetItemColor(GetCurSel()); }

void CAcUiColorComboBox::SetCurrentItemColor(int color) {
  int row = RowForColor(color);
  if (row != CB_ERR) SetCurSel(row);
}

int CAcUiColorComboBox::AddColorToMRU(int color) {
  int row = RowForColor(color);
  if (row == CB_ERR) return CB_ERR;
  contura::ui::noteRecentColor(color, kMaxRecentColors);
  return row;
}
