// CVarSetDlg: filling the boxes from a variable entity, the numeric filter, and writing the
// boxes back on OK.
#include "VarSetDlg.h"

#include <AcDbVarCommon.h>

#include "sectiontext/SectionTextHelpers.h"

namespace {

const char* const kTypeInteger = "整数";
const char* const kTypeDecimal = "小数";

// Opens the entity `id` as a variable entity; null when it is not one (or cannot be opened).
AcDbVarCommon* openVariable(AcDbObjectId id, AcDb::OpenMode mode) {
  AcDbObject* pObj = NULL;
  if (acdbOpenAcDbObject(pObj, id, mode, false, AcDbVarCommon::desc()) != Acad::eOk) return NULL;
  return AcDbVarCommon::cast(pObj);
}

CString formatNumber(const char* format, double value) {
  CString text;
  text.Format(format, value);
  return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CVarSetDlg, CDialog)
  ON_EN_UPDATE(IDC_VAR_VALUEHEIGHT, OnEnUpdateValueHeight)
  ON_EN_UPDATE(IDC_VAR_VALUEANGLE, OnEnUpdateValueAngle)
  ON_BN_CLICKED(IDOK, OnBnClickedOk)
END_MESSAGE_MAP()

CVarSetDlg::CVarSetDlg(CWnd* pParent) : CDialog(IDD, pParent), m_bFilling(false) { AfxInitRichEdit2(); }

void CVarSetDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_VAR_NAME, m_editName);
  DDX_Control(pDX, IDC_VAR_CODE, m_editCode);
  DDX_Control(pDX, IDC_VAR_INITIAL, m_editInitialValue);
  DDX_Control(pDX, IDC_VAR_TYPE, m_cmbType);
  DDX_Control(pDX, IDC_VAR_SORT, m_editSort);
  DDX_Control(pDX, IDC_VAR_CONDITION, m_editCondition);
  DDX_Control(pDX, IDC_VAR_VALUEHEIGHT, m_editValueHeight);
  DDX_Control(pDX, IDC_VAR_VALUEANGLE, m_editValueAngle);
  DDX_Control(pDX, IDC_VAR_REMARK, m_editRemark);
  DDX_Control(pDX, IDC_VAR_VALUECOLOR, m_cmbValueColor);
}

BOOL CVarSetDlg::IsPlainNumber(LPCTSTR pszText) {
  int points = 0;
  for (const char* p = pszText; p && *p; ++p) {
    if (*p == '.') {
      if (++points > 1) return FALSE;
    } else if (*p < '0' || *p > '9') {
      return FALSE;
    }
  }
  return TRUE;
}

BOOL CVarSetDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_cmbType.InsertString(0, kTypeInteger);
  m_cmbType.InsertString(1, kTypeDecimal);

  AcDbVarCommon* pVar = openVariable(m_idVar, AcDb::kForRead);
  if (pVar == NULL) return TRUE;  // not a variable entity: every box stays empty

  // Setting a box's text raises its update notification as typing does; the values the
  // entity holds are shown as they are, whatever the filter would make of them.
  m_bFilling = true;
  m_editName.SetWindowText(pVar->textStringConst());
  m_editRemark.SetWindowText(pVar->getVarRemark());
  m_editCode.SetWindowText(pVar->getVarCode());
  m_editInitialValue.SetWindowText(pVar->getVarInitialValue());
  m_editCondition.SetWindowText(pVar->getCondiction());
  m_cmbType.SetWindowText(pVar->getVarType());
  m_editValueAngle.SetWindowText(formatNumber("%g", pVar->getVarAngle() * kVarRadiansToDegrees));
  m_editValueHeight.SetWindowText(formatNumber("%g", pVar->getVarValueHeight()));
  CString sort;
  sort.Format("%ld", pVar->getVarSort());
  m_editSort.SetWindowText(sort);
  m_cmbValueColor.SetCurSel(m_cmbValueColor.AddColorToMRU(static_cast<int>(pVar->getVarValueColor())));
  m_bFilling = false;

  pVar->close();
  return TRUE;
}

void CVarSetDlg::FilterPlainNumber(CEdit& box) {
  if (m_bFilling || box.m_hWnd == NULL) return;  // filled from the entity, or not bound yet
  CString text;
  box.GetWindowText(text);
  if (IsPlainNumber(text)) return;
  int length = text.GetLength() - 1;
  box.SetWindowText(text.Left(length));  // raises this notification again
  box.SetSel(length, length);
}

void CVarSetDlg::OnEnUpdateValueHeight() { FilterPlainNumber(m_editValueHeight); }

void CVarSetDlg::OnEnUpdateValueAngle() { FilterPlainNumber(m_editValueAngle); }

void CVarSetDlg::OnBnClickedOk() {
  AcDbVarCommon* pVar = openVariable(m_idVar, AcDb::kForWrite);
  if (pVar == NULL) return;  // nothing to write to: the dialog stays open

  CString text;
  m_editName.GetWindowText(text);
  pVar->setTextString(text);
  m_editRemark.GetWindowText(text);
  // The box breaks typed lines with "\r\n"; the entity's remark separates lines with line
  // feeds (as the entity shows them here and files them in a drawing, line by line).
  text.Replace("\r\n", "\n");
  pVar->putVarRemark(text);
  m_editCode.GetWindowText(text);
  pVar->putVarCode(text);
  m_editInitialValue.GetWindowText(text);
  pVar->putVarInitialValue(text);
  m_editCondition.GetWindowText(text);
  pVar->putCondiction(text);
  m_cmbType.GetWindowText(text);
  pVar->putVarType(text);
  m_editValueAngle.GetWindowText(text);
  pVar->putVarAngle(textToDouble(text) * kVarDegreesToRadians);
  m_editValueHeight.GetWindowText(text);
  pVar->putVarValueHeight(textToDouble(text));
  m_editSort.GetWindowText(text);
  pVar->putVarSort(textToLong(text));
  pVar->putVarValueColor(m_cmbValueColor.GetCurrentItemColor());

  pVar->close();
  CDialog::OnOK();
}
