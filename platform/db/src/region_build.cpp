// Regions from curves: closed curves become regions alone; open lines, arcs and polylines
// that join end to end into closed coplanar loops become one region per loop.
#include "area_props.h"
#include "curve_geom.h"

#include <contura/ge/curve2d.h>
#include <dbregion.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace contura::db {
namespace {

bool regionInput(CurveKind kind) {
  switch (kind) {
    case CurveKind::kLine:
    case CurveKind::kArc:
    case CurveKind::kCircle:
    case CurveKind::kPolyline:
    case CurveKind::kPolyline2d:
      return true;
    default:
      return false;
  }
}

// One member of a loop: the curve and whether the loop runs along it backwards.
struct Member {
  const AcDbCurve* curve;
  bool reversed;
};
using Chain = std::vector<Member>;

struct Ends {
  AcGePoint3d start, end;
};

// Groups the curves into closed chains: closed curves alone, open ones joined end to end.
// False (with the offending curve's index) when an open curve does not close a loop.
bool chainCurves(const std::vector<const AcDbCurve*>& curves, double tol, std::vector<Chain>& chains) {
  const size_t n = curves.size();
  std::vector<Ends> ends(n);
  std::vector<bool> used(n, false);
  for (size_t i = 0; i < n; ++i) {
    if (curves[i]->getStartPoint(ends[i].start) != Acad::eOk || curves[i]->getEndPoint(ends[i].end) != Acad::eOk)
      return false;
    if (curves[i]->isClosed()) {
      chains.push_back({{curves[i], false}});
      used[i] = true;
    }
  }
  for (size_t i = 0; i < n; ++i) {
    if (used[i]) continue;
    used[i] = true;
    Chain chain{{curves[i], false}};
    const AcGePoint3d first = ends[i].start;
    AcGePoint3d at = ends[i].end;
    while (at.distanceTo(first) > tol) {
      size_t next = n;
      bool backwards = false;
      for (size_t j = 0; j < n && next == n; ++j) {
        if (used[j]) continue;
        if (ends[j].start.distanceTo(at) <= tol) next = j;
        else if (ends[j].end.distanceTo(at) <= tol) next = j, backwards = true;
      }
      if (next == n) return false;  // an open end: no loop
      used[next] = true;
      chain.push_back({curves[next], backwards});
      at = backwards ? ends[next].start : ends[next].end;
    }
    chains.push_back(std::move(chain));
  }
  return true;
}

// The plane of a chain: that of its first planar member, else of its straight members'
// end points (Newell's normal, turned to face +Z, +Y or +X). False when it has none.
bool chainFrame(const Chain& chain, PlaneFrame& f) {
  for (const Member& m : chain)
    if (naturalFrame(m.curve, f)) return true;
  AcGeVector3d n;
  std::vector<AcGePoint3d> pts;
  for (const Member& m : chain) {
    AcGePoint3d p;
    m.reversed ? m.curve->getEndPoint(p) : m.curve->getStartPoint(p);
    pts.push_back(p);
  }
  for (size_t i = 0; i < pts.size(); ++i) {
    const AcGePoint3d& a = pts[i];
    const AcGePoint3d& b = pts[(i + 1) % pts.size()];
    n += AcGeVector3d((a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y));
  }
  if (n.length() <= kZeroLength) return false;
  n.normalize();
  if (n.z < 0.0 || (n.z == 0.0 && (n.y < 0.0 || (n.y == 0.0 && n.x < 0.0)))) n = -n;
  f = PlaneFrame::ofNormal(n, pts.front().asVector().dotProduct(n));
  return true;
}

// The chain as loop vertices in frame f: each piece's start point and bulge, in the loop's
// direction. False when a member is not in the plane.
bool chainLoop(const Chain& chain, const PlaneFrame& f, double tol, ge::BulgeLoop& loop) {
  for (const Member& m : chain) {
    std::vector<Piece> pieces;
    if (!planarPieces(m.curve, f, false, false, pieces)) return false;
    std::vector<ge::BulgeVertex> verts;
    for (const Piece& piece : pieces) {
      if (const auto* arc = std::get_if<AcGeCircArc2d>(&piece)) {
        if (arc->isFullCircle()) {
          // A circle: two half turns.
          const AcGeVector2d r(arc->radius(), 0.0);
          verts.push_back({arc->center() + r, 1.0});
          verts.push_back({arc->center() - r, 1.0});
        } else {
          verts.push_back({arc->startPoint(), ge::bulgeOfArc(*arc)});
        }
      } else if (const auto* seg = std::get_if<AcGeLineSeg2d>(&piece)) {
        verts.push_back({seg->startPoint(), 0.0});
      }
    }
    if (m.reversed) {
      // Walk backwards: each piece starts at its old end with the opposite bulge.
      std::vector<ge::BulgeVertex> back;
      std::vector<AcGePoint2d> endsOf;
      for (const Piece& piece : pieces) {
        AcGePoint2d e;
        pieceCurve(piece).hasEndPoint(e);
        endsOf.push_back(e);
      }
      for (size_t k = verts.size(); k-- > 0;) back.push_back({endsOf[k], -verts[k].bulge});
      verts = std::move(back);
    }
    loop.insert(loop.end(), verts.begin(), verts.end());
  }
  // Coincident neighbours (zero-length pieces, joints within tolerance) become one vertex.
  ge::BulgeLoop clean;
  for (const ge::BulgeVertex& v : loop) {
    if (!clean.empty() && clean.back().point.distanceTo(v.point) <= tol) {
      clean.back().bulge = v.bulge;
      continue;
    }
    clean.push_back(v);
  }
  while (clean.size() > 1 && clean.back().point.distanceTo(clean.front().point) <= tol) clean.pop_back();
  loop = std::move(clean);
  return true;
}

}  // namespace
}  // namespace contura::db

namespace ge = contura::ge;

Acad::ErrorStatus AcDbRegion::createFromCurves(const AcDbVoidPtrArray& curveSegments, AcDbVoidPtrArray& regions) {
  using namespace contura::db;
  std::vector<const AcDbCurve*> curves;
  double size = 0.0;
  for (void* p : curveSegments) {
    const auto* curve = AcDbCurve::cast(static_cast<AcDbEntity*>(p));
    if (p == nullptr || curve == nullptr) return Acad::eInvalidInput;
    const CurveKind kind = curveKind(curve);
    if (kind == CurveKind::kEllipse || kind == CurveKind::kSpline) return Acad::eNotImplementedYet;
    if (!regionInput(kind)) return Acad::eInvalidInput;
    curves.push_back(curve);
    size = std::max(size, curveSize(curve));
  }
  if (curves.empty()) return Acad::eInvalidInput;
  const double tol = onCurveTol(size);
  std::vector<Chain> chains;
  if (!chainCurves(curves, tol, chains)) return Acad::eInvalidInput;

  // Build every region before handing any out, so that a refusal leaves nothing behind.
  std::vector<std::unique_ptr<AcDbRegion>> made;
  for (const Chain& chain : chains) {
    PlaneFrame f;
    ge::BulgeLoop loop;
    if (!chainFrame(chain, f) || !chainLoop(chain, f, tol, loop)) return Acad::eInvalidInput;
    if (loop.size() < 2 || ge::isSelfIntersecting(loop)) return Acad::eInvalidInput;
    if (ge::loopSignedArea(loop) < 0.0) {
      // Keep loops counter-clockwise about the region's normal.
      ge::BulgeLoop ccw;
      for (size_t k = loop.size(); k-- > 0;) ccw.push_back({loop[k].point, -loop[(k + loop.size() - 1) % loop.size()].bulge});
      loop = std::move(ccw);
    }
    if (!(std::fabs(ge::loopSignedArea(loop)) > kZeroLength)) return Acad::eInvalidInput;
    RegionData data;
    data.origin = f.origin;
    data.xAxis = f.xAxis;
    data.yAxis = f.yAxis;
    Loop2d stored;
    for (const ge::BulgeVertex& v : loop) stored.push_back({v.point, v.bulge});
    data.loops.push_back(std::move(stored));
    auto region = std::make_unique<AcDbRegion>();
    region->setPropertiesFrom(chain.front().curve);
    const Acad::ErrorStatus es = setRegionData(*region, std::move(data));
    if (es != Acad::eOk) return es;
    made.push_back(std::move(region));
  }
  for (auto& region : made) regions.append(region.release());
  return Acad::eOk;
}
