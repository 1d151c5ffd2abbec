// Drawing every entity of the 200,000-entity benchmark drawing through the drawing interface
// into a consumer that only counts primitives, next to a bare walk that opens each entity and
// reads its class: the difference is what the interface costs a picture of the drawing.
// Usage: bench_draw DRAWING.dxf   (bench/dxf/make_bench_drawing.py makes it)
#include <contura/db/world_draw.h>
#include <contura/dxf/dxf.h>
#include <dbmain.h>
#include <dbsymtb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

// Every allocation through operator new is counted, to show the drawing path makes none per
// primitive once its buffers have grown.
static std::atomic<std::size_t> gAllocations{0};
void* operator new(std::size_t size) {
  ++gAllocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;

double best(const std::function<void()>& fn) {
  double seconds = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    const auto t0 = Clock::now();
    fn();
    seconds = std::min(seconds, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return seconds;
}

class CountingConsumer final : public contura::db::WorldDrawConsumer {
public:
  using WorldDrawConsumer::WorldDrawConsumer;
  std::size_t primitives = 0, points = 0;

private:
  void onPolyline(const AcGePoint3d*, std::size_t n, bool, const contura::db::DrawStyle&) override {
    ++primitives;
    points += n;
  }
  void onArc(const AcGePoint3d&, double, const AcGeVector3d&, const AcGeVector3d&, double,
             const contura::db::DrawStyle&) override {
    ++primitives;
  }
  void onFill(const std::vector<std::vector<AcGePoint3d>>&, const contura::db::DrawStyle&) override { ++primitives; }
  void onText(const contura::db::DrawnText&, const contura::db::DrawStyle&) override { ++primitives; }
  void onPoints(const AcGePoint3d*, std::size_t n, const contura::db::DrawStyle&) override {
    ++primitives;
    points += n;
  }
  void onInfiniteLine(const AcGePoint3d&, const AcGeVector3d&, bool, const contura::db::DrawStyle&) override {
    ++primitives;
  }
};

std::vector<AcDbObjectId> modelSpaceIds(AcDbDatabase& db) {
  std::vector<AcDbObjectId> ids;
  AcDbBlockTable* table = nullptr;
  if (db.getBlockTable(table, AcDb::kForRead) != Acad::eOk) return ids;
  AcDbBlockTableRecord* space = nullptr;
  const Acad::ErrorStatus es = table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForRead);
  table->close();
  if (es != Acad::eOk) return ids;
  AcDbBlockTableRecordIterator* raw = nullptr;
  if (space->newIterator(raw) == Acad::eOk) {
    std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
    for (; !it->done(); it->step()) {
      AcDbObjectId id;
      if (it->getEntityId(id) == Acad::eOk) ids.push_back(id);
    }
  }
  space->close();
  return ids;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DRAWING.dxf\n", argv[0]);
    return 2;
  }
  contura::dxf::installDrawingFileIo();
  AcDbDatabase db(false, true);
  contura::dxf::DxfError error;
  if (contura::dxf::readDxf(argv[1], db, error) != Acad::eOk) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  const std::vector<AcDbObjectId> ids = modelSpaceIds(db);

  std::size_t classes = 0;
  const double walk = best([&] {
    classes = 0;
    for (AcDbObjectId id : ids) {
      AcDbEntity* e = nullptr;
      if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk) continue;
      classes += e->isA() != nullptr;
      e->close();
    }
  });
  CountingConsumer consumer(&db);
  const double draw = best([&] {
    consumer.primitives = consumer.points = 0;
    for (AcDbObjectId id : ids) consumer.drawEntity(id);
  });
  const std::size_t primitives = consumer.primitives, points = consumer.points;
  const std::size_t before = gAllocations;
  for (AcDbObjectId id : ids) consumer.drawEntity(id);
  const std::size_t allocations = gAllocations - before;
  std::printf("%zu entities\n", ids.size());
  std::printf("open and read class    %8.1f ms  (%.0f ns/entity, %zu classes read)\n", walk * 1e3,
              walk * 1e9 / double(ids.size()), classes);
  std::printf("draw through consumer  %8.1f ms  (%.0f ns/entity, %zu primitives, %zu points)\n", draw * 1e3,
              draw * 1e9 / double(ids.size()), primitives, points);
  std::printf("allocations while drawing (warm): %zu\n", allocations);
  return 0;
}
