// The built Contura.arx loaded as the host loads it: attach, kInitAppMsg, unload, detach.
#include <accmd.h>
#include <acdocman.h>
#include <afxres.h>
#include <contura/afx/resources.h>
#include <contura/rx/app_loader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> conturaCommandNames() {
  std::vector<std::string> names;
  std::unique_ptr<AcEdCommandIterator> it(acedRegCmds->iterator());
  for (; !it->done(); it->next())
    if (std::string(it->commandGroup()) == "Contura")
      names.push_back(std::string(it->command()->globalName()) + "/" + it->command()->localName());
  return names;
}

bool chainHas(HINSTANCE module) {
  auto chain = contura::afx::extensionChain();
  return std::any_of(chain.begin(), chain.end(), [&](const auto& e) { return e.module == module; });
}

const std::vector<std::string> kTable = {"SectionLib/JMGL", "CreateSection/CJLX", "ChangeVar/XGBL",
                                         "AddVar/TJBL", "USection/USD"};

class LoadedModule : public ::testing::Test {
protected:
  void SetUp() override {
    hostResource = AfxGetResourceHandle();
    std::string error;
    ASSERT_TRUE(contura::rx::loadApplication(CONTURA_ARX, error)) << error;
    app = contura::rx::loadedApplications().back();
  }
  void TearDown() override { contura::rx::unloadAllApplications(); }
  contura::rx::LoadedApp app{};
  HINSTANCE hostResource = nullptr;
};

TEST_F(LoadedModule, LoadingAttachesUnlocksAndRegistersTheCommands) {
  EXPECT_EQ(app.name, "Contura.arx");
  EXPECT_FALSE(app.locked);
  EXPECT_TRUE(app.mdiAware);
  EXPECT_EQ(conturaCommandNames(), kTable);
  for (const char* local : {"jmgl", "CJLX", "xgbl", "TjBl", "usd"}) {
    AcEdCommand* cmd = acedRegCmds->lookupLocalCmd(local);
    ASSERT_NE(cmd, nullptr) << local;
    EXPECT_EQ(cmd->resourceHandle(), app.instance);
    EXPECT_EQ(cmd->commandFlags(), ACRX_CMD_TRANSPARENT);
  }
  EXPECT_TRUE(chainHas(app.instance));
  EXPECT_STREQ(contura::afx::findStringIn(app.instance, 100), "Contura");
  // With nothing pushed, every dialog template of the module is found through the chain (the
  // variable commands rely on it).
  const AFX_RESOURCE_TABLE* table = contura::afx::resourceTableOf(app.instance);
  ASSERT_NE(table, nullptr);
  ASSERT_GT(table->dialogCount, 0);
  for (int i = 0; i < table->dialogCount; ++i)
    EXPECT_EQ(AfxFindDialogTemplate(table->dialogs[i].id), &table->dialogs[i]) << table->dialogs[i].id;
  EXPECT_EQ(AfxGetResourceHandle(), hostResource);
  EXPECT_EQ(acDocManagerPtr()->resourceStackDepth(), 0);
}

TEST_F(LoadedModule, UnloadingRemovesEverythingAndLoadingAgainRestoresIt) {
  std::string error;
  ASSERT_TRUE(contura::rx::unloadApplication("contura.arx", error)) << error;
  EXPECT_TRUE(conturaCommandNames().empty());
  EXPECT_FALSE(chainHas(app.instance));
  ASSERT_TRUE(contura::rx::loadApplication(CONTURA_ARX, error)) << error;
  EXPECT_EQ(conturaCommandNames(), kTable);
  EXPECT_TRUE(chainHas(contura::rx::loadedApplications().back().instance));
}

}  // namespace
