// What the terminal makes of typed text: Tab completion among command and file names, the
// name suggested for an unknown command, and long dialog contents cut short.
#include "command_prompt.h"
#include "dialog_actions.h"
#include "line_editor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using contura::host::complete;
using Names = std::vector<std::string>;

TEST(Completion, WordGrowsToTheOnlyMatchOrTheSharedBeginning) {
  const Names commands = {"JMGL", "CJLX", "SAVE", "SAVEAS", "SectionLib", "截面", "截阳"};
  struct Case {
    const char* typed;
    bool ignoreCase;
    const char* word;
    size_t matches;
  } cases[] = {
      {"JM", true, "JMGL", 1},   {"jm", true, "JMGL", 1},  {"jm", false, "jm", 0},
      {"sa", true, "SAVE", 2},   {"SAVE", true, "SAVE", 2}, {"s", true, "s", 3},
      {"x", true, "x", 0},       {"", true, "", 7},
      {"截", true, "截", 2},  // 面 and 阳 share their first byte: no half character is added
  };
  for (const Case& c : cases) {
    contura::host::Completion got = complete(c.typed, commands, c.ignoreCase);
    EXPECT_EQ(got.word, c.word) << c.typed;
    EXPECT_EQ(got.matches.size(), c.matches) << c.typed;
  }
}

TEST(Completion, FileNamesInTheTypedFolder) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("contura-completion-" + std::to_string(getpid()));
  fs::create_directories(dir / "plans");
  for (const char* name : {"plan.dxf", "Plan2.dxf", ".hidden"}) std::ofstream(dir / name) << "x";
  const std::string d = dir.string() + "/";
  struct Case {
    std::string typed;
    Names found;
  } cases[] = {
      {d + "pl", {d + "plan.dxf", d + "plans/"}},
      {d + "P", {d + "Plan2.dxf"}},
      {d + ".", {d + ".hidden"}},
      {d + "plans/", {}},
      {d + "none/x", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(contura::host::fileNameCandidates(c.typed), c.found) << c.typed;
  EXPECT_EQ(complete(d + "pl", contura::host::fileNameCandidates(d + "pl"), false).word, d + "plan");
  fs::remove_all(dir);
}

TEST(Suggestion, NearestNameWithinTwoSteps) {
  const Names names = {"JMGL", "QUIT", "SAVEAS", "SAVE", "截面", "XY"};
  struct Case {
    const char* typed;
    const char* near;
  } cases[] = {
      {"JMG", "JMGL"}, {"jmgk", "JMGL"}, {"QIUT", "QUIT"}, {"SAVEA", "SAVEAS"}, {"SAVR", "SAVE"},
      {"截", "截面"},  // one character of Chinese is one step
      {"X", "XY"},     {"AB", ""},       {"NOSUCH", ""},   {"JM", "JMGL"},
  };
  for (const Case& c : cases) EXPECT_EQ(contura::host::nearestName(c.typed, names), c.near) << c.typed;
}

TEST(DialogText, LongContentsShowTheirFirstLinesAndACount) {
  auto lines = [](const std::string& prefix, int from, int to) {
    std::string out;
    for (int i = from; i <= to; ++i) out += prefix + std::to_string(i) + "\n";
    return out;
  };
  const std::string head = "对话框 “信息” (100) 300 x 200\n";
  const std::string edit = "  [1] 编辑框 “行1”\n";
  const std::string list = "  [2] 列表框 12 行\n";
  const std::string button = "  [3] 按钮 “确定”\n";
  struct Case {
    std::string description, shown;
  } cases[] = {
      {head + edit + lines("        | 行", 2, 4) + button, head + edit + lines("        | 行", 2, 4) + button},
      {head + edit + lines("        | 行", 2, 30) + button,
       head + edit + lines("        | 行", 2, 4) + "        ……共 30 行\n" + button},
      {head + list + lines("          行", 1, 12) + edit + lines("        | 行", 2, 5),
       head + list + lines("          行", 1, 3) + "        ……共 12 行\n" + edit + lines("        | 行", 2, 4) +
           "        ……共 5 行\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(contura::host::abbreviateLongContents(c.description, 3), c.shown);
}

}  // namespace
