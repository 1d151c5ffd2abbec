// Entity-level curve throughput: pairwise AcDbLine/AcDbArc intersections (million pairs per
// second) and regions of a 10,000-vertex outline (build, area, area properties).
#include <benchmark/benchmark.h>

#include <dbents.h>
#include <dbpl.h>
#include <dbregion.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace {
constexpr double kPi = std::numbers::pi;
constexpr int kPairs = 4096;

// Random curves in a 1000-unit square, as the geometry layer's benchmark draws them, so that
// the two sets of figures compare; hits_per_pair reports how often they meet.
std::vector<std::unique_ptr<AcDbCurve>> lines(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> c(0, 1000), len(300, 900), ang(0, 2 * kPi);
  std::vector<std::unique_ptr<AcDbCurve>> out;
  for (int i = 0; i < kPairs; ++i) {
    const AcGePoint3d p(c(rng), c(rng), 0);
    const double a = ang(rng), l = len(rng);
    out.emplace_back(new AcDbLine(p, p + AcGeVector3d(std::cos(a), std::sin(a), 0) * l));
  }
  return out;
}

std::vector<std::unique_ptr<AcDbCurve>> arcs(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> c(0, 1000), r(100, 400), ang(0, 2 * kPi);
  std::vector<std::unique_ptr<AcDbCurve>> out;
  for (int i = 0; i < kPairs; ++i) {
    const double s = ang(rng);
    out.emplace_back(new AcDbArc(AcGePoint3d(c(rng), c(rng), 0), r(rng), s, s + ang(rng)));
  }
  return out;
}

void pairwise(benchmark::State& state, const std::vector<std::unique_ptr<AcDbCurve>>& a,
              const std::vector<std::unique_ptr<AcDbCurve>>& b, AcDb::Intersect mode) {
  AcGePoint3dArray pts(8);
  int64_t found = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPairs; ++i) {
      pts.setLogicalLength(0);
      a[size_t(i)]->intersectWith(b[size_t(i)].get(), mode, pts);
      found += pts.length();
    }
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kPairs);
  state.counters["hits_per_pair"] = double(found) / double(state.iterations() * kPairs);
}

void BM_DbIntersectLineLine(benchmark::State& state) { pairwise(state, lines(1), lines(2), AcDb::kOnBothOperands); }
void BM_DbIntersectLineArc(benchmark::State& state) { pairwise(state, lines(3), arcs(4), AcDb::kOnBothOperands); }
void BM_DbIntersectArcArc(benchmark::State& state) { pairwise(state, arcs(5), arcs(6), AcDb::kOnBothOperands); }
void BM_DbIntersectLineArcExtendBoth(benchmark::State& state) {
  pairwise(state, lines(3), arcs(4), AcDb::kExtendBoth);
}

// A wavy 10,000-vertex outline that does not cross itself: 40 waves of 30 units on a circle
// of radius 1000, sides straight or bulging a little either way.
std::unique_ptr<AcDbPolyline> outline() {
  const int n = 10000;
  auto pl = std::make_unique<AcDbPolyline>(unsigned(n));
  for (int i = 0; i < n; ++i) {
    const double a = 2 * kPi * i / n, r = 1000 + 30 * std::sin(40 * a);
    pl->addVertexAt(unsigned(i), AcGePoint2d(r * std::cos(a), r * std::sin(a)),
                    i % 3 == 0 ? 0.02 : (i % 3 == 1 ? -0.01 : 0.0));
  }
  pl->setClosed(true);
  return pl;
}

std::unique_ptr<AcDbRegion> regionOf(const AcDbPolyline& pl) {
  AcDbVoidPtrArray curves, regions;
  curves.append(const_cast<AcDbPolyline*>(&pl));
  if (AcDbRegion::createFromCurves(curves, regions) != Acad::eOk || regions.length() != 1) return nullptr;
  return std::unique_ptr<AcDbRegion>(static_cast<AcDbRegion*>(regions[0]));
}

// Building the region: loop assembly and the self-crossing check.
void BM_RegionFromOutline10k(benchmark::State& state) {
  const auto pl = outline();
  for (auto _ : state) {
    auto region = regionOf(*pl);
    if (!region) state.SkipWithError("no region");
    benchmark::DoNotOptimize(region.get());
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}

void BM_RegionArea10k(benchmark::State& state) {
  const auto region = regionOf(*outline());
  double area = 0.0;
  for (auto _ : state) {
    region->getArea(area);
    benchmark::DoNotOptimize(area);
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}

void BM_RegionAreaProp10k(benchmark::State& state) {
  const auto region = regionOf(*outline());
  double perimeter, area, mom[2], prod, prin[2], radii[2];
  AcGePoint2d centroid, lo, hi;
  AcGeVector2d axes[2];
  for (auto _ : state) {
    region->getAreaProp(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, AcGeVector3d::kYAxis, perimeter, area, centroid,
                        mom, prod, prin, axes, radii, lo, hi);
    benchmark::DoNotOptimize(area);
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}

BENCHMARK(BM_DbIntersectLineLine);
BENCHMARK(BM_DbIntersectLineArc);
BENCHMARK(BM_DbIntersectArcArc);
BENCHMARK(BM_DbIntersectLineArcExtendBoth);
BENCHMARK(BM_RegionFromOutline10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegionArea10k)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RegionAreaProp10k)->Unit(benchmark::kMicrosecond);
}  // namespace
