// The toolkit's grid of boxes and its set of points apart by a tolerance.
#include "DwgSpatialIndex.h"

#include <algorithm>
#include <cmath>

namespace dwgtoolkit {

namespace {

// No box spans more than this many cells a side: a huge box then costs a little more per
// query instead of filling the map.
const long long kMaxCellsPerSide = 64;

bool isEmptyBox(const AcDbExtents& b) {
  return b.minPoint().x > b.maxPoint().x || b.minPoint().y > b.maxPoint().y;
}

}  // namespace

BoxGrid::BoxGrid(const std::vector<AcDbExtents>& boxes, double margin)
    : m_boxes(boxes), m_margin(margin), m_seen(boxes.size(), 0) {
  double sum = 0.0;
  int count = 0;
  for (const AcDbExtents& b : boxes) {
    if (isEmptyBox(b)) continue;
    sum += std::max(b.maxPoint().x - b.minPoint().x, b.maxPoint().y - b.minPoint().y);
    count++;
  }
  m_cell = count > 0 ? std::max(sum / count + 2.0 * margin, 1e-6) : 1.0;
  for (int i = 0; i < static_cast<int>(boxes.size()); i++) {
    const AcDbExtents& b = boxes[i];
    if (isEmptyBox(b)) continue;
    long long x0 = cellOf(b.minPoint().x - margin), x1 = cellOf(b.maxPoint().x + margin);
    long long y0 = cellOf(b.minPoint().y - margin), y1 = cellOf(b.maxPoint().y + margin);
    x1 = std::min(x1, x0 + kMaxCellsPerSide);
    y1 = std::min(y1, y0 + kMaxCellsPerSide);
    for (long long cx = x0; cx <= x1; cx++)
      for (long long cy = y0; cy <= y1; cy++) m_cells[key(cx, cy)].push_back(i);
  }
}

long long BoxGrid::cellOf(double v) const { return static_cast<long long>(std::floor(v / m_cell)); }

void BoxGrid::query(const AcDbExtents& box, std::vector<int>& found) const {
  found.clear();
  if (isEmptyBox(box)) return;
  if (++m_stamp == 0) {
    std::fill(m_seen.begin(), m_seen.end(), 0);
    m_stamp = 1;
  }
  const double lox = box.minPoint().x - m_margin, hix = box.maxPoint().x + m_margin;
  const double loy = box.minPoint().y - m_margin, hiy = box.maxPoint().y + m_margin;
  long long x0 = cellOf(lox), x1 = cellOf(hix), y0 = cellOf(loy), y1 = cellOf(hiy);
  auto overlaps = [&](int i) {
    const AcDbExtents& b = m_boxes[i];
    return b.minPoint().x <= hix && b.maxPoint().x >= lox && b.minPoint().y <= hiy && b.maxPoint().y >= loy;
  };
  if ((x1 - x0 + 1) * (y1 - y0 + 1) > static_cast<long long>(m_boxes.size())) {
    // A query larger than the drawing: looking at every box is cheaper than every cell.
    for (int i = 0; i < static_cast<int>(m_boxes.size()); i++)
      if (!isEmptyBox(m_boxes[i]) && overlaps(i)) found.push_back(i);
    return;
  }
  for (long long cx = x0; cx <= x1; cx++) {
    for (long long cy = y0; cy <= y1; cy++) {
      auto it = m_cells.find(key(cx, cy));
      if (it == m_cells.end()) continue;
      for (int i : it->second) {
        if (m_seen[i] == m_stamp) continue;
        m_seen[i] = m_stamp;
        if (overlaps(i)) found.push_back(i);
      }
    }
  }
  std::sort(found.begin(), found.end());
}

bool NearPointSet::insertIfNew(const AcGePoint3d& p) {
  const double cell = m_tol > 0.0 ? m_tol : 1e-9;
  long long cx = static_cast<long long>(std::floor(p.x / cell)), cy = static_cast<long long>(std::floor(p.y / cell));
  for (long long dx = -1; dx <= 1; dx++) {
    for (long long dy = -1; dy <= 1; dy++) {
      auto it = m_cells.find(key(cx + dx, cy + dy));
      if (it == m_cells.end()) continue;
      for (const AcGePoint3d& q : it->second)
        if (q.distanceTo(p) <= m_tol) return false;
    }
  }
  m_cells[key(cx, cy)].push_back(p);
  return true;
}

void EndPointGrid::add(const AcGePoint3d& p, int index) {
  m_cells[key(static_cast<long long>(std::floor(p.x / m_cell)), static_cast<long long>(std::floor(p.y / m_cell)))]
      .push_back(End{p, index});
}

void EndPointGrid::query(const AcGePoint3d& p, double tol, std::vector<int>& found) const {
  found.clear();
  if (tol > m_cell) return;
  long long cx = static_cast<long long>(std::floor(p.x / m_cell)), cy = static_cast<long long>(std::floor(p.y / m_cell));
  for (long long dx = -1; dx <= 1; dx++) {
    for (long long dy = -1; dy <= 1; dy++) {
      auto it = m_cells.find(key(cx + dx, cy + dy));
      if (it == m_cells.end()) continue;
      for (const End& e : it->second)
        if (e.p.distanceTo(p) <= tol) found.push_back(e.index);
    }
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
}

}  // namespace dwgtoolkit
