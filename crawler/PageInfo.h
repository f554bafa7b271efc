// The values that one download worker gathers for one article.
//
// A worker owns its record for its whole life and is the only thread that
// touches it after construction. Every text is the program's UTF-8 and
// starts empty; the page's own bytes never leave the analysis. Kbid through
// GetEnd go into the article's row; StatusLine and Charset only serve the
// analysis.
#pragma once

#include <cstdint>
#include <string>

namespace velt {

struct TPageInfo {
  std::string Kbid;         // six decimal digits
  std::string Url;          // the article's address
  std::int32_t ResCode = 0; // status code of the answer; 0 until known
  std::string Title;
  std::string Description;
  std::string Keywords;
  std::string KbParents;
  std::string GetBegin;     // local time as "yyyymmddhhnnss"
  std::string GetEnd;
  std::string StatusLine;   // e.g. "HTTP/1.1 404 Not"
  std::string Charset;      // as the answer declared it, trimmed
};

}  // namespace velt
