// Internal: what the drawing reader and writer share: point and angle conversions, raw-tag
// carriers, application groups, and the names of the tables.
#pragma once
#include <cstdint>
#include <optional>
#include <contura/db/hatch_data.h>
#include <contura/db/rawtags.h>
#include <contura/ge/angles.h>
#include <contura/dxf/entities.h>
#include <contura/dxf/table_records.h>

#include <acdb.h>
#include <dbmain.h>
#include <gepnt2d.h>
#include <gepnt3d.h>
#include <gevec3d.h>

#include <cmath>
#include <functional>

namespace contura::dxf::detail {

// A line weight a drawing file gives (group 370 and the like) within the range the database's
// line weights take; anything else (a damaged file) is no line weight and is left as it was.
inline bool isLineWeightValue(int value) { return value >= AcDb::kLnWtByLwDefault && value <= AcDb::kLnWt211; }

// A code a drawing file gives for one of the database's enumerations, when it names one of its
// values (low to high); anything else (a damaged file) is no value of it, and the database's
// default stays.
template <class Enum>
std::optional<Enum> enumValue(std::int64_t value, Enum low, Enum high) {
  if (value < static_cast<std::int64_t>(low) || value > static_cast<std::int64_t>(high)) return std::nullopt;
  return static_cast<Enum>(value);
}

inline AcGePoint3d toPoint(const Point3& p) { return AcGePoint3d(p.x, p.y, p.z); }
inline AcGeVector3d toVector(const Point3& p) { return AcGeVector3d(p.x, p.y, p.z); }
inline Point3 fromPoint(const AcGePoint3d& p) { return {p.x, p.y, p.z}; }
inline Point3 fromVector(const AcGeVector3d& v) { return {v.x, v.y, v.z}; }

// Angles: DXF writes most angles in degrees, the database holds radians.
constexpr double kRadiansPerDegree = ge::kPi / 180.0;
inline double toRadians(double degrees) { return degrees * kRadiansPerDegree; }
// Degrees that toRadians turns back into exactly `radians`, in the shortest form found, so
// a drawing written and read again holds the same angles.
double toDegrees(double radians);

inline AcDbRawTags toDb(const RawTags& tags) {
  AcDbRawTags out;
  out.reserve(tags.size());
  for (const RawTag& t : tags) out.push_back(AcDbRawTag{t.code, t.value});
  return out;
}
inline RawTags fromDb(const AcDbRawTags& tags) {
  RawTags out;
  out.reserve(tags.size());
  for (const AcDbRawTag& t : tags) out.push_back(RawTag{t.code, t.value});
  return out;
}

// A hatch of the file as the database holds it, boundary handles turned into ids by `idOf`;
// and back, for `version`, boundary objects erased since left out.
db::HatchData hatchDataOf(const HatchEntity& hatch, const std::function<AcDbObjectId(std::uint64_t)>& idOf);
HatchEntity hatchEntityOf(const db::HatchData& data, DxfVersion version,
                          const std::function<std::uint64_t(AcDbObjectId)>& handleOf);

// The application groups of a record split by meaning.
struct AppGroups {
  std::vector<std::uint64_t> reactors;  // {ACAD_REACTORS
  std::uint64_t extensionDictionary = 0;  // {ACAD_XDICTIONARY
  RawTags others;                       // every other group, braces included
};
AppGroups splitAppGroups(const RawTags& groups);
RawTags joinAppGroups(const std::vector<std::uint64_t>& reactors, std::uint64_t extensionDictionary,
                      const RawTags& others);

inline std::uint64_t handleOf(AcDbObjectId id) { return id.isNull() ? 0 : id.handle().value(); }

// Colours of values and of the database.
AcCmColor toColor(const Color& c);
Color fromColor(const AcCmColor& c);

// Opens an object for read for the length of a scope.
template <class T>
class Reading {
 public:
  explicit Reading(AcDbObjectId id) {
    if (acdbOpenObject(m_obj, id, AcDb::kForRead) != Acad::eOk) m_obj = nullptr;
  }
  ~Reading() {
    if (m_obj) m_obj->close();
  }
  Reading(const Reading&) = delete;
  Reading& operator=(const Reading&) = delete;
  T* operator->() const { return m_obj; }
  T* get() const { return m_obj; }
  explicit operator bool() const { return m_obj != nullptr; }

 private:
  T* m_obj = nullptr;
};

// ASCII letters in upper case: table entry names compare so.
std::string upper(std::string_view s);

// Model and paper space have R12 names too.
std::string canonicalBlockName(std::string_view name);

}  // namespace contura::dxf::detail
