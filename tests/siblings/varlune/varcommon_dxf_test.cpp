// The variable entity saved in a drawing file and read back as its own class, with every
// property; and the drawing file as an independent reader (python3-ezdxf) sees it.
#include <AcDbVarCommon.h>
#include <acdb.h>
#include <dbsymtb.h>
#include <gtest/gtest.h>

#include <contura/dxf/dxf.h>

#include "varcommon_fixture.h"

namespace {

// Adds the variable with every property set to model space; its properties.
VarProps addVariable(AcDbDatabase& db) {
  AcDbBlockTable* table = nullptr;
  db.getBlockTable(table, AcDb::kForRead);
  AcDbBlockTableRecord* model = nullptr;
  table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForWrite);
  AcDbVarCommon* v = fullVariable();
  const VarProps props = propsOf(v);
  model->appendAcDbEntity(v);
  v->close();
  model->close();
  table->close();
  return props;
}

TEST(VarCommonDxf, SavedAndReadBackAsItsOwnClass) {
  AcDbDatabase db(true);
  const VarProps written = addVariable(db);
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
    EXPECT_EQ(propsOf(v), written);
    e->close();
  }
  delete it;
  model->close();
  EXPECT_EQ(count, 1);
}

}  // namespace
