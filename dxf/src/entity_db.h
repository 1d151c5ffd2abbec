// Internal: entity and table entry values to database objects and back, the functions the
// type rows name (see type_registry.h).
#pragma once
#include "type_registry.h"

#include <dbents.h>
#include <dbsymtb.h>

namespace contura::dxf::detail {

using EntityToDb = std::unique_ptr<AcDbEntity>(Entity& entity, ToDatabase& db);
EntityToDb lineToDb, pointToDb, circleToDb, solidToDb, textToDb, mtextToDb, lwPolylineToDb,
    polylineToDb, ellipseToDb, splineToDb, rayToDb, insertToDb, hatchToDb, regionToDb, solid3dToDb;
using EntityPartsToDb = bool(const Entity& entity, ToDatabase& db, const AcDbObjectId& owner);
EntityPartsToDb polylinePartsToDb, insertPartsToDb;

using EntityFromDb = bool(AcDbEntity* object, Entity& entity, FromDatabase& db);
EntityFromDb lineFromDb, pointFromDb, arcFromDb, circleFromDb, solidFromDb, textFromDb,
    attributeDefinitionFromDb, mtextFromDb, lwPolylineFromDb, polylineFromDb, ellipseFromDb,
    splineFromDb, rayFromDb, insertFromDb, hatchFromDb, regionFromDb, solid3dFromDb;
// An entity kept as read (AcDbRawEntity): its own record's tags.
bool rawFromDb(AcDbEntity* object, Entity& entity);

// A text's value set on a database text (and its attributes), and back.
void setText(AcDbText& text, const TextEntity& value, AcDbObjectId style);
void textValue(const AcDbText* text, TextEntity& value, FromDatabase& db);

template <class T>
std::unique_ptr<AcDbSymbolTable> newTable() {
  return std::make_unique<T>();
}
template <class T>
std::unique_ptr<AcDbSymbolTableRecord> newRecord() {
  return std::make_unique<T>();
}
// VPORT, VIEW, UCS and APPID: the name typed, the rest kept as read.
template <class T>
std::unique_ptr<AcDbSymbolTableRecord> namedRecordToDb(const TableRecord& value) {
  auto record = std::make_unique<T>();
  record->setName(value.name.c_str());
  return record;
}
using RecordToDb = std::unique_ptr<AcDbSymbolTableRecord>(const TableRecord& value);
RecordToDb layerToDb, styleToDb, linetypeToDb, dimStyleToDb, blockRecordToDb;
using RecordAfterAdd = void(AcDbSymbolTableRecord& record, const TableRecord& value, ToDatabase& db);
RecordAfterAdd layerAfterAdd, dimStyleAfterAdd, blockRecordAfterAdd;
using RecordFromDb = void(AcDbSymbolTableRecord* record, TableRecord& value, FromDatabase& db);
RecordFromDb layerFromDb, styleFromDb, linetypeFromDb, dimStyleFromDb, blockRecordFromDb,
    viewportFromDb, flagsFromDb;

}  // namespace contura::dxf::detail
