// The bytes the site sends for an article: status line, headers and page.
//
// A 200 page carries its title, the meta tags description, keywords and
// kbparents, some text, the marker "<XMLHEADER" and then filler until the
// answer is at least the asked page size. Other statuses send a short page.
// The shapes let the server misbehave on purpose: no status line, a blank
// line before it, or a page without the marker; or a head of lines that
// end in a bare line feed, with a Content-Length, before a page without
// marker that holds an empty CR LF line, as a page edited on Windows and
// served by a small hand-written server does.
// Pure functions: safe from any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "tools/kbsite/SiteModel.h"

namespace velt::kbsite {

enum class AnswerShape { Normal, NoStatusLine, BlankLineFirst, NoMarker, BareLineFeeds };

inline constexpr std::string_view kMarker = "<XMLHEADER";

std::string RenderAnswer(const Article& article, std::size_t pageSize, AnswerShape shape);

// A short answer with the article's status (429 or 503 for a busy site)
// that asks the client to come back after the seconds given.
std::string RenderBusyAnswer(const Article& answer, int retryAfterSeconds);
// The answer with a Content-Length field for its body.
std::string WithContentLength(const std::string& answer);

// The start of a 200 answer without marker, and a block that a body that
// never ends repeats after it.
std::string RenderEndlessStart(const Article& article);
std::string RenderFillerBlock(const Article& article);

// One line (no line end) naming what was served, tab-separated key=value
// fields in this order: kbid, status, charset, encoding, answer, title,
// description, keywords, kbparents. Values are UTF-8 and hold no tab or
// line end; the charset is empty when the page declares none.
std::string FormatServedLine(const Article& article, std::string_view answerKind);

}  // namespace velt::kbsite
