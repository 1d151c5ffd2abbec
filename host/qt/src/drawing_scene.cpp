// The drawing's model space indexed for the canvas: each entity's box and colour from one
// pass of the drawing interface; the drawing's layers.
#include "drawing_scene.h"

#include <contura/db/world_draw.h>
#include <acdb.h>
#include <dbcolor.h>
#include <dbmain.h>
#include <dbsymtb.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "text_codec.h"

namespace contura::qt {
namespace {

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

void DrawingIndex::index() {
  std::vector<Box> boxes;
  std::vector<std::uint32_t> positions;
  Box all;
  bool any = false;
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
    if (any) all.include(e.box);
    else all = e.box;
    any = true;
    boxes.push_back(e.box);
    positions.push_back(i);
  }
  if (any) m_extents = QRectF(QPointF(all.x0, all.y0), QPointF(all.x1, all.y1));
  if (!sorted) std::sort(m_byHandle.begin(), m_byHandle.end());
  m_tree.build(boxes);
  m_treeItems = std::move(positions);
}

QRectF DrawingIndex::extents() const { return m_extents; }

const IndexedEntity* DrawingIndex::find(std::uint64_t handle) const {
  auto it = std::lower_bound(m_byHandle.begin(), m_byHandle.end(), std::pair<std::uint64_t, std::uint32_t>(handle, 0));
  return it == m_byHandle.end() || it->first != handle ? nullptr : &m_entities[it->second];
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
