// Matrices: known products and inverses, rotations about a point, mirrors and coordinate systems.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "geline2d.h"
#include "gemat2d.h"
#include "gemat3d.h"
#include "geplane.h"

namespace {
constexpr double kPi = std::numbers::pi;

AcGeMatrix3d fromRows(const double (&rows)[4][4]) {
  AcGeMatrix3d m;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m.entry[i][j] = rows[i][j];
  return m;
}

TEST(GeMatrix3d, KnownProductAndInverse) {
  const AcGeMatrix3d a = fromRows({{2, 0, 0, 1}, {0, 1, 0, 2}, {0, 0, 4, 3}, {0, 0, 0, 1}});
  const AcGeMatrix3d b = fromRows({{0, -1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 5}, {0, 0, 0, 1}});
  const AcGeMatrix3d ab = fromRows({{0, -2, 0, 1}, {1, 0, 0, 2}, {0, 0, 4, 23}, {0, 0, 0, 1}});
  EXPECT_TRUE((a * b).isEqualTo(ab));
  AcGeMatrix3d pre(b);
  pre.preMultiplyBy(a);
  EXPECT_TRUE(pre.isEqualTo(ab));
  AcGeMatrix3d post(a);
  post.postMultiplyBy(b);
  EXPECT_TRUE(post.isEqualTo(ab));
  EXPECT_FALSE((b * a).isEqualTo(ab));  // order matters

  const AcGeMatrix3d aInv = fromRows({{0.5, 0, 0, -0.5}, {0, 1, 0, -2}, {0, 0, 0.25, -0.75}, {0, 0, 0, 1}});
  EXPECT_TRUE(a.inverse().isEqualTo(aInv));
  EXPECT_TRUE((a * a.inverse()).isEqualTo(AcGeMatrix3d::kIdentity));
  EXPECT_DOUBLE_EQ(a.det(), 8.0);

  // A general matrix that needs row pivoting (zero in the first pivot position).
  const AcGeMatrix3d g = fromRows({{0, 2, 1, 3}, {1, 1, 0, -1}, {3, 0, 2, 0}, {1, 4, 0, 2}});
  AcGeMatrix3d gInv;
  ASSERT_TRUE(g.inverse(gInv, 1e-12));
  EXPECT_TRUE((g * gInv).isEqualTo(AcGeMatrix3d::kIdentity));
  EXPECT_TRUE((gInv * g).isEqualTo(AcGeMatrix3d::kIdentity));
}

TEST(GeMatrix3d, SingularMatrixIsReportedAndLeftAlone) {
  AcGeMatrix3d s = fromRows({{1, 2, 3, 0}, {2, 4, 6, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
  EXPECT_TRUE(s.isSingular());
  AcGeMatrix3d out;
  EXPECT_FALSE(s.inverse(out, 1e-10));
  EXPECT_TRUE(out.isEqualTo(AcGeMatrix3d::kIdentity));
  const AcGeMatrix3d before = s;
  s.invert();
  EXPECT_TRUE(s.isEqualTo(before));
  EXPECT_DOUBLE_EQ(s.det(), 0.0);
}

TEST(GeMatrix3d, RotationScalingMirroringAboutPoints) {
  const AcGePoint3d c(10, 5, 0);
  const AcGeMatrix3d r = AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis, c);
  EXPECT_TRUE((r * AcGePoint3d(12, 5, 1)).isEqualTo(AcGePoint3d(10, 7, 1)));
  EXPECT_TRUE((r * c).isEqualTo(c));
  EXPECT_TRUE(r.isUniScaledOrtho());
  // Rotation about the diagonal by 120 degrees permutes the axes.
  const AcGeMatrix3d p = AcGeMatrix3d::rotation(2 * kPi / 3, AcGeVector3d(1, 1, 1));
  EXPECT_TRUE((p * AcGeVector3d::kXAxis).isEqualTo(AcGeVector3d::kYAxis));

  const AcGeMatrix3d s = AcGeMatrix3d::scaling(3.0, AcGePoint3d(1, 1, 1));
  EXPECT_TRUE((s * AcGePoint3d(2, 1, 1)).isEqualTo(AcGePoint3d(4, 1, 1)));
  EXPECT_DOUBLE_EQ(s.scale(), 3.0);
  const AcGeMatrix3d ns = AcGeMatrix3d::scaling(AcGeScale3d(1, 2, 3));
  EXPECT_TRUE(ns.isScaledOrtho());
  EXPECT_FALSE(ns.isUniScaledOrtho());

  const AcGeMatrix3d m = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(2, 0, 0), AcGeVector3d::kXAxis));
  EXPECT_TRUE((m * AcGePoint3d(5, 1, 1)).isEqualTo(AcGePoint3d(-1, 1, 1)));
  EXPECT_DOUBLE_EQ(m.det(), -1.0);
  EXPECT_TRUE((AcGeMatrix3d::mirroring(AcGePoint3d(1, 1, 1)) * AcGePoint3d(3, 0, 1)).isEqualTo(AcGePoint3d(-1, 2, 1)));

  // Vectors ignore the translation part.
  AcGeMatrix3d t;
  t.setToTranslation(AcGeVector3d(5, 5, 5));
  EXPECT_TRUE((t * AcGeVector3d(1, 0, 0)).isEqualTo(AcGeVector3d(1, 0, 0)));
  EXPECT_TRUE(t.translation().isEqualTo(AcGeVector3d(5, 5, 5)));
}

TEST(GeMatrix3d, CoordinateSystemsAndArbitraryAxisPlanes) {
  const AcGeMatrix3d toWorld = AcGeMatrix3d::planeToWorld(AcGeVector3d::kXAxis);
  AcGePoint3d o;
  AcGeVector3d x, y, z;
  toWorld.getCoordSystem(o, x, y, z);
  EXPECT_TRUE(x.isEqualTo(AcGeVector3d::kYAxis));
  EXPECT_TRUE(y.isEqualTo(AcGeVector3d::kZAxis));
  EXPECT_TRUE(z.isEqualTo(AcGeVector3d::kXAxis));
  EXPECT_TRUE(AcGeMatrix3d::planeToWorld(AcGeVector3d::kZAxis).isEqualTo(AcGeMatrix3d::kIdentity));
  EXPECT_TRUE((AcGeMatrix3d::worldToPlane(AcGeVector3d::kXAxis) * toWorld).isEqualTo(AcGeMatrix3d::kIdentity));

  const AcGeMatrix3d align = AcGeMatrix3d::alignCoordSys(
      AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, AcGeVector3d::kYAxis, AcGeVector3d::kZAxis,
      AcGePoint3d(1, 2, 3), AcGeVector3d::kYAxis, -AcGeVector3d::kXAxis, AcGeVector3d::kZAxis);
  EXPECT_TRUE((align * AcGePoint3d(1, 0, 0)).isEqualTo(AcGePoint3d(1, 3, 3)));

  const AcGeMatrix3d proj = AcGeMatrix3d::projection(AcGePlane::kXYPlane, AcGeVector3d(1, 0, 1));
  EXPECT_TRUE((proj * AcGePoint3d(0, 0, 2)).isEqualTo(AcGePoint3d(-2, 0, 0)));
}

TEST(GeMatrix2d, KnownAnswers) {
  const AcGeMatrix2d r = AcGeMatrix2d::rotation(kPi / 2, AcGePoint2d(1, 0));
  EXPECT_TRUE((r * AcGePoint2d(2, 0)).isEqualTo(AcGePoint2d(1, 1)));
  EXPECT_TRUE((r * AcGeVector2d(1, 0)).isEqualTo(AcGeVector2d(0, 1)));
  const AcGeMatrix2d m = AcGeMatrix2d::mirroring(AcGePoint2d(0, 1), AcGeVector2d(1, 1));  // y = x + 1
  EXPECT_TRUE((m * AcGePoint2d(0, 0)).isEqualTo(AcGePoint2d(-1, 1)));
  const AcGeLine2d diagonal(AcGePoint2d(0, 1), AcGePoint2d(1, 2));  // the same line
  EXPECT_TRUE((AcGeMatrix2d::mirroring(diagonal) * AcGePoint2d(2, 0)).isEqualTo(AcGePoint2d(-1, 3)));
  AcGePoint2d p(0, 0);
  EXPECT_TRUE(p.mirror(diagonal).isEqualTo(AcGePoint2d(-1, 1)));
  EXPECT_DOUBLE_EQ(m.det(), -1.0);
  const AcGeMatrix2d s = AcGeMatrix2d::scaling(2, AcGePoint2d(1, 1));
  const AcGeMatrix2d rs = r * s;
  EXPECT_TRUE((rs * rs.inverse()).isEqualTo(AcGeMatrix2d::kIdentity));
  EXPECT_TRUE((rs * AcGePoint2d(2, 1)).isEqualTo(r * (s * AcGePoint2d(2, 1))));
  AcGeMatrix2d z;
  z.entry[0][0] = 0;
  EXPECT_TRUE(z.isSingular());
}
}  // namespace
