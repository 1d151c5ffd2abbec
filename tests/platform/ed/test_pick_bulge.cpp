// One polyline, many bulges: its area, where picking finds it, the box of what it draws and
// the primitives a consumer receives must agree on whether the bulged segment is straight and
// where it runs.
#include "bulge_cases.h"
#include "draw_recorder.h"
#include "pickgeom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace bulgecases;
namespace pick = contura::ed::detail;

namespace {
// Every consumer places the bulged segment to within this (drawing units, near the chord).
constexpr double kPlace = 2e-6;
}  // namespace

TEST(BulgeAgreement, AreaPickExtentsAndPrimitivesAgree) {
  for (double b : kBulges) {
    SCOPED_TRACE(b);
    std::unique_ptr<AcDbPolyline> pl(bulgedSquare(b));
    const Segment seg = bulgedSegment(b);

    dbtest::DrawRecorder rec;
    rec.drawEntity(*pl);
    ASSERT_FALSE(rec.prims.empty());
    const bool straight = rec.prims[0].kind == 'L';
    double drawnMidY = 0.0;
    if (straight) {
      ASSERT_EQ(rec.kinds(), "L");
    } else {
      ASSERT_EQ(rec.kinds(), "AL");
      const dbtest::Primitive& a = rec.prims[0];
      const AcGeVector3d v = a.normal.crossProduct(a.start);
      const AcGePoint3d mid = a.center + (a.start * std::cos(a.sweep / 2) + v * std::sin(a.sweep / 2)) * a.radius;
      EXPECT_NEAR(mid.x, kSide / 2, kPlace);
      drawnMidY = mid.y;
      EXPECT_NEAR(a.radius, seg.radius, kPlace * seg.radius);
    }
    EXPECT_NEAR(drawnMidY, seg.midY, kPlace * (1.0 + std::fabs(seg.midY)));

    double area = 0.0;
    ASSERT_EQ(pl->getArea(area), Acad::eOk);
    // The area is unsigned: a bulge deep inwards leaves more taken away than the square held.
    EXPECT_NEAR(area, std::fabs(kSide * kSide + (straight ? 0.0 : seg.areaAdded)), kPlace * (1.0 + area));

    AcGePoint3d lo, hi;
    ASSERT_TRUE(contura::db::drawnExtents(*pl, lo, hi));
    const double far = kPlace * (1.0 + seg.radius);
    EXPECT_NEAR(lo.x, std::min(0.0, seg.xLow), far);
    EXPECT_NEAR(hi.x, std::max(kSide, seg.xHigh), far);
    EXPECT_NEAR(lo.y, std::min(0.0, seg.yLow), far);
    EXPECT_NEAR(hi.y, std::max(kSide, seg.yHigh), far);

    // On the segment's middle, and one unit further out from the chord.
    const pick::Shape shape = pick::shapeOf(pl.get());
    EXPECT_NEAR(pick::distanceTo(shape, kSide / 2, seg.midY), 0.0, kPlace);
    EXPECT_NEAR(pick::distanceTo(shape, kSide / 2, seg.midY - (b > 0 ? 1.0 : -1.0)), 1.0, kPlace);
  }
}
