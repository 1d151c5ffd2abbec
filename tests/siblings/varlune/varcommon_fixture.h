// A variable entity with every property set to a known value, and the check of those values.
#pragma once
#include <AcDbVarCommon.h>
#include <gtest/gtest.h>

inline void fill(AcDbVarCommon& v) {
  v.setTextString("\xBF\xED B");  // 宽 B
  v.setPosition(AcGePoint3d(1, 2, 0));
  v.setHeight(3.5);
  v.setRotation(0.125);
  v.setColorIndex(1);
  v.putVarType("\xD5\xFB\xCA\xFD");
  v.putVarValueColor(3);
  v.putVarAngle(0.1);
  v.putValuePosition(AcGePoint3d(5, 6, 0));
  v.putVarValueHeight(2.5);
  v.putVarSetValue("350.5");
  v.putVarInitialValue("300");
  v.putVarRemark("\xD6\xF9\xBF\xED\n\ncm");  // 柱宽, an empty line, cm
  v.putCondiction("B>0");
  v.putVarSort(7);
  v.putNameVisible(0);
  v.putVarCode("B1");
}

inline void expectFilled(const AcDbVarCommon& v) {
  EXPECT_STREQ(v.textStringConst(), "\xBF\xED B");
  EXPECT_EQ(v.position(), AcGePoint3d(1, 2, 0));
  EXPECT_EQ(v.height(), 3.5);
  EXPECT_EQ(v.rotation(), 0.125);
  EXPECT_EQ(v.colorIndex(), 1);
  EXPECT_STREQ(v.getVarType(), "\xD5\xFB\xCA\xFD");
  EXPECT_EQ(v.getVarValueColor(), 3);
  EXPECT_EQ(v.getVarAngle(), 0.1);
  EXPECT_EQ(v.getValuePosition(), AcGePoint3d(5, 6, 0));
  EXPECT_EQ(v.getVarValueHeight(), 2.5);
  EXPECT_STREQ(v.getVarSetValue(), "350.5");
  EXPECT_STREQ(v.getVarInitialValue(), "300");
  EXPECT_STREQ(v.getVarRemark(), "\xD6\xF9\xBF\xED\n\ncm");
  EXPECT_STREQ(v.getCondiction(), "B>0");
  EXPECT_EQ(v.getVarSort(), 7);
  EXPECT_EQ(v.getVarNameVisible(), 0);
  EXPECT_STREQ(v.getVarCode(), "B1");
}
