// The database's drawing-file hook: readDwgFile and saveAs read and write DXF.
#include <contura/db/file_io.h>
#include <contura/dxf/dxf.h>
#include <contura/os/codepage.h>
#include <contura/os/paths.h>

#include <cctype>
#include <exception>
#include <filesystem>

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

// Drawings here are DXF files: a .dwg path (an external reference written on another system)
// is read from the DXF of the same name beside it. True with `path` changed when there is one;
// false with `message` when there is none.
bool dxfBesideDwg(std::string& path, std::string& message) {
  std::filesystem::path p(path);
  std::string ext = p.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext != ".dwg") return true;
  for (const char* candidate : {".dxf", ".DXF"}) {
    std::filesystem::path dxf = p;
    dxf.replace_extension(candidate);
    std::error_code ec;
    if (std::filesystem::is_regular_file(dxf, ec)) {
      path = dxf.string();
      return true;
    }
  }
  message = path + os::utf8Literal(u8": 无法读取 DWG 文件，旁边也没有同名的 DXF 文件");
  return false;
}

}  // namespace

void installDrawingFileIo() {
  db::setDrawingReader([](AcDbDatabase& db, const std::string& cp936Path, std::string& message) {
    std::string path;
    if (!nativePath(cp936Path, path, message)) return Acad::eFileNotFound;
    if (!dxfBesideDwg(path, message)) return Acad::eFileNotFound;
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
