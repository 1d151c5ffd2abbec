// Atomic replacement of a file's content: target checks, the temporary file beside it, its
// attributes, the rename and the syncs.
#include "contura/os/file_replace.h"

#include "contura/os/codepage.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace contura::os {
namespace fs = std::filesystem;

namespace {

// Longest chain of symbolic links followed, as the kernel's own limit for path lookups.
constexpr int kMaxLinkChain = 40;

constexpr std::string_view kTempSuffix = ".contura-tmp";

// Messages are UTF-8 (see utf8Literal).
std::string T(std::u8string_view text) { return utf8Literal(text); }

std::string quoted(const fs::path& p) { return T(u8"“") + p.string() + T(u8"”"); }

// The file as the person named it, and where its links lead when that is elsewhere.
std::string named(const fs::path& requested, const fs::path& target) {
  return requested == target ? quoted(requested) : quoted(requested) + T(u8"（指向 ") + quoted(target) + T(u8"）");
}

std::string systemError(int err) { return std::strerror(err); }

// ".NAME.PID.contura-tmp" beside the target.
fs::path temporaryPath(const fs::path& target, pid_t pid) {
  return target.parent_path() / ("." + target.filename().string() + "." + std::to_string(pid) + std::string(kTempSuffix));
}

// The process id in the name of a temporary file of `target`, when `name` is one.
std::optional<pid_t> writerOf(const std::string& name, const fs::path& target) {
  std::string prefix = "." + target.filename().string() + ".";
  if (name.size() <= prefix.size() + kTempSuffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - kTempSuffix.size(), kTempSuffix.size(), kTempSuffix) != 0)
    return std::nullopt;
  std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - kTempSuffix.size());
  if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return static_cast<pid_t>(std::stol(digits));
}

bool processRuns(pid_t pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

// Removes the temporary files of `target` whose writer is gone (a save killed half-way).
void removeAbandonedTemporaries(const fs::path& target) {
  std::error_code ec;
  fs::directory_iterator it(target.parent_path().empty() ? fs::path(".") : target.parent_path(), ec);
  if (ec) return;
  for (const fs::directory_entry& entry : it) {
    std::optional<pid_t> writer = writerOf(entry.path().filename().string(), target);
    if (writer && !processRuns(*writer)) fs::remove(entry.path(), ec);
  }
}

bool writeAll(int fd, std::string_view text) {
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

mode_t newFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void syncFolder(const fs::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Why an existing target may not be replaced; empty when it may.
std::string refusalOf(const fs::path& requested, const fs::path& target, const struct stat& st) {
  std::string name = named(requested, target);
  if (S_ISDIR(st.st_mode)) return name + T(u8" 是文件夹，不是图形文件，未保存。");
  if (!S_ISREG(st.st_mode)) return name + T(u8" 不是普通文件（设备、管道或套接字），未保存。");
  if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) return name + T(u8" 文件只读，未保存。");
  return {};
}

}  // namespace

fs::path finalTarget(const fs::path& path, std::string& error) {
  error.clear();
  fs::path current = path;
  for (int step = 0; step <= kMaxLinkChain; ++step) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(current, ec))) return current;
    fs::path next = fs::read_symlink(current, ec);
    if (ec) {
      error = T(u8"无法读取链接 ") + quoted(current) + T(u8"：") + ec.message();
      return {};
    }
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  error = quoted(path) + T(u8" 的符号链接过多或成环。");
  return {};
}

std::string stageReplacement(const fs::path& requested, StagedReplacement& staged) {
  std::string error;
  fs::path target = finalTarget(requested, error);
  if (!error.empty()) return error + T(u8"未保存。");

  struct stat old {};
  bool exists = ::stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return T(u8"无法访问 ") + named(requested, target) + T(u8"：") + systemError(errno);
  if (exists) {
    std::string refusal = refusalOf(requested, target, old);
    if (!refusal.empty()) return refusal;
  }

  removeAbandonedTemporaries(target);
  fs::path temp = temporaryPath(target, ::getpid());
  ::unlink(temp.c_str());  // this process's own leftover, if any
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    return T(u8"无法在文件夹 ") + quoted(folder) + T(u8" 中写入 ") + named(requested, target) + T(u8"：") + systemError(errno);
  }
  if (exists) {
    // Only a superuser may give the file away; anyone else keeps what the kernel allows.
    // Owner first: a change of owner clears the set-id bits that the mode then restores.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)!::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  }
  bool ok = ::fchmod(fd, exists ? (old.st_mode & 07777) : newFileMode()) == 0;
  int err = errno;
  ::close(fd);
  if (!ok) {
    ::unlink(temp.c_str());
    return T(u8"无法保存 ") + named(requested, target) + T(u8"：") + systemError(err) + T(u8"；原文件未改动。");
  }
  staged = {target, temp};
  return {};
}

std::string commitReplacement(const StagedReplacement& staged) {
  int fd = ::open(staged.temporary.c_str(), O_RDONLY | O_CLOEXEC);
  bool ok = fd >= 0 && ::fsync(fd) == 0;
  int err = errno;
  if (fd >= 0) ::close(fd);
  if (ok && ::rename(staged.temporary.c_str(), staged.target.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(staged.temporary.c_str());
    return T(u8"无法保存 ") + quoted(staged.target) + T(u8"：") + systemError(err) + T(u8"；原文件未改动。");
  }
  syncFolder(staged.target.parent_path());
  return {};
}

void abandonReplacement(const StagedReplacement& staged) { ::unlink(staged.temporary.c_str()); }

std::string replaceFile(const fs::path& requested, std::string_view content) {
  StagedReplacement staged;
  std::string error = stageReplacement(requested, staged);
  if (!error.empty()) return error;
  int fd = ::open(staged.temporary.c_str(), O_WRONLY | O_CLOEXEC);
  bool ok = fd >= 0 && writeAll(fd, content);
  int err = errno;
  if (fd >= 0 && ::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    abandonReplacement(staged);
    return T(u8"无法保存 ") + named(requested, staged.target) + T(u8"：") + systemError(err) + T(u8"；原文件未改动。");
  }
  return commitReplacement(staged);
}

}  // namespace contura::os
