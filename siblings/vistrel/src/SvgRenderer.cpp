// The SVG picture of a display list: white sheet, shapes in their colours, texts in code
// page 936 (the document declares encoding GBK), optional base point mark and frame.
#include <afxstr.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "PreviewDraw.h"
#include "VistrelDisplayList.h"
#include "VistrelPicture.h"

namespace vistrel {

namespace {

// A width polyline's arc segment is drawn as this many straight pieces per quarter turn.
constexpr int kArcPiecesPerQuarter = 8;

// Pixel coordinates with two decimals, trailing zeros dropped ("-0" becomes "0").
void appendNumber(std::string& out, double v) {
  if (!std::isfinite(v)) v = 0.0;
  double rounded = std::round(v * 100.0) / 100.0;
  if (rounded == 0.0) rounded = 0.0;
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, 2);
  if (ec != std::errc()) {
    out += '0';
    return;
  }
  std::string_view s(buf, end - buf);
  while (s.back() == '0') s.remove_suffix(1);
  if (s.back() == '.') s.remove_suffix(1);
  out += s;
}

// The colour as written: callers pass the colour as drawn on the sheet.
void appendColor(std::string& out, Rgb c) {
  static const char kHex[] = "0123456789abcdef";
  out += '#';
  for (unsigned char v : {c.r, c.g, c.b}) {
    out += kHex[v >> 4];
    out += kHex[v & 15];
  }
}

// The text as XML character data in code page 936: markup characters escaped, control
// characters dropped, bytes that do not form a character of the code page replaced by '?'.
void appendEscaped(std::string& out, std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (_ismbblead(c)) {
      if (i + 1 < s.size() && _ismbbtrail(static_cast<unsigned char>(s[i + 1]))) {
        out += s[i];
        out += s[++i];
      } else {
        out += '?';
      }
      continue;
    }
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '\t': out += ' '; break;
      default:
        if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
        else if (c >= 0x80) out += '?';
        break;
    }
  }
}

// The SVG document's body: every primitive the display list draws, as SVG elements.
class SvgDraw final : public PreviewDraw {
public:
  SvgDraw(const Viewport& view, bool textsAsBoxes, std::string& out)
      : m_view(view), m_textsAsBoxes(textsAsBoxes), m_out(out) {}

  Adesk::Boolean circle(const AcGePoint3d& center, double radius, const AcGeVector3d&) const override {
    m_out += "<circle";
    attr("cx", m_view.toScreenX(center.x));
    attr("cy", m_view.toScreenY(center.y));
    attr("r", radius * m_view.scale);
    stroke(kPictureStrokePixels);
    m_out += "/>\n";
    return Adesk::kTrue;
  }

  Adesk::Boolean circularArc(const AcGePoint3d& center, double radius, const AcGeVector3d&,
                             const AcGeVector3d& startVector, double sweepAngle, AcGiArcType) const override {
    const Point2 c{center.x, center.y};
    const double a0 = std::atan2(startVector.y, startVector.x);
    m_out += "<path d=\"";
    if (sweepAngle >= 2.0 * std::numbers::pi) {  // the whole circle, as two halves
      arcPath(c, radius, a0, std::numbers::pi);
      m_out += ' ';
      arcPath(c, radius, a0 + std::numbers::pi, std::numbers::pi);
    } else {
      arcPath(c, radius, a0, sweepAngle);
    }
    m_out += '"';
    stroke(kPictureStrokePixels);
    m_out += "/>\n";
    return Adesk::kTrue;
  }

  Adesk::Boolean polyline(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList, const AcGeVector3d*,
                          Adesk::LongPtr) const override {
    if (nbPoints == 0) return Adesk::kTrue;
    m_out += "<path d=\"M ";
    point(pVertexList[0].x, pVertexList[0].y);
    for (Adesk::UInt32 k = 1; k < nbPoints; ++k) {
      m_out += " L ";
      point(pVertexList[k].x, pVertexList[k].y);
    }
    m_out += '"';
    stroke(kPictureStrokePixels);
    m_out += "/>\n";
    return Adesk::kTrue;
  }

  Adesk::Boolean polygon(Adesk::UInt32 nbPoints, const AcGePoint3d* pVertexList) const override {
    std::vector<Point2> points;
    for (Adesk::UInt32 k = 0; k < nbPoints; ++k) points.push_back({pVertexList[k].x, pVertexList[k].y});
    polygonElement(points, fillType() == kAcGiFillAlways);
    return Adesk::kTrue;
  }

  Adesk::Boolean pline(const AcDbPolyline& pl, Adesk::UInt32 fromIndex, Adesk::UInt32 numSegs) const override {
    std::vector<PreviewSegment> segments = polylineSegments(pl, fromIndex, numSegs);
    if (anyWide(segments)) {
      for (const PreviewSegment& seg : segments) bandOrLine(seg);
    } else if (segments.size() == 1 && !segments[0].isArc && !drawingOutline()) {
      lineElement(segments[0].from, segments[0].to);
    } else if (segments.empty() && fromIndex == 0 && pl.numVerts() > 0) {
      AcGePoint2d only;
      pl.getPointAt(0, only);
      pathElement({only.x, only.y}, segments);
    } else if (!segments.empty()) {
      pathElement(segments[0].from, segments);
    }
    return Adesk::kTrue;
  }

  Adesk::Boolean text(const AcGePoint3d& position, const AcGeVector3d&, const AcGeVector3d& direction, double height,
                      double width, double, const ACHAR* pMsg) const override {
    std::string_view msg = pMsg ? std::string_view(pMsg) : std::string_view();
    const double angle = std::atan2(direction.y, direction.x);
    if (m_textsAsBoxes) {
      polygonElement(textBoxCorners(position, angle, measuredTextWidth(msg, height, width), height), false);
      return Adesk::kTrue;
    }
    const double sx = m_view.toScreenX(position.x), sy = m_view.toScreenY(position.y);
    const double degrees = -angle * 180.0 / std::numbers::pi;
    m_out += "<text";
    attr("x", sx);
    attr("y", sy);
    attr("font-size", height * m_view.scale);
    m_out += " font-family=\"WenQuanYi Micro Hei, SimSun, sans-serif\"";
    if (drawingVariableValue()) m_out += " text-decoration=\"underline\"";
    if (degrees != 0.0) {
      m_out += " transform=\"rotate(";
      appendNumber(m_out, degrees);
      m_out += ' ';
      appendNumber(m_out, sx);
      m_out += ' ';
      appendNumber(m_out, sy);
      m_out += ")\"";
    }
    m_out += " fill=\"";
    appendColor(m_out, drawColor());
    m_out += "\">";
    appendEscaped(m_out, msg);
    m_out += "</text>\n";
    return Adesk::kTrue;
  }

private:
  void point(double x, double y) const {
    appendNumber(m_out, m_view.toScreenX(x));
    m_out += ' ';
    appendNumber(m_out, m_view.toScreenY(y));
  }
  void attr(const char* name, double v) const {
    m_out += ' ';
    m_out += name;
    m_out += "=\"";
    appendNumber(m_out, v);
    m_out += '"';
  }
  void stroke(double width) const {
    m_out += " fill=\"none\" stroke=\"";
    appendColor(m_out, drawColor());
    m_out += "\" stroke-width=\"";
    appendNumber(m_out, width);
    m_out += '"';
  }
  void fill() const {
    m_out += " fill=\"";
    appendColor(m_out, drawColor());
    m_out += "\" stroke=\"none\"";
  }
  // An arc of the drawing from angle a0 through sweep radians counter-clockwise (less than a
  // full turn) as path commands from its start.
  void arcPath(Point2 c, double r, double a0, double sweep) const {
    m_out += "M ";
    point(c.x + r * std::cos(a0), c.y + r * std::sin(a0));
    arcTo(r, sweep, Point2{c.x + r * std::cos(a0 + sweep), c.y + r * std::sin(a0 + sweep)});
  }
  // The path command of an arc of radius r through the signed sweep (negative: clockwise)
  // ending at `to`. The screen shows the drawing upright, so counter-clockwise stays
  // counter-clockwise: on the y-down screen that is the negative angle direction (flag 0).
  void arcTo(double r, double sweep, Point2 to) const {
    const double rs = r * m_view.scale;
    m_out += " A ";
    appendNumber(m_out, rs);
    m_out += ' ';
    appendNumber(m_out, rs);
    m_out += std::fabs(sweep) > std::numbers::pi ? " 0 1 " : " 0 0 ";
    m_out += sweep > 0.0 ? "0 " : "1 ";
    point(to.x, to.y);
  }
  void lineElement(Point2 a, Point2 b) const {
    m_out += "<line";
    attr("x1", m_view.toScreenX(a.x));
    attr("y1", m_view.toScreenY(a.y));
    attr("x2", m_view.toScreenX(b.x));
    attr("y2", m_view.toScreenY(b.y));
    stroke(kPictureStrokePixels);
    m_out += "/>\n";
  }
  // A thin polyline: a path from `start` through every segment.
  void pathElement(Point2 start, const std::vector<PreviewSegment>& segments) const {
    m_out += "<path d=\"M ";
    point(start.x, start.y);
    for (const PreviewSegment& seg : segments) {
      if (seg.isArc) {
        arcTo(seg.radius, seg.sweep, seg.to);
      } else {
        m_out += " L ";
        point(seg.to.x, seg.to.y);
      }
    }
    m_out += '"';
    stroke(drawingOutline() ? kPictureOutlineStrokePixels : kPictureStrokePixels);
    m_out += "/>\n";
  }
  void polygonElement(const std::vector<Point2>& points, bool filled) const {
    m_out += "<polygon points=\"";
    bool first = true;
    for (Point2 p : points) {
      if (!first) m_out += ' ';
      first = false;
      appendNumber(m_out, m_view.toScreenX(p.x));
      m_out += ',';
      appendNumber(m_out, m_view.toScreenY(p.y));
    }
    m_out += '"';
    if (filled) fill();
    else stroke(kPictureStrokePixels);
    m_out += "/>\n";
  }
  // A segment of a polyline with widths: a filled band whose width runs linearly from the
  // start width to the end width; without width a thin line.
  void bandOrLine(const PreviewSegment& seg) const {
    const int pieces = std::max(
        2, static_cast<int>(std::ceil(std::fabs(seg.sweep) / (std::numbers::pi / 2.0) * kArcPiecesPerQuarter)));
    std::vector<Point2> band = bandOutline(seg, pieces);
    if (band.empty()) return;
    if (seg.startWidth == 0.0 && seg.endWidth == 0.0) pathElement(seg.from, {seg});
    else polygonElement(band, true);
  }

  const Viewport& m_view;
  bool m_textsAsBoxes;
  std::string& m_out;
};

}  // namespace

namespace {

void attr(std::string& out, const char* name, double v) {
  out += ' ';
  out += name;
  out += "=\"";
  appendNumber(out, v);
  out += '"';
}

// The fixed-size mark of the base point: a circle with a cross through it.
void appendBaseMark(std::string& out, double bx, double by) {
  out += "<g class=\"basepoint\" fill=\"none\" stroke=\"";
  appendColor(out, kPictureBaseMarkColor);
  out += "\" stroke-width=\"";
  appendNumber(out, kPictureStrokePixels);
  out += "\"><circle";
  attr(out, "cx", bx);
  attr(out, "cy", by);
  attr(out, "r", kPictureBaseMarkRadiusPixels);
  out += "/><path d=\"M ";
  appendNumber(out, bx - kPictureBaseMarkArmPixels);
  out += ' ';
  appendNumber(out, by);
  out += " H ";
  appendNumber(out, bx + kPictureBaseMarkArmPixels);
  out += " M ";
  appendNumber(out, bx);
  out += ' ';
  appendNumber(out, by - kPictureBaseMarkArmPixels);
  out += " V ";
  appendNumber(out, by + kPictureBaseMarkArmPixels);
  out += "\"/></g>\n";
}

void appendSelectionFrame(std::string& out, int width, int height) {
  out += "<rect class=\"selection\" x=\"1\" y=\"1\" width=\"" + std::to_string(std::max(0, width - 2)) +
         "\" height=\"" + std::to_string(std::max(0, height - 2)) + "\" fill=\"none\" stroke=\"";
  appendColor(out, kPictureFrameColor);
  out += "\" stroke-width=\"";
  appendNumber(out, kPictureFrameStrokePixels);
  out += "\" stroke-dasharray=\"";
  appendNumber(out, kPictureFrameDashPixels);
  out += ' ';
  appendNumber(out, kPictureFrameGapPixels);
  out += "\"/>\n";
}

}  // namespace

std::string renderSvg(const DisplayList& list, const Viewport& view, int width, int height,
                      const SvgOptions& options) {
  std::string out;
  out.reserve(256 + list.shapes.size() * 96);
  out += "<?xml version=\"1.0\" encoding=\"GBK\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) + "\" height=\"" +
         std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) + ' ' + std::to_string(height) +
         "\">\n";
  out += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
         "\" fill=\"white\"/>\n";
  SvgDraw draw(view, options.textsAsBoxes, out);
  draw.drawList(list);
  if (options.showBasePoint && list.hasBasePoint)
    appendBaseMark(out, view.toScreenX(list.basePoint.x), view.toScreenY(list.basePoint.y));
  if (options.selectionFrame) appendSelectionFrame(out, width, height);
  out += "</svg>\n";
  return out;
}

}  // namespace vistrel
