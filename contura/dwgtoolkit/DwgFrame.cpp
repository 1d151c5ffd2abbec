// CDwgDatabase: construction, assignment, the wrapped database, and set operations on id
// arrays and curve arrays.
#include "DwgDatabase.h"

#include <dbapserv.h>

CDwgDatabase::CDwgDatabase(AcDbDatabase* pDb)
    : m_nLastResult(0), m_esLast(Acad::eOk), m_pDb(pDb) {
  if (m_pDb == NULL) m_pDb = acdbHostApplicationServices()->workingDatabase();
}

CDwgDatabase::~CDwgDatabase() {}

CDwgDatabase& CDwgDatabase::operator=(const CDwgDatabase& other) {
  m_nLastResult = other.m_nLastResult;
  m_esLast = other.m_esLast;
  m_pDb = other.m_pDb;
  return *this;
}

void CDwgDatabase::setDb(AcDbDatabase* pDb) { m_pDb = pDb; }

void CDwgDatabase::appendIdArrayToIdArray(AcDbObjectIdArray& from, AcDbObjectIdArray& to) {
  for (int i = 0; i < from.length(); i++) {
    if (!to.contains(from[i])) to.append(from[i]);
  }
}

void CDwgDatabase::deleteAcdbVoidArray(AcDbVoidPtrArray& objects) {
  for (int i = 0; i < objects.length(); i++) {
    delete static_cast<AcDbObject*>(objects[i]);
    objects[i] = NULL;
  }
  objects.setLogicalLength(0);
}

void CDwgDatabase::getObjIdArrayInTolArray(AcDbObjectIdArray& ids, AcDbObjectIdArray& keep) {
  int i = 0;
  while (i < ids.length()) {
    if (keep.contains(ids[i]))
      i++;
    else
      ids.removeAt(i);
  }
}

void CDwgDatabase::removeAcdbVoidArray(AcDbVoidPtrArray& objects, AcDbVoidPtrArray& remove) {
  for (int i = 0; i < remove.length(); i++) {
    if (remove[i] != NULL) objects.remove(remove[i]);
  }
}

void CDwgDatabase::removeIdArrayFromIdArray(AcDbObjectIdArray& remove, AcDbObjectIdArray& ids) {
  for (int i = 0; i < remove.length(); i++) ids.remove(remove[i]);
}

void CDwgDatabase::removeIdFromIdArray(AcDbObjectId& id, AcDbObjectIdArray& ids) { ids.remove(id); }

void CDwgDatabase::removeObjIdArray(AcDbObjectIdArray& ids, AcDbObjectIdArray& remove) {
  int i = 0;
  while (i < ids.length()) {
    if (remove.contains(ids[i]))
      ids.removeAt(i);
    else
      i++;
  }
}
