// Reading table entries into values and writing them back, for R12 (flat records) and R2000
// on (subclasses).
#include "contura/dxf/table_records.h"

#include "type_registry.h"
#include "value_formats.h"

#include <cstdlib>

namespace contura::dxf {

using detail::RecordOut;
using detail::RecordParser;
using detail::writeOtherExtras;

namespace {

std::int16_t i16(const Tag& t) { return static_cast<std::int16_t>(t.integer); }

// A layer's description is extended data of one application; it is taken out of the
// extended data into the value.
void takeLayerDescription(TableRecord& r) {
  RawTags& xdata = r.common.xdata;
  RawTags rest;
  for (std::size_t i = 0; i < xdata.size(); ++i) {
    if (xdata[i].code == 1001 && xdata[i].value == kLayerDescriptionApp) {
      std::size_t j = i + 1;
      for (; j < xdata.size() && xdata[j].code != 1001; ++j) {
        if (xdata[j].code == 1000) r.layer.description = xdata[j].value;
      }
      i = j - 1;
      continue;
    }
    rest.push_back(xdata[i]);
  }
  xdata = std::move(rest);
}

void writeHead(RecordOut& o) {
  const EntityCommon& c = o.r.common;
  o.w.string(0, recordTypeOf(o.r.kind));
  o.w.handle(o.r.kind == TableRecord::Kind::DimStyle ? 105 : 5, c.handle);
  if (!o.r12) {
    writeRawTags(o.w, c.appGroups, o.codec);
    o.w.handle(330, c.owner);
    o.w.string(100, "AcDbSymbolTableRecord");
    o.w.string(100, o.subclass);
  }
  o.str(2, o.r.name);
}

}  // namespace

namespace detail {

// --- reading --------------------------------------------------------------------------------

bool readLayerField(RecordParser& p, const Tag& t, TableRecord& r) {
  LayerRecord& l = r.layer;
  switch (t.code) {
    case 62: l.color.index = i16(t); return true;
    case 420: l.color.rgb = std::int32_t(t.integer & 0xFFFFFF); return true;
    case 430: l.color.name = p.text(t); return true;
    case 6: l.linetype = p.text(t); return true;
    case 290: l.plot = t.integer != 0; return true;
    case 370: l.lineweight = i16(t); l.hasLineweight = true; return true;
    default: return false;
  }
}

bool readStyleField(RecordParser& p, const Tag& t, TableRecord& r) {
  TextStyleRecord& s = r.style;
  switch (t.code) {
    case 40: s.textSize = t.real; return true;
    case 41: s.xScale = t.real; return true;
    case 50: s.oblique = t.real; return true;
    case 71: s.generation = i16(t); return true;
    case 42: s.priorSize = t.real; return true;
    case 3: s.font = p.text(t); return true;
    case 4: s.bigFont = p.text(t); return true;
    default: return false;
  }
}

bool readLinetypeField(RecordParser& p, const Tag& t, TableRecord& r) {
  LinetypeRecord& l = r.linetype;
  switch (t.code) {
    case 3: l.comments = p.text(t); return true;
    case 40: l.patternLength = t.real; return true;
    case 72: case 73: return true;  // alignment and dash count: the dashes tell
    case 49: l.dashes.push_back(t.real); return false;  // also kept, see LinetypeRecord
    default: return false;
  }
}

bool readDimStyleField(RecordParser& p, const Tag& t, TableRecord& r) {
  DimStyleRecord& d = r.dimStyle;
  switch (t.code) {
    case 40: d.dimscale = t.real; return true;
    case 41: d.dimasz = t.real; return true;
    case 140: d.dimtxt = t.real; return true;
    case 173: d.dimsah = t.integer != 0; return true;
    case 342: d.links[DimStyleRecord::kDimblk] = t.handle; return true;
    case 343: d.links[DimStyleRecord::kDimblk1] = t.handle; return true;
    case 344: d.links[DimStyleRecord::kDimblk2] = t.handle; return true;
    case 341: d.links[DimStyleRecord::kDimldrblk] = t.handle; return true;
    case 340: d.links[DimStyleRecord::kDimtxsty] = t.handle; return true;
    case 5: case 6: case 7:
      if (!t.text.empty()) d.arrowNames[t.code - 5] = p.text(t);
      return true;
    default: return false;
  }
}

bool readBlockRecordField(RecordParser&, const Tag& t, TableRecord& r) {
  if (t.code != 340) return false;
  r.layout = t.handle;
  return true;
}

bool readNoField(RecordParser&, const Tag&, TableRecord&) { return false; }

// --- writing --------------------------------------------------------------------------------

RecordOut::RecordOut(TagWriter& w, const TableRecord& r, const TableWriteContext& ctx)
    : w(w), r(r), ctx(ctx), codec(*ctx.codec), r12(ctx.version < DxfVersion::R13),
      subclass(tableTypeOf(r.kind).subclass) {}

void writeLayerBody(RecordOut& o) {
  const LayerRecord& l = o.r.layer;
  const bool trueColours = o.ctx.version >= DxfVersion::R2004;
  o.w.integer(70, o.r.flags);
  // A layer with a true colour keeps the foreground index beside it, as others write.
  std::int64_t index = l.color.rgb >= 0 && trueColours ? 7
                       : l.color.rgb >= 0             ? nearestColorIndex(l.color.rgb)
                                                      : l.color.index;
  if (index == 256 || index == 0) index = 7;
  o.w.integer(62, l.off ? -index : index);
  if (l.color.rgb >= 0) {
    if (trueColours) {
      o.w.integer(420, l.color.rgb);
      if (!l.color.name.empty()) o.str(430, l.color.name);
    } else o.warn(std::string(nameOf(o.ctx.version)) + " has no true colours; the nearest colour index is written");
  }
  o.str(6, l.linetype);
  if (!o.r12) {
    if (!l.plot) o.w.integer(290, 0);
    o.w.integer(370, l.lineweight);
  }
  o.extras();
}

void writeStyleBody(RecordOut& o) {
  const TextStyleRecord& s = o.r.style;
  o.w.integer(70, o.r.flags);
  o.w.real(40, s.textSize);
  o.w.real(41, s.xScale);
  o.w.real(50, s.oblique);
  o.w.integer(71, s.generation);
  o.w.real(42, s.priorSize);
  o.str(3, s.font);
  o.str(4, s.bigFont);
  o.extras();
}

void writeLinetypeBody(RecordOut& o) {
  const LinetypeRecord& l = o.r.linetype;
  o.w.integer(70, o.r.flags);
  o.str(3, l.comments);
  o.w.integer(72, 'A');
  o.w.integer(73, static_cast<std::int64_t>(l.dashes.size()));
  o.w.real(40, l.patternLength);
  bool keptDashes = false;
  for (const RawTag& t : o.r.common.extras) keptDashes = keptDashes || t.code == 49;
  if (!keptDashes || o.r12) {
    for (double dash : l.dashes) {
      o.w.real(49, dash);
      if (!o.r12) o.w.integer(74, 0);
    }
  }
  o.extras();
}

void writeDimStyleBody(RecordOut& o) {
  const DimStyleRecord& d = o.r.dimStyle;
  using D = DimStyleRecord;
  o.w.integer(70, o.r.flags);
  o.w.real(40, d.dimscale);
  o.w.real(41, d.dimasz);
  o.w.real(140, d.dimtxt);
  o.w.integer(173, d.dimsah ? 1 : 0);
  if (o.r12) {
    for (int i = 0; i < 3; ++i) {
      if (d.links[D::kDimblk + i]) o.str(5 + i, d.arrowNames[i]);
    }
  } else {
    const std::pair<int, D::Link> kCodes[] = {{340, D::kDimtxsty}, {341, D::kDimldrblk},
                                              {342, D::kDimblk},   {343, D::kDimblk1},
                                              {344, D::kDimblk2}};
    for (auto [code, link] : kCodes) {
      if (d.links[link]) o.w.handle(code, d.links[link]);
    }
  }
  o.extras();
}

// A viewport's view is written from the value only when the file gave none to keep.
void writeViewportBody(RecordOut& o) {
  const ViewportRecord& v = o.r.viewport;
  o.w.integer(70, o.r.flags);
  bool kept = false;
  for (const RawTag& t : o.r.common.extras) kept = kept || t.code != 100;
  if (!kept) {
    o.w.point2d(10, v.lowerLeft.x, v.lowerLeft.y);
    o.w.point2d(11, v.upperRight.x, v.upperRight.y);
    o.w.point2d(12, v.center.x, v.center.y);
    o.w.point2d(13, 0, 0);
    o.w.point2d(14, 1, 1);
    o.w.point2d(15, 1, 1);
    o.w.point(16, v.viewDirection.x, v.viewDirection.y, v.viewDirection.z);
    o.w.point(17, v.target.x, v.target.y, v.target.z);
    o.w.real(40, v.height);
    o.w.real(41, v.height > 0 ? v.width / v.height : 1.0);
    o.w.real(42, 50);
    for (int code : {43, 44, 50}) o.w.real(code, 0);
    o.w.real(51, v.twist);
    const std::pair<int, int> kModes[] = {{71, 0}, {72, 1000}, {73, 1}, {74, 3},
                                          {75, 0}, {76, 0},    {77, 0}, {78, 0}};
    for (auto [code, value] : kModes) o.w.integer(code, value);
  }
  o.extras();
}

void writeBlockRecordBody(RecordOut& o) {
  if (o.r.layout) o.w.handle(340, o.r.layout);
  o.extras();
}

void writeFlagsBody(RecordOut& o) {
  o.w.integer(70, o.r.flags);
  o.extras();
}

}  // namespace detail

const char* recordTypeOf(TableRecord::Kind kind) { return detail::tableTypeOf(kind).dxfName; }
const char* recordSubclassOf(TableRecord::Kind kind) { return detail::tableTypeOf(kind).subclass; }

bool tableRecordKindOf(std::string_view recordType, TableRecord::Kind& kind) {
  const detail::TableType* type = detail::findTableType(recordType);
  if (type) kind = type->kind;
  return type != nullptr;
}

bool readTableRecord(const Record& record, const TextCodec& codec, TableRecord& value,
                     DxfError& error) {
  value = TableRecord();
  if (!tableRecordKindOf(record.type(), value.kind)) {
    error.set(record.line(), "unexpected '" + std::string(record.type()) + "' in a table");
    return false;
  }
  RecordParser p(codec, value.common, error);
  const bool ok = p.run(record, [&](std::string_view, const Tag& t) {
    if (t.code == 2) value.name = p.text(t);
    else if (t.code == 70) value.flags = i16(t);
    else return detail::tableTypeOf(value.kind).readField(p, t, value);
    return true;
  });
  if (!ok) return false;
  if (value.kind == TableRecord::Kind::Layer) {
    takeLayerDescription(value);
    value.layer.off = value.layer.color.index < 0;
    value.layer.color.index = std::int16_t(std::abs(value.layer.color.index));
  }
  return true;
}

void writeTableRecord(TagWriter& writer, const TableRecord& value, const TableWriteContext& context) {
  RecordOut o(writer, value, context);
  writeHead(o);
  detail::tableTypeOf(value.kind).writeBody(o);
  if (!o.r12) writeOtherExtras(writer, value.common.extras, {"", "AcDbSymbolTableRecord", o.subclass}, true, o.codec);
  writeRawTags(writer, value.common.xdata, o.codec);
  if (value.kind == TableRecord::Kind::Layer && !value.layer.description.empty()) {
    writeRawTags(writer, {{1001, kLayerDescriptionApp}, {1000, ""}, {1000, value.layer.description}}, o.codec);
  }
}

}  // namespace contura::dxf
