#include "store/provider/DataTypes.h"

#include <cctype>
#include <string>
#include <utility>

namespace velt::provider {

bool IsTextDataType(int type) {
  switch (type) {
    case adBSTR:
    case adChar:
    case adWChar:
    case adVarChar:
    case adLongVarChar:
    case adVarWChar:
    case adLongVarWChar:
      return true;
    default:
      return false;
  }
}

namespace {

// The declaration's type word in upper case, without a "(...)" size.
std::string TypeWord(std::string_view declaredType) {
  std::string word;
  for (char c : declaredType) {
    if (c == '(' || c == ' ') break;
    word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return word;
}

}  // namespace

int DataTypeOfDeclaration(std::string_view declaredType) {
  static const std::pair<const char*, int> kTypes[] = {
      {"TEXT", adVarWChar},         {"VARCHAR", adVarWChar},     {"CHAR", adWChar},
      {"LONGTEXT", adLongVarWChar}, {"MEMO", adLongVarWChar},    {"INTEGER", adInteger},
      {"INT", adInteger},           {"LONG", adInteger},         {"COUNTER", adInteger},
      {"AUTOINCREMENT", adInteger}, {"SMALLINT", adSmallInt},    {"SHORT", adSmallInt},
      {"BYTE", adUnsignedTinyInt},  {"TINYINT", adUnsignedTinyInt}, {"DOUBLE", adDouble},
      {"FLOAT", adDouble},          {"REAL", adSingle},          {"SINGLE", adSingle},
      {"CURRENCY", adCurrency},     {"MONEY", adCurrency},       {"DATETIME", adDate},
      {"DATE", adDate},             {"TIME", adDate},            {"BIT", adBoolean},
      {"YESNO", adBoolean},         {"LOGICAL", adBoolean},      {"BOOLEAN", adBoolean},
      {"DECIMAL", adNumeric},       {"NUMERIC", adNumeric},      {"GUID", adGUID},
      {"BINARY", adBinary},         {"VARBINARY", adVarBinary},  {"LONGBINARY", adLongVarBinary},
      {"IMAGE", adLongVarBinary},   {"BLOB", adLongVarBinary},
  };
  const std::string word = TypeWord(declaredType);
  for (const auto& [name, type] : kTypes)
    if (word == name) return type;
  return adVariant;
}

std::optional<int> TextSizeOfDeclaration(std::string_view declaredType) {
  if (TypeWord(declaredType) != "TEXT") return std::nullopt;
  const auto open = declaredType.find('(');
  if (open == std::string_view::npos) return std::nullopt;
  int size = 0;
  for (std::size_t i = open + 1; i < declaredType.size() && std::isdigit(static_cast<unsigned char>(declaredType[i])); ++i)
    size = size * 10 + (declaredType[i] - '0');
  return size > 0 ? std::optional<int>(size) : std::nullopt;
}

}  // namespace velt::provider
