// The section text writer: selection, one record per supported entity, outline records.
#include "SectionTextWriter.h"

#include "SectionTextNumbers.h"

#include <AcDbVarCommon.h>
#include <aced.h>
#include <acutads.h>
#include <dbmtext.h>
#include <dbsymtb.h>

#include <string>
#include <string_view>

using sectiontext::appendD;
using sectiontext::appendG;

namespace {

// Records are built in a standard string (cheap appends) and handed out as CString.
using Text = std::string;

CString toCString(const Text& t) { return CString(std::string_view(t)); }

void appendHeader(Text& out, const char* name) {
  out += '[';
  out += name;
  out += "]\n";
}

void appendKey(Text& out, const char* key) {
  out += key;
  out += '=';
}

void appendXY(Text& out, double x, double y) {
  appendG(out, x);
  out += ',';
  appendG(out, y);
}

void appendNumberLine(Text& out, const char* key, double v) {
  appendKey(out, key);
  appendG(out, v);
  out += '\n';
}

void appendTextLine(Text& out, const char* key, const char* value) {
  appendKey(out, key);
  out += value;
  out += '\n';
}

}  // namespace

CSectionTextWriter::CSectionTextWriter() : m_esLast(Acad::eOk), m_nSelectResult(0), m_ids(0, 8) {}

CSectionTextWriter::~CSectionTextWriter() {}

int CSectionTextWriter::buildSectionText() {
  m_strSectionText.Empty();
  m_nSelectResult = selectEntities();
  if (m_nSelectResult != 0) return 1;
  return buildRecords();
}

int CSectionTextWriter::buildRecords() {
  m_strSectionText.Empty();
  Text text;
  for (int i = 0; i < m_ids.length(); ++i) {
    AcDbEntity* pEnt = nullptr;
    m_esLast = acdbOpenAcDbEntity(pEnt, m_ids[i], AcDb::kForRead);
    if (m_esLast != Acad::eOk) return 3;  // the records made so far are dropped
    // Records are written straight into the text, after the line feed that separates them
    // from the one before; an entity without a record takes the line feed back.
    std::size_t mark = text.size();
    if (!text.empty()) text += '\n';
    if (!appendRecordOf(text, pEnt)) text.resize(mark);
    pEnt->close();
  }
  m_strSectionText = toCString(text);
  return 0;
}

// The record of the first class the entity is a kind of; the variable entity before the text
// it derives from. Other entities give no record.
bool CSectionTextWriter::appendRecordOf(std::string& out, AcDbEntity* pEnt) {
  if (pEnt->isKindOf(AcDbLine::desc())) appendLineRecord(out, pEnt);
  else if (pEnt->isKindOf(AcDbArc::desc())) appendArcRecord(out, pEnt);
  else if (pEnt->isKindOf(AcDbPolyline::desc())) appendPolylineRecord(out, pEnt);
  else if (pEnt->isKindOf(AcDbVarCommon::desc())) appendVarCommonRecord(out, pEnt);
  else if (pEnt->isKindOf(AcDbText::desc())) appendTextRecord(out, pEnt);
  else if (pEnt->isKindOf(AcDbMText::desc())) appendMtextRecord(out, pEnt);
  else if (pEnt->isKindOf(AcDbCircle::desc())) appendCircleRecord(out, pEnt);
  else return false;
  return true;
}

CString CSectionTextWriter::getSectionText() { return m_strSectionText; }

int CSectionTextWriter::selectEntities() {
  m_ids.setLogicalLength(0);
  ads_name ss = {0, 0};
  int rc = acedSSGet(nullptr, nullptr, nullptr, nullptr, ss);
  Adesk::Int32 count = 0;
  if (rc == RTNORM && acedSSLength(ss, &count) != RTNORM) count = 0;
  if (count == 0) {
    if (rc == RTNORM) acedSSFree(ss);
    acutPrintf("\n没有选中构件！");
    return 1;
  }
  for (Adesk::Int32 i = 0; i < count; ++i) {
    ads_name ent;
    if (acedSSName(ss, i, ent) != RTNORM) continue;
    AcDbObjectId id;
    if (acdbGetObjectId(id, ent) != Acad::eOk) {
      acedSSFree(ss);
      return 2;
    }
    m_ids.append(id);
  }
  acedSSFree(ss);
  return 0;
}

CString CSectionTextWriter::polylineSectionRecord(AcDbPolyline*& pPline) {
  Text out;
  appendHeader(out, "PolylineSection");
  appendKey(out, "Points");
  unsigned int n = pPline->numVerts();
  for (unsigned int i = 0; i < n; ++i) {
    AcGePoint2d pt;
    double bulge = 0.0;
    pPline->getPointAt(i, pt);
    pPline->getBulgeAt(i, bulge);
    if (i > 0) out += ';';
    appendXY(out, pt.x, pt.y);
    out += ',';
    appendG(out, bulge);
  }
  if (n > 0) {  // the first vertex once more, closed or not
    AcGePoint2d first;
    pPline->getPointAt(0, first);
    out += ';';
    appendXY(out, first.x, first.y);
    out += ",0";
  }
  out += '\n';
  return toCString(out);
}

CString CSectionTextWriter::basePointLine(AcGePoint3d pt) {
  Text out;
  appendKey(out, "BasePoint");
  appendXY(out, pt.x, pt.y);
  return toCString(out);
}

// The Color and Layer lines that end every entity record.
static void appendColorAndLayer(Text& out, CSectionTextWriter& writer, AcDbEntity*& pEnt) {
  appendTextLine(out, "Color", writer.entityColorText(pEnt));
  ACHAR* layer = pEnt->layer();
  appendTextLine(out, "Layer", layer ? layer : "");
  delete[] layer;
}

void CSectionTextWriter::appendLineRecord(std::string& out, AcDbEntity* pEnt) {
  AcDbLine* pLine = AcDbLine::cast(pEnt);
  AcGePoint3d start, end;
  pLine->getStartPoint(start);
  pLine->getEndPoint(end);
  appendHeader(out, "Line");
  appendKey(out, "Point");
  appendXY(out, start.x, start.y);
  out += ';';
  appendXY(out, end.x, end.y);
  out += '\n';
  appendColorAndLayer(out, *this, pEnt);
}

void CSectionTextWriter::appendArcRecord(std::string& out, AcDbEntity* pEnt) {
  AcDbArc* pArc = AcDbArc::cast(pEnt);
  AcGePoint3d c = pArc->center();
  appendHeader(out, "Arc");
  appendKey(out, "Center");
  appendXY(out, c.x, c.y);
  out += '\n';
  appendNumberLine(out, "Radius", pArc->radius());
  appendKey(out, "Angle");
  appendXY(out, pArc->startAngle(), pArc->endAngle());
  out += '\n';
  appendColorAndLayer(out, *this, pEnt);
}

void CSectionTextWriter::appendCircleRecord(std::string& out, AcDbEntity* pEnt) {
  AcDbCircle* pCircle = AcDbCircle::cast(pEnt);
  AcGePoint3d c = pCircle->center();
  appendHeader(out, "Circle");
  appendKey(out, "Center");
  appendXY(out, c.x, c.y);
  out += '\n';
  appendNumberLine(out, "Radius", pCircle->radius());
  appendColorAndLayer(out, *this, pEnt);
}

void CSectionTextWriter::appendPolylineRecord(std::string& out, AcDbEntity* pEnt) {
  AcDbPolyline* pPline = AcDbPolyline::cast(pEnt);
  appendHeader(out, "Polyline");
  appendKey(out, "Point");
  unsigned int n = pPline->numVerts();
  for (unsigned int i = 0; i < n; ++i) {
    AcGePoint2d pt;
    double bulge = 0.0, startWidth = 0.0, endWidth = 0.0;
    pPline->getPointAt(i, pt);
    pPline->getBulgeAt(i, bulge);
    pPline->getWidthsAt(i, startWidth, endWidth);
    if (i > 0) out += ';';
    appendXY(out, pt.x, pt.y);
    out += ',';
    appendG(out, bulge);
    out += ',';
    appendG(out, startWidth);
    out += ',';
    appendG(out, endWidth);
  }
  if (pPline->isClosed() && n > 0) {  // the closing item: first vertex, bulge and widths 0
    AcGePoint2d first;
    pPline->getPointAt(0, first);
    out += ';';
    appendXY(out, first.x, first.y);
    out += ",0,0,0";
  }
  out += '\n';
  appendColorAndLayer(out, *this, pEnt);
}

// The text keys shared by Text and VarCommon records, after the header.
static void appendTextKeys(Text& out, CSectionTextWriter& writer, AcDbEntity*& pEnt) {
  AcDbText* pText = AcDbText::cast(pEnt);
  appendTextLine(out, "Value", pText->textStringConst());
  appendNumberLine(out, "Height", pText->height());
  AcGePoint3d pos = pText->position();
  appendKey(out, "Point");
  appendXY(out, pos.x, pos.y);
  out += '\n';
  appendNumberLine(out, "Angle", pText->rotation());
  appendColorAndLayer(out, writer, pEnt);
}

void CSectionTextWriter::appendTextRecord(std::string& out, AcDbEntity* pEnt) {
  appendHeader(out, "Text");
  appendTextKeys(out, *this, pEnt);
}

void CSectionTextWriter::appendMtextRecord(std::string& out, AcDbEntity* pEnt) {
  appendHeader(out, "Mtext");
  AcDbVoidPtrArray pieces;
  m_esLast = pEnt->explode(pieces);
  if (m_esLast != Acad::eOk) {
    // A failed explode may still have handed over pieces: they are ours to free.
    for (int i = 0; i < pieces.length(); ++i) delete static_cast<AcDbEntity*>(pieces[i]);
    return;
  }
  for (int i = 0; i < pieces.length(); ++i) {
    AcDbEntity* pPiece = static_cast<AcDbEntity*>(pieces[i]);
    if (pPiece != nullptr && pPiece->isKindOf(AcDbText::desc())) {
      appendTextRecord(out, pPiece);
      out += '\n';
    }
    delete pPiece;
  }
}

void CSectionTextWriter::appendVarCommonRecord(std::string& out, AcDbEntity* pEnt) {
  AcDbVarCommon* pVar = AcDbVarCommon::cast(pEnt);
  appendHeader(out, "VarCommon");
  appendTextKeys(out, *this, pEnt);
  appendTextLine(out, "Code", pVar->getVarCode());
  appendKey(out, "Visible");
  appendD(out, pVar->getVarNameVisible());
  out += '\n';
  appendKey(out, "Sort");
  appendD(out, pVar->getVarSort());
  out += '\n';
  appendTextLine(out, "Condiction", pVar->getCondiction());
  CStringArray remarks;
  splitText(remarks, pVar->getVarRemark(), '\n');
  for (INT_PTR i = 0; i < remarks.GetSize(); ++i) appendTextLine(out, "Remark", remarks[i]);
  appendTextLine(out, "VarInitial", pVar->getVarInitialValue());
  appendTextLine(out, "VarValue", pVar->getVarSetValue());
  appendNumberLine(out, "VarHeight", pVar->getVarValueHeight());
  AcGePoint3d vp = pVar->getValuePosition();
  appendKey(out, "VarPoint");
  appendXY(out, vp.x, vp.y);
  out += '\n';
  appendNumberLine(out, "VarAngle", pVar->getVarAngle());
  appendTextLine(out, "VarColor", indexColorText(static_cast<int>(pVar->getVarValueColor())));
  appendTextLine(out, "VarType", pVar->getVarType());
}

CString CSectionTextWriter::entityColorText(AcDbEntity*& pEnt) {
  int index = pEnt->colorIndex();
  if (pEnt->entityColor().colorMethod() == AcCmEntityColor::kByLayer) {
    AcDbLayerTableRecord* pLayer = nullptr;
    m_esLast = acdbOpenObject(pLayer, pEnt->layerId(), AcDb::kForRead);
    if (m_esLast == Acad::eOk) {
      index = pLayer->color().colorIndex();
      pLayer->close();
    }
  }
  return indexColorText(index);
}

CString CSectionTextWriter::indexColorText(int colorIndex) {
  Adesk::UInt32 rgb = acedGetRGB(colorIndex);
  Text out;
  appendD(out, static_cast<long>(rgb & 0xFF));
  out += ',';
  appendD(out, static_cast<long>((rgb >> 8) & 0xFF));
  out += ',';
  appendD(out, static_cast<long>((rgb >> 16) & 0xFF));
  return toCString(out);
}

CString CSectionTextWriter::lineRecord(AcDbEntity*& pEnt) {
  Text out;
  appendLineRecord(out, pEnt);
  return toCString(out);
}

CString CSectionTextWriter::arcRecord(AcDbEntity*& pEnt) {
  Text out;
  appendArcRecord(out, pEnt);
  return toCString(out);
}

CString CSectionTextWriter::circleRecord(AcDbEntity*& pEnt) {
  Text out;
  appendCircleRecord(out, pEnt);
  return toCString(out);
}

CString CSectionTextWriter::polylineRecord(AcDbEntity*& pEnt) {
  Text out;
  appendPolylineRecord(out, pEnt);
  return toCString(out);
}

CString CSectionTextWriter::textRecord(AcDbEntity*& pEnt) {
  Text out;
  appendTextRecord(out, pEnt);
  return toCString(out);
}

CString CSectionTextWriter::mtextRecord(AcDbEntity*& pEnt) {
  Text out;
  appendMtextRecord(out, pEnt);
  return toCString(out);
}

CString CSectionTextWriter::varCommonRecord(AcDbEntity*& pEnt) {
  Text out;
  appendVarCommonRecord(out, pEnt);
  return toCString(out);
}
