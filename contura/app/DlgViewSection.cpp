// The section preview dialog.
#include "DlgViewSection.h"

#include "ConturaModule.h"
#include "resources/SectionTextResource.h"

BEGIN_MESSAGE_MAP(CDlgViewSection, CDialog)
END_MESSAGE_MAP()

CDlgViewSection::CDlgViewSection(CString sectionText, CWnd* pParent)
    : CDialog(IDD_VIEWSECTION, pParent), m_view(ConturaDLL.ModuleResourceInstance()), m_strSectionText(sectionText) {}

CDlgViewSection::~CDlgViewSection() {}

void CDlgViewSection::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Draw2DControl(pDX, IDC_VIEW_SECTION, m_view);
}

BOOL CDlgViewSection::OnInitDialog() {
  CDialog::OnInitDialog();
  m_view.SetViewText(0);
  m_view.Init(m_strSectionText);
  return TRUE;
}
