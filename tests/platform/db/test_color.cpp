// Colours: the colour index table, methods, true colours and their nearest index.
#include <dbcolor.h>

#include <gtest/gtest.h>

namespace {

struct Rgb {
  int r, g, b;
};

Rgb rgbOf(int index) {
  const Adesk::UInt32 v = AcCmEntityColor::lookUpRGB(Adesk::UInt8(index));
  return {int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)};
}

TEST(ColorTable, KnownEntries) {
  const struct {
    int index;
    Rgb rgb;
  } known[] = {
      {1, {255, 0, 0}},     {2, {255, 255, 0}},   {3, {0, 255, 0}},     {4, {0, 255, 255}},
      {5, {0, 0, 255}},     {6, {255, 0, 255}},   {7, {255, 255, 255}}, {8, {128, 128, 128}},
      {9, {192, 192, 192}}, {10, {255, 0, 0}},    {11, {255, 127, 127}}, {12, {204, 0, 0}},
      {13, {204, 102, 102}}, {22, {204, 51, 0}},  {30, {255, 127, 0}},  {50, {255, 255, 0}},
      {90, {0, 255, 0}},    {130, {0, 255, 255}}, {170, {0, 0, 255}},   {210, {255, 0, 255}},
      {18, {76, 0, 0}},     {19, {76, 38, 38}},   {250, {51, 51, 51}},  {251, {91, 91, 91}},
      {252, {132, 132, 132}}, {253, {173, 173, 173}}, {254, {214, 214, 214}}, {255, {255, 255, 255}},
  };
  for (const auto& k : known) {
    const Rgb got = rgbOf(k.index);
    EXPECT_EQ(got.r, k.rgb.r) << k.index;
    EXPECT_EQ(got.g, k.rgb.g) << k.index;
    EXPECT_EQ(got.b, k.rgb.b) << k.index;
  }
  // Red in the low byte, as a Windows COLORREF.
  EXPECT_EQ(AcCmEntityColor::lookUpRGB(1), 0x0000FFu);
  EXPECT_EQ(AcCmEntityColor::lookUpRGB(5), 0xFF0000u);
  EXPECT_EQ(AcCmEntityColor::lookUpRGB(0), 0u);
}

TEST(ColorTable, EveryIndexFindsItsOwnColourBack) {
  for (int i = 1; i <= 255; ++i) {
    const Rgb c = rgbOf(i);
    const int back = AcCmEntityColor::lookUpACI(Adesk::UInt8(c.r), Adesk::UInt8(c.g), Adesk::UInt8(c.b));
    // The same colour (an earlier index may hold it too, as 7 and 255 do).
    const Rgb again = rgbOf(back);
    EXPECT_TRUE(again.r == c.r && again.g == c.g && again.b == c.b) << i;
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
  EXPECT_EQ(c.red(), 10);
  EXPECT_EQ(c.green(), 200);
  EXPECT_EQ(c.blue(), 30);
  // The index of a true colour is the nearest index.
  EXPECT_EQ(c.colorIndex(), AcCmEntityColor::lookUpACI(10, 200, 30));
  ASSERT_EQ(c.setRGB(255, 0, 0), Acad::eOk);
  EXPECT_EQ(c.colorIndex(), 1);
  ASSERT_EQ(c.setNames("Pantone", "Book"), Acad::eOk);
  EXPECT_STREQ(c.colorName(), "Pantone");
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
