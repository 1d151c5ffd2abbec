// The Open and Save As dialogs: the path comes from the UI backend; the checks Windows'
// dialog makes (existing file, existing folder, overwrite) are made here.
#include <afxdlgs.h>
#include <contura/os/codepage.h>

#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>

#include "contura/afx/ui_backend.h"
#include "contura/os/paths.h"
#include "window_impl.h"

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)

CCommonDialog::CCommonDialog(CWnd* pParentWnd) : CDialog(static_cast<UINT>(0), pParentWnd) {}

IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

namespace {

// The messages of Windows' file dialogs (%s is the path).
const char* const kFileMissing = "%s\n找不到文件。\n请检查文件名是否正确，然后重试。";
const char* const kFolderMissing = "%s\n路径不存在。\n请检查路径是否正确，然后重试。";
const char* const kBadName = "%s\n文件名无效。";
const char* const kReplace = "%s 已存在。\n要替换它吗？";

// Byte offset just after the last '\' or '/' of a code page 936 path (0 when none).
int fileNameOffset(const CString& path) {
  int offset = 0;
  const std::string& s = path.str();
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (contura::os::isLeadByte(c) && i + 1 < s.size()) {
      ++i;
      continue;
    }
    if (c == '\\' || c == '/') offset = static_cast<int>(i) + 1;
  }
  return offset;
}

// Byte offset of the extension (after the last '.' of the file name), 0 when none.
int extensionOffset(const CString& path) {
  int name = fileNameOffset(path);
  int dot = -1;
  const std::string& s = path.str();
  for (size_t i = static_cast<size_t>(name); i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (contura::os::isLeadByte(c) && i + 1 < s.size()) {
      ++i;
      continue;
    }
    if (c == '.') dot = static_cast<int>(i);
  }
  return dot < 0 ? 0 : dot + 1;
}

std::vector<std::pair<std::string, std::string>> filterPairs(LPCSTR filter) {
  std::vector<std::pair<std::string, std::string>> pairs;
  if (!filter) return pairs;
  while (*filter) {
    std::string description = filter;
    filter += description.size() + 1;
    if (!*filter) break;
    std::string pattern = filter;
    filter += pattern.size() + 1;
    pairs.emplace_back(description, pattern);
  }
  return pairs;
}

bool tell(HWND owner, const char* format, const CString& path, const std::string& title, UINT type, int yes) {
  CString text;
  text.Format(format, path.GetString());
  return ::MessageBox(owner, text, title.c_str(), type) == yes;
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_ofn{}, m_bOpenFileDialog(bOpenFileDialog), m_szFileName{}, m_szFileTitle{} {
  m_ofn.lStructSize = sizeof(m_ofn);
  m_ofn.Flags = dwFlags | OFN_EXPLORER;
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = _MAX_PATH;
  m_ofn.lpstrFileTitle = m_szFileTitle;
  m_ofn.nMaxFileTitle = _MAX_PATH;
  if (lpszDefExt) {
    m_strDefExt = lpszDefExt;
    m_ofn.lpstrDefExt = m_strDefExt;
  }
  if (lpszFileName) contura::afx::detail::copyText(lpszFileName, m_szFileName, _MAX_PATH);
  if (lpszFilter) {
    // "Text|*.txt|All|*.*||" becomes zero-separated pairs.
    m_strFilter = lpszFilter;
    char* p = m_strFilter.GetBuffer(0);
    int n = m_strFilter.GetLength();
    for (int i = 0; i < n; ++i) {
      unsigned char c = static_cast<unsigned char>(p[i]);
      if (contura::os::isLeadByte(c) && i + 1 < n) {
        ++i;
        continue;
      }
      if (c == '|') p[i] = '\0';
    }
    m_strFilter.ReleaseBuffer(n);
    m_ofn.lpstrFilter = m_strFilter;
  }
}

INT_PTR CFileDialog::DoModal() {
  contura::afx::FileDialogRequest request;
  request.open = m_bOpenFileDialog;
  request.title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : (m_bOpenFileDialog ? "打开" : "另存为");
  request.initialName = m_ofn.lpstrFile ? m_ofn.lpstrFile : "";
  request.defaultExt = m_ofn.lpstrDefExt ? m_ofn.lpstrDefExt : "";
  request.filters = filterPairs(m_ofn.lpstrFilter);
  request.flags = m_ofn.Flags;
  HWND owner = AfxGetSafeHwnd(m_pParentWnd);
  if (!owner) {
    const std::vector<HWND> running = contura::afx::runningDialogs();
    owner = running.empty() ? contura::afx::mainWindow() : running.back();
  }
  request.owner = owner;

  bool reenable = ::IsWindowEnabled(owner);
  HWND focus = ::GetFocus();
  if (reenable) ::EnableWindow(owner, FALSE);
  INT_PTR result = IDCANCEL;
  for (;;) {
    std::optional<std::string> answer = contura::afx::uiBackend().chooseFile(request);
    if (!answer) break;
    if (answer->empty()) continue;
    CString path{std::string_view(*answer)};
    int ext = extensionOffset(path);
    if (ext == 0 && !request.defaultExt.empty() && fileNameOffset(path) < path.GetLength())
      path += CString(".") + request.defaultExt.c_str();

    std::filesystem::path native;
    try {
      native = contura::os::toNativePath(path.str());
    } catch (const std::exception&) {
      tell(owner, kBadName, path, request.title, MB_OK | MB_ICONWARNING, IDOK);
      continue;
    }
    std::error_code ec;
    bool exists = std::filesystem::exists(native, ec);
    if (std::filesystem::is_directory(native, ec) || fileNameOffset(path) >= path.GetLength() ||
        path.GetLength() >= static_cast<int>(m_ofn.nMaxFile)) {
      tell(owner, kBadName, path, request.title, MB_OK | MB_ICONWARNING, IDOK);
      continue;
    }
    if ((m_ofn.Flags & OFN_FILEMUSTEXIST) && !exists) {
      tell(owner, kFileMissing, path, request.title, MB_OK | MB_ICONWARNING, IDOK);
      continue;
    }
    std::filesystem::path folder = native.parent_path();
    if ((m_ofn.Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !folder.empty() &&
        !std::filesystem::is_directory(folder, ec)) {
      tell(owner, kFolderMissing, path, request.title, MB_OK | MB_ICONWARNING, IDOK);
      continue;
    }
    if (!m_bOpenFileDialog && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && exists &&
        !tell(owner, kReplace, path, request.title, MB_YESNO | MB_ICONWARNING, IDYES))
      continue;

    std::memcpy(m_ofn.lpstrFile, path.GetString(), static_cast<size_t>(path.GetLength()) + 1);
    m_ofn.nFileOffset = static_cast<WORD>(fileNameOffset(path));
    m_ofn.nFileExtension = static_cast<WORD>(extensionOffset(path));
    if (m_ofn.lpstrFileTitle)
      contura::afx::detail::copyText(path.Mid(m_ofn.nFileOffset).str(), m_ofn.lpstrFileTitle,
                                     static_cast<int>(m_ofn.nMaxFileTitle));
    result = IDOK;
    break;
  }
  if (reenable && IsWindow(owner)) ::EnableWindow(owner, TRUE);
  if (focus && IsWindow(focus) && ::IsWindowEnabled(focus)) ::SetFocus(focus);
  return result;
}

CString CFileDialog::GetPathName() const { return m_ofn.lpstrFile ? CString(m_ofn.lpstrFile) : CString(); }

CString CFileDialog::GetFileName() const {
  CString path = GetPathName();
  return path.Mid(fileNameOffset(path));
}

CString CFileDialog::GetFileExt() const {
  CString path = GetPathName();
  int ext = extensionOffset(path);
  return ext == 0 ? CString() : path.Mid(ext);
}

CString CFileDialog::GetFileTitle() const {
  CString path = GetPathName();
  int name = fileNameOffset(path);
  int ext = extensionOffset(path);
  return ext == 0 ? path.Mid(name) : path.Mid(name, ext - 1 - name);
}

CString CFileDialog::GetFolderPath() const {
  CString path = GetPathName();
  int name = fileNameOffset(path);
  return name == 0 ? CString() : path.Left(name - 1);
}

BOOL CFileDialog::GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
