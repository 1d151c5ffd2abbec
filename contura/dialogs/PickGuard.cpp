// Hiding a modal dialog for a pick in the drawing and restoring it.
#include "PickGuard.h"

#include <aced.h>

CPickGuard::CPickGuard(CWnd* pDialog) : m_pDialog(pDialog), m_pHidden(HideForPick(pDialog)) {}

CPickGuard::~CPickGuard() { RestoreAfterPick(m_pDialog, m_pHidden); }

CWnd* CPickGuard::HideForPick(CWnd* pDialog) {
  HWND hMain = adsw_acadMainWnd();
  CWnd* pTop = pDialog;
  while (pTop != NULL) {
    CWnd* pParent = pTop->GetParent();
    if (pParent == NULL || pParent->GetSafeHwnd() == hMain) break;
    pTop = pParent;
  }
  if (pTop != NULL) pTop->ShowWindow(SW_HIDE);
  CWnd* pMain = CWnd::FromHandle(hMain);
  if (pMain != NULL) {
    pMain->EnableWindow(TRUE);
    pMain->SetFocus();
  }
  return pTop;
}

void CPickGuard::RestoreAfterPick(CWnd* pDialog, CWnd* pHidden) {
  if (pDialog != NULL) pDialog->SetFocus();
  CWnd* pMain = CWnd::FromHandle(adsw_acadMainWnd());
  if (pMain != NULL) pMain->EnableWindow(TRUE);
  if (pHidden != NULL) pHidden->ShowWindow(SW_SHOW);
}
