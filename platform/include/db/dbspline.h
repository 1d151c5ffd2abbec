// AcDbSpline: a NURBS curve held as control data (degree, knots, control points, weights)
// and/or fit data (fit points, tolerance, end tangents). Points and derivatives are evaluated
// from the control data; a spline that has only fit data answers its start and end points
// from them and eNotImplementedYet to evaluation elsewhere. Parameters run over the knots'
// domain [knot[degree], knot[numControlPoints]].
#pragma once
#include <dbcurve.h>
#include <gedblar.h>

#include <vector>

class AcDbSpline : public AcDbCurve {
public:
  ACRX_DECLARE_MEMBERS(AcDbSpline);
  AcDbSpline();
  // Fit form; order is the degree + 1 (2..26).
  AcDbSpline(const AcGePoint3dArray& fitPoints, int order = 4, double fitTolerance = 0.0);
  // Control form (see setNurbsData).
  AcDbSpline(int degree, bool rational, bool closed, bool periodic,
             const AcGePoint3dArray& controlPoints, const AcGeDoubleArray& knots,
             const AcGeDoubleArray& weights, double controlPtTol = 0.0, double knotTol = 0.0);
  ~AcDbSpline() override;

  int degree() const { return mDegree; }
  bool isRational() const { return !mWeights.empty(); }
  int numControlPoints() const { return int(mControlPoints.size()); }
  Acad::ErrorStatus getControlPointAt(int index, AcGePoint3d& point) const;  // eInvalidIndex
  Acad::ErrorStatus setControlPointAt(int index, const AcGePoint3d& point);
  Acad::ErrorStatus getWeightAt(int index, double& weight) const;  // 1 for non-rational
  int numFitPoints() const { return int(mFitPoints.size()); }
  Acad::ErrorStatus getFitPointAt(int index, AcGePoint3d& point) const;
  Acad::ErrorStatus setFitPointAt(int index, const AcGePoint3d& point);
  bool hasFitData() const { return !mFitPoints.empty(); }
  double fitTolerance() const { return mFitTolerance; }
  Acad::ErrorStatus purgeFitData();

  Acad::ErrorStatus getNurbsData(int& degree, bool& rational, bool& closed, bool& periodic,
                                 AcGePoint3dArray& controlPoints, AcGeDoubleArray& knots,
                                 AcGeDoubleArray& weights, double& controlPtTol,
                                 double& knotTol) const;
  // Degree 1..25; knots: numControlPoints + degree + 1 non-decreasing values; weights: empty
  // or one positive value per control point (rational then). eInvalidInput otherwise, and
  // nothing changes.
  Acad::ErrorStatus setNurbsData(int degree, bool rational, bool closed, bool periodic,
                                 const AcGePoint3dArray& controlPoints, const AcGeDoubleArray& knots,
                                 const AcGeDoubleArray& weights, double controlPtTol = 0.0,
                                 double knotTol = 0.0);
  Acad::ErrorStatus getFitData(AcGePoint3dArray& fitPoints, int& degree, double& fitTolerance,
                               bool& tangentsExist, AcGeVector3d& startTangent,
                               AcGeVector3d& endTangent) const;
  Acad::ErrorStatus setFitData(const AcGePoint3dArray& fitPoints, int degree, double fitTolerance,
                               const AcGeVector3d& startTangent, const AcGeVector3d& endTangent);

  bool isClosed() const override;
  bool isPeriodic() const override { return mPeriodic; }
  bool isPlanar() const override;
  Acad::ErrorStatus getStartParam(double& startParam) const override;
  Acad::ErrorStatus getEndParam(double& endParam) const override;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& startPoint) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& endPoint) const override;
  Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
  // By the closest point (eInvalidInput when it is farther than the point tolerance).
  Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
  // Lengths along the spline, by numeric integration (relative accuracy about 1e-13).
  Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
  Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
  Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& firstDeriv) const override;
  using AcDbCurve::getFirstDeriv;
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  // The box of the control points (which contains the curve), else of the fit points.
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbSpline(const AcDbSpline&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  bool hasControlData() const { return !mControlPoints.empty(); }
  // Rational point (homogeneous) evaluation by de Boor; derivative by difference of the
  // derivative curve when wanted.
  AcGePoint3d evaluate(double param) const;
  std::vector<AcGePoint3d> mControlPoints;
  std::vector<double> mKnots;
  std::vector<double> mWeights;
  std::vector<AcGePoint3d> mFitPoints;
  AcGeVector3d mStartTangent;
  AcGeVector3d mEndTangent;
  double mFitTolerance = 0.0;
  double mControlTolerance = 0.0;
  double mKnotTolerance = 0.0;
  int mDegree = 3;
  bool mClosed = false;
  bool mPeriodic = false;
};
