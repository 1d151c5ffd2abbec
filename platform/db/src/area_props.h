// Area integrals of closed loops of lines and arcs (area, first and second moments), the
// ground of region, hatch and solid mass properties.
#pragma once
#include "internal.h"

#include <contura/db/solid_data.h>
#include <contura/ge/loop2d.h>

#include <span>
#include <vector>

namespace contura::db {

// Integrals over an area of 1, x, y, x^2, y^2 and xy, in coordinates relative to a reference
// point (so that drawings far from the origin keep their digits).
struct AreaMoments {
  double a = 0.0, x = 0.0, y = 0.0, xx = 0.0, yy = 0.0, xy = 0.0;
  AreaMoments& operator+=(const AreaMoments& o);
  AreaMoments operator*(double k) const;
  // The same integrals about a reference point moved by -(dx, dy) (coordinates grow by dx, dy).
  AreaMoments shifted(double dx, double dy) const;
};

// Signed integrals over the area a loop encloses (positive for a counter-clockwise loop),
// relative to ref, in closed form for line and arc segments alike.
AreaMoments loopMoments(std::span<const ge::BulgeVertex> loop, const AcGePoint2d& ref);

// A region's loops: the first the boundary, the others holes (whatever their orientation).
AreaMoments regionMoments(const std::vector<ge::BulgeLoop>& loops, const AcGePoint2d& ref);

ge::BulgeLoop toBulgeLoop(const Loop2d& loop);

}  // namespace contura::db
