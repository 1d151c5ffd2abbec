// The commands AddVar (TJBL), which places a new variable entity and opens its settings, and
// ChangeVar (XGBL), which opens the settings of a picked variable entity.
#include <AcDbVarCommon.h>
#include <acedinpt.h>
#include <adscodes.h>
#include <dbmain.h>

#include "VarSetDlg.h"
#include "app/ConturaApp.h"
#include "sectiontext/SectionTextHelpers.h"

namespace {

// What AddVar gives a new variable entity; its other properties keep the entity's defaults.
const char* const kNewVarName = "变量";
const Adesk::UInt16 kNewVarColorIndex = 1;  // red
const double kNewVarTextHeight = 100.0;
const double kNewVarValueHeight = 100.0;

// Runs the settings dialog on `id`. Its result does not matter to either command: the entity
// stays whether the person pressed OK or Cancel. The current resources are left as they are:
// the template is found in the module through MFC's chain of extension libraries, which the
// module joined when it was attached.
void runVarSetDlg(AcDbObjectId id) {
  CVarSetDlg dlg(NULL);
  dlg.m_idVar = id;
  dlg.DoModal();
}

}  // namespace

void CConturaApp::OnAddVar() {
  ads_point pt;
  if (acedGetPoint(NULL, "\n输入插入基点:", pt) != RTNORM) return;

  AcDbVarCommon* pVar = new AcDbVarCommon();
  pVar->setTextString(kNewVarName);
  pVar->setPosition(AcGePoint3d(pt[X], pt[Y], pt[Z]));
  pVar->setColorIndex(kNewVarColorIndex);
  pVar->setHeight(kNewVarTextHeight);
  pVar->putVarValueHeight(kNewVarValueHeight);

  AcDbObjectId id;
  if (postToModelSpace(id, pVar) != 0 || pVar->objectId().isNull()) {
    delete pVar;  // never reached the drawing: still ours
    return;
  }
  pVar->close();
  runVarSetDlg(id);
}

void CConturaApp::OnChangeVar() {
  ads_name ent;
  ads_point pt;
  if (acedEntSel("\n请选择变量类别:", ent, pt) != RTNORM) return;
  AcDbObjectId id;
  acdbGetObjectId(id, ent);  // a name that gives no id leaves it null: the dialog opens empty
  runVarSetDlg(id);
}
