// What the test modules and the dynamic linker tests share: a probe object in the system
// registry through which a test module reports the messages it gets and is told how to answer.
#pragma once
#include <windows.h>

#include <rxregsvc.h>

#include <vector>

#define RX_TEST_PROBE "RxTestProbe"

struct RxTestProbe : public AcRxObject {
  // What the module records.
  std::vector<int> messages;           // application message codes, in order
  std::vector<int> dllMainReasons;     // DllMain reasons, in order
  void* appId = nullptr;               // the id sent with kInitAppMsg
  HINSTANCE instance = nullptr;        // the handle given to DllMain
  // How the module answers.
  bool unlockOnInit = true;
  bool mdiAwareOnInit = true;
  BOOL dllMainAnswer = TRUE;
  AcRx::AppRetCode initAnswer = AcRx::kRetOK;
  AcRx::AppRetCode unloadAnswer = AcRx::kRetOK;
  bool throwOnInit = false;
  bool unloadSelfOnInit = false;  // asks the linker to unload the module from inside kInitAppMsg
  bool unloadSelfResult = true;

  static RxTestProbe* get() { return static_cast<RxTestProbe*>(acrxSysRegistry()->at(RX_TEST_PROBE)); }
};
