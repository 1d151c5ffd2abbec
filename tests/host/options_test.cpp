// Command-line options: accepted forms, refused ones with their one-line reasons.
#include "options.h"

#include <gtest/gtest.h>

#include <contura/os/paths.h>

namespace {

using contura::host::parseOptions;
using Args = std::vector<std::string>;

TEST(HostOptions, AcceptsEveryOptionInBothForms) {
  auto r = parseOptions({"--script", "run.scr", "--drive", "e=/data/e", "--drive=F:=/data/f",
                         "--save=out.dxf", "--dxf-version", "r2000", "--preview-dir", "pv", "--pickbox", "2.5", "--gui",
                         "--new-library", "lib.mdb", "--load", "b.arx", "--load=a.arx", "--copy-library", "a.mdb",
                         "postgresql://db/lib", "drawing.dxf"});
  ASSERT_TRUE(r.ok()) << r.error;
  const auto& o = r.options;
  EXPECT_EQ(o.script, "run.scr");
  ASSERT_EQ(o.drives.size(), 2u);
  EXPECT_EQ(o.drives[0].letter, 'E');
  EXPECT_EQ(o.drives[0].dir, "/data/e");
  EXPECT_EQ(o.drives[1].letter, 'F');
  EXPECT_EQ(o.save, "out.dxf");
  EXPECT_EQ(o.saveVersion, contura::dxf::DxfVersion::R2000);
  EXPECT_EQ(o.previewDir, "pv");
  EXPECT_EQ(o.pickbox, 2.5);
  EXPECT_TRUE(o.gui);
  EXPECT_EQ(o.newLibrary, "lib.mdb");
  EXPECT_EQ(o.copyLibrary, (Args{"a.mdb", "postgresql://db/lib"}));
  EXPECT_EQ(o.modules, (std::vector<std::filesystem::path>{"b.arx", "a.arx"}));  // the order given
  EXPECT_EQ(o.drawing, "drawing.dxf");
  EXPECT_EQ(contura::host::unavailableOptions(o), (Args{"--gui"}));

  auto stdinScript = parseOptions({"--script", "-"});
  ASSERT_TRUE(stdinScript.ok());
  EXPECT_EQ(stdinScript.options.script, "-");
  EXPECT_TRUE(contura::host::unavailableOptions(stdinScript.options).empty());

  // After "--" everything is a drawing, even what looks like an option.
  auto ended = parseOptions({"--", "--gui"});
  ASSERT_TRUE(ended.ok());
  EXPECT_FALSE(ended.options.gui);
  EXPECT_EQ(ended.options.drawing, "--gui");
}

TEST(HostOptions, RefusesBadUsageWithAReason) {
  struct Case {
    Args args;
    std::string reasonPart;
  };
  const Case cases[] = {
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
      {{"-x"}, "unknown option '-x'"},
      {{"--script"}, "--script needs a value"},
      {{"--script="}, "--script needs a non-empty value"},
      {{"--gui=yes"}, "--gui takes no value"},
      {{"--load"}, "--load needs a value"},
      {{"--load="}, "--load needs a non-empty value"},
      {{"--fonts="}, "--fonts needs a non-empty value"},
      {{"--pickbox", "0"}, "positive number"},
      {{"--pickbox", "-1"}, "positive number"},
      {{"--pickbox", "5mm"}, "positive number"},
      {{"--pickbox", "nan"}, "positive number"},
      {{"--drive", "E"}, "E"},
      {{"--drive", "1=/x"}, "1=/x"},
      {{"a.dxf", "b.dxf"}, "only one drawing"},
      {{"--dxf-version", "R14"}, "R2004"},  // read, never written
      {{"--dxf-version", "2005"}, "not '2005'"},
      {{"--copy-library", "a.mdb"}, "--copy-library needs two values"},
      {{"--copy-library=a.mdb", "b.mdb"}, "--copy-library takes two values"},
  };
  for (const Case& c : cases) {
    auto r = parseOptions(c.args);
    EXPECT_FALSE(r.ok()) << c.args[0];
    EXPECT_NE(r.error.find(c.reasonPart), std::string::npos) << r.error;
    EXPECT_EQ(r.error.find('\n'), std::string::npos) << r.error;
  }
}

// Fonts are looked for in the --fonts folders, then those of the variable, then the module's
// support folder where drive E: is mapped.
TEST(HostOptions, SupportFoldersComeInTheOrderGivenWithTheModuleSupportFolderLast) {
  contura::os::driveMap().map('E', "/mnt/e");
  auto r = parseOptions({"--fonts", "/f1", "--fonts=/f2"});
  ASSERT_TRUE(r.ok());
  const std::vector<std::filesystem::path> expected = {"/f1", "/f2", "/v1", "/v2", "/mnt/e/_Velmora/vlmr/Support"};
  EXPECT_EQ(contura::host::supportFolders(r.options, "/v1::/v2:"), expected);
  contura::os::driveMap().unmap('E');
}

}  // namespace
