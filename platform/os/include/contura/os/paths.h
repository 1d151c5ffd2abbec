// Windows drive letters and paths on Linux: the drive map and the mapping to native paths.
#pragma once
#include <array>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace contura::os {

// A Windows path that has no meaning on this system (UNC share, path rooted on the current
// drive, empty path, drive without a folder). what() is UTF-8 text a person can act on.
class PathError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Where each Windows drive letter lives. Letters are case-insensitive ('e' is drive E:).
// A letter without an explicit mapping lives in its default folder (defaultDirOf).
// All members are safe to call from several threads at once.
class DriveMap {
public:
  // Maps drive `letter` to folder `dir` (made absolute against the current folder; it need
  // not exist yet). Throws std::invalid_argument when `letter` is not A-Z or a-z.
  void map(char letter, std::filesystem::path dir);
  // Returns drive `letter` to its default folder. Other letters are ignored.
  void unmap(char letter);
  // Removes every explicit mapping.
  void clear();

  // The folder of drive `letter`: its explicit mapping, else its default folder.
  // Empty when `letter` is not a letter, or when no default can be formed (see defaultDirOf).
  std::optional<std::filesystem::path> dirOf(char letter) const;

  // The default folder of drive `letter`, read from the environment at each call:
  // ${XDG_DATA_HOME}/contura/drives/<lower-case letter> when XDG_DATA_HOME is an absolute
  // path, else ${HOME}/.local/share/contura/drives/<letter> (HOME from the environment or,
  // when unset, the password database). Empty when `letter` is not a letter or no home
  // folder is known.
  static std::optional<std::filesystem::path> defaultDirOf(char letter);

private:
  mutable std::mutex mutex_;
  std::array<std::optional<std::filesystem::path>, 26> dirs_;
};

// The program's folder for a user's own data (the default drives, the command history):
// ${XDG_DATA_HOME}/contura when XDG_DATA_HOME is an absolute path, else
// ${HOME}/.local/share/contura (HOME from the environment or, when unset, the password
// database). Read from the environment at each call; empty when no home folder is known.
std::optional<std::filesystem::path> userDataFolder();

// The drive map of this process (the host fills it from its --drive options).
DriveMap& driveMap();

// Maps a Windows or Linux path held as code page 936 bytes to a native (UTF-8) path.
//
// Rules, in order (separators are '\' and '/'; the text is converted to UTF-8 first, so a
// CP936 trail byte equal to '\' never splits a character):
// 1. Empty text: PathError.
// 2. Two separators at the start of a path that has a '\' anywhere (\\server\share,
//    //server\share, \\?\..., \\.\...): PathError; UNC shares are not mapped, map a drive
//    letter instead.
// 3. A drive letter and ':' at the start ("E:\a\b", "e:/a/b", "E:a", "E:"): the rest is
//    taken from the root of the drive's folder. Components "." and empty ones are dropped,
//    ".." removes the previous component and stops at the drive root, as Windows does.
//    Each component is then matched against the folder as it exists on disk: an entry with
//    exactly that name wins; else an entry whose name is equal ignoring letter case (letters
//    compared by their Unicode upper case; of several such entries the first in byte order);
//    else, and for every component after a missing one, the component as written.
// 4. A single '\' at the start ("\a\b", rooted on Windows' current drive): PathError, since
//    there is no current drive here.
// 5. A path starting with '/' is a Linux path and is returned as it is.
// 6. Any other path is relative and written Windows-style: every '\' becomes '/'. (A Linux
//    relative path whose file names contain '\' can therefore not be given here.)
std::filesystem::path toNativePath(std::string_view cp936Path, const DriveMap& drives);
std::filesystem::path toNativePath(std::string_view cp936Path);  // with driveMap()

// One value of the host option --drive: "X=DIR" (also "X:=DIR"), X a letter in either case,
// DIR a non-empty folder path in UTF-8 (made absolute; it need not exist yet).
struct DriveOption {
  char letter;  // upper case
  std::filesystem::path dir;
};

// Parses an option value. On failure returns nothing and sets `error` to one sentence that
// names the bad value and shows the expected form.
std::optional<DriveOption> parseDriveOption(std::string_view value, std::string& error);

}  // namespace contura::os
