// Painting, view changes and mouse answers of the drawing canvas.
#include "canvas.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <contura/ed/editor_state.h>

#include <cmath>

#include "dialog_font.h"

namespace contura::qt {
namespace {

const QColor kBackground(33, 40, 48);
const QColor kRubberBand(220, 220, 220);
const QColor kWindowColor(60, 120, 255);    // a window selection (left to right)
const QColor kCrossingColor(60, 200, 90);   // a crossing selection (right to left)
const QColor kPickBoxColor(230, 230, 230);
// A press and release closer than this is a click, not a window.
constexpr double kClickSlopPixels = 3.0;
// Half the arm of the cross that marks a point entity.
constexpr double kPointMarkPixels = 3.0;
// The default pick box of the window, in pixels.
constexpr double kDefaultPickBoxPixels = 5.0;
// Free room round the drawing when it is fitted into the canvas, as a fraction of each side.
constexpr double kExtentsMargin = 0.05;
// One wheel notch (120 units) zooms by this factor.
constexpr double kWheelZoomPerNotch = 1.25;
constexpr double kWheelNotch = 120.0;
// Zoom limits, pixels per drawing unit.
constexpr double kMinScale = 1.0e-9;
constexpr double kMaxScale = 1.0e9;
// Glyphs are laid out at this pixel size and scaled to the text's height.
constexpr int kGlyphReferencePixels = 64;
// A pixel's size that is a power of ten within rounding counts as that power.
constexpr double kDigitSlack = 1e-9;
constexpr int kMaxDecimals = 10;
// Widest part of the shown view of an empty drawing, in drawing units.
constexpr double kEmptyDrawingSpan = 100.0;

QPen cosmeticPen(const QColor& color, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(color, 0.0, style);
  pen.setCosmetic(true);
  return pen;
}

}  // namespace

Canvas::Canvas(QWidget* parent) : QWidget(parent), m_pickBoxPixels(kDefaultPickBoxPixels) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 150);
  setCursor(Qt::CrossCursor);
}

void Canvas::setScene(Scene scene) {
  m_scene = std::move(scene);
  if (!m_viewSet) zoomExtents();
  update();
}

void Canvas::zoomExtents() {
  QRectF box = m_scene.extents();
  double w = std::max(1, width()), h = std::max(1, height());
  bool any = false;
  for (const SceneItem& item : m_scene.items) any = any || item.bounded;
  if (!any) {
    m_center = QPointF(kEmptyDrawingSpan / 2.0, kEmptyDrawingSpan / 2.0);
    m_scale = std::min(w, h) / kEmptyDrawingSpan;
  } else {
    m_center = box.center();
    double bw = std::max(box.width(), 1e-9), bh = std::max(box.height(), 1e-9);
    m_scale = std::min(w * (1.0 - 2 * kExtentsMargin) / bw, h * (1.0 - 2 * kExtentsMargin) / bh);
    if (box.width() == 0.0 && box.height() == 0.0) m_scale = std::min(w, h) / kEmptyDrawingSpan;
  }
  m_scale = std::clamp(m_scale, kMinScale, kMaxScale);
  m_viewSet = true;
  m_autoFit = true;
  update();
}

void Canvas::zoomAbout(QPointF screenPoint, double factor) {
  QPointF fixed = toWorld(screenPoint);
  m_scale = std::clamp(m_scale * factor, kMinScale, kMaxScale);
  // Move the centre so that `fixed` is under screenPoint again.
  QPointF now = toWorld(screenPoint);
  m_center += fixed - now;
  m_viewSet = true;
  m_autoFit = false;
  update();
}

void Canvas::panBy(QPointF screenDelta) {
  m_center -= QPointF(screenDelta.x() / m_scale, -screenDelta.y() / m_scale);
  m_viewSet = true;
  m_autoFit = false;
  update();
}

void Canvas::setRequest(Mode mode, std::optional<QPointF> base, std::vector<std::string> dragged, QPointF dragFrom) {
  m_mode = mode;
  m_base = base;
  m_dragged = std::set<std::string>(dragged.begin(), dragged.end());
  m_dragFrom = dragFrom;
  m_pressAt.reset();
  update();
}

QPointF Canvas::toWorld(QPointF s) const {
  return QPointF(m_center.x() + (s.x() - width() / 2.0) / m_scale, m_center.y() - (s.y() - height() / 2.0) / m_scale);
}

QPointF Canvas::toScreen(QPointF w) const {
  return QPointF(width() / 2.0 + (w.x() - m_center.x()) * m_scale, height() / 2.0 - (w.y() - m_center.y()) * m_scale);
}

QString Canvas::pointText(QPointF world) const {
  // Enough decimals to tell neighbouring pixels apart, and no more.
  int decimals =
      std::clamp(static_cast<int>(std::ceil(-std::log10(worldPerPixel()) - kDigitSlack)) + 1, 0, kMaxDecimals);
  auto number = [decimals](double v) {
    QString s = QString::number(v, 'f', decimals);
    if (s.contains('.')) {
      while (s.endsWith('0')) s.chop(1);
      if (s.endsWith('.')) s.chop(1);
    }
    if (s == "-0") s = "0";
    return s;
  };
  return number(world.x()) + "," + number(world.y());
}

void Canvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackground);
  painter.setRenderHint(QPainter::Antialiasing, true);
  QPointF dragOffset;
  if (m_mode == Mode::kDrag && m_cursorInside) {
    QPointF w = toWorld(m_cursor);
    dragOffset = QPointF(w.x() - m_dragFrom.x(), w.y() - m_dragFrom.y());
  }
  for (const SceneItem& item : m_scene.items) {
    bool dragged = m_mode == Mode::kDrag && m_dragged.count(item.handle) > 0;
    paintItem(painter, item, {}, dragged);
    if (dragged && m_cursorInside) paintItem(painter, item, dragOffset, false);
  }
  for (const ed::TemporaryVector& v : ed::temporaryVectors()) {
    painter.setPen(cosmeticPen(colorOfIndex(v.color), v.highlighted ? Qt::DashLine : Qt::SolidLine));
    painter.drawLine(toScreen({v.from[0], v.from[1]}), toScreen({v.to[0], v.to[1]}));
  }
  paintOverlay(painter);
}

void Canvas::paintItem(QPainter& painter, const SceneItem& item, QPointF offset, bool ghost) const {
  auto screen = [&](QPointF p) { return toScreen(p + offset); };
  for (const ScenePath& path : item.paths) {
    QColor color = path.color;
    if (ghost) color.setAlpha(color.alpha() / 3);
    QPolygonF polygon;
    polygon.reserve(static_cast<int>(path.points.size()));
    for (QPointF p : path.points) polygon << screen(p);
    if (path.filled) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(color);
      painter.drawPolygon(polygon, Qt::OddEvenFill);
      continue;
    }
    QPen pen = cosmeticPen(color);
    if (path.width > 0.0) {
      pen = QPen(color, path.width * m_scale);
      pen.setCapStyle(Qt::FlatCap);
    }
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    if (path.closed) painter.drawPolygon(polygon);
    else painter.drawPolyline(polygon);
  }
  for (const SceneText& text : item.texts) {
    QColor color = text.color;
    if (ghost) color.setAlpha(color.alpha() / 3);
    paintText(painter, text, offset, color);
  }
  QColor pointColor = item.pointColor;
  if (ghost) pointColor.setAlpha(pointColor.alpha() / 3);
  painter.setPen(cosmeticPen(pointColor));
  for (QPointF p : item.points) {
    QPointF s = screen(p);
    painter.drawLine(s - QPointF(kPointMarkPixels, 0), s + QPointF(kPointMarkPixels, 0));
    painter.drawLine(s - QPointF(0, kPointMarkPixels), s + QPointF(0, kPointMarkPixels));
  }
}

void Canvas::paintText(QPainter& painter, const SceneText& text, QPointF offset, const QColor& color) const {
  double pixels = text.height * m_scale;
  if (pixels < 1.0) {  // too small to read: a line where the text runs
    QPointF a = toScreen(text.anchor + offset);
    painter.setPen(cosmeticPen(color));
    double len = std::max(1.0, pixels * text.text.size() * text.widthFactor);
    painter.drawLine(a, a + QPointF(len * std::cos(text.rotation), -len * std::sin(text.rotation)));
    return;
  }
  QFont font(kDialogFontFamily);
  font.setPixelSize(kGlyphReferencePixels);
  QFontMetricsF metrics(font);
  double w = metrics.horizontalAdvance(text.text) * text.widthFactor;
  double dx = text.hAlign == SceneText::HAlign::kCenter ? -w / 2.0 : text.hAlign == SceneText::HAlign::kRight ? -w : 0.0;
  double dy = 0.0;  // screen y grows downwards
  switch (text.vAlign) {
    case SceneText::VAlign::kBaseline: break;
    case SceneText::VAlign::kBottom: dy = -metrics.descent(); break;
    case SceneText::VAlign::kMiddle: dy = metrics.capHeight() / 2.0; break;
    case SceneText::VAlign::kTop: dy = metrics.capHeight(); break;
  }
  painter.save();
  painter.translate(toScreen(text.anchor + offset));
  painter.rotate(-text.rotation * 180.0 / M_PI);
  painter.scale(pixels / kGlyphReferencePixels * text.widthFactor, pixels / kGlyphReferencePixels);
  painter.setFont(font);
  painter.setPen(color);
  painter.drawText(QPointF(dx / text.widthFactor, dy), text.text);
  painter.restore();
}

void Canvas::paintOverlay(QPainter& painter) const {
  if (!m_cursorInside) return;
  if (m_mode == Mode::kPoint && m_base) {
    painter.setPen(cosmeticPen(kRubberBand, Qt::DashLine));
    painter.drawLine(toScreen(*m_base), m_cursor);
  }
  if (m_mode == Mode::kSelection && m_pressAt &&
      QLineF(*m_pressAt, m_cursor).length() >= kClickSlopPixels) {
    bool window = m_cursor.x() >= m_pressAt->x();
    QColor color = window ? kWindowColor : kCrossingColor;
    QColor fill = color;
    fill.setAlpha(50);
    painter.setPen(cosmeticPen(color, window ? Qt::SolidLine : Qt::DashLine));
    painter.setBrush(fill);
    painter.drawRect(QRectF(*m_pressAt, m_cursor).normalized());
  }
  if (m_mode == Mode::kEntity || m_mode == Mode::kSelection) {
    painter.setPen(cosmeticPen(kPickBoxColor));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(m_cursor - QPointF(m_pickBoxPixels, m_pickBoxPixels),
                            m_cursor + QPointF(m_pickBoxPixels, m_pickBoxPixels)));
  }
}

void Canvas::mousePressEvent(QMouseEvent* event) {
  m_cursor = event->position();
  m_cursorInside = true;
  switch (event->button()) {
    case Qt::MiddleButton: m_panFrom = event->position(); break;
    case Qt::LeftButton: m_pressAt = event->position(); break;
    case Qt::RightButton:
      // The right button is Enter: it ends a selection, or gives no point.
      if (m_mode != Mode::kIdle) emit answered(QString());
      break;
    default: break;
  }
  update();
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
  if (m_panFrom) {
    panBy(event->position() - *m_panFrom);
    m_panFrom = event->position();
  }
  m_cursor = event->position();
  m_cursorInside = true;
  emit cursorMoved(toWorld(m_cursor));
  update();
}

void Canvas::mouseReleaseEvent(QMouseEvent* event) {
  m_cursor = event->position();
  if (event->button() == Qt::MiddleButton) {
    m_panFrom.reset();
    return;
  }
  if (event->button() != Qt::LeftButton || !m_pressAt) return;
  QPointF from = *m_pressAt;
  m_pressAt.reset();
  if (m_mode == Mode::kSelection && QLineF(from, m_cursor).length() >= kClickSlopPixels) windowSelection(from, m_cursor);
  else leftClick(m_cursor);
  update();
}

void Canvas::mouseDoubleClickEvent(QMouseEvent* event) {
  // A middle double-click shows the whole drawing, as CAD programs do.
  if (event->button() == Qt::MiddleButton) zoomExtents();
  else QWidget::mouseDoubleClickEvent(event);
}

void Canvas::wheelEvent(QWheelEvent* event) {
  double notches = event->angleDelta().y() / kWheelNotch;
  if (notches != 0.0) zoomAbout(event->position(), std::pow(kWheelZoomPerNotch, notches));
  event->accept();
}

void Canvas::resizeEvent(QResizeEvent*) {
  // Until the person pans or zooms, the whole drawing stays in view as the canvas changes size.
  if (!m_viewSet || m_autoFit) zoomExtents();
}

void Canvas::leftClick(QPointF screen) {
  if (m_mode == Mode::kIdle) return;
  emit answered(pointText(toWorld(screen)));
}

void Canvas::windowSelection(QPointF from, QPointF to) {
  // Left to right: what lies wholly inside; right to left: what the window touches.
  QString kind = to.x() >= from.x() ? "w " : "c ";
  emit answered(kind + pointText(toWorld(from)) + " " + pointText(toWorld(to)));
}

}  // namespace contura::qt
