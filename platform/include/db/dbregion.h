// AcDbRegion: a bounded planar area, held as closed loops (2D vertices with bulges) in a
// plane, or as the modeller data read from a drawing file (kept as read, written back).
// Region construction from curves and the area measures belong to the region algorithms
// built on the geometry library; here they answer eNotImplementedYet.
#pragma once
#include <dbmain.h>
#include <geplane.h>

class AcDbRegion : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDbRegion);
  AcDbRegion();
  ~AcDbRegion() override;

  static Acad::ErrorStatus createFromCurves(const AcDbVoidPtrArray& curveSegments,
                                            AcDbVoidPtrArray& regions);

  // No loops and no modeller data.
  bool isNull() const;
  Acad::ErrorStatus getPlane(AcGePlane& regionPlane) const;
  Acad::ErrorStatus getNormal(AcGeVector3d& normal) const;
  Acad::ErrorStatus getArea(double& regionArea) const;
  Acad::ErrorStatus getPerimeter(double& perimeter) const;
  Acad::ErrorStatus getAreaProp(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                const AcGeVector3d& yAxis, double& perimeter, double& area,
                                AcGePoint2d& centroid, double momInertia[2], double& prodInertia,
                                double prinMoments[2], AcGeVector2d prinAxes[2],
                                double radiiGyration[2], AcGePoint2d& extentsLow,
                                AcGePoint2d& extentsHigh) const;

  // Lines and arcs of the loops (eNotApplicable for a region held as modeller data).
  Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;
  // Similarity transforms (eCannotScaleNonUniformly otherwise); eNotApplicable for modeller
  // data.
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

protected:
  AcDbRegion(const AcDbRegion& other);
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  friend struct contura::db::ObjectAccess;
  struct Data;
  std::unique_ptr<Data> mpData;
};
