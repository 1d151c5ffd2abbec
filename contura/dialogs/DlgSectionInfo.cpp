// CDlgSectionInfo: filling the category and code boxes, and checking the name on OK.
#include "DlgSectionInfo.h"

namespace {

constexpr int kGroupCount = 10;  // categories offered: 1 to 10
constexpr int kTypeCount = 40;   // codes offered: 1 to 40
const char* const kDefaultName = "矩形";

// Fills a drop-down list with "1" to "count" and selects the first row.
void fillNumbers(CComboBox& box, int count) {
  CString text;
  for (int i = 1; i <= count; ++i) {
    text.Format("%d", i);
    box.AddString(text);
  }
  box.SetCurSel(0);
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgSectionInfo, CDialog)
  ON_BN_CLICKED(IDOK, OnBnClickedOk)
END_MESSAGE_MAP()

CDlgSectionInfo::CDlgSectionInfo(CWnd* pParent) : CDialog(IDD, pParent), m_nGroup(0), m_nType(0) {}

void CDlgSectionInfo::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_EDIT_NAME, m_editName);
  DDX_Control(pDX, IDC_EDIT_REMARK, m_editRemark);
  DDX_Control(pDX, IDC_CMB_GROUP, m_cmbGroup);
  DDX_Control(pDX, IDC_CMB_TYPE, m_cmbType);
}

BOOL CDlgSectionInfo::OnInitDialog() {
  CDialog::OnInitDialog();
  fillNumbers(m_cmbGroup, kGroupCount);
  fillNumbers(m_cmbType, kTypeCount);
  m_editName.SetWindowText(kDefaultName);
  return TRUE;
}

void CDlgSectionInfo::OnBnClickedOk() {
  CString name;
  m_editName.GetWindowText(name);
  name.Trim();
  if (name.IsEmpty()) return;  // stays open; the person is expected to see the empty name
  m_strName = name;
  m_editRemark.GetWindowText(m_strRemark);
  m_nGroup = m_cmbGroup.GetCurSel() + 1;
  m_nType = m_cmbType.GetCurSel() + 1;
  CDialog::OnOK();
}
