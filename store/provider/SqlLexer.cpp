#include "store/provider/SqlLexer.h"

#include <cctype>

#include "platform/Error.h"

namespace velt::provider {

bool SqlToken::IsWord(std::string_view word) const {
  if (kind != Kind::Word || value.size() != word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(value[i])) !=
        std::toupper(static_cast<unsigned char>(word[i])))
      return false;
  }
  return true;
}

namespace {

bool IsWordByte(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80; }

// Reads a quoted run starting at `pos` (on the opening quote) and returns
// its content; `doubling` lets a doubled closing quote stand for one.
std::string ReadQuoted(std::string_view sql, std::size_t& pos, char close, bool doubling) {
  std::string content;
  ++pos;
  while (pos < sql.size()) {
    const char c = sql[pos++];
    if (c != close) {
      content += c;
    } else if (doubling && pos < sql.size() && sql[pos] == close) {
      content += c;
      ++pos;
    } else {
      return content;
    }
  }
  throw Error(std::string("Unterminated ") + (close == ']' || close == '`' ? "name" : "text literal") +
              " in SQL statement.");
}

std::string ReadNumber(std::string_view sql, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < sql.size() && (std::isdigit(static_cast<unsigned char>(sql[pos])) || sql[pos] == '.'))
    ++pos;
  if (pos < sql.size() && (sql[pos] == 'e' || sql[pos] == 'E')) {
    std::size_t exponent = pos + 1;
    if (exponent < sql.size() && (sql[exponent] == '+' || sql[exponent] == '-')) ++exponent;
    if (exponent < sql.size() && std::isdigit(static_cast<unsigned char>(sql[exponent]))) {
      pos = exponent;
      while (pos < sql.size() && std::isdigit(static_cast<unsigned char>(sql[pos]))) ++pos;
    }
  }
  return std::string(sql.substr(start, pos - start));
}

void RequireEndAfterSemicolon(std::string_view sql, std::size_t pos) {
  for (; pos < sql.size(); ++pos) {
    const auto c = static_cast<unsigned char>(sql[pos]);
    if (!std::isspace(c) && c != ';')
      throw Error("Characters found after the end of the SQL statement.");
  }
}

}  // namespace

std::vector<SqlToken> LexSql(std::string_view sql) {
  std::vector<SqlToken> tokens;
  bool space = false;
  std::size_t pos = 0;
  while (pos < sql.size()) {
    const auto c = static_cast<unsigned char>(sql[pos]);
    SqlToken token{SqlToken::Kind::Symbol, {}, space};
    if (std::isspace(c) || c < 0x20) {
      space = true;
      ++pos;
      continue;
    }
    if (c == ';') {
      RequireEndAfterSemicolon(sql, pos);
      break;
    }
    if (c == '"' || c == '\'') {
      token.kind = SqlToken::Kind::String;
      token.value = ReadQuoted(sql, pos, static_cast<char>(c), true);
    } else if (c == '[' || c == '`') {
      token.kind = SqlToken::Kind::Name;
      token.value = ReadQuoted(sql, pos, c == '[' ? ']' : '`', false);
    } else if (std::isdigit(c) || (c == '.' && pos + 1 < sql.size() &&
                                   std::isdigit(static_cast<unsigned char>(sql[pos + 1])))) {
      token.kind = SqlToken::Kind::Number;
      token.value = ReadNumber(sql, pos);
    } else if (IsWordByte(c) && c != '$') {
      token.kind = SqlToken::Kind::Word;
      const std::size_t start = pos;
      while (pos < sql.size() && IsWordByte(static_cast<unsigned char>(sql[pos]))) ++pos;
      token.value = std::string(sql.substr(start, pos - start));
    } else if ((c == '<' || c == '>') && pos + 1 < sql.size() &&
               (sql[pos + 1] == '=' || (c == '<' && sql[pos + 1] == '>'))) {
      token.value = std::string(sql.substr(pos, 2));
      pos += 2;
    } else if (std::string_view("(),.*+-/=<>&").find(static_cast<char>(c)) != std::string_view::npos) {
      token.value = std::string(1, static_cast<char>(c));
      ++pos;
    } else {
      throw Error(std::string("Unexpected character '") + static_cast<char>(c) +
                  "' in SQL statement.");
    }
    tokens.push_back(std::move(token));
    space = false;
  }
  return tokens;
}

namespace {

std::string Quote(std::string_view content, char quote) {
  std::string out(1, quote);
  for (char c : content) {
    out += c;
    if (c == quote) out += quote;
  }
  out += quote;
  return out;
}

}  // namespace

std::string EngineText(const SqlToken& token) {
  switch (token.kind) {
    case SqlToken::Kind::String:
      return QuoteEngineText(token.value);
    case SqlToken::Kind::Name:
      return QuoteEngineName(token.value);
    default:
      return token.value;
  }
}

std::string QuoteEngineName(std::string_view name) { return Quote(name, '"'); }
std::string QuoteEngineText(std::string_view text) { return Quote(text, '\''); }

}  // namespace velt::provider
