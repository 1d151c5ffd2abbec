// CDwgDatabase: whole-database maintenance — the entities of model space, uniquely named
// groups, text styles whose fonts cannot be found, dimension-style arrowheads, multi-insert
// references, hatches, old-style 2D polylines and flattening.
//
// Choices where the interface leaves the meaning to the name (codes count the steps):
// - getEntIdArray(ids): empties the array, then every entity of model space in model-space
//   order. 1: model space not opened; 2: iterator refused.
// - deleteAllHatch(): erases every hatch of model space. 1: model space not listed; 2: a
//   hatch not opened for write.
// - change2dPolylineToPolyline(): every simple old-style 2D polyline of model space is
//   replaced by a lightweight polyline with the same vertices, bulges, widths, closure,
//   elevation, normal, thickness and properties, appended to model space; the old one is
//   erased. Curve-fitted and spline-fitted ones keep their form (their vertices are not the
//   shape the user sees) and are left as they are. 1: model space not listed; 2: a polyline
//   not opened; 3: the new polyline not appended (the old one stays); 4: the old one not
//   erased.
// - deleteMInsertBlock(): besides the codes of model space (6, 7) and its iterator (5): 2
//   the plain reference not appended, 3 the multi-insert not erased. The plain reference
//   takes the multi-insert's layer, colour, linetype and other entity properties.
// - setDbEntToXYPlane(): setEntToXYPlane over every entity of model space; entities that are
//   not parallel to the XY plane are left as they are and passed over. 1: model space not
//   listed; 2: an entity not opened for write.
#include <dbdict.h>
#include <dbgroup.h>
#include <dbhatch.h>

#include <cstdio>

#include "DwgDatabase.h"
#include "DwgToolkitCommon.h"

#include <dbapserv.h>

using namespace dwgtoolkit;

namespace {

// Font files put in place of those that cannot be found.
const char* const kFallbackFont = "txt.shx";
const char* const kFallbackBigFont = "hztxt.shx";
// Arrowhead block put in place of a dimension style's arrowhead blocks.
const char* const kRepairArrowhead = "_OBLIQUE";
// Room findFile gets for a found path, as the host's MAX_PATH.
const int kFoundPathLength = 260;

bool fontFound(const ACHAR* pFile, AcDbDatabase* pDb, AcDbHostApplicationServices::FindFileHint hint) {
  ACHAR found[kFoundPathLength];
  return acdbHostApplicationServices()->findFile(found, kFoundPathLength, pFile, pDb, hint) == Acad::eOk;
}

// An empty file name (no big font) needs no file.
bool fontMissing(const ACHAR* pFile, AcDbDatabase* pDb, AcDbHostApplicationServices::FindFileHint hint) {
  return pFile != NULL && pFile[0] != '\0' && !fontFound(pFile, pDb, hint);
}

}  // namespace

int CDwgDatabase::getEntIdArray(AcDbObjectIdArray& ids) {
  ids.setLogicalLength(0);
  AcDbBlockTableRecord* pRawSpace = NULL;
  m_nLastResult = getBlockTableRecordModelSpace(pRawSpace);
  if (m_nLastResult != 0) return 1;
  OpenedObject<AcDbBlockTableRecord> space(pRawSpace);
  AcDbBlockTableRecordIterator* pIt = NULL;
  m_esLast = space->newIterator(pIt);
  if (m_esLast != Acad::eOk) return 2;
  for (; !pIt->done(); pIt->step()) {
    AcDbObjectId id;
    if (pIt->getEntityId(id) == Acad::eOk) ids.append(id);
  }
  delete pIt;
  return 0;
}

// ---- Groups ----------------------------------------------------------------------------

int CDwgDatabase::makeGroupName(char*& name, CString base) {
  if (m_pDb == NULL || name == NULL) return 1;
  OpenedObject<AcDbDictionary> groups;
  m_esLast = m_pDb->getGroupDictionary(groups.ref(), AcDb::kForWrite);
  if (m_esLast != Acad::eOk) {
    groups.ref() = NULL;
    return 1;
  }
  for (int n = 1;; n++) {
    std::sprintf(name, "%s_%d", (LPCTSTR)base, n);
    if (!groups->has(name)) break;
  }
  AcDbGroup* pGroup = new AcDbGroup;
  AcDbObjectId groupId;
  m_esLast = groups->setAt(name, pGroup, groupId);
  if (m_esLast != Acad::eOk) {
    delete pGroup;
    return 2;
  }
  pGroup->close();
  return 0;
}

int CDwgDatabase::addMemToGroup(AcDbObjectId id, char* groupName) {
  if (m_pDb == NULL || groupName == NULL) return 1;
  AcDbObjectId groupId;
  {
    OpenedObject<AcDbDictionary> groups;
    m_esLast = m_pDb->getGroupDictionary(groups.ref(), AcDb::kForRead);
    if (m_esLast != Acad::eOk) {
      groups.ref() = NULL;
      return 1;
    }
    m_esLast = groups->getAt(groupName, groupId);
    if (m_esLast != Acad::eOk) return 1;
  }
  OpenedObject<AcDbGroup> group;
  m_esLast = acdbOpenObject(group.ref(), groupId, AcDb::kForWrite);
  if (m_esLast != Acad::eOk) return 2;
  if (!id.isValid()) return 0;
  m_esLast = group->append(id);
  return m_esLast == Acad::eOk ? 0 : 3;
}

// ---- Text and dimension styles -------------------------------------------------------------

int CDwgDatabase::getTextStyleUnable(AcDbObjectIdArray& ids) {
  ids.setLogicalLength(0);
  if (m_pDb == NULL) return 1;
  OpenedObject<AcDbTextStyleTable> table;
  m_esLast = m_pDb->getTextStyleTable(table.ref(), AcDb::kForRead);
  if (m_esLast != Acad::eOk) {
    table.ref() = NULL;
    return 1;
  }
  AcDbTextStyleTableIterator* pIt = NULL;
  m_esLast = table->newIterator(pIt);
  if (m_esLast != Acad::eOk) return 3;
  for (; !pIt->done(); pIt->step()) {
    AcDbTextStyleTableRecord* pRaw = NULL;
    if (pIt->getRecord(pRaw, AcDb::kForRead) != Acad::eOk) continue;
    OpenedObject<AcDbTextStyleTableRecord> style(pRaw);
    const ACHAR* pFont = NULL;
    const ACHAR* pBigFont = NULL;
    style->fileName(pFont);
    style->bigFontFileName(pBigFont);
    if (fontMissing(pFont, m_pDb, AcDbHostApplicationServices::kFontFile) ||
        fontMissing(pBigFont, m_pDb, AcDbHostApplicationServices::kFontFile))
      ids.append(style->objectId());
  }
  delete pIt;
  return 0;
}

int CDwgDatabase::setUnableTextStyleEnable(AcDbObjectIdArray& ids) {
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbTextStyleTableRecord> style;
    m_esLast = acdbOpenObject(style.ref(), ids[i], AcDb::kForWrite);
    if (m_esLast != Acad::eOk) return 1;
    m_esLast = style->setFileName(kFallbackFont);
    if (m_esLast != Acad::eOk) return 2;
    style->setBigFontFileName(kFallbackBigFont);
  }
  return 0;
}

int CDwgDatabase::repairTextStyle() {
  AcDbObjectIdArray ids;
  m_nLastResult = getTextStyleUnable(ids);
  m_nLastResult = setUnableTextStyleEnable(ids);
  return 0;
}

int CDwgDatabase::repairDimStyle() {
  if (m_pDb == NULL) return 1;
  OpenedObject<AcDbDimStyleTable> table;
  m_esLast = m_pDb->getDimStyleTable(table.ref(), AcDb::kForRead);
  if (m_esLast != Acad::eOk) {
    table.ref() = NULL;
    return 1;
  }
  AcDbDimStyleTableIterator* pIt = NULL;
  m_esLast = table->newIterator(pIt);
  if (m_esLast != Acad::eOk) return 4;
  AcDbObjectIdArray styleIds;
  for (; !pIt->done(); pIt->step()) {
    AcDbObjectId id;
    if (pIt->getRecordId(id) == Acad::eOk) styleIds.append(id);
  }
  delete pIt;
  table.close();  // setting "_OBLIQUE" may add its block to the block table
  for (int i = 0; i < styleIds.length(); i++) {
    OpenedObject<AcDbDimStyleTableRecord> style;
    m_esLast = acdbOpenObject(style.ref(), styleIds[i], AcDb::kForWrite);
    if (m_esLast != Acad::eOk) return 5;
    if (!style->dimblk().isNull()) style->setDimblk(kRepairArrowhead);
    if (!style->dimblk1().isNull()) style->setDimblk1(kRepairArrowhead);
    if (!style->dimblk2().isNull()) style->setDimblk2(kRepairArrowhead);
    if (!style->dimldrblk().isNull()) style->setDimldrblk(kRepairArrowhead);
  }
  return 0;
}

// ---- Entities of model space -----------------------------------------------------------------

int CDwgDatabase::deleteMInsertBlock() {
  AcDbBlockTableRecord* pRawSpace = NULL;
  m_nLastResult = getBlockTableRecordModelSpace(pRawSpace);
  if (m_nLastResult != 0) return m_nLastResult;  // 6 or 7
  OpenedObject<AcDbBlockTableRecord> space(pRawSpace);
  AcDbBlockTableRecordIterator* pIt = NULL;
  m_esLast = space->newIterator(pIt);
  if (m_esLast != Acad::eOk) return 5;
  AcDbObjectIdArray ids;
  for (; !pIt->done(); pIt->step()) {
    AcDbObjectId id;
    if (pIt->getEntityId(id) == Acad::eOk) ids.append(id);
  }
  delete pIt;
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbMInsertBlock> multi;
    if (openEntity(multi, ids[i], AcDb::kForRead) != Acad::eOk) continue;  // not a multi-insert
    AcDbBlockReference* pPlain = new AcDbBlockReference(multi->position(), multi->blockTableRecord());
    pPlain->setPropertiesFrom(multi.get());
    m_esLast = space->appendAcDbEntity(pPlain);
    if (m_esLast != Acad::eOk) {
      delete pPlain;
      return 2;
    }
    pPlain->close();
    m_esLast = multi->upgradeOpen();
    if (m_esLast == Acad::eOk) m_esLast = multi->erase();
    if (m_esLast != Acad::eOk) return 3;
  }
  return 0;
}

int CDwgDatabase::deleteAllHatch() {
  AcDbObjectIdArray ids;
  m_nLastResult = getEntIdArray(ids);
  if (m_nLastResult != 0) return 1;
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbHatch> hatch;
    if (openEntity(hatch, ids[i], AcDb::kForRead) != Acad::eOk) continue;
    m_esLast = hatch->upgradeOpen();
    if (m_esLast == Acad::eOk) m_esLast = hatch->erase();
    if (m_esLast != Acad::eOk) return 2;
  }
  return 0;
}

// A lightweight polyline drawn as the simple 2D polyline is, or null when a vertex cannot
// be read.
static AcDbPolyline* lightweightFrom(AcDb2dPolyline* pOld) {
  AcDbPolyline* pNew = new AcDbPolyline;
  AcDbObjectIterator* pIt = pOld->vertexIterator();
  unsigned int index = 0;
  for (; pIt != NULL && !pIt->done(); pIt->step()) {
    AcDb2dVertex* pVertex = NULL;
    if (pOld->openVertex(pVertex, pIt->objectId(), AcDb::kForRead) != Acad::eOk) {
      delete pIt;
      delete pNew;
      return NULL;
    }
    const AcGePoint3d at = pVertex->position();
    pNew->addVertexAt(index, AcGePoint2d(at.x, at.y), pVertex->bulge(), pVertex->startWidth(), pVertex->endWidth());
    pVertex->close();
    index++;
  }
  delete pIt;
  pNew->setClosed(pOld->isClosed());
  pNew->setNormal(pOld->normal());
  pNew->setElevation(pOld->elevation());
  pNew->setThickness(pOld->thickness());
  pNew->setPropertiesFrom(pOld);
  return pNew;
}

int CDwgDatabase::change2dPolylineToPolyline() {
  AcDbObjectIdArray ids;
  m_nLastResult = getEntIdArray(ids);
  if (m_nLastResult != 0) return 1;
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDb2dPolyline> old;
    if (openEntity(old, ids[i], AcDb::kForRead) != Acad::eOk) continue;
    if (old->polyType() != AcDb::k2dSimplePoly) continue;
    OwnedObject<AcDbPolyline> made(lightweightFrom(old.get()));
    if (made.get() == NULL) return 2;
    m_nLastResult = appendEntToDb(made.get());
    if (m_nLastResult != 0) return 3;
    made.release()->close();
    m_esLast = old->upgradeOpen();
    if (m_esLast == Acad::eOk) m_esLast = old->erase();
    if (m_esLast != Acad::eOk) return 4;
  }
  return 0;
}

int CDwgDatabase::setDbEntToXYPlane() {
  AcDbObjectIdArray ids;
  m_nLastResult = getEntIdArray(ids);
  if (m_nLastResult != 0) return 1;
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbEntity> ent;
    m_esLast = openEntity(ent, ids[i], AcDb::kForWrite);
    if (m_esLast != Acad::eOk) return 2;
    AcDbEntity* pEnt = ent.get();
    m_nLastResult = setEntToXYPlane(pEnt);
  }
  return 0;
}
