// CDwgDatabase: layers — lists, lookup by exact name or name prefix, on/off and lock states,
// names, colours and descriptions, entities of model space selected by layer, creating,
// erasing and putting every layer under a prefix.
//
// Names: exact comparison is case-sensitive and multi-byte (a layer "WALL" is not the layer
// "wall", although the table itself refuses both at once); a name begins with a prefix when
// the prefix's first occurrence is at position 0, so the empty prefix matches every layer.
// Layer "0" is never renamed and never a target name.
//
// Choices where the interface leaves the meaning to the name (codes count the steps):
// - Entity selections by layer (getEntIdArrayOnLayer, ...OnPreNameLayer, ...NoPreNameLayer,
//   ...OnSameLayer) empty the output, then list the entities of model space, in model-space
//   order, whose layer qualifies. 1: model space not listed; 2: an entity not opened; the
//   name forms return 3 when a name lookup failed. A name that names no layer selects
//   nothing. ...OnSameLayer: the layers of the given entities (1 also when one of them cannot
//   be opened).
// - getEntIdArrayOnLayerSelect(ids, name): filters the caller's ids in place, keeping only
//   the entities on the named layer (none when no layer has that name). 2: an id not opened.
// - getEntLayerIdArray: the layer ids of the entities, each once, in first-seen order; the
//   output is emptied first. 1: an entity not opened.
// - getEntLayerName(CStringArray&, id): adds the entity's layer name to the list unless the
//   list already holds it (collects over several calls). getEntLayerNameArray: empties the
//   list, then adds each entity's layer name once.
// - getLayerIdArrayFromName, getLayerNameArray: empty the output; names that name no layer
//   are passed over; 1: the layer list failed / a record not opened.
// - The name forms of the state members (setLayerVisible, setLayerInvisible, setLayerLock,
//   setLayerUnlock, getLayerColorFromLayer) resolve the name first: 1 no layer of that name
//   (or the lookup failed), 2 the id form failed. The list forms apply the name form in order
//   and stop at the first failure with its code. The flag of the list forms of
//   setLayerVisible / setLayerInvisible reads the texts as name prefixes when true (every
//   layer beginning with one of them), as exact names when false; a text matching nothing
//   is then not a failure.
// - showAllLayer(on): true turns every layer on; false turns every layer off except the
//   database's current layer, so that what is drawn next still shows.
// - showSelectEntLayers(ids): the layers of the entities are turned on and every other
//   layer off (the current layer included only when an entity lies on it). hideSelectEntLayers:
//   the layers of the entities are turned off. 1: an entity not opened; 2: a layer not changed.
// - setLayerName(newName, id): 1 open for write failed, 2 the name refused (layer "0", a name
//   in use, an empty name). setLayerName(newName, oldName): the layer named oldName (exact)
//   gets newName; 1 no such layer, 2 the rename failed.
// - getLayerDescription / setLayerDescription: 1 open failed, 2 refused.
// - eraseLayerIdArray: per layer, its model-space entities are erased first, then the layer
//   record. 1: model space not listed; 2: a layer not opened; 3: an entity not erased; 4 the
//   layer record refused the erase (layer "0" and the current layer are refused by the host).
// - createLayer: the record is added whatever the table reports about a name in use, and the
//   result is 0 then too (the record that could not be added is deleted, nothing replaced).
#include <acutmem.h>
#include <dbapserv.h>

#include "DwgDatabase.h"
#include "DwgToolkitCommon.h"

using namespace dwgtoolkit;

namespace {

const char* const kLayerZero = "0";
const int kDefaultLayerColor = 255;

// The layer name of an open record, "" when it cannot be read.
CString recordName(AcDbSymbolTableRecord* pRecord) {
  const ACHAR* pName = NULL;
  if (pRecord == NULL || pRecord->getName(pName) != Acad::eOk || pName == NULL) return CString();
  return CString(pName);
}

bool entityLayerIn(AcDbEntity* pEnt, const AcDbObjectIdArray& layerIds) {
  return layerIds.contains(pEnt->layerId());
}

}  // namespace

// ---- Lists and lookup --------------------------------------------------------------------

int CDwgDatabase::getLayerIdArray(AcDbObjectIdArray& ids) {
  ids.setLogicalLength(0);
  if (m_pDb == NULL) return 1;
  AcDbLayerTable* pRawTable = NULL;
  m_esLast = m_pDb->getLayerTable(pRawTable, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  OpenedObject<AcDbLayerTable> table(pRawTable);
  AcDbLayerTableIterator* pIt = NULL;
  m_esLast = table->newIterator(pIt);
  if (m_esLast != Acad::eOk) return 2;
  int result = 0;
  for (; !pIt->done(); pIt->step()) {
    AcDbObjectId id;
    m_esLast = pIt->getRecordId(id);
    if (m_esLast != Acad::eOk) {
      result = 3;
      break;
    }
    ids.append(id);
  }
  delete pIt;
  return result;
}

int CDwgDatabase::getLayerName(CString& name, AcDbObjectId id) {
  name.Empty();
  OpenedObject<AcDbLayerTableRecord> layer;
  m_esLast = acdbOpenObject(layer.ref(), id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  name = recordName(layer.get());
  return 0;
}

int CDwgDatabase::getLayerTolNameArrayNoZero(CStringArray& names) {
  names.RemoveAll();
  AcDbObjectIdArray ids;
  m_nLastResult = getLayerIdArray(ids);
  if (m_nLastResult != 0) return m_nLastResult;
  for (int i = 0; i < ids.length(); i++) {
    CString name;
    m_nLastResult = getLayerName(name, ids[i]);
    if (m_nLastResult != 0) return 4;
    if (!isSameName(name, kLayerZero)) names.Add(name);
  }
  return 0;
}

int CDwgDatabase::getLayerIdFromName(AcDbObjectId& id, CString name) {
  AcDbObjectIdArray ids;
  m_nLastResult = getLayerIdArray(ids);
  if (m_nLastResult != 0) return 1;
  for (int i = 0; i < ids.length(); i++) {
    CString layerName;
    m_nLastResult = getLayerName(layerName, ids[i]);
    if (m_nLastResult != 0) return 4;
    if (isSameName(layerName, name)) {
      id = ids[i];
      return 0;
    }
  }
  return 0;
}

int CDwgDatabase::getLayerIdArrayByPreName(AcDbObjectIdArray& ids, CString prefix) {
  ids.setLogicalLength(0);
  AcDbObjectIdArray all;
  m_nLastResult = getLayerIdArray(all);
  if (m_nLastResult != 0) return 1;
  for (int i = 0; i < all.length(); i++) {
    CString name;
    m_nLastResult = getLayerName(name, all[i]);
    if (m_nLastResult != 0) return 2;
    if (hasPrefix(name, prefix)) ids.append(all[i]);
  }
  return 0;
}

int CDwgDatabase::getLayerIdArrayFromName(AcDbObjectIdArray& ids, CStringArray& names) {
  ids.setLogicalLength(0);
  for (int i = 0; i < names.GetSize(); i++) {
    AcDbObjectId id;
    m_nLastResult = getLayerIdFromName(id, names[i]);
    if (m_nLastResult != 0) return 1;
    if (!id.isNull()) ids.append(id);
  }
  return 0;
}

int CDwgDatabase::getLayerNameArray(CStringArray& names, AcDbObjectIdArray ids) {
  names.RemoveAll();
  for (int i = 0; i < ids.length(); i++) {
    CString name;
    m_nLastResult = getLayerName(name, ids[i]);
    if (m_nLastResult != 0) return 1;
    names.Add(name);
  }
  return 0;
}

// ---- Entities and their layers -----------------------------------------------------------

bool CDwgDatabase::isEntOnLayer(AcDbEntity* pEnt, AcDbLayerTableRecord* pLayer) {
  if (pEnt == NULL || pLayer == NULL) return false;
  return pEnt->layerId() == pLayer->objectId();
}

bool CDwgDatabase::isEntOnLayer(AcDbObjectId entId, AcDbObjectId layerId) {
  OpenedObject<AcDbEntity> ent;
  m_esLast = openEntity(ent, entId, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return false;
  OpenedObject<AcDbLayerTableRecord> layer;
  m_esLast = acdbOpenObject(layer.ref(), layerId, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return false;
  return isEntOnLayer(ent.get(), layer.get());
}

int CDwgDatabase::getEntLayerName(CString& name, AcDbObjectId id) {
  name.Empty();
  OpenedObject<AcDbEntity> ent;
  m_esLast = openEntity(ent, id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  ACHAR* pName = ent->layer();
  if (pName != NULL) name = pName;
  acutDelString(pName);
  return 0;
}

int CDwgDatabase::getEntLayerName(CStringArray& names, AcDbObjectId id) {
  CString name;
  m_nLastResult = getEntLayerName(name, id);
  if (m_nLastResult != 0) return 1;
  for (int i = 0; i < names.GetSize(); i++) {
    if (isSameName(names[i], name)) return 0;
  }
  names.Add(name);
  return 0;
}

int CDwgDatabase::getEntLayerNameArray(CStringArray& names, AcDbObjectIdArray ids) {
  names.RemoveAll();
  for (int i = 0; i < ids.length(); i++) {
    m_nLastResult = getEntLayerName(names, ids[i]);
    if (m_nLastResult != 0) return 1;
  }
  return 0;
}

int CDwgDatabase::getEntLayerIdArray(AcDbObjectIdArray& layerIds, AcDbObjectId id) {
  AcDbObjectIdArray ids;
  ids.append(id);
  return getEntLayerIdArray(layerIds, ids);
}

int CDwgDatabase::getEntLayerIdArray(AcDbObjectIdArray& layerIds, AcDbObjectIdArray ids) {
  layerIds.setLogicalLength(0);
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbEntity> ent;
    m_esLast = openEntity(ent, ids[i], AcDb::kForRead);
    if (m_esLast != Acad::eOk) return 1;
    if (!layerIds.contains(ent->layerId())) layerIds.append(ent->layerId());
  }
  return 0;
}

int CDwgDatabase::getEntIdArrayOnLayer(AcDbObjectIdArray& ids, AcDbObjectId layerId) {
  AcDbObjectIdArray layerIds;
  layerIds.append(layerId);
  return getEntIdArrayOnLayer(ids, layerIds);
}

int CDwgDatabase::getEntIdArrayOnLayer(AcDbObjectIdArray& ids, AcDbObjectIdArray layerIds) {
  ids.setLogicalLength(0);
  AcDbObjectIdArray all;
  m_nLastResult = getEntIdArray(all);
  if (m_nLastResult != 0) return 1;
  for (int i = 0; i < all.length(); i++) {
    OpenedObject<AcDbEntity> ent;
    m_esLast = openEntity(ent, all[i], AcDb::kForRead);
    if (m_esLast != Acad::eOk) return 2;
    if (entityLayerIn(ent.get(), layerIds)) ids.append(all[i]);
  }
  return 0;
}

int CDwgDatabase::getEntIdArrayOnLayer(AcDbObjectIdArray& ids, CString name) {
  CStringArray names;
  names.Add(name);
  return getEntIdArrayOnLayer(ids, names);
}

int CDwgDatabase::getEntIdArrayOnLayer(AcDbObjectIdArray& ids, CStringArray& names) {
  ids.setLogicalLength(0);
  AcDbObjectIdArray layerIds;
  m_nLastResult = getLayerIdArrayFromName(layerIds, names);
  if (m_nLastResult != 0) return 3;
  if (layerIds.isEmpty()) return 0;
  return getEntIdArrayOnLayer(ids, layerIds);
}

int CDwgDatabase::getEntIdArrayOnLayerSelect(AcDbObjectIdArray& ids, CString name) {
  AcDbObjectId layerId;
  m_nLastResult = getLayerIdFromName(layerId, name);
  if (m_nLastResult != 0) return 1;
  int i = 0;
  while (i < ids.length()) {
    OpenedObject<AcDbEntity> ent;
    m_esLast = openEntity(ent, ids[i], AcDb::kForRead);
    if (m_esLast != Acad::eOk) return 2;
    if (!layerId.isNull() && ent->layerId() == layerId)
      i++;
    else
      ids.removeAt(i);
  }
  return 0;
}

int CDwgDatabase::getEntIdArrayOnPreNameLayer(AcDbObjectIdArray& ids, CString prefix) {
  ids.setLogicalLength(0);
  AcDbObjectIdArray layerIds;
  m_nLastResult = getLayerIdArrayByPreName(layerIds, prefix);
  if (m_nLastResult != 0) return 3;
  if (layerIds.isEmpty()) return 0;
  return getEntIdArrayOnLayer(ids, layerIds);
}

int CDwgDatabase::getEntIdArrayNoPreNameLayer(AcDbObjectIdArray& ids, CString prefix) {
  ids.setLogicalLength(0);
  AcDbObjectIdArray prefixed, all;
  m_nLastResult = getLayerIdArrayByPreName(prefixed, prefix);
  if (m_nLastResult != 0) return 3;
  m_nLastResult = getLayerIdArray(all);
  if (m_nLastResult != 0) return 3;
  removeObjIdArray(all, prefixed);
  if (all.isEmpty()) return 0;
  return getEntIdArrayOnLayer(ids, all);
}

int CDwgDatabase::getEntIdArrayOnSameLayer(AcDbObjectIdArray& ids, AcDbObjectId id) {
  AcDbObjectIdArray given;
  given.append(id);
  return getEntIdArrayOnSameLayer(ids, given);
}

int CDwgDatabase::getEntIdArrayOnSameLayer(AcDbObjectIdArray& ids, AcDbObjectIdArray given) {
  ids.setLogicalLength(0);
  AcDbObjectIdArray layerIds;
  m_nLastResult = getEntLayerIdArray(layerIds, given);
  if (m_nLastResult != 0) return 1;
  return getEntIdArrayOnLayer(ids, layerIds);
}

// ---- States --------------------------------------------------------------------------------

int CDwgDatabase::isLayerLock(int& locked, AcDbLayerTableRecord* pLayer) {
  locked = (pLayer != NULL && pLayer->isLocked()) ? 1 : 0;
  return 0;
}

int CDwgDatabase::isLayerLock(int& locked, AcDbObjectId id) {
  locked = 0;
  OpenedObject<AcDbLayerTableRecord> layer;
  m_esLast = acdbOpenObject(layer.ref(), id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  return isLayerLock(locked, layer.get());
}

int CDwgDatabase::isLayerOn(int& on, AcDbLayerTableRecord* pLayer) {
  on = (pLayer != NULL && !pLayer->isOff()) ? 1 : 0;
  return 0;
}

int CDwgDatabase::isLayerOn(int& on, AcDbObjectId id) {
  on = 0;
  OpenedObject<AcDbLayerTableRecord> layer;
  m_esLast = acdbOpenObject(layer.ref(), id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  return isLayerOn(on, layer.get());
}

int CDwgDatabase::lockLayerSet(int lock, AcDbLayerTableRecord* pLayer) {
  if (pLayer == NULL) return 0;
  const bool wanted = lock != 0;
  if (pLayer->isLocked() == wanted) return 0;
  if (!pLayer->isWriteEnabled()) {
    m_esLast = pLayer->upgradeOpen();
    if (m_esLast != Acad::eOk) return 0;
  }
  m_esLast = pLayer->setIsLocked(wanted);
  return 0;
}

int CDwgDatabase::lockLayerSet(int lock, AcDbObjectId id) {
  OpenedObject<AcDbLayerTableRecord> layer;
  m_esLast = acdbOpenObject(layer.ref(), id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  return lockLayerSet(lock, layer.get());
}

int CDwgDatabase::lockLayer(AcDbObjectId id) { return lockLayerSet(1, id); }

int CDwgDatabase::unlockLayer(AcDbObjectId id) { return lockLayerSet(0, id); }

// Turns the layer on or off when its state differs. 1: open failed; 2: the change refused.
static int switchLayer(Acad::ErrorStatus& esLast, AcDbObjectId id, bool off) {
  OpenedObject<AcDbLayerTableRecord> layer;
  esLast = acdbOpenObject(layer.ref(), id, AcDb::kForRead);
  if (esLast != Acad::eOk) return 1;
  if (layer->isOff() == off) return 0;
  esLast = layer->upgradeOpen();
  if (esLast == Acad::eOk) esLast = layer->setIsOff(off);
  return esLast == Acad::eOk ? 0 : 2;
}

int CDwgDatabase::setLayerVisible(AcDbObjectId id) { return switchLayer(m_esLast, id, false) == 1 ? 1 : 0; }

int CDwgDatabase::setLayerInvisible(AcDbObjectId id) { return switchLayer(m_esLast, id, true) == 1 ? 1 : 0; }

int CDwgDatabase::setLayerVisible(AcDbObjectIdArray ids) {
  for (int i = 0; i < ids.length(); i++) {
    m_nLastResult = setLayerVisible(ids[i]);
    if (m_nLastResult != 0) return 1;
  }
  return 0;
}

int CDwgDatabase::setLayerInvisible(AcDbObjectIdArray ids) {
  for (int i = 0; i < ids.length(); i++) {
    m_nLastResult = setLayerInvisible(ids[i]);
    if (m_nLastResult != 0) return 1;
  }
  return 0;
}

// The layer of that exact name; 1 when there is none or the lookup failed.
static int layerByName(CDwgDatabase& toolkit, AcDbObjectId& id, const CString& name) {
  id = AcDbObjectId::kNull;
  toolkit.m_nLastResult = toolkit.getLayerIdFromName(id, name);
  return (toolkit.m_nLastResult != 0 || id.isNull()) ? 1 : 0;
}

int CDwgDatabase::setLayerVisible(CString name) {
  AcDbObjectId id;
  if (layerByName(*this, id, name) != 0) return 1;
  m_nLastResult = setLayerVisible(id);
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::setLayerInvisible(CString name) {
  AcDbObjectId id;
  if (layerByName(*this, id, name) != 0) return 1;
  m_nLastResult = setLayerInvisible(id);
  return m_nLastResult == 0 ? 0 : 2;
}

// The layers named by the texts: exact names, or every layer beginning with one of them.
static int layersOf(CDwgDatabase& toolkit, AcDbObjectIdArray& ids, CStringArray& texts, bool byPrefix) {
  ids.setLogicalLength(0);
  for (int i = 0; i < texts.GetSize(); i++) {
    AcDbObjectIdArray found;
    if (byPrefix) {
      toolkit.m_nLastResult = toolkit.getLayerIdArrayByPreName(found, texts[i]);
    } else {
      AcDbObjectId id;
      toolkit.m_nLastResult = toolkit.getLayerIdFromName(id, texts[i]);
      if (!id.isNull()) found.append(id);
    }
    if (toolkit.m_nLastResult != 0) return 1;
    CDwgDatabase::appendIdArrayToIdArray(found, ids);
  }
  return 0;
}

int CDwgDatabase::setLayerVisible(CStringArray& names, bool byPrefix) {
  AcDbObjectIdArray ids;
  if (layersOf(*this, ids, names, byPrefix) != 0) return 1;
  m_nLastResult = setLayerVisible(ids);
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::setLayerInvisible(CStringArray& names, bool byPrefix) {
  AcDbObjectIdArray ids;
  if (layersOf(*this, ids, names, byPrefix) != 0) return 1;
  m_nLastResult = setLayerInvisible(ids);
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::setLayerLock(CString name) {
  AcDbObjectId id;
  if (layerByName(*this, id, name) != 0) return 1;
  m_nLastResult = lockLayer(id);
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::setLayerUnlock(CString name) {
  AcDbObjectId id;
  if (layerByName(*this, id, name) != 0) return 1;
  m_nLastResult = unlockLayer(id);
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::setLayerLock(CStringArray& names) {
  for (int i = 0; i < names.GetSize(); i++) {
    m_nLastResult = setLayerLock(names[i]);
    if (m_nLastResult != 0) return m_nLastResult;
  }
  return 0;
}

int CDwgDatabase::setLayerUnlock(CStringArray& names) {
  for (int i = 0; i < names.GetSize(); i++) {
    m_nLastResult = setLayerUnlock(names[i]);
    if (m_nLastResult != 0) return m_nLastResult;
  }
  return 0;
}

int CDwgDatabase::showAllLayer(bool on) {
  AcDbObjectIdArray ids;
  m_nLastResult = getLayerIdArray(ids);
  if (m_nLastResult != 0) return 1;
  if (on) return setLayerVisible(ids) == 0 ? 0 : 2;
  ids.remove(m_pDb->clayer());
  return setLayerInvisible(ids) == 0 ? 0 : 2;
}

int CDwgDatabase::showSelectEntLayers(AcDbObjectIdArray& entIds) {
  AcDbObjectIdArray shown, all;
  m_nLastResult = getEntLayerIdArray(shown, entIds);
  if (m_nLastResult != 0) return 1;
  m_nLastResult = getLayerIdArray(all);
  if (m_nLastResult != 0) return 2;
  removeObjIdArray(all, shown);
  m_nLastResult = setLayerVisible(shown);
  if (m_nLastResult != 0) return 2;
  m_nLastResult = setLayerInvisible(all);
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::hideSelectEntLayers(AcDbObjectIdArray& entIds) {
  AcDbObjectIdArray layers;
  m_nLastResult = getEntLayerIdArray(layers, entIds);
  if (m_nLastResult != 0) return 1;
  m_nLastResult = setLayerInvisible(layers);
  return m_nLastResult == 0 ? 0 : 2;
}

// ---- Name, colour, description -------------------------------------------------------------

int CDwgDatabase::setLayerName(CString newName, AcDbObjectId id) {
  OpenedObject<AcDbLayerTableRecord> layer;
  m_esLast = acdbOpenObject(layer.ref(), id, AcDb::kForWrite);
  if (m_esLast != Acad::eOk) return 1;
  m_esLast = layer->setName(newName);
  return m_esLast == Acad::eOk ? 0 : 2;
}

int CDwgDatabase::setLayerName(CString newName, CString oldName) {
  AcDbObjectId id;
  if (layerByName(*this, id, oldName) != 0) return 1;
  m_nLastResult = setLayerName(newName, id);
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::getLayerColorFromLayer(int& color, AcDbObjectId id) {
  OpenedObject<AcDbLayerTableRecord> layer;
  m_esLast = acdbOpenObject(layer.ref(), id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  color = layer->color().colorIndex() & 0xFFFF;
  return 0;
}

int CDwgDatabase::getLayerColorFromLayer(int& color, CString name) {
  AcDbObjectId id;
  if (layerByName(*this, id, name) != 0) return 1;
  m_nLastResult = getLayerColorFromLayer(color, id);
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::getLayerDescription(CString& description, AcDbObjectId id) {
  description.Empty();
  OpenedObject<AcDbLayerTableRecord> layer;
  m_esLast = acdbOpenObject(layer.ref(), id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  ACHAR* pText = layer->description();
  if (pText == NULL) return 2;
  description = pText;
  acutDelString(pText);
  return 0;
}

int CDwgDatabase::setLayerDescription(CString description, AcDbObjectId id) {
  OpenedObject<AcDbLayerTableRecord> layer;
  m_esLast = acdbOpenObject(layer.ref(), id, AcDb::kForWrite);
  if (m_esLast != Acad::eOk) return 1;
  m_esLast = layer->setDescription(description);
  return m_esLast == Acad::eOk ? 0 : 2;
}

// ---- Creating, erasing, prefixing ------------------------------------------------------------

int CDwgDatabase::createLayer(CString name) { return createLayer(name, kDefaultLayerColor); }

int CDwgDatabase::createLayer(CString name, int colorIndex) {
  if (m_pDb == NULL) return 1;
  OpenedObject<AcDbLayerTable> table;
  m_esLast = m_pDb->getLayerTable(table.ref(), AcDb::kForWrite);
  if (m_esLast != Acad::eOk) {
    table.ref() = NULL;
    return 1;
  }
  AcDbLayerTableRecord* pRecord = new AcDbLayerTableRecord;
  pRecord->setName(name);
  AcCmColor color;
  color.setColorIndex(static_cast<Adesk::UInt16>(colorIndex));
  pRecord->setColor(color);
  m_esLast = table->add(pRecord);
  if (m_esLast == Acad::eOk)
    pRecord->close();
  else
    delete pRecord;
  return 0;
}

int CDwgDatabase::eraseLayerByPreName(CString prefix) {
  AcDbObjectIdArray ids;
  m_nLastResult = getLayerIdArrayByPreName(ids, prefix);
  if (m_nLastResult != 0) return 1;
  m_nLastResult = eraseLayerIdArray(ids);
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::eraseLayerIdArray(AcDbObjectIdArray& layerIds) {
  AcDbObjectIdArray all;
  m_nLastResult = getEntIdArray(all);
  if (m_nLastResult != 0) return 1;
  for (int i = 0; i < layerIds.length(); i++) {
    OpenedObject<AcDbLayerTableRecord> layer;
    m_esLast = acdbOpenObject(layer.ref(), layerIds[i], AcDb::kForRead);
    if (m_esLast != Acad::eOk) return 2;
    AcDbObjectIdArray onLayer;
    for (int k = 0; k < all.length(); k++) {
      OpenedObject<AcDbEntity> ent;
      if (openEntity(ent, all[k], AcDb::kForRead) != Acad::eOk) continue;  // erased before
      if (isEntOnLayer(ent.get(), layer.get())) onLayer.append(all[k]);
    }
    m_nLastResult = eraseEntity(onLayer);
    if (m_nLastResult != 0) return 3;
    m_esLast = layer->upgradeOpen();
    if (m_esLast == Acad::eOk) m_esLast = layer->erase();
    if (m_esLast != Acad::eOk) return 4;
  }
  return 0;
}

// Layer P0 = prefix + "0" with layer "0"'s colour, created when missing. 2: no layer "0";
// 4: the new record refused.
static int ensurePrefixZero(Acad::ErrorStatus& esLast, AcDbLayerTable* pTable, const CString& zeroName,
                            AcDbObjectId& zeroId) {
  esLast = pTable->getAt(zeroName, zeroId);
  if (esLast == Acad::eOk) return 0;
  AcDbLayerTableRecord* pRaw = NULL;
  esLast = pTable->getAt(kLayerZero, pRaw, AcDb::kForRead);
  if (esLast != Acad::eOk) return 2;
  OpenedObject<AcDbLayerTableRecord> layerZero(pRaw);
  AcDbLayerTableRecord* pRecord = new AcDbLayerTableRecord;
  esLast = pRecord->setName(zeroName);
  if (esLast == Acad::eOk) esLast = pRecord->setColor(layerZero->color());
  if (esLast == Acad::eOk) esLast = pTable->add(zeroId, pRecord);
  if (esLast != Acad::eOk) {
    delete pRecord;
    return 4;
  }
  pRecord->close();
  return 0;
}

int CDwgDatabase::addLayerPreName(CString prefix) {
  if (m_pDb == NULL) return 1;
  OpenedObject<AcDbLayerTable> table;
  m_esLast = m_pDb->getLayerTable(table.ref(), AcDb::kForWrite);
  if (m_esLast != Acad::eOk) {
    table.ref() = NULL;
    return 1;
  }
  CString zeroName;
  zeroName.Format("%s%s", (LPCTSTR)prefix, kLayerZero);
  AcDbObjectId zeroId;
  int result = ensurePrefixZero(m_esLast, table.get(), zeroName, zeroId);
  if (result != 0) return result;

  AcDbLayerTableIterator* pIt = NULL;
  m_esLast = table->newIterator(pIt);
  if (m_esLast != Acad::eOk) return 3;
  for (; !pIt->done() && result == 0; pIt->step()) {
    AcDbLayerTableRecord* pRaw = NULL;
    m_esLast = pIt->getRecord(pRaw, AcDb::kForWrite);
    if (m_esLast != Acad::eOk) {
      result = 3;
      break;
    }
    OpenedObject<AcDbLayerTableRecord> layer(pRaw);
    const CString name = recordName(pRaw);
    // P0 by id: the table found it by a name that may differ in letter case.
    if (isSameName(name, kLayerZero) || layer->objectId() == zeroId) continue;
    if (layer->isLocked()) layer->setIsLocked(false);
    if (layer->isFrozen()) layer->setIsFrozen(false);
    CString newName;
    newName.Format("%s%s", (LPCTSTR)prefix, (LPCTSTR)name);
    m_esLast = layer->setName(newName);
    if (m_esLast != Acad::eOk) result = 4;
  }
  delete pIt;
  if (result != 0) return result;
  AcDbObjectId layerZeroId;
  table->getAt(kLayerZero, layerZeroId);
  table.close();

  AcDbBlockTableRecord* pRawSpace = NULL;
  m_nLastResult = getBlockTableRecordModelSpace(pRawSpace);
  if (m_nLastResult != 0) return 5;
  OpenedObject<AcDbBlockTableRecord> space(pRawSpace);
  AcDbBlockTableRecordIterator* pEntIt = NULL;
  m_esLast = space->newIterator(pEntIt);
  if (m_esLast != Acad::eOk) return 5;
  for (; !pEntIt->done(); pEntIt->step()) {
    AcDbEntity* pRawEnt = NULL;
    if (pEntIt->getEntity(pRawEnt, AcDb::kForRead) != Acad::eOk) continue;
    OpenedObject<AcDbEntity> ent(pRawEnt);
    if (ent->layerId() != layerZeroId) continue;
    m_esLast = ent->upgradeOpen();
    if (m_esLast == Acad::eOk) m_esLast = ent->setLayer(zeroId);
    if (m_esLast != Acad::eOk) {
      result = 7;
      break;
    }
  }
  delete pEntIt;
  return result;
}
