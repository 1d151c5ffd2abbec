// AcDbHatch: a hatched or filled area bounded by loops, in the OCS plane of its normal at its
// elevation. A loop is either a polyline (2D vertices with bulges) or a list of edges (lines,
// circular arcs, elliptic arcs, splines). Loops keep everything the drawing file holds, so
// they are written back unchanged; the full edge data is available to the platform through
// contura/db/hatch_data.h.
#pragma once
#include <dbmain.h>
#include <gedblar.h>
#include <geintarr.h>
#include <gept2dar.h>
#include <gevptar.h>

class AcDbHatch : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDbHatch);
  AcDbHatch();
  ~AcDbHatch() override;

  enum HatchLoopType { kDefault = 0, kExternal = 1, kPolyline = 2, kDerived = 4, kTextbox = 8,
                       kOutermost = 0x10, kNotClosed = 0x20, kSelfIntersecting = 0x40,
                       kTextIsland = 0x80, kDuplicate = 0x100 };
  enum HatchEdgeType { kLine = 1, kCirArc = 2, kEllArc = 3, kSpline = 4 };
  enum HatchPatternType { kUserDefined = 0, kPreDefined = 1, kCustomDefined = 2 };
  enum HatchStyle { kNormal = 0, kOuter = 1, kIgnore = 2 };

  double elevation() const;
  Acad::ErrorStatus setElevation(double elevation);
  AcGeVector3d normal() const;
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);

  bool isSolidFill() const;
  HatchPatternType patternType() const;
  const ACHAR* patternName() const;
  // "SOLID" makes a solid fill.
  Acad::ErrorStatus setPattern(HatchPatternType patType, const ACHAR* patName);
  double patternAngle() const;
  Acad::ErrorStatus setPatternAngle(double angle);
  double patternScale() const;
  Acad::ErrorStatus setPatternScale(double scale);
  double patternSpace() const;
  Acad::ErrorStatus setPatternSpace(double space);
  bool patternDouble() const;
  Acad::ErrorStatus setPatternDouble(bool isDouble);
  HatchStyle hatchStyle() const;
  Acad::ErrorStatus setHatchStyle(HatchStyle style);
  bool associative() const;
  Acad::ErrorStatus setAssociative(bool isAssociative);

  int numLoops() const;
  Adesk::Int32 loopTypeAt(int loopIndex) const;  // -1 out of range
  // Polyline form: a polyline loop as stored; an edge loop of lines and circular arcs joined
  // end to start (bulges from the arcs). eNotApplicable for loops with elliptic or spline
  // edges; eInvalidIndex.
  Acad::ErrorStatus getLoopAt(int loopIndex, Adesk::Int32& loopType, AcGePoint2dArray& vertices,
                              AcGeDoubleArray& bulges) const;
  // Edge form: new AcGeLineSeg2d / AcGeCircArc2d objects (the caller deletes them) and their
  // kinds; a polyline loop is given as its segments. eNotApplicable for loops with elliptic
  // or spline edges.
  Acad::ErrorStatus getLoopAt(int loopIndex, Adesk::Int32& loopType, AcGeVoidPointerArray& edgePtrs,
                              AcGeIntArray& edgeTypes) const;
  // Adds a polyline loop (kPolyline is added to loopType); bulges may be empty (all 0) or one
  // per vertex (eInvalidInput otherwise, and for fewer than two vertices).
  Acad::ErrorStatus appendLoop(Adesk::Int32 loopType, const AcGePoint2dArray& vertices,
                               const AcGeDoubleArray& bulges);
  // Adds an edge loop of AcGeLineSeg2d (kLine) and AcGeCircArc2d (kCirArc) edges (copied).
  Acad::ErrorStatus appendLoop(Adesk::Int32 loopType, const AcGeVoidPointerArray& edgePtrs,
                               const AcGeIntArray& edgeTypes);
  Acad::ErrorStatus removeLoopAt(int loopIndex);
  Acad::ErrorStatus evaluateHatch(bool underEstimateNumLines = false);  // nothing to do: eOk
  // The hatched area: loops nest as islands (a loop inside k others has depth k); the normal
  // style adds even depths and takes away odd ones, the outer style keeps depths 0 and 1, the
  // ignore style depth 0 only. eNotApplicable for a spline edge held only as fit points.
  Acad::ErrorStatus getArea(double& area) const;

  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbHatch(const AcDbHatch& other);
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  friend struct contura::db::ObjectAccess;
  struct Data;
  std::unique_ptr<Data> mpData;
};
