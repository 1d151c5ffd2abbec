// Colours: the colour index table, methods, true colours and their nearest index.
#include <dbcolor.h>

#include <gtest/gtest.h>

namespace {

// The colour of an index as red, green and blue.
void rgbOf(int index, int& r, int& g, int& b) {
  const Adesk::UInt32 v = AcCmEntityColor::lookUpRGB(Adesk::UInt8(index));
  r = int(v & 0xFF), g = int((v >> 8) & 0xFF), b = int((v >> 16) & 0xFF);
}

TEST(ColorTable, KnownEntriesAsWindowsColorrefs) {
  // Red in the low byte, as a Windows COLORREF.
  const struct {
    int index;
    Adesk::UInt32 colorref;
  } known[] = {
      {1, 0x0000FF}, {2, 0x00FFFF}, {3, 0x00FF00}, {4, 0xFFFF00}, {5, 0xFF0000}, {6, 0xFF00FF},
      {7, 0xFFFFFF}, {8, 0x808080}, {9, 0xC0C0C0}, {10, 0x0000FF}, {11, 0x7F7FFF}, {12, 0x0000CC},
      {13, 0x6666CC}, {22, 0x0033CC}, {30, 0x007FFF}, {50, 0x00FFFF}, {90, 0x00FF00}, {130, 0xFFFF00},
      {170, 0xFF0000}, {210, 0xFF00FF}, {18, 0x00004C}, {19, 0x26264C}, {250, 0x333333}, {251, 0x5B5B5B},
      {252, 0x848484}, {253, 0xADADAD}, {254, 0xD6D6D6}, {255, 0xFFFFFF},
      {0, 0},
  };
  for (const auto& k : known) EXPECT_EQ(AcCmEntityColor::lookUpRGB(Adesk::UInt8(k.index)), k.colorref) << k.index;
}

TEST(ColorTable, EveryIndexFindsItsOwnColourBack) {
  for (int i = 1; i <= 255; ++i) {
    int r, g, b;
    rgbOf(i, r, g, b);
    const int back = AcCmEntityColor::lookUpACI(Adesk::UInt8(r), Adesk::UInt8(g), Adesk::UInt8(b));
    // The same colour (an earlier index may hold it too, as 7 and 255 do).
    EXPECT_EQ(AcCmEntityColor::lookUpRGB(Adesk::UInt8(back)), AcCmEntityColor::lookUpRGB(Adesk::UInt8(i))) << i;
    EXPECT_LE(back, i);
  }
  EXPECT_EQ(AcCmEntityColor::lookUpACI(255, 255, 255), 7);
  EXPECT_EQ(AcCmEntityColor::lookUpACI(250, 5, 3), 1);
  EXPECT_EQ(AcCmEntityColor::lookUpACI(200, 1, 1), 12);
}

TEST(Colors, MethodsIndicesAndTrueColours) {
  AcCmColor c;
  EXPECT_TRUE(c.isByLayer());
  EXPECT_EQ(c.colorIndex(), 256);
  EXPECT_EQ(c.colorMethod(), AcCmEntityColor::kByLayer);
  ASSERT_EQ(c.setColorIndex(0), Acad::eOk);
  EXPECT_TRUE(c.isByBlock());
  EXPECT_EQ(c.colorMethod(), 0xC1);
  ASSERT_EQ(c.setColorIndex(1), Acad::eOk);
  EXPECT_TRUE(c.isByACI());
  EXPECT_EQ(c.colorIndex(), 1);
  EXPECT_EQ(c.red(), 255);
  EXPECT_EQ(c.green(), 0);
  EXPECT_EQ(c.setColorIndex(258), Acad::eOutOfRange);
  EXPECT_EQ(c.colorIndex(), 1);
  ASSERT_EQ(c.setColorIndex(256), Acad::eOk);
  EXPECT_TRUE(c.isByLayer());

  ASSERT_EQ(c.setRGB(10, 200, 30), Acad::eOk);
  EXPECT_TRUE(c.isByColor());
  EXPECT_EQ(c.colorMethod(), 0xC2);
  // The index of a true colour is the nearest index.
  EXPECT_EQ(c.colorIndex(), AcCmEntityColor::lookUpACI(10, 200, 30));
  ASSERT_EQ(c.setRGB(255, 0, 0), Acad::eOk);
  EXPECT_EQ(c.colorIndex(), 1);
  ASSERT_EQ(c.setNames("Pantone", "Book"), Acad::eOk);
  AcCmColor copy = c;
  EXPECT_EQ(copy, c);
  copy.setColorIndex(3);
  EXPECT_FALSE(copy.hasColorName());
  EXPECT_NE(copy, c);

  AcCmEntityColor e;
  ASSERT_EQ(e.setColorIndex(3), Acad::eOk);
  ASSERT_EQ(e.setColorMethod(AcCmEntityColor::kByColor), Acad::eOk);  // keeps the colour
  EXPECT_EQ(e.green(), 255);
  EXPECT_EQ(e.red(), 0);
  EXPECT_EQ(e.setColor((Adesk::UInt32(AcCmEntityColor::kByACI) << 24) | 300), Acad::eOutOfRange);
  EXPECT_EQ(e.setColor(0x01000000), Acad::eInvalidInput);
}

}  // namespace
