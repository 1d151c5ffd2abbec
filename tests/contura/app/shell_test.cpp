// The module shell with the module's objects in this program: DllMain, messages other than
// load and unload, and the resource scope. (The command table, its unloading and the string
// table are checked on the built Contura.arx in loaded_module_test.cpp; every command runs by
// both names in the end-to-end transcript.)
#include "app/ConturaApp.h"
#include "app/ConturaModule.h"
#include "app/ResourceScope.h"

#include <acdocman.h>
#include <contura/afx/resources.h>
#include <contura/ed/print_sink.h>
#include <contura/os/module.h>
#include <contura/ui/acui_state.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" BOOL DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);

namespace {

struct CommandRow {
  std::string global, local;
  Adesk::Int32 flags;
  AcRxFunctionPtr function;
  HINSTANCE resource;
  bool operator==(const CommandRow&) const = default;
};

// The commands of group "Contura", in the stack's order.
std::vector<CommandRow> conturaCommands() {
  std::vector<CommandRow> rows;
  std::unique_ptr<AcEdCommandIterator> it(acedRegCmds->iterator());
  for (; !it->done(); it->next()) {
    if (std::string(it->commandGroup()) != "Contura") continue;
    const AcEdCommand* c = it->command();
    rows.push_back({c->globalName(), c->localName(), c->commandFlags(), c->functionAddr(), c->resourceHandle()});
  }
  return rows;
}

bool chainHas(HINSTANCE module) {
  auto chain = contura::afx::extensionChain();
  return std::any_of(chain.begin(), chain.end(), [&](const auto& e) { return e.module == module; });
}

// The module attached and initialised, as the host leaves it after loading.
class ModuleShell : public ::testing::Test {
protected:
  void SetUp() override {
    self = contura::os::mainProgramHandle();
    hostResource = AfxGetResourceHandle();
    ASSERT_TRUE(DllMain(self, DLL_PROCESS_ATTACH, nullptr));
    ASSERT_EQ(acrxEntryPoint(AcRx::kInitAppMsg, &appId), AcRx::kRetOK);
  }
  void TearDown() override {
    acrxEntryPoint(AcRx::kUnloadAppMsg, &appId);
    DllMain(self, DLL_PROCESS_DETACH, nullptr);
  }
  HINSTANCE self = nullptr;
  HINSTANCE hostResource = nullptr;
  int appId = 0;  // stands for the id the dynamic linker gives
};

// Everything a message could change, to compare before and after.
struct Observed {
  std::vector<CommandRow> commands;
  std::string printed;
  HINSTANCE resource;
  size_t resourceEvents;
  bool operator==(const Observed&) const = default;
};

TEST_F(ModuleShell, MessagesOtherThanLoadAndUnloadReturnOkAndChangeNothing) {
  std::string printed;
  contura::ed::ScopedPrintSink sink([&](std::string_view t) { printed += t; });
  auto observe = [&] {
    return Observed{conturaCommands(), printed, AfxGetResourceHandle(),
                    acDocManagerPtr()->resourceHistory().size()};
  };
  const Observed before = observe();
  std::vector<int> codes = {AcRx::kNullMsg};
  for (int code = AcRx::kLoadDwgMsg; code <= AcRx::kEndDialogMsg; ++code) codes.push_back(code);
  for (int code : {16, 17, 18, 19, 64, 1000}) codes.push_back(code);  // unknown to the module
  for (int code : codes) {
    EXPECT_EQ(acrxEntryPoint(AcRx::AppMsgCode(code), &appId), AcRx::kRetOK) << code;
    EXPECT_EQ(observe(), before) << code;
  }
}

TEST_F(ModuleShell, AttachRecordsTheResourceHandlesOnceAndDetachEndsIt) {
  EXPECT_TRUE(ConturaDLL.Attached());
  EXPECT_EQ(ConturaDLL.ModuleResourceInstance(), self);
  EXPECT_EQ(ConturaDLL.DefaultResourceInstance(), hostResource);
  EXPECT_EQ(AfxGetResourceHandle(), hostResource);  // attaching does not switch resources
  EXPECT_TRUE(chainHas(self));
  EXPECT_TRUE(contura::ui::acuiInitialised());

  // A second attach leaves the record as it is; DllMain still answers TRUE.
  size_t chainLength = contura::afx::extensionChain().size();
  EXPECT_TRUE(DllMain(self, DLL_PROCESS_ATTACH, nullptr));
  EXPECT_EQ(contura::afx::extensionChain().size(), chainLength);
  EXPECT_TRUE(DllMain(self, DLL_THREAD_ATTACH, nullptr));
  EXPECT_TRUE(DllMain(self, DLL_THREAD_DETACH, nullptr));
  EXPECT_TRUE(ConturaDLL.Attached());

  EXPECT_TRUE(DllMain(self, DLL_PROCESS_DETACH, nullptr));
  EXPECT_FALSE(ConturaDLL.Attached());
  EXPECT_FALSE(chainHas(self));
  EXPECT_TRUE(DllMain(self, DLL_PROCESS_DETACH, nullptr));  // nothing left to end
  EXPECT_TRUE(DllMain(self, DLL_PROCESS_ATTACH, nullptr));  // for TearDown
}

TEST_F(ModuleShell, ResourceScopeMakesTheModulesResourcesCurrentAndPopsOnEveryPath) {
  AcApDocManager* manager = acDocManagerPtr();
  manager->clearResourceHistory();
  int depth = manager->resourceStackDepth();
  {
    CConturaResourceScope scope;
    EXPECT_EQ(AfxGetResourceHandle(), self);
    EXPECT_EQ(manager->resourceStackDepth(), depth + 1);
  }
  EXPECT_EQ(AfxGetResourceHandle(), hostResource);
  EXPECT_EQ(manager->resourceStackDepth(), depth);
  try {
    CConturaResourceScope scope;
    throw std::runtime_error("dialog failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(AfxGetResourceHandle(), hostResource);
  using E = AcApDocManager::ResourceEvent;
  const auto& history = manager->resourceHistory();
  ASSERT_EQ(history.size(), 4u);
  EXPECT_EQ(history[0].kind, E::kPush);
  EXPECT_EQ(history[0].handle, self);
  EXPECT_EQ(history[1].kind, E::kPop);
  EXPECT_EQ(history[1].handle, hostResource);
  EXPECT_EQ(history[3].kind, E::kPop);
}

}  // namespace
