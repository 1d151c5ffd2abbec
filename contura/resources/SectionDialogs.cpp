// Dialog templates of the section dialogs (rectangles in dialog units).
#include <afxwin.h>

#include "SectionResource.h"
#include "TemplateStyles.h"

namespace {

using namespace templates;

constexpr DWORD kSortedList =
    kChild | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;

const AFX_DLGITEM kUserSectionLibItems[] = {
    {IDC_LIST_USERSECTION, "ListBox", "", kSortedList, 0, 7, 7, 93, 172},
    {IDC_DRAW_SECTION, kViewClass, kViewText, kView, 0, 103, 7, 227, 178},
    {IDC_BTN_USERSECTION_ADD, "Button", "增加", kButton, 0, 8, 189, 39, 14},
    {IDC_BTN_USERSECTION_DELETE, "Button", "删除", kButton, 0, 56, 189, 39, 14},
    {IDOK, "Button", "选择", kDefButton, 0, 156, 189, 50, 14},
    {IDCANCEL, "Button", "取消", kButton, 0, 229, 189, 50, 14},
};

// "确定" is not the default button: Enter does not end the dialog by accident.
const AFX_DLGITEM kSectionItems[] = {
    {IDC_BTN_DRAW_OUTLINE, "Button", "绘制截面", kButton, 0, 7, 7, 50, 14},
    {IDC_BTN_SELECT_CURVES, "Button", "选择曲线", kButton, 0, 62, 7, 50, 14},
    {IDC_BTN_SAVE_TO_LIB, "Button", "保存到库", kButton, 0, 117, 7, 50, 14},
    {IDC_BTN_SECTION_LIB, "Button", "图库管理", kButton, 0, 172, 7, 50, 14},
    {IDOK, "Button", "确定", kButton, 0, 227, 7, 50, 14},
    {IDCANCEL, "Button", "取消", kButton, 0, 282, 7, 50, 14},
    {IDC_DRAW_SECTION, kViewClass, kViewText, kView, 0, 7, 25, 328, 214},
};

}  // namespace

const AFX_DLGTEMPLATE g_dlgUserSectionLib = {IDD_DLG_USERSECTIONLIB, "异形构件库", kModal, 0, 0, 0, 337, 210,
                                             kFont, 8, kUserSectionLibItems, count(kUserSectionLibItems)};
const AFX_DLGTEMPLATE g_dlgSection = {IDD_DLG_SECTION, "截面信息", kModal | WS_MAXIMIZEBOX, 0, 0, 0, 342, 246,
                                      kFont, 8, kSectionItems, count(kSectionItems)};
