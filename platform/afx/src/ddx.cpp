// Dialog data exchange: moving values between a dialog's controls and its members.
#include <afxwin.h>

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "window_impl.h"

namespace {

// The messages a person sees when a box does not hold a number of the member's kind.
const char* const kNeedInteger = "请输入一个整数。";
const char* const kNeedUnsigned = "请输入一个正整数。";
const char* const kNeedNumber = "请输入一个数字。";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Sets a window's text only when it differs, so that loading unchanged values raises no
// change notifications.
void setTextIfChanged(HWND h, const char* text) {
  CString current;
  CWnd::FromHandle(h)->GetWindowText(current);
  if (current != text) ::SetWindowText(h, text);
}

CString windowText(HWND h) {
  CString text;
  CWnd::FromHandle(h)->GetWindowText(text);
  return text;
}

// A whole number with blanks around it; a value that reads as 0 must start with '0' (so
// "-0" and "" are refused), and it must fit [lo, hi].
bool parseWhole(const char* s, bool isSigned, long long lo, long long hi, long long& out) {
  while (isBlank(*s)) ++s;
  char first = *s;
  if (!isSigned && first == '-') return false;
  char* end = nullptr;
  errno = 0;
  long long v = isSigned ? std::strtoll(s, &end, 10) : static_cast<long long>(std::strtoull(s, &end, 10));
  if (errno == ERANGE || end == s) return false;
  if (v == 0 && first != '0') return false;
  while (isBlank(*end)) ++end;
  if (*end != '\0' || v < lo || v > hi) return false;
  out = v;
  return true;
}

// A floating-point number with blanks around it; a value that reads as 0 must start with
// '0', as MFC's parser demands.
bool parseReal(const char* s, double& out) {
  while (isBlank(*s)) ++s;
  char first = *s;
  char* end = nullptr;
  double v = std::strtod(s, &end);
  if (end == s) return false;
  if (v == 0.0 && first != '0') return false;
  while (isBlank(*end)) ++end;
  if (*end != '\0') return false;
  out = v;
  return true;
}

template <class T>
void exchangeWhole(CDataExchange* pDX, int nIDC, T& value, const char* format, bool isSigned, long long lo,
                   long long hi) {
  if (pDX->m_bFailed) return;
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    long long v = 0;
    if (!parseWhole(windowText(h), isSigned, lo, hi, v)) {
      AfxMessageBox(isSigned ? kNeedInteger : kNeedUnsigned, MB_ICONWARNING);
      pDX->Fail();
      return;
    }
    value = static_cast<T>(v);
  } else {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    setTextIfChanged(h, text);
  }
}

template <class T>
void exchangeReal(CDataExchange* pDX, int nIDC, T& value, int digits) {
  if (pDX->m_bFailed) return;
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    double v = 0;
    if (!parseReal(windowText(h), v)) {
      AfxMessageBox(kNeedNumber, MB_ICONWARNING);
      pDX->Fail();
      return;
    }
    value = static_cast<T>(v);
  } else {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    setTextIfChanged(h, text);
  }
}

}  // namespace

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND h = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC) : nullptr;
  if (!h) {
    // A member bound to a control the template does not have: the exchange cannot go on.
    m_bFailed = TRUE;
    return nullptr;
  }
  m_hWndLastControl = h;
  return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) { return PrepareCtrl(nIDC); }

void CDataExchange::Fail() {
  if (m_hWndLastControl && m_bSaveAndValidate) {
    ::SetFocus(m_hWndLastControl);
    ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
  }
  m_bFailed = TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  if (!m_hWnd) return FALSE;
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return !dx.m_bFailed;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (pDX->m_bFailed || rControl.m_hWnd) return;
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (!rControl.SubclassWindow(h)) pDX->m_bFailed = TRUE;
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  if (pDX->m_bFailed) return;
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    value = windowText(h);
  else
    setTextIfChanged(h, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  exchangeWhole(pDX, nIDC, value, "%d", true, INT_MIN, INT_MAX);
}
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
  exchangeWhole(pDX, nIDC, value, "%u", false, 0, UINT_MAX);
}
// long is 32 bits in the Windows build; values keep that range.
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
  exchangeWhole(pDX, nIDC, value, "%ld", true, INT_MIN, INT_MAX);
}
void DDX_Text(CDataExchange* pDX, int nIDC, unsigned long& value) {
  exchangeWhole(pDX, nIDC, value, "%lu", false, 0, UINT_MAX);
}
void DDX_Text(CDataExchange* pDX, int nIDC, double& value) { exchangeReal(pDX, nIDC, value, DBL_DIG); }
void DDX_Text(CDataExchange* pDX, int nIDC, float& value) { exchangeReal(pDX, nIDC, value, FLT_DIG); }

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  if (pDX->m_bFailed) return;
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    value = static_cast<int>(::SendMessage(h, BM_GETCHECK, 0, 0));
  else
    ::SendMessage(h, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  if (pDX->m_bFailed) return;
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessage(h, LB_GETCURSEL, 0, 0));
  else
    ::SendMessage(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  if (pDX->m_bFailed) return;
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessage(h, CB_GETCURSEL, 0, 0));
  else
    ::SendMessage(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  if (pDX->m_bFailed) return;
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    value = windowText(h);
    return;
  }
  if (::SendMessage(h, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString())) ==
      CB_ERR)
    setTextIfChanged(h, value);
}
