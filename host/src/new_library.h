// The option --new-library: making an empty section library file.
#pragma once
#include <ostream>
#include <string>

namespace contura::host {

// Creates an empty section library (table SectionInfo) at `file`: a Windows path such as
// "E:\_Velmora\vlmr\Support\SectionLib.mdb" goes through the drive map (folders matched
// ignoring letter case), anything else is a native path. Missing folders are made. An
// existing file is never overwritten. Reports the created file on `out`, or one line naming
// the file and the cause on `err`; returns true on success.
bool createNewLibrary(const std::string& file, std::ostream& out, std::ostream& err);

}  // namespace contura::host
