// The dynamic linker and its loader, driven through two small modules built for the tests.
#include "probe.h"

#include <contura/rx/app_loader.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kModuleName = "rx_test_module.arx";

// Records every notification as "event:module".
struct RecordingReactor : AcRxDLinkerReactor {
  std::vector<std::string> events;
  void rxAppWillBeLoaded(const ACHAR* m) override { events.push_back(std::string("willLoad:") + m); }
  void rxAppLoaded(const ACHAR* m) override { events.push_back(std::string("loaded:") + m); }
  void rxAppLoadAborted(const ACHAR* m) override { events.push_back(std::string("loadAborted:") + m); }
  void rxAppWillBeUnloaded(const ACHAR* m) override { events.push_back(std::string("willUnload:") + m); }
  void rxAppUnloaded(const ACHAR* m) override { events.push_back(std::string("unloaded:") + m); }
  void rxAppUnloadAborted(const ACHAR* m) override { events.push_back(std::string("unloadAborted:") + m); }
};

class DynamicLinker : public ::testing::Test {
protected:
  void SetUp() override {
    probe = new RxTestProbe;
    acrxSysRegistry()->atPut(RX_TEST_PROBE, probe);
    acrxDynamicLinker->addReactor(&reactor);
  }
  void TearDown() override {
    contura::rx::unloadAllApplications();
    acrxDynamicLinker->removeReactor(&reactor);
    delete acrxSysRegistry()->remove(RX_TEST_PROBE);
  }
  bool load(std::string* error = nullptr) {
    std::string e;
    bool ok = contura::rx::loadApplication(RX_TEST_MODULE, e);
    if (error != nullptr) *error = e;
    return ok;
  }
  RxTestProbe* probe = nullptr;
  RecordingReactor reactor;
};

TEST_F(DynamicLinker, LoadAndUnloadFollowTheHostsOrder) {
  RecordingReactor second;
  acrxDynamicLinker->addReactor(&second);
  acrxDynamicLinker->addReactor(&second);  // added once only
  ASSERT_TRUE(load());
  EXPECT_EQ(second.events.size(), 2u);
  acrxDynamicLinker->removeReactor(&second);  // hears nothing more
  EXPECT_EQ(probe->dllMainReasons, (std::vector<int>{DLL_PROCESS_ATTACH}));
  EXPECT_EQ(probe->messages, (std::vector<int>{AcRx::kInitAppMsg}));
  std::vector<contura::rx::LoadedApp> apps = contura::rx::loadedApplications();
  ASSERT_EQ(apps.size(), 1u);
  EXPECT_EQ(apps[0].name, kModuleName);
  EXPECT_EQ(apps[0].instance, probe->instance);
  EXPECT_EQ(apps[0].appId, probe->appId);
  EXPECT_EQ(contura::rx::applicationId("RX_TEST_MODULE.ARX"), probe->appId);
  // The module unlocked itself and declared itself MDI-aware during kInitAppMsg.
  EXPECT_FALSE(acrxApplicationIsLocked(kModuleName));
  EXPECT_TRUE(acrxIsAppMDIAware(kModuleName));
  EXPECT_TRUE(acrxDynamicLinker->isModuleLoaded("/any/folder/RX_Test_Module.arx"));

  EXPECT_EQ(contura::rx::sendAppMessage(probe->appId, AcRx::kSaveMsg, nullptr), AcRx::kRetOK);
  EXPECT_EQ(contura::rx::sendAppMessage(&reactor, AcRx::kSaveMsg, nullptr), AcRx::kRetError);

  ASSERT_TRUE(acrxUnloadModule(kModuleName, false));
  EXPECT_EQ(probe->messages, (std::vector<int>{AcRx::kInitAppMsg, AcRx::kSaveMsg, AcRx::kUnloadAppMsg}));
  EXPECT_EQ(probe->dllMainReasons, (std::vector<int>{DLL_PROCESS_ATTACH, DLL_PROCESS_DETACH}));
  EXPECT_FALSE(acrxDynamicLinker->isModuleLoaded(kModuleName));
  EXPECT_TRUE(contura::rx::loadedApplications().empty());
  std::string m = kModuleName;
  EXPECT_EQ(reactor.events, (std::vector<std::string>{"willLoad:" + m, "loaded:" + m,
                                                      "willUnload:" + m, "unloaded:" + m}));
  EXPECT_EQ(second.events.size(), 2u);
  // Loaded again, it starts afresh.
  ASSERT_TRUE(acrxLoadModule(RX_TEST_MODULE, false));
  EXPECT_EQ(probe->messages.back(), AcRx::kInitAppMsg);
}

TEST_F(DynamicLinker, LockedModuleStaysUntilTheSessionEnds) {
  probe->unlockOnInit = false;
  probe->mdiAwareOnInit = false;
  ASSERT_TRUE(load());
  EXPECT_TRUE(acrxApplicationIsLocked(kModuleName));
  EXPECT_FALSE(acrxIsAppMDIAware(kModuleName));
  std::string error;
  EXPECT_FALSE(contura::rx::unloadApplication(kModuleName, error));
  EXPECT_NE(error.find("locked"), std::string::npos) << error;
  EXPECT_EQ(contura::rx::lastLoaderError(), error);
  EXPECT_EQ(probe->messages, (std::vector<int>{AcRx::kInitAppMsg}));  // never asked

  // The application id unlocks and locks it again.
  EXPECT_TRUE(acrxUnlockApplication(probe->appId));
  EXPECT_FALSE(acrxApplicationIsLocked(kModuleName));
  EXPECT_TRUE(acrxLockApplication(probe->appId));
  EXPECT_TRUE(acrxRegisterAppMDIAware(probe->appId));
  EXPECT_TRUE(acrxIsAppMDIAware(kModuleName));
  EXPECT_TRUE(acrxRegisterAppNotMDIAware(probe->appId));
  EXPECT_FALSE(acrxIsAppMDIAware(kModuleName));

  contura::rx::unloadAllApplications();
  EXPECT_FALSE(acrxDynamicLinker->isModuleLoaded(kModuleName));
  EXPECT_EQ(probe->messages.back(), AcRx::kUnloadAppMsg);
}

TEST_F(DynamicLinker, RefusedInitialisationOrDllMainUndoesTheLoad) {
  enum Refusal { kInitAnswer, kInitThrows, kDllMain };
  for (Refusal refusal : {kInitAnswer, kInitThrows, kDllMain}) {
    probe->messages.clear();
    probe->dllMainReasons.clear();
    reactor.events.clear();
    probe->initAnswer = refusal == kInitAnswer ? AcRx::kRetError : AcRx::kRetOK;
    probe->throwOnInit = refusal == kInitThrows;
    probe->dllMainAnswer = refusal == kDllMain ? FALSE : TRUE;
    std::string error;
    EXPECT_FALSE(load(&error));
    EXPECT_NE(error.find(refusal == kDllMain ? "DllMain" : "kInitAppMsg"), std::string::npos) << error;
    EXPECT_EQ(probe->dllMainReasons, (std::vector<int>{DLL_PROCESS_ATTACH, DLL_PROCESS_DETACH}));
    EXPECT_FALSE(acrxDynamicLinker->isModuleLoaded(kModuleName));
    std::string m = kModuleName;
    if (refusal == kDllMain)
      EXPECT_TRUE(probe->messages.empty());  // stopped before initialisation
    else
      EXPECT_EQ(reactor.events, (std::vector<std::string>{"willLoad:" + m, "loadAborted:" + m}));
  }
}

TEST_F(DynamicLinker, RefusedUnloadKeepsTheModuleUnlessForced) {
  probe->unloadAnswer = AcRx::kRetError;
  ASSERT_TRUE(load());
  std::string error;
  EXPECT_FALSE(contura::rx::unloadApplication(kModuleName, error));
  EXPECT_TRUE(acrxDynamicLinker->isModuleLoaded(kModuleName));
  EXPECT_EQ(reactor.events.back(), std::string("unloadAborted:") + kModuleName);
  EXPECT_EQ(probe->dllMainReasons.size(), 1u);  // not detached
  EXPECT_TRUE(contura::rx::unloadApplication(kModuleName, error, /*force=*/true));
  EXPECT_FALSE(acrxDynamicLinker->isModuleLoaded(kModuleName));
}

TEST_F(DynamicLinker, ModuleCannotUnloadItselfWhileItRuns) {
  probe->unloadSelfOnInit = true;
  ASSERT_TRUE(load());
  EXPECT_FALSE(probe->unloadSelfResult);
  EXPECT_TRUE(acrxDynamicLinker->isModuleLoaded(kModuleName));
}

TEST_F(DynamicLinker, BadModulesAreRefusedWithTheirReason) {
  std::string error;
  ASSERT_TRUE(load());
  EXPECT_FALSE(load(&error));
  EXPECT_NE(error.find("loaded already"), std::string::npos) << error;
  EXPECT_EQ(probe->messages, (std::vector<int>{AcRx::kInitAppMsg}));  // the first copy only

  // (A missing file and a module without acrxEntryPoint are refused with their reasons by the
  // program end to end.)
  EXPECT_FALSE(contura::rx::loadApplication(RX_PLAIN_MODULE, error));
  EXPECT_FALSE(acrxDynamicLinker->isModuleLoaded("rx_plain_module.arx"));

  EXPECT_FALSE(contura::rx::unloadApplication("Never.arx", error));
  EXPECT_NE(error.find("not loaded"), std::string::npos) << error;

  // Unknown application ids and names change nothing.
  EXPECT_FALSE(acrxUnlockApplication(&error));
  EXPECT_FALSE(acrxRegisterAppMDIAware(nullptr));
  EXPECT_FALSE(acrxApplicationIsLocked("Never.arx"));
  EXPECT_FALSE(acrxLoadModule(nullptr, false));
}

}  // namespace
