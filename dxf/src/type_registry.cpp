// The rows of the types the drawing mapping knows.
#include "type_registry.h"

#include "entity_db.h"
#include "value_formats.h"

#include <contura/db/database_access.h>

#include <dbelipse.h>
#include <dbhatch.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbspline.h>
#include <dbsol3d.h>
#include <dbregion.h>

#include <unordered_map>

namespace contura::dxf::detail {

namespace {

template <class T>
const AcRxClass* classOf() {
  return T::desc();
}

constexpr bool kR12 = true, kR13 = false;

// One row per record type (INSERT twice: a block reference and a multiple one are both
// INSERT records). Types without a reader are kept as read; without a database class they
// are not drawn (R12's types among them still fit R12 files).
const EntityType kEntityTypes[] = {
    // name         R12   read                  write                  toDb            partsToDb          fromDb                     class
    {"LINE",       kR12, readLine,             writeLine,             lineToDb,       nullptr,           lineFromDb,                classOf<AcDbLine>},
    {"POINT",      kR12, readPoint,            writePoint,            pointToDb,      nullptr,           pointFromDb,               classOf<AcDbPoint>},
    {"CIRCLE",     kR12, readCircle,           writeCircle,           circleToDb,     nullptr,           circleFromDb,              classOf<AcDbCircle>},
    {"ARC",        kR12, readCircle,           writeCircle,           circleToDb,     nullptr,           arcFromDb,                 classOf<AcDbArc>},
    {"SOLID",      kR12, readSolid,            writeSolid,            solidToDb,      nullptr,           solidFromDb,               classOf<AcDbSolid>},
    {"TRACE",      kR12, readSolid,            writeSolid,            nullptr,        nullptr,           nullptr,                   nullptr},
    {"TEXT",       kR12, readTextRecord,       writeTextRecord,       textToDb,       nullptr,           textFromDb,                classOf<AcDbText>},
    {"ATTDEF",     kR12, readTextRecord,       writeTextRecord,       textToDb,       nullptr,           attributeDefinitionFromDb, classOf<AcDbAttributeDefinition>},
    {"ATTRIB",     kR12, nullptr,              writeTextRecord,       nullptr,        nullptr,           textFromDb,                classOf<AcDbAttribute>},
    {"MTEXT",      kR13, readMTextRecord,      writeMTextRecord,      mtextToDb,      nullptr,           mtextFromDb,               classOf<AcDbMText>},
    {"LWPOLYLINE", kR12, readLwPolylineRecord, writeLwPolylineRecord, lwPolylineToDb, nullptr,           lwPolylineFromDb,          classOf<AcDbPolyline>},
    {"POLYLINE",   kR12, readPolylineRecord,   writePolylineRecord,   polylineToDb,   polylinePartsToDb, polylineFromDb,            classOf<AcDb2dPolyline>},
    {"VERTEX",     kR12, nullptr,              nullptr,               nullptr,        nullptr,           nullptr,                   classOf<AcDb2dVertex>},
    {"SEQEND",     kR12, nullptr,              nullptr,               nullptr,        nullptr,           nullptr,                   nullptr},
    {"ELLIPSE",    kR13, readEllipse,          writeEllipse,          ellipseToDb,    nullptr,           ellipseFromDb,             classOf<AcDbEllipse>},
    {"SPLINE",     kR13, readSplineRecord,     writeSplineRecord,     splineToDb,     nullptr,           splineFromDb,              classOf<AcDbSpline>},
    {"RAY",        kR13, readRay,              writeRay,              rayToDb,        nullptr,           rayFromDb,                 classOf<AcDbRay>},
    {"XLINE",      kR13, readRay,              writeRay,              rayToDb,        nullptr,           rayFromDb,                 classOf<AcDbXline>},
    {"INSERT",     kR12, readInsertRecord,     writeInsertRecord,     insertToDb,     insertPartsToDb,   insertFromDb,              classOf<AcDbBlockReference>},
    {"INSERT",     kR12, readInsertRecord,     writeInsertRecord,     insertToDb,     insertPartsToDb,   insertFromDb,              classOf<AcDbMInsertBlock>},
    {"HATCH",      kR13, readHatchRecord,      writeHatchRecord,      hatchToDb,      nullptr,           hatchFromDb,               classOf<AcDbHatch>},
    {"REGION",     kR13, nullptr,              nullptr,               regionToDb,     nullptr,           regionFromDb,              classOf<AcDbRegion>},
    {"3DSOLID",    kR13, nullptr,              nullptr,               solid3dToDb,    nullptr,           solid3dFromDb,             classOf<AcDb3dSolid>},
    {"SHAPE",      kR12, nullptr,              nullptr,               nullptr,        nullptr,           nullptr,                   nullptr},
    {"3DFACE",     kR12, nullptr,              nullptr,               nullptr,        nullptr,           nullptr,                   nullptr},
    {"VIEWPORT",   kR12, nullptr,              nullptr,               nullptr,        nullptr,           nullptr,                   nullptr},
    {"DIMENSION",  kR12, nullptr,              nullptr,               nullptr,        nullptr,           nullptr,                   nullptr},
};

using K = TableRecord::Kind;
using T = db::TableKind;
using D = AcDbDatabase;

// In the order a file lists the tables.
const TableType kTableTypes[] = {
    {K::Viewport, "VPORT", "AcDbViewportTableRecord", T::kViewport, &D::viewportTableId, newTable<AcDbViewportTable>, newRecord<AcDbViewportTableRecord>,
     readNoField, writeViewportBody, namedRecordToDb<AcDbViewportTableRecord>, nullptr, viewportFromDb},
    {K::Linetype, "LTYPE", "AcDbLinetypeTableRecord", T::kLinetype, &D::linetypeTableId, newTable<AcDbLinetypeTable>, newRecord<AcDbLinetypeTableRecord>,
     readLinetypeField, writeLinetypeBody, linetypeToDb, nullptr, linetypeFromDb},
    {K::Layer, "LAYER", "AcDbLayerTableRecord", T::kLayer, &D::layerTableId, newTable<AcDbLayerTable>, newRecord<AcDbLayerTableRecord>,
     readLayerField, writeLayerBody, layerToDb, layerAfterAdd, layerFromDb},
    {K::TextStyle, "STYLE", "AcDbTextStyleTableRecord", T::kTextStyle, &D::textStyleTableId, newTable<AcDbTextStyleTable>, newRecord<AcDbTextStyleTableRecord>,
     readStyleField, writeStyleBody, styleToDb, nullptr, styleFromDb},
    {K::View, "VIEW", "AcDbViewTableRecord", T::kView, &D::viewTableId, newTable<AcDbViewTable>, newRecord<AcDbViewTableRecord>,
     readNoField, writeFlagsBody, namedRecordToDb<AcDbViewTableRecord>, nullptr, flagsFromDb},
    {K::UCS, "UCS", "AcDbUCSTableRecord", T::kUCS, &D::UCSTableId, newTable<AcDbUCSTable>, newRecord<AcDbUCSTableRecord>,
     readNoField, writeFlagsBody, namedRecordToDb<AcDbUCSTableRecord>, nullptr, flagsFromDb},
    {K::RegApp, "APPID", "AcDbRegAppTableRecord", T::kRegApp, &D::regAppTableId, newTable<AcDbRegAppTable>, newRecord<AcDbRegAppTableRecord>,
     readNoField, writeFlagsBody, namedRecordToDb<AcDbRegAppTableRecord>, nullptr, flagsFromDb},
    {K::DimStyle, "DIMSTYLE", "AcDbDimStyleTableRecord", T::kDimStyle, &D::dimStyleTableId, newTable<AcDbDimStyleTable>, newRecord<AcDbDimStyleTableRecord>,
     readDimStyleField, writeDimStyleBody, dimStyleToDb, dimStyleAfterAdd, dimStyleFromDb},
    {K::BlockRecord, "BLOCK_RECORD", "AcDbBlockTableRecord", T::kBlock, &D::blockTableId, newTable<AcDbBlockTable>, newRecord<AcDbBlockTableRecord>,
     readBlockRecordField, writeBlockRecordBody, blockRecordToDb, blockRecordAfterAdd, blockRecordFromDb},
};

static_assert(std::size(kTableTypes) == kTableTypeCount);

}  // namespace

std::span<const TableType> tableTypes() { return kTableTypes; }

// A scan: most names differ in length, and the common types come first.
const EntityType* findEntityType(std::string_view dxfName) {
  for (const EntityType& t : kEntityTypes) {
    if (dxfName == t.dxfName) return &t;
  }
  return nullptr;
}

const EntityType* entityTypeOfClass(const AcRxClass* cls) {
  static const std::unordered_map<const AcRxClass*, const EntityType*> byClass = [] {
    std::unordered_map<const AcRxClass*, const EntityType*> map;
    for (const EntityType& t : kEntityTypes) {
      if (t.dbClass) map.emplace(t.dbClass(), &t);
    }
    return map;
  }();
  auto found = byClass.find(cls);
  return found == byClass.end() ? nullptr : found->second;
}

const TableType* findTableType(std::string_view dxfName) {
  for (const TableType& t : kTableTypes) {
    if (dxfName == t.dxfName) return &t;
  }
  return nullptr;
}

const TableType& tableTypeOf(TableRecord::Kind kind) {
  for (const TableType& t : kTableTypes) {
    if (t.kind == kind) return t;
  }
  return kTableTypes[0];
}

const TableType& tableTypeOf(db::TableKind table) {
  for (const TableType& t : kTableTypes) {
    if (t.table == table) return t;
  }
  return kTableTypes[0];
}

}  // namespace contura::dxf::detail
