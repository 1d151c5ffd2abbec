// AcDbPolyline: the lightweight polyline, vertices in the OCS of its normal at its elevation,
// each with a bulge (tan of a quarter of the included angle of the segment that starts there,
// negative for clockwise) and start and end widths.
#pragma once
#include <dbcurve.h>
#include <gearc2d.h>
#include <gelnsg2d.h>
#include <gepnt2d.h>

#include <vector>

class AcDbPolyline : public AcDbCurve {
public:
  ACRX_DECLARE_MEMBERS(AcDbPolyline);
  AcDbPolyline();
  explicit AcDbPolyline(unsigned int numVerts);  // reserves room, holds no vertex
  ~AcDbPolyline() override;

  // kCoincident: a segment whose ends coincide; kPoint: the only vertex of a one-vertex
  // polyline; kEmpty: an index without a segment (past the last segment).
  enum SegType { kLine = 0, kArc = 1, kCoincident = 2, kPoint = 3, kEmpty = 4 };

  unsigned int numVerts() const { return unsigned(mVertices.size()); }
  // OCS point of a vertex; the 3D form is the world point. eInvalidIndex out of range.
  Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint2d& pt) const;
  Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint3d& pt) const;
  SegType segType(unsigned int index) const;
  Acad::ErrorStatus getLineSegAt(unsigned int index, AcGeLineSeg2d& ln) const;  // eInvalidInput when not a line
  Acad::ErrorStatus getArcSegAt(unsigned int index, AcGeCircArc2d& arc) const;  // eInvalidInput when not an arc
  Acad::ErrorStatus getBulgeAt(unsigned int index, double& bulge) const;
  Acad::ErrorStatus getStartWidthAt(unsigned int index, double& startWidth) const;
  Acad::ErrorStatus getEndWidthAt(unsigned int index, double& endWidth) const;
  Acad::ErrorStatus getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const;

  // Inserts a vertex before the vertex at index; index == numVerts() appends
  // (eInvalidIndex beyond). A negative width means the default: the constant width.
  Acad::ErrorStatus addVertexAt(unsigned int index, const AcGePoint2d& pt, double bulge = 0.0,
                                double startWidth = -1.0, double endWidth = -1.0,
                                Adesk::Int32 vertexIdentifier = 0);
  Acad::ErrorStatus removeVertexAt(unsigned int index);
  Acad::ErrorStatus setPointAt(unsigned int index, const AcGePoint2d& pt);
  Acad::ErrorStatus setBulgeAt(unsigned int index, double bulge);
  Acad::ErrorStatus setStartWidthAt(unsigned int index, double startWidth);
  Acad::ErrorStatus setEndWidthAt(unsigned int index, double endWidth);
  Acad::ErrorStatus setWidthsAt(unsigned int index, double startWidth, double endWidth);
  // Removes every vertex (reuse false) or keeps the first numVerts (reuse true).
  void reset(bool reuse, unsigned int numVerts);

  void setClosed(bool closed);
  void setPlinegen(bool plinegen);
  bool hasPlinegen() const { return mPlinegen; }
  double elevation() const { return mElevation; }
  void setElevation(double elev);
  double thickness() const { return mThickness; }
  Acad::ErrorStatus setThickness(double thickness);
  AcGeVector3d normal() const { return mNormal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  // Every vertex gets these widths.
  Acad::ErrorStatus setConstantWidth(double width);
  // eInvalidInput when the vertex widths are not all one value.
  Acad::ErrorStatus getConstantWidth(double& width) const;
  bool isOnlyLines() const;
  bool hasBulges() const;
  bool hasWidth() const;
  void minimizeMemory() {}
  void maximizeMemory() {}

  bool isClosed() const override { return mClosed; }
  bool isPlanar() const override { return true; }
  Acad::ErrorStatus getPlane(AcGePlane& plane) const override;
  // Parameters: vertex i at i; the end parameter is numVerts()-1, numVerts() when closed.
  Acad::ErrorStatus getStartParam(double& startParam) const override;
  Acad::ErrorStatus getEndParam(double& endParam) const override;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& startPoint) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& endPoint) const override;
  Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
  Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
  Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
  Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
  Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& firstDeriv) const override;
  Acad::ErrorStatus getSecondDeriv(double param, AcGeVector3d& secDeriv) const override;
  using AcDbCurve::getFirstDeriv;
  using AcDbCurve::getSecondDeriv;
  // Lines and arcs, one per segment with the polyline's properties; zero-length segments
  // give nothing; widths are dropped.
  Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;
  // Refuses non-uniform scaling when the polyline has arc segments
  // (eCannotScaleNonUniformly); widths scale with the transform.
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbPolyline(const AcDbPolyline&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  struct Vertex {
    AcGePoint2d pt;
    double bulge;
  };
  struct Widths {
    double start;
    double end;
  };
  bool validIndex(unsigned int index) const { return index < mVertices.size(); }
  void ensureWidths();
  std::vector<Vertex> mVertices;
  std::vector<Widths> mWidths;  // empty while every width is the constant width
  AcGeVector3d mNormal{0.0, 0.0, 1.0};
  double mElevation = 0.0;
  double mThickness = 0.0;
  double mConstantWidth = 0.0;
  bool mClosed = false;
  bool mPlinegen = false;
};
