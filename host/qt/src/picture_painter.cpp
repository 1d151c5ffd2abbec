// QPainter drawing of the view library's picture primitives, and PNG export.
#include "picture_painter.h"

#include <QPainterPath>
#include <QPolygonF>

#include "dialog_font.h"
#include "text_codec.h"

namespace contura::qt {
namespace {

// Glyphs are drawn from a font of this many pixels and scaled to the text's height, so that
// heights of a fraction of a pixel come out right.
constexpr int kGlyphReferencePixels = 64;

QColor qColor(vistrel::Rgb c) { return QColor(c.r, c.g, c.b); }

QPolygonF polygonOf(const std::vector<vistrel::ScreenPoint>& points) {
  QPolygonF polygon;
  polygon.reserve(static_cast<int>(points.size()));
  for (const vistrel::ScreenPoint& p : points) polygon << QPointF(p.x, p.y);
  return polygon;
}

}  // namespace

void QtPictureSink::sheet(int width, int height, vistrel::Rgb color) {
  m_painter.fillRect(QRect(0, 0, width, height), qColor(color));
  m_painter.setRenderHint(QPainter::Antialiasing, true);
  m_painter.setRenderHint(QPainter::TextAntialiasing, true);
}

void QtPictureSink::stroke(const std::vector<vistrel::ScreenPoint>& points, bool closed, vistrel::Rgb color,
                           double width, bool dashed) {
  if (points.empty()) return;
  QPen pen(qColor(color), width);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  if (dashed) pen.setDashPattern({4.0 / width, 2.0 / width});
  m_painter.setPen(pen);
  m_painter.setBrush(Qt::NoBrush);
  QPolygonF polygon = polygonOf(points);
  if (closed) m_painter.drawPolygon(polygon);
  else m_painter.drawPolyline(polygon);
}

void QtPictureSink::fill(const std::vector<vistrel::ScreenPoint>& points, vistrel::Rgb color) {
  m_painter.setPen(Qt::NoPen);
  m_painter.setBrush(qColor(color));
  m_painter.drawPolygon(polygonOf(points), Qt::WindingFill);
}

void QtPictureSink::text(vistrel::ScreenPoint baseline, double pixelHeight, double clockwiseDegrees,
                         std::string_view cp936, vistrel::Rgb color, bool underline) {
  if (pixelHeight <= 0.0 || cp936.empty()) return;
  QFont font(kDialogFontFamily);
  font.setPixelSize(kGlyphReferencePixels);
  font.setUnderline(underline);
  m_painter.save();
  m_painter.translate(baseline.x, baseline.y);
  m_painter.rotate(clockwiseDegrees);
  m_painter.scale(pixelHeight / kGlyphReferencePixels, pixelHeight / kGlyphReferencePixels);
  m_painter.setFont(font);
  m_painter.setPen(qColor(color));
  m_painter.drawText(QPointF(0.0, 0.0), fromCp936(cp936));
  m_painter.restore();
}

QImage renderPicture(const vistrel::DisplayList& list, const vistrel::Viewport& view, int width, int height,
                     const vistrel::SvgOptions& options) {
  QImage image(std::max(1, width), std::max(1, height), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  QtPictureSink sink(painter);
  vistrel::paintPicture(list, view, width, height, options, sink);
  return image;
}

bool writePicturePng(const QString& path, const vistrel::DisplayList& list, const vistrel::Viewport& view, int width,
                     int height, const vistrel::SvgOptions& options, QString& error) {
  QImage image = renderPicture(list, view, width, height, options);
  if (!image.save(path, "PNG")) {
    error = "无法写入图片文件 " + path;
    return false;
  }
  return true;
}

}  // namespace contura::qt
