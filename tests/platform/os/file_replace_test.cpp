// Replacing a file's content: which targets are replaced, what the new file keeps, and what
// is left beside it.
#include <contura/os/file_replace.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;
using contura::os::replaceFile;

namespace {

class FileReplace : public ::testing::Test {
protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("contura-replace-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir, fs::perms::all, ec);
    fs::remove_all(dir, ec);
  }
  void write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
  std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Names in the folder other than those given.
  std::vector<std::string> strays(std::initializer_list<std::string> known) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) {
      std::string name = e.path().filename().string();
      if (std::find(known.begin(), known.end(), name) == known.end()) out.push_back(name);
    }
    return out;
  }
  fs::path dir;
};

pid_t finishedProcess() {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

}  // namespace

TEST_F(FileReplace, ReplacesRegularFilesAndWhatLinksLeadTo) {
  fs::path file = dir / "plan.dxf";
  write(file, "old");
  fs::permissions(file, fs::perms(0640));
  EXPECT_EQ(replaceFile(file, "new"), "");
  EXPECT_EQ(read(file), "new");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0640));

  mode_t mask = ::umask(027);
  EXPECT_EQ(replaceFile(dir / "fresh.dxf", "fresh"), "");
  ::umask(mask);
  EXPECT_EQ(fs::status(dir / "fresh.dxf").permissions() & fs::perms::all, fs::perms(0640));

  // A chain of relative links: the file at its end is replaced, the links stay links.
  fs::create_directories(dir / "sub");
  fs::create_symlink("../plan.dxf", dir / "sub" / "first.dxf");
  fs::create_symlink("sub/first.dxf", dir / "second.dxf");
  EXPECT_EQ(replaceFile(dir / "second.dxf", "through links"), "");
  EXPECT_TRUE(fs::is_symlink(dir / "second.dxf"));
  EXPECT_TRUE(fs::is_symlink(dir / "sub" / "first.dxf"));
  EXPECT_EQ(read(file), "through links");
  // A link to a file not made yet gets its file.
  fs::create_symlink("later.dxf", dir / "dangling.dxf");
  EXPECT_EQ(replaceFile(dir / "dangling.dxf", "made"), "");
  EXPECT_EQ(read(dir / "later.dxf"), "made");
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.dxf"));
  EXPECT_EQ(strays({"plan.dxf", "fresh.dxf", "sub", "second.dxf", "dangling.dxf", "later.dxf"}),
            std::vector<std::string>());
}

TEST_F(FileReplace, RefusesWhatIsNoWritableRegularFile) {
  fs::path readOnly = dir / "locked.dxf";
  write(readOnly, "keep me");
  fs::permissions(readOnly, fs::perms(0444));
  fs::create_directories(dir / "folder.dxf");
  ASSERT_EQ(::mkfifo((dir / "pipe.dxf").c_str(), 0644), 0);
  fs::create_symlink("/dev/null", dir / "device.dxf");
  fs::create_symlink("loop-b.dxf", dir / "loop-a.dxf");
  fs::create_symlink("loop-a.dxf", dir / "loop-b.dxf");
  struct Case {
    const char* name;
    std::u8string_view says;  // messages are UTF-8
  } cases[] = {
      {"locked.dxf", u8"只读"},  // refused even for a superuser: no write bit at all
      {"folder.dxf", u8"文件夹"},
      {"pipe.dxf", u8"不是普通文件"},
      {"device.dxf", u8"不是普通文件"},
      {"loop-a.dxf", u8"链接"},
      {"missing/x.dxf", u8"无法在文件夹"},
  };
  for (const Case& c : cases) {
    std::string error = replaceFile(dir / c.name, "new");
    EXPECT_NE(error.find(std::string(c.says.begin(), c.says.end())), std::string::npos) << c.name << ": " << error;
    EXPECT_NE(error.find(c.name[0] == 'm' ? "missing" : c.name), std::string::npos) << error;
  }
  EXPECT_EQ(read(readOnly), "keep me");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(strays({"locked.dxf", "folder.dxf", "pipe.dxf", "device.dxf", "loop-a.dxf", "loop-b.dxf"}),
            std::vector<std::string>());
}

TEST_F(FileReplace, KeepsOwnerAndRemovesTemporariesOfFinishedWriters) {
  fs::path file = dir / "d.dxf";
  write(file, "old");
  // As a superuser, a file of another user stays that user's.
  bool superuser = ::geteuid() == 0;
  if (superuser) {
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
  }
  std::string dead = ".d.dxf." + std::to_string(finishedProcess()) + ".contura-tmp";
  std::string live = ".d.dxf." + std::to_string(::getppid()) + ".contura-tmp";
  std::string other = ".e.dxf." + std::to_string(finishedProcess()) + ".contura-tmp";
  for (const std::string& name : {dead, live, other}) write(dir / name, "half a drawing");
  EXPECT_EQ(replaceFile(file, "new"), "");
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  if (superuser) {
    EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(65534u, 65534u));
  }
  EXPECT_FALSE(fs::exists(dir / dead));
  EXPECT_TRUE(fs::exists(dir / live));   // its writer may still be saving
  EXPECT_TRUE(fs::exists(dir / other));  // another drawing's
}

// Saves killed (SIGKILL) at twenty moments: the file always holds one whole content, and the
// next save leaves nothing beside it.
TEST_F(FileReplace, SavesKilledAtAnyMomentLeaveOneWholeFileAndNoLitterAfterTheNextSave) {
  fs::path file = dir / "big.dxf";
  const std::string oldContent(1 << 20, 'o'), newContent(32 << 20, 'n');
  write(file, oldContent);
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    pid_t saver = ::fork();
    if (saver == 0) {
      replaceFile(file, newContent);
      ::_exit(0);
    }
    ::usleep(std::uniform_int_distribution<useconds_t>(0, 40000)(random));
    ::kill(saver, SIGKILL);
    ::waitpid(saver, nullptr, 0);
    std::uintmax_t size = fs::file_size(file);
    EXPECT_TRUE(size == oldContent.size() || size == newContent.size()) << size;
  }
  EXPECT_EQ(replaceFile(file, "last"), "");
  EXPECT_EQ(read(file), "last");
  EXPECT_EQ(strays({"big.dxf"}), std::vector<std::string>());
}
