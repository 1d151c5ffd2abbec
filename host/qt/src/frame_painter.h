// Painting one frame of the drawing: the entities the view shows, found through the index,
// each drawing itself through the drawing interface into a painter consumer. Entities a few pixels small are their
// box's pixels in their colour (one pixel under a pixel), taken from the index without
// opening them; pixels an earlier entity coloured are left as they are. Lines are batched: one batch per colour and pen,
// drawn once at the end straight into the picture's pixels (dashed ones stroked as a path),
// so a frame changes the painter's state a few times, not once per entity. Fills (even-odd: islands stay open; patterned hatches lightly) and legible texts,
// their glyphs fitted into the box the drawing gives them, are painted as they come; texts
// too small to read are a line along their box's baseline.
#pragma once
#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "drawing_scene.h"

class QPainter;

namespace contura::qt {

// Where the world is shown: the world point at the middle of the picture and the pixels per
// drawing unit (y grows upwards in the world, downwards on the screen).
struct View {
  QPointF center;
  double scale = 1.0;
  QSize size;

  QPointF toScreen(QPointF w) const {
    return QPointF(size.width() / 2.0 + (w.x() - center.x()) * scale, size.height() / 2.0 - (w.y() - center.y()) * scale);
  }
  QPointF toWorld(QPointF s) const {
    return QPointF(center.x() + (s.x() - size.width() / 2.0) / scale, center.y() - (s.y() - size.height() / 2.0) / scale);
  }
  // The world box the picture covers (top() the smallest y).
  QRectF worldRect() const;
};

using HandleSet = std::unordered_set<std::uint64_t>;

// How entities stand out in a frame.
struct FrameMarks {
  HandleSet highlighted;  // in the selection being built: dashed and lighter
  HandleSet faint;        // being dragged: their old place is shown faint
};

struct FrameCounts {
  std::size_t drawn = 0;   // entities opened and drawn
  std::size_t pixels = 0;  // small entities shown as their box's pixels
};

extern const QColor kCanvasBackground;

// Paints the frame of `view` into `image` (resized to the view, background first).
// Entities are drawn from the index's drawing (none without one).
FrameCounts paintFrame(QImage& image, const View& view, const DrawingIndex& index, const FrameMarks& marks);

// Paints the given entities moved by `offset` (world units) over what the painter holds.
void paintMoved(QPainter& painter, const View& view, AcDbDatabase& db, const std::vector<AcDbObjectId>& ids,
                QPointF offset);

}  // namespace contura::qt
