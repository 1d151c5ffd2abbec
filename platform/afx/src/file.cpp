// CFile over C streams; file names are code page 936 and go through the drive map.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <mutex>
#include <system_error>

#include "afx.h"
#include "contura/os/file_replace.h"
#include "contura/os/paths.h"

namespace fs = std::filesystem;

const HANDLE CFile::hFileNull = nullptr;

namespace {

std::FILE* stream(HANDLE h) { return static_cast<std::FILE*>(h); }

enum LastOp { kNoOp = 0, kRead = 1, kWrite = 2 };

bool canRead(UINT flags) {
  UINT access = flags & 3;
  return access == CFile::modeRead || access == CFile::modeReadWrite;
}

bool canWrite(UINT flags) {
  UINT access = flags & 3;
  return access == CFile::modeWrite || access == CFile::modeReadWrite;
}

// The CFileException cause for a failed open of `path` with error number `err`.
int openCause(int err, const fs::path& path) {
  switch (err) {
    case ENOENT: {
      std::error_code ec;
      fs::path parent = path.parent_path();
      return (parent.empty() || fs::is_directory(parent, ec)) ? CFileException::fileNotFound
                                                                : CFileException::badPath;
    }
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return CFileException::badPath;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return CFileException::accessDenied;
    case EMFILE:
    case ENFILE: return CFileException::tooManyOpenFiles;
    case ENOSPC: return CFileException::diskFull;
    case EBUSY:
    case ETXTBSY: return CFileException::sharingViolation;
    default: return CFileException::genericException;
  }
}

void report(CFileException* pError, int cause, int err, LPCTSTR name) {
  if (!pError) return;
  pError->m_cause = cause;
  pError->m_lOsError = err;
  pError->m_strFileName = name;
}

// The pending replacements of this process, by final target. A pending replacement left
// when the process ends replaces its target then: the file was created as asked.
class PendingReplacements {
public:
  static PendingReplacements& instance() {
    static PendingReplacements pending;
    return pending;
  }
  ~PendingReplacements() {
    for (const auto& [target, staged] : byTarget_) contura::os::commitReplacement(staged);
  }
  std::optional<fs::path> temporaryOf(const std::string& target) {
    std::lock_guard lock(mutex_);
    auto it = byTarget_.find(target);
    if (it == byTarget_.end()) return std::nullopt;
    return it->second.temporary;
  }
  // Starts a new pending replacement of `target` (dropping an older one); false when the
  // target may not be replaced.
  bool stage(const std::string& target) {
    std::lock_guard lock(mutex_);
    dropLocked(target);
    contura::os::StagedReplacement staged;
    if (!contura::os::stageReplacement(target, staged).empty()) return false;
    byTarget_.emplace(target, std::move(staged));
    return true;
  }
  bool commit(const std::string& target) {
    std::lock_guard lock(mutex_);
    auto it = byTarget_.find(target);
    if (it == byTarget_.end()) return false;
    bool ok = contura::os::commitReplacement(it->second).empty();
    byTarget_.erase(it);
    return ok;
  }
  void drop(const std::string& target) {
    std::lock_guard lock(mutex_);
    dropLocked(target);
  }

private:
  void dropLocked(const std::string& target) {
    auto it = byTarget_.find(target);
    if (it == byTarget_.end()) return;
    contura::os::abandonReplacement(it->second);
    byTarget_.erase(it);
  }
  std::mutex mutex_;
  std::map<std::string, contura::os::StagedReplacement> byTarget_;
};

// The key of a file among pending replacements: where its links finally lead, absolute.
std::string finalTargetKey(const fs::path& path) {
  std::string error;
  fs::path target = contura::os::finalTarget(path, error);
  if (!error.empty()) return {};
  std::error_code ec;
  fs::path absolute = fs::absolute(target, ec);
  return ec ? std::string() : absolute.lexically_normal().string();
}

bool isRegularFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

}  // namespace

CFile::CFile() : m_hFile(hFileNull) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull) { Open(lpszFileName, nOpenFlags); }

CFile::~CFile() { Abort(); }

bool CFile::Fail(int cause) {
  m_nLastCause = cause;
  return false;
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  Close();
  m_strFileName = lpszFileName;
  m_nOpenFlags = nOpenFlags;
  m_nLastOp = kNoOp;
  m_strNativePath.clear();
  if ((nOpenFlags & 3) == 3 || !lpszFileName || !*lpszFileName) {
    // Access bits 3 name no access mode; an empty name names no file.
    int cause = (nOpenFlags & 3) == 3 ? CFileException::genericException : CFileException::badPath;
    report(pError, cause, -1, lpszFileName);
    return Fail(cause);
  }
  fs::path path;
  try {
    path = contura::os::toNativePath(lpszFileName);
  } catch (const std::exception&) {
    report(pError, CFileException::badPath, -1, lpszFileName);
    return Fail(CFileException::badPath);
  }
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    report(pError, CFileException::accessDenied, EISDIR, lpszFileName);
    return Fail(CFileException::accessDenied);
  }
  bool write = canWrite(nOpenFlags);
  bool create = (nOpenFlags & modeCreate) != 0;
  bool truncate = create && !(nOpenFlags & modeNoTruncate);
  // An existing regular file being emptied, or one with a pending replacement, is written
  // through the pending replacement (see the header).
  fs::path opened = path;
  std::string key = finalTargetKey(path);
  PendingReplacements& pending = PendingReplacements::instance();
  const bool staging = !key.empty() && truncate && isRegularFile(key);
  if (staging && !pending.stage(key)) {
    report(pError, CFileException::accessDenied, EACCES, lpszFileName);
    return Fail(CFileException::accessDenied);
  }
  if (std::optional<fs::path> temporary = key.empty() ? std::nullopt : pending.temporaryOf(key)) {
    opened = *temporary;
    m_strStagedTarget = key;
    // Opening a pending file again to write it means finishing it: its Close makes it the
    // target even when nothing more is written (an empty content is a content too).
    m_bStagedWritten = !staging && write;
    m_bStagedWriteFailed = false;
  }
  // Access is checked by Read and Write themselves, so a created file is always opened for
  // both; an existing one only as far as asked, so read-only files open for reading.
  // The "e" mode keeps the descriptor from leaking into child processes.
  errno = 0;
  std::FILE* f = std::fopen(opened.c_str(), truncate ? "w+be" : (write ? "r+be" : "rbe"));
  if (!f && create && !truncate && errno == ENOENT) f = std::fopen(path.c_str(), "w+be");
  if (!f) {
    int err = errno;
    m_strStagedTarget.clear();
    int cause = openCause(err, path);
    report(pError, cause, err, lpszFileName);
    return Fail(cause);
  }
  m_hFile = f;
  m_strNativePath = opened.string();
  m_nLastCause = CFileException::none;
  return TRUE;
}

// Checks that the file is open with the needed access and puts the stream in the state
// the next transfer needs (C streams require a flush or seek between reading and writing).
bool CFile::PrepareFor(bool writing) {
  if (m_hFile == hFileNull) return Fail(CFileException::invalidFile);
  if (writing ? !canWrite(m_nOpenFlags) : !canRead(m_nOpenFlags)) return Fail(CFileException::accessDenied);
  if (writing && m_nLastOp == kRead) std::fseek(stream(m_hFile), 0, SEEK_CUR);
  if (!writing && m_nLastOp == kWrite) std::fflush(stream(m_hFile));
  m_nLastOp = writing ? kWrite : kRead;
  return true;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (!lpBuf || nCount == 0) return 0;
  if (!PrepareFor(false)) return 0;
  std::FILE* f = stream(m_hFile);
  std::size_t n = std::fread(lpBuf, 1, nCount, f);
  bool failed = std::ferror(f) != 0;
  std::clearerr(f);  // the end of the file is no error; later writes must not see it
  m_nLastCause = failed ? CFileException::hardIO : CFileException::none;
  return static_cast<UINT>(n);
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (!lpBuf || nCount == 0) return;
  if (!PrepareFor(true)) return;
  std::FILE* f = stream(m_hFile);
  errno = 0;
  std::size_t n = std::fwrite(lpBuf, 1, nCount, f);
  // A pending replacement is flushed at once, so that a full disk shows at this Write.
  if (n == nCount && !m_strStagedTarget.empty() && std::fflush(f) != 0) n = 0;
  int err = errno;
  std::clearerr(f);
  if (!m_strStagedTarget.empty()) {
    m_bStagedWritten = true;
    m_bStagedWriteFailed = m_bStagedWriteFailed || n < nCount;
  }
  if (n < nCount) Fail(err == ENOSPC ? CFileException::diskFull : CFileException::hardIO);
  else m_nLastCause = CFileException::none;
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  if (m_hFile == hFileNull) {
    Fail(CFileException::invalidFile);
    return 0;
  }
  int whence = nFrom == begin ? SEEK_SET : nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : -1;
  if (whence < 0 || std::fseek(stream(m_hFile), static_cast<long>(lOff), whence) != 0) {
    Fail(CFileException::badSeek);
    return GetPosition();
  }
  m_nLastOp = kNoOp;
  m_nLastCause = CFileException::none;
  return GetPosition();
}

void CFile::SeekToBegin() { Seek(0, begin); }
ULONGLONG CFile::SeekToEnd() { return Seek(0, end); }

ULONGLONG CFile::GetPosition() const {
  if (m_hFile == hFileNull) return 0;
  long pos = std::ftell(stream(m_hFile));
  return pos < 0 ? 0 : static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const {
  if (m_hFile == hFileNull) return 0;
  std::FILE* f = stream(m_hFile);
  long pos = std::ftell(f);
  if (pos < 0 || std::fseek(f, 0, SEEK_END) != 0) return 0;
  long length = std::ftell(f);
  std::fseek(f, pos, SEEK_SET);
  m_nLastOp = kNoOp;
  return length < 0 ? 0 : static_cast<ULONGLONG>(length);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
  if (m_hFile == hFileNull) {
    Fail(CFileException::invalidFile);
    return;
  }
  if (!canWrite(m_nOpenFlags)) {
    Fail(CFileException::accessDenied);
    return;
  }
  std::fflush(stream(m_hFile));
  std::error_code ec;
  fs::resize_file(m_strNativePath, dwNewLen, ec);
  if (!m_strStagedTarget.empty()) {
    m_bStagedWritten = true;
    m_bStagedWriteFailed = m_bStagedWriteFailed || ec;
  }
  if (ec) Fail(ec.value() == ENOSPC ? CFileException::diskFull : CFileException::hardIO);
  else m_nLastCause = CFileException::none;
}

void CFile::Flush() {
  if (m_hFile == hFileNull) return;
  if (std::fflush(stream(m_hFile)) != 0) Fail(CFileException::hardIO);
}

void CFile::Close() {
  if (m_hFile == hFileNull) return;
  int result = std::fclose(stream(m_hFile));
  m_hFile = hFileNull;
  m_nLastOp = kNoOp;
  if (result != 0) m_bStagedWriteFailed = true;
  bool ended = EndStaged();
  if (result != 0 || !ended) Fail(CFileException::hardIO);
}

void CFile::Abort() {
  if (m_hFile == hFileNull) return;
  if (std::fclose(stream(m_hFile)) != 0) m_bStagedWriteFailed = true;
  m_hFile = hFileNull;
  m_nLastOp = kNoOp;
  EndStaged();
}

// After the stream of a pending replacement is closed: a failed write drops it (the target
// keeps its old content), successful writes make it the target, no writes leave it pending.
// False when the replacement was dropped or could not be made.
bool CFile::EndStaged() {
  if (m_strStagedTarget.empty()) return true;
  std::string target = std::move(m_strStagedTarget);
  m_strStagedTarget.clear();
  PendingReplacements& pending = PendingReplacements::instance();
  if (m_bStagedWriteFailed) {
    pending.drop(target);
    return false;
  }
  return !m_bStagedWritten || pending.commit(target);
}

CString CFile::GetFileName() const {
  int slash = std::max(m_strFileName.ReverseFind('\\'), m_strFileName.ReverseFind('/'));
  return m_strFileName.Mid(slash + 1);
}

CString CFile::GetFilePath() const { return m_strFileName; }
