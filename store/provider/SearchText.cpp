#include "store/provider/SearchText.h"

#include <algorithm>
#include <set>

#include "platform/Encoding.h"
#include "store/provider/TextFolding.h"

namespace velt::provider {

namespace {

constexpr std::size_t kTrigram = 3;
// A long pattern gives many trigrams; a spread sample of them filters
// almost as well and keeps the query's work and depth small.
constexpr std::size_t kMaxTrigrams = 24;

}  // namespace

std::string FoldSearchText(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char32_t c = DecodeFoldedAt(text, pos);
    AppendUtf8(folded, c >= BrokenByteBase ? U'\uFFFD' : c);
  }
  return folded;
}

std::string TrigramMatchQuery(const std::vector<LikePattern>& patterns) {
  std::vector<std::u32string> trigrams;
  std::set<std::u32string> seen;
  for (const LikePattern& pattern : patterns) {
    for (const std::u32string& run : pattern.LiteralRuns(kTrigram)) {
      for (std::size_t i = 0; i + kTrigram <= run.size(); ++i) {
        std::u32string trigram = run.substr(i, kTrigram);
        if (seen.insert(trigram).second) trigrams.push_back(std::move(trigram));
      }
    }
  }
  std::string query;
  const std::size_t count = std::min(trigrams.size(), kMaxTrigrams);
  for (std::size_t k = 0; k < count; ++k) {
    // Evenly spread over all of them, first and last included.
    const std::size_t index = count == 1 ? 0 : k * (trigrams.size() - 1) / (count - 1);
    if (!query.empty()) query += " AND ";
    query += '"';
    for (char32_t c : trigrams[index]) {
      if (c == U'"') query += '"';
      AppendUtf8(query, c);
    }
    query += '"';
  }
  return query;
}

}  // namespace velt::provider
