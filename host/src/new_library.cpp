// The option --new-library: resolving the path and creating the library file.
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

}  // namespace

bool createNewLibrary(const std::string& file, std::ostream& out, std::ostream& err) {
  std::filesystem::path target;
  try {
    target = startsWithDrive(file) ? os::toNativePath(os::utf8ToCp936(file)) : std::filesystem::path(file);
  } catch (const os::PathError& e) {
    err << "contura: --new-library: " << e.what() << "\n";
    return false;
  }
  std::error_code ec;
  if (target.has_parent_path() && !std::filesystem::exists(target.parent_path(), ec)) {
    std::filesystem::create_directories(target.parent_path(), ec);
    if (ec) {
      err << "contura: --new-library: cannot make the folder '" << target.parent_path().string()
          << "': " << ec.message() << "\n";
      return false;
    }
  }
  std::string error;
  if (!dao::createLibraryFile(target, error)) {
    err << "contura: --new-library: " << error << "\n";
    return false;
  }
  out << "contura: created the empty section library '" << target.string() << "'\n";
  return true;
}

}  // namespace contura::host
