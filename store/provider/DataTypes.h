// Column type codes as the catalog reports them (the common OLE data type
// numbers), and their derivation from a column's declared type.
//
// Pure and thread-safe.
#pragma once

#include <optional>
#include <string_view>

namespace velt::provider {

enum DataType : int {
  adEmpty = 0,
  adSmallInt = 2,
  adInteger = 3,
  adSingle = 4,
  adDouble = 5,
  adCurrency = 6,
  adDate = 7,
  adBSTR = 8,
  adBoolean = 11,
  adVariant = 12,
  adUnsignedTinyInt = 17,
  adGUID = 72,
  adBinary = 128,
  adChar = 129,
  adWChar = 130,
  adNumeric = 131,
  adVarChar = 200,
  adLongVarChar = 201,
  adVarWChar = 202,
  adLongVarWChar = 203,
  adVarBinary = 204,
  adLongVarBinary = 205,
};

// The seven codes that hold text.
bool IsTextDataType(int type);

// "TEXT(6)" gives adVarWChar, "LONGTEXT" adLongVarWChar, "INTEGER"
// adInteger and so on; an empty or unknown declaration gives adVariant.
int DataTypeOfDeclaration(std::string_view declaredType);

// The n of "TEXT(n)"; nothing for other declarations.
std::optional<int> TextSizeOfDeclaration(std::string_view declaredType);

}  // namespace velt::provider
