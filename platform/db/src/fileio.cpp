// Reading and writing drawing files through the reader and writer the program installs.
#include "internal.h"

#include <contura/db/file_io.h>

#include <mutex>

using contura::db::ObjectAccess;

namespace contura::db {

namespace {
struct FileHooks {
  std::mutex mutex;
  DrawingReader reader;
  DrawingWriter writer;
};
FileHooks& hooks() {
  static FileHooks h;
  return h;
}
}  // namespace

void setDrawingReader(DrawingReader reader) {
  std::lock_guard<std::mutex> lock(hooks().mutex);
  hooks().reader = std::move(reader);
}
void setDrawingWriter(DrawingWriter writer) {
  std::lock_guard<std::mutex> lock(hooks().mutex);
  hooks().writer = std::move(writer);
}
bool hasDrawingReader() {
  std::lock_guard<std::mutex> lock(hooks().mutex);
  return static_cast<bool>(hooks().reader);
}
bool hasDrawingWriter() {
  std::lock_guard<std::mutex> lock(hooks().mutex);
  return static_cast<bool>(hooks().writer);
}

const std::string& lastFileMessage(const AcDbDatabase& db) { return ObjectAccess::impl(db).lastFileMessage; }

}  // namespace contura::db

Acad::ErrorStatus AcDbDatabase::readDwgFile(const ACHAR* fileName, int, bool, const wchar_t*) {
  mImpl->lastFileMessage.clear();
  if (fileName == nullptr || fileName[0] == '\0') {
    mImpl->lastFileMessage = "no drawing file name was given";
    return Acad::eInvalidInput;
  }
  if (mImpl->objectCount > 0) {
    mImpl->lastFileMessage = "a drawing can only be read into an empty database (made without the default drawing)";
    return Acad::eInvalidInput;
  }
  contura::db::DrawingReader reader;
  {
    std::lock_guard<std::mutex> lock(contura::db::hooks().mutex);
    reader = contura::db::hooks().reader;
  }
  if (!reader) {
    mImpl->lastFileMessage = "drawing files cannot be read: the program installed no drawing reader";
    return Acad::eNotImplementedYet;
  }
  std::string message;
  const Acad::ErrorStatus es = reader(*this, fileName, message);
  mImpl->lastFileMessage = es == Acad::eOk ? std::string() : message;
  if (es == Acad::eOk) mImpl->fileName = fileName;
  return es;
}

Acad::ErrorStatus AcDbDatabase::saveAs(const ACHAR* fileName) {
  mImpl->lastFileMessage.clear();
  if (fileName == nullptr || fileName[0] == '\0') {
    mImpl->lastFileMessage = "no drawing file name was given";
    return Acad::eInvalidInput;
  }
  contura::db::DrawingWriter writer;
  {
    std::lock_guard<std::mutex> lock(contura::db::hooks().mutex);
    writer = contura::db::hooks().writer;
  }
  if (!writer) {
    mImpl->lastFileMessage = "drawing files cannot be written: the program installed no drawing writer";
    return Acad::eNotImplementedYet;
  }
  std::string message;
  const Acad::ErrorStatus es = writer(*this, fileName, message);
  mImpl->lastFileMessage = es == Acad::eOk ? std::string() : message;
  if (es == Acad::eOk) mImpl->fileName = fileName;
  return es;
}
