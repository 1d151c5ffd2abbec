// A module for the host's UI tests: commands that ask for a point, a keyword and a text, a
// selection and a pick, draw a small drawing, and run a dialog with a sorted list, an edit
// box, a pick made with the dialog hidden, a Save As dialog and a message box.
#include <acrxEntryPoint.h>
#include <aced.h>
#include <acutads.h>
#include <afxdlgs.h>
#include <afxres.h>
#include <afxwin.h>
#include <dbapserv.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbsymtb.h>

#include "PickGuard.h"

#define IDD_EDITOR_TEST 500
#define IDC_ROWS 1001
#define IDC_NAME 1002
#define IDC_PICK 1003
#define IDC_SAVE 1004
#define IDC_NOTE 1005

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
const AFX_DLGITEM kItems[] = {
    {IDC_ROWS, "ListBox", "", kChild | LBS_NOTIFY | LBS_SORT | WS_BORDER, 0, 7, 7, 80, 60},
    {IDC_NAME, "Edit", "", kChild | ES_AUTOHSCROLL | WS_BORDER, 0, 95, 7, 80, 14},
    {IDC_PICK, "Button", "拾取", kChild, 0, 95, 25, 40, 14},
    {IDC_SAVE, "Button", "保存", kChild, 0, 95, 43, 40, 14},
    {IDC_NOTE, "Button", "提示", kChild, 0, 140, 43, 40, 14},
    {IDOK, "Button", "确定", kChild | BS_DEFPUSHBUTTON, 0, 95, 61, 40, 14},
    {IDCANCEL, "Button", "取消", kChild, 0, 140, 61, 40, 14},
};
const AFX_DLGTEMPLATE kDialogs[] = {
    {IDD_EDITOR_TEST, "测试对话框", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 190, 80,
     "MS Shell Dlg", 8, kItems, static_cast<int>(sizeof kItems / sizeof kItems[0])},
};

AFX_EXTENSION_MODULE g_extension = {FALSE, nullptr, nullptr, nullptr, nullptr};

class CEditorTestDlg : public CDialog {
public:
  CEditorTestDlg() : CDialog(IDD_EDITOR_TEST) {}
  CListBox m_rows;
  CString m_strName;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    const char* names[] = {"矩形", "T形", "L形"};
    for (int i = 0; i < 3; ++i) m_rows.SetItemData(m_rows.AddString(names[i]), static_cast<DWORD_PTR>(i));
    return TRUE;
  }
  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ROWS, m_rows);
    DDX_Text(pDX, IDC_NAME, m_strName);
  }

protected:
  afx_msg void OnRowChange() {
    CString text;
    m_rows.GetText(m_rows.GetCurSel(), text);
    acutPrintf("\n选中 %s（第 %d 个加入）", text.GetString(), static_cast<int>(m_rows.GetItemData(m_rows.GetCurSel())));
  }
  afx_msg void OnPick() {
    ads_point p;
    int rc;
    {
      CPickGuard guard(this);
      rc = acedGetPoint(NULL, "\n选择基点: ", p);
    }
    CString text;
    if (rc == RTNORM) text.Format("%g,%g", p[X], p[Y]);
    else text.Format("结果 %d", rc);
    SetDlgItemText(IDC_NAME, text);
  }
  afx_msg void OnSave() {
    CFileDialog dlg(FALSE, NULL, NULL, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    if (dlg.DoModal() == IDOK) SetDlgItemText(IDC_NAME, dlg.GetPathName());
  }
  afx_msg void OnNote() { AfxMessageBox("完成"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEditorTestDlg, CDialog)
  ON_LBN_SELCHANGE(IDC_ROWS, OnRowChange)
  ON_BN_CLICKED(IDC_PICK, OnPick)
  ON_BN_CLICKED(IDC_SAVE, OnSave)
  ON_BN_CLICKED(IDC_NOTE, OnNote)
END_MESSAGE_MAP()

AcDbObjectId appendToModelSpace(AcDbDatabase* db, AcDbEntity* e) {
  AcDbBlockTable* blocks = nullptr;
  AcDbObjectId id;
  if (db->getBlockTable(blocks, AcDb::kForRead) != Acad::eOk) return id;
  AcDbBlockTableRecord* model = nullptr;
  if (blocks->getAt(ACDB_MODEL_SPACE, model, AcDb::kForWrite) == Acad::eOk) {
    model->appendAcDbEntity(id, e);
    model->close();
  }
  blocks->close();
  e->close();
  return id;
}

AcDbDatabase* g_ownDatabase = nullptr;

}  // namespace

class CEditorTestApp : public AcRxArxApp {
public:
  void RegisterServerComponents() override {}
  AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override {
    AcRx::AppRetCode rc = AcRxArxApp::On_kUnloadAppMsg(pkt);
    if (g_ownDatabase) {
      if (acdbHostApplicationServices()->workingDatabase() == g_ownDatabase)
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
      delete g_ownDatabase;
      g_ownDatabase = nullptr;
    }
    return rc;
  }

  static void OnDemo() {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db) {
      g_ownDatabase = db = new AcDbDatabase(true, true);
      acdbHostApplicationServices()->setWorkingDatabase(db);
    }
    appendToModelSpace(db, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
    appendToModelSpace(db, new AcDbCircle(AcGePoint3d(50, 50, 0), AcGeVector3d(0, 0, 1), 5));
    acutPrintf("\n已画 2 个对象。");
  }
  static void OnPoint() {
    ads_point p;
    int rc = acedGetPoint(NULL, "\n指定点: ", p);
    if (rc == RTNORM) acutPrintf("\n点 = %g,%g,%g", p[X], p[Y], p[Z]);
    else acutPrintf("\n结果 %d", rc);
  }
  // A point or a keyword, then a name with blanks.
  static void OnKeyword() {
    ads_point p;
    char text[512];
    acedInitGet(0, "Arc Close");
    int rc = acedGetPoint(NULL, "\n指定点或 [圆弧(A)/闭合(C)]: ", p);
    if (rc == RTKWORD && acedGetInput(text) == RTNORM) acutPrintf("\n关键字 = %s", text);
    else acutPrintf("\n结果 %d", rc);
    rc = acedGetString(1, "\n名称: ", text);
    if (rc == RTNORM) acutPrintf("\n文字 = %s", text);
    else acutPrintf("\n结果 %d", rc);
  }
  static void OnSelect() {
    ads_name ss;
    int rc = acedSSGet(NULL, NULL, NULL, NULL, ss);
    if (rc != RTNORM) {
      acutPrintf("\n结果 %d", rc);
      return;
    }
    Adesk::Int32 n = 0;
    acedSSLength(ss, &n);
    acutPrintf("\n选择集 %d 个", static_cast<int>(n));
    acedSSFree(ss);
  }
  static void OnPick() {
    ads_name e;
    ads_point p;
    AcDbObjectId id;
    int rc = acedEntSel(NULL, e, p);
    if (rc != RTNORM || acdbGetObjectId(id, e) != Acad::eOk) {
      acutPrintf("\n结果 %d", rc);
      return;
    }
    char handle[17];
    id.handle().getIntoAsciiBuffer(handle, sizeof handle);
    acutPrintf("\n选中 %s", handle);
  }
  static void OnDialog() {
    CEditorTestDlg dlg;
    INT_PTR rc = dlg.DoModal();
    if (rc == IDOK) acutPrintf("\n名称 = %s", dlg.m_strName.GetString());
    else acutPrintf("\n对话框结果 %d", static_cast<int>(rc));
  }
};

ACRX_BEGIN_COMMAND_TABLE
ACED_ARXCOMMAND_ENTRY("EdTest", "Demo", "DEMO", ACRX_CMD_MODAL, CEditorTestApp::OnDemo, NULL, -1)
ACED_ARXCOMMAND_ENTRY("EdTest", "Point", "PT", ACRX_CMD_MODAL, CEditorTestApp::OnPoint, NULL, -1)
ACED_ARXCOMMAND_ENTRY("EdTest", "Keyword", "KW", ACRX_CMD_MODAL, CEditorTestApp::OnKeyword, NULL, -1)
ACED_ARXCOMMAND_ENTRY("EdTest", "Select", "SEL", ACRX_CMD_MODAL, CEditorTestApp::OnSelect, NULL, -1)
ACED_ARXCOMMAND_ENTRY("EdTest", "Pick", "PICK", ACRX_CMD_MODAL, CEditorTestApp::OnPick, NULL, -1)
ACED_ARXCOMMAND_ENTRY("EdTest", "Dialog", "DLG", ACRX_CMD_MODAL, CEditorTestApp::OnDialog, NULL, -1)
ACRX_END_COMMAND_TABLE

IMPLEMENT_ARX_ENTRYPOINT(CEditorTestApp)

extern "C" const AFX_RESOURCE_TABLE _afxModuleResources = {kDialogs, 1, nullptr, 0};

extern "C" BOOL DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    acrxGetApp()->SetModuleInstance(hInstance);
    if (AfxInitExtensionModule(g_extension, hInstance)) new CDynLinkLibrary(g_extension);
  } else if (reason == DLL_PROCESS_DETACH) {
    AfxTermExtensionModule(g_extension);
  }
  return TRUE;
}
