// Helpers shared by the geometry tests.
#pragma once
#include <gtest/gtest.h>

#include "gepnt2d.h"

inline void expectPoint(const AcGePoint2d& p, double x, double y, double tol = 1e-9) {
  EXPECT_NEAR(p.x, x, tol) << "point (" << p.x << ", " << p.y << ")";
  EXPECT_NEAR(p.y, y, tol) << "point (" << p.x << ", " << p.y << ")";
}
