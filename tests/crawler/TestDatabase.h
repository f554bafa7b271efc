// Test support: the global Database opened on a fresh file in a temporary
// folder with the index table ready, and a few reads of the table.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "store/DatabaseIO.h"

namespace velt::testing {

struct Row {
  std::string kbid;
  std::string url;
  std::optional<long long> resCode;  // nullopt for NULL
  std::optional<std::string> title, description, keywords, kbParents, getBegin, getEnd;
};

class TestDatabase {
 public:
  // Opens the database and runs the start-up upkeep (table, view, reset).
  // A table statement given here creates the index table first, so the
  // upkeep finds it present.
  explicit TestDatabase(const std::string& createTableSql = "");
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  // Runs statements; a failure fails the test.
  void Exec(const std::string& sql);
  void InsertRow(const std::string& kbid, const char* resCode);  // resCode as SQL: "NULL", "302"
  std::vector<Row> Rows();
  // Closes and reopens as a new start of the program would, upkeep included.
  void Restart();
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

}  // namespace velt::testing
