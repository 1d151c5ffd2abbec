// The dialog template of the user-interface library tests, exported as this program's
// resources.
#include <afxres.h>
#include <afxwin.h>

#include "acui_test.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

const AFX_DLGITEM kItems[] = {
    {IDC_COLOR, "ComboBox", "", kChild | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL, 0,
     7, 7, 80, 120},
    {IDC_ANGLE, "Edit", "", kChild | ES_AUTOHSCROLL | WS_BORDER, 0, 7, 27, 60, 14},
    {IDC_PLAIN, "Edit", "", kChild | ES_AUTOHSCROLL | WS_BORDER, 0, 7, 47, 60, 14},
    {IDOK, "Button", "确定", kChild | BS_DEFPUSHBUTTON, 0, 100, 7, 50, 14},
    {IDCANCEL, "Button", "取消", kChild | BS_PUSHBUTTON, 0, 100, 25, 50, 14},
};

const AFX_DLGTEMPLATE kDialogs[] = {
    {IDD_ACUI_TEST, "控件", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 160, 70, "MS Shell Dlg", 8,
     kItems, static_cast<int>(sizeof kItems / sizeof kItems[0])},
};

}  // namespace

extern "C" const AFX_RESOURCE_TABLE _afxModuleResources = {kDialogs, 1, nullptr, 0};
