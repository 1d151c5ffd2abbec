// One frame of the drawing: culled through the index, sub-pixel entities as pixels, lines
// batched per pen.
#include "frame_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "dialog_font.h"

namespace contura::qt {

const QColor kCanvasBackground(33, 40, 48);

namespace {

// An entity whose box is smaller than this on the screen both ways is shown as its box's
// pixels in its colour, from the index, without opening it (under a pixel: one pixel).
constexpr double kDetailPixels = 3.0;
// Batched lines are stroked once they hold this many points, so that a frame's batches stay
// small whatever the drawing holds.
constexpr int kBatchFlushPoints = 65536;
// Half the arm of the cross that marks a point entity.
constexpr double kPointMarkPixels = 3.0;
// Texts lower than this on the screen cannot be read (and would cost a glyph cache of their
// own at every size and angle): a line along the baseline stands for them.
constexpr double kLegibleTextPixels = 6.0;
// Glyphs are laid out at this pixel size and scaled to the text's height.
constexpr int kGlyphReferencePixels = 64;
// Entities being dragged leave a copy this much as opaque where they were.
constexpr int kFaintAlphaDivisor = 3;
// The selection being built is drawn lighter by this factor (percent) and dashed.
constexpr int kHighlightLighter = 150;

QPen cosmeticPen(const QColor& color, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(color, 0.0, style);
  pen.setCosmetic(true);
  return pen;
}

// Collects an entity's primitives in screen coordinates: lines into one path per pen, fills
// and legible texts painted at once.
class BatchSink : public PrimitiveSink {
public:
  BatchSink(QPainter& painter, const View& view) : m_painter(painter), m_view(view), m_font(kDialogFontFamily) {
    m_font.setPixelSize(kGlyphReferencePixels);
  }

  // How the next entity is drawn: moved by a world offset, faint, highlighted.
  void setEntityStyle(QPointF offset, bool faint, bool highlighted) {
    m_offset = offset;
    m_faint = faint;
    m_highlighted = highlighted;
  }

  void path(const std::vector<QPointF>& points, bool closed, bool filled, double width, const QColor& color) override {
    if (points.empty()) return;
    QColor c = styled(color);
    if (filled) {
      QPolygonF polygon;
      polygon.reserve(static_cast<int>(points.size()));
      for (QPointF p : points) polygon << screen(p);
      m_painter.setPen(Qt::NoPen);
      m_painter.setBrush(c);
      m_painter.drawPolygon(polygon, Qt::OddEvenFill);
      return;
    }
    QPainterPath& batch = batchFor(c, width * m_view.scale);
    batch.moveTo(screen(points.front()));
    for (std::size_t i = 1; i < points.size(); ++i) batch.lineTo(screen(points[i]));
    if (closed) batch.closeSubpath();
    grown(static_cast<int>(points.size()));
  }

  void text(const SceneText& text) override {
    QColor color = styled(text.color);
    double pixels = text.height * m_view.scale;
    if (pixels < kLegibleTextPixels) {
      // Unreadable: a line where the text runs, as long as its glyphs would be.
      QPointF a = screen(text.anchor);
      double len = std::max(1.0, pixels * text.text.size() * text.widthFactor);
      QPainterPath& batch = batchFor(color, 0.0);
      batch.moveTo(a);
      batch.lineTo(a + QPointF(len * std::cos(text.rotation), -len * std::sin(text.rotation)));
      grown(2);
      return;
    }
    QFontMetricsF metrics(m_font);
    double w = metrics.horizontalAdvance(text.text) * text.widthFactor;
    double dx = text.hAlign == SceneText::HAlign::kCenter ? -w / 2.0 : text.hAlign == SceneText::HAlign::kRight ? -w : 0.0;
    double dy = 0.0;  // screen y grows downwards
    switch (text.vAlign) {
      case SceneText::VAlign::kBaseline: break;
      case SceneText::VAlign::kBottom: dy = -metrics.descent(); break;
      case SceneText::VAlign::kMiddle: dy = metrics.capHeight() / 2.0; break;
      case SceneText::VAlign::kTop: dy = metrics.capHeight(); break;
    }
    m_painter.save();
    m_painter.translate(screen(text.anchor));
    m_painter.rotate(-text.rotation * 180.0 / M_PI);
    m_painter.scale(pixels / kGlyphReferencePixels * text.widthFactor, pixels / kGlyphReferencePixels);
    m_painter.setFont(m_font);
    m_painter.setPen(color);
    m_painter.drawText(QPointF(dx / text.widthFactor, dy), text.text);
    m_painter.restore();
  }

  void point(QPointF at, const QColor& color) override {
    QPointF s = screen(at);
    QPainterPath& batch = batchFor(styled(color), 0.0);
    batch.moveTo(s - QPointF(kPointMarkPixels, 0));
    batch.lineTo(s + QPointF(kPointMarkPixels, 0));
    batch.moveTo(s - QPointF(0, kPointMarkPixels));
    batch.lineTo(s + QPointF(0, kPointMarkPixels));
    grown(4);
  }

  // Strokes every batch, one pen each.
  void flush() {
    m_painter.setBrush(Qt::NoBrush);
    for (auto& [key, path] : m_batches) {
      auto [rgba, width, dashed] = key;
      QColor color = QColor::fromRgba(rgba);
      QPen pen = cosmeticPen(color, dashed ? Qt::DashLine : Qt::SolidLine);
      if (width > 0.0) {
        pen = QPen(color, width, dashed ? Qt::DashLine : Qt::SolidLine);
        pen.setCapStyle(Qt::FlatCap);
      }
      m_painter.setPen(pen);
      m_painter.drawPath(path);
    }
    m_batches.clear();
    m_batchedPoints = 0;
  }

private:
  using Key = std::tuple<QRgb, double, bool>;  // colour, pen width in pixels (0: thinnest), dashed

  void grown(int points) {
    m_batchedPoints += points;
    if (m_batchedPoints >= kBatchFlushPoints) flush();
  }

  QPointF screen(QPointF world) const { return m_view.toScreen(world + m_offset); }

  QColor styled(QColor color) const {
    if (m_highlighted) color = color.lighter(kHighlightLighter);
    if (m_faint) color.setAlpha(color.alpha() / kFaintAlphaDivisor);
    return color;
  }

  QPainterPath& batchFor(const QColor& color, double widthPixels) {
    return m_batches[Key{color.rgba(), widthPixels, m_highlighted}];
  }

  QPainter& m_painter;
  const View& m_view;
  QFont m_font;
  QPointF m_offset;
  bool m_faint = false;
  bool m_highlighted = false;
  std::map<Key, QPainterPath> m_batches;
  int m_batchedPoints = 0;
};

// Colours the pixels of a small entity's screen box (one pixel at least) that nothing has
// coloured yet; false when none was free.
bool paintBox(QImage& image, const QRectF& box, QRgb color, QRgb background) {
  int x0 = static_cast<int>(std::floor(box.left())), x1 = std::max(x0, static_cast<int>(std::ceil(box.right())) - 1);
  int y0 = static_cast<int>(std::floor(box.top())), y1 = std::max(y0, static_cast<int>(std::ceil(box.bottom())) - 1);
  x0 = std::max(x0, 0), y0 = std::max(y0, 0);
  x1 = std::min(x1, image.width() - 1), y1 = std::min(y1, image.height() - 1);
  bool painted = false;
  for (int y = y0; y <= y1; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = x0; x <= x1; ++x) {
      if (line[x] != background) continue;
      line[x] = color | 0xFF000000u;
      painted = true;
    }
  }
  return painted;
}

}  // namespace

QRectF View::worldRect() const {
  QPointF a = toWorld(QPointF(0, 0)), b = toWorld(QPointF(size.width(), size.height()));
  return QRectF(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y())), QPointF(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

FrameCounts paintFrame(QImage& image, const View& view, const DrawingIndex& index, const EntityDrawer* drawer,
                       const FrameMarks& marks) {
  if (image.size() != view.size || image.format() != QImage::Format_RGB32) image = QImage(view.size, QImage::Format_RGB32);
  image.fill(kCanvasBackground);
  FrameCounts counts;
  const QRgb background = kCanvasBackground.rgb();
  std::vector<const IndexedEntity*> open;
  index.query(view.worldRect(), [&](const IndexedEntity& e) {
    bool marked = marks.highlighted.count(e.handle) || marks.faint.count(e.handle);
    bool small = !e.unbounded && (e.box.x1 - e.box.x0) * view.scale < kDetailPixels &&
                 (e.box.y1 - e.box.y0) * view.scale < kDetailPixels;
    if (!small || marked) {
      open.push_back(&e);
      return;
    }
    QRectF box(view.toScreen(QPointF(e.box.x0, e.box.y1)), view.toScreen(QPointF(e.box.x1, e.box.y0)));
    if (paintBox(image, box, e.color, background)) ++counts.pixels;
  });
  if (!drawer || open.empty()) return counts;
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  BatchSink sink(painter, view);
  // Drawing order stays the drawing's: later entities over earlier ones.
  std::sort(open.begin(), open.end());
  for (const IndexedEntity* e : open) {
    sink.setEntityStyle({}, marks.faint.count(e->handle) > 0, marks.highlighted.count(e->handle) > 0);
    if (drawer->draw(e->id, sink, 1.0 / view.scale)) ++counts.drawn;
  }
  sink.flush();
  return counts;
}

void paintMoved(QPainter& painter, const View& view, const EntityDrawer& drawer, const std::vector<AcDbObjectId>& ids,
                QPointF offset) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  BatchSink sink(painter, view);
  for (AcDbObjectId id : ids) {
    sink.setEntityStyle(offset, false, false);
    drawer.draw(id, sink, 1.0 / view.scale);
  }
  sink.flush();
  painter.restore();
}

}  // namespace contura::qt
