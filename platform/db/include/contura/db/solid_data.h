// What regions and 3D solids hold, for the drawing-file layer and the region and solid
// algorithms.
#pragma once
#include <dbregion.h>
#include <dbsol3d.h>
#include <gepnt2d.h>

#include <string>
#include <vector>

namespace contura::db {

struct LoopVertex {
  AcGePoint2d pt;
  double bulge = 0.0;  // of the segment to the next vertex (the last closes the loop)
  bool operator==(const LoopVertex&) const = default;
};
using Loop2d = std::vector<LoopVertex>;

// A region: closed loops in the plane through origin spanned by xAxis and yAxis (unit,
// perpendicular). The first loop is the outer boundary, the others holes. Or modeller data:
// the lines of the file's ACIS text, kept as read (then loops are empty).
struct RegionData {
  AcGePoint3d origin;
  AcGeVector3d xAxis{1.0, 0.0, 0.0};
  AcGeVector3d yAxis{0.0, 1.0, 0.0};
  std::vector<Loop2d> loops;
  std::vector<std::string> modellerData;
};

// A 3D solid: kNone (empty), kExtrusion (loops like a region's, in the plane z = 0 of the
// placement, extruded by height along z, then placed by placement; a box is a rectangle
// centred on the origin extruded from -z/2) or kModeller (ACIS text kept as read).
struct SolidData {
  enum Kind { kNone, kExtrusion, kModeller };
  Kind kind = kNone;
  std::vector<Loop2d> loops;
  double height = 0.0;
  double baseZ = 0.0;
  AcGeMatrix3d placement;
  std::vector<std::string> modellerData;
};

const RegionData& regionData(const AcDbRegion& region);
Acad::ErrorStatus setRegionData(AcDbRegion& region, RegionData data);
const SolidData& solidData(const AcDb3dSolid& solid);
Acad::ErrorStatus setSolidData(AcDb3dSolid& solid, SolidData data);

}  // namespace contura::db
