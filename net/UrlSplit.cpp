#include "net/Http.h"

namespace velt {

bool SplitUrl(const std::string& url, std::string& host, std::string& path) {
  static const std::string kScheme = "http://";
  if (url.compare(0, kScheme.size(), kScheme) != 0) return false;
  const std::string rest = url.substr(kScheme.size());
  const auto slash = rest.find('/');
  if (slash == std::string::npos) {
    host = rest;
    path.assign(1, '/');  // assigning the literal trips a GCC 12 false -Wrestrict
  } else {
    host = rest.substr(0, slash);
    path = rest.substr(slash);
  }
  return true;
}

}  // namespace velt
