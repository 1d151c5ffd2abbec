// A module built on the application frame, for the frame tests: every table kind, a command
// whose local name comes from the string table, a session command, and handlers that report.
#include "frame_probe.h"

#include <acrxEntryPoint.h>
#include <afxres.h>

namespace {
void record(int code) {
  if (FrameTestProbe* probe = FrameTestProbe::get()) probe->handled.push_back(code);
}
void lispCall(const char* name) {
  if (FrameTestProbe* probe = FrameTestProbe::get()) probe->lispCalls.push_back(name);
}
}  // namespace

// Runtime classes registered by the frame. The child's own rxInit does not make its parent,
// so it is linked by name; on unload the parent (first in the table) takes the child first.
class FrameParent : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(FrameParent);
};
class FrameChild : public FrameParent {
public:
  ACRX_DECLARE_MEMBERS(FrameChild);
};
ACRX_DEFINE_MEMBERS_WITH_(FrameParent, AcRxObject, newAcRxClass("FrameParent", "AcRxObject"))
ACRX_DEFINE_MEMBERS_WITH_(FrameChild, AcRxObject, newAcRxClass("FrameChild", "FrameParent"))

class CFrameTestApp : public AcRxArxApp {
public:
  void RegisterServerComponents() override {
    if (FrameTestProbe* probe = FrameTestProbe::get()) ++probe->registerCalls;
  }
  // Messages the frame leaves to the module report that they arrived.
  AcRx::AppRetCode On_kCfgMsg(void*) override { record(AcRx::kCfgMsg); return AcRx::kRetOK; }
  AcRx::AppRetCode On_kEndMsg(void*) override { record(AcRx::kEndMsg); return AcRx::kRetOK; }
  AcRx::AppRetCode On_kQuitMsg(void*) override { record(AcRx::kQuitMsg); return AcRx::kRetOK; }
  AcRx::AppRetCode On_kSaveMsg(void*) override { record(AcRx::kSaveMsg); return AcRx::kRetOK; }
  AcRx::AppRetCode On_kDependencyMsg(void*) override { record(AcRx::kDependencyMsg); return AcRx::kRetOK; }
  AcRx::AppRetCode On_kNoDependencyMsg(void*) override { record(AcRx::kNoDependencyMsg); return AcRx::kRetOK; }
  AcRx::AppRetCode On_kOleUnloadAppMsg(void*) override { record(AcRx::kOleUnloadAppMsg); return AcRx::kRetOK; }
  AcRx::AppRetCode On_kPreQuitMsg(void*) override { record(AcRx::kPreQuitMsg); return AcRx::kRetOK; }
  AcRx::AppRetCode On_kInitDialogMsg(void*) override { record(AcRx::kInitDialogMsg); return AcRx::kRetOK; }
  AcRx::AppRetCode On_kEndDialogMsg(void*) override { record(AcRx::kEndDialogMsg); return AcRx::kRetOK; }
  AcRx::AppRetCode On_kNullMsg(void*) override { record(AcRx::kNullMsg); return AcRx::kRetOK; }

  static void OnPlain() {}
  static void OnNamedById() {}
  static void OnSession() {}
  static int LispDirect() { lispCall("direct"); return RTNORM; }
  static int LispByMessage() { lispCall("byMessage"); return RTNORM; }
};

ACRX_BEGIN_COMMAND_TABLE
ACED_ARXCOMMAND_ENTRY("FrameGroup", "Plain", "PL", ACRX_CMD_TRANSPARENT, CFrameTestApp::OnPlain, NULL, -1)
ACED_ARXCOMMAND_ENTRY(NULL, NULL, NULL, 0, NULL, NULL, -1)
ACED_ARXCOMMAND_ENTRY("FrameGroup", "NamedById", NULL, ACRX_CMD_MODAL, CFrameTestApp::OnNamedById, NULL, 301)
ACED_ARXCOMMAND_ENTRY("FrameGroup", "Session", "SS", ACRX_CMD_SESSION | ACRX_CMD_TRANSPARENT, CFrameTestApp::OnSession, NULL, -1)
ACRX_END_COMMAND_TABLE

ACRX_BEGIN_LISP_TABLE
ACED_ADSSYMBOL_ENTRY("c:direct", CFrameTestApp::LispDirect, true, -1)
ACED_ADSSYMBOL_ENTRY(NULL, NULL, false, -1)
ACED_ADSSYMBOL_ENTRY("c:bymessage", CFrameTestApp::LispByMessage, false, -1)
ACRX_END_LISP_TABLE

ACRX_BEGIN_CLASS_TABLE
ACDB_REGISTER_OBJECT_ENTRY(FrameParent)
ACDB_REGISTER_OBJECT_ENTRY(FrameChild)
ACRX_END_CLASS_TABLE

IMPLEMENT_ARX_ENTRYPOINT(CFrameTestApp)

namespace {
const AFX_STRINGENTRY kStrings[] = {{301, "BYID"}};
}
extern "C" const AFX_RESOURCE_TABLE _afxModuleResources = {nullptr, 0, kStrings, 1};

extern "C" BOOL DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) acrxGetApp()->SetModuleInstance(hInstance);
  return TRUE;
}
