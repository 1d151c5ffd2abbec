// DrawingTools: everyday editor helpers built on Contura.arx's drawing toolkit CDwgDatabase.
// Commands (global name / local name):
//   MeasureDistance / CLJL   measures the distance between two picked points
//   DragSelection / TDXZ     moves the selected entities, dragging them from a base point
//   BindXrefs / BDWB         binds the external references: their drawings are inserted where
//                            each reference shows them (the reference blocks stay)
//   BlockTexts / KWZ         lists the attribute and visible texts of a picked block reference
#include <windows.h>

#include <acedinpt.h>
#include <acrxEntryPoint.h>
#include <acutads.h>
#include <adscodes.h>

#include <DwgDatabase.h>

class CDrawingToolsApp : public AcRxArxApp {
public:
  void RegisterServerComponents() override {}

  static void OnMeasureDistance() {
    double dist = 0.0;
    if (CDwgDatabase::getDistByUser(dist) == 0) acutPrintf("\n距离 %.4f", dist);
  }

  static void OnDragSelection() {
    CDwgDatabase dwg;
    AcDbObjectIdArray ids;
    if (CDwgDatabase::selectEntArray(ids) != 0 || ids.length() == 0) return;
    if (dwg.dragEntIdArray(ids) == 0) acutPrintf("\n已处理 %d 个对象", ids.length());
  }

  static void OnBindXrefs() {
    CDwgDatabase dwg;
    AcDbDatabase* pUnused = NULL;
    int result = dwg.insertXrefToDB(pUnused);
    acutPrintf(result == 0 ? "\n外部参照已绑定" : "\n无法读取块表 (结果 %d)", result);
  }

  static void OnBlockTexts() {
    CDwgDatabase dwg;
    AcDbObjectId id;
    if (CDwgDatabase::selectEnt(id, "选择图块: ") != 0) return;
    CStringArray attributes, texts;
    dwg.getBlockReferenceAttributeText(attributes, id);
    if (dwg.getBlockReferenceText(texts, id) != 0) {
      acutPrintf("\n所选对象不是图块");
      return;
    }
    acutPrintf("\n属性 %d 个:", (int)attributes.GetSize());
    for (INT_PTR i = 0; i < attributes.GetSize(); i++) acutPrintf("\n  %s", (LPCTSTR)attributes[i]);
    acutPrintf("\n可见文字 %d 个:", (int)texts.GetSize());
    for (INT_PTR i = 0; i < texts.GetSize(); i++) acutPrintf("\n  %s", (LPCTSTR)texts[i]);
  }
};

ACRX_BEGIN_COMMAND_TABLE
ACED_ARXCOMMAND_ENTRY("DrawingTools", "MeasureDistance", "CLJL", ACRX_CMD_MODAL, CDrawingToolsApp::OnMeasureDistance, NULL, -1)
ACED_ARXCOMMAND_ENTRY("DrawingTools", "DragSelection", "TDXZ", ACRX_CMD_MODAL, CDrawingToolsApp::OnDragSelection, NULL, -1)
ACED_ARXCOMMAND_ENTRY("DrawingTools", "BindXrefs", "BDWB", ACRX_CMD_MODAL, CDrawingToolsApp::OnBindXrefs, NULL, -1)
ACED_ARXCOMMAND_ENTRY("DrawingTools", "BlockTexts", "KWZ", ACRX_CMD_MODAL, CDrawingToolsApp::OnBlockTexts, NULL, -1)
ACRX_END_COMMAND_TABLE

IMPLEMENT_ARX_ENTRYPOINT(CDrawingToolsApp)

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
  if (dwReason == DLL_PROCESS_ATTACH) acrxGetApp()->SetModuleInstance(hInstance);
  return TRUE;
}
