// MFC's standard dialogs: the file Open and Save As dialogs.
#pragma once
#include "afxwin.h"

struct OPENFILENAME {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;  // pairs of description and pattern, each zero-terminated, then a zero
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPSTR lpstrFile;  // in: the initial file name; out: the chosen path
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;     // where the file name begins in lpstrFile
  WORD nFileExtension;  // where the extension begins (0 when there is none)
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  void* lpfnHook;
  LPCSTR lpTemplateName;
};
typedef OPENFILENAME* LPOPENFILENAME;

class CCommonDialog : public CDialog {
  DECLARE_DYNAMIC(CCommonDialog)

public:
  explicit CCommonDialog(CWnd* pParentWnd);
};

// The Open (bOpenFileDialog TRUE) or Save As dialog. The UI backend asks for a path (code
// page 936; a Windows path with a drive letter goes through the drive map, others are Linux
// paths). Then, as Windows does:
//  - a name without an extension gets lpszDefExt (when given);
//  - OFN_FILEMUSTEXIST (Open) refuses a file that does not exist, OFN_PATHMUSTEXIST a
//    folder that does not exist, with a message box, and asks again;
//  - OFN_OVERWRITEPROMPT (Save As) asks in a Yes/No message box before an existing file is
//    chosen; No asks for the path again.
// lpszFilter is MFC's "Description|*.ext|...||" form.
class CFileDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFileDialog)

public:
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr);
  // IDOK with a path chosen, IDCANCEL when the person cancelled.
  INT_PTR DoModal() override;
  CString GetPathName() const;   // the whole path
  CString GetFileName() const;   // after the last '\' or '/'
  CString GetFileExt() const;    // after the file name's last '.', without it
  CString GetFileTitle() const;  // the file name without its extension
  CString GetFolderPath() const;
  BOOL GetReadOnlyPref() const;

  OPENFILENAME m_ofn;

protected:
  BOOL m_bOpenFileDialog;
  CString m_strFilter;  // lpszFilter with '|' turned into zero bytes
  CString m_strDefExt;
  char m_szFileName[_MAX_PATH];
  char m_szFileTitle[_MAX_PATH];
};
