// Where the window waits for a person: a request at the command line or on the canvas, a
// module dialog, a file dialog or a message box. A hook (the tests' driver) is told each time
// a wait has begun, from inside that wait's event loop.
#pragma once
#include <functional>

namespace contura::qt {

enum class WaitKind { kRequest, kDialog, kFileDialog, kMessageBox };

using WaitHook = std::function<void(WaitKind)>;

// Installs the hook (empty removes it) and returns the previous one.
WaitHook setWaitHook(WaitHook hook);
// Called just before a wait starts: the hook runs once the wait's event loop is running.
// A dialog whose action brought other waits (a nested dialog, a pick on the canvas) is
// announced again when it waits for the person once more.
void announceWait(WaitKind kind);
// How many waits were announced so far.
long waitsAnnounced();

}  // namespace contura::qt
