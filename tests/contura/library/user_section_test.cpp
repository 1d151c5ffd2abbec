// CUserSectionInfo: other modules are compiled against the exported header and hold these
// records in their own arrays, so the layout is three plain fields and no table of virtual
// functions.
#include "UserSectionInfo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>

namespace {
struct ThreeFields {
  std::int32_t m_nTag;
  CString m_strName;
  CString m_strSection;
};
}  // namespace

static_assert(!std::is_polymorphic_v<CUserSectionInfo>);
static_assert(std::is_same_v<decltype(CUserSectionInfo::m_nTag), std::int32_t>);
static_assert(sizeof(CUserSectionInfo) == sizeof(ThreeFields));
static_assert(alignof(CUserSectionInfo) == alignof(ThreeFields));

TEST(UserSectionInfo, LayoutIsATagAndTwoStringsWithNothingElse) {
  CUserSectionInfo info;
  ThreeFields plain;
  auto offset = [](const void* object, const void* field) {
    return static_cast<const char*>(field) - static_cast<const char*>(object);
  };
  EXPECT_EQ(offset(&info, &info.m_nTag), offset(&plain, &plain.m_nTag));
  EXPECT_EQ(offset(&info, &info.m_strName), offset(&plain, &plain.m_strName));
  EXPECT_EQ(offset(&info, &info.m_strSection), offset(&plain, &plain.m_strSection));
}
