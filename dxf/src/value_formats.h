// Internal: how the value layer reads and writes each type's records: the writers of one
// entity or table entry, and the functions the type rows name (see type_registry.h).
#pragma once
#include "record_parser.h"
#include "type_registry.h"

#include <contura/dxf/table_records.h>

namespace contura::dxf::detail {

inline constexpr const char* kNoTrueColour = "has no true colours; the nearest colour index is written";

// Writes one record of an entity for the target version.
class EntityOut {
 public:
  EntityOut(TagWriter& w, const EntityWriteContext& ctx)
      : w(w), ctx(ctx), codec(*ctx.codec), r12(ctx.version < DxfVersion::R13) {}

  TagWriter& w;
  const EntityWriteContext& ctx;
  const TextCodec& codec;
  const bool r12;

  void str(int code, std::string_view drawingText) {
    m_encoded.clear();
    codec.encode(drawingText, m_encoded);
    w.string(code, m_encoded);
  }
  void point(int code, const Point3& p) { w.point(code, p.x, p.y, p.z); }
  void pointIf(int code, const Point3& p, const Point3& unless) {
    if (!(p == unless)) point(code, p);
  }
  void realIf(int code, double v, double unless) {
    if (v != unless) w.real(code, v);
  }
  void intIf(int code, std::int64_t v, std::int64_t unless) {
    if (v != unless) w.integer(code, v);
  }
  void subclass(const char* name) {
    if (!r12) w.string(100, name);
  }
  void extrasOf(const EntityCommon& c, std::string_view sub) {
    if (!r12) writeExtrasOf(w, c.extras, sub, codec);
  }

  // The record head and the AcDbEntity data; a record that names its own owner keeps it.
  // Returns the handle written.
  std::uint64_t head(std::string_view type, const EntityCommon& c, std::uint64_t owner) {
    if (c.owner != 0) owner = c.owner;
    w.string(0, type);
    std::uint64_t handle = c.handle;
    if (handle == 0 && ctx.newHandle) handle = ctx.newHandle();
    if (handle != 0) w.handle(5, handle);
    if (!r12) {
      writeRawTags(w, c.appGroups, codec);
      w.handle(330, owner);
      w.string(100, "AcDbEntity");
    }
    if (c.paperSpace) w.integer(67, 1);
    str(8, c.layer);
    if (!c.linetype.empty()) str(6, c.linetype);
    color(c.color);
    if (!r12) {
      if (c.lineweight != -1) w.integer(370, c.lineweight);
      realIf(48, c.linetypeScale, 1.0);
      if (c.invisible) w.integer(60, 1);
      writeExtrasOf(w, c.extras, "AcDbEntity", codec);
    }
    return handle;
  }

  void color(const Color& c) {
    const bool trueColours = ctx.version >= DxfVersion::R2004;
    if (c.rgb >= 0 && !trueColours) {
      w.integer(62, c.index != 256 && c.index != 0 ? c.index : nearestColorIndex(c.rgb));
      warn(std::string(nameOf(ctx.version)) + " " + kNoTrueColour);
      return;
    }
    if (c.index != 256) w.integer(62, c.index);
    if (c.rgb >= 0) w.integer(420, c.rgb);
    if (!c.name.empty() && trueColours) str(430, c.name);
  }

  // Extras of subclasses not written (and of files without subclasses), then extended data.
  void tail(const EntityCommon& c, std::initializer_list<std::string_view> written) {
    if (r12) {
      writeOtherExtras(w, c.extras, {"AcDbEntity"}, false, codec);
    } else {
      writeExtrasOf(w, c.extras, "", codec);
      writeOtherExtrasExcept(c, written);
    }
    writeRawTags(w, c.xdata, codec);
  }

  void warn(const std::string& message) {
    if (ctx.warnings) ++(*ctx.warnings)[message];
  }

 private:
  void writeOtherExtrasExcept(const EntityCommon& c, std::initializer_list<std::string_view> written) {
    // Two fixed exclusions plus the subclasses this record wrote (at most three).
    std::string_view w0 = written.size() > 0 ? written.begin()[0] : "AcDbEntity";
    std::string_view w1 = written.size() > 1 ? written.begin()[1] : "AcDbEntity";
    std::string_view w2 = written.size() > 2 ? written.begin()[2] : "AcDbEntity";
    writeOtherExtras(w, c.extras, {"", "AcDbEntity", w0, w1, w2}, true, codec);
  }
  std::string m_encoded;
};

// Writes one table entry for the target version.
class RecordOut {
 public:
  RecordOut(TagWriter& w, const TableRecord& r, const TableWriteContext& ctx);

  TagWriter& w;
  const TableRecord& r;
  const TableWriteContext& ctx;
  const TextCodec& codec;
  const bool r12;
  const char* const subclass;

  void str(int code, std::string_view text) {
    m_encoded.clear();
    codec.encode(text, m_encoded);
    w.string(code, m_encoded);
  }
  // Extras of the entry's subclass, and those of a file without subclasses (R12) there too.
  void extras() {
    if (r12) return;
    writeExtrasOf(w, r.common.extras, subclass, codec);
    writeExtrasOf(w, r.common.extras, "", codec);
  }
  void warn(const std::string& message) {
    if (ctx.warnings) ++(*ctx.warnings)[message];
  }

 private:
  std::string m_encoded;
};

// Entity records into values, one function per row (the parser takes the entity data).
using EntityReader = bool(RecordParser& p, const EntityRecords& records, const TextCodec& codec,
                          Entity& entity, DxfError& error);
EntityReader readLine, readPoint, readCircle, readSolid, readTextRecord, readMTextRecord,
    readLwPolylineRecord, readPolylineRecord, readEllipse, readSplineRecord, readRay,
    readHatchRecord, readInsertRecord;
// readEntity, saying the row of the type read (null for a type of no row).
bool readEntityOfType(const EntityRecords& records, const TextCodec& codec, Entity& entity, DxfError& error,
                      const EntityType*& type);
// Any entity kept as read.
bool readRawRecords(RecordParser& p, const EntityRecords& records, const TextCodec& codec,
                    RawEntity& e, DxfError& error);

// Entity values as records, one function per row.
using EntityWriter = void(EntityOut& o, const Entity& entity);
EntityWriter writeLine, writePoint, writeCircle, writeSolid, writeTextRecord, writeMTextRecord,
    writeLwPolylineRecord, writePolylineRecord, writeEllipse, writeSplineRecord, writeRay,
    writeHatchRecord, writeInsertRecord;

// Table entries: the groups of each kind read, and each kind's body written.
using TableFieldReader = bool(RecordParser& p, const Tag& t, TableRecord& value);
TableFieldReader readLayerField, readStyleField, readLinetypeField, readDimStyleField,
    readBlockRecordField, readNoField;
using TableBodyWriter = void(RecordOut& o);
TableBodyWriter writeLayerBody, writeStyleBody, writeLinetypeBody, writeDimStyleBody,
    writeViewportBody, writeBlockRecordBody, writeFlagsBody;

}  // namespace contura::dxf::detail
