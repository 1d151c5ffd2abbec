// Dialog templates of the section library dialogs (rectangles in dialog units).
#include <afxwin.h>

#include "LibraryResource.h"
#include "TemplateStyles.h"

namespace {

using namespace templates;

constexpr DWORD kDropList = kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kThumbLabel = kChild | SS_CENTER;
constexpr DWORD kPageButton = kChild | BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP;

const AFX_DLGITEM kLibPicNameItems[] = {
    {IDOK, "Button", "确定", kDefButton, 0, 129, 7, 50, 14},
    {IDCANCEL, "Button", "取消", kButton, 0, 129, 24, 50, 14},
    {kStatic, "Button", "名称", kGroup, 0, 7, 3, 109, 66},
    {IDC_EDIT_NAME, "Edit", "", kEdit, 0, 21, 25, 90, 14},
};

const AFX_DLGITEM kSectionLibManageItems[] = {
    {IDC_LIST_SECTION, "ListBox", "", kChild | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
     0, 7, 7, 138, 186},
    {IDC_BTN_ADD, "Button", "增加", kButton, 0, 8, 198, 28, 14},
    {IDC_BTN_DELETE, "Button", "删除", kButton, 0, 35, 198, 28, 14},
    {IDC_BTN_MODIFY, "Button", "修改", kButton, 0, 63, 198, 28, 14},
    {IDC_BTN_PREVIEW, "Button", "预览", kButton, 0, 91, 198, 28, 14},
    {IDC_BTN_OUTPUT, "Button", "输出", kButton, 0, 119, 198, 28, 14},
    {IDC_DRAW_PREVIEW, kViewClass, kViewText, kView, 0, 147, 7, 200, 205},
};

const AFX_DLGITEM kPicSelectItems[] = {
    {kStatic, "Button", "", kGroup, 0, 7, 3, 509, 268},
    {IDC_PIC_0, kViewClass, kViewText, kView, 0, 10, 10, 122, 112},
    {IDC_PIC_1, kViewClass, kViewText, kView, 0, 137, 10, 122, 112},
    {IDC_PIC_2, kViewClass, kViewText, kView, 0, 264, 10, 122, 112},
    {IDC_PIC_3, kViewClass, kViewText, kView, 0, 391, 10, 122, 112},
    {IDC_PIC_4, kViewClass, kViewText, kView, 0, 10, 144, 122, 112},
    {IDC_PIC_5, kViewClass, kViewText, kView, 0, 137, 144, 122, 112},
    {IDC_PIC_6, kViewClass, kViewText, kView, 0, 264, 144, 122, 112},
    {IDC_PIC_7, kViewClass, kViewText, kView, 0, 391, 144, 122, 112},
    {IDC_PICNAME_0, "Static", "名称", kThumbLabel, 0, 10, 126, 120, 10},
    {IDC_PICNAME_1, "Static", "名称", kThumbLabel, 0, 136, 126, 120, 10},
    {IDC_PICNAME_2, "Static", "名称", kThumbLabel, 0, 262, 126, 120, 10},
    {IDC_PICNAME_3, "Static", "名称", kThumbLabel, 0, 388, 126, 120, 10},
    {IDC_PICNAME_4, "Static", "名称", kThumbLabel, 0, 10, 260, 120, 10},
    {IDC_PICNAME_5, "Static", "名称", kThumbLabel, 0, 137, 260, 120, 10},
    {IDC_PICNAME_6, "Static", "名称", kThumbLabel, 0, 264, 260, 120, 10},
    {IDC_PICNAME_7, "Static", "名称", kThumbLabel, 0, 391, 260, 120, 10},
    {IDC_BTN_PREV_PAGE, "Button", "上一页", kPageButton, 0, 520, 39, 15, 82},
    {IDC_BTN_NEXT_PAGE, "Button", "下一页", kPageButton, 0, 521, 146, 15, 82},
    {IDOK, "Button", "选择", kDefButton, 0, 214, 276, 50, 14},
    {IDCANCEL, "Button", "取消", kButton, 0, 305, 276, 50, 14},
};

const AFX_DLGITEM kSectionInfoItems[] = {
    {IDOK, "Button", "确定", kDefButton, 0, 165, 7, 50, 14},
    {IDCANCEL, "Button", "取消", kButton, 0, 165, 24, 50, 14},
    {kStatic, "Button", "", kGroup, 0, 7, 3, 144, 103},
    {kStatic, "Static", "名称", kLabel, 0, 23, 22, 17, 8},
    {IDC_EDIT_NAME, "Edit", "", kEdit, 0, 52, 20, 76, 14},
    {kStatic, "Static", "说明", kLabel, 0, 23, 43, 17, 8},
    {IDC_EDIT_REMARK, "Edit", "", kEdit, 0, 52, 41, 76, 14},
    {kStatic, "Static", "类别", kLabel, 0, 23, 65, 17, 8},
    {IDC_CMB_GROUP, "ComboBox", "", kDropList, 0, 52, 63, 77, 56},
    {kStatic, "Static", "编码", kLabel, 0, 23, 84, 17, 8},
    {IDC_CMB_TYPE, "ComboBox", "", kDropList, 0, 52, 82, 77, 56},
};

}  // namespace

const AFX_DLGTEMPLATE g_dlgLibPicName = {IDD_DLG_LIBPICNAME, "设定图形名称", kModal, 0, 0, 0, 186, 79,
                                         kFont, 8, kLibPicNameItems, count(kLibPicNameItems)};
const AFX_DLGTEMPLATE g_dlgSectionLibManage = {IDD_DLG_SECTIONLIBMANAGE, "截面库管理", kModal, 0, 0, 0, 354, 219,
                                               kFont, 8, kSectionLibManageItems, count(kSectionLibManageItems)};
const AFX_DLGTEMPLATE g_dlgPicSelect = {IDD_DLG_PICSELECT, "图形选择", kModal, 0, 0, 0, 545, 297,
                                        kFont, 8, kPicSelectItems, count(kPicSelectItems)};
const AFX_DLGTEMPLATE g_dlgSectionInfo = {IDD_DLG_SECTIONINFO, "信息", kModal, 0, 0, 0, 222, 113,
                                          kFont, 8, kSectionInfoItems, count(kSectionInfoItems)};
