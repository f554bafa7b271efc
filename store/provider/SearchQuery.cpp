#include "store/provider/SearchQuery.h"

#include <cctype>
#include <vector>

#include "platform/Error.h"
#include "store/provider/LikeMatcher.h"
#include "store/provider/SearchIndex.h"
#include "store/provider/SearchText.h"
#include "store/provider/SqlDialect.h"
#include "store/provider/SqlLexer.h"

namespace velt::provider {

namespace {

struct SearchCondition {
  std::vector<std::string> columns;
  long long maxChars = 0;
  std::string pattern;
};

struct SearchShape {
  std::string relation;
  std::vector<SearchCondition> conditions;
};

class TokenCursor {
 public:
  explicit TokenCursor(const std::vector<SqlToken>& tokens) : tokens_(tokens) {}

  bool AtEnd() const { return pos_ == tokens_.size(); }
  bool Symbol(std::string_view symbol) { return Take([&](const SqlToken& t) { return t.IsSymbol(symbol); }); }
  bool Word(std::string_view word) { return Take([&](const SqlToken& t) { return t.IsWord(word); }); }
  const SqlToken* Name() { return TakeKind(SqlToken::Kind::Word, SqlToken::Kind::Name); }
  const SqlToken* String() { return TakeKind(SqlToken::Kind::String, SqlToken::Kind::String); }
  const SqlToken* Number() { return TakeKind(SqlToken::Kind::Number, SqlToken::Kind::Number); }

 private:
  template <typename Test>
  bool Take(Test test) {
    if (AtEnd() || !test(tokens_[pos_])) return false;
    ++pos_;
    return true;
  }
  const SqlToken* TakeKind(SqlToken::Kind a, SqlToken::Kind b) {
    if (AtEnd() || (tokens_[pos_].kind != a && tokens_[pos_].kind != b)) return nullptr;
    return &tokens_[pos_++];
  }

  const std::vector<SqlToken>& tokens_;
  std::size_t pos_ = 0;
};

// [(] LEFT(a & b & ..., n) LIKE "pattern" [)]
std::optional<SearchCondition> ReadCondition(TokenCursor& in) {
  const bool parenthesised = in.Symbol("(");
  if (!in.Word("LEFT") || !in.Symbol("(")) return std::nullopt;
  SearchCondition condition;
  do {
    const SqlToken* column = in.Name();
    if (!column) return std::nullopt;
    condition.columns.push_back(column->value);
  } while (in.Symbol("&"));
  const SqlToken* count = in.Symbol(",") ? in.Number() : nullptr;
  if (!count || count->value.size() > 9 || count->value.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  condition.maxChars = std::stoll(count->value);
  const SqlToken* pattern = in.Symbol(")") && in.Word("LIKE") ? in.String() : nullptr;
  if (!pattern || (parenthesised && !in.Symbol(")"))) return std::nullopt;
  condition.pattern = pattern->value;
  return condition;
}

// SELECT c1, c2, ... FROM r WHERE condition AND condition ...
std::optional<SearchShape> ReadSearchShape(const std::vector<SqlToken>& tokens) {
  TokenCursor in(tokens);
  if (!in.Word("SELECT")) return std::nullopt;
  do {
    if (!in.Name()) return std::nullopt;
  } while (in.Symbol(","));
  const SqlToken* relation = in.Word("FROM") ? in.Name() : nullptr;
  if (!relation || !in.Word("WHERE")) return std::nullopt;
  SearchShape shape{relation->value, {}};
  do {
    auto condition = ReadCondition(in);
    if (!condition) return std::nullopt;
    shape.conditions.push_back(std::move(*condition));
  } while (in.Word("AND"));
  if (!in.AtEnd()) return std::nullopt;
  return shape;
}

bool SameNames(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].size() != b[i].size()) return false;
    for (std::size_t k = 0; k < a[i].size(); ++k) {
      if (std::toupper(static_cast<unsigned char>(a[i][k])) != std::toupper(static_cast<unsigned char>(b[i][k])))
        return false;
    }
  }
  return true;
}

std::optional<std::vector<SqlToken>> LexOrNothing(std::string_view sql) {
  try {
    return LexSql(sql);
  } catch (const Error&) {
    return std::nullopt;  // the translation reports it
  }
}

}  // namespace

std::optional<std::string> RewriteSearchQuery(sqlite3* db, std::string_view sql) {
  const auto tokens = LexOrNothing(sql);
  const auto shape = tokens ? ReadSearchShape(*tokens) : std::nullopt;
  if (!shape) return std::nullopt;
  const auto index = FindSearchIndexFor(db, shape->relation);
  if (!index) return std::nullopt;
  std::vector<LikePattern> patterns;
  for (const SearchCondition& condition : shape->conditions) {
    if (!SameNames(condition.columns, index->columns) || condition.maxChars > index->maxChars)
      return std::nullopt;
    auto compiled = LikePattern::Compile(condition.pattern);
    if (!compiled) return std::nullopt;
    patterns.push_back(std::move(*compiled));
  }
  std::string rewritten = TranslateSql(sql).sql;
  const std::string key = QuoteEngineName(index->keyColumn);
  const std::string match = TrigramMatchQuery(patterns);
  if (!match.empty()) {
    const std::string indexTable = QuoteEngineName(SearchIndexName(index->table));
    rewritten += " AND " + key + " IN (SELECT " + key + " FROM " + QuoteEngineName(index->table) +
                 " WHERE rowid IN (SELECT rowid FROM " + indexTable + " WHERE " + indexTable + " MATCH " +
                 QuoteEngineText(match) + "))";
  }
  return rewritten + " ORDER BY " + key;
}

}  // namespace velt::provider
