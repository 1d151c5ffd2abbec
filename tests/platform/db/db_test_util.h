// Helpers shared by the database tests: misuse recording and model-space appends.
#pragma once
#include <contura/db/diagnostics.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbpl.h>
#include <dbsymtb.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace dbtest {

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

inline void expectPoint(const AcGePoint3d& got, const AcGePoint3d& want, double tol = 1e-9) {
  EXPECT_TRUE(got.distanceTo(want) <= tol) << "(" << got.x << ", " << got.y << ", " << got.z << ") instead of ("
                                           << want.x << ", " << want.y << ", " << want.z << ")";
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
  expectPoint(ext.minPoint(), lo, tol);
  expectPoint(ext.maxPoint(), hi, tol);
}

inline std::string takeString(ACHAR* copy) {
  std::string out = copy ? copy : "";
  delete[] copy;
  return out;
}

}  // namespace dbtest
