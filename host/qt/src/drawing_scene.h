// What the canvas keeps of a drawing: an index of model space (each entity's id, handle,
// world box and colour, from one pass of the drawing interface), not its geometry; the
// entities the view shows are drawn straight from the database. Also the drawing's layers.
#pragma once
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <dbcolor.h>
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

// The screen colour of ACI index 1..255 (7 is white: the canvas is dark).
QColor colorOfIndex(int index);
// The screen colour of a resolved colour (true colour or index; anything else is white).
QColor screenColor(const AcCmEntityColor& color);

// One entity of model space in the canvas's index.
struct IndexedEntity {
  AcDbObjectId id;
  std::uint64_t handle = 0;
  Box box;            // world box of what it draws (texts by their box)
  QRgb color = 0;     // the colour of its first primitive: what a sub-pixel entity shows
  bool unbounded = false;  // rays and construction lines: drawn always, outside the extents
};

// The index the canvas draws from: which entities model space holds and where they lie.
class DrawingIndex {
public:
  DrawingIndex() = default;
  // Indexes model space of `db`, which must outlive the index.
  explicit DrawingIndex(AcDbDatabase& db);
  // An index of given boxes with no drawing behind them (nothing is drawn, the view fits them).
  explicit DrawingIndex(std::vector<IndexedEntity> entities);

  AcDbDatabase* database() const { return m_db; }
  // Follows what the database changed since the index was made or last followed it: changed
  // entities of model space are boxed again (in place, keeping their drawing order), new ones
  // are added, erased ones dropped; other objects that do not show (dictionaries, records
  // of data) are passed over. False, with the index as it was, when a change reaches what
  // decides how many entities look (layers, styles, blocks, entities of blocks) or lies
  // beyond the database's remembered history: the caller then makes a new index.
  bool followChanges();
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
    m_tree.query(area, [&](std::uint32_t i) {
      if (m_state[m_treeItems[i]] == kInTree) visit(m_entities[m_treeItems[i]]);
    });
    for (std::uint32_t i : m_unbounded)
      if (m_state[i] == kInTree) visit(m_entities[i]);
    for (std::uint32_t i : m_changed) {
      const IndexedEntity& e = m_entities[i];
      if (m_state[i] == kChanged && (e.unbounded || e.box.intersects(area))) visit(e);
    }
  }

private:
  // Where an entity is found: in the tree (or the unbounded list), in the list of entities
  // changed since the tree was built (its tree entry, if any, is stale), or nowhere (erased).
  enum State : std::uint8_t { kInTree, kChanged, kDropped };

  void index();
  // Boxes the entity again (or adds it); false when it is no longer drawn.
  void rebox(AcDbObjectId id);

  std::uint64_t m_seenChanges = 0;  // the database's change count the index has followed
  std::vector<State> m_state;       // by entity
  std::vector<std::uint32_t> m_changed;
  mutable std::optional<QRectF> m_extentsCache;
  AcDbDatabase* m_db = nullptr;
  std::vector<IndexedEntity> m_entities;
  std::vector<std::uint32_t> m_unbounded;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> m_byHandle;  // sorted by handle
  SpatialIndex m_tree;  // over the bounded entities: item i is m_entities[m_treeItems[i]]
  std::vector<std::uint32_t> m_treeItems;
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
