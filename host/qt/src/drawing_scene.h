// What the canvas draws of a drawing: every model-space entity as paths, fills, texts and
// point marks in world coordinates, in its colour (by layer, by block, index, true colour),
// with the entities of layers that are off or frozen left out; and the drawing's layers.
#pragma once
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class AcDbDatabase;

namespace contura::qt {

// A line through points (world coordinates), or a filled area.
struct ScenePath {
  std::vector<QPointF> points;
  bool closed = false;
  bool filled = false;
  double width = 0.0;  // drawing units; 0 is the thinnest line the screen shows
  QColor color;
};

// A single line of text. `anchor` is the point the alignment refers to; the painter places
// the text's box against it with the font's real width.
struct SceneText {
  enum class HAlign { kLeft, kCenter, kRight };
  enum class VAlign { kBaseline, kBottom, kMiddle, kTop };
  QPointF anchor;
  double height = 0.0;    // drawing units
  double rotation = 0.0;  // radians, counter-clockwise
  double widthFactor = 1.0;
  HAlign hAlign = HAlign::kLeft;
  VAlign vAlign = VAlign::kBaseline;
  QString text;
  QColor color;
};

// One entity of model space as drawn (a block reference brings its block's contents).
struct SceneItem {
  std::string handle;  // upper-case hexadecimal
  std::vector<ScenePath> paths;
  std::vector<SceneText> texts;
  std::vector<QPointF> points;  // point entities: a mark of fixed size on the screen
  QColor pointColor;
  QRectF bounds;  // world box (y up: top() is the smallest y), when `bounded`
  bool bounded = false;
  bool unbounded = false;  // rays and construction lines: left out of the extents
};

struct Scene {
  std::vector<SceneItem> items;
  // The box of every bounded item (a point-sized box for a single point); an empty QRectF
  // for a drawing without any.
  QRectF extents() const;
  const SceneItem* find(const std::string& handle) const;
};

// The screen colour of ACI index 1..255 (7 is white: the canvas is dark).
QColor colorOfIndex(int index);

// The drawing as the canvas shows it. Entities that cannot be read now (open for write by a
// command) are left out of this picture.
Scene buildScene(AcDbDatabase& db);

struct LayerInfo {
  QString name;
  QColor color;
  int colorIndex = 7;
  bool on = true;
  bool frozen = false;
};

// The drawing's layers in table order.
std::vector<LayerInfo> layersOf(AcDbDatabase& db);
// Switches a layer on or off, freezes or thaws it. False when the layer cannot be found or
// changed (it is left as it was).
bool setLayerState(AcDbDatabase& db, const QString& name, bool on, bool frozen);

}  // namespace contura::qt
