// The section text reader: record blocks to new entities in model space.
#include "SectionTextReader.h"

#include "SectionTextScan.h"

#include <AcDbVarCommon.h>
#include <dbents.h>
#include <dbpl.h>

using namespace sectiontext;

namespace {

// A start or end width below this is replaced by its negation, so that a negative width
// (which the host would take for "the default width") draws as the positive one.
constexpr double kWidthNegationLimit = 0.00001;

// True when `value` holds at least `count` single-byte separators `sep`.
bool hasSeparators(const CString& value, char sep, int count) {
  return countChar(spanOf(value), sep) >= count;
}

bool isPointText(const CString& s) { return hasSeparators(s, ',', 1); }
bool isColorText(const CString& s) { return hasSeparators(s, ',', 2); }

// Layer and colour of the record, then into model space: closed when appended, deleted when
// it could not get there.
int finishEntity(AcDbEntity* pEnt, CStringArray& lines) {
  pEnt->setLayer(getKeyValue(lines, "Layer"));
  pEnt->setColor(colorFromText(getKeyValue(lines, "Color")));
  AcDbObjectId id;
  if (postToModelSpace(id, pEnt) != 0 || id.isNull()) {
    delete pEnt;
    return 2;
  }
  pEnt->close();
  return 0;
}

}  // namespace

CSectionTextReader::CSectionTextReader() {}
CSectionTextReader::~CSectionTextReader() {}

int CSectionTextReader::drawSectionText(CString text) {
  CStringArray blocks;
  splitRecords(blocks, text);
  if (blocks.GetSize() == 0) return 1;
  for (INT_PTR i = 0; i < blocks.GetSize(); ++i) {
    const CString& block = blocks[i];
    CString name = recordName(block);
    if (name.CompareNoCase("Line") == 0) drawLine(block);
    else if (name.CompareNoCase("Arc") == 0) drawArc(block);
    else if (name.CompareNoCase("Polyline") == 0) drawPolyline(block);
    else if (name.CompareNoCase("Text") == 0) drawText(block);
    else if (name.CompareNoCase("Circle") == 0) drawCircle(block);
    else if (name.CompareNoCase("VarCommon") == 0) drawVarCommon(block);
  }
  return 0;
}

int CSectionTextReader::drawLine(CString block) {
  CStringArray lines;
  splitText(lines, block, '\n');
  CString points = getKeyValue(lines, "Point");
  if (!hasSeparators(points, ';', 1) || !isColorText(getKeyValue(lines, "Color"))) return 1;
  CString from = leftOf(points, ';'), to = rightOf(points, ';');
  if (!isPointText(from) || !isPointText(to)) return 1;
  return finishEntity(new AcDbLine(parsePoint(from), parsePoint(to)), lines);
}

int CSectionTextReader::drawArc(CString block) {
  CStringArray lines;
  splitText(lines, block, '\n');
  CString center = getKeyValue(lines, "Center"), angles = getKeyValue(lines, "Angle");
  if (!isPointText(center) || !isPointText(angles) || !isColorText(getKeyValue(lines, "Color")))
    return 1;
  double radius = textToDouble(getKeyValue(lines, "Radius"));
  double startAngle = textToDouble(leftOf(angles, ','));
  double endAngle = textToDouble(rightOf(angles, ','));
  return finishEntity(new AcDbArc(parsePoint(center), radius, startAngle, endAngle), lines);
}

int CSectionTextReader::drawCircle(CString block) {
  CStringArray lines;
  splitText(lines, block, '\n');
  CString center = getKeyValue(lines, "Center");
  if (!isPointText(center) || !isColorText(getKeyValue(lines, "Color"))) return 1;
  double radius = textToDouble(getKeyValue(lines, "Radius"));
  return finishEntity(new AcDbCircle(parsePoint(center), AcGeVector3d(0.0, 0.0, 1.0), radius), lines);
}

int CSectionTextReader::drawPolyline(CString block) {
  CStringArray lines;
  splitText(lines, block, '\n');
  if (!isColorText(getKeyValue(lines, "Color"))) return 1;
  CStringArray items;
  splitText(items, getKeyValue(lines, "Point"), ';');
  for (INT_PTR i = 0; i < items.GetSize(); ++i)
    if (!hasSeparators(items[i], ',', 4)) return 1;
  AcDbPolyline* pPline = new AcDbPolyline(static_cast<unsigned int>(items.GetSize()));
  for (INT_PTR i = 0; i < items.GetSize(); ++i) {
    AcGePoint2d pt;
    double bulge = 0.0, startWidth = 0.0, endWidth = 0.0;
    parseVertex(pt, bulge, startWidth, endWidth, items[i]);
    // 0.0 - w rather than -w: a zero width stays +0 and is written back as "0", not "-0".
    if (startWidth < kWidthNegationLimit) startWidth = 0.0 - startWidth;
    if (endWidth < kWidthNegationLimit) endWidth = 0.0 - endWidth;
    pPline->addVertexAt(static_cast<unsigned int>(i), pt, bulge, startWidth, endWidth);
  }
  return finishEntity(pPline, lines);
}

int CSectionTextReader::drawText(CString block) {
  CStringArray lines;
  splitText(lines, block, '\n');
  CString point = getKeyValue(lines, "Point");
  if (!isPointText(point) || !isColorText(getKeyValue(lines, "Color"))) return 1;
  AcDbText* pText = new AcDbText(parsePoint(point), getKeyValue(lines, "Value"), AcDbObjectId::kNull,
                                 textToDouble(getKeyValue(lines, "Height")),
                                 textToDouble(getKeyValue(lines, "Angle")));
  return finishEntity(pText, lines);
}

int CSectionTextReader::drawVarCommon(CString block) {
  CStringArray lines;
  splitText(lines, block, '\n');
  CString point = getKeyValue(lines, "Point"), valuePoint = getKeyValue(lines, "VarPoint");
  CString valueColor = getKeyValue(lines, "VarColor");
  if (!isPointText(point) || !isColorText(getKeyValue(lines, "Color")) || !isPointText(valuePoint) ||
      !isColorText(valueColor))
    return 1;
  AcDbVarCommon* pVar = new AcDbVarCommon();
  pVar->setPosition(parsePoint(point));
  pVar->setTextString(getKeyValue(lines, "Value"));
  pVar->setHeight(textToDouble(getKeyValue(lines, "Height")));
  pVar->setRotation(textToDouble(getKeyValue(lines, "Angle")));
  pVar->putVarCode(getKeyValue(lines, "Code"));
  pVar->putNameVisible(textToLong(getKeyValue(lines, "Visible")));
  pVar->putVarSort(textToLong(getKeyValue(lines, "Sort")));
  pVar->putCondiction(getKeyValue(lines, "Condiction"));
  pVar->putVarRemark(getKeyValues(lines, "Remark"));
  pVar->putVarInitialValue(getKeyValue(lines, "VarInitial"));
  pVar->putVarSetValue(getKeyValue(lines, "VarValue"));
  pVar->putVarValueHeight(textToDouble(getKeyValue(lines, "VarHeight")));
  pVar->putVarAngle(textToDouble(getKeyValue(lines, "VarAngle")));
  pVar->putVarValueColor(colorFromText(valueColor).colorIndex());
  pVar->putVarType(getKeyValue(lines, "VarType"));
  pVar->putValuePosition(parsePoint(valuePoint));
  return finishEntity(pVar, lines);
}
