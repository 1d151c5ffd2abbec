// Creating an empty section library, and copying one library into another.
#include <contura/dao/library_file.h>
#include <contura/os/codepage.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <afxdao.h>

#include "pg_support.h"
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

bool createLibrary(const std::string& target, std::string& error) {
  return isServerAddress(target) ? createServerLibrary(target, error) : createLibraryFile(target, error);
}

namespace {

constexpr const char* kCopiedTable = "SectionInfo";
constexpr const char* kCopiedColumns = "Id,Type,GroupSec,Name,SectionInfo,Remark";

std::unique_ptr<Connection> openForCopy(const std::string& target, bool readOnly) {
  const std::string shown = "'" + (isServerAddress(target) ? withoutPassword(target) : target) + "'";
  return isServerAddress(target) ? openServerLibrary(target, shown, readOnly)
                                 : openLibraryFile(target, shown, false, readOnly);
}

// A cell as a Jet literal (text in single quotes, a quote doubled).
std::string literal(const Cell& cell) {
  if (const auto* i = std::get_if<std::int64_t>(&cell)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&cell)) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", *d);
    return buf;
  }
  const std::string* text = std::get_if<std::string>(&cell);
  if (const auto* bytes = std::get_if<Bytes>(&cell)) text = &bytes->data;
  if (!text) return "NULL";
  std::string out = "'";
  for (char c : *text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

void copyRows(Connection& source, Connection& target, long& copied) {
  const ResultRows rows =
      source.query(std::string("select ") + kCopiedColumns + " from " + kCopiedTable + " order by Id", true);
  const std::int64_t counter = source.keyCounter(kCopiedTable);
  target.inTransaction([&] {
    const ResultRows present = target.query(std::string("select count(*) from ") + kCopiedTable);
    if (present.cells.empty() || present.cells[0] != Cell(std::int64_t{0}))
      throw std::runtime_error("the target library already holds sections; nothing was copied");
    const std::size_t columns = rows.columns.size();
    const StatementShape insert{StatementKind::Insert, kCopiedTable, false};
    for (long r = 0; r < rows.rowCount; ++r) {
      std::string sql = std::string("insert into ") + kCopiedTable + " (" + kCopiedColumns + ") values (";
      for (std::size_t c = 0; c < columns; ++c) {
        if (c > 0) sql += ',';
        sql += literal(rows.cells[static_cast<std::size_t>(r) * columns + c]);
      }
      target.execute(sql + ")", insert, false);
    }
    target.setKeyCounter(kCopiedTable, counter);
  });
  copied = rows.rowCount;
}

}  // namespace

bool copyLibrary(const std::string& from, const std::string& to, long& copied, std::string& error) {
  copied = 0;
  try {
    std::unique_ptr<Connection> source = openForCopy(from, true);
    std::unique_ptr<Connection> target = openForCopy(to, false);
    copyRows(*source, *target, copied);
    return true;
  } catch (CDaoException* e) {
    error = os::cp936ToUtf8(e->m_pErrorInfo ? e->m_pErrorInfo->m_strDescription.str() : "DAO error");
    e->Delete();
  } catch (const std::exception& e) {
    error = e.what();
  }
  copied = 0;
  return false;
}

}  // namespace contura::dao
