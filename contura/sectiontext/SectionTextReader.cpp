// The section text reader: record blocks to new entities in model space.
#include "SectionTextReader.h"

#include "SectionTextScan.h"

#include <AcDbVarCommon.h>
#include <acutads.h>
#include <dbents.h>
#include <dbpl.h>

#include <array>
#include <cmath>
#include <cstring>
#include <string_view>

using namespace sectiontext;

namespace {

// A start or end width below this is replaced by its negation, so that a negative width
// (which the host would take for "the default width") draws as the positive one. A zero
// width is below it too and becomes -0, which the writer writes back as "-0".
constexpr double kWidthNegationLimit = 0.00001;

// The keys the record readers look up, and their names in the text.
enum Key : int {
  kLayer, kColor, kPoint, kCenter, kRadius, kAngle, kValue, kHeight, kCode, kVisible, kSort,
  kCondiction, kRemark, kVarInitial, kVarValue, kVarHeight, kVarAngle, kVarColor, kVarType,
  kVarPoint, kKeyCount
};
constexpr std::string_view kKeyNames[kKeyCount] = {
    "Layer",  "Color",   "Point",      "Center", "Radius",     "Angle",    "Value",
    "Height", "Code",    "Visible",    "Sort",   "Condiction", "Remark",   "VarInitial",
    "VarValue", "VarHeight", "VarAngle", "VarColor", "VarType",    "VarPoint"};

// Which of the keys a key text is (getKeyValue's comparison: whole, ignoring letter case),
// or kKeyCount for none of them.
int keyOf(TextSpan key) {
  const auto length = static_cast<std::size_t>(key.length());
  for (int k = 0; k < kKeyCount; ++k)
    if (kKeyNames[k].size() == length && equalNoCase(key, kKeyNames[k].data())) return k;
  return kKeyCount;
}

// The lines of one block, cut as splitText cuts them, and their keys read once with
// getKeyValue's rules: the first value of every key, and all the remarks in order. The record
// readers then work on spans of the text: no copies but the strings an entity keeps.
struct Lines {
  std::vector<TextSpan> lines;
  std::array<TextSpan, kKeyCount> first;  // a null span for a key no line has
  std::vector<TextSpan> remarks;          // the values of every Remark line
  std::vector<TextSpan> items;            // scratch for a polyline's vertex list

  void cut(TextSpan block) {
    nonFinite = false;
    splitSpans(block, '\n', lines);
    first.fill(TextSpan{});
    remarks.clear();
    for (const TextSpan& line : lines) {
      const char* eq = findChar(line, '=');
      if (eq == nullptr) continue;
      const int k = keyOf(TextSpan{line.begin, eq});
      if (k == kKeyCount) continue;
      const TextSpan value{eq + 1, line.end};
      if (first[k].begin == nullptr) first[k] = value;
      if (k == kRemark) remarks.push_back(value);
    }
  }
  // The value of the first matching key line; an empty span (not null) when there is none,
  // as getKeyValue gives the empty text.
  TextSpan value(Key key) const { return first[key].begin != nullptr ? first[key] : TextSpan{"", ""}; }
  // Every remark, joined by line feeds (getKeyValues).
  CString remark() const {
    CString joined;
    for (std::size_t i = 0; i < remarks.size(); ++i) {
      if (i > 0) joined += '\n';
      joined += toCString(remarks[i]);
    }
    return joined;
  }
  CString text(Key key) const { return toCString(value(key)); }
  double number(Key key) const { return finite(numberAt(value(key))); }
  long integer(Key key) const { return integerAt(value(key)); }
  // `count` numbers of s, as numbersAt reads them.
  void numbers(TextSpan s, double* values, int count) const {
    numbersAt(s, values, count);
    for (int i = 0; i < count; ++i) finite(values[i]);
  }
  AcGePoint3d point(TextSpan s) const {
    double xy[2];
    numbers(s, xy, 2);
    return AcGePoint3d(xy[0], xy[1], 0.0);
  }
  // A number that is not finite (atof reads "1e400" as infinity, "nan" as not a number)
  // marks the record: no drawing can hold it, so the record is not drawn.
  double finite(double v) const {
    if (!std::isfinite(v)) nonFinite = true;
    return v;
  }
  mutable bool nonFinite = false;
};

bool isPointText(TextSpan s) { return countChar(s, ',') >= 1; }
bool isColorText(TextSpan s) { return countChar(s, ',') >= 2; }

// Layer and colour of the record, then into model space: closed when appended, deleted when
// it could not get there or when a number of the record was not finite (3).
int finishEntity(AcDbEntity* pEnt, const Lines& l) {
  if (l.nonFinite) {
    delete pEnt;
    return 3;
  }
  pEnt->setLayer(l.text(kLayer));
  pEnt->setColor(colorAt(l.value(kColor)));
  AcDbObjectId id;
  if (postToModelSpace(id, pEnt) != 0 || id.isNull()) {
    delete pEnt;
    return 2;
  }
  pEnt->close();
  return 0;
}

int drawLineFrom(const Lines& l) {
  TextSpan points = l.value(kPoint);
  const char* semi = findChar(points, ';');
  if (semi == nullptr || !isColorText(l.value(kColor))) return 1;
  TextSpan from{points.begin, semi}, to{semi + 1, points.end};
  if (!isPointText(from) || !isPointText(to)) return 1;
  return finishEntity(new AcDbLine(l.point(from), l.point(to)), l);
}

int drawArcFrom(const Lines& l) {
  TextSpan center = l.value(kCenter), angles = l.value(kAngle);
  if (!isPointText(center) || !isPointText(angles) || !isColorText(l.value(kColor))) return 1;
  double startEnd[2];
  l.numbers(angles, startEnd, 2);
  return finishEntity(new AcDbArc(l.point(center), l.number(kRadius), startEnd[0], startEnd[1]), l);
}

int drawCircleFrom(const Lines& l) {
  TextSpan center = l.value(kCenter);
  if (!isPointText(center) || !isColorText(l.value(kColor))) return 1;
  return finishEntity(new AcDbCircle(l.point(center), AcGeVector3d(0.0, 0.0, 1.0), l.number(kRadius)), l);
}

int drawPolylineFrom(Lines& l) {
  if (!isColorText(l.value(kColor))) return 1;
  splitSpans(l.value(kPoint), ';', l.items);
  for (const TextSpan& item : l.items)
    if (countChar(item, ',') < 4) return 1;
  AcDbPolyline* pPline = new AcDbPolyline(static_cast<unsigned int>(l.items.size()));
  for (std::size_t i = 0; i < l.items.size(); ++i) {
    double v[5];
    l.numbers(l.items[i], v, 5);
    double startWidth = v[3], endWidth = v[4];
    if (startWidth < kWidthNegationLimit) startWidth = -startWidth;
    if (endWidth < kWidthNegationLimit) endWidth = -endWidth;
    pPline->addVertexAt(static_cast<unsigned int>(i), AcGePoint2d(v[0], v[1]), v[2], startWidth, endWidth);
  }
  return finishEntity(pPline, l);
}

int drawTextFrom(const Lines& l) {
  TextSpan point = l.value(kPoint);
  if (!isPointText(point) || !isColorText(l.value(kColor))) return 1;
  AcDbText* pText = new AcDbText(l.point(point), l.text(kValue), AcDbObjectId::kNull, l.number(kHeight),
                                 l.number(kAngle));
  return finishEntity(pText, l);
}

int drawVarCommonFrom(const Lines& l) {
  TextSpan point = l.value(kPoint), valuePoint = l.value(kVarPoint), valueColor = l.value(kVarColor);
  if (!isPointText(point) || !isColorText(l.value(kColor)) || !isPointText(valuePoint) || !isColorText(valueColor))
    return 1;
  AcDbVarCommon* pVar = new AcDbVarCommon();
  pVar->setPosition(l.point(point));
  pVar->setTextString(l.text(kValue));
  pVar->setHeight(l.number(kHeight));
  pVar->setRotation(l.number(kAngle));
  pVar->putVarCode(l.text(kCode));
  pVar->putNameVisible(l.integer(kVisible));
  pVar->putVarSort(l.integer(kSort));
  pVar->putCondiction(l.text(kCondiction));
  pVar->putVarRemark(l.remark());
  pVar->putVarInitialValue(l.text(kVarInitial));
  pVar->putVarSetValue(l.text(kVarValue));
  pVar->putVarValueHeight(l.number(kVarHeight));
  pVar->putVarAngle(l.number(kVarAngle));
  pVar->putVarValueColor(colorAt(valueColor).colorIndex());
  pVar->putVarType(l.text(kVarType));
  pVar->putValuePosition(l.point(valuePoint));
  return finishEntity(pVar, l);
}

}  // namespace

CSectionTextReader::CSectionTextReader() {}
CSectionTextReader::~CSectionTextReader() {}

int CSectionTextReader::drawSectionText(CString text) {
  // Blocks are drawn as the splitter finds them (it always finds at least one, so the result
  // is 0); the text is not cut into a list of blocks first.
  Lines l;
  int notFinite = 0;
  forEachRecordSpan(spanOf(text), [&l, &notFinite](TextSpan block) {
    TextSpan name = recordNameSpan(block);
    int (*draw)(Lines&) = nullptr;
    if (equalNoCase(name, "Line")) draw = [](Lines& x) { return drawLineFrom(x); };
    else if (equalNoCase(name, "Arc")) draw = [](Lines& x) { return drawArcFrom(x); };
    else if (equalNoCase(name, "Polyline")) draw = [](Lines& x) { return drawPolylineFrom(x); };
    else if (equalNoCase(name, "Text")) draw = [](Lines& x) { return drawTextFrom(x); };
    else if (equalNoCase(name, "Circle")) draw = [](Lines& x) { return drawCircleFrom(x); };
    else if (equalNoCase(name, "VarCommon")) draw = [](Lines& x) { return drawVarCommonFrom(x); };
    if (draw == nullptr) return;  // PolylineSection, Mtext, SecType, unknown or unnamed
    l.cut(block);
    if (draw(l) == 3) ++notFinite;
  });
  if (notFinite > 0) acutPrintf("\n%d 条记录含有无法绘制的数值（无穷大或非数），未绘制。", notFinite);
  return 0;
}

int CSectionTextReader::drawLine(CString block) {
  Lines l;
  l.cut(spanOf(block));
  return drawLineFrom(l);
}

int CSectionTextReader::drawArc(CString block) {
  Lines l;
  l.cut(spanOf(block));
  return drawArcFrom(l);
}

int CSectionTextReader::drawCircle(CString block) {
  Lines l;
  l.cut(spanOf(block));
  return drawCircleFrom(l);
}

int CSectionTextReader::drawPolyline(CString block) {
  Lines l;
  l.cut(spanOf(block));
  return drawPolylineFrom(l);
}

int CSectionTextReader::drawText(CString block) {
  Lines l;
  l.cut(spanOf(block));
  return drawTextFrom(l);
}

int CSectionTextReader::drawVarCommon(CString block) {
  Lines l;
  l.cut(spanOf(block));
  return drawVarCommonFrom(l);
}
