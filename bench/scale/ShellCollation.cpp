// A loadable extension for the sqlite3 shell that registers the
// database's case-blind collation and nothing else, so the shell can run
// the program's read-only queries on the very file the program uses (its
// text columns and indexes are declared with that collation). The
// benchmark's baseline; the program never loads it.
#include <sqlite3ext.h>

#include <string_view>

#include "store/provider/SqlDialect.h"
#include "store/provider/TextFolding.h"

SQLITE_EXTENSION_INIT1

namespace {

int Compare(void*, int lengthA, const void* a, int lengthB, const void* b) {
  return velt::provider::CompareFolded(
      std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
      std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}

}  // namespace

extern "C" int sqlite3_extension_init(sqlite3* db, char**, const sqlite3_api_routines* api) {
  SQLITE_EXTENSION_INIT2(api);
  return sqlite3_create_collation(db, velt::provider::TextCollation, SQLITE_UTF8, nullptr, Compare);
}
