// The command USection (USD): the section dialog, and its outline drawn in model space in
// green with its base point on the origin.
#include "ConturaApp.h"
#include "ResourceScope.h"
#include "SectionString.h"
#include "dialogs/DlgSection.h"
#include "sectiontext/SectionTextHelpers.h"

namespace {

const Adesk::UInt16 kOutlineColorIndex = 3;  // green in the host's colour table

// Draws the outline of text with its base point on the origin; nothing when the text gives
// no outline.
void drawSectionAtOrigin(const CString& text) {
  AcDbPolyline* pPline = NULL;
  AcGePoint3d basePoint(0.0, 0.0, 0.0);
  if (CSectionString::getSectionPolylineFromString(pPline, basePoint, text) != 0) return;
  pPline->setColorIndex(kOutlineColorIndex);  // sub-entities included
  if (postToModelSpace(pPline) == 0) pPline->close();
  else delete pPline;  // not in the drawing: nobody else would free it
}

}  // namespace

void CConturaApp::OnUSection() {
  // Each run starts from the default outline and an empty list; the module's resources stay
  // current until the dialog is gone, however it ends.
  CConturaResourceScope resources;
  CDlgSection dlg(NULL);
  if (dlg.DoModal() == IDOK) drawSectionAtOrigin(dlg.m_userSection.m_strSection);
}
