// AcDbEllipse: an ellipse or elliptical arc given by centre, normal, major axis (a vector
// from the centre, its length the major radius) and the ratio of minor to major radius.
// Start and end angles are measured from the major axis; parameters are the parametric
// angles (p(t) = centre + major cos t + minor sin t).
#pragma once
#include <dbcurve.h>

class AcDbEllipse : public AcDbCurve {
public:
  ACRX_DECLARE_MEMBERS(AcDbEllipse);
  AcDbEllipse();
  AcDbEllipse(const AcGePoint3d& center, const AcGeVector3d& unitNormal,
              const AcGeVector3d& majorAxis, double radiusRatio, double startAngle = 0.0,
              double endAngle = 6.28318530717958647692);
  ~AcDbEllipse() override;

  AcGePoint3d center() const { return mCenter; }
  Acad::ErrorStatus setCenter(const AcGePoint3d& center);
  AcGeVector3d normal() const { return mNormal; }
  AcGeVector3d majorAxis() const { return mMajor; }
  AcGeVector3d minorAxis() const;
  double radiusRatio() const { return mRatio; }
  Acad::ErrorStatus setRadiusRatio(double ratio);  // (0, 1], eInvalidInput outside
  double startAngle() const;
  Acad::ErrorStatus setStartAngle(double startAngle);
  double endAngle() const;
  Acad::ErrorStatus setEndAngle(double endAngle);
  double startParam() const { return mStartParam; }
  Acad::ErrorStatus setStartParam(double startParam);
  double endParam() const { return mEndParam; }
  Acad::ErrorStatus setEndParam(double endParam);
  double paramAtAngle(double angle) const;
  double angleAtParam(double param) const;
  Acad::ErrorStatus get(AcGePoint3d& center, AcGeVector3d& unitNormal, AcGeVector3d& majorAxis,
                        double& radiusRatio, double& startAngle, double& endAngle) const;
  // eInvalidInput when the normal and major axis are zero or not perpendicular, or the
  // ratio is outside (0, 1].
  Acad::ErrorStatus set(const AcGePoint3d& center, const AcGeVector3d& unitNormal,
                        const AcGeVector3d& majorAxis, double radiusRatio, double startAngle = 0.0,
                        double endAngle = 6.28318530717958647692);
  bool isNull() const { return mMajor.isZeroLength(); }

  bool isClosed() const override;
  bool isPeriodic() const override { return isClosed(); }
  bool isPlanar() const override { return true; }
  Acad::ErrorStatus getPlane(AcGePlane& plane) const override;
  Acad::ErrorStatus getStartParam(double& startParam) const override;
  Acad::ErrorStatus getEndParam(double& endParam) const override;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& startPoint) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& endPoint) const override;
  Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
  Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
  // Lengths along the ellipse, by numeric integration (relative accuracy about 1e-13).
  Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
  Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
  Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& firstDeriv) const override;
  Acad::ErrorStatus getSecondDeriv(double param, AcGeVector3d& secDeriv) const override;
  using AcDbCurve::getFirstDeriv;
  using AcDbCurve::getSecondDeriv;
  // Any affine transform (the image of an ellipse is an ellipse).
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbEllipse(const AcDbEllipse&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  AcGePoint3d mCenter;
  AcGeVector3d mNormal{0.0, 0.0, 1.0};
  AcGeVector3d mMajor{1.0, 0.0, 0.0};
  double mRatio = 1.0;
  double mStartParam = 0.0;
  double mEndParam = 6.28318530717958647692;
};
