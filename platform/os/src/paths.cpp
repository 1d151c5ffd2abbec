// The drive map and the mapping of Windows paths to native paths, matched as Windows would.
#include "contura/os/paths.h"

#include "contura/os/codepage.h"

#include <locale.h>
#include <pwd.h>
#include <unistd.h>
#include <wctype.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace contura::os {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kPasswdBufferBytes = 16384;

bool isSeparator(char c) { return c == '\\' || c == '/'; }
bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char toUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char toLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
int driveIndex(char letter) { return toUpperAscii(letter) - 'A'; }

std::optional<fs::path> homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home);
  passwd pw{};
  passwd* found = nullptr;
  std::vector<char> buffer(kPasswdBufferBytes);
  if (getpwuid_r(getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && *found->pw_dir)
    return fs::path(found->pw_dir);
  return std::nullopt;
}

// --- Case-insensitive comparison of UTF-8 file names -------------------------------------

// The UTF-8 locale used for Unicode case mapping; null when the C library lacks it, in which
// case only ASCII letters are folded.
locale_t utf8Locale() {
  static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return loc;
}

// Decodes one code point at s[i] and advances i. Bytes that do not form UTF-8 decode to
// distinct values above the Unicode range, so they compare only with themselves.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
  constexpr char32_t kRawByteBase = 0x110000;
  auto b0 = static_cast<unsigned char>(s[i]);
  std::size_t len = b0 < 0x80 ? 1 : (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || i + len > s.size()) {
    ++i;
    return kRawByteBase + b0;
  }
  char32_t cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
  for (std::size_t k = 1; k < len; ++k) {
    auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return kRawByteBase + b0;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  i += len;
  return cp;
}

char32_t foldCase(char32_t c) {
  if (c < 0x80) return static_cast<char32_t>(toUpperAscii(static_cast<char>(c)));
  locale_t loc = utf8Locale();
  if (!loc || c >= 0x110000) return c;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), loc));
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
    if (foldCase(nextCodePoint(a, i)) != foldCase(nextCodePoint(b, j))) return false;
  return i == a.size() && j == b.size();
}

// --- Windows path pieces -----------------------------------------------------------------

std::vector<std::string> splitComponents(std::string_view rest) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = start;
    while (end < rest.size() && !isSeparator(rest[end])) ++end;
    std::string_view part = rest.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();  // ".." at the drive root stays at the root
    } else if (!part.empty() && part != ".") {
      parts.emplace_back(part);
    }
    start = end + 1;
  }
  return parts;
}

// The on-disk name in `dir` that stands for `name`: exact match, else the first entry (in
// byte order) equal ignoring case; nothing when neither exists or `dir` cannot be read.
std::optional<std::string> findEntry(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(dir / name, ec))) return name;
  std::optional<std::string> best;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (equalIgnoringCase(entry, name) && (!best || entry < *best)) best = std::move(entry);
  }
  return best;
}

fs::path resolveOnDrive(const fs::path& root, std::string_view rest) {
  fs::path result = root;
  bool onDisk = true;
  for (const std::string& part : splitComponents(rest)) {
    std::optional<std::string> entry;
    if (onDisk) entry = findEntry(result, part);
    onDisk = entry.has_value();
    result /= entry ? *entry : part;
  }
  return result;
}

std::string trimmed(std::string_view s) {
  auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  auto last = s.find_last_not_of(" \t");
  return std::string(s.substr(first, last - first + 1));
}

constexpr const char* kDriveForm = "write X=DIR, for example E=/srv/contura/e";

}  // namespace

// --- DriveMap ------------------------------------------------------------------------------

void DriveMap::map(char letter, fs::path dir) {
  if (!isAsciiLetter(letter))
    throw std::invalid_argument(std::string("not a drive letter: '") + letter + "'");
  fs::path absolute = fs::absolute(dir);
  std::lock_guard lock(mutex_);
  dirs_[driveIndex(letter)] = std::move(absolute);
}

void DriveMap::unmap(char letter) {
  if (!isAsciiLetter(letter)) return;
  std::lock_guard lock(mutex_);
  dirs_[driveIndex(letter)].reset();
}

void DriveMap::clear() {
  std::lock_guard lock(mutex_);
  for (auto& dir : dirs_) dir.reset();
}

std::optional<fs::path> DriveMap::dirOf(char letter) const {
  if (!isAsciiLetter(letter)) return std::nullopt;
  {
    std::lock_guard lock(mutex_);
    if (const auto& dir = dirs_[driveIndex(letter)]) return dir;
  }
  return defaultDirOf(letter);
}

std::optional<fs::path> DriveMap::defaultDirOf(char letter) {
  if (!isAsciiLetter(letter)) return std::nullopt;
  std::optional<fs::path> data = userDataFolder();
  if (!data) return std::nullopt;
  return *data / "drives" / std::string(1, toLowerAscii(letter));
}

std::optional<fs::path> userDataFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  // The base directory rules ignore a relative XDG_DATA_HOME.
  if (xdg && *xdg && fs::path(xdg).is_absolute()) return fs::path(xdg) / "contura";
  if (auto home = homeFolder()) return *home / ".local" / "share" / "contura";
  return std::nullopt;
}

DriveMap& driveMap() {
  static DriveMap map;
  return map;
}

// --- Paths -----------------------------------------------------------------------------------

fs::path toNativePath(std::string_view cp936Path, const DriveMap& drives) {
  std::string path = cp936ToUtf8(cp936Path);
  if (path.empty()) throw PathError("empty path");
  if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]) &&
      path.find('\\') != std::string::npos)
    throw PathError("network path " + path +
                    " is not supported: map a drive letter to the share's folder with "
                    "--drive X=DIR and use X:\\...");
  if (path.size() >= 2 && isAsciiLetter(path[0]) && path[1] == ':') {
    auto root = drives.dirOf(path[0]);
    if (!root)
      throw PathError(std::string("no folder for drive ") + toUpperAscii(path[0]) + ": in " +
                      path + " (set HOME or XDG_DATA_HOME, or map it with --drive " +
                      toUpperAscii(path[0]) + "=DIR)");
    return resolveOnDrive(*root, std::string_view(path).substr(2));
  }
  if (path[0] == '\\')
    throw PathError("path " + path +
                    " is rooted on the current Windows drive, which does not exist here: "
                    "give a drive letter (X:\\...)");
  if (path[0] == '/') return fs::path(path);
  std::replace(path.begin(), path.end(), '\\', '/');
  return fs::path(path);
}

fs::path toNativePath(std::string_view cp936Path) { return toNativePath(cp936Path, driveMap()); }

std::optional<DriveOption> parseDriveOption(std::string_view value, std::string& error) {
  const std::string shown(value);
  auto eq = value.find('=');
  if (eq == std::string_view::npos) {
    error = "drive value '" + shown + "' has no '=': " + kDriveForm;
    return std::nullopt;
  }
  std::string letter = trimmed(value.substr(0, eq));
  if (letter.size() == 2 && letter[1] == ':') letter.pop_back();
  if (letter.size() != 1 || !isAsciiLetter(letter[0])) {
    error = "drive value '" + shown + "': '" + letter + "' is not a drive letter A to Z; " +
            kDriveForm;
    return std::nullopt;
  }
  std::string_view dir = value.substr(eq + 1);
  if (trimmed(dir).empty()) {
    error = "drive value '" + shown + "' gives no folder for drive " + toUpperAscii(letter[0]) +
            ": " + kDriveForm;
    return std::nullopt;
  }
  std::error_code ec;
  fs::path absolute = fs::absolute(fs::path(dir), ec);
  if (ec) {
    error = "drive value '" + shown + "': cannot make the folder absolute (" + ec.message() + ")";
    return std::nullopt;
  }
  return DriveOption{toUpperAscii(letter[0]), absolute};
}

}  // namespace contura::os
