// drawOutline and selectCurves: an outline captured in the drawing, as outline text with its
// base point. The temporary polylines they make are erased again before they return.
#include <PlotPolyline.h>
#include <aced.h>

#include "DlgSection.h"
#include "sectiontext/SectionTextWriter.h"

namespace {

// The outline record of an open polyline followed by the base point line.
CString outlineText(AcDbPolyline* pPline, const ads_point basePt) {
  CSectionTextWriter writer;
  return writer.polylineSectionRecord(pPline) + writer.basePointLine(AcGePoint3d(basePt[X], basePt[Y], 0.0));
}

// Erases and closes an open polyline.
void eraseAndClose(AcDbPolyline* pPline) {
  pPline->erase();
  pPline->close();
}

// The ids of the selection the user makes: 0, or 2 (nothing selected, or the selection was
// cancelled) or 4 (an entity's id could not be obtained). The set is freed on every path.
int selectedIds(AcDbObjectIdArray& ids) {
  ads_name ss = {0, 0};
  if (acedSSGet(NULL, NULL, NULL, NULL, ss) != RTNORM) return 2;
  Adesk::Int32 count = 0;
  if (acedSSLength(ss, &count) != RTNORM) count = 0;
  int result = count > 0 ? 0 : 2;
  for (Adesk::Int32 i = 0; i < count && result == 0; ++i) {
    ads_name ent;
    if (acedSSName(ss, i, ent) != RTNORM) continue;
    AcDbObjectId id;
    if (acdbGetObjectId(id, ent) != Acad::eOk) result = 4;
    else ids.append(id);
  }
  acedSSFree(ss);
  return result;
}

}  // namespace

int drawOutline(CString& strSection) {
  strSection.Empty();
  AcDbPolyline* pPline = NULL;
  if (PlotPolyline::drawAPolylineWithPoints(pPline) != Acad::eOk || pPline == NULL) return 1;
  AcDbObjectId id = pPline->objectId();
  pPline->close();

  ads_point basePt = {0.0, 0.0, 0.0};
  int rc = acedGetPoint(NULL, "\n选择基点", basePt);

  pPline = NULL;
  if (acdbOpenObject(pPline, id, AcDb::kForWrite) != Acad::eOk) return rc == RTNORM ? 3 : 2;
  if (rc != RTNORM) {
    eraseAndClose(pPline);
    return 2;
  }
  strSection = outlineText(pPline, basePt);
  eraseAndClose(pPline);
  return 0;
}

int selectCurves(CString& strSection) {
  AcDbObjectIdArray ids;
  ids.setGrowLength(8);
  if (int result = selectedIds(ids)) return result;

  ads_point basePt = {0.0, 0.0, 0.0};
  if (acedGetPoint(NULL, "\n", basePt) != RTNORM) return 2;

  AcDbObjectId plineId;
  if (PlotPolyline::getPolyline(ids, plineId) != 0) return 5;
  AcDbPolyline* pPline = NULL;
  if (acdbOpenObject(pPline, plineId, AcDb::kForWrite) != Acad::eOk) return 6;
  strSection = outlineText(pPline, basePt);
  eraseAndClose(pPline);
  return 0;
}
