// CDwgDatabase: editor interaction (points, distances, picks, selections, dragging, temporary
// drawing, zooming, the focus between a module window and the host), copying one drawing into
// another, binding external references, the contents of block references, and old-style 2D
// polylines made lightweight.
//
// Choices where the definition leaves them open:
// - Layer-filtered selections take a layer name of at most 31 bytes (the filter's buffer is
//   32 bytes with its terminating zero). A longer name is refused: nothing is asked, nothing
//   selected, and the result is that of a cancel (1), so a truncated name can never select
//   the entities of another layer.
// - drawCurveTemporary: an arc under 10 degrees (no whole chord of 10 degrees) is drawn as one
//   chord from its start to its end.
// - insertXrefToDB works on the wrapped database; its argument is not used. A referenced
//   drawing is found by reading it, at its stored path or else under the same name beside the
//   wrapped drawing, once for all the references of its block; one that cannot be read is
//   passed over (after the block's echo) and the others are still bound.
// - getBlockReferenceText: a piece that is a block reference itself contributes its attribute
//   texts (its visible attributes), as the reference's own attributes do.
#include <cmath>
#include <cstring>
#include <memory>

#include <acedinpt.h>
#include <aced.h>
#include <acutads.h>
#include <dbents.h>
#include <dbhatch.h>
#include <dbpl.h>
#include <dbregion.h>
#include <dbsymtb.h>

#include "DwgDatabase.h"
#include "DwgToolkitCommon.h"

using namespace dwgtoolkit;

namespace {

// The layer filter's buffer: a name and its terminating zero.
const int kLayerFilterBytes = 32;
// Chords per radian of an arc drawn temporarily: one per 10 degrees (with pi at single
// precision, so a quarter circle gets 8).
const double kChordsPerRadian = 18.0 / kPiSingle;

// The base point of the drag in progress, read by the drag callback.
AcGePoint3d g_dragBase;

int dragTranslation(ads_point pt, ads_matrix mt) {
  for (int i = 0; i < 3; i++) mt[i][3] = pt[i] - (&g_dragBase.x)[i];
  return RTNORM;
}

void toAds(const AcGePoint3d& p, ads_point out) {
  out[0] = p.x;
  out[1] = p.y;
  out[2] = p.z;
}

AcGePoint3d fromAds(const ads_point p) { return AcGePoint3d(p[0], p[1], p[2]); }

// A filter of one layer name; false (nothing filled) for a name too long for the buffer.
bool layerFilter(const CString& layer, char (&buffer)[kLayerFilterBytes], resbuf& filter) {
  if (layer.GetLength() >= kLayerFilterBytes) return false;
  std::memset(buffer, 0, sizeof buffer);
  std::memcpy(buffer, layer.GetString(), layer.GetLength());
  filter.rbnext = NULL;
  filter.restype = 8;
  filter.resval.rstring = buffer;
  return true;
}

// The window whose parent is the host's main window, at or above wnd.
CWnd* topWindowUnderMain(CWnd* pWnd) {
  HWND main = adsw_acadMainWnd();
  while (pWnd != NULL) {
    CWnd* pParent = pWnd->GetParent();
    if (pParent == NULL || pParent->GetSafeHwnd() == main) return pWnd;
    pWnd = pParent;
  }
  return NULL;
}

void focusMainWindow() {
  HWND main = adsw_acadMainWnd();
  if (main == NULL) return;
  EnableWindow(main, TRUE);
  SetFocus(main);
}

// The text of a text-bearing entity ("" for others).
CString textOf(CDwgDatabase& toolkit, AcDbEntity* pEnt) {
  CString text;
  toolkit.getTextInfo(text, pEnt);
  return text;
}

void addVisibleAttributeTexts(CDwgDatabase& toolkit, CStringArray& texts, AcDbBlockReference* pRef) {
  AcDbObjectIterator* pIt = pRef->attributeIterator();
  for (; pIt != NULL && !pIt->done(); pIt->step()) {
    AcDbAttribute* pAttr = AcDbAttribute::cast(pIt->entity());
    if (pAttr == NULL || pAttr->isInvisible()) continue;
    CString text = textOf(toolkit, pAttr);
    if (!text.IsEmpty()) texts.Add(text);
  }
  delete pIt;
}

}  // namespace

int CDwgDatabase::selectPoint(AcGePoint3d& pt, CString prompt) {
  ads_point result;
  if (acedGetPoint(NULL, "\n" + prompt, result) != RTNORM) return 1;
  pt = fromAds(result);
  return 0;
}

int CDwgDatabase::selectPoint(AcGePoint3d& pt, AcGePoint3d base, CString prompt) {
  ads_point from, result;
  toAds(base, from);
  if (acedGetPoint(from, "\n" + prompt, result) != RTNORM) return 1;
  pt = fromAds(result);
  return 0;
}

int CDwgDatabase::getDistByUser(double& dist) {
  dist = 0.0;
  ads_point first, second;
  if (acedGetPoint(NULL, "\n请选择起点：", first) != RTNORM) return 1;
  if (acedGetPoint(first, "\n请选择终点：", second) != RTNORM) return 2;
  dist = fromAds(first).distanceTo(fromAds(second));
  return 0;
}

int CDwgDatabase::selectEnt(AcDbObjectId& id, CString prompt) {
  ads_name name;
  ads_point picked;
  if (acedEntSel("\n" + prompt, name, picked) != RTNORM) return 1;
  if (acdbGetObjectId(id, name) != Acad::eOk) return 4;
  return 0;
}

int CDwgDatabase::selectEnt(AcDbObjectId& id, CString layer, CString prompt) {
  char buffer[kLayerFilterBytes];
  resbuf filter;
  if (!layerFilter(layer, buffer, filter)) return 1;
  acutPrintf("\n%s", prompt.GetString());
  ads_name ss;
  int rc = acedSSGet(":S", NULL, NULL, &filter, ss);
  if (rc == RTCAN) return 1;
  if (rc != RTNORM) return 0;
  AcDbObjectIdArray ids;
  m_nLastResult = selectEntArray(ids, ss);
  acedSSFree(ss);
  if (m_nLastResult != 0) return m_nLastResult;
  if (ids.length() > 0) id = ids[0];
  return 0;
}

int CDwgDatabase::selectEntArray(AcDbObjectIdArray& ids) {
  ids.setLogicalLength(0);
  ads_name ss;
  int rc = acedSSGet(NULL, NULL, NULL, NULL, ss);
  if (rc == RTCAN) return 1;
  if (rc != RTNORM) return 0;
  int converted = selectEntArray(ids, ss);
  acedSSFree(ss);
  return converted;
}

int CDwgDatabase::selectEntArray(AcDbObjectIdArray& ids, CString layer) {
  ids.setLogicalLength(0);
  char buffer[kLayerFilterBytes];
  resbuf filter;
  if (!layerFilter(layer, buffer, filter)) return 1;
  ads_name ss;
  int rc = acedSSGet(NULL, NULL, NULL, &filter, ss);
  if (rc == RTCAN) return 1;
  if (rc != RTNORM) return 0;
  m_nLastResult = selectEntArray(ids, ss);
  acedSSFree(ss);
  return m_nLastResult;
}

int CDwgDatabase::selectEntArray(AcDbObjectIdArray& ids, long* selectionSet) {
  ids.setLogicalLength(0);
  const Adesk::LongPtr* ss = selectionSet;
  Adesk::Int32 length = 0;
  if (acedSSLength(ss, &length) != RTNORM) return 4;
  for (Adesk::Int32 i = 0; i < length; i++) {
    ads_name name;
    AcDbObjectId id;
    if (acedSSName(ss, i, name) != RTNORM || acdbGetObjectId(id, name) != Acad::eOk) return 4;
    ids.append(id);
  }
  return 0;
}

int CDwgDatabase::dragEntIdArray(AcDbObjectIdArray& ids) {
  if (ids.length() == 0) return 0;
  ads_point base;
  int rc = acedGetPoint(NULL, "\n指定基点", base);
  if (rc == RTCAN) return 0;
  if (rc != RTNORM) return 1;
  m_nLastResult = dragEntIdArray(ids, fromAds(base));
  return m_nLastResult;
}

int CDwgDatabase::dragEntIdArray(AcDbObjectIdArray& ids, AcGePoint3d base) {
  g_dragBase = base;
  ads_name ss = {0, 0};
  bool haveSet = false;
  for (int i = 0; i < ids.length(); i++) {
    ads_name name;
    if (acdbGetAdsName(name, ids[i]) != Acad::eOk) {
      if (haveSet) acedSSFree(ss);
      return 4;
    }
    int rc = haveSet ? acedSSAdd(name, ss, ss) : acedSSAdd(name, NULL, ss);
    if (rc != RTNORM) {
      if (haveSet) acedSSFree(ss);
      return 4;
    }
    haveSet = true;
  }
  ads_point to;
  int rc = acedDragGen(ss, "\n指定位移第二点", 0, dragTranslation, to);
  acedSSFree(ss);
  if (rc != RTNORM) return 0;
  AcGeMatrix3d move;
  move.setTranslation(fromAds(to) - base);
  m_nLastResult = transformEntity(move, ids);
  return 0;
}

void CDwgDatabase::drawCurveTemporary(AcDbObjectId id, int colorIndex) {
  OpenedObject<AcDbCurve> curve;
  if (openEntity(curve, id, AcDb::kForRead) != Acad::eOk) return;
  if (AcDbLine* pLine = AcDbLine::cast(curve.get())) {
    ads_point from, to;
    toAds(pLine->startPoint(), from);
    toAds(pLine->endPoint(), to);
    acedGrDraw(from, to, colorIndex, 0);
    return;
  }
  AcDbArc* pArc = AcDbArc::cast(curve.get());
  if (pArc == NULL) return;
  int chords = static_cast<int>(getArcAngle(pArc) * kChordsPerRadian);
  double length = getCurveLength(pArc);
  if (chords < 1) chords = 1;
  double step = length / chords;
  AcGePoint3d prev;
  pArc->getPointAtDist(0.0, prev);
  for (int k = 1; k <= chords; k++) {
    AcGePoint3d next;
    if (pArc->getPointAtDist(k == chords ? length : k * step, next) != Acad::eOk) return;
    ads_point from, to;
    toAds(prev, from);
    toAds(next, to);
    acedGrDraw(from, to, colorIndex, 1);
    prev = next;
  }
}

int CDwgDatabase::zoomWindow(AcDbExtents& extents) {
  m_esLast = acedVports2VportTableRecords();
  AcGePoint3d lo = extents.minPoint(), hi = extents.maxPoint();
  ads_point centre = {lo.x + (hi.x - lo.x) * 0.5, lo.y + (hi.y - lo.y) * 0.5, lo.z + (hi.z - lo.z) * 0.5};
  resbuf world, display;
  world.restype = RTSHORT;
  world.resval.rint = 0;
  display.restype = RTSHORT;
  display.resval.rint = 2;
  ads_point onScreen;
  acedTrans(centre, &world, &display, 0, onScreen);
  AcDbViewTableRecord view;
  view.setCenterPoint(AcGePoint2d(onScreen[0], onScreen[1]));
  view.setHeight(std::fabs(hi.y - lo.y));
  view.setWidth(std::fabs(hi.x - lo.x));
  m_esLast = acedSetCurrentView(&view, NULL);
  return 0;
}

int CDwgDatabase::zoomEntity(AcDbObjectId& id) {
  AcDbExtents extents;
  if (getExtentFromEnt(extents, id) != 0) return 1;
  return zoomWindow(extents);
}

CWnd* CDwgDatabase::SetCADFocusHideCurWnd(CWnd* pWnd) {
  CWnd* pTop = topWindowUnderMain(pWnd);
  if (pTop != NULL) pTop->ShowWindow(SW_HIDE);
  focusMainWindow();
  return pTop;
}

void CDwgDatabase::SetCADLoseFocusShowWnd(CWnd* pFocus, CWnd* pShow) {
  if (pFocus != NULL) pFocus->SetFocus();
  HWND main = adsw_acadMainWnd();
  if (main != NULL) EnableWindow(main, TRUE);
  if (pShow != NULL) pShow->ShowWindow(SW_SHOW);
}

void CDwgDatabase::RefreshCADOnCurWnd(CWnd* pWnd) {
  CWnd* pTop = SetCADFocusHideCurWnd(pWnd);
  acedCommand(RTSTR, "regen", 0);
  SetCADLoseFocusShowWnd(pWnd, pTop);
}

int CDwgDatabase::insertDbToOtherDb(AcDbDatabase* pTarget) { return insertDbToOtherDb(pTarget, AcGeMatrix3d::kIdentity); }

int CDwgDatabase::insertDbToOtherDb(AcDbDatabase* pTarget, AcGeMatrix3d xform) {
  if (m_pDb == NULL || pTarget == NULL) return 4;
  AcDbDatabase* pCopy = NULL;
  m_esLast = m_pDb->wblock(pCopy);
  if (m_esLast != Acad::eOk) return 4;
  m_esLast = pTarget->insert(xform, pCopy, true);
  delete pCopy;
  return 0;
}

int CDwgDatabase::insertXrefToDB(AcDbDatabase*&) {
  if (m_pDb == NULL) return 1;
  AcDbBlockTable* pRawTable = NULL;
  m_esLast = m_pDb->getBlockTable(pRawTable, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  OpenedObject<AcDbBlockTable> table(pRawTable);
  AcDbBlockTableIterator* pIt = NULL;
  m_esLast = table->newIterator(pIt);
  if (m_esLast != Acad::eOk) return 2;
  AcDbObjectIdArray xrefs;
  for (; !pIt->done(); pIt->step()) {
    AcDbBlockTableRecord* pRawBlock = NULL;
    if (pIt->getRecord(pRawBlock, AcDb::kForRead) != Acad::eOk) continue;
    OpenedObject<AcDbBlockTableRecord> block(pRawBlock);
    const ACHAR* pName = NULL;
    if (block->getName(pName) != Acad::eOk || pName == NULL) {
      delete pIt;
      return 4;
    }
    if (pName[0] == '*' || !(block->isFromExternalReference() || block->isFromOverlayReference())) continue;
    acutPrintf("\n%.0f,%.0f", block->origin().x, block->origin().y);
    xrefs.append(block->objectId());
  }
  delete pIt;
  table.close();

  // The folder of the drawing's own file, as its database reports it (up to the last backslash).
  CString folder;
  const ACHAR* pOwnFile = NULL;
  if (m_pDb->getFilename(pOwnFile) == Acad::eOk && pOwnFile != NULL) {
    CString own(pOwnFile);
    // Up to its last separator: a backslash, or the slash of this system's own paths.
    int slash = own.ReverseFind('\\');
    if (own.ReverseFind('/') > slash) slash = own.ReverseFind('/');
    if (slash >= 0) folder = own.Left(slash + 1);
  }
  for (int i = 0; i < xrefs.length(); i++) {
    OpenedObject<AcDbBlockTableRecord> block;
    AcDbObject* pRawObj = NULL;
    if (acdbOpenAcDbObject(pRawObj, xrefs[i], AcDb::kForRead) != Acad::eOk) continue;
    block.ref() = AcDbBlockTableRecord::cast(pRawObj);
    if (block.get() == NULL) {
      pRawObj->close();
      continue;
    }
    const ACHAR* pPath = NULL;
    block->pathName(pPath);
    CString path = pPath != NULL ? pPath : "";
    AcGePoint3d origin = block->origin();
    AcDbObjectIdArray refs;
    block->getBlockReferenceIds(refs, true);
    block.close();
    // The drawing at its stored path, else the one of the same name beside this drawing; read
    // once for all its references (a drawing that cannot be read is passed over).
    std::unique_ptr<AcDbDatabase> external(new AcDbDatabase(false, true));
    if (external->readDwgFile(path) != Acad::eOk) {
      int slash = path.ReverseFind('\\');
      if (slash < 0) slash = path.ReverseFind('/');
      external.reset(new AcDbDatabase(false, true));
      if (folder.IsEmpty() || external->readDwgFile(folder + path.Mid(slash + 1)) != Acad::eOk) continue;
    }
    for (int r = 0; r < refs.length(); r++) {
      OpenedObject<AcDbBlockReference> ref;
      if (openEntity(ref, refs[r], AcDb::kForRead) != Acad::eOk) continue;
      AcGeMatrix3d place = ref->blockTransform();
      acutPrintf("\n%.0f,%.0f", ref->position().x, ref->position().y);
      ref.close();
      AcDbDatabase* pCopy = NULL;
      if (external->wblock(pCopy) != Acad::eOk) continue;
      AcGeMatrix3d toOrigin;
      toOrigin.setTranslation(AcGePoint3d::kOrigin - origin);
      m_esLast = m_pDb->insert(place * toOrigin, pCopy, true);
      delete pCopy;
    }
  }
  return 0;
}

int CDwgDatabase::getBlockReferenceExplodeEntity(AcDbVoidPtrArray& out, AcDbBlockReference* pRef) {
  if (pRef == NULL) return 1;
  return getBlockReferenceExplodeEntity(out, pRef, pRef->blockTransform());
}

int CDwgDatabase::getBlockReferenceExplodeEntity(AcDbVoidPtrArray& out, AcDbBlockReference* pRef, AcGeMatrix3d xform) {
  if (pRef == NULL) return 1;
  AcDbObject* pRawObj = NULL;
  if (acdbOpenAcDbObject(pRawObj, pRef->blockTableRecord(), AcDb::kForRead) != Acad::eOk) return 1;
  OpenedObject<AcDbBlockTableRecord> block;
  block.ref() = AcDbBlockTableRecord::cast(pRawObj);
  if (block.get() == NULL) {
    pRawObj->close();
    return 1;
  }
  AcDbBlockTableRecordIterator* pIt = NULL;
  if (block->newIterator(pIt) != Acad::eOk) return 3;
  int rc = 0;
  for (; rc == 0 && !pIt->done(); pIt->step()) {
    AcDbEntity* pRawEnt = NULL;
    if (pIt->getEntity(pRawEnt, AcDb::kForRead) != Acad::eOk) continue;
    OpenedObject<AcDbEntity> ent(pRawEnt);
    if (AcDbBlockReference* pNested = AcDbBlockReference::cast(pRawEnt)) {
      if (getBlockReferenceExplodeEntity(out, pNested, xform * pNested->blockTransform()) != 0) rc = 4;
      continue;
    }
    bool wanted = AcDbCurve::cast(pRawEnt) != NULL || AcDbSolid::cast(pRawEnt) != NULL ||
                  AcDbHatch::cast(pRawEnt) != NULL || AcDbRegion::cast(pRawEnt) != NULL;
    if (!wanted) continue;
    AcDbEntity* pCopy = NULL;
    if (pRawEnt->getTransformedCopy(xform, pCopy) == Acad::eOk && pCopy != NULL) out.append(pCopy);
  }
  delete pIt;
  return rc;
}

int CDwgDatabase::getBlockReferenceAttributeText(CStringArray& texts, AcDbBlockReference* pRef) {
  texts.RemoveAll();
  if (pRef == NULL) return 0;
  AcDbObjectIterator* pIt = pRef->attributeIterator();
  for (; pIt != NULL && !pIt->done(); pIt->step()) {
    CString text = textOf(*this, pIt->entity());
    if (!text.IsEmpty()) texts.Add(text);
  }
  delete pIt;
  return 0;
}

int CDwgDatabase::getBlockReferenceAttributeText(CStringArray& texts, AcDbObjectId id) {
  texts.RemoveAll();
  OpenedObject<AcDbBlockReference> ref;
  if (openEntity(ref, id, AcDb::kForRead) != Acad::eOk) return 0;
  return getBlockReferenceAttributeText(texts, ref.get());
}

int CDwgDatabase::getBlockReferenceText(CStringArray& texts, AcDbObjectId id) {
  texts.RemoveAll();
  OpenedObject<AcDbBlockReference> ref;
  m_esLast = openEntity(ref, id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  addVisibleAttributeTexts(*this, texts, ref.get());
  AcDbVoidPtrArray pieces;
  m_esLast = ref->explode(pieces);
  if (m_esLast != Acad::eOk) {
    deleteAcdbVoidArray(pieces);
    return 3;
  }
  for (int i = 0; i < pieces.length(); i++) {
    AcDbEntity* pPiece = static_cast<AcDbEntity*>(pieces[i]);
    if (pPiece == NULL || pPiece->visibility() != AcDb::kVisible) continue;
    if (AcDbBlockReference* pNested = AcDbBlockReference::cast(pPiece)) {
      addVisibleAttributeTexts(*this, texts, pNested);
      continue;
    }
    if (AcDbAttributeDefinition::cast(pPiece) != NULL) continue;  // definitions are not texts of the reference
    CString text = textOf(*this, pPiece);
    if (!text.IsEmpty()) texts.Add(text);
  }
  deleteAcdbVoidArray(pieces);
  return 0;
}

int CDwgDatabase::createPolylineFrom2dPolyline(AcDbPolyline*& pOut, AcDb2dPolyline* pOld) {
  pOut = NULL;
  if (pOld == NULL) return 1;
  AcDbObjectIterator* pIt = pOld->vertexIterator();
  if (pIt == NULL) return 1;
  AcDbPolyline* pNew = new AcDbPolyline();
  ACHAR* pLayer = pOld->layer();
  acutPrintf("\nline layer:%s", pLayer != NULL ? pLayer : "");
  if (pLayer != NULL) {
    pNew->setLayer(pLayer);
    delete[] pLayer;
  }
  unsigned int n = 0;
  for (; !pIt->done(); pIt->step()) {
    AcDb2dVertex* pVertex = AcDb2dVertex::cast(pIt->entity());
    if (pVertex == NULL) continue;
    AcGePoint3d p = pOld->vertexPosition(*pVertex);
    pNew->addVertexAt(n++, AcGePoint2d(p.x, p.y), 0.0, -1.0, -1.0);
  }
  delete pIt;
  pNew->setClosed(pOld->isClosed());
  pOut = pNew;
  return 0;
}

int CDwgDatabase::createPolylineFrom2dPolyline(AcDbObjectId& newId, AcDbObjectId oldId) {
  OpenedObject<AcDb2dPolyline> old;
  m_esLast = openEntity(old, oldId, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  AcDbPolyline* pNew = NULL;
  m_nLastResult = createPolylineFrom2dPolyline(pNew, old.get());
  old.close();
  if (m_nLastResult != 0) return 2;
  m_nLastResult = appendEntToDb(newId, pNew);
  if (m_nLastResult != 0) {
    delete pNew;
    return 3;
  }
  pNew->close();
  return 0;
}
