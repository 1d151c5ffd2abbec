// The dynamic linker and the module loader behind it.
#include <contura/os/module.h>
#include <contura/rx/app_loader.h>
#include <rxregsvc.h>

#include <afxstr.h>

#include <algorithm>
#include <exception>
#include <memory>

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxDLinkerReactor, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcRxDynamicLinker, AcRxObject)

namespace contura::rx {
namespace {

using EntryPoint = AcRx::AppRetCode (*)(AcRx::AppMsgCode, void*);
using DllEntry = BOOL (*)(HINSTANCE, DWORD, LPVOID);

struct AppRecord {
  std::string name;
  std::unique_ptr<os::Module> module;
  EntryPoint entry = nullptr;
  DllEntry dllMain = nullptr;
  bool locked = true;  // applications start locked and not MDI-aware
  bool mdiAware = false;
};

struct Loader {
  std::vector<std::unique_ptr<AppRecord>> apps;  // in load order
  std::vector<AppRecord*> running;               // modules whose code is running, innermost last
  std::string lastError;
};

// Never destroyed: modules still loaded at exit stay mapped rather than being closed while
// other libraries' static objects may still point into them.
Loader& loader() {
  static Loader* instance = new Loader;
  return *instance;
}

bool sameName(std::string_view a, std::string_view b) {
  return _mbsicmp(reinterpret_cast<const unsigned char*>(std::string(a).c_str()),
                  reinterpret_cast<const unsigned char*>(std::string(b).c_str())) == 0;
}

std::string fileNameOf(std::string_view name) {
  return std::filesystem::path(std::string(name)).filename().string();
}

AppRecord* findByName(std::string_view name) {
  std::string file = fileNameOf(name);
  for (auto& app : loader().apps)
    if (sameName(app->name, file)) return app.get();
  return nullptr;
}

AppRecord* findById(void* appId) {
  for (auto& app : loader().apps)
    if (app.get() == appId) return app.get();
  return nullptr;
}

// Tells every reactor of the dynamic linker (a copy of the list: a reactor may remove itself).
void notify(void (AcRxDLinkerReactor::*event)(const ACHAR*), const std::string& name) {
  AcRxDynamicLinker* linker = acrxDynamicLinker;
  if (linker == nullptr) return;
  std::vector<AcRxDLinkerReactor*> reactors = linker->reactors();
  for (AcRxDLinkerReactor* r : reactors) (r->*event)(name.c_str());
}

// Marks a module as running for the duration of a call into it.
class Running {
public:
  explicit Running(AppRecord* app) { loader().running.push_back(app); }
  ~Running() { loader().running.pop_back(); }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;
};

AcRx::AppRetCode callEntry(AppRecord* app, AcRx::AppMsgCode msg, void* pkt) {
  Running running(app);
  try {
    return app->entry(msg, pkt);
  } catch (...) {
    return AcRx::kRetError;
  }
}

BOOL callDllMain(AppRecord* app, DWORD reason) {
  if (app->dllMain == nullptr) return TRUE;
  Running running(app);
  try {
    return app->dllMain(app->module->handle(), reason, nullptr);
  } catch (...) {
    return FALSE;
  }
}

void removeRecord(AppRecord* app) {
  auto& apps = loader().apps;
  apps.erase(std::find_if(apps.begin(), apps.end(), [app](const auto& a) { return a.get() == app; }));
}

bool fail(std::string& error, std::string message) {
  error = std::move(message);
  loader().lastError = error;
  return false;
}

}  // namespace

bool loadApplication(const std::filesystem::path& file, std::string& error) {
  std::string name = file.filename().string();
  if (name.empty()) return fail(error, "cannot load a module from '" + file.string() + "': no file name");
  if (findByName(name) != nullptr) return fail(error, "module " + name + " is loaded already");

  notify(&AcRxDLinkerReactor::rxAppWillBeLoaded, name);
  auto abort = [&](std::string message) {
    notify(&AcRxDLinkerReactor::rxAppLoadAborted, name);
    return fail(error, std::move(message));
  };

  std::string loadError;
  std::unique_ptr<os::Module> module = os::Module::load(file, loadError);
  if (module == nullptr) return abort(loadError);  // the loader names the file and the reason

  auto record = std::make_unique<AppRecord>();
  record->name = name;
  record->entry = reinterpret_cast<EntryPoint>(module->symbol("acrxEntryPoint"));
  record->dllMain = reinterpret_cast<DllEntry>(module->symbol("DllMain"));
  record->module = std::move(module);
  if (record->entry == nullptr)
    return abort(file.string() + " is not an application module: it exports no acrxEntryPoint");

  AppRecord* app = record.get();
  loader().apps.push_back(std::move(record));
  if (!callDllMain(app, DLL_PROCESS_ATTACH)) {
    callDllMain(app, DLL_PROCESS_DETACH);
    removeRecord(app);
    return abort("module " + name + " refused to attach (DllMain returned FALSE)");
  }
  if (callEntry(app, AcRx::kInitAppMsg, app) != AcRx::kRetOK) {
    callDllMain(app, DLL_PROCESS_DETACH);
    removeRecord(app);
    return abort("module " + name + " failed to initialise (kInitAppMsg was refused)");
  }
  notify(&AcRxDLinkerReactor::rxAppLoaded, name);
  return true;
}

bool unloadApplication(std::string_view name, std::string& error, bool force) {
  AppRecord* app = findByName(name);
  if (app == nullptr) return fail(error, "module " + fileNameOf(name) + " is not loaded");
  std::string appName = app->name;
  const auto& running = loader().running;
  if (std::find(running.begin(), running.end(), app) != running.end())
    return fail(error, "module " + appName + " is running and cannot be unloaded now");
  if (app->locked && !force) return fail(error, "module " + appName + " is locked and cannot be unloaded");

  notify(&AcRxDLinkerReactor::rxAppWillBeUnloaded, appName);
  if (callEntry(app, AcRx::kUnloadAppMsg, app) != AcRx::kRetOK && !force) {
    notify(&AcRxDLinkerReactor::rxAppUnloadAborted, appName);
    return fail(error, "module " + appName + " refused to unload");
  }
  callDllMain(app, DLL_PROCESS_DETACH);
  removeRecord(app);
  notify(&AcRxDLinkerReactor::rxAppUnloaded, appName);
  return true;
}

void unloadAllApplications() {
  std::vector<std::string> names;
  for (const auto& app : loader().apps) names.push_back(app->name);
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    std::string error;
    unloadApplication(*name, error, /*force=*/true);
  }
}

std::vector<LoadedApp> loadedApplications() {
  std::vector<LoadedApp> result;
  for (const auto& app : loader().apps)
    result.push_back(LoadedApp{app->name, app->module->path(), app->module->handle(), app.get(),
                               app->locked, app->mdiAware});
  return result;
}

std::string lastLoaderError() { return loader().lastError; }

AcRx::AppRetCode sendAppMessage(void* appId, AcRx::AppMsgCode msg, void* pkt) {
  AppRecord* app = findById(appId);
  return app != nullptr ? callEntry(app, msg, pkt) : AcRx::kRetError;
}

void* currentApplication() {
  return loader().running.empty() ? nullptr : loader().running.back();
}

void* applicationId(std::string_view name) { return findByName(name); }

// Access for the dynamic linker's members below.
namespace {
AppRecord* record(void* appId) { return findById(appId); }
AppRecord* record(const ACHAR* name) { return name != nullptr ? findByName(name) : nullptr; }
}  // namespace

}  // namespace contura::rx

// ---- AcRxDLinkerReactor: every notification is optional

void AcRxDLinkerReactor::rxAppWillBeLoaded(const ACHAR*) {}
void AcRxDLinkerReactor::rxAppLoaded(const ACHAR*) {}
void AcRxDLinkerReactor::rxAppLoadAborted(const ACHAR*) {}
void AcRxDLinkerReactor::rxAppWillBeUnloaded(const ACHAR*) {}
void AcRxDLinkerReactor::rxAppUnloaded(const ACHAR*) {}
void AcRxDLinkerReactor::rxAppUnloadAborted(const ACHAR*) {}

// ---- AcRxDynamicLinker

AcRxDynamicLinker::AcRxDynamicLinker() = default;
AcRxDynamicLinker::~AcRxDynamicLinker() = default;

bool AcRxDynamicLinker::loadModule(const ACHAR* fileName, bool, bool) {
  if (fileName == nullptr) return false;
  std::string error;
  return contura::rx::loadApplication(fileName, error);
}

bool AcRxDynamicLinker::unloadModule(const ACHAR* fileName, bool) {
  if (fileName == nullptr) return false;
  std::string error;
  return contura::rx::unloadApplication(fileName, error);
}

namespace {
// Sets one flag of a loaded module; false for an unknown id.
bool setFlag(void* appId, bool contura::rx::AppRecord::*flag, bool value) {
  contura::rx::AppRecord* app = contura::rx::record(appId);
  if (app == nullptr) return false;
  app->*flag = value;
  return true;
}
}  // namespace

bool AcRxDynamicLinker::unlockApplication(void* appId) const {
  return setFlag(appId, &contura::rx::AppRecord::locked, false);
}
bool AcRxDynamicLinker::lockApplication(void* appId) const {
  return setFlag(appId, &contura::rx::AppRecord::locked, true);
}
bool AcRxDynamicLinker::registerAppMDIAware(void* appId) const {
  return setFlag(appId, &contura::rx::AppRecord::mdiAware, true);
}
bool AcRxDynamicLinker::registerAppNotMDIAware(void* appId) const {
  return setFlag(appId, &contura::rx::AppRecord::mdiAware, false);
}

bool AcRxDynamicLinker::isApplicationLocked(const ACHAR* moduleName) const {
  contura::rx::AppRecord* app = contura::rx::record(moduleName);
  return app != nullptr && app->locked;
}

bool AcRxDynamicLinker::isAppMDIAware(const ACHAR* moduleName) const {
  contura::rx::AppRecord* app = contura::rx::record(moduleName);
  return app != nullptr && app->mdiAware;
}

bool AcRxDynamicLinker::isModuleLoaded(const ACHAR* moduleName) const {
  return contura::rx::record(moduleName) != nullptr;
}

void AcRxDynamicLinker::addReactor(AcRxDLinkerReactor* pReactor) {
  if (pReactor != nullptr && std::find(m_reactors.begin(), m_reactors.end(), pReactor) == m_reactors.end())
    m_reactors.push_back(pReactor);
}

void AcRxDynamicLinker::removeReactor(AcRxDLinkerReactor* pReactor) {
  m_reactors.erase(std::remove(m_reactors.begin(), m_reactors.end(), pReactor), m_reactors.end());
}

// ---- global forms

bool acrxLoadModule(const ACHAR* moduleName, bool printit, bool asThisUser) {
  return acrxDynamicLinker->loadModule(moduleName, printit, asThisUser);
}
bool acrxUnloadModule(const ACHAR* moduleName, bool printit) {
  return acrxDynamicLinker->unloadModule(moduleName, printit);
}
bool acrxUnlockApplication(void* appId) { return acrxDynamicLinker->unlockApplication(appId); }
bool acrxLockApplication(void* appId) { return acrxDynamicLinker->lockApplication(appId); }
bool acrxApplicationIsLocked(const ACHAR* modulename) {
  return acrxDynamicLinker->isApplicationLocked(modulename);
}
bool acrxRegisterAppMDIAware(void* appId) { return acrxDynamicLinker->registerAppMDIAware(appId); }
bool acrxRegisterAppNotMDIAware(void* appId) {
  return acrxDynamicLinker->registerAppNotMDIAware(appId);
}
bool acrxIsAppMDIAware(const ACHAR* moduleName) { return acrxDynamicLinker->isAppMDIAware(moduleName); }
