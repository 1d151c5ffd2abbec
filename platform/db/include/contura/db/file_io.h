// The hook through which the database reads and writes drawing files without depending on
// the drawing-file layer: the program (or that layer) installs a reader and a writer.
#pragma once
#include <dbmain.h>

#include <functional>
#include <string>

namespace contura::db {

// A reader fills an empty database from the file (path in code page 936, as the caller gave
// it: Windows paths are the reader's to map) and returns eOk or the failure status with a
// message a person can act on (UTF-8). A writer writes the database to the file.
using DrawingReader =
    std::function<Acad::ErrorStatus(AcDbDatabase& db, const std::string& path, std::string& message)>;
using DrawingWriter =
    std::function<Acad::ErrorStatus(AcDbDatabase& db, const std::string& path, std::string& message)>;

// Installs (or, with an empty function, removes) the reader / writer for the whole process.
void setDrawingReader(DrawingReader reader);
void setDrawingWriter(DrawingWriter writer);
bool hasDrawingReader();
bool hasDrawingWriter();

// The message of the last readDwgFile / saveAs on this database ("" after success).
const std::string& lastFileMessage(const AcDbDatabase& db);

}  // namespace contura::db
