// The open/close protocol, ids and handles, and misuse reports.
#include "db_test_util.h"

#include <contura/db/database_access.h>
#include <dbapserv.h>
#include <dbdict.h>
#include <dbents.h>

#include <unordered_set>

using dbtest::MisuseRecorder;

namespace {

class ProtocolTest : public ::testing::Test {
protected:
  void SetUp() override { lineId = dbtest::appendToModelSpace(db, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0))); }
  AcDbDatabase db;
  AcDbObjectId lineId;
  MisuseRecorder misuse;
};

TEST_F(ProtocolTest, NullIdErasedAndUnknownHandlesAreRefused) {
  AcDbObject* obj = reinterpret_cast<AcDbObject*>(0x1);
  EXPECT_EQ(acdbOpenObject(obj, AcDbObjectId::kNull, AcDb::kForRead), Acad::eNullObjectId);
  EXPECT_EQ(obj, nullptr);

  AcDbEntity* ent = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(ent, lineId, AcDb::kForWrite), Acad::eOk);
  ASSERT_EQ(ent->erase(), Acad::eOk);
  EXPECT_EQ(ent->erase(), Acad::eWasErased);
  ent->close();
  EXPECT_TRUE(lineId.isErased());
  EXPECT_EQ(acdbOpenAcDbEntity(ent, lineId, AcDb::kForRead), Acad::eWasErased);
  EXPECT_EQ(ent, nullptr);
  ASSERT_EQ(acdbOpenAcDbEntity(ent, lineId, AcDb::kForWrite, true), Acad::eOk);
  EXPECT_EQ(ent->erase(false), Acad::eOk);
  EXPECT_EQ(ent->erase(false), Acad::eWasNotErased);
  ent->close();
  EXPECT_FALSE(lineId.isErased());

  // A handle named before its object exists opens as an unknown handle until it arrives.
  AcDbObjectId later;
  ASSERT_EQ(db.getAcDbObjectId(later, true, AcDbHandle(0x5000)), Acad::eOk);
  EXPECT_FALSE(later.isValid());
  EXPECT_EQ(acdbOpenObject(obj, later, AcDb::kForRead), Acad::eUnknownHandle);
  AcDbObjectId bound;
  ASSERT_EQ(contura::db::addObjectWithHandle(db, bound, new AcDbLine(), AcDbHandle(0x5000)), Acad::eOk);
  EXPECT_EQ(bound, later);
  auto* refused = new AcDbLine();
  EXPECT_EQ(contura::db::addObjectWithHandle(db, bound, refused, AcDbHandle(0x5000)), Acad::eHandleInUse);
  EXPECT_TRUE(refused->isNewObject());  // still the caller's
  delete refused;
  AcDbObjectId missing;
  EXPECT_EQ(db.getAcDbObjectId(missing, false, AcDbHandle(0x7777)), Acad::eUnknownHandle);
  EXPECT_EQ(db.getAcDbObjectId(missing, false, AcDbHandle()), Acad::eNullHandle);
  AcDbObject* fresh = nullptr;
  ASSERT_EQ(acdbOpenObject(fresh, bound, AcDb::kForRead), Acad::eWasOpenForWrite);
}

TEST_F(ProtocolTest, ReadersCountUpTo256) {
  std::vector<AcDbObject*> opened;
  for (int i = 0; i < 256; ++i) {
    AcDbObject* obj = nullptr;
    ASSERT_EQ(acdbOpenObject(obj, lineId, AcDb::kForRead), Acad::eOk) << i;
    opened.push_back(obj);
  }
  // Every read open returns the same object.
  EXPECT_TRUE(std::all_of(opened.begin(), opened.end(), [&](AcDbObject* o) { return o == opened[0]; }));
  AcDbObject* extra = nullptr;
  EXPECT_EQ(acdbOpenObject(extra, lineId, AcDb::kForRead), Acad::eAtMaxReaders);
  EXPECT_EQ(acdbOpenObject(extra, lineId, AcDb::kForWrite), Acad::eWasOpenForRead);
  for (AcDbObject* o : opened) EXPECT_EQ(o->close(), Acad::eOk);
  EXPECT_EQ(acdbOpenObject(extra, lineId, AcDb::kForWrite), Acad::eOk);
  extra->close();
  EXPECT_TRUE(dbtest::MisuseRecorder::reports().empty());
}

TEST_F(ProtocolTest, ModeCompatibilityTable) {
  AcDbObject* a = nullptr;
  AcDbObject* b = nullptr;
  // Open for write: nothing else but notify.
  ASSERT_EQ(acdbOpenObject(a, lineId, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(acdbOpenObject(b, lineId, AcDb::kForRead), Acad::eWasOpenForWrite);
  EXPECT_EQ(acdbOpenObject(b, lineId, AcDb::kForWrite), Acad::eWasOpenForWrite);
  ASSERT_EQ(acdbOpenObject(b, lineId, AcDb::kForNotify), Acad::eOk);
  // While notifying, nothing else.
  EXPECT_EQ(acdbOpenObject(b, lineId, AcDb::kForNotify), Acad::eWasOpenForNotify);
  EXPECT_TRUE(a->isNotifyEnabled());
  EXPECT_EQ(a->close(), Acad::eOk);  // the notify open
  EXPECT_TRUE(a->isWriteEnabled());
  EXPECT_EQ(a->close(), Acad::eOk);  // the write open
  EXPECT_FALSE(a->isWriteEnabled());

  // Open for read: notify is allowed, then read and write are refused while notifying.
  ASSERT_EQ(acdbOpenObject(a, lineId, AcDb::kForRead), Acad::eOk);
  ASSERT_EQ(acdbOpenObject(b, lineId, AcDb::kForNotify), Acad::eOk);
  EXPECT_EQ(acdbOpenObject(b, lineId, AcDb::kForRead), Acad::eWasNotifying);
  EXPECT_EQ(acdbOpenObject(b, lineId, AcDb::kForWrite), Acad::eWasNotifying);
  EXPECT_EQ(a->upgradeOpen(), Acad::eWasNotifying);
  EXPECT_EQ(a->close(), Acad::eOk);
  EXPECT_EQ(a->close(), Acad::eOk);
  EXPECT_EQ(acdbOpenObject(b, lineId, AcDb::kForWrite), Acad::eOk);
  b->close();
}

TEST_F(ProtocolTest, UpgradeAndDowngrade) {
  AcDbObject* a = nullptr;
  AcDbObject* b = nullptr;
  ASSERT_EQ(acdbOpenObject(a, lineId, AcDb::kForRead), Acad::eOk);
  ASSERT_EQ(acdbOpenObject(b, lineId, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(a->upgradeOpen(), Acad::eHadMultipleReaders);
  EXPECT_FALSE(a->isWriteEnabled());
  b->close();
  EXPECT_EQ(a->upgradeOpen(), Acad::eOk);
  EXPECT_TRUE(a->isWriteEnabled());
  EXPECT_EQ(a->upgradeOpen(), Acad::eWasOpenForWrite);
  EXPECT_EQ(a->downgradeOpen(), Acad::eOk);
  EXPECT_FALSE(a->isWriteEnabled());
  EXPECT_TRUE(a->isReadEnabled());
  EXPECT_EQ(a->downgradeOpen(), Acad::eNotOpenForWrite);
  // After the downgrade one read open remains and another reader may join.
  ASSERT_EQ(acdbOpenObject(b, lineId, AcDb::kForRead), Acad::eOk);
  b->close();
  EXPECT_EQ(a->close(), Acad::eOk);
  EXPECT_EQ(a->upgradeOpen(), Acad::eNotOpenForRead);
  // An upgraded object needs one close only.
  ASSERT_EQ(acdbOpenObject(a, lineId, AcDb::kForRead), Acad::eOk);
  ASSERT_EQ(a->upgradeOpen(), Acad::eOk);
  EXPECT_EQ(a->close(), Acad::eOk);
  EXPECT_EQ(acdbOpenObject(b, lineId, AcDb::kForWrite), Acad::eOk);
  b->close();
}

TEST_F(ProtocolTest, MisuseIsRefusedAndReported) {
  AcDbObject* a = nullptr;
  ASSERT_EQ(acdbOpenObject(a, lineId, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(a->close(), Acad::eOk);
  EXPECT_EQ(a->close(), Acad::eInvalidOpenState);  // closing twice
  ASSERT_EQ(MisuseRecorder::reports().size(), 1u);

  // Changing a closed object is refused and reported; the value stays.
  auto* line = static_cast<AcDbLine*>(a);
  EXPECT_EQ(line->setEndPoint(AcGePoint3d(9, 9, 9)), Acad::eNotOpenForWrite);
  EXPECT_EQ(line->endPoint(), AcGePoint3d(1, 0, 0));
  EXPECT_EQ(MisuseRecorder::reports().size(), 2u);
  // Read-only opens do not allow changes either.
  ASSERT_EQ(acdbOpenObject(a, lineId, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(line->setStartPoint(AcGePoint3d(5, 5, 5)), Acad::eNotOpenForWrite);
  EXPECT_EQ(line->erase(), Acad::eNotOpenForWrite);
  a->close();
  EXPECT_EQ(line->startPoint(), AcGePoint3d(0, 0, 0));
}

TEST_F(ProtocolTest, NewObjectsAreOpenForWriteUntilAppended) {
  auto* circle = new AcDbCircle(AcGePoint3d(1, 2, 0), AcGeVector3d::kZAxis, 3.0);
  EXPECT_TRUE(circle->isNewObject());
  EXPECT_TRUE(circle->isWriteEnabled());
  EXPECT_EQ(circle->objectId(), AcDbObjectId::kNull);
  EXPECT_EQ(circle->database(), nullptr);
  EXPECT_EQ(circle->setRadius(4.0), Acad::eOk);
  // A new object cannot be closed: its creator deletes it.
  EXPECT_EQ(circle->close(), Acad::eNotInDatabase);
  EXPECT_EQ(circle->erase(), Acad::eNotInDatabase);
  EXPECT_EQ(MisuseRecorder::reports(), std::vector<Acad::ErrorStatus>{Acad::eNotInDatabase});

  AcDbBlockTable* bt = nullptr;
  ASSERT_EQ(db.getBlockTable(bt), Acad::eOk);
  AcDbBlockTableRecord* ms = nullptr;
  ASSERT_EQ(bt->getAt(ACDB_MODEL_SPACE, ms, AcDb::kForRead), Acad::eOk);
  bt->close();
  EXPECT_EQ(ms->appendAcDbEntity(circle), Acad::eNotOpenForWrite);
  ASSERT_EQ(ms->upgradeOpen(), Acad::eOk);
  AcDbObjectId id;
  ASSERT_EQ(ms->appendAcDbEntity(id, circle), Acad::eOk);
  EXPECT_EQ(ms->appendAcDbEntity(id, circle), Acad::eAlreadyInDb);
  ms->close();
  // Appended: in the database, still open for write until closed.
  EXPECT_FALSE(circle->isNewObject());
  EXPECT_EQ(circle->database(), &db);
  EXPECT_EQ(circle->ownerId(), dbtest::modelSpaceId(db));
  AcDbObject* other = nullptr;
  EXPECT_EQ(acdbOpenObject(other, id, AcDb::kForRead), Acad::eWasOpenForWrite);
  EXPECT_EQ(circle->close(), Acad::eOk);
  ASSERT_EQ(acdbOpenObject(other, id, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(static_cast<AcDbCircle*>(other)->radius(), 4.0);
  other->close();
}

TEST_F(ProtocolTest, DeletingAResidentObjectLeavesASafeId) {
  AcDbObject* obj = nullptr;
  ASSERT_EQ(acdbOpenObject(obj, lineId, AcDb::kForWrite), Acad::eOk);
  delete obj;
  EXPECT_EQ(MisuseRecorder::reports(), std::vector<Acad::ErrorStatus>{Acad::eInvalidOpenState});
  EXPECT_FALSE(lineId.isValid());
  EXPECT_EQ(acdbOpenObject(obj, lineId, AcDb::kForRead), Acad::ePermanentlyErased);
  // The block still lists the id; iterating skips what cannot be opened.
  dbtest::Opened<AcDbBlockTableRecord> ms(dbtest::modelSpaceId(db));
  AcDbBlockTableRecordIterator* it = nullptr;
  ms->newIterator(it);
  EXPECT_TRUE(it->done());
  delete it;
}

TEST_F(ProtocolTest, TypedAndFilteredOpens) {
  AcDbCircle* circle = reinterpret_cast<AcDbCircle*>(0x1);
  EXPECT_EQ(acdbOpenObject(circle, lineId, AcDb::kForWrite), Acad::eNotThatKindOfClass);
  EXPECT_EQ(circle, nullptr);
  // The failed typed open closed the object again.
  AcDbLine* line = nullptr;
  ASSERT_EQ(acdbOpenObject(line, lineId, AcDb::kForWrite), Acad::eOk);
  line->close();
  AcDbCurve* curve = nullptr;
  ASSERT_EQ(acdbOpenObject(curve, lineId, AcDb::kForRead), Acad::eOk);  // a base class is fine
  curve->close();

  AcDbObject* obj = nullptr;
  EXPECT_EQ(acdbOpenAcDbObject(obj, lineId, AcDb::kForRead, false, AcDbArc::desc()), Acad::eNotThatKindOfClass);
  EXPECT_EQ(acdbOpenAcDbObject(obj, lineId, AcDb::kForRead, false, AcDbCurve::desc()), Acad::eOk);
  obj->close();
  AcDbEntity* ent = nullptr;
  EXPECT_EQ(acdbOpenAcDbEntity(ent, db.layerTableId(), AcDb::kForRead), Acad::eNotAnEntity);
  EXPECT_EQ(ent, nullptr);
}

TEST_F(ProtocolTest, IdsHandlesAndNames) {
  EXPECT_EQ(lineId.database(), &db);
  EXPECT_FALSE(lineId.handle().isNull());
  EXPECT_TRUE(AcDbObjectId::kNull.handle().isNull());
  // Handles are unique and come from the seed.
  const AcDbHandle seed = db.handseed();
  AcDbObjectId second = dbtest::appendToModelSpace(db, new AcDbLine());
  EXPECT_EQ(second.handle(), seed);
  EXPECT_EQ(db.handseed(), AcDbHandle(seed.value() + 1));
  EXPECT_NE(second, lineId);
  EXPECT_TRUE(lineId < second || second < lineId);
  std::unordered_set<AcDbObjectId> set{lineId, second, lineId};
  EXPECT_EQ(set.size(), 2u);
  AcDbObjectId viaHandle;
  ASSERT_EQ(db.getAcDbObjectId(viaHandle, false, lineId.handle()), Acad::eOk);
  EXPECT_EQ(viaHandle, lineId);

  char buf[17];
  EXPECT_TRUE(AcDbHandle(0xABCDEF0123ull).getIntoAsciiBuffer(buf));
  EXPECT_STREQ(buf, "ABCDEF0123");
  EXPECT_EQ(AcDbHandle("abcdef0123").value(), 0xABCDEF0123ull);
  EXPECT_TRUE(AcDbHandle("12G").isNull());
  EXPECT_EQ(AcDbHandle(5u, 1u).value(), (1ull << 32) + 5);
  char small[3];
  EXPECT_FALSE(AcDbHandle(0x12345).getIntoAsciiBuffer(small, sizeof small));

  ads_name name;
  ASSERT_EQ(acdbGetAdsName(name, lineId), Acad::eOk);
  AcDbObjectId back;
  ASSERT_EQ(acdbGetObjectId(back, name), Acad::eOk);
  EXPECT_EQ(back, lineId);
  ads_name bogus = {0x1234, 0};
  EXPECT_EQ(acdbGetObjectId(back, bogus), Acad::eInvalidAdsName);
  EXPECT_EQ(acdbGetAdsName(name, AcDbObjectId::kNull), Acad::eNullObjectId);
}

TEST(Database, WorkingDatabaseForgetsADeletedDatabase) {
  auto* db = new AcDbDatabase();
  acdbHostApplicationServices()->setWorkingDatabase(db);
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), db);
  delete db;
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), nullptr);
}

TEST(Database, ReactorsAndExtensionDictionaries) {
  AcDbDatabase db;
  dbtest::MisuseRecorder misuse;
  AcDbObjectId a = dbtest::appendToModelSpace(db, new AcDbLine());
  AcDbObjectId b = dbtest::appendToModelSpace(db, new AcDbLine());
  AcDbObject* obj = nullptr;
  ASSERT_EQ(acdbOpenObject(obj, a, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(obj->reactors(), nullptr);
  obj->addPersistentReactor(b);
  obj->addPersistentReactor(b);
  ASSERT_NE(obj->reactors(), nullptr);
  ASSERT_EQ(obj->reactors()->length(), 1);
  EXPECT_EQ(acdbPersistentReactorObjectId((*obj->reactors())[0]), b);
  EXPECT_EQ(obj->removePersistentReactor(b), Acad::eOk);
  EXPECT_EQ(obj->removePersistentReactor(b), Acad::eKeyNotFound);

  EXPECT_TRUE(obj->extensionDictionary().isNull());
  ASSERT_EQ(obj->createExtensionDictionary(), Acad::eOk);
  EXPECT_EQ(obj->createExtensionDictionary(), Acad::eAlreadyInDb);
  const AcDbObjectId dictId = obj->extensionDictionary();
  AcDbDictionary* dict = nullptr;
  ASSERT_EQ(acdbOpenObject(dict, dictId, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(dict->ownerId(), a);
  AcDbObjectId entry;
  auto* inner = new AcDbDictionary();
  ASSERT_EQ(dict->setAt("DATA", inner, entry), Acad::eOk);
  inner->close();
  dict->close();
  EXPECT_EQ(obj->releaseExtensionDictionary(), Acad::eContainerNotEmpty);
  ASSERT_EQ(acdbOpenObject(dict, dictId, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(dict->remove("data"), Acad::eOk);
  dict->close();
  EXPECT_EQ(obj->releaseExtensionDictionary(), Acad::eOk);
  EXPECT_TRUE(obj->extensionDictionary().isNull());
  EXPECT_TRUE(dictId.isErased());
  obj->close();
  EXPECT_TRUE(misuse.reports().empty());
}

}  // namespace
