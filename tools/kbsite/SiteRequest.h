// Reading a client's request for the sample site.
//
// The site is tolerant: any method word, any letter case in "kb;ja;", bare
// "\n" line ends, any headers. Only the first line is looked at.
// Pure: safe from any thread.
#pragma once

#include <string_view>

namespace velt::kbsite {

// The request head is complete (an empty line has arrived).
bool RequestHeadComplete(std::string_view text);

// The article number that the first line asks for ("...kb;ja;NNNNNN..."),
// or -1 when it names none.
int RequestedArticle(std::string_view text);

// Whether the request head has the header (name without regard to case).
bool RequestHasHeader(std::string_view text, std::string_view name);

}  // namespace velt::kbsite
