// The loadable extension that opens the program's database files to other
// SQLite programs (the sqlite3 shell, Python's sqlite3 module): it installs
// on their connection the very collation and functions that the provider
// installs on its own (SqlFunctions.h), so sorting, LIKE and the stored
// triggers behave as in the program.
//
// The provider's code calls the engine's shared library directly, so the
// host must run on that same library; a host with a private copy of the
// engine is refused with a message instead of being handed functions that
// would act on the wrong engine.
#include <sqlite3ext.h>

#include <cstring>
#include <exception>

#include "store/extension/LinkedEngine.h"
#include "store/provider/SqlFunctions.h"

SQLITE_EXTENSION_INIT1

namespace {

int Refuse(char** message, const char* text) {
  if (message) {
    *message = static_cast<char*>(sqlite3_malloc(static_cast<int>(std::strlen(text) + 1)));
    if (*message) std::strcpy(*message, text);
  }
  return SQLITE_ERROR;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3* db, char** message,
                                                                             const sqlite3_api_routines* api) {
  SQLITE_EXTENSION_INIT2(api);
  if (reinterpret_cast<const void*>(api->libversion_number) != velt::extension::LinkedEngineEntry()) {
    return Refuse(message,
                  "This extension works only in programs that use the system's shared SQLite library "
                  "(libsqlite3.so.0); this program carries its own copy.");
  }
  try {
    velt::provider::InstallSqlFunctions(db);
  } catch (const std::exception& error) {
    return Refuse(message, error.what());
  }
  return SQLITE_OK;
}
