// Module loading over the dynamic loader (dlopen/dlsym) with GetProcAddress-like lookup.
#include "contura/os/module.h"

#include <dlfcn.h>
#include <link.h>

#include <system_error>

namespace contura::os {

namespace {

void* raw(HINSTANCE h) { return reinterpret_cast<void*>(h); }

// The loader's last error as text, or `fallback` when it recorded none.
std::string loaderError(const char* fallback) {
  const char* text = dlerror();
  return text ? std::string(text) : std::string(fallback);
}

}  // namespace

Module::Module(HINSTANCE handle, std::filesystem::path path)
    : handle_(handle), path_(std::move(path)) {}

Module::~Module() { dlclose(raw(handle_)); }

std::unique_ptr<Module> Module::load(const std::filesystem::path& file, std::string& error) {
  error.clear();
  if (file.empty()) {
    error = "cannot load a module: no file name given";
    return nullptr;
  }
  // An absolute path keeps dlopen from searching the library path for a bare file name.
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(file, ec);
  if (ec) {
    error = "cannot load module " + file.string() + ": " + ec.message();
    return nullptr;
  }
  full = full.lexically_normal();
  dlerror();  // forget any earlier error so the text below belongs to this call
  void* h = dlopen(full.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    error = "cannot load module " + full.string() + ": " + loaderError("unknown loader error");
    return nullptr;
  }
  return std::unique_ptr<Module>(new Module(reinterpret_cast<HINSTANCE>(h), std::move(full)));
}

void* Module::symbol(const char* name) const { return findSymbol(handle_, name); }

void* findSymbol(HINSTANCE module, const char* name) {
  if (!module || !name) return nullptr;
  dlerror();
  void* address = dlsym(raw(module), name);
  if (!address) return nullptr;
  // dlsym also searches the module's dependencies; keep only what the module defines itself.
  link_map* own = nullptr;
  if (dlinfo(raw(module), RTLD_DI_LINKMAP, &own) != 0 || !own) return nullptr;
  Dl_info info;
  link_map* definer = nullptr;
  if (dladdr1(address, &info, reinterpret_cast<void**>(&definer), RTLD_DL_LINKMAP) == 0) return nullptr;
  return definer == own ? address : nullptr;
}

HINSTANCE mainProgramHandle() {
  // dlopen(NULL) never fails and refers to the executable for the life of the process.
  static const HINSTANCE handle = reinterpret_cast<HINSTANCE>(dlopen(nullptr, RTLD_NOW));
  return handle;
}

}  // namespace contura::os
