// Whether a URL may serve as the article base URL of a run (--site).
//
// Accepted: "http://" or "https://", a host name or dotted address with an
// optional ":port" (1 to 65535), then the path up to the article number,
// beginning with "/"; no blanks or control characters anywhere (the URL
// becomes part of the request line); at most MaxArticleBaseUrlLength
// characters, so the URL with the number fits the URL column. On false
// `error` says what is wrong. Pure function, safe on any thread.
#pragma once

#include <string>

namespace velt {

bool CheckArticleBaseUrl(const std::string& url, std::string& error);

}  // namespace velt
