// Section text throughput: encoding 200,000 mixed entities (against formatting the same
// numbers alone with std::to_chars, in the same run) and drawing the text back into a new
// drawing (megabytes of section text per second, entity creation included).
#include <AcDbVarCommon.h>
#include <acdb.h>
#include <dbapserv.h>
#include <dbents.h>
#include <dbpl.h>
#include <dbsymtb.h>

#include <algorithm>
#include <charconv>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "SectionTextReader.h"
#include "SectionTextWriter.h"

namespace {

// SECTIONTEXT_BENCH_ENTITIES overrides the count (for profiling smaller runs).
int kEntities = 200000;
constexpr int kRepeats = 3;  // best of

// Processor time of this process, in seconds: the machine is shared, so wall time would
// count other people's work too. (<chrono> does not compile with the code page 936
// execution character set, hence the C clock.)
double now() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double seconds(const std::function<void()>& work) {
  double best = 1e300;
  for (int i = 0; i < kRepeats; ++i) {
    double t0 = now();
    work();
    best = std::min(best, now() - t0);
  }
  return best;
}

AcDbObjectId modelSpaceAppend(AcDbDatabase& db, AcDbEntity* e) {
  AcDbBlockTable* t = nullptr;
  db.getBlockTable(t, AcDb::kForRead);
  AcDbBlockTableRecord* ms = nullptr;
  t->getAt(ACDB_MODEL_SPACE, ms, AcDb::kForWrite);
  AcDbObjectId id;
  ms->appendAcDbEntity(id, e);
  e->close();
  ms->close();
  t->close();
  return id;
}

// The drawing, and every number the writer formats for it (doubles and colour integers).
struct Workload {
  std::vector<AcDbObjectId> ids;
  std::vector<double> doubles;
  std::vector<long> integers;
};

Workload build(AcDbDatabase& db) {
  Workload w;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> coord(-100000.0, 100000.0), size(1.0, 5000.0), ang(0.0, 6.28);
  auto c = [&] { return coord(rng); };
  for (int i = 0; i < kEntities; ++i) {
    AcDbEntity* e = nullptr;
    switch (i % 6) {
      case 0: {
        double v[4] = {c(), c(), c(), c()};
        e = new AcDbLine(AcGePoint3d(v[0], v[1], 0), AcGePoint3d(v[2], v[3], 0));
        w.doubles.insert(w.doubles.end(), v, v + 4);
        break;
      }
      case 1: {
        double v[5] = {c(), c(), size(rng), ang(rng), ang(rng)};
        e = new AcDbArc(AcGePoint3d(v[0], v[1], 0), v[2], v[3], v[4]);
        w.doubles.insert(w.doubles.end(), v, v + 5);
        break;
      }
      case 2: {
        double v[3] = {c(), c(), size(rng)};
        e = new AcDbCircle(AcGePoint3d(v[0], v[1], 0), AcGeVector3d(0, 0, 1), v[2]);
        w.doubles.insert(w.doubles.end(), v, v + 3);
        break;
      }
      case 3: {
        auto* p = new AcDbPolyline(5);
        for (unsigned k = 0; k < 5; ++k) {
          double v[5] = {c(), c(), k % 2 ? 0.5 : 0.0, k == 0 ? 0.0 : 10.0, 10.0};
          p->addVertexAt(k, AcGePoint2d(v[0], v[1]), v[2], v[3], v[4]);
        }
        p->setClosed(true);
        for (unsigned k = 0; k < 5; ++k) {
          AcGePoint2d pt;
          double b, s, en;
          p->getPointAt(k, pt);
          p->getBulgeAt(k, b);
          p->getWidthsAt(k, s, en);
          w.doubles.insert(w.doubles.end(), {pt.x, pt.y, b, s, en});
        }
        AcGePoint2d first;
        p->getPointAt(0, first);
        w.doubles.insert(w.doubles.end(), {first.x, first.y});
        e = p;
        break;
      }
      case 4: {
        double v[4] = {c(), c(), size(rng), ang(rng)};
        e = new AcDbText(AcGePoint3d(v[0], v[1], 0), "\xD6\xF9 KZ-1 \xB1\xEA\xD7\xA2", AcDbObjectId::kNull, v[2], v[3]);
        w.doubles.insert(w.doubles.end(), {v[2], v[0], v[1], v[3]});
        break;
      }
      default: {
        auto* v = new AcDbVarCommon();
        double n[8] = {c(), c(), size(rng), ang(rng), size(rng), c(), c(), ang(rng)};
        v->setPosition(AcGePoint3d(n[0], n[1], 0));
        v->setTextString("B1");
        v->setHeight(n[2]);
        v->setRotation(n[3]);
        v->putVarCode("B1");
        v->putVarRemark("\xBF\xED\xB6\xC8\n> 0");
        v->putVarInitialValue("300");
        v->putVarSetValue("350");
        v->putVarValueHeight(n[4]);
        v->putValuePosition(AcGePoint3d(n[5], n[6], 0));
        v->putVarAngle(n[7]);
        v->putVarValueColor(3);
        v->putVarType("\xD5\xFB\xCA\xFD");
        w.doubles.insert(w.doubles.end(), {n[2], n[0], n[1], n[3], n[4], n[5], n[6], n[7]});
        w.integers.insert(w.integers.end(), {1, 1, 0, 255, 0});  // Visible, Sort, VarColor
        e = v;
        break;
      }
    }
    e->setColorIndex(static_cast<Adesk::UInt16>(1 + i % 9));
    w.integers.insert(w.integers.end(), {255, 0, 0});  // the colour text's three numbers
    w.ids.push_back(modelSpaceAppend(db, e));
  }
  return w;
}

}  // namespace

int main() {
  if (const char* n = std::getenv("SECTIONTEXT_BENCH_ENTITIES")) kEntities = std::max(6, std::atoi(n));
  AcDbDatabase source(true);
  acdbHostApplicationServices()->setWorkingDatabase(&source);
  Workload w = build(source);

  // Baseline: the same numbers through std::to_chars, appended to one buffer.
  std::string sink;
  double baseline = seconds([&] {
    sink.clear();
    char buf[32];
    for (double d : w.doubles) {
      auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 6);
      sink.append(buf, r.ptr);
    }
    for (long i : w.integers) {
      auto r = std::to_chars(buf, buf + sizeof buf, i);
      sink.append(buf, r.ptr);
    }
  });

  CSectionTextWriter writer;
  for (AcDbObjectId id : w.ids) writer.m_ids.append(id);
  double encode = seconds([&] {
    if (writer.buildRecords() != 0) std::abort();
  });
  CString text = writer.getSectionText();
  double megabytes = text.GetLength() / 1e6;

  double read = 1e300;
  for (int i = 0; i < kRepeats; ++i) {
    AcDbDatabase target(true);
    acdbHostApplicationServices()->setWorkingDatabase(&target);
    double t0 = now();
    CSectionTextReader().drawSectionText(text);
    read = std::min(read, now() - t0);
    acdbHostApplicationServices()->setWorkingDatabase(&source);
  }

  // What the database alone takes for as many entities: make, layer, colour, append, close.
  double create = 1e300;
  for (int i = 0; i < kRepeats; ++i) {
    AcDbDatabase target(true);
    acdbHostApplicationServices()->setWorkingDatabase(&target);
    AcCmColor red;
    red.setRGB(255, 0, 0);
    double t0 = now();
    for (int k = 0; k < kEntities; ++k) {
      AcDbLine* pLine = new AcDbLine(AcGePoint3d(k, 0, 0), AcGePoint3d(k, 1, 0));
      pLine->setLayer("0");
      pLine->setColor(red);
      postToModelSpace(pLine);
      pLine->close();
    }
    create = std::min(create, now() - t0);
    acdbHostApplicationServices()->setWorkingDatabase(&source);
  }

  std::printf("entities                 %d (lines, arcs, circles, closed width polylines, texts, variables)\n", kEntities);
  std::printf("numbers formatted        %zu doubles, %zu integers\n", w.doubles.size(), w.integers.size());
  std::printf("times are processor seconds, best of %d\n", kRepeats);
  std::printf("to_chars baseline        %.3f s\n", baseline);
  std::printf("encoding (buildRecords)  %.3f s  = %.2f x baseline (goal <= 3)\n", encode, encode / baseline);
  std::printf("section text             %.1f MB\n", megabytes);
  std::printf("reading (drawSectionText) %.3f s  = %.1f MB/s (goal >= 100)\n", read, megabytes / read);
  std::printf("of which the database   %.3f s to make, colour, lay and append as many lines\n", create);
  return 0;
}
