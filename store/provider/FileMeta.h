// The provider's own bookkeeping inside a database file: the database
// password, the per-column "allow zero length" setting and the relations
// that a search index serves (SearchIndex.h), kept in tables whose names
// start with MetaTablePrefix. The catalog hides them.
//
// The password is stored as written and only compared on connecting; the
// file is not encrypted. Functions act on one connection handle, raise
// velt::Error on engine errors and add no locking.
#pragma once

#include <string>
#include <string_view>

struct sqlite3;

namespace velt::provider {

inline constexpr char MetaTablePrefix[] = "__velt_";

bool IsMetaTableName(std::string_view name);

// Whether the file is a database that holds the provider's bookkeeping.
// Reads without taking locks and changes nothing; false for anything the
// engine cannot read.
bool HoldsProviderBookkeeping(const std::string& path);

// Creates the bookkeeping tables when missing.
void EnsureMetaTables(sqlite3* db);

// "" when none was ever stored.
std::string ReadDatabasePassword(sqlite3* db);
void WriteDatabasePassword(sqlite3* db, const std::string& password);

bool ReadAllowZeroLength(sqlite3* db, const std::string& table, const std::string& column);
void WriteAllowZeroLength(sqlite3* db, const std::string& table, const std::string& column,
                          bool allow);
// Drops every setting of the table (after the table itself was dropped).
void ForgetTableSettings(sqlite3* db, const std::string& table);

}  // namespace velt::provider
