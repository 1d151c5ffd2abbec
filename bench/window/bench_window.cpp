// Timing program for the window's canvas on one large drawing, offscreen: the drawing's read
// alone (in a child process, the reference the terminal pays), then in this process the read,
// the index and the first complete frame, frames at full extents, zoomed in 8 times and
// panned, a repaint over an unchanged view, a rebuild of the index, and the peak memory.
//
// Usage: QT_QPA_PLATFORM=offscreen bench_window DRAWING.dxf
#include <QApplication>
#include <QWheelEvent>

#include <contura/dxf/dxf.h>
#include <dbapserv.h>
#include <dbmain.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "drawing_scene.h"
#include "frame_painter.h"

namespace {

using namespace contura;

constexpr int kRuns = 5;
constexpr int kViewWidth = 1600, kViewHeight = 1000;
constexpr double kZoomIn = 8.0;
constexpr double kPanPixels = 200.0;
// Goals: processor time from the read to the first frame, frame times, memory against the read.
constexpr double kFirstFrameGoalSeconds = 1.5;
constexpr double kExtentsGoalMs = 50.0, kZoomedGoalMs = 20.0;
constexpr double kMemoryGoalRatio = 1.5;
// Entities a command changes in the benchmark of following changes.
constexpr std::size_t kMovedByCommand = 1000;

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double peakMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024.0;
}

double threadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Median of kRuns processor times of fn (this thread: the painting is all on it), less the
// milliseconds of preparation fn returns, in milliseconds; processor time, not wall-clock
// time, so that other work on a shared machine does not count.
double medianMs(const std::function<double()>& fn) {
  std::vector<double> times;
  for (int i = 0; i < kRuns; ++i) {
    double t0 = threadCpuMs();
    double untimed = fn();
    times.push_back(threadCpuMs() - t0 - untimed);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double medianMs(const std::function<void()>& fn) {
  return medianMs(std::function<double()>([&] {
    fn();
    return 0.0;
  }));
}

std::unique_ptr<AcDbDatabase> read(const char* path) {
  auto db = std::make_unique<AcDbDatabase>(false, true);
  dxf::DxfError error;
  if (dxf::readDxf(path, *db, error) != Acad::eOk) {
    std::fprintf(stderr, "read failed: %s\n", error.text().c_str());
    return nullptr;
  }
  acdbHostApplicationServices()->setWorkingDatabase(db.get());
  return db;
}

struct Reference {
  double cpu = 0, peak = 0;
};

// The read alone, in a child process, so that its peak memory is its own.
bool referenceRead(const char* path, Reference& out) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    double before = cpuSeconds();
    Reference r;
    if (read(path)) r = Reference{cpuSeconds() - before, peakMb()};
    ssize_t written = write(fds[1], &r, sizeof r);
    _exit(written == sizeof r ? 0 : 1);
  }
  close(fds[1]);
  ssize_t got = ::read(fds[0], &out, sizeof out);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return got == sizeof out && out.peak > 0;
}

void verdict(const char* what, double value, double goal, const char* unit) {
  std::printf("%-44s %9.1f %-3s (goal <= %.1f: %s)\n", what, value, unit, goal, value <= goal ? "met" : "NOT met");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_window DRAWING.dxf\n");
    return 2;
  }
  const char* path = argv[1];
  Reference reference;
  if (!referenceRead(path, reference)) {
    std::fprintf(stderr, "the reference read failed\n");
    return 1;
  }
  QApplication app(argc, argv);
  double t0 = cpuSeconds();
  std::unique_ptr<AcDbDatabase> db = read(path);
  if (!db) return 1;
  double readCpu = cpuSeconds() - t0;

  double before = cpuSeconds();
  qt::Canvas canvas;
  canvas.resize(kViewWidth, kViewHeight);
  canvas.setScene(qt::DrawingIndex(*db));
  double indexed = cpuSeconds() - before;
  canvas.zoomExtents();
  QImage shown = canvas.grab().toImage();
  double firstFrame = cpuSeconds() - before;
  std::printf("index of model space %.2f s processor time\n", indexed);

  const qt::DrawingIndex& index = canvas.scene();
  qt::View view = canvas.view();
  QImage image;
  qt::FrameMarks marks;
  qt::FrameCounts counts;
  double extents = medianMs([&] { counts = qt::paintFrame(image, view, index, marks); });
  std::printf("entities %zu; at full extents %zu drawn, %zu as pixels\n", index.size(), counts.drawn, counts.pixels);
  view.scale *= kZoomIn;
  double zoomed = medianMs([&] { counts = qt::paintFrame(image, view, index, marks); });
  std::printf("zoomed in 8x: %zu drawn, %zu as pixels\n", counts.drawn, counts.pixels);
  int step = 0;
  double panned = medianMs([&] {
    view.center += QPointF(kPanPixels / view.scale * (++step % 2 ? 1 : -1), 0.0);
    qt::paintFrame(image, view, index, marks);
  });
  double unchanged = medianMs([&] { canvas.grab(); });  // as after a mouse move: the kept frame and the overlay
  // A wheel step: the kept frame scaled at once (the new frame follows when the wheel rests).
  QPointF middle(kViewWidth / 2.0, kViewHeight / 2.0);
  double wheelStep = medianMs([&] {
    QWheelEvent wheel(middle, middle, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&canvas, &wheel);
    canvas.grab();
  });
  double rebuilt = medianMs([&] { qt::DrawingIndex again(*db); });
  // A command that moved 1,000 entities: its changes followed in an index (the moves are not
  // timed), next to the new index above.
  qt::DrawingIndex following(*db);
  std::vector<AcDbObjectId> moved;
  for (std::size_t i = 0; i < following.entities().size() && moved.size() < kMovedByCommand; i += 150)
    moved.push_back(following.entities()[i].id);
  double followed = medianMs(std::function<double()>([&] {
    double t0 = threadCpuMs();
    AcGeMatrix3d shift = AcGeMatrix3d::translation(AcGeVector3d(1.0, 0.0, 0.0));
    for (AcDbObjectId id : moved) {
      AcDbEntity* entity = nullptr;
      if (acdbOpenAcDbEntity(entity, id, AcDb::kForWrite) != Acad::eOk) continue;
      entity->transformBy(shift);
      entity->close();
    }
    double untimed = threadCpuMs() - t0;
    if (!following.followChanges()) std::fprintf(stderr, "the index could not follow the moves\n");
    return untimed;
  }));
  double peak = peakMb();

  std::printf("reference: read alone %.2f s processor time, peak %.0f MB\n", reference.cpu, reference.peak);
  std::printf("window: read %.2f s processor time\n", readCpu);
  verdict("open: index and first frame after the read (s)", firstFrame, kFirstFrameGoalSeconds, "s");
  verdict("frame at full extents", extents, kExtentsGoalMs, "ms");
  verdict("frame zoomed in 8x", zoomed, kZoomedGoalMs, "ms");
  verdict("frame panned (zoomed in 8x)", panned, kZoomedGoalMs, "ms");
  std::printf("%-44s %9.1f ms\n", "a wheel step shown (the kept frame scaled)", wheelStep);
  std::printf("%-44s %9.1f ms\n", "repaint over an unchanged view", unchanged);
  std::printf("%-44s %9.1f ms\n", "index rebuilt after a command", rebuilt);
  std::printf("%-44s %9.1f ms\n", "a command's 1,000 moved entities followed", followed);
  std::printf("peak memory %.0f MB, the read alone %.0f MB: ratio %.2f (goal <= %.1f: %s)\n", peak, reference.peak,
              peak / reference.peak, kMemoryGoalRatio, peak / reference.peak <= kMemoryGoalRatio ? "met" : "NOT met");
  return shown.isNull() ? 1 : 0;
}
