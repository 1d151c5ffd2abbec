// The document manager's resource-handle stack.
#include <acdocman.h>
#include <afxres.h>

#include <gtest/gtest.h>

namespace {

HINSTANCE handle(uintptr_t n) { return reinterpret_cast<HINSTANCE>(n); }

TEST(ResourceHandleStack, PushMakesCurrentAndPopRestoresInNestedOrder) {
  AcApDocManager* manager = acDocManagerPtr();
  ASSERT_EQ(manager, acDocManager);
  manager->clearResourceHistory();
  HINSTANCE start = AfxGetResourceHandle();
  int depth = manager->resourceStackDepth();

  manager->pushResourceHandle(handle(0x100));
  EXPECT_EQ(AfxGetResourceHandle(), handle(0x100));
  manager->pushResourceHandle(handle(0x200));
  EXPECT_EQ(AfxGetResourceHandle(), handle(0x200));
  EXPECT_EQ(manager->resourceStackDepth(), depth + 2);
  manager->popResourceHandle();
  EXPECT_EQ(AfxGetResourceHandle(), handle(0x100));
  manager->popResourceHandle();
  EXPECT_EQ(AfxGetResourceHandle(), start);
  EXPECT_EQ(manager->resourceStackDepth(), depth);

  using E = AcApDocManager::ResourceEvent;
  const auto& history = manager->resourceHistory();
  ASSERT_EQ(history.size(), 4u);
  EXPECT_EQ(history[0].kind, E::kPush);
  EXPECT_EQ(history[0].handle, handle(0x100));
  EXPECT_EQ(history[1].handle, handle(0x200));
  EXPECT_EQ(history[2].kind, E::kPop);
  EXPECT_EQ(history[2].handle, handle(0x100));
  EXPECT_EQ(history[3].handle, start);
}

TEST(ResourceHandleStack, PopWithoutPushChangesNothing) {
  AcApDocManager manager;
  HINSTANCE start = AfxGetResourceHandle();
  manager.popResourceHandle();
  EXPECT_EQ(AfxGetResourceHandle(), start);
  EXPECT_EQ(manager.resourceStackDepth(), 0);
  ASSERT_EQ(manager.resourceHistory().size(), 1u);
  EXPECT_EQ(manager.resourceHistory()[0].kind, AcApDocManager::ResourceEvent::kUnmatchedPop);
}

}  // namespace
