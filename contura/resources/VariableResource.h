// Resource ids of the variable settings dialog: template 200 and its controls.
#pragma once
#include <afxres.h>

#define IDD_VARSET 200  // "变量设定": the properties of one variable entity

#define IDC_VAR_NAME 200          // 变量名称: the entity's text
#define IDC_VAR_CODE 201          // 变量代码
#define IDC_VAR_INITIAL 202       // 初始值
#define IDC_VAR_TYPE 203          // 变量类型: drop-down with an editable field
#define IDC_VAR_SORT 204          // 顺序号: digits only
#define IDC_VAR_CONDITION 205     // 校验条件
#define IDC_VAR_VALUEHEIGHT 206   // 值高度
#define IDC_VAR_VALUEANGLE 207    // 值角度, degrees
#define IDC_VAR_REMARK 208        // 条件说明: multi-line rich edit
#define IDC_VAR_VALUECOLOR 209    // 值颜色: colour index picker

// The template itself, listed in the module's resource table.
extern const AFX_DLGTEMPLATE g_dlgVarSet;
