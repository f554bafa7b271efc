#include <gtest/gtest.h>

#include "platform/Error.h"
#include "regex/VBScript_RegExp_55_TLB.h"
#include "tests/regex/PagePatterns.h"

namespace velt {
namespace {

using namespace velt::testing;

class RegexFirstSubMatchTest : public ::testing::Test {
 protected:
  std::u16string First(std::u16string_view text, std::u16string_view pattern) {
    return RegexFirstSubMatch(engine_, text, pattern);
  }
  TRegExp engine_;
};

TEST_F(RegexFirstSubMatchTest, StatusLineIsAnchoredAndCaseBlind) {
  EXPECT_EQ(First(u"HTTP/1.1 302 Found\r\nLocation: x\r\n", kStatusLine), u"HTTP/1.1 302 Found");
  EXPECT_EQ(First(u"HTTP/1.1 404 Not Found\r\n", kStatusLine), u"HTTP/1.1 404 Not");
  EXPECT_EQ(First(u"http/1.0 200 ok\r\n", kStatusLine), u"http/1.0 200 ok");
  EXPECT_EQ(First(u"\r\nHTTP/1.1 200 OK\r\n", kStatusLine), u"");
  EXPECT_EQ(First(u"HTTP/1.1 200 OK", kStatusCode), u"200");
  EXPECT_EQ(First(u"HTTP/1.1 99999999999 OK", kStatusCode), u"99999999999");
}

TEST_F(RegexFirstSubMatchTest, CharsetIsTheFirstParameterAfterASemicolon) {
  const std::u16string answer =
      u"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
      u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">";
  EXPECT_EQ(First(answer, kCharset), u"utf-8");
  EXPECT_EQ(First(u"<meta content=\"text/html; CHARSET = \"euc-jp\">", kCharset), u"");
  EXPECT_EQ(First(u"<meta content=\"text/html; CHARSET = euc-jp\">", kCharset), u"euc-jp");
  EXPECT_EQ(First(u"no parameter here", kCharset), u"");
}

TEST_F(RegexFirstSubMatchTest, TitleIsTakenWhole) {
  EXPECT_EQ(First(u"<TITLE>A</TITLE>", kTitle), u"A");
  EXPECT_EQ(First(u"<title lang=\"ja\"> 表示の問題 </title>", kTitle), u" 表示の問題 ");
  EXPECT_EQ(First(u"<title>a<b</title>", kTitle), u"");
  EXPECT_EQ(First(u"<title></title>", kTitle), u"");
}

TEST_F(RegexFirstSubMatchTest, MetaTagThenItsContent) {
  const std::u16string page =
      u"<meta name=\"keywords\" content=\"kbJpn,x\" />"
      u"<META NAME=\"description\" CONTENT=\"説明の文\" />";
  const std::u16string attributes = First(page, kDescription);
  EXPECT_EQ(attributes, u"CONTENT=\"説明の文\" /");
  EXPECT_EQ(First(attributes, kContent), u"説明の文");
  EXPECT_EQ(First(First(u"<meta name=keywords content=a,b>", kKeywords), kContent), u"a,b");
  EXPECT_EQ(First(u"<meta content=\"abc\" name=\"description\">", kDescription), u"");
  EXPECT_EQ(First(First(u"<meta name=\"description\">", kDescription), kContent), u"");
}

// Whatever an earlier user of the engine left set, each call sets its own
// pattern and flags.
TEST_F(RegexFirstSubMatchTest, FlagsAreSetOnEveryCall) {
  engine_.SetIgnoreCase(false);
  engine_.SetGlobal(true);
  engine_.SetPattern(u"unrelated");
  EXPECT_EQ(First(u"<TITLE>x</TITLE><title>y</title>", kTitle), u"x");
  EXPECT_TRUE(engine_.IgnoreCase());
  EXPECT_FALSE(engine_.Global());
  EXPECT_EQ(engine_.Pattern(), kTitle);
}

TEST_F(RegexFirstSubMatchTest, NoGroupOrNoMatchGivesTheEmptyText) {
  EXPECT_EQ(First(u"abc", u"b"), u"");
  EXPECT_EQ(First(u"abc", u"(x)"), u"");
  EXPECT_EQ(First(u"abc", u"a(x)?"), u"");
  EXPECT_THROW(First(u"abc", u"(b"), Error);
}

}  // namespace
}  // namespace velt
