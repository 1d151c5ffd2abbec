// The variable entity saved in a drawing file and read back as its own class, with every
// property; and the drawing file as an independent reader (python3-ezdxf) sees it.
#include <AcDbVarCommon.h>
#include <acdb.h>
#include <dbsymtb.h>
#include <gtest/gtest.h>

#include <contura/dxf/dxf.h>

namespace {

AcDbObjectId addVariable(AcDbDatabase& db) {
  AcDbBlockTable* table = nullptr;
  db.getBlockTable(table, AcDb::kForRead);
  AcDbBlockTableRecord* model = nullptr;
  table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForWrite);
  auto* v = new AcDbVarCommon();
  v->setTextString("\xBF\xED B");  // 宽 B
  v->setPosition(AcGePoint3d(10, 20, 0));
  v->setHeight(3.5);
  v->setRotation(0.125);
  v->setColorIndex(1);
  v->putVarCode("B1");
  v->putNameVisible(0);
  v->putVarSort(4);
  v->putCondiction("B>0");
  v->putVarRemark("\xD6\xF9\xBF\xED\n\nmm");
  v->putVarInitialValue("300");
  v->putVarSetValue("350.5");
  v->putVarValueHeight(2.25);
  v->putValuePosition(AcGePoint3d(15, 20, 0));
  v->putVarAngle(0.1);
  v->putVarValueColor(3);
  v->putVarType("\xD5\xFB\xCA\xFD");
  AcDbObjectId id;
  model->appendAcDbEntity(id, v);
  v->close();
  model->close();
  table->close();
  return id;
}

TEST(VarCommonDxf, SavedAndReadBackAsItsOwnClass) {
  AcDbDatabase db(true);
  addVariable(db);
  std::string text;
  contura::dxf::DxfError error;
  ASSERT_EQ(contura::dxf::writeDxfText(db, text, {}, error), Acad::eOk);
  // Its own record type and subclass marker (lines may end in CR LF).
  EXPECT_TRUE(text.find("\nVARCOMMON\r\n") != std::string::npos ||
              text.find("\nVARCOMMON\n") != std::string::npos);
  EXPECT_NE(text.find("AcDbVarCommon"), std::string::npos);

  AcDbDatabase back(false);
  ASSERT_EQ(contura::dxf::readDxfText(text, back, error), Acad::eOk);
  AcDbBlockTable* table = nullptr;
  back.getBlockTable(table, AcDb::kForRead);
  AcDbBlockTableRecord* model = nullptr;
  table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForRead);
  table->close();
  AcDbBlockTableRecordIterator* it = nullptr;
  model->newIterator(it);
  int count = 0;
  for (; !it->done(); it->step()) {
    AcDbEntity* e = nullptr;
    ASSERT_EQ(it->getEntity(e, AcDb::kForRead), Acad::eOk);
    AcDbVarCommon* v = AcDbVarCommon::cast(e);
    ASSERT_NE(v, nullptr) << e->isA()->name();
    ++count;
    EXPECT_STREQ(v->textStringConst(), "\xBF\xED B");
    EXPECT_EQ(v->position(), AcGePoint3d(10, 20, 0));
    EXPECT_EQ(v->height(), 3.5);
    EXPECT_EQ(v->rotation(), 0.125);
    EXPECT_EQ(v->colorIndex(), 1);
    EXPECT_STREQ(v->getVarCode(), "B1");
    EXPECT_EQ(v->getVarNameVisible(), 0);
    EXPECT_EQ(v->getVarSort(), 4);
    EXPECT_STREQ(v->getCondiction(), "B>0");
    EXPECT_STREQ(v->getVarRemark(), "\xD6\xF9\xBF\xED\n\nmm");
    EXPECT_STREQ(v->getVarInitialValue(), "300");
    EXPECT_STREQ(v->getVarSetValue(), "350.5");
    EXPECT_EQ(v->getVarValueHeight(), 2.25);
    EXPECT_EQ(v->getValuePosition(), AcGePoint3d(15, 20, 0));
    EXPECT_EQ(v->getVarAngle(), 0.1);
    EXPECT_EQ(v->getVarValueColor(), 3);
    EXPECT_STREQ(v->getVarType(), "\xD5\xFB\xCA\xFD");
    e->close();
  }
  delete it;
  model->close();
  EXPECT_EQ(count, 1);
}

}  // namespace
