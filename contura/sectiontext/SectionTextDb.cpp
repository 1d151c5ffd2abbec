// The helpers that reach into the drawing database: colour values and appending new
// entities to model space of the working database.
#include "SectionTextHelpers.h"

#include "SectionTextScan.h"

#include <acdb.h>
#include <dbapserv.h>
#include <dbsymtb.h>

using namespace sectiontext;

AcCmColor sectiontext::colorAt(TextSpan s) {
  long rgb[3] = {0, 0, 0};
  TextSpan rest = s;
  for (int i = 0; i < 3 && rest.begin != nullptr; ++i) {
    rgb[i] = integerAt(rest);
    const char* comma = findChar(rest, ',');
    rest = comma ? TextSpan{comma + 1, rest.end} : TextSpan{nullptr, nullptr};
  }
  AcCmColor color;
  color.setRGB(static_cast<Adesk::UInt8>(rgb[0] & 0xFF), static_cast<Adesk::UInt8>(rgb[1] & 0xFF),
               static_cast<Adesk::UInt8>(rgb[2] & 0xFF));
  return color;
}

AcCmColor colorFromText(CString s) { return colorAt(spanOf(s)); }

int postToModelSpace(AcDbObjectId& id, AcDbEntity* pEnt) {
  AcDbDatabase* pDb = acdbHostApplicationServices()->workingDatabase();
  if (pDb == nullptr) return 1;
  AcDbBlockTable* pTable = nullptr;
  if (pDb->getBlockTable(pTable, AcDb::kForRead) != Acad::eOk) return 1;
  AcDbBlockTableRecord* pModel = nullptr;
  if (pTable->getAt(ACDB_MODEL_SPACE, pModel, AcDb::kForWrite) != Acad::eOk) {
    pTable->close();
    return 3;
  }
  pModel->appendAcDbEntity(id, pEnt);
  pModel->close();
  pTable->close();
  return 0;
}

int postToModelSpace(AcDbEntity* pEnt) {
  AcDbObjectId id;
  return postToModelSpace(id, pEnt);
}
