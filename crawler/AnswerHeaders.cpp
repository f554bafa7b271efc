#include "crawler/AnswerHeaders.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>

namespace velt {
namespace {

struct Split {
  std::string_view head;  // status line and fields
  std::string_view body;
};

// Servers end header lines with CR LF, a few with LF alone.
std::optional<Split> SplitAnswer(std::string_view answer) {
  for (std::string_view blank : {"\r\n\r\n", "\n\n"}) {
    const std::size_t at = answer.find(blank);
    if (at != std::string_view::npos) return Split{answer.substr(0, at + 1), answer.substr(at + blank.size())};
  }
  return std::nullopt;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string_view> HeaderValue(std::string_view answer, std::string_view name) {
  const auto split = SplitAnswer(answer);
  if (!split) return std::nullopt;
  std::string_view rest = split->head;
  rest.remove_prefix(std::min(rest.size(), rest.find('\n') + 1));  // the status line
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && SameName(line.substr(0, colon), name)) {
      return Trimmed(line.substr(colon + 1));
    }
  }
  return std::nullopt;
}

bool IsCutShort(std::string_view answer) {
  const auto declared = HeaderValue(answer, "Content-Length");
  if (!declared || declared->empty()) return false;
  std::uint64_t length = 0;
  const auto [end, error] = std::from_chars(declared->data(), declared->data() + declared->size(), length);
  if (error != std::errc() || end != declared->data() + declared->size()) return false;
  return SplitAnswer(answer)->body.size() < length;
}

}  // namespace velt
