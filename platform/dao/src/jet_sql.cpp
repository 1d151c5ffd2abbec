// Tokenizer-based rewriting of Jet SQL statements into the dialects of the backends.
#include "jet_sql.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace contura::dao {
namespace {

constexpr long kJetSyntaxError = 3075;     // "Syntax error ... in query expression"
constexpr long kJetTextAfterEnd = 3142;    // "Characters found after end of SQL statement"
constexpr long kJetTooFewParameters = 3061;  // "Too few parameters"
constexpr std::size_t kExcerptBytes = 40;  // how much of the statement an error message quotes

enum class Kind { Space, Word, Text, Name, Symbol, End };

struct Token {
  Kind kind;
  std::string text;
};

bool isWordByte(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80; }

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string excerpt(std::string_view sql, std::size_t at) {
  std::string_view rest = sql.substr(at);
  if (rest.size() <= kExcerptBytes) return std::string(rest);
  // Cut at a UTF-8 character boundary.
  std::size_t cut = kExcerptBytes;
  while (cut > 0 && (static_cast<unsigned char>(rest[cut]) & 0xC0) == 0x80) --cut;
  return std::string(rest.substr(0, cut)) + "...";
}

// Index just past the literal that starts with `quote` at `at`; a doubled quote inside stands
// for one quote character. npos when the literal never ends.
std::size_t endOfQuoted(std::string_view sql, std::size_t at, char quote) {
  std::size_t i = at + 1;
  while (i < sql.size()) {
    if (sql[i] == quote) {
      if (i + 1 < sql.size() && sql[i + 1] == quote) {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return std::string_view::npos;
}

// A Jet "..." literal rewritten with SQLite's single quotes.
std::string singleQuoted(std::string_view doubleQuoted) {
  std::string_view body = doubleQuoted.substr(1, doubleQuoted.size() - 2);
  std::string out = "'";
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '"') ++i;  // "" stands for one "
    if (i >= body.size()) break;
    if (body[i] == '\'') out += '\'';
    out += body[i];
  }
  return out + "'";
}

std::vector<Token> tokenize(std::string_view sql) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < sql.size()) {
    const char c = sql[i];
    const auto uc = static_cast<unsigned char>(c);
    std::size_t end = i + 1;
    Kind kind = Kind::Symbol;
    if (std::isspace(uc)) {
      while (end < sql.size() && std::isspace(static_cast<unsigned char>(sql[end]))) ++end;
      kind = Kind::Space;
    } else if (isWordByte(uc)) {
      while (end < sql.size() && isWordByte(static_cast<unsigned char>(sql[end]))) ++end;
      kind = Kind::Word;
    } else if (c == '\'' || c == '"' || c == '`' || c == '[') {
      end = c == '[' ? sql.find(']', i + 1) : endOfQuoted(sql, i, c);
      if (end == std::string_view::npos)
        throw JetSqlError(kJetSyntaxError, std::string(c == '[' ? "unterminated bracketed name"
                                                                : "unterminated text literal") +
                                               " starting at: " + excerpt(sql, i));
      if (c == '[') ++end;
      kind = (c == '\'' || c == '"') ? Kind::Text : Kind::Name;
    } else if ((c == '-' && sql.substr(i, 2) == "--") || (c == '/' && sql.substr(i, 2) == "/*")) {
      throw JetSqlError(kJetSyntaxError, "comments are not accepted in a statement: " + excerpt(sql, i));
    } else if (c == '|' && sql.substr(i, 2) == "||") {
      throw JetSqlError(kJetSyntaxError, "operator || is not accepted in a statement: " + excerpt(sql, i));
    } else if (c == ';') {
      std::size_t next = sql.find_first_not_of(" \t\r\n\f\v;", i);
      if (next != std::string_view::npos)
        throw JetSqlError(kJetTextAfterEnd,
                          "only one statement is accepted; text after ';': " + excerpt(sql, next));
      break;
    }
    std::string text(sql.substr(i, end - i));
    if (kind == Kind::Text && c == '"') text = singleQuoted(text);
    tokens.push_back({kind, std::move(text)});
    i = end;
  }
  tokens.push_back({Kind::End, {}});
  return tokens;
}

// Index of the next token at or after i that is not white space.
std::size_t significant(const std::vector<Token>& tokens, std::size_t i) {
  while (tokens[i].kind == Kind::Space) ++i;
  return i;
}

// "DELETE * FROM" and "DELETE t.* FROM": drops the target list Jet allows before FROM.
void dropDeleteTarget(std::vector<Token>& tokens) {
  std::size_t first = significant(tokens, 0);
  if (tokens[first].kind != Kind::Word || !equalsNoCase(tokens[first].text, "delete")) return;
  std::size_t from = 0;  // no FROM: nothing to drop, the statement is left as written
  std::vector<std::size_t> target;
  for (std::size_t i = significant(tokens, first + 1); tokens[i].kind != Kind::End; i = significant(tokens, i + 1)) {
    if (tokens[i].kind == Kind::Word && equalsNoCase(tokens[i].text, "from")) {
      from = i;
      break;
    }
    target.push_back(i);
  }
  auto is = [&](std::size_t k, std::string_view text) { return tokens[target[k]].text == text; };
  bool star = target.size() == 1 && is(0, "*");
  bool tableStar = target.size() == 3 && (tokens[target[0]].kind == Kind::Word ||
                                          tokens[target[0]].kind == Kind::Name) &&
                   is(1, ".") && is(2, "*");
  if (from == 0 || (!star && !tableStar)) return;
  // Keep one blank between DELETE and FROM.
  tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(first + 1),
               tokens.begin() + static_cast<std::ptrdiff_t>(from));
  tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(first + 1), Token{Kind::Space, " "});
}

// The tokens of `jet`, or of the part before its first quote when the whole is refused.
std::vector<Token> tokensForShape(std::string_view jet) {
  try {
    return tokenize(jet);
  } catch (const JetSqlError&) {
    std::size_t cut = jet.find_first_of("'\"`");
    try {
      return tokenize(jet.substr(0, cut == std::string_view::npos ? 0 : cut));
    } catch (const JetSqlError&) {
      return {Token{Kind::End, {}}};
    }
  }
}

bool isWord(const Token& t, std::string_view word) { return t.kind == Kind::Word && equalsNoCase(t.text, word); }

// A table name token without its brackets; empty when the token names nothing.
std::string tableName(const Token& t) {
  if (t.kind == Kind::Word) return t.text;
  if (t.kind == Kind::Name && t.text.size() >= 2 && t.text.front() == '[') return t.text.substr(1, t.text.size() - 2);
  return {};
}

}  // namespace

StatementShape shapeOf(std::string_view jet) {
  std::vector<Token> all = tokensForShape(jet);
  std::vector<const Token*> t;  // significant tokens, End last
  for (const Token& token : all)
    if (token.kind != Kind::Space) t.push_back(&token);
  auto at = [&](std::size_t i) -> const Token& { return *t[std::min(i, t.size() - 1)]; };
  StatementShape shape;
  if (isWord(at(0), "insert")) {
    shape.kind = StatementKind::Insert;
    if (isWord(at(1), "into")) shape.table = tableName(at(2));
  } else if (isWord(at(0), "update")) {
    shape.kind = StatementKind::Update;
    shape.table = tableName(at(1));
  } else if (isWord(at(0), "delete") || isWord(at(0), "select")) {
    shape.kind = isWord(at(0), "delete") ? StatementKind::Delete : StatementKind::Select;
    std::size_t from = 1;
    while (at(from).kind != Kind::End && !isWord(at(from), "from")) ++from;
    if (at(from).kind != Kind::End) shape.table = tableName(at(from + 1));
    // select max ( c ) [as a] from t [;]
    const bool alias = isWord(at(5), "as");
    shape.maxOfColumn = shape.kind == StatementKind::Select && isWord(at(1), "max") && at(2).text == "(" &&
                        !tableName(at(3)).empty() && at(4).text == ")" &&
                        (alias ? from == 7 && !tableName(at(6)).empty() : from == 5) &&
                        !shape.table.empty() && at(from + 2).kind == Kind::End;
  }
  return shape;
}

bool hasStrayQuote(std::string_view jet) {
  for (std::size_t i = 0; i < jet.size(); ++i) {
    const char c = jet[i];
    if (c == '[') {
      i = jet.find(']', i);
      if (i == std::string_view::npos) return false;
    } else if (c == '\'' || c == '"') {
      const std::size_t end = endOfQuoted(jet, i, c);
      if (end == std::string_view::npos) return true;
      if (end < jet.size()) {
        const char next = jet[end];
        if (isWordByte(static_cast<unsigned char>(next)) || next == '\'' || next == '"' ||
            jet.substr(end, 2) == "||")
          return true;
      }
      i = end - 1;
    }
  }
  return false;
}

namespace {

// A bracketed or back-quoted Jet name as a quoted server name, folded to lower case.
std::string serverName(const std::string& jetName) {
  std::string out = "\"";
  for (std::size_t i = 1; i + 1 < jetName.size(); ++i) {
    char c = jetName[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// Refuses what the server would read differently from Jet (see translateJetSql).
void refuseServerOnlySyntax(const std::vector<Token>& tokens, std::string_view jet) {
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    if (t.kind == Kind::Symbol && t.text == "?")
      throw JetSqlError(kJetTooFewParameters, "too few parameters: the statement has a parameter marker '?' "
                                              "and no value is supplied");
    if (t.kind == Kind::Symbol && t.text == "$")
      throw JetSqlError(kJetSyntaxError, "'$' is not accepted in a statement: " + excerpt(jet, 0));
    if (t.kind == Kind::Text && i > 0 && (tokens[i - 1].kind == Kind::Word || tokens[i - 1].text == "&"))
      throw JetSqlError(kJetSyntaxError,
                        "a text literal cannot follow a word directly: " + tokens[i - 1].text + t.text);
  }
}

// Appends `key` as the last key of a top-level ORDER BY, when there is one.
void appendOrderTieBreak(std::vector<Token>& tokens, std::string_view key) {
  int depth = 0;
  bool ordered = false;
  for (std::size_t i = 0; tokens[i].kind != Kind::End; ++i) {
    const Token& t = tokens[i];
    if (t.text == "(") ++depth;
    if (t.text == ")") --depth;
    if (depth != 0) continue;
    if (isWord(t, "distinct") || isWord(t, "group") || isWord(t, "union")) return;
    if (isWord(t, "order")) ordered = true;
  }
  if (!ordered) return;
  tokens.insert(tokens.end() - 1, Token{Kind::Symbol, ", " + std::string(key)});
}

}  // namespace

std::string translateJetSql(std::string_view jet, Dialect dialect, std::string_view orderTieBreak) {
  std::vector<Token> tokens = tokenize(jet);
  dropDeleteTarget(tokens);
  if (dialect == Dialect::Postgres) {
    refuseServerOnlySyntax(tokens, jet);
    for (Token& t : tokens)
      if (t.kind == Kind::Name) t.text = serverName(t.text);
    if (!orderTieBreak.empty()) appendOrderTieBreak(tokens, orderTieBreak);
  }
  std::string out;
  out.reserve(jet.size());
  for (const Token& t : tokens) out += t.text;
  return out;
}

}  // namespace contura::dao
