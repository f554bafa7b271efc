// Splits one statement of the program's SQL dialect into tokens.
//
// The dialect's rules, which differ from the engine's: a double-quoted text
// is a string literal (inner "" stands for one "), as is a single-quoted
// one; "[name]" and "`name`" are names; there are no comments, so "--" and
// "/*" are operators. A statement ends at ";" and only blanks or further
// ";" may follow. Lex raises velt::Error for an unterminated literal or
// name, text after the end of the statement, and characters the dialect
// does not know (parameters included). Pure and thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velt::provider {

struct SqlToken {
  enum class Kind { Word, Name, String, Number, Symbol };
  Kind kind;
  std::string value;  // words and symbols as written; literal and name contents unquoted
  bool spaceBefore = false;

  bool IsSymbol(std::string_view s) const { return kind == Kind::Symbol && value == s; }
  // Case-blind test of a word.
  bool IsWord(std::string_view word) const;
};

std::vector<SqlToken> LexSql(std::string_view sql);

// The token in the engine's syntax: literals in single quotes, names in
// double quotes, inner quotes doubled.
std::string EngineText(const SqlToken& token);

// The name in double quotes, inner double quotes doubled.
std::string QuoteEngineName(std::string_view name);
// The text in single quotes, inner single quotes doubled.
std::string QuoteEngineText(std::string_view text);

}  // namespace velt::provider
