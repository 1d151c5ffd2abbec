// DXF symbol table entries as values (LAYER, STYLE, LTYPE, DIMSTYLE, BLOCK_RECORD, VPORT,
// VIEW, UCS, APPID): what each entry of the TABLES section means, read from its record and
// written as tags for any version from R12 on. Knows no database; the drawing mapping copies
// these values to and from the database's table records. What a value does not model stays
// in its `common` extras and extended data and is written back where it was.
#pragma once
#include <contura/dxf/entities.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace contura::dxf {

// The application whose extended data holds a layer's description.
constexpr const char* kLayerDescriptionApp = "AcAecLayerStandard";

// Bits of group 70 of table entries.
constexpr std::int16_t kLayerFrozen = 1;
constexpr std::int16_t kLayerLocked = 4;
constexpr std::int16_t kStyleShapeFile = 1;
constexpr std::int16_t kStyleVertical = 4;
// An entry that comes from an external reference, resolved (16 | 32).
constexpr std::int16_t kXrefDependent = 16 | 32;

struct LayerRecord {
  Color color;
  bool off = false;             // written as a negative colour index
  std::string linetype;         // empty: none given
  bool plot = true;
  std::int16_t lineweight = -1;
  bool hasLineweight = false;
  // Description, held in the file as extended data of kLayerDescriptionApp.
  std::string description;
  bool operator==(const LayerRecord&) const = default;
};

struct TextStyleRecord {
  double textSize = 0, xScale = 1;
  double oblique = 0;           // degrees
  std::int16_t generation = 0;  // group 71: 2 backward, 4 upside down
  double priorSize = 2.5;
  std::string font, bigFont;
  bool operator==(const TextStyleRecord&) const = default;
};

struct LinetypeRecord {
  std::string comments;
  double patternLength = 0;
  // Dash lengths. Reading also keeps each dash (49 with its element tags) in the extras, so
  // shapes and texts of complex linetypes survive; writing then writes those instead.
  std::vector<double> dashes;
  bool operator==(const LinetypeRecord&) const = default;
};

struct DimStyleRecord {
  double dimscale = 1, dimasz = 0.18, dimtxt = 0.18;
  bool dimsah = false;
  // Handles of the arrowhead blocks and text style (0: none): dimblk, dimblk1, dimblk2,
  // dimldrblk, dimtxsty.
  enum Link { kDimblk, kDimblk1, kDimblk2, kDimldrblk, kDimtxsty, kLinkCount };
  std::uint64_t links[kLinkCount] = {0, 0, 0, 0, 0};
  // R12 names the arrowhead blocks instead (groups 5, 6, 7 for dimblk, dimblk1, dimblk2).
  std::string arrowNames[3];
  bool operator==(const DimStyleRecord&) const = default;
};

// A viewport's view, written when the entry has no tags of its own kept from a file.
struct ViewportRecord {
  Point2 lowerLeft, upperRight{1, 1}, center;
  Point3 viewDirection = kZAxis;
  Point3 target;
  double height = 1, width = 1;
  double twist = 0;             // degrees
  bool operator==(const ViewportRecord&) const = default;
};

struct TableRecord {
  enum class Kind { Viewport, Linetype, Layer, TextStyle, View, UCS, RegApp, DimStyle, BlockRecord };
  Kind kind = Kind::Layer;
  // Handle, owner, application groups, extras and extended data (the entity data unused).
  EntityCommon common;
  std::string name;
  std::int16_t flags = 0;
  LayerRecord layer;
  TextStyleRecord style;
  LinetypeRecord linetype;
  DimStyleRecord dimStyle;
  ViewportRecord viewport;
  std::uint64_t layout = 0;     // BLOCK_RECORD: its layout's handle (0: none)
  bool operator==(const TableRecord&) const = default;
};

// The record type ("LAYER"...) and the subclass of each kind of entry.
const char* recordTypeOf(TableRecord::Kind kind);
const char* recordSubclassOf(TableRecord::Kind kind);
// The kind of entry of a record type; false for a type that is no table entry.
bool tableRecordKindOf(std::string_view recordType, TableRecord::Kind& kind);

// Reads a table entry of any kind. False with `error` (at the tag's line) for a bad handle or
// a record type that is no table entry.
bool readTableRecord(const Record& record, const TextCodec& codec, TableRecord& value,
                     DxfError& error);

// What writing a table entry needs to know about the file being written.
struct TableWriteContext {
  DxfVersion version = kDefaultWriteVersion;
  const TextCodec* codec = nullptr;
  // Things the version cannot hold, counted by message.
  std::map<std::string, int>* warnings = nullptr;
};

// Writes a table entry as the version wants it.
void writeTableRecord(TagWriter& writer, const TableRecord& value, const TableWriteContext& context);

}  // namespace contura::dxf
