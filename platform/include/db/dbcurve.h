// AcDbCurve: what every curve entity answers (parameters, points, distances, derivatives).
//
// Parameters: a line runs from 0 to its length; arcs, circles and ellipses by angle (an
// ellipse by its parametric angle); lightweight and old-style polylines by vertex index plus
// the fraction of the segment (uniform in angle on arc segments); splines by their knots.
// Points passed in must lie on the curve within the point tolerance of the geometry library
// scaled to the curve's size, else eInvalidInput. Parameters and distances outside the curve
// give eInvalidInput.
// The members answered with eNotImplementedYet here (closest points, offsets, splitting,
// extending, areas, reversing, and distances on ellipses and splines) belong to the curve
// algorithms built on the geometry library's 2D curve mathematics.
#pragma once
#include <dbmain.h>
#include <gedblar.h>
#include <geplane.h>

class AcDbCurve : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDbCurve);
  ~AcDbCurve() override;

  virtual bool isClosed() const;
  virtual bool isPeriodic() const;
  virtual bool isPlanar() const;
  virtual Acad::ErrorStatus getPlane(AcGePlane& plane) const;

  virtual Acad::ErrorStatus getStartParam(double& startParam) const;
  virtual Acad::ErrorStatus getEndParam(double& endParam) const;
  virtual Acad::ErrorStatus getStartPoint(AcGePoint3d& startPoint) const;
  virtual Acad::ErrorStatus getEndPoint(AcGePoint3d& endPoint) const;
  virtual Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const;
  virtual Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const;
  virtual Acad::ErrorStatus getDistAtParam(double param, double& dist) const;
  virtual Acad::ErrorStatus getParamAtDist(double dist, double& param) const;
  // Through getParamAtPoint / getParamAtDist unless a curve answers directly.
  virtual Acad::ErrorStatus getDistAtPoint(const AcGePoint3d& point, double& dist) const;
  virtual Acad::ErrorStatus getPointAtDist(double dist, AcGePoint3d& point) const;
  virtual Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& firstDeriv) const;
  virtual Acad::ErrorStatus getFirstDeriv(const AcGePoint3d& point, AcGeVector3d& firstDeriv) const;
  virtual Acad::ErrorStatus getSecondDeriv(double param, AcGeVector3d& secDeriv) const;
  virtual Acad::ErrorStatus getSecondDeriv(const AcGePoint3d& point, AcGeVector3d& secDeriv) const;

  virtual Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& givenPnt, AcGePoint3d& pointOnCurve,
                                              bool extend = false) const;
  virtual Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& givenPnt, const AcGeVector3d& direction,
                                              AcGePoint3d& pointOnCurve, bool extend = false) const;
  virtual Acad::ErrorStatus getOffsetCurves(double offsetDist, AcDbVoidPtrArray& offsetCurves) const;
  virtual Acad::ErrorStatus getSplitCurves(const AcGeDoubleArray& params, AcDbVoidPtrArray& curveSegments) const;
  virtual Acad::ErrorStatus getSplitCurves(const AcGePoint3dArray& points, AcDbVoidPtrArray& curveSegments) const;
  virtual Acad::ErrorStatus extend(double newParam);
  virtual Acad::ErrorStatus extend(bool extendStart, const AcGePoint3d& toPoint);
  virtual Acad::ErrorStatus getArea(double& area) const;
  virtual Acad::ErrorStatus reverseCurve();

protected:
  AcDbCurve();
  AcDbCurve(const AcDbCurve&) = default;
  AcDbCurve& operator=(const AcDbCurve&) = default;
};
