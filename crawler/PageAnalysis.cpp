#include "crawler/PageAnalysis.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "crawler/PageText.h"
#include "platform/Encoding.h"
#include "regex/VBScript_RegExp_55_TLB.h"

namespace velt {
namespace {

// Leading and trailing spaces and control characters go.
std::u16string_view Trimmed(std::u16string_view text) {
  const auto isBlank = [](char16_t c) { return c <= u' '; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The pattern hands over digits only; more than 32 bits give 0.
std::int32_t StatusCodeValue(std::u16string_view digits) {
  if (digits.empty()) return 0;
  std::int64_t value = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return 0;
    value = value * 10 + (c - u'0');
    if (value > std::numeric_limits<std::int32_t>::max()) return 0;
  }
  return static_cast<std::int32_t>(value);
}

// Lines are joined with nothing between them; tabs become spaces. Zero
// bytes go too: they carry no text, and a value holding one could not be
// stored, which would leave the row claimed for ever. None of these bytes
// can be the second half of a code page 932 pair.
void JoinLines(std::string& page) {
  std::erase_if(page, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
  std::replace(page.begin(), page.end(), '\t', ' ');
}

std::string MetaContent(TRegExp& engine, std::u16string_view page, std::u16string_view tagPattern) {
  const std::u16string_view attributes = RegexFirstSubMatchView(engine, page, tagPattern);
  return Utf16ToUtf8(RegexFirstSubMatchView(engine, Trimmed(attributes), ContentPattern));
}

// Status line, code and charset, from the answer as received. The UTF-16
// copy they are read from is gone when this returns, before the page is
// converted: at most the answer and one UTF-16 copy of it live at once.
void AnalyseHead(TRegExp& engine, std::string_view answer, TPageInfo& info) {
  const std::u16string received = Cp932ToUtf16(answer);
  const std::u16string_view statusLine = RegexFirstSubMatchView(engine, received, StatusLinePattern);
  info.StatusLine = Utf16ToUtf8(statusLine);
  info.ResCode = StatusCodeValue(RegexFirstSubMatchView(engine, statusLine, StatusCodePattern));
  if (info.ResCode != 200) return;
  std::u16string_view charset = Trimmed(RegexFirstSubMatchView(engine, received, CharsetPattern));
  if (charset.empty()) charset = Trimmed(RegexFirstSubMatchView(engine, received, MetaCharsetPattern));
  info.Charset = Utf16ToUtf8(charset);
}

}  // namespace

void AnalyseResponse(TRegExp& engine, std::string answer, TPageInfo& info) {
  AnalyseHead(engine, answer, info);
  if (info.ResCode != 200) return;

  ConvertPageText(info.Charset, answer);
  JoinLines(answer);
  const std::u16string page = Cp932ToUtf16(answer);
  std::string().swap(answer);  // freed before the matching, which needs the page only

  info.Title = Utf16ToUtf8(RegexFirstSubMatchView(engine, page, TitlePattern));
  info.Description = MetaContent(engine, page, DescriptionPattern);
  info.Keywords = MetaContent(engine, page, KeywordsPattern);
  info.KbParents = MetaContent(engine, page, KbParentsPattern);
}

}  // namespace velt
