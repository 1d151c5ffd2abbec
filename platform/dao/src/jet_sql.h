// Jet SQL as the module writes it, checked and rewritten into the dialect of a backend.
#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

namespace contura::dao {

// Why a statement was refused; `jetCode` is the Jet engine's number for the same fault.
class JetSqlError : public std::runtime_error {
public:
  JetSqlError(long jetCode, const std::string& what) : std::runtime_error(what), jetCode_(jetCode) {}
  long jetCode() const { return jetCode_; }

private:
  long jetCode_;
};

// The SQL dialect a statement is rendered in.
enum class Dialect { Sqlite, Postgres };

// Rewrites one Jet statement (UTF-8) for `dialect`. The text is tokenized first, so nothing
// inside a string literal or a bracketed name is ever changed or taken for syntax.
// - "DELETE * FROM t" and "DELETE t.* FROM t" become "DELETE FROM t".
// - A double-quoted string literal (Jet's other delimiter) becomes a single-quoted one.
// - One statement only: a ';' may end it, anything after that is refused.
// - Refused as well, because Jet has no such syntax and accepting it would let a value with
//   a stray quote form a different valid statement: comments ("--", "/*") and "||".
// - An unterminated literal or bracketed name is refused.
// For PostgreSQL, in addition:
// - Jet's names are not case sensitive: a bracketed or back-quoted name becomes a quoted name
//   in lower case (ASCII letters), which is what the server folds an unquoted name to.
// - A literal right after a word (E'..', U&'..') has a meaning of its own on the server and
//   none in Jet, and '$' (dollar quoting, $1) likewise: both are refused.
// - `orderTieBreak`, when not empty, is appended as the last key of a statement's ORDER BY
//   (not after DISTINCT or GROUP BY), so that rows equal in every key come in the order
//   of that column, as SQLite gives rows equal in every key in the order of their keys.
// - '?' is a parameter marker for which no value is supplied: refused (too few parameters).
// Throws JetSqlError with a sentence naming the fault and the text around it.
std::string translateJetSql(std::string_view jet, Dialect dialect = Dialect::Sqlite,
                            std::string_view orderTieBreak = {});

// What a statement does, read from its first words; used to word failures and to recognise
// the key query that follows an insert. Never throws: a statement the tokenizer refuses is
// read up to its first literal.
enum class StatementKind { Select, Insert, Update, Delete, Other };
struct StatementShape {
  StatementKind kind = StatementKind::Other;
  std::string table;         // INSERT INTO t, UPDATE t, DELETE ... FROM t, SELECT ... FROM t
  bool maxOfColumn = false;  // exactly "SELECT MAX(c) [AS a] FROM t"
};
StatementShape shapeOf(std::string_view jet);

// True when a text literal of `jet` (UTF-8) looks cut short by a quote inside the value it
// was meant to hold: a literal that never ends, or one closed right before a word, another
// literal or "||" ('it's' ends after 'it', leaving s' behind).
bool hasStrayQuote(std::string_view jet);

}  // namespace contura::dao
