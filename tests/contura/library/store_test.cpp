// CSectionLibStore on real library files: loading, adding, rewriting, deleting, bad values,
// a missing or damaged library. (A busy library is waited for and reported in the DAO tests; a
// refused add leaves the list as it was in the cases here.)
#include "SectionLibStore.h"

#include <dabrel.h>

#include <vector>

#include "library_fixture.h"

namespace {

// A heap record as the dialogs make them.
CSectionLibRecord* makeRecord(int type, int group, const char* name, const char* text = "[Line]\nStartPoint=0,0,0\n",
                              const char* remark = "") {
  auto* rec = new CSectionLibRecord;
  rec->m_nType = type;
  rec->m_nGroupSec = group;
  rec->m_strName = name;
  rec->m_strSectionInfo = text;
  rec->m_strRemark = remark;
  return rec;
}

// One row as read straight from the file, apart from the store.
struct Row {
  long id = 0, type = 0, group = 0;
  CString name, text, remark;
};

std::vector<Row> readRows(const CString& path, const char* sql = "select * from SectionInfo order by Id") {
  std::vector<Row> rows;
  CString error;
  CDaoDatabase db;
  EXPECT_EQ(OpenDatabase(error, db, path), 0) << error.GetString();
  CDaoRecordset rs;
  EXPECT_EQ(OpenRecordset(error, rs, db, sql), 0) << error.GetString();
  for (; rs.IsOpen() && !rs.IsEOF(); rs.MoveNext()) {
    Row r;
    GetValueFromRecordset(error, r.id, "Id", rs);
    GetValueFromRecordset(error, r.type, "Type", rs);
    GetValueFromRecordset(error, r.group, "GroupSec", rs);
    GetValueFromRecordset(error, r.name, "Name", rs);
    GetValueFromRecordset(error, r.text, "SectionInfo", rs);
    GetValueFromRecordset(error, r.remark, "Remark", rs);
    rows.push_back(r);
  }
  return rows;
}

class Store : public LibraryTest {
protected:
  // Adds a record through `store`, which must accept it.
  CSectionLibRecord* add(CSectionLibStore& store, CSectionLibRecord* rec) {
    EXPECT_EQ(store.Add(rec), 0) << store.m_strError.GetString();
    return rec;
  }
};

}  // namespace

TEST_F(Store, EmptyThenAddAppendsWithTheNewKeyAndLoadOrdersByCategoryThenCode) {
  // Line feeds (also \r\n) and Chinese text come back unchanged.
  const char* text =
      "\n[SecType]\nName=柱\nRemark=\nType=3\nGroup=2\n"
      "[Polyline]\nLayer=0\nColor=255,0,0\nPoints=0,0,0;100,0,0.5;100,100,0\r\n\n[Text]\nString=截面 A\n";
  {
    CSectionLibStore store(path());
    EXPECT_EQ(store.m_nResult, 0) << store.m_strError.GetString();
    ASSERT_EQ(store.Load(), 0);  // an empty table: nothing, and null outside the list
    EXPECT_EQ(store.GetCount(), 0);
    EXPECT_EQ(store.GetAt(-1), nullptr);
    EXPECT_EQ(store.GetAt(0), nullptr);
    add(store, makeRecord(5, 2, "乙", text, "两行\n说明"));
    add(store, makeRecord(3, 2, "甲"));
    add(store, makeRecord(9, 1, "丙"));
    ASSERT_EQ(store.GetCount(), 3);
    // Appended in the order added, each with the key the database gave it.
    EXPECT_EQ(store.GetAt(0)->m_strName, "乙");
    EXPECT_EQ(store.GetAt(2)->m_strName, "丙");
    EXPECT_EQ(store.GetAt(2)->m_nId, 3);
    EXPECT_EQ(store.GetAt(1)->m_nId, 2);
    EXPECT_EQ(store.GetAt(3), nullptr);
  }
  CSectionLibStore store(path());
  ASSERT_EQ(store.Load(), 0);
  ASSERT_EQ(store.GetCount(), 3);
  const char* expectedOrder[] = {"丙", "甲", "乙"};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(store.GetAt(i)->m_strName, expectedOrder[i]) << i;
  const CSectionLibRecord* last = store.GetAt(2);
  EXPECT_EQ(last->m_nId, 1);
  EXPECT_EQ(last->m_nType, 5);
  EXPECT_EQ(last->m_nGroupSec, 2);
  EXPECT_EQ(last->m_strRemark, "两行\n说明");
  EXPECT_EQ(last->m_strSectionInfo, text);
}

TEST_F(Store, DeleteRemovesRowAndRecordButNotKeyZero) {
  CSectionLibStore store(path());
  add(store, makeRecord(1, 1, "a"));
  CSectionLibRecord* middle = add(store, makeRecord(2, 1, "b"));
  CSectionLibRecord* bottom = add(store, makeRecord(3, 1, "c"));

  CSectionLibRecord unsaved;  // key 0: nothing to do
  unsaved.m_nType = 2;
  unsaved.m_nGroupSec = 1;
  EXPECT_EQ(store.Delete(&unsaved), 0);
  EXPECT_EQ(store.GetCount(), 3);
  EXPECT_EQ(readRows(path()).size(), 3u);

  const int middleKey = middle->m_nId;
  EXPECT_EQ(store.Delete(middle), 0);
  ASSERT_EQ(store.GetCount(), 2);
  EXPECT_EQ(store.GetAt(1), bottom);  // later records move up one place
  for (const Row& r : readRows(path())) EXPECT_NE(r.id, middleKey);

  // A record the store does not hold: its row goes, the list stays.
  CSectionLibRecord stranger;
  stranger.m_nId = bottom->m_nId;
  EXPECT_EQ(store.Delete(&stranger), 0);
  EXPECT_EQ(store.GetCount(), 2);
  EXPECT_EQ(readRows(path()).size(), 1u);
}

TEST_F(Store, QuotesAndStatementsInAnyFieldAreRefusedAndChangeNothing) {
  CSectionLibStore store(path());
  CSectionLibRecord* kept = add(store, makeRecord(4, 2, "kept", "[Line]\n", "r"));
  add(store, makeRecord(5, 1, "second"));
  const char* attacks[] = {
      "O'Neal",
      "x' where 1=1 or '",
      "x'); delete from SectionInfo; --",
      "x','',''); drop table SectionInfo; --",
      "x',(select count(*) from SectionInfo),'')--",
  };
  for (const char* attack : attacks) {
    for (int field = 0; field < 3; ++field) {
      CSectionLibRecord* bad = makeRecord(7, 7, field == 0 ? attack : "n", field == 1 ? attack : "[Line]\n",
                                          field == 2 ? attack : "");
      bad->m_nId = 99;
      EXPECT_EQ(store.Add(bad), 1) << attack << field;
      EXPECT_NE(store.m_nResult, 0);
      EXPECT_FALSE(store.m_strError.IsEmpty());
      EXPECT_EQ(bad->m_nId, 0);  // reset before the insert
      delete bad;  // refused records stay the caller's
    }
    CSectionLibRecord update = *kept;
    update.m_strRemark = attack;
    EXPECT_EQ(store.Update(&update), 1) << attack;
    update.m_strRemark = "fine";
    update.m_strSectionInfo = attack;
    EXPECT_EQ(store.Update(&update), 1) << attack;
  }
  EXPECT_EQ(store.GetCount(), 2);
  std::vector<Row> rows = readRows(path());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "kept");
  EXPECT_EQ(rows[0].remark, "r");
  EXPECT_EQ(rows[0].text, "[Line]\n");
  EXPECT_EQ(rows[1].name, "second");
}

TEST_F(Store, UpdateRewritesEveryRowOfTheSameCodeAndCategory) {
  CSectionLibStore store(path());
  CSectionLibRecord* a = add(store, makeRecord(3, 2, "a", "[Line]\nold a\n", "ra"));
  add(store, makeRecord(3, 2, "b", "[Line]\nold b\n", "rb"));
  add(store, makeRecord(3, 1, "other category", "[Line]\nother\n"));
  add(store, makeRecord(4, 2, "other code", "[Line]\nother\n"));

  CSectionLibRecord change = *a;
  change.m_strName = "renamed";  // names are not rewritten
  change.m_strSectionInfo = "[Circle]\nCenter=1,2,0\n";
  change.m_strRemark = "新说明";
  EXPECT_EQ(store.Update(&change), 0) << store.m_strError.GetString();
  EXPECT_EQ(a->m_strSectionInfo, "[Line]\nold a\n");  // the held record is not changed

  std::vector<Row> rows = readRows(path());
  ASSERT_EQ(rows.size(), 4u);
  for (int i : {0, 1}) {
    EXPECT_EQ(rows[i].text, "[Circle]\nCenter=1,2,0\n") << i;
    EXPECT_EQ(rows[i].remark, "新说明") << i;
  }
  EXPECT_EQ(rows[0].name, "a");
  EXPECT_EQ(rows[1].name, "b");
  EXPECT_EQ(rows[2].text, "[Line]\nother\n");
  EXPECT_EQ(rows[3].text, "[Line]\nother\n");
}

TEST_F(Store, MissingLibraryFailsEveryStepAndIsNotCreated) {
  const fs::path missing = dir_ / "Support" / "SectionLib.mdb";
  CSectionLibStore store(CString(missing.c_str()));
  EXPECT_NE(store.m_nResult, 0);
  EXPECT_NE(store.m_strError.Find("SectionLib.mdb"), -1) << store.m_strError.GetString();
  EXPECT_EQ(store.Load(), 1);
  EXPECT_EQ(store.GetCount(), 0);
  CSectionLibRecord* rec = makeRecord(1, 1, "a");
  EXPECT_EQ(store.Add(rec), 1);
  EXPECT_EQ(store.GetCount(), 0);
  EXPECT_EQ(store.Update(rec), 1);
  rec->m_nId = 5;
  EXPECT_EQ(store.Delete(rec), 1);
  delete rec;
  EXPECT_FALSE(fs::exists(missing));
}

TEST_F(Store, NullFieldsKeepDefaultsAndAnUnreadableKeyStopsTheLoad) {
  // Rows written by another program: one with Null text fields, one whose key is not a number.
  {
    CDaoDatabase db;
    db.Open(path());
    db.Execute("drop table SectionInfo");
    db.Execute("create table SectionInfo (Id TEXT, Type INTEGER, GroupSec INTEGER, Name TEXT, "
               "SectionInfo TEXT, Remark TEXT)");
    db.Execute("insert into SectionInfo (Id,Type,GroupSec) Values ('7',1,1)");
    db.Execute("insert into SectionInfo (Id,Type,GroupSec,Name) Values ('seven',2,1,'bad key')");
    db.Execute("insert into SectionInfo (Id,Type,GroupSec,Name) Values ('8',3,1,'after')");
  }
  CSectionLibStore store(path());
  EXPECT_EQ(store.Load(), 2);
  ASSERT_EQ(store.GetCount(), 1);  // the row before the bad key stays loaded
  const CSectionLibRecord* rec = store.GetAt(0);
  EXPECT_EQ(rec->m_nId, 7);
  EXPECT_EQ(rec->m_nType, 1);
  EXPECT_TRUE(rec->m_strName.IsEmpty());
  EXPECT_TRUE(rec->m_strSectionInfo.IsEmpty());
  EXPECT_NE(store.m_strError.Find("'ID'"), -1) << store.m_strError.GetString();

  // Loading again starts from an empty list.
  EXPECT_EQ(store.Load(), 2);
  EXPECT_EQ(store.GetCount(), 1);
}
