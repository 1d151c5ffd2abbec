// Tests of the section text writer on drawings built in the database: every record kind,
// number forms, outlines, colours, variables, and selections that yield nothing or hold an
// entity that cannot be opened. (The worked examples, multi-line text included, are compared
// byte for byte with their golden text by the end-to-end scripts.)
#include "SectionTextWriter.h"

#include <AcDbVarCommon.h>
#include <dbelipse.h>
#include <gtest/gtest.h>


#include "drawing_fixture.h"

namespace {

AcDbLine* line(double x1, double y1, double x2, double y2, int color) {
  auto* p = new AcDbLine(AcGePoint3d(x1, y1, 0), AcGePoint3d(x2, y2, 0));
  p->setColorIndex(static_cast<Adesk::UInt16>(color));
  return p;
}

AcDbCircle* circle(double x, double y, double r, int color) {
  auto* p = new AcDbCircle(AcGePoint3d(x, y, 0), AcGeVector3d(0, 0, 1), r);
  p->setColorIndex(static_cast<Adesk::UInt16>(color));
  return p;
}

AcDbPolyline* triangle(bool closed) {
  auto* p = new AcDbPolyline(3);
  p->addVertexAt(0, AcGePoint2d(0, 0), 0.414214);
  p->addVertexAt(1, AcGePoint2d(100, 0));
  p->addVertexAt(2, AcGePoint2d(100, 100));
  p->setClosed(closed);
  return p;
}

std::string built(Drawing& d) {
  d.selectAll();
  CSectionTextWriter w;
  EXPECT_EQ(w.buildSectionText(), 0);
  return std::string(w.getSectionText().GetString(), w.getSectionText().GetLength());
}

TEST(Writer, EveryRecordKindWithNumbersAsPrintfG) {
  Drawing d;
  d.add(line(1234567.8, 0.5, 1000, -0.0001, 1));
  // Six significant digits are the whole precision: 123456.78 loses its fraction.
  d.add(line(123456.78, 1e-5, 100000, 999999.5, 1));
  auto* arc = new AcDbArc(AcGePoint3d(1, 2, 0), 3, 0.5, 2.25);
  arc->setColorIndex(2);
  d.add(arc);
  auto* text = new AcDbText(AcGePoint3d(4, 5, 0), "a=b [c]", AcDbObjectId::kNull, 3.5, 1.5);
  text->setColorIndex(4);
  d.add(text);
  // An unsupported entity leaves no trace, not even a separator.
  d.add(new AcDbEllipse(AcGePoint3d(0, 0, 0), AcGeVector3d(0, 0, 1), AcGeVector3d(5, 0, 0), 0.5));
  d.add(triangle(false));
  d.add(triangle(true));  // closed: the first vertex again at the end
  auto* wide = new AcDbPolyline(2);  // widths as held, start then end
  wide->addVertexAt(0, AcGePoint2d(0, 0), 0, 2, 3.5);
  wide->addVertexAt(1, AcGePoint2d(5, 0), 0, 1, 0);
  wide->setColorIndex(3);
  d.add(wide);
  d.add(circle(500, 300, 150, 1));
  EXPECT_EQ(built(d),
            "[Line]\nPoint=1.23457e+06,0.5;1000,-0.0001\nColor=255,0,0\nLayer=0\n\n"
            "[Line]\nPoint=123457,1e-05;100000,1e+06\nColor=255,0,0\nLayer=0\n\n"
            "[Arc]\nCenter=1,2\nRadius=3\nAngle=0.5,2.25\nColor=255,255,0\nLayer=0\n\n"
            "[Text]\nValue=a=b [c]\nHeight=3.5\nPoint=4,5\nAngle=1.5\nColor=0,255,255\nLayer=0\n\n"
            "[Polyline]\nPoint=0,0,0.414214,0,0;100,0,0,0,0;100,100,0,0,0\nColor=255,255,255\nLayer=0\n\n"
            "[Polyline]\nPoint=0,0,0.414214,0,0;100,0,0,0,0;100,100,0,0,0;0,0,0,0,0\nColor=255,255,255\nLayer=0\n\n"
            "[Polyline]\nPoint=0,0,0,2,3.5;5,0,0,1,0\nColor=0,255,0\nLayer=0\n\n"
            "[Circle]\nCenter=500,300\nRadius=150\nColor=255,0,0\nLayer=0\n");

  // The outline record repeats the first vertex with bulge 0, closed or not.
  CSectionTextWriter w;
  for (bool closed : {false, true}) {
    AcDbPolyline* pl = triangle(closed);
    EXPECT_STREQ(w.polylineSectionRecord(pl),
                 "[PolylineSection]\nPoints=0,0,0.414214;100,0,0;100,100,0;0,0,0\n");
    delete pl;
  }
  EXPECT_STREQ(w.basePointLine(AcGePoint3d(500, 250.5, 7)), "BasePoint=500,250.5");
}

TEST(Writer, ColoursByLayerByIndexByBlockAndTrueColour) {
  Drawing d;
  d.addLayer("RED", 1);
  AcDbLine* byLayer = line(0, 0, 1, 1, 256);
  byLayer->setLayer("RED");
  d.add(byLayer);
  d.add(line(0, 0, 1, 1, 3));
  d.add(line(0, 0, 1, 1, 0));  // by block: index 0, which the palette gives as 0,0,0
  AcDbLine* trueColour = line(0, 0, 1, 1, 1);
  AcCmColor c;
  c.setRGB(250, 2, 3);  // reduced to the nearest index, 1
  trueColour->setColor(c);
  d.add(trueColour);
  std::string t = built(d);
  std::vector<std::string> colours;
  for (std::size_t p = t.find("Color="); p != std::string::npos; p = t.find("Color=", p + 1))
    colours.push_back(t.substr(p + 6, t.find('\n', p) - p - 6));
  EXPECT_EQ(colours, (std::vector<std::string>{"255,0,0", "0,255,0", "0,0,0", "255,0,0"}));
  EXPECT_NE(t.find("Layer=RED\n"), std::string::npos);
  CSectionTextWriter w;
  EXPECT_STREQ(w.indexColorText(5), "0,0,255");
  EXPECT_STREQ(w.indexColorText(8), "128,128,128");
}

AcDbVarCommon* variable(const char* remark) {
  auto* v = new AcDbVarCommon();
  v->setPosition(AcGePoint3d(10, 20, 0));
  v->setTextString("\xBF\xED");  // 宽
  v->setHeight(3);
  v->setColorIndex(1);
  v->putVarCode("B1");
  v->putNameVisible(1);
  v->putVarSort(2);
  v->putCondiction("B>0");
  v->putVarRemark(remark);
  v->putVarInitialValue("300");
  v->putVarSetValue("350");
  v->putVarValueHeight(2.5);
  v->putValuePosition(AcGePoint3d(15, 20, 0));
  v->putVarAngle(0.25);
  v->putVarValueColor(3);
  v->putVarType("\xD5\xFB\xCA\xFD");  // 整数
  return v;
}

TEST(Writer, VariableRecordsWithRemarksOfTwoLinesAndOfNone) {
  Drawing d;
  d.add(variable("first\nsecond "));
  d.add(variable(""));
  std::string t = built(d);
  const std::string head =
      "[VarCommon]\nValue=\xBF\xED\nHeight=3\nPoint=10,20\nAngle=0\nColor=255,0,0\nLayer=0\n"
      "Code=B1\nVisible=1\nSort=2\nCondiction=B>0\n";
  const std::string tail =
      "VarInitial=300\nVarValue=350\nVarHeight=2.5\nVarPoint=15,20\nVarAngle=0.25\nVarColor=0,255,0\n"
      "VarType=\xD5\xFB\xCA\xFD\n";
  EXPECT_EQ(t, head + "Remark=first\nRemark=second\n" + tail + "\n" + head + "Remark=\n" + tail);
}

TEST(Writer, NothingSelected) {
  Drawing d;
  d.add(line(0, 0, 1, 0, 1));
  d.input.lines = {""};  // an empty selection
  CSectionTextWriter w;
  EXPECT_EQ(w.buildSectionText(), 1);
  EXPECT_EQ(w.m_nSelectResult, 1);
  EXPECT_STREQ(w.getSectionText(), "");
  EXPECT_NE(d.printed.find("\n没有选中构件！"), std::string::npos);
  d.input.lines = {"*cancel*"};
  EXPECT_EQ(w.buildSectionText(), 1);
  EXPECT_STREQ(w.getSectionText(), "");
}

TEST(Writer, AnEntityThatCannotBeOpenedDropsTheWholeText) {
  Drawing d;
  AcDbObjectId first = d.add(line(0, 0, 1, 0, 1));
  AcDbObjectId busy = d.add(circle(0, 0, 1, 1));
  AcDbObjectId last = d.add(line(5, 5, 6, 6, 1));
  AcDbEntity* pWriting = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(pWriting, busy, AcDb::kForWrite), Acad::eOk);
  CSectionTextWriter w;
  w.m_ids.append(first);
  w.m_ids.append(busy);
  w.m_ids.append(last);
  EXPECT_EQ(w.buildRecords(), 3);
  EXPECT_EQ(w.m_esLast, Acad::eWasOpenForWrite);
  EXPECT_STREQ(w.getSectionText(), "");
  pWriting->close();
  // The entity encoded before the failure was closed again: the text builds now.
  EXPECT_EQ(w.buildRecords(), 0);
  EXPECT_EQ(std::string(w.getSectionText()).find("[Circle]"), 44u);
}

}  // namespace
