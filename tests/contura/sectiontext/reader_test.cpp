// Tests of the section text reader: what each record draws, the grammar cases of the
// reader (letter case, blanks round '=', repeated keys, '[' in values, indented headers,
// carriage returns, negative widths, Mtext pieces, records that draw nothing), the rule for
// malformed records, and entities that cannot reach model space.
#include "SectionTextReader.h"

#include <AcDbVarCommon.h>
#include <gtest/gtest.h>

#include <random>

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

TEST(Reader, TheLineAndCircleExample) {
  Drawing d;
  CSectionTextReader r;
  EXPECT_EQ(r.drawSectionText(kLineAndCircle), 0);
  auto ids = d.modelSpace();
  ASSERT_EQ(ids.size(), 2u);
  Opened<AcDbLine> l(ids[0]);
  ASSERT_NE(l.p, nullptr);
  EXPECT_EQ(l->startPoint(), AcGePoint3d(0, 0, 0));
  EXPECT_EQ(l->endPoint(), AcGePoint3d(1000, 0, 0));
  EXPECT_TRUE(isTrueColour(l.p, 255, 0, 0));
  EXPECT_EQ(layerOf(l.p), "0");
  Opened<AcDbCircle> c(ids[1]);
  ASSERT_NE(c.p, nullptr);
  EXPECT_EQ(c->center(), AcGePoint3d(500, 300, 0));
  EXPECT_EQ(c->radius(), 150.0);
  EXPECT_EQ(c->normal(), AcGeVector3d(0, 0, 1));
  EXPECT_TRUE(isTrueColour(c.p, 255, 0, 0));
}

TEST(Reader, ArcTextPolylineAndLayers) {
  Drawing d;
  d.addLayer("WALL", 5);
  CSectionTextReader r;
  r.drawSectionText(
      "[Arc]\nCenter=1,2\nRadius=3\nAngle=0.5,2.25\nColor=255,255,0\nLayer=WALL\n\n"
      "[Text]\nValue=a=b [c]\nHeight=3.5\nPoint=4,5\nAngle=1.5\nColor=0,255,255\nLayer=NOSUCH\n\n"
      "[Polyline]\nPoint=0,0,0.414214,0,0;100,0,0,-2,4;100,100,0,0,0;0,0,0,0,0\nColor=0,0,255\nLayer=WALL\n");
  auto ids = d.modelSpace();
  ASSERT_EQ(ids.size(), 3u);
  Opened<AcDbArc> a(ids[0]);
  EXPECT_EQ(a->center(), AcGePoint3d(1, 2, 0));
  EXPECT_EQ(a->radius(), 3.0);
  EXPECT_DOUBLE_EQ(a->startAngle(), 0.5);
  EXPECT_DOUBLE_EQ(a->endAngle(), 2.25);
  EXPECT_EQ(layerOf(a.p), "WALL");
  Opened<AcDbText> t(ids[1]);
  EXPECT_STREQ(t->textStringConst(), "a=b [c]");  // the value after the first '=', brackets kept
  EXPECT_EQ(t->height(), 3.5);
  EXPECT_EQ(t->rotation(), 1.5);
  EXPECT_EQ(t->position(), AcGePoint3d(4, 5, 0));
  EXPECT_EQ(layerOf(t.p), "0");  // an unknown layer changes nothing and creates no layer
  AcDbLayerTable* layers = nullptr;
  d.db.getLayerTable(layers, AcDb::kForRead);
  EXPECT_FALSE(layers->has("NOSUCH"));
  layers->close();
  Opened<AcDbPolyline> p(ids[2]);
  ASSERT_EQ(p->numVerts(), 4u);
  EXPECT_FALSE(p->isClosed());  // the repeated first vertex closes it geometrically
  double bulge = 0, sw = 0, ew = 0;
  p->getBulgeAt(0, bulge);
  EXPECT_EQ(bulge, 0.414214);
  p->getWidthsAt(1, sw, ew);
  EXPECT_EQ(sw, 2.0);  // a negative width draws as the positive one
  EXPECT_EQ(ew, 4.0);
  AcGePoint2d last;
  p->getPointAt(3, last);
  EXPECT_EQ(last, AcGePoint2d(0, 0));
}

TEST(Reader, GrammarCases) {
  Drawing d;
  CSectionTextReader r;
  r.drawSectionText(
      "[LINE]\nPOINT=1,1;2,2\npoint=9,9;9,9\nCOLOR=1,2,3\n\n"                 // letter case, repeated key
      "   [circle]\r\nCenter=5,5\r\nRadius = 7\r\nColor=1,2,3\r\n\r\n"       // indented, CR LF, blanks
      "[Text]\nValue=[Line]\nPoint=0,0\nHeight=1\nColor=0,0,0\n[Mtext]\n"    // '[' in a value
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
  EXPECT_EQ(c->radius(), 0.0);  // "Radius = 7" is not the key Radius
  Opened<AcDbText> t(ids[2]);
  EXPECT_STREQ(t->textStringConst(), "[Line]");
  Opened<AcDbText> one(ids[3]), two(ids[4]);  // the Mtext pieces are single-line texts
  EXPECT_STREQ(one->textStringConst(), "one");
  EXPECT_STREQ(two->textStringConst(), "two");
}

TEST(Reader, CarriageReturnsDrawTheSameAsLineFeeds) {
  std::string lf = kLineAndCircle;
  std::string crlf;
  for (char ch : lf) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  for (const std::string& text : {lf, crlf}) {
    Drawing d;
    CSectionTextReader().drawSectionText(text.c_str());
    auto ids = d.modelSpace();
    ASSERT_EQ(ids.size(), 2u);
    Opened<AcDbCircle> c(ids[1]);
    EXPECT_EQ(c->radius(), 150.0);
    EXPECT_TRUE(isTrueColour(c.p, 255, 0, 0));
  }
}

TEST(Reader, VariableWithEveryProperty) {
  Drawing d;
  CSectionTextReader().drawSectionText(
      "[VarCommon]\nValue=\xBF\xED\nHeight=3\nPoint=10,20\nAngle=0.5\nColor=255,0,0\nLayer=0\n"
      "Code=B1\nVisible=0\nSort=2\nCondiction=B>0\nRemark=one\nRemark=\nRemark=three\n"
      "VarInitial=300\nVarValue=350\nVarHeight=2.5\nVarPoint=15,20\nVarAngle=0.25\nVarColor=0,255,0\n"
      "VarType=\xD5\xFB\xCA\xFD\n");
  auto ids = d.modelSpace();
  ASSERT_EQ(ids.size(), 1u);
  Opened<AcDbVarCommon> v(ids[0]);
  ASSERT_NE(v.p, nullptr);
  EXPECT_STREQ(v->textStringConst(), "\xBF\xED");
  EXPECT_EQ(v->height(), 3.0);
  EXPECT_EQ(v->rotation(), 0.5);
  EXPECT_EQ(v->position(), AcGePoint3d(10, 20, 0));
  EXPECT_TRUE(isTrueColour(v.p, 255, 0, 0));
  EXPECT_STREQ(v->getVarCode(), "B1");
  EXPECT_EQ(v->getVarNameVisible(), 0);
  EXPECT_EQ(v->getVarSort(), 2);
  EXPECT_STREQ(v->getCondiction(), "B>0");
  EXPECT_STREQ(v->getVarRemark(), "one\n\nthree");
  EXPECT_STREQ(v->getVarInitialValue(), "300");
  EXPECT_STREQ(v->getVarSetValue(), "350");
  EXPECT_EQ(v->getVarValueHeight(), 2.5);
  EXPECT_EQ(v->getValuePosition(), AcGePoint3d(15, 20, 0));
  EXPECT_EQ(v->getVarAngle(), 0.25);
  EXPECT_EQ(v->getVarValueColor(), 3);  // the colour text read back as its nearest index
  EXPECT_STREQ(v->getVarType(), "\xD5\xFB\xCA\xFD");
}

TEST(Reader, MissingNumbersReadZeroAndEmptyTextDrawsNothing) {
  Drawing d;
  CSectionTextReader r;
  EXPECT_EQ(r.drawSectionText(""), 0);
  EXPECT_TRUE(d.modelSpace().empty());
  r.drawSectionText("[Text]\nValue=t\nPoint=1,2\nColor=0,0,0\n");
  auto ids = d.modelSpace();
  ASSERT_EQ(ids.size(), 1u);
  Opened<AcDbText> t(ids[0]);
  EXPECT_EQ(t->height(), 0.0);
  EXPECT_EQ(t->rotation(), 0.0);
}

TEST(Reader, MalformedRecordsAreSkippedWholeAndTheRestIsDrawn) {
  Drawing d;
  CSectionTextReader r;
  EXPECT_EQ(r.drawLine("[Line]\nPoint=0,0 1000,0\nColor=255,0,0\n"), 1);   // no ';'
  EXPECT_EQ(r.drawLine("[Line]\nPoint=0;1000,0\nColor=255,0,0\n"), 1);     // a point without ','
  EXPECT_EQ(r.drawLine("[Line]\nPoint=0,0;1,1\n"), 1);                      // no colour
  EXPECT_EQ(r.drawCircle("[Circle]\nCenter=\nColor=1,2,3\n"), 1);          // empty point
  EXPECT_EQ(r.drawArc("[Arc]\nCenter=1,1\nAngle=1\nColor=1,2,3\n"), 1);    // a pair without ','
  EXPECT_EQ(r.drawPolyline("[Polyline]\nPoint=0,0,0,0;1,1,0,0,0\nColor=1,2,3\n"), 1);  // 4 numbers
  EXPECT_EQ(r.drawPolyline("[Polyline]\nColor=1,2,3\n"), 1);               // no vertex list
  EXPECT_EQ(r.drawText("[Text]\nValue=x\nPoint=1,1\nColor=1,2\n"), 1);     // colour with one comma
  EXPECT_EQ(r.drawVarCommon("[VarCommon]\nPoint=1,1\nColor=1,2,3\nVarColor=1,2,3\n"), 1);  // no VarPoint
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
  AcCmColor c = colorFromText("255,0,0");
  EXPECT_TRUE(c.isByColor());
  EXPECT_EQ(c.red(), 255);
  EXPECT_EQ(c.green(), 0);
  EXPECT_EQ(c.blue(), 0);
  c = colorFromText("256,-1,511");
  EXPECT_EQ(c.red(), 0);
  EXPECT_EQ(c.green(), 255);
  EXPECT_EQ(c.blue(), 255);
  c = colorFromText(" 1 , 2 , 3 ");
  EXPECT_EQ(c.red(), 1);
  EXPECT_EQ(c.green(), 2);
  EXPECT_EQ(c.blue(), 3);
  c = colorFromText("12");  // malformed: missing numbers read as 0, still a true colour
  EXPECT_TRUE(c.isByColor());
  EXPECT_EQ(c.red(), 12);
  EXPECT_EQ(c.blue(), 0);
}

}  // namespace

namespace {

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
