#include "net/AnswerHead.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "net/AsciiCase.h"

namespace velt {
namespace {

constexpr std::size_t kMaxStatusLineShown = 120;

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::size_t> BodyStart(std::string_view answer, std::size_t from) {
  // Every empty line follows a line feed: look at what comes after each.
  for (std::size_t at = answer.find('\n', from); at != std::string_view::npos; at = answer.find('\n', at + 1)) {
    if (answer.substr(at + 1, 1) == "\n") return at + 2;
    if (answer.substr(at + 1, 2) == "\r\n") return at + 3;
  }
  return std::nullopt;
}

std::optional<std::string_view> HeaderValue(std::string_view answer, std::string_view name) {
  const auto body = BodyStart(answer);
  if (!body) return std::nullopt;
  std::string_view rest = answer.substr(0, *body);
  rest.remove_prefix(std::min(rest.size(), rest.find('\n') + 1));  // the status line
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && SameAsciiText(line.substr(0, colon), name)) {
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
  return answer.size() - *BodyStart(answer) < length;
}

int StatusCode(std::string_view answer) {
  const std::string_view line = answer.substr(0, answer.find('\n'));
  const std::size_t space = line.find(' ');
  if (!line.starts_with("HTTP/") || space == std::string_view::npos || line.size() < space + 4) return 0;
  const std::string_view code = line.substr(space + 1, 3);
  if (!std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; })) return 0;
  if (line.size() > space + 4 && line[space + 4] != ' ' && line[space + 4] != '\r') return 0;
  return (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
}

std::string StatusLineShown(std::string_view answer) {
  std::string line(answer.substr(0, std::min(answer.find('\n'), kMaxStatusLineShown)));
  if (line.ends_with('\r')) line.pop_back();
  std::replace_if(line.begin(), line.end(), [](unsigned char c) { return c < ' ' || c >= 0x7F; }, '?');
  return line;
}

bool AnswerHead::Add(const char* bytes, int count) {
  // The empty line may straddle two receives: look two bytes back.
  const std::size_t from = received_.size() < 2 ? 0 : received_.size() - 2;
  received_.append(bytes, static_cast<std::size_t>(count));
  complete_ = complete_ || BodyStart(received_, from) || received_.size() >= kMaxAnswerHeadSize;
  return complete_;
}

}  // namespace velt
