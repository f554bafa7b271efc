// The dialect translation on arbitrary statements: whatever it accepts,
// the engine must read as exactly one statement, so no text can smuggle a
// second statement or a comment past the translation. Statements are only
// prepared, never run.
#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "platform/Error.h"
#include "store/provider/SqlDialect.h"
#include "store/provider/SqlFunctions.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using velt::fuzz::Require;

sqlite3* EngineWithSchema() {
  sqlite3* db = nullptr;
  Require(sqlite3_open(":memory:", &db) == SQLITE_OK, "in-memory database did not open");
  velt::provider::InstallSqlFunctions(db);
  const char* schema =
      "CREATE TABLE VELTINDEX (KBID TEXT COLLATE VELT_NOCASE PRIMARY KEY, URL TEXT, RESCODE INTEGER,"
      " TITLE TEXT, DESCRIPTION TEXT, KEYWORDS TEXT, KBPARENTS TEXT, GETBEGIN TEXT, GETEND TEXT);"
      "CREATE VIEW VELTINDEXV AS SELECT KBID,URL,TITLE,DESCRIPTION,KEYWORDS,KBPARENTS FROM VELTINDEX"
      " WHERE (RESCODE=200);";
  Require(sqlite3_exec(db, schema, nullptr, nullptr, nullptr) == SQLITE_OK, "schema was refused");
  return db;
}

bool OnlyBlanksAndSemicolons(std::string_view rest) {
  return rest.find_first_not_of(" \t\r\n\f\v;") == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static sqlite3* db = EngineWithSchema();
  velt::provider::TranslatedSql translated;
  try {
    translated = velt::provider::TranslateSql(velt::fuzz::AsText(data, size));
  } catch (const velt::Error& e) {
    Require(e.what()[0] != '\0', "refusal without a text");
    return 0;
  }
  const std::string& sql = translated.sql;
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt, &tail) == SQLITE_OK) {
    sqlite3_finalize(stmt);
    // A zero byte ends the engine's reading; the lexer lets one through
    // only inside a literal, where the text must then be refused instead.
    const std::string_view rest(tail, static_cast<std::size_t>(sql.data() + sql.size() - tail));
    Require(OnlyBlanksAndSemicolons(rest), "the engine read more than one statement");
  }
  return 0;
}
