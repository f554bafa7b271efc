// How long a site asks the crawl to wait before it asks again: the value of
// an answer's Retry-After field, either a number of seconds or an HTTP date
// (the preferred fixed form, and the two older forms that senders still
// use), trimmed as HeaderValue gives it (net/AnswerHead.h).
//
// A date already past asks for no wait at all; every wait is capped at
// MaxRetryAfter, a day: a site may ask for an hour or more and is then
// not asked again before, while a site's odd clock or a typing error
// cannot put an article off for ever. A stop ends any wait at once. A value that is neither form gives nothing, and
// the caller falls back to its own back-off. Pure; any thread.
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace velt {

inline constexpr std::chrono::seconds MaxRetryAfter{std::chrono::hours(24)};

std::optional<std::chrono::seconds> ParseRetryAfter(std::string_view value, std::chrono::system_clock::time_point now);

}  // namespace velt
