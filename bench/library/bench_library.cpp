// Section library benchmark: the store's Load of a 10,000-row library against a bare
// sqlite3_step loop over the same table, and 1,000 adds through the store against 1,000 bare
// durable inserts, all measured in the same run on the same disk; then the same load and adds
// through the store on a library database of a PostgreSQL server (a throwaway one on the same
// machine, reached through a local socket, commits durable), next to the figures of the file.
//
// Usage: bench_library [WORK_DIR]   (default: a new folder under the system temp folder)
// Prints the best and the median of several alternating rounds for each side and their ratios;
// the goal is judged on the best rounds (the least disturbed by other work on the machine).
// Exits 1 when the load is more than twice the bare loop.
#include <contura/dao/library_file.h>
#include <contura/os/codepage.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "SectionLibStore.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kLoadRows = 10000;
constexpr int kAdds = 1000;
constexpr int kLoadRounds = 9;
constexpr double kLoadGoal = 2.0;  // the store's load may take at most this many bare loops

// A section text of the size the library holds: a type block, an outline and a few texts.
std::string sectionText(int i) {
  std::string text = "\n[SecType]\nName=截面" + std::to_string(i) + "\nRemark=\nType=3\nGroup=2\n";
  text += "[PolylineSection]\nPoints=0,0,0;1000,0,0;600,1000,0;0,1000,0;0,0,0\nBasePoint=500,500\n";
  for (int k = 0; k < 4; ++k) {
    text += "[Line]\nLayer=0\nColor=255,255,255\nStartPoint=" + std::to_string(k * 100) +
            ",0,0\nEndPoint=" + std::to_string(k * 100 + 50) + ",800,0\n";
  }
  text += "[Text]\nLayer=文字\nString=异形截面 " + std::to_string(i) + "\nPosition=120,40,0\nHeight=250\n";
  return text;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

void check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "bench_library: %s: %s\n", what, sqlite3_errmsg(db));
    std::exit(2);
  }
}

fs::path newLibrary(const fs::path& dir, const char* name) {
  fs::path file = dir / name;
  fs::remove(file);
  std::string error;
  if (!contura::dao::createLibraryFile(file, error)) {
    std::fprintf(stderr, "bench_library: %s\n", error.c_str());
    std::exit(2);
  }
  return file;
}

// Fills the table with kLoadRows rows in one transaction, categories and codes mixed.
void fill(const fs::path& file) {
  sqlite3* db = nullptr;
  check(sqlite3_open(file.c_str(), &db), db, "open");
  check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
  sqlite3_stmt* st = nullptr;
  check(sqlite3_prepare_v2(db, "insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) values (?,?,?,?,?)",
                           -1, &st, nullptr),
        db, "prepare insert");
  for (int i = 0; i < kLoadRows; ++i) {
    std::string name = "异形截面" + std::to_string(i), text = sectionText(i), remark = "说明" + std::to_string(i % 17);
    sqlite3_bind_int(st, 1, (i * 7) % 40 + 1);
    sqlite3_bind_int(st, 2, (i * 3) % 10 + 1);
    sqlite3_bind_text(st, 3, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 4, text.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 5, remark.c_str(), -1, SQLITE_TRANSIENT);
    check(sqlite3_step(st), db, "insert");
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
  sqlite3_close(db);
}

// The bare loop: open, run the store's query, step through every row reading every column.
// Returns the rows seen; `bytes` sums the text bytes so the reads cannot be left out.
int bareLoad(const fs::path& file, size_t& bytes) {
  sqlite3* db = nullptr;
  check(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db, "open");
  sqlite3_stmt* st = nullptr;
  check(sqlite3_prepare_v2(db, "select * from SectionInfo order by GroupSec,Type", -1, &st, nullptr), db, "prepare");
  int rows = 0;
  while (sqlite3_step(st) == SQLITE_ROW) {
    bytes += static_cast<size_t>(sqlite3_column_int(st, 0) + sqlite3_column_int(st, 1) + sqlite3_column_int(st, 2));
    for (int c = 3; c < 6; ++c) {
      const unsigned char* text = sqlite3_column_text(st, c);
      bytes += static_cast<size_t>(sqlite3_column_bytes(st, c)) + (text ? text[0] : 0);
    }
    ++rows;
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows;
}

int storeLoad(const CString& library, size_t& bytes) {
  CSectionLibStore store(library);
  if (store.Load() != 0) {
    std::fprintf(stderr, "bench_library: Load failed: %s\n", store.m_strError.GetString());
    std::exit(2);
  }
  for (int i = 0; i < store.GetCount(); ++i) bytes += static_cast<size_t>(store.GetAt(i)->m_strSectionInfo.GetLength());
  return store.GetCount();
}

double timeOnce(const std::function<void()>& work) {
  Clock::time_point start = Clock::now();
  work();
  return seconds(Clock::now() - start);
}

// kAdds adds through the store on `library`, in seconds.
double timeAdds(const CString& library) {
  CSectionLibStore lib(library);
  return timeOnce([&] {
    for (int i = 0; i < kAdds; ++i) {
      auto* rec = new CSectionLibRecord;
      rec->m_nType = i % 40 + 1;
      rec->m_nGroupSec = i % 10 + 1;
      rec->m_strName = contura::os::utf8ToCp936("异形截面" + std::to_string(i)).c_str();
      rec->m_strSectionInfo = contura::os::utf8ToCp936(sectionText(i)).c_str();
      if (lib.Add(rec) != 0) {
        std::fprintf(stderr, "bench_library: Add failed: %s\n", lib.m_strError.GetString());
        delete rec;
        std::exit(2);
      }
    }
  });
}

// The throwaway server of the tests (tests/pg/pg_server.sh), started durable in `dir`.
class Server {
public:
  explicit Server(const fs::path& dir) : dir_(dir) {
    const std::string start = script() + " start " + dir_.string() + " durable";
    if (std::system(start.c_str()) != 0) return;
    started_ = true;
  }
  ~Server() {
    if (started_) std::system((script() + " stop " + dir_.string()).c_str());
  }
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;
  // A new database with an empty library; empty when there is no server.
  std::string newLibrary(const std::string& name) const {
    std::string address;
    if (!started_) return address;
    if (FILE* pipe = popen((script() + " newdb " + dir_.string() + " " + name).c_str(), "r")) {
      char buf[512];
      while (fgets(buf, sizeof buf, pipe)) address += buf;
      pclose(pipe);
    }
    while (!address.empty() && address.back() == '\n') address.pop_back();
    std::string error;
    if (!address.empty() && !contura::dao::createLibrary(address, error)) {
      std::fprintf(stderr, "bench_library: %s\n", error.c_str());
      address.clear();
    }
    return address;
  }

private:
  static std::string script() { return "bash " CONTURA_SOURCE_DIR "/tests/pg/pg_server.sh"; }
  fs::path dir_;
  bool started_ = false;
};

// The load and the adds on a server library, printed beside the file's best load and adds.
void benchServer(const fs::path& dir, const fs::path& big, double fileLoadMs, double fileAdds) {
  Server server(dir / "pg");
  const std::string loaded = server.newLibrary("load10k"), adds = server.newLibrary("adds");
  std::string error;
  long copied = 0;
  if (loaded.empty() || adds.empty() || !contura::dao::copyLibrary(big.string(), loaded, copied, error)) {
    std::printf("server library: not measured (no PostgreSQL server could be started here) %s\n", error.c_str());
    return;
  }
  const CString library(loaded.c_str());
  std::vector<double> loads;
  size_t bytes = 0;
  storeLoad(library, bytes);  // warm the server's cache
  for (int round = 0; round < kLoadRounds; ++round) {
    int rows = 0;
    loads.push_back(timeOnce([&] { rows = storeLoad(library, bytes); }));
    if (rows != kLoadRows) std::exit(2);
  }
  std::printf("server library (PostgreSQL, local socket, durable commits) against the file\n");
  std::printf("  load of %d rows           %8.2f ms / %8.2f ms   %.2fx the file's best\n", kLoadRows,
              best(loads) * 1e3, median(loads) * 1e3, best(loads) * 1e3 / fileLoadMs);
  const double serverAdds = timeAdds(CString(adds.c_str()));
  std::printf("  %d adds                  %8.3f ms per add   %.2fx the file's\n", kAdds, serverAdds * 1e3 / kAdds,
              serverAdds / fileAdds);
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dir;
  if (argc > 1) {
    dir = argv[1];
    fs::create_directories(dir);
  } else {
    std::string tmpl = (fs::temp_directory_path() / "contura-bench-library-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 2;
    dir = tmpl;
  }

  // Load: alternate the two sides so that both see the same cache state.
  fs::path big = newLibrary(dir, "load10k.mdb");
  fill(big);
  std::vector<double> bare, store;
  size_t bareBytes = 0, storeBytes = 0;
  bareLoad(big, bareBytes);  // warm the page cache
  for (int round = 0; round < kLoadRounds; ++round) {
    int rows = 0;
    bare.push_back(timeOnce([&] { rows = bareLoad(big, bareBytes); }));
    if (rows != kLoadRows) return 2;
    store.push_back(timeOnce([&] { rows = storeLoad(CString(big.c_str()), storeBytes); }));
    if (rows != kLoadRows) return 2;
  }
  const double bareMs = best(bare) * 1e3, storeMs = best(store) * 1e3, loadRatio = storeMs / bareMs;
  const double bareMedianMs = median(bare) * 1e3, storeMedianMs = median(store) * 1e3;
  std::printf("load of %d rows (%.1f MB file), %d alternating rounds: best / median\n", kLoadRows,
              static_cast<double>(fs::file_size(big)) / 1e6, kLoadRounds);
  std::printf("  bare sqlite3_step loop   %8.2f ms / %8.2f ms\n", bareMs, bareMedianMs);
  std::printf("  CSectionLibStore::Load   %8.2f ms / %8.2f ms\n", storeMs, storeMedianMs);
  std::printf("  ratio                    %8.2fx   / %8.2fx    (goal: best at most %.1fx) %s\n", loadRatio,
              storeMedianMs / bareMedianMs, kLoadGoal, loadRatio <= kLoadGoal ? "met" : "MISSED");

  // Adds: every add is one durable commit (plus the key query); the bare side is the commit
  // alone, one autocommitted insert per row.
  fs::path addsFile = newLibrary(dir, "adds.mdb");
  const double storeAdds = timeAdds(CString(addsFile.c_str()));
  fs::path bareFile = newLibrary(dir, "adds-bare.mdb");
  double bareAdds = 0;
  {
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(bareFile.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db, "open");
    bareAdds = timeOnce([&] {
      for (int i = 0; i < kAdds; ++i) {
        std::string sql = "insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) values (" +
                          std::to_string(i % 40 + 1) + "," + std::to_string(i % 10 + 1) + ",'异形截面" +
                          std::to_string(i) + "','" + sectionText(i) + "','')";
        check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db, "insert");
      }
    });
    sqlite3_close(db);
  }
  std::printf("%d adds, each its own durable commit\n", kAdds);
  std::printf("  bare autocommit inserts  %8.3f ms per add\n", bareAdds * 1e3 / kAdds);
  std::printf("  CSectionLibStore::Add    %8.3f ms per add   %.2fx the bare inserts\n", storeAdds * 1e3 / kAdds,
              storeAdds / bareAdds);

  benchServer(dir, big, storeMs, storeAdds);

  if (argc <= 1) fs::remove_all(dir);
  return loadRatio <= kLoadGoal ? 0 : 1;
}
