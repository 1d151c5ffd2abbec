// The previews' side of the drawing interface: what the SVG writer and the picture layout
// share as receivers of a display list drawn through AcGiWorldDraw (the traits, a polyline's
// segments as the polyline reports them, text boxes, the shape styles the traits lack).
#pragma once
#include <acgi.h>
#include <dbpl.h>

#include <string_view>
#include <vector>

#include "VistrelDisplayList.h"

namespace vistrel {

// One segment of a polyline, in drawing units. Straight or arc is what the polyline's
// segType says; an arc's centre, radius and signed sweep (negative: clockwise) come from its
// getArcSegAt. A segment whose ends coincide is straight.
struct PreviewSegment {
  Point2 from, to;
  bool isArc = false;
  Point2 center;
  double radius = 0.0;
  double startAngle = 0.0;  // the direction of `from` seen from the centre
  double sweep = 0.0;
  double startWidth = 0.0, endWidth = 0.0;
};

// The segments fromIndex .. fromIndex + numSegs - 1 of pl (numSegs 0: to the last one,
// the closing segment of a closed polyline included).
std::vector<PreviewSegment> polylineSegments(const AcDbPolyline& pl, unsigned int fromIndex, unsigned int numSegs);
// Whether any of the segments has a width (the polyline is then drawn as bands).
bool anyWide(const std::vector<PreviewSegment>& segments);

// The outline of a segment drawn with its widths: a band whose width runs linearly from the
// start width to the end width, an arc's sides cut into `arcPieces` straight pieces. The
// left side forwards, then the right side back. Empty for a straight segment of no length.
std::vector<Point2> bandOutline(const PreviewSegment& seg, int arcPieces);

// The corners of the box of a line of text: baseline start, end, then the top corners back.
std::vector<Point2> textBoxCorners(const AcGePoint3d& position, double angle, double width, double height);

// Width of the box of a line of code page 936 text of the given height and width factor, as
// the database measures a text entity.
double measuredTextWidth(std::string_view cp936, double height, double widthFactor = 1.0);

// A preview receiving primitives: it is its own geometry and traits. Only what display
// lists emit is drawn (lines, polylines, polygons, arcs, circles, texts); shells, point
// marks, infinite lines, nested drawables and model transforms other than the identity are
// refused (kFalse), since no preview content has them.
class PreviewDraw : public AcGiWorldDraw, public AcGiWorldGeometry, public AcGiSubEntityTraits {
public:
  // Draws every shape of the list through this preview, each with its own style.
  void drawList(const DisplayList& list);

  AcGiWorldGeometry& geometry() const override { return const_cast<PreviewDraw&>(*this); }
  AcGiSubEntityTraits& subEntityTraits() const override { return const_cast<PreviewDraw&>(*this); }

  void setColor(Adesk::UInt16 color) override;
  void setTrueColor(const AcCmEntityColor& color) override { m_color = color; }
  void setLayer(AcDbObjectId layerId) override { m_layer = layerId; }
  void setFillType(AcGiFillType fillType) override { m_fill = fillType; }
  Adesk::UInt16 color() const override { return Adesk::UInt16(m_color.colorIndex()); }
  AcCmEntityColor trueColor() const override { return m_color; }
  AcDbObjectId layerId() const override { return m_layer; }
  AcGiFillType fillType() const override { return m_fill; }

  Adesk::Boolean shell(Adesk::UInt32, const AcGePoint3d*, Adesk::UInt32, const Adesk::Int32*) const override {
    return Adesk::kFalse;
  }
  Adesk::Boolean polyPoint(Adesk::UInt32, const AcGePoint3d*) const override { return Adesk::kFalse; }
  Adesk::Boolean xline(const AcGePoint3d&, const AcGePoint3d&) const override { return Adesk::kFalse; }
  Adesk::Boolean ray(const AcGePoint3d&, const AcGePoint3d&) const override { return Adesk::kFalse; }
  Adesk::Boolean draw(AcGiDrawable*) const override { return Adesk::kFalse; }
  void getModelToWorldTransform(AcGeMatrix3d& xform) const override { xform = AcGeMatrix3d::kIdentity; }
  Adesk::Boolean pushModelTransform(const AcGeMatrix3d& xMat) override;
  Adesk::Boolean popModelTransform() override;

protected:
  // The colour of the primitives that follow, as drawn on the white sheet (white draws black).
  Rgb drawColor() const;
  // The style of the shape being drawn that the traits do not carry: the section outline is
  // drawn heavier, a variable's value underlined.
  bool drawingOutline() const { return m_outline; }
  bool drawingVariableValue() const { return m_role == TextRole::kVariableValue; }

private:
  AcCmEntityColor m_color{0, 0, 0};
  AcDbObjectId m_layer;
  AcGiFillType m_fill = kAcGiFillNever;
  int m_identityPushes = 0;
  bool m_outline = false;
  TextRole m_role = TextRole::kPlain;
};

}  // namespace vistrel
