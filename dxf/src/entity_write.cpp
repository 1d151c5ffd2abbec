// Writing entity values as DXF records, for R12 (flat records) and R2000 on (subclasses).
#include "type_registry.h"
#include "value_formats.h"
#include <contura/os/codepage.h>

#include <algorithm>
#include <cstdlib>

namespace contura::dxf {

namespace detail {

void writeExtrasOf(TagWriter& w, const RawTags& extras, std::string_view subclass,
                   const TextCodec& codec) {
  std::string_view current;
  std::string encoded;
  for (const RawTag& t : extras) {
    if (t.code == 100) {
      current = t.value;
      continue;
    }
    if (current != subclass) continue;
    if (tagType(t.code) == TagType::String) {
      encoded.clear();
      codec.encode(t.value, encoded);
      w.string(t.code, encoded);
    } else {
      w.raw(t.code, t.value);
    }
  }
}

void writeOtherExtras(TagWriter& w, const RawTags& extras,
                      std::initializer_list<std::string_view> written, bool markers,
                      const TextCodec& codec) {
  std::string_view current;
  bool skip = false;
  std::string encoded;
  auto isWritten = [&written](std::string_view s) {
    for (std::string_view x : written) {
      if (x == s) return true;
    }
    return false;
  };
  skip = isWritten(current);
  for (const RawTag& t : extras) {
    if (t.code == 100) {
      current = t.value;
      skip = isWritten(current);
      if (!skip && markers) w.string(100, t.value);
      continue;
    }
    if (skip) continue;
    if (tagType(t.code) == TagType::String) {
      encoded.clear();
      codec.encode(t.value, encoded);
      w.string(t.code, encoded);
    } else {
      w.raw(t.code, t.value);
    }
  }
}

}  // namespace detail

namespace {

using detail::EntityOut;
using detail::writeExtrasOf;
using detail::writeOtherExtras;

constexpr std::size_t kMTextChunk = 250;


void writeText(EntityOut& o, const EntityCommon& c, const TextEntity& e, std::uint64_t owner,
               const std::string& recordType = {}) {
  const bool isText = e.kind == TextEntity::Kind::Text;
  const bool isDef = e.kind == TextEntity::Kind::AttributeDefinition;
  o.head(!recordType.empty() ? std::string_view(recordType) : isText ? "TEXT" : isDef ? "ATTDEF" : "ATTRIB",
         c, owner);
  o.subclass("AcDbText");
  o.realIf(39, e.thickness, 0);
  o.point(10, e.position);
  o.w.real(40, e.height);
  o.str(1, e.text);
  o.realIf(50, e.rotation, 0);
  o.realIf(41, e.widthFactor, 1);
  o.realIf(51, e.oblique, 0);
  o.str(7, e.style);
  o.intIf(71, e.generation, 0);
  o.intIf(72, e.horizontal, 0);
  if (e.hasAlignment) o.point(11, e.alignment);
  o.pointIf(210, e.normal, kZAxis);
  o.extrasOf(c, "AcDbText");
  const char* second = isText ? "AcDbText" : isDef ? "AcDbAttributeDefinition" : "AcDbAttribute";
  if (isText) {
    o.subclass(second);
    o.intIf(73, e.vertical, 0);
  } else {
    o.subclass(second);
    if (isDef) o.str(3, e.prompt);
    o.str(2, e.tag);
    o.w.integer(70, e.attributeFlags);
    o.intIf(73, e.fieldLength, 0);
    o.intIf(74, e.vertical, 0);
    o.extrasOf(c, second);
  }
  o.tail(c, {"AcDbText", second});
}

// Cuts encoded MTEXT contents into pieces of at most kMTextChunk bytes without splitting a
// multi-byte character or a caret pair.
std::vector<std::string_view> mtextChunks(std::string_view s, bool utf8) {
  std::vector<std::string_view> chunks;
  while (s.size() > kMTextChunk) {
    std::size_t cut = 0;
    if (utf8) {
      cut = kMTextChunk;
      while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
    } else {
      std::size_t i = 0;
      while (i < s.size()) {
        std::size_t len = os::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
        if (i + len > kMTextChunk) break;
        i += len;
      }
      cut = i;
    }
    if (cut > 0 && s[cut - 1] == '^') --cut;
    if (cut == 0) cut = kMTextChunk;
    chunks.push_back(s.substr(0, cut));
    s.remove_prefix(cut);
  }
  chunks.push_back(s);
  return chunks;
}

void writeMText(EntityOut& o, const EntityCommon& c, const MTextEntity& e) {
  o.subclass("AcDbMText");
  o.point(10, e.position);
  o.w.real(40, e.height);
  o.w.real(41, e.width);
  o.w.integer(71, e.attachment);
  o.w.integer(72, e.direction);
  std::string encoded = o.codec.encode(e.text);
  std::vector<std::string_view> chunks = mtextChunks(encoded, isUtf8Version(o.ctx.version));
  for (std::size_t i = 0; i + 1 < chunks.size(); ++i) o.w.string(3, chunks[i]);
  o.w.string(1, chunks.back());
  o.str(7, e.style);
  o.pointIf(210, e.normal, kZAxis);
  if (e.hasXDirection) o.point(11, e.xDirection);
  if (e.hasRotation) o.w.real(50, e.rotation);
  o.w.integer(73, e.lineSpacingStyle);
  o.w.real(44, e.lineSpacingFactor);
  o.extrasOf(c, "AcDbMText");
  o.tail(c, {"AcDbMText"});
}

void writeVertex(EntityOut& o, const PolylineVertex& v, std::uint64_t owner) {
  o.head("VERTEX", v.common, owner);
  o.subclass("AcDbVertex");
  o.subclass("AcDb2dVertex");
  o.point(10, v.point);
  o.realIf(40, v.startWidth, 0);
  o.realIf(41, v.endWidth, 0);
  o.realIf(42, v.bulge, 0);
  o.w.integer(70, v.flags);
  if (v.flags & kVertexTangent) o.w.real(50, v.tangent);
  o.extrasOf(v.common, "AcDb2dVertex");
  o.tail(v.common, {"AcDbVertex", "AcDb2dVertex"});
}

void writeSeqEnd(EntityOut& o, const EntityCommon& c, std::uint64_t owner) {
  o.head("SEQEND", c, owner);
  o.tail(c, {});
}

// A 2D POLYLINE with VERTEX records; an LWPOLYLINE's values become the old form for R12.
void writeOldPolyline(EntityOut& o, const EntityCommon& c, const PolylineEntity& e, std::uint64_t owner) {
  std::uint64_t handle = o.head("POLYLINE", c, owner);
  o.subclass("AcDb2dPolyline");
  o.w.integer(66, 1);
  o.point(10, Point3{0, 0, e.elevation});
  o.realIf(39, e.thickness, 0);
  o.w.integer(70, e.lightweight ? (e.flags & kPolylineClosed) : e.flags);
  double start = e.lightweight && e.hasConstantWidth ? e.constantWidth : e.defaultStartWidth;
  double end = e.lightweight && e.hasConstantWidth ? e.constantWidth : e.defaultEndWidth;
  o.realIf(40, start, 0);
  o.realIf(41, end, 0);
  o.intIf(75, e.curveType, 0);
  o.pointIf(210, e.normal, kZAxis);
  o.extrasOf(c, "AcDb2dPolyline");
  o.tail(c, {"AcDb2dPolyline"});
  for (const PolylineVertex& v : e.vertices) {
    if (!e.lightweight) {
      writeVertex(o, v, handle);
      continue;
    }
    PolylineVertex old = v;
    old.common = EntityCommon();
    old.common.layer = c.layer;
    old.point.z = e.elevation;
    if (e.hasConstantWidth) old.startWidth = old.endWidth = e.constantWidth;
    writeVertex(o, old, handle);
  }
  EntityCommon seqEnd = e.seqEnd;
  if (e.lightweight) seqEnd.layer = c.layer;
  writeSeqEnd(o, seqEnd, handle);
}

void writeLwPolyline(EntityOut& o, const EntityCommon& c, const PolylineEntity& e) {
  o.subclass("AcDbPolyline");
  o.w.integer(90, static_cast<std::int64_t>(e.vertices.size()));
  o.w.integer(70, e.flags);
  if (e.hasConstantWidth) o.w.real(43, e.constantWidth);
  o.realIf(38, e.elevation, 0);
  o.realIf(39, e.thickness, 0);
  for (const PolylineVertex& v : e.vertices) {
    o.w.point2d(10, v.point.x, v.point.y);
    if (!e.hasConstantWidth && (v.startWidth != 0 || v.endWidth != 0)) {
      o.w.real(40, v.startWidth);
      o.w.real(41, v.endWidth);
    }
    o.realIf(42, v.bulge, 0);
  }
  o.pointIf(210, e.normal, kZAxis);
  o.extrasOf(c, "AcDbPolyline");
  o.tail(c, {"AcDbPolyline"});
}

void writeSpline(EntityOut& o, const EntityCommon& c, const SplineEntity& e) {
  o.subclass("AcDbSpline");
  if (e.hasNormal) o.point(210, e.normal);
  o.w.integer(70, e.flags);
  o.w.integer(71, e.degree);
  o.w.integer(72, static_cast<std::int64_t>(e.knots.size()));
  o.w.integer(73, static_cast<std::int64_t>(e.controlPoints.size()));
  o.w.integer(74, static_cast<std::int64_t>(e.fitPoints.size()));
  if (e.hasKnotTolerance) o.w.real(42, e.knotTolerance);
  if (e.hasControlTolerance) o.w.real(43, e.controlTolerance);
  if (e.hasFitTolerance) o.w.real(44, e.fitTolerance);
  if (e.hasStartTangent) o.point(12, e.startTangent);
  if (e.hasEndTangent) o.point(13, e.endTangent);
  for (double k : e.knots) o.w.real(40, k);
  for (double wgt : e.weights) o.w.real(41, wgt);
  for (const Point3& p : e.controlPoints) o.point(10, p);
  for (const Point3& p : e.fitPoints) o.point(11, p);
  o.extrasOf(c, "AcDbSpline");
  o.tail(c, {"AcDbSpline"});
}

void writeInsert(EntityOut& o, const EntityCommon& c, const InsertEntity& e, std::uint64_t owner) {
  const bool multiple = e.isMInsert || e.columns > 1 || e.rows > 1;
  std::uint64_t handle = o.head("INSERT", c, owner);
  const char* sub = multiple ? "AcDbMInsertBlock" : "AcDbBlockReference";
  o.subclass(sub);
  if (!e.attributes.empty()) o.w.integer(66, 1);
  o.str(2, e.block);
  o.point(10, e.position);
  o.realIf(41, e.scale.x, 1);
  o.realIf(42, e.scale.y, 1);
  o.realIf(43, e.scale.z, 1);
  o.realIf(50, e.rotation, 0);
  o.intIf(70, e.columns, 1);
  o.intIf(71, e.rows, 1);
  o.realIf(44, e.columnSpacing, 0);
  o.realIf(45, e.rowSpacing, 0);
  o.pointIf(210, e.normal, kZAxis);
  o.extrasOf(c, sub);
  o.tail(c, {sub});
  if (e.attributes.empty()) return;
  for (const InsertEntity::Attribute& a : e.attributes) writeText(o, a.common, a.text, handle);
  writeSeqEnd(o, e.seqEnd, handle);
}

// The subclass that holds a dimension's own data, by dimension type (group 70, low bits), and
// the groups that belong to it (point groups with their y and z codes).
struct DimensionSubclass {
  const char* name;
  std::initializer_list<int> groups;
};
constexpr int kDimensionTypeMask = 7;
const DimensionSubclass& dimensionSubclassOf(int type) {
  static const DimensionSubclass kAligned{"AcDbAlignedDimension", {12, 13, 14, 50, 52}};
  static const DimensionSubclass kByType[] = {
      kAligned,
      kAligned,
      {"AcDb2LineAngularDimension", {13, 14, 15, 16}},
      {"AcDbDiametricDimension", {15, 40}},
      {"AcDbRadialDimension", {15, 40}},
      {"AcDb3PointAngularDimension", {13, 14, 15, 16}},
      {"AcDbOrdinateDimension", {13, 14}},
      kAligned,
  };
  return kByType[type & kDimensionTypeMask];
}

bool hasSubclassMarkers(const RawTags& tags) {
  return std::any_of(tags.begin(), tags.end(), [](const RawTag& t) { return t.code == 100; });
}

// A dimension read from an R12 file has no subclass markers; later versions need them to tell
// the common dimension data from the data of its kind (programs drop a dimension without).
RawTags withDimensionSubclasses(const RawTags& flat) {
  int type = 0;
  for (const RawTag& t : flat)
    if (t.code == 70) type = std::atoi(t.value.c_str());
  const DimensionSubclass& own = dimensionSubclassOf(type);
  auto isOwn = [&](int code) {
    for (int g : own.groups)
      if (code == g || (g < 20 && (code == g + 10 || code == g + 20))) return true;
    return false;
  };
  RawTags common{{100, "AcDbDimension"}}, kind{{100, own.name}};
  for (const RawTag& t : flat) (isOwn(t.code) ? kind : common).push_back(t);
  common.insert(common.end(), kind.begin(), kind.end());
  if ((type & kDimensionTypeMask) == 0) common.push_back({100, "AcDbRotatedDimension"});
  return common;
}

void writeRaw(EntityOut& o, const EntityCommon& c, const RawEntity& e, std::uint64_t owner) {
  std::uint64_t handle = o.head(e.type, c, owner);
  if (!o.r12 && e.type == "DIMENSION" && !hasSubclassMarkers(c.extras)) {
    EntityCommon marked = c;
    marked.extras = withDimensionSubclasses(c.extras);
    o.tail(marked, {});
  } else {
    o.tail(c, {});
  }
  for (const RawEntity::Follower& f : e.followers) {
    o.head(f.type, f.common, handle);
    o.tail(f.common, {});
  }
  if (e.hasSeqEnd) writeSeqEnd(o, e.seqEnd, handle);
}

}  // namespace

namespace detail {

void writeLine(EntityOut& o, const Entity& entity) {
  const LineEntity& e = entity.line;
  const EntityCommon& c = entity.common;
  o.head("LINE", c, c.owner);
  o.subclass("AcDbLine");
  o.realIf(39, e.thickness, 0);
  o.point(10, e.start);
  o.point(11, e.end);
  o.pointIf(210, e.normal, kZAxis);
  o.extrasOf(c, "AcDbLine");
  o.tail(c, {"AcDbLine"});
}

void writePoint(EntityOut& o, const Entity& entity) {
  const PointEntity& e = entity.point;
  const EntityCommon& c = entity.common;
  o.head("POINT", c, c.owner);
  o.subclass("AcDbPoint");
  o.point(10, e.position);
  o.realIf(39, e.thickness, 0);
  o.pointIf(210, e.normal, kZAxis);
  o.realIf(50, e.xAxisAngle, 0);
  o.extrasOf(c, "AcDbPoint");
  o.tail(c, {"AcDbPoint"});
}

void writeCircle(EntityOut& o, const Entity& entity) {
  const CircleEntity& e = entity.circle;
  const EntityCommon& c = entity.common;
  o.head(e.isArc ? "ARC" : "CIRCLE", c, c.owner);
  o.subclass("AcDbCircle");
  o.realIf(39, e.thickness, 0);
  o.point(10, e.center);
  o.w.real(40, e.radius);
  o.pointIf(210, e.normal, kZAxis);
  o.extrasOf(c, "AcDbCircle");
  if (e.isArc) {
    o.subclass("AcDbArc");
    o.w.real(50, e.startAngle);
    o.w.real(51, e.endAngle);
    o.extrasOf(c, "AcDbArc");
  }
  o.tail(c, {"AcDbCircle", "AcDbArc"});
}

void writeSolid(EntityOut& o, const Entity& entity) {
  const SolidEntity& e = entity.solid;
  const EntityCommon& c = entity.common;
  o.head(e.isTrace ? "TRACE" : "SOLID", c, c.owner);
  o.subclass("AcDbTrace");
  for (int i = 0; i < 4; ++i) o.point(10 + i, e.corners[i]);
  o.realIf(39, e.thickness, 0);
  o.pointIf(210, e.normal, kZAxis);
  o.extrasOf(c, "AcDbTrace");
  o.tail(c, {"AcDbTrace"});
}

void writeTextRecord(EntityOut& o, const Entity& entity) {
  writeText(o, entity.common, entity.text, entity.common.owner, entity.recordType);
}

void writeMTextRecord(EntityOut& o, const Entity& entity) {
  o.head("MTEXT", entity.common, entity.common.owner);
  writeMText(o, entity.common, entity.mtext);
}

// R12 has no LWPOLYLINE: its value is written as a POLYLINE there.
void writeLwPolylineRecord(EntityOut& o, const Entity& entity) {
  if (o.r12) return writePolylineRecord(o, entity);
  o.head("LWPOLYLINE", entity.common, entity.common.owner);
  writeLwPolyline(o, entity.common, entity.polyline);
}

void writePolylineRecord(EntityOut& o, const Entity& entity) {
  writeOldPolyline(o, entity.common, entity.polyline, entity.common.owner);
}

void writeEllipse(EntityOut& o, const Entity& entity) {
  const EllipseEntity& e = entity.ellipse;
  const EntityCommon& c = entity.common;
  o.head("ELLIPSE", c, c.owner);
  o.subclass("AcDbEllipse");
  o.point(10, e.center);
  o.point(11, e.majorAxis);
  o.pointIf(210, e.normal, kZAxis);
  o.w.real(40, e.ratio);
  o.w.real(41, e.startParam);
  o.w.real(42, e.endParam);
  o.extrasOf(c, "AcDbEllipse");
  o.tail(c, {"AcDbEllipse"});
}

void writeSplineRecord(EntityOut& o, const Entity& entity) {
  o.head("SPLINE", entity.common, entity.common.owner);
  writeSpline(o, entity.common, entity.spline);
}

void writeRay(EntityOut& o, const Entity& entity) {
  const RayEntity& e = entity.ray;
  const EntityCommon& c = entity.common;
  const char* sub = e.isXline ? "AcDbXline" : "AcDbRay";
  o.head(e.isXline ? "XLINE" : "RAY", c, c.owner);
  o.subclass(sub);
  o.point(10, e.base);
  o.point(11, e.direction);
  o.extrasOf(c, sub);
  o.tail(c, {sub});
}

void writeHatchRecord(EntityOut& o, const Entity& entity) {
  const EntityCommon& c = entity.common;
  o.head("HATCH", c, c.owner);
  o.subclass("AcDbHatch");
  writeHatchBody(o.w, entity.hatch, o.codec);
  o.extrasOf(c, "AcDbHatch");
  o.tail(c, {"AcDbHatch"});
}

void writeInsertRecord(EntityOut& o, const Entity& entity) {
  writeInsert(o, entity.common, entity.insert, entity.common.owner);
}

}  // namespace detail

namespace {

// The row of an entity value's type.
const detail::EntityType* typeOf(const Entity& entity) {
  return detail::findEntityType(entity.kindTypeName());
}

}  // namespace

bool versionHolds(DxfVersion version, const Entity& entity) {
  if (version >= DxfVersion::R13) return true;
  // Entities kept as read hold whatever their file held: only R12's own types fit R12.
  const detail::EntityType* type = typeOf(entity);
  return type && type->inR12;
}

void writeEntity(TagWriter& w, const Entity& entity, const EntityWriteContext& ctx) {
  EntityOut o(w, ctx);
  const detail::EntityType* type = entity.kind == Entity::Kind::Raw ? nullptr : typeOf(entity);
  if (type && type->write) type->write(o, entity);
  else writeRaw(o, entity.common, entity.raw, entity.common.owner);
}

}  // namespace contura::dxf
