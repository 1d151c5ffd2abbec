// CDwgDatabase's array members at scale: crossings of a curve array, zones and linked groups
// on a lattice of wall lines with arcs (rooms of a floor plan), 1,000 to 100,000 curves; the
// straightforward all-pairs and rescan-from-the-front implementations of the same definitions
// run on the same curves as the reference (up to the sizes they finish in reasonable time;
// they grow with the square of the count, so 100,000 curves would take about 400 times as long
// as 5,000). On the segments of an n x n grid of cells: zones and the loop around a cell
// against GEOS's polygonizer making every cell's polygon from the same segments.
#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <dbents.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "DwgDatabase.h"

namespace {

// A lattice of rooms: each cell has a bottom and a left wall, and every third cell a door arc.
struct Plan {
  std::vector<std::unique_ptr<AcDbCurve>> owned;
  AcDbVoidPtrArray curves;
  explicit Plan(int count) {
    int side = static_cast<int>(std::ceil(std::sqrt(count / 2.3)));
    for (int i = 0; static_cast<int>(owned.size()) < count; i++) {
      double x = (i % side) * 10.0, y = (i / side) * 10.0;
      add(std::make_unique<AcDbLine>(AcGePoint3d(x, y, 0), AcGePoint3d(x + 10, y, 0)));
      add(std::make_unique<AcDbLine>(AcGePoint3d(x, y, 0), AcGePoint3d(x, y + 10, 0)));
      if (i % 3 == 0) add(std::make_unique<AcDbArc>(AcGePoint3d(x + 2, y, 0), 3.0, 0.0, std::numbers::pi / 2));
    }
  }
  void add(std::unique_ptr<AcDbCurve> c) {
    curves.append(c.get());
    owned.push_back(std::move(c));
  }
};

void crossingsIndexed(benchmark::State& state) {
  Plan plan(static_cast<int>(state.range(0)));
  CDwgDatabase toolkit(nullptr);
  AcGePoint3dArray points;
  for (auto _ : state) toolkit.getCurveCrossPoints(points, plan.curves);
  state.counters["points"] = points.length();
}

void crossingsAllPairs(benchmark::State& state) {
  Plan plan(static_cast<int>(state.range(0)));
  AcGePoint3dArray points;
  for (auto _ : state) {
    points.setLogicalLength(0);
    for (int i = 0; i < plan.curves.length(); i++)
      for (int j = i + 1; j < plan.curves.length(); j++) {
        AcGePoint3dArray found;
        static_cast<AcDbCurve*>(plan.curves[i])->intersectWith(static_cast<AcDbCurve*>(plan.curves[j]), AcDb::kOnBothOperands, found);
        CDwgDatabase::addPointToArray(points, found);
      }
  }
  state.counters["points"] = points.length();
}

void zonesIndexed(benchmark::State& state) {
  Plan plan(static_cast<int>(state.range(0)));
  CDwgDatabase toolkit(nullptr);
  CArray<AcDbVoidPtrArray, const AcDbVoidPtrArray&> zones;
  for (auto _ : state) toolkit.getCurvesZone(zones, plan.curves);
  state.counters["zones"] = static_cast<double>(zones.GetSize());
}

void linkedIndexed(benchmark::State& state) {
  Plan plan(static_cast<int>(state.range(0)));
  CDwgDatabase toolkit(nullptr);
  AcDbVoidPtrArray open, linked;
  for (auto _ : state) toolkit.divideCurvesIsLinked2End(open, linked, plan.curves);
  state.counters["open"] = open.length();
}

void loopAroundPick(benchmark::State& state) {
  Plan plan(static_cast<int>(state.range(0)));
  CDwgDatabase toolkit(nullptr);
  AcDbVoidPtrArray loop;
  for (auto _ : state) toolkit.getRegionFromCurveIdArrayOnPoint(loop, plan.curves, AcGePoint3d(55.5, 56.5, 0), false);
  state.counters["loop"] = loop.length();
}

// The segments between neighbouring nodes of an n x n grid of 10-unit cells.
struct Grid {
  std::vector<std::unique_ptr<AcDbCurve>> owned;
  AcDbVoidPtrArray curves;
  explicit Grid(int n) {
    for (int i = 0; i <= n; i++)
      for (int j = 0; j < n; j++) {
        add(AcGePoint3d(j * 10.0, i * 10.0, 0), AcGePoint3d((j + 1) * 10.0, i * 10.0, 0));
        add(AcGePoint3d(i * 10.0, j * 10.0, 0), AcGePoint3d(i * 10.0, (j + 1) * 10.0, 0));
      }
  }
  void add(const AcGePoint3d& a, const AcGePoint3d& b) {
    owned.push_back(std::make_unique<AcDbLine>(a, b));
    curves.append(owned.back().get());
  }
};

void gridZones(benchmark::State& state) {
  Grid grid(static_cast<int>(state.range(0)));
  CDwgDatabase toolkit(nullptr);
  CArray<AcDbVoidPtrArray, const AcDbVoidPtrArray&> zones;
  for (auto _ : state) toolkit.getCurvesZone(zones, grid.curves);
  state.counters["segments"] = grid.curves.length();
  state.counters["zones"] = static_cast<double>(zones.GetSize());
}

void gridLoop(benchmark::State& state) {
  Grid grid(static_cast<int>(state.range(0)));
  CDwgDatabase toolkit(nullptr);
  AcDbVoidPtrArray loop;
  for (auto _ : state) toolkit.getRegionFromCurveIdArrayOnPoint(loop, grid.curves, AcGePoint3d(505.0, 504.0, 0), false);
  state.counters["loop"] = loop.length();
}

void gridGeosPolygonize(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  GEOSContextHandle_t geos = GEOS_init_r();
  Grid grid(n);
  std::vector<GEOSGeometry*> lines;
  for (int i = 0; i < grid.curves.length(); i++) {
    AcDbLine* pLine = static_cast<AcDbLine*>(grid.curves[i]);
    GEOSCoordSequence* seq = GEOSCoordSeq_create_r(geos, 2, 2);
    GEOSCoordSeq_setXY_r(geos, seq, 0, pLine->startPoint().x, pLine->startPoint().y);
    GEOSCoordSeq_setXY_r(geos, seq, 1, pLine->endPoint().x, pLine->endPoint().y);
    lines.push_back(GEOSGeom_createLineString_r(geos, seq));
  }
  int polygons = 0;
  for (auto _ : state) {
    GEOSGeometry* result = GEOSPolygonize_r(geos, lines.data(), static_cast<unsigned>(lines.size()));
    polygons = GEOSGetNumGeometries_r(geos, result);
    GEOSGeom_destroy_r(geos, result);
  }
  for (GEOSGeometry* g : lines) GEOSGeom_destroy_r(geos, g);
  GEOS_finish_r(geos);
  state.counters["polygons"] = polygons;
}

}  // namespace

BENCHMARK(gridZones)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(gridLoop)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(gridGeosPolygonize)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(crossingsIndexed)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(crossingsAllPairs)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(zonesIndexed)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(linkedIndexed)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(loopAroundPick)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
