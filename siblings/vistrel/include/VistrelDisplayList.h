// The view library's display list: the drawable content of a section text (lines, arcs,
// circles, polylines with widths, texts, variables, the section outline and its base
// point), its extents, the fit of that content into a control, and the SVG picture of it.
//
// Texts stay code page 936 bytes; the SVG is written in that code page and says so in its
// XML declaration (encoding "GBK"), so Chinese texts need no conversion.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class AcGiWorldDraw;

namespace vistrel {

struct Rgb {
  unsigned char r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct Point2 {
  double x = 0.0, y = 0.0;
  bool operator==(const Point2&) const = default;
};

struct Vertex {
  Point2 pt;
  double bulge = 0.0;
  double startWidth = 0.0;
  double endWidth = 0.0;
};

enum class ShapeKind { kLine, kArc, kCircle, kPolyline, kText };

// What a text stands for: an ordinary text, a variable's name or a variable's value.
enum class TextRole { kPlain, kVariableName, kVariableValue };

struct Shape {
  ShapeKind kind = ShapeKind::kLine;
  Rgb color;
  // Line: the two end points (bulge and widths 0). Polyline: every vertex in order; the
  // segment from vertex i to i+1 has the bulge and widths of vertex i.
  std::vector<Vertex> vertices;
  bool outline = false;  // the section outline of a PolylineSection record
  // Arc and circle: centre and radius; arc angles in radians, counter-clockwise from start.
  Point2 center;
  double radius = 0.0;
  double startAngle = 0.0;
  double endAngle = 0.0;
  // Text: the baseline start, height, rotation (radians) and the code page 936 string.
  Point2 position;
  double height = 0.0;
  double angle = 0.0;
  std::string text;
  TextRole role = TextRole::kPlain;
};

struct Box {
  double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;
  bool valid = false;
  void add(double x, double y);
  void add(const Box& other);
  double width() const { return valid ? maxX - minX : 0.0; }
  double height() const { return valid ? maxY - minY : 0.0; }
};

struct DisplayList {
  std::vector<Shape> shapes;
  bool hasBasePoint = false;
  Point2 basePoint;
  // Records passed over because a value they need was malformed.
  int skippedRecords = 0;
  bool empty() const { return shapes.empty() && !hasBasePoint; }
};

// Builds the display list of a section text. Records Line, Arc, Circle, Polyline, Text and
// VarCommon become shapes (a variable gives its value text, and its name text when the name
// is visible); PolylineSection gives the outline polyline and the base point; SecType, Mtext
// headers and unknown records give nothing. Record names and keys are matched ignoring
// letter case; the first of repeated keys counts. A record whose point, pair, vertex list or
// colour is missing or malformed is passed over whole (counted in skippedRecords).
DisplayList parseSectionText(std::string_view text);

// Draws one shape through the drawing interface: its colour as the true colour of the
// traits, then lines and polylines through geometry().pline() of a polyline holding their
// vertices, arcs through circularArc (counter-clockwise from the start angle; equal angles
// the whole circle), circles through circle() and texts through text().
void drawShape(const Shape& shape, AcGiWorldDraw& mode);

// World extents of one shape as the database measures the same entity (arcs by their true
// extremes, text boxes as a text entity's), a polyline's box grown by its greatest half
// width; and of the whole list (the base point included).
Box shapeExtents(const Shape& shape);
Box extents(const DisplayList& list);

// The mapping of drawing units into a control of width x height pixels: the content's
// extents centred and scaled to fit inside a margin; y grows downwards on the screen.
struct Viewport {
  double scale = 1.0;
  double offsetX = 0.0;  // screen x = offsetX + x * scale
  double offsetY = 0.0;  // screen y = offsetY - y * scale
  double toScreenX(double x) const { return offsetX + x * scale; }
  double toScreenY(double y) const { return offsetY - y * scale; }
};
inline constexpr double kFitMarginPixels = 8.0;
// Fits `content` into the control. Empty or point-like content keeps scale 1 around its
// centre.
Viewport fitToControl(const Box& content, int width, int height);

struct SvgOptions {
  bool textsAsBoxes = false;     // draw each text as its outline box instead of glyphs
  bool showBasePoint = false;    // mark the base point (cross in a circle)
  bool selectionFrame = false;   // a frame round the whole control
};

// The SVG picture of `list` drawn through `view` in a control of width x height pixels.
// Colour 255,255,255 is drawn black, as on a white sheet.
std::string renderSvg(const DisplayList& list, const Viewport& view, int width, int height,
                      const SvgOptions& options);

}  // namespace vistrel
