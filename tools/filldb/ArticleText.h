// Made-up article rows that look like a finished crawl: about 80% existing
// articles (200) with Japanese titles, descriptions and keywords of about
// 1 KB of searchable text together, the rest 302 and a few other codes
// with the empty texts a worker stores for them.
//
// Rows depend only on the seed and the row's position, so a database
// made twice is the same. Some existing rows carry planted words at fixed
// intervals, so that searches for them have known hit counts (see
// PlantedSearch); random text never contains the planted words' first
// term. Not thread-safe: one generator per thread.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace velt::filldb {

// Changes whenever the rows made for a seed change, so cached databases
// are made again.
inline constexpr int FillerVersion = 1;

struct ArticleRow {
  std::string kbid, url;
  int resCode = 0;
  std::string title, description, keywords, kbParents, getBegin, getEnd;
};

// A two-term search and how its hits are planted among the existing rows:
// every `interval`-th existing row, starting with the `offset`-th, until
// `limit` rows carry it.
struct PlantedSearch {
  std::vector<std::string> terms;
  int interval;
  int offset;
  std::string first, second;  // the words planted in the title and the description
  int limit;
};

// About 20 rows in 900,000, and exactly 10,000 from 700,000 existing rows
// (about 875,000 rows) on.
const PlantedSearch& RareSearch();
const PlantedSearch& CommonSearch();

class ArticleGenerator {
 public:
  explicit ArticleGenerator(std::uint32_t seed) : rng_(seed) {}

  // The next row; rows are numbered from 100000 upwards.
  ArticleRow Next();
  // Existing rows made so far that carry each planted search.
  int RareHits() const { return rareHits_; }
  int CommonHits() const { return commonHits_; }

 private:
  std::uint32_t Pick(std::uint32_t count) { return rng_() % count; }
  std::string Word();
  std::string Sentence(std::size_t minChars);
  std::string Keywords();

  std::mt19937 rng_;
  int next_ = 100000;
  int existing_ = 0;
  int rareHits_ = 0;
  int commonHits_ = 0;
};

}  // namespace velt::filldb
