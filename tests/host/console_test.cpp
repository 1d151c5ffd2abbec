// The console: line handling around prompts and module text in code page 936.
#include "console.h"
#include "input.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using contura::host::Console;

TEST(HostConsole, PromptsStartOnAFreshLine) {
  std::ostringstream out;
  Console console(out);
  console.beginPrompt();
  console.write("命令: ");
  console.write("X");
  console.writeModuleText("\nok");
  console.beginPrompt();
  console.write("命令: ");
  console.beginPrompt();  // a prompt right after a prompt still starts a line
  console.finish();
  EXPECT_EQ(out.str(), "命令: X\nok\n命令: \n");
  EXPECT_TRUE(console.atLineStart());
}

TEST(HostConsole, ModuleTextIsConvertedAndSplitCharactersJoined) {
  std::ostringstream out;
  Console console(out);
  console.writeModuleText("\xBD\xD8\xC3");  // 截 and the first byte of 面
  EXPECT_EQ(out.str(), "截");
  console.writeModuleText("\xE6!");
  EXPECT_EQ(out.str(), "截面!");
  // A byte the code page does not define becomes U+FFFD; so does a lead byte left at the end.
  console.writeModuleText("a\xFF" "b\x81");
  console.finish();
  EXPECT_EQ(out.str(), "截面!a\uFFFDb\uFFFD\n");
}

TEST(HostConsole, TheUsersEnterReplacesTheNextLineFeed) {
  std::ostringstream out;
  Console console(out);
  console.write("命令: ");
  console.lineEnteredByUser();
  console.writeModuleText("\n\nnext");
  EXPECT_EQ(out.str(), "命令: \nnext");  // one of the two line feeds is the user's Enter
  console.lineEnteredByUser();
  console.beginPrompt();  // already at the start of a line
  console.write("P");
  EXPECT_EQ(out.str(), "命令: \nnextP");
}

TEST(HostInput, ScriptSkipsCommentsEchoesAnswersAndStaysEnded) {
  // A byte-order mark opens the script (and leaves the comment a comment).
  std::istringstream script("\xEF\xBB\xBF; comment\r\nfirst\r\n;another\n\nlast");
  std::ostringstream out;
  Console console(out);
  contura::host::ScriptInput input(script, console);
  EXPECT_FALSE(input.interactive());
  contura::host::Request request{contura::host::RequestKind::Command, "P: "};
  std::vector<std::string> answers;
  for (;;) {
    auto answer = input.answer(request);
    if (answer.ended()) break;
    answers.push_back(answer.text);
  }
  EXPECT_EQ(answers, (std::vector<std::string>{"first", "", "last"}));
  EXPECT_TRUE(input.answer(request).ended());
  console.finish();
  EXPECT_EQ(out.str(), "P: first\nP: \nP: last\n");  // no prompt once the script has ended
}

}  // namespace
