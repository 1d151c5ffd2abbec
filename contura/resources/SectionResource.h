// Resource ids of the section dialogs: templates 202 and 203 and their controls. Control ids
// repeat across dialogs, as the templates have them.
#pragma once
#include <afxres.h>

// Dialog templates.
#define IDD_DLG_USERSECTIONLIB 202  // "异形构件库": pick a section from the user section list
#define IDD_DLG_SECTION 203         // "截面信息": define one section outline

// Shared by 202 and 203: the outline preview.
#define IDC_DRAW_SECTION 204

// 202.
#define IDC_LIST_USERSECTION 200
#define IDC_BTN_USERSECTION_ADD 201
#define IDC_BTN_USERSECTION_DELETE 202

// 203.
#define IDC_BTN_DRAW_OUTLINE 205   // "绘制截面"
#define IDC_BTN_SELECT_CURVES 206  // "选择曲线"
#define IDC_BTN_SECTION_LIB 207    // "图库管理"
#define IDC_BTN_SAVE_TO_LIB 210    // "保存到库"

// The templates themselves, listed in the module's resource table.
extern const AFX_DLGTEMPLATE g_dlgUserSectionLib;
extern const AFX_DLGTEMPLATE g_dlgSection;
