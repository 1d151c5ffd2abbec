// CDwgDatabase: entities — appending to model space, erasing, copying, exploding, moving and
// transforming, flattening onto the XY plane, extents and characteristic points.
//
// Choices where the interface leaves the meaning to the name (codes count the steps):
// - eraseNoSelectEntityArray(all, selected): erases each entity of `all` that `selected`
//   does not hold, in order. 1: one could not be opened for write (those before stay
//   erased); 2: the erase was refused.
// - explodePolyline(ids): each id that is a lightweight or old-style 2D polyline is exploded
//   into lines and arcs, which are appended to model space with the polyline's properties;
//   the polyline is erased and its id in the array is replaced by its pieces' ids, in
//   order. Other ids stay. 1: open failed; 2: explode refused; 3: append failed (the
//   pieces not yet appended are deleted); 4: the polyline could not be erased.
// - getEntPoints(points, entity): the entity's characteristic points, appended without
//   duplicates (0.1): a curve's start point, a polyline's vertices, its end point; a circle's
//   or ellipse's centre; the position of a text, paragraph text, block reference or point.
//   1: null entity or a kind without such points.
// - getEntArrayPoints(points, ids): getEntPoints over the ids. 1: an id could not be opened;
//   2: getEntPoints failed for one.
// - getEntCopy(AcDbCurve*&, AcDbCurve*): an identity copy that must be a curve; 1 otherwise.
// - getEntCopy(AcDbObjectId&, entity) and (AcDbObjectId&, id): the copy appended to model
//   space and closed, its id returned. Pointer form: 1 copy refused, 2 append failed. Id
//   form: 1 open failed, 2 copy refused, 3 append failed.
// - getExtentMax: the box around the extents of every entity of model space, of the ids, or
//   of the entities of a pointer array; entities without extents are passed over. Model-space
//   form: 1 model space not opened. Id form: 1 an id could not be opened. All forms: 2 when
//   no entity had extents (the output is then untouched).
// - setEntToXYPlane(entity): a line gets z = 0 at both ends; any other entity that lies in a
//   plane parallel to XY (its extents have no height) is moved down to z = 0. 1: no extents;
//   2: the entity is not parallel to XY (it is left as it was) or the move was refused. The
//   pointer stays the same object. Id-array form: 2 an entity could not be opened for write,
//   4 flattening one failed. The whole-database form is in the maintenance family.
// - transformEntity(matrix, entity): 2 when transformBy is refused (as the vector form).
//   Id form: 1 open for write failed, 2 refused. Id-array form: each id in order, stopping
//   with the first failure's code.
#include <dbelipse.h>
#include <dbents.h>
#include <dbmtext.h>
#include <dbpl.h>

#include "DwgDatabase.h"
#include "DwgToolkitCommon.h"

using namespace dwgtoolkit;

namespace {

// Below this height (drawing units) an entity's extents count as flat.
const double kFlatHeight = 1e-9;

bool isPolylineKind(AcDbEntity* pEnt) {
  return AcDbPolyline::cast(pEnt) != NULL || AcDb2dPolyline::cast(pEnt) != NULL;
}

}  // namespace

int CDwgDatabase::getBlockTableRecordModelSpace(AcDbBlockTableRecord*& pModelSpace) {
  pModelSpace = NULL;
  if (m_pDb == NULL) return 6;
  AcDbBlockTable* pRawTable = NULL;
  m_esLast = m_pDb->getBlockTable(pRawTable, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 6;
  OpenedObject<AcDbBlockTable> table(pRawTable);
  m_esLast = table->getAt(ACDB_MODEL_SPACE, pModelSpace, AcDb::kForWrite);
  if (m_esLast != Acad::eOk) {
    pModelSpace = NULL;
    return 7;
  }
  return 0;
}

int CDwgDatabase::appendEntToDb(AcDbEntity* pEnt) {
  AcDbObjectId id;
  return appendEntToDb(id, pEnt);
}

int CDwgDatabase::appendEntToDb(AcDbObjectId& id, AcDbEntity* pEnt) {
  AcDbBlockTableRecord* pRawSpace = NULL;
  m_nLastResult = getBlockTableRecordModelSpace(pRawSpace);
  if (m_nLastResult != 0) return 1;
  OpenedObject<AcDbBlockTableRecord> space(pRawSpace);
  m_esLast = space->appendAcDbEntity(id, pEnt);
  if (m_esLast != Acad::eOk) return 2;
  return 0;
}

int CDwgDatabase::eraseEntity(AcDbObjectId id) {
  OpenedObject<AcDbEntity> ent;
  if (openEntity(ent, id, AcDb::kForWrite) != Acad::eOk) return 1;
  ent->erase();
  return 0;
}

int CDwgDatabase::eraseEntity(AcDbObjectIdArray ids) {
  for (int i = 0; i < ids.length(); i++) {
    if (eraseEntity(ids[i]) != 0) return 1;
  }
  return 0;
}

int CDwgDatabase::eraseNoSelectEntityArray(AcDbObjectIdArray& all, AcDbObjectIdArray& selected) {
  for (int i = 0; i < all.length(); i++) {
    if (selected.contains(all[i])) continue;
    OpenedObject<AcDbEntity> ent;
    m_esLast = openEntity(ent, all[i], AcDb::kForWrite);
    if (m_esLast != Acad::eOk) return 1;
    m_esLast = ent->erase();
    if (m_esLast != Acad::eOk) return 2;
  }
  return 0;
}

int CDwgDatabase::explodeEntity(AcDbVoidPtrArray& curves, AcDbEntity* pEnt) {
  curves.setLogicalLength(0);
  if (pEnt == NULL) return 1;
  AcDbVoidPtrArray pieces;
  m_esLast = pEnt->explode(pieces);
  if (m_esLast != Acad::eOk) {
    deleteAcdbVoidArray(pieces);
    return 1;
  }
  for (int i = 0; i < pieces.length(); i++) {
    AcDbEntity* pPiece = static_cast<AcDbEntity*>(pieces[i]);
    if (pPiece == NULL) continue;
    if (AcDbCurve::cast(pPiece) != NULL)
      curves.append(pPiece);
    else
      delete pPiece;
  }
  return 0;
}

int CDwgDatabase::explodeEntity(AcDbVoidPtrArray& curves, AcDbObjectId id) {
  OpenedObject<AcDbEntity> ent;
  m_esLast = openEntity(ent, id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) {
    curves.setLogicalLength(0);
    return 1;
  }
  m_nLastResult = explodeEntity(curves, ent.get());
  return m_nLastResult;
}

int CDwgDatabase::explodePolyline(AcDbObjectIdArray& ids) {
  int i = 0;
  while (i < ids.length()) {
    OpenedObject<AcDbEntity> ent;
    m_esLast = openEntity(ent, ids[i], AcDb::kForRead);
    if (m_esLast != Acad::eOk) return 1;
    if (!isPolylineKind(ent.get())) {
      i++;
      continue;
    }
    AcDbVoidPtrArray pieces;
    m_esLast = ent->explode(pieces);
    if (m_esLast != Acad::eOk) {
      deleteAcdbVoidArray(pieces);
      return 2;
    }
    AcDbObjectIdArray pieceIds;
    for (int k = 0; k < pieces.length(); k++) {
      AcDbEntity* pPiece = static_cast<AcDbEntity*>(pieces[k]);
      if (pPiece == NULL) continue;
      pPiece->setPropertiesFrom(ent.get());
      AcDbObjectId pieceId;
      m_nLastResult = appendEntToDb(pieceId, pPiece);
      if (m_nLastResult != 0) {
        for (int rest = k; rest < pieces.length(); rest++) delete static_cast<AcDbEntity*>(pieces[rest]);
        return 3;
      }
      pPiece->close();
      pieceIds.append(pieceId);
    }
    m_esLast = ent->upgradeOpen();
    if (m_esLast == Acad::eOk) m_esLast = ent->erase();
    if (m_esLast != Acad::eOk) return 4;
    ids.removeAt(i);
    for (int k = 0; k < pieceIds.length(); k++) ids.insertAt(i + k, pieceIds[k]);
    i += pieceIds.length();
  }
  return 0;
}

int CDwgDatabase::getEntPoints(AcGePoint3dArray& points, AcDbEntity* pEnt) {
  if (pEnt == NULL) return 1;
  if (AcDbPolyline* pPline = AcDbPolyline::cast(pEnt)) {
    for (unsigned int v = 0; v < pPline->numVerts(); v++) {
      AcGePoint3d p;
      if (pPline->getPointAt(v, p) == Acad::eOk) addPointToArray(points, p);
    }
    return 0;
  }
  if (AcDbCircle* pCircle = AcDbCircle::cast(pEnt)) {
    addPointToArray(points, pCircle->center());
    return 0;
  }
  if (AcDbEllipse* pEllipse = AcDbEllipse::cast(pEnt)) {
    addPointToArray(points, pEllipse->center());
    return 0;
  }
  if (AcDbCurve* pCurve = AcDbCurve::cast(pEnt)) {
    AcGePoint3d start, end;
    if (pCurve->getStartPoint(start) != Acad::eOk || pCurve->getEndPoint(end) != Acad::eOk) return 1;
    addPointToArray(points, start);
    addPointToArray(points, end);
    return 0;
  }
  if (AcDbText* pText = AcDbText::cast(pEnt)) {
    addPointToArray(points, pText->position());
    return 0;
  }
  if (AcDbMText* pMText = AcDbMText::cast(pEnt)) {
    addPointToArray(points, pMText->location());
    return 0;
  }
  if (AcDbBlockReference* pRef = AcDbBlockReference::cast(pEnt)) {
    addPointToArray(points, pRef->position());
    return 0;
  }
  if (AcDbPoint* pPoint = AcDbPoint::cast(pEnt)) {
    addPointToArray(points, pPoint->position());
    return 0;
  }
  return 1;
}

int CDwgDatabase::getEntArrayPoints(AcGePoint3dArray& points, AcDbObjectIdArray& ids) {
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbEntity> ent;
    if (openEntity(ent, ids[i], AcDb::kForRead) != Acad::eOk) return 1;
    if (getEntPoints(points, ent.get()) != 0) return 2;
  }
  return 0;
}

int CDwgDatabase::getEntCopy(AcDbEntity*& pCopy, AcDbEntity* pEnt) {
  pCopy = NULL;
  if (pEnt == NULL) return 1;
  if (pEnt->getTransformedCopy(AcGeMatrix3d::kIdentity, pCopy) != Acad::eOk) {
    pCopy = NULL;
    return 1;
  }
  return 0;
}

int CDwgDatabase::getEntCopy(AcDbCurve*& pCopy, AcDbCurve* pCurve) {
  pCopy = NULL;
  AcDbEntity* pEntCopy = NULL;
  m_nLastResult = getEntCopy(pEntCopy, static_cast<AcDbEntity*>(pCurve));
  if (m_nLastResult != 0) return 1;
  pCopy = AcDbCurve::cast(pEntCopy);
  if (pCopy == NULL) {
    delete pEntCopy;
    return 1;
  }
  return 0;
}

int CDwgDatabase::getEntCopy(AcDbEntity*& pCopy, AcDbEntity* pEnt, AcGeVector3d offset) {
  pCopy = NULL;
  if (pEnt == NULL) return 1;
  AcGeMatrix3d move;
  move.setTranslation(offset);
  m_esLast = pEnt->getTransformedCopy(move, pCopy);
  if (m_esLast != Acad::eOk) {
    pCopy = NULL;
    return 1;
  }
  return 0;
}

int CDwgDatabase::getEntCopy(AcDbEntity*& pCopy, AcDbObjectId id) {
  pCopy = NULL;
  OpenedObject<AcDbEntity> ent;
  if (openEntity(ent, id, AcDb::kForRead) != Acad::eOk) return 1;
  if (getEntCopy(pCopy, ent.get()) != 0) return 2;
  return 0;
}

int CDwgDatabase::getEntCopy(AcDbObjectId& copyId, AcDbEntity* pEnt) {
  copyId = AcDbObjectId::kNull;
  AcDbEntity* pRawCopy = NULL;
  m_nLastResult = getEntCopy(pRawCopy, pEnt);
  if (m_nLastResult != 0) return 1;
  OwnedObject<AcDbEntity> copy(pRawCopy);
  m_nLastResult = appendEntToDb(copyId, copy.get());
  if (m_nLastResult != 0) {
    copyId = AcDbObjectId::kNull;
    return 2;
  }
  copy.release()->close();
  return 0;
}

int CDwgDatabase::getEntCopy(AcDbObjectId& copyId, AcDbObjectId id) {
  copyId = AcDbObjectId::kNull;
  OpenedObject<AcDbEntity> ent;
  m_esLast = openEntity(ent, id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  m_nLastResult = getEntCopy(copyId, ent.get());
  if (m_nLastResult == 1) return 2;
  if (m_nLastResult == 2) return 3;
  return 0;
}

int CDwgDatabase::getExtentFromEnt(AcDbExtents& extents, AcDbObjectId id) {
  OpenedObject<AcDbEntity> ent;
  m_esLast = openEntity(ent, id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  m_esLast = ent->getGeomExtents(extents);
  if (m_esLast != Acad::eOk) return 2;
  return 0;
}

int CDwgDatabase::getExtentMax(AcDbExtents& extents) {
  AcDbObjectIdArray ids;
  m_nLastResult = getEntIdArray(ids);
  if (m_nLastResult != 0) return 1;
  m_nLastResult = getExtentMax(extents, ids);
  return m_nLastResult == 2 ? 2 : 0;
}

int CDwgDatabase::getExtentMax(AcDbExtents& extents, AcDbObjectIdArray ids) {
  AcDbExtents all;
  bool any = false;
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbEntity> ent;
    m_esLast = openEntity(ent, ids[i], AcDb::kForRead);
    if (m_esLast != Acad::eOk) return 1;
    AcDbExtents one;
    if (ent->getGeomExtents(one) != Acad::eOk) continue;
    all.addExt(one);
    any = true;
  }
  if (!any) return 2;
  extents = all;
  return 0;
}

int CDwgDatabase::getExtentMax(AcDbExtents& extents, AcDbVoidPtrArray& entities) {
  AcDbExtents all;
  bool any = false;
  for (int i = 0; i < entities.length(); i++) {
    AcDbEntity* pEnt = static_cast<AcDbEntity*>(entities[i]);
    AcDbExtents one;
    if (pEnt == NULL || pEnt->getGeomExtents(one) != Acad::eOk) continue;
    all.addExt(one);
    any = true;
  }
  if (!any) return 2;
  extents = all;
  return 0;
}

int CDwgDatabase::setEntToXYPlane(AcDbEntity*& pEnt) {
  if (pEnt == NULL) return 1;
  if (AcDbLine* pLine = AcDbLine::cast(pEnt)) {
    AcGePoint3d start = pLine->startPoint(), end = pLine->endPoint();
    start.z = 0.0;
    end.z = 0.0;
    m_esLast = pLine->setStartPoint(start);
    if (m_esLast == Acad::eOk) m_esLast = pLine->setEndPoint(end);
    return m_esLast == Acad::eOk ? 0 : 2;
  }
  AcDbExtents box;
  m_esLast = pEnt->getGeomExtents(box);
  if (m_esLast != Acad::eOk) return 1;
  const double bottom = box.minPoint().z;
  if (box.maxPoint().z - bottom > kFlatHeight) return 2;
  if (bottom == 0.0) return 0;
  AcGeMatrix3d down;
  down.setTranslation(AcGeVector3d(0.0, 0.0, -bottom));
  m_esLast = pEnt->transformBy(down);
  return m_esLast == Acad::eOk ? 0 : 2;
}

int CDwgDatabase::setEntToXYPlane(AcDbObjectIdArray& ids) {
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbEntity> ent;
    m_esLast = openEntity(ent, ids[i], AcDb::kForWrite);
    if (m_esLast != Acad::eOk) return 2;
    AcDbEntity* pEnt = ent.get();
    m_nLastResult = setEntToXYPlane(pEnt);
    if (m_nLastResult != 0) return 4;
  }
  return 0;
}

int CDwgDatabase::transformEntity(AcGeMatrix3d xform, AcDbEntity*& pEnt) {
  if (pEnt == NULL) return 2;
  m_esLast = pEnt->transformBy(xform);
  return m_esLast == Acad::eOk ? 0 : 2;
}

int CDwgDatabase::transformEntity(AcGeMatrix3d xform, AcDbObjectId id) {
  OpenedObject<AcDbEntity> ent;
  m_esLast = openEntity(ent, id, AcDb::kForWrite);
  if (m_esLast != Acad::eOk) return 1;
  AcDbEntity* pEnt = ent.get();
  m_nLastResult = transformEntity(xform, pEnt);
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::transformEntity(AcGeMatrix3d xform, AcDbObjectIdArray& ids) {
  for (int i = 0; i < ids.length(); i++) {
    m_nLastResult = transformEntity(xform, ids[i]);
    if (m_nLastResult != 0) return m_nLastResult;
  }
  return 0;
}

int CDwgDatabase::transformEntity(AcGeVector3d offset, AcDbEntity*& pEnt) {
  AcGeMatrix3d move;
  move.setTranslation(offset);
  return transformEntity(move, pEnt);
}
