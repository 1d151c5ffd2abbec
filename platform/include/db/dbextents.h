// AcDbExtents: an axis-aligned box in world coordinates (entity and drawing extents).
#pragma once
#include <acadstrc.h>
#include <gemat3d.h>
#include <gepnt3d.h>

// A default-constructed box is empty: its minimum point is (1e20, 1e20, 1e20) and its maximum
// (-1e20, -1e20, -1e20), so the first addPoint makes it that point.
class AcDbExtents {
public:
  AcDbExtents();
  AcDbExtents(const AcGePoint3d& min, const AcGePoint3d& max);  // taken as given

  AcGePoint3d minPoint() const { return mMin; }
  AcGePoint3d maxPoint() const { return mMax; }
  // eInvalidExtents (and nothing changes) when min exceeds max in any coordinate.
  Acad::ErrorStatus set(const AcGePoint3d& min, const AcGePoint3d& max);

  void addPoint(const AcGePoint3d& pt);
  void addExt(const AcDbExtents& src);  // an empty src changes nothing
  // Grows the box by vec (negative components grow the minimum side).
  void expandBy(const AcGeVector3d& vec);
  // The box around the eight transformed corners; an empty box stays empty.
  void transformBy(const AcGeMatrix3d& mat);

  // True while nothing was added (not part of the host's interface).
  bool isEmpty() const { return mMin.x > mMax.x || mMin.y > mMax.y || mMin.z > mMax.z; }

  bool operator==(const AcDbExtents& other) const { return mMin == other.mMin && mMax == other.mMax; }

private:
  AcGePoint3d mMin;
  AcGePoint3d mMax;
};
