// Helpers shared by the database tests: misuse recording, appends, owned entity arrays and
// curve builders.
#pragma once
#include <contura/db/diagnostics.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbpl.h>
#include <dbregion.h>
#include <dbsymtb.h>

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dbtest {

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

template <class T> double areaOf(const T* entity) {
  double a = 0.0;
  EXPECT_EQ(entity->getArea(a), Acad::eOk);
  return a;
}

// What getAreaProp reports of a region measured in the system (origin, x, y).
struct AreaProps {
  Acad::ErrorStatus es = Acad::eOk;
  double perimeter = 0.0, area = 0.0, mom[2] = {}, prod = 0.0, prin[2] = {}, radii[2] = {};
  AcGePoint2d centroid, lo, hi;
  AcGeVector2d axes[2];
};

inline AreaProps areaProps(const AcDbRegion& r, const AcGePoint3d& origin = AcGePoint3d::kOrigin,
                           const AcGeVector3d& x = AcGeVector3d::kXAxis, const AcGeVector3d& y = AcGeVector3d::kYAxis) {
  AreaProps p;
  p.es = r.getAreaProp(origin, x, y, p.perimeter, p.area, p.centroid, p.mom, p.prod, p.prin, p.axes, p.radii, p.lo, p.hi);
  return p;
}

// Area and perimeter of the first region made from the curves (which are deleted); with
// moments (the region then lies in the XY plane), its centroid too, and the exact loop
// measures must agree with the integrated ones.
struct RegionFacts {
  Acad::ErrorStatus es = Acad::eOk;
  int count = 0;
  double area = 0.0, perimeter = 0.0;
  AcGePoint2d centroid;
};

inline RegionFacts regionFacts(const std::vector<AcDbCurve*>& curves, bool withMoments = true) {
  Owned input, regions;
  for (AcDbCurve* c : curves) input.add(c);
  RegionFacts f;
  f.es = AcDbRegion::createFromCurves(input.items, regions.items);
  f.count = regions.size();
  if (f.es != Acad::eOk || f.count == 0) return f;
  const auto* region = regions.as<AcDbRegion>(0);
  f.area = areaOf(region);
  EXPECT_EQ(region->getPerimeter(f.perimeter), Acad::eOk);
  if (withMoments) {
    const AreaProps p = areaProps(*region);
    EXPECT_EQ(p.es, Acad::eOk);
    EXPECT_NEAR(p.area, f.area, 1e-9 * std::max(1.0, f.area));
    EXPECT_NEAR(p.perimeter, f.perimeter, 1e-9 * std::max(1.0, f.perimeter));
    f.centroid = p.centroid;
  }
  return f;
}

// Records misuse reports instead of stopping (debug builds stop by default).
class MisuseRecorder {
public:
  MisuseRecorder() { mPrevious = contura::db::setMisuseHandler(&MisuseRecorder::record); reports().clear(); }
  ~MisuseRecorder() { contura::db::setMisuseHandler(mPrevious); }
  static std::vector<Acad::ErrorStatus>& reports() {
    static std::vector<Acad::ErrorStatus> r;
    return r;
  }

private:
  static void record(Acad::ErrorStatus es, const char*) { reports().push_back(es); }
  contura::db::MisuseHandler mPrevious;
};

// Appends a new entity to the named block (created when missing) and closes it.
inline AcDbObjectId appendToBlock(AcDbDatabase& db, const char* blockName, AcDbEntity* ent,
                                  AcDbObjectId* blockId = nullptr) {
  AcDbBlockTable* bt = nullptr;
  EXPECT_EQ(db.getBlockTable(bt, AcDb::kForWrite), Acad::eOk);
  AcDbBlockTableRecord* block = nullptr;
  if (bt->getAt(blockName, block, AcDb::kForWrite) != Acad::eOk) {
    block = new AcDbBlockTableRecord();
    block->setName(blockName);
    EXPECT_EQ(bt->add(block), Acad::eOk);
  }
  bt->close();
  if (blockId) *blockId = block->objectId();
  AcDbObjectId id;
  EXPECT_EQ(block->appendAcDbEntity(id, ent), Acad::eOk);
  ent->close();
  block->close();
  return id;
}

inline AcDbObjectId appendToModelSpace(AcDbDatabase& db, AcDbEntity* ent) {
  return appendToBlock(db, ACDB_MODEL_SPACE, ent);
}

// Opens the object of an id as T for the scope (closed at its end); status() is the result.
template <class T>
class Opened {
public:
  explicit Opened(AcDbObjectId id, AcDb::OpenMode mode = AcDb::kForRead, bool openErased = false)
      : mStatus(acdbOpenObject(mPtr, id, mode, openErased)) {}
  ~Opened() {
    if (mPtr) mPtr->close();
  }
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;
  T* operator->() const { return mPtr; }
  T* get() const { return mPtr; }
  Acad::ErrorStatus status() const { return mStatus; }

private:
  T* mPtr = nullptr;
  Acad::ErrorStatus mStatus;
};

inline AcDbObjectId modelSpaceId(AcDbDatabase& db) {
  AcDbBlockTable* bt = nullptr;
  AcDbObjectId id;
  EXPECT_EQ(db.getBlockTable(bt, AcDb::kForRead), Acad::eOk);
  bt->getAt(ACDB_MODEL_SPACE, id);
  bt->close();
  return id;
}

inline void erase(AcDbObjectId id) {
  Opened<AcDbObject> obj(id, AcDb::kForWrite);
  ASSERT_EQ(obj.status(), Acad::eOk);
  EXPECT_EQ(obj->erase(), Acad::eOk);
}

inline AcDbObjectId addLayer(AcDbDatabase& db, const char* name, int colorIndex = 7) {
  AcDbLayerTable* lt = nullptr;
  EXPECT_EQ(db.getLayerTable(lt, AcDb::kForWrite), Acad::eOk);
  auto* rec = new AcDbLayerTableRecord();
  rec->setName(name);
  AcCmColor c;
  c.setColorIndex(Adesk::UInt16(colorIndex));
  rec->setColor(c);
  AcDbObjectId id;
  EXPECT_EQ(lt->add(id, rec), Acad::eOk);
  rec->close();
  lt->close();
  return id;
}

// The name of a layer, linetype or other record (copy released here).
inline std::string nameOf(AcDbObjectId recordId) {
  AcDbSymbolTableRecord* rec = nullptr;
  if (acdbOpenObject(rec, recordId, AcDb::kForRead) != Acad::eOk) return "<unopenable>";
  const ACHAR* name = nullptr;
  rec->getName(name);
  std::string out = name;
  rec->close();
  return out;
}

// Start and end width of a lightweight polyline's vertex.
inline std::pair<double, double> widthsAt(const AcDbPolyline& pl, unsigned index) {
  double start = -1.0, end = -1.0;
  EXPECT_EQ(pl.getWidthsAt(index, start, end), Acad::eOk);
  return {start, end};
}

// An AcArray holding the values given.
template <class T>
AcArray<T> arrayOf(std::initializer_list<T> values) {
  AcArray<T> out;
  for (const T& v : values) out.append(v);
  return out;
}

inline AcGePoint3d startOf(const AcDbCurve& c) {
  AcGePoint3d p;
  EXPECT_EQ(c.getStartPoint(p), Acad::eOk);
  return p;
}
inline AcGePoint3d endOf(const AcDbCurve& c) {
  AcGePoint3d p;
  EXPECT_EQ(c.getEndPoint(p), Acad::eOk);
  return p;
}
inline AcGePoint3d pointAt(const AcDbCurve& c, double param) {
  AcGePoint3d p;
  EXPECT_EQ(c.getPointAtParam(param, p), Acad::eOk);
  return p;
}

// The geometric extents of an entity are the box lo..hi.
inline void expectExtents(const AcDbEntity& ent, const AcGePoint3d& lo, const AcGePoint3d& hi, double tol = 1e-9) {
  AcDbExtents ext;
  ASSERT_EQ(ent.getGeomExtents(ext), Acad::eOk);
  expectNear(ext.minPoint(), lo, tol);
  expectNear(ext.maxPoint(), hi, tol);
}

inline std::string takeString(ACHAR* copy) {
  std::string out = copy ? copy : "";
  delete[] copy;
  return out;
}

}  // namespace dbtest
