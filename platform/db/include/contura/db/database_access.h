// How a drawing-file reader builds a database with the file's own handles and structure,
// and how a writer reads what the host interface does not show.
#pragma once
#include <dbmain.h>

#include <string>
#include <vector>

class AcDbAttribute;

namespace contura::db {

// Adds obj (new) with the given handle, binding an id already made for that handle by
// getAcDbObjectId(..., createIfNotFound = true). The object is then in the database and open
// for write, as after addAcDbObject. eHandleInUse when an object has that handle, eNullHandle
// for 0, eAlreadyInDb, eNullObjectPointer. The handle seed moves above the handle.
Acad::ErrorStatus addObjectWithHandle(AcDbDatabase& db, AcDbObjectId& id, AcDbObject* obj,
                                      const AcDbHandle& handle);
// Appends a new entity to a block table record (which need not be open) with the given
// handle: addObjectWithHandle plus block ownership; database defaults are applied to a
// missing layer or linetype. The entity stays open for write.
Acad::ErrorStatus appendEntityWithHandle(AcDbObjectId blockId, AcDbObjectId& id, AcDbEntity* ent,
                                         const AcDbHandle& handle);
// Appends an entity that is already in the database (added with addObjectWithHandle) to a
// block table record and makes the block its owner. eWrongDatabase, eAlreadyInDb when it has
// an owner.
Acad::ErrorStatus appendExistingEntity(AcDbObjectId blockId, AcDbObjectId entityId);
// Appends a vertex or attribute already in the database to its polyline or block reference.
Acad::ErrorStatus appendExistingPart(AcDbObjectId ownerId, AcDbObjectId partId);
// Makes the record (already in the database) part of the table. eDuplicateRecordName,
// eWrongObjectType.
Acad::ErrorStatus appendExistingRecord(AcDbObjectId tableId, AcDbObjectId recordId);
// Puts an object already in the database into a dictionary under key (owner set).
Acad::ErrorStatus appendExistingEntry(AcDbObjectId dictionaryId, const std::string& key,
                                      AcDbObjectId objectId);

// The handle the next new object gets; setting below a used handle moves it above them.
void setHandseed(AcDbDatabase& db, const AcDbHandle& seed);
// Takes the next handle for something the database does not hold (a SEQEND the writer
// needs).
AcDbHandle allocateHandle(AcDbDatabase& db);

// Which object is which table / the named object dictionary (eWrongObjectType when the
// object is not of that kind).
enum class TableKind { kBlock, kLayer, kTextStyle, kLinetype, kView, kUCS, kViewport, kRegApp,
                       kDimStyle };
Acad::ErrorStatus setTableId(AcDbDatabase& db, TableKind kind, AcDbObjectId tableId);
Acad::ErrorStatus setNamedObjectsDictionaryId(AcDbDatabase& db, AcDbObjectId dictId);
// Adds whatever the default drawing has and db lacks (tables, layer "0", model and paper
// space, standard linetypes, text and dimension style, "ACAD", "*ACTIVE", named object and
// group dictionaries) and sets unset header ids to them. Existing objects are untouched.
void completeDefaultDrawing(AcDbDatabase& db);

// Ownership links a reader restores as read (no checks beyond the object being open or new).
void setExtensionDictionary(AcDbObject& obj, AcDbObjectId dictId);
void setPersistentReactors(AcDbObject& obj, const AcDbObjectIdArray& reactorIds);
AcDbObjectIdArray persistentReactors(const AcDbObject& obj);

// The file name getFilename reports (a reader sets it; readDwgFile does it itself).
void setFileName(AcDbDatabase& db, const std::string& cp936Path);

// Every object of the database in creation order (erased ones included), for writers.
std::vector<AcDbObjectId> allObjectIds(const AcDbDatabase& db);

// An attribute's drawing-file flags as a file gives them (1 invisible, 2 constant, 4 verify,
// 8 preset; other bits ignored), for readers of drawing files: the host lets an attribute
// take the constant, verify and preset flags only from its definition.
void setAttributeFlags(AcDbAttribute& attribute, int flags);

}  // namespace contura::db
