// The window styles, font and control classes the module's dialog templates share.
#pragma once
#include <afxres.h>
#include <afxwin.h>

namespace templates {

inline constexpr DWORD kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
inline constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
inline constexpr DWORD kButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
inline constexpr DWORD kDefButton = kChild | BS_DEFPUSHBUTTON | WS_TABSTOP;
inline constexpr DWORD kGroup = kChild | BS_GROUPBOX;
inline constexpr DWORD kLabel = kChild | SS_LEFT;
inline constexpr DWORD kEdit = kChild | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
inline constexpr DWORD kView = kChild | WS_TABSTOP;
inline constexpr UINT kStatic = static_cast<UINT>(IDC_STATIC);
inline constexpr const char* kFont = "MS Shell Dlg";
// The preview windows of the view library: their window class and the text the templates
// give them.
inline constexpr const char* kViewClass = "Draw2DCtrl";
inline constexpr const char* kViewText = "自定义1";

template <int N>
constexpr int count(const AFX_DLGITEM (&)[N]) {
  return N;
}

}  // namespace templates
