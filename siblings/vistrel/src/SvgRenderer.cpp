// The SVG picture of a display list: white sheet, shapes in their colours, texts in code
// page 936 (the document declares encoding GBK), optional base point mark and frame.
#include "VistrelDisplayList.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace vistrel {

namespace {

constexpr double kStrokePixels = 1.0;
constexpr double kOutlineStrokePixels = 1.5;
constexpr double kBaseMarkRadiusPixels = 4.0;
constexpr double kBaseMarkArmPixels = 7.0;
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

void appendColor(std::string& out, Rgb c) {
  if (c.r == 255 && c.g == 255 && c.b == 255) c = Rgb{0, 0, 0};  // white draws black on the sheet
  static const char kHex[] = "0123456789abcdef";
  out += '#';
  for (unsigned char v : {c.r, c.g, c.b}) {
    out += kHex[v >> 4];
    out += kHex[v & 15];
  }
}

bool isTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE); }

// The text as XML character data in code page 936: markup characters escaped, control
// characters dropped, bytes that do not form a character of the code page replaced by '?'.
void appendEscaped(std::string& out, std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x81 && c <= 0xFE) {
      if (i + 1 < s.size() && isTrail(static_cast<unsigned char>(s[i + 1]))) {
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

struct Writer {
  const Viewport& view;
  std::string out;

  void point(double x, double y) {
    appendNumber(out, view.toScreenX(x));
    out += ' ';
    appendNumber(out, view.toScreenY(y));
  }
  void attr(const char* name, double v) {
    out += ' ';
    out += name;
    out += "=\"";
    appendNumber(out, v);
    out += '"';
  }
  void stroke(Rgb c, double width) {
    out += " fill=\"none\" stroke=\"";
    appendColor(out, c);
    out += "\" stroke-width=\"";
    appendNumber(out, width);
    out += '"';
  }
  void fill(Rgb c) {
    out += " fill=\"";
    appendColor(out, c);
    out += "\" stroke=\"none\"";
  }
  // An arc of the drawing (counter-clockwise from a0 to a1) as path commands from its start.
  void arcPath(Point2 c, double r, double a0, double a1) {
    double sweep = std::fmod(a1 - a0, 2.0 * std::numbers::pi);
    if (sweep <= 0.0) sweep += 2.0 * std::numbers::pi;
    out += "M ";
    point(c.x + r * std::cos(a0), c.y + r * std::sin(a0));
    double rs = r * view.scale;
    out += " A ";
    appendNumber(out, rs);
    out += ' ';
    appendNumber(out, rs);
    // The screen shows the drawing upright, so counter-clockwise stays counter-clockwise:
    // on the y-down screen that is the negative angle direction (sweep flag 0).
    out += sweep > std::numbers::pi ? " 0 1 0 " : " 0 0 0 ";
    point(c.x + r * std::cos(a0 + sweep), c.y + r * std::sin(a0 + sweep));
  }
};

void drawPolylineThin(Writer& w, const Shape& s) {
  if (s.vertices.empty()) return;
  w.out += "<path d=\"M ";
  w.point(s.vertices[0].pt.x, s.vertices[0].pt.y);
  for (std::size_t i = 0; i + 1 < s.vertices.size(); ++i) {
    const Vertex& v = s.vertices[i];
    Point2 b = s.vertices[i + 1].pt;
    if (v.bulge == 0.0 || (b.x == v.pt.x && b.y == v.pt.y)) {
      w.out += " L ";
    } else {
      double chord = std::hypot(b.x - v.pt.x, b.y - v.pt.y);
      double r = chord / (2.0 * std::sin(std::fabs(4.0 * std::atan(v.bulge)) / 2.0));
      w.out += " A ";
      appendNumber(w.out, r * w.view.scale);
      w.out += ' ';
      appendNumber(w.out, r * w.view.scale);
      w.out += std::fabs(v.bulge) > 1.0 ? " 0 1 " : " 0 0 ";
      // Counter-clockwise (positive bulge) is the negative angle direction on the y-down
      // screen: sweep flag 0.
      w.out += v.bulge > 0.0 ? "0 " : "1 ";
    }
    w.point(b.x, b.y);
  }
  w.out += '"';
  w.stroke(s.color, s.outline ? kOutlineStrokePixels : kStrokePixels);
  w.out += "/>\n";
}

// A polyline with widths: every segment is a filled band whose width runs linearly from the
// start width to the end width.
void drawPolylineWide(Writer& w, const Shape& s) {
  for (std::size_t i = 0; i + 1 < s.vertices.size(); ++i) {
    const Vertex& v = s.vertices[i];
    Point2 a = v.pt, b = s.vertices[i + 1].pt;
    double w0 = v.startWidth / 2.0, w1 = v.endWidth / 2.0;
    std::vector<Point2> left, right;
    Point2 c;
    double r, s0, s1;
    if (bulgeArc(a, b, v.bulge, c, r, s0, s1)) {
      double theta = 4.0 * std::atan(v.bulge);
      double angA = std::atan2(a.y - c.y, a.x - c.x);
      int pieces = std::max(2, static_cast<int>(std::ceil(std::fabs(theta) / (std::numbers::pi / 2.0) * kArcPiecesPerQuarter)));
      for (int k = 0; k <= pieces; ++k) {
        double t = static_cast<double>(k) / pieces;
        double ang = angA + t * theta;
        double hw = w0 + (w1 - w0) * t;
        left.push_back({c.x + (r + hw) * std::cos(ang), c.y + (r + hw) * std::sin(ang)});
        right.push_back({c.x + (r - hw) * std::cos(ang), c.y + (r - hw) * std::sin(ang)});
      }
    } else {
      double len = std::hypot(b.x - a.x, b.y - a.y);
      if (len == 0.0) continue;
      double nx = -(b.y - a.y) / len, ny = (b.x - a.x) / len;
      left = {{a.x + nx * w0, a.y + ny * w0}, {b.x + nx * w1, b.y + ny * w1}};
      right = {{a.x - nx * w0, a.y - ny * w0}, {b.x - nx * w1, b.y - ny * w1}};
    }
    if (w0 == 0.0 && w1 == 0.0) {
      Shape thin;
      thin.color = s.color;
      thin.vertices = {v, s.vertices[i + 1]};
      thin.vertices[1].bulge = 0.0;
      drawPolylineThin(w, thin);
      continue;
    }
    w.out += "<polygon points=\"";
    bool first = true;
    auto put = [&](Point2 p) {
      if (!first) w.out += ' ';
      first = false;
      appendNumber(w.out, w.view.toScreenX(p.x));
      w.out += ',';
      appendNumber(w.out, w.view.toScreenY(p.y));
    };
    for (Point2 p : left) put(p);
    for (auto it = right.rbegin(); it != right.rend(); ++it) put(*it);
    w.out += '"';
    w.fill(s.color);
    w.out += "/>\n";
  }
}

void drawText(Writer& w, const Shape& s, bool asBox) {
  double sx = w.view.toScreenX(s.position.x), sy = w.view.toScreenY(s.position.y);
  double degrees = -s.angle * 180.0 / std::numbers::pi;
  if (asBox) {
    double width = textWidth(s.text, s.height);
    double ca = std::cos(s.angle), sa = std::sin(s.angle);
    w.out += "<polygon points=\"";
    bool first = true;
    for (auto [u, v] : {std::pair{0.0, 0.0}, {width, 0.0}, {width, s.height}, {0.0, s.height}}) {
      if (!first) w.out += ' ';
      first = false;
      appendNumber(w.out, w.view.toScreenX(s.position.x + u * ca - v * sa));
      w.out += ',';
      appendNumber(w.out, w.view.toScreenY(s.position.y + u * sa + v * ca));
    }
    w.out += '"';
    w.stroke(s.color, kStrokePixels);
    w.out += "/>\n";
    return;
  }
  w.out += "<text";
  w.attr("x", sx);
  w.attr("y", sy);
  w.attr("font-size", s.height * w.view.scale);
  w.out += " font-family=\"WenQuanYi Micro Hei, SimSun, sans-serif\"";
  if (s.role == TextRole::kVariableValue) w.out += " text-decoration=\"underline\"";
  if (degrees != 0.0) {
    w.out += " transform=\"rotate(";
    appendNumber(w.out, degrees);
    w.out += ' ';
    appendNumber(w.out, sx);
    w.out += ' ';
    appendNumber(w.out, sy);
    w.out += ")\"";
  }
  w.out += " fill=\"";
  appendColor(w.out, s.color);
  w.out += "\">";
  appendEscaped(w.out, s.text);
  w.out += "</text>\n";
}

}  // namespace

std::string renderSvg(const DisplayList& list, const Viewport& view, int width, int height,
                      const SvgOptions& options) {
  Writer w{view, {}};
  w.out.reserve(256 + list.shapes.size() * 96);
  w.out += "<?xml version=\"1.0\" encoding=\"GBK\"?>\n";
  w.out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
           "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) +
           ' ' + std::to_string(height) + "\">\n";
  w.out += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(width) + "\" height=\"" +
           std::to_string(height) + "\" fill=\"white\"/>\n";
  for (const Shape& s : list.shapes) {
    switch (s.kind) {
      case ShapeKind::kLine:
        w.out += "<line";
        w.attr("x1", view.toScreenX(s.vertices[0].pt.x));
        w.attr("y1", view.toScreenY(s.vertices[0].pt.y));
        w.attr("x2", view.toScreenX(s.vertices[1].pt.x));
        w.attr("y2", view.toScreenY(s.vertices[1].pt.y));
        w.stroke(s.color, kStrokePixels);
        w.out += "/>\n";
        break;
      case ShapeKind::kCircle:
        w.out += "<circle";
        w.attr("cx", view.toScreenX(s.center.x));
        w.attr("cy", view.toScreenY(s.center.y));
        w.attr("r", s.radius * view.scale);
        w.stroke(s.color, kStrokePixels);
        w.out += "/>\n";
        break;
      case ShapeKind::kArc: {
        double sweep = std::fmod(s.endAngle - s.startAngle, 2.0 * std::numbers::pi);
        w.out += "<path d=\"";
        if (sweep == 0.0) {  // equal angles: the whole circle, as two halves
          w.arcPath(s.center, s.radius, s.startAngle, s.startAngle + std::numbers::pi);
          w.out += ' ';
          w.arcPath(s.center, s.radius, s.startAngle + std::numbers::pi, s.startAngle + 2.0 * std::numbers::pi);
        } else {
          w.arcPath(s.center, s.radius, s.startAngle, s.endAngle);
        }
        w.out += '"';
        w.stroke(s.color, kStrokePixels);
        w.out += "/>\n";
        break;
      }
      case ShapeKind::kPolyline: {
        bool wide = false;
        for (const Vertex& v : s.vertices) wide = wide || v.startWidth > 0.0 || v.endWidth > 0.0;
        if (wide) drawPolylineWide(w, s);
        else drawPolylineThin(w, s);
        break;
      }
      case ShapeKind::kText:
        drawText(w, s, options.textsAsBoxes);
        break;
    }
  }
  if (options.showBasePoint && list.hasBasePoint) {
    double bx = view.toScreenX(list.basePoint.x), by = view.toScreenY(list.basePoint.y);
    w.out += "<g class=\"basepoint\" fill=\"none\" stroke=\"#ff0000\" stroke-width=\"1\">";
    w.out += "<circle";
    w.attr("cx", bx);
    w.attr("cy", by);
    w.attr("r", kBaseMarkRadiusPixels);
    w.out += "/><path d=\"M ";
    appendNumber(w.out, bx - kBaseMarkArmPixels);
    w.out += ' ';
    appendNumber(w.out, by);
    w.out += " H ";
    appendNumber(w.out, bx + kBaseMarkArmPixels);
    w.out += " M ";
    appendNumber(w.out, bx);
    w.out += ' ';
    appendNumber(w.out, by - kBaseMarkArmPixels);
    w.out += " V ";
    appendNumber(w.out, by + kBaseMarkArmPixels);
    w.out += "\"/></g>\n";
  }
  if (options.selectionFrame) {
    w.out += "<rect class=\"selection\" x=\"1\" y=\"1\" width=\"" + std::to_string(std::max(0, width - 2)) +
             "\" height=\"" + std::to_string(std::max(0, height - 2)) +
             "\" fill=\"none\" stroke=\"#0078d7\" stroke-width=\"2\" stroke-dasharray=\"4 2\"/>\n";
  }
  w.out += "</svg>\n";
  return w.out;
}

}  // namespace vistrel
