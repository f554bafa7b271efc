// Capped answers built against the analysis: memory must stay within about
// three times the answer's size, and pages of open tags repeated must not
// make the page patterns retry every start (hours on such a page before,
// in the interpreter that runs where no compiled code can be made), also
// when the page never closes a tag at all.
#include <gtest/gtest.h>
#include <malloc.h>

#include <chrono>
#include <fstream>
#include <string>

#include "crawler/AnswerBuffer.h"
#include "crawler/PageAnalysis.h"
#include "regex/CompiledPattern.h"
#include "regex/VBScript_RegExp_55_TLB.h"

namespace velt::faults {
namespace {

std::size_t StatusBytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with(field + ":")) return std::stoull(line.substr(field.size() + 1)) * 1024;
  return 0;
}

template <typename Text>
Text Capped(Text text, std::basic_string_view<typename Text::value_type> unit) {
  while (text.size() + unit.size() <= MaxAnswerBytes) text += unit;
  return text;
}

TEST(HostilePage, ACappedAnswerIsAnalysedWithinThreeTimesItsSize) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' allocators keep freed memory and shadow what is used";
#endif
  // Page-sized blocks are mapped and given back one by one, so what one
  // case leaves to the allocator does not count against the next.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  const std::pair<std::string, std::string_view> cases[] = {{"Shift_JIS", "<p>text \x93\xFA\x96\x7B</p>\r\n"},
                                                            {"utf-8", "<p>text \xE6\x97\xA5\xE6\x9C\xAC</p>\r\n"},
                                                            {"EUC-JP", "<p>text \xC6\xFC\xCB\xDC</p>\r\n"},
                                                            {"", "<p>plain text only</p>\r\n"}};
  TRegExp engine;
  for (const auto& [charset, filler] : cases) {
    SCOPED_TRACE(charset);
    std::string answer = Capped("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=" + charset +
                                    "\r\n\r\n<meta name=keywords content=k>",
                                filler);
    const std::size_t size = answer.size();
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts afresh from here
    const std::size_t before = StatusBytes("VmRSS");
    TPageInfo info;
    AnalyseResponse(engine, std::move(answer), info);
    EXPECT_EQ(info.Keywords, "k");
    // The answer is already held: twice its size more, and a little.
    EXPECT_LT(StatusBytes("VmHWM") - before, 2 * size + size / 8);
  }
}

TEST(HostilePage, EveryPageSearchEndsInLinearTimeOnRepeatedOpenTags) {
  const std::u16string_view patterns[] = {StatusLinePattern, StatusCodePattern,  CharsetPattern,  TitlePattern,
                                          DescriptionPattern, KeywordsPattern, KbParentsPattern, ContentPattern,
                                          MetaCharsetPattern};
  const std::u16string_view units[] = {u"<title ", u"<title>x<", u"<meta ", u"<meta name=description ",
                                       u"<meta name=\"keywords\" content=\"", u"; charset=", u"HTTP/1.0 ",
                                       u"<meta charset="};
  // Closed at the page's end, or never: with no ">" at all, an attempt
  // fails only at the end of the page, and must not be made again from
  // every later start.
  const std::u16string_view ends[] = {u"</body></html>", u""};
  for (const std::u16string_view unit : units) {
    for (const std::u16string_view end : ends) {
      const std::u16string page = Capped(std::u16string(), unit) + std::u16string(end);
      for (const bool compiledCode : {true, false}) {
        MatchScratch scratch(compiledCode);
        for (const std::u16string_view pattern : patterns) {
          SCOPED_TRACE(::testing::Message() << std::string(unit.begin(), unit.end()) << " / " << end.size() << " / "
                                            << std::string(pattern.begin(), pattern.end()) << " / " << compiledCode);
          MatchSpans spans;
          const auto start = std::chrono::steady_clock::now();
          CompiledPattern(pattern, true).Find(page, 0, scratch, spans);
          // Well under a second each unloaded; an hour at the cap before.
          EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        }
      }
    }
  }
}

}  // namespace
}  // namespace velt::faults
