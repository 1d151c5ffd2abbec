// The document manager. So far it keeps the resource-handle stack through which a command
// makes its module's resources current around a dialog.
#pragma once
#include <windows.h>

#include <vector>

class AcApDocManager {
public:
  AcApDocManager() = default;
  virtual ~AcApDocManager() = default;
  AcApDocManager(const AcApDocManager&) = delete;
  AcApDocManager& operator=(const AcApDocManager&) = delete;

  // Saves the current resource handle (AfxGetResourceHandle) and makes hNewResourceHandle
  // current.
  virtual void pushResourceHandle(HINSTANCE hNewResourceHandle);
  // Makes the handle saved by the matching push current again. Without a matching push it
  // changes nothing.
  virtual void popResourceHandle();

  // Observation for the host program and tests: how many pushes are not popped yet, and
  // every push and pop since the history was last cleared (pops without a push included).
  struct ResourceEvent {
    enum Kind { kPush, kPop, kUnmatchedPop } kind;
    HINSTANCE handle;  // the handle made current by the event
  };
  int resourceStackDepth() const { return (int)m_saved.size(); }
  const std::vector<ResourceEvent>& resourceHistory() const { return m_history; }
  void clearResourceHistory() { m_history.clear(); }

private:
  std::vector<HINSTANCE> m_saved;
  std::vector<ResourceEvent> m_history;
};

// The host's document manager. Never null.
AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()
