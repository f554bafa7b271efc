// The head of an HTTP answer (status line and header fields) and what the
// crawl and the proxy code read of it, in one place.
//
// A head ends at its first empty line, in whichever form it comes: CR LF
// CR LF, or LF LF from servers that end their lines with a bare line feed
// (HTTP/1.0 lets a client accept that). The earliest empty line in either
// form ends it, so an empty CR LF line inside the body never counts. Lines
// of the head may end with CR LF or LF alone; the CR is not part of a value.
//
// AnswerHead takes an answer as it arrives, an empty line split between two
// receives included, and counts a head that keeps growing as complete at
// kMaxAnswerHeadSize, so that a peer cannot make a fetch hold an answer of
// any length for the sake of its head. The free functions read a whole
// answer held in memory. Pure; one AnswerHead per answer; any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velt {

inline constexpr std::size_t kMaxAnswerHeadSize = 64 * 1024;

// Where the body begins (just past the empty line), searching from `from`
// on; nothing when the head has not ended yet.
std::optional<std::size_t> BodyStart(std::string_view answer, std::size_t from = 0);

// The value of the head's first field of that name (any letter case),
// trimmed of blanks; nothing without such a field or an ended head.
std::optional<std::string_view> HeaderValue(std::string_view answer, std::string_view name);

// Whether the answer ended before the body length that its Content-Length
// declared. Without the field, with a value that is not a plain number, or
// with a head that never ended, it is not.
bool IsCutShort(std::string_view answer);

// The code of an "HTTP/x.y NNN ..." first line, else 0.
int StatusCode(std::string_view answer);
// The first line in printable ASCII, cut to a length fit for a log line.
std::string StatusLineShown(std::string_view answer);

class AnswerHead {
 public:
  // Adds received bytes; returns whether the head is now complete.
  bool Add(const char* bytes, int count);
  bool Complete() const { return complete_; }
  // Every byte added, the head and whatever followed it.
  const std::string& Received() const { return received_; }

 private:
  std::string received_;
  bool complete_ = false;
};

}  // namespace velt
