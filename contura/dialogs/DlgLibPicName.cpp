// CDlgLibPicName: the proposed name and its check on OK.
#include "DlgLibPicName.h"

namespace {

const char* const kDefaultName = "异形截面";

}  // namespace

BEGIN_MESSAGE_MAP(CDlgLibPicName, CDialog)
  ON_BN_CLICKED(IDOK, OnBnClickedOk)
END_MESSAGE_MAP()

CDlgLibPicName::CDlgLibPicName(CWnd* pParent) : CDialog(IDD, pParent) {}

void CDlgLibPicName::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_EDIT_NAME, m_editName);
}

BOOL CDlgLibPicName::OnInitDialog() {
  CDialog::OnInitDialog();
  m_editName.SetWindowText(kDefaultName);
  return TRUE;
}

void CDlgLibPicName::OnBnClickedOk() {
  m_editName.GetWindowText(m_strName);
  m_strName.Trim();
  if (m_strName.IsEmpty()) return;  // stays open without a message
  CDialog::OnOK();
}
