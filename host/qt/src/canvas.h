// The drawing canvas: the drawing in a dark model space, panned with the middle button and
// zoomed with the wheel about the cursor. The last frame is kept as a picture: a mouse move
// paints it back with the overlay over it; while the wheel or the middle button changes the
// view, the old frame is shown moved and scaled at once and the new one is painted when the
// view has settled; the editor's requests answered with the mouse
// (points, entity picks, selection windows, drags) as the same answer lines a script gives;
// rubber band, selection window, dragged entities and temporary vectors drawn live.
#pragma once
#include <QImage>
#include <QPointF>
#include <QTimer>
#include <QWidget>

#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "drawing_scene.h"
#include "frame_painter.h"

namespace contura::qt {

class Canvas : public QWidget {
  Q_OBJECT

public:
  enum class Mode { kIdle, kPoint, kEntity, kSelection, kDrag };

  explicit Canvas(QWidget* parent = nullptr);

  // A new index of the drawing; the view stays where it is.
  void setScene(DrawingIndex scene);
  // Shows what `db` changed since the scene was made from it; false (nothing done) when the
  // scene is of another drawing or cannot follow the changes: then a new scene is needed.
  bool followDrawingChanges(AcDbDatabase& db);
  const DrawingIndex& scene() const { return m_scene; }
  // Fits the drawing's extents into the canvas (a new view when the drawing is empty).
  void zoomExtents();
  // Shows the world window of this centre and size (the whole of it, centred), as the
  // editor's current view says.
  void showView(QPointF center, double width, double height);
  // Zooms by `factor` keeping the world point under `screenPoint` where it is.
  void zoomAbout(QPointF screenPoint, double factor);
  void panBy(QPointF screenDelta);

  // The request being answered: what a click means, the rubber band's base point, the
  // entities that follow the cursor in a drag (moved by the cursor's offset from `dragFrom`),
  // the entities of the selection being built (drawn highlighted); entities by handle.
  void setRequest(Mode mode, std::optional<QPointF> base = std::nullopt, std::vector<std::string> dragged = {},
                  QPointF dragFrom = {}, std::vector<std::string> highlighted = {});
  Mode mode() const { return m_mode; }

  // Half the side of the pick square, in pixels.
  void setPickBoxPixels(double pixels) { m_pickBoxPixels = pixels; }
  double pickBoxPixels() const { return m_pickBoxPixels; }

  QPointF toWorld(QPointF screen) const;
  QPointF toScreen(QPointF world) const;
  double worldPerPixel() const { return 1.0 / m_scale; }
  QPointF viewCenter() const { return m_center; }
  View view() const { return View{m_center, m_scale, size()}; }
  // The last complete frame (the drawing without the overlay).
  const QImage& frame() const { return m_frame; }
  // A world point as an answer line ("x,y"), with as many decimals as a pixel is worth.
  QString pointText(QPointF world) const;

signals:
  // An answer made with the mouse: "x,y", "w x1,y1 x2,y2", "c x1,y1 x2,y2", "" (right button).
  void answered(const QString& line);
  void cursorMoved(QPointF world);

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void paintOverlay(class QPainter& painter) const;
  void paintDragged(class QPainter& painter) const;
  void viewChanged(bool interactive);
  void renderFrame();
  void leftClick(QPointF screen);
  void windowSelection(QPointF from, QPointF to);

  DrawingIndex m_scene;
  QImage m_frame;
  View m_frameView;       // the view m_frame shows
  bool m_frameValid = false;  // m_frame shows the index and marks as they are (for m_frameView)
  bool m_settling = false;  // the view is changing under the wheel or the middle button
  QTimer m_settle;
  FrameMarks m_marks;
  QPointF m_center{0.0, 0.0};  // world point at the middle of the canvas
  double m_scale = 1.0;        // pixels per drawing unit
  bool m_viewSet = false;
  bool m_autoFit = true;  // the extents are fitted again when the canvas is resized
  Mode m_mode = Mode::kIdle;
  std::optional<QPointF> m_base;
  std::vector<AcDbObjectId> m_dragged;
  QPointF m_dragFrom;
  double m_pickBoxPixels;
  QPointF m_cursor;  // screen
  bool m_cursorInside = false;
  std::optional<QPointF> m_pressAt;  // left button down, screen
  std::optional<QPointF> m_panFrom;  // middle button down, screen
};

}  // namespace contura::qt
