// Resource tables found through module handles, and MFC's search order over the current
// resource handle and the chain of extension modules.
#include <afx.h>
#include <afxres.h>
#include <gtest/gtest.h>

#include <cstring>

#include "contura/afx/resources.h"
#include "contura/os/module.h"

using contura::afx::extensionChain;
using contura::os::mainProgramHandle;
using contura::os::Module;

namespace {

const AFX_DLGITEM kItems[] = {
    {1, "BUTTON", "\xC8\xB7\xB6\xA8", 0x50010001, 0, 7, 7, 50, 14},
    {1001, "EDIT", "", 0x50810080, 0x200, 7, 25, 120, 12},
};
const AFX_DLGTEMPLATE kDialogs[] = {
    {200, "exe-200", 0x80C80080, 0, 0, 0, 180, 90, "MS Shell Dlg", 8, kItems, 2},
};
const AFX_STRINGENTRY kStrings[] = {
    {100, "exe-100"},
    {300, "exe-only"},
    {102, "ab\xD6\xD0\xCE\xC4"},
};

}  // namespace

// This test program's own resources, found through its own handle.
AFX_MODULE_RESOURCES = {kDialogs, 1, kStrings, 3};

namespace {

using AttachFn = BOOL (*)(HINSTANCE);
using DetachFn = void (*)();
using AttachedFn = BOOL (*)();

struct Fixture {
  std::unique_ptr<Module> module;
  AttachFn attach = nullptr;
  DetachFn detach = nullptr;
  AttachedFn attached = nullptr;
  HINSTANCE h() const { return module->handle(); }
};

Fixture loadFixture(const char* file) {
  Fixture f;
  std::string error;
  f.module = Module::load(file, error);
  EXPECT_NE(f.module, nullptr) << error;
  if (f.module) {
    f.attach = reinterpret_cast<AttachFn>(f.module->symbol("fixtureAttach"));
    f.detach = reinterpret_cast<DetachFn>(f.module->symbol("fixtureDetach"));
    f.attached = reinterpret_cast<AttachedFn>(f.module->symbol("fixtureAttached"));
  }
  return f;
}

std::string text(const char* s) { return s ? s : "(none)"; }
std::string caption(UINT id) {
  const AFX_DLGTEMPLATE* t = AfxFindDialogTemplate(id);
  return t ? t->caption : "(none)";
}

class ResourceChain : public ::testing::Test {
protected:
  void SetUp() override {
    a_ = loadFixture(FIXTURE_A);
    b_ = loadFixture(FIXTURE_B);
    ASSERT_TRUE(a_.attach && b_.attach && a_.detach && b_.detach && a_.attached);
  }
  void TearDown() override {
    AfxSetResourceHandle(nullptr);
    // A test that fails half-way must not leave chain entries pointing into unloaded modules.
    AFX_EXTENSION_MODULE any{};
    AfxTermExtensionModule(any, TRUE);
  }
  Fixture a_, b_;
};

TEST_F(ResourceChain, TheProgramFindsItsOwnTable) {
  EXPECT_EQ(contura::afx::resourceTableOf(mainProgramHandle()), &_afxModuleResources);
  EXPECT_EQ(AfxGetResourceHandle(), mainProgramHandle());
  EXPECT_EQ(AfxGetInstanceHandle(), mainProgramHandle());
  const AFX_DLGTEMPLATE* t = AfxFindDialogTemplate(200);
  ASSERT_EQ(t, &kDialogs[0]);
  ASSERT_EQ(t->itemCount, 2);
  EXPECT_STREQ(t->items[1].className, "EDIT");
  EXPECT_EQ(contura::afx::findDialogIn(mainProgramHandle(), 201), nullptr);
  EXPECT_EQ(contura::afx::resourceTableOf(nullptr), nullptr);
}

TEST_F(ResourceChain, CurrentHandleFirstThenNewestExtensionModule) {
  ASSERT_TRUE(a_.attach(a_.h()));
  ASSERT_TRUE(b_.attach(b_.h()));
  auto chain = extensionChain();
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_EQ(chain[0].resource, b_.h());
  EXPECT_EQ(chain[1].module, a_.h());

  EXPECT_EQ(text(AfxFindString(100)), "exe-100");  // the program's own comes first
  EXPECT_EQ(text(AfxFindString(101)), "B-101");    // then the newest module
  EXPECT_EQ(text(AfxFindString(103)), "A-own");
  EXPECT_EQ(text(AfxFindString(104)), "B-own");
  EXPECT_EQ(text(AfxFindString(999)), "(none)");
  EXPECT_EQ(caption(200), "exe-200");
  EXPECT_EQ(caption(201), "B-201");
  EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(101), RT_STRING), b_.h());
  EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(201), RT_DIALOG), b_.h());
  EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(999), RT_DIALOG), mainProgramHandle());

  // With module A's resources current, A wins over the newer B, and the program's own
  // resources are no longer searched (it is not in the chain).
  AfxSetResourceHandle(a_.h());
  EXPECT_EQ(AfxGetResourceHandle(), a_.h());
  EXPECT_EQ(text(AfxFindString(100)), "A-100");
  EXPECT_EQ(text(AfxFindString(101)), "A-101");
  EXPECT_EQ(text(AfxFindString(104)), "B-own");
  EXPECT_EQ(text(AfxFindString(300)), "(none)");
  EXPECT_EQ(caption(200), "A-200");
  EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(999), RT_STRING), a_.h());
  AfxSetResourceHandle(nullptr);

  // Detaching B takes it out of the chain; A answers what B answered before.
  b_.detach();
  chain = extensionChain();
  ASSERT_EQ(chain.size(), 1u);
  EXPECT_EQ(chain[0].module, a_.h());
  EXPECT_EQ(text(AfxFindString(101)), "A-101");
  EXPECT_EQ(text(AfxFindString(104)), "(none)");
  a_.detach();
  EXPECT_FALSE(a_.attached());
  EXPECT_TRUE(extensionChain().empty());
}

TEST_F(ResourceChain, LibrariesJoinOnConstructionAndLeaveOnDestruction) {
  {
    CDynLinkLibrary first(a_.h(), a_.h());
    AFX_EXTENSION_MODULE state{TRUE, b_.h(), b_.h(), nullptr, nullptr};
    {
      // A system module is searched after the others even though it is newer.
      CDynLinkLibrary system(state, TRUE);
      auto chain = extensionChain();
      ASSERT_EQ(chain.size(), 2u);
      EXPECT_TRUE(chain[0].system);
      EXPECT_EQ(text(AfxFindString(101)), "A-101");
      EXPECT_EQ(text(AfxFindString(104)), "B-own");
    }
    auto chain = extensionChain();
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_EQ(chain[0].module, a_.h());
    EXPECT_EQ(text(AfxFindString(104)), "(none)");
    CDynLinkLibrary second(b_.h(), b_.h());
    EXPECT_EQ(text(AfxFindString(101)), "B-101");
  }
  EXPECT_TRUE(extensionChain().empty());
  EXPECT_EQ(text(AfxFindString(101)), "(none)");
}

TEST_F(ResourceChain, ExtensionModuleStateAndTermination) {
  AFX_EXTENSION_MODULE state{FALSE, nullptr, nullptr, nullptr, nullptr};
  EXPECT_FALSE(AfxInitExtensionModule(state, nullptr));
  EXPECT_FALSE(state.bInitialized);
  EXPECT_TRUE(AfxInitExtensionModule(state, a_.h()));
  EXPECT_TRUE(AfxInitExtensionModule(state, b_.h()));  // already initialised: unchanged
  EXPECT_EQ(state.hResource, a_.h());

  new CDynLinkLibrary(state);
  new CDynLinkLibrary(b_.h(), b_.h());
  new CDynLinkLibrary(state);
  EXPECT_EQ(extensionChain().size(), 3u);
  AfxTermExtensionModule(state);  // only A's entries go
  EXPECT_FALSE(state.bInitialized);
  auto chain = extensionChain();
  ASSERT_EQ(chain.size(), 1u);
  EXPECT_EQ(chain[0].module, b_.h());
  AfxTermExtensionModule(state, TRUE);  // everything goes
  EXPECT_TRUE(extensionChain().empty());
}

TEST_F(ResourceChain, LoadingStrings) {
  CString s;
  EXPECT_TRUE(s.LoadString(300));
  EXPECT_EQ(s, "exe-only");
  s = "stale";
  EXPECT_FALSE(s.LoadString(999));
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(CString(MAKEINTRESOURCE(100)), "exe-100");
  s = MAKEINTRESOURCE(300);
  EXPECT_EQ(s, "exe-only");

  ASSERT_TRUE(b_.attach(b_.h()));
  EXPECT_TRUE(s.LoadString(104));
  EXPECT_EQ(s, "B-own");
  b_.detach();

  // The Windows call reads one module and never cuts a double-byte character in two.
  char buf[16];
  struct Case {
    int room;
    int copied;
    const char* want;
  } cases[] = {{16, 6, "ab\xD6\xD0\xCE\xC4"}, {7, 6, "ab\xD6\xD0\xCE\xC4"}, {6, 4, "ab\xD6\xD0"},
               {5, 4, "ab\xD6\xD0"},           {4, 2, "ab"},                  {1, 0, ""}};
  for (const Case& c : cases) {
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(LoadString(mainProgramHandle(), 102, buf, c.room), c.copied) << c.room;
    EXPECT_STREQ(buf, c.want) << c.room;
  }
  EXPECT_EQ(LoadString(mainProgramHandle(), 999, buf, 16), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(LoadString(a_.h(), 300, buf, 16), 0);  // the program's string, not A's
  EXPECT_EQ(LoadString(mainProgramHandle(), 102, buf, 0), 0);
}

}  // namespace
