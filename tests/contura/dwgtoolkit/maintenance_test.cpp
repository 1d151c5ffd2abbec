// CDwgDatabase's layer, block, whole-database and text members on drawings built in the
// database: prefixes and exact names, groups, style repairs, multi-inserts, text boxes, the
// codes of failing steps, and that every object a member touched is closed again.
#include <gtest/gtest.h>

#include <dbdict.h>
#include <dbgroup.h>

#include <filesystem>
#include <fstream>

#include "DwgDatabase.h"
#include "contura/db/host_services.h"
#include "drawing_fixture.h"

namespace {

namespace fs = std::filesystem;

// True when every object of the layer, block, text style and dimension style tables, of
// every block and of the group dictionary can be opened for write: nothing was left open.
bool everythingClosed(AcDbDatabase& db) {
  AcDbObjectIdArray ids;
  auto addTable = [&](AcDbSymbolTable* pTable) {
    AcDbSymbolTableIterator* it = nullptr;
    pTable->newIterator(it);
    for (; !it->done(); it->step()) {
      AcDbObjectId id;
      it->getRecordId(id);
      ids.append(id);
    }
    delete it;
    ids.append(pTable->objectId());
    pTable->close();
  };
  AcDbLayerTable* pLayers = nullptr;
  AcDbTextStyleTable* pStyles = nullptr;
  AcDbDimStyleTable* pDims = nullptr;
  AcDbBlockTable* pBlocks = nullptr;
  db.getLayerTable(pLayers);
  addTable(pLayers);
  db.getTextStyleTable(pStyles);
  addTable(pStyles);
  db.getDimStyleTable(pDims);
  addTable(pDims);
  db.getBlockTable(pBlocks);
  addTable(pBlocks);
  AcDbDictionary* pGroups = nullptr;
  db.getGroupDictionary(pGroups);
  ids.append(pGroups->objectId());
  pGroups->close();
  CDwgDatabase toolkit(&db);
  for (int i = 0, n = ids.length(); i < n; i++) {
    AcDbObjectIdArray inner;
    if (toolkit.getBlockInnerEntityIdArray(inner, ids[i]) == 0) ids.append(inner);
  }
  for (int i = 0; i < ids.length(); i++) {
    AcDbObject* pObj = nullptr;
    if (acdbOpenObject(pObj, ids[i], AcDb::kForWrite, true) != Acad::eOk) return false;
    pObj->close();
  }
  return true;
}

AcDbObjectId layerZero(AcDbDatabase& db) {
  AcDbLayerTable* pTable = nullptr;
  db.getLayerTable(pTable);
  AcDbObjectId id;
  pTable->getAt("0", id);
  pTable->close();
  return id;
}

CString nameOfLayer(AcDbObjectId id) {
  CString name;
  CDwgDatabase(id.database()).getLayerName(name, id);
  return name;
}

AcDbObjectId layerOf(AcDbObjectId entId) { return Opened<AcDbEntity>(entId)->layerId(); }

AcDbObjectId addBlock(AcDbDatabase& db, const char* name, AcDbEntity* pInner) {
  AcDbBlockTable* pTable = nullptr;
  db.getBlockTable(pTable, AcDb::kForWrite);
  AcDbBlockTableRecord* pBlock = new AcDbBlockTableRecord;
  pBlock->setName(name);
  AcDbObjectId id;
  pTable->add(id, pBlock);
  pBlock->appendAcDbEntity(pInner);
  pInner->close();
  pBlock->close();
  pTable->close();
  return id;
}

AcDbLine* lineOn(const char* layer, double y = 0.0) {
  AcDbLine* pLine = new AcDbLine(AcGePoint3d(0, y, 0), AcGePoint3d(10, y, 0));
  pLine->setLayer(layer);
  return pLine;
}

TEST(DwgToolkitLayers, AddLayerPreNameRenamesUnlocksAndThawsAndMovesLayerZeroEntities) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  AcDbObjectId zero = layerZero(drawing.db);
  {
    AcDbLayerTableRecord* pZero = nullptr;
    acdbOpenObject(pZero, zero, AcDb::kForWrite);
    AcCmColor c;
    c.setColorIndex(3);
    pZero->setColor(c);
    pZero->close();
  }
  AcDbObjectId wall = drawing.addLayer("WALL", 1), door = drawing.addLayer("DOOR", 2);
  ASSERT_EQ(toolkit.lockLayer(wall), 0);
  {
    AcDbLayerTableRecord* pDoor = nullptr;
    acdbOpenObject(pDoor, door, AcDb::kForWrite);
    pDoor->setIsFrozen(true);
    pDoor->close();
  }
  AcDbObjectId onZero = drawing.add(lineOn("0")), onWall = drawing.add(lineOn("WALL", 5));
  addBlock(drawing.db, "FRAME", lineOn("0"));

  ASSERT_EQ(toolkit.addLayerPreName("A-"), 0);
  AcDbObjectId prefixedZero;
  ASSERT_EQ(toolkit.getLayerIdFromName(prefixedZero, "A-0"), 0);
  ASSERT_FALSE(prefixedZero.isNull());
  int color = 0, locked = 1;
  EXPECT_EQ(toolkit.getLayerColorFromLayer(color, prefixedZero), 0);
  EXPECT_EQ(color, 3);
  EXPECT_EQ(nameOfLayer(zero), "0");
  EXPECT_EQ(nameOfLayer(wall), "A-WALL");
  EXPECT_EQ(nameOfLayer(door), "A-DOOR");
  EXPECT_EQ(toolkit.isLayerLock(locked, wall), 0);
  EXPECT_EQ(locked, 0);
  EXPECT_FALSE(Opened<AcDbLayerTableRecord>(door)->isFrozen());
  EXPECT_EQ(layerOf(onZero), prefixedZero);
  EXPECT_EQ(layerOf(onWall), wall);
  AcDbObjectIdArray blockIds, inner;
  ASSERT_EQ(toolkit.getBlockIdArray(blockIds), 0);
  ASSERT_EQ(toolkit.getBlockInnerEntityIdArray(inner, blockIds[0]), 0);
  EXPECT_EQ(layerOf(inner[0]), zero);  // entities of block definitions keep their layer
  EXPECT_TRUE(everythingClosed(drawing.db));

  // A second call prefixes again; the table holds "A-0" for "a-0", which keeps its name.
  ASSERT_EQ(toolkit.addLayerPreName("a-"), 0);
  EXPECT_EQ(nameOfLayer(wall), "a-A-WALL");
  EXPECT_EQ(nameOfLayer(prefixedZero), "A-0");
}

TEST(DwgToolkitLayers, NamesAreExactAndCaseSensitivePrefixesStartAtTheFirstCharacter) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  AcDbObjectId aWall = drawing.addLayer("A-WALL", 1), xaWall = drawing.addLayer("XA-WALL", 1),
               wall = drawing.addLayer("WALL", 1), han = drawing.addLayer("墙A-1", 1);
  struct Case {
    const char* prefix;
    std::vector<AcDbObjectId> layers;
  } cases[] = {{"A-", {aWall}}, {"XA-", {xaWall}}, {"a-", {}}, {"墙", {han}},
               {"", {layerZero(drawing.db), aWall, xaWall, wall, han}}};
  for (const Case& c : cases) {
    AcDbObjectIdArray ids;
    ASSERT_EQ(toolkit.getLayerIdArrayByPreName(ids, c.prefix), 0);
    EXPECT_EQ(std::vector<AcDbObjectId>(ids.begin(), ids.end()), c.layers) << c.prefix;
  }
  AcDbObjectId found = AcDbObjectId::kNull;
  EXPECT_EQ(toolkit.getLayerIdFromName(found, "wall"), 0);
  EXPECT_TRUE(found.isNull());
  EXPECT_EQ(toolkit.getLayerIdFromName(found, "WALL"), 0);
  EXPECT_EQ(found, wall);
  CStringArray names;
  ASSERT_EQ(toolkit.getLayerTolNameArrayNoZero(names), 0);
  ASSERT_EQ(names.GetSize(), 4);
  EXPECT_EQ(names[0], "A-WALL");

  // Entities by layer prefix, and erasing layers by prefix with what lies on them.
  AcDbObjectId l1 = drawing.add(lineOn("A-WALL")), l2 = drawing.add(lineOn("XA-WALL")),
               l3 = drawing.add(lineOn("0"));
  AcDbObjectIdArray on, off;
  ASSERT_EQ(toolkit.getEntIdArrayOnPreNameLayer(on, "A-"), 0);
  ASSERT_EQ(toolkit.getEntIdArrayNoPreNameLayer(off, "A-"), 0);
  EXPECT_EQ(std::vector<AcDbObjectId>(on.begin(), on.end()), std::vector<AcDbObjectId>({l1}));
  EXPECT_EQ(std::vector<AcDbObjectId>(off.begin(), off.end()), std::vector<AcDbObjectId>({l2, l3}));
  ASSERT_EQ(toolkit.eraseLayerByPreName("A-"), 0);
  EXPECT_TRUE(Opened<AcDbEntity>(l2).p != nullptr);
  AcDbEntity* pGone = nullptr;
  EXPECT_EQ(acdbOpenObject(pGone, l1, AcDb::kForRead), Acad::eWasErased);
  AcDbObjectId stillThere = AcDbObjectId::kNull;
  toolkit.getLayerIdFromName(stillThere, "A-WALL");
  EXPECT_TRUE(stillThere.isNull());
  EXPECT_TRUE(everythingClosed(drawing.db));
}

TEST(DwgToolkitLayers, StatesChangeOnlyWhenTheyDifferAndListsStopAtTheFirstFailure) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  AcDbObjectId a = drawing.addLayer("A", 1), b = drawing.addLayer("B", 1);
  AcDbObjectId onB = drawing.add(lineOn("B"));
  ASSERT_EQ(toolkit.createLayer("C"), 0);
  int color = 0, on = 0;
  EXPECT_EQ(toolkit.getLayerColorFromLayer(color, "C"), 0);
  EXPECT_EQ(color, 255);

  AcDbObjectIdArray picked;
  picked.append(onB);
  ASSERT_EQ(toolkit.showSelectEntLayers(picked), 0);  // only B (and nothing else) shows
  toolkit.isLayerOn(on, b);
  EXPECT_EQ(on, 1);
  toolkit.isLayerOn(on, a);
  EXPECT_EQ(on, 0);
  ASSERT_EQ(toolkit.showAllLayer(true), 0);
  toolkit.isLayerOn(on, a);
  EXPECT_EQ(on, 1);

  CStringArray names;
  names.Add("A");
  names.Add("NONE");
  names.Add("B");
  EXPECT_EQ(toolkit.setLayerLock(names), 1);  // stops at NONE: A locked, B not
  int locked = 0;
  toolkit.isLayerLock(locked, a);
  EXPECT_EQ(locked, 1);
  toolkit.isLayerLock(locked, b);
  EXPECT_EQ(locked, 0);

  EXPECT_EQ(toolkit.setLayerName("B2", CString("B")), 0);
  EXPECT_EQ(nameOfLayer(b), "B2");
  EXPECT_EQ(toolkit.setLayerName("Z", layerZero(drawing.db)), 2);  // layer 0 keeps its name
  EXPECT_EQ(toolkit.setLayerName("A", b), 2);                       // a name in use
  CString notALayer;
  EXPECT_EQ(toolkit.getLayerName(notALayer, onB), 1);
  EXPECT_EQ(toolkit.setLayerInvisible(onB), 1);
  EXPECT_TRUE(everythingClosed(drawing.db));
}

TEST(DwgToolkitBlocks, ListsLeaveOutStarNamesAndErasingTakesTheReferencesAlong) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  AcDbObjectId door = addBlock(drawing.db, "DOOR", new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(0, 10, 0)));
  AcDbObjectId dWin = addBlock(drawing.db, "DWIN", new AcDbCircle(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 5));
  addBlock(drawing.db, "*U", new AcDbLine());
  AcDbObjectIdArray blocks;
  ASSERT_EQ(toolkit.getBlockIdArray(blocks), 0);
  EXPECT_EQ(std::vector<AcDbObjectId>(blocks.begin(), blocks.end()), std::vector<AcDbObjectId>({door, dWin}));

  AcDbObjectId r1 = drawing.add(new AcDbBlockReference(AcGePoint3d(0, 0, 0), door));
  AcDbObjectId r2 = drawing.add(new AcDbBlockReference(AcGePoint3d(50, 0, 0), door));
  AcDbObjectId r3 = drawing.add(new AcDbBlockReference(AcGePoint3d(0, 0, 0), dWin));
  AcDbObjectIdArray same;
  ASSERT_EQ(toolkit.getBlockRefIdArrayByRef(same, r2, 0, 0), 0);
  EXPECT_EQ(std::vector<AcDbObjectId>(same.begin(), same.end()), std::vector<AcDbObjectId>({r1, r2}));

  AcDbLine crossing(AcGePoint3d(-5, 5, 0), AcGePoint3d(100, 5, 0));
  AcGePoint3d first;
  ASSERT_EQ(CDwgDatabase::getCurveCrossBlockReferencePoint(first, &crossing, Opened<AcDbBlockReference>(r2).p), 0);
  EXPECT_TRUE(first.isEqualTo(AcGePoint3d(50, 5, 0)));
  AcDbPolyline* pBox = nullptr;
  ASSERT_EQ(CDwgDatabase::getReferenceExtentPL(pBox, r3), 0);
  EXPECT_EQ(verticesOf(pBox), (std::vector<std::array<double, 3>>{{-5, -5, 0}, {5, -5, 0}, {5, 5, 0}, {-5, 5, 0}}));
  delete pBox;

  ASSERT_EQ(toolkit.addBlockPreName("P-"), 0);
  CString renamed;
  {
    Opened<AcDbBlockTableRecord> block(Opened<AcDbBlockReference>(r1)->blockTableRecord());
    const char* pName = nullptr;
    block->getName(pName);
    renamed = pName;
  }
  EXPECT_EQ(renamed, "P-DOOR");
  ASSERT_EQ(toolkit.eraseBlockByPreName("P-D"), 0);  // both blocks and all three references
  blocks.setLogicalLength(0);
  toolkit.getBlockIdArray(blocks);
  EXPECT_EQ(blocks.length(), 0);
  EXPECT_TRUE(drawing.modelSpace().empty());

  AcDbBlockTable* pTable = nullptr;
  drawing.db.getBlockTable(pTable);
  AcDbObjectId model;
  pTable->getAt(ACDB_MODEL_SPACE, model);
  pTable->close();
  EXPECT_EQ(toolkit.eraseBlock(model), 3);  // model space refuses
  EXPECT_TRUE(everythingClosed(drawing.db));
}

TEST(DwgToolkitMaintenance, GroupNamesCountUpFromTheFirstFreeNumber) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  char buffer[64];
  char* pName = buffer;
  ASSERT_EQ(toolkit.makeGroupName(pName, "G"), 0);
  ASSERT_EQ(toolkit.makeGroupName(pName, "G"), 0);
  ASSERT_EQ(toolkit.makeGroupName(pName, "G"), 0);
  EXPECT_STREQ(buffer, "G_3");
  AcDbObjectId line = drawing.add(new AcDbLine());
  EXPECT_EQ(toolkit.addMemToGroup(line, buffer), 0);
  EXPECT_EQ(toolkit.addMemToGroup(AcDbObjectId::kNull, buffer), 0);
  char missing[] = "G_9";
  EXPECT_EQ(toolkit.addMemToGroup(line, missing), 1);
  AcDbDictionary* pGroups = nullptr;
  drawing.db.getGroupDictionary(pGroups);
  AcDbObjectId groupId;
  pGroups->getAt("G_3", groupId);
  pGroups->close();
  EXPECT_EQ(Opened<AcDbGroup>(groupId)->numEntities(), 1u);
  EXPECT_TRUE(everythingClosed(drawing.db));
}

TEST(DwgToolkitMaintenance, StylesWithMissingFontsAndArrowheadBlocksAreRepaired) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  const fs::path fonts = fs::path(testing::TempDir()) / "dwgtoolkit-fonts";
  fs::create_directories(fonts);
  for (const char* file : {"simplex.shx", "gbcbig.shx"}) std::ofstream(fonts / file) << "font";
  contura::db::setSupportPaths({fonts});
  AcDbObjectId found, lost;
  {
    AcDbTextStyleTable* pTable = nullptr;
    drawing.db.getTextStyleTable(pTable, AcDb::kForWrite);
    for (auto [name, font, id] : {std::tuple{"FOUND", "simplex.shx", &found}, {"LOST", "nowhere.shx", &lost}}) {
      AcDbTextStyleTableRecord* pStyle = new AcDbTextStyleTableRecord;
      pStyle->setName(name);
      pStyle->setFileName(font);
      pStyle->setBigFontFileName("gbcbig.shx");
      pTable->add(*id, pStyle);
      pStyle->close();
    }
    pTable->close();
  }
  AcDbObjectIdArray unable;
  ASSERT_EQ(toolkit.getTextStyleUnable(unable), 0);
  EXPECT_FALSE(unable.contains(found));
  EXPECT_TRUE(unable.contains(lost));
  EXPECT_EQ(toolkit.repairTextStyle(), 0);
  contura::db::setSupportPaths({});
  const char* pFont = nullptr;
  const char* pBig = nullptr;
  Opened<AcDbTextStyleTableRecord>(lost)->fileName(pFont);
  EXPECT_STREQ(pFont, "txt.shx");
  Opened<AcDbTextStyleTableRecord>(lost)->bigFontFileName(pBig);
  EXPECT_STREQ(pBig, "hztxt.shx");
  Opened<AcDbTextStyleTableRecord>(found)->fileName(pFont);
  EXPECT_STREQ(pFont, "simplex.shx");

  AcDbObjectId arrowed, plain;
  {
    AcDbDimStyleTable* pTable = nullptr;
    drawing.db.getDimStyleTable(pTable, AcDb::kForWrite);
    AcDbDimStyleTableRecord* pArrowed = new AcDbDimStyleTableRecord;
    pArrowed->setName("ARROWED");
    pTable->add(arrowed, pArrowed);
    pArrowed->setDimblk1("_DOT");
    pArrowed->close();
    AcDbDimStyleTableRecord* pPlain = new AcDbDimStyleTableRecord;
    pPlain->setName("PLAIN");
    pTable->add(plain, pPlain);
    pPlain->close();
    pTable->close();
  }
  ASSERT_EQ(toolkit.repairDimStyle(), 0);
  AcDbObjectId oblique;
  {
    AcDbBlockTable* pBlocks = nullptr;
    drawing.db.getBlockTable(pBlocks);
    pBlocks->getAt("_OBLIQUE", oblique);
    pBlocks->close();
  }
  EXPECT_FALSE(oblique.isNull());
  EXPECT_EQ(Opened<AcDbDimStyleTableRecord>(arrowed)->dimblk1(), oblique);
  EXPECT_TRUE(Opened<AcDbDimStyleTableRecord>(arrowed)->dimblk().isNull());
  EXPECT_TRUE(Opened<AcDbDimStyleTableRecord>(plain)->dimblk1().isNull());
  EXPECT_TRUE(everythingClosed(drawing.db));
}

TEST(DwgToolkitMaintenance, MultiInsertsBecomePlainReferencesAndOldPolylinesLightweightOnes) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  AcDbObjectId block = addBlock(drawing.db, "COL", new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)));
  AcDbObjectId multi = drawing.add(new AcDbMInsertBlock(AcGePoint3d(10, 20, 0), block, 3, 2, 5, 5));
  AcGePoint3dArray corners;
  corners.append(AcGePoint3d(0, 0, 0));
  corners.append(AcGePoint3d(4, 0, 0));
  corners.append(AcGePoint3d(4, 3, 0));
  AcGeDoubleArray bulges;
  bulges.append(0.0);
  bulges.append(0.5);
  bulges.append(0.0);
  AcDbObjectId old = drawing.add(new AcDb2dPolyline(AcDb::k2dSimplePoly, corners, 2.0, true, 0, 0, &bulges));
  ASSERT_EQ(toolkit.deleteMInsertBlock(), 0);
  ASSERT_EQ(toolkit.change2dPolylineToPolyline(), 0);
  std::vector<AcDbObjectId> left = drawing.modelSpace();
  ASSERT_EQ(left.size(), 2u);
  EXPECT_NE(left[0], multi);
  Opened<AcDbEntity> plain(left[0]);
  ASSERT_EQ(plain->isA(), AcDbBlockReference::desc());
  EXPECT_TRUE(static_cast<AcDbBlockReference*>(plain.p)->position().isEqualTo(AcGePoint3d(10, 20, 0)));
  EXPECT_EQ(static_cast<AcDbBlockReference*>(plain.p)->blockTableRecord(), block);
  Opened<AcDbPolyline> pline(left[1]);
  ASSERT_NE(pline.p, nullptr);
  EXPECT_NE(left[1], old);
  EXPECT_TRUE(pline->isClosed());
  EXPECT_DOUBLE_EQ(pline->elevation(), 2.0);
  EXPECT_EQ(verticesOf(pline.p), (std::vector<std::array<double, 3>>{{0, 0, 0}, {4, 0, 0.5}, {4, 3, 0}}));
}

TEST(DwgToolkitTexts, TextBoxesStartAtTheBottomLeftCornerForEveryAttachment) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  struct Case {
    AcDbMText::AttachmentPoint attachment;
    double leftOf, below;  // fractions of width and height
  } cases[] = {{AcDbMText::kTopLeft, 0, 1}, {AcDbMText::kMiddleCenter, 0.5, 0.5}, {AcDbMText::kBottomRight, 1, 0}};
  for (const Case& c : cases) {
    AcDbMText* pMText = new AcDbMText;
    pMText->setContents("AB\\PCDEF");
    pMText->setTextHeight(2.0);
    pMText->setLocation(AcGePoint3d(100, 50, 0));
    pMText->setAttachment(c.attachment);
    const double w = pMText->actualWidth(), h = pMText->actualHeight();
    AcDbObjectId id = drawing.add(pMText);
    CString text, layer;
    AcGePoint3d at;
    double rotation = 1.0;
    int color = 0;
    AcGeVector3d up, along;
    ASSERT_EQ(toolkit.getTextInfo(text, at, rotation, color, layer, up, along, id), 0);
    EXPECT_EQ(text, "AB\\PCDEF");
    EXPECT_TRUE(at.isEqualTo(AcGePoint3d(100 - w * c.leftOf, 50 - h * c.below, 0))) << int(c.attachment);
    EXPECT_TRUE(up.isEqualTo(AcGeVector3d(0, h, 0)));
    EXPECT_TRUE(along.isEqualTo(AcGeVector3d(w, 0, 0)));
    EXPECT_EQ(layer, "0");
  }
  // A rotated single-line text: its unrotated box, turned with it.
  AcDbText* pText = new AcDbText(AcGePoint3d(1, 2, 0), "墙", AcDbObjectId::kNull, 3.0, 0.5 * 3.14159265358979);
  AcDbObjectId textId = drawing.add(pText);
  AcDbExtents flat;
  {
    AcDbText unrotated(AcGePoint3d(1, 2, 0), "墙", AcDbObjectId::kNull, 3.0, 0.0);
    unrotated.getGeomExtents(flat);
  }
  CString text;
  AcGePoint3d at;
  AcGeVector3d up, along;
  ASSERT_EQ(toolkit.getTextInfo(text, at, up, along, textId), 0);
  EXPECT_TRUE(along.isEqualTo(AcGeVector3d(0, flat.maxPoint().x - flat.minPoint().x, 0)));
  EXPECT_TRUE(up.isEqualTo(AcGeVector3d(-(flat.maxPoint().y - flat.minPoint().y), 0, 0)));

  AcDbObjectId line = drawing.add(new AcDbLine());
  text = "stale";
  EXPECT_EQ(toolkit.getTextInfo(text, line), 2);
  EXPECT_EQ(text, "");
  EXPECT_EQ(toolkit.getTextInfo(text, static_cast<AcDbEntity*>(Opened<AcDbEntity>(line).p)), 3);
  EXPECT_TRUE(everythingClosed(drawing.db));
}

TEST(DwgToolkitTexts, SameTextsAreFoundAndWholeTextsReplaced) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  drawing.addLayer("NOTE", 1);
  AcDbObjectId a = drawing.add(new AcDbText(AcGePoint3d(0, 0, 0), "KL1", AcDbObjectId::kNull, 2.0));
  AcDbObjectId b = drawing.add(new AcDbText(AcGePoint3d(0, 9, 0), "KL1", AcDbObjectId::kNull, 5.0));
  AcDbText* pOther = new AcDbText(AcGePoint3d(0, 5, 0), "KL1", AcDbObjectId::kNull, 2.0);
  pOther->setLayer("NOTE");
  AcDbObjectId c = drawing.add(pOther);
  AcDbObjectId d = drawing.add(new AcDbText(AcGePoint3d(0, 5, 0), "KL12", AcDbObjectId::kNull, 2.0));
  struct Case {
    bool props;
    int sameLayer;
    std::vector<AcDbObjectId> expected;
  } cases[] = {{false, 0, {a, b, c}}, {false, 1, {a, b}}, {true, 0, {a, c}}, {true, 1, {a}}};
  for (const Case& k : cases) {
    AcDbObjectIdArray ids;
    ASSERT_EQ(k.props ? toolkit.getSameTextPropIdArray(ids, a, k.sameLayer, 0)
                      : toolkit.getSameTextIdArray(ids, a, k.sameLayer, 0),
              0);
    EXPECT_EQ(std::vector<AcDbObjectId>(ids.begin(), ids.end()), k.expected) << k.props << k.sameLayer;
  }
  AcDbObjectIdArray all;
  toolkit.getEntIdArray(all);
  CStringArray olds, news;
  olds.Add("KL1");
  news.Add("KL2");
  ASSERT_EQ(toolkit.replaceText(all, olds, news), 0);
  CString text;
  toolkit.getTextInfo(text, c);
  EXPECT_EQ(text, "KL2");
  toolkit.getTextInfo(text, d);
  EXPECT_EQ(text, "KL12");  // only whole texts
  news.Add("extra");
  EXPECT_EQ(toolkit.replaceText(all, olds, news), 1);
  EXPECT_TRUE(everythingClosed(drawing.db));
}

}  // namespace
