// What both previews share as receivers of the drawing interface.
#include "PreviewDraw.h"

#include <dbents.h>
#include <dbextents.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "VistrelPicture.h"

namespace vistrel {

bool anyWide(const std::vector<PreviewSegment>& segments) {
  return std::any_of(segments.begin(), segments.end(),
                     [](const PreviewSegment& s) { return s.startWidth > 0.0 || s.endWidth > 0.0; });
}

std::vector<PreviewSegment> polylineSegments(const AcDbPolyline& pl, unsigned int fromIndex, unsigned int numSegs) {
  std::vector<PreviewSegment> segments;
  const unsigned int n = pl.numVerts();
  if (n < 2) return segments;
  const unsigned int count = pl.isClosed() ? n : n - 1;
  const unsigned int last = numSegs == 0 ? count : std::min(count, fromIndex + numSegs);
  for (unsigned int i = fromIndex; i < last; ++i) {
    PreviewSegment seg;
    AcGePoint2d a, b;
    pl.getPointAt(i, a);
    pl.getPointAt((i + 1) % n, b);
    seg.from = {a.x, a.y};
    seg.to = {b.x, b.y};
    pl.getWidthsAt(i, seg.startWidth, seg.endWidth);
    AcGeCircArc2d arc;
    if (pl.segType(i) == AcDbPolyline::kArc && pl.getArcSegAt(i, arc) == Acad::eOk) {
      seg.isArc = true;
      seg.center = {arc.center().x, arc.center().y};
      seg.radius = arc.radius();
      seg.startAngle = std::atan2(a.y - seg.center.y, a.x - seg.center.x);
      seg.sweep = arc.isClockWise() ? -arc.sweep() : arc.sweep();
    }
    segments.push_back(seg);
  }
  return segments;
}

std::vector<Point2> bandOutline(const PreviewSegment& seg, int arcPieces) {
  const double w0 = seg.startWidth / 2.0, w1 = seg.endWidth / 2.0;
  std::vector<Point2> left, right;
  if (seg.isArc) {
    for (int k = 0; k <= arcPieces; ++k) {
      const double t = static_cast<double>(k) / arcPieces;
      const double ang = seg.startAngle + t * seg.sweep, hw = w0 + (w1 - w0) * t;
      const double c = std::cos(ang), s = std::sin(ang);
      left.push_back({seg.center.x + (seg.radius + hw) * c, seg.center.y + (seg.radius + hw) * s});
      right.push_back({seg.center.x + (seg.radius - hw) * c, seg.center.y + (seg.radius - hw) * s});
    }
  } else {
    const Point2 a = seg.from, b = seg.to;
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    if (len == 0.0) return {};
    const double nx = -(b.y - a.y) / len, ny = (b.x - a.x) / len;
    left = {{a.x + nx * w0, a.y + ny * w0}, {b.x + nx * w1, b.y + ny * w1}};
    right = {{a.x - nx * w0, a.y - ny * w0}, {b.x - nx * w1, b.y - ny * w1}};
  }
  left.insert(left.end(), right.rbegin(), right.rend());
  return left;
}

std::vector<Point2> textBoxCorners(const AcGePoint3d& position, double angle, double width, double height) {
  const double ca = std::cos(angle), sa = std::sin(angle);
  std::vector<Point2> corners;
  for (auto [u, v] : {std::pair{0.0, 0.0}, {width, 0.0}, {width, height}, {0.0, height}})
    corners.push_back({position.x + u * ca - v * sa, position.y + u * sa + v * ca});
  return corners;
}

double measuredTextWidth(std::string_view cp936, double height, double widthFactor) {
  AcDbText text(AcGePoint3d::kOrigin, std::string(cp936).c_str(), AcDbObjectId::kNull, height, 0.0);
  if (widthFactor > 0.0) text.setWidthFactor(widthFactor);
  AcDbExtents box;
  if (text.getGeomExtents(box) != Acad::eOk) return 0.0;
  return box.maxPoint().x - box.minPoint().x;
}

void PreviewDraw::drawList(const DisplayList& list) {
  for (const Shape& s : list.shapes) {
    m_outline = s.outline;
    m_role = s.role;
    drawShape(s, *this);
  }
  m_outline = false;
  m_role = TextRole::kPlain;
}

void PreviewDraw::setColor(Adesk::UInt16 color) {
  AcCmEntityColor c;
  if (c.setColorIndex(Adesk::Int16(color)) == Acad::eOk) m_color = c;
}

Adesk::Boolean PreviewDraw::pushModelTransform(const AcGeMatrix3d& xMat) {
  if (xMat != AcGeMatrix3d::kIdentity) return Adesk::kFalse;
  ++m_identityPushes;
  return Adesk::kTrue;
}

Adesk::Boolean PreviewDraw::popModelTransform() {
  if (m_identityPushes == 0) return Adesk::kFalse;
  --m_identityPushes;
  return Adesk::kTrue;
}

Rgb PreviewDraw::drawColor() const {
  return sheetColor(Rgb{m_color.red(), m_color.green(), m_color.blue()});
}

}  // namespace vistrel
