// Section library files: creating an empty one, and how long a busy library is waited for.
#pragma once
#include <filesystem>
#include <string>

namespace contura::dao {

// Creates a new, empty section library at `file` (a native path; its folder must exist):
// an SQLite database with the table
//   SectionInfo (Id INTEGER PRIMARY KEY AUTOINCREMENT, Type INTEGER, GroupSec INTEGER,
//                Name TEXT, SectionInfo TEXT, Remark TEXT)
// whose Id the database assigns, always larger than any Id the table ever held.
// Never overwrites: when anything exists at `file`, returns false and leaves it untouched.
// On failure returns false with `error` set to one UTF-8 sentence, and leaves no file behind.
bool createLibraryFile(const std::filesystem::path& file, std::string& error);

// How long, in milliseconds, CDaoDatabase waits for a library that another connection is
// writing before it gives up (10000 unless changed; negative values count as 0). Applies to
// databases opened after the change. (<chrono> cannot be compiled with the CP936 execution
// character set, hence plain milliseconds.)
void setBusyTimeoutMs(long long milliseconds);
long long busyTimeoutMs();

}  // namespace contura::dao
