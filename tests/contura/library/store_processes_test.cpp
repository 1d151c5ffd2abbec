// Programs adding and deleting sections in one library, killed at any moment, leave only
// whole rows behind, each under the key its program was given. (Programs that run to their
// end each deleting their own rows are an end-to-end library run.)
#include "SectionLibStore.h"

#include <dabrel.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <vector>

#include "library_fixture.h"

namespace {

// The record an adder writes for the name "<tag>-<n>", so that a row can be checked whole.
CSectionLibRecord* recordFor(const std::string& name, int n) {
  auto* rec = new CSectionLibRecord;
  rec->m_nType = n % 40 + 1;
  rec->m_nGroupSec = n % 10 + 1;
  rec->m_strName = name.c_str();
  rec->m_strSectionInfo = ("[SecType]\nName=" + name + "\n[Line]\nPoint=0,0;" + std::to_string(n) + ",1\n").c_str();
  rec->m_strRemark = ("备注 " + name).c_str();
  return rec;
}

void logLine(int fd, const std::string& line) {
  const std::string text = line + "\n";
  if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) _exit(3);
}

// Adds a section and deletes it again until killed, through a store of its own, as the
// library dialog does. Logs "added NAME KEY" and "deleted NAME" once each step has returned.
[[noreturn]] void addThenDelete(const CString& path, const std::string& tag, int logFd) {
  CSectionLibStore store(path);
  for (int n = 0;; ++n) {
    const std::string name = tag + "-" + std::to_string(n);
    CSectionLibRecord* rec = recordFor(name, n);
    if (store.Add(rec) != 0) {
      delete rec;
      continue;
    }
    logLine(logFd, "added " + name + " " + std::to_string(rec->m_nId));
    if (store.Delete(rec) == 0) logLine(logFd, "deleted " + name);
  }
}

pid_t startAdder(const CString& path, const std::string& tag, const fs::path& log) {
  const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  pid_t pid = fork();
  if (pid == 0) addThenDelete(path, tag, fd);
  close(fd);
  return pid;
}

// What the adders logged: the key each name was given, and the names they deleted.
struct Logs {
  std::map<std::string, long> keys;
  std::set<std::string> deleted;
};

Logs readLogs(const std::vector<fs::path>& files) {
  Logs logs;
  for (const fs::path& file : files) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line);
      std::string step, name;
      long key = 0;
      words >> step >> name >> key;
      if (step == "added") logs.keys[name] = key;
      else if (step == "deleted") logs.deleted.insert(name);
    }
  }
  return logs;
}

struct Row {
  long id = 0;
  CSectionLibRecord fields;
};

std::vector<Row> tableRows(const CString& path) {
  CSectionLibStore store(path);
  EXPECT_EQ(store.Load(), 0) << store.m_strError.GetString();
  std::vector<Row> rows;
  for (int i = 0; i < store.GetCount(); ++i) rows.push_back({store.GetAt(i)->m_nId, *store.GetAt(i)});
  return rows;
}

std::string integrity(const CString& path) {
  CString error, verdict;
  CDaoDatabase db;
  CDaoRecordset rs;
  if (OpenDatabase(error, db, path) != 0 || OpenRecordset(error, rs, db, "PRAGMA integrity_check") != 0 ||
      GetValueFromRecordset(error, verdict, "integrity_check", rs) != 0)
    return error.str();
  return verdict.str();
}

void reap(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
}

}  // namespace

TEST_F(LibraryTest, AddersKilledAtRandomLeaveOnlyWholeRowsOfUndeletedSections) {
  constexpr int kRounds = 20, kAdders = 2;
  std::mt19937 random(20261206);
  std::uniform_int_distribution<int> lifeMs(5, 60);
  std::vector<fs::path> logs;
  for (int round = 0; round < kRounds; ++round) {
    std::vector<pid_t> adders;
    for (int a = 0; a < kAdders; ++a) {
      const std::string tag = "r" + std::to_string(round) + "a" + std::to_string(a);
      logs.push_back(dir_ / (tag + ".log"));
      adders.push_back(startAdder(path(), tag, logs.back()));
    }
    usleep(static_cast<useconds_t>(lifeMs(random) * 1000));
    for (pid_t pid : adders) kill(pid, SIGKILL);
    for (pid_t pid : adders) reap(pid);

    ASSERT_EQ(integrity(path()), "ok") << "round " << round;
    const Logs done = readLogs(logs);
    for (const Row& row : tableRows(path())) {
      const std::string name = row.fields.m_strName.str();
      const int n = std::stoi(name.substr(name.find('-') + 1));
      std::unique_ptr<CSectionLibRecord> expected(recordFor(name, n));
      EXPECT_EQ(row.fields.m_nType, expected->m_nType) << name;
      EXPECT_EQ(row.fields.m_nGroupSec, expected->m_nGroupSec) << name;
      EXPECT_EQ(row.fields.m_strSectionInfo, expected->m_strSectionInfo) << name;
      EXPECT_EQ(row.fields.m_strRemark, expected->m_strRemark) << name;
      EXPECT_FALSE(done.deleted.count(name)) << name << " was deleted by its owner, yet its row is left";
      if (auto key = done.keys.find(name); key != done.keys.end()) {
        EXPECT_EQ(key->second, row.id) << name;
      }
    }
  }
  EXPECT_FALSE(readLogs(logs).deleted.empty()) << "the adders were killed before they got going";
}
