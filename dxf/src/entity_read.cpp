// Reading entity records into entity values.
#include "type_registry.h"
#include "value_formats.h"

namespace contura::dxf {

using detail::isCoordinate;
using detail::RecordParser;
using detail::setCoordinate;

std::string Entity::typeName() const {
  return recordType.empty() ? std::string(kindTypeName()) : recordType;
}

std::string_view Entity::kindTypeName() const {
  switch (kind) {
    case Kind::Line: return "LINE";
    case Kind::Point: return "POINT";
    case Kind::Circle: return circle.isArc ? "ARC" : "CIRCLE";
    case Kind::Solid: return solid.isTrace ? "TRACE" : "SOLID";
    case Kind::Text:
      return text.kind == TextEntity::Kind::Text ? "TEXT"
             : text.kind == TextEntity::Kind::Attribute ? "ATTRIB" : "ATTDEF";
    case Kind::MText: return "MTEXT";
    case Kind::Polyline: return polyline.lightweight ? "LWPOLYLINE" : "POLYLINE";
    case Kind::Ellipse: return "ELLIPSE";
    case Kind::Spline: return "SPLINE";
    case Kind::Ray: return ray.isXline ? "XLINE" : "RAY";
    case Kind::Insert: return "INSERT";
    case Kind::Hatch: return "HATCH";
    case Kind::Raw: return raw.type;
  }
  return raw.type;
}

namespace {

// Fields shared by the thickness/extrusion entities.
bool thicknessAndNormal(const Tag& t, double& thickness, Point3& normal) {
  if (t.code == 39) {
    thickness = t.real;
    return true;
  }
  if (isCoordinate(t.code, 210)) {
    setCoordinate(normal, t.code, 210, t.real);
    return true;
  }
  return false;
}

std::int16_t i16(const Tag& t) { return static_cast<std::int16_t>(t.integer); }

bool readText(RecordParser& p, const Record& r, TextEntity& e) {
  const bool isAttr = e.kind != TextEntity::Kind::Text;
  return p.run(r, [&](std::string_view, const Tag& t) {
    if (isCoordinate(t.code, 10)) setCoordinate(e.position, t.code, 10, t.real);
    else if (isCoordinate(t.code, 11)) {
      setCoordinate(e.alignment, t.code, 11, t.real);
      e.hasAlignment = true;
    } else if (thicknessAndNormal(t, e.thickness, e.normal)) {
    } else {
      switch (t.code) {
        case 40: e.height = t.real; break;
        case 1: e.text = p.text(t); break;
        case 50: e.rotation = t.real; break;
        case 41: e.widthFactor = t.real; break;
        case 51: e.oblique = t.real; break;
        case 7: e.style = p.text(t); break;
        case 71: e.generation = i16(t); break;
        case 72: e.horizontal = i16(t); break;
        case 73:
          if (isAttr) e.fieldLength = i16(t);
          else e.vertical = i16(t);
          break;
        case 74:
          if (!isAttr) return false;
          e.vertical = i16(t);
          break;
        case 2:
          if (!isAttr) return false;
          e.tag = p.text(t);
          break;
        case 3:
          if (e.kind != TextEntity::Kind::AttributeDefinition) return false;
          e.prompt = p.text(t);
          break;
        case 70:
          if (!isAttr) return false;
          e.attributeFlags = i16(t);
          break;
        default: return false;
      }
    }
    return true;
  });
}

bool readMText(RecordParser& p, const Record& r, const TextCodec& codec, MTextEntity& e) {
  // The contents come in 250-byte pieces (3 ... 3, then 1); they are joined before decoding
  // so that no character or escape is cut in two.
  std::string contents;
  bool ok = p.run(r, [&](std::string_view, const Tag& t) {
    if (isCoordinate(t.code, 10)) setCoordinate(e.position, t.code, 10, t.real);
    else if (isCoordinate(t.code, 11)) {
      setCoordinate(e.xDirection, t.code, 11, t.real);
      e.hasXDirection = true;
    } else if (isCoordinate(t.code, 210)) setCoordinate(e.normal, t.code, 210, t.real);
    else {
      switch (t.code) {
        case 40: e.height = t.real; break;
        case 41: e.width = t.real; break;
        case 71: e.attachment = i16(t); break;
        case 72: e.direction = i16(t); break;
        case 3:
        case 1: contents.append(t.text); break;
        case 7: e.style = p.text(t); break;
        case 50:
          e.rotation = t.real;
          e.hasRotation = true;
          break;
        case 73: e.lineSpacingStyle = i16(t); break;
        case 44: e.lineSpacingFactor = t.real; break;
        default: return false;
      }
    }
    return true;
  });
  e.text = codec.decode(contents);
  return ok;
}

bool readLwPolyline(RecordParser& p, const Record& r, PolylineEntity& e) {
  e.lightweight = true;
  return p.run(r, [&](std::string_view, const Tag& t) {
    if (t.code == 10) {
      e.vertices.emplace_back().point.x = t.real;
      return true;
    }
    PolylineVertex* v = e.vertices.empty() ? nullptr : &e.vertices.back();
    switch (t.code) {
      case 20: if (!v) return false; v->point.y = t.real; break;
      case 40: if (!v) return false; v->startWidth = t.real; break;
      case 41: if (!v) return false; v->endWidth = t.real; break;
      case 42: if (!v) return false; v->bulge = t.real; break;
      case 91: break;  // vertex identifier of newer versions, always regenerated
      case 90: break;  // vertex count: the vertices themselves tell
      case 70: e.flags = i16(t); break;
      case 43: e.constantWidth = t.real; e.hasConstantWidth = true; break;
      case 38: e.elevation = t.real; break;
      default: return thicknessAndNormal(t, e.thickness, e.normal);
    }
    return true;
  });
}

bool readVertex(RecordParser& p, const Record& r, PolylineVertex& v) {
  return p.run(r, [&](std::string_view, const Tag& t) {
    if (isCoordinate(t.code, 10)) setCoordinate(v.point, t.code, 10, t.real);
    else if (t.code == 40) v.startWidth = t.real;
    else if (t.code == 41) v.endWidth = t.real;
    else if (t.code == 42) v.bulge = t.real;
    else if (t.code == 70) v.flags = i16(t);
    else if (t.code == 50) v.tangent = t.real;
    else return false;
    return true;
  });
}

// POLYLINE flags of 3D polylines (8), polygon meshes (16) and polyface meshes (64): such
// polylines are kept raw.
constexpr std::int16_t kNot2dPolyline = kPolyline3d | kPolygonMesh | kPolyfaceMesh;

bool readPolyline(RecordParser& p, const EntityRecords& records, const TextCodec& codec,
                  PolylineEntity& e, DxfError& error) {
  e.lightweight = false;
  Point3 origin;
  bool ok = p.run(records.main, [&](std::string_view, const Tag& t) {
    if (isCoordinate(t.code, 10)) setCoordinate(origin, t.code, 10, t.real);
    else if (t.code == 70) e.flags = i16(t);
    else if (t.code == 40) e.defaultStartWidth = t.real;
    else if (t.code == 41) e.defaultEndWidth = t.real;
    else if (t.code == 75) e.curveType = i16(t);
    else if (t.code == 66) {
    }  // "vertices follow": the records tell
    else return thicknessAndNormal(t, e.thickness, e.normal);
    return true;
  });
  e.elevation = origin.z;
  for (const Record& vr : records.followers) {
    PolylineVertex& v = e.vertices.emplace_back();
    RecordParser vp(codec, v.common, error);
    vp.takeEntityData(true);
    vp.ownSubclasses({"AcDbVertex", "AcDb2dVertex"});
    if (!readVertex(vp, vr, v)) return false;
  }
  if (!records.seqEnd.tags.empty()) {
    RecordParser sp(codec, e.seqEnd, error);
    sp.takeEntityData(true);
    if (!sp.run(records.seqEnd, [](std::string_view, const Tag&) { return false; })) return false;
  }
  return ok;
}

bool readSpline(RecordParser& p, const Record& r, SplineEntity& e) {
  return p.run(r, [&](std::string_view, const Tag& t) {
    switch (t.code) {
      case 210: case 220: case 230:
        setCoordinate(e.normal, t.code, 210, t.real);
        e.hasNormal = true;
        break;
      case 70: e.flags = i16(t); break;
      case 71: e.degree = i16(t); break;
      case 72: case 73: case 74: break;  // counts: the lists tell
      case 42: e.knotTolerance = t.real; e.hasKnotTolerance = true; break;
      case 43: e.controlTolerance = t.real; e.hasControlTolerance = true; break;
      case 44: e.fitTolerance = t.real; e.hasFitTolerance = true; break;
      case 12: case 22: case 32:
        setCoordinate(e.startTangent, t.code, 12, t.real);
        e.hasStartTangent = true;
        break;
      case 13: case 23: case 33:
        setCoordinate(e.endTangent, t.code, 13, t.real);
        e.hasEndTangent = true;
        break;
      case 40: e.knots.push_back(t.real); break;
      case 41: e.weights.push_back(t.real); break;
      case 10: e.controlPoints.push_back({t.real, 0, 0}); break;
      case 20: case 30:
        if (e.controlPoints.empty()) return false;
        setCoordinate(e.controlPoints.back(), t.code, 10, t.real);
        break;
      case 11: e.fitPoints.push_back({t.real, 0, 0}); break;
      case 21: case 31:
        if (e.fitPoints.empty()) return false;
        setCoordinate(e.fitPoints.back(), t.code, 11, t.real);
        break;
      default: return false;
    }
    return true;
  });
}

bool readInsert(RecordParser& p, const EntityRecords& records, const TextCodec& codec,
                InsertEntity& e, DxfError& error) {
  bool ok = p.run(records.main, [&](std::string_view subclass, const Tag& t) {
    if (subclass == "AcDbMInsertBlock") e.isMInsert = true;
    if (isCoordinate(t.code, 10)) setCoordinate(e.position, t.code, 10, t.real);
    else if (isCoordinate(t.code, 210)) setCoordinate(e.normal, t.code, 210, t.real);
    else {
      switch (t.code) {
        case 2: e.block = p.text(t); break;
        case 41: e.scale.x = t.real; break;
        case 42: e.scale.y = t.real; break;
        case 43: e.scale.z = t.real; break;
        case 50: e.rotation = t.real; break;
        case 70: e.columns = i16(t); break;
        case 71: e.rows = i16(t); break;
        case 44: e.columnSpacing = t.real; break;
        case 45: e.rowSpacing = t.real; break;
        case 66: break;  // "attributes follow": the records tell
        default: return false;
      }
    }
    return true;
  });
  for (const Record& ar : records.followers) {
    InsertEntity::Attribute& a = e.attributes.emplace_back();
    a.text.kind = TextEntity::Kind::Attribute;
    RecordParser ap(codec, a.common, error);
    ap.takeEntityData(true);
    ap.ownSubclasses({"AcDbText", "AcDbAttribute"});
    if (!readText(ap, ar, a.text)) return false;
  }
  if (!records.seqEnd.tags.empty()) {
    RecordParser sp(codec, e.seqEnd, error);
    sp.takeEntityData(true);
    if (!sp.run(records.seqEnd, [](std::string_view, const Tag&) { return false; })) return false;
  }
  return ok;
}

}  // namespace

namespace detail {

bool readRawRecords(RecordParser& p, const EntityRecords& records, const TextCodec& codec, RawEntity& e,
                    DxfError& error) {
  auto none = [](std::string_view, const Tag&) { return false; };
  e.type = std::string(records.main.type());
  if (!p.run(records.main, none)) return false;
  for (const Record& fr : records.followers) {
    RawEntity::Follower& f = e.followers.emplace_back();
    f.type = std::string(fr.type());
    RecordParser fp(codec, f.common, error);
    fp.takeEntityData(true);
    if (!fp.run(fr, none)) return false;
  }
  e.hasSeqEnd = !records.seqEnd.tags.empty();
  if (e.hasSeqEnd) {
    RecordParser sp(codec, e.seqEnd, error);
    sp.takeEntityData(true);
    if (!sp.run(records.seqEnd, none)) return false;
  }
  return true;
}

bool readLine(RecordParser& p, const EntityRecords& records, const TextCodec&, Entity& entity, DxfError&) {
  entity.kind = Entity::Kind::Line;
  p.ownSubclasses({"AcDbLine"});
  LineEntity& e = entity.line;
  return p.run(records.main, [&](std::string_view, const Tag& t) {
    if (isCoordinate(t.code, 10)) setCoordinate(e.start, t.code, 10, t.real);
    else if (isCoordinate(t.code, 11)) setCoordinate(e.end, t.code, 11, t.real);
    else return thicknessAndNormal(t, e.thickness, e.normal);
    return true;
  });
}

bool readPoint(RecordParser& p, const EntityRecords& records, const TextCodec&, Entity& entity, DxfError&) {
  entity.kind = Entity::Kind::Point;
  p.ownSubclasses({"AcDbPoint"});
  PointEntity& e = entity.point;
  return p.run(records.main, [&](std::string_view, const Tag& t) {
    if (isCoordinate(t.code, 10)) setCoordinate(e.position, t.code, 10, t.real);
    else if (t.code == 50) e.xAxisAngle = t.real;
    else return thicknessAndNormal(t, e.thickness, e.normal);
    return true;
  });
}

// CIRCLE and ARC.
bool readCircle(RecordParser& p, const EntityRecords& records, const TextCodec&, Entity& entity, DxfError&) {
  entity.kind = Entity::Kind::Circle;
  p.ownSubclasses({"AcDbCircle", "AcDbArc"});
  CircleEntity& e = entity.circle;
  e.isArc = records.main.type() == "ARC";
  return p.run(records.main, [&](std::string_view, const Tag& t) {
    if (isCoordinate(t.code, 10)) setCoordinate(e.center, t.code, 10, t.real);
    else if (t.code == 40) e.radius = t.real;
    else if (t.code == 50 && e.isArc) e.startAngle = t.real;
    else if (t.code == 51 && e.isArc) e.endAngle = t.real;
    else return thicknessAndNormal(t, e.thickness, e.normal);
    return true;
  });
}

// SOLID and TRACE.
bool readSolid(RecordParser& p, const EntityRecords& records, const TextCodec&, Entity& entity, DxfError&) {
  entity.kind = Entity::Kind::Solid;
  p.ownSubclasses({"AcDbTrace"});
  SolidEntity& e = entity.solid;
  e.isTrace = records.main.type() == "TRACE";
  return p.run(records.main, [&](std::string_view, const Tag& t) {
    for (int corner = 0; corner < 4; ++corner) {
      if (isCoordinate(t.code, 10 + corner)) {
        setCoordinate(e.corners[corner], t.code, 10 + corner, t.real);
        return true;
      }
    }
    return thicknessAndNormal(t, e.thickness, e.normal);
  });
}

// TEXT and ATTDEF.
bool readTextRecord(RecordParser& p, const EntityRecords& records, const TextCodec&, Entity& entity, DxfError&) {
  entity.kind = Entity::Kind::Text;
  entity.text.kind = records.main.type() == "TEXT" ? TextEntity::Kind::Text : TextEntity::Kind::AttributeDefinition;
  p.ownSubclasses({"AcDbText", "AcDbAttributeDefinition"});
  return readText(p, records.main, entity.text);
}

bool readMTextRecord(RecordParser& p, const EntityRecords& records, const TextCodec& codec, Entity& entity, DxfError&) {
  entity.kind = Entity::Kind::MText;
  p.ownSubclasses({"AcDbMText"});
  return readMText(p, records.main, codec, entity.mtext);
}

bool readLwPolylineRecord(RecordParser& p, const EntityRecords& records, const TextCodec&, Entity& entity, DxfError&) {
  entity.kind = Entity::Kind::Polyline;
  p.ownSubclasses({"AcDbPolyline"});
  return readLwPolyline(p, records.main, entity.polyline);
}

// 2D polylines; 3D polylines and meshes are kept as read.
bool readPolylineRecord(RecordParser& p, const EntityRecords& records, const TextCodec& codec, Entity& entity,
                        DxfError& error) {
  const Tag* flags = records.main.find(70);
  if (flags && (flags->integer & kNot2dPolyline) != 0) {
    entity.kind = Entity::Kind::Raw;
    return readRawRecords(p, records, codec, entity.raw, error);
  }
  entity.kind = Entity::Kind::Polyline;
  p.ownSubclasses({"AcDb2dPolyline"});
  return readPolyline(p, records, codec, entity.polyline, error);
}

bool readEllipse(RecordParser& p, const EntityRecords& records, const TextCodec&, Entity& entity, DxfError&) {
  entity.kind = Entity::Kind::Ellipse;
  p.ownSubclasses({"AcDbEllipse"});
  EllipseEntity& e = entity.ellipse;
  return p.run(records.main, [&](std::string_view, const Tag& t) {
    if (isCoordinate(t.code, 10)) setCoordinate(e.center, t.code, 10, t.real);
    else if (isCoordinate(t.code, 11)) setCoordinate(e.majorAxis, t.code, 11, t.real);
    else if (isCoordinate(t.code, 210)) setCoordinate(e.normal, t.code, 210, t.real);
    else if (t.code == 40) e.ratio = t.real;
    else if (t.code == 41) e.startParam = t.real;
    else if (t.code == 42) e.endParam = t.real;
    else return false;
    return true;
  });
}

bool readSplineRecord(RecordParser& p, const EntityRecords& records, const TextCodec&, Entity& entity, DxfError&) {
  entity.kind = Entity::Kind::Spline;
  p.ownSubclasses({"AcDbSpline"});
  return readSpline(p, records.main, entity.spline);
}

// RAY and XLINE.
bool readRay(RecordParser& p, const EntityRecords& records, const TextCodec&, Entity& entity, DxfError&) {
  entity.kind = Entity::Kind::Ray;
  p.ownSubclasses({"AcDbRay", "AcDbXline"});
  RayEntity& e = entity.ray;
  e.isXline = records.main.type() == "XLINE";
  return p.run(records.main, [&](std::string_view, const Tag& t) {
    if (isCoordinate(t.code, 10)) setCoordinate(e.base, t.code, 10, t.real);
    else if (isCoordinate(t.code, 11)) setCoordinate(e.direction, t.code, 11, t.real);
    else return false;
    return true;
  });
}

// A hatch with followers, or laid out otherwise than HATCH records are, is kept as read.
bool readHatchRecord(RecordParser& p, const EntityRecords& records, const TextCodec& codec, Entity& entity,
                     DxfError& error) {
  if (!records.followers.empty()) {
    entity.kind = Entity::Kind::Raw;
    return readRawRecords(p, records, codec, entity.raw, error);
  }
  entity.kind = Entity::Kind::Hatch;
  p.ownSubclasses({"AcDbHatch"});
  std::vector<Tag> own;
  if (!p.run(records.main, [&](std::string_view, const Tag& t) {
        own.push_back(t);
        return true;
      }))
    return false;
  RawTags rest;
  if (!parseHatch(own, codec, entity.hatch, rest)) return readEntityAsRaw(records, codec, entity, error);
  if (!rest.empty()) {
    entity.common.extras.push_back({100, "AcDbHatch"});
    entity.common.extras.insert(entity.common.extras.end(), rest.begin(), rest.end());
  }
  return true;
}

bool readInsertRecord(RecordParser& p, const EntityRecords& records, const TextCodec& codec, Entity& entity,
                      DxfError& error) {
  entity.kind = Entity::Kind::Insert;
  p.ownSubclasses({"AcDbBlockReference", "AcDbMInsertBlock"});
  return readInsert(p, records, codec, entity.insert, error);
}

}  // namespace detail

bool detail::readEntityOfType(const EntityRecords& records, const TextCodec& codec, Entity& entity,
                              DxfError& error, const EntityType*& type) {
  entity = Entity();
  RecordParser p(codec, entity.common, error);
  p.takeEntityData(true);
  type = findEntityType(records.main.type());
  if (type && type->read) return type->read(p, records, codec, entity, error);
  entity.kind = Entity::Kind::Raw;
  return readRawRecords(p, records, codec, entity.raw, error);
}

bool readEntity(const EntityRecords& records, const TextCodec& codec, Entity& entity,
                DxfError& error) {
  const detail::EntityType* type = nullptr;
  return detail::readEntityOfType(records, codec, entity, error, type);
}

bool readEntityAsRaw(const EntityRecords& records, const TextCodec& codec, Entity& entity, DxfError& error) {
  entity = Entity();
  RecordParser raw(codec, entity.common, error);
  raw.takeEntityData(true);
  entity.kind = Entity::Kind::Raw;
  return detail::readRawRecords(raw, records, codec, entity.raw, error);
}

}  // namespace contura::dxf
