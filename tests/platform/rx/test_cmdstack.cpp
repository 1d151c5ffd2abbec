// The command stack: registration rules, lookup in any letter case, group order, removal.
#include <accmd.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

void handlerA() {}
void handlerB() {}

using Listing = std::vector<std::pair<std::string, std::string>>;  // (group, global name)

Listing listing(const AcEdCommandStack& stack) {
  Listing result;
  std::unique_ptr<AcEdCommandIterator> it(stack.iterator());
  for (; !it->done(); it->next()) result.emplace_back(it->commandGroup(), it->command()->globalName());
  return result;
}

TEST(CommandStack, AddRefusesDuplicatesWithinAGroupInAnyCase) {
  AcEdCommandStack stack;
  AcEdCommand* added = nullptr;
  ASSERT_EQ(stack.addCommand("G", "Draw", "HUA", ACRX_CMD_TRANSPARENT, handlerA, nullptr, 7,
                             nullptr, &added),
            Acad::eOk);
  ASSERT_EQ(added, stack.lookupLocalCmd("hua"));

  AcEdCommand* refused = added;
  EXPECT_EQ(stack.addCommand("G", "DRAW", "OTHER", 0, handlerB, nullptr, -1, nullptr, &refused),
            Acad::eDuplicateKey);
  EXPECT_EQ(refused, nullptr);
  EXPECT_EQ(stack.addCommand("g", "Paint", "hua", 0, handlerB), Acad::eDuplicateKey);  // local clash
  // The same names in another group are another command.
  EXPECT_EQ(stack.addCommand("H", "Draw", "HUA", 0, handlerB), Acad::eOk);
  EXPECT_EQ(listing(stack), (Listing{{"H", "Draw"}, {"G", "Draw"}}));
}

TEST(CommandStack, AddRefusesBadArguments) {
  AcEdCommandStack stack;
  std::string longest(ACRX_MAX_CMDNAME_LEN, 'N');
  EXPECT_EQ(stack.addCommand(nullptr, "A", "A", 0, handlerA), Acad::eInvalidInput);
  EXPECT_EQ(stack.addCommand("", "A", "A", 0, handlerA), Acad::eInvalidInput);
  EXPECT_EQ(stack.addCommand("G", nullptr, "A", 0, handlerA), Acad::eInvalidInput);
  EXPECT_EQ(stack.addCommand("G", "", "A", 0, handlerA), Acad::eInvalidInput);
  EXPECT_EQ(stack.addCommand("G", "A", "A", 0, nullptr), Acad::eInvalidInput);
  EXPECT_EQ(stack.addCommand("G", "TWO WORDS", "A", 0, handlerA), Acad::eInvalidInput);
  EXPECT_EQ(stack.addCommand("G", (longest + "N").c_str(), "A", 0, handlerA), Acad::eInvalidInput);
  EXPECT_TRUE(listing(stack).empty());
  EXPECT_EQ(stack.addCommand("G", longest.c_str(), "L", 0, handlerA), Acad::eOk);
  // Without a local name the global name serves for both.
  EXPECT_EQ(stack.addCommand("G", "Solo", nullptr, 0, handlerA), Acad::eOk);
  AcEdCommand* solo = stack.lookupLocalCmd("SOLO");
  ASSERT_NE(solo, nullptr);
  EXPECT_STREQ(solo->localName(), "Solo");
}

TEST(CommandStack, LookupByGlobalOrLocalNameInAnyCase) {
  AcEdCommandStack stack;
  HINSTANCE resource = reinterpret_cast<HINSTANCE>(0x1234);
  ASSERT_EQ(stack.addCommand("G", "SectionLib", "JMGL", 1, handlerA, nullptr, -1, resource), Acad::eOk);
  ASSERT_EQ(stack.addCommand("G", "Chinese", "\xBD\xD8\xC3\xE6", 1, handlerB), Acad::eOk);  // 截面
  for (const char* name : {"SectionLib", "SECTIONLIB", "sectionlib", "sEcTiOnLiB"}) {
    AcEdCommand* cmd = stack.lookupGlobalCmd(name);
    ASSERT_NE(cmd, nullptr) << name;
    EXPECT_EQ(cmd->functionAddr(), &handlerA);
    EXPECT_EQ(cmd->resourceHandle(), resource);
  }
  EXPECT_EQ(stack.lookupLocalCmd("jmgl"), stack.lookupGlobalCmd("SECTIONLIB"));
  EXPECT_EQ(stack.lookupLocalCmd("SectionLib"), nullptr);  // a global name is not a local one
  EXPECT_EQ(stack.lookupGlobalCmd("JMGL"), nullptr);
  EXPECT_EQ(stack.lookupCmd("JMGL", /*globalFlag=*/false), stack.lookupLocalCmd("JMGL"));
  EXPECT_NE(stack.lookupLocalCmd("\xBD\xD8\xC3\xE6"), nullptr);
  EXPECT_EQ(stack.lookupLocalCmd("\xBD\xD8"), nullptr);
  EXPECT_EQ(stack.lookupLocalCmd(nullptr), nullptr);
  EXPECT_EQ(stack.lookupLocalCmd(""), nullptr);
  EXPECT_STREQ(stack.groupOf(stack.lookupLocalCmd("JMGL")), "G");

  stack.lookupLocalCmd("JMGL")->commandUndef(true);
  EXPECT_EQ(stack.lookupCmd("JMGL", false, /*skipUndefed=*/true), nullptr);
  EXPECT_NE(stack.lookupCmd("JMGL", false), nullptr);
}

TEST(CommandStack, NewerGroupsAreFoundFirstUntilAnotherIsPoppedToTop) {
  AcEdCommandStack stack;
  stack.addCommand("Old", "Same", "S1", 0, handlerA);
  stack.addCommand("New", "Same", "S2", 0, handlerB);
  EXPECT_EQ(stack.lookupGlobalCmd("same")->functionAddr(), &handlerB);
  EXPECT_EQ(stack.popGroupToTop("OLD"), Acad::eOk);
  EXPECT_EQ(stack.lookupGlobalCmd("same")->functionAddr(), &handlerA);
  EXPECT_EQ(listing(stack), (Listing{{"Old", "Same"}, {"New", "Same"}}));
  EXPECT_EQ(stack.popGroupToTop("Missing"), Acad::eKeyNotFound);
}

TEST(CommandStack, RemovalByCommandAndByGroup) {
  AcEdCommandStack stack;
  for (const char* name : {"One", "Two", "Three"}) stack.addCommand("G", name, nullptr, 0, handlerA);
  stack.addCommand("K", "Keep", nullptr, 0, handlerA);
  EXPECT_EQ(listing(stack), (Listing{{"K", "Keep"}, {"G", "One"}, {"G", "Two"}, {"G", "Three"}}));

  EXPECT_EQ(stack.removeCmd("g", "TWO"), Acad::eOk);
  EXPECT_EQ(stack.removeCmd("G", "Two"), Acad::eKeyNotFound);
  EXPECT_EQ(stack.removeCmd("Missing", "One"), Acad::eKeyNotFound);
  EXPECT_EQ(stack.removeCmd("K", "One"), Acad::eKeyNotFound);  // wrong group
  EXPECT_EQ(listing(stack), (Listing{{"K", "Keep"}, {"G", "One"}, {"G", "Three"}}));

  // The last command of a group takes the group with it.
  EXPECT_EQ(stack.removeCmd("K", "Keep"), Acad::eOk);
  EXPECT_EQ(stack.removeGroup("K"), Acad::eKeyNotFound);

  EXPECT_EQ(stack.removeGroup("G"), Acad::eOk);
  EXPECT_TRUE(listing(stack).empty());
  EXPECT_EQ(stack.lookupGlobalCmd("One"), nullptr);
  // A removed name can be added again.
  EXPECT_EQ(stack.addCommand("G", "One", nullptr, 0, handlerB), Acad::eOk);
}

}  // namespace
