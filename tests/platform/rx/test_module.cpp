// A module for the dynamic linker tests: reports its messages through the probe and answers as
// the probe says.
#include "probe.h"

#include <stdexcept>

extern "C" BOOL DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
  RxTestProbe* probe = RxTestProbe::get();
  if (probe == nullptr) return TRUE;
  probe->dllMainReasons.push_back(static_cast<int>(reason));
  probe->instance = hInstance;
  return reason == DLL_PROCESS_ATTACH ? probe->dllMainAnswer : TRUE;
}

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
  RxTestProbe* probe = RxTestProbe::get();
  if (probe == nullptr) return AcRx::kRetOK;
  probe->messages.push_back(msg);
  if (msg == AcRx::kInitAppMsg) {
    probe->appId = pkt;
    if (probe->throwOnInit) throw std::runtime_error("refused");
    if (probe->unlockOnInit) acrxUnlockApplication(pkt);
    if (probe->mdiAwareOnInit) acrxRegisterAppMDIAware(pkt);
    if (probe->unloadSelfOnInit) probe->unloadSelfResult = acrxUnloadModule("rx_test_module.arx", false);
    return probe->initAnswer;
  }
  if (msg == AcRx::kUnloadAppMsg) return probe->unloadAnswer;
  return AcRx::kRetOK;
}
