// The text that the search index holds for a row, and the index query
// that narrows a LIKE search down to rows that may match.
//
// The index holds the searchable text folded exactly as LIKE folds it
// (TextFolding.h), so that any run of plain characters of a LIKE
// pattern, folded the same way, occurs in the indexed text of every row
// the pattern matches. The index splits text into every run of three
// characters (trigrams); the query asks for rows that hold all trigrams
// of the patterns' runs. That is a necessary condition only: the LIKE
// itself still decides, so the filter can never drop a true hit.
//
// Pure and thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/provider/LikeMatcher.h"

namespace velt::provider {

// The engine function that computes the indexed text (SqlFunctions.h).
inline constexpr char SearchTextFunction[] = "velt_search_text";
// Changes whenever FoldSearchText changes what it produces, so that an
// index written under other rules is rebuilt rather than trusted.
inline constexpr int SearchTextVersion = 3;

// Folds as TextFolding.h does; a byte that is not valid UTF-8 becomes U+FFFD, so
// the index always receives valid UTF-8 (the pattern runs never hold such
// bytes, LikeMatcher.h).
std::string FoldSearchText(std::string_view text);

// The full-text query (all trigrams joined with AND, each quoted) for rows
// that may match every one of the patterns; "" when no pattern has a run
// of three characters, which means the index cannot help.
std::string TrigramMatchQuery(const std::vector<LikePattern>& patterns);

}  // namespace velt::provider
