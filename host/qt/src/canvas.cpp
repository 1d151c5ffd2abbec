// Painting, view changes and mouse answers of the drawing canvas.
#include "canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <contura/ed/editor_state.h>

#include <cmath>

namespace contura::qt {
namespace {

const QColor kRubberBand(220, 220, 220);
const QColor kWindowColor(60, 120, 255);    // a window selection (left to right)
const QColor kCrossingColor(60, 200, 90);   // a crossing selection (right to left)
const QColor kPickBoxColor(230, 230, 230);
// A press and release closer than this is a click, not a window.
constexpr double kClickSlopPixels = 3.0;
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
// The new frame is painted when the wheel or the middle button has rested this long.
constexpr int kSettleMilliseconds = 60;
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
  m_settle.setSingleShot(true);
  m_settle.setInterval(kSettleMilliseconds);
  connect(&m_settle, &QTimer::timeout, this, [this] {
    m_settling = false;
    update();
  });
}

void Canvas::setScene(DrawingIndex scene) {
  m_scene = std::move(scene);
  m_frameValid = false;
  if (!m_viewSet) zoomExtents();
  update();
}

bool Canvas::followDrawingChanges(AcDbDatabase& db) {
  if (m_scene.database() != &db || !m_scene.followChanges()) return false;
  m_frameValid = false;
  update();
  return true;
}

void Canvas::viewChanged(bool interactive) {
  m_viewSet = true;
  if (interactive) {
    m_settling = true;
    m_settle.start();
  }
  update();
}

void Canvas::zoomExtents() {
  QRectF box = m_scene.extents();
  double w = std::max(1, width()), h = std::max(1, height());
  if (box.isNull()) {
    m_center = QPointF(kEmptyDrawingSpan / 2.0, kEmptyDrawingSpan / 2.0);
    m_scale = std::min(w, h) / kEmptyDrawingSpan;
  } else {
    m_center = box.center();
    double bw = std::max(box.width(), 1e-9), bh = std::max(box.height(), 1e-9);
    m_scale = std::min(w * (1.0 - 2 * kExtentsMargin) / bw, h * (1.0 - 2 * kExtentsMargin) / bh);
    if (box.width() == 0.0 && box.height() == 0.0) m_scale = std::min(w, h) / kEmptyDrawingSpan;
  }
  m_scale = std::clamp(m_scale, kMinScale, kMaxScale);
  m_autoFit = true;
  viewChanged(false);
}

void Canvas::showView(QPointF center, double width, double height) {
  double w = std::max(1, this->width()), h = std::max(1, this->height());
  m_center = center;
  m_scale = std::min(w / std::max(width, 1e-9), h / std::max(height, 1e-9));
  m_scale = std::clamp(m_scale, kMinScale, kMaxScale);
  m_autoFit = false;
  viewChanged(false);
}

void Canvas::zoomAbout(QPointF screenPoint, double factor) {
  QPointF fixed = toWorld(screenPoint);
  m_scale = std::clamp(m_scale * factor, kMinScale, kMaxScale);
  // Move the centre so that `fixed` is under screenPoint again.
  QPointF now = toWorld(screenPoint);
  m_center += fixed - now;
  m_autoFit = false;
  viewChanged(false);
}

void Canvas::panBy(QPointF screenDelta) {
  m_center -= QPointF(screenDelta.x() / m_scale, -screenDelta.y() / m_scale);
  m_autoFit = false;
  viewChanged(false);
}

void Canvas::setRequest(Mode mode, std::optional<QPointF> base, std::vector<std::string> dragged, QPointF dragFrom,
                        std::vector<std::string> highlighted) {
  m_mode = mode;
  m_base = base;
  FrameMarks marks;
  m_dragged.clear();
  for (std::uint64_t handle : handleValues(dragged)) {
    marks.faint.insert(handle);
    if (const IndexedEntity* e = m_scene.find(handle)) m_dragged.push_back(e->id);
  }
  for (std::uint64_t handle : handleValues(highlighted)) marks.highlighted.insert(handle);
  if (marks.faint != m_marks.faint || marks.highlighted != m_marks.highlighted) {
    m_marks = std::move(marks);
    m_frameValid = false;
  }
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

void Canvas::renderFrame() {
  m_frameView = view();
  paintFrame(m_frame, m_frameView, m_scene, m_marks);
  m_frameValid = true;
}

void Canvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const View shown = view();
  bool current = m_frameValid && m_frameView.size == shown.size && m_frameView.center == shown.center &&
                 m_frameView.scale == shown.scale;
  if (!current && (!m_settling || m_frame.isNull())) {
    renderFrame();
    current = true;
  }
  if (current) {
    painter.drawImage(0, 0, m_frame);
  } else {
    // The view moves: the last frame moved and scaled to it until the new one is painted.
    painter.fillRect(rect(), kCanvasBackground);
    double factor = m_scale / m_frameView.scale;
    QPointF origin = toScreen(m_frameView.toWorld(QPointF(0, 0)));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(origin, QSizeF(m_frame.size()) * factor), m_frame);
  }
  painter.setRenderHint(QPainter::Antialiasing, true);
  paintDragged(painter);
  for (const ed::TemporaryVector& v : ed::temporaryVectors()) {
    painter.setPen(cosmeticPen(colorOfIndex(v.color), v.highlighted ? Qt::DashLine : Qt::SolidLine));
    painter.drawLine(toScreen({v.from[0], v.from[1]}), toScreen({v.to[0], v.to[1]}));
  }
  paintOverlay(painter);
}

void Canvas::paintDragged(QPainter& painter) const {
  if (m_mode != Mode::kDrag || !m_cursorInside || !m_scene.database() || m_dragged.empty()) return;
  QPointF w = toWorld(m_cursor);
  paintMoved(painter, view(), *m_scene.database(), m_dragged, QPointF(w.x() - m_dragFrom.x(), w.y() - m_dragFrom.y()));
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
    viewChanged(true);
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
  if (notches != 0.0) {
    zoomAbout(event->position(), std::pow(kWheelZoomPerNotch, notches));
    viewChanged(true);
  }
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
