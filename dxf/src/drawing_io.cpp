// The database's drawing-file hook: readDwgFile and saveAs read and write DXF.
#include <contura/db/file_io.h>
#include <contura/dxf/dxf.h>
#include <contura/os/codepage.h>
#include <contura/os/paths.h>

#include <exception>

namespace contura::dxf {

namespace {

// A code page 936 path as the module gives it (Windows paths through the drive map) as the
// UTF-8 path of this system; false with `message` when it cannot be mapped.
bool nativePath(const std::string& cp936Path, std::string& path, std::string& message) {
  try {
    path = os::toNativePath(cp936Path).string();
    return true;
  } catch (const std::exception& e) {
    message = e.what();
    return false;
  }
}

}  // namespace

void installDrawingFileIo() {
  db::setDrawingReader([](AcDbDatabase& db, const std::string& cp936Path, std::string& message) {
    std::string path;
    if (!nativePath(cp936Path, path, message)) return Acad::eFileNotFound;
    DxfError error;
    Acad::ErrorStatus es = readDxf(path, db, error);
    message = es == Acad::eOk ? std::string() : path + ": " + error.text();
    return es;
  });
  db::setDrawingWriter([](AcDbDatabase& db, const std::string& cp936Path, std::string& message) {
    std::string path;
    if (!nativePath(cp936Path, path, message)) return Acad::eFileAccessErr;
    DxfError error;
    WriteWarnings warnings;
    Acad::ErrorStatus es = writeDxf(db, path, WriteOptions(), error, &warnings);
    message = es == Acad::eOk ? std::string() : error.text();
    for (const auto& [text, count] : warnings) {
      message += (message.empty() ? "" : "\n") + text + " (" + std::to_string(count) + ")";
    }
    return es;
  });
}

}  // namespace contura::dxf
