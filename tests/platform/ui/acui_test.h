// The dialog the user-interface library tests run, and a dialog class that binds its controls.
#pragma once
#include <acui.h>

#define IDD_ACUI_TEST 400
#define IDC_COLOR 401
#define IDC_ANGLE 402
#define IDC_PLAIN 403

// Binds the colour box and the angle box in data exchange, as a module's dialog does.
class CAcUiTestDlg : public CDialog {
public:
  CAcUiTestDlg() : CDialog(IDD_ACUI_TEST) {}
  CAcUiColorComboBox m_color;
  CAcUiAngleEdit m_angle;
  CAcUiEdit m_plain;

protected:
  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_COLOR, m_color);
    DDX_Control(pDX, IDC_ANGLE, m_angle);
    DDX_Control(pDX, IDC_PLAIN, m_plain);
  }
};
