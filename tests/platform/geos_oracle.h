// GEOS as the independent oracle of the intersection tests: a quiet reentrant context and the
// intersection of two polylines as isolated points, shared length and gap.
#pragma once
#include <geos_c.h>

#include <gepnt2d.h>

#include <memory>
#include <vector>

namespace geosoracle {

inline void quiet(const char*, void*) {}

struct Geos {
  GEOSContextHandle_t h = GEOS_init_r();
  Geos() {
    GEOSContext_setNoticeMessageHandler_r(h, quiet, nullptr);
    GEOSContext_setErrorMessageHandler_r(h, quiet, nullptr);
  }
  ~Geos() { GEOS_finish_r(h); }
  Geos(const Geos&) = delete;
  Geos& operator=(const Geos&) = delete;
};

struct GeomFree {
  GEOSContextHandle_t h;
  void operator()(GEOSGeometry* g) const { GEOSGeom_destroy_r(h, g); }
};
using Geom = std::unique_ptr<GEOSGeometry, GeomFree>;

inline Geom lineString(const Geos& g, const std::vector<AcGePoint2d>& pts) {
  GEOSCoordSequence* seq = GEOSCoordSeq_create_r(g.h, unsigned(pts.size()), 2);
  for (unsigned i = 0; i < pts.size(); ++i) GEOSCoordSeq_setXY_r(g.h, seq, i, pts[i].x, pts[i].y);
  return Geom(GEOSGeom_createLineString_r(g.h, seq), GeomFree{g.h});
}

// What GEOS finds: isolated points, the length of shared linework and the distance between
// the two when they do not meet.
struct Reference {
  std::vector<AcGePoint2d> points;
  double overlap = 0.0;
  double gap = 0.0;
};

inline void collect(const Geos& g, const GEOSGeometry* geom, Reference& out) {
  const int type = GEOSGeomTypeId_r(g.h, geom);
  if (type == GEOS_POINT) {
    if (GEOSisEmpty_r(g.h, geom)) return;
    double x = 0, y = 0;
    GEOSGeomGetX_r(g.h, geom, &x);
    GEOSGeomGetY_r(g.h, geom, &y);
    out.points.emplace_back(x, y);
  } else if (type == GEOS_LINESTRING) {
    double len = 0;
    GEOSLength_r(g.h, geom, &len);
    out.overlap += len;
  } else {
    for (int i = 0; i < GEOSGetNumGeometries_r(g.h, geom); ++i) collect(g, GEOSGetGeometryN_r(g.h, geom, i), out);
  }
}

// The intersection of the polylines through a and through b; the gap only when asked (it
// costs a pass over every pair of segments).
inline Reference intersect(const Geos& g, const std::vector<AcGePoint2d>& a, const std::vector<AcGePoint2d>& b,
                           bool withGap = false) {
  Geom ga = lineString(g, a), gb = lineString(g, b);
  Reference r;
  Geom x(GEOSIntersection_r(g.h, ga.get(), gb.get()), GeomFree{g.h});
  if (x) collect(g, x.get(), r);
  if (withGap) GEOSDistance_r(g.h, ga.get(), gb.get(), &r.gap);
  return r;
}

}  // namespace geosoracle
