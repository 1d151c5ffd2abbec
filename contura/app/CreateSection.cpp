// The command CreateSection (CJLX): section text from the user's selection, shown in the
// information view.
#include "ConturaApp.h"
#include "InfoViewDlg.h"
#include "sectiontext/SectionTextWriter.h"

void CConturaApp::OnCreateSection() {
  CSectionTextWriter writer;
  writer.buildSectionText();  // its result is not examined: the view opens even when empty
  CInfoViewDlg dlg(NULL);
  dlg.m_strText = writer.getSectionText();
  dlg.DoModal();  // its result is ignored; the command writes nothing to the drawing itself
}
