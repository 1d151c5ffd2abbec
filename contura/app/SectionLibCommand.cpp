// The command SectionLib (JMGL): the section library management dialog on the library file.
#include "ConturaApp.h"
#include "ResourceScope.h"
#include "dialogs/DlgSectionLibManage.h"

namespace {

// The only place the library file is named: a Windows path, found through the drive map.
const char* const kSectionLibPath = "E:\\_Velmora\\vlmr\\Support\\SectionLib.mdb";

}  // namespace

void CConturaApp::OnSectionLib() {
  // The module's resources stay current until the dialog (and with it the store and its
  // database) is gone, however the dialog ends.
  CConturaResourceScope resources;
  CDlgSectionLibManage dlg(kSectionLibPath, NULL);
  dlg.DoModal();
}
