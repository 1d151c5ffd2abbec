// Helpers of the curve, region and intersection tests: owned entity arrays and builders.
#pragma once
#include <dbents.h>
#include <dbpl.h>
#include <dbregion.h>

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>

namespace curvetest {

constexpr double kPi = 3.14159265358979323846;

// Owns the entities a member hands out in an AcDbVoidPtrArray.
struct Owned {
  AcDbVoidPtrArray items;
  Owned() = default;
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { clear(); }
  void clear() {
    for (void* p : items) delete static_cast<AcDbEntity*>(p);
    items.setLogicalLength(0);
  }
  int size() const { return items.length(); }
  AcDbEntity* at(int i) const { return static_cast<AcDbEntity*>(items[i]); }
  template <class T> T* as(int i) const { return T::cast(at(i)); }
  void add(AcDbEntity* e) { items.append(e); }
};

struct V {
  double x, y, bulge = 0.0;
};

inline AcDbPolyline* polyline(std::initializer_list<V> verts, bool closed = false) {
  auto* pl = new AcDbPolyline();
  unsigned i = 0;
  for (const V& v : verts) pl->addVertexAt(i++, AcGePoint2d(v.x, v.y), v.bulge);
  pl->setClosed(closed);
  return pl;
}

inline AcDb2dPolyline* poly2d(std::initializer_list<V> verts, bool closed = false) {
  AcGePoint3dArray pts;
  AcGeDoubleArray bulges;
  for (const V& v : verts) {
    pts.append(AcGePoint3d(v.x, v.y, 0));
    bulges.append(v.bulge);
  }
  return new AcDb2dPolyline(AcDb::k2dSimplePoly, pts, 0.0, closed, 0.0, 0.0, &bulges);
}

inline AcDbRay* ray(double x, double y, double dx, double dy, bool both = false) {
  AcDbRay* r = both ? new AcDbXline() : new AcDbRay();
  r->setBasePoint(AcGePoint3d(x, y, 0));
  r->setUnitDir(AcGeVector3d(dx, dy, 0));
  return r;
}

inline AcDbLine* line(double x0, double y0, double x1, double y1) {
  return new AcDbLine(AcGePoint3d(x0, y0, 0), AcGePoint3d(x1, y1, 0));
}

inline AcDbArc* arc(double cx, double cy, double r, double a0, double a1) {
  return new AcDbArc(AcGePoint3d(cx, cy, 0), r, a0, a1);
}

inline void expectNear(const AcGePoint3d& a, const AcGePoint3d& b, double tol = 1e-9) {
  EXPECT_NEAR(a.x, b.x, tol);
  EXPECT_NEAR(a.y, b.y, tol);
  EXPECT_NEAR(a.z, b.z, tol);
}

inline double curveLength(const AcDbCurve* c) {
  double end = 0.0, len = 0.0;
  EXPECT_EQ(c->getEndParam(end), Acad::eOk);
  EXPECT_EQ(c->getDistAtParam(end, len), Acad::eOk);
  return len;
}

// Area, perimeter and centroid of the first region made from the curves (which are deleted).
struct RegionFacts {
  Acad::ErrorStatus es = Acad::eOk;
  int count = 0;
  double area = 0.0, perimeter = 0.0;
  AcGePoint2d centroid;
};

inline RegionFacts regionFacts(std::initializer_list<AcDbCurve*> curves) {
  Owned input, regions;
  for (AcDbCurve* c : curves) input.add(c);
  RegionFacts f;
  f.es = AcDbRegion::createFromCurves(input.items, regions.items);
  f.count = regions.size();
  if (f.es != Acad::eOk || f.count == 0) return f;
  auto* region = regions.as<AcDbRegion>(0);
  double mom[2], prod, prin[2], radii[2];
  AcGeVector2d axes[2];
  AcGePoint2d lo, hi;
  EXPECT_EQ(region->getAreaProp(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, AcGeVector3d::kYAxis, f.perimeter, f.area,
                                f.centroid, mom, prod, prin, axes, radii, lo, hi),
            Acad::eOk);
  double area = 0.0, perimeter = 0.0;
  EXPECT_EQ(region->getArea(area), Acad::eOk);
  EXPECT_EQ(region->getPerimeter(perimeter), Acad::eOk);
  // The exact loop measures and the integrated moments agree.
  EXPECT_NEAR(area, f.area, 1e-9 * std::max(1.0, area));
  EXPECT_NEAR(perimeter, f.perimeter, 1e-9 * std::max(1.0, perimeter));
  return f;
}

}  // namespace curvetest
