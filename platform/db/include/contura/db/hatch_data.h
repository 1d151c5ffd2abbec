// The complete boundary and pattern data of a hatch, for the drawing-file layer and the
// hatch algorithms (AcDbHatch shows the host's view of it).
#pragma once
#include <dbhatch.h>
#include <gepnt2d.h>
#include <gevec2d.h>

#include <string>
#include <vector>

namespace contura::db {

struct HatchEdge {
  int type = AcDbHatch::kLine;  // AcDbHatch::HatchEdgeType
  // kLine: start, end.
  AcGePoint2d start, end;
  // kCirArc: centre, radius, angles; kEllArc: centre, major axis end point (relative to the
  // centre), minor/major ratio, angles. Angles in radians; ccw false means the arc runs
  // clockwise (the angles are then stored as the file has them).
  AcGePoint2d center;
  double radius = 0.0;
  AcGeVector2d majorAxis;
  double minorRatio = 1.0;
  double startAngle = 0.0, endAngle = 0.0;
  bool ccw = true;
  // kSpline.
  int degree = 3;
  bool rational = false, periodic = false;
  std::vector<double> knots;
  std::vector<AcGePoint2d> controlPoints;
  std::vector<double> weights;
  std::vector<AcGePoint2d> fitPoints;
  AcGeVector2d startTangent, endTangent;
  bool operator==(const HatchEdge&) const = default;
};

struct HatchVertex {
  AcGePoint2d pt;
  double bulge = 0.0;
  bool operator==(const HatchVertex&) const = default;
};

struct HatchLoop {
  Adesk::Int32 type = AcDbHatch::kDefault;  // HatchLoopType bits; kPolyline for vertex loops
  bool closed = true;                       // polyline loops
  std::vector<HatchVertex> vertices;        // polyline loops
  std::vector<HatchEdge> edges;             // edge loops
  std::vector<AcDbObjectId> boundaryIds;    // source boundary objects (associative hatches)
  bool isPolyline() const { return (type & AcDbHatch::kPolyline) != 0; }
  bool operator==(const HatchLoop&) const = default;
};

struct HatchPatternLine {
  double angle = 0.0;
  AcGePoint2d base;
  AcGeVector2d offset;
  std::vector<double> dashes;
  bool operator==(const HatchPatternLine&) const = default;
};

struct HatchData {
  double elevation = 0.0;
  AcGeVector3d normal{0.0, 0.0, 1.0};
  std::string patternName{"SOLID"};
  int patternType = AcDbHatch::kPreDefined;
  bool solidFill = true;
  bool associative = false;
  int style = AcDbHatch::kNormal;
  double patternAngle = 0.0;
  double patternScale = 1.0;
  double patternSpace = 1.0;
  bool patternDouble = false;
  std::vector<HatchLoop> loops;
  std::vector<HatchPatternLine> patternLines;
  std::vector<AcGePoint2d> seedPoints;
  double pixelSize = 0.0;  // a drawing file's display hint for the pattern; 0 when it has none
};

const HatchData& hatchData(const AcDbHatch& hatch);
// eNotOpenForWrite when the hatch is in a database and not open for write.
Acad::ErrorStatus setHatchData(AcDbHatch& hatch, HatchData data);

// The signed area a loop encloses (positive counter-clockwise in the hatch's plane): exact
// for lines, circular and elliptic arcs, numeric for spline edges. An open polyline loop is
// closed by a straight segment. eInvalidIndex; eNotApplicable for a spline edge held only
// as fit points.
Acad::ErrorStatus hatchLoopArea(const AcDbHatch& hatch, int loopIndex, double& signedArea);

// The boundary of a loop as a closed polygon in the hatch's plane (the first point is not
// repeated at the end): line edges and polyline vertices exactly, circular and elliptic arcs
// and bulged segments sampled so that no piece turns more than `maxTurn` radians (at least
// one piece each), spline edges at kHatchSplineSamplesPerSpan points per knot span (a spline
// held only as fit points runs through them). eInvalidIndex; eInvalidInput for maxTurn <= 0.
Acad::ErrorStatus hatchLoopPolygon(const AcDbHatch& hatch, int loopIndex, double maxTurn,
                                   std::vector<AcGePoint2d>& points);
inline constexpr int kHatchSplineSamplesPerSpan = 8;

}  // namespace contura::db
