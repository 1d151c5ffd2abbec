// Timing program for DXF reading and writing on one large drawing: bare tag scan, section
// walk, tag copy, and dxflib's callback parse as an outside anchor when it is installed.
#include <contura/dxf/records.h>
#include <contura/dxf/tags.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#ifdef CONTURA_BENCH_DB
#include <contura/dxf/dxf.h>
#include <unistd.h>
#endif

#ifdef CONTURA_BENCH_DXFLIB
#include <dl_creationadapter.h>
#include <dl_dxf.h>
#endif

namespace {

using namespace contura::dxf;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 3;
// Entities in the benchmark drawing (make_bench_drawing.py: 50,000 each of four kinds).
constexpr int kBenchEntities = 200000;

// Best of kRuns wall-clock times of fn, in seconds.
double best(const std::function<bool()>& fn) {
  double bestSeconds = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    auto t0 = Clock::now();
    if (!fn()) return -1;
    bestSeconds = std::min(bestSeconds, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return bestSeconds;
}

#ifdef CONTURA_BENCH_DB
// Resident memory now, in bytes.
double rssBytes() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return double(resident) * double(sysconf(_SC_PAGESIZE));
}
#endif

long peakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Counts entities and nothing else.
class NullSink : public DxfSink {
 public:
  std::size_t entities = 0;
  bool headerVariable(const Tag&, const std::vector<Tag>&, DxfError&) override { return true; }
  bool headerEnd(DxfError&) override { return true; }
  bool classRecord(const Record&, DxfError&) override { return true; }
  bool tableBegin(const Record&, DxfError&) override { return true; }
  bool tableEntry(const Record&, const Record&, DxfError&) override { return true; }
  bool tableEnd(const Record&, const Record&, DxfError&) override { return true; }
  bool blockBegin(const Record&, DxfError&) override { return true; }
  bool blockEnd(const Record&, const Record&, DxfError&) override { return true; }
  bool entity(const Record*, const EntityRecords&, DxfError&) override {
    ++entities;
    return true;
  }
  bool object(const Record&, DxfError&) override { return true; }
  bool otherSection(const Tag&, const std::vector<Tag>&, DxfError&) override { return true; }
};

void report(const char* name, double seconds) {
  if (seconds < 0) std::printf("%-22s failed\n", name);
  else std::printf("%-22s %.3f s\n", name, seconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_dxf DRAWING.dxf [OUTPUT.dxf]\n");
    return 2;
  }
  const std::string path = argv[1];
  const std::string out = argc > 2 ? argv[2] : path + ".copy.dxf";
  DxfError error;
#ifdef CONTURA_BENCH_DB
  {
    // Memory first, in a process that has allocated nothing yet: what a read drawing keeps
    // (the file's text is released when the read returns).
    double before = rssBytes();
    auto db = std::make_unique<AcDbDatabase>(false, true);
    if (readDxf(path, *db, error) != Acad::eOk) std::printf("read failed: %s\n", error.text().c_str());
    double after = rssBytes();
    std::printf("memory per entity      %.0f bytes (resident growth / %d entities)\n",
                (after - before) / kBenchEntities, kBenchEntities);
  }
#endif
  std::string text;
  if (!loadDxfText(path, text, error)) {
    std::fprintf(stderr, "%s\n", error.text().c_str());
    return 1;
  }
  std::printf("file                   %s (%.1f MB)\n", path.c_str(), text.size() / 1e6);

  std::size_t tags = 0, entities = 0;
  report("load", best([&] { return loadDxfText(path, text, error); }));
  report("tag scan (load+tags)", best([&] {
           if (!loadDxfText(path, text, error)) return false;
           TagReader reader(text);
           Tag t;
           tags = 0;
           while (reader.next(t)) ++tags;
           return !reader.error().failed();
         }));
  report("walk (load+records)", best([&] {
           if (!loadDxfText(path, text, error)) return false;
           TagReader reader(text);
           NullSink sink;
           bool ok = walkDxf(reader, sink, error);
           entities = sink.entities;
           return ok;
         }));
  report("tag copy (read+write)", best([&] {
           if (!loadDxfText(path, text, error)) return false;
           std::FILE* f = std::fopen(out.c_str(), "wb");
           if (!f) return false;
           TagReader reader(text);
           TagWriter writer(f);
           Tag t;
           while (reader.next(t)) writer.raw(t.code, t.text);
           bool ok = writer.finish() && !reader.error().failed();
           std::fclose(f);
           return ok;
         }));
  std::printf("tags                   %zu\nentities               %zu\n", tags, entities);
#ifdef CONTURA_BENCH_DB
  {
    // The whole read into the database, then the write back, each the best of kRuns.
    std::unique_ptr<AcDbDatabase> db;
    report("read into database", best([&] {
             db.reset();
             db = std::make_unique<AcDbDatabase>(false, true);
             return readDxf(path, *db, error) == Acad::eOk;
           }));
    std::string written;
    report("write text (in memory)", best([&] {
             written.clear();
             return writeDxfText(*db, written, contura::dxf::WriteOptions(), error) == Acad::eOk;
           }));
    report("write from database", best([&] {  // the text, then the file made durable
             return writeDxf(*db, out, contura::dxf::WriteOptions(), error) == Acad::eOk;
           }));
  }
#else
  std::printf("read into database      not built (database layer has no implementation yet)\n");
#endif
#ifdef CONTURA_BENCH_DXFLIB
  report("dxflib parse", best([&] {
           DL_Dxf dxf;
           DL_CreationAdapter adapter;
           return dxf.in(path, &adapter);
         }));
#else
  std::printf("dxflib parse           not built (libdxflib-dev missing)\n");
#endif
  std::printf("peak RSS               %.1f MB\n", peakRssKb() / 1024.0);
  return 0;
}
