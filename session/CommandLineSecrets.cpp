#include "session/CommandLineSecrets.h"

#include <cstring>
#include <string_view>

namespace velt {
namespace {

// The user part of a proxy URL as ParseProxyUrl reads it: after the
// scheme, before the last "@" of the authority.
void BlankUserPart(char* url) {
  std::string_view text(url);
  std::size_t start = text.find("://");
  start = start == std::string_view::npos ? 0 : start + 3;
  const std::string_view authority = text.substr(start, text.find('/', start) - start);
  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) std::memset(url + start, '*', at);
}

}  // namespace

void BlankSecretArguments(int argc, char* argv[]) {
  constexpr std::string_view option = "--proxy";
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument(argv[i]);
    if (argument == option && i + 1 < argc) {
      BlankUserPart(argv[++i]);
    } else if (argument.starts_with(option) && argument.size() > option.size() && argument[option.size()] == '=') {
      BlankUserPart(argv[i] + option.size() + 1);
    }
  }
}

}  // namespace velt
