// Loading shared objects (modules such as Contura.arx) and finding the symbols they export.
#pragma once
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>

namespace contura::os {

// One loaded shared object. The handle it gives out is the module's HINSTANCE: the afx
// layer finds the module's resources through it and the host passes it to DllMain.
// Loading the same file twice gives two objects with the same handle; the file stays
// loaded until both are destroyed.
class Module {
public:
  // Loads `file` with every symbol bound at once and none made visible to later loads.
  // `file` is a path, never searched for: a relative path is taken against the current
  // folder. On failure returns null and sets `error` to the loader's reason (missing file,
  // not a shared object, unresolved symbol, ...), naming the file.
  static std::unique_ptr<Module> load(const std::filesystem::path& file, std::string& error);

  ~Module();  // unloads (the last owner of a handle unmaps the file)
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  // The address of `name` when this module itself defines and exports it, else null.
  void* symbol(const char* name) const;
  HINSTANCE handle() const { return handle_; }
  // The absolute path the module was loaded from.
  const std::filesystem::path& path() const { return path_; }

private:
  Module(HINSTANCE handle, std::filesystem::path path);
  HINSTANCE handle_;
  std::filesystem::path path_;
};

// The address of `name` when the module `module` itself defines and exports it, else null,
// as GetProcAddress: a symbol that only one of the module's dependencies defines is not
// found. `module` is a handle from Module::load or mainProgramHandle(); null gives null.
// The main program exports its symbols only when linked with them exported (-rdynamic).
void* findSymbol(HINSTANCE module, const char* name);

// The handle of the running program itself (its executable).
HINSTANCE mainProgramHandle();

}  // namespace contura::os
