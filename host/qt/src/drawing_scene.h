// What the canvas draws of a drawing. An entity is drawn on demand, straight from the
// database, as paths, fills, texts and point marks in world coordinates handed to a sink, in
// its colour (by layer, by block, index, true colour), with the entities of layers that are
// off or frozen left out. The canvas keeps only an index of model space (each entity's id,
// handle, world box and colour) and draws what the view shows; `buildScene` collects every
// entity's primitives at once for checks of what is drawn. Also the drawing's layers.
#pragma once
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <dbid.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "spatial_index.h"

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

// Receives the primitives of the entities being drawn, in world coordinates.
class PrimitiveSink {
public:
  virtual ~PrimitiveSink() = default;
  virtual void path(const std::vector<QPointF>& points, bool closed, bool filled, double width, const QColor& color) = 0;
  virtual void text(const SceneText& text) = 0;
  virtual void point(QPointF at, const QColor& color) = 0;
  // The entity reaches infinitely far (a ray or a construction line).
  virtual void unbounded() {}
};

// Draws entities of one drawing into sinks. It reads the layer table when made: make a new
// one after layers change.
class EntityDrawer {
public:
  explicit EntityDrawer(AcDbDatabase& db);
  ~EntityDrawer();
  EntityDrawer(const EntityDrawer&) = delete;
  EntityDrawer& operator=(const EntityDrawer&) = delete;
  // False when the entity cannot be opened for read now (open for write by a command).
  // Curves are cut finely enough for `unitsPerPixel` (0: as finely as for any zoom).
  bool draw(AcDbObjectId id, PrimitiveSink& sink, double unitsPerPixel = 0.0) const;
  // Draws coarsely, for the entity's box only.
  bool box(AcDbObjectId id, PrimitiveSink& sink) const;

private:
  class Impl;
  std::unique_ptr<Impl> m_impl;
};

// Every entity's primitives collected. Entities that cannot be read now (open for write by
// a command) are left out of this picture.
Scene buildScene(AcDbDatabase& db);

// One entity of model space in the canvas's index.
struct IndexedEntity {
  AcDbObjectId id;
  std::uint64_t handle = 0;
  Box box;            // world box of what it draws (texts by their estimated box)
  QRgb color = 0;     // the colour of its first primitive: what a sub-pixel entity shows
  bool unbounded = false;  // rays and construction lines: drawn always, outside the extents
};

// The index the canvas draws from: which entities model space holds and where they lie.
class DrawingIndex {
public:
  DrawingIndex() = default;
  // Indexes model space of `db`. The drawing must outlive the index (or setEntities()).
  explicit DrawingIndex(AcDbDatabase& db);
  // An index of given boxes with no drawing behind them (nothing is drawn, the view fits them).
  explicit DrawingIndex(std::vector<IndexedEntity> entities);

  AcDbDatabase* database() const { return m_db; }
  const std::vector<IndexedEntity>& entities() const { return m_entities; }
  std::size_t size() const { return m_entities.size(); }
  // The box of every bounded entity; an empty QRectF for a drawing without any.
  QRectF extents() const;
  const IndexedEntity* find(std::uint64_t handle) const;
  // Calls visit(entity) for every bounded entity whose box meets `world`, then for every
  // unbounded one.
  template <class Visit>
  void query(const QRectF& world, Visit&& visit) const {
    Box area{float(world.left()), float(world.top()), float(world.right()), float(world.bottom())};
    m_tree.query(area, [&](std::uint32_t i) { visit(m_entities[m_treeItems[i]]); });
    for (std::uint32_t i : m_unbounded) visit(m_entities[i]);
  }

private:
  void index();

  AcDbDatabase* m_db = nullptr;
  std::vector<IndexedEntity> m_entities;
  std::vector<std::uint32_t> m_unbounded;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> m_byHandle;  // sorted by handle
  SpatialIndex m_tree;  // over the bounded entities: item i is m_entities[m_treeItems[i]]
  std::vector<std::uint32_t> m_treeItems;
  QRectF m_extents;
};

// Handles as the editor writes them (upper-case hexadecimal) to index handles; text that is
// not a handle is left out.
std::vector<std::uint64_t> handleValues(const std::vector<std::string>& handles);

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
