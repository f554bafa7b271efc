#include "app/SiteOption.h"

#include <algorithm>
#include <cctype>

#include "crawler/ThreadCreator.h"

namespace velt {
namespace {

bool IsHostChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-'; }

bool IsPort(const std::string& text) {
  if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), ::isdigit)) return false;
  const int port = std::stoi(text);
  return port >= 1 && port <= 65535;
}

}  // namespace

bool CheckArticleBaseUrl(const std::string& url, std::string& error) {
  if (url.size() > MaxArticleBaseUrlLength) {
    error = "is " + std::to_string(url.size()) + " characters long; at most " +
            std::to_string(MaxArticleBaseUrlLength) + " leave room for the article number in the URL column";
    return false;
  }
  if (std::any_of(url.begin(), url.end(), [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; })) {
    error = "holds a blank or a control character";
    return false;
  }
  const size_t schemeEnd = url.find("://");
  const std::string scheme = url.substr(0, schemeEnd);
  if (schemeEnd == std::string::npos || (scheme != "http" && scheme != "https")) {
    error = "must begin with http:// or https://";
    return false;
  }
  const std::string rest = url.substr(schemeEnd + 3);
  const size_t slash = rest.find('/');
  if (slash == std::string::npos) {
    error = "needs the path up to the article number after the host, beginning with /";
    return false;
  }
  const std::string authority = rest.substr(0, slash);
  const size_t colon = authority.find(':');
  const std::string host = authority.substr(0, colon);
  if (host.empty() || !std::all_of(host.begin(), host.end(), IsHostChar)) {
    error = "needs a host name of letters, digits, dots and hyphens";
    return false;
  }
  if (colon != std::string::npos && !IsPort(authority.substr(colon + 1))) {
    error = "has a port that is not a number from 1 to 65535";
    return false;
  }
  return true;
}

}  // namespace velt
