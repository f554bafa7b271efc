#include "tools/kbsite/SiteRequest.h"

#include <algorithm>
#include <cctype>

namespace velt::kbsite {

bool RequestHeadComplete(std::string_view text) {
  return text.find("\r\n\r\n") != std::string_view::npos || text.find("\n\n") != std::string_view::npos;
}

int RequestedArticle(std::string_view text) {
  const std::string_view line = text.substr(0, text.find_first_of("\r\n"));
  static constexpr std::string_view kKey = "kb;ja;";
  const auto key = std::search(line.begin(), line.end(), kKey.begin(), kKey.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
  if (key == line.end()) return -1;
  auto digit = key + static_cast<std::ptrdiff_t>(kKey.size());
  int number = 0;
  int digits = 0;
  for (; digit != line.end() && std::isdigit(static_cast<unsigned char>(*digit)) && digits < 8; ++digit, ++digits) {
    number = number * 10 + (*digit - '0');
  }
  return digits == 0 ? -1 : number;
}

bool RequestHasHeader(std::string_view text, std::string_view name) {
  for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
    const std::string_view line = text.substr(at + 1, name.size() + 1);
    if (line.size() == name.size() + 1 && line.back() == ':' &&
        std::equal(name.begin(), name.end(), line.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        })) {
      return true;
    }
  }
  return false;
}

}  // namespace velt::kbsite
