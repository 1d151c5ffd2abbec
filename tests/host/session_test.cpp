// Whole runs of the program against the built module.
#include "session.h"

#include <contura/rx/app_loader.h>

#include "probe.h"

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

// Records the names of the modules the dynamic linker loads and unloads, in order.
struct LoadOrder : AcRxDLinkerReactor {
  std::vector<std::string> events;
  void rxAppLoaded(const ACHAR* m) override { events.push_back(std::string("+") + m); }
  void rxAppUnloaded(const ACHAR* m) override { events.push_back(std::string("-") + m); }
};

// The test module answers through a probe in the system registry; a reactor hears the linker.
struct LoadOption : ::testing::Test {
  RxTestProbe* probe = new RxTestProbe;
  LoadOrder order;
  void SetUp() override {
    acrxSysRegistry()->atPut(RX_TEST_PROBE, probe);
    acrxDynamicLinker->addReactor(&order);
  }
  void TearDown() override {
    acrxDynamicLinker->removeReactor(&order);
    delete acrxSysRegistry()->remove(RX_TEST_PROBE);
  }
};

TEST_F(LoadOption, ModulesFollowConturaInTheOrderGivenAndLeaveInReverse) {
  RunResult r = runContura({"--load", RX_TEST_MODULE, "--script", "-", "--load", FRAME_TEST_MODULE}, "");
  EXPECT_EQ(r.code, contura::host::kExitOk) << r.err;
  const std::string test = "rx_test_module.arx", frame = "ed_frame_module.arx";
  EXPECT_EQ(order.events, (std::vector<std::string>{"+Contura.arx", "+" + test, "+" + frame, "-" + frame,
                                                    "-" + test, "-Contura.arx"}));
  EXPECT_EQ(probe->messages, (std::vector<int>{AcRx::kInitAppMsg, AcRx::kUnloadAppMsg}));
  EXPECT_EQ(probe->dllMainReasons, (std::vector<int>{DLL_PROCESS_ATTACH, DLL_PROCESS_DETACH}));
}

TEST_F(LoadOption, AModuleThatCannotBeLoadedEndsTheRunWithOneLineAndUnloadsTheOthers) {
  struct Case {
    const char* file;
    AcRx::AppRetCode initAnswer;
    std::string reasonPart;
  };
  const Case cases[] = {
      {RX_TEST_MODULE, AcRx::kRetError, "rx_test_module.arx failed to initialise"},
      {CONTURA_ARX, AcRx::kRetOK, "Contura.arx is loaded already"},
  };
  for (const Case& c : cases) {
    probe->initAnswer = c.initAnswer;
    order.events.clear();
    RunResult r = runContura({"--load", c.file, "--script", "-"}, "jmgl\n");
    EXPECT_EQ(r.code, contura::host::kExitError) << c.file;
    EXPECT_EQ(r.err.rfind("contura: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.reasonPart), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // one line
    EXPECT_EQ(r.out, "") << c.file;                            // no command ran
    EXPECT_EQ(order.events, (std::vector<std::string>{"+Contura.arx", "-Contura.arx"})) << c.file;
  }
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
