// Pages of several megabytes: the page-analysis patterns must find their
// values (or none) without deep recursion, stack growth or engine limits.
#include <gtest/gtest.h>

#include "platform/Error.h"
#include "regex/VBScript_RegExp_55_TLB.h"
#include "tests/regex/PagePatterns.h"

namespace velt {
namespace {

using namespace velt::testing;

constexpr std::size_t kPageSize = 4 * 1024 * 1024;

// About kPageSize units of article body: Japanese paragraphs, links and
// tables, with no title or meta tag in it.
std::u16string Body() {
  const std::u16string paragraph =
      u"<p class=\"body\">この資料では、システムの再起動後に <b>エラー</b> が表示される問題について"
      u"説明します。<a href=\"/default.aspx?scid=kb;ja;123456\">関連資料</a>を参照してください。</p>\r\n"
      u"<table><tr><td>項目</td><td>値 = \"設定\"; 既定</td></tr></table>\r\n";
  std::u16string body;
  body.reserve(kPageSize + paragraph.size());
  while (body.size() < kPageSize) body += paragraph;
  return body;
}

class LargePageTest : public ::testing::Test {
 protected:
  std::u16string First(std::u16string_view text, std::u16string_view pattern) {
    return RegexFirstSubMatch(engine_, text, pattern);
  }
  TRegExp engine_;
  const std::u16string body_ = Body();
};

TEST_F(LargePageTest, ValuesAtTheEndOfAHugePageAreFound) {
  const std::u16string answer = u"HTTP/1.1 200 OK\r\nServer: x\r\n\r\n<html><head>" + body_ +
                                u"<title>最後のタイトル</title>"
                                u"<meta name=\"description\" content=\"末尾の説明\">"
                                u"<meta name=\"keywords\" content=\"kbHowTo\"></head></html>";
  EXPECT_EQ(First(answer, kStatusLine), u"HTTP/1.1 200 OK");
  EXPECT_EQ(First(answer, kCharset), u"");
  EXPECT_EQ(First(answer, kTitle), u"最後のタイトル");
  EXPECT_EQ(First(First(answer, kDescription), kContent), u"末尾の説明");
  EXPECT_EQ(First(First(answer, kKeywords), kContent), u"kbHowTo");
}

// Open tags that never close make the repeats run to the end of the page
// and give everything back; the search must still end with "no match".
TEST_F(LargePageTest, UnclosedTagsRunToTheEndAndFail) {
  EXPECT_EQ(First(u"<title>" + body_, kTitle), u"");
  EXPECT_EQ(First(u"<meta name=description " + std::u16string(kPageSize, u'x'), kDescription), u"");
  EXPECT_EQ(First(u"<title>" + std::u16string(kPageSize, u'y'), kTitle), u"");
}

TEST_F(LargePageTest, AHugeValueIsTakenWhole) {
  const std::u16string text(kPageSize, u'本');
  EXPECT_EQ(First(u"<title>" + text + u"</title>", kTitle), text);
  EXPECT_EQ(First(u"; charset=" + text + u">", kCharset), text);
}

// A repeated group keeps one backtracking entry per repetition: a million
// of them fit; several million exceed the engine's bound and raise.
TEST_F(LargePageTest, DeepBacktrackingFitsOrRaisesCleanly) {
  std::u16string pairs;
  for (int i = 0; i < 500000; ++i) pairs += u"ab";
  engine_.SetPattern(u"(?:a|b)*c");
  EXPECT_EQ(engine_.Execute(pairs + u"c").Count(), 1);
  while (pairs.size() < 2 * kPageSize) pairs += pairs;
  EXPECT_THROW(engine_.Execute(pairs + u"c"), Error);
}

}  // namespace
}  // namespace velt
