// Creating an empty section library file.
#include <contura/dao/library_file.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "sqlite_support.h"

namespace contura::dao {
namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as for any new file

// The table of a section library. Id is assigned by the database on insert;
// AUTOINCREMENT makes every new Id larger than any the table ever held, so a deleted
// section's Id is never handed to a new one.
constexpr const char* kSchema =
    "CREATE TABLE SectionInfo ("
    "Id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Type INTEGER, "
    "GroupSec INTEGER, "
    "Name TEXT, "
    "SectionInfo TEXT, "
    "Remark TEXT)";

// The rollback journal rather than write-ahead logging: the library stays one
// self-contained file (no -wal/-shm companions that must travel with it), it works on
// network shares, and its few, small writes gain nothing from WAL's concurrency.
constexpr const char* kJournal = "PRAGMA journal_mode=DELETE";

bool fail(std::string& error, const std::filesystem::path& file, const std::string& why) {
  error = "cannot create the section library " + file.string() + ": " + why;
  return false;
}

}  // namespace

bool createLibraryFile(const std::filesystem::path& file, std::string& error) {
  // O_EXCL claims the name atomically: whatever exists there, even a dangling link, is
  // never touched, and two creators racing cannot both succeed.
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
  if (fd < 0) {
    if (errno == EEXIST) return fail(error, file, "a file with that name already exists; it was left as it is");
    return fail(error, file, std::strerror(errno));
  }
  ::close(fd);

  // SQLite takes an empty file for an empty database.
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  SqliteHandle db(raw);
  std::string why;
  if (rc == SQLITE_OK) rc = sqlite3_exec(db.get(), kJournal, nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db.get(), kSchema, nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) return true;
  why = db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc);
  db.reset();
  std::error_code ec;
  std::filesystem::remove(file, ec);  // the file is ours: created above
  return fail(error, file, "SQLite: " + why);
}

}  // namespace contura::dao
