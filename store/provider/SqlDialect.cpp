#include "store/provider/SqlDialect.h"

#include <array>
#include <vector>

#include "platform/Error.h"
#include "store/provider/LikeMatcher.h"
#include "store/provider/SqlLexer.h"

namespace velt::provider {

namespace {

using Tokens = std::vector<SqlToken>;

SqlToken Word(std::string text, bool space = true) {
  return {SqlToken::Kind::Word, std::move(text), space};
}
SqlToken Symbol(std::string text, bool space = false) {
  return {SqlToken::Kind::Symbol, std::move(text), space};
}

bool IsTextType(const SqlToken& t) {
  for (auto name : {"TEXT", "CHAR", "VARCHAR", "CHARACTER", "NCHAR", "NVARCHAR", "STRING",
                    "ALPHANUMERIC"})
    if (t.IsWord(name)) return true;
  return false;
}

bool IsLongTextType(const SqlToken& t) {
  for (auto name : {"MEMO", "LONGTEXT", "LONGCHAR", "NOTE", "NTEXT"})
    if (t.IsWord(name)) return true;
  return false;
}

bool StartsTableConstraint(const SqlToken& t) {
  for (auto name : {"CONSTRAINT", "PRIMARY", "UNIQUE", "FOREIGN", "CHECK"})
    if (t.IsWord(name)) return true;
  return false;
}

// Rewrites the type of the column definition starting at `def`; returns
// the index just past what it consumed.
std::size_t RewriteColumnType(const Tokens& in, std::size_t def, Tokens& out) {
  out.push_back(in[def]);  // the column name
  std::size_t pos = def + 1;
  if (pos >= in.size()) return pos;
  const SqlToken& type = in[pos];
  if (IsLongTextType(type)) {
    out.push_back(Word("LONGTEXT", type.spaceBefore));
    ++pos;
  } else if (IsTextType(type)) {
    std::string size = "255";
    ++pos;
    if (pos + 2 < in.size() && in[pos].IsSymbol("(") && in[pos + 1].kind == SqlToken::Kind::Number &&
        in[pos + 2].IsSymbol(")")) {
      size = in[pos + 1].value;
      pos += 3;
    }
    if (size.find_first_not_of("0123456789") != std::string::npos || size.size() > 3 ||
        std::stoi(size) < 1 || std::stoi(size) > 255)
      throw Error("The size of a text column must be from 1 to 255 characters: " + size + ".");
    out.push_back(Word("TEXT(" + size + ")", type.spaceBefore));
  } else {
    return pos;
  }
  out.push_back(Word("COLLATE"));
  out.push_back(Word(TextCollation));
  return pos;
}

// CREATE TABLE name ( col type ..., col type ..., CONSTRAINT ... )
Tokens RewriteCreateTable(const Tokens& in) {
  Tokens out;
  std::size_t pos = 0;
  while (pos < in.size() && !in[pos].IsSymbol("(")) out.push_back(in[pos++]);
  if (pos == in.size()) return out;
  out.push_back(in[pos++]);
  bool atDefinitionStart = true;
  int depth = 1;
  while (pos < in.size()) {
    const SqlToken& t = in[pos];
    if (depth == 1 && atDefinitionStart && !StartsTableConstraint(t) &&
        (t.kind == SqlToken::Kind::Word || t.kind == SqlToken::Kind::Name)) {
      pos = RewriteColumnType(in, pos, out);
      atDefinitionStart = false;
      continue;
    }
    atDefinitionStart = false;
    if (t.IsSymbol("(")) ++depth;
    if (t.IsSymbol(")")) --depth;
    if (depth == 1 && t.IsSymbol(",")) atDefinitionStart = true;
    out.push_back(t);
    ++pos;
  }
  return out;
}

bool IsConcatBoundary(const Tokens& in, std::size_t pos) {
  static constexpr std::array<const char*, 40> kKeywords = {
      "SELECT", "FROM",  "WHERE",    "AND",         "OR",     "NOT",    "XOR",   "EQV",
      "IMP",    "LIKE",  "IS",       "IN",          "BETWEEN", "AS",    "ON",    "GROUP",
      "BY",     "ORDER", "HAVING",   "SET",         "VALUES", "WHEN",   "THEN",  "ELSE",
      "END",    "CASE",  "JOIN",     "INNER",       "OUTER",  "LEFT",   "RIGHT", "UNION",
      "ALL",    "DISTINCT", "DISTINCTROW", "TOP",   "ASC",    "DESC",   "INTO",  "ESCAPE"};
  const SqlToken& t = in[pos];
  if (t.kind == SqlToken::Kind::Symbol) {
    for (auto op : {",", "=", "<", ">", "<>", "<=", ">="})
      if (t.value == op) return true;
    return false;
  }
  for (auto keyword : kKeywords)
    if (t.IsWord(keyword)) return true;
  return false;
}

// Rewrites "&" chains in in[begin, end), one nesting level, recursing into
// parentheses. Returns the index past the level's closing parenthesis.
std::size_t RewriteConcatLevel(const Tokens& in, std::size_t begin, Tokens& out) {
  std::vector<Tokens> operands(1);
  auto flush = [&]() {
    if (operands.size() == 1) {
      out.insert(out.end(), operands[0].begin(), operands[0].end());
    } else {
      const bool space = !operands[0].empty() && operands[0].front().spaceBefore;
      out.push_back(Word(ConcatFunction, space));
      out.push_back(Symbol("("));
      for (std::size_t i = 0; i < operands.size(); ++i) {
        if (i > 0) out.push_back(Symbol(","));
        out.push_back(Symbol("("));
        if (!operands[i].empty()) operands[i].front().spaceBefore = false;
        out.insert(out.end(), operands[i].begin(), operands[i].end());
        out.push_back(Symbol(")"));
      }
      out.push_back(Symbol(")"));
    }
    operands.assign(1, {});
  };
  std::size_t pos = begin;
  while (pos < in.size()) {
    const SqlToken& t = in[pos];
    if (t.IsSymbol(")")) break;
    if (t.IsSymbol("&")) {
      operands.emplace_back();
      ++pos;
    } else if (t.IsSymbol("(")) {
      Tokens inner;
      pos = RewriteConcatLevel(in, pos + 1, inner);
      operands.back().push_back(t);
      operands.back().insert(operands.back().end(), inner.begin(), inner.end());
      if (pos < in.size()) operands.back().push_back(in[pos++]);
    } else if (IsConcatBoundary(in, pos)) {
      flush();
      out.push_back(t);
      ++pos;
    } else {
      operands.back().push_back(t);
      ++pos;
    }
  }
  flush();
  return pos;
}

bool NeedsSpace(const SqlToken& previous, const SqlToken& current) {
  if (current.spaceBefore) return true;
  // Without comments in the dialect, "--" or "/*" must not reach the engine
  // as one; keep adjacent operators apart.
  auto isOperator = [](const SqlToken& t) {
    return t.kind == SqlToken::Kind::Symbol && t.value != "(" && t.value != ")" && t.value != ",";
  };
  return isOperator(previous) && isOperator(current);
}

std::string Join(const Tokens& tokens) {
  std::string sql;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (i > 0 && NeedsSpace(tokens[i - 1], tokens[i])) sql += ' ';
    sql += EngineText(tokens[i]);
  }
  return sql;
}

bool IsIndexStatement(const Tokens& in) {
  return in.size() >= 2 && (in[0].IsWord("CREATE") || in[0].IsWord("DROP")) &&
         (in[1].IsWord("INDEX") || (in.size() >= 3 && in[1].IsWord("UNIQUE") && in[2].IsWord("INDEX")));
}

// The engine knows index names per database, not per table, and has no
// index options.
void RewriteIndexStatement(Tokens& in) {
  if (in[0].IsWord("DROP") && in.size() == 5 && in[3].IsWord("ON")) in.resize(3);
  for (const SqlToken& t : in) {
    if (t.IsWord("WITH"))
      throw Error("Index options (PRIMARY, DISALLOW NULL, IGNORE NULL) are not supported.");
  }
}

// Gives literals and the results of LEFT and "&" the database's text
// comparison: the engine compares expressions other than bare columns
// byte by byte otherwise. Column definitions keep their literals bare, as
// a DEFAULT takes no COLLATE.
Tokens WithTextCollation(const Tokens& in, bool tagLiterals) {
  Tokens out;
  std::vector<int> closesCall;  // paren depths whose ")" ends a tagged call
  int depth = 0;
  auto tag = [&out]() {
    out.push_back(Word("COLLATE"));
    out.push_back(Word(TextCollation));
  };
  for (std::size_t i = 0; i < in.size(); ++i) {
    const SqlToken& t = in[i];
    out.push_back(t);
    if (t.kind == SqlToken::Kind::String && tagLiterals) tag();
    if ((t.IsWord(LeftFunction) || t.IsWord(ConcatFunction)) && i + 1 < in.size() && in[i + 1].IsSymbol("("))
      closesCall.push_back(depth + 1);
    if (t.IsSymbol("(")) ++depth;
    if (t.IsSymbol(")")) {
      if (!closesCall.empty() && closesCall.back() == depth) {
        closesCall.pop_back();
        tag();
      }
      --depth;
    }
  }
  return out;
}

TranslatedSql::Kind KindOf(const Tokens& in) {
  if (in.size() < 3 || (in[2].kind != SqlToken::Kind::Word && in[2].kind != SqlToken::Kind::Name))
    return TranslatedSql::Kind::Other;
  if (in[0].IsWord("CREATE") && in[1].IsWord("TABLE")) return TranslatedSql::Kind::CreateTable;
  if (in[0].IsWord("DROP") && in[1].IsWord("TABLE")) return TranslatedSql::Kind::DropTable;
  if (in[0].IsWord("DROP") && in[1].IsWord("VIEW")) return TranslatedSql::Kind::DropView;
  return TranslatedSql::Kind::Other;
}

}  // namespace

TranslatedSql TranslateSql(std::string_view sql) {
  Tokens tokens = LexSql(sql);
  TranslatedSql result;
  result.kind = KindOf(tokens);
  if (result.kind != TranslatedSql::Kind::Other) result.tableName = tokens[2].value;
  if (IsIndexStatement(tokens)) RewriteIndexStatement(tokens);
  for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (tokens[i].IsWord("LEFT") && tokens[i + 1].IsSymbol("(")) tokens[i].value = LeftFunction;
    // A written pattern is checked here, so that it fails the same way
    // whether or not any row reaches the comparison.
    if (tokens[i].IsWord("LIKE") && tokens[i + 1].kind == SqlToken::Kind::String &&
        !LikePattern::Compile(tokens[i + 1].value))
      throw Error(InvalidLikePatternMessage(tokens[i + 1].value));
  }
  if (result.kind == TranslatedSql::Kind::CreateTable) tokens = RewriteCreateTable(tokens);
  Tokens rewritten;
  std::size_t pos = 0;
  while (pos < tokens.size()) {
    pos = RewriteConcatLevel(tokens, pos, rewritten);
    if (pos < tokens.size()) rewritten.push_back(tokens[pos++]);  // an unmatched ")"
  }
  const bool definesStorage = result.kind == TranslatedSql::Kind::CreateTable || IsIndexStatement(tokens);
  result.sql = Join(WithTextCollation(rewritten, !definesStorage));
  return result;
}

}  // namespace velt::provider
