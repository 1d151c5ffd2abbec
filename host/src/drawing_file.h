// The drawing a session works on and the file it belongs to: whether it has unsaved changes,
// saving it (through the DXF writer's temporary file, so a failed save leaves the old file
// whole) and opening another one in its place. The terminal's SAVE, SAVEAS, OPEN and QUIT,
// --save and the window all go through here.
#pragma once
#include <contura/dxf/codec.h>
#include <contura/dxf/dxf.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class AcDbDatabase;

namespace contura::host {

// The versions a drawing can be saved as, newest first (the window's file types and the
// terminal's SAVEAS offer the same list).
inline constexpr dxf::DxfVersion kSaveVersions[] = {dxf::DxfVersion::R2018, dxf::DxfVersion::R2013,
                                                    dxf::DxfVersion::R2010, dxf::DxfVersion::R2007,
                                                    dxf::DxfVersion::R2004, dxf::DxfVersion::R2000,
                                                    dxf::DxfVersion::R12};

// What the drawing would be written as, handles left out: two drawings with the same
// fingerprint hold the same things. 0 when it cannot be written.
std::size_t drawingFingerprint(AcDbDatabase& db);

// Writes `db` to `path` as `version`; on failure `error` says why and the file at `path` is
// as it was. `warnings`: what the version cannot hold, with counts.
bool writeDrawing(AcDbDatabase& db, const std::filesystem::path& path, dxf::DxfVersion version,
                  std::string& error, dxf::WriteWarnings& warnings);

class DrawingDocument {
public:
  // `drawing` is the session's working database (it outlives the document); `path` the file
  // it was read from, none for a new drawing. The drawing as it is now counts as saved.
  DrawingDocument(std::unique_ptr<AcDbDatabase>& drawing, std::optional<std::filesystem::path> path,
                  dxf::DxfVersion version);

  AcDbDatabase* drawing() const { return m_drawing.get(); }
  const std::optional<std::filesystem::path>& path() const { return m_path; }
  dxf::DxfVersion version() const { return m_version; }

  // True when the drawing differs from what it was when read or last saved.
  bool isModified() const;
  // Saves to `path` as `version`; on success they become the document's file and version and
  // the drawing counts as saved. On failure nothing changes.
  bool saveAs(const std::filesystem::path& path, dxf::DxfVersion version, std::string& error,
              dxf::WriteWarnings& warnings);
  // Reads `path` into a new database that replaces the drawing (the working database, the
  // editor's state reset); on failure `error` says why and the drawing stays as it was.
  // `report` receives what the read converted, kept raw or made up for.
  bool open(const std::filesystem::path& path, std::string& error, dxf::ReadReport& report);

private:
  std::unique_ptr<AcDbDatabase>& m_drawing;
  std::optional<std::filesystem::path> m_path;
  dxf::DxfVersion m_version;
  std::size_t m_savedFingerprint = 0;
};

}  // namespace contura::host
