// The picture of a display list as screen primitives for a painter: arcs and circles cut into
// straight pieces fine enough for the pixel size, width polylines as filled bands.
#include "VistrelPicture.h"

#include "PreviewDraw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vistrel {

namespace {

// Pieces of a curve: at least this many, and never more (a huge radius on a tiny control).
constexpr int kMinArcPieces = 2;
constexpr int kMaxArcPieces = 4096;

// How many straight pieces an arc of `pixels` radius through `sweep` radians needs.
int piecesFor(double pixels, double sweep) {
  int pieces = kMinArcPieces;
  if (pixels > kPictureArcTolerancePixels) {
    double step = 2.0 * std::acos(1.0 - kPictureArcTolerancePixels / pixels);
    if (step > 0.0) pieces = static_cast<int>(std::ceil(std::fabs(sweep) / step));
  }
  return std::clamp(pieces, kMinArcPieces, kMaxArcPieces);
}

// The picture's shapes as screen primitives handed to the sink.
class Layout final : public PreviewDraw {
public:
  Layout(const Viewport& view, bool textsAsBoxes, PictureSink& sink)
      : m_view(view), m_textsAsBoxes(textsAsBoxes), m_sink(sink) {}

  Adesk::Boolean circle(const AcGePoint3d& center, double radius, const AcGeVector3d&) const override {
    std::vector<ScreenPoint> points = arcPoints({center.x, center.y}, radius, 0.0, 2.0 * std::numbers::pi);
    points.pop_back();  // the closing point is the first one again
    m_sink.stroke(points, true, drawColor(), kPictureStrokePixels, false);
    return Adesk::kTrue;
  }

  Adesk::Boolean circularArc(const AcGePoint3d& center, double radius, const AcGeVector3d&,
                             const AcGeVector3d& startVector, double sweepAngle, AcGiArcType) const override {
    m_sink.stroke(arcPoints({center.x, center.y}, radius, std::atan2(startVector.y, startVector.x), sweepAngle),
                  false, drawColor(), kPictureStrokePixels, false);
    return Adesk::kTrue;
  }

  Adesk::Boolean polyline(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList, const AcGeVector3d*,
                          Adesk::LongPtr) const override {
    m_sink.stroke(screenPoints(nbPoints, pVertexList), false, drawColor(), kPictureStrokePixels, false);
    return Adesk::kTrue;
  }

  Adesk::Boolean polygon(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList) const override {
    if (fillType() == kAcGiFillAlways) m_sink.fill(screenPoints(nbPoints, pVertexList), drawColor());
    else m_sink.stroke(screenPoints(nbPoints, pVertexList), true, drawColor(), kPictureStrokePixels, false);
    return Adesk::kTrue;
  }

  Adesk::Boolean pline(const AcDbPolyline& pl, Adesk::UInt32 fromIndex, Adesk::UInt32 numSegs) const override {
    std::vector<PreviewSegment> segments = polylineSegments(pl, fromIndex, numSegs);
    if (anyWide(segments)) {
      for (const PreviewSegment& seg : segments) bandOrLine(seg);
      return Adesk::kTrue;
    }
    std::vector<ScreenPoint> points;
    if (!segments.empty()) {
      points.push_back(screen(segments[0].from));
    } else if (fromIndex == 0 && pl.numVerts() > 0) {
      AcGePoint2d only;
      pl.getPointAt(0, only);
      points.push_back(screen({only.x, only.y}));
    }
    for (const PreviewSegment& seg : segments) appendSegment(points, seg);
    if (!points.empty())
      m_sink.stroke(points, false, drawColor(), drawingOutline() ? kPictureOutlineStrokePixels : kPictureStrokePixels,
                    false);
    return Adesk::kTrue;
  }

  Adesk::Boolean text(const AcGePoint3d& position, const AcGeVector3d&, const AcGeVector3d& direction, double height,
                      double width, double, const ACHAR* pMsg) const override {
    std::string_view msg = pMsg ? std::string_view(pMsg) : std::string_view();
    const double angle = std::atan2(direction.y, direction.x);
    if (m_textsAsBoxes) {
      m_sink.stroke(screenPoints(textBoxCorners(position, angle, measuredTextWidth(msg, height, width), height)), true,
                    drawColor(), kPictureStrokePixels, false);
      return Adesk::kTrue;
    }
    m_sink.text(screen({position.x, position.y}), height * m_view.scale, -angle * 180.0 / std::numbers::pi, msg,
                drawColor(), drawingVariableValue());
    return Adesk::kTrue;
  }

  void baseMark(Point2 base) const {
    ScreenPoint b = screen(base);
    // The mark has a fixed size in pixels, whatever the view's scale.
    const double radius = kPictureBaseMarkRadiusPixels;
    int pieces = piecesFor(radius, 2.0 * std::numbers::pi);
    std::vector<ScreenPoint> ring;
    for (int k = 0; k < pieces; ++k) {
      double a = 2.0 * std::numbers::pi * k / pieces;
      ring.push_back({b.x + radius * std::cos(a), b.y + radius * std::sin(a)});
    }
    m_sink.stroke(ring, true, kPictureBaseMarkColor, kPictureStrokePixels, false);
    const double arm = kPictureBaseMarkArmPixels;
    m_sink.stroke({{b.x - arm, b.y}, {b.x + arm, b.y}}, false, kPictureBaseMarkColor, kPictureStrokePixels, false);
    m_sink.stroke({{b.x, b.y - arm}, {b.x, b.y + arm}}, false, kPictureBaseMarkColor, kPictureStrokePixels, false);
  }

private:
  ScreenPoint screen(Point2 p) const { return {m_view.toScreenX(p.x), m_view.toScreenY(p.y)}; }

  std::vector<ScreenPoint> screenPoints(Adesk::UInt32 n, const AcGePoint3d* points) const {
    std::vector<ScreenPoint> out;
    for (Adesk::UInt32 k = 0; k < n; ++k) out.push_back(screen({points[k].x, points[k].y}));
    return out;
  }
  std::vector<ScreenPoint> screenPoints(const std::vector<Point2>& points) const {
    std::vector<ScreenPoint> out;
    for (Point2 p : points) out.push_back(screen(p));
    return out;
  }

  // Points of the arc of the drawing from angle a0 through `sweep` radians (negative:
  // clockwise) around c, in screen coordinates, both ends included.
  std::vector<ScreenPoint> arcPoints(Point2 c, double r, double a0, double sweep) const {
    int pieces = piecesFor(r * m_view.scale, sweep);
    std::vector<ScreenPoint> points;
    points.reserve(static_cast<size_t>(pieces) + 1);
    for (int k = 0; k <= pieces; ++k) {
      double a = a0 + sweep * k / pieces;
      points.push_back(screen({c.x + r * std::cos(a), c.y + r * std::sin(a)}));
    }
    return points;
  }

  // The points of a segment after its start.
  void appendSegment(std::vector<ScreenPoint>& points, const PreviewSegment& seg) const {
    if (!seg.isArc) {
      points.push_back(screen(seg.to));
      return;
    }
    std::vector<ScreenPoint> arc = arcPoints(seg.center, seg.radius, seg.startAngle, seg.sweep);
    points.insert(points.end(), arc.begin() + 1, arc.end());
  }

  // A segment of a polyline with widths: a band whose width runs linearly from its start
  // width to its end width; without width a thin line.
  void bandOrLine(const PreviewSegment& seg) const {
    const double w0 = seg.startWidth / 2.0, w1 = seg.endWidth / 2.0;
    if (w0 == 0.0 && w1 == 0.0) {
      std::vector<ScreenPoint> points{screen(seg.from)};
      appendSegment(points, seg);
      m_sink.stroke(points, false, drawColor(), kPictureStrokePixels, false);
      return;
    }
    std::vector<Point2> band = bandOutline(seg, piecesFor(seg.radius * m_view.scale, seg.sweep));
    if (!band.empty()) m_sink.fill(screenPoints(band), drawColor());
  }

  const Viewport& m_view;
  bool m_textsAsBoxes;
  PictureSink& m_sink;
};

}  // namespace

Rgb sheetColor(Rgb color) { return color == kPictureSheetColor ? Rgb{0, 0, 0} : color; }

void paintPicture(const DisplayList& list, const Viewport& view, int width, int height, const SvgOptions& options,
                  PictureSink& sink) {
  sink.sheet(width, height, kPictureSheetColor);
  Layout layout(view, options.textsAsBoxes, sink);
  layout.drawList(list);
  if (options.showBasePoint && list.hasBasePoint) layout.baseMark(list.basePoint);
  if (options.selectionFrame) {
    double right = std::max(1.0, width - 1.0), bottom = std::max(1.0, height - 1.0);
    sink.stroke({{1.0, 1.0}, {right, 1.0}, {right, bottom}, {1.0, bottom}}, true, kPictureFrameColor,
                kPictureFrameStrokePixels, true);
  }
}

}  // namespace vistrel
