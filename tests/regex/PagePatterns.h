// The patterns the crawler's page analysis runs, as test input for the
// regular-expression service (the crawler itself sits above this layer).
#pragma once

#include <string_view>

namespace velt::testing {

inline constexpr std::u16string_view kStatusLine = uR"re((^HTTP/[0-9]\.[0-9][\s]+[0-9]+[\s]+[^\s]*))re";
inline constexpr std::u16string_view kStatusCode = uR"re(^HTTP/[0-9]\.[0-9][\s]+([0-9]+)[\s]+[^\s]*)re";
inline constexpr std::u16string_view kCharset = uR"re(;[\s]*charset[\s]*=[\s]*([^\s">]*))re";
inline constexpr std::u16string_view kTitle = uR"re(<title[^>]*>([^<]*)</title>)re";
inline constexpr std::u16string_view kDescription = uR"re(<meta[\s]*name[\s]*=[\s]*"?description"?[\s]*([^>]*)>)re";
inline constexpr std::u16string_view kKeywords = uR"re(<meta[\s]*name[\s]*=[\s]*"?keywords"?[\s]*([^>]*)>)re";
inline constexpr std::u16string_view kContent = uR"re(content[\s]*="?([^">]*)"?)re";

}  // namespace velt::testing
