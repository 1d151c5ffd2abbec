// CDlgSection: the current section and its preview, the user section list, and the handlers
// that change them.
#include "DlgSection.h"

#include "DlgLibPicName.h"
#include "DlgUserSectionLib.h"
#include "PickGuard.h"
#include "app/ConturaModule.h"

namespace {

const char* const kEmptyName = "名称为空";
const char* const kDuplicateName = "重名";

}  // namespace

BEGIN_MESSAGE_MAP(CDlgSection, CDialog)
  ON_BN_CLICKED(IDC_BTN_DRAW_OUTLINE, OnBnClickedDrawOutline)
  ON_BN_CLICKED(IDC_BTN_SELECT_CURVES, OnBnClickedSelectCurves)
  ON_BN_CLICKED(IDC_BTN_SECTION_LIB, OnBnClickedSectionLib)
  ON_BN_CLICKED(IDC_BTN_SAVE_TO_LIB, OnBnClickedSaveToLib)
  ON_WM_SIZE()
END_MESSAGE_MAP()

CDlgSection::CDlgSection(CWnd* pParent)
    : CDialog(IDD, pParent), m_wndView(ConturaDLL.ModuleResourceInstance()), m_nLastWidth(0), m_nLastHeight(0) {}

void CDlgSection::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Draw2DControl(pDX, IDC_DRAW_SECTION, m_wndView);
}

BOOL CDlgSection::OnInitDialog() {
  CDialog::OnInitDialog();
  // The size the preview was laid out for: the host sends the first size message while the
  // dialog is being made, before the preview exists; taking it here as well does not depend
  // on that order.
  CRect client;
  GetClientRect(&client);
  m_nLastWidth = client.Width();
  m_nLastHeight = client.Height();
  m_wndView.SetBasePtVisible(TRUE);
  Refresh();
  m_wndView.FullWindow();
  return TRUE;
}

void CDlgSection::Refresh() {
  m_wndView.InitInfo(m_userSection.m_strSection, TRUE);
  m_wndView.SetBasePtVisible(TRUE);
}

void CDlgSection::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  if (m_wndView.GetSafeHwnd() != NULL) {
    // The preview keeps its distance to the right and bottom edges: it grows by exactly
    // what the client area grew since the last size message.
    CRect rc;
    m_wndView.GetWindowRect(&rc);
    ScreenToClient(&rc);
    rc.right += cx - m_nLastWidth;
    rc.bottom += cy - m_nLastHeight;
    m_wndView.MoveWindow(rc.left, rc.top, rc.Width(), rc.Height(), TRUE);
    Refresh();
  }
  m_nLastWidth = cx;
  m_nLastHeight = cy;
}

void CDlgSection::TakeOutline(const CString& strSection) {
  m_userSection.m_strSection = strSection;
  Refresh();
}

void CDlgSection::OnBnClickedDrawOutline() {
  CString strSection;
  int result;
  {
    CPickGuard guard(this);
    result = drawOutline(strSection);
  }
  if (result == 0) TakeOutline(strSection);
}

void CDlgSection::OnBnClickedSelectCurves() {
  CString strSection;
  int result;
  {
    CPickGuard guard(this);
    result = selectCurves(strSection);
  }
  if (result == 0) TakeOutline(strSection);
}

void CDlgSection::OnBnClickedSectionLib() {
  CDlgUserSectionLib dlgLib(&m_sectionList, NULL);
  if (dlgLib.DoModal() != IDOK) return;
  m_userSection = dlgLib.m_chosenSection;
  m_wndView.InitInfo(m_userSection.m_strSection, TRUE);
}

const char* CDlgSection::CheckNewName(const CString& strName) const {
  if (strName.IsEmpty()) return kEmptyName;
  for (INT_PTR i = 0; i < m_sectionList.GetSize(); ++i)
    if (m_sectionList[i].m_strName == strName) return kDuplicateName;  // byte-wise, case counts
  return NULL;
}

void CDlgSection::OnBnClickedSaveToLib() {
  CDlgLibPicName dlgName(NULL);
  if (dlgName.DoModal() != IDOK) return;
  CString strName = dlgName.m_strName;
  strName.Trim();  // single-byte white space at both ends, never half a double-byte character
  if (const char* message = CheckNewName(strName)) {
    MessageBox(message, NULL, MB_OK);
    return;
  }
  CUserSectionInfo saved;
  saved.m_nTag = 0;
  saved.m_strName = strName;
  saved.m_strSection = m_userSection.m_strSection;
  m_sectionList.Add(saved);
}
