// The page patterns that were told to skip hopeless starts find exactly
// what the plain patterns of the page analysis find: same match, same
// group, on random texts made of the pieces that the patterns look for,
// in compiled code and in the interpreter alike.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "crawler/PageAnalysis.h"
#include "regex/CompiledPattern.h"

namespace velt {
namespace {

std::u16string RandomText(std::mt19937& random) {
  static const std::u16string_view pieces[] = {
      u"<title", u"</title>", u"<meta", u"name", u"NAME", u"=", u"\"", u" ", u"\t", u">", u"<", u"x",
      u"description", u"keywords", u"kbparents", u"content", u"\u65e5"};
  std::u16string text;
  for (int n = std::uniform_int_distribution(0, 40)(random); n > 0; --n)
    text += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
  return text;
}

TEST(PagePatterns, FindWhatThePlainPatternsFind) {
  const std::pair<std::u16string_view, std::u16string_view> pairs[] = {
      {TitlePattern, uR"re(<title[^>]*>([^<]*)</title>)re"},
      {DescriptionPattern, uR"re(<meta[\s]*name[\s]*=[\s]*"?description"?[\s]*([^>]*)>)re"},
      {KeywordsPattern, uR"re(<meta[\s]*name[\s]*=[\s]*"?keywords"?[\s]*([^>]*)>)re"},
      {KbParentsPattern, uR"re(<meta[\s]*name[\s]*=[\s]*"?kbparents"?[\s]*([^>]*)>)re"}};
  std::mt19937 random(24);
  int hits = 0;
  for (const bool compiledCode : {true, false}) {
    MatchScratch scratch(compiledCode);
    for (int round = 0; round < 20000; ++round) {
      const std::u16string text = RandomText(random);
      for (const auto& [linear, plain] : pairs) {
        MatchSpans found, expected;
        const bool matched = SharedPattern(linear, true)->Find(text, 0, scratch, found);
        ASSERT_EQ(matched, SharedPattern(plain, true)->Find(text, 0, scratch, expected));
        if (matched) {
          ++hits;
          ASSERT_EQ(found.begin, expected.begin) << std::string(linear.begin(), linear.end());
          ASSERT_EQ(found.end, expected.end);
        }
      }
    }
  }
  EXPECT_GT(hits, 1000) << "the texts must reach matches often enough to compare them";
}

}  // namespace
}  // namespace velt
