// AcDbCurve: what every curve entity answers (parameters, points, distances, derivatives).
//
// Parameters: a line runs from 0 to its length; arcs, circles and ellipses by angle (an
// ellipse by its parametric angle); lightweight and old-style polylines by vertex index plus
// the fraction of the segment (uniform in angle on arc segments); splines by their knots.
// Points passed in must lie on the curve within the point tolerance of the geometry library
// scaled to the curve's size, else eInvalidInput. Parameters and distances outside the curve
// give eInvalidInput.
// The members below work exactly (no tessellation) on lines, rays, construction lines, arcs,
// circles and both kinds of polyline; ellipses and splines are measured numerically. A kind
// a member does not handle answers eNotImplementedYet; a kind it cannot apply to (a ray has
// no area) eNotApplicable.
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

  // With extend the curve runs on past its ends: a line or ray becomes its infinite line, an
  // arc its circle, an elliptical arc its ellipse, an open polyline its first segment past
  // its start and its last past its end. Closed curves and splines are never extended.
  virtual Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& givenPnt, AcGePoint3d& pointOnCurve,
                                              bool extend = false) const;
  // Distances measured across direction (as seen along it). Straight curves take any
  // direction; planar curves a direction along their normal (eNotImplementedYet otherwise).
  virtual Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& givenPnt, const AcGeVector3d& direction,
                                              AcGePoint3d& pointOnCurve, bool extend = false) const;
  // New curves the caller owns, appended. A positive distance offsets to the right of the
  // direction of travel seen from the curve's normal: arcs and circles grow, a
  // counter-clockwise closed polyline grows outward. Polyline segments are trimmed or
  // extended to meet their neighbours (a round join where they cannot); segments that
  // vanish or turn back are dropped (the result is not trimmed where distant parts of it
  // cross). eInvalidInput for a zero distance or when nothing is left (a radius at or below
  // zero); eNotImplementedYet for ellipses and splines.
  virtual Acad::ErrorStatus getOffsetCurves(double offsetDist, AcDbVoidPtrArray& offsetCurves) const;
  // New pieces the caller owns, appended in order along the curve. Parameters are sorted;
  // those at the ends of open curves make no cut; closed curves take them modulo their
  // period and their last piece runs on through the start. eInvalidInput for a parameter
  // outside the curve or a point farther than the point tolerance. Splines split exactly by
  // knot insertion (pieces of a closed spline are not joined round its start; pieces keep no
  // fit data); eNotImplementedYet for a spline held only as fit points.
  virtual Acad::ErrorStatus getSplitCurves(const AcGeDoubleArray& params, AcDbVoidPtrArray& curveSegments) const;
  virtual Acad::ErrorStatus getSplitCurves(const AcGePoint3dArray& points, AcDbVoidPtrArray& curveSegments) const;
  // Moves the end the new parameter lies beyond (eInvalidInput inside the curve) or the
  // chosen end to a point on the curve's carrier (line, circle, ellipse, end segment of a
  // polyline). eNotApplicable for closed and infinite curves; eNotImplementedYet for splines.
  virtual Acad::ErrorStatus extend(double newParam);
  virtual Acad::ErrorStatus extend(bool extendStart, const AcGePoint3d& toPoint);
  // The area enclosed; an open curve is closed by the chord from its end to its start.
  virtual Acad::ErrorStatus getArea(double& area) const;
  // Same points, run the other way: arcs, circles and ellipses turn their normal over,
  // polylines reverse their vertices (a closed one keeps its start vertex), bulges and widths
  // follow.
  virtual Acad::ErrorStatus reverseCurve();

protected:
  AcDbCurve();
  AcDbCurve(const AcDbCurve&) = default;
  AcDbCurve& operator=(const AcDbCurve&) = default;
};
