// The host's user-interface extension library: dialog base classes and controls that follow
// the host's look (added as modules need them).
#pragma once

// Initialises the library for the calling module; a module calls it once from its DllMain
// process attach. Calling it again does nothing.
void InitAcUiDLL();
