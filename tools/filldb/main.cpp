// Makes an index database full of made-up rows, for benchmarks at the
// size of a finished crawl.
//
//   filldb <new file> [rows, default 900000] [seed, default 1]
//   filldb --version
//
// Prints the rows written and the hit counts of the two planted searches.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/filldb/ArticleText.h"
#include "tools/filldb/FillDatabase.h"

int main(int argc, char* argv[]) {
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::printf("%d\n", velt::filldb::FillerVersion);
    return 0;
  }
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: %s <new file> [rows] [seed] | --version\n", argv[0]);
    return 2;
  }
  const int rows = argc > 2 ? std::atoi(argv[2]) : 900000;
  const auto seed = static_cast<std::uint32_t>(argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 1);
  if (rows < 1 || rows > 900000) {
    std::fprintf(stderr, "rows must be from 1 to 900000 (the article numbers end at 999999)\n");
    return 2;
  }
  const velt::filldb::FillResult result = velt::filldb::FillDatabase(argv[1], rows, seed);
  if (!result.ok) {
    std::fprintf(stderr, "filldb: %s\n", result.error.c_str());
    return 1;
  }
  std::printf("rows %d\nrare-hits %d\ncommon-hits %d\n", result.rows, result.rareHits, result.commonHits);
  return 0;
}
