// AnalyseResponse and ConvertPageText on arbitrary answers: the page
// record keeps its invariants and every text in it is well-formed UTF-8.
#include <array>
#include <cstdint>
#include <string>

#include "crawler/PageAnalysis.h"
#include "crawler/PageText.h"
#include "platform/Error.h"
#include "regex/VBScript_RegExp_55_TLB.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using velt::ContainsNoCase;
using velt::fuzz::IsValidUtf8;
using velt::fuzz::Require;

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

void CheckAnalysis(velt::TRegExp& engine, std::string_view answer) {
  velt::TPageInfo info;
  try {
    velt::AnalyseResponse(engine, std::string(answer), info);
  } catch (const velt::Error& e) {
    // An engine that gives up on a pattern is an allowed outcome, but it
    // must say why.
    Require(e.what()[0] != '\0', "regular-expression error without a text");
    return;
  }
  Require(info.ResCode >= 0, "negative status code");
  for (const std::string* text :
       {&info.StatusLine, &info.Charset, &info.Title, &info.Description, &info.Keywords, &info.KbParents})
    Require(IsValidUtf8(*text), "page record holds invalid UTF-8");
  if (info.ResCode != 200) {
    Require(info.Charset.empty() && info.Title.empty() && info.Description.empty() && info.Keywords.empty() &&
                info.KbParents.empty(),
            "page texts set for an answer other than 200");
    return;
  }
  Require(ContainsNoCase(info.StatusLine.substr(0, 5), "HTTP/"), "status 200 without a status line");
  Require(info.Title.find('<') == std::string::npos, "title runs into a tag");
  Require(!HasLineBreak(info.Title) && !HasLineBreak(info.Description) && !HasLineBreak(info.Keywords) &&
              !HasLineBreak(info.KbParents),
          "line break left in a page text");
  for (const std::string* meta : {&info.Description, &info.Keywords, &info.KbParents})
    Require(meta->find_first_of("\">") == std::string::npos, "meta content runs past its quote");
}

void CheckConversion(std::string_view charset, std::string_view text) {
  Require(velt::DecodePageUtf8(text).size() <= text.size(), "UTF-8 decoding grew the text");
  std::string page(text);
  velt::ConvertPageText(charset, page);
  if (ContainsNoCase(charset, "Shift_JIS")) Require(page == text, "Shift_JIS page was changed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static velt::TRegExp engine;
  static constexpr std::array<std::string_view, 6> kCharsets = {"",       "Shift_JIS",   "utf-8",
                                                                "EUC-JP", "iso-2022-jp", "x-sjis"};
  const std::string_view input = velt::fuzz::AsText(data, size);
  CheckAnalysis(engine, input);
  if (!input.empty())
    CheckConversion(kCharsets[static_cast<unsigned char>(input[0]) % kCharsets.size()], input.substr(1));
  return 0;
}
