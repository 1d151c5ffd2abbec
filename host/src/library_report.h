// The option --library-report: the section library as a catalogue, a CSV table of every
// section's area properties and one self-contained HTML page of cards with pictures.
#pragma once
#include <VistrelSectionProperties.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace contura::host {

// Where the module looks for its library; a Windows path, resolved through the drive map.
inline constexpr const char* kModuleLibraryPath = "E:\\_Velmora\\vlmr\\Support\\SectionLib.mdb";

// One row of the library with its measures. Texts are UTF-8; the section text stays code
// page 936 as stored.
struct ReportEntry {
  long id = 0, category = 0, code = 0;
  std::string name, remark, sectionText;
  vistrel::SectionProperties props;
  int skippedRecords = 0;  // records of the text that could not be read
};

// Reads every row of table SectionInfo of `library` (a Windows path through the drive map or
// a Linux path, code page 936) and measures each section; the rows come grouped by category,
// sorted by code, then by id. False with `error` (UTF-8) when the library cannot be read.
// `progress` is told of every measured row (done, total).
bool readReportEntries(const std::string& library, std::vector<ReportEntry>& entries, std::string& error,
                       const std::function<void(std::size_t, std::size_t)>& progress = {});

// The first line of a remark (without its line end).
std::string firstLine(const std::string& text);

// The CSV table: a header row, then one row per entry in order (id, category, code, name,
// remark's first line, area, perimeter, centroid x and y, Ix, Iy, Ixy, I1, I2, angle);
// numbers with 17 significant digits, read back exactly; the measures of a section that
// could not be measured are left empty. Fields holding a comma, quote or line end are quoted.
std::string reportCsv(const std::vector<ReportEntry>& entries);

// The HTML page: every entry as a card (picture, name, code, remark, measures with units, or
// why the section could not be measured) under a heading per category, and a search box that
// hides the cards whose name, code and remark do not contain what is typed.
std::string reportHtml(const std::vector<ReportEntry>& entries, const std::string& library);

// Writes OUT.csv and OUT.html for `library` (kModuleLibraryPath when empty), with a progress
// line on `err` for big libraries. Reports what it wrote on `out`, or one line naming the
// cause on `err`; true on success.
bool writeLibraryReport(const std::string& out, const std::string& library, std::ostream& outStream,
                        std::ostream& err);

}  // namespace contura::host
