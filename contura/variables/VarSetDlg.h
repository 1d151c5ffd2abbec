// CVarSetDlg: the dialog "变量设定" that shows and edits the properties of one variable entity.
#pragma once
#include <acui.h>
#include <afxcmn.h>
#include <afxwin.h>
#include <dbid.h>

#include "resources/VariableResource.h"

// Angle units: the entity holds radians, the dialog shows degrees. Both factors use pi
// rounded to single precision (3.1415927410125732), as the drawings made with this dialog
// always have: 90 degrees is stored as 1.5707963705062866, and a quarter turn of
// 1.5707963267948966 radians is shown as "90".
const double kVarDegreesToRadians = 0.017453293005625408;  // 3.1415927410125732 / 180
const double kVarRadiansToDegrees = 57.29577791868204;     // 180 / 3.1415927410125732

// Use: set m_idVar, then DoModal(). The dialog opens the entity only while it initialises
// (for reading) and on OK (for writing), each time requiring the class AcDbVarCommon.
//  - Initialisation fills every box from the entity; when the id does not open as a variable
//    entity every box stays empty (the type list still offers "整数" and "小数").
//  - OK writes every box back, unchecked - empty boxes store 0 (height, angle, sort) or the
//    empty text; line breaks typed into the condition description are stored as line feeds -
//    and ends the dialog with IDOK. When the id does not open as a variable
//    entity for writing, OK does nothing and the dialog stays open.
//  - Cancel leaves the entity as it was.
// The value height and value angle boxes accept plain numbers only (digits and one '.'):
// each change that makes the text anything else takes characters off its end until it is a
// plain number again. What initialisation shows is left alone, so a negative angle or a
// height shown with an exponent ("-90", "1e+06") is written back unchanged by OK; only
// what the person types is filtered. The sort box takes digits only (the control's style).
class CVarSetDlg : public CDialog {
public:
  explicit CVarSetDlg(CWnd* pParent = NULL);
  enum { IDD = IDD_VARSET };

  CEdit m_editName;                  // 200, the entity's text
  CEdit m_editCode;                  // 201
  CEdit m_editInitialValue;          // 202
  CComboBox m_cmbType;               // 203, "整数" / "小数" or typed text
  CEdit m_editSort;                  // 204, "%d"
  CEdit m_editCondition;             // 205
  CEdit m_editValueHeight;           // 206, "%g"
  CAcUiAngleEdit m_editValueAngle;   // 207, degrees with "%g"
  CRichEditCtrl m_editRemark;        // 208, several lines
  CAcUiColorComboBox m_cmbValueColor;  // 209, colour index

  AcDbObjectId m_idVar;  // the variable entity to edit; null until the command sets it

  // A plain number: every character a digit '0' to '9' or a '.', with at most one '.'. The
  // empty text is one; a sign, a blank or an exponent is not.
  static BOOL IsPlainNumber(LPCTSTR pszText);

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  afx_msg void OnEnUpdateValueHeight();
  afx_msg void OnEnUpdateValueAngle();
  afx_msg void OnBnClickedOk();

  DECLARE_MESSAGE_MAP()

private:
  // Takes the last character off a box whose text is not a plain number; the change comes
  // back through the box's update notification until the text is one.
  void FilterPlainNumber(CEdit& box);

  bool m_bFilling;  // the boxes are being filled from the entity: no filtering
};
