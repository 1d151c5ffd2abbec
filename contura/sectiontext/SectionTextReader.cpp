// The section text reader: record blocks to new entities in model space.
#include "SectionTextReader.h"

#include "SectionTextScan.h"

#include <AcDbVarCommon.h>
#include <dbents.h>
#include <dbpl.h>

#include <cstring>

using namespace sectiontext;

namespace {

// A start or end width below this is replaced by its negation, so that a negative width
// (which the host would take for "the default width") draws as the positive one.
constexpr double kWidthNegationLimit = 0.00001;

// The lines of one block, cut as splitText cuts them, and their key lookup with
// getKeyValue's rules. Each line's key is found once; the record readers then work on spans
// of the text: no copies but the strings an entity keeps.
struct Lines {
  struct Entry {
    TextSpan key;    // before the line's first '=' (not trimmed)
    TextSpan value;  // after it
  };
  std::vector<TextSpan> lines;
  std::vector<Entry> entries;   // the lines that have a '=', in order
  std::vector<TextSpan> items;  // scratch for a polyline's vertex list

  void cut(TextSpan block) {
    splitSpans(block, '\n', lines);
    entries.clear();
    for (const TextSpan& line : lines) {
      const char* eq = findChar(line, '=');
      if (eq != nullptr) entries.push_back(Entry{TextSpan{line.begin, eq}, TextSpan{eq + 1, line.end}});
    }
  }
  // The value of the first matching key line; an empty span (not null) when there is none,
  // as getKeyValue gives the empty text.
  TextSpan value(const char* key) const {
    const int length = static_cast<int>(std::strlen(key));
    for (const Entry& e : entries)
      if (e.key.length() == length && equalNoCase(e.key, key)) return e.value;
    return TextSpan{"", ""};
  }
  // Every matching value, joined by line feeds (getKeyValues).
  CString values(const char* key) const {
    const int length = static_cast<int>(std::strlen(key));
    CString joined;
    bool first = true;
    for (const Entry& e : entries) {
      if (e.key.length() != length || !equalNoCase(e.key, key)) continue;
      if (!first) joined += '\n';
      joined += toCString(e.value);
      first = false;
    }
    return joined;
  }
  CString text(const char* key) const { return toCString(value(key)); }
  double number(const char* key) const { return numberAt(value(key)); }
  long integer(const char* key) const { return integerAt(value(key)); }
};

bool isPointText(TextSpan s) { return countChar(s, ',') >= 1; }
bool isColorText(TextSpan s) { return countChar(s, ',') >= 2; }

AcGePoint3d pointAt(TextSpan s) {
  double xy[2];
  numbersAt(s, xy, 2);
  return AcGePoint3d(xy[0], xy[1], 0.0);
}

// Layer and colour of the record, then into model space: closed when appended, deleted when
// it could not get there.
int finishEntity(AcDbEntity* pEnt, const Lines& l) {
  pEnt->setLayer(l.text("Layer"));
  pEnt->setColor(colorAt(l.value("Color")));
  AcDbObjectId id;
  if (postToModelSpace(id, pEnt) != 0 || id.isNull()) {
    delete pEnt;
    return 2;
  }
  pEnt->close();
  return 0;
}

int drawLineFrom(const Lines& l) {
  TextSpan points = l.value("Point");
  const char* semi = findChar(points, ';');
  if (semi == nullptr || !isColorText(l.value("Color"))) return 1;
  TextSpan from{points.begin, semi}, to{semi + 1, points.end};
  if (!isPointText(from) || !isPointText(to)) return 1;
  return finishEntity(new AcDbLine(pointAt(from), pointAt(to)), l);
}

int drawArcFrom(const Lines& l) {
  TextSpan center = l.value("Center"), angles = l.value("Angle");
  if (!isPointText(center) || !isPointText(angles) || !isColorText(l.value("Color"))) return 1;
  double startEnd[2];
  numbersAt(angles, startEnd, 2);
  return finishEntity(new AcDbArc(pointAt(center), l.number("Radius"), startEnd[0], startEnd[1]), l);
}

int drawCircleFrom(const Lines& l) {
  TextSpan center = l.value("Center");
  if (!isPointText(center) || !isColorText(l.value("Color"))) return 1;
  return finishEntity(new AcDbCircle(pointAt(center), AcGeVector3d(0.0, 0.0, 1.0), l.number("Radius")), l);
}

int drawPolylineFrom(Lines& l) {
  if (!isColorText(l.value("Color"))) return 1;
  splitSpans(l.value("Point"), ';', l.items);
  for (const TextSpan& item : l.items)
    if (countChar(item, ',') < 4) return 1;
  AcDbPolyline* pPline = new AcDbPolyline(static_cast<unsigned int>(l.items.size()));
  for (std::size_t i = 0; i < l.items.size(); ++i) {
    double v[5];
    numbersAt(l.items[i], v, 5);
    double startWidth = v[3], endWidth = v[4];
    // 0.0 - w rather than -w: a zero width stays +0 and is written back as "0", not "-0".
    if (startWidth < kWidthNegationLimit) startWidth = 0.0 - startWidth;
    if (endWidth < kWidthNegationLimit) endWidth = 0.0 - endWidth;
    pPline->addVertexAt(static_cast<unsigned int>(i), AcGePoint2d(v[0], v[1]), v[2], startWidth, endWidth);
  }
  return finishEntity(pPline, l);
}

int drawTextFrom(const Lines& l) {
  TextSpan point = l.value("Point");
  if (!isPointText(point) || !isColorText(l.value("Color"))) return 1;
  AcDbText* pText = new AcDbText(pointAt(point), l.text("Value"), AcDbObjectId::kNull, l.number("Height"),
                                 l.number("Angle"));
  return finishEntity(pText, l);
}

int drawVarCommonFrom(const Lines& l) {
  TextSpan point = l.value("Point"), valuePoint = l.value("VarPoint"), valueColor = l.value("VarColor");
  if (!isPointText(point) || !isColorText(l.value("Color")) || !isPointText(valuePoint) || !isColorText(valueColor))
    return 1;
  AcDbVarCommon* pVar = new AcDbVarCommon();
  pVar->setPosition(pointAt(point));
  pVar->setTextString(l.text("Value"));
  pVar->setHeight(l.number("Height"));
  pVar->setRotation(l.number("Angle"));
  pVar->putVarCode(l.text("Code"));
  pVar->putNameVisible(l.integer("Visible"));
  pVar->putVarSort(l.integer("Sort"));
  pVar->putCondiction(l.text("Condiction"));
  pVar->putVarRemark(l.values("Remark"));
  pVar->putVarInitialValue(l.text("VarInitial"));
  pVar->putVarSetValue(l.text("VarValue"));
  pVar->putVarValueHeight(l.number("VarHeight"));
  pVar->putVarAngle(l.number("VarAngle"));
  pVar->putVarValueColor(colorAt(valueColor).colorIndex());
  pVar->putVarType(l.text("VarType"));
  pVar->putValuePosition(pointAt(valuePoint));
  return finishEntity(pVar, l);
}

}  // namespace

CSectionTextReader::CSectionTextReader() {}
CSectionTextReader::~CSectionTextReader() {}

int CSectionTextReader::drawSectionText(CString text) {
  std::vector<TextSpan> blocks;
  splitRecordSpans(spanOf(text), blocks);
  if (blocks.empty()) return 1;
  Lines l;
  for (const TextSpan& block : blocks) {
    TextSpan name = recordNameSpan(block);
    int (*draw)(Lines&) = nullptr;
    if (equalNoCase(name, "Line")) draw = [](Lines& x) { return drawLineFrom(x); };
    else if (equalNoCase(name, "Arc")) draw = [](Lines& x) { return drawArcFrom(x); };
    else if (equalNoCase(name, "Polyline")) draw = [](Lines& x) { return drawPolylineFrom(x); };
    else if (equalNoCase(name, "Text")) draw = [](Lines& x) { return drawTextFrom(x); };
    else if (equalNoCase(name, "Circle")) draw = [](Lines& x) { return drawCircleFrom(x); };
    else if (equalNoCase(name, "VarCommon")) draw = [](Lines& x) { return drawVarCommonFrom(x); };
    if (draw == nullptr) continue;  // PolylineSection, Mtext, SecType, unknown or unnamed
    l.cut(block);
    draw(l);
  }
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
