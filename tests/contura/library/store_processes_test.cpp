// Programs adding and deleting sections in one library, killed at any moment, leave only
// whole rows behind, each under the key its program was given. Four programs adding 250
// sections each at once, to the module's library led to a server library and to a file, each
// get their own rows' keys; with the server restarted in the middle, every add that failed was
// said and left no row. (Programs that run to their end each deleting their own rows are an
// end-to-end library run.)
#include "SectionLibStore.h"

#include <contura/dao/library_file.h>
#include <dabrel.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
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

// What the adders logged: the key each name was given, the names they deleted, the names
// whose add failed, how many of those failures nobody was told of, and whether an adder added
// again after a failure.
struct Logs {
  std::map<std::string, long> keys;
  std::set<std::string> deleted;
  std::set<std::string> failed;
  int silent = 0;
  bool resumed = false;
};

Logs readLogs(const std::vector<fs::path>& files) {
  Logs logs;
  for (const fs::path& file : files) {
    std::ifstream in(file);
    bool failedBefore = false;
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line);
      std::string step, name, rest;
      words >> step >> name >> rest;
      logs.resumed = logs.resumed || (failedBefore && step == "added");
      failedBefore = failedBefore || step == "failed";
      if (step == "added") logs.keys[name] = std::stol(rest);
      else if (step == "deleted") logs.deleted.insert(name);
      else if (step == "failed") {
        logs.failed.insert(name);
        logs.silent += rest != "said";
      }
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

int reap(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Checks that `row` is the whole row its adder wrote, and under the key the adder was given.
void expectWholeAndOwnKey(const Row& row, const Logs& done) {
  const std::string name = row.fields.m_strName.str();
  const int n = std::stoi(name.substr(name.find('-') + 1));
  std::unique_ptr<CSectionLibRecord> expected(recordFor(name, n));
  EXPECT_EQ(row.fields.m_nType, expected->m_nType) << name;
  EXPECT_EQ(row.fields.m_nGroupSec, expected->m_nGroupSec) << name;
  EXPECT_EQ(row.fields.m_strSectionInfo, expected->m_strSectionInfo) << name;
  EXPECT_EQ(row.fields.m_strRemark, expected->m_strRemark) << name;
  if (auto key = done.keys.find(name); key != done.keys.end()) {
    EXPECT_EQ(key->second, row.id) << name << " got another row's key";
  }
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
      expectWholeAndOwnKey(row, done);
      EXPECT_FALSE(done.deleted.count(row.fields.m_strName.str()))
          << row.fields.m_strName.str() << " was deleted by its owner, yet its row is left";
    }
  }
  EXPECT_FALSE(readLogs(logs).deleted.empty()) << "the adders were killed before they got going";
}

namespace {

constexpr int kAdders = 4;
constexpr int kAddsEach = 250;
constexpr int kSkipped = 77;  // what the server script returns when PostgreSQL is missing
constexpr useconds_t kRetryPauseMicroseconds = 50000;  // an adder's pause after a failed add
constexpr const char* kModulePath = "E:\\_Velmora\\vlmr\\Support\\SectionLib.mdb";

std::string serverScript() { return "bash " + std::string(CONTURA_SOURCE_DIR) + "/tests/pg/pg_server.sh"; }

std::string output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buf[512];
    while (fgets(buf, sizeof buf, pipe)) text += buf;
    pclose(pipe);
  }
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// Adds kAddsEach sections through a store of its own on the module's path, as the library
// dialog does, logging "added NAME KEY", or "failed NAME said|silent" by whether the failure
// was said on the command line.
[[noreturn]] void addSections(const std::string& tag, int logFd) {
  int said = 0;
  contura::dao::setErrorReporter([&said](std::string_view) { ++said; });
  CSectionLibStore store(kModulePath);
  for (int n = 0; n < kAddsEach; ++n) {
    const std::string name = tag + "-" + std::to_string(n);
    CSectionLibRecord* rec = recordFor(name, n);
    const int saidBefore = said;
    if (store.Add(rec) == 0) {
      logLine(logFd, "added " + name + " " + std::to_string(rec->m_nId));
    } else {
      logLine(logFd, "failed " + name + (said > saidBefore ? " said" : " silent"));
      delete rec;
      usleep(kRetryPauseMicroseconds);  // as a person tries again a moment later
    }
  }
  _exit(0);
}

class Adders : public LibraryTest {
protected:
  void TearDown() override {
    contura::dao::routeLibrary(kModulePath, {});
    if (!serverDir_.empty()) std::system((serverScript() + " stop " + serverDir_.string()).c_str());
    LibraryTest::TearDown();
  }

  // A server of this test's own (it is restarted) with an empty library; false: skipped.
  bool startServer() {
    serverDir_ = fs::path(CONTURA_BINARY_DIR) / "tests" / ("pg-adders-" + std::to_string(getpid()));
    const int status = std::system((serverScript() + " start " + serverDir_.string()).c_str());
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code == kSkipped) return false;
    EXPECT_EQ(code, 0) << "the test server could not be started";
    address_ = output(serverScript() + " newdb " + serverDir_.string() + " adders");
    std::string error;
    EXPECT_TRUE(contura::dao::createLibrary(address_, error)) << error;
    return true;
  }

  // Runs the adders on the module's path led to `target`, `middle` once half the adds are
  // done, and checks the table against what they logged.
  Logs runAdders(const std::string& target, const std::function<void()>& middle = {}) {
    contura::dao::routeLibrary(kModulePath, target);
    std::vector<fs::path> logs;
    std::vector<pid_t> adders;
    for (int a = 0; a < kAdders; ++a) {
      logs.push_back(dir_ / ("adder" + std::to_string(a) + ".log"));
      fs::remove(logs.back());
      const int fd = open(logs.back().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
      const pid_t pid = fork();
      if (pid == 0) addSections("a" + std::to_string(a), fd);
      close(fd);
      adders.push_back(pid);
    }
    while (middle && readLogs(logs).keys.size() + readLogs(logs).failed.size() < kAdders * kAddsEach / 2)
      usleep(2000);
    if (middle) middle();
    for (pid_t pid : adders) EXPECT_EQ(reap(pid), 0);

    const Logs done = readLogs(logs);
    const std::vector<Row> rows = tableRows(kModulePath);
    for (const Row& row : rows) {
      expectWholeAndOwnKey(row, done);
      EXPECT_TRUE(done.keys.count(row.fields.m_strName.str())) << "a row whose add failed";
    }
    EXPECT_EQ(rows.size(), done.keys.size()) << "a row for every add that succeeded";
    EXPECT_EQ(done.keys.size() + done.failed.size(), static_cast<std::size_t>(kAdders * kAddsEach));
    EXPECT_EQ(done.silent, 0) << "adds failed without a word";
    return done;
  }

  fs::path serverDir_;
  std::string address_;
};

}  // namespace

TEST_F(Adders, FourProgramsAddingAtOnceEachGetTheirOwnKeysOnAServerAndInAFile) {
  if (!startServer()) GTEST_SKIP() << "PostgreSQL is not installed (under CI this fails instead)";
  EXPECT_TRUE(runAdders(address_).failed.empty());
  EXPECT_TRUE(runAdders(file_.string()).failed.empty());
}

TEST_F(Adders, ServerRestartedWhileProgramsAddFailsSomeAddsEachSaidAndWithoutARow) {
  if (!startServer()) GTEST_SKIP() << "PostgreSQL is not installed (under CI this fails instead)";
  const Logs done = runAdders(address_, [&] {
    EXPECT_EQ(std::system((serverScript() + " restart " + serverDir_.string()).c_str()), 0);
  });
  EXPECT_FALSE(done.failed.empty()) << "the restart came too late to cut an add";
  EXPECT_TRUE(done.resumed) << "no program added again once the server was back";
  std::printf("%zu adds failed across the restart, %zu were saved\n", done.failed.size(), done.keys.size());
}
