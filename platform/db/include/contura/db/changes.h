// What changed in a database since a moment: a count that grows with every change and the
// objects changed after a given count, so that a view of the drawing can follow a command's
// work without reading the whole drawing again.
//
// A change is an object added, or an object closed after it was open for write (the database
// cannot tell whether a write open changed anything, so every one counts, as the host counts
// such opens in its modification flag). Erasing and unerasing happen under a write open and
// so count at the close. Header settings are not objects and do not count.
#pragma once
#include <dbid.h>

#include <cstdint>
#include <vector>

class AcDbDatabase;

namespace contura::db {

// The number of changes the database has had since it was made.
std::uint64_t changeCount(const AcDbDatabase& db);

// The objects changed after the moment `changeCount` was `since`, each once, in the order of
// their last change. False when the database no longer remembers that far back (it keeps a
// bounded history): the caller must then look at the whole drawing.
bool changedSince(const AcDbDatabase& db, std::uint64_t since, std::vector<AcDbObjectId>& changed);

}  // namespace contura::db
