// Hiding a modal dialog while the user picks in the drawing, and showing it again after.
#pragma once
#include <afxwin.h>

// Before a dialog lets the user select or pick in the drawing, HideForPick walks up from the
// dialog to the window whose parent is the host's main window (a chain that ends without
// reaching the main window gives its last window), hides it, enables the main window and
// gives it the keyboard focus. RestoreAfterPick, called after the pick whatever its outcome,
// gives the dialog the keyboard focus, enables the main window and shows the hidden window
// again. A CPickGuard object does both: hiding when made, restoring when destroyed.
class CPickGuard {
public:
  explicit CPickGuard(CWnd* pDialog);
  ~CPickGuard();

  // The window hidden for the pick (null when pDialog was null).
  CWnd* GetHiddenWnd() const { return m_pHidden; }

  static CWnd* HideForPick(CWnd* pDialog);
  static void RestoreAfterPick(CWnd* pDialog, CWnd* pHidden);

private:
  CPickGuard(const CPickGuard&);
  CPickGuard& operator=(const CPickGuard&);

  CWnd* m_pDialog;
  CWnd* m_pHidden;
};
