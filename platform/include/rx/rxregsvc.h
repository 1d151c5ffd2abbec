// Registry services: the system registry and the global forms of the dynamic linker's calls.
#pragma once
#include <rxdict.h>
#include <rxdlinkr.h>
#include <rxobject.h>

// Each is the dynamic linker's member of the same meaning (see rxdlinkr.h).
bool acrxLoadModule(const ACHAR* moduleName, bool printit, bool asThisUser = false);
bool acrxUnloadModule(const ACHAR* moduleName, bool printit);
bool acrxUnlockApplication(void* appId);
bool acrxLockApplication(void* appId);
bool acrxApplicationIsLocked(const ACHAR* modulename);
bool acrxRegisterAppMDIAware(void* appId);
bool acrxRegisterAppNotMDIAware(void* appId);
bool acrxIsAppMDIAware(const ACHAR* moduleName);
