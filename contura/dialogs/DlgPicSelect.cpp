// CDlgPicSelect: paging through the library's thumbnails and choosing one with the mouse.
#include "DlgPicSelect.h"

#include "app/ConturaModule.h"

namespace {

const int kPicIds[CDlgPicSelect::kSlots] = {IDC_PIC_0, IDC_PIC_1, IDC_PIC_2, IDC_PIC_3,
                                             IDC_PIC_4, IDC_PIC_5, IDC_PIC_6, IDC_PIC_7};

}  // namespace

BEGIN_MESSAGE_MAP(CDlgPicSelect, CDialog)
  ON_BN_CLICKED(IDC_BTN_PREV_PAGE, OnBnClickedPrevPage)
  ON_BN_CLICKED(IDC_BTN_NEXT_PAGE, OnBnClickedNextPage)
  ON_BN_CLICKED(IDOK, OnBnClickedOk)
END_MESSAGE_MAP()

CDlgPicSelect::CDlgPicSelect(CWnd* pParent)
    : CDialog(IDD, pParent),
      m_pic0(ConturaDLL.ModuleResourceInstance()),
      m_pic1(ConturaDLL.ModuleResourceInstance()),
      m_pic2(ConturaDLL.ModuleResourceInstance()),
      m_pic3(ConturaDLL.ModuleResourceInstance()),
      m_pic4(ConturaDLL.ModuleResourceInstance()),
      m_pic5(ConturaDLL.ModuleResourceInstance()),
      m_pic6(ConturaDLL.ModuleResourceInstance()),
      m_pic7(ConturaDLL.ModuleResourceInstance()),
      m_pStore(NULL),
      m_nPage(0),
      m_nSelectIndex(0) {
  for (int i = 0; i < kSlots; ++i) {
    m_pPics[i] = NULL;
    m_pNames[i] = NULL;
  }
}

void CDlgPicSelect::SetLibStore(CSectionLibStore* pStore) { m_pStore = pStore; }

int CDlgPicSelect::GetSelectIndex() const { return m_nSelectIndex; }

int CDlgPicSelect::GetCurrentPage() const { return m_nPage; }

int CDlgPicSelect::RecordCount() const { return m_pStore != NULL ? m_pStore->GetCount() : 0; }

void CDlgPicSelect::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Draw2DControl(pDX, IDC_PIC_0, m_pic0);
  DDX_Draw2DControl(pDX, IDC_PIC_1, m_pic1);
  DDX_Draw2DControl(pDX, IDC_PIC_2, m_pic2);
  DDX_Draw2DControl(pDX, IDC_PIC_3, m_pic3);
  DDX_Draw2DControl(pDX, IDC_PIC_4, m_pic4);
  DDX_Draw2DControl(pDX, IDC_PIC_5, m_pic5);
  DDX_Draw2DControl(pDX, IDC_PIC_6, m_pic6);
  DDX_Draw2DControl(pDX, IDC_PIC_7, m_pic7);
  DDX_Control(pDX, IDC_PICNAME_0, m_name0);
  DDX_Control(pDX, IDC_PICNAME_1, m_name1);
  DDX_Control(pDX, IDC_PICNAME_2, m_name2);
  DDX_Control(pDX, IDC_PICNAME_3, m_name3);
  DDX_Control(pDX, IDC_PICNAME_4, m_name4);
  DDX_Control(pDX, IDC_PICNAME_5, m_name5);
  DDX_Control(pDX, IDC_PICNAME_6, m_name6);
  DDX_Control(pDX, IDC_PICNAME_7, m_name7);
}

BOOL CDlgPicSelect::OnInitDialog() {
  CDialog::OnInitDialog();
  CDrawDwgWnd* pics[kSlots] = {&m_pic0, &m_pic1, &m_pic2, &m_pic3, &m_pic4, &m_pic5, &m_pic6, &m_pic7};
  CStatic* names[kSlots] = {&m_name0, &m_name1, &m_name2, &m_name3, &m_name4, &m_name5, &m_name6, &m_name7};
  for (int i = 0; i < kSlots; ++i) {
    m_pPics[i] = pics[i];
    m_pNames[i] = names[i];
  }
  for (int i = 0; i < kSlots; ++i) {
    m_pNames[i]->SetWindowText("");
    m_pPics[i]->Init("");
  }
  for (int i = 0; i < kSlots; ++i) m_pPics[i]->SetViewText(0);
  ShowPage(0);
  m_pPics[0]->SetSelectRect(1);  // the initial selected index is 0
  return TRUE;
}

void CDlgPicSelect::ShowPage(int nPage) {
  const int count = RecordCount();
  GetDlgItem(IDC_BTN_PREV_PAGE)->EnableWindow(FALSE);
  GetDlgItem(IDC_BTN_NEXT_PAGE)->EnableWindow(FALSE);
  if (count == 0) return;  // the slots keep what they show

  const int last = (count + kSlots - 1) / kSlots - 1;
  if (nPage > last) nPage = last;
  if (nPage < 0) nPage = 0;
  m_nPage = nPage;
  if (nPage < last) GetDlgItem(IDC_BTN_NEXT_PAGE)->EnableWindow(TRUE);
  if (nPage > 0) GetDlgItem(IDC_BTN_PREV_PAGE)->EnableWindow(TRUE);

  for (int slot = 0; slot < kSlots; ++slot) {
    const int index = nPage * kSlots + slot;
    CSectionLibRecord* rec = index < count ? m_pStore->GetAt(index) : NULL;
    if (rec != NULL) {
      m_pNames[slot]->SetWindowText(rec->m_strName);
      m_pPics[slot]->Init(rec->m_strSectionInfo);
    } else {
      m_pNames[slot]->SetWindowText("");
      m_pPics[slot]->Init("");
    }
  }
}

void CDlgPicSelect::OnBnClickedPrevPage() { ShowPage(m_nPage - 1); }

void CDlgPicSelect::OnBnClickedNextPage() { ShowPage(m_nPage + 1); }

void CDlgPicSelect::OnBnClickedOk() { CDialog::OnOK(); }

int CDlgPicSelect::SlotOfControl(int nID) {
  for (int slot = 0; slot < kSlots; ++slot) {
    if (kPicIds[slot] == nID) return slot;
  }
  return -1;
}

BOOL CDlgPicSelect::PreTranslateMessage(MSG* pMsg) {
  // Thumbnails are recognised by the control id of the window the message is for; the
  // tables are filled once the window is open.
  if (m_pPics[0] != NULL && (pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_LBUTTONDBLCLK)) {
    const int slot = SlotOfControl(::GetDlgCtrlID(pMsg->hwnd));
    if (slot >= 0) {
      if (pMsg->message == WM_LBUTTONDOWN) {
        const int index = m_nPage * kSlots + slot;
        if (index >= 0 && index < RecordCount()) {
          m_nSelectIndex = index;
          for (int i = 0; i < kSlots; ++i) m_pPics[i]->SetSelectRect(i == slot ? 1 : 0);
          Invalidate(TRUE);
          UpdateWindow();
        }
      } else {
        CDialog::OnOK();  // the first click already chose a filled slot
      }
    }
  }
  return CDialog::PreTranslateMessage(pMsg);
}
