// LayerTools: layer and block maintenance for a CAD user, built on Contura.arx's drawing
// toolkit CDwgDatabase. Commands (global name / local name):
//   LayerList / TCLB        lists the layers with their state and colour
//   LayerSwitch / TCKG      turns a layer on or off
//   LayerPrefix / TCQZ      puts every layer of a received drawing under a name prefix
//   ErasePrefix / SCQZ      erases the layers and blocks whose names begin with a prefix
//   RepairStyles / XFYS     repairs text styles whose fonts are missing and dimension arrowheads
//   ReplaceMInsert / THDC   replaces multi-inserts by plain block references
//   CollectText / WZSJ      lists the texts that equal a given text
//   ReplaceText / WZTH      replaces texts that equal a given text
#include <windows.h>

#include <acedinpt.h>
#include <acrxEntryPoint.h>
#include <acutads.h>
#include <adscodes.h>

#include <DwgDatabase.h>

namespace {

// One answer line, blanks included; false when the person cancelled.
bool askText(const char* prompt, CString& answer) {
  char buffer[512];  // the host's buffer for a whole answer line
  if (acedGetString(1, prompt, buffer) != RTNORM) return false;
  answer = buffer;
  return true;
}

// The text-bearing entities of model space whose whole text is `text`.
AcDbObjectIdArray textsEqualTo(CDwgDatabase& dwg, const CString& text) {
  AcDbObjectIdArray all, found;
  dwg.getEntIdArray(all);
  for (int i = 0; i < all.length(); i++) {
    CString content;
    if (dwg.getTextInfo(content, all[i]) == 0 && content == text) found.append(all[i]);
  }
  return found;
}

int countMInserts(CDwgDatabase& dwg) {
  AcDbObjectIdArray all;
  dwg.getEntIdArray(all);
  int count = 0;
  for (int i = 0; i < all.length(); i++) {
    AcDbEntity* pEnt = NULL;
    if (acdbOpenAcDbEntity(pEnt, all[i], AcDb::kForRead) != Acad::eOk) continue;
    if (AcDbMInsertBlock::cast(pEnt) != NULL) count++;
    pEnt->close();
  }
  return count;
}

}  // namespace

class CLayerToolsApp : public AcRxArxApp {
public:
  void RegisterServerComponents() override {}

  static void OnLayerList() {
    CDwgDatabase dwg;
    AcDbObjectIdArray ids;
    if (dwg.getLayerIdArray(ids) != 0) {
      acutPrintf("\n无法读取图层表");
      return;
    }
    acutPrintf("\n共 %d 个图层:", ids.length());
    for (int i = 0; i < ids.length(); i++) {
      CString name;
      int on = 0, locked = 0, color = 0;
      dwg.getLayerName(name, ids[i]);
      dwg.isLayerOn(on, ids[i]);
      dwg.isLayerLock(locked, ids[i]);
      dwg.getLayerColorFromLayer(color, ids[i]);
      acutPrintf("\n  %s  %s %s 颜色 %d", (LPCTSTR)name, on ? "开" : "关", locked ? "锁定" : "未锁定", color);
    }
  }

  static void OnLayerSwitch() {
    CString name;
    if (!askText("\n输入图层名: ", name)) return;
    CDwgDatabase dwg;
    AcDbObjectId id;
    dwg.getLayerIdFromName(id, name);
    if (id.isNull()) {
      acutPrintf("\n没有图层 %s", (LPCTSTR)name);
      return;
    }
    int on = 0;
    dwg.isLayerOn(on, id);
    if (on ? dwg.setLayerInvisible(id) : dwg.setLayerVisible(id)) {
      acutPrintf("\n图层 %s 无法切换", (LPCTSTR)name);
      return;
    }
    acutPrintf("\n图层 %s 已%s", (LPCTSTR)name, on ? "关闭" : "打开");
  }

  static void OnLayerPrefix() {
    CString prefix;
    if (!askText("\n输入图层前缀: ", prefix)) return;
    if (prefix.IsEmpty()) {
      acutPrintf("\n前缀不能为空");
      return;
    }
    CDwgDatabase dwg;
    int result = dwg.addLayerPreName(prefix);
    if (result != 0)
      acutPrintf("\n加前缀失败: 结果 %d", result);
    else
      acutPrintf("\n图层已加前缀 %s, 0 层实体已移到 %s0", (LPCTSTR)prefix, (LPCTSTR)prefix);
  }

  static void OnErasePrefix() {
    CString prefix;
    if (!askText("\n输入要删除的图层和图块前缀: ", prefix)) return;
    if (prefix.IsEmpty()) {  // the empty prefix names everything
      acutPrintf("\n前缀不能为空");
      return;
    }
    CDwgDatabase dwg;
    AcDbObjectIdArray layers;
    dwg.getLayerIdArrayByPreName(layers, prefix);
    int layerResult = dwg.eraseLayerIdArray(layers);
    int blockResult = dwg.eraseBlockByPreName(prefix);
    acutPrintf("\n删除了 %d 个图层 (结果 %d), 图块结果 %d", layers.length(), layerResult, blockResult);
  }

  static void OnRepairStyles() {
    CDwgDatabase dwg;
    AcDbObjectIdArray unable;
    dwg.getTextStyleUnable(unable);
    dwg.repairTextStyle();
    acutPrintf("\n修复了 %d 个文字样式 (txt.shx, hztxt.shx)", unable.length());
    int result = dwg.repairDimStyle();
    acutPrintf("\n标注样式箭头: 结果 %d", result);
  }

  static void OnReplaceMInsert() {
    CDwgDatabase dwg;
    int count = countMInserts(dwg);
    int result = dwg.deleteMInsertBlock();
    acutPrintf("\n替换了 %d 个多重插入 (结果 %d)", count, result);
  }

  static void OnCollectText() {
    CString text;
    if (!askText("\n输入文字: ", text)) return;
    CDwgDatabase dwg;
    AcDbObjectIdArray found = textsEqualTo(dwg, text);
    acutPrintf("\n找到 %d 个文字", found.length());
    for (int i = 0; i < found.length(); i++) {
      CString content, layer;
      AcGePoint3d at;
      double rotation = 0.0;
      dwg.getTextInfo(content, at, rotation, layer, found[i]);
      acutPrintf("\n  %g,%g 图层 %s", at.x, at.y, (LPCTSTR)layer);
    }
  }

  static void OnReplaceText() {
    CString from, to;
    if (!askText("\n输入原文字: ", from) || !askText("\n输入新文字: ", to)) return;
    CDwgDatabase dwg;
    AcDbObjectIdArray found = textsEqualTo(dwg, from);
    CStringArray olds, news;
    olds.Add(from);
    news.Add(to);
    int result = dwg.replaceText(found, olds, news);
    acutPrintf("\n替换了 %d 个文字 (结果 %d)", found.length(), result);
  }
};

ACRX_BEGIN_COMMAND_TABLE
ACED_ARXCOMMAND_ENTRY("LayerTools", "LayerList", "TCLB", ACRX_CMD_MODAL, CLayerToolsApp::OnLayerList, NULL, -1)
ACED_ARXCOMMAND_ENTRY("LayerTools", "LayerSwitch", "TCKG", ACRX_CMD_MODAL, CLayerToolsApp::OnLayerSwitch, NULL, -1)
ACED_ARXCOMMAND_ENTRY("LayerTools", "LayerPrefix", "TCQZ", ACRX_CMD_MODAL, CLayerToolsApp::OnLayerPrefix, NULL, -1)
ACED_ARXCOMMAND_ENTRY("LayerTools", "ErasePrefix", "SCQZ", ACRX_CMD_MODAL, CLayerToolsApp::OnErasePrefix, NULL, -1)
ACED_ARXCOMMAND_ENTRY("LayerTools", "RepairStyles", "XFYS", ACRX_CMD_MODAL, CLayerToolsApp::OnRepairStyles, NULL, -1)
ACED_ARXCOMMAND_ENTRY("LayerTools", "ReplaceMInsert", "THDC", ACRX_CMD_MODAL, CLayerToolsApp::OnReplaceMInsert, NULL, -1)
ACED_ARXCOMMAND_ENTRY("LayerTools", "CollectText", "WZSJ", ACRX_CMD_MODAL, CLayerToolsApp::OnCollectText, NULL, -1)
ACED_ARXCOMMAND_ENTRY("LayerTools", "ReplaceText", "WZTH", ACRX_CMD_MODAL, CLayerToolsApp::OnReplaceText, NULL, -1)
ACRX_END_COMMAND_TABLE

IMPLEMENT_ARX_ENTRYPOINT(CLayerToolsApp)

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
  if (dwReason == DLL_PROCESS_ATTACH) acrxGetApp()->SetModuleInstance(hInstance);
  return TRUE;
}
