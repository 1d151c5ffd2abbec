// libFuzzer target: any bytes as a Jet statement. The translator either refuses it with a
// JetSqlError (any other exception escapes and fails the run) or gives a statement that it
// translates again unchanged: the rewriting is done in one pass and leaves nothing Jet-only.
// The server's dialect refuses at least what SQLite's refuses.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "jet_sql.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view jet(reinterpret_cast<const char*>(data), size);
  bool serverRefused = false;
  try {
    contura::dao::translateJetSql(jet, contura::dao::Dialect::Postgres, "\"id\"");
  } catch (const contura::dao::JetSqlError& e) {
    FUZZ_CHECK(e.jetCode() > 0 && *e.what() != '\0', "a refusal without a code or a message");
    serverRefused = true;
  }
  std::string sqlite;
  try {
    sqlite = contura::dao::translateJetSql(jet);
  } catch (const contura::dao::JetSqlError& e) {
    FUZZ_CHECK(e.jetCode() > 0 && *e.what() != '\0', "a refusal without a code or a message");
    FUZZ_CHECK(serverRefused, "refused for SQLite but not for the server");
    return 0;
  }
  std::string again;
  try {
    again = contura::dao::translateJetSql(sqlite);
  } catch (const contura::dao::JetSqlError& e) {
    fuzzFailure("a translated statement is refused", e.what());
  }
  FUZZ_CHECK(again == sqlite, (sqlite + " -> " + again).c_str());
  return 0;
}
