// AcGeCircArc2d: a 2D circular arc or full circle, exact (no tessellation).
#pragma once
#include "gecurv2d.h"

class AcGeLinearEnt2d;
class AcGeLine2d;

// An arc is a centre, a radius, a reference vector (the direction of angle 0), a direction of
// travel (counter-clockwise unless isClockWise()) and an angle range [startAng, endAng] with
// 0 < endAng - startAng <= 2pi, both measured from refVec in the direction of travel. The
// parameter is that angle. A full circle has endAng - startAng == 2pi.
// Setters normalise: startAng is kept as given; endAng is moved by whole turns so that the
// sweep lies in (0, 2pi]; equal start and end angles give a full circle.
class AcGeCircArc2d : public AcGeCurve2d {
public:
  AcGeCircArc2d();  // unit circle about the origin
  AcGeCircArc2d(const AcGePoint2d& cent, double radius);
  AcGeCircArc2d(const AcGePoint2d& cent, double radius, double startAngle, double endAngle,
                const AcGeVector2d& refVec = AcGeVector2d::kXAxis, Adesk::Boolean isClockWise = Adesk::kFalse);
  // Arc through three points, running from startPoint through point to endPoint (its
  // direction follows the points). Collinear or coincident points leave the unit circle.
  AcGeCircArc2d(const AcGePoint2d& startPoint, const AcGePoint2d& point, const AcGePoint2d& endPoint);
  // Arc on the chord startPoint-endPoint. bulgeFlag true: bulge is the signed distance from
  // the chord's midpoint to the arc's midpoint; false: bulge is tan(includedAngle / 4).
  // Positive values put the arc on the right of the chord (counter-clockwise travel from
  // startPoint); negative values on the left. The result always runs counter-clockwise, so
  // for a negative bulge its start point is endPoint. Coincident points or a straight bulge
  // (tan(includedAngle / 4) below 1e-12 in size, the polyline's own rule) leave the arc as
  // it was.
  AcGeCircArc2d(const AcGePoint2d& startPoint, const AcGePoint2d& endPoint, double bulge,
                Adesk::Boolean bulgeFlag = Adesk::kTrue);

  AcGePoint2d center() const { return mCenter; }
  double radius() const { return mRadius; }
  double startAng() const { return mStart; }
  double endAng() const { return mStart + mSweep; }
  Adesk::Boolean isClockWise() const { return mClockwise; }
  AcGeVector2d refVec() const { return mRef; }
  AcGePoint2d startPoint() const { return evalPoint(mStart); }
  AcGePoint2d endPoint() const { return evalPoint(mStart + mSweep); }
  // Included angle, in (0, 2pi].
  double sweep() const { return mSweep; }
  bool isFullCircle() const;

  AcGeCircArc2d& setCenter(const AcGePoint2d& cent) { mCenter = cent; return *this; }
  AcGeCircArc2d& setRadius(double radius) { mRadius = radius; return *this; }
  AcGeCircArc2d& setAngles(double startAng, double endAng);
  AcGeCircArc2d& setRefVec(const AcGeVector2d& vec);
  // Flips the direction of travel keeping the point set (the angles are re-measured).
  AcGeCircArc2d& setToComplement();
  AcGeCircArc2d& set(const AcGePoint2d& cent, double radius);
  AcGeCircArc2d& set(const AcGePoint2d& cent, double radius, double ang1, double ang2,
                     const AcGeVector2d& refVec = AcGeVector2d::kXAxis, Adesk::Boolean isClockWise = Adesk::kFalse);
  AcGeCircArc2d& set(const AcGePoint2d& startPoint, const AcGePoint2d& point, const AcGePoint2d& endPoint);
  AcGeCircArc2d& set(const AcGePoint2d& startPoint, const AcGePoint2d& endPoint, double bulge,
                     Adesk::Boolean bulgeFlag = Adesk::kTrue);

  // Intersections with a line/ray/segment or another arc: intn is 0, 1 (tangency or one
  // bounded hit) or 2; false when there is none. Coincident arcs report only isolated touch
  // points (see AcGeCurveCurveInt2d for overlaps).
  Adesk::Boolean intersectWith(const AcGeLinearEnt2d& line, int& intn, AcGePoint2d& p1, AcGePoint2d& p2,
                               const AcGeTol& tol = AcGeContext::gTol) const;
  Adesk::Boolean intersectWith(const AcGeCircArc2d& arc, int& intn, AcGePoint2d& p1, AcGePoint2d& p2,
                               const AcGeTol& tol = AcGeContext::gTol) const;
  // The tangent line at a point of the arc; false when pnt is not on the arc.
  Adesk::Boolean tangent(const AcGePoint2d& pnt, AcGeLine2d& line, const AcGeTol& tol = AcGeContext::gTol) const;
  // Strictly inside the full circle (by more than tol.equalPoint()).
  Adesk::Boolean isInside(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const;

  // Angle of pnt about the centre, in this arc's measure, within [startAng, startAng + 2pi).
  double angleOf(const AcGePoint2d& pnt) const;

  void getInterval(AcGeInterval& range) const override;
  AcGePoint2d evalPoint(double param) const override;
  AcGePoint2d evalPoint(double param, int numDeriv, AcGeVector2dArray& derivArray) const override;
  // For a point off the arc's range: the parameter of the nearer end. The centre itself maps
  // to startAng.
  double paramOf(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const override;
  AcGePoint2d closestPointTo(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const override;
  double length(double fromParam, double toParam, const AcGeTol& tol = AcGeContext::gTol) const override;
  double length() const { return mRadius * mSweep; }
  double paramAtLength(double datumParam, double length, Adesk::Boolean posParamDir = Adesk::kTrue,
                       const AcGeTol& tol = AcGeContext::gTol) const override;
  Adesk::Boolean hasStartPoint(AcGePoint2d& startPnt) const override;
  Adesk::Boolean hasEndPoint(AcGePoint2d& endPnt) const override;
  Adesk::Boolean isClosed(const AcGeTol& tol = AcGeContext::gTol) const override;
  AcGeCurve2d& reverseParam() override { setToComplement(); return *this; }

  AcGe::EntityId type() const override { return AcGe::kCircArc2d; }
  Adesk::Boolean isKindOf(AcGe::EntityId entType) const override {
    return entType == AcGe::kCircArc2d || AcGeCurve2d::isKindOf(entType);
  }
  AcGeEntity2d* copy() const override { return new AcGeCircArc2d(*this); }
  // Similarity transforms only (a mirror flips the direction of travel); any other matrix
  // leaves the arc unchanged.
  AcGeEntity2d& transformBy(const AcGeMatrix2d& xfm) override;
  Adesk::Boolean isEqualTo(const AcGeEntity2d& ent, const AcGeTol& tol = AcGeContext::gTol) const override;

  // World direction of the travel frame: the unit vector at angle 0 and at angle +90 degrees
  // of this arc's measure (the latter is refVec turned clockwise for a clockwise arc).
  AcGeVector2d frameX() const { return mRef; }
  AcGeVector2d frameY() const { return mClockwise ? AcGeVector2d(mRef.y, -mRef.x) : AcGeVector2d(-mRef.y, mRef.x); }

private:
  void setSweep(double startAng, double endAng);
  // Angle of pnt about the centre in this arc's frame, in (-pi, pi].
  double rawAngle(const AcGePoint2d& pnt) const;

  AcGePoint2d mCenter;
  double mRadius = 1.0;
  double mStart = 0.0;
  double mSweep = 6.28318530717958647692;
  AcGeVector2d mRef{1.0, 0.0};  // unit
  bool mClockwise = false;
};
