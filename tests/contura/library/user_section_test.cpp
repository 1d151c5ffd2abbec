// CUserSectionInfo: its default outline and member-wise copies.
#include "UserSectionInfo.h"

#include <gtest/gtest.h>

TEST(UserSectionInfo, DefaultIsTheFourSidedOutlineAndCopiesAreIndependent) {
  CUserSectionInfo info;
  EXPECT_EQ(info.m_nTag, 0);
  EXPECT_TRUE(info.m_strName.IsEmpty());
  EXPECT_EQ(info.m_strSection,
            "[PolylineSection]\nPoints=0,0,0;1000,0,0;600,1000,0;0,1000,0;0,0,0\nBasePoint=500,500\n");

  info.m_nTag = 7;
  info.m_strName = "异形截面";
  info.m_strSection = "[Line]\n";
  CUserSectionInfo copy(info);
  CUserSectionInfo assigned;
  assigned = info;
  for (const CUserSectionInfo* c : {&copy, &assigned}) {
    EXPECT_EQ(c->m_nTag, 7);
    EXPECT_EQ(c->m_strName, "异形截面");
    EXPECT_EQ(c->m_strSection, "[Line]\n");
  }
  info.m_strName = "changed";
  EXPECT_EQ(copy.m_strName, "异形截面");
}
