// Finding candidates fast in the toolkit's array members. Their definitions walk every pair
// or rescan the output from the front; these indexes give the same answers without the
// quadratic work, so each member keeps the order its definition implies by taking the
// candidates in increasing index.
#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include <dbextents.h>
#include <gepnt3d.h>

namespace dwgtoolkit {

// A uniform grid over boxes in plan (x, y). The cell size follows the boxes' typical size, so
// each box falls into a few cells.
class BoxGrid {
public:
  // Boxes are indexed 0..n-1 in the order given; a box may be empty (never found).
  explicit BoxGrid(const std::vector<AcDbExtents>& boxes, double margin);
  // Indexes of the boxes that overlap `box` grown by the margin, in increasing order, each once.
  void query(const AcDbExtents& box, std::vector<int>& found) const;

private:
  std::int64_t key(long long cx, long long cy) const { return cx * 73856093LL ^ cy * 19349663LL; }
  long long cellOf(double v) const;
  const std::vector<AcDbExtents>& m_boxes;
  double m_margin;
  double m_cell = 1.0;
  std::unordered_map<std::int64_t, std::vector<int>> m_cells;
  mutable std::vector<unsigned> m_seen;  // last query stamp of each box
  mutable unsigned m_stamp = 0;
};

// Points kept apart by more than a tolerance: a point is new unless one already held lies
// within the tolerance (inclusive) of it, the rule of the de-duplicating append.
class NearPointSet {
public:
  explicit NearPointSet(double tol) : m_tol(tol) {}
  // True (and the point held) when no held point lies within the tolerance.
  bool insertIfNew(const AcGePoint3d& p);

private:
  std::int64_t key(long long cx, long long cy) const { return cx * 73856093LL ^ cy * 19349663LL; }
  double m_tol;
  std::unordered_map<std::int64_t, std::vector<AcGePoint3d>> m_cells;
};

// Curve end points by curve index: which curves have an end within a distance of a point.
class EndPointGrid {
public:
  // cell: the largest distance queries will ask for (queries with more are refused: empty).
  explicit EndPointGrid(double cell) : m_cell(cell > 0.0 ? cell : 1e-9) {}
  void add(const AcGePoint3d& p, int index);
  // Indexes of the curves with an end within `tol` (inclusive) of p, increasing, each once.
  void query(const AcGePoint3d& p, double tol, std::vector<int>& found) const;

private:
  std::int64_t key(long long cx, long long cy) const { return cx * 73856093LL ^ cy * 19349663LL; }
  struct End {
    AcGePoint3d p;
    int index;
  };
  double m_cell;
  std::unordered_map<std::int64_t, std::vector<End>> m_cells;
};

}  // namespace dwgtoolkit
