// CArray and the MFC collections; CObject run-time classes.
#include <afx.h>
#include <afxtempl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

template <class A>
std::vector<int> items(const A& a) {
  std::vector<int> v;
  for (INT_PTR i = 0; i < a.GetSize(); ++i) v.push_back(static_cast<int>(a[i]));
  return v;
}

using V = std::vector<int>;

TEST(CArrayTest, SetSizeGrowsWithZeroedElementsAndTruncates) {
  CArray<int, int> a;
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(a.GetUpperBound(), -1);
  EXPECT_EQ(a.GetData(), nullptr);
  a.SetSize(3, 16);
  EXPECT_EQ(items(a), (V{0, 0, 0}));
  a[1] = 5;
  a.SetSize(5);
  EXPECT_EQ(items(a), (V{0, 5, 0, 0, 0}));
  a.SetSize(2, -1);
  EXPECT_EQ(items(a), (V{0, 5}));
  a.SetSize(-4);
  EXPECT_EQ(a.GetSize(), 0);

  CPtrArray p;
  p.SetSize(2);
  EXPECT_EQ(p[0], nullptr);
  EXPECT_EQ(p[1], nullptr);

  struct Point {
    int x, y;
  };
  CArray<Point, const Point&> pts;
  pts.SetSize(2);
  EXPECT_EQ(pts[1].x, 0);
  EXPECT_EQ(pts[1].y, 0);

  CStringArray s;
  s.SetSize(2);
  EXPECT_TRUE(s[0].IsEmpty() && s[1].IsEmpty());
}

TEST(CArrayTest, AddInsertRemoveShiftElements) {
  CArray<int, int> a;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(a.Add(i * 10), i);
  EXPECT_EQ(a.GetCount(), 4);
  EXPECT_EQ(a.GetUpperBound(), 3);

  a.InsertAt(1, 7, 2);
  EXPECT_EQ(items(a), (V{0, 7, 7, 10, 20, 30}));
  a.InsertAt(6, 8);  // at the end
  EXPECT_EQ(items(a), (V{0, 7, 7, 10, 20, 30, 8}));
  a.RemoveAt(1, 2);
  EXPECT_EQ(items(a), (V{0, 10, 20, 30, 8}));
  a.RemoveAt(0);
  EXPECT_EQ(items(a), (V{10, 20, 30, 8}));
  a.RemoveAt(2, 99);  // clamped to the end
  EXPECT_EQ(items(a), (V{10, 20}));
  a.RemoveAt(5);  // past the end: nothing
  a.RemoveAt(0, 0);
  EXPECT_EQ(items(a), (V{10, 20}));

  // Inserting past the end first grows the array to the insertion index.
  a.InsertAt(4, 9);
  EXPECT_EQ(items(a), (V{10, 20, 0, 0, 9}));

  CArray<int, int> b;
  b.Add(1);
  b.Add(2);
  a.InsertAt(1, &b);
  EXPECT_EQ(items(a), (V{10, 1, 2, 20, 0, 0, 9}));
  a.SetAtGrow(8, 4);
  EXPECT_EQ(items(a), (V{10, 1, 2, 20, 0, 0, 9, 0, 4}));
}

TEST(CArrayTest, CopyAppendAndSelfReference) {
  CStringArray a;
  a.Add("x");
  a.Add(CString("y"));
  CStringArray b;
  b.Add("old");
  b.Copy(a);
  ASSERT_EQ(b.GetSize(), 2);
  EXPECT_EQ(b[0], "x");
  EXPECT_EQ(b[1], "y");
  EXPECT_EQ(b.Append(a), 2);
  EXPECT_EQ(b.GetSize(), 4);
  EXPECT_EQ(b.Append(b), 4);  // appending itself doubles it
  ASSERT_EQ(b.GetSize(), 8);
  EXPECT_EQ(b[7], "y");
  b.Copy(b);
  EXPECT_EQ(b.GetSize(), 8);

  // Adding an element of the array to itself while it reallocates keeps the value intact.
  CStringArray c;
  c.Add("a long enough text to live outside any small-string buffer");
  for (int i = 0; i < 100; ++i) c.Add(c[0]);
  for (int i = 0; i < 100; ++i) c.InsertAt(0, c[c.GetUpperBound()]);
  for (INT_PTR i = 0; i < c.GetSize(); ++i)
    ASSERT_EQ(c[i], "a long enough text to live outside any small-string buffer") << i;
}

TEST(CArrayTest, IndexOutsideTheArrayThrows) {
  CArray<int, int> a;
  a.Add(1);
  EXPECT_THROW(a.GetAt(1), std::out_of_range);
  EXPECT_THROW(a[-1], std::out_of_range);
  EXPECT_THROW(a.SetAt(3, 0), std::out_of_range);
  EXPECT_THROW(a.InsertAt(-1, 0), std::out_of_range);
  EXPECT_THROW(a.SetAtGrow(-1, 0), std::out_of_range);
  EXPECT_EQ(items(a), (V{1}));
}

TEST(CArrayTest, ElementTypesOfTheModule) {
  struct Info {
    int tag = -1;
    CString name;
  };
  CArray<Info, Info> list;
  Info one;
  one.tag = 3;
  one.name = "\xD6\xD0";
  list.Add(one);
  list.SetSize(2);
  EXPECT_EQ(list[0].tag, 3);
  EXPECT_EQ(list[0].name, "\xD6\xD0");
  EXPECT_EQ(list[1].tag, -1);  // default-constructed
  list.RemoveAt(0);
  EXPECT_EQ(list[0].tag, -1);
}

class CShape : public CObject {
  DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)
class CCircle : public CShape {
  DECLARE_DYNCREATE(CCircle)
};
IMPLEMENT_DYNCREATE(CCircle, CShape)

TEST(CObjectTest, RunTimeClassesKnowTheirBases) {
  CShape shape;
  CObject* made = RUNTIME_CLASS(CCircle)->CreateObject();
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CShape)));
  EXPECT_EQ(DYNAMIC_DOWNCAST(CCircle, made), made);
  EXPECT_FALSE(shape.IsKindOf(RUNTIME_CLASS(CCircle)));
  EXPECT_EQ(RUNTIME_CLASS(CShape)->CreateObject(), nullptr);
  delete made;
}

}  // namespace
