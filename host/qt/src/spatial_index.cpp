// Building the packed R-tree: sort-tile-recursive leaves, then box after box upwards.
#include "spatial_index.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace contura::qt {

void Box::include(const Box& o) {
  x0 = std::min(x0, o.x0);
  y0 = std::min(y0, o.y0);
  x1 = std::max(x1, o.x1);
  y1 = std::max(y1, o.y1);
}

void SpatialIndex::build(const std::vector<Box>& boxes) {
  m_levels.clear();
  m_items.resize(boxes.size());
  std::iota(m_items.begin(), m_items.end(), 0u);
  if (boxes.empty()) {
    m_items.clear();
    return;
  }
  auto centerX = [&](std::uint32_t i) { return boxes[i].x0 + boxes[i].x1; };
  auto centerY = [&](std::uint32_t i) { return boxes[i].y0 + boxes[i].y1; };
  // Vertical slices of about sqrt(leaves) leaves each, then each slice sorted along y.
  std::size_t leaves = (boxes.size() + kFanout - 1) / kFanout;
  std::size_t perSlice = kFanout * static_cast<std::size_t>(std::ceil(std::sqrt(double(leaves))));
  std::sort(m_items.begin(), m_items.end(), [&](auto a, auto b) { return centerX(a) < centerX(b); });
  for (std::size_t s = 0; s < m_items.size(); s += perSlice) {
    auto end = m_items.begin() + static_cast<std::ptrdiff_t>(std::min(m_items.size(), s + perSlice));
    std::sort(m_items.begin() + static_cast<std::ptrdiff_t>(s), end,
              [&](auto a, auto b) { return centerY(a) < centerY(b); });
  }
  std::vector<Box>& level0 = m_levels.emplace_back(boxes.size());
  for (std::size_t i = 0; i < m_items.size(); ++i) level0[i] = boxes[m_items[i]];
  while (m_levels.back().size() > kFanout) {
    const std::vector<Box>& below = m_levels.back();
    std::vector<Box> above((below.size() + kFanout - 1) / kFanout);
    for (std::size_t i = 0; i < below.size(); ++i) {
      if (i % kFanout == 0) above[i / kFanout] = below[i];
      else above[i / kFanout].include(below[i]);
    }
    m_levels.push_back(std::move(above));
  }
}

}  // namespace contura::qt
