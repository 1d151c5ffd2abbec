// A module of another product, built against Contura.arx the way such a module is: only the
// host's headers and Contura.arx's exported headers, linked to the module's exports. Its two
// commands measure an outline text and run the section dialog on a record and list of its own.
#include <windows.h>

#include <acedinpt.h>
#include <acrxEntryPoint.h>
#include <acutads.h>
#include <adscodes.h>

#include <SectionString.h>
#include <UserSectionInfo.h>

namespace {

// Outline texts travel as one line, "\n" standing for each line feed.
CString oneLine(CString text) {
  text.Replace("\n", "\\n");
  return text;
}

void printRecord(const char* label, const CUserSectionInfo& info) {
  acutPrintf("\n%s%d|%s|%s", label, info.m_nTag, (LPCTSTR)info.m_strName,
             (LPCTSTR)oneLine(info.m_strSection));
}

CUserSectionInfo makeRecord(int tag, const char* name, const char* section) {
  CUserSectionInfo info;
  info.m_nTag = tag;
  info.m_strName = name;
  info.m_strSection = section;
  return info;
}

}  // namespace

class CConsumerApp : public AcRxArxApp {
public:
  void RegisterServerComponents() override {}

  // Asks for an outline text and prints the area and perimeter of its region, or the result
  // code of the module when the text gives no region.
  static void OnOutlineArea() {
    char answer[512];  // the host's buffer for a whole answer line
    if (acedGetString(1, "\n输入截面轮廓文本: ", answer) != RTNORM) return;
    AcDbRegion* pRegion = NULL;
    AcGePoint3d basePoint(1.0, 2.0, 3.0);  // must come back as the origin
    CString text = answer;
    text.Replace("\\n", "\n");
    int result = CSectionString::getSectionRegionFromString(pRegion, basePoint, text);
    if (result != 0) {
      acutPrintf("\n没有面域: 结果 %d", result);
      return;
    }
    double area = 0.0, perimeter = 0.0;
    pRegion->getArea(area);
    pRegion->getPerimeter(perimeter);
    delete pRegion;  // never added to a drawing: ours to free
    acutPrintf("\n面积 %.4f 周长 %.4f 基点 %g,%g,%g", area, perimeter, basePoint.x, basePoint.y, basePoint.z);
  }

  // Runs the section dialog on a record and a list of this module's own and prints both
  // afterwards, whatever the person did.
  static void OnPickSection() {
    CUserSectionInfo info = makeRecord(7, "mine", "[PolylineSection]\nPoints=0,0,0;300,0,0;0,400,0;0,0,0\nBasePoint=0,0\n");
    CArray<CUserSectionInfo, CUserSectionInfo> lib;
    lib.Add(makeRecord(1, "方形", "[PolylineSection]\nPoints=0,0,0;200,0,0;200,200,0;0,200,0;0,0,0\nBasePoint=100,100\n"));
    lib.Add(makeRecord(2, "半圆", "[PolylineSection]\nPoints=0,0,1;1000,0,0;0,0,0\nBasePoint=0,0\n"));
    int result = CSectionString::getUserSelectSection(info, lib);
    acutPrintf("\n结果 %d", result);
    printRecord("记录 ", info);
    acutPrintf("\n列表 %d 项", (int)lib.GetSize());
    for (INT_PTR i = 0; i < lib.GetSize(); ++i) printRecord("  ", lib[i]);
  }
};

ACRX_BEGIN_COMMAND_TABLE
ACED_ARXCOMMAND_ENTRY("ConturaConsumer", "OutlineArea", "OutlineArea", ACRX_CMD_TRANSPARENT, CConsumerApp::OnOutlineArea, NULL, -1)
ACED_ARXCOMMAND_ENTRY("ConturaConsumer", "PickSection", "PickSection", ACRX_CMD_TRANSPARENT, CConsumerApp::OnPickSection, NULL, -1)
ACRX_END_COMMAND_TABLE

IMPLEMENT_ARX_ENTRYPOINT(CConsumerApp)

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
  if (dwReason == DLL_PROCESS_ATTACH) acrxGetApp()->SetModuleInstance(hInstance);
  return TRUE;
}
