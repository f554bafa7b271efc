// Texts from pages and search terms through the real session: a worker's
// UPDATE stores every text verbatim or fails with an error text, the row
// count never changes, and a search for the stored title with its wildcard
// characters bracketed finds the row.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "store/DatabaseIO.h"
#include "store/IndexTable.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using velt::fuzz::LiteralPattern;
using velt::fuzz::Require;

constexpr char kKbid[] = "100000";
constexpr char kUrl[] = "http://kb.example.test/default.aspx?scid=kb;ja;100000";

char scratchFolder[] = "/tmp/velt-fuzz-XXXXXX";

velt::TDatabaseJet& OpenScratchDatabase() {
  static velt::TDatabaseJet db;
  const char* folder = mkdtemp(scratchFolder);
  Require(folder != nullptr, "no scratch folder");
  std::atexit([] { std::filesystem::remove_all(scratchFolder); });
  std::string error;
  Require(db.Open("", "", std::string(folder) + "/index.mdb", error), "scratch database did not open");
  Require(velt::RunIndexUpkeep(
              db, [](const std::string&) {}, error),
          "upkeep failed");
  Require(db.ExecSQL(velt::BuildClaimInsertSql(kKbid, kUrl), error), "claim failed");
  return db;
}

// The first column of the first row, or nothing when the statement failed.
std::optional<std::string> QueryText(velt::TDatabaseJet& db, const std::string& sql, bool& empty) {
  velt::Recordset rs;
  std::string error;
  if (!db.OpenQuery(sql, rs, error)) {
    Require(!error.empty(), "failed query without an error text");
    return std::nullopt;
  }
  empty = db.IsEmpty(rs);
  std::string value = empty ? "" : NullTo(db.FieldByIndex(rs, 0), "").AsText();
  db.CloseQuery(rs);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static velt::TDatabaseJet& db = OpenScratchDatabase();
  const auto [title, term] = velt::fuzz::SplitInput(velt::fuzz::AsText(data, size), '\n');
  std::string error;
  bool empty = false;
  const std::string update =
      velt::BuildRowUpdateSql(200, std::string(title), std::string(term), std::string(title),
                              std::string(term), "20240101000000", "20240101000001", kKbid);
  if (db.ExecSQL(update, error)) {
    const auto stored = QueryText(db, "SELECT TITLE FROM VELTINDEX WHERE KBID=\"100000\"", empty);
    Require(stored && !empty && *stored == title, "title not stored verbatim");
    const auto kept = QueryText(db, "SELECT DESCRIPTION FROM VELTINDEX WHERE KBID=\"100000\"", empty);
    Require(kept && *kept == term, "description not stored verbatim");
    // Broken UTF-8 at the end of one column may join with the start of the
    // next into a character, so only well-formed texts must be found.
    if (velt::fuzz::IsValidUtf8(title) && velt::fuzz::IsValidUtf8(term)) {
      const auto found = QueryText(
          db, velt::BuildSearchSql({"%" + LiteralPattern(title) + "%" + LiteralPattern(term) + "%"}), empty);
      Require(found && !empty && *found == kKbid, "search for the stored texts missed the row");
    }
  } else {
    Require(!error.empty(), "failed update without an error text");
  }
  const auto count = QueryText(db, "SELECT COUNT(*) FROM VELTINDEX", empty);
  Require(count && *count == "1", "row count changed");
  // A search term straight from the user: answers or fails with a text.
  QueryText(db, velt::BuildSearchSql({std::string(term), std::string(title)}), empty);
  return 0;
}
