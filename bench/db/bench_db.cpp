// Appending 200,000 entities to model space, walking them, and the heap bytes each kind of
// simple entity costs (object, id stub, handle index and block list included).
#include <dbents.h>
#include <dbmain.h>
#include <dbpl.h>
#include <dbsymtb.h>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <functional>
#include <memory>

namespace {

constexpr int kEntities = 200000;

AcDbBlockTableRecord* openModelSpace(AcDbDatabase& db) {
  AcDbBlockTable* bt = nullptr;
  db.getBlockTable(bt, AcDb::kForRead);
  AcDbBlockTableRecord* ms = nullptr;
  bt->getAt(ACDB_MODEL_SPACE, ms, AcDb::kForWrite);
  bt->close();
  return ms;
}

AcDbEntity* makeLine(int i) { return new AcDbLine(AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0)); }
AcDbEntity* makeArc(int i) { return new AcDbArc(AcGePoint3d(i, 0, 0), 1.0, 0.0, 1.0); }
AcDbEntity* makeText(int i) { return new AcDbText(AcGePoint3d(i, 0, 0), "W-12", AcDbObjectId::kNull, 2.5, 0.0); }
AcDbEntity* makePolyline(int i) {
  auto* pl = new AcDbPolyline(4);
  for (unsigned v = 0; v < 4; ++v) pl->addVertexAt(v, AcGePoint2d(i + (v & 1), v >> 1));
  pl->setClosed(true);
  return pl;
}

void fill(AcDbDatabase& db, int count, const std::function<AcDbEntity*(int)>& make) {
  AcDbBlockTableRecord* ms = openModelSpace(db);
  for (int i = 0; i < count; ++i) {
    AcDbEntity* ent = make(i);
    ms->appendAcDbEntity(ent);
    ent->close();
  }
  ms->close();
}

void appendEntities(benchmark::State& state, std::function<AcDbEntity*(int)> make) {
  for (auto _ : state) {
    AcDbDatabase db;
    fill(db, kEntities, make);
    benchmark::DoNotOptimize(db.approxNumObjects());
  }
  state.SetItemsProcessed(state.iterations() * kEntities);
  // Heap bytes of one entity: a database holding kEntities of them less an empty one.
  malloc_trim(0);
  const size_t before = mallinfo2().uordblks;
  {
    auto db = std::make_unique<AcDbDatabase>();
    const size_t empty = mallinfo2().uordblks;
    fill(*db, kEntities, make);
    const size_t full = mallinfo2().uordblks;
    state.counters["bytes_per_entity"] = double(full - empty) / kEntities;
  }
  benchmark::DoNotOptimize(before);
}

void BM_AppendLines(benchmark::State& s) { appendEntities(s, makeLine); }
void BM_AppendArcs(benchmark::State& s) { appendEntities(s, makeArc); }
void BM_AppendTexts(benchmark::State& s) { appendEntities(s, makeText); }
void BM_AppendPolylines(benchmark::State& s) { appendEntities(s, makePolyline); }
BENCHMARK(BM_AppendLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendArcs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendTexts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendPolylines)->Unit(benchmark::kMillisecond);

// Opening every entity by id for read, as a command walking model space does.
void BM_OpenEveryEntity(benchmark::State& state) {
  AcDbDatabase db;
  fill(db, kEntities, makeLine);
  AcDbBlockTableRecord* ms = openModelSpace(db);
  ms->downgradeOpen();
  for (auto _ : state) {
    AcDbBlockTableRecordIterator* it = nullptr;
    ms->newIterator(it);
    double sum = 0.0;
    for (; !it->done(); it->step()) {
      AcDbEntity* ent = nullptr;
      it->getEntity(ent);
      sum += static_cast<AcDbLine*>(ent)->startPoint().x;
      ent->close();
    }
    delete it;
    benchmark::DoNotOptimize(sum);
  }
  ms->close();
  state.SetItemsProcessed(state.iterations() * kEntities);
}
BENCHMARK(BM_OpenEveryEntity)->Unit(benchmark::kMillisecond);

}  // namespace
