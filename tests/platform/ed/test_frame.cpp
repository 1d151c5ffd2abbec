// The application frame, through a module built on it and loaded as the host loads modules.
#include "frame_probe.h"

#include <accmd.h>
#include <acedads.h>
#include <contura/ed/lisp_functions.h>
#include <contura/rx/app_loader.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

class AppFrame : public ::testing::Test {
protected:
  void SetUp() override {
    probe = new FrameTestProbe;
    acrxSysRegistry()->atPut(FRAME_TEST_PROBE, probe);
    std::string error;
    ASSERT_TRUE(contura::rx::loadApplication(FRAME_TEST_MODULE, error)) << error;
    app = contura::rx::loadedApplications().back();
  }
  void TearDown() override {
    contura::rx::unloadAllApplications();
    delete acrxSysRegistry()->remove(FRAME_TEST_PROBE);
  }
  FrameTestProbe* probe = nullptr;
  contura::rx::LoadedApp app{};
};

TEST_F(AppFrame, InitialisationUnlocksAndRegistersTheTables) {
  EXPECT_FALSE(app.locked);
  EXPECT_TRUE(app.mdiAware);
  EXPECT_EQ(probe->registerCalls, 1);

  std::vector<std::string> names;
  std::unique_ptr<AcEdCommandIterator> it(acedRegCmds->iterator());
  for (; !it->done(); it->next())
    if (std::string(it->commandGroup()) == "FrameGroup") names.push_back(it->command()->globalName());
  EXPECT_EQ(names, (std::vector<std::string>{"Plain", "NamedById", "Session"}));  // the empty entry skipped

  AcEdCommand* plain = acedRegCmds->lookupLocalCmd("PL");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->resourceHandle(), app.instance);
  EXPECT_EQ(plain->commandFlags(), ACRX_CMD_TRANSPARENT);
  EXPECT_EQ(plain->functionCode(), -1);
  // A missing local name comes from the module's string table.
  AcEdCommand* byId = acedRegCmds->lookupLocalCmd("BYID");
  ASSERT_NE(byId, nullptr);
  EXPECT_STREQ(byId->globalName(), "NamedById");
  // Session commands carry no resource handle.
  AcEdCommand* session = acedRegCmds->lookupGlobalCmd("Session");
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(session->resourceHandle(), nullptr);

  AcRxClass* parent = AcRxClass::cast(acrxClassDictionary->at("FrameParent"));
  AcRxClass* child = AcRxClass::cast(acrxClassDictionary->at("FrameChild"));
  ASSERT_NE(parent, nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->myParent(), parent);
}

TEST_F(AppFrame, UnloadingRemovesCommandsClassesAndLispFunctions) {
  ASSERT_EQ(contura::rx::sendAppMessage(app.appId, AcRx::kLoadDwgMsg, nullptr), AcRx::kRetOK);
  ASSERT_EQ(contura::ed::lispFunctions().size(), 2u);
  std::string error;
  ASSERT_TRUE(contura::rx::unloadApplication(app.name, error)) << error;
  EXPECT_TRUE(contura::ed::lispFunctions().empty());
  EXPECT_EQ(contura::ed::invokeLispFunction("c:direct"), RTERROR);
  EXPECT_EQ(acedRegCmds->lookupGlobalCmd("Plain"), nullptr);
  EXPECT_EQ(acedRegCmds->lookupGlobalCmd("NamedById"), nullptr);
  EXPECT_EQ(acedRegCmds->lookupGlobalCmd("Session"), nullptr);
  EXPECT_FALSE(acrxClassDictionary->has("FrameParent"));
  EXPECT_FALSE(acrxClassDictionary->has("FrameChild"));

  // Loading again registers everything again.
  ASSERT_TRUE(contura::rx::loadApplication(FRAME_TEST_MODULE, error)) << error;
  EXPECT_NE(acedRegCmds->lookupLocalCmd("BYID"), nullptr);
  EXPECT_TRUE(acrxClassDictionary->has("FrameChild"));
}

TEST_F(AppFrame, EachMessageReachesItsOwnHandlerAndUnknownCodesNone) {
  const int leftToModule[] = {AcRx::kNullMsg, AcRx::kCfgMsg, AcRx::kEndMsg, AcRx::kQuitMsg,
                              AcRx::kSaveMsg, AcRx::kDependencyMsg, AcRx::kNoDependencyMsg,
                              AcRx::kOleUnloadAppMsg, AcRx::kPreQuitMsg, AcRx::kInitDialogMsg,
                              AcRx::kEndDialogMsg};
  for (int code : leftToModule) {
    probe->handled.clear();
    EXPECT_EQ(contura::rx::sendAppMessage(app.appId, AcRx::AppMsgCode(code), nullptr), AcRx::kRetOK);
    EXPECT_EQ(probe->handled, (std::vector<int>{code}));
  }
  probe->handled.clear();
  for (int code : {16, 17, 18, 19, 200, -1}) {
    EXPECT_EQ(contura::rx::sendAppMessage(app.appId, AcRx::AppMsgCode(code), nullptr), AcRx::kRetOK);
  }
  EXPECT_TRUE(probe->handled.empty());
  EXPECT_EQ(probe->registerCalls, 1);
}

TEST_F(AppFrame, DrawingMessagesDefineAndUndefineTheLispTable) {
  ASSERT_EQ(contura::rx::sendAppMessage(app.appId, AcRx::kLoadDwgMsg, nullptr), AcRx::kRetOK);
  // Name, code, direct call, owner; codes are table indexes and the empty entry keeps its index.
  std::vector<std::tuple<std::string, int, bool, void*>> fns;
  for (const auto& f : contura::ed::lispFunctions()) fns.emplace_back(f.name, f.code, f.direct, f.appId);
  EXPECT_EQ(fns, (decltype(fns){{"c:direct", 0, true, app.appId}, {"c:bymessage", 2, false, app.appId}}));

  EXPECT_EQ(contura::ed::invokeLispFunction("C:DIRECT"), RTNORM);
  EXPECT_EQ(contura::ed::invokeLispFunction("c:bymessage"), RTNORM);  // through kInvkSubrMsg
  EXPECT_EQ(probe->lispCalls, (std::vector<std::string>{"direct", "byMessage"}));
  EXPECT_EQ(contura::ed::invokeLispFunction("c:missing"), RTERROR);
  // Outside an invocation there is no function code, and kInvkSubrMsg calls nothing.
  EXPECT_EQ(acedGetFunCode(), RTERROR);
  EXPECT_EQ(contura::rx::sendAppMessage(app.appId, AcRx::kInvkSubrMsg, nullptr), AcRx::kRetOK);
  EXPECT_EQ(probe->lispCalls.size(), 2u);

  ASSERT_EQ(contura::rx::sendAppMessage(app.appId, AcRx::kUnloadDwgMsg, nullptr), AcRx::kRetOK);
  EXPECT_TRUE(contura::ed::lispFunctions().empty());
}

TEST(LispDefinitions, RefuseBadArgumentsAndKeepOneDefinitionPerName) {
  EXPECT_EQ(acedDefun(nullptr, 0), RTERROR);
  EXPECT_EQ(acedDefun("", 0), RTERROR);
  EXPECT_EQ(acedDefun("c:x", -1), RTERROR);
  EXPECT_EQ(acedRegFunc(nullptr, -1), RTERROR);
  ASSERT_EQ(acedDefun("c:x", 3), RTNORM);
  ASSERT_EQ(acedDefun("C:X", 4), RTNORM);  // redefined, not duplicated
  ASSERT_EQ(contura::ed::lispFunctions().size(), 1u);
  EXPECT_EQ(contura::ed::lispFunctions()[0].code, 4);
  EXPECT_EQ(acedUndef("c:x", 3), RTERROR);  // wrong code
  EXPECT_EQ(acedUndef("c:x", 4), RTNORM);
  EXPECT_EQ(acedUndef("c:x", 4), RTERROR);
  EXPECT_TRUE(contura::ed::lispFunctions().empty());
}

}  // namespace
