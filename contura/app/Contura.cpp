// The module's DLL entry: attaching and detaching the module resource record.
#include <windows.h>

#include <acrxEntryPoint.h>
#include <acui.h>

#include "ConturaModule.h"

AC_IMPLEMENT_EXTENSION_MODULE(ConturaDLL)

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved) {
  (void)lpReserved;
  if (dwReason == DLL_PROCESS_ATTACH) {
    acrxGetApp()->SetModuleInstance(hInstance);
    ConturaDLL.AttachInstance(hInstance);  // a failed attach is not reported to the host
    InitAcUiDLL();
  } else if (dwReason == DLL_PROCESS_DETACH) {
    ConturaDLL.DetachInstance();
  }
  return TRUE;
}
