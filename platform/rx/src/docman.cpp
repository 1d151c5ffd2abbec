// The document manager's resource-handle stack.
#include <acdocman.h>

#include <afxres.h>

void AcApDocManager::pushResourceHandle(HINSTANCE hNewResourceHandle) {
  m_saved.push_back(AfxGetResourceHandle());
  AfxSetResourceHandle(hNewResourceHandle);
  m_history.push_back({ResourceEvent::kPush, hNewResourceHandle});
}

void AcApDocManager::popResourceHandle() {
  if (m_saved.empty()) {
    m_history.push_back({ResourceEvent::kUnmatchedPop, AfxGetResourceHandle()});
    return;
  }
  HINSTANCE previous = m_saved.back();
  m_saved.pop_back();
  AfxSetResourceHandle(previous);
  m_history.push_back({ResourceEvent::kPop, previous});
}

AcApDocManager* acDocManagerPtr() {
  // Never destroyed, like the system registry: modules may pop their handles during exit.
  static AcApDocManager* manager = new AcApDocManager;
  return manager;
}
