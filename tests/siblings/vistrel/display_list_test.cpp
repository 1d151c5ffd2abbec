// Tests of the view library's display list: parsing section text, extents, the fit into a
// control and the SVG picture; and of its light geometry classes.
#include "Vistrel2DGeometry.h"
#include "VistrelDisplayList.h"
#include "VistrelPicture.h"

#include <dbpl.h>
#include <gtest/gtest.h>

#include "bulge_cases.h"

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>

using namespace vistrel;

namespace {

const char kLineAndCircle[] =
    "[Line]\nPoint=0,0;1000,0\nColor=255,0,0\nLayer=0\n\n"
    "[Circle]\nCenter=500,300\nRadius=150\nColor=255,0,0\nLayer=0\n";

const char kPolylineAndMtext[] =
    "[Polyline]\nPoint=0,0,0.414214,0,0;100,0,0,0,0;100,100,0,0,0;0,0,0,0,0\nColor=0,0,255\nLayer=WALL\n\n"
    "[Mtext]\n[Text]\nValue=FIRST LINE\nHeight=2.5\nPoint=10,20\nAngle=0\nColor=255,255,255\nLayer=0\n\n"
    "[Text]\nValue=SECOND LINE\nHeight=2.5\nPoint=10,16\nAngle=0\nColor=255,255,255\nLayer=0\n\n";

int count(const std::string& s, const std::string& what) {
  int n = 0;
  for (std::size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
  return n;
}

TEST(DisplayList, EveryEntityRecordBecomesAShape) {
  DisplayList a = parseSectionText(kLineAndCircle);
  ASSERT_EQ(a.shapes.size(), 2u);
  EXPECT_EQ(a.shapes[0].kind, ShapeKind::kLine);
  EXPECT_EQ(a.shapes[0].vertices[1].pt, (Point2{1000, 0}));
  EXPECT_EQ(a.shapes[0].color, (Rgb{255, 0, 0}));
  EXPECT_EQ(a.shapes[1].kind, ShapeKind::kCircle);
  EXPECT_EQ(a.shapes[1].center, (Point2{500, 300}));
  EXPECT_EQ(a.shapes[1].radius, 150.0);

  DisplayList b = parseSectionText(kPolylineAndMtext);
  ASSERT_EQ(b.shapes.size(), 3u);  // the Mtext header itself draws nothing
  ASSERT_EQ(b.shapes[0].vertices.size(), 4u);
  EXPECT_EQ(b.shapes[0].vertices[0].bulge, 0.414214);
  EXPECT_EQ(b.shapes[1].text, "FIRST LINE");
  EXPECT_EQ(b.shapes[2].position, (Point2{10, 16}));
  EXPECT_EQ(b.skippedRecords, 0);
}

TEST(DisplayList, ArcsWidthsAndVariables) {
  DisplayList d = parseSectionText(
      "[Arc]\nCenter=1,2\nRadius=3\nAngle=0.5,1.5\nColor=0,255,0\nLayer=0\n\n"
      "[Polyline]\nPoint=0,0,0,-2,4;10,0,0,0,0\nColor=1,2,3\nLayer=0\n\n"
      "[VarCommon]\nValue=B\nHeight=3\nPoint=0,0\nAngle=0\nColor=255,0,0\nLayer=0\nCode=c\n"
      "Visible=0\nSort=1\nCondiction=\nRemark=\nVarInitial=300\nVarValue=\nVarHeight=2\n"
      "VarPoint=5,6\nVarAngle=0\nVarColor=0,0,255\nVarType=x\n\n"
      "[VarCommon]\nValue=\xBF\xED\nHeight=3\nPoint=0,0\nAngle=0\nColor=255,0,0\nLayer=0\n"
      "Visible=1\nVarValue=400\nVarPoint=5,6\nVarColor=0,0,255\n");
  ASSERT_EQ(d.shapes.size(), 5u);
  EXPECT_EQ(d.shapes[0].kind, ShapeKind::kArc);
  EXPECT_EQ(d.shapes[0].startAngle, 0.5);
  EXPECT_EQ(d.shapes[0].endAngle, 1.5);
  EXPECT_EQ(d.shapes[1].vertices[0].startWidth, 2.0);  // negative widths draw positive
  EXPECT_EQ(d.shapes[1].vertices[0].endWidth, 4.0);
  // A hidden name shows only the value; an empty set value shows the initial one.
  EXPECT_EQ(d.shapes[2].role, TextRole::kVariableValue);
  EXPECT_EQ(d.shapes[2].text, "300");
  EXPECT_EQ(d.shapes[2].position, (Point2{5, 6}));
  EXPECT_EQ(d.shapes[2].color, (Rgb{0, 0, 255}));
  EXPECT_EQ(d.shapes[3].role, TextRole::kVariableName);
  EXPECT_EQ(d.shapes[3].text, "\xBF\xED");
  EXPECT_EQ(d.shapes[4].text, "400");
}

TEST(DisplayList, OutlineWithBasePointAndRecordsThatDrawNothing) {
  DisplayList d = parseSectionText(
      "\n[SecType]\nName=n\nRemark=r\nType=1\nGroup=2\n"
      "[PolylineSection]\nPoints=0,0,0;1000,0,0;600,1000,0;0,1000,0;0,0,0\nBasePoint=500,500\n"
      "[Unknown]\nPoint=1,1;2,2\n");
  ASSERT_EQ(d.shapes.size(), 1u);
  EXPECT_TRUE(d.shapes[0].outline);
  EXPECT_EQ(d.shapes[0].vertices.size(), 5u);
  EXPECT_TRUE(d.hasBasePoint);
  EXPECT_EQ(d.basePoint, (Point2{500, 500}));
  EXPECT_TRUE(parseSectionText("").empty());
}

TEST(DisplayList, ReaderGrammarCases) {
  // Letter case, indented headers, carriage returns, '[' in values, repeated keys.
  DisplayList d = parseSectionText(
      "[LINE]\r\nPOINT=1,1;2,2\r\npoint=9,9;9,9\r\nCOLOR=1,1,1\r\n\r\n"
      "   [Text]\r\nValue=[Line] a=b\r\nHeight=1\r\nPoint=0,0\r\nColor=0,0,0\r\n");
  ASSERT_EQ(d.shapes.size(), 2u);
  EXPECT_EQ(d.shapes[0].vertices[0].pt, (Point2{1, 1}));
  EXPECT_EQ(d.shapes[1].text, "[Line] a=b");
}

TEST(DisplayList, MalformedRecordsAreSkippedWhole) {
  DisplayList d = parseSectionText(
      "[Line]\nPoint=0,0 1000,0\nColor=255,0,0\n"      // no ';'
      "[Circle]\nCenter=500\nRadius=1\nColor=1,2,3\n"  // point without comma
      "[Circle]\nCenter=5,5\nRadius=1\n"               // no colour
      "[Polyline]\nPoint=0,0,0,0;1,1,0,0,0\nColor=1,2,3\n"  // an item of four numbers
      "[Text]\nValue=t\nPoint=1,2\nColor=1,2\n"        // colour with one comma
      "[Circle]\nCenter=5,5\nColor=1,2,3\n");          // fine: radius reads 0
  EXPECT_EQ(d.skippedRecords, 5);
  ASSERT_EQ(d.shapes.size(), 1u);
  EXPECT_EQ(d.shapes[0].radius, 0.0);
}

TEST(Extents, ArcsBulgesWidthsAndTexts) {
  Shape arc;
  arc.kind = ShapeKind::kArc;
  arc.radius = 1.0;
  arc.startAngle = 3 * std::numbers::pi / 4;  // through pi and 3pi/2 to pi/4
  arc.endAngle = std::numbers::pi / 4;
  Box b = shapeExtents(arc);
  EXPECT_NEAR(b.minX, -1.0, 1e-12);
  EXPECT_NEAR(b.minY, -1.0, 1e-12);
  EXPECT_NEAR(b.maxX, 1.0, 1e-12);  // passes angle 0 too
  EXPECT_NEAR(b.maxY, std::sin(3 * std::numbers::pi / 4), 1e-12);

  // A quarter-circle bulge from (0,0) to (100,0) bulges below the chord.
  DisplayList d = parseSectionText(kPolylineAndMtext);
  Box p = shapeExtents(d.shapes[0]);
  EXPECT_NEAR(p.minY, 50.0 - 100.0 / std::sqrt(2.0), 1e-3);
  EXPECT_NEAR(p.maxY, 100.0, 1e-12);

  Shape wide;
  wide.kind = ShapeKind::kPolyline;
  wide.vertices = {Vertex{{0, 0}, 0, 2, 6}, Vertex{{10, 0}}};
  Box w = shapeExtents(wide);
  EXPECT_EQ(w.minY, -3.0);
  EXPECT_EQ(w.maxX, 13.0);

  // Text boxes: a single-byte character is 2/3 of the height wide, a double-byte one 1.
  Shape t;
  t.kind = ShapeKind::kText;
  t.text = "ab\xD6\xD0";
  t.height = 3.0;
  t.angle = std::numbers::pi / 2;
  t.position = {10, 0};
  Box tb = shapeExtents(t);
  EXPECT_NEAR(tb.minX, 7.0, 1e-12);
  EXPECT_NEAR(tb.maxY, 7.0, 1e-12);
}

TEST(Fit, ContentCentredInsideTheMargin) {
  Box content;
  content.add(0, 0);
  content.add(100, 50);
  Viewport v = fitToControl(content, 116, 116);
  EXPECT_DOUBLE_EQ(v.scale, 1.0);
  EXPECT_DOUBLE_EQ(v.toScreenX(0), 8.0);
  EXPECT_DOUBLE_EQ(v.toScreenY(0), 83.0);
  EXPECT_DOUBLE_EQ(v.toScreenX(100), 108.0);
  EXPECT_DOUBLE_EQ(v.toScreenY(50), 33.0);
  Viewport tall = fitToControl(content, 416, 66);  // height limits: 50 px for 50 units
  EXPECT_DOUBLE_EQ(tall.scale, 1.0);
  Viewport big = fitToControl(content, 216, 116);
  EXPECT_DOUBLE_EQ(big.scale, 2.0);
  Box point;
  point.add(5, 5);
  Viewport p = fitToControl(point, 100, 100);
  EXPECT_DOUBLE_EQ(p.scale, 1.0);
  EXPECT_DOUBLE_EQ(p.toScreenX(5), 50.0);
}

TEST(Svg, ShapesTextsFrameAndBaseMark) {
  DisplayList d = parseSectionText(kPolylineAndMtext);
  Viewport v = fitToControl(extents(d), 492, 348);
  std::string svg = renderSvg(d, v, 492, 348, SvgOptions{});
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"GBK\"?>", 0), 0u);
  // The texts and the polyline path themselves are checked in the preview end to end.
  EXPECT_EQ(count(svg, "<text"), 2);
  EXPECT_EQ(count(svg, "fill=\"#000000\">"), 2);  // white texts are drawn black
  EXPECT_EQ(count(svg, "<path d=\"M "), 1);
  EXPECT_NE(svg.find(" A "), std::string::npos);  // the bulged segment is an arc
  EXPECT_NE(svg.find("stroke=\"#0000ff\""), std::string::npos);
  EXPECT_EQ(svg.find("class=\"selection\""), std::string::npos);

  DisplayList o = parseSectionText("[PolylineSection]\nPoints=0,0,0;10,0,0;0,10,0;0,0,0\nBasePoint=5,5\n");
  std::string marked = renderSvg(o, fitToControl(extents(o), 100, 100), 100, 100,
                                 SvgOptions{false, true, true});
  EXPECT_NE(marked.find("class=\"basepoint\""), std::string::npos);
  EXPECT_NE(marked.find("class=\"selection\""), std::string::npos);
  // The base point (5,5) sits at the centre of the fitted 100 x 100 control.
  EXPECT_NE(marked.find("cx=\"50\" cy=\"50\""), std::string::npos);
}

TEST(Svg, ArcsKeepTheirTurningSense) {
  // A quarter arc counter-clockwise from (10,0) to (0,10) bulges towards the upper right, so
  // on the y-down screen it runs from the lower right point to the upper left one against
  // the positive angle direction (sweep flag 0). Fitted into 40 x 40: scale 2.4.
  DisplayList d = parseSectionText("[Arc]\nCenter=0,0\nRadius=10\nAngle=0,1.5707963267948966\nColor=0,0,0\n");
  std::string svg = renderSvg(d, fitToControl(extents(d), 40, 40), 40, 40, SvgOptions{});
  EXPECT_NE(svg.find("d=\"M 32 32 A 24 24 0 0 0 8 8\""), std::string::npos) << svg;
  // The same quarter as a polyline segment with bulge tan(pi/8) (both turning senses of
  // polyline segments are checked against the polyline itself in the bulge table below).
  DisplayList p = parseSectionText("[Polyline]\nPoint=10,0,0.41421356237,0,0;0,10,0,0,0\nColor=0,0,0\n");
  std::string ps = renderSvg(p, fitToControl(extents(p), 40, 40), 40, 40, SvgOptions{});
  EXPECT_NE(ps.find("d=\"M 32 32 A 24 24 0 0 0 8 8\""), std::string::npos) << ps;
}

TEST(Svg, TextIsEscapedAndInvalidBytesReplaced) {
  DisplayList d;
  Shape t;
  t.kind = ShapeKind::kText;
  t.height = 10;
  t.text = std::string("a<b&\"c\"\x01\xD6\xD0\xFF\x81");
  t.angle = std::numbers::pi / 2;
  d.shapes.push_back(t);
  std::string svg = renderSvg(d, fitToControl(extents(d), 200, 100), 200, 100, SvgOptions{});
  EXPECT_NE(svg.find(">a&lt;b&amp;&quot;c&quot;\xD6\xD0?" "?</text>"), std::string::npos) << svg;
  EXPECT_NE(svg.find("rotate(-90 "), std::string::npos);
  std::string boxes = renderSvg(d, fitToControl(extents(d), 200, 100), 200, 100, SvgOptions{true, false, false});
  EXPECT_EQ(boxes.find("<text"), std::string::npos);
  EXPECT_EQ(count(boxes, "<polygon"), 1);
}

TEST(Svg, WidePolylineSegmentsAreFilledBands) {
  DisplayList d = parseSectionText(
      "[Polyline]\nPoint=0,0,0,2,2;10,0,1,2,0;20,0,0,0,0;30,0,0,0,0\nColor=0,255,0\nLayer=0\n");
  std::string svg = renderSvg(d, fitToControl(extents(d), 300, 200), 300, 200, SvgOptions{});
  EXPECT_EQ(count(svg, "<polygon"), 2);  // the straight band and the arc band
  EXPECT_EQ(count(svg, "<path"), 1);     // the segment without width is a thin line
  EXPECT_NE(svg.find("fill=\"#00ff00\" stroke=\"none\""), std::string::npos);
}

// One polyline whose kSide-long segments carry the bulges every consumer must agree on. Both
// previews must draw straight exactly what the polyline calls straight, and every arc where
// the polyline's own arc goes.
using bulgecases::kBulges;
using bulgecases::kSide;

struct BulgePolyline {
  Shape shape;
  AcDbPolyline pl;
  BulgePolyline() {
    shape.kind = ShapeKind::kPolyline;
    const unsigned int n = std::size(kBulges);
    for (unsigned int i = 0; i <= n; ++i) {
      double bulge = i < n ? kBulges[i] : 0.0;
      shape.vertices.push_back(Vertex{{kSide * i, 0.0}, bulge});
      pl.addVertexAt(i, AcGePoint2d(kSide * i, 0.0), bulge);
    }
  }
  AcGeCircArc2d arc(unsigned int i) const {
    AcGeCircArc2d a;
    EXPECT_EQ(pl.getArcSegAt(i, a), Acad::eOk);
    return a;
  }
};

// Screen = drawing with y flipped, one pixel per unit.
const Viewport kUnitView{1.0, 0.0, 0.0};

TEST(BulgeTable, SvgPathAgreesWithThePolylinesSegments) {
  BulgePolyline b;
  DisplayList d;
  d.shapes.push_back(b.shape);
  std::string svg = renderSvg(d, kUnitView, 200, 200, SvgOptions{});
  std::size_t at = svg.find("<path d=\"M 0 0");
  ASSERT_NE(at, std::string::npos) << svg;
  std::istringstream path(svg.substr(at + 15, svg.find('"', at + 9) - at - 15));  // after "M 0 0"
  for (unsigned int i = 0; i < std::size(kBulges); ++i) {
    SCOPED_TRACE(kBulges[i]);
    std::string command;
    double rx = 0, ry = 0, rotation = 0, x = 0, y = 0;
    int large = 0, sweep = 0;
    path >> command;
    if (b.pl.segType(i) == AcDbPolyline::kLine) {
      ASSERT_EQ(command, "L");
    } else {
      ASSERT_EQ(command, "A");
      path >> rx >> ry >> rotation >> large >> sweep;
      AcGeCircArc2d arc = b.arc(i);
      EXPECT_NEAR(rx, arc.radius(), 0.005 + 1e-9 * arc.radius());
      EXPECT_NEAR(rx, bulgecases::bulgedSegment(kBulges[i]).radius, 0.005 + 1e-9 * arc.radius());
      EXPECT_EQ(large == 1, arc.sweep() > std::numbers::pi);
      EXPECT_EQ(sweep == 1, static_cast<bool>(arc.isClockWise()));  // clockwise turns positive on y-down
    }
    path >> x >> y;
    EXPECT_EQ(x, kSide * (i + 1));
    EXPECT_EQ(y, 0.0);
  }
}

// Keeps the one stroke a picture draws.
struct StrokeSink final : PictureSink {
  std::vector<std::vector<ScreenPoint>> strokes;
  void sheet(int, int, Rgb) override {}
  void stroke(const std::vector<ScreenPoint>& points, bool, Rgb, double, bool) override { strokes.push_back(points); }
  void fill(const std::vector<ScreenPoint>&, Rgb) override {}
  void text(ScreenPoint, double, double, std::string_view, Rgb, bool) override {}
};

TEST(BulgeTable, PictureStrokeAgreesWithThePolylinesSegments) {
  BulgePolyline b;
  DisplayList d;
  d.shapes.push_back(b.shape);
  StrokeSink sink;
  paintPicture(d, kUnitView, 200, 200, SvgOptions{}, sink);
  ASSERT_EQ(sink.strokes.size(), 1u);
  const std::vector<ScreenPoint>& points = sink.strokes[0];
  std::size_t k = 1;
  for (unsigned int i = 0; i < std::size(kBulges); ++i) {
    SCOPED_TRACE(kBulges[i]);
    const ScreenPoint end{kSide * (i + 1), 0.0};
    if (b.pl.segType(i) == AcDbPolyline::kLine) {
      ASSERT_LT(k, points.size());
      EXPECT_EQ(points[k++], end);  // a straight segment is its end point alone
      continue;
    }
    AcGeCircArc2d arc = b.arc(i);
    auto atEnd = [&](ScreenPoint p) { return std::hypot(p.x - end.x, p.y - end.y) < 1e-6; };
    int inner = 0;
    for (; k < points.size() && !atEnd(points[k]); ++k, ++inner)
      EXPECT_NEAR(AcGePoint2d(points[k].x, -points[k].y).distanceTo(arc.center()), arc.radius(),
                  1e-6 * (1.0 + arc.radius()));
    ASSERT_LT(k++, points.size());
    EXPECT_GE(inner, 1);
    // Pieces on the side of the chord the polyline's arc takes, where the arc leaves the
    // chord by more than a micro-unit (closer, rounding decides the side).
    if (std::fabs(bulgecases::bulgedSegment(kBulges[i]).midY) > 1e-6) {
      EXPECT_EQ(points[k - 2].y > 0.0, kBulges[i] > 0.0);
    }
  }
  EXPECT_EQ(k, points.size());
}

TEST(LightGeometry, VectorBehaviour) {
  const scVector2 a(3.0, 4.0);
  EXPECT_EQ(a.SquaredNorm(), 25.0);
  EXPECT_EQ(a[7], 4.0);  // any non-zero index is y
  EXPECT_EQ(a * scVector2(2.0, 3.0), scVector2(6.0, 12.0));  // element by element
  scVector2 u;
  u.SetAngle(std::numbers::pi / 2);
  EXPECT_NEAR(u.x, 0.0, 1e-15);
  EXPECT_EQ(u.y, 1.0);
  scVector2 from(0.0, 0.0), to(10.0, 0.0);
  EXPECT_GT(scVector2(5.0, 1.0).IsLeft(from, to), 0.0);
  EXPECT_LT(scVector2(5.0, -1.0).IsLeft(from, to), 0.0);
  EXPECT_EQ(scVector2(5.0, 0.0).IsLeft(from, to), 0.0);
  EXPECT_EQ(scVector2(5.0, 2.0).IsLeft(from, to), 20.0);
}

TEST(LightGeometry, TheBaseCurveAnswersNothing) {
  CCurve c;
  EXPECT_EQ(c.GetWide(), 0.0);  // the constructor zeroes its fields
  EXPECT_FALSE(c.IsOnCurve(scVector2(0.0, 0.0), 1.0));
  std::vector<scVector2> pts;
  c.GetCrossPoints(&c, pts);
  EXPECT_TRUE(pts.empty());
}

}  // namespace
