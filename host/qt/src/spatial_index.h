// A packed R-tree over boxes: the canvas finds the entities in view through it.
//
// The boxes are sorted once into leaves of kFanout neighbours (sort-tile-recursive: slices
// along x, each sorted along y) and every level above holds the box of kFanout children.
// Building costs one sort; the tree is rebuilt whole when the boxes change (an edit changes
// few boxes, but rebuilding 200,000 of them takes milliseconds, far less than reading them).
// Chosen over a uniform grid because drawings mix a few long entities with many small ones
// in clusters, where a grid's cells are either too big or repeat the long ones many times.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

namespace contura::qt {

struct Box {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // world, y up; x0 <= x1, y0 <= y1
  bool intersects(const Box& o) const { return x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1; }
  bool contains(const Box& o) const { return x0 <= o.x0 && o.x1 <= x1 && y0 <= o.y0 && o.y1 <= y1; }
  void include(const Box& o);
};

class SpatialIndex {
public:
  static constexpr std::uint32_t kFanout = 16;

  // Indexes boxes[i] as item i.
  void build(const std::vector<Box>& boxes);
  // Calls visit(item) for every item whose box meets `area`, in no particular order.
  template <class Visit>
  void query(const Box& area, Visit&& visit) const {
    if (m_levels.empty()) return;
    queryNode(area, static_cast<std::uint32_t>(m_levels.size() - 1), 0, visit);
  }
  std::size_t size() const { return m_items.size(); }

private:
  template <class Visit>
  void queryNode(const Box& area, std::uint32_t level, std::uint32_t node, Visit& visit) const {
    const std::vector<Box>& boxes = m_levels[level];
    std::uint32_t first = node * kFanout;
    std::uint32_t last = std::min<std::uint32_t>(first + kFanout, static_cast<std::uint32_t>(boxes.size()));
    for (std::uint32_t i = first; i < last; ++i) {
      if (!area.intersects(boxes[i])) continue;
      if (level == 0) visit(m_items[i]);
      else queryNode(area, level - 1, i, visit);
    }
  }

  // m_levels[0][i] is the box of item m_items[i]; m_levels[k][i] is the box of children
  // i*kFanout .. i*kFanout+kFanout-1 of level k-1. The top level has at most kFanout boxes.
  std::vector<std::vector<Box>> m_levels;
  std::vector<std::uint32_t> m_items;
};

}  // namespace contura::qt
