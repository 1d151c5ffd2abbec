// Straight-line intersections through AcDbLine and AcDbPolyline checked against GEOS: random
// segment sets with near-parallel, collinear-overlapping and end-touching members, and
// random straight polylines.
#include "db_test_util.h"

#include "../geos_oracle.h"

#include <memory>
#include <random>
#include <vector>

using namespace dbtest;

namespace {

using namespace geosoracle;
std::vector<AcGePoint2d> verticesOf(const AcDbCurve* c) {
  std::vector<AcGePoint2d> out;
  if (const auto* l = AcDbLine::cast(c)) {
    out.emplace_back(l->startPoint().x, l->startPoint().y);
    out.emplace_back(l->endPoint().x, l->endPoint().y);
  } else if (const auto* pl = AcDbPolyline::cast(c)) {
    for (unsigned i = 0; i < pl->numVerts(); ++i) {
      AcGePoint2d p;
      pl->getPointAt(i, p);
      out.push_back(p);
    }
  }
  return out;
}

// Compares one pair. Borderline pairs (apart by no more than the point tolerance) need not
// agree; overlapping pairs are checked only for giving no point between two lines.
enum class Verdict { kAgreed, kOverlap, kBorderline };

Verdict compare(const Geos& g, const AcDbCurve* a, const AcDbCurve* b) {
  const Reference ref = intersect(g, verticesOf(a), verticesOf(b), true);
  AcGePoint3dArray mine;
  EXPECT_EQ(a->intersectWith(b, AcDb::kOnBothOperands, mine), Acad::eOk);
  if (ref.overlap > 1e-9) {
    // Shared stretches are not crossings: no point comes from them. (Between polylines a
    // neighbouring segment may still touch at the stretch's end.)
    if (AcDbLine::cast(a) && AcDbLine::cast(b)) {
      EXPECT_EQ(mine.length(), 0);
    }
    return Verdict::kOverlap;
  }
  if (ref.gap > 0.0 && ref.gap <= 1e-9) return Verdict::kBorderline;
  EXPECT_EQ(size_t(mine.length()), ref.points.size());
  for (const AcGePoint2d& p : ref.points) {
    bool found = false;
    for (const AcGePoint3d& q : mine) found = found || std::hypot(q.x - p.x, q.y - p.y) <= 1e-7;
    EXPECT_TRUE(found) << "GEOS point " << p.x << "," << p.y << " missing";
  }
  return Verdict::kAgreed;
}

// Random segments of several kinds: general, collinear on one exact line, sharing end points,
// axis-aligned crosses and T junctions, and near-parallel copies.
std::vector<std::unique_ptr<AcDbCurve>> segmentSet(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> c(0, 1000), tiny(1e-9, 1e-5), shift(-1e-3, 1e-3);
  std::uniform_int_distribution<int> ic(0, 100);
  std::vector<std::unique_ptr<AcDbCurve>> out;
  for (int i = 0; i < 40; ++i) out.emplace_back(line(c(rng), c(rng), c(rng), c(rng)));
  for (int i = 0; i < 15; ++i) {
    const int x0 = ic(rng), x1 = ic(rng);
    if (x0 != x1) out.emplace_back(line(x0, 3 * x0 - 7, x1, 3 * x1 - 7));
  }
  for (int i = 0; i < 15; ++i) {
    const double x = ic(rng), y = ic(rng);
    out.emplace_back(line(x, y, ic(rng), ic(rng)));
    out.emplace_back(line(ic(rng), ic(rng), x, y));
  }
  for (int i = 0; i < 15; ++i) {
    out.emplace_back(line(ic(rng), ic(rng), ic(rng), ic(rng) % 2 ? 50 : 20));
    out.emplace_back(line(50, ic(rng), 50, ic(rng)));
  }
  for (int i = 0; i < 15; ++i) {
    const AcGePoint2d p(c(rng), c(rng)), q(c(rng), c(rng));
    out.emplace_back(line(p.x, p.y, q.x, q.y));
    AcDbEntity* turned = nullptr;
    const AcGePoint3d mid((p.x + q.x) / 2, (p.y + q.y) / 2, 0);
    out.back()->getTransformedCopy(AcGeMatrix3d::translation(AcGeVector3d(shift(rng), shift(rng), 0)) *
                                       AcGeMatrix3d::rotation(i % 2 ? tiny(rng) : -tiny(rng), AcGeVector3d::kZAxis, mid),
                                   turned);
    out.emplace_back(AcDbCurve::cast(turned));
  }
  return out;
}

TEST(CurveOracle, SegmentSetsThroughLinesAgreeWithGeos) {
  Geos g;
  int agreed = 0, overlaps = 0, borderline = 0, crossings = 0;
  for (unsigned seed = 1; seed <= 3; ++seed) {
    const auto set = segmentSet(seed);
    for (size_t i = 0; i < set.size(); ++i)
      for (size_t j = i + 1; j < set.size(); ++j) {
        if (curveLength(set[i].get()) == 0.0 || curveLength(set[j].get()) == 0.0) continue;
        switch (compare(g, set[i].get(), set[j].get())) {
          case Verdict::kAgreed: ++agreed; break;
          case Verdict::kOverlap: ++overlaps; break;
          case Verdict::kBorderline: ++borderline; break;
        }
        AcGePoint3dArray pts;
        set[i]->intersectWith(set[j].get(), AcDb::kOnBothOperands, pts);
        crossings += pts.length();
      }
  }
  EXPECT_GT(overlaps, 20);
  EXPECT_GT(crossings, 1000);
  EXPECT_LT(borderline, agreed / 1000 + 5);
}

TEST(CurveOracle, StraightPolylinesAgreeWithGeos) {
  Geos g;
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> ic(0, 30), count(2, 7);
  auto randomPolyline = [&] {
    auto* pl = new AcDbPolyline();
    const int n = count(rng);
    for (int i = 0; i < n; ++i) pl->addVertexAt(unsigned(i), AcGePoint2d(ic(rng), ic(rng)));
    return pl;
  };
  int agreed = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    std::unique_ptr<AcDbPolyline> a(randomPolyline()), b(randomPolyline());
    // GEOS keeps repeated vertices; zero-length segments are no crossings either way.
    if (compare(g, a.get(), b.get()) == Verdict::kAgreed) ++agreed;
    // Against a plain line through the same points as a one-segment polyline.
    AcGePoint2d p0, p1;
    b->getPointAt(0, p0);
    b->getPointAt(1, p1);
    if (p0.isEqualTo(p1)) continue;
    std::unique_ptr<AcDbLine> l(line(p0.x, p0.y, p1.x, p1.y));
    compare(g, a.get(), l.get());
  }
  EXPECT_GT(agreed, 1000);
}

}  // namespace
