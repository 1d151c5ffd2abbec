// Resource ids of the information view (template 201) and the section preview (template 205).
#pragma once
#include <afxres.h>

// Dialog templates.
#define IDD_INFOVIEW 201     // "信息": the section text workbench of CJLX
#define IDD_VIEWSECTION 205  // "预览": one preview of a section text

// 201.
#define IDC_INFO_TEXT 209     // rich edit showing the held text
#define IDC_INFO_EXPORT 210   // "导出"
#define IDC_INFO_PREVIEW 211  // "预览"
#define IDC_INFO_IMPORT 212   // "导入"
#define IDC_INFO_MODIFY 213   // "修改"

// 205.
#define IDC_VIEW_SECTION 204  // the "Draw2DCtrl" view

// The templates themselves, listed in the module's resource table.
extern const AFX_DLGTEMPLATE g_dlgInfoView;
extern const AFX_DLGTEMPLATE g_dlgViewSection;
