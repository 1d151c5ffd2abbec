// CDlgSectionLibManage: the list of library sections and the handlers of its buttons.
#include "DlgSectionLibManage.h"

#include "DlgPicSelect.h"
#include "DlgSectionInfo.h"
#include "PickGuard.h"
#include "app/ConturaModule.h"
#include "library/SectionMeasures.h"
#include "sectiontext/SectionTextReader.h"
#include "sectiontext/SectionTextWriter.h"

namespace {

// The block put in front of the picked text of a record added here; nothing in the module
// reads it back, it is there for other programs that read the table.
const char* const kSecTypeFormat = "\n[%s]\n%s=%s\n%s=%s\n%s=%d\n%s=%d\n%s";

}  // namespace

BEGIN_MESSAGE_MAP(CDlgSectionLibManage, CDialog)
  ON_BN_CLICKED(IDC_BTN_ADD, OnBnClickedAdd)
  ON_BN_CLICKED(IDC_BTN_DELETE, OnBnClickedDelete)
  ON_BN_CLICKED(IDC_BTN_MODIFY, OnBnClickedModify)
  ON_BN_CLICKED(IDC_BTN_PREVIEW, OnBnClickedPreview)
  ON_BN_CLICKED(IDC_BTN_OUTPUT, OnBnClickedOutput)
  ON_LBN_SELCHANGE(IDC_LIST_SECTION, OnLbnSelchangeList)
END_MESSAGE_MAP()

CDlgSectionLibManage::CDlgSectionLibManage(CString strDbPath, CWnd* pParent)
    : CDialog(IDD, pParent), m_strDbPath(strDbPath), m_store(strDbPath), m_wndPreview(ConturaDLL.ModuleResourceInstance()) {
  m_store.Load();
}

CDlgSectionLibManage::~CDlgSectionLibManage() {
  for (INT_PTR i = 0; i < m_unheld.GetSize(); ++i) delete m_unheld[i];
}

void CDlgSectionLibManage::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_LIST_SECTION, m_listSection);
  DDX_Draw2DControl(pDX, IDC_DRAW_PREVIEW, m_wndPreview);
}

BOOL CDlgSectionLibManage::OnInitDialog() {
  CDialog::OnInitDialog();
  FillList();
  if (m_listSection.GetCount() > 0) PreviewRow(0);  // previewed, not selected
  return TRUE;
}

void CDlgSectionLibManage::FillList() {
  m_listSection.ResetContent();
  for (int i = 0; i < m_store.GetCount(); ++i) {
    CSectionLibRecord* rec = m_store.GetAt(i);
    int row = m_listSection.AddString(rec->m_strName);
    m_listSection.SetItemDataPtr(row, rec);
  }
}

CSectionLibRecord* CDlgSectionLibManage::RecordOfRow(int nRow) const {
  return static_cast<CSectionLibRecord*>(m_listSection.GetItemDataPtr(nRow));
}

void CDlgSectionLibManage::PreviewRow(int nRow) {
  CSectionLibRecord* rec = RecordOfRow(nRow);
  if (rec == NULL) return;
  m_wndPreview.Init(rec->m_strSectionInfo);
  // The preview's own line (what it shows) gets the section's area and perimeter.
  CString line;
  m_wndPreview.GetWindowText(line);
  m_wndPreview.SetWindowText(line + "；" + sectionMeasuresText(rec->m_strSectionInfo));
}

CString CDlgSectionLibManage::PickSectionText() {
  CPickGuard guard(this);
  CSectionTextWriter writer;
  writer.buildSectionText();  // prints its own message when nothing is selected
  return writer.getSectionText();
}

void CDlgSectionLibManage::OnLbnSelchangeList() {
  int sel = m_listSection.GetCurSel();
  if (sel >= 0) PreviewRow(sel);
}

void CDlgSectionLibManage::OnBnClickedAdd() {
  CDlgSectionInfo dlgInfo(NULL);
  if (dlgInfo.DoModal() != IDOK) return;

  CString strPicked = PickSectionText();
  if (strPicked.IsEmpty()) return;

  CSectionLibRecord* rec = new CSectionLibRecord;
  rec->m_strName = dlgInfo.m_strName;
  rec->m_strRemark = dlgInfo.m_strRemark;
  rec->m_nType = dlgInfo.m_nType;
  rec->m_nGroupSec = dlgInfo.m_nGroup;
  rec->m_strSectionInfo.Format(kSecTypeFormat, "SecType", "Name", rec->m_strName.GetString(), "Remark",
                               rec->m_strRemark.GetString(), "Type", rec->m_nType, "Group", rec->m_nGroupSec,
                               strPicked.GetString());
  if (m_store.Add(rec) != 0) m_unheld.Add(rec);  // shown all the same

  int row = m_listSection.AddString(rec->m_strName);
  m_listSection.SetItemDataPtr(row, rec);
  m_listSection.SetCurSel(row);
  PreviewRow(row);
}

void CDlgSectionLibManage::OnBnClickedModify() {
  int sel = m_listSection.GetCurSel();
  if (sel < 0) return;
  CSectionLibRecord* rec = RecordOfRow(sel);
  CString strPicked = PickSectionText();
  if (strPicked.IsEmpty()) return;
  rec->m_strSectionInfo = strPicked;  // the SecType block of an added record is not kept
  m_store.Update(rec);
  PreviewRow(sel);
}

void CDlgSectionLibManage::OnBnClickedDelete() {
  int sel = m_listSection.GetCurSel();
  if (sel < 0) return;
  m_store.Delete(RecordOfRow(sel));  // may free the record: the row is not read again
  m_listSection.DeleteString(sel);
  int count = m_listSection.GetCount();
  if (count == 0) {
    m_wndPreview.Init("");
    return;
  }
  int next = sel < count ? sel : count - 1;
  m_listSection.SetCurSel(next);
  PreviewRow(next);
}

void CDlgSectionLibManage::OnBnClickedPreview() {
  CDlgPicSelect dlgPic(NULL);
  dlgPic.SetLibStore(&m_store);
  if (dlgPic.DoModal() != IDOK) return;
  CSectionLibRecord* rec = m_store.GetAt(dlgPic.GetSelectIndex());
  if (rec == NULL) return;
  for (int row = 0; row < m_listSection.GetCount(); ++row) {
    if (RecordOfRow(row) == rec) {
      m_wndPreview.Init(rec->m_strSectionInfo);
      m_listSection.SetCurSel(row);
      return;
    }
  }
}

void CDlgSectionLibManage::OnBnClickedOutput() {
  int sel = m_listSection.GetCurSel();
  if (sel < 0) return;
  CSectionTextReader reader;
  reader.drawSectionText(RecordOfRow(sel)->m_strSectionInfo);
  EndDialog(0);
}
