// Tests of the section text reader: what each record draws, the grammar cases of the
// reader (letter case, blanks round '=', repeated keys, '[' in values, indented headers,
// carriage returns, negative and zero widths, Mtext pieces, records that draw nothing), the rule for
// malformed records, and entities that cannot reach model space. (The line and circle example
// drawn and written back, and the true colours of drawn copies, are checked end to end; every
// variable property by the writer -> reader -> writer round trips.)
#include "SectionTextReader.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <utility>

#include "drawing_fixture.h"

namespace {

const char kLineAndCircle[] =
    "[Line]\nPoint=0,0;1000,0\nColor=255,0,0\nLayer=0\n\n"
    "[Circle]\nCenter=500,300\nRadius=150\nColor=255,0,0\nLayer=0\n";

std::string layerOf(AcDbEntity* e) {
  ACHAR* name = e->layer();
  std::string s = name ? name : "";
  delete[] name;
  return s;
}

bool isTrueColour(AcDbEntity* e, int r, int g, int b) {
  AcCmColor c = e->color();
  return c.isByColor() && c.red() == r && c.green() == g && c.blue() == b;
}

// Geometry of every kind and known layers are covered by the round trips; here what they
// cannot see.
TEST(Reader, UnknownLayersNegativeWidthsAndARepeatedFirstVertex) {
  Drawing d;
  CSectionTextReader().drawSectionText(
      "[Text]\nValue=a=b [c]\nHeight=3.5\nPoint=4,5\nAngle=1.5\nColor=0,255,255\nLayer=NOSUCH\n\n"
      "[Polyline]\nPoint=0,0,0.414214,0,0;100,0,0,-2,4;100,100,0,0,0;0,0,0,0,0\nColor=0,0,255\nLayer=0\n");
  auto ids = d.modelSpace();
  ASSERT_EQ(ids.size(), 2u);
  Opened<AcDbText> t(ids[0]);
  EXPECT_STREQ(t->textStringConst(), "a=b [c]");  // the value after the first '=', brackets kept
  EXPECT_EQ(layerOf(t.p), "0");  // an unknown layer changes nothing and creates no layer
  AcDbLayerTable* layers = nullptr;
  d.db.getLayerTable(layers, AcDb::kForRead);
  EXPECT_FALSE(layers->has("NOSUCH"));
  layers->close();
  Opened<AcDbPolyline> p(ids[1]);
  ASSERT_EQ(p->numVerts(), 4u);
  EXPECT_FALSE(p->isClosed());  // the repeated first vertex closes it geometrically
  // A width below 0.00001 is negated: -2 draws as 2, and 0 becomes -0 (written back as "-0").
  const double widths[][2] = {{-0.0, -0.0}, {2.0, 4.0}, {-0.0, -0.0}};
  for (unsigned i = 0; i < 3; ++i) {
    double sw = 1, ew = 1;
    p->getWidthsAt(i, sw, ew);
    EXPECT_EQ(sw, widths[i][0]) << i;
    EXPECT_EQ(ew, widths[i][1]) << i;
    EXPECT_EQ(std::signbit(sw), std::signbit(widths[i][0])) << i;
    EXPECT_EQ(std::signbit(ew), std::signbit(widths[i][1])) << i;
  }
}

TEST(Reader, GrammarCases) {
  Drawing d;
  CSectionTextReader r;
  EXPECT_EQ(r.drawSectionText(""), 0);
  EXPECT_TRUE(d.modelSpace().empty());
  r.drawSectionText(
      "[LINE]\nPOINT=1,1;2,2\npoint=9,9;9,9\nCOLOR=1,2,3\n\n"                       // letter case, repeated key
      "   [circle]\r\nCenter=5,6\r\nRadius = 7\r\nRadius=8\r\nColor=4,5,6\r\n\r\n"  // indented, CR LF, blanks
      "[Text]\nValue=[Line]\nPoint=0,0\nColor=0,0,0\n[Mtext]\n"                   // '[' in a value, no height
      "[Text]\nValue=one\nHeight=2\nPoint=0,10\nAngle=0\nColor=1,1,1\nLayer=0\n\n"
      "[Text]\nValue=two\nHeight=2\nPoint=0,5\nAngle=0\nColor=1,1,1\nLayer=0\n\n"
      "[PolylineSection]\nPoints=0,0,0;10,0,0;0,10,0;0,0,0\nBasePoint=5,5\n"
      "\n[SecType]\nName=n\nRemark=\nType=1\nGroup=1\n");
  auto ids = d.modelSpace();
  ASSERT_EQ(ids.size(), 5u);
  Opened<AcDbLine> l(ids[0]);
  ASSERT_NE(l.p, nullptr);
  EXPECT_EQ(l->endPoint(), AcGePoint3d(2, 2, 0));  // the first Point line counts
  EXPECT_TRUE(isTrueColour(l.p, 1, 2, 3));
  Opened<AcDbCircle> c(ids[1]);
  ASSERT_NE(c.p, nullptr);
  EXPECT_EQ(c->radius(), 8.0);  // "Radius = 7" is not the key Radius
  EXPECT_EQ(c->center(), AcGePoint3d(5, 6, 0));
  EXPECT_EQ(c->normal(), AcGeVector3d(0, 0, 1));
  EXPECT_TRUE(isTrueColour(c.p, 4, 5, 6));
  Opened<AcDbText> t(ids[2]);
  EXPECT_STREQ(t->textStringConst(), "[Line]");
  EXPECT_EQ(t->height(), 0.0);  // missing numbers read 0
  EXPECT_EQ(t->rotation(), 0.0);
  Opened<AcDbText> one(ids[3]), two(ids[4]);  // the Mtext pieces are single-line texts
  EXPECT_STREQ(one->textStringConst(), "one");
  EXPECT_STREQ(two->textStringConst(), "two");
}

TEST(Reader, MalformedRecordsAreSkippedWholeAndTheRestIsDrawn) {
  Drawing d;
  CSectionTextReader r;
  using Draw = int (CSectionTextReader::*)(CString);
  const std::pair<Draw, const char*> malformed[] = {
      {&CSectionTextReader::drawLine, "[Line]\nPoint=0,0 1000,0\nColor=255,0,0\n"},  // no ';'
      {&CSectionTextReader::drawLine, "[Line]\nPoint=0;1000,0\nColor=255,0,0\n"},    // a point without ','
      {&CSectionTextReader::drawLine, "[Line]\nPoint=0,0;1,1\n"},                     // no colour
      {&CSectionTextReader::drawCircle, "[Circle]\nCenter=\nColor=1,2,3\n"},         // empty point
      {&CSectionTextReader::drawArc, "[Arc]\nCenter=1,1\nAngle=1\nColor=1,2,3\n"},   // a pair without ','
      {&CSectionTextReader::drawPolyline, "[Polyline]\nPoint=0,0,0,0;1,1,0,0,0\nColor=1,2,3\n"},  // 4 numbers
      {&CSectionTextReader::drawPolyline, "[Polyline]\nColor=1,2,3\n"},              // no vertex list
      {&CSectionTextReader::drawText, "[Text]\nValue=x\nPoint=1,1\nColor=1,2\n"},    // colour with one comma
      {&CSectionTextReader::drawVarCommon, "[VarCommon]\nPoint=1,1\nColor=1,2,3\nVarColor=1,2,3\n"},  // no VarPoint
  };
  for (const auto& [draw, text] : malformed) EXPECT_EQ((r.*draw)(text), 1) << text;
  // Numbers atof reads as infinite or not a number: no drawing could hold them.
  const std::pair<Draw, const char*> notFinite[] = {
      {&CSectionTextReader::drawLine, "[Line]\nPoint=1e400,0;1,1\nColor=1,2,3\n"},
      {&CSectionTextReader::drawCircle, "[Circle]\nCenter=0,0\nRadius=nan\nColor=1,2,3\n"},
      {&CSectionTextReader::drawPolyline, "[Polyline]\nPoint=0,0,0,0,0;1,1,-inf,0,0\nColor=1,2,3\n"},
      {&CSectionTextReader::drawVarCommon,
       "[VarCommon]\nPoint=1,1\nColor=1,2,3\nVarPoint=0,0\nVarColor=1,2,3\nVarHeight=1e999\n"},
  };
  for (const auto& [draw, text] : notFinite) EXPECT_EQ((r.*draw)(text), 3) << text;
  EXPECT_TRUE(d.modelSpace().empty());
  // In a whole text the malformed record is passed over and the others are drawn; a header
  // without ']' names nothing.
  std::string text = std::string("[Circle]\nCenter=1\nColor=1,2,3\n\n[Line\nPoint=0,0;1,1\nColor=1,1,1\n\n") +
                     kLineAndCircle;
  r.drawSectionText(text.c_str());
  EXPECT_EQ(d.modelSpace().size(), 2u);
}

TEST(Reader, AnEntityThatCannotReachModelSpaceIsFreed) {
  Drawing d;
  AcDbBlockTable* pTable = nullptr;
  d.db.getBlockTable(pTable, AcDb::kForRead);
  AcDbBlockTableRecord* pModel = nullptr;
  ASSERT_EQ(pTable->getAt(ACDB_MODEL_SPACE, pModel, AcDb::kForWrite), Acad::eOk);
  pTable->close();
  CSectionTextReader r;
  EXPECT_EQ(r.drawCircle("[Circle]\nCenter=1,1\nRadius=1\nColor=1,2,3\n"), 2);
  AcDbCircle* pCircle = new AcDbCircle();
  AcDbObjectId id;
  EXPECT_EQ(postToModelSpace(id, pCircle), 3);
  delete pCircle;
  pModel->close();
  EXPECT_TRUE(d.modelSpace().empty());
  // Without a working database the block table cannot be opened.
  acdbHostApplicationServices()->setWorkingDatabase(nullptr);
  AcDbLine* pLine = new AcDbLine();
  EXPECT_EQ(postToModelSpace(pLine), 1);
  delete pLine;
  EXPECT_EQ(r.drawLine("[Line]\nPoint=0,0;1,1\nColor=1,1,1\n"), 2);
  acdbHostApplicationServices()->setWorkingDatabase(&d.db);
  EXPECT_EQ(r.drawLine("[Line]\nPoint=0,0;1,1\nColor=1,1,1\n"), 0);
  EXPECT_EQ(d.modelSpace().size(), 1u);
}

TEST(Colors, TrueColourCutToEightBits) {
  // Malformed: missing numbers read as 0, still a true colour.
  const std::pair<const char*, std::array<int, 3>> cases[] = {
      {"255,0,0", {255, 0, 0}}, {"256,-1,511", {0, 255, 255}}, {" 1 , 2 , 3 ", {1, 2, 3}}, {"12", {12, 0, 0}}};
  for (const auto& [text, rgb] : cases) {
    AcCmColor c = colorFromText(text);
    EXPECT_TRUE(c.isByColor()) << text;
    EXPECT_EQ((std::array<int, 3>{c.red(), c.green(), c.blue()}), rgb) << text;
  }
}

// Random damage to valid text (bytes dropped, doubled or replaced by separators, lead bytes,
// zero bytes): the reader draws at most one entity per block and never fails.
TEST(Reader, DamagedTextIsReadSafely) {
  const std::string valid =
      std::string(kLineAndCircle) +
      "\n[Polyline]\nPoint=0,0,0.5,1,2;10,0,0,0,0;10,10,0,0,0\nColor=0,0,255\nLayer=0\n"
      "\n[Text]\nValue=\xD6\xD0[x]=y\nHeight=2\nPoint=1,2\nAngle=0\nColor=1,2,3\nLayer=0\n"
      "\n[VarCommon]\nValue=B\nPoint=0,0\nColor=1,1,1\nRemark=a\nVarPoint=1,1\nVarColor=0,255,0\n";
  const char noise[] = {'[', ']', '=', ',', ';', '\n', '\r', ' ', '\x81', '\xD6', '\0', '-', 'e'};
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    std::string text = valid;
    int edits = 1 + static_cast<int>(rng() % 12);
    for (int k = 0; k < edits && !text.empty(); ++k) {
      std::size_t at = rng() % text.size();
      switch (rng() % 3) {
        case 0: text.erase(at, 1 + rng() % 4); break;
        case 1: text.insert(at, 1, noise[rng() % sizeof noise]); break;
        default: text[at] = noise[rng() % sizeof noise]; break;
      }
    }
    Drawing d;
    CString held(text.data(), static_cast<int>(text.size()));
    CStringArray blocks;
    splitRecords(blocks, held);
    EXPECT_EQ(CSectionTextReader().drawSectionText(held), 0);
    EXPECT_LE(d.modelSpace().size(), static_cast<std::size_t>(blocks.GetSize())) << round;
  }
}

}  // namespace
