// Geometry throughput: pairwise line/arc intersections and 10,000-vertex loop measurements.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "contura/ge/intersect2d.h"
#include "contura/ge/loop2d.h"
#include "gearc2d.h"
#include "gecint2d.h"
#include "gelnsg2d.h"

namespace {
constexpr double kPi = std::numbers::pi;
constexpr int kPairs = 4096;

// Random curves in a 1000-unit square; hits_per_pair reports how often they meet.
std::vector<AcGeLineSeg2d> segments(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> c(0, 1000), len(300, 900), ang(0, 2 * kPi);
  std::vector<AcGeLineSeg2d> out;
  for (int i = 0; i < kPairs; ++i) {
    const AcGePoint2d p(c(rng), c(rng));
    const double a = ang(rng), l = len(rng);
    out.emplace_back(p, p + AcGeVector2d(std::cos(a), std::sin(a)) * l);
  }
  return out;
}

std::vector<AcGeCircArc2d> arcs(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> c(0, 1000), r(100, 400), ang(0, 2 * kPi);
  std::vector<AcGeCircArc2d> out;
  for (int i = 0; i < kPairs; ++i) {
    const double s = ang(rng);
    out.emplace_back(AcGePoint2d(c(rng), c(rng)), r(rng), s, s + ang(rng));
  }
  return out;
}

template <class A, class B>
void pairwise(benchmark::State& state, const std::vector<A>& a, const std::vector<B>& b) {
  AcGePoint2dArray pts(8);
  int64_t found = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPairs; ++i) {
      pts.removeAll();
      contura::ge::intersectCurves(a[i], b[i], contura::ge::Extend::kNone, pts);
      found += pts.length();
    }
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kPairs);
  state.counters["hits_per_pair"] = static_cast<double>(found) / static_cast<double>(state.iterations() * kPairs);
}

void BM_IntersectLineLine(benchmark::State& state) { pairwise(state, segments(1), segments(2)); }
void BM_IntersectLineArc(benchmark::State& state) { pairwise(state, segments(3), arcs(4)); }
void BM_IntersectArcArc(benchmark::State& state) { pairwise(state, arcs(5), arcs(6)); }

// The object interface copies both curves: what a caller pays for AcGeCurveCurveInt2d.
void BM_CurveCurveInt2dArcArc(benchmark::State& state) {
  const auto a = arcs(7), b = arcs(8);
  int64_t found = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPairs; ++i) found += AcGeCurveCurveInt2d(a[i], b[i]).numIntPoints();
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kPairs);
}

// A wavy 10,000-vertex outline: alternating bulges on a circle of radius 1000.
contura::ge::BulgeLoop outline() {
  const int n = 10000;
  contura::ge::BulgeLoop loop;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * kPi * i / n, r = 1000 + (i % 2 ? 3.0 : -3.0);
    loop.push_back({{r * std::cos(a), r * std::sin(a)}, i % 3 == 0 ? 0.2 : (i % 3 == 1 ? -0.1 : 0.0)});
  }
  return loop;
}

void BM_LoopProperties10k(benchmark::State& state) {
  const auto loop = outline();
  for (auto _ : state) benchmark::DoNotOptimize(contura::ge::loopProperties(loop));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(loop.size()));
}

void BM_LoopSelfIntersection10k(benchmark::State& state) {
  const auto loop = outline();
  for (auto _ : state) benchmark::DoNotOptimize(contura::ge::isSelfIntersecting(loop));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(loop.size()));
}

void BM_PointInLoop10k(benchmark::State& state) {
  const auto loop = outline();
  for (auto _ : state) benchmark::DoNotOptimize(contura::ge::classifyPoint(loop, {10.0, 20.0}));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(loop.size()));
}

BENCHMARK(BM_IntersectLineLine);
BENCHMARK(BM_IntersectLineArc);
BENCHMARK(BM_IntersectArcArc);
BENCHMARK(BM_CurveCurveInt2dArcArc);
BENCHMARK(BM_LoopProperties10k);
BENCHMARK(BM_LoopSelfIntersection10k);
BENCHMARK(BM_PointInLoop10k);
}  // namespace
