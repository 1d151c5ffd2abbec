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
  RunResult r = runContura({"--script", "-"}, "jmgl\nquit\n");
  EXPECT_EQ(r.code, contura::host::kExitOk) << r.err;
  EXPECT_EQ(r.out.rfind("命令: jmgl\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\n命令: quit\n"), std::string::npos) << r.out;
  EXPECT_TRUE(r.err.empty());
  // Nothing of the module remains after the run.
  EXPECT_TRUE(contura::rx::loadedApplications().empty());
  EXPECT_EQ(acedRegCmds->lookupLocalCmd("JMGL"), nullptr);
}

TEST(HostSession, AModuleThatCannotBeLoadedStopsTheRun) {
  RunResult missing = runContura({"--script", "-"}, "jmgl\n", "/nonexistent/Contura.arx");
  EXPECT_EQ(missing.code, contura::host::kExitError);
  EXPECT_NE(missing.err.find("/nonexistent/Contura.arx"), std::string::npos) << missing.err;
  EXPECT_TRUE(missing.out.empty());
  EXPECT_TRUE(contura::rx::loadedApplications().empty());
}

TEST(HostSession, UsageErrorsAndInformationOptions) {
  RunResult bad = runContura({"--nope"});
  EXPECT_EQ(bad.code, contura::host::kExitUsage);
  EXPECT_EQ(bad.err, "contura: unknown option '--nope' (try 'contura --help')\n");

  RunResult script = runContura({"--script", "/nonexistent/run.scr"});
  EXPECT_EQ(script.code, contura::host::kExitUsage);
  EXPECT_NE(script.err.find("cannot read script"), std::string::npos);
  RunResult folder = runContura({"--script", "/"});
  EXPECT_EQ(folder.code, contura::host::kExitUsage);

  RunResult unavailable = runContura({"--save", "out.dxf"});
  EXPECT_EQ(unavailable.code, contura::host::kExitUsage);
  EXPECT_NE(unavailable.err.find("--save"), std::string::npos);

  RunResult help = runContura({"--help"});
  EXPECT_EQ(help.code, contura::host::kExitOk);
  EXPECT_NE(help.out.find("usage: contura"), std::string::npos);
  RunResult version = runContura({"--version"});
  EXPECT_EQ(version.code, contura::host::kExitOk);
  EXPECT_EQ(version.out.rfind("contura ", 0), 0u);
  EXPECT_TRUE(contura::rx::loadedApplications().empty());
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
