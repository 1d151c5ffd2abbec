// The module's entry point, application object and command table.
#include "ConturaApp.h"

AcRx::AppRetCode CConturaApp::On_kInitAppMsg(void* pkt) { return AcRxArxApp::On_kInitAppMsg(pkt); }

AcRx::AppRetCode CConturaApp::On_kUnloadAppMsg(void* pkt) {
  return AcRxArxApp::On_kUnloadAppMsg(pkt);
}

void CConturaApp::RegisterServerComponents() {}

// Registered in this order on load, removed in this order on unload. Every entry has its
// local name, so the string id (-1) is never consulted.
ACRX_BEGIN_COMMAND_TABLE
ACED_ARXCOMMAND_ENTRY(CONTURA_CMD_GROUP, "SectionLib", "JMGL", ACRX_CMD_TRANSPARENT, CConturaApp::OnSectionLib, NULL, -1)
ACED_ARXCOMMAND_ENTRY(CONTURA_CMD_GROUP, "CreateSection", "CJLX", ACRX_CMD_TRANSPARENT, CConturaApp::OnCreateSection, NULL, -1)
ACED_ARXCOMMAND_ENTRY(CONTURA_CMD_GROUP, "ChangeVar", "XGBL", ACRX_CMD_TRANSPARENT, CConturaApp::OnChangeVar, NULL, -1)
ACED_ARXCOMMAND_ENTRY(CONTURA_CMD_GROUP, "AddVar", "TJBL", ACRX_CMD_TRANSPARENT, CConturaApp::OnAddVar, NULL, -1)
ACED_ARXCOMMAND_ENTRY(CONTURA_CMD_GROUP, "USection", "USD", ACRX_CMD_TRANSPARENT, CConturaApp::OnUSection, NULL, -1)
ACRX_END_COMMAND_TABLE

IMPLEMENT_ARX_ENTRYPOINT(CConturaApp)
