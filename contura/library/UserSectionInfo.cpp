// CUserSectionInfo: the default user section and member-wise copying.
#include "UserSectionInfo.h"

namespace {

// The outline a new user section starts with.
const char* const kDefaultSection =
    "[PolylineSection]\n"
    "Points=0,0,0;1000,0,0;600,1000,0;0,1000,0;0,0,0\n"
    "BasePoint=500,500\n";

}  // namespace

CUserSectionInfo::CUserSectionInfo() : m_nTag(0), m_strSection(kDefaultSection) {}

CUserSectionInfo::CUserSectionInfo(const CUserSectionInfo& other)
    : m_nTag(other.m_nTag), m_strName(other.m_strName), m_strSection(other.m_strSection) {}

CUserSectionInfo& CUserSectionInfo::operator=(const CUserSectionInfo& other) {
  m_nTag = other.m_nTag;
  m_strName = other.m_strName;
  m_strSection = other.m_strSection;
  return *this;
}

CUserSectionInfo::~CUserSectionInfo() = default;
