// The command-line options of the program `contura`.
#pragma once
#include <contura/dxf/codec.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace contura::host {

struct DriveMapping {
  char letter;  // upper case
  std::filesystem::path dir;
};

struct Options {
  std::optional<std::string> script;           // --script FILE, "-" for standard input
  std::vector<DriveMapping> drives;            // --drive X=DIR, in the order given
  std::optional<std::filesystem::path> drawing;  // DRAWING.dxf
  std::optional<std::filesystem::path> save;     // --save FILE
  dxf::DxfVersion saveVersion = dxf::kDefaultWriteVersion;  // --dxf-version VER
  std::optional<std::string> readCodePage;     // --dxf-encoding CP
  std::optional<std::filesystem::path> previewDir;  // --preview-dir DIR
  std::optional<double> pickbox;               // --pickbox N (positive)
  bool gui = false;                            // --gui
  std::optional<std::string> newLibrary;       // --new-library FILE|ADDRESS
  std::optional<std::string> libraryReport;    // --library-report OUT (OUT.csv, OUT.html)
  std::optional<std::string> library;          // --library FILE|ADDRESS
  std::vector<std::string> copyLibrary;        // --copy-library FROM TO (both, or none)
  std::vector<std::filesystem::path> modules;  // --load MODULE, in the order given
  std::vector<std::filesystem::path> fonts;    // --fonts DIR, in the order given
  bool help = false;                           // --help
  bool version = false;                        // --version
};

struct ParseResult {
  Options options;
  std::string error;  // empty on success; else one line naming the bad argument
  bool ok() const { return error.empty(); }
};

// Parses the arguments after the program name. Options take their value as the next
// argument or after '=' (--script=FILE); "--" ends the options; one positional argument (the
// drawing) is allowed.
ParseResult parseOptions(const std::vector<std::string>& args);

// The usage text of --help (UTF-8, several lines, ends with a line feed); `withWindow`: this
// build has the window of --gui.
std::string usageText(bool withWindow = false);

// The options that are recognised but whose feature this build does not have yet; each entry
// is the option as the user wrote it ("--gui", "DRAWING.dxf" for a drawing).
std::vector<std::string> unavailableOptions(const Options& options);

// The folders where the database's findFile looks for relative names (fonts of text styles,
// patterns, external references) after the drawing's folder and the current folder, in
// order: each --fonts DIR, each folder of the environment variable CONTURA_FONTS (a list
// separated by ':'; empty entries are passed over), then the module's support folder
// ("E:\_Velmora\vlmr\Support" through the drive map) when the map can place it.
std::vector<std::filesystem::path> supportFolders(const Options& options, const char* fontsVariable);

}  // namespace contura::host
