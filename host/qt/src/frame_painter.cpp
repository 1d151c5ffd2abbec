// One frame of the drawing: culled through the index, sub-pixel entities as pixels, lines
// batched per pen.
#include "frame_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <utility>
#include <tuple>

#include <contura/db/world_draw.h>

#include "dialog_font.h"
#include "line_raster.h"
#include "text_codec.h"

namespace contura::qt {

const QColor kCanvasBackground(33, 40, 48);

namespace {

// An entity whose box is smaller than this on the screen both ways is shown as its box's
// pixels in its colour, from the index, without opening it (under a pixel: one pixel).
constexpr double kDetailPixels = 3.0;
// Batched lines are stroked once they hold this many points, so that a frame's batches stay
// small whatever the drawing holds.
constexpr std::size_t kBatchFlushPoints = 65536;
// Curves are cut so that no piece strays further than this many pixels from the curve
// (a quarter pixel: what antialiased one-pixel lines cannot show).
constexpr double kCurveDeviationPixels = 0.25;
// Patterned hatches are shown as a light fill of their colour (alpha out of 255).
constexpr int kPatternFillAlpha = 70;
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

// Paints the primitives entities draw through the drawing interface, in screen coordinates:
// lines and arcs into one batch per pen (drawn together), fills and legible texts at once.
// Solid lines go straight into the picture's pixels when the picture is given (`raster`, the
// one the painter paints on); dashed ones, and all when there is no picture, become paths
// the painter strokes.
class PainterConsumer : public db::WorldDrawConsumer {
public:
  PainterConsumer(AcDbDatabase* db, QPainter& painter, const View& view, QImage* raster = nullptr)
      : WorldDrawConsumer(db), m_painter(painter), m_view(view), m_raster(raster), m_font(kDialogFontFamily) {
    m_font.setPixelSize(kGlyphReferencePixels);
    setDeviation(kCurveDeviationPixels / view.scale);
  }

  // How the next entity is drawn: moved by a world offset, faint, highlighted.
  void setEntityStyle(QPointF offset, bool faint, bool highlighted) {
    m_offset = offset;
    m_faint = faint;
    m_highlighted = highlighted;
  }

  // Draws every batch, one pen each.
  void flush() {
    m_painter.setBrush(Qt::NoBrush);
    for (auto& [key, batch] : m_batches) {
      auto [rgba, dashed] = key;
      if (!batch.strips.empty()) batch.strips.draw(*m_raster, rgba);
      if (batch.path.isEmpty()) continue;
      m_painter.setPen(cosmeticPen(QColor::fromRgba(rgba), dashed ? Qt::DashLine : Qt::SolidLine));
      m_painter.drawPath(batch.path);
    }
    m_batches.clear();
    m_lastBatch = nullptr;
    m_batchedPoints = 0;
  }

protected:
  void onPolyline(const AcGePoint3d* points, std::size_t count, bool closed, const db::DrawStyle& style) override {
    if (count == 0) return;
    Batch& batch = batchFor(style);
    batch.moveTo(screen(points[0]));
    for (std::size_t i = 1; i < count; ++i) batch.lineTo(screen(points[i]));
    if (count == 1 && !batch.raster) batch.lineTo(screen(points[0]) + QPointF(0.5, 0.0));  // a dot
    if (closed && count > 1) batch.lineTo(screen(points[0]));
    grown(count);
  }

  void onArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal, const AcGeVector3d& startVector,
             double sweep, const db::DrawStyle& style) override {
    // Cut where it lies no further than a fraction of a pixel from the circle, each point the
    // last one turned by one step: p(t) = c + r (cos t u + sin t v).
    int pieces = db::arcPieceCount(sweep, radius, kCurveDeviationPixels / m_view.scale);
    AcGeVector3d u = startVector, v = normal.crossProduct(startVector);
    double c = std::cos(sweep / pieces), s = std::sin(sweep / pieces);
    Batch& batch = batchFor(style);
    batch.moveTo(screen(center + u * radius));
    for (int k = 1; k <= pieces; ++k) {
      AcGeVector3d turned = u * c + v * s;
      v = v * c - u * s;
      u = turned;
      batch.lineTo(screen(center + u * radius));
    }
    grown(static_cast<std::size_t>(pieces));
  }

  void onFill(const std::vector<std::vector<AcGePoint3d>>& loops, const db::DrawStyle& style) override {
    QColor color = colorOf(style);
    if (style.pattern) color.setAlpha(color.alpha() * kPatternFillAlpha / 255);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(color);
    if (loops.size() == 1) {  // one outline (a wide segment, a solid): a polygon, no path
      m_polygon.clear();
      for (const AcGePoint3d& p : loops[0]) m_polygon << screen(p);
      m_painter.drawPolygon(m_polygon, Qt::OddEvenFill);
      return;
    }
    QPainterPath area;
    area.setFillRule(Qt::OddEvenFill);  // islands stay open
    for (const auto& loop : loops) {
      if (loop.empty()) continue;
      QPolygonF polygon;
      polygon.reserve(static_cast<int>(loop.size()));
      for (const AcGePoint3d& p : loop) polygon << screen(p);
      area.addPolygon(polygon);
      area.closeSubpath();
    }
    m_painter.drawPath(area);
  }

  void onText(const db::DrawnText& text, const db::DrawStyle& style) override {
    QPointF start = screen(text.position);
    QPointF along = screen(text.position + text.direction * text.boxWidth) - start;
    double pixels = text.height * m_view.scale;
    if (pixels < kLegibleTextPixels) {  // unreadable: a line along the box's baseline
      Batch& batch = batchFor(style);
      batch.moveTo(start);
      batch.lineTo(start + along);
      grown(2);
      return;
    }
    // The glyphs fitted into the box the drawing gives the text: its width along the
    // baseline, one height above it.
    QString glyphs = fromCp936(text.text);
    double advance = QFontMetricsF(m_font).horizontalAdvance(glyphs);
    if (advance <= 0.0) return;
    QPointF up = screen(text.position + text.up * text.height) - start;
    // An oblique text leans its letters along the baseline by the slant's tangent of their
    // height.
    if (text.oblique != 0.0 && text.boxWidth > 0.0) up += along * (std::tan(text.oblique) * text.height / text.boxWidth);
    m_painter.save();
    // Glyph space (x along the baseline, y down, kGlyphReferencePixels high) to the screen.
    m_painter.setTransform(QTransform(along.x() / advance, along.y() / advance, -up.x() / kGlyphReferencePixels,
                                      -up.y() / kGlyphReferencePixels, start.x(), start.y()));
    m_painter.setFont(m_font);
    m_painter.setPen(colorOf(style));
    m_painter.drawText(QPointF(0.0, 0.0), glyphs);
    m_painter.restore();
  }

  void onPoints(const AcGePoint3d* points, std::size_t count, const db::DrawStyle& style) override {
    Batch& batch = batchFor(style);
    for (std::size_t i = 0; i < count; ++i) {
      QPointF s = screen(points[i]);
      batch.moveTo(s - QPointF(kPointMarkPixels, 0));
      batch.lineTo(s + QPointF(kPointMarkPixels, 0));
      batch.moveTo(s - QPointF(0, kPointMarkPixels));
      batch.lineTo(s + QPointF(0, kPointMarkPixels));
    }
    grown(4 * count);
  }

  void onInfiniteLine(const AcGePoint3d& base, const AcGeVector3d& dir, bool ray, const db::DrawStyle& style) override {
    // Long enough to cross the whole view from wherever the base lies.
    QRectF world = m_view.worldRect();
    QPointF b(base.x, base.y);
    double reach = QLineF(b, world.center()).length() + world.width() + world.height();
    AcGePoint3d from = ray ? base : base - dir * reach;
    AcGePoint3d points[2] = {from, base + dir * reach};
    onPolyline(points, 2, false, style);
  }

private:
  using Key = std::pair<QRgb, bool>;  // colour, dashed

  // The lines of one pen: pixel strips, or a path for the painter.
  struct Batch {
    bool raster = false;
    LineStrips strips;
    QPainterPath path;
    void moveTo(QPointF p) { raster ? strips.moveTo(p) : path.moveTo(p); }
    void lineTo(QPointF p) { raster ? strips.lineTo(p) : path.lineTo(p); }
  };

  QPointF screen(const AcGePoint3d& world) const { return m_view.toScreen(QPointF(world.x, world.y) + m_offset); }

  QColor colorOf(const db::DrawStyle& style) const {
    QColor color = screenColor(style.color);
    if (m_highlighted) color = color.lighter(kHighlightLighter);
    if (m_faint) color.setAlpha(color.alpha() / kFaintAlphaDivisor);
    return color;
  }

  // The batch of the style's pen; the last one is remembered, as consecutive primitives
  // mostly share their pen.
  Batch& batchFor(const db::DrawStyle& style) {
    if (m_lastBatch && m_lastColor == style.color && m_lastHighlighted == m_highlighted && m_lastFaint == m_faint)
      return *m_lastBatch;
    Key key{colorOf(style).rgba(), m_highlighted};
    auto [it, added] = m_batches.try_emplace(key);
    if (added) it->second.raster = m_raster && !m_highlighted;
    m_lastBatch = &it->second;
    m_lastColor = style.color;
    m_lastHighlighted = m_highlighted;
    m_lastFaint = m_faint;
    return it->second;
  }

  void grown(std::size_t points) {
    m_batchedPoints += points;
    if (m_batchedPoints >= kBatchFlushPoints) flush();
  }

  QPainter& m_painter;
  const View& m_view;
  QImage* m_raster;
  QFont m_font;
  QPointF m_offset;
  bool m_faint = false;
  bool m_highlighted = false;
  std::map<Key, Batch> m_batches;
  Batch* m_lastBatch = nullptr;  // the batch batchFor gave last, for this colour and marking:
  AcCmEntityColor m_lastColor;
  bool m_lastHighlighted = false, m_lastFaint = false;
  QPolygonF m_polygon;  // the outline of a one-outline fill, its storage kept between fills
  std::size_t m_batchedPoints = 0;
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

FrameCounts paintFrame(QImage& image, const View& view, const DrawingIndex& index, const FrameMarks& marks) {
  if (image.size() != view.size || image.format() != QImage::Format_RGB32) image = QImage(view.size, QImage::Format_RGB32);
  image.fill(kCanvasBackground);
  FrameCounts counts;
  const QRgb background = kCanvasBackground.rgb();
  const bool anyMarks = !marks.highlighted.empty() || !marks.faint.empty();
  auto highlighted = [&](const IndexedEntity& e) { return anyMarks && marks.highlighted.count(e.handle) > 0; };
  auto faint = [&](const IndexedEntity& e) { return anyMarks && marks.faint.count(e.handle) > 0; };
  // The entities to open, as bits by their place in the index: read back in that order, they
  // are drawn in the drawing's order (later entities over earlier ones) without sorting.
  const IndexedEntity* const first = index.entities().data();
  std::vector<std::uint64_t> toOpen((index.size() + 63) / 64, 0);
  bool anyToOpen = false;
  index.query(view.worldRect(), [&](const IndexedEntity& e) {
    bool small = !e.unbounded && (e.box.x1 - e.box.x0) * view.scale < kDetailPixels &&
                 (e.box.y1 - e.box.y0) * view.scale < kDetailPixels;
    if (!small || highlighted(e) || faint(e)) {
      const std::size_t at = static_cast<std::size_t>(&e - first);
      toOpen[at / 64] |= std::uint64_t(1) << (at % 64);
      anyToOpen = true;
      return;
    }
    QRectF box(view.toScreen(QPointF(e.box.x0, e.box.y1)), view.toScreen(QPointF(e.box.x1, e.box.y0)));
    if (paintBox(image, box, e.color, background)) ++counts.pixels;
  });
  if (!index.database() || !anyToOpen) return counts;
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  PainterConsumer consumer(index.database(), painter, view, &image);
  for (std::size_t word = 0; word < toOpen.size(); ++word) {
    for (std::uint64_t bits = toOpen[word]; bits != 0; bits &= bits - 1) {
      const IndexedEntity& e = first[word * 64 + static_cast<std::size_t>(std::countr_zero(bits))];
      consumer.setEntityStyle({}, faint(e), highlighted(e));
      if (consumer.drawEntity(e.id)) ++counts.drawn;
    }
  }
  consumer.flush();
  return counts;
}

void paintMoved(QPainter& painter, const View& view, AcDbDatabase& db, const std::vector<AcDbObjectId>& ids,
                QPointF offset) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  PainterConsumer consumer(&db, painter, view);
  consumer.setEntityStyle(offset, false, false);
  for (AcDbObjectId id : ids) consumer.drawEntity(id);
  consumer.flush();
  painter.restore();
}

}  // namespace contura::qt
