// The hook told about the window's waits.
#include "wait_hook.h"

#include <QTimer>

namespace contura::qt {
namespace {

WaitHook& installed() {
  static WaitHook hook;
  return hook;
}

long& announced() {
  static long count = 0;
  return count;
}

}  // namespace

WaitHook setWaitHook(WaitHook hook) {
  WaitHook previous = std::move(installed());
  installed() = std::move(hook);
  return previous;
}

long waitsAnnounced() { return announced(); }

void announceWait(WaitKind kind) {
  ++announced();
  if (!installed()) return;
  QTimer::singleShot(0, [kind] {
    if (installed()) installed()(kind);
  });
}

}  // namespace contura::qt
