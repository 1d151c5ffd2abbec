// CObject run-time class information and MFC's exception classes.
#include <cstring>

#include "afx.h"
#include "mbcs.h"

const CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr};

CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  if (!pBaseClass) return FALSE;
  for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
    if (p == pBaseClass) return TRUE;
  return FALSE;
}

namespace {

BOOL copyMessage(const char* text, LPTSTR lpszError, UINT nMaxError) {
  if (!lpszError || nMaxError == 0) return FALSE;
  // Whole characters only: a file name may hold double-byte characters.
  std::string_view s(text);
  std::size_t n = 0;
  while (n < s.size() && n + contura::afx::mbcs::charSize(s, n) <= nMaxError - 1) n += contura::afx::mbcs::charSize(s, n);
  std::memcpy(lpszError, text, n);
  lpszError[n] = '\0';
  return TRUE;
}

const char* causeText(int cause) {
  switch (cause) {
    case CFileException::none: return "no error";
    case CFileException::fileNotFound: return "file not found";
    case CFileException::badPath: return "the path is not valid";
    case CFileException::tooManyOpenFiles: return "too many open files";
    case CFileException::accessDenied: return "access denied";
    case CFileException::invalidFile: return "the file is not open";
    case CFileException::removeCurrentDir: return "cannot remove the current folder";
    case CFileException::directoryFull: return "the folder is full";
    case CFileException::badSeek: return "cannot move the file position";
    case CFileException::hardIO: return "input/output error";
    case CFileException::sharingViolation: return "sharing violation";
    case CFileException::lockViolation: return "lock violation";
    case CFileException::diskFull: return "the disk is full";
    case CFileException::endOfFile: return "end of file reached";
    default: return "file error";
  }
}

}  // namespace

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return copyMessage("unknown error", lpszError, nMaxError);
}

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName) {}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  CString text = m_strFileName.IsEmpty() ? CString(causeText(m_cause))
                                         : CString(m_strFileName) + ": " + causeText(m_cause);
  return copyMessage(text, lpszError, nMaxError);
}
