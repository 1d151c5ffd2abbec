// The dialog templates of the window tests, exported as this program's resources.
#include <afxres.h>
#include <afxwin.h>

#include "test_backend.h"

namespace {

constexpr DWORD kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const AFX_DLGITEM kTestItems[] = {
    {IDC_LIST, "ListBox", "", kChild | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, 7, 7, 100, 80},
    {IDC_NAME, "Edit", "", kChild | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 110, 7, 80, 14},
    {IDC_ADD, "Button", "增加", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 110, 25, 40, 14},
    {IDC_NUMBER, "Edit", "", kChild | ES_NUMBER | WS_BORDER | WS_TABSTOP, 0, 110, 43, 40, 14},
    {IDC_KIND, "ComboBox", "", kChild | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0, 110, 61, 60, 60},
    {IDC_VIEW, "TestDraw2D", "自定义1", kChild | WS_BORDER, 0, 200, 7, 100, 100},
    {IDC_SORTED, "ListBox", "", kChild | LBS_NOTIFY | LBS_SORT | WS_TABSTOP, 0, 7, 90, 100, 60},
    {IDC_CHECK, "Button", "显示", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 110, 80, 40, 10},
    {IDC_CHOICE, "ComboBox", "", kChild | CBS_DROPDOWNLIST | WS_TABSTOP, 0, 110, 95, 60, 60},
    {IDC_HEIGHT, "Edit", "", kChild | ES_AUTOHSCROLL | WS_TABSTOP, 0, 110, 113, 60, 14},
    {IDC_NOTES, "RichEdit20A", "", kChild | ES_MULTILINE | ES_WANTRETURN | WS_TABSTOP, 0, 200, 110, 100, 40},
    {IDC_HIDDEN, "Button", "隐藏", WS_CHILD | BS_PUSHBUTTON, 0, 7, 160, 40, 14},
    {IDC_DISABLED, "Button", "禁用", kChild | WS_DISABLED | BS_PUSHBUTTON, 0, 50, 160, 40, 14},
    {IDOK, "Button", "确定", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 250, 160, 50, 14},
    {IDCANCEL, "Button", "取消", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 200, 160, 45, 14},
    {static_cast<UINT>(-1), "Static", "名称", kChild, 0, 110, 0, 30, 8},
};

const AFX_DLGITEM kSmallItems[] = {
    {IDC_NAME, "Edit", "", kChild | ES_AUTOHSCROLL | WS_TABSTOP, 0, 7, 7, 80, 14},
    {IDOK, "Button", "确定", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 7, 25, 50, 14},
};

const AFX_DLGITEM kUnknownItems[] = {
    {IDC_VIEW, "NoSuchClass", "", kChild, 0, 7, 7, 50, 50},
};

const AFX_DLGTEMPLATE kDialogs[] = {
    {IDD_TEST, "测试", kDialog, 0, 0, 0, 320, 180, "MS Shell Dlg", 8, kTestItems,
     static_cast<int>(sizeof kTestItems / sizeof kTestItems[0])},
    {IDD_SMALL, "小", kDialog, 0, 10, 20, 100, 50, "MS Shell Dlg", 8, kSmallItems, 2},
    {IDD_UNKNOWN_CLASS, "坏", kDialog, 0, 0, 0, 100, 100, "MS Shell Dlg", 8, kUnknownItems, 1},
};

const AFX_STRINGENTRY kStrings[] = {{500, "资源中的提示"}};

}  // namespace

extern "C" const AFX_RESOURCE_TABLE _afxModuleResources = {kDialogs, 3, kStrings, 1};

void registerViewClass() {
  WNDCLASS wc{};
  wc.lpfnWndProc = ::DefWindowProc;
  wc.lpszClassName = kViewClass;
  AfxRegisterClass(&wc);
}
