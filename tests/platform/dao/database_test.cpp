// CDaoDatabase and CDaoRecordset on real library files: opening, statements, text, locking.
#include "library_fixture.h"

#include <contura/os/paths.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <thread>

namespace {

const char* kInsert = "insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) Values (%d,%d,'%s','%s','%s')";

void insert(CDaoDatabase& db, int type, const char* name, const char* text = "", const char* remark = "") {
  CString sql;
  sql.Format(kInsert, type, 1, name, text, remark);
  db.Execute(sql);
}

std::string hex(const std::string& bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) std::snprintf(buf, sizeof buf, "%02X", c), out += buf;
  return out;
}

}  // namespace

// Refusing an existing file and the keys of a new library are checked end to end.
TEST_F(LibraryTest, NewLibraryNeedsItsFolderAndKeepsTheRollbackJournal) {
  std::string error;
  EXPECT_FALSE(contura::dao::createLibraryFile(dir_ / "missing" / "lib.mdb", error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
  CDaoDatabase db;
  db.Open(path());
  CDaoRecordset mode(&db);
  mode.Open(dbOpenSnapshot, "PRAGMA journal_mode");
  EXPECT_STREQ(mode.GetFieldValue(0).bstrVal, "delete");
}

TEST_F(LibraryTest, OpenFindsWindowsPathsAndRefusesBadFiles) {
  const fs::path support = dir_ / "_Velmora" / "vlmr" / "Support";
  fs::create_directories(support);
  fs::rename(file_, support / "SectionLib.mdb");
  contura::os::driveMap().map('E', dir_);
  CDaoDatabase db;
  db.Open("e:\\_VELMORA\\Vlmr\\support\\sectionlib.MDB");
  EXPECT_TRUE(db.IsOpen());
  EXPECT_EQ(daoError([&] { db.Open("E:\\other.mdb"); }).code, 3219);  // already open
  db.Close();
  contura::os::driveMap().unmap('E');

  std::ofstream(dir_ / "text.mdb") << "Standard Jet DB, but not really";
  struct Case {
    std::string path;
    long code;
    const char* reason;
  };
  for (const Case& c : {Case{(dir_ / "absent.mdb").string(), 3024, "could not find file"},
                        Case{dir_.string(), 3051, "folder"},
                        Case{(dir_ / "text.mdb").string(), 3343, "not a library database"},
                        Case{"\\\\server\\share\\SectionLib.mdb", 3044, "network path"}}) {
    DaoError e = daoError([&] { db.Open(c.path.c_str()); });
    EXPECT_EQ(e.code, c.code) << c.path;
    EXPECT_NE(e.description.find(c.reason), std::string::npos) << e.description;
    EXPECT_FALSE(db.IsOpen());
  }
  EXPECT_FALSE(fs::exists(dir_ / "absent.mdb"));
  EXPECT_EQ(daoError([&] { db.Execute("delete from SectionInfo"); }).afxError, AFX_DAO_ERROR_OBJECT_NOT_OPEN);
}

TEST_F(LibraryTest, TextIsStoredAsUtf8AndReturnedAsCp936) {
  CDaoDatabase db;
  db.Open(path());
  insert(db, 7, "异形截面", "[Line]\nStart=0,0,0\n", "备注 A");
  CDaoRecordset rs(&db);
  rs.Open(dbOpenDynaset, "select Name, SectionInfo, cast(Name as blob) as Raw from SectionInfo where Type=7");
  COleVariant name = rs.GetFieldValue("NAME");
  ASSERT_EQ(name.vt, VT_BSTR);
  EXPECT_EQ(std::string(name.bstrVal, SysStringByteLen(name.bstrVal)), "异形截面");
  EXPECT_STREQ(rs.GetFieldValue("sectioninfo").bstrVal, "[Line]\nStart=0,0,0\n");
  COleVariant raw = rs.GetFieldValue("raw");
  EXPECT_EQ(hex(std::string(raw.bstrVal, SysStringByteLen(raw.bstrVal))), "E5BC82E5BDA2E688AAE99DA2");
  DaoError unknown = daoError([&] { rs.GetFieldValue("Remarks"); });
  EXPECT_EQ(unknown.code, 3265);
  EXPECT_NE(unknown.description.find("Name, SectionInfo, Raw"), std::string::npos) << unknown.description;
  // Bytes that are not code page 936 text are refused rather than stored changed.
  EXPECT_EQ(daoError([&] { insert(db, 8, "bad\xFF"); }).code, 3075);
  EXPECT_EQ(countRows(db), 1);
}

TEST_F(LibraryTest, StatementsThatCouldHarmAreRefusedAndChangeNothing) {
  CDaoDatabase db;
  db.Open(path());
  insert(db, 1, "kept");
  EXPECT_EQ(daoError([&] { insert(db, 2, "x'||'y"); }).code, 3075);
  EXPECT_EQ(daoError([&] { db.Execute("select * from SectionInfo"); }).code, 3065);
  EXPECT_EQ(daoError([&] { db.Execute("delete from SectionInfo where Id=?"); }).code, 3061);
  EXPECT_NE(daoError([&] { db.Execute("insert into Nowhere (a) Values (1)"); }).description.find("no such table"),
            std::string::npos);
  CDaoRecordset rs(&db);
  EXPECT_EQ(daoError([&] { rs.Open(dbOpenDynaset, "delete * from SectionInfo"); }).code, 3219);
  EXPECT_FALSE(rs.IsOpen());
  EXPECT_EQ(countRows(db), 1);
  db.Execute("Update SectionInfo set SectionInfo='t',Remark='r' where Type=1 and GroupSec=1 ");
  EXPECT_EQ(db.GetRecordsAffected(), 1);
  db.Execute("delete * from SectionInfo where id=1 ");
  EXPECT_EQ(countRows(db), 0);

  CDaoDatabase readOnly;
  readOnly.Open(path(), FALSE, TRUE);
  EXPECT_EQ(daoError([&] { insert(readOnly, 3, "ro"); }).code, 3027);
}

TEST_F(LibraryTest, RecordsetPositionsAndEmptyAggregates) {
  CDaoDatabase db;
  db.Open(path());
  CDaoRecordset rs(&db);
  rs.Open(dbOpenDynaset, "select * from SectionInfo order by GroupSec,Type");
  EXPECT_TRUE(rs.IsBOF() && rs.IsEOF());
  EXPECT_EQ(daoError([&] { rs.MoveNext(); }).code, 3021);
  EXPECT_EQ(daoError([&] { rs.GetFieldValue("Id"); }).code, 3021);
  rs.Close();
  // max(Id) over an empty table is one row holding Null.
  rs.Open(dbOpenDynaset, "select max(Id) as IDGet from SectionInfo");
  ASSERT_FALSE(rs.IsEOF());
  EXPECT_EQ(rs.GetFieldValue("idget").vt, VT_NULL);
  rs.Close();

  for (int type : {3, 1, 2}) insert(db, type, "n");
  rs.Open(dbOpenDynaset, "select * from SectionInfo order by GroupSec,Type");
  EXPECT_EQ(rs.GetRecordCount(), 3);
  EXPECT_EQ(rs.GetFieldCount(), 6);
  EXPECT_EQ(rs.GetFieldValue("TYPE").lVal, 1);
  rs.MovePrev();
  EXPECT_TRUE(rs.IsBOF());
  EXPECT_FALSE(rs.IsEOF());
  rs.MoveLast();
  EXPECT_EQ(rs.GetFieldValue(1).lVal, 3);
  rs.MoveNext();
  EXPECT_TRUE(rs.IsEOF());
  rs.MovePrev();
  EXPECT_EQ(rs.GetFieldValue("Type").lVal, 3);
  rs.Close();
  rs.Open(dbOpenTable, "[SectionInfo]");
  EXPECT_EQ(rs.GetRecordCount(), 3);
}

TEST_F(LibraryTest, BusyDatabaseIsWaitedForThenReported) {
  contura::dao::setBusyTimeoutMs(200);
  CDaoDatabase holder, db;
  holder.Open(path(), TRUE);  // exclusive: keeps its write lock once it has written
  db.Open(path());
  insert(holder, 1, "holder");
  DaoError busy = daoError([&] { insert(db, 2, "waiting"); });
  EXPECT_EQ(busy.code, 3260);
  EXPECT_NE(busy.description.find("in use by another connection"), std::string::npos) << busy.description;
  CDaoRecordset rs(&db);
  EXPECT_EQ(daoError([&] { rs.Open(dbOpenDynaset, "select * from SectionInfo"); }).code, 3260);
  holder.Close();
  insert(db, 2, "after");
  EXPECT_EQ(countRows(db), 2);

  // A writer that lets go within the timeout is waited for.
  contura::dao::setBusyTimeoutMs(10000);
  CDaoDatabase later;
  later.Open(path());
  holder.Open(path(), TRUE);
  insert(holder, 3, "holder");
  std::atomic<bool> released = false;
  std::thread release([&] {
    usleep(300 * 1000);
    released = true;
    holder.Close();
  });
  insert(later, 4, "waited");
  EXPECT_TRUE(released);
  release.join();
  EXPECT_EQ(countRows(later), 4);
}

// What the end-to-end library runs cannot reach is said once too, naming the file and what
// the user lost (the opening, table, column, read-only and quoted-name failures are checked
// there, line for line).
TEST_F(LibraryTest, FailuresAreSaidOnceNamingTheFileAndTheCause) {
  const std::string lib = file_.string(), absent = (dir_ / "absent.mdb").string();
  // A library whose table lost a column.
  const fs::path noColumn = dir_ / "nocolumn.mdb";
  fs::copy_file(file_, noColumn);
  {
    CDaoDatabase db;
    db.Open(noColumn.c_str());
    db.Execute("drop table SectionInfo");
    db.Execute("create table SectionInfo (Id INTEGER PRIMARY KEY, Type INTEGER, GroupSec INTEGER, Name TEXT, SectionInfo TEXT)");
  }
  said_.clear();
  {
    CDaoDatabase db;
    db.Open(lib.c_str());
    EXPECT_NE(daoError([&] {
                db.Execute("Update SectionInfo set SectionInfo='a',Remark='x'||'y' where Type=1 and GroupSec=1 ");
              }).code,
              0);
    ASSERT_EQ(said_.size(), 1u);
    EXPECT_EQ(said_[0], "\n库文件“" + lib +
                            "”：要写入的文字中含有单引号（'），语句因此无法执行，修改没有保存。"
                            "请去掉名称、备注或截面文字中的单引号后重试。");
  }

  // After a failed open, each statement still says which file it could not work on.
  said_.clear();
  CDaoDatabase closed;
  daoError([&] { closed.Open(absent.c_str()); });
  EXPECT_EQ(daoError([&] { closed.Execute("delete * from SectionInfo where id=1 "); }).code, 3420);
  ASSERT_EQ(said_.size(), 2u);
  EXPECT_EQ(said_[1], "\n库文件“" + absent + "”没有打开，记录没有删除。");

  // A field the query lacks is said once, however many rows ask for it.
  CDaoDatabase db;
  db.Open(noColumn.c_str());
  for (const char* sql : {"insert into SectionInfo (Type,GroupSec,Name) Values (1,1,'a')",
                          "insert into SectionInfo (Type,GroupSec,Name) Values (2,1,'b')"})
    db.Execute(sql);
  said_.clear();
  CDaoRecordset rs(&db);
  rs.Open(dbOpenDynaset, "select * from SectionInfo order by GroupSec,Type");
  for (; !rs.IsEOF(); rs.MoveNext()) EXPECT_EQ(daoError([&] { rs.GetFieldValue("Remark"); }).code, 3265);
  ASSERT_EQ(said_.size(), 1u);
  EXPECT_EQ(said_[0], "\n库文件“" + noColumn.string() + "”的表“SectionInfo”中没有列“Remark”，这一列没有读出。这个文件不是完整的截面库。");
}

// The key query after an insert sees the insert's own key even when another program is
// inserting at the same moment: that program waits until the query has run.
TEST_F(LibraryTest, KeyQueryAfterAnInsertIsNotOvertakenByAnotherProgram) {
  int toChild[2], toParent[2];
  ASSERT_EQ(pipe(toChild), 0);
  ASSERT_EQ(pipe(toParent), 0);
  auto signal = [](int fd) { return write(fd, "s", 1) == 1; };
  auto await = [](int fd) { char c; return read(fd, &c, 1) == 1; };
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {  // inserts, lets the parent try to insert, then asks for its key
    long key = -1;
    try {
      CDaoDatabase db;
      db.Open(path());
      if (!signal(toParent[1]) || !await(toChild[0])) _exit(2);
      insert(db, 1, "child");
      if (!signal(toParent[1]) || !await(toChild[0])) _exit(2);
      CDaoRecordset rs(&db);
      rs.Open(dbOpenSnapshot, "select max(Id) as IDGet from SectionInfo");
      key = rs.GetFieldValue("IDGet").lVal;
    } catch (CException* e) {
      e->Delete();
    }
    _exit(key == 1 ? 0 : 1);
  }
  ASSERT_TRUE(await(toParent[0]));  // the child has opened the file
  contura::dao::setBusyTimeoutMs(300);
  CDaoDatabase db;
  db.Open(path());
  ASSERT_TRUE(signal(toChild[1]) && await(toParent[0]));  // the child has inserted
  EXPECT_EQ(daoError([&] { insert(db, 2, "parent"); }).code, 3260);  // held until the key query
  ASSERT_TRUE(signal(toChild[1]));
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child read another key";
  insert(db, 2, "parent");
  CDaoRecordset rs(&db);
  rs.Open(dbOpenSnapshot, "select max(Id) as IDGet from SectionInfo");
  EXPECT_EQ(rs.GetFieldValue("IDGet").lVal, 2);
  for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]}) close(fd);
}

// An insert held open for its key query never holds up another connection of the same
// program: that connection's first statement commits it.
TEST_F(LibraryTest, InsertHeldForItsKeyQueryNeverHoldsUpTheSameProgram) {
  contura::dao::setBusyTimeoutMs(300);
  CDaoDatabase first, second;
  first.Open(path());
  second.Open(path());
  insert(first, 1, "a");
  insert(second, 2, "b");
  EXPECT_EQ(countRows(first), 2);
  insert(second, 3, "c");
  second.Close();
  EXPECT_EQ(countRows(first), 3);
  EXPECT_TRUE(said_.empty());
}

// A program that leaves through exit() right after an insert, without closing, keeps the row.
TEST_F(LibraryTest, InsertHeldAtExitIsSaved) {
  std::fflush(nullptr);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto* db = new CDaoDatabase;  // never closed
    db->Open(path());
    insert(*db, 1, "last");
    std::exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  CDaoDatabase db;
  db.Open(path());
  EXPECT_EQ(countRows(db), 1);
}
