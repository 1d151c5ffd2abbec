// AcArray: lengths, growth, insertion and removal at the edges, search and value semantics.
#include <gtest/gtest.h>

#include <string>

#include "acarray.h"
#include "gept3dar.h"

namespace {

AcArray<int> ints(std::initializer_list<int> v) {
  AcArray<int> a;
  for (int x : v) a.append(x);
  return a;
}

TEST(AcArray, LengthsAndGrowth) {
  AcArray<int> a;
  EXPECT_EQ(a.physicalLength(), 0);
  EXPECT_TRUE(a.isEmpty());
  EXPECT_EQ(a.append(7), 0);
  EXPECT_EQ(a.append(9), 1);
  EXPECT_EQ(a.physicalLength(), 8);
  for (int i = 0; i < 100; ++i) a.append(i);
  EXPECT_EQ(a.length(), 102);
  EXPECT_GE(a.physicalLength(), 102);
  EXPECT_EQ(a[101], 99);

  AcArray<int> b(3, 2);
  EXPECT_EQ(b.physicalLength(), 3);
  EXPECT_EQ(b.logicalLength(), 0);
  b.setLogicalLength(5);
  EXPECT_EQ(b.length(), 5);
  EXPECT_EQ(b[4], 0);
  b[4] = 4;
  b.setPhysicalLength(2);  // cuts the logical length too
  EXPECT_EQ(b.length(), 2);
  EXPECT_EQ(b.physicalLength(), 2);
}

TEST(AcArray, InsertRemoveAtEdgesAndBadIndicesLeaveArrayUnchanged) {
  AcArray<int> a = ints({1, 2, 3});
  a.insertAt(0, 0).insertAt(4, 4).insertAt(2, 9);
  EXPECT_EQ(a, ints({0, 1, 9, 2, 3, 4}));
  a.insertAt(7, 100).insertAt(-1, 100);
  a.removeAt(6).removeAt(-1);
  EXPECT_EQ(a, ints({0, 1, 9, 2, 3, 4}));
  a.removeAt(2).removeFirst().removeLast();
  EXPECT_EQ(a, ints({1, 2, 3}));
  a.removeSubArray(1, 2);
  EXPECT_EQ(a, ints({1}));
  a.removeAll();
  EXPECT_TRUE(a.isEmpty());
  a.removeFirst().removeLast();  // harmless on an empty array
  EXPECT_TRUE(a.isEmpty());
}

TEST(AcArray, FindContainsRemoveValueAndReverse) {
  AcArray<int> a = ints({5, 6, 5, 7});
  EXPECT_EQ(a.find(5), 0);
  EXPECT_EQ(a.findFrom(5, 1), 2);
  EXPECT_EQ(a.find(8), -1);
  int at = -1;
  EXPECT_TRUE(a.find(7, at));
  EXPECT_EQ(at, 3);
  EXPECT_FALSE(a.contains(6, 2));
  EXPECT_TRUE(a.remove(5, 1));
  EXPECT_EQ(a, ints({5, 6, 7}));
  a.reverse();
  EXPECT_EQ(a, ints({7, 6, 5}));
  EXPECT_EQ(a.first(), 7);
  EXPECT_EQ(a.last(), 5);
  a.swap(0, 2);
  EXPECT_EQ(a.asArrayPtr()[0], 5);
}

TEST(AcArray, AppendListIncludingItselfAndSelfReferencingAppend) {
  AcArray<int> a = ints({1, 2});
  a.append(a);
  EXPECT_EQ(a, ints({1, 2, 1, 2}));
  a.appendList(ints({3}));
  EXPECT_EQ(a, ints({1, 2, 1, 2, 3}));
  // Appending an element of the array itself while it reallocates.
  AcArray<std::string> s(1, 1);
  s.append("keep");
  for (int i = 0; i < 20; ++i) s.append(s[0]);
  EXPECT_EQ(s.length(), 21);
  EXPECT_EQ(s.last(), "keep");
}

TEST(AcArray, CopiesAreIndependentAndMovesEmptyTheSource) {
  AcGePoint3dArray pts;
  pts.append(AcGePoint3d(1, 2, 3));
  AcGePoint3dArray copy(pts);
  copy[0].x = 9;
  EXPECT_DOUBLE_EQ(pts[0].x, 1);
  AcGePoint3dArray moved(std::move(copy));
  EXPECT_EQ(moved.length(), 1);
  EXPECT_EQ(copy.length(), 0);  // NOLINT(bugprone-use-after-move): documented state
  pts = moved;
  EXPECT_DOUBLE_EQ(pts[0].x, 9);
}

TEST(AcArrayDeathTest, ElementAccessOutOfRangeStopsWithADiagnostic) {
  AcArray<int> a = ints({1});
  EXPECT_DEATH((void)a[1], "index 1 out of range");
  EXPECT_DEATH((void)ints({}).last(), "out of range");
}
}  // namespace
