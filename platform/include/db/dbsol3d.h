// AcDb3dSolid: a solid held as a box or as a closed outline extruded along the normal of its
// plane (both placed by a transform), or as the modeller data read from a drawing file (kept
// as read, written back; its measures answer eNotImplementedYet).
#pragma once
#include <dbmain.h>

class AcDbRegion;

class AcDb3dSolid : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDb3dSolid);
  AcDb3dSolid();
  ~AcDb3dSolid() override;

  // A box centred on the origin (eInvalidInput for a side not above zero). Replaces what
  // the solid held.
  virtual Acad::ErrorStatus createBox(double xLen, double yLen, double zLen);
  // The region's loops extruded by height along its normal (negative: the other way);
  // taper angles are not supported (eNotImplementedYet for a non-zero one). eInvalidInput
  // for a null region or zero height; eNotApplicable for a region held as modeller data.
  virtual Acad::ErrorStatus extrude(const AcDbRegion* region, double height, double taperAngle = 0.0);
  bool isNull() const;

  // Surface area and mass properties (unit density) of the box or extrusion under any affine
  // placement: momInertia about the world axes, prodInertia the integrals of xy, yz and zx,
  // principal moments and axes about the centroid. eDegenerateGeometry for an empty solid.
  Acad::ErrorStatus getArea(double& area) const;
  Acad::ErrorStatus getMassProp(double& volume, AcGePoint3d& centroid, double momInertia[3],
                                double prodInertia[3], double prinMoments[3],
                                AcGeVector3d prinAxes[3], double radiiGyration[3],
                                AcDbExtents& extents) const;

  Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;  // eNotApplicable
  // Any transform of a box or extrusion; eNotApplicable for modeller data.
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDb3dSolid(const AcDb3dSolid& other);
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  friend struct contura::db::ObjectAccess;
  struct Data;
  std::unique_ptr<Data> mpData;
};
