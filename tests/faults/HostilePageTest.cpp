// Pages built to make the page patterns retry every start: each pattern
// must end on them in time proportional to the page, with compiled code
// and in the interpreter that runs where none can be made. Today's quadratic
// searches take hours on such a page; the bound below is generous.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "crawler/AnswerBuffer.h"
#include "crawler/PageAnalysis.h"
#include "regex/CompiledPattern.h"

namespace velt::faults {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kSearchBound = std::chrono::seconds(10);

// A capped answer of `unit` repeated, closed as a page is closed.
std::u16string Repeated(std::u16string_view unit) {
  std::u16string page;
  page.reserve(MaxAnswerBytes + unit.size());
  while (page.size() < MaxAnswerBytes) page += unit;
  return page + u"</body></html>";
}

TEST(HostilePage, EveryPageSearchEndsInLinearTimeOnRepeatedOpenTags) {
  const std::u16string_view patterns[] = {StatusLinePattern, StatusCodePattern,  CharsetPattern,
                                          TitlePattern,      DescriptionPattern, KeywordsPattern,
                                          KbParentsPattern,  ContentPattern};
  const std::u16string_view units[] = {u"<title ", u"<title>x<", u"<meta ", u"<meta name=description ",
                                       u"<meta name=\"keywords\" content=\"", u"; charset=", u"HTTP/1.0 "};
  for (const std::u16string_view unit : units) {
    const std::u16string page = Repeated(unit);
    for (const bool compiledCode : {true, false}) {
      MatchScratch scratch(compiledCode);
      for (const std::u16string_view pattern : patterns) {
        SCOPED_TRACE(::testing::Message() << "unit \"" << std::string(unit.begin(), unit.end()) << "\", pattern "
                                        << std::string(pattern.begin(), pattern.end())
                                        << (compiledCode ? ", compiled" : ", interpreted"));
        const CompiledPattern compiled(pattern, true);
        MatchSpans spans;
        const auto start = Clock::now();
        compiled.Find(page, 0, scratch, spans);
        EXPECT_LT(Clock::now() - start, kSearchBound);
      }
    }
  }
}

}  // namespace
}  // namespace velt::faults
