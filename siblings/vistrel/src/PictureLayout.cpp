// The picture of a display list as screen primitives for a painter: arcs and circles cut into
// straight pieces fine enough for the pixel size, width polylines as filled bands.
#include "VistrelPicture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vistrel {

namespace {

constexpr Rgb kSheet{255, 255, 255};
constexpr Rgb kBaseMarkColor{255, 0, 0};
constexpr Rgb kFrameColor{0x00, 0x78, 0xd7};
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

class Layout {
public:
  Layout(const Viewport& view, PictureSink& sink) : m_view(view), m_sink(sink) {}

  ScreenPoint screen(double x, double y) const { return {m_view.toScreenX(x), m_view.toScreenY(y)}; }

  // Points of the arc of the drawing from angle a0 through `sweep` radians (negative:
  // clockwise) around c, in screen coordinates, both ends included.
  std::vector<ScreenPoint> arcPoints(Point2 c, double r, double a0, double sweep) const {
    int pieces = piecesFor(r * m_view.scale, sweep);
    std::vector<ScreenPoint> points;
    points.reserve(static_cast<size_t>(pieces) + 1);
    for (int k = 0; k <= pieces; ++k) {
      double a = a0 + sweep * k / pieces;
      points.push_back(screen(c.x + r * std::cos(a), c.y + r * std::sin(a)));
    }
    return points;
  }

  void line(const Shape& s) {
    if (s.vertices.size() < 2) return;
    m_sink.stroke({screen(s.vertices[0].pt.x, s.vertices[0].pt.y), screen(s.vertices[1].pt.x, s.vertices[1].pt.y)},
                  false, sheetColor(s.color), kPictureStrokePixels, false);
  }

  void circle(const Shape& s) {
    std::vector<ScreenPoint> points = arcPoints(s.center, s.radius, 0.0, 2.0 * std::numbers::pi);
    points.pop_back();  // the closing point is the first one again
    m_sink.stroke(points, true, sheetColor(s.color), kPictureStrokePixels, false);
  }

  void arc(const Shape& s) {
    // Counter-clockwise from start to end; equal angles make the whole circle.
    double sweep = std::fmod(s.endAngle - s.startAngle, 2.0 * std::numbers::pi);
    if (sweep <= 0.0) sweep += 2.0 * std::numbers::pi;
    m_sink.stroke(arcPoints(s.center, s.radius, s.startAngle, sweep), false, sheetColor(s.color),
                  kPictureStrokePixels, false);
  }

  // The points of the segment from vertex a to b (its bulge is a's), without the first.
  void appendSegment(std::vector<ScreenPoint>& points, const Vertex& a, Point2 b) const {
    Point2 c;
    double r, start, end;
    if (!bulgeArc(a.pt, b, a.bulge, c, r, start, end)) {
      points.push_back(screen(b.x, b.y));
      return;
    }
    std::vector<ScreenPoint> arc =
        arcPoints(c, r, std::atan2(a.pt.y - c.y, a.pt.x - c.x), 4.0 * std::atan(a.bulge));
    points.insert(points.end(), arc.begin() + 1, arc.end());
  }

  void thinPolyline(const Shape& s) {
    if (s.vertices.empty()) return;
    std::vector<ScreenPoint> points{screen(s.vertices[0].pt.x, s.vertices[0].pt.y)};
    for (size_t i = 0; i + 1 < s.vertices.size(); ++i) appendSegment(points, s.vertices[i], s.vertices[i + 1].pt);
    m_sink.stroke(points, false, sheetColor(s.color),
                  s.outline ? kPictureOutlineStrokePixels : kPictureStrokePixels, false);
  }

  // Every segment a band whose width runs linearly from its start width to its end width;
  // a segment without width is a thin line.
  void widePolyline(const Shape& s) {
    for (size_t i = 0; i + 1 < s.vertices.size(); ++i) {
      const Vertex& v = s.vertices[i];
      Point2 a = v.pt, b = s.vertices[i + 1].pt;
      double w0 = v.startWidth / 2.0, w1 = v.endWidth / 2.0;
      if (w0 == 0.0 && w1 == 0.0) {
        std::vector<ScreenPoint> points{screen(a.x, a.y)};
        appendSegment(points, v, b);
        m_sink.stroke(points, false, sheetColor(s.color), kPictureStrokePixels, false);
        continue;
      }
      std::vector<ScreenPoint> left, right;
      Point2 c;
      double r, start, end;
      if (bulgeArc(a, b, v.bulge, c, r, start, end)) {
        double theta = 4.0 * std::atan(v.bulge);
        double angA = std::atan2(a.y - c.y, a.x - c.x);
        std::vector<ScreenPoint> centre = arcPoints(c, r, angA, theta);
        int pieces = static_cast<int>(centre.size()) - 1;
        for (int k = 0; k <= pieces; ++k) {
          double t = static_cast<double>(k) / pieces;
          double ang = angA + t * theta, hw = w0 + (w1 - w0) * t;
          left.push_back(screen(c.x + (r + hw) * std::cos(ang), c.y + (r + hw) * std::sin(ang)));
          right.push_back(screen(c.x + (r - hw) * std::cos(ang), c.y + (r - hw) * std::sin(ang)));
        }
      } else {
        double len = std::hypot(b.x - a.x, b.y - a.y);
        if (len == 0.0) continue;
        double nx = -(b.y - a.y) / len, ny = (b.x - a.x) / len;
        left = {screen(a.x + nx * w0, a.y + ny * w0), screen(b.x + nx * w1, b.y + ny * w1)};
        right = {screen(a.x - nx * w0, a.y - ny * w0), screen(b.x - nx * w1, b.y - ny * w1)};
      }
      left.insert(left.end(), right.rbegin(), right.rend());
      m_sink.fill(left, sheetColor(s.color));
    }
  }

  void text(const Shape& s, bool asBox) {
    if (asBox) {
      double width = textWidth(s.text, s.height);
      double ca = std::cos(s.angle), sa = std::sin(s.angle);
      std::vector<ScreenPoint> corners;
      for (auto [u, v] : {std::pair{0.0, 0.0}, {width, 0.0}, {width, s.height}, {0.0, s.height}})
        corners.push_back(screen(s.position.x + u * ca - v * sa, s.position.y + u * sa + v * ca));
      m_sink.stroke(corners, true, sheetColor(s.color), kPictureStrokePixels, false);
      return;
    }
    m_sink.text(screen(s.position.x, s.position.y), s.height * m_view.scale, -s.angle * 180.0 / std::numbers::pi,
                s.text, sheetColor(s.color), s.role == TextRole::kVariableValue);
  }

  void baseMark(Point2 base) {
    ScreenPoint b = screen(base.x, base.y);
    // The mark has a fixed size in pixels, whatever the view's scale.
    const double radius = kPictureBaseMarkRadiusPixels;
    int pieces = piecesFor(radius, 2.0 * std::numbers::pi);
    std::vector<ScreenPoint> ring;
    for (int k = 0; k < pieces; ++k) {
      double a = 2.0 * std::numbers::pi * k / pieces;
      ring.push_back({b.x + radius * std::cos(a), b.y + radius * std::sin(a)});
    }
    m_sink.stroke(ring, true, kBaseMarkColor, kPictureStrokePixels, false);
    const double arm = kPictureBaseMarkArmPixels;
    m_sink.stroke({{b.x - arm, b.y}, {b.x + arm, b.y}}, false, kBaseMarkColor, kPictureStrokePixels, false);
    m_sink.stroke({{b.x, b.y - arm}, {b.x, b.y + arm}}, false, kBaseMarkColor, kPictureStrokePixels, false);
  }

private:
  const Viewport& m_view;
  PictureSink& m_sink;
};

}  // namespace

Rgb sheetColor(Rgb color) { return color == kSheet ? Rgb{0, 0, 0} : color; }

void paintPicture(const DisplayList& list, const Viewport& view, int width, int height, const SvgOptions& options,
                  PictureSink& sink) {
  sink.sheet(width, height, kSheet);
  Layout layout(view, sink);
  for (const Shape& s : list.shapes) {
    switch (s.kind) {
      case ShapeKind::kLine: layout.line(s); break;
      case ShapeKind::kCircle: layout.circle(s); break;
      case ShapeKind::kArc: layout.arc(s); break;
      case ShapeKind::kPolyline: {
        bool wide = std::any_of(s.vertices.begin(), s.vertices.end(),
                                [](const Vertex& v) { return v.startWidth > 0.0 || v.endWidth > 0.0; });
        if (wide) layout.widePolyline(s);
        else layout.thinPolyline(s);
        break;
      }
      case ShapeKind::kText: layout.text(s, options.textsAsBoxes); break;
    }
  }
  if (options.showBasePoint && list.hasBasePoint) layout.baseMark(list.basePoint);
  if (options.selectionFrame) {
    double right = std::max(1.0, width - 1.0), bottom = std::max(1.0, height - 1.0);
    sink.stroke({{1.0, 1.0}, {right, 1.0}, {right, bottom}, {1.0, bottom}}, true, kFrameColor,
                kPictureFrameStrokePixels, true);
  }
}

}  // namespace vistrel
