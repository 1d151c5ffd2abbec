// CDialog: dialogs made from the module's templates, run modally through the UI backend;
// and the dialog manager's keyboard handling.
#include <afxwin.h>

#include <algorithm>

#include "contura/afx/ui_backend.h"
#include "window_impl.h"

using contura::afx::detail::find;
using contura::afx::detail::Window;

namespace {

// The first control of hDlg that is visible, enabled and a tab stop, searched from `after`
// (exclusive; null: from the start) and wrapping round.
HWND nextTabStop(HWND hDlg, HWND after, bool backwards) {
  Window* d = find(hDlg);
  if (!d || d->children.empty()) return nullptr;
  std::vector<HWND> order = d->children;
  if (backwards) std::reverse(order.begin(), order.end());
  size_t start = 0;
  auto it = std::find(order.begin(), order.end(), after);
  if (it != order.end()) start = static_cast<size_t>(it - order.begin()) + 1;
  for (size_t k = 0; k < order.size(); ++k) {
    HWND c = order[(start + k) % order.size()];
    Window* w = find(c);
    // The control's own state: the dialog itself may not be shown yet.
    if (w && (w->style & WS_TABSTOP) && (w->style & WS_VISIBLE) && IsWindowEnabled(c)) return c;
  }
  return nullptr;
}

bool wantsReturn(HWND h) {
  Window* w = find(h);
  return w && (contura::afx::detail::sameClassName(w->className, "Edit") ||
               w->className.rfind("RichEdit", 0) == 0 || w->className == "RICHEDIT50W") &&
         (w->style & ES_MULTILINE) && (w->style & ES_WANTRETURN);
}

// The owner a modal dialog gets when its parent is not given: the innermost running dialog
// that is shown, else the main window (as MFC takes the main window's last active pop-up).
HWND defaultOwner() {
  const std::vector<HWND>& stack = contura::afx::detail::modalStack();
  for (auto it = stack.rbegin(); it != stack.rend(); ++it)
    if (IsWindowVisible(*it) && IsWindowEnabled(*it)) return *it;
  return contura::afx::mainWindow();
}

HWND topLevelOf(HWND h) {
  Window* w = find(h);
  while (w && w->child()) {
    h = w->parent;
    w = find(h);
  }
  return w ? h : nullptr;
}

}  // namespace

BOOL IsDialogMessage(HWND hDlg, MSG* lpMsg) {
  if (!lpMsg || !find(hDlg) || lpMsg->message != WM_KEYDOWN) return FALSE;
  switch (lpMsg->wParam) {
    case VK_RETURN: {
      if (wantsReturn(lpMsg->hwnd)) return FALSE;
      LRESULT def = SendMessage(hDlg, DM_GETDEFID, 0, 0);
      int id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
      HWND button = GetDlgItem(hDlg, id);
      if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return TRUE;
      }
      SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
      return TRUE;
    }
    case VK_ESCAPE: {
      HWND button = GetDlgItem(hDlg, IDCANCEL);
      if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return TRUE;
      }
      SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(button));
      return TRUE;
    }
    case VK_TAB: {
      HWND next = nextTabStop(hDlg, GetFocus(), false);
      if (next) SetFocus(next);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog() : m_nIDHelp(0), m_lpszTemplateName(nullptr), m_pParentWnd(nullptr), m_nModalResult(-1) {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_pParentWnd(pParentWnd),
      m_nModalResult(-1) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_nIDHelp(0), m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd), m_nModalResult(-1) {
  // Only numeric ids (MAKEINTRESOURCE) name templates here.
  if (reinterpret_cast<ULONG_PTR>(lpszTemplateName) <= 0xFFFF)
    m_nIDHelp = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
}

CDialog::~CDialog() = default;

BOOL CDialog::CreateFromTemplate(HWND hWndOwner) {
  if (m_hWnd || reinterpret_cast<ULONG_PTR>(m_lpszTemplateName) > 0xFFFF) return FALSE;
  UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(m_lpszTemplateName));
  const AFX_DLGTEMPLATE* t = AfxFindDialogTemplate(id);
  if (!t) return FALSE;
  for (int i = 0; i < t->itemCount; ++i)
    if (!t->items[i].className || !GetClassInfo(nullptr, t->items[i].className, nullptr)) return FALSE;

  using contura::afx::dialogUnitsToPixelsX;
  using contura::afx::dialogUnitsToPixelsY;
  POINT origin{0, 0};
  if (hWndOwner) ::ClientToScreen(hWndOwner, &origin);
  RECT r{origin.x + dialogUnitsToPixelsX(t->x), origin.y + dialogUnitsToPixelsY(t->y), 0, 0};
  r.right = r.left + dialogUnitsToPixelsX(t->cx);
  r.bottom = r.top + dialogUnitsToPixelsY(t->cy);
  DWORD style = (t->style & ~(WS_VISIBLE | WS_CHILD)) | WS_POPUP;
  HWND h = contura::afx::detail::createWindow(t->exStyle, "#32770", t->caption, style, r, hWndOwner, 0,
                                              AfxGetResourceHandle(), nullptr, this);
  if (!h) return FALSE;
  find(h)->templateId = id;
  for (int i = 0; i < t->itemCount; ++i) {
    const AFX_DLGITEM& item = t->items[i];
    RECT cr{dialogUnitsToPixelsX(item.x), dialogUnitsToPixelsY(item.y), 0, 0};
    cr.right = cr.left + dialogUnitsToPixelsX(item.cx);
    cr.bottom = cr.top + dialogUnitsToPixelsY(item.cy);
    HWND c = contura::afx::detail::createWindow(item.exStyle, item.className, item.text, item.style | WS_CHILD,
                                                cr, h, static_cast<int>(item.id), AfxGetResourceHandle(),
                                                nullptr, nullptr);
    if (!c) {
      ::DestroyWindow(h);
      return FALSE;
    }
  }
  // The template's WS_VISIBLE shows the dialog once it is initialised.
  return TRUE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  m_bEndRequested = true;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (!pMsg || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  return ::IsDialogMessage(m_hWnd, pMsg);
}

INT_PTR CDialog::DoModal() {
  if (m_hWnd) return -1;
  HWND owner = topLevelOf(m_pParentWnd ? m_pParentWnd->m_hWnd : defaultOwner());
  bool enableOwner = false;
  if (owner && ::IsWindowEnabled(owner)) {
   ::EnableWindow(owner, FALSE);
    enableOwner = true;
  }
  m_nModalResult = -1;
  m_bEndRequested = false;
  if (!CreateFromTemplate(owner)) {
    if (enableOwner)::EnableWindow(owner, TRUE);
    return -1;
  }
  HWND self = m_hWnd;
  m_bInModal = true;
  contura::afx::detail::modalStack().push_back(self);

  HWND first = nextTabStop(self, nullptr, false);
  if (SendMessage(WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0) && IsWindow(self)) {
    HWND focus = nextTabStop(self, nullptr, false);
    if (focus) ::SetFocus(focus);
  }
  if (!m_bEndRequested && IsWindow(self)) {
    ::ShowWindow(self, SW_SHOWNORMAL);
    contura::afx::DialogSession session(*this);
    session.flush();
    if (!m_bEndRequested && IsWindow(self)) contura::afx::uiBackend().runModal(session);
    if (!m_bEndRequested && IsWindow(self)) {
      // No more input: Esc, as a person leaving the dialog would, and no further chance.
      MSG esc{self, WM_KEYDOWN, static_cast<WPARAM>(VK_ESCAPE), 0, 0, {0, 0}};
      ::IsDialogMessage(self, &esc);
      if (!m_bEndRequested) EndDialog(IDCANCEL);
    }
  }
  if (!m_bEndRequested) m_nModalResult = IDCANCEL;

  // Hide before the owner is enabled again, as MFC does, then give the owner the focus.
  if (IsWindow(self)) ::SetWindowPos(self, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE);
  if (enableOwner && IsWindow(owner))::EnableWindow(owner, TRUE);
  if (owner && IsWindow(owner) && ::IsWindowEnabled(owner)) ::SetFocus(owner);
  if (IsWindow(self)) ::DestroyWindow(self);
  std::erase(contura::afx::detail::modalStack(), self);
  m_bInModal = false;
  return m_nModalResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_lpszTemplateName = MAKEINTRESOURCE(nIDTemplate);
  m_nIDHelp = nIDTemplate;
  m_pParentWnd = pParentWnd;
  HWND owner = topLevelOf(pParentWnd ? pParentWnd->m_hWnd : contura::afx::mainWindow());
  if (!CreateFromTemplate(owner)) return FALSE;
  HWND self = m_hWnd;
  HWND first = nextTabStop(self, nullptr, false);
  if (SendMessage(WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0) && IsWindow(self)) {
    if (HWND focus = nextTabStop(self, nullptr, false)) ::SetFocus(focus);
  }
  const AFX_DLGTEMPLATE* t = AfxFindDialogTemplate(nIDTemplate);
  if (t && (t->style & WS_VISIBLE) && IsWindow(self)) ::ShowWindow(self, SW_SHOWNORMAL);
  return IsWindow(self);
}

void CDialog::SetDefID(UINT nID) { SendMessage(DM_SETDEFID, nID, 0); }
DWORD CDialog::GetDefID() const { return static_cast<DWORD>(::SendMessage(m_hWnd, DM_GETDEFID, 0, 0)); }

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
  if (pWndCtrl) ::SetFocus(pWndCtrl->m_hWnd);
}

void CDialog::NextDlgCtrl() const {
  if (HWND next = nextTabStop(m_hWnd, ::GetFocus(), false)) ::SetFocus(next);
}

void CDialog::PrevDlgCtrl() const {
  if (HWND prev = nextTabStop(m_hWnd, ::GetFocus(), true)) ::SetFocus(prev);
}

void CDialog::MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }
