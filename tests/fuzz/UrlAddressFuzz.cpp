// SplitUrl, SplitFetchUrl, SiteBaseUrlError, IsByteNumber and IsDottedQuad
// on arbitrary text: the parts of a split URL give the URL back, an
// accepted site URL splits into a host without port and a path that a
// request line can carry, and the number tests agree with their
// definitions.
#include <cstdint>
#include <string>

#include "net/Http.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using velt::fuzz::Require;

void CheckSplitUrl(const std::string& url) {
  std::string host = "unchanged-host";
  std::string path = "unchanged-path";
  if (!velt::SplitUrl(url, host, path)) {
    Require(host == "unchanged-host" && path == "unchanged-path", "failed split changed its outputs");
    Require(!url.starts_with("http://"), "URL with the scheme refused");
    return;
  }
  Require(url.starts_with("http://"), "URL without the scheme accepted");
  Require(host.find('/') == std::string::npos, "host holds a slash");
  Require(path.starts_with("/"), "path does not start with a slash");
  const std::string joined = "http://" + host + path;
  Require(joined == url || (path == "/" && "http://" + host == url),
          "host and path do not give the URL back");
}

void CheckSiteUrl(const std::string& url) {
  velt::FetchTarget target;
  const bool split = velt::SplitFetchUrl(url, target);
  Require(split == (url.starts_with("http://") || url.starts_with("https://")), "scheme judged wrongly");
  if (!velt::SiteBaseUrlError(url).empty()) return;
  Require(split && url.size() <= velt::kMaxSiteBaseUrlLength, "accepted site URL too long or unsplit");
  Require(!target.host.empty() && target.host.find(':') == std::string::npos, "accepted host holds a port");
  Require(target.port >= 1 && target.port <= 65535, "accepted port out of range");
  Require(target.path.find_first_of(" \r\n") == std::string::npos, "accepted path breaks the request line");
}

void CheckNumbers(const std::string& text) {
  const bool isByte = velt::IsByteNumber(text);
  Require(velt::IsByteNumber(" " + text) == isByte, "a leading space changed the verdict");
  if (!text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos)
    Require(isByte == (std::stoul(text) <= 255), "plain decimal judged wrongly");
  if (isByte) Require(text.find('.') == std::string::npos, "a number with a dot accepted");

  std::size_t dots = 0;
  bool piecesAreBytes = true;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '.') continue;
    piecesAreBytes = piecesAreBytes && velt::IsByteNumber(text.substr(start, i - start));
    if (i < text.size()) ++dots;
    start = i + 1;
  }
  Require(velt::IsDottedQuad(text) == (dots == 3 && piecesAreBytes), "dotted quad judged wrongly");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(velt::fuzz::AsText(data, size));
  CheckSplitUrl(text);
  CheckSiteUrl(text);
  CheckNumbers(text);
  return 0;
}
