// MFC's common controls: the rich edit control.
#pragma once
#include "afxwin.h"

// A rich edit control (window class "RichEdit20A"; AfxInitRichEdit2 must have run before a
// dialog holding one is made). Text is plain code page 936 text here (no formatting). It
// raises EN_UPDATE and EN_CHANGE only for the events its mask asks for (none by default).
// Positions are byte offsets; a line break typed into it is "\r\n".
class CRichEditCtrl : public CWnd {
  DECLARE_DYNAMIC(CRichEditCtrl)

public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  void GetSel(CHARRANGE& cr) const;
  void GetSel(long& nStartChar, long& nEndChar) const;
  void SetSel(CHARRANGE& cr);
  void SetSel(long nStartChar, long nEndChar);
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE);
  // The most bytes a person may type (0: the largest limit).
  void LimitText(long nChars = 0);
  long GetLimitText() const;
  long GetTextLength() const;
  int GetLineCount() const;
  DWORD GetEventMask() const;
  DWORD SetEventMask(DWORD dwEventMask);
  BOOL SetReadOnly(BOOL bReadOnly = TRUE);
  // Keeps the background colour (shown by window backends); returns the previous one.
  COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr);
  BOOL GetModify() const;
  void SetModify(BOOL bModified = TRUE);
  void Clear();
};
