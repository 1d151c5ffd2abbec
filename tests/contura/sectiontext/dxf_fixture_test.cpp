// The examples' drawing written by python3-ezdxf, read through the drawing file layer:
// its section text equals the golden file, and drawn back twice and saved, ezdxf finds the
// two extra copies in true colours on the same layers.
#include <dbapserv.h>
#include <dbsymtb.h>
#include <gtest/gtest.h>

#include <contura/dxf/dxf.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SectionTextReader.h"
#include "SectionTextWriter.h"

namespace {

const std::string kData = CONTURA_SOURCE_DIR "/tests/data/sectiontext";

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

CString encodeModelSpace(AcDbDatabase& db) {
  AcDbBlockTable* table = nullptr;
  db.getBlockTable(table, AcDb::kForRead);
  AcDbBlockTableRecord* model = nullptr;
  table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForRead);
  table->close();
  AcDbBlockTableRecordIterator* it = nullptr;
  model->newIterator(it);
  CSectionTextWriter writer;
  for (; !it->done(); it->step()) {
    AcDbObjectId id;
    it->getEntityId(id);
    writer.m_ids.append(id);
  }
  delete it;
  model->close();
  EXPECT_EQ(writer.buildRecords(), 0);
  return writer.getSectionText();
}

TEST(DxfFixture, SectionTextOfTheExamplesDrawingAndTwoCopiesDrawnBack) {
  AcDbDatabase db(false);
  contura::dxf::DxfError error;
  ASSERT_EQ(contura::dxf::readDxf(CONTURA_MADE_DATA_DIR "/sectiontext/examples.dxf", db, error), Acad::eOk);
  acdbHostApplicationServices()->setWorkingDatabase(&db);
  CString text = encodeModelSpace(db);
  EXPECT_EQ(std::string(text.GetString(), text.GetLength()), readBytes(kData + "/examples.golden.txt"));

  CSectionTextReader reader;
  reader.drawSectionText(text);
  reader.drawSectionText(text);
  std::string saved = (std::filesystem::temp_directory_path() / "sectiontext-examples-saved.dxf").string();
  ASSERT_EQ(contura::dxf::writeDxf(db, saved, {}, error), Acad::eOk);
  acdbHostApplicationServices()->setWorkingDatabase(nullptr);
  std::string check = "/usr/bin/python3 " + kData + "/check_copies.py " CONTURA_MADE_DATA_DIR "/sectiontext/examples.dxf " + saved + " 2";
  EXPECT_EQ(std::system(check.c_str()), 0);
  std::filesystem::remove(saved);
}

}  // namespace
