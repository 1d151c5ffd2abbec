// Four programs adding 250 sections each at the same time to the module's library, led to a
// server library and to a library file: every row whole, and every key a program was given
// names that program's own row. With the server restarted in the middle, every add that failed
// was said and left no row.
#include "SectionLibStore.h"

#include <contura/dao/error_report.h>
#include <contura/dao/library_file.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "library_fixture.h"

namespace {

constexpr int kAdders = 4;
constexpr int kAddsEach = 250;
constexpr int kSkipped = 77;  // what the server script returns when PostgreSQL is missing
constexpr const char* kModulePath = "E:\\_Velmora\\vlmr\\Support\\SectionLib.mdb";

std::string serverScript() { return std::string(CONTURA_SOURCE_DIR) + "/tests/pg/pg_server.sh"; }

int exitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

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

// Adds kAddsEach sections through a store of its own on the module's path, as the library
// dialog does, and prints (into `log`) "added NAME KEY" for each add that succeeded, or
// "failed NAME said|silent" by whether the failure was said on the command line.
[[noreturn]] void addSections(const std::string& tag, const fs::path& log) {
  int said = 0;
  contura::dao::setErrorReporter([&said](std::string_view) { ++said; });
  std::ofstream out(log);
  CSectionLibStore store(kModulePath);
  for (int n = 0; n < kAddsEach; ++n) {
    const std::string name = tag + "-" + std::to_string(n);
    CSectionLibRecord* rec = recordFor(name, n);
    const int saidBefore = said;
    if (store.Add(rec) == 0) {
      out << "added " << name << " " << rec->m_nId << "\n";
    } else {
      out << "failed " << name << (said > saidBefore ? " said" : " silent") << "\n";
      delete rec;
    }
    out.flush();
  }
  _exit(out ? 0 : 3);
}

struct Logs {
  std::map<std::string, long> keys;  // added: name -> key
  std::set<std::string> failed;
  int silent = 0;  // failures nobody was told of
};

Logs readLogs(const std::vector<fs::path>& files) {
  Logs logs;
  for (const fs::path& file : files) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line);
      std::string step, name, rest;
      words >> step >> name >> rest;
      if (step == "added") logs.keys[name] = std::stol(rest);
      if (step == "failed") logs.failed.insert(name);
      if (step == "failed" && rest != "said") ++logs.silent;
    }
  }
  return logs;
}

int linesIn(const std::vector<fs::path>& files) {
  int lines = 0;
  for (const fs::path& file : files) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) ++lines;
  }
  return lines;
}

class Adders : public LibraryTest {
protected:
  void TearDown() override {
    contura::dao::routeLibrary(kModulePath, {});
    if (!serverDir_.empty()) std::system(("bash " + serverScript() + " stop " + serverDir_.string()).c_str());
    LibraryTest::TearDown();
  }

  // A server of this test's own (it is restarted), with an empty library; false when skipped.
  bool startServer() {
    serverDir_ = fs::path(CONTURA_BINARY_DIR) / "tests" / ("pg-adders-" + std::to_string(getpid()));
    const int code = exitCode(std::system(("bash " + serverScript() + " start " + serverDir_.string()).c_str()));
    if (code == kSkipped) return false;
    EXPECT_EQ(code, 0) << "the test server could not be started";
    address_ = output("bash " + serverScript() + " newdb " + serverDir_.string() + " adders");
    std::string error;
    EXPECT_TRUE(contura::dao::createLibrary(address_, error)) << error;
    return code == 0;
  }

  // Runs the adders on the module's path led to `target`; `middle` runs once half the adds
  // are done. Checks the table against what the adders printed and returns their logs.
  Logs runAdders(const std::string& target, const std::function<void()>& middle = {}) {
    contura::dao::routeLibrary(kModulePath, target);
    std::vector<fs::path> logs;
    std::vector<pid_t> adders;
    for (int a = 0; a < kAdders; ++a) {
      logs.push_back(dir_ / ("adder" + std::to_string(a) + ".log"));
      fs::remove(logs.back());
      const pid_t pid = fork();
      if (pid == 0) addSections("a" + std::to_string(a), logs.back());
      adders.push_back(pid);
    }
    if (middle) {
      while (linesIn(logs) < kAdders * kAddsEach / 2) usleep(2000);
      middle();
    }
    for (pid_t pid : adders) {
      int status = 0;
      waitpid(pid, &status, 0);
      EXPECT_EQ(exitCode(status), 0);
    }
    const Logs done = readLogs(logs);
    CSectionLibStore store(kModulePath);
    EXPECT_EQ(store.Load(), 0) << store.m_strError.GetString();
    std::set<long> seen;
    for (int i = 0; i < store.GetCount(); ++i) {
      const CSectionLibRecord& row = *store.GetAt(i);
      const std::string name = row.m_strName.str();
      std::unique_ptr<CSectionLibRecord> expected(recordFor(name, std::stoi(name.substr(name.find('-') + 1))));
      EXPECT_EQ(row.m_nType, expected->m_nType) << name;
      EXPECT_EQ(row.m_nGroupSec, expected->m_nGroupSec) << name;
      EXPECT_EQ(row.m_strSectionInfo, expected->m_strSectionInfo) << name;
      EXPECT_EQ(row.m_strRemark, expected->m_strRemark) << name;
      auto key = done.keys.find(name);
      EXPECT_TRUE(key != done.keys.end()) << name << " has a row, yet its add failed";
      if (key != done.keys.end()) {
        EXPECT_EQ(key->second, row.m_nId) << name << " got another row's key";
      }
      seen.insert(row.m_nId);
    }
    EXPECT_EQ(static_cast<std::size_t>(store.GetCount()), done.keys.size()) << "rows for every add that succeeded";
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
  const Logs logs = runAdders(address_, [&] {
    EXPECT_EQ(std::system(("bash " + serverScript() + " restart " + serverDir_.string()).c_str()), 0);
  });
  EXPECT_FALSE(logs.failed.empty()) << "the restart came too late to cut an add";
  std::printf("%zu adds failed across the restart, %zu were saved\n", logs.failed.size(), logs.keys.size());
  EXPECT_GT(logs.keys.size(), static_cast<std::size_t>(kAdders * kAddsEach / 2)) << "adding did not resume";
}
