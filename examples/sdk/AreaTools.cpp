// AreaTools: area takeoff for a CAD user, built on Contura.arx's drawing toolkit CDwgDatabase.
// Commands (global name / local name):
//   AreaTakeoff / MJJS        picks points inside the lines, arcs and polylines that bound a
//                             floor slab or an opening; gives each area's exact area and
//                             perimeter (closed shapes lying inside it, apart from its boundary,
//                             are holes: their area taken away, their perimeter added) and adds
//                             its outline polyline to the drawing
//   BreakAtCrossings / JDDD   breaks the selected curves at the points where they cross
//   ZoneList / QYLB           lists the groups of curves connected end to end (zones) with
//                             the number of curves in each
#include <windows.h>

#include <acedinpt.h>
#include <acrxEntryPoint.h>
#include <acutads.h>
#include <adscodes.h>
#include <dbents.h>
#include <dbpl.h>
#include <dbregion.h>

#include <DwgDatabase.h>

namespace {

// Non-resident copies of the curves of model space (polylines as their segments), the
// caller's to delete.
void copyCurves(CDwgDatabase& dwg, AcDbObjectIdArray& ids, AcDbVoidPtrArray& curves) {
  for (int i = 0; i < ids.length(); i++) {
    AcDbEntity* pEnt = NULL;
    if (acdbOpenAcDbEntity(pEnt, ids[i], AcDb::kForRead) != Acad::eOk) continue;
    if (AcDbPolyline::cast(pEnt) != NULL) {
      AcDbVoidPtrArray segments;
      dwg.explodeEntity(segments, pEnt);
      curves.append(segments);
    } else if (AcDbLine::cast(pEnt) != NULL || AcDbArc::cast(pEnt) != NULL) {
      AcDbEntity* pCopy = NULL;
      if (CDwgDatabase::getEntCopy(pCopy, pEnt) == 0) curves.append(pCopy);
    }
    pEnt->close();
  }
}

// The crossing points that lie on one curve (within its box, then on it).
AcGePoint3dArray pointsOn(AcDbCurve* pCurve, const AcGePoint3dArray& crossings) {
  AcGePoint3dArray on;
  AcDbExtents box;
  if (pCurve->getGeomExtents(box) != Acad::eOk) return on;
  box.expandBy(AcGeVector3d(0.1, 0.1, 0.1));
  box.expandBy(AcGeVector3d(-0.1, -0.1, -0.1));
  for (int i = 0; i < crossings.length(); i++)
    if (CDwgDatabase::isPointInExtent(box, crossings[i])) on.append(crossings[i]);
  return on;
}

// Every curve broken where it crosses another: the pieces replace it in the array.
void breakAll(CDwgDatabase& dwg, AcDbVoidPtrArray& curves) {
  AcGePoint3dArray crossings;
  dwg.getCurveCrossPoints(crossings, curves);
  AcDbVoidPtrArray pieces;
  for (int i = 0; i < curves.length(); i++) {
    AcDbCurve* pCurve = static_cast<AcDbCurve*>(curves[i]);
    AcDbVoidPtrArray split;
    if (dwg.breakCurve(split, pCurve, pointsOn(pCurve, crossings)) == 0 && split.length() > 1) {
      pieces.append(split);
      delete pCurve;
    } else {
      CDwgDatabase::deleteAcdbVoidArray(split);
      pieces.append(pCurve);
    }
  }
  curves = pieces;
}

// The loop around the pick. The ray that finds it may meet a hole's boundary first (the loop
// found then does not hold the pick): that zone is set aside and the search goes on.
bool loopAround(CDwgDatabase& dwg, AcDbVoidPtrArray& curves, const AcGePoint3d& pick, AcDbVoidPtrArray& loop) {
  AcDbVoidPtrArray left(curves);
  while (dwg.getRegionFromCurveIdArrayOnPoint(loop, left, pick, false) == 0) {
    if (CDwgDatabase::isPointInLoopCurve(loop, pick)) return true;
    CArray<AcDbVoidPtrArray, const AcDbVoidPtrArray&> zones;
    dwg.getCurvesZone(zones, left);
    for (INT_PTR z = 0; z < zones.GetSize(); z++)
      if (zones[z].contains(loop[0])) CDwgDatabase::removeAcdbVoidArray(left, zones[z]);
  }
  return false;
}

// The zones of the curves that lie inside the loop without touching it and close on
// themselves are holes of the loop's area: their area is taken away and their perimeter added.
// Returns how many there were. (An island inside a hole is not given back.)
int subtractHoles(CDwgDatabase& dwg, AcDbVoidPtrArray& curves, AcDbVoidPtrArray& loop, double& area,
                  double& perimeter) {
  CArray<AcDbVoidPtrArray, const AcDbVoidPtrArray&> zones;
  dwg.getCurvesZone(zones, curves);
  int holes = 0;
  for (INT_PTR z = 0; z < zones.GetSize(); z++) {
    AcDbVoidPtrArray zone = zones[z];
    bool touchesLoop = false;
    for (int i = 0; i < zone.length() && !touchesLoop; i++) touchesLoop = loop.contains(zone[i]);
    if (touchesLoop || zone.length() == 0) continue;
    AcGePoint3d inner = CDwgDatabase::getCurveStartPt(static_cast<AcDbCurve*>(zone[0]));
    AcDbRegion* pHole = NULL;
    if (!CDwgDatabase::isPointInLoopCurve(loop, inner) || CDwgDatabase::createRegionFromCurves(pHole, zone) != 0) continue;
    double holeArea = 0.0, holePerimeter = 0.0;
    dwg.getRegionInfo(holeArea, holePerimeter, pHole);
    delete pHole;
    area -= holeArea;
    perimeter += holePerimeter;
    holes++;
  }
  return holes;
}

}  // namespace

class CAreaToolsApp : public AcRxArxApp {
public:
  void RegisterServerComponents() override {}

  static void OnAreaTakeoff() {
    CDwgDatabase dwg;
    AcDbObjectIdArray all;
    dwg.getEntIdArray(all);
    AcDbVoidPtrArray curves;
    copyCurves(dwg, all, curves);
    breakAll(dwg, curves);
    double totalArea = 0.0;
    for (int count = 0;;) {
      AcGePoint3d pick;
      if (CDwgDatabase::selectPoint(pick, "指定区域内部点 (回车结束): ") != 0) {
        if (count > 1) acutPrintf("\n%d 个区域, 总面积 %.4f", count, totalArea);
        break;
      }
      AcDbVoidPtrArray loop;
      AcDbRegion* pRegion = NULL;
      if (!loopAround(dwg, curves, pick, loop) || CDwgDatabase::createRegionFromCurves(pRegion, loop) != 0) {
        acutPrintf("\n该点不在封闭区域内");
        continue;
      }
      double area = 0.0, perimeter = 0.0;
      dwg.getRegionInfo(area, perimeter, pRegion);
      int holes = subtractHoles(dwg, curves, loop, area, perimeter);
      AcDbPolyline* pOutline = NULL;
      if (CDwgDatabase::getRegionExtentPL(pOutline, pRegion) == 0 && dwg.appendEntToDb(pOutline) == 0)
        pOutline->close();
      else
        delete pOutline;
      delete pRegion;
      count++;
      totalArea += area;
      acutPrintf("\n面积 %.4f, 周长 %.4f, 边界 %d 段, 洞 %d 个", area, perimeter, loop.length(), holes);
    }
    CDwgDatabase::deleteAcdbVoidArray(curves);
  }

  static void OnZoneList() {
    CDwgDatabase dwg;
    AcDbObjectIdArray all;
    dwg.getEntIdArray(all);
    AcDbVoidPtrArray curves;
    copyCurves(dwg, all, curves);
    CArray<AcDbVoidPtrArray, const AcDbVoidPtrArray&> zones;
    dwg.getCurvesZone(zones, curves);
    acutPrintf("\n%d 条曲线, %d 个区", curves.length(), (int)zones.GetSize());
    for (INT_PTR i = 0; i < zones.GetSize(); i++) acutPrintf("\n  区 %d: %d 条曲线", (int)i + 1, zones[i].length());
    CDwgDatabase::deleteAcdbVoidArray(curves);
  }

  static void OnBreakAtCrossings() {
    CDwgDatabase dwg;
    AcDbObjectIdArray selected;
    if (CDwgDatabase::selectEntArray(selected) != 0 || selected.length() == 0) return;
    AcDbVoidPtrArray curves;
    AcDbObjectIdArray curveIds;
    for (int i = 0; i < selected.length(); i++) {
      AcDbEntity* pEnt = NULL;
      if (acdbOpenAcDbEntity(pEnt, selected[i], AcDb::kForRead, false, AcDbCurve::desc()) != Acad::eOk) continue;
      AcDbEntity* pCopy = NULL;
      if (CDwgDatabase::getEntCopy(pCopy, pEnt) == 0) {
        curves.append(pCopy);
        curveIds.append(selected[i]);
      }
      pEnt->close();
    }
    AcGePoint3dArray crossings;
    dwg.getCurveCrossPoints(crossings, curves);
    int broken = 0, made = 0;
    for (int i = 0; i < curveIds.length(); i++) {
      AcDbVoidPtrArray pieces;
      if (dwg.breakCurve(pieces, curveIds[i], pointsOn(static_cast<AcDbCurve*>(curves[i]), crossings)) != 0 ||
          pieces.length() < 2) {
        CDwgDatabase::deleteAcdbVoidArray(pieces);
        continue;
      }
      AcDbEntity* pOriginal = NULL;
      if (acdbOpenAcDbEntity(pOriginal, curveIds[i], AcDb::kForWrite) != Acad::eOk) {
        CDwgDatabase::deleteAcdbVoidArray(pieces);
        continue;
      }
      for (int k = 0; k < pieces.length(); k++) {
        AcDbEntity* pPiece = static_cast<AcDbEntity*>(pieces[k]);
        pPiece->setPropertiesFrom(pOriginal);
        if (dwg.appendEntToDb(pPiece) == 0) {
          pPiece->close();
          made++;
        } else {
          delete pPiece;
        }
      }
      pOriginal->erase();
      pOriginal->close();
      broken++;
    }
    CDwgDatabase::deleteAcdbVoidArray(curves);
    acutPrintf("\n%d 条曲线在 %d 个交点处打断为 %d 段", broken, crossings.length(), made);
  }
};

ACRX_BEGIN_COMMAND_TABLE
ACED_ARXCOMMAND_ENTRY("AreaTools", "AreaTakeoff", "MJJS", ACRX_CMD_MODAL, CAreaToolsApp::OnAreaTakeoff, NULL, -1)
ACED_ARXCOMMAND_ENTRY("AreaTools", "BreakAtCrossings", "JDDD", ACRX_CMD_MODAL, CAreaToolsApp::OnBreakAtCrossings, NULL, -1)
ACED_ARXCOMMAND_ENTRY("AreaTools", "ZoneList", "QYLB", ACRX_CMD_MODAL, CAreaToolsApp::OnZoneList, NULL, -1)
ACRX_END_COMMAND_TABLE

IMPLEMENT_ARX_ENTRYPOINT(CAreaToolsApp)

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
  if (dwReason == DLL_PROCESS_ATTACH) acrxGetApp()->SetModuleInstance(hInstance);
  return TRUE;
}
