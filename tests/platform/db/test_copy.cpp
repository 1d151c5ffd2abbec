// Copying databases (wblock, insert), the drawing-file hook and finding files.
#include "db_test_util.h"

#include <contura/db/database_access.h>
#include <contura/db/file_io.h>
#include <contura/db/host_services.h>
#include <contura/db/rawtags.h>
#include <dbapserv.h>
#include <dbdict.h>
#include <dbents.h>
#include <dbgroup.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

using dbtest::nameOf;

namespace {

// Ids of the live entities of a block, in order.
std::vector<AcDbObjectId> entitiesOf(AcDbDatabase& db, const char* blockName) {
  std::vector<AcDbObjectId> ids;
  AcDbBlockTable* bt = nullptr;
  if (db.getBlockTable(bt) != Acad::eOk) return ids;
  AcDbBlockTableRecord* block = nullptr;
  if (bt->getAt(blockName, block, AcDb::kForRead) == Acad::eOk) {
    AcDbBlockTableRecordIterator* it = nullptr;
    block->newIterator(it);
    for (; !it->done(); it->step()) {
      AcDbObjectId id;
      it->getEntityId(id);
      ids.push_back(id);
    }
    delete it;
    block->close();
  }
  bt->close();
  return ids;
}

AcDbObjectId groupMember(AcDbDatabase& db, const char* group, int index) {
  AcDbDictionary* groups = nullptr;
  EXPECT_EQ(db.getGroupDictionary(groups), Acad::eOk);
  AcDbObjectId id;
  AcDbObject* obj = nullptr;
  if (groups->getAt(group, obj, AcDb::kForRead) == Acad::eOk) {
    AcDbObjectIdArray ids;
    AcDbGroup::cast(obj)->allEntityIds(ids);
    if (index < ids.length()) id = ids[index];
    obj->close();
  }
  groups->close();
  return id;
}

// A drawing with layers, a block with a reference, a group, extended data and a raw entity
// whose tags name the line by handle.
struct SourceDrawing {
  AcDbDatabase db;
  AcDbObjectId line, ref, raw, block;
  SourceDrawing() {
    dbtest::addLayer(db, "WALL", 1);
    dbtest::addLayer(db, "DOOR", 2);
    dbtest::appendToBlock(db, "WINDOW", new AcDbCircle(AcGePoint3d(), AcGeVector3d::kZAxis, 1.0), &block);
    auto* l = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    l->setDatabaseDefaults(&db);
    acdbHostApplicationServices()->setWorkingDatabase(&db);
    l->setLayer("WALL");
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    resbuf* xd = acutBuildList(1001, "ACAD", 1000, "kept", 0);
    l->setXData(xd);
    acutRelRb(xd);
    line = dbtest::appendToModelSpace(db, l);
    ref = dbtest::appendToModelSpace(db, new AcDbBlockReference(AcGePoint3d(5, 5, 0), block));
    auto* r = AcDbRawEntity::cast(AcDbRawEntity::desc()->create());
    r->setDxfName("DIMENSION");
    char handle[17];
    line.handle().getIntoAsciiBuffer(handle);
    r->setTags({{100, "AcDbDimension"}, {330, handle}});
    raw = dbtest::appendToModelSpace(db, r);
    AcDbDictionary* groups = nullptr;
    db.getGroupDictionary(groups, AcDb::kForWrite);
    auto* g = new AcDbGroup("doors");
    AcDbObjectId gid;
    groups->setAt("G_1", g, gid);
    g->append(line);
    g->append(ref);
    g->close();
    groups->close();
  }
};

TEST(Wblock, CopiesEverythingWithTheSameHandles) {
  SourceDrawing src;
  // Beside the entities: an extension dictionary, a reactor, a raw object and raw header data.
  AcDbObjectId dict, rawObject;
  {
    dbtest::Opened<AcDbObject> line(src.line, AcDb::kForWrite);
    line->createExtensionDictionary();
    line->addPersistentReactor(src.ref);
    dict = line->extensionDictionary();
  }
  auto* raw = AcDbRawObject::cast(AcDbRawObject::desc()->create());
  raw->setDxfName("XRECORD");
  raw->setTags({{280, "1"}, {1, "\xCE\xC4"}});
  ASSERT_EQ(src.db.addAcDbObject(rawObject, raw), Acad::eOk);
  raw->close();
  contura::db::setRawHeader(src.db, {{"$TDCREATE", {{40, "2460000.5"}}}});
  AcDbDatabase* out = nullptr;
  ASSERT_EQ(src.db.wblock(out), Acad::eOk);
  std::unique_ptr<AcDbDatabase> owned(out);
  EXPECT_EQ(out->approxNumObjects(), src.db.approxNumObjects());
  EXPECT_EQ(out->handseed(), src.db.handseed());
  AcDbObjectId copyLine;
  ASSERT_EQ(out->getAcDbObjectId(copyLine, false, src.line.handle()), Acad::eOk);
  EXPECT_EQ(copyLine.database(), out);
  AcDbObjectId copyRef, copyRaw;
  out->getAcDbObjectId(copyRef, false, src.ref.handle());
  out->getAcDbObjectId(copyRaw, false, rawObject.handle());
  {
    dbtest::Opened<AcDbLine> line(copyLine, AcDb::kForWrite);
    ASSERT_EQ(line.status(), Acad::eOk);
    EXPECT_EQ(line->extensionDictionary().handle(), dict.handle());
    EXPECT_EQ(line->extensionDictionary().database(), out);
    EXPECT_TRUE(line->hasPersistentReactor(copyRef));
    EXPECT_EQ(nameOf(line->layerId()), "WALL");
    EXPECT_EQ(line->layerId().database(), out);
    EXPECT_EQ(line->ownerId().database(), out);
    resbuf* xd = line->xData();
    ASSERT_NE(xd, nullptr);
    EXPECT_STREQ(xd->rbnext->resval.rstring, "kept");
    acutRelRb(xd);
    line->setEndPoint(AcGePoint3d(9, 9, 9));  // the source keeps its own
  }
  EXPECT_EQ(dbtest::Opened<AcDbLine>(src.line)->endPoint(), AcGePoint3d(1, 0, 0));

  EXPECT_EQ(entitiesOf(*out, ACDB_MODEL_SPACE).size(), 3u);
  dbtest::Opened<AcDbRawObject> rawCopy(copyRaw);
  ASSERT_NE(rawCopy.get(), nullptr);
  EXPECT_EQ(rawCopy->dxfName(), "XRECORD");
  EXPECT_EQ(rawCopy->tags()[1].value, "\xCE\xC4");
  ASSERT_EQ(contura::db::rawHeader(*out).size(), 1u);
  EXPECT_EQ(contura::db::rawHeader(*out)[0].first, "$TDCREATE");
  const AcDbObjectId copyBlock = dbtest::Opened<AcDbBlockReference>(copyRef)->blockTableRecord();
  EXPECT_EQ(nameOf(copyBlock), "WINDOW");
  EXPECT_EQ(copyBlock.database(), out);
  EXPECT_EQ(groupMember(*out, "G_1", 1), copyRef);
  EXPECT_EQ(nameOf(out->clayer()), "0");
  EXPECT_EQ(nameOf(out->textstyle()), "Standard");
}

TEST(Insert, ExistingNamesWinAndTheSourceStaysAsItWas) {
  SourceDrawing src;
  AcDbDatabase dst;
  const AcDbObjectId wallHere = dbtest::addLayer(dst, "wall", 3);  // same name, other colour
  AcDbObjectId hereWindow;
  dbtest::appendToBlock(dst, "WINDOW", new AcDbPoint(), &hereWindow);
  AcDbDictionary* groups = nullptr;
  dst.getGroupDictionary(groups, AcDb::kForWrite);
  auto* existing = new AcDbGroup();
  AcDbObjectId existingGroup;
  groups->setAt("G_1", existing, existingGroup);
  existing->close();
  groups->close();
  const Adesk::Int32 srcCount = src.db.approxNumObjects();

  const AcGeMatrix3d move = AcGeMatrix3d::translation(AcGeVector3d(100, 0, 0));
  ASSERT_EQ(dst.insert(move, &src.db), Acad::eOk);
  EXPECT_EQ(src.db.approxNumObjects(), srcCount);
  const std::vector<AcDbObjectId> ms = entitiesOf(dst, ACDB_MODEL_SPACE);
  ASSERT_EQ(ms.size(), 3u);
  {
    dbtest::Opened<AcDbLine> line(ms[0]);
    ASSERT_EQ(line.status(), Acad::eOk);
    EXPECT_EQ(line->startPoint(), AcGePoint3d(100, 0, 0));
    EXPECT_EQ(line->layerId(), wallHere);  // the existing layer, colour 3, wins
    EXPECT_EQ(dbtest::nameOf(line->ownerId()), ACDB_MODEL_SPACE);
    resbuf* xd = line->xData();
    ASSERT_NE(xd, nullptr);
    acutRelRb(xd);
    dbtest::Opened<AcDbBlockReference> ref(ms[1]);
    EXPECT_EQ(ref->blockTableRecord(), hereWindow);  // the existing block, not a copy
    EXPECT_EQ(ref->position(), AcGePoint3d(105, 5, 0));
  }
  // A layer only the source had is copied.
  AcDbLayerTable* lt = nullptr;
  ASSERT_EQ(dst.getLayerTable(lt), Acad::eOk);
  AcDbObjectId door;
  EXPECT_EQ(lt->getAt("DOOR", door), Acad::eOk);
  lt->close();
  EXPECT_EQ(dbtest::Opened<AcDbLayerTableRecord>(door)->color().colorIndex(), 2);
  // The raw entity comes across untransformed, its handle tag renamed to the copied line.
  dbtest::Opened<AcDbRawEntity> rawCopy(ms[2]);
  ASSERT_NE(rawCopy.get(), nullptr);
  char handle[17];
  ms[0].handle().getIntoAsciiBuffer(handle);
  EXPECT_EQ(rawCopy->tags()[1].value, handle);
  // The group name was taken: the existing group stays empty and the source's is not copied.
  EXPECT_TRUE(groupMember(dst, "G_1", 0).isNull());
  EXPECT_EQ(dst.insert(move, &dst), Acad::eSelfReference);
}

TEST(Insert, NewBlocksAnonymousBlocksAndGroupsAreCopied) {
  SourceDrawing src;
  AcDbBlockTable* bt = nullptr;
  ASSERT_EQ(src.db.getBlockTable(bt, AcDb::kForWrite), Acad::eOk);
  auto* anon = new AcDbBlockTableRecord();
  anon->setName("*U");
  bt->add(anon);
  const AcDbObjectId anonId = anon->objectId();
  anon->close();
  bt->close();
  dbtest::appendToBlock(src.db, "*U1", new AcDbLine());
  dbtest::appendToModelSpace(src.db, new AcDbBlockReference(AcGePoint3d(), anonId));

  AcDbDatabase dst;
  dbtest::appendToBlock(dst, "X", new AcDbPoint());
  ASSERT_EQ(dst.getBlockTable(bt, AcDb::kForWrite), Acad::eOk);
  auto* taken = new AcDbBlockTableRecord();
  taken->setName("*U");
  bt->add(taken);  // *U1 is taken in the target
  taken->close();
  bt->close();
  ASSERT_EQ(dst.insert(AcGeMatrix3d::kIdentity, &src.db), Acad::eOk);
  const std::vector<AcDbObjectId> ms = entitiesOf(dst, ACDB_MODEL_SPACE);
  ASSERT_EQ(ms.size(), 4u);
  const AcDbObjectId windowCopy = dbtest::Opened<AcDbBlockReference>(ms[1])->blockTableRecord();
  EXPECT_EQ(nameOf(windowCopy), "WINDOW");
  EXPECT_EQ(windowCopy.database(), &dst);
  ASSERT_EQ(entitiesOf(dst, "WINDOW").size(), 1u);
  EXPECT_EQ(dbtest::Opened<AcDbEntity>(entitiesOf(dst, "WINDOW")[0])->ownerId(), windowCopy);
  EXPECT_EQ(nameOf(dbtest::Opened<AcDbBlockReference>(ms[3])->blockTableRecord()), "*U2");
  EXPECT_EQ(entitiesOf(dst, "*U2").size(), 1u);
  // The group came across with its members translated.
  EXPECT_EQ(groupMember(dst, "G_1", 0), ms[0]);
  EXPECT_EQ(groupMember(dst, "G_1", 1), ms[1]);

  AcDbObjectId blockId;
  ASSERT_EQ(dst.insert(blockId, "FROM_SOURCE", &src.db), Acad::eOk);
  EXPECT_EQ(entitiesOf(dst, "FROM_SOURCE").size(), 4u);
  EXPECT_EQ(dst.insert(blockId, "from_source", &src.db), Acad::eDuplicateRecordName);
}

TEST(FileHook, ReadAndSaveGoThroughTheInstalledFunctions) {
  contura::db::setDrawingReader(nullptr);
  contura::db::setDrawingWriter(nullptr);
  AcDbDatabase empty(false);
  EXPECT_EQ(empty.readDwgFile("E:\\a.dxf"), Acad::eNotImplementedYet);
  EXPECT_NE(contura::db::lastFileMessage(empty).find("no drawing reader"), std::string::npos);
  EXPECT_EQ(empty.saveAs("x.dxf"), Acad::eNotImplementedYet);

  std::string seenPath;
  contura::db::setDrawingReader([&](AcDbDatabase& db, const std::string& path, std::string& message) {
    seenPath = path;
    if (path == "missing.dxf") {
      message = "no such file";
      return Acad::eFileNotFound;
    }
    contura::db::completeDefaultDrawing(db);
    return Acad::eOk;
  });
  EXPECT_EQ(empty.readDwgFile("missing.dxf"), Acad::eFileNotFound);
  EXPECT_EQ(contura::db::lastFileMessage(empty), "no such file");
  ASSERT_EQ(empty.readDwgFile("E:\\\xCD\xBC.dxf"), Acad::eOk);
  EXPECT_EQ(seenPath, "E:\\\xCD\xBC.dxf");
  const ACHAR* name = nullptr;
  empty.getFilename(name);
  EXPECT_STREQ(name, "E:\\\xCD\xBC.dxf");
  // Only an empty database can be read into.
  EXPECT_EQ(empty.readDwgFile("E:\\other.dxf"), Acad::eInvalidInput);
  int writes = 0;
  contura::db::setDrawingWriter([&](AcDbDatabase&, const std::string&, std::string&) {
    ++writes;
    return Acad::eOk;
  });
  EXPECT_EQ(empty.saveAs("copy.dxf"), Acad::eOk);
  EXPECT_EQ(writes, 1);
  empty.getFilename(name);
  EXPECT_STREQ(name, "copy.dxf");
  contura::db::setDrawingReader(nullptr);
  contura::db::setDrawingWriter(nullptr);
}

TEST(FindFile, DrawingFolderCurrentFolderAndSupportPaths) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("contura_db_find_" + std::to_string(::getpid()));
  fs::create_directories(root / "support");
  std::ofstream(root / "support" / "hztxt.shx") << "font";
  std::ofstream(root / "plan.dxf") << "0\nEOF\n";
  AcDbHostApplicationServices* services = acdbHostApplicationServices();
  char out[512];
  EXPECT_EQ(services->findFile(out, sizeof out, "hztxt.shx"), Acad::eFileNotFound);
  contura::db::setSupportPaths({root / "support"});
  ASSERT_EQ(services->findFile(out, sizeof out, "hztxt.shx"), Acad::eOk);
  EXPECT_EQ(fs::path(out), root / "support" / "hztxt.shx");
  EXPECT_EQ(services->findFile(out, 5, "hztxt.shx"), Acad::eBufferTooSmall);
  const std::string absolute = (root / "plan.dxf").string();
  ASSERT_EQ(services->findFile(out, sizeof out, absolute.c_str()), Acad::eOk);
  EXPECT_EQ(std::string(out), absolute);
  // Relative names are looked for beside the drawing first.
  AcDbDatabase db;
  contura::db::setFileName(db, (root / "plan.dxf").string());
  ASSERT_EQ(services->findFile(out, sizeof out, "plan.dxf", &db), Acad::eOk);
  EXPECT_EQ(fs::path(out), root / "plan.dxf");
  EXPECT_EQ(services->findFile(out, sizeof out, "\\\\server\\share\\x.shx"), Acad::eFileNotFound);
  EXPECT_EQ(services->findFile(out, sizeof out, ""), Acad::eInvalidInput);
  contura::db::setSupportPaths({});
  fs::remove_all(root);
}

}  // namespace
