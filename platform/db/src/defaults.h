// The default drawing and the defaults entities get when they enter a database.
#pragma once
#include "internal.h"

#include <string>

namespace contura::db {

// Adds what the default drawing has and impl lacks (see completeDefaultDrawing).
void buildDefaultDrawing(AcDbDatabase::Impl& impl);
// Gives an entity entering impl's database the current layer / linetype when it has none
// or has one of another database (then the record of the same name, when there is one).
void applyEntityDefaults(AcDbDatabase::Impl& impl, AcDbEntity& ent);
// The block of that name; the standard arrowhead block of that name made first when it is
// one and missing; null otherwise.
AcDbStub* ensureArrowheadBlock(AcDbDatabase::Impl& impl, const std::string& name);
// Adds a record (new) to table `table` of impl without the open protocol; closed after.
AcDbStub* addRecordDirect(AcDbDatabase::Impl& impl, int table, AcDbSymbolTableRecord* rec,
                          const std::string& name);
// Appends a new entity to a block without the open protocol; closed after.
AcDbStub* appendEntityDirect(AcDbDatabase::Impl& impl, AcDbStub* block, AcDbEntity* ent);

}  // namespace contura::db
