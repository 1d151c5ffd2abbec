// Symbol tables and records, the default drawing, dictionaries and groups.
#include "db_test_util.h"

#include <contura/db/database_access.h>
#include <dbdict.h>
#include <dbents.h>
#include <dbgroup.h>

#include <algorithm>
#include <cmath>

using dbtest::nameOf;
using dbtest::takeString;

namespace {

template <class Table, class Record, class Iterator>
void checkTable(AcDbDatabase& db, Acad::ErrorStatus (AcDbDatabase::*getTable)(Table*&, AcDb::OpenMode)) {
  SCOPED_TRACE(Record::desc()->name());
  Table* table = nullptr;
  ASSERT_EQ((db.*getTable)(table, AcDb::kForRead), Acad::eOk);
  auto* first = new Record();
  first->setName("Alpha");
  EXPECT_EQ(table->add(first), Acad::eNotOpenForWrite);
  ASSERT_EQ(table->upgradeOpen(), Acad::eOk);
  AcDbObjectId alphaId;
  ASSERT_EQ(table->add(alphaId, first), Acad::eOk);
  EXPECT_EQ(first->ownerId(), table->objectId());
  first->close();
  // Names compare without letter case; a second record of a name is refused.
  auto* dup = new Record();
  dup->setName("ALPHA");
  EXPECT_EQ(table->add(dup), Acad::eDuplicateRecordName);
  EXPECT_EQ(dup->setName(""), Acad::eInvalidSymbolTableName);
  auto* unnamed = new Record();
  EXPECT_EQ(table->add(unnamed), Acad::eInvalidSymbolTableName);
  delete unnamed;
  dup->setName("Beta");
  AcDbObjectId betaId;
  ASSERT_EQ(table->add(betaId, dup), Acad::eOk);
  dup->close();

  AcDbObjectId found;
  EXPECT_EQ(table->getAt("alpha", found), Acad::eOk);
  EXPECT_EQ(found, alphaId);
  EXPECT_EQ(table->getAt("Gamma", found), Acad::eKeyNotFound);
  EXPECT_TRUE(table->has("BETA"));
  EXPECT_TRUE(table->has(betaId));
  Record* rec = nullptr;
  ASSERT_EQ(table->getAt("Beta", rec, AcDb::kForWrite), Acad::eOk);
  ASSERT_EQ(rec->erase(), Acad::eOk);
  rec->close();
  EXPECT_FALSE(table->has("Beta"));
  EXPECT_FALSE(table->has(betaId));
  EXPECT_EQ(table->getAt("Beta", found), Acad::eKeyNotFound);
  EXPECT_EQ(table->getAt("Beta", found, true), Acad::eOk);
  EXPECT_EQ(found, betaId);

  // Iterators skip erased records unless asked not to; they see records added meanwhile.
  Iterator* it = nullptr;
  ASSERT_EQ(table->newIterator(it), Acad::eOk);
  std::vector<AcDbObjectId> seen;
  bool added = false;
  for (; !it->done(); it->step()) {
    AcDbObjectId id;
    ASSERT_EQ(it->getRecordId(id), Acad::eOk);
    seen.push_back(id);
    if (!added) {
      auto* late = new Record();
      late->setName("Late");
      ASSERT_EQ(table->add(late), Acad::eOk);
      late->close();
      added = true;
    }
  }
  delete it;
  EXPECT_EQ(std::count(seen.begin(), seen.end(), alphaId), 1);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), betaId), 0);
  EXPECT_EQ(nameOf(seen.back()), "Late");
  ASSERT_EQ(table->newIterator(it, true, false), Acad::eOk);
  int all = 0;
  for (; !it->done(); it->step(true, false)) ++all;
  EXPECT_EQ(all, int(seen.size()) + 1);
  // Seek and typed record access.
  ASSERT_EQ(it->seek(alphaId), Acad::eOk);
  ASSERT_EQ(it->getRecord(rec, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(rec->objectId(), alphaId);
  rec->close();
  delete it;

  // A name taken again after the erase is a new record.
  auto* again = new Record();
  again->setName("beta");
  EXPECT_EQ(table->add(again), Acad::eOk);
  again->close();
  table->close();
}

TEST(SymbolTables, EveryTableAddsFindsAndIterates) {
  AcDbDatabase db;
  checkTable<AcDbBlockTable, AcDbBlockTableRecord, AcDbBlockTableIterator>(db, &AcDbDatabase::getBlockTable);
  checkTable<AcDbLayerTable, AcDbLayerTableRecord, AcDbLayerTableIterator>(db, &AcDbDatabase::getLayerTable);
  checkTable<AcDbTextStyleTable, AcDbTextStyleTableRecord, AcDbTextStyleTableIterator>(db, &AcDbDatabase::getTextStyleTable);
  checkTable<AcDbLinetypeTable, AcDbLinetypeTableRecord, AcDbLinetypeTableIterator>(db, &AcDbDatabase::getLinetypeTable);
  checkTable<AcDbViewTable, AcDbViewTableRecord, AcDbViewTableIterator>(db, &AcDbDatabase::getViewTable);
  checkTable<AcDbUCSTable, AcDbUCSTableRecord, AcDbUCSTableIterator>(db, &AcDbDatabase::getUCSTable);
  checkTable<AcDbViewportTable, AcDbViewportTableRecord, AcDbViewportTableIterator>(db, &AcDbDatabase::getViewportTable);
  checkTable<AcDbRegAppTable, AcDbRegAppTableRecord, AcDbRegAppTableIterator>(db, &AcDbDatabase::getRegAppTable);
  checkTable<AcDbDimStyleTable, AcDbDimStyleTableRecord, AcDbDimStyleTableIterator>(db, &AcDbDatabase::getDimStyleTable);
}

TEST(SymbolTables, WrongRecordKindAndMultiByteNames) {
  AcDbDatabase db;
  AcDbLayerTable* lt = nullptr;
  ASSERT_EQ(db.getLayerTable(lt, AcDb::kForWrite), Acad::eOk);
  auto* style = new AcDbTextStyleTableRecord();
  style->setName("X");
  EXPECT_EQ(static_cast<AcDbSymbolTable*>(lt)->add(style), Acad::eWrongObjectType);
  delete style;
  // A double-byte character whose trail byte is a letter is not folded: these are two names.
  auto* a = new AcDbLayerTableRecord();
  a->setName("\xB0\x61");
  auto* b = new AcDbLayerTableRecord();
  b->setName("\xB0\x41");
  EXPECT_EQ(lt->add(a), Acad::eOk);
  EXPECT_EQ(lt->add(b), Acad::eOk);
  a->close();
  b->close();
  EXPECT_TRUE(lt->has("\xB0\x61"));
  lt->close();
}

TEST(DefaultDrawing, HoldsTheStandardRecords) {
  AcDbDatabase db;
  AcDbObjectId id;
  AcDbLayerTable* lt = nullptr;
  ASSERT_EQ(db.getLayerTable(lt), Acad::eOk);
  AcDbLayerTableRecord* layer0 = nullptr;
  ASSERT_EQ(lt->getAt("0", layer0, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(layer0->color().colorIndex(), 7);
  EXPECT_EQ(layer0->linetypeObjectId(), db.continuousLinetype());
  EXPECT_EQ(layer0->objectId(), db.clayer());
  layer0->close();
  lt->close();
  EXPECT_EQ(nameOf(db.celtype()), "ByLayer");
  EXPECT_EQ(nameOf(db.byBlockLinetype()), "ByBlock");
  EXPECT_EQ(nameOf(db.textstyle()), "Standard");
  EXPECT_EQ(nameOf(db.dimstyle()), "Standard");

  AcDbRegAppTable* apps = nullptr;
  ASSERT_EQ(db.getRegAppTable(apps), Acad::eOk);
  EXPECT_TRUE(apps->has("ACAD"));
  apps->close();
  AcDbViewportTable* vports = nullptr;
  ASSERT_EQ(db.getViewportTable(vports), Acad::eOk);
  AcDbViewportTableRecord* active = nullptr;
  ASSERT_EQ(vports->getAt("*ACTIVE", active, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(active->setWidth(0.0), Acad::eInvalidInput);
  active->close();
  vports->close();

  {
    dbtest::Opened<AcDbBlockTableRecord> ms(dbtest::modelSpaceId(db));
    EXPECT_TRUE(ms->isLayout() && !ms->isAnonymous());
    dbtest::Opened<AcDbBlockTable> bt(db.blockTableId());
    EXPECT_TRUE(bt->has(ACDB_PAPER_SPACE));
  }

  AcDbDictionary* nod = nullptr;
  ASSERT_EQ(db.getNamedObjectsDictionary(nod), Acad::eOk);
  EXPECT_TRUE(nod->has(ACDB_GROUP_DICTIONARY));
  nod->close();
  EXPECT_FALSE(db.groupDictionaryId().isNull());
}

TEST(DefaultDrawing, EmptyDatabaseCanBeCompleted) {
  AcDbDatabase db(false);
  AcDbBlockTable* bt = nullptr;
  EXPECT_EQ(db.getBlockTable(bt), Acad::eNullObjectId);
  EXPECT_EQ(db.approxNumObjects(), 0);
  contura::db::completeDefaultDrawing(db);
  ASSERT_EQ(db.getBlockTable(bt), Acad::eOk);
  EXPECT_TRUE(bt->has(ACDB_MODEL_SPACE));
  bt->close();
  const Adesk::Int32 count = db.approxNumObjects();
  contura::db::completeDefaultDrawing(db);  // nothing missing: nothing added
  EXPECT_EQ(db.approxNumObjects(), count);
  EXPECT_EQ(nameOf(db.clayer()), "0");
}

TEST(Records, ProtectedRecordsAndRenames) {
  AcDbDatabase db;
  AcDbObjectId wall = dbtest::addLayer(db, "WALL", 1);
  AcDbLayerTableRecord* layer = nullptr;
  ASSERT_EQ(acdbOpenObject(layer, db.clayer(), AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(layer->erase(), Acad::eCannotBeErasedByCaller);  // layer "0", current
  EXPECT_EQ(layer->setName("ZERO"), Acad::eInvalidInput);
  EXPECT_EQ(layer->setColor(AcCmColor()), Acad::eInvalidInput);  // by layer is no layer colour
  layer->close();
  ASSERT_EQ(db.setClayer(wall), Acad::eOk);
  EXPECT_EQ(db.setClayer(db.celtype()), Acad::eWrongObjectType);
  ASSERT_EQ(acdbOpenObject(layer, wall, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(layer->erase(), Acad::eCannotBeErasedByCaller);  // the current layer
  EXPECT_EQ(layer->setName("0"), Acad::eDuplicateRecordName);
  ASSERT_EQ(layer->setName("WALL-NEW"), Acad::eOk);
  EXPECT_EQ(layer->setDescription("\xC7\xBD"), Acad::eOk);
  layer->close();
  AcDbLayerTable* lt = nullptr;
  ASSERT_EQ(db.getLayerTable(lt), Acad::eOk);
  EXPECT_FALSE(lt->has("WALL"));
  AcDbObjectId found;
  EXPECT_EQ(lt->getAt("wall-new", found), Acad::eOk);
  EXPECT_EQ(found, wall);
  lt->close();
  EXPECT_EQ(takeString(dbtest::Opened<AcDbLayerTableRecord>(wall)->description()), "\xC7\xBD");

  dbtest::Opened<AcDbLinetypeTableRecord> lt2(db.continuousLinetype(), AcDb::kForWrite);
  EXPECT_EQ(lt2->erase(), Acad::eCannotBeErasedByCaller);
  EXPECT_EQ(lt2->setNumDashes(2), Acad::eOk);
  EXPECT_EQ(lt2->setDashLengthAt(1, -0.25), Acad::eOk);
  EXPECT_EQ(lt2->setDashLengthAt(2, 1.0), Acad::eInvalidIndex);
  EXPECT_EQ(lt2->dashLengthAt(1), -0.25);
}

TEST(Blocks, AnonymousNamesReferencesAndExternalReferences) {
  AcDbDatabase db;
  AcDbBlockTable* bt = nullptr;
  ASSERT_EQ(db.getBlockTable(bt, AcDb::kForWrite), Acad::eOk);
  std::vector<std::string> names;
  for (int i = 0; i < 2; ++i) {
    auto* anon = new AcDbBlockTableRecord();
    anon->setName("*U");
    ASSERT_EQ(bt->add(anon), Acad::eOk);
    const ACHAR* name = nullptr;
    anon->getName(name);
    names.push_back(name);
    EXPECT_TRUE(anon->isAnonymous());
    anon->close();
  }
  EXPECT_EQ(names, (std::vector<std::string>{"*U1", "*U2"}));
  bt->close();

  // INNER holds a reference to PLAN; model space holds two references to INNER and one to PLAN.
  AcDbObjectId innerId, planId;
  dbtest::appendToBlock(db, "PLAN", new AcDbPoint(), &planId);
  const AcDbObjectId nestedRef = dbtest::appendToBlock(db, "INNER", new AcDbBlockReference(AcGePoint3d(), planId), &innerId);
  const AcDbObjectId r1 = dbtest::appendToModelSpace(db, new AcDbBlockReference(AcGePoint3d(1, 0, 0), innerId));
  dbtest::appendToModelSpace(db, new AcDbBlockReference(AcGePoint3d(2, 0, 0), innerId));
  const AcDbObjectId direct = dbtest::appendToModelSpace(db, new AcDbBlockReference(AcGePoint3d(3, 0, 0), planId));
  auto referencesOf = [&](bool directOnly) {
    AcDbObjectIdArray ids;
    dbtest::Opened<AcDbBlockTableRecord>(planId)->getBlockReferenceIds(ids, directOnly);
    return ids;
  };
  AcDbObjectIdArray ids = referencesOf(true);
  EXPECT_EQ(ids.length(), 2);
  EXPECT_TRUE(ids.contains(nestedRef) && ids.contains(direct));
  ids = referencesOf(false);
  EXPECT_EQ(ids.length(), 4);
  EXPECT_TRUE(ids.contains(r1));
  dbtest::erase(direct);  // erased references are not listed
  EXPECT_EQ(referencesOf(true).length(), 1);
}

TEST(Blocks, IteratorSkipsErasedAndErasingABlockErasesItsEntities) {
  AcDbDatabase db;
  AcDbObjectId blockId;
  const AcDbObjectId a = dbtest::appendToBlock(db, "B", new AcDbLine(), &blockId);
  const AcDbObjectId b = dbtest::appendToBlock(db, "B", new AcDbCircle());
  const AcDbObjectId c = dbtest::appendToBlock(db, "B", new AcDbPoint());
  dbtest::erase(b);
  AcDbBlockTableRecord* block = nullptr;
  ASSERT_EQ(acdbOpenObject(block, blockId, AcDb::kForWrite), Acad::eOk);
  AcDbBlockTableRecordIterator* it = nullptr;
  block->newIterator(it);
  std::vector<AcDbObjectId> seen;
  for (; !it->done(); it->step()) {
    AcDbObjectId id;
    it->getEntityId(id);
    seen.push_back(id);
  }
  EXPECT_EQ(seen, (std::vector<AcDbObjectId>{a, c}));
  delete it;
  block->newIterator(it, false);  // from the end, backwards
  AcDbObjectId last;
  it->getEntityId(last);
  EXPECT_EQ(last, c);
  delete it;
  ASSERT_EQ(block->erase(), Acad::eOk);
  block->close();
  EXPECT_TRUE(a.isErased() && c.isErased());
  EXPECT_EQ(dbtest::Opened<AcDbBlockTableRecord>(dbtest::modelSpaceId(db), AcDb::kForWrite)->erase(),
            Acad::eCannotBeErasedByCaller);
}

TEST(DimStyles, ArrowheadsAreBlocks) {
  AcDbDatabase db;
  AcDbDimStyleTableRecord* dim = nullptr;
  ASSERT_EQ(acdbOpenObject(dim, db.dimstyle(), AcDb::kForWrite), Acad::eOk);
  EXPECT_TRUE(dim->dimblk().isNull());
  ASSERT_EQ(dim->setDimblk("_OBLIQUE"), Acad::eOk);
  ASSERT_EQ(dim->setDimblk1("_oblique"), Acad::eOk);
  EXPECT_EQ(dim->dimblk(), dim->dimblk1());  // one block, made once
  EXPECT_EQ(dim->setDimldrblk("NO_SUCH_ARROW"), Acad::eKeyNotFound);
  EXPECT_TRUE(dim->dimldrblk().isNull());
  EXPECT_EQ(dim->setDimblk2(db.layerTableId()), Acad::eWrongObjectType);
  const AcDbObjectId oblique = dim->dimblk();
  EXPECT_EQ(dim->setDimblk1(""), Acad::eOk);
  EXPECT_TRUE(dim->dimblk1().isNull());
  dim->close();
  dbtest::Opened<AcDbBlockTableRecord> block(oblique);
  AcDbBlockTableRecordIterator* it = nullptr;
  block->newIterator(it);
  AcDbObjectId lineId;
  it->getEntityId(lineId);
  it->step();
  EXPECT_TRUE(it->done());
  delete it;
  dbtest::Opened<AcDbLine> line(lineId);
  ASSERT_NE(line.get(), nullptr);
  EXPECT_NEAR(line->startPoint().distanceTo(line->endPoint()), std::sqrt(2.0), 1e-12);
}

TEST(Dictionaries, EntriesKeysAndIterators) {
  AcDbDatabase db;
  AcDbDictionary* nod = nullptr;
  ASSERT_EQ(db.getNamedObjectsDictionary(nod, AcDb::kForWrite), Acad::eOk);
  auto* dict = new AcDbDictionary();
  AcDbObjectId dictId;
  EXPECT_EQ(nod->setAt("", dict, dictId), Acad::eInvalidKey);
  ASSERT_EQ(nod->setAt("MY_DATA", dict, dictId), Acad::eOk);
  nod->close();
  std::vector<AcDbObjectId> children;
  for (const char* key : {"b-second", "A-first", "c-third"}) {
    auto* child = new AcDbDictionary();
    AcDbObjectId id;
    ASSERT_EQ(dict->setAt(key, child, id), Acad::eOk);
    EXPECT_EQ(child->ownerId(), dictId);
    child->close();
    children.push_back(id);
  }
  EXPECT_EQ(dict->numEntries(), 3u);
  AcDbObjectId found;
  EXPECT_EQ(dict->getAt("a-FIRST", found), Acad::eOk);
  EXPECT_EQ(found, children[1]);
  // Sorted by key, or in the order made.
  std::vector<std::string> sorted, collated;
  AcDbDictionaryIterator* it = dict->newIterator();
  for (; !it->done(); it->next()) sorted.push_back(it->name());
  delete it;
  it = dict->newIterator(AcRx::kDictCollated);
  for (; !it->done(); it->next()) collated.push_back(it->name());
  delete it;
  EXPECT_EQ(sorted, (std::vector<std::string>{"A-first", "b-second", "c-third"}));
  EXPECT_EQ(collated, (std::vector<std::string>{"b-second", "A-first", "c-third"}));
  // Replacing an entry erases the object it owned.
  auto* replacement = new AcDbDictionary();
  AcDbObjectId replacementId;
  ASSERT_EQ(dict->setAt("B-SECOND", replacement, replacementId), Acad::eOk);
  replacement->close();
  EXPECT_TRUE(children[0].isErased());
  EXPECT_EQ(dict->numEntries(), 3u);
  EXPECT_TRUE(dict->setName("c-third", "d-fourth"));
  EXPECT_FALSE(dict->setName("d-fourth", "A-FIRST"));
  ACHAR* key = nullptr;
  ASSERT_EQ(dict->nameAt(children[2], key), Acad::eOk);
  EXPECT_EQ(takeString(key), "d-fourth");
  AcDbObjectId removed;
  ASSERT_EQ(dict->remove("a-first", removed), Acad::eOk);
  EXPECT_EQ(removed, children[1]);
  EXPECT_FALSE(dict->has(children[1]));
  EXPECT_EQ(dict->remove("a-first"), Acad::eKeyNotFound);
  EXPECT_FALSE(children[1].isErased());  // removed, not erased
  dict->close();
}

TEST(Groups, MembershipNamesAndMemberProperties) {
  AcDbDatabase db;
  AcDbDatabase other;
  const AcDbObjectId l1 = dbtest::appendToModelSpace(db, new AcDbLine());
  const AcDbObjectId l2 = dbtest::appendToModelSpace(db, new AcDbLine());
  const AcDbObjectId l3 = dbtest::appendToModelSpace(db, new AcDbLine());
  const AcDbObjectId foreign = dbtest::appendToModelSpace(other, new AcDbLine());
  AcDbDictionary* groups = nullptr;
  ASSERT_EQ(db.getGroupDictionary(groups, AcDb::kForWrite), Acad::eOk);
  auto* group = new AcDbGroup("walls");
  AcDbObjectId groupId;
  ASSERT_EQ(groups->setAt("G_1", group, groupId), Acad::eOk);
  EXPECT_STREQ(group->name(), "G_1");
  ASSERT_EQ(group->append(l1), Acad::eOk);
  ASSERT_EQ(group->append(l3), Acad::eOk);
  EXPECT_EQ(group->append(l1), Acad::eDuplicateKey);
  EXPECT_EQ(group->append(AcDbObjectId::kNull), Acad::eNullObjectId);
  EXPECT_EQ(group->append(foreign), Acad::eWrongDatabase);
  EXPECT_EQ(group->append(db.clayer()), Acad::eNotAnEntity);
  ASSERT_EQ(group->insertAt(1, l2), Acad::eOk);
  EXPECT_EQ(group->insertAt(9, l2), Acad::eInvalidIndex);
  AcDbObjectIdArray ids;
  EXPECT_EQ(group->allEntityIds(ids), 3u);
  EXPECT_EQ(ids[0], l1);
  EXPECT_EQ(ids[1], l2);
  EXPECT_EQ(ids[2], l3);
  EXPECT_EQ(group->remove(l2), Acad::eOk);
  EXPECT_EQ(group->remove(l2), Acad::eKeyNotFound);
  // Renaming renames the dictionary entry; a taken name is refused.
  auto* second = new AcDbGroup();
  AcDbObjectId secondId;
  ASSERT_EQ(groups->setAt("G_2", second, secondId), Acad::eOk);
  second->close();
  EXPECT_EQ(group->setName("g_2"), Acad::eDuplicateKey);
  ASSERT_EQ(group->setName("G_9"), Acad::eOk);
  EXPECT_TRUE(groups->has("G_9"));
  EXPECT_FALSE(groups->has("G_1"));
  groups->close();
  ASSERT_EQ(group->setColorIndex(3), Acad::eOk);
  group->close();
  EXPECT_EQ(dbtest::Opened<AcDbEntity>(l3)->colorIndex(), 3);
  dbtest::erase(l3);
  dbtest::Opened<AcDbGroup> reopened(groupId);
  EXPECT_EQ(reopened->numEntities(), 1u);  // the erased member no longer counts
  EXPECT_TRUE(reopened->has(l1) && !reopened->has(l3));
}

}  // namespace
