// Loading shared objects and finding their own symbols; failures give the loader's reason.
#include "contura/os/module.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace fs = std::filesystem;
using contura::os::findSymbol;
using contura::os::mainProgramHandle;
using contura::os::Module;

// Exported by this test program (built with its symbols exported).
extern "C" int conturaMainProgramMarker() { return 5; }

namespace {

const fs::path kFixture = FIXTURE_MODULE;

class ModuleTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("contura-module-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path writeFile(const char* name, const std::string& content) {
    fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }
  fs::path dir_;
};

TEST_F(ModuleTest, LoadsAModuleAndFindsWhatItExports) {
  std::string error = "stale";
  auto module = Module::load(kFixture, error);
  ASSERT_NE(module, nullptr) << error;
  EXPECT_TRUE(error.empty());
  EXPECT_NE(module->handle(), nullptr);
  EXPECT_EQ(module->path(), fs::absolute(kFixture).lexically_normal());

  auto answer = reinterpret_cast<int (*)()>(module->symbol("conturaFixtureAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  auto datum = static_cast<const int*>(findSymbol(module->handle(), "conturaFixtureDatum"));
  ASSERT_NE(datum, nullptr);
  EXPECT_EQ(*datum, 7);

  EXPECT_EQ(module->symbol("noSuchSymbol"), nullptr);
  // The C library defines malloc; the module only depends on it, so it is not the module's.
  EXPECT_EQ(module->symbol("malloc"), nullptr);
  EXPECT_EQ(findSymbol(module->handle(), nullptr), nullptr);
  EXPECT_EQ(findSymbol(nullptr, "conturaFixtureAnswer"), nullptr);
}

TEST_F(ModuleTest, RelativePathIsTakenAgainstTheCurrentFolder) {
  fs::path copy = dir_ / "fixture-copy.so";
  fs::copy_file(kFixture, copy);
  fs::path old = fs::current_path();
  fs::current_path(dir_);
  std::string error;
  auto module = Module::load("fixture-copy.so", error);
  fs::current_path(old);
  ASSERT_NE(module, nullptr) << error;
  EXPECT_EQ(module->path(), copy);
  EXPECT_NE(module->symbol("conturaFixtureAnswer"), nullptr);
}

TEST_F(ModuleTest, FailuresGiveTheReasonAndNoModule) {
  struct Case {
    const char* what;
    fs::path file;
    const char* reason;  // part of the loader's text
  };
  fs::path text = writeFile("notes.arx", "this is not a shared object\n");
  fs::path empty = writeFile("empty.arx", "");
  const Case cases[] = {
      {"missing file", dir_ / "absent.arx", "No such file"},
      {"text file", text, "notes.arx"},
      {"empty file", empty, "empty.arx"},
      {"folder", dir_, ""},
      // A bare library name is a file in the current folder, never searched for.
      {"bare name", "libc.so.6", "libc.so.6"},
  };
  for (const Case& c : cases) {
    std::string error;
    auto module = Module::load(c.file, error);
    EXPECT_EQ(module, nullptr) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
  }
  std::string error;
  EXPECT_EQ(Module::load("", error), nullptr);
  EXPECT_FALSE(error.empty());
}

TEST_F(ModuleTest, MainProgramFindsOnlyItsOwnExports) {
  HINSTANCE main = mainProgramHandle();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main, mainProgramHandle());
  EXPECT_EQ(findSymbol(main, "conturaMainProgramMarker"), reinterpret_cast<void*>(&conturaMainProgramMarker));
  EXPECT_EQ(findSymbol(main, "malloc"), nullptr);

  // A loaded module's symbols are local to it: the main program does not see them.
  std::string error;
  auto module = Module::load(kFixture, error);
  ASSERT_NE(module, nullptr) << error;
  EXPECT_EQ(findSymbol(main, "conturaFixtureAnswer"), nullptr);
}

}  // namespace
