// The information view of CJLX: showing, exporting, importing, drawing and previewing the
// held section text.
#include "InfoViewDlg.h"

#include <acutads.h>
#include <afxdlgs.h>

#include <cstdint>
#include <new>
#include <vector>

#include "DlgViewSection.h"
#include "resources/SectionTextResource.h"
#include "sectiontext/SectionTextReader.h"

BEGIN_MESSAGE_MAP(CInfoViewDlg, CDialog)
  ON_BN_CLICKED(IDC_INFO_EXPORT, OnExport)
  ON_BN_CLICKED(IDC_INFO_IMPORT, OnImport)
  ON_BN_CLICKED(IDC_INFO_MODIFY, OnModify)
  ON_BN_CLICKED(IDC_INFO_PREVIEW, OnPreview)
END_MESSAGE_MAP()

CInfoViewDlg::CInfoViewDlg(CWnd* pParent) : CDialog(IDD_INFOVIEW, pParent) { AfxInitRichEdit2(); }

CInfoViewDlg::~CInfoViewDlg() {}

void CInfoViewDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_INFO_TEXT, m_richEdit);
}

BOOL CInfoViewDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_richEdit.SetWindowText(m_strText);
  return TRUE;
}

void CInfoViewDlg::OnExport() {
  CFileDialog dlg(FALSE, NULL, NULL, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, NULL);
  if (dlg.DoModal() != IDOK) return;
  CString path = dlg.GetPathName();
  // Create (truncating) and close, then open again for reading and writing and write the
  // held bytes: no terminating zero, no byte-order mark, line feeds as held.
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) {
    acutPrintf("\n无法创建文件 %s，未导出。", path.GetString());
    return;
  }
  file.Close();
  if (!file.Open(path, CFile::modeReadWrite)) {
    acutPrintf("\n无法打开文件 %s，未导出。", path.GetString());
    return;
  }
  file.Write(m_strText.GetString(), static_cast<UINT>(m_strText.GetLength()));
  bool written = file.GetLastCause() == CFileException::none;
  file.Close();
  // The platform replaces an existing file only once the new content is written whole, so a
  // failed write leaves the old export as it was.
  if (!written || file.GetLastCause() != CFileException::none)
    acutPrintf("\n写入文件 %s 失败（磁盘已满或无法写入），未导出。", path.GetString());
}

void CInfoViewDlg::OnImport() {
  CFileDialog dlg(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, NULL);
  if (dlg.DoModal() != IDOK) return;
  CString path = dlg.GetPathName();
  CFile file;
  if (!file.Open(path, CFile::modeRead)) {
    acutPrintf("\n无法打开文件 %s，未导入。", path.GetString());
    return;
  }
  ULONGLONG length = file.GetLength();
  std::vector<char> buffer;
  bool failed = length >= static_cast<ULONGLONG>(SIZE_MAX);
  if (!failed) {
    try {
      buffer.assign(static_cast<size_t>(length) + 1, '\0');
    } catch (const std::bad_alloc&) {
      failed = true;
    }
  }
  const bool showProgress = length >= kImportProgressBytes;
  int quartersShown = 0;
  for (ULONGLONG done = 0; !failed && done < length;) {
    UINT piece = static_cast<UINT>(length - done < kImportChunkBytes ? length - done : kImportChunkBytes);
    UINT read = file.Read(buffer.data() + done, piece);
    failed = file.GetLastCause() != CFileException::none || read != piece;
    done += read;
    for (; showProgress && quartersShown < static_cast<int>(done * 4 / length); ++quartersShown)
      acutPrintf("\n正在导入 %s：%d%%", path.GetString(), (quartersShown + 1) * 25);
  }
  file.Close();
  if (failed) {
    acutPrintf("\n读取文件 %s 失败，未导入。", path.GetString());
    return;
  }
  // The text ends at the first zero byte, if the file holds one.
  m_strText = CString(buffer.data());
  m_richEdit.SetWindowText(m_strText);
}

void CInfoViewDlg::OnModify() {
  CSectionTextReader reader;
  reader.drawSectionText(m_strText);
}

void CInfoViewDlg::OnPreview() {
  CDlgViewSection dlg(m_strText, NULL);
  dlg.DoModal();
}
