// The system registry and the services it holds from the start: the class dictionary, the
// dynamic linker and the command stack.
#include <accmd.h>
#include <rxregsvc.h>

AcRxDictionary* acrxSysRegistry() {
  // Made on first use and never destroyed: runtime classes and services must stay valid
  // while other libraries' static objects are destroyed at exit, in whatever order.
  static AcRxDictionary* registry = [] {
    auto* r = new AcRxDictionary(/*sorted=*/true, /*ignoreCase=*/false, /*deleteObjects=*/true);
    r->atPut(ACRX_CLASS_DICTIONARY, new AcRxDictionary(true, false, true));
    r->atPut(ACRX_DYNAMIC_LINKER, new AcRxDynamicLinker());
    r->atPut(ACRX_COMMAND_DOCK, new AcEdCommandStack());
    return r;
  }();
  return registry;
}
