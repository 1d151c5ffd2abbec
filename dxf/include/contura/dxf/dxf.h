// Drawing files: reading a DXF file into a drawing database and writing one out.
// Platform-internal: the host program and tests use it; the database reaches it through the
// reader and writer installed with installDrawingFileIo().
#pragma once
#include <contura/dxf/codec.h>
#include <contura/dxf/error.h>
#include <contura/dxf/read_report.h>

#include <dbmain.h>

#include <map>
#include <string>

namespace contura::dxf {

// Reads an ASCII DXF file (R12 to R2018) into `db`, which must be empty (constructed without
// the default drawing). Objects keep the file's handles; what the database does not model is
// kept as raw tags and written back by writeDxf. Tables and objects the file lacks are
// completed as in a default drawing. On failure returns the status (eFileNotFound,
// eDwgNotRecoverable for a malformed file) with `error` naming the line, and `db` holds a
// partial drawing that the caller discards: read into a new database and keep the old one
// until this succeeds. `report`, when given, receives what the read converted, kept raw or
// made up for (see read_report.h); on failure it holds what was seen up to the error.
Acad::ErrorStatus readDxf(const std::string& path, AcDbDatabase& db, DxfError& error,
                          ReadReport* report = nullptr);
// The same from the text of a file already in memory.
Acad::ErrorStatus readDxfText(std::string text, AcDbDatabase& db, DxfError& error,
                              ReadReport* report = nullptr);

// The code page every drawing read from now on is taken to be in, whatever the file says or
// its texts look like ("ANSI_936", "ANSI_1252", "UTF-8"... as $DWGCODEPAGE names them); empty
// restores the usual rule (the file's $DWGCODEPAGE, UTF-8 from R2007, and for files that name
// none or ANSI_1252 the encoding their texts are in). False, with nothing changed, for a code
// page this system cannot convert. For the whole process, as the person's choice is.
bool setReadCodePage(const std::string& codePage);

struct WriteOptions {
  DxfVersion version = kDefaultWriteVersion;
  // $DWGCODEPAGE written before R2007 (and the encoding of the file's text); later versions
  // are UTF-8 whatever this says.
  std::string codePage = kDefaultCodePage;
};

// Things the version asked for cannot hold, each with the number of times it happened
// ("R2000 has no true colours; the nearest colour index is written": 3).
using WriteWarnings = std::map<std::string, int>;

// Writes `db` as DXF to `path` through a temporary file in the same folder, renamed over
// `path` only when everything is written, so a failed save leaves the old file whole.
// R13 and R14 are not written (eInvalidDwgVersion). `db` is only read.
Acad::ErrorStatus writeDxf(AcDbDatabase& db, const std::string& path, const WriteOptions& options,
                           DxfError& error, WriteWarnings* warnings = nullptr);
// The DXF text writeDxf would write.
Acad::ErrorStatus writeDxfText(AcDbDatabase& db, std::string& text, const WriteOptions& options,
                               DxfError& error, WriteWarnings* warnings = nullptr);

// Installs readDxf and writeDxf (R2004, ANSI_936) as the database's drawing reader and
// writer, so AcDbDatabase::readDwgFile and saveAs use them. Paths given to them are code
// page 936; Windows paths go through the drive map.
void installDrawingFileIo();

// For `contura --help`: "reads DXF R12 to R2018; writes R12, R2000, R2004 (default), ...".
std::string supportedVersionsText();

}  // namespace contura::dxf
