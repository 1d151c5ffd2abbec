// CUserSectionInfo: its default outline, member-wise copies and the layout other modules rely on.
#include "UserSectionInfo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>

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

// Other modules are compiled against the exported header and hold these records in their own
// arrays: the layout is three plain fields and no table of virtual functions.
TEST(UserSectionInfo, LayoutIsATagAndTwoStringsWithNothingElse) {
  struct ThreeFields {
    std::int32_t m_nTag;
    CString m_strName;
    CString m_strSection;
  };
  static_assert(!std::is_polymorphic_v<CUserSectionInfo>);
  static_assert(std::is_same_v<decltype(CUserSectionInfo::m_nTag), std::int32_t>);
  static_assert(sizeof(CUserSectionInfo) == sizeof(ThreeFields));
  static_assert(alignof(CUserSectionInfo) == alignof(ThreeFields));
  CUserSectionInfo info;
  ThreeFields plain;
  auto offset = [](const void* object, const void* field) {
    return static_cast<const char*>(field) - static_cast<const char*>(object);
  };
  EXPECT_EQ(offset(&info, &info.m_nTag), offset(&plain, &plain.m_nTag));
  EXPECT_EQ(offset(&info, &info.m_strName), offset(&plain, &plain.m_strName));
  EXPECT_EQ(offset(&info, &info.m_strSection), offset(&plain, &plain.m_strSection));
}
