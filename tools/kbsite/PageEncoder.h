// Encodes UTF-8 page text in one of the site's page encodings.
//
// Shift_JIS is code page 932 (platform/Encoding.h: characters it lacks
// become "?"). EUC-JP and ISO-2022-JP are derived from it by the standard
// JIS X 0208 arithmetic; ISO-2022-JP has no half-width katakana, so those
// become "?" there, and every run of two-byte characters ends with a return
// to ASCII, so line ends always stand in single-byte mode.
// Pure functions: safe from any thread.
#pragma once

#include <string>
#include <string_view>

#include "tools/kbsite/SiteModel.h"

namespace velt::kbsite {

std::string EncodePage(std::string_view utf8, PageEncoding encoding);

}  // namespace velt::kbsite
