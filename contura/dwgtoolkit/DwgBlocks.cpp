// CDwgDatabase: blocks and references — the block list, the block of a reference, the
// entities of a block, references of the same block, erasing blocks, putting every block
// under a name prefix, and a reference's crossings with a curve and its outline.
//
// Block lists leave out every record whose name begins with "*" (model space, paper spaces,
// anonymous blocks). Names follow the layer rules: exact and case-sensitive, prefixes by
// position 0 of the first occurrence.
//
// Choices where the interface leaves the meaning to the name (codes count the steps):
// - eraseBlock(record): the references of the block anywhere in the drawing are erased
//   first (a reference left without its block would show nothing and could not be read
//   back), then the record with the entities it holds. 1: a reference not opened for write;
//   2: the record refused the erase (model space and paper spaces are refused).
// - addBlockPreName(prefix): every block of getBlockIdArray gets the name prefix + old name.
//   References refer to their block by id, so every one of them still shows its block
//   under the new name; they are left as they are. 1: block list failed; 2: a record not
//   opened for write; 3: a name refused (already in use).
// - getBlockInnerEntityIdArray(ids, id): the id may be a block table record or a block
//   reference (its block is taken). The output is emptied, then holds the block's
//   entities in block order. 1: neither could be opened; 2: iterator refused.
// - getBlockRefIdArrayByRef(ids, refId, sameLayer, sameColor): the references in model space
//   of the same block as the given reference (itself included), in model-space order; a
//   non-zero sameLayer keeps only those on its layer, a non-zero sameColor only those of its
//   colour index. 1: the reference not opened; 2: model space not listed.
// - getBlockRefIdArrayBySameBlockName(ids, refIds): every reference in model space whose
//   block is the block of one of the given references. 1: one could not be opened; 2: model
//   space not listed.
// - getCurveCrossBlockReferencePoint(points, curve, ref): the points where the curve crosses
//   the curves of the reference as drawn (explode), each point once (0.1), in the order of
//   the reference's pieces. 1: null argument; 2: explode refused; 3: no crossing. The single
//   point form gives the crossing nearest to the curve's start point, same codes.
// - getReferenceExtentPL(pline, entity): a new closed four-vertex polyline around the
//   entity's geometric extents, at the extents' lowest z, counter-clockwise from the lower
//   left corner; the caller owns it. 1: null entity; 2: no extents.
#include <dbpl.h>

#include "DwgDatabase.h"
#include "DwgToolkitCommon.h"

using namespace dwgtoolkit;

namespace {

// The name of an open symbol table record; "" when it cannot be read.
CString nameOf(AcDbSymbolTableRecord* pRecord) {
  const ACHAR* pName = NULL;
  if (pRecord->getName(pName) != Acad::eOk || pName == NULL) return CString();
  return CString(pName);
}

bool isStarName(const CString& name) { return hasPrefix(name, "*"); }

}  // namespace

int CDwgDatabase::getBlockIdArray(AcDbObjectIdArray& ids) {
  ids.setLogicalLength(0);
  if (m_pDb == NULL) return 6;
  OpenedObject<AcDbBlockTable> table;
  m_esLast = m_pDb->getBlockTable(table.ref(), AcDb::kForRead);
  if (m_esLast != Acad::eOk) {
    table.ref() = NULL;
    return 6;
  }
  AcDbBlockTableIterator* pIt = NULL;
  m_esLast = table->newIterator(pIt);
  if (m_esLast != Acad::eOk) return 3;
  int result = 0;
  for (; !pIt->done(); pIt->step()) {
    AcDbBlockTableRecord* pRaw = NULL;
    m_esLast = pIt->getRecord(pRaw, AcDb::kForRead);
    if (m_esLast != Acad::eOk) {
      result = 4;
      break;
    }
    OpenedObject<AcDbBlockTableRecord> record(pRaw);
    const ACHAR* pName = NULL;
    m_esLast = record->getName(pName);
    if (m_esLast != Acad::eOk || pName == NULL) {
      result = 5;
      break;
    }
    if (!isStarName(pName)) ids.append(record->objectId());
  }
  delete pIt;
  return result;
}

int CDwgDatabase::eraseBlock(AcDbBlockTableRecord* pBlock) {
  if (pBlock == NULL) return 2;
  AcDbObjectIdArray refIds;
  pBlock->getBlockReferenceIds(refIds);
  for (int i = 0; i < refIds.length(); i++) {
    OpenedObject<AcDbEntity> ref;
    m_esLast = openEntity(ref, refIds[i], AcDb::kForWrite);
    if (m_esLast != Acad::eOk) return 1;
    ref->erase();
  }
  if (!pBlock->isWriteEnabled()) {
    m_esLast = pBlock->upgradeOpen();
    if (m_esLast != Acad::eOk) return 2;
  }
  m_esLast = pBlock->erase();
  return m_esLast == Acad::eOk ? 0 : 2;
}

int CDwgDatabase::eraseBlock(AcDbObjectId id) {
  OpenedObject<AcDbBlockTableRecord> block;
  m_esLast = acdbOpenObject(block.ref(), id, AcDb::kForWrite);
  if (m_esLast != Acad::eOk) return 1;
  m_nLastResult = eraseBlock(block.get());
  return m_nLastResult == 0 ? 0 : 3;
}

int CDwgDatabase::eraseBlockByPreName(CString prefix) {
  AcDbObjectIdArray ids;
  m_nLastResult = getBlockIdArray(ids);
  if (m_nLastResult != 0) return 1;
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbBlockTableRecord> block;
    m_esLast = acdbOpenObject(block.ref(), ids[i], AcDb::kForWrite);
    if (m_esLast != Acad::eOk) return 3;
    if (!hasPrefix(nameOf(block.get()), prefix)) continue;
    m_nLastResult = eraseBlock(block.get());
    if (m_nLastResult != 0) return 5;
  }
  return 0;
}

int CDwgDatabase::addBlockPreName(CString prefix) {
  AcDbObjectIdArray ids;
  m_nLastResult = getBlockIdArray(ids);
  if (m_nLastResult != 0) return 1;
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbBlockTableRecord> block;
    m_esLast = acdbOpenObject(block.ref(), ids[i], AcDb::kForWrite);
    if (m_esLast != Acad::eOk) return 2;
    CString newName;
    newName.Format("%s%s", (LPCTSTR)prefix, (LPCTSTR)nameOf(block.get()));
    m_esLast = block->setName(newName);
    if (m_esLast != Acad::eOk) return 3;
  }
  return 0;
}

int CDwgDatabase::getBlockIdFromRef(AcDbObjectId& blockId, AcDbBlockReference* pRef) {
  blockId = pRef != NULL ? pRef->blockTableRecord() : AcDbObjectId::kNull;
  return 0;
}

int CDwgDatabase::getBlockIdFromRef(AcDbObjectId& blockId, AcDbObjectId refId) {
  OpenedObject<AcDbBlockReference> ref;
  m_esLast = openEntity(ref, refId, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  return getBlockIdFromRef(blockId, ref.get());
}

int CDwgDatabase::getBlockInnerEntityIdArray(AcDbObjectIdArray& ids, AcDbObjectId id) {
  ids.setLogicalLength(0);
  AcDbObjectId blockId = id;
  OpenedObject<AcDbBlockTableRecord> block;
  m_esLast = acdbOpenObject(block.ref(), id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) {
    m_nLastResult = getBlockIdFromRef(blockId, id);
    if (m_nLastResult != 0) return 1;
    m_esLast = acdbOpenObject(block.ref(), blockId, AcDb::kForRead);
    if (m_esLast != Acad::eOk) return 1;
  }
  AcDbBlockTableRecordIterator* pIt = NULL;
  m_esLast = block->newIterator(pIt);
  if (m_esLast != Acad::eOk) return 2;
  for (; !pIt->done(); pIt->step()) {
    AcDbObjectId entId;
    if (pIt->getEntityId(entId) == Acad::eOk) ids.append(entId);
  }
  delete pIt;
  return 0;
}

// The model-space references whose block is one of blockIds and, when a filter is given,
// whose layer / colour index equals it. 2: model space not listed.
static int referencesOf(CDwgDatabase& toolkit, AcDbObjectIdArray& ids, const AcDbObjectIdArray& blockIds,
                        const AcDbObjectId* pLayer, const Adesk::UInt16* pColor) {
  ids.setLogicalLength(0);
  AcDbObjectIdArray all;
  toolkit.m_nLastResult = toolkit.getEntIdArray(all);
  if (toolkit.m_nLastResult != 0) return 2;
  for (int i = 0; i < all.length(); i++) {
    OpenedObject<AcDbBlockReference> ref;
    if (openEntity(ref, all[i], AcDb::kForRead) != Acad::eOk) continue;  // not a reference
    if (!blockIds.contains(ref->blockTableRecord())) continue;
    if (pLayer != NULL && ref->layerId() != *pLayer) continue;
    if (pColor != NULL && ref->colorIndex() != *pColor) continue;
    ids.append(all[i]);
  }
  return 0;
}

int CDwgDatabase::getBlockRefIdArrayByRef(AcDbObjectIdArray& ids, AcDbObjectId refId, int sameLayer,
                                          int sameColor) {
  ids.setLogicalLength(0);
  AcDbObjectIdArray blockIds;
  AcDbObjectId layerId;
  Adesk::UInt16 color = 0;
  {
    OpenedObject<AcDbBlockReference> ref;
    m_esLast = openEntity(ref, refId, AcDb::kForRead);
    if (m_esLast != Acad::eOk) return 1;
    blockIds.append(ref->blockTableRecord());
    layerId = ref->layerId();
    color = ref->colorIndex();
  }
  return referencesOf(*this, ids, blockIds, sameLayer != 0 ? &layerId : NULL, sameColor != 0 ? &color : NULL);
}

int CDwgDatabase::getBlockRefIdArrayBySameBlockName(AcDbObjectIdArray& ids, AcDbObjectIdArray& refIds) {
  ids.setLogicalLength(0);
  AcDbObjectIdArray blockIds;
  for (int i = 0; i < refIds.length(); i++) {
    AcDbObjectId blockId;
    m_nLastResult = getBlockIdFromRef(blockId, refIds[i]);
    if (m_nLastResult != 0) return 1;
    if (!blockIds.contains(blockId)) blockIds.append(blockId);
  }
  return referencesOf(*this, ids, blockIds, NULL, NULL);
}

int CDwgDatabase::getCurveCrossBlockReferencePoint(AcGePoint3dArray& points, AcDbCurve* pCurve,
                                                   AcDbBlockReference* pRef) {
  points.setLogicalLength(0);
  if (pCurve == NULL || pRef == NULL) return 1;
  AcDbVoidPtrArray pieces;
  if (pRef->explode(pieces) != Acad::eOk) {
    deleteAcdbVoidArray(pieces);
    return 2;
  }
  for (int i = 0; i < pieces.length(); i++) {
    AcDbCurve* pPiece = AcDbCurve::cast(static_cast<AcDbEntity*>(pieces[i]));
    if (pPiece == NULL) continue;
    AcGePoint3dArray crossings;
    if (pCurve->intersectWith(pPiece, AcDb::kOnBothOperands, crossings) != Acad::eOk) continue;
    addPointToArray(points, crossings);
  }
  deleteAcdbVoidArray(pieces);
  return points.isEmpty() ? 3 : 0;
}

int CDwgDatabase::getCurveCrossBlockReferencePoint(AcGePoint3d& point, AcDbCurve* pCurve, AcDbBlockReference* pRef) {
  AcGePoint3dArray points;
  int result = getCurveCrossBlockReferencePoint(points, pCurve, pRef);
  if (result != 0) return result;
  AcGePoint3d start;
  pCurve->getStartPoint(start);
  point = points[0];
  for (int i = 1; i < points.length(); i++) {
    if (points[i].distanceTo(start) < point.distanceTo(start)) point = points[i];
  }
  return 0;
}

int CDwgDatabase::getReferenceExtentPL(AcDbPolyline*& pPline, AcDbEntity* pEnt) {
  pPline = NULL;
  if (pEnt == NULL) return 1;
  AcDbExtents box;
  if (pEnt->getGeomExtents(box) != Acad::eOk) return 2;
  const AcGePoint3d lo = box.minPoint(), hi = box.maxPoint();
  const AcGePoint2d corners[4] = {AcGePoint2d(lo.x, lo.y), AcGePoint2d(hi.x, lo.y), AcGePoint2d(hi.x, hi.y),
                                  AcGePoint2d(lo.x, hi.y)};
  pPline = new AcDbPolyline(4);
  for (unsigned int i = 0; i < 4; i++) pPline->addVertexAt(i, corners[i]);
  pPline->setClosed(true);
  pPline->setElevation(lo.z);
  return 0;
}

int CDwgDatabase::getReferenceExtentPL(AcDbPolyline*& pPline, AcDbObjectId id) {
  pPline = NULL;
  OpenedObject<AcDbBlockReference> ref;
  if (openEntity(ref, id, AcDb::kForRead) != Acad::eOk) return 1;
  if (getReferenceExtentPL(pPline, ref.get()) != 0) return 2;
  return 0;
}
