// AcDbRegion: a bounded planar area, held as closed loops (2D vertices with bulges) in a
// plane, or as the modeller data read from a drawing file (kept as read, written back; its
// measures answer eNotImplementedYet). Measures are exact for lines and arcs.
#pragma once
#include <dbmain.h>
#include <geplane.h>

class AcDbRegion : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDbRegion);
  AcDbRegion();
  ~AcDbRegion() override;

  // One region per closed loop, appended to regions (the caller owns them): closed curves
  // (circles, closed polylines) alone, then open lines, arcs and polylines joined end to end
  // (within the point tolerance; where more than two ends meet the choice is arbitrary).
  // Loops lie in the plane of their curves and run counter-clockwise about its normal.
  // eInvalidInput, with nothing appended, when a curve is left open, a loop crosses or
  // touches itself, is not planar or encloses nothing, or an element is not a curve;
  // eNotImplementedYet for ellipses and splines.
  static Acad::ErrorStatus createFromCurves(const AcDbVoidPtrArray& curveSegments,
                                            AcDbVoidPtrArray& regions);

  // No loops and no modeller data.
  bool isNull() const;
  Acad::ErrorStatus getPlane(AcGePlane& regionPlane) const;
  Acad::ErrorStatus getNormal(AcGeVector3d& normal) const;
  Acad::ErrorStatus getArea(double& regionArea) const;
  Acad::ErrorStatus getPerimeter(double& perimeter) const;
  // Measured in the system of origin, xAxis and yAxis (which must lie in the region's plane:
  // eInvalidInput otherwise): momInertia about its x and y axes (integrals of y^2 and x^2),
  // prodInertia the integral of x y, principal moments and axes about the centroid, radii of
  // gyration sqrt(momInertia / area), and the extents.
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
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbRegion(const AcDbRegion& other);
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  friend struct contura::db::ObjectAccess;
  struct Data;
  std::unique_ptr<Data> mpData;
};
