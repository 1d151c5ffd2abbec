// Drive map and Windows path mapping, on real folders in a temporary directory.
#include "contura/os/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using contura::os::DriveMap;
using contura::os::parseDriveOption;
using contura::os::PathError;
using contura::os::toNativePath;

namespace {

fs::path u8p(const char8_t* s) { return fs::path(std::string(reinterpret_cast<const char*>(s))); }

// A fresh temporary folder, removed with everything in it.
class TempDir {
public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "contura-os-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

private:
  fs::path path_;
};

// Sets (or unsets, with nullopt) an environment variable for one scope.
class EnvGuard {
public:
  EnvGuard(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
  }
  ~EnvGuard() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }

private:
  const char* name_;
  std::optional<std::string> old_;
};

void touch(const fs::path& p) {
  fs::create_directories(p.parent_path());
  std::ofstream(p) << "x";
}

class DrivePaths : public ::testing::Test {
protected:
  void SetUp() override {
    root_ = tmp_.path() / "drive-e";
    touch(root_ / "_Velmora" / "vlmr" / "Support" / "SectionLib.mdb");
    drives_.map('E', root_);
  }
  TempDir tmp_;
  fs::path root_;
  DriveMap drives_;
};

}  // namespace

TEST_F(DrivePaths, ComponentsMatchExistingEntriesIgnoringCase) {
  const fs::path lib = root_ / "_Velmora" / "vlmr" / "Support" / "SectionLib.mdb";
  for (const char* windows : {"E:\\_Velmora\\vlmr\\Support\\SectionLib.mdb",
                              "e:\\_VELMORA\\VLMR\\support\\sectionlib.MDB",
                              "E:/_velmora/Vlmr/SUPPORT/SectionLib.mdb",
                              "E:\\\\_Velmora\\.\\vlmr\\x\\..\\Support\\SectionLib.mdb",
                              "E:\\..\\..\\_Velmora\\vlmr\\Support\\SectionLib.mdb"})
    EXPECT_EQ(toNativePath(windows, drives_), lib) << windows;
  EXPECT_EQ(toNativePath("E:", drives_), root_);
  EXPECT_EQ(toNativePath("E:\\", drives_), root_);
  EXPECT_EQ(toNativePath("E:_velmora", drives_), root_ / "_Velmora");  // drive-relative form
}

TEST_F(DrivePaths, MissingComponentsAreKeptAsWritten) {
  EXPECT_EQ(toNativePath("E:\\_VELMORA\\NewDir\\Vlmr\\File.TXT", drives_),
            root_ / "_Velmora" / "NewDir" / "Vlmr" / "File.TXT");
  EXPECT_EQ(toNativePath("F:\\A\\b", drives_), *drives_.dirOf('F') / "A" / "b");
}

TEST_F(DrivePaths, ExactNameWinsOverOtherCase) {
  fs::create_directories(root_ / "Data");
  fs::create_directories(root_ / "DATA");
  EXPECT_EQ(toNativePath("E:\\Data", drives_), root_ / "Data");
  EXPECT_EQ(toNativePath("E:\\DATA", drives_), root_ / "DATA");
  // Neither spelling matches exactly: the first in byte order.
  EXPECT_EQ(toNativePath("E:\\data", drives_), root_ / "DATA");
}

TEST_F(DrivePaths, ChineseAndGreekNamesConvertAndMatch) {
  // "昞" is 95 5C in code page 936: its trail byte must not split the component.
  touch(root_ / u8p(u8"截面库") / u8p(u8"昞.txt"));
  EXPECT_EQ(toNativePath("E:\\截面库\\昞.txt", drives_), root_ / u8p(u8"截面库") / u8p(u8"昞.txt"));
  fs::create_directories(root_ / u8p(u8"Αβ"));
  EXPECT_EQ(toNativePath("E:\\αΒ\\新", drives_), root_ / u8p(u8"Αβ") / u8p(u8"新"));
}

TEST(DriveMapDefaults, FollowXdgDataHomeThenHome) {
  TempDir tmp;
  EnvGuard home("HOME", tmp.path().string());
  DriveMap drives;
  {
    EnvGuard xdg("XDG_DATA_HOME", (tmp.path() / "data").string());
    EXPECT_EQ(drives.dirOf('E'), tmp.path() / "data" / "contura" / "drives" / "e");
    EXPECT_EQ(drives.dirOf('e'), tmp.path() / "data" / "contura" / "drives" / "e");
  }
  const fs::path share = tmp.path() / ".local" / "share" / "contura" / "drives";
  {
    EnvGuard xdg("XDG_DATA_HOME", std::string("relative/data"));  // ignored: not absolute
    EXPECT_EQ(drives.dirOf('C'), share / "c");
  }
  {
    EnvGuard xdg("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(drives.dirOf('Z'), share / "z");
    drives.map('z', tmp.path() / "zz");
    EXPECT_EQ(drives.dirOf('Z'), tmp.path() / "zz");
    drives.unmap('Z');
    EXPECT_EQ(drives.dirOf('z'), share / "z");
  }
  EXPECT_EQ(drives.dirOf('1'), std::nullopt);
  EXPECT_THROW(drives.map(':', tmp.path()), std::invalid_argument);
}

TEST(WindowsPaths, PathsWithoutDriveLetter) {
  EXPECT_EQ(toNativePath("/tmp/a\\b"), fs::path("/tmp/a\\b"));
  EXPECT_EQ(toNativePath("sub\\dir\\f.txt"), fs::path("sub/dir/f.txt"));
  EXPECT_EQ(toNativePath("截面\\a.txt"), u8p(u8"截面/a.txt"));
  EXPECT_EQ(toNativePath("plain.txt"), fs::path("plain.txt"));
}

TEST(WindowsPaths, UnmappablePathsAreRefusedWithReason) {
  struct Case {
    const char* path;
    const char* reason;
  };
  for (const Case& c : {Case{"\\\\server\\share\\lib.mdb", "network path"},
                        Case{"//server\\share", "network path"},
                        Case{"\\\\?\\E:\\x", "network path"},
                        Case{"\\_Velmora\\lib.mdb", "current Windows drive"},
                        Case{"", "empty path"}}) {
    try {
      toNativePath(c.path);
      ADD_FAILURE() << "accepted " << c.path;
    } catch (const PathError& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
  }
}

TEST(DriveOption, ParsesLetterAndFolder) {
  std::string error;
  auto opt = parseDriveOption("e=/srv/lib", error);
  ASSERT_TRUE(opt) << error;
  EXPECT_EQ(opt->letter, 'E');
  EXPECT_EQ(opt->dir, fs::path("/srv/lib"));
  opt = parseDriveOption("Q:=rel/dir", error);
  ASSERT_TRUE(opt) << error;
  EXPECT_EQ(opt->letter, 'Q');
  EXPECT_EQ(opt->dir, fs::current_path() / "rel/dir");
}

TEST(DriveOption, BadValuesGiveClearErrors) {
  struct Case {
    const char* value;
    const char* reason;
  };
  for (const Case& c : {Case{"", "has no '='"}, Case{"E", "has no '='"},
                        Case{"=/x", "is not a drive letter"}, Case{"EF=/x", "is not a drive letter"},
                        Case{"1=/x", "is not a drive letter"}, Case{"E=", "gives no folder"},
                        Case{"E=  ", "gives no folder"}}) {
    std::string error;
    EXPECT_FALSE(parseDriveOption(c.value, error)) << c.value;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_NE(error.find("X=DIR"), std::string::npos) << error;
  }
}
