// Tests of the variable entity: its runtime class, properties, the open protocol of its
// setters, copies through its filing, and its transform.
#include <AcDbVarCommon.h>
#include <acdb.h>
#include <dbapserv.h>
#include <dbsymtb.h>
#include <gemat3d.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "varcommon_fixture.h"

namespace {

TEST(VarCommon, RegisteredWhenTheLibraryIsLoaded) {
  AcRxObject* found = acrxClassDictionary->at("AcDbVarCommon");
  ASSERT_NE(found, nullptr);
  AcRxClass* cls = AcRxClass::cast(found);
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(cls, AcDbVarCommon::desc());
  EXPECT_TRUE(cls->isDerivedFrom(AcDbText::desc()));
  std::unique_ptr<AcRxObject> made(cls->create());
  AcDbVarCommon* v = AcDbVarCommon::cast(made.get());
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(v->isKindOf(AcDbText::desc()));
  // Defaults of a new entity.
  EXPECT_EQ(v->getVarNameVisible(), 1);
  EXPECT_EQ(v->getVarValueColor(), 7);
  EXPECT_STREQ(v->getVarRemark(), "");
}

TEST(VarCommon, ClonesThroughItsFiling) {
  std::unique_ptr<AcDbVarCommon> v(fullVariable());
  std::unique_ptr<AcRxObject> copy(v->clone());
  AcDbVarCommon* c = AcDbVarCommon::cast(copy.get());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(propsOf(c), propsOf(v.get()));
}

TEST(VarCommon, SettersNeedTheEntityOpenForWrite) {
  AcDbDatabase db(true);
  AcDbBlockTable* table = nullptr;
  db.getBlockTable(table, AcDb::kForRead);
  AcDbBlockTableRecord* model = nullptr;
  table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForWrite);
  AcDbVarCommon* v = fullVariable();
  const VarProps full = propsOf(v);
  AcDbObjectId id;
  ASSERT_EQ(model->appendAcDbEntity(id, v), Acad::eOk);
  v->close();
  model->close();
  table->close();

  AcDbVarCommon* pRead = nullptr;
  ASSERT_EQ(acdbOpenObject(pRead, id, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(propsOf(pRead), full);
#ifdef NDEBUG
  EXPECT_EQ(pRead->putVarCode("X"), Acad::eNotOpenForWrite);
  EXPECT_EQ(propsOf(pRead), full);
#endif
  pRead->close();
  AcDbVarCommon* pWrite = nullptr;
  ASSERT_EQ(acdbOpenObject(pWrite, id, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(pWrite->putVarCode("X"), Acad::eOk);
  pWrite->close();
  AcDbObject* pAny = nullptr;
  ASSERT_EQ(acdbOpenAcDbObject(pAny, id, AcDb::kForRead, false, AcDbVarCommon::desc()), Acad::eOk);
  EXPECT_STREQ(AcDbVarCommon::cast(pAny)->getVarCode(), "X");
  pAny->close();
}

TEST(VarCommon, TheValueMovesTurnsAndScalesWithTheText) {
  std::unique_ptr<AcDbVarCommon> v(fullVariable());
  AcGeMatrix3d m = AcGeMatrix3d::translation(AcGeVector3d(10, 0, 0)) *
                   AcGeMatrix3d::rotation(std::numbers::pi / 2, AcGeVector3d::kZAxis, AcGePoint3d::kOrigin) *
                   AcGeMatrix3d::scaling(2.0, AcGePoint3d::kOrigin);
  ASSERT_EQ(v->transformBy(m), Acad::eOk);
  AcGePoint3d p = v->getValuePosition();  // (15,25) scaled to (30,50), turned to (-50,30), moved
  EXPECT_NEAR(p.x, -40.0, 1e-9);
  EXPECT_NEAR(p.y, 30.0, 1e-9);
  EXPECT_NEAR(v->getVarAngle(), std::numbers::pi, 1e-9);  // a quarter turn more
  EXPECT_NEAR(v->getVarValueHeight(), 5.0, 1e-9);
  EXPECT_NEAR(v->height(), 100.0, 1e-9);
}

}  // namespace
