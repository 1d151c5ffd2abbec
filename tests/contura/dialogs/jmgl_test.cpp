// The command JMGL with the module's objects in this program: the dialog runs on the library
// at the module's fixed path (through the drive map) with the module's resources current, and
// the resource handle is popped when it ends. (The scope pops on every path, an exception
// included, in the module shell tests; a missing library is an end-to-end library run.)
#include <acdocman.h>
#include <contura/os/module.h>
#include <contura/os/paths.h>
#include <gtest/gtest.h>

#include <functional>

#include "app/ConturaApp.h"
#include "library/SectionLibStore.h"
#include "resources/LibraryResource.h"
#include "library_fixture.h"
#include "test_backend.h"

extern "C" BOOL DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);

using contura::afx::DialogSession;

namespace {

// The module attached as the host attaches it, drive E: in a temporary folder.
class SectionLibCommand : public LibraryTest {
protected:
  void SetUp() override {
    LibraryTest::SetUp();
    contura::os::driveMap().map('E', dir_);
    self_ = contura::os::mainProgramHandle();
    hostResource_ = AfxGetResourceHandle();
    ASSERT_TRUE(DllMain(self_, DLL_PROCESS_ATTACH, nullptr));
    acDocManagerPtr()->clearResourceHistory();
  }
  void TearDown() override {
    DllMain(self_, DLL_PROCESS_DETACH, nullptr);
    contura::os::driveMap().unmap('E');
    LibraryTest::TearDown();
  }
  // The library at the fixed path, with one row named `name`.
  void makeLibrary(const char* name) {
    fs::path folder = dir_ / "_Velmora" / "vlmr" / "Support";
    fs::create_directories(folder);
    std::string error;
    ASSERT_TRUE(contura::dao::createLibraryFile(folder / "SectionLib.mdb", error)) << error;
    CSectionLibStore store(CString((folder / "SectionLib.mdb").c_str()));
    auto* rec = new CSectionLibRecord;
    rec->m_strName = name;
    rec->m_strSectionInfo = "[Circle]\nCenter=0,0\nRadius=5\nColor=255,0,0\nLayer=0\n";
    ASSERT_EQ(store.Add(rec), 0) << store.m_strError.GetString();
  }
  // Runs JMGL; `last` ends the dialog. Checks the resources around and after the dialog.
  void runJmgl(std::function<void(DialogSession&)> last, int expectedRows) {
    TestBackend backend;
    contura::afx::ScopedUiBackend scope(backend);
    backend.steps.push_back([&](DialogSession& s) {
      EXPECT_EQ(AfxGetResourceHandle(), self_);
      EXPECT_EQ(acDocManagerPtr()->resourceStackDepth(), 1);
      EXPECT_EQ(SendDlgItemMessage(s.dialog(), IDC_LIST_SECTION, LB_GETCOUNT, 0, 0), expectedRows);
    });
    backend.steps.push_back(last);
    CConturaApp::OnSectionLib();
    EXPECT_EQ(backend.dialogsRun, std::vector<UINT>{IDD_DLG_SECTIONLIBMANAGE});
    EXPECT_TRUE(backend.steps.empty());
    EXPECT_EQ(AfxGetResourceHandle(), hostResource_);
    EXPECT_EQ(acDocManagerPtr()->resourceStackDepth(), 0);
    const auto& history = acDocManagerPtr()->resourceHistory();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].kind, AcApDocManager::ResourceEvent::kPush);
    EXPECT_EQ(history[0].handle, self_);
    EXPECT_EQ(history[1].kind, AcApDocManager::ResourceEvent::kPop);
  }

  HINSTANCE self_ = nullptr;
  HINSTANCE hostResource_ = nullptr;
};

}  // namespace

TEST_F(SectionLibCommand, OutputEndsTheDialogAndPopsTheResources) {
  makeLibrary("圆");
  runJmgl(
      [](DialogSession& s) {
        s.select(GetDlgItem(s.dialog(), IDC_LIST_SECTION), contura::afx::RowRef::number(0));
        s.click(GetDlgItem(s.dialog(), IDC_BTN_OUTPUT));
        EXPECT_TRUE(s.ended());
      },
      1);
}
