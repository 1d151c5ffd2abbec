// The command prompt: names in any case, and how commands are run. (Comments, unknown names,
// empty lines, QUIT and the end of a script are in the end-to-end transcripts.)
#include "command_prompt.h"

#include <accmd.h>
#include <acutads.h>
#include <afxres.h>
#include <contura/ed/print_sink.h>

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace {

HINSTANCE gResourceDuringRun = nullptr;
int gRuns = 0;

void printRan() { acutPrintf("\n\xD4\xCB\xD0\xD0"); }  // 运行 in code page 936
void recordResource() {
  gResourceDuringRun = AfxGetResourceHandle();
  ++gRuns;
}
void throwError() { throw std::runtime_error("boom"); }
void removeItself() {
  acedRegCmds->removeCmd("HostTest", "SelfRemove");
  ++gRuns;
}

const HINSTANCE kModuleResource = reinterpret_cast<HINSTANCE>(0x4242);

class CommandPrompt : public ::testing::Test {
protected:
  void SetUp() override {
    AcEdCommandStack* stack = acedRegCmds;
    ASSERT_EQ(stack->addCommand("HostTest", "PrintRan", "PR", 0, printRan), Acad::eOk);
    ASSERT_EQ(stack->addCommand("HostTest", "Resource", "RES", 0, recordResource, nullptr, -1, kModuleResource), Acad::eOk);
    ASSERT_EQ(stack->addCommand("HostTest", "Thrower", "THR", 0, throwError), Acad::eOk);
    ASSERT_EQ(stack->addCommand("HostTest", "SelfRemove", "SR", 0, removeItself), Acad::eOk);
    ASSERT_EQ(stack->addCommand("HostTest", "Section", "\xBD\xD8\xC3\xE6", 0, recordResource), Acad::eOk);
    // A global name that is another command's local name: local names are matched first.
    ASSERT_EQ(stack->addCommand("HostTest", "PR2", "RES2", 0, printRan), Acad::eOk);
    ASSERT_EQ(stack->addCommand("HostTest", "RES2X", "PR2", 0, recordResource), Acad::eOk);
    gRuns = 0;
    gResourceDuringRun = nullptr;
  }
  void TearDown() override { acedRegCmds->removeGroup("HostTest"); }

  // Runs the prompt over a script and returns the transcript.
  std::string run(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    contura::host::Console console(out);
    contura::ed::ScopedPrintSink sink([&](std::string_view t) { console.writeModuleText(t); });
    contura::host::ScriptInput input(in, console);
    contura::host::runCommandPrompt(input, console);
    console.finish();
    return out.str();
  }
};

TEST_F(CommandPrompt, FindsCommandsByEitherNameInAnyCase) {
  using contura::host::findCommand;
  AcEdCommand* pr = acedRegCmds->lookupGlobalCmd("PrintRan");
  for (const char* typed : {"PR", "pr", "printran", "PRINTRAN", "  pr \t", "_printran"}) EXPECT_EQ(findCommand(typed), pr) << typed;
  EXPECT_EQ(findCommand("_pr"), nullptr);  // "_" looks among global names only
  EXPECT_EQ(findCommand("截面"), acedRegCmds->lookupGlobalCmd("Section"));
  EXPECT_EQ(findCommand("pr2"), acedRegCmds->lookupGlobalCmd("RES2X"));  // local name first
  EXPECT_EQ(findCommand("_pr2"), acedRegCmds->lookupGlobalCmd("PR2"));
  EXPECT_EQ(findCommand(""), nullptr);
  EXPECT_EQ(findCommand("_"), nullptr);
  EXPECT_EQ(findCommand("nosuch"), nullptr);
}

TEST_F(CommandPrompt, CommandRunsWithItsModulesResourcesCurrent) {
  HINSTANCE before = AfxGetResourceHandle();
  run("res\n截面\n");
  EXPECT_EQ(gRuns, 2);
  // The last command registered no resource handle: the current one stayed.
  EXPECT_EQ(gResourceDuringRun, before);
  run("res\n");
  EXPECT_EQ(gResourceDuringRun, kModuleResource);
  EXPECT_EQ(AfxGetResourceHandle(), before);
}

TEST_F(CommandPrompt, ErrorsInsideACommandAreReportedAndThePromptGoesOn) {
  HINSTANCE before = AfxGetResourceHandle();
  std::string transcript = run("thr\nsr\nsr\npr\n");
  EXPECT_EQ(transcript,
            "命令: thr\n命令 Thrower 因内部错误中止：boom\n命令: sr\n命令: sr\n未知命令“SR”。是否指“PR”？\n"
            "命令: pr\n运行\n");
  EXPECT_EQ(gRuns, 1);  // the command that removed itself ran once
  EXPECT_EQ(AfxGetResourceHandle(), before);
}

}  // namespace
