// The dynamic linker: loads and unloads application modules, keeps whether each may be
// unloaded (locked) and whether it runs with several drawings open (MDI-aware), and tells
// its reactors about every load and unload.
#pragma once
#include <rxobject.h>

#include <vector>

#define ACRX_DYNAMIC_LINKER ACRX_T("DynamicLinker")

// Observer of module loads and unloads; every notification has an empty default. The module
// name is the module's file name (no folder).
class AcRxDLinkerReactor : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(AcRxDLinkerReactor);
  virtual void rxAppWillBeLoaded(const ACHAR* moduleName);
  virtual void rxAppLoaded(const ACHAR* moduleName);
  virtual void rxAppLoadAborted(const ACHAR* moduleName);
  virtual void rxAppWillBeUnloaded(const ACHAR* moduleName);
  virtual void rxAppUnloaded(const ACHAR* moduleName);
  virtual void rxAppUnloadAborted(const ACHAR* moduleName);
};

class AcRxDynamicLinker : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(AcRxDynamicLinker);
  AcRxDynamicLinker();
  ~AcRxDynamicLinker() override;
  AcRxDynamicLinker(const AcRxDynamicLinker&) = delete;
  AcRxDynamicLinker& operator=(const AcRxDynamicLinker&) = delete;

  // Loads a module: opens the file, runs its DllMain process attach when it exports one,
  // registers it (locked, not MDI-aware) and sends it kInitAppMsg with its application id.
  // False when the file cannot be opened, exports no acrxEntryPoint, is loaded already, or
  // answers kInitAppMsg with kRetError; every step done is then undone. The reason is kept
  // for the host (contura::rx::lastLoaderError); printit is not used, the host prints it.
  bool loadModule(const ACHAR* fileName, bool printit, bool asThisUser = false);
  // Unloads a loaded module by file name (with or without folder, letter case ignored):
  // kUnloadAppMsg, then DllMain process detach, then close. False when the module is not
  // loaded, is locked, or answers kUnloadAppMsg with kRetError.
  bool unloadModule(const ACHAR* fileName, bool printit);

  // Application ids are the values sent with kInitAppMsg. False for an unknown id.
  bool unlockApplication(void* appId) const;
  bool lockApplication(void* appId) const;
  bool registerAppMDIAware(void* appId) const;
  bool registerAppNotMDIAware(void* appId) const;
  // By module file name; false when the module is not loaded.
  bool isApplicationLocked(const ACHAR* moduleName) const;
  bool isAppMDIAware(const ACHAR* moduleName) const;
  bool isModuleLoaded(const ACHAR* moduleName) const;

  // Reactors are not owned; remove one before deleting it.
  void addReactor(AcRxDLinkerReactor* pReactor);
  void removeReactor(AcRxDLinkerReactor* pReactor);

  // For the loader: every reactor, in the order added.
  const std::vector<AcRxDLinkerReactor*>& reactors() const { return m_reactors; }

private:
  std::vector<AcRxDLinkerReactor*> m_reactors;
};

// The dynamic linker of the system registry.
#define acrxDynamicLinker AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER))
