// The application frame of a module: AcRxDbxApp and AcRxArxApp, which turn the host's
// application messages into virtual calls and register the module's tables (commands, Lisp
// functions, runtime classes) on load and remove them on unload.
//
// A module derives its application class from AcRxArxApp, writes its tables with the
// ACRX_BEGIN_..._TABLE macros below and ends one source file with
// IMPLEMENT_ARX_ENTRYPOINT(ClassName), which defines the application object and the
// exported acrxEntryPoint. Its DllMain gives the object the module instance through
// acrxGetApp()->SetModuleInstance(hInstance).
//
// Each module's tables and frame code stay inside that module (hidden symbols), so several
// modules in one process never see each other's tables.
#pragma once
#include <windows.h>

#include <accmd.h>
#include <acedads.h>
#include <afxres.h>
#include <rxregsvc.h>

#define ACRX_FRAME_LOCAL_ __attribute__((visibility("hidden")))

// One command: group, global name, local name (null: the string localNameID of the module),
// flags, handler, UI context (may be null), string id of the local name.
struct _ACRX_CMD_ENTRY {
  const ACHAR* pszCmdGroupName;
  const ACHAR* pszCmdGlobalName;
  const ACHAR* pszCmdLocalName;
  Adesk::Int32 commandFlags;
  AcRxFunctionPtr functionAddr;
  AcEdUIContext* UIContext;
  UINT localNameID;
};

// One Lisp-callable function: name, function, whether the host calls it directly
// (acedRegFunc) rather than through kInvkSubrMsg, string id of the name.
struct _ADSSYMBOL_ENTRY {
  const ACHAR* pszName;
  int (*fptr)();
  bool bRegFunc;
  UINT nameID;
};

// One custom runtime class: its desc() and rxInit(), and whether this module registered it.
struct _ACRX_RXCLASS_ENTRY {
  AcRxClass* (*desc)();
  void (*rxInit)();
  bool bRegistered;
};

// A module's tables; each is optional (a module without one has an empty table).
// An entry whose name (or class) is null is empty and skipped.
extern "C" {
ACRX_FRAME_LOCAL_ const _ACRX_CMD_ENTRY* acrxModuleCommandTable(int* pCount) __attribute__((weak));
ACRX_FRAME_LOCAL_ const _ADSSYMBOL_ENTRY* acrxModuleLispTable(int* pCount) __attribute__((weak));
ACRX_FRAME_LOCAL_ _ACRX_RXCLASS_ENTRY* acrxModuleClassTable(int* pCount) __attribute__((weak));
}

#define ACRX_BEGIN_COMMAND_TABLE                                                            \
  extern "C" ACRX_FRAME_LOCAL_ const _ACRX_CMD_ENTRY* acrxModuleCommandTable(int* pCount) { \
    static const _ACRX_CMD_ENTRY table[] = {
#define ACED_ARXCOMMAND_ENTRY(group, globalName, localName, flags, function, uiContext,      \
                              localNameID)                                                  \
  {group, globalName, localName, flags, function, uiContext, (UINT)(localNameID)},
#define ACRX_END_COMMAND_TABLE                                                              \
  }                                                                                         \
  ;                                                                                         \
  *pCount = (int)(sizeof(table) / sizeof(table[0]));                                        \
  return table;                                                                             \
  }

#define ACRX_BEGIN_LISP_TABLE                                                               \
  extern "C" ACRX_FRAME_LOCAL_ const _ADSSYMBOL_ENTRY* acrxModuleLispTable(int* pCount) {   \
    static const _ADSSYMBOL_ENTRY table[] = {
#define ACED_ADSSYMBOL_ENTRY(name, function, regFunc, nameID) {name, function, regFunc, (UINT)(nameID)},
#define ACRX_END_LISP_TABLE ACRX_END_COMMAND_TABLE

#define ACRX_BEGIN_CLASS_TABLE                                                              \
  extern "C" ACRX_FRAME_LOCAL_ _ACRX_RXCLASS_ENTRY* acrxModuleClassTable(int* pCount) {    \
    static _ACRX_RXCLASS_ENTRY table[] = {
#define ACDB_REGISTER_OBJECT_ENTRY(classname) {&classname::desc, &classname::rxInit, false},
#define ACRX_END_CLASS_TABLE ACRX_END_COMMAND_TABLE

// The size of the buffer a local command name is loaded into from the string table.
#define ACRX_LOCAL_NAME_BUFFER 132

// The database-side frame: locking, MDI awareness, the registration hook and the custom class
// table. The virtual functions below are in the host's slot order; do not reorder them.
class AcRxDbxApp {
public:
  ACRX_FRAME_LOCAL_ AcRxDbxApp() = default;
  ACRX_FRAME_LOCAL_ virtual ~AcRxDbxApp() = default;
  AcRxDbxApp(const AcRxDbxApp&) = delete;
  AcRxDbxApp& operator=(const AcRxDbxApp&) = delete;

  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kInitAppMsg(void* pkt) {
    AcRxDynamicLinker* linker = acrxDynamicLinker;
    if (m_bUnlocked && linker != nullptr) linker->unlockApplication(pkt);
    if (m_bMDIAware && linker != nullptr) linker->registerAppMDIAware(pkt);
    RegisterServerComponents();
    initClasses();
    return AcRx::kRetOK;
  }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kUnloadAppMsg(void*) {
    int count = 0;
    _ACRX_RXCLASS_ENTRY* table = classTable(count);
    for (int i = 0; i < count; ++i) unregisterClass(table, count, i);
    return AcRx::kRetOK;
  }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kLoadDwgMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kUnloadDwgMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kInvkSubrMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kCfgMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kEndMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kQuitMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kSaveMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kDependencyMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kNoDependencyMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kOleUnloadAppMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kPreQuitMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kInitDialogMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kEndDialogMsg(void*) { return AcRx::kRetOK; }
  ACRX_FRAME_LOCAL_ virtual AcRx::AppRetCode On_kNullMsg(void*) { return AcRx::kRetOK; }
  // The registration hook, called during kInitAppMsg before the tables are registered.
  ACRX_FRAME_LOCAL_ virtual void RegisterServerComponents() = 0;

  // Routes one message to its handler; codes the frame does not know (above kEndDialogMsg)
  // return kRetOK without a call.
  ACRX_FRAME_LOCAL_ AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    switch (msg) {
      case AcRx::kNullMsg: return On_kNullMsg(pkt);
      case AcRx::kInitAppMsg: return On_kInitAppMsg(pkt);
      case AcRx::kUnloadAppMsg: return On_kUnloadAppMsg(pkt);
      case AcRx::kLoadDwgMsg: return On_kLoadDwgMsg(pkt);
      case AcRx::kUnloadDwgMsg: return On_kUnloadDwgMsg(pkt);
      case AcRx::kInvkSubrMsg: return On_kInvkSubrMsg(pkt);
      case AcRx::kCfgMsg: return On_kCfgMsg(pkt);
      case AcRx::kEndMsg: return On_kEndMsg(pkt);
      case AcRx::kQuitMsg: return On_kQuitMsg(pkt);
      case AcRx::kSaveMsg: return On_kSaveMsg(pkt);
      case AcRx::kDependencyMsg: return On_kDependencyMsg(pkt);
      case AcRx::kNoDependencyMsg: return On_kNoDependencyMsg(pkt);
      case AcRx::kOleUnloadAppMsg: return On_kOleUnloadAppMsg(pkt);
      case AcRx::kPreQuitMsg: return On_kPreQuitMsg(pkt);
      case AcRx::kInitDialogMsg: return On_kInitDialogMsg(pkt);
      case AcRx::kEndDialogMsg: return On_kEndDialogMsg(pkt);
      default: return AcRx::kRetOK;
    }
  }

  ACRX_FRAME_LOCAL_ void SetModuleInstance(HINSTANCE hInstance) { m_hdllInstance = hInstance; }
  ACRX_FRAME_LOCAL_ HINSTANCE GetModuleInstance() const { return m_hdllInstance; }

protected:
  HINSTANCE m_hdllInstance = nullptr;
  bool m_bUnlocked = true;   // unlock the application on load, so it may be unloaded
  bool m_bMDIAware = true;   // declare the application able to run with several drawings

private:
  ACRX_FRAME_LOCAL_ static _ACRX_RXCLASS_ENTRY* classTable(int& count) {
    count = 0;
    return acrxModuleClassTable != nullptr ? acrxModuleClassTable(&count) : nullptr;
  }
  ACRX_FRAME_LOCAL_ static void initClasses() {
    int count = 0;
    _ACRX_RXCLASS_ENTRY* table = classTable(count);
    bool anyInitialised = false;
    for (int i = 0; i < count; ++i) {
      if (table[i].rxInit == nullptr) continue;
      table[i].rxInit();
      table[i].bRegistered = true;
      anyInitialised = true;
    }
    if (anyInitialised) acrxBuildClassHierarchy();
  }
  // Unregisters entry i, first every registered entry whose class has it as parent.
  ACRX_FRAME_LOCAL_ static void unregisterClass(_ACRX_RXCLASS_ENTRY* table, int count, int i) {
    if (!table[i].bRegistered || table[i].desc == nullptr) return;
    AcRxClass* pClass = table[i].desc();
    for (int j = 0; j < count; ++j) {
      if (j != i && table[j].bRegistered && table[j].desc != nullptr &&
          table[j].desc()->myParent() == pClass)
        unregisterClass(table, count, j);
    }
    deleteAcRxClass(pClass);
    table[i].bRegistered = false;
  }
};

// The editor-side frame: commands and Lisp functions.
class AcRxArxApp : public AcRxDbxApp {
public:
  ACRX_FRAME_LOCAL_ AcRxArxApp() = default;

  ACRX_FRAME_LOCAL_ AcRx::AppRetCode On_kInitAppMsg(void* pkt) override {
    AcRx::AppRetCode result = AcRxDbxApp::On_kInitAppMsg(pkt);
    int count = 0;
    const _ACRX_CMD_ENTRY* table = commandTable(count);
    for (int i = 0; i < count; ++i) {
      const _ACRX_CMD_ENTRY& entry = table[i];
      if (entry.pszCmdGlobalName == nullptr) continue;
      ACHAR localName[ACRX_LOCAL_NAME_BUFFER] = {0};
      const ACHAR* pszLocal = entry.pszCmdLocalName;
      if (pszLocal == nullptr) {
        ::LoadString(m_hdllInstance, entry.localNameID, localName, ACRX_LOCAL_NAME_BUFFER);
        pszLocal = localName;
      }
      HINSTANCE hResource = (entry.commandFlags & ACRX_CMD_SESSION) ? nullptr : m_hdllInstance;
      AcEdCommandStack* stack = acedRegCmds;
      if (stack != nullptr)
        stack->addCommand(entry.pszCmdGroupName, entry.pszCmdGlobalName, pszLocal,
                          entry.commandFlags, entry.functionAddr, entry.UIContext, -1, hResource,
                          nullptr);
    }
    return result;
  }
  ACRX_FRAME_LOCAL_ AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override {
    AcRx::AppRetCode result = AcRxDbxApp::On_kUnloadAppMsg(pkt);
    int count = 0;
    const _ACRX_CMD_ENTRY* table = commandTable(count);
    for (int i = 0; i < count; ++i) {
      if (table[i].pszCmdGlobalName == nullptr) continue;
      AcEdCommandStack* stack = acedRegCmds;
      if (stack != nullptr) stack->removeCmd(table[i].pszCmdGroupName, table[i].pszCmdGlobalName);
    }
    return result;
  }
  ACRX_FRAME_LOCAL_ AcRx::AppRetCode On_kLoadDwgMsg(void*) override {
    int count = 0;
    const _ADSSYMBOL_ENTRY* table = lispTable(count);
    for (int i = 0; i < count; ++i) {
      if (table[i].pszName == nullptr) continue;
      acedDefun(table[i].pszName, i);
      if (table[i].bRegFunc) acedRegFunc(table[i].fptr, i);
    }
    return AcRx::kRetOK;
  }
  ACRX_FRAME_LOCAL_ AcRx::AppRetCode On_kUnloadDwgMsg(void*) override {
    int count = 0;
    const _ADSSYMBOL_ENTRY* table = lispTable(count);
    for (int i = 0; i < count; ++i) {
      if (table[i].pszName != nullptr) acedUndef(table[i].pszName, i);
    }
    return AcRx::kRetOK;
  }
  ACRX_FRAME_LOCAL_ AcRx::AppRetCode On_kInvkSubrMsg(void*) override {
    int count = 0;
    const _ADSSYMBOL_ENTRY* table = lispTable(count);
    int code = acedGetFunCode();
    if (code >= 0 && code < count && table[code].pszName != nullptr && table[code].fptr != nullptr)
      table[code].fptr();
    return AcRx::kRetOK;
  }

private:
  ACRX_FRAME_LOCAL_ static const _ACRX_CMD_ENTRY* commandTable(int& count) {
    count = 0;
    return acrxModuleCommandTable != nullptr ? acrxModuleCommandTable(&count) : nullptr;
  }
  ACRX_FRAME_LOCAL_ static const _ADSSYMBOL_ENTRY* lispTable(int& count) {
    count = 0;
    return acrxModuleLispTable != nullptr ? acrxModuleLispTable(&count) : nullptr;
  }
};

// The module's application object, as IMPLEMENT_ARX_ENTRYPOINT defines it.
extern "C" ACRX_FRAME_LOCAL_ AcRxDbxApp* acrxGetApp();

// Defines the application object of class CLASSNAME and the exported entry point, which
// hands every message to the object.
#define IMPLEMENT_ARX_ENTRYPOINT(CLASSNAME)                                                 \
  static CLASSNAME theArxApp;                                                               \
  extern "C" ACRX_FRAME_LOCAL_ AcRxDbxApp* acrxGetApp() { return &theArxApp; }              \
  extern "C" __attribute__((visibility("default"))) AcRx::AppRetCode acrxEntryPoint(        \
      AcRx::AppMsgCode msg, void* pkt) {                                                    \
    return theArxApp.acrxEntryPoint(msg, pkt);                                              \
  }
