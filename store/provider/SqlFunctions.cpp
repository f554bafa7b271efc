#include "store/provider/SqlFunctions.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/Error.h"
#include "store/provider/LikeMatcher.h"
#include "store/provider/SearchText.h"
#include "store/provider/SqlDialect.h"
#include "store/provider/TextFolding.h"

namespace velt::provider {

namespace {

std::string_view TextOf(sqlite3_value* value) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
  return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(value)))
              : std::string_view();
}

int CompareCollated(void*, int lengthA, const void* a, int lengthB, const void* b) {
  return CompareFolded(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
                       std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}

void DeletePattern(void* pattern) { delete static_cast<LikePattern*>(pattern); }

// like(pattern, text): the engine's argument order for "text LIKE pattern".
void Like(sqlite3_context* context, int, sqlite3_value** args) {
  if (sqlite3_value_type(args[0]) == SQLITE_NULL || sqlite3_value_type(args[1]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  if (const auto* cached = static_cast<const LikePattern*>(sqlite3_get_auxdata(context, 0))) {
    sqlite3_result_int(context, cached->Matches(TextOf(args[1])) ? 1 : 0);
    return;
  }
  const std::string_view source = TextOf(args[0]);
  auto compiled = LikePattern::Compile(source);
  if (!compiled) {
    sqlite3_result_error(context, InvalidLikePatternMessage(source).c_str(), -1);
    return;
  }
  const bool matches = compiled->Matches(TextOf(args[1]));
  // The engine keeps the parsed pattern for the next rows of the statement
  // while the pattern argument stays the same (it may drop it at once).
  sqlite3_set_auxdata(context, 0, new LikePattern(std::move(*compiled)), DeletePattern);
  sqlite3_result_int(context, matches ? 1 : 0);
}

void Concat(sqlite3_context* context, int count, sqlite3_value** args) {
  sqlite3_uint64 size = 0;
  bool anyValue = false;
  for (int i = 0; i < count; ++i) {
    if (sqlite3_value_type(args[i]) == SQLITE_NULL) continue;
    anyValue = true;
    size += TextOf(args[i]).size();
  }
  if (!anyValue) {
    sqlite3_result_null(context);
    return;
  }
  // One buffer handed over to the engine: the search runs this per row.
  char* joined = static_cast<char*>(sqlite3_malloc64(size + 1));
  if (!joined) {
    sqlite3_result_error_nomem(context);
    return;
  }
  sqlite3_uint64 used = 0;
  for (int i = 0; i < count; ++i) {
    if (sqlite3_value_type(args[i]) == SQLITE_NULL) continue;
    const std::string_view part = TextOf(args[i]);
    std::copy(part.begin(), part.end(), joined + used);
    used += part.size();
  }
  sqlite3_result_text64(context, joined, used, sqlite3_free, SQLITE_UTF8);
}

void Left(sqlite3_context* context, int, sqlite3_value** args) {
  if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  if (sqlite3_value_type(args[1]) == SQLITE_NULL || sqlite3_value_int64(args[1]) < 0) {
    sqlite3_result_error(context, "LEFT needs a character count of 0 or more.", -1);
    return;
  }
  const bool isText = sqlite3_value_type(args[0]) == SQLITE_TEXT;
  const std::string_view text = TextOf(args[0]);
  sqlite3_int64 remaining = sqlite3_value_int64(args[1]);
  if (isText && static_cast<sqlite3_uint64>(remaining) >= text.size()) {  // never more characters than bytes
    sqlite3_result_value(context, args[0]);
    return;
  }
  std::size_t end = 0;
  while (end < text.size() && remaining > 0) {
    DecodeUtf8At(text, end);
    --remaining;
  }
  sqlite3_result_text64(context, text.data(), end, SQLITE_TRANSIENT, SQLITE_UTF8);
}

void SearchText(sqlite3_context* context, int, sqlite3_value** args) {
  if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const std::string folded = FoldSearchText(TextOf(args[0]));
  sqlite3_result_text64(context, folded.data(), folded.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void Check(sqlite3* db, int rc) {
  if (rc != SQLITE_OK) throw Error(sqlite3_errmsg(db));
}

}  // namespace

void InstallSqlFunctions(sqlite3* db) {
  constexpr int kPure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  Check(db, sqlite3_create_collation(db, TextCollation, SQLITE_UTF8, nullptr, CompareCollated));
  Check(db, sqlite3_create_function(db, "like", 2, kPure, nullptr, Like, nullptr, nullptr));
  Check(db, sqlite3_create_function(db, ConcatFunction, -1, kPure, nullptr, Concat, nullptr, nullptr));
  Check(db, sqlite3_create_function(db, LeftFunction, 2, kPure, nullptr, Left, nullptr, nullptr));
  Check(db, sqlite3_create_function(db, SearchTextFunction, 1, kPure, nullptr, SearchText, nullptr, nullptr));
}

}  // namespace velt::provider
