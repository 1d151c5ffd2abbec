// A polyline chained end to end from lines, arcs and lightweight polylines.
#include <aced.h>
#include <dbents.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "PlotGeometry.h"
#include "PlotPolyline.h"

namespace {

// Ends of two curves closer than this meet.
constexpr double kJoinTolerance = 0.1;
// An arc whose sweep is this close to a full turn is a whole circle: it has no single bulge.
constexpr double kFullTurnTolerance = 1.0e-9;

enum ChainResult { kChained = 0, kNoIds = 1, kNotACurve = 2, kFork = 3, kNotOneChain = 4, kNotAdded = 5 };

const char* const kMessages[] = {
    "",
    "\n没有给出曲线。",
    "\n所给对象中有不是直线、圆弧或多段线的对象。",
    "\n曲线有分叉：三个或更多的端点相交于一点。",
    "\n曲线之间有缺口，不能首尾相连成一条线。",
    "\n无法把连成的多段线加入图形。",
};

// A curve as vertices and the bulges of the segments between them, in the XY plane.
struct Path {
  std::vector<AcGePoint2d> points;
  std::vector<double> bulges;  // bulges[i]: the segment from points[i] to points[i + 1]

  void reverse() {
    std::reverse(points.begin(), points.end());
    std::reverse(bulges.begin(), bulges.end());
    for (double& b : bulges) b = -b;
  }
  // Appends a path that starts where this one ends.
  void extend(const Path& next) {
    points.insert(points.end(), next.points.begin() + 1, next.points.end());
    bulges.insert(bulges.end(), next.bulges.begin(), next.bulges.end());
  }
};

AcGePoint2d flat(const AcGePoint3d& p) { return AcGePoint2d(p.x, p.y); }

bool meet(const AcGePoint2d& a, const AcGePoint2d& b) { return a.distanceTo(b) <= kJoinTolerance; }

// An arc runs counter-clockwise about its normal: seen from above (+Z) a normal pointing
// down turns it clockwise. A whole circle is cut into two halves.
Path arcPath(const AcDbArc* pArc) {
  double sweep = pArc->totalAngle(), turn = pArc->normal().z < 0.0 ? -1.0 : 1.0;
  AcGePoint3d start, end;
  pArc->getStartPoint(start);
  pArc->getEndPoint(end);
  if (2.0 * std::numbers::pi - sweep > kFullTurnTolerance)
    return {{flat(start), flat(end)}, {turn * curvane::bulgeOfSweep(sweep)}};
  AcGePoint3d middle;
  double startParam = 0.0;
  pArc->getStartParam(startParam);
  pArc->getPointAtParam(startParam + sweep / 2.0, middle);
  double half = turn * curvane::bulgeOfSweep(sweep / 2.0);
  return {{flat(start), flat(middle), flat(end)}, {half, half}};
}

// A closed polyline's path returns to its first vertex.
Path polylinePath(const AcDbPolyline* pPline) {
  Path path;
  double turn = pPline->normal().z < 0.0 ? -1.0 : 1.0;
  unsigned int n = pPline->numVerts();
  for (unsigned int i = 0; i < n; ++i) {
    AcGePoint3d p;
    double bulge = 0.0;
    pPline->getPointAt(i, p);
    pPline->getBulgeAt(i, bulge);
    path.points.push_back(flat(p));
    path.bulges.push_back(turn * bulge);
  }
  if (pPline->isClosed() && n > 1) {
    path.points.push_back(path.points.front());
  } else if (!path.bulges.empty()) {
    path.bulges.pop_back();
  }
  return path;
}

// The path of a line, arc or polyline of at least two vertices, and its database.
bool readPath(AcDbObjectId id, Path& path, AcDbDatabase*& pDb) {
  AcDbEntity* pEnt = nullptr;
  if (acdbOpenAcDbEntity(pEnt, id, AcDb::kForRead) != Acad::eOk) return false;
  if (auto* pLine = AcDbLine::cast(pEnt)) {
    path = {{flat(pLine->startPoint()), flat(pLine->endPoint())}, {0.0}};
  } else if (auto* pArc = AcDbArc::cast(pEnt)) {
    path = arcPath(pArc);
  } else if (auto* pPline = AcDbPolyline::cast(pEnt)) {
    path = polylinePath(pPline);
  } else {
    path = {};
  }
  pDb = pEnt->database();
  pEnt->close();
  return path.points.size() >= 2;
}

// True when three or more ends meet at one point.
bool forks(const std::vector<Path>& paths) {
  std::vector<AcGePoint2d> ends;
  for (const Path& p : paths) {
    ends.push_back(p.points.front());
    ends.push_back(p.points.back());
  }
  return std::any_of(ends.begin(), ends.end(), [&](const AcGePoint2d& e) {
    return std::count_if(ends.begin(), ends.end(), [&](const AcGePoint2d& f) { return meet(e, f); }) > 2;
  });
}

// Grows the chain at its last point with every path that meets it, turning paths round
// where they meet it with their last point.
void growAtEnd(Path& chain, std::vector<Path>& paths, std::vector<bool>& used) {
  for (bool grew = true; grew;) {
    grew = false;
    for (size_t i = 0; i < paths.size() && !grew; ++i) {
      if (used[i]) continue;
      bool forward = meet(paths[i].points.front(), chain.points.back());
      if (!forward && !meet(paths[i].points.back(), chain.points.back())) continue;
      if (!forward) paths[i].reverse();
      chain.extend(paths[i]);
      used[i] = grew = true;
    }
  }
}

int chainPaths(std::vector<Path> paths, Path& chain) {
  if (forks(paths)) return kFork;
  std::vector<bool> used(paths.size(), false);
  chain = paths.front();
  used.front() = true;
  growAtEnd(chain, paths, used);
  chain.reverse();
  growAtEnd(chain, paths, used);
  chain.reverse();  // the first curve keeps its own direction
  return std::all_of(used.begin(), used.end(), [](bool u) { return u; }) ? kChained : kNotOneChain;
}

int postChain(const Path& chain, AcDbDatabase* pDb, AcDbObjectId& plineId) {
  bool closed = chain.bulges.size() >= 2 && meet(chain.points.front(), chain.points.back());
  size_t count = closed ? chain.points.size() - 1 : chain.points.size();
  auto* pPline = new AcDbPolyline(static_cast<unsigned int>(count));
  for (size_t i = 0; i < count; ++i)
    pPline->addVertexAt(static_cast<unsigned int>(i), chain.points[i], i < chain.bulges.size() ? chain.bulges[i] : 0.0);
  pPline->setClosed(closed);
  if (curvane::postToModelSpace(pDb, pPline, plineId) != Acad::eOk) {
    delete pPline;
    plineId = AcDbObjectId::kNull;
    return kNotAdded;
  }
  pPline->close();
  return kChained;
}

int chainAndPost(const AcDbObjectIdArray& ids, AcDbObjectId& plineId) {
  if (ids.isEmpty()) return kNoIds;
  std::vector<Path> paths(static_cast<size_t>(ids.length()));
  AcDbDatabase* pDb = nullptr;
  for (int i = 0; i < ids.length(); ++i)
    if (!readPath(ids[i], paths[static_cast<size_t>(i)], pDb)) return kNotACurve;
  Path chain;
  int rc = chainPaths(std::move(paths), chain);
  return rc != kChained ? rc : postChain(chain, pDb, plineId);
}

}  // namespace

int PlotPolyline::getPolyline(const AcDbObjectIdArray& ids, AcDbObjectId& plineId) {
  plineId = AcDbObjectId::kNull;
  int rc = chainAndPost(ids, plineId);
  if (rc != kChained) acutPrintf("%s", kMessages[rc]);
  return rc;
}
