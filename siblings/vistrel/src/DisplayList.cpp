// Parsing section text into the view's display list, and the extents and fit of that list.
#include "VistrelDisplayList.h"

#include <acgi.h>
#include <afxstr.h>
#include <dbents.h>
#include <dbextents.h>
#include <dbpl.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>


namespace vistrel {
namespace {

bool isWhite(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Bytes of the character at s[i] (a lead byte takes the next, non-zero byte with it).
std::size_t charBytes(std::string_view s, std::size_t i) {
  return (_ismbblead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() && s[i + 1] != '\0') ? 2 : 1;
}

// Index of the first single-byte character c, or npos.
std::size_t findChar(std::string_view s, char c) {
  for (std::size_t i = 0; i < s.size(); i += charBytes(s, i))
    if (s[i] == c && charBytes(s, i) == 1) return i;
  return std::string_view::npos;
}

std::string_view trim(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && charBytes(s, b) == 1 && isWhite(static_cast<unsigned char>(s[b]))) ++b;
  std::size_t e = b;
  for (std::size_t i = b; i < s.size();) {
    std::size_t n = charBytes(s, i);
    if (n == 2 || !isWhite(static_cast<unsigned char>(s[i]))) e = i + n;
    i += n;
  }
  return s.substr(b, e - b);
}

// Equal ignoring the letter case of single-byte characters.
bool equalNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    std::size_t n = charBytes(a, i);
    if (n != charBytes(b, i)) return false;
    if (n == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else {
      auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
      if (lower(a[i]) != lower(b[i])) return false;
    }
    i += n;
  }
  return true;
}

// atof / atol of the text at the start of s, in the C locale.
double number(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && isWhite(static_cast<unsigned char>(s[i]))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) return 0.0;
  double v = 0.0;
  auto [p, ec] = std::from_chars(s.data() + i, s.data() + s.size(), v);
  if (ec == std::errc()) return negative ? -v : v;
  if (ec == std::errc::invalid_argument) return 0.0;
  std::string copy(s);
  return std::strtod(copy.c_str(), nullptr);
}

// `count` comma-separated numbers; nothing when there are fewer commas than count - 1.
std::optional<std::vector<double>> numbers(std::string_view s, std::size_t count) {
  std::vector<double> out;
  out.reserve(count);
  for (std::size_t k = 0; k < count; ++k) {
    out.push_back(number(s));
    if (k + 1 == count) break;
    std::size_t comma = findChar(s, ',');
    if (comma == std::string_view::npos) return std::nullopt;
    s.remove_prefix(comma + 1);
  }
  return out;
}

// One record: its name and key lines.
struct Record {
  std::string_view name;
  std::vector<std::pair<std::string_view, std::string_view>> keys;

  std::optional<std::string_view> value(std::string_view key) const {
    for (const auto& [k, v] : keys)
      if (equalNoCase(k, key)) return v;
    return std::nullopt;
  }
  std::string_view text(std::string_view key) const { return value(key).value_or(std::string_view()); }
  double num(std::string_view key) const { return number(text(key)); }
  std::optional<Point2> point(std::string_view key) const {
    auto v = value(key);
    if (!v) return std::nullopt;
    auto n = numbers(*v, 2);
    if (!n) return std::nullopt;
    return Point2{(*n)[0], (*n)[1]};
  }
  std::optional<Rgb> color(std::string_view key) const {
    auto v = value(key);
    if (!v) return std::nullopt;
    auto n = numbers(*v, 3);
    if (!n) return std::nullopt;
    auto byte = [](double d) { return static_cast<unsigned char>(static_cast<long>(d) & 0xFF); };
    return Rgb{byte((*n)[0]), byte((*n)[1]), byte((*n)[2])};
  }
};

// The records of a text: a record begins at a '[' that starts a line (white space before it
// on its line is allowed); text before the first one is ignored.
std::vector<Record> splitIntoRecords(std::string_view text) {
  std::vector<Record> records;
  std::size_t lineStart = 0;
  Record* current = nullptr;
  auto takeLine = [&](std::size_t end) {
    std::string_view line = trim(text.substr(lineStart, end - lineStart));
    if (line.empty()) return;
    if (line.front() == '[') {
      records.emplace_back();
      current = &records.back();
      std::string_view inner = line.substr(1);
      std::size_t close = findChar(inner, ']');
      current->name = close == std::string_view::npos ? std::string_view() : inner.substr(0, close);
      return;
    }
    if (current == nullptr) return;
    std::size_t eq = findChar(line, '=');
    if (eq == std::string_view::npos) return;
    current->keys.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  };
  // Lines end at line feeds (a line feed is never part of a double-byte character); a '['
  // inside a value is not at the start of its line and starts nothing.
  for (std::size_t i = 0; i < text.size(); i += charBytes(text, i)) {
    if (text[i] == '\n' && charBytes(text, i) == 1) {
      takeLine(i);
      lineStart = i + 1;
    }
  }
  takeLine(text.size());
  return records;
}

void addText(DisplayList& list, Point2 at, std::string_view text, double height, double angle,
             Rgb color, TextRole role) {
  if (text.empty()) return;
  Shape s;
  s.kind = ShapeKind::kText;
  s.position = at;
  s.text = std::string(text);
  s.height = height;
  s.angle = angle;
  s.color = color;
  s.role = role;
  list.shapes.push_back(std::move(s));
}

// Each record kind: true when drawn, false when a value it needs is malformed.
bool addRecord(DisplayList& list, const Record& r) {
  auto color = r.color("Color");
  if (equalNoCase(r.name, "Line")) {
    std::string_view v = r.text("Point");
    std::size_t semi = findChar(v, ';');
    if (!r.value("Point") || semi == std::string_view::npos || !color) return false;
    auto a = numbers(v.substr(0, semi), 2), b = numbers(v.substr(semi + 1), 2);
    if (!a || !b) return false;
    Shape s;
    s.kind = ShapeKind::kLine;
    s.color = *color;
    s.vertices = {Vertex{{(*a)[0], (*a)[1]}}, Vertex{{(*b)[0], (*b)[1]}}};
    list.shapes.push_back(std::move(s));
    return true;
  }
  if (equalNoCase(r.name, "Arc") || equalNoCase(r.name, "Circle")) {
    bool arc = equalNoCase(r.name, "Arc");
    auto c = r.point("Center");
    auto angles = arc ? r.point("Angle") : std::optional<Point2>(Point2{});
    if (!c || !angles || !color) return false;
    Shape s;
    s.kind = arc ? ShapeKind::kArc : ShapeKind::kCircle;
    s.color = *color;
    s.center = *c;
    s.radius = r.num("Radius");
    s.startAngle = angles->x;
    s.endAngle = angles->y;
    list.shapes.push_back(std::move(s));
    return true;
  }
  if (equalNoCase(r.name, "Polyline") || equalNoCase(r.name, "PolylineSection")) {
    bool outline = equalNoCase(r.name, "PolylineSection");
    auto v = r.value(outline ? "Points" : "Point");
    if (!v || (!outline && !color)) return false;
    Shape s;
    s.kind = ShapeKind::kPolyline;
    s.outline = outline;
    s.color = outline ? Rgb{0, 0, 0} : *color;
    std::string_view rest = *v;
    for (;;) {
      std::size_t semi = findChar(rest, ';');
      auto n = numbers(rest.substr(0, semi), outline ? 3 : 5);
      if (!n) return false;
      Vertex vx{{(*n)[0], (*n)[1]}, (*n)[2]};
      if (!outline) {
        vx.startWidth = std::fabs((*n)[3]);
        vx.endWidth = std::fabs((*n)[4]);
      }
      s.vertices.push_back(vx);
      if (semi == std::string_view::npos) break;
      rest.remove_prefix(semi + 1);
    }
    list.shapes.push_back(std::move(s));
    if (outline) {
      auto bp = r.point("BasePoint");
      if (bp) {
        list.hasBasePoint = true;
        list.basePoint = *bp;
      }
    }
    return true;
  }
  if (equalNoCase(r.name, "Text")) {
    auto at = r.point("Point");
    if (!at || !color) return false;
    addText(list, *at, r.text("Value"), r.num("Height"), r.num("Angle"), *color, TextRole::kPlain);
    return true;
  }
  if (equalNoCase(r.name, "VarCommon")) {
    auto at = r.point("Point");
    auto valueAt = r.point("VarPoint");
    auto valueColor = r.color("VarColor");
    if (!at || !color || !valueAt || !valueColor) return false;
    if (std::atol(std::string(r.text("Visible")).c_str()) != 0)
      addText(list, *at, r.text("Value"), r.num("Height"), r.num("Angle"), *color,
              TextRole::kVariableName);
    std::string_view value = r.text("VarValue");
    if (value.empty()) value = r.text("VarInitial");
    addText(list, *valueAt, value, r.num("VarHeight"), r.num("VarAngle"), *valueColor,
            TextRole::kVariableValue);
    return true;
  }
  return true;  // SecType, Mtext and unknown records draw nothing
}

// The shape's vertices as a polyline of the drawing.
void fillPolyline(const Shape& s, AcDbPolyline& pl) {
  for (const Vertex& v : s.vertices)
    pl.addVertexAt(pl.numVerts(), AcGePoint2d(v.pt.x, v.pt.y), v.bulge, v.startWidth, v.endWidth);
}

Box boxOf(const AcDbEntity& entity) {
  Box box;
  AcDbExtents e;
  if (entity.getGeomExtents(e) != Acad::eOk) return box;
  box.add(e.minPoint().x, e.minPoint().y);
  box.add(e.maxPoint().x, e.maxPoint().y);
  return box;
}

AcGePoint3d at(Point2 p) { return AcGePoint3d(p.x, p.y, 0.0); }

}  // namespace

void Box::add(double x, double y) {
  if (!valid) {
    minX = maxX = x;
    minY = maxY = y;
    valid = true;
    return;
  }
  minX = std::min(minX, x);
  maxX = std::max(maxX, x);
  minY = std::min(minY, y);
  maxY = std::max(maxY, y);
}

void Box::add(const Box& other) {
  if (!other.valid) return;
  add(other.minX, other.minY);
  add(other.maxX, other.maxY);
}

DisplayList parseSectionText(std::string_view text) {
  DisplayList list;
  for (const Record& r : splitIntoRecords(text))
    if (!addRecord(list, r)) ++list.skippedRecords;
  return list;
}

void drawShape(const Shape& s, AcGiWorldDraw& mode) {
  mode.subEntityTraits().setTrueColor(AcCmEntityColor(s.color.r, s.color.g, s.color.b));
  AcGiWorldGeometry& geometry = mode.geometry();
  switch (s.kind) {
    case ShapeKind::kLine:
    case ShapeKind::kPolyline: {
      AcDbPolyline pl(static_cast<unsigned int>(s.vertices.size()));
      fillPolyline(s, pl);
      geometry.pline(pl);
      break;
    }
    case ShapeKind::kCircle:
      geometry.circle(at(s.center), s.radius, AcGeVector3d::kZAxis);
      break;
    case ShapeKind::kArc: {
      // The arc entity brings its angles into one turn; equal angles make the whole circle.
      AcDbArc arc(at(s.center), s.radius, s.startAngle, s.endAngle);
      AcGeVector3d startVector(std::cos(arc.startAngle()), std::sin(arc.startAngle()), 0.0);
      geometry.circularArc(at(s.center), s.radius, AcGeVector3d::kZAxis, startVector, arc.totalAngle());
      break;
    }
    case ShapeKind::kText:
      geometry.text(at(s.position), AcGeVector3d::kZAxis, AcGeVector3d(std::cos(s.angle), std::sin(s.angle), 0.0),
                    s.height, 1.0, 0.0, s.text.c_str());
      break;
  }
}

Box shapeExtents(const Shape& s) {
  switch (s.kind) {
    case ShapeKind::kLine:
    case ShapeKind::kPolyline: {
      AcDbPolyline pl(static_cast<unsigned int>(s.vertices.size()));
      fillPolyline(s, pl);
      Box box = boxOf(pl);
      double halfWidth = 0.0;
      for (const Vertex& v : s.vertices) halfWidth = std::max({halfWidth, v.startWidth / 2.0, v.endWidth / 2.0});
      if (box.valid && halfWidth > 0.0) {
        box.minX -= halfWidth;
        box.minY -= halfWidth;
        box.maxX += halfWidth;
        box.maxY += halfWidth;
      }
      return box;
    }
    case ShapeKind::kCircle:
      return boxOf(AcDbCircle(at(s.center), AcGeVector3d::kZAxis, s.radius));
    case ShapeKind::kArc:
      return boxOf(AcDbArc(at(s.center), s.radius, s.startAngle, s.endAngle));
    case ShapeKind::kText:
      return boxOf(AcDbText(at(s.position), s.text.c_str(), AcDbObjectId::kNull, s.height, s.angle));
  }
  return Box{};
}

Box extents(const DisplayList& list) {
  Box box;
  for (const Shape& s : list.shapes) box.add(shapeExtents(s));
  if (list.hasBasePoint) box.add(list.basePoint.x, list.basePoint.y);
  return box;
}

Viewport fitToControl(const Box& content, int width, int height) {
  Viewport v;
  double cx = content.valid ? (content.minX + content.maxX) / 2.0 : 0.0;
  double cy = content.valid ? (content.minY + content.maxY) / 2.0 : 0.0;
  double availW = std::max(1.0, width - 2.0 * kFitMarginPixels);
  double availH = std::max(1.0, height - 2.0 * kFitMarginPixels);
  double w = content.width(), h = content.height();
  if (w > 0.0 || h > 0.0) {
    double sx = w > 0.0 ? availW / w : INFINITY;
    double sy = h > 0.0 ? availH / h : INFINITY;
    v.scale = std::min(sx, sy);
  }
  v.offsetX = width / 2.0 - cx * v.scale;
  v.offsetY = height / 2.0 + cy * v.scale;
  return v;
}

}  // namespace vistrel
