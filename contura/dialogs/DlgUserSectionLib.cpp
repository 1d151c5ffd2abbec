// CDlgUserSectionLib: the sorted list of user sections, the preview of the chosen one, and
// deleting sections from the caller's array.
#include "DlgUserSectionLib.h"

#include "app/ConturaModule.h"

BEGIN_MESSAGE_MAP(CDlgUserSectionLib, CDialog)
  ON_BN_CLICKED(IDC_BTN_USERSECTION_ADD, OnBnClickedAdd)
  ON_BN_CLICKED(IDC_BTN_USERSECTION_DELETE, OnBnClickedDelete)
  ON_LBN_SELCHANGE(IDC_LIST_USERSECTION, OnLbnSelchangeList)
END_MESSAGE_MAP()

CDlgUserSectionLib::CDlgUserSectionLib(CArray<CUserSectionInfo, CUserSectionInfo>* pLib, CWnd* pParent)
    : CDialog(IDD, pParent), m_wndView(ConturaDLL.ModuleResourceInstance()), m_pLib(pLib) {}

void CDlgUserSectionLib::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Draw2DControl(pDX, IDC_DRAW_SECTION, m_wndView);
  DDX_Control(pDX, IDC_LIST_USERSECTION, m_listSection);
}

BOOL CDlgUserSectionLib::OnInitDialog() {
  CDialog::OnInitDialog();
  FillList();
  if (m_chosenSection.m_strSection.IsEmpty()) m_chosenSection.m_strSection = CUserSectionInfo().m_strSection;
  m_wndView.SetBasePtVisible(TRUE);
  m_wndView.InitInfo(m_chosenSection.m_strSection, TRUE);
  m_wndView.FullWindow();
  return TRUE;
}

void CDlgUserSectionLib::FillList() {
  m_listSection.ResetContent();
  if (m_pLib == NULL || m_pLib->GetSize() == 0) return;
  for (INT_PTR i = 0; i < m_pLib->GetSize(); ++i) {
    int row = m_listSection.AddString(m_pLib->GetAt(i).m_strName);
    m_listSection.SetItemData(row, static_cast<DWORD_PTR>(i));
  }
  m_chosenSection = m_pLib->GetAt(0);  // shown, no row selected
  ShowChosen();
}

void CDlgUserSectionLib::ShowChosen() {
  m_wndView.InitInfo(m_chosenSection.m_strSection, TRUE);
  m_wndView.SetBasePtVisible(TRUE);
}

void CDlgUserSectionLib::OnLbnSelchangeList() {
  int sel = m_listSection.GetCurSel();
  if (sel < 0) return;
  m_chosenSection = m_pLib->GetAt(static_cast<INT_PTR>(m_listSection.GetItemData(sel)));
  ShowChosen();
}

void CDlgUserSectionLib::OnBnClickedDelete() {
  int sel = m_listSection.GetCurSel();
  if (sel < 0) return;
  const DWORD_PTR removed = m_listSection.GetItemData(sel);
  m_pLib->RemoveAt(static_cast<INT_PTR>(removed));
  m_listSection.DeleteString(sel);
  // The elements behind the removed one moved up by one: so do the indices their rows carry.
  for (int row = 0; row < m_listSection.GetCount(); ++row) {
    DWORD_PTR index = m_listSection.GetItemData(row);
    if (index > removed) m_listSection.SetItemData(row, index - 1);
  }
}

void CDlgUserSectionLib::OnBnClickedAdd() { EndDialog(0); }
