// Fills a new index database with made-up rows (ArticleText.h), in the
// provider's file format with everything the program expects: the file
// is created and prepared by the session and the start-up upkeep, then
// the rows go in through one transaction, with the table's triggers (the
// search index, the column rules) doing their usual work.
//
// One call at a time per file; the file must not exist yet.
#pragma once

#include <cstdint>
#include <string>

namespace velt::filldb {

struct FillResult {
  bool ok = false;
  std::string error;
  int rows = 0;
  int rareHits = 0;    // rows that RareSearch() finds
  int commonHits = 0;  // rows that CommonSearch() finds
};

FillResult FillDatabase(const std::string& path, int rows, std::uint32_t seed);

}  // namespace velt::filldb
