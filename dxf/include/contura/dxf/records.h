// DXF records and sections: groups tags into records and walks the file's section structure,
// handing each piece to a sink. Knows no database.
#pragma once
#include <contura/dxf/tags.h>

#include <string_view>
#include <vector>

namespace contura::dxf {

// One record: a 0-tag (its type, "LINE", "LAYER", "BLOCK"...) and the tags after it up to
// the next 0-tag.
struct Record {
  std::vector<Tag> tags;

  std::string_view type() const { return tags.empty() ? std::string_view() : tags[0].text; }
  std::uint32_t line() const { return tags.empty() ? 0 : tags[0].line; }
  // The first tag with this code, or null.
  const Tag* find(int code) const;
  // The text of the first tag with this code, or `fallback`.
  std::string_view text(int code, std::string_view fallback = {}) const;
};

// An entity with the records that belong to it: a POLYLINE and its VERTEX records, or an
// INSERT with attributes and its ATTRIB records, closed by SEQEND.
struct EntityRecords {
  Record main;
  std::vector<Record> followers;  // VERTEX or ATTRIB records, in file order
  Record seqEnd;                  // empty when the entity has no followers
};

// Receives the pieces of a DXF file in file order. Each function returns false to stop
// the walk, setting `error` (with the line) to say why. Records and tags are only valid
// during the call.
class DxfSink {
 public:
  virtual ~DxfSink() = default;
  // HEADER: one "9 $NAME" variable and its value tags.
  virtual bool headerVariable(const Tag& name, const std::vector<Tag>& values, DxfError& error) = 0;
  // The end of the HEADER section: the version and code page are known from here on.
  virtual bool headerEnd(DxfError& error) = 0;
  // CLASSES: one CLASS record.
  virtual bool classRecord(const Record& record, DxfError& error) = 0;
  // TABLES: a TABLE record, its entries, then the ENDTAB record.
  virtual bool tableBegin(const Record& table, DxfError& error) = 0;
  virtual bool tableEntry(const Record& table, const Record& entry, DxfError& error) = 0;
  virtual bool tableEnd(const Record& table, const Record& endTab, DxfError& error) = 0;
  // BLOCKS: a BLOCK record, its entities, then the ENDBLK record.
  virtual bool blockBegin(const Record& block, DxfError& error) = 0;
  virtual bool blockEnd(const Record& block, const Record& endBlk, DxfError& error) = 0;
  // An entity of the ENTITIES section (`block` null) or of the block being read.
  virtual bool entity(const Record* block, const EntityRecords& entity, DxfError& error) = 0;
  // OBJECTS: one object record.
  virtual bool object(const Record& record, DxfError& error) = 0;
  // Any other section (THUMBNAILIMAGE, ACDSDATA, unknown ones), whole: its name and the
  // tags between "2 NAME" and "0 ENDSEC".
  virtual bool otherSection(const Tag& name, const std::vector<Tag>& tags, DxfError& error) = 0;
};

// Walks the tags of a DXF file: sections, tables, blocks, entities with their followers,
// checking the structure (every SECTION closed by ENDSEC, TABLE by ENDTAB, BLOCK by ENDBLK,
// only entities between BLOCK and ENDBLK). Comments (999) are skipped. Stops at "0 EOF"; a
// file whose last section is closed but lacks EOF is accepted. False with `error` set (and
// its line) on a malformed file or when the sink stops.
bool walkDxf(TagReader& reader, DxfSink& sink, DxfError& error);

// The handle of a record's code-5 tag (105 in DIMSTYLE entries); 0 when it has none.
// False with `error` at the tag's line when the handle is not hexadecimal.
bool recordHandle(const Record& record, std::uint64_t& handle, DxfError& error);

}  // namespace contura::dxf
