// HATCH records: the AcDbHatch tags of a record read in their fixed order into a hatch
// value, and a hatch value written back in that order.
//
// The same group codes mean different things at different places of a hatch (10 is the
// elevation point, a vertex, an edge point or a seed point), so the tags are read in order
// with a cursor rather than by code. Layouts this reader does not follow make the caller
// keep the record as it was read.
#include "record_parser.h"

namespace contura::dxf::detail {

namespace {

// Edge types of an edge path.
enum EdgeType : std::int16_t { kLineEdge = 1, kCircularEdge = 2, kEllipticEdge = 3, kSplineEdge = 4 };

class HatchCursor {
 public:
  HatchCursor(const std::vector<Tag>& tags, const TextCodec& codec) : m_tags(tags), m_codec(codec) {}

  bool atEnd() const { return m_at >= m_tags.size(); }
  bool next(int code) const { return !atEnd() && m_tags[m_at].code == code; }
  const Tag& peek() const { return m_tags[m_at]; }
  std::size_t position() const { return m_at; }

  // The next tag when it has `code`; else null (the cursor stays).
  const Tag* take(int code) { return next(code) ? &m_tags[m_at++] : nullptr; }
  bool real(int code, double& v) {
    const Tag* t = take(code);
    if (t) v = t->real;
    return t != nullptr;
  }
  template <class Int>
  bool integer(int code, Int& v) {
    const Tag* t = take(code);
    if (t) v = static_cast<Int>(t->integer);
    return t != nullptr;
  }
  bool flag(int code, bool& v) {
    const Tag* t = take(code);
    if (t) v = t->integer != 0;
    return t != nullptr;
  }
  bool point(int code, Point2& p) { return real(code, p.x) && real(code + 10, p.y); }
  // A count that must be plausible for the tags left (each item takes at least one tag).
  bool count(int code, std::size_t& n) {
    const Tag* t = take(code);
    if (!t || t->integer < 0) return false;
    n = static_cast<std::size_t>(t->integer);
    return n <= m_tags.size() - m_at;
  }
  std::string text(const Tag& t) const { return m_codec.decode(t.text); }

 private:
  const std::vector<Tag>& m_tags;
  const TextCodec& m_codec;
  std::size_t m_at = 0;
};

bool readSplineEdge(HatchCursor& c, HatchEdge& e) {
  std::size_t knots = 0, controls = 0;
  if (!c.integer(94, e.degree) || !c.flag(73, e.rational) || !c.flag(74, e.periodic) ||
      !c.count(95, knots) || !c.count(96, controls))
    return false;
  e.knots.resize(knots);
  for (double& k : e.knots)
    if (!c.real(40, k)) return false;
  for (std::size_t i = 0; i < controls; ++i) {
    Point2& p = e.controlPoints.emplace_back();
    if (!c.point(10, p)) return false;
    if (e.rational && !c.real(42, e.weights.emplace_back())) return false;
  }
  std::size_t fits = 0;
  if (c.next(97)) {
    if (!c.count(97, fits)) return false;
    e.hasFitData = true;
  }
  for (std::size_t i = 0; i < fits; ++i)
    if (!c.point(11, e.fitPoints.emplace_back())) return false;
  if (c.next(12)) {
    if (!c.point(12, e.startTangent)) return false;
    e.hasStartTangent = true;
  }
  if (c.next(13)) {
    if (!c.point(13, e.endTangent)) return false;
    e.hasEndTangent = true;
  }
  return true;
}

bool readEdge(HatchCursor& c, HatchEdge& e) {
  if (!c.integer(72, e.type)) return false;
  switch (e.type) {
    case kLineEdge:
      return c.point(10, e.start) && c.point(11, e.end);
    case kCircularEdge:
      return c.point(10, e.center) && c.real(40, e.radius) && c.real(50, e.startAngle) &&
             c.real(51, e.endAngle) && c.flag(73, e.ccw);
    case kEllipticEdge:
      return c.point(10, e.center) && c.point(11, e.majorAxis) && c.real(40, e.ratio) &&
             c.real(50, e.startAngle) && c.real(51, e.endAngle) && c.flag(73, e.ccw);
    case kSplineEdge:
      return readSplineEdge(c, e);
    default:
      return false;
  }
}

bool readPath(HatchCursor& c, HatchPath& path) {
  if (!c.integer(92, path.flags)) return false;
  std::size_t n = 0;
  if (path.isPolyline()) {
    if (!c.flag(72, path.hasBulge) || !c.flag(73, path.closed) || !c.count(93, n)) return false;
    for (std::size_t i = 0; i < n; ++i) {
      if (!c.point(10, path.vertices.emplace_back())) return false;
      // A bulge may be left out where it is 0, even in a path that has bulges.
      c.real(42, path.bulges.emplace_back());
    }
  } else {
    if (!c.count(93, n)) return false;
    path.edges.resize(n);
    for (HatchEdge& e : path.edges)
      if (!readEdge(c, e)) return false;
  }
  std::size_t sources = 0;
  if (c.next(97) && !c.count(97, sources)) return false;
  for (std::size_t i = 0; i < sources; ++i) {
    const Tag* h = c.take(330);
    if (!h) return false;
    path.boundaryHandles.push_back(h->handle);
  }
  return true;
}

bool readPattern(HatchCursor& c, HatchEntity& h) {
  c.real(52, h.patternAngle);
  c.real(41, h.patternScale);
  c.flag(77, h.patternDouble);
  std::size_t lines = 0;
  if (c.next(78) && !c.count(78, lines)) return false;
  for (std::size_t i = 0; i < lines; ++i) {
    HatchPatternLine& l = h.patternLines.emplace_back();
    std::size_t dashes = 0;
    if (!c.real(53, l.angle) || !c.real(43, l.base.x) || !c.real(44, l.base.y) ||
        !c.real(45, l.offset.x) || !c.real(46, l.offset.y) || !c.count(79, dashes))
      return false;
    l.dashes.resize(dashes);
    for (double& d : l.dashes)
      if (!c.real(49, d)) return false;
  }
  return true;
}

// The head: elevation point, normal, pattern name and the two flags, in any order.
bool readHead(HatchCursor& c, HatchEntity& h) {
  while (!c.atEnd() && !c.next(91)) {
    const Tag& t = c.peek();
    if (isCoordinate(t.code, 10)) setCoordinate(h.elevation, t.code, 10, t.real);
    else if (isCoordinate(t.code, 210)) setCoordinate(h.normal, t.code, 210, t.real);
    else if (t.code == 2) h.patternName = c.text(t);
    else if (t.code == 70) h.solidFill = t.integer != 0;
    else if (t.code == 71) h.associative = t.integer != 0;
    else return false;
    c.take(t.code);
  }
  return true;
}

}  // namespace

bool parseHatch(const std::vector<Tag>& tags, const TextCodec& codec, HatchEntity& h,
                RawTags& rest) {
  HatchCursor c(tags, codec);
  std::size_t paths = 0;
  if (!readHead(c, h) || !c.count(91, paths)) return false;
  h.paths.resize(paths);
  for (HatchPath& p : h.paths)
    if (!readPath(c, p)) return false;
  if (!c.integer(75, h.style) || !c.integer(76, h.patternType) || !readPattern(c, h)) return false;
  h.hasPixelSize = c.real(47, h.pixelSize);
  std::size_t seeds = 0;
  if (c.next(98) && !c.count(98, seeds)) return false;
  for (std::size_t i = 0; i < seeds; ++i)
    if (!c.point(10, h.seedPoints.emplace_back())) return false;
  for (std::size_t i = c.position(); i < tags.size(); ++i) rest.push_back(rawTagOf(tags[i], codec));
  return true;
}

namespace {

void writeSplineEdge(TagWriter& w, const HatchEdge& e) {
  w.integer(94, e.degree);
  w.integer(73, e.rational ? 1 : 0);
  w.integer(74, e.periodic ? 1 : 0);
  w.integer(95, static_cast<std::int64_t>(e.knots.size()));
  w.integer(96, static_cast<std::int64_t>(e.controlPoints.size()));
  for (double k : e.knots) w.real(40, k);
  for (std::size_t i = 0; i < e.controlPoints.size(); ++i) {
    w.point2d(10, e.controlPoints[i].x, e.controlPoints[i].y);
    if (e.rational) w.real(42, i < e.weights.size() ? e.weights[i] : 1.0);
  }
  if (e.hasFitData || !e.fitPoints.empty()) w.integer(97, static_cast<std::int64_t>(e.fitPoints.size()));
  for (const Point2& p : e.fitPoints) w.point2d(11, p.x, p.y);
  if (e.hasStartTangent) w.point2d(12, e.startTangent.x, e.startTangent.y);
  if (e.hasEndTangent) w.point2d(13, e.endTangent.x, e.endTangent.y);
}

void writeEdge(TagWriter& w, const HatchEdge& e) {
  w.integer(72, e.type);
  switch (e.type) {
    case kLineEdge:
      w.point2d(10, e.start.x, e.start.y);
      w.point2d(11, e.end.x, e.end.y);
      return;
    case kCircularEdge:
    case kEllipticEdge:
      w.point2d(10, e.center.x, e.center.y);
      if (e.type == kCircularEdge) {
        w.real(40, e.radius);
      } else {
        w.point2d(11, e.majorAxis.x, e.majorAxis.y);
        w.real(40, e.ratio);
      }
      w.real(50, e.startAngle);
      w.real(51, e.endAngle);
      w.integer(73, e.ccw ? 1 : 0);
      return;
    default:
      writeSplineEdge(w, e);
  }
}

void writePath(TagWriter& w, const HatchPath& p) {
  w.integer(92, p.flags);
  if (p.isPolyline()) {
    bool bulges = p.hasBulge;
    for (double b : p.bulges) bulges = bulges || b != 0;
    w.integer(72, bulges ? 1 : 0);
    w.integer(73, p.closed ? 1 : 0);
    w.integer(93, static_cast<std::int64_t>(p.vertices.size()));
    for (std::size_t i = 0; i < p.vertices.size(); ++i) {
      w.point2d(10, p.vertices[i].x, p.vertices[i].y);
      if (bulges) w.real(42, i < p.bulges.size() ? p.bulges[i] : 0.0);
    }
  } else {
    w.integer(93, static_cast<std::int64_t>(p.edges.size()));
    for (const HatchEdge& e : p.edges) writeEdge(w, e);
  }
  w.integer(97, static_cast<std::int64_t>(p.boundaryHandles.size()));
  for (std::uint64_t h : p.boundaryHandles) w.handle(330, h);
}

}  // namespace

void writeHatchBody(TagWriter& w, const HatchEntity& h, const TextCodec& codec) {
  w.point(10, 0, 0, h.elevation.z);
  w.point(210, h.normal.x, h.normal.y, h.normal.z);
  std::string name;
  codec.encode(h.patternName, name);
  w.string(2, name);
  w.integer(70, h.solidFill ? 1 : 0);
  w.integer(71, h.associative ? 1 : 0);
  w.integer(91, static_cast<std::int64_t>(h.paths.size()));
  for (const HatchPath& p : h.paths) writePath(w, p);
  w.integer(75, h.style);
  w.integer(76, h.patternType);
  // Pattern data belongs to pattern fills; a solid fill that carries some keeps it.
  const bool patternData = !h.solidFill || !h.patternLines.empty() || h.patternAngle != 0 ||
                           h.patternScale != 1 || h.patternDouble;
  if (patternData) {
    w.real(52, h.patternAngle);
    w.real(41, h.patternScale);
    w.integer(77, h.patternDouble ? 1 : 0);
    w.integer(78, static_cast<std::int64_t>(h.patternLines.size()));
    for (const HatchPatternLine& l : h.patternLines) {
      w.real(53, l.angle);
      w.real(43, l.base.x);
      w.real(44, l.base.y);
      w.real(45, l.offset.x);
      w.real(46, l.offset.y);
      w.integer(79, static_cast<std::int64_t>(l.dashes.size()));
      for (double d : l.dashes) w.real(49, d);
    }
  }
  if (h.hasPixelSize) w.real(47, h.pixelSize);
  w.integer(98, static_cast<std::int64_t>(h.seedPoints.size()));
  for (const Point2& p : h.seedPoints) w.point2d(10, p.x, p.y);
}

}  // namespace contura::dxf::detail
