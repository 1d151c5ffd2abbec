// The drawing's model space indexed for the canvas: each entity's box and colour from one
// pass of the drawing interface; the drawing's layers.
#include "drawing_scene.h"

#include <contura/db/changes.h>
#include <contura/db/world_draw.h>
#include <acdb.h>
#include <dbcolor.h>
#include <dbmain.h>
#include <dbsymtb.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>

#include "text_codec.h"

namespace contura::qt {
namespace {

// Entities changed since the tree was built are looked through one by one; past this many
// (or a sixteenth of the drawing) the tree is built again.
constexpr std::size_t kChangedBeforeRebuild = 4096;

// An entity's box (kept as float) grows by this share of its size and of its distance from
// the origin, so that rounding to float never cuts off an edge.
constexpr double kBoxFloatSlack = 1e-6;

// Closes an open object when it goes out of scope.
struct Closer {
  void operator()(AcDbObject* p) const {
    if (p) p->close();
  }
};
template <class T>
using Opened = std::unique_ptr<T, Closer>;

QColor rgbColor(Adesk::UInt32 colorref) {
  return QColor(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}

// The box and first colour of what an entity draws.
class BoxConsumer : public db::WorldDrawConsumer {
public:
  using WorldDrawConsumer::WorldDrawConsumer;

  // Starts a new entity.
  void reset() {
    m_x0 = m_y0 = INFINITY;
    m_x1 = m_y1 = -INFINITY;
    m_any = m_unbounded = false;
  }
  // The entity's entry; false when it drew nothing.
  bool fill(IndexedEntity& entry) const {
    if (!m_any) return false;
    entry.color = m_color;
    entry.unbounded = m_unbounded || m_x0 > m_x1;
    if (m_x0 <= m_x1) {
      double reach = std::max({m_x1 - m_x0, m_y1 - m_y0, std::fabs(m_x0), std::fabs(m_y0), std::fabs(m_x1), std::fabs(m_y1)});
      double grow = kBoxFloatSlack * reach;
      entry.box = Box{float(m_x0 - grow), float(m_y0 - grow), float(m_x1 + grow), float(m_y1 + grow)};
    }
    return true;
  }

protected:
  void onPolyline(const AcGePoint3d* points, std::size_t count, bool, const db::DrawStyle& style) override {
    seen(style);
    for (std::size_t i = 0; i < count; ++i) add(points[i]);
  }
  void onArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal, const AcGeVector3d& startVector,
             double sweep, const db::DrawStyle& style) override {
    seen(style);
    // p(t) = c + r (cos t u + sin t v): the ends, and where x or y turns within the sweep.
    AcGeVector3d u = startVector, v = normal.crossProduct(startVector);
    auto at = [&](double t) { return center + (u * std::cos(t) + v * std::sin(t)) * radius; };
    add(at(0.0));
    add(at(sweep));
    for (double t0 : {std::atan2(v.x, u.x), std::atan2(v.y, u.y)})
      for (double t = t0; t < t0 + 4.0 * M_PI; t += M_PI)
        if (t >= 0.0 && t <= sweep) add(at(t));
  }
  void onFill(const std::vector<std::vector<AcGePoint3d>>& loops, const db::DrawStyle& style) override {
    seen(style);
    for (const auto& loop : loops)
      for (const AcGePoint3d& p : loop) add(p);
  }
  void onText(const db::DrawnText& text, const db::DrawStyle& style) override {
    seen(style);
    AcGePoint3d corners[4];
    db::textCorners(text, corners);
    for (const AcGePoint3d& p : corners) add(p);
  }
  void onPoints(const AcGePoint3d* points, std::size_t count, const db::DrawStyle& style) override {
    onPolyline(points, count, false, style);
  }
  void onInfiniteLine(const AcGePoint3d&, const AcGeVector3d&, bool, const db::DrawStyle& style) override {
    seen(style);
    m_unbounded = true;
  }

private:
  void add(const AcGePoint3d& p) {
    m_x0 = std::min(m_x0, p.x);
    m_y0 = std::min(m_y0, p.y);
    m_x1 = std::max(m_x1, p.x);
    m_y1 = std::max(m_y1, p.y);
  }
  void seen(const db::DrawStyle& style) {
    if (!m_any) m_color = screenColor(style.color).rgba();
    m_any = true;
  }

  double m_x0 = INFINITY, m_y0 = INFINITY, m_x1 = -INFINITY, m_y1 = -INFINITY;
  QRgb m_color = 0;
  bool m_any = false;
  bool m_unbounded = false;
};

// The ids of model space in drawing order.
std::vector<AcDbObjectId> modelSpaceIds(AcDbDatabase& db) {
  std::vector<AcDbObjectId> ids;
  AcDbBlockTable* rawTable = nullptr;
  if (db.getBlockTable(rawTable, AcDb::kForRead) != Acad::eOk) return ids;
  Opened<AcDbBlockTable> table(rawTable);
  AcDbBlockTableRecord* rawSpace = nullptr;
  if (table->getAt(ACDB_MODEL_SPACE, rawSpace, AcDb::kForRead) != Acad::eOk) return ids;
  Opened<AcDbBlockTableRecord> space(rawSpace);
  table.reset();
  AcDbBlockTableRecordIterator* rawIt = nullptr;
  if (space->newIterator(rawIt) != Acad::eOk) return ids;
  std::unique_ptr<AcDbBlockTableRecordIterator> it(rawIt);
  for (; !it->done(); it->step()) {
    AcDbObjectId id;
    if (it->getEntityId(id) == Acad::eOk) ids.push_back(id);
  }
  return ids;
}

}  // namespace

QColor colorOfIndex(int index) {
  if (index < 1 || index > 255) return Qt::white;
  return rgbColor(AcCmEntityColor::lookUpRGB(static_cast<Adesk::UInt8>(index)));
}

QColor screenColor(const AcCmEntityColor& color) {
  if (color.isByColor()) return QColor(color.red(), color.green(), color.blue());
  if (color.isByACI()) return colorOfIndex(color.colorIndex());
  return Qt::white;
}

DrawingIndex::DrawingIndex(AcDbDatabase& db) : m_db(&db) {
  m_seenChanges = db::changeCount(db);
  BoxConsumer boxes(&db);
  for (AcDbObjectId id : modelSpaceIds(db)) {
    boxes.reset();
    IndexedEntity entry;
    if (!boxes.drawEntity(id) || !boxes.fill(entry)) continue;
    entry.id = id;
    entry.handle = id.handle().value();
    m_entities.push_back(entry);
  }
  index();
}

DrawingIndex::DrawingIndex(std::vector<IndexedEntity> entities) : m_entities(std::move(entities)) { index(); }

// Builds the tree, the handle list and the unbounded list over the entities still drawn.
void DrawingIndex::index() {
  if (!m_state.empty()) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_entities.size(); ++i)
      if (m_state[i] != kDropped) m_entities[kept++] = m_entities[i];
    m_entities.resize(kept);
  }
  m_state.assign(m_entities.size(), kInTree);
  m_changed.clear();
  m_unbounded.clear();
  m_byHandle.clear();
  m_extentsCache.reset();
  std::vector<Box> boxes;
  std::vector<std::uint32_t> positions;
  m_byHandle.reserve(m_entities.size());
  bool sorted = true;
  for (std::uint32_t i = 0; i < m_entities.size(); ++i) {
    const IndexedEntity& e = m_entities[i];
    sorted = sorted && (m_byHandle.empty() || m_byHandle.back().first < e.handle);
    m_byHandle.emplace_back(e.handle, i);
    if (e.unbounded) {
      m_unbounded.push_back(i);
      continue;
    }
    boxes.push_back(e.box);
    positions.push_back(i);
  }
  if (!sorted) std::sort(m_byHandle.begin(), m_byHandle.end());
  m_tree.build(boxes);
  m_treeItems = std::move(positions);
}

QRectF DrawingIndex::extents() const {
  if (m_extentsCache) return *m_extentsCache;
  Box all;
  bool any = false;
  for (std::size_t i = 0; i < m_entities.size(); ++i) {
    const IndexedEntity& e = m_entities[i];
    if (m_state[i] == kDropped || e.unbounded) continue;
    if (any) all.include(e.box);
    else all = e.box;
    any = true;
  }
  m_extentsCache = any ? QRectF(QPointF(all.x0, all.y0), QPointF(all.x1, all.y1)) : QRectF();
  return *m_extentsCache;
}

const IndexedEntity* DrawingIndex::find(std::uint64_t handle) const {
  auto it = std::lower_bound(m_byHandle.begin(), m_byHandle.end(), std::pair<std::uint64_t, std::uint32_t>(handle, 0));
  if (it == m_byHandle.end() || it->first != handle || m_state[it->second] == kDropped) return nullptr;
  return &m_entities[it->second];
}

namespace {

enum class ChangeKind { kModelSpaceEntity, kUnseen, kLook };

// What a changed object is to the picture of model space: one of its entities (erased ones
// too), nothing that shows (dictionaries, data records, tables, model space's own record),
// or something that changes how entities look (layers, styles, blocks and their entities).
ChangeKind kindOfChange(AcDbObjectId id, AcDbObjectId modelSpace) {
  if (id == modelSpace) return ChangeKind::kUnseen;
  AcDbObject* raw = nullptr;
  if (acdbOpenAcDbObject(raw, id, AcDb::kForRead, true) != Acad::eOk) return ChangeKind::kLook;
  Opened<AcDbObject> object(raw);
  if (object->isKindOf(AcDbEntity::desc()))
    return object->ownerId() == modelSpace ? ChangeKind::kModelSpaceEntity : ChangeKind::kLook;
  // A table itself only lists its records (a new record is a change of its own).
  return object->isKindOf(AcDbSymbolTableRecord::desc()) ? ChangeKind::kLook : ChangeKind::kUnseen;
}

AcDbObjectId modelSpaceId(AcDbDatabase& db) {
  AcDbBlockTable* rawTable = nullptr;
  if (db.getBlockTable(rawTable, AcDb::kForRead) != Acad::eOk) return {};
  Opened<AcDbBlockTable> table(rawTable);
  AcDbObjectId id;
  table->getAt(ACDB_MODEL_SPACE, id);
  return id;
}

}  // namespace

bool DrawingIndex::followChanges() {
  if (!m_db) return false;
  std::vector<AcDbObjectId> changed;
  if (!db::changedSince(*m_db, m_seenChanges, changed)) return false;
  const AcDbObjectId modelSpace = modelSpaceId(*m_db);
  std::vector<AcDbObjectId> entities;
  for (AcDbObjectId id : changed) {
    switch (kindOfChange(id, modelSpace)) {
      case ChangeKind::kLook: return false;
      case ChangeKind::kModelSpaceEntity: entities.push_back(id); break;
      case ChangeKind::kUnseen: break;
    }
  }
  // New entities come after the ones already known, in the order they were made, so that
  // the drawing order stays model space's.
  std::sort(entities.begin(), entities.end(),
            [](AcDbObjectId a, AcDbObjectId b) { return a.handle().value() < b.handle().value(); });
  for (AcDbObjectId id : entities) rebox(id);
  m_seenChanges = db::changeCount(*m_db);
  m_extentsCache.reset();
  if (m_changed.size() > std::max(kChangedBeforeRebuild, m_entities.size() / 16)) index();
  return true;
}

void DrawingIndex::rebox(AcDbObjectId id) {
  BoxConsumer boxes(m_db);
  IndexedEntity entry;
  const bool drawn = boxes.drawEntity(id) && boxes.fill(entry);
  entry.id = id;
  entry.handle = id.handle().value();
  auto at = std::lower_bound(m_byHandle.begin(), m_byHandle.end(), std::pair<std::uint64_t, std::uint32_t>(entry.handle, 0));
  const bool known = at != m_byHandle.end() && at->first == entry.handle;
  if (!drawn) {
    if (known) m_state[at->second] = kDropped;
    return;
  }
  if (!known) {
    const auto position = static_cast<std::uint32_t>(m_entities.size());
    m_entities.push_back(entry);
    m_state.push_back(kChanged);
    m_byHandle.insert(at, {entry.handle, position});  // new handles are the largest: at the end
    m_changed.push_back(position);
    return;
  }
  const std::uint32_t position = at->second;
  m_entities[position] = entry;
  if (m_state[position] == kChanged) return;
  // In the changed list once: an entity dropped after a change (and now drawn again) is there.
  if (m_state[position] == kInTree || std::find(m_changed.begin(), m_changed.end(), position) == m_changed.end())
    m_changed.push_back(position);
  m_state[position] = kChanged;
}

std::vector<std::uint64_t> handleValues(const std::vector<std::string>& handles) {
  std::vector<std::uint64_t> out;
  out.reserve(handles.size());
  for (const std::string& text : handles) {
    AcDbHandle handle(text.c_str());
    if (!handle.isNull()) out.push_back(handle.value());
  }
  return out;
}

std::vector<LayerInfo> layersOf(AcDbDatabase& db) {
  std::vector<LayerInfo> out;
  AcDbLayerTable* rawTable = nullptr;
  if (db.getLayerTable(rawTable, AcDb::kForRead) != Acad::eOk) return out;
  Opened<AcDbLayerTable> table(rawTable);
  AcDbLayerTableIterator* rawIt = nullptr;
  if (table->newIterator(rawIt) != Acad::eOk) return out;
  std::unique_ptr<AcDbLayerTableIterator> it(rawIt);
  for (; !it->done(); it->step()) {
    AcDbLayerTableRecord* rawLayer = nullptr;
    if (it->getRecord(rawLayer, AcDb::kForRead) != Acad::eOk) continue;
    Opened<AcDbLayerTableRecord> layer(rawLayer);
    LayerInfo info;
    const ACHAR* name = nullptr;
    if (layer->getName(name) == Acad::eOk && name) info.name = fromCp936(name);
    AcCmColor c = layer->color();
    info.colorIndex = c.colorIndex();
    info.color = c.isByColor() ? QColor(c.red(), c.green(), c.blue()) : colorOfIndex(c.colorIndex());
    info.on = !layer->isOff();
    info.frozen = layer->isFrozen();
    out.push_back(info);
  }
  return out;
}

bool setLayerState(AcDbDatabase& db, const QString& name, bool on, bool frozen) {
  AcDbLayerTable* rawTable = nullptr;
  if (db.getLayerTable(rawTable, AcDb::kForRead) != Acad::eOk) return false;
  Opened<AcDbLayerTable> table(rawTable);
  AcDbLayerTableRecord* rawLayer = nullptr;
  if (table->getAt(toCp936(name).c_str(), rawLayer, AcDb::kForWrite) != Acad::eOk) return false;
  Opened<AcDbLayerTableRecord> layer(rawLayer);
  if (layer->isOff() == !on && layer->isFrozen() == frozen) return true;
  return layer->setIsOff(!on) == Acad::eOk && layer->setIsFrozen(frozen) == Acad::eOk;
}

}  // namespace contura::qt
