// Test support: a look at a database file from outside the program, with
// the engine directly, read-only, so it never takes part in what it
// checks; plus a quick way to fill a file with many rows.
//
// Failures of the engine fail the calling test. Not thread-safe.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace velt::faults {

// RESCODE by KBID (nullopt for Null).
using RowCodes = std::map<std::string, std::optional<long long>>;

RowCodes ReadRowCodes(const std::filesystem::path& file);
// Fails the calling test unless the rows run from 100000 up without gaps
// and every one holds a fetched result (neither Null nor 0); `after` says
// after what, in the failure message.
void ExpectFetchedRowsWithoutGaps(const RowCodes& rows, const std::string& after);
// The engine's own consistency check of every page and index.
bool PassesIntegrityCheck(const std::filesystem::path& file);
// Rows, and the total length of their titles, as one figure to compare.
std::string ContentSummary(const std::filesystem::path& file);

// Makes the file with the program's schema (through the store), then adds
// `rows` rows from 100000 up in one transaction, each with a title of
// `titleBytes` bytes; every `claimedEvery`-th row is left claimed (0).
void MakeFilledDatabase(const std::filesystem::path& file, int rows, int titleBytes, int claimedEvery);

// Leaves about `bytes` more of the file free, as a large deletion does.
void AddFreePages(const std::filesystem::path& file, std::uintmax_t bytes);
// Free pages of the file (no session may have it open).
long long FreePages(const std::filesystem::path& file);

// Names of the compaction copies (and their journals) in the folder,
// blank-separated.
std::string CompactionCopies(const std::filesystem::path& folder);

// A fresh folder under the system's temporary folder.
std::filesystem::path MakeTempFolder(const std::string& stem);

}  // namespace velt::faults
