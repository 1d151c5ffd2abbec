// Dialog templates of the information view (201) and the section preview (205), rectangles
// in dialog units.
#include <afxcmn.h>
#include <afxwin.h>

#include "SectionTextResource.h"
#include "TemplateStyles.h"

namespace {

using namespace templates;

constexpr DWORD kRichEdit = kChild | ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL |
                            WS_HSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;

const AFX_DLGITEM kInfoViewItems[] = {
    {IDC_INFO_TEXT, "RichEdit20A", "", kRichEdit, 0, 7, 7, 306, 178},
    {IDC_INFO_EXPORT, "Button", "导出", kButton, 0, 7, 192, 40, 14},
    {IDC_INFO_IMPORT, "Button", "导入", kButton, 0, 51, 192, 40, 14},
    {IDC_INFO_MODIFY, "Button", "修改", kButton, 0, 95, 192, 40, 14},
    {IDC_INFO_PREVIEW, "Button", "预览", kButton, 0, 139, 192, 40, 14},
    {IDOK, "Button", "确定", kDefButton, 0, 219, 192, 45, 14},
    {IDCANCEL, "Button", "取消", kButton, 0, 268, 192, 45, 14},
};

const AFX_DLGITEM kViewSectionItems[] = {
    {IDC_VIEW_SECTION, "Draw2DCtrl", "", kView, 0, 7, 7, 328, 214},
};

}  // namespace

const AFX_DLGTEMPLATE g_dlgInfoView = {IDD_INFOVIEW, "信息", kModal, 0, 0, 0, 320, 213,
                                       kFont, 8, kInfoViewItems, count(kInfoViewItems)};
const AFX_DLGTEMPLATE g_dlgViewSection = {IDD_VIEWSECTION, "预览", kModal, 0, 0, 0, 342, 228,
                                          kFont, 8, kViewSectionItems, count(kViewSectionItems)};
