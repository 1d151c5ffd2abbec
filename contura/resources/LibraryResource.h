// Resource ids of the section library dialogs: templates 204, 206, 207 and 208 and their
// controls. Control ids repeat across dialogs, as the templates have them.
#pragma once
#include <afxres.h>

// Dialog templates.
#define IDD_DLG_LIBPICNAME 204         // "设定图形名称": the name a section is saved under
#define IDD_DLG_SECTIONLIBMANAGE 206   // "截面库管理": the library management dialog
#define IDD_DLG_PICSELECT 207          // "图形选择": pages of eight thumbnails
#define IDD_DLG_SECTIONINFO 208        // "信息": name, remark, category and code of a record

// Shared by 204 and 208: the name edit.
#define IDC_EDIT_NAME 203

// 208.
#define IDC_EDIT_REMARK 208
#define IDC_CMB_GROUP 231  // category 类别, "1" to "10"
#define IDC_CMB_TYPE 232   // code 编码, "1" to "40"

// 206.
#define IDC_LIST_SECTION 200
#define IDC_BTN_ADD 201
#define IDC_BTN_DELETE 202
#define IDC_DRAW_PREVIEW 204
#define IDC_BTN_PREVIEW 211
#define IDC_BTN_OUTPUT 212
#define IDC_BTN_MODIFY 213

// 207: thumbnails and their name labels by slot, and the page buttons.
#define IDC_PIC_0 210
#define IDC_PIC_1 211
#define IDC_PIC_2 212
#define IDC_PIC_3 213
#define IDC_PIC_4 218
#define IDC_PIC_5 220
#define IDC_PIC_6 222
#define IDC_PIC_7 224
#define IDC_PICNAME_0 214
#define IDC_PICNAME_1 215
#define IDC_PICNAME_2 216
#define IDC_PICNAME_3 217
#define IDC_PICNAME_4 219
#define IDC_PICNAME_5 221
#define IDC_PICNAME_6 223
#define IDC_PICNAME_7 225
#define IDC_BTN_PREV_PAGE 226
#define IDC_BTN_NEXT_PAGE 227

// The templates themselves, listed in the module's resource table.
extern const AFX_DLGTEMPLATE g_dlgLibPicName;
extern const AFX_DLGTEMPLATE g_dlgSectionLibManage;
extern const AFX_DLGTEMPLATE g_dlgPicSelect;
extern const AFX_DLGTEMPLATE g_dlgSectionInfo;
