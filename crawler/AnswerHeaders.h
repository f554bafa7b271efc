// The few header fields of a received answer that the crawl itself heeds,
// read from the raw bytes before the analysis takes them.
//
// The header block is everything before the first empty line; an answer
// whose headers never ended has no fields here. HeaderValue gives the
// value of the first field of that name (any letter case), trimmed of
// blanks. IsCutShort tells an answer that ended before the body length its
// Content-Length field declared: whatever the transport said about its
// end, such an answer is not the whole page. An answer without the field,
// or with a value that is not a plain number, is never cut short. Pure;
// any thread.
#pragma once

#include <optional>
#include <string_view>

namespace velt {

std::optional<std::string_view> HeaderValue(std::string_view answer, std::string_view name);
bool IsCutShort(std::string_view answer);

}  // namespace velt
