// The options --new-library and --copy-library: resolving where a library is, creating one
// and copying one into another.
#include "new_library.h"

#include <contura/dao/library_file.h>
#include <contura/os/codepage.h>
#include <contura/os/paths.h>

#include <filesystem>
#include <system_error>

namespace contura::host {
namespace {

bool startsWithDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// A library as the DAO layer takes it: a server address as given, a Windows path through the
// drive map, anything else as a native path. Throws os::PathError.
std::string resolved(const std::string& library) {
  if (dao::isServerAddress(library) || !startsWithDrive(library)) return library;
  return os::toNativePath(os::utf8ToCp936(library)).string();
}

std::string shown(const std::string& library) {
  return dao::isServerAddress(library) ? dao::withoutPassword(library) : library;
}

}  // namespace

bool createNewLibrary(const std::string& target, std::ostream& out, std::ostream& err) {
  std::string where;
  try {
    where = resolved(target);
  } catch (const os::PathError& e) {
    err << "contura: --new-library: " << e.what() << "\n";
    return false;
  }
  const std::filesystem::path file(where);
  std::error_code ec;
  if (!dao::isServerAddress(where) && file.has_parent_path() && !std::filesystem::exists(file.parent_path(), ec)) {
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
      err << "contura: --new-library: cannot make the folder '" << file.parent_path().string()
          << "': " << ec.message() << "\n";
      return false;
    }
  }
  std::string error;
  if (!dao::createLibrary(where, error)) {
    err << "contura: --new-library: " << error << "\n";
    return false;
  }
  out << "contura: created the empty section library '" << shown(where) << "'\n";
  return true;
}

bool copyLibraries(const std::string& from, const std::string& to, std::ostream& out, std::ostream& err) {
  std::string source, target;
  try {
    source = resolved(from);
    target = resolved(to);
  } catch (const os::PathError& e) {
    err << "contura: --copy-library: " << e.what() << "\n";
    return false;
  }
  long copied = 0;
  std::string error;
  if (!dao::copyLibrary(source, target, copied, error)) {
    err << "contura: --copy-library: " << error << "\n";
    return false;
  }
  out << "contura: copied " << copied << " sections from '" << shown(source) << "' to '" << shown(target) << "'\n";
  return true;
}

}  // namespace contura::host
