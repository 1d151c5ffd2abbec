// Whole runs of the program against the built module.
#include "session.h"

#include <accmd.h>
#include <contura/os/paths.h>
#include <contura/rx/app_loader.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace {

struct RunResult {
  int code;
  std::string out, err;
};

RunResult runContura(const std::vector<std::string>& args, const std::string& input = "",
               const std::filesystem::path& module = CONTURA_ARX) {
  std::istringstream in(input);
  std::ostringstream out, err;
  int code = contura::host::runProgram(args, module, {in, out, err});
  return {code, out.str(), err.str()};
}

TEST(HostSession, ScriptRunLoadsRunsAndUnloadsTheModule) {
  RunResult r = runContura({"--script", "-"}, "jmgl\nclose\nquit\n");
  EXPECT_EQ(r.code, contura::host::kExitOk) << r.err;
  EXPECT_EQ(r.out.rfind("命令: jmgl\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\n命令: quit\n"), std::string::npos) << r.out;
  EXPECT_TRUE(r.err.empty());
  // Nothing of the module remains after the run.
  EXPECT_TRUE(contura::rx::loadedApplications().empty());
  EXPECT_EQ(acedRegCmds->lookupLocalCmd("JMGL"), nullptr);
}

TEST(HostSession, DriveOptionsFillTheDriveMap) {
  RunResult r = runContura({"--drive", "q=/srv/q-drive", "--script", "-"}, "");
  EXPECT_EQ(r.code, contura::host::kExitOk) << r.err;
  EXPECT_EQ(contura::os::driveMap().dirOf('Q'), std::filesystem::path("/srv/q-drive"));
  contura::os::driveMap().unmap('Q');
}

TEST(HostSession, ModulePathFollowsTheEnvironment) {
  setenv("CONTURA_MODULE", "/elsewhere/Other.arx", 1);
  EXPECT_EQ(contura::host::modulePath(), std::filesystem::path("/elsewhere/Other.arx"));
  setenv("CONTURA_MODULE", "", 1);
  EXPECT_EQ(contura::host::modulePath().filename(), "Contura.arx");
  unsetenv("CONTURA_MODULE");
  EXPECT_EQ(contura::host::modulePath().parent_path().filename(), "tests");  // this program's folder
}

}  // namespace
