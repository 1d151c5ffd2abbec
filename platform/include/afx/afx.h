// The core of MFC: CObject, exceptions, CFile, diagnostics macros, the string and collection
// classes, and module resources.
#pragma once
#include <windows.h>

#include "afxstr.h"

#include "afxobj_.h"

// MFC's exception base. MFC code catches these by pointer and calls Delete().
class CException : public CObject {
public:
  void Delete() { delete this; }
  // A one-line description of the error in lpszError (cut to nMaxError - 1 bytes).
  virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const;
};

class CFileException : public CException {
public:
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };
  explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszArchiveName = nullptr);
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;

  int m_cause;
  LONG m_lOsError;  // the system's error number (errno), -1 when none
  CString m_strFileName;
};

// A binary file. File names are code page 936 text: Windows paths with a drive letter go
// through the drive map; relative and Linux paths are taken as they are.
//
// Unlike MFC, nothing here throws: Open reports failure by its result (and pError), and a
// failed Read, Write, Seek or SetLength leaves the file as it was, reads 0 bytes, and
// records the cause (GetLastCause). Operations on a closed file fail that way too.
// Share modes are accepted and not enforced (Linux has no mandatory sharing locks).
//
// Replacing an existing file never loses its old content: modeCreate without modeNoTruncate
// over an existing regular file writes to a temporary file beside it (the target's owner,
// group and permissions already set), and the old content stays in place until a Close
// after successful writes renames the new file over it. A creating open closed without
// writes (create, close, open again, write) stays pending: later opens of the same file in
// this process see and continue the pending file, and it replaces the target at the Close
// of the next open for writing (written or not), or when the process ends. A write that fails (a full disk, a file size
// limit) makes the Close drop the pending file, so the target keeps its old content, and
// Close reports the failure. Devices, pipes and new files are written in place as before.
class CFile : public CObject {
public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,  // ignored: every file is binary here
    typeBinary = 0x8000
  };
  enum SeekPosition : UINT { begin = 0x0, current = 0x1, end = 0x2 };
  static const HANDLE hFileNull;

  CFile();
  // Opens at once; on failure the object stays closed (m_hFile == hFileNull).
  CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
  ~CFile() override;  // closes the file

  // Opens lpszFileName (closing any file open before). modeCreate creates the file,
  // emptying an existing one unless modeNoTruncate is given; without modeCreate the file
  // must exist. On failure returns FALSE and, when pError is given, fills it in.
  virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
  // Reads up to nCount bytes; returns how many were read (0 at the end of the file).
  virtual UINT Read(void* lpBuf, UINT nCount);
  virtual void Write(const void* lpBuf, UINT nCount);
  // Moves to lOff from nFrom; returns the new position (the old one when the move fails).
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
  void SeekToBegin();
  ULONGLONG SeekToEnd();
  virtual ULONGLONG GetPosition() const;
  virtual ULONGLONG GetLength() const;
  virtual void SetLength(ULONGLONG dwNewLen);
  virtual void Flush();
  virtual void Close();
  virtual void Abort();  // closes, ignoring errors

  CString GetFileName() const;  // the name after the last '\' or '/'
  CString GetFilePath() const;  // the name as given to Open
  // The cause (a CFileException value) of the last failed operation; none after success.
  int GetLastCause() const { return m_nLastCause; }

  HANDLE m_hFile;

private:
  bool Fail(int cause);
  bool PrepareFor(bool writing);
  bool EndStaged();

  // Set while this object writes a pending replacement of m_strStagedTarget (see above).
  std::string m_strStagedTarget;
  bool m_bStagedWritten = false;
  bool m_bStagedWriteFailed = false;

  CString m_strFileName;
  std::string m_strNativePath;  // UTF-8, as opened
  UINT m_nOpenFlags = 0;
  int m_nLastCause = CFileException::none;
  mutable int m_nLastOp = 0;  // 0 none, 1 read, 2 write: C streams need a seek between the two
};

#include "afxtempl.h"
#include "afxcoll.h"
#include "afxres.h"
