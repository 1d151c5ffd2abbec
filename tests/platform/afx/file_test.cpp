// CFile: round trips, open modes, access checks, error causes and Windows paths.
#include <afx.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <fstream>
#include <iterator>

#include "contura/os/paths.h"

namespace fs = std::filesystem;

namespace {

class CFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("contura-cfile-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    contura::os::driveMap().unmap('Q');
    fs::remove_all(dir_);
  }
  CString name(const char* leaf) const { return CString((dir_ / leaf).string().c_str()); }
  std::string content(const char* leaf) const {
    std::ifstream in(dir_ / leaf, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void put(const char* leaf, const std::string& bytes) const { std::ofstream(dir_ / leaf, std::ios::binary) << bytes; }
  fs::path dir_;
};

TEST_F(CFileTest, BytesWithAZeroByteSurviveARoundTrip) {
  const char data[] = {'a', '\0', '\xD6', '\xD0', '\n', 'z'};
  {
    CFile f;
    ASSERT_TRUE(f.Open(name("round.bin"), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
    f.Write(data, sizeof data);
    EXPECT_EQ(f.GetLength(), sizeof data);
  }  // the destructor closes and flushes
  EXPECT_EQ(content("round.bin"), std::string(data, sizeof data));

  CFile f;
  ASSERT_TRUE(f.Open(name("round.bin"), CFile::modeRead | CFile::shareDenyNone));
  ASSERT_EQ(f.GetLength(), sizeof data);
  char buf[16] = {};
  EXPECT_EQ(f.Read(buf, sizeof buf), sizeof data);
  EXPECT_EQ(std::string(buf, sizeof data), std::string(data, sizeof data));
  EXPECT_EQ(f.Read(buf, sizeof buf), 0u);  // at the end
  EXPECT_EQ(f.GetLastCause(), CFileException::none);
  f.Close();
  EXPECT_EQ(f.m_hFile, CFile::hFileNull);
}

// Names in the test folder other than those given (temporary files left beside a target).
std::vector<std::string> strays(const fs::path& dir, std::initializer_list<std::string> known) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir))
    if (std::find(known.begin(), known.end(), e.path().filename().string()) == known.end())
      out.push_back(e.path().filename().string());
  return out;
}

TEST_F(CFileTest, CreatingOverAFileReplacesItOnlyOnceTheNewContentIsWritten) {
  put("t.txt", "old content");
  fs::permissions(dir_ / "t.txt", fs::perms(0640));
  {
    CFile f(name("t.txt"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
    ASSERT_NE(f.m_hFile, CFile::hFileNull);
    EXPECT_EQ(f.GetLength(), 11u);
    f.SeekToEnd();
    f.Write("!", 1);
  }
  EXPECT_EQ(content("t.txt"), "old content!");

  // Create and close, open again and write (how section texts are exported): the old
  // content stays on disk until the new one is written, the pending file is what this
  // process sees in between, and the result keeps the old file's permissions.
  CFile f(name("t.txt"), CFile::modeCreate | CFile::modeWrite);
  EXPECT_EQ(f.GetLength(), 0u);
  f.Close();
  EXPECT_EQ(content("t.txt"), "old content!");
  ASSERT_TRUE(f.Open(name("t.txt"), CFile::modeReadWrite));
  EXPECT_EQ(f.GetLength(), 0u);
  f.Write("new", 3);
  EXPECT_EQ(content("t.txt"), "old content!");
  f.Close();
  EXPECT_EQ(f.GetLastCause(), CFileException::none);
  EXPECT_EQ(content("t.txt"), "new");
  EXPECT_EQ(fs::status(dir_ / "t.txt").permissions() & fs::perms::all, fs::perms(0640));
  EXPECT_EQ(strays(dir_, {"t.txt"}), std::vector<std::string>{});

  {
    CFile g(name("new.txt"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
    ASSERT_NE(g.m_hFile, CFile::hFileNull);
  }
  EXPECT_TRUE(fs::exists(dir_ / "new.txt"));
}

// In a child process: export "fresh text" over `path` as the section text dialog does, with
// writes limited to `limitBytes`; the exit status tells whether Write and Close reported a
// failure (1), or all succeeded (0). `exitWithPending` ends the process between the create
// and the writing.
int exportInChild(const CString& path, rlim_t limitBytes, bool exitWithPending = false) {
  pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);  // a write over the limit then fails instead of killing
    rlimit limit{limitBytes, limitBytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    CFile f;
    if (!f.Open(path, CFile::modeCreate | CFile::modeWrite)) ::_exit(2);
    f.Close();
    if (exitWithPending) std::exit(0);  // static destructors run: the pending file lands
    if (!f.Open(path, CFile::modeReadWrite)) ::_exit(2);
    std::string text(4096, 'x');
    f.Write(text.data(), static_cast<UINT>(text.size()));
    bool writeFailed = f.GetLastCause() != CFileException::none;
    f.Close();
    ::_exit(writeFailed && f.GetLastCause() != CFileException::none ? 1 : writeFailed ? 3 : 0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(CFileTest, AFailedWriteOrAnEndedProcessLeavesOneWholeContent) {
  put("export.txt", "old export");
  EXPECT_EQ(exportInChild(name("export.txt"), 1000), 1);  // the disk "fills" at 1,000 bytes
  EXPECT_EQ(content("export.txt"), "old export");
  EXPECT_EQ(exportInChild(name("export.txt"), RLIM_INFINITY), 0);
  EXPECT_EQ(content("export.txt"), std::string(4096, 'x'));
  // A created file that is never written is emptied when the process ends, as asked.
  EXPECT_EQ(exportInChild(name("export.txt"), RLIM_INFINITY, true), 0);
  EXPECT_EQ(content("export.txt"), "");
  EXPECT_EQ(strays(dir_, {"export.txt"}), std::vector<std::string>{});

  // A read-only file is not replaced at all.
  put("ro.txt", "kept");
  fs::permissions(dir_ / "ro.txt", fs::perms(0444));
  CFile f;
  CFileException e;
  EXPECT_FALSE(f.Open(name("ro.txt"), CFile::modeCreate | CFile::modeWrite, &e));
  EXPECT_EQ(e.m_cause, CFileException::accessDenied);
  EXPECT_EQ(content("ro.txt"), "kept");
}

TEST_F(CFileTest, ReadingAndWritingOneFileAndSeeking) {
  CFile f;
  ASSERT_TRUE(f.Open(name("rw.bin"), CFile::modeCreate | CFile::modeReadWrite));
  f.Write("abcdef", 6);
  EXPECT_EQ(f.GetPosition(), 6u);
  EXPECT_EQ(f.Seek(2, CFile::begin), 2u);
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, 2), 2u);
  EXPECT_EQ(std::string(buf, 2), "cd");
  f.Write("XY", 2);  // writing right after reading, at the current position
  EXPECT_EQ(f.Seek(-3, CFile::current), 3u);
  EXPECT_EQ(f.Read(buf, 8), 3u);
  EXPECT_EQ(std::string(buf, 3), "dXY");
  EXPECT_EQ(f.Seek(-1, CFile::end), 5u);
  // A move before the start fails and leaves the position.
  EXPECT_EQ(f.Seek(-10, CFile::begin), 5u);
  EXPECT_EQ(f.GetLastCause(), CFileException::badSeek);
  f.SetLength(3);
  EXPECT_EQ(f.GetLength(), 3u);
  f.SeekToBegin();
  EXPECT_EQ(f.Read(buf, 8), 3u);
  EXPECT_EQ(std::string(buf, 3), "abc");
}

TEST_F(CFileTest, AccessModesAreEnforced) {
  put("r.txt", "data");
  CFile reader(name("r.txt"), CFile::modeRead);
  reader.Write("x", 1);
  EXPECT_EQ(reader.GetLastCause(), CFileException::accessDenied);
  reader.Close();
  EXPECT_EQ(content("r.txt"), "data");

  CFile writer(name("r.txt"), CFile::modeWrite);
  char buf[4];
  EXPECT_EQ(writer.Read(buf, 4), 0u);
  EXPECT_EQ(writer.GetLastCause(), CFileException::accessDenied);

  CFile closed;
  EXPECT_EQ(closed.Read(buf, 4), 0u);
  EXPECT_EQ(closed.GetLastCause(), CFileException::invalidFile);
  closed.Write("x", 1);
  EXPECT_EQ(closed.GetLength(), 0u);
}

TEST_F(CFileTest, FailedOpensNameTheirCause) {
  struct Case {
    CString file;
    UINT flags;
    int cause;
  } cases[] = {
      {name("absent.txt"), CFile::modeRead, CFileException::fileNotFound},
      {name("absent.txt"), CFile::modeWrite, CFileException::fileNotFound},
      {name("no-such-dir/a.txt"), CFile::modeCreate | CFile::modeWrite, CFileException::badPath},
      {name(""), CFile::modeRead, CFileException::accessDenied},  // a folder
      {"", CFile::modeRead, CFileException::badPath},
      {"\\\\server\\share\\a.txt", CFile::modeRead, CFileException::badPath},
      {name("x.txt"), CFile::modeWrite | CFile::modeReadWrite | CFile::modeCreate,
       CFileException::genericException},
  };
  for (const Case& c : cases) {
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(c.file, c.flags, &e)) << c.file.GetString();
    EXPECT_EQ(e.m_cause, c.cause) << c.file.GetString();
    EXPECT_EQ(e.m_strFileName, c.file);
    EXPECT_EQ(f.m_hFile, CFile::hFileNull);
    char text[256];
    EXPECT_TRUE(e.GetErrorMessage(text, sizeof text));
    EXPECT_NE(std::string(text).find(c.file.GetString()), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(dir_ / "x.txt"));
}

TEST_F(CFileTest, WindowsPathsGoThroughTheDriveMapAndCodePage) {
  contura::os::driveMap().map('Q', dir_);
  fs::create_directories(dir_ / "Sub");
  // The file name on disk is UTF-8; the program names it in code page 936.
  const char8_t utf8Name[] = u8"中文.txt";
  put((std::string("Sub/") + reinterpret_cast<const char*>(utf8Name)).c_str(), "hello");
  CFile f;
  ASSERT_TRUE(f.Open("q:\\sub\\\xD6\xD0\xCE\xC4.txt", CFile::modeRead));
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, 8), 5u);
  EXPECT_EQ(std::string(buf, 5), "hello");
  EXPECT_EQ(f.GetFileName(), "\xD6\xD0\xCE\xC4.txt");
  EXPECT_EQ(f.GetFilePath(), "q:\\sub\\\xD6\xD0\xCE\xC4.txt");

  // A trail byte 0x5C is no path separator for the file name.
  CFile g;
  g.Open("Q:\\Sub\\\x81\x5C" "a.txt", CFile::modeCreate | CFile::modeWrite);
  EXPECT_EQ(g.GetFileName(), "\x81\x5C" "a.txt");
}

}  // namespace
