// The options --new-library and --copy-library: making an empty section library, and copying
// one library into another.
#pragma once
#include <ostream>
#include <string>

namespace contura::host {

// Creates an empty section library (table SectionInfo) at `target`: a server address
// ("postgresql://...", the table in that existing database), a Windows path such as
// "E:\_Velmora\vlmr\Support\SectionLib.mdb" through the drive map (folders matched ignoring
// letter case), or else a native path. Missing folders are made. An existing file or table is
// never overwritten. Reports what was created on `out`, or one line naming the library and the
// cause on `err`; returns true on success. A password in an address is never printed.
bool createNewLibrary(const std::string& target, std::ostream& out, std::ostream& err);

// Copies every section of library `from` into the empty library `to` (each a server address,
// a Windows path through the drive map or a native path), keeping keys. Reports the number
// of sections copied on `out`, or one line naming the cause on `err`; true on success.
bool copyLibraries(const std::string& from, const std::string& to, std::ostream& out, std::ostream& err);

}  // namespace contura::host
