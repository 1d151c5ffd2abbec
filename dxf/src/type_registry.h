// Internal: the types the drawing mapping knows, one row each: the DXF record type, how its
// records are read into a value and written from one, how the value becomes a database
// object and how a database object becomes the value. Every list of known types (the
// database classes mapped here, R12's record types, the tables and their order) comes from
// these rows.
#pragma once
#include "record_parser.h"

#include <contura/dxf/table_records.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

class AcDbDatabase;
class AcDbEntity;
class AcDbObject;
class AcDbObjectId;
class AcDbSymbolTable;
class AcDbSymbolTableRecord;
class AcRxClass;

namespace contura::db {
enum class TableKind;
}

namespace contura::dxf::detail {

class EntityOut;
class RecordOut;

// What making database objects from values needs of the drawing being read.
class ToDatabase {
 public:
  // The object of a handle of the file (null for 0; a stand-in until the object is read).
  virtual AcDbObjectId idOf(std::uint64_t handle) = 0;
  // Table entries by name, made when the file's tables lack them.
  virtual AcDbObjectId linetypeId(const std::string& name) = 0;
  virtual AcDbObjectId styleId(const std::string& name) = 0;
  virtual AcDbObjectId blockId(const std::string& name) = 0;
  // Adds a part (vertex, attribute) to the entity `owner`, with its common data.
  virtual bool addPart(const AcDbObjectId& owner, std::unique_ptr<AcDbEntity> part,
                       const EntityCommon& common, const char* what) = 0;
  // A dimension style's blocks and text style, linked once the whole file is read.
  virtual void linkDimStyle(const AcDbObjectId& style, const TableRecord& value) = 0;

 protected:
  ~ToDatabase() = default;
};

// What making values of database objects needs of the drawing being written.
class FromDatabase {
 public:
  virtual std::string nameOf(const AcDbObjectId& id) = 0;
  // Handle, owner, application groups, kept tags and (for entities) the AcDbEntity data.
  virtual void commonOf(const AcDbObject* obj, EntityCommon& common) = 0;
  virtual DxfVersion version() const = 0;
  virtual void warn(const std::string& message) = 0;
  // The handle of the layout this write adds for model or paper space (0: none).
  virtual std::uint64_t addedLayoutOf(const AcDbObjectId& block) = 0;

 protected:
  ~FromDatabase() = default;
};

struct EntityType {
  std::string_view dxfName;
  bool inR12;  // R12 has this record type
  // Records into the value; null: entities of this type are kept as read.
  bool (*read)(RecordParser& parser, const EntityRecords& records, const TextCodec& codec,
               Entity& entity, DxfError& error);
  // The value's records; null: written as kept.
  void (*write)(EntityOut& out, const Entity& entity);
  // The value as a new database entity; null (or a null result): kept as read. A type
  // without a reader gets the value kept as read (a region's modeller text in its extras).
  std::unique_ptr<AcDbEntity> (*toDb)(Entity& entity, ToDatabase& db);
  // The parts of the entity added (null: none).
  bool (*partsToDb)(const Entity& entity, ToDatabase& db, const AcDbObjectId& owner);
  // The value of a database entity of `dbClass`; false when it is not written.
  bool (*fromDb)(AcDbEntity* object, Entity& entity, FromDatabase& db);
  // The database class of the type (null: none); entities of classes of no row belong to
  // other modules and file their own data.
  const AcRxClass* (*dbClass)();
};

struct TableType {
  TableRecord::Kind kind;
  const char* dxfName;   // record type; also the table's name
  const char* subclass;
  db::TableKind table;
  AcDbObjectId (AcDbDatabase::*tableId)() const;
  std::unique_ptr<AcDbSymbolTable> (*newTable)();
  // A new record with nothing set (for entries the file's tables lack).
  std::unique_ptr<AcDbSymbolTableRecord> (*newRecord)();
  // A group the entry's kind reads (after name and flags); false: kept in the extras.
  bool (*readField)(RecordParser& parser, const Tag& tag, TableRecord& value);
  // The entry's groups after its name (the head and the kept tags are written around them).
  void (*writeBody)(RecordOut& out);
  // A new database record of the value, before it is added.
  std::unique_ptr<AcDbSymbolTableRecord> (*toDb)(const TableRecord& value);
  // What is set once the record is in the database (null: nothing).
  void (*afterAdd)(AcDbSymbolTableRecord& record, const TableRecord& value, ToDatabase& db);
  // The value of a database record.
  void (*fromDb)(AcDbSymbolTableRecord* record, TableRecord& value, FromDatabase& db);
};

// The number of table rows (one per db::TableKind).
constexpr std::size_t kTableTypeCount = 9;

// The table rows, in the order a file lists the tables.
std::span<const TableType> tableTypes();

const EntityType* findEntityType(std::string_view dxfName);
// The row whose database class is exactly `cls`.
const EntityType* entityTypeOfClass(const AcRxClass* cls);
const TableType* findTableType(std::string_view dxfName);
const TableType& tableTypeOf(TableRecord::Kind kind);
const TableType& tableTypeOf(db::TableKind table);

}  // namespace contura::dxf::detail
