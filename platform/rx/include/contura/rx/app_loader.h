// The host's module loader, for the host program and tests: it plays the part the operating
// system's loader and the CAD host play on Windows when an application module is loaded.
#pragma once
#include <windows.h>

#include <rxdefs.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace contura::rx {

// One loaded application module.
struct LoadedApp {
  std::string name;             // the file name, e.g. "Contura.arx"
  std::filesystem::path path;   // absolute
  HINSTANCE instance;           // the module handle (passed to its DllMain)
  void* appId;                  // the id sent with its application messages
  bool locked;                  // a locked module cannot be unloaded on request
  bool mdiAware;
};

// Loads an application module:
//  1. opens `file` (a path, never searched for) with contura::os::Module;
//  2. requires the export acrxEntryPoint;
//  3. calls the export DllMain (when there is one) with DLL_PROCESS_ATTACH; FALSE ends the
//     load after a DLL_PROCESS_DETACH call, as Windows does;
//  4. registers the module (locked, not MDI-aware) and sends kInitAppMsg with its app id;
//     kRetError (or an exception) ends the load: DllMain detach, close.
// Dynamic linker reactors hear rxAppWillBeLoaded, then rxAppLoaded or rxAppLoadAborted.
// A module of the same file name that is loaded already is refused. On failure `error` is one
// UTF-8 sentence naming the file and the reason.
bool loadApplication(const std::filesystem::path& file, std::string& error);

// Unloads a module by file name (a path is reduced to its file name; letter case ignored):
// kUnloadAppMsg, DllMain with DLL_PROCESS_DETACH, close. Refused when the module is not
// loaded or its code is running (the caller itself, say), and (unless `force`) when it is
// locked or answers kUnloadAppMsg with kRetError.
// Reactors hear rxAppWillBeUnloaded, then rxAppUnloaded or rxAppUnloadAborted.
bool unloadApplication(std::string_view name, std::string& error, bool force = false);

// The end of a session: unloads every module, newest first, locked or not, whatever it
// answers (except one whose code is running).
void unloadAllApplications();

std::vector<LoadedApp> loadedApplications();

// The reason the last failed load or unload gave (the dynamic linker's loadModule and
// unloadModule report only true or false).
std::string lastLoaderError();

// Sends an application message to a loaded module; kRetError for an unknown app id.
// An exception from the module is caught and gives kRetError.
AcRx::AppRetCode sendAppMessage(void* appId, AcRx::AppMsgCode msg, void* pkt);

// The module whose entry point or DllMain is running (the innermost one), or null.
void* currentApplication();

// The application id of a loaded module by file name; null when it is not loaded.
void* applicationId(std::string_view name);

}  // namespace contura::rx
