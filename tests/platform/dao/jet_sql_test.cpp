// Jet statements rewritten for SQLite and for the server: what changes, what must not, and
// what is refused.
#include "jet_sql.h"

#include <contura/dao/library_file.h>
#include <gtest/gtest.h>

using contura::dao::JetSqlError;
using contura::dao::translateJetSql;

TEST(JetSql, RewritesOnlyOutsideLiterals) {
  struct Case {
    const char* jet;
    const char* sqlite;
  };
  for (const Case& c : {
           Case{"delete * from SectionInfo where id=5 ", "delete from SectionInfo where id=5 "},
           Case{"DELETE\t*  FROM T", "DELETE FROM T"},
           Case{"delete SectionInfo.* from SectionInfo where Id=1", "delete from SectionInfo where Id=1"},
           Case{"delete from T where Id=1", "delete from T where Id=1"},
           Case{"delete from T where Name='delete * from x'", "delete from T where Name='delete * from x'"},
           Case{"delete * where Id=1", "delete * where Id=1"},  // no FROM: nothing dropped, nothing added
           Case{"select * from T where a='x;y' and b='--' and c='a||b' and d='/*'",
                "select * from T where a='x;y' and b='--' and c='a||b' and d='/*'"},
           Case{"insert into T (Name) Values (\"it's \"\"q\"\"\")", "insert into T (Name) Values ('it''s \"q\"')"},
           Case{"select * from [My;Table] where x='it''s'", "select * from [My;Table] where x='it''s'"},
           Case{"select max(Id) as IDGet from SectionInfo;  ", "select max(Id) as IDGet from SectionInfo"},
           Case{"select a - 1 from T", "select a - 1 from T"},
       })
    EXPECT_EQ(translateJetSql(c.jet), c.sqlite) << c.jet;
}

TEST(JetSql, RefusesWhatJetWouldNotRun) {
  struct Case {
    const char* jet;
    long code;
    const char* reason;
  };
  for (const Case& c : {
           Case{"select 1; select 2", 3142, "only one statement"},
           Case{"insert into SectionInfo (Name,Remark) Values ('x'); delete from SectionInfo; --','r')",
                3142, "only one statement"},
           Case{"select 1 -- note", 3075, "comments"},
           Case{"select /* note */ 1", 3075, "comments"},
           Case{"insert into T (Name) Values ('x'||'y')", 3075, "||"},
           Case{"insert into T (Name) Values ('O'Neal')", 3075, "unterminated text literal"},
           Case{"select * from [T", 3075, "unterminated bracketed name"},
       }) {
    try {
      translateJetSql(c.jet);
      ADD_FAILURE() << "accepted " << c.jet;
    } catch (const JetSqlError& e) {
      EXPECT_EQ(e.jetCode(), c.code) << c.jet;
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
  }
}

// What a statement does decides how its failure is worded and whether it is the key query
// that an insert's transaction waits for; a value's stray quote is told from other faults.
TEST(JetSql, ShapeAndStrayQuotes) {
  using contura::dao::StatementKind;
  struct Case {
    const char* jet;
    StatementKind kind;
    const char* table;
    bool maxOf;
    bool strayQuote;
  };
  for (const Case& c : {
           Case{"select max(Id) as IDGet from SectionInfo", StatementKind::Select, "SectionInfo", true, false},
           Case{"SELECT MAX ( [Id] ) FROM [SectionInfo];", StatementKind::Select, "SectionInfo", true, false},
           Case{"select max(Id) as IDGet from SectionInfo where Type=1", StatementKind::Select, "SectionInfo", false, false},
           Case{"select max(Id), min(Id) from SectionInfo", StatementKind::Select, "SectionInfo", false, false},
           Case{"select count(*) as n from SectionInfo", StatementKind::Select, "SectionInfo", false, false},
           Case{"insert into SectionInfo (Name) Values ('it's')", StatementKind::Insert, "SectionInfo", false, true},
           Case{"insert into [T] (Name) Values ('O'Neal', 'x')", StatementKind::Insert, "T", false, true},
           Case{"insert into T (Name) Values ('x'||'y')", StatementKind::Insert, "T", false, true},
           Case{"insert into T (Name) Values ('it''s', \"say \"\"hi\"\"\")", StatementKind::Insert, "T", false, false},
           Case{"Update SectionInfo set Remark='a'b' where Type=1", StatementKind::Update, "SectionInfo", false, true},
           Case{"delete * from SectionInfo where id=3 ", StatementKind::Delete, "SectionInfo", false, false},
           Case{"select * from [a'b] where x='y'", StatementKind::Select, "a'b", false, false},
           Case{"create table T (a)", StatementKind::Other, "", false, false},
       }) {
    const contura::dao::StatementShape shape = contura::dao::shapeOf(c.jet);
    EXPECT_EQ(shape.kind, c.kind) << c.jet;
    EXPECT_EQ(shape.table, c.table) << c.jet;
    EXPECT_EQ(shape.maxOfColumn, c.maxOf) << c.jet;
    EXPECT_EQ(contura::dao::hasStrayQuote(c.jet), c.strayQuote) << c.jet;
  }
}

// The server's dialect: names fold as the server folds them, the order of equal rows is made
// the key's, and what the server would read differently from Jet is refused.
TEST(JetSql, ServerDialect) {
  using contura::dao::Dialect;
  struct Case {
    const char* jet;
    const char* server;  // null: refused with `code`
    long code;
  };
  for (const Case& c : {
           Case{"select * from SectionInfo order by GroupSec,Type", "select * from SectionInfo order by GroupSec,Type, \"id\"", 0},
           Case{"select * from [Section Info] where [Na\"me]='[x]'", "select * from \"section info\" where \"na\"\"me\"='[x]'", 0},
           Case{"select max(Id) as IDGet from SectionInfo", "select max(Id) as IDGet from SectionInfo", 0},
           Case{"select distinct Name from T order by Name", "select distinct Name from T order by Name", 0},
           Case{"select Name from T where Id in (select Id from U order by Id)",
                "select Name from T where Id in (select Id from U order by Id)", 0},
           Case{"delete * from SectionInfo where id=3 ", "delete from SectionInfo where id=3 ", 0},
           Case{"Update T set Remark='a\\b $1 ?' where Type=1", "Update T set Remark='a\\b $1 ?' where Type=1", 0},
           Case{"select * from T where Name=E'\\''", nullptr, 3075},
           Case{"select * from T where Name=U&'x'", nullptr, 3075},
           Case{"select $$x$$", nullptr, 3075},
           Case{"select * from T where Id=?", nullptr, 3061},
       }) {
    try {
      EXPECT_EQ(translateJetSql(c.jet, Dialect::Postgres, "\"id\""), c.server ? c.server : "(refused)") << c.jet;
    } catch (const JetSqlError& e) {
      EXPECT_EQ(c.server, nullptr) << c.jet << ": " << e.what();
      EXPECT_EQ(e.jetCode(), c.code) << c.jet;
    }
  }
  // A server address is never shown with its password.
  for (auto [address, shown] : {
           std::pair{"postgresql://u:secret@db:5432/lib", "postgresql://u@db:5432/lib"},
           std::pair{"postgres://u:s@/lib?host=/tmp/x&password=s&sslmode=require", "postgres://u@/lib?host=/tmp/x&sslmode=require"},
           std::pair{"postgresql:///lib?password=s", "postgresql:///lib"},
           std::pair{"postgresql://u@db/lib", "postgresql://u@db/lib"},
       })
    EXPECT_EQ(contura::dao::withoutPassword(address), shown);
}
