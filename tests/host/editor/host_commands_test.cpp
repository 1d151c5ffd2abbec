// The host's own commands in whole runs against the tests' editor module (DEMO draws two
// objects): saving, opening, the question before losing changes, and what a script that ends
// with changes unsaved is told.
#include "command_prompt.h"
#include "session.h"

#include <dbmain.h>
#include <contura/os/paths.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using contura::host::Answer;

struct Transcript {
  std::string out, err;
};

Transcript runScript(const std::string& script, std::vector<std::string> args = {}) {
  std::istringstream in(script);
  std::ostringstream out, err;
  args.insert(args.end(), {"--script", "-"});
  int code = contura::host::runProgram(args, EDITOR_MODULE, {in, out, err});
  EXPECT_EQ(code, contura::host::kExitOk) << err.str();
  return {out.str(), err.str()};
}

// The $ACADVER of a DXF file ("AC1015"); empty when it has none.
std::string acadVerOf(const fs::path& file) {
  std::ifstream in(file);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t name = text.find("$ACADVER");
  size_t value = name == std::string::npos ? name : text.find("AC", name + 8);
  return value == std::string::npos ? std::string() : text.substr(value, 6);
}

class HostCommands : public ::testing::Test {
protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("contura-host-commands-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    saved = (dir / "saved.dxf").string();
    runScript("demo\nsaveas\n" + saved + "\nR2000\n");  // two objects, as R2000
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
  std::string saved;
};

TEST_F(HostCommands, ScriptsSaveOpenAndAreToldOfUnsavedChanges) {
  ASSERT_EQ(acadVerOf(saved), "AC1015");
  const std::string other = (dir / "other").string();
  struct Case {
    std::string script;
    std::string shown;      // in the transcript
    bool toldUnsaved;       // the note on the error stream
    std::string acadVer;    // of saved.dxf afterwards
  } cases[] = {
      {"demo\n", "已画 2 个对象。", true, "AC1015"},
      {"\xEF\xBB\xBF" "demo\nsave\n" + other + "1\n", "命令: demo\n", false, "AC1015"},
      {"demo\nsave\n" + other + "2\n", "图形已保存到 " + other + "2.dxf（R2004）。", false, "AC1015"},
      {"open\n" + saved + "\nsel\nall\n\n", "选择集 2 个", false, "AC1015"},
      {"demo\nopen\ncancel\n", "是否保存修改？ 是(yes)/否(no)/取消(cancel): cancel\n*取消*", true, "AC1015"},
      {"demo\nopen\nno\n" + saved + "\n", "已打开图形 " + saved + "。", false, "AC1015"},
      {"open\n" + (dir / "missing.dxf").string() + "\n", "无法打开图形 ", false, "AC1015"},
      // SAVE writes the session's version (R2004 here), as the window does.
      {"open\n" + saved + "\ndemo\nsave\nquit\n", "图形已保存到 " + saved + "（R2004）。", false, "AC1018"},
      {"demo\nsaveas\n" + saved + "\nR9\nR12\nno\n", "无效的 DXF 版本。", true, "AC1018"},
      {"demo\nsaveas\n" + saved + "\nR2013\nyes\n", "已存在。是否替换？", false, "AC1027"},
      {"demo\nsaveas\n*cancel*\nquit\n", "另存为 文件名: *cancel*\n*取消*\n命令: quit", true, "AC1027"},
  };
  for (const Case& c : cases) {
    Transcript r = runScript(c.script);
    EXPECT_NE(r.out.find(c.shown), std::string::npos) << c.script << "\n" << r.out;
    EXPECT_EQ(r.err, c.toldUnsaved ? contura::host::kUnsavedChangesNote : "") << c.script;
    EXPECT_EQ(acadVerOf(saved), c.acadVer) << c.script;
  }
  // The pick box of --pickbox outlasts OPEN (the demo's line passes 7 units from 17,0).
  std::string picked = runScript("open\n" + saved + "\npick\n17,0\n", {"--pickbox", "8"}).out;
  EXPECT_NE(picked.find("选中 "), std::string::npos) << picked;
  // A drive letter goes through --drive's map, as in the module's file dialogs.
  runScript("demo\nsaveas\nq:\\drawn\nR12\n", {"--drive", "Q=" + dir.string()});
  contura::os::driveMap().unmap('Q');
  EXPECT_EQ(acadVerOf(dir / "drawn.dxf"), "AC1009");
  // HELP: the host's commands and each of the module's on a line with its local name and group.
  std::string help = runScript("help\n").out;
  EXPECT_NE(help.find("  SAVEAS "), std::string::npos) << help;
  size_t pt = help.find("\n  PT ");
  ASSERT_NE(pt, std::string::npos) << help;
  std::string line = help.substr(pt + 1, help.find('\n', pt + 1) - pt - 1);
  EXPECT_NE(line.find(" Point "), std::string::npos) << line;
  EXPECT_NE(line.find("EdTest"), std::string::npos) << line;
}

// Answers given in turn by a person (interactive); the end of the input after them.
class Person : public contura::host::InputSource {
public:
  explicit Person(std::deque<Answer> answers) : m_answers(std::move(answers)) {}
  Answer answer(const contura::host::Request&) override {
    if (m_answers.empty()) return Answer::end();
    Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
  }
  bool interactive() const override { return true; }

private:
  std::deque<Answer> m_answers;
};

TEST_F(HostCommands, QuitAtTheTerminalAsksBeforeLosingChanges) {
  using contura::host::PromptEnd;
  struct Case {
    std::deque<Answer> answers;  // after QUIT, with the drawing changed
    bool savedAtEnd;             // --save was given
    PromptEnd end;
    bool fileWritten;
  } cases[] = {
      {{Answer::line("no")}, false, PromptEnd::Quit, false},
      {{Answer::line("是"), Answer::line("quit.dxf")}, false, PromptEnd::Quit, true},
      {{Answer::cancel({})}, false, PromptEnd::EndOfInput, false},  // back at the prompt
      {{Answer::line("cancel"), Answer::line("QUIT"), Answer::line("n")}, false, PromptEnd::Quit, false},
      {{Answer::line("maybe"), Answer::line("y"), Answer::cancel({})}, false, PromptEnd::EndOfInput, false},
      {{}, true, PromptEnd::Quit, false},  // --save keeps the changes: no question
  };
  for (Case& c : cases) {
    fs::path target = dir / "quit.dxf";
    fs::remove(target);
    auto drawing = std::make_unique<AcDbDatabase>(true);
    contura::host::DrawingDocument document(drawing, std::nullopt, contura::dxf::kDefaultWriteVersion);
    drawing->setLtscale(2.5);  // a change
    ASSERT_TRUE(document.isModified());
    c.answers.push_front(Answer::line("quit"));
    for (Answer& a : c.answers)
      if (a.text == "quit.dxf") a.text = target.string();
    Person person(c.answers);
    std::ostringstream out;
    contura::host::Console console(out);
    EXPECT_EQ(contura::host::runCommandPrompt(person, console, {&document, c.savedAtEnd}), c.end) << out.str();
    EXPECT_EQ(fs::exists(target), c.fileWritten) << out.str();
    EXPECT_EQ(document.isModified(), !c.fileWritten);
  }
}

}  // namespace
