// Dialog template of the variable settings dialog (200), rectangles in dialog units.
#include <afxcmn.h>
#include <afxwin.h>

#include "VariableResource.h"
#include "TemplateStyles.h"

namespace {

using namespace templates;

constexpr DWORD kTypeBox = kChild | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kColorBox =
    kChild | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kRemark = kChild | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;

// Two columns of label and box; each row 20 units high.
const AFX_DLGITEM kVarSetItems[] = {
    {kStatic, "Static", "变量名称", kLabel, 0, 7, 10, 36, 8},
    {IDC_VAR_NAME, "Edit", "", kEdit, 0, 45, 7, 75, 14},
    {kStatic, "Static", "变量代码", kLabel, 0, 130, 10, 36, 8},
    {IDC_VAR_CODE, "Edit", "", kEdit, 0, 168, 7, 75, 14},
    {kStatic, "Static", "初始值", kLabel, 0, 7, 30, 36, 8},
    {IDC_VAR_INITIAL, "Edit", "", kEdit, 0, 45, 27, 75, 14},
    {kStatic, "Static", "变量类型", kLabel, 0, 130, 30, 36, 8},
    {IDC_VAR_TYPE, "ComboBox", "", kTypeBox, 0, 168, 27, 75, 60},
    {kStatic, "Static", "顺序号", kLabel, 0, 7, 50, 36, 8},
    {IDC_VAR_SORT, "Edit", "", kEdit | ES_NUMBER, 0, 45, 47, 75, 14},
    {kStatic, "Static", "校验条件", kLabel, 0, 130, 50, 36, 8},
    {IDC_VAR_CONDITION, "Edit", "", kEdit, 0, 168, 47, 75, 14},
    {kStatic, "Static", "值高度", kLabel, 0, 7, 70, 36, 8},
    {IDC_VAR_VALUEHEIGHT, "Edit", "", kEdit, 0, 45, 67, 75, 14},
    {kStatic, "Static", "值角度", kLabel, 0, 130, 70, 36, 8},
    {IDC_VAR_VALUEANGLE, "Edit", "", kEdit, 0, 168, 67, 66, 14},
    {kStatic, "Static", "°", kLabel, 0, 237, 70, 6, 8},
    {kStatic, "Static", "值颜色", kLabel, 0, 7, 90, 36, 8},
    {IDC_VAR_VALUECOLOR, "ComboBox", "", kColorBox, 0, 45, 87, 75, 120},
    {kStatic, "Static", "条件说明", kLabel, 0, 7, 110, 36, 8},
    {IDC_VAR_REMARK, "RichEdit20A", "", kRemark, 0, 7, 121, 236, 50},
    {IDOK, "Button", "确定", kDefButton, 0, 137, 180, 50, 14},
    {IDCANCEL, "Button", "取消", kButton, 0, 193, 180, 50, 14},
};

}  // namespace

const AFX_DLGTEMPLATE g_dlgVarSet = {IDD_VARSET, "变量设定", kModal, 0, 0, 0, 250, 201,
                                     kFont, 8, kVarSetItems, count(kVarSetItems)};
