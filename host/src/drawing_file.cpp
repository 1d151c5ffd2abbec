// The session's drawing and its file.
#include "drawing_file.h"

#include <dbapserv.h>
#include <dbmain.h>
#include <contura/db/database_access.h>
#include <contura/ed/editor_state.h>
#include <contura/ed/input.h>

#include <charconv>
#include <functional>
#include <string_view>

namespace contura::host {
namespace {

std::string_view nextLine(std::string_view& rest) {
  size_t end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  return line;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Whether a group code holds a handle: the object's own (5, 105; the header's next handle
// too) or a pointer to another object (320-369, 390-399, 480-481, 1005).
bool isHandleCode(int code) {
  return code == 5 || code == 105 || (code >= 320 && code <= 369) || (code >= 390 && code <= 399) || code == 480 ||
         code == 481 || code == 1005;
}

}  // namespace

// Handles are left out: the writer numbers some objects afresh each time it writes (the
// begin and end records of blocks, the layouts of a new drawing), and a real change always
// shows in the records themselves.
std::size_t drawingFingerprint(AcDbDatabase& db) {
  std::string text;
  dxf::DxfError error;
  // Those fresh numbers come from the drawing's handle seed: it is put back, so that looking
  // for changes leaves the handles later objects get as they were.
  const AcDbHandle seed = db.handseed();
  Acad::ErrorStatus written = dxf::writeDxfText(db, text, dxf::WriteOptions(), error);
  contura::db::setHandseed(db, seed);
  if (written != Acad::eOk) return 0;
  std::string kept;
  kept.reserve(text.size());
  std::string_view rest = text;
  while (!rest.empty()) {
    std::string_view code = trimmed(nextLine(rest));
    std::string_view value = nextLine(rest);
    int number = 0;
    std::from_chars(code.data(), code.data() + code.size(), number);
    if (isHandleCode(number)) continue;
    kept.append(code).append("\n").append(value).append("\n");
  }
  return std::hash<std::string>()(kept);
}

bool writeDrawing(AcDbDatabase& db, const std::filesystem::path& path, dxf::DxfVersion version, std::string& error,
                  dxf::WriteWarnings& warnings) {
  dxf::DxfError dxfError;
  dxf::WriteOptions options;
  options.version = version;
  if (dxf::writeDxf(db, path.string(), options, dxfError, &warnings) == Acad::eOk) return true;
  error = dxfError.text();
  return false;
}

DrawingDocument::DrawingDocument(std::unique_ptr<AcDbDatabase>& drawing, std::optional<std::filesystem::path> path,
                                 dxf::DxfVersion version)
    : m_drawing(drawing), m_path(std::move(path)), m_version(version),
      m_savedFingerprint(drawing ? drawingFingerprint(*drawing) : 0) {}

bool DrawingDocument::isModified() const {
  return m_drawing && drawingFingerprint(*m_drawing) != m_savedFingerprint;
}

bool DrawingDocument::saveAs(const std::filesystem::path& path, dxf::DxfVersion version, std::string& error,
                             dxf::WriteWarnings& warnings) {
  if (!m_drawing) {
    error = "no drawing is open";
    return false;
  }
  if (!writeDrawing(*m_drawing, path, version, error, warnings)) return false;
  m_path = path;
  m_version = version;
  m_savedFingerprint = drawingFingerprint(*m_drawing);
  return true;
}

bool DrawingDocument::open(const std::filesystem::path& path, std::string& error, dxf::ReadReport& report) {
  auto opened = std::make_unique<AcDbDatabase>(false);
  dxf::DxfError dxfError;
  report = dxf::ReadReport();
  if (dxf::readDxf(path.string(), *opened, dxfError, &report) != Acad::eOk) {
    error = dxfError.text();
    return false;
  }
  acdbHostApplicationServices()->setWorkingDatabase(opened.get());
  std::swap(m_drawing, opened);
  opened.reset();  // the drawing that was open before
  // The editor forgets the old drawing's sets and points; the pick box is the session's.
  const double pickBox = ed::pickBox();
  ed::resetEditor();
  ed::setPickBox(pickBox);
  m_path = path;
  m_savedFingerprint = drawingFingerprint(*m_drawing);
  return true;
}

}  // namespace contura::host
