// Translation of one statement of the program's SQL dialect into the
// engine's SQL, token by token and never inside a literal.
//
// What changes: literals and names are requoted (SqlLexer.h); "a & b & c"
// becomes a call of ConcatFunction, which reads Null as empty text and is
// Null only when every operand is; "LEFT(" becomes LeftFunction; in CREATE
// TABLE, text types become "TEXT(n)" (TEXT alone is TEXT(255)) and long
// text types "LONGTEXT", both with the collation TextCollation, the
// database's text comparison (TextFolding.h). Outside table and index
// definitions, string literals and the results of LEFT and "&" carry that
// collation too, so comparing, ordering and grouping any text expression
// follow it, not only bare columns. "&" binds
// more loosely than arithmetic and more tightly than comparison. LIKE keeps
// its spelling: the engine's like() is replaced by ours (SqlFunctions.h).
// "CREATE [UNIQUE] INDEX i ON t (c [ASC|DESC], ...)" keeps its form (an
// index on a text column takes the column's TextCollation, so ordering
// and MIN/MAX over the column can use it); index options ("WITH ...") are
// refused, and "DROP INDEX i ON t" becomes "DROP INDEX i".
//
// Raises velt::Error for what the lexer refuses, for a text size outside
// 1..255 and for index options. Pure and thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace velt::provider {

inline constexpr char TextCollation[] = "VELT_NOCASE";
inline constexpr char ConcatFunction[] = "velt_concat";
inline constexpr char LeftFunction[] = "velt_left";

struct TranslatedSql {
  enum class Kind { Other, CreateTable, DropTable, DropView };
  std::string sql;
  Kind kind = Kind::Other;
  std::string tableName;  // the table or view, for the kinds but Other
};

TranslatedSql TranslateSql(std::string_view sql);

}  // namespace velt::provider
