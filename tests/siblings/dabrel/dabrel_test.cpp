// Dabrel's five functions as the section library store uses them, on real library files.
#include "dabrel.h"

#include "library_fixture.h"

namespace {

const char* kInsert = "insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) Values (%d,%d,'%s','%s','%s')";

int insert(CString& error, CDaoDatabase& db, int type, const char* name, const char* text = "[Line]\n") {
  CString sql;
  sql.Format(kInsert, type, 1, name, text, "");
  return ExecuteDBBySQL(error, sql, db);
}

bool contains(const CString& text, const char* part) { return text.Find(part) >= 0; }

class Dabrel : public LibraryTest {
protected:
  void SetUp() override {
    LibraryTest::SetUp();
    ASSERT_EQ(OpenDatabase(error_, db_, path()), 0) << error_.GetString();
    EXPECT_TRUE(error_.IsEmpty());
  }
  CString error_;
  CDaoDatabase db_;
};

}  // namespace

TEST_F(Dabrel, AddReadsIdentityAndDeleteStarRemovesTheRow) {
  ASSERT_EQ(insert(error_, db_, 5, "截面一", "[Line]\nStart=0,0,0\n"), 0) << error_.GetString();
  CDaoRecordset rs;
  ASSERT_EQ(OpenRecordset(error_, rs, db_, "select max(Id) as IDGet from SectionInfo"), 0);
  long id = 0;
  ASSERT_EQ(GetValueFromRecordset(error_, id, "IDGet", rs), 0) << error_.GetString();
  EXPECT_EQ(id, 1);

  // The same recordset object is reused for the load query; names in any letter case.
  ASSERT_EQ(OpenRecordset(error_, rs, db_, "select * from SectionInfo order by GroupSec,Type"), 0);
  long key = 0, type = 0;
  CString name, text, typeText;
  EXPECT_EQ(GetValueFromRecordset(error_, key, "ID", rs), 0);
  EXPECT_EQ(GetValueFromRecordset(error_, type, "type", rs), 0);
  EXPECT_EQ(GetValueFromRecordset(error_, name, "NAME", rs), 0);
  EXPECT_EQ(GetValueFromRecordset(error_, text, "SectionInfo", rs), 0);
  EXPECT_EQ(GetValueFromRecordset(error_, typeText, "Type", rs), 0);
  EXPECT_EQ(key, 1);
  EXPECT_EQ(type, 5);
  EXPECT_EQ(name, "截面一");
  EXPECT_EQ(text, "[Line]\nStart=0,0,0\n");
  EXPECT_EQ(typeText, "5");
  rs.Close();

  CString sql;
  sql.Format("delete * from SectionInfo where id=%d ", static_cast<int>(id));
  EXPECT_EQ(ExecuteDBBySQL(error_, sql, db_), 0) << error_.GetString();
  EXPECT_EQ(countRows(db_), 0);
}

TEST_F(Dabrel, FailuresGiveResultsAndTextsWithoutChangingValues) {
  CDaoRecordset rs;
  ASSERT_EQ(OpenRecordset(error_, rs, db_, "select max(Id) as IDGet from SectionInfo"), 0);
  long id = -7;
  EXPECT_EQ(GetValueFromRecordset(error_, id, "IDGet", rs), 2);  // empty table: Null
  EXPECT_EQ(id, -7);
  EXPECT_TRUE(contains(error_, "'IDGet'") && contains(error_, "Null") && contains(error_, "max(Id)"))
      << error_.GetString();
  CString text = "unchanged";
  EXPECT_EQ(GetValueFromRecordset(error_, text, "IDGet", rs), 2);
  EXPECT_EQ(GetValueFromRecordset(error_, text, "Missing", rs), 1);
  EXPECT_EQ(text, "unchanged");
  rs.MoveNext();
  EXPECT_EQ(GetValueFromRecordset(error_, id, "IDGet", rs), 1);
  EXPECT_TRUE(contains(error_, "no current record")) << error_.GetString();

  ASSERT_EQ(insert(error_, db_, 1, "abc"), 0);
  ASSERT_EQ(OpenRecordset(error_, rs, db_, "select Name from SectionInfo"), 0);
  EXPECT_EQ(GetValueFromRecordset(error_, id, "name", rs), 3);

  // A quote in a value breaks the statement, which the text names; nothing is deleted.
  EXPECT_NE(insert(error_, db_, 2, "x'); delete from SectionInfo; --"), 0);
  EXPECT_TRUE(contains(error_, "delete from SectionInfo")) << error_.GetString();
  EXPECT_EQ(OpenRecordset(error_, rs, db_, "select * from Nowhere"), 2);
  EXPECT_TRUE(contains(error_, "Nowhere") && contains(error_, "no such table") && contains(error_, "lib.mdb"))
      << error_.GetString();
  CDaoDatabase closed;
  EXPECT_EQ(OpenRecordset(error_, rs, closed, "select * from SectionInfo"), 1);
  EXPECT_EQ(ExecuteDBBySQL(error_, "delete from SectionInfo", closed), 1);
  EXPECT_EQ(countRows(db_), 1);

  const CString missing = CString((dir_ / "SectionLib.mdb").c_str());
  EXPECT_EQ(OpenDatabase(error_, closed, missing), 1);
  EXPECT_TRUE(contains(error_, missing) && contains(error_, "could not find file")) << error_.GetString();
  EXPECT_FALSE(fs::exists(dir_ / "SectionLib.mdb"));
}
