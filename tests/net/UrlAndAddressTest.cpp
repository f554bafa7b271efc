#include <gtest/gtest.h>

#include "net/Http.h"

namespace velt {
namespace {

struct Split {
  bool ok;
  std::string host, path;
};

Split SplitOf(const std::string& url) {
  Split split{false, "(untouched)", "(untouched)"};
  split.ok = SplitUrl(url, split.host, split.path);
  return split;
}

TEST(SplitUrlTest, SplitsAtTheFirstSlashAfterTheScheme) {
  const struct {
    const char* url;
    const char* host;
    const char* path;
  } cases[] = {
      {"http://host", "host", "/"},
      {"http://host/", "host", "/"},
      {"http://host/a/b?c=d", "host", "/a/b?c=d"},
      {"http://", "", "/"},
      {"http://host:8080/x", "host:8080", "/x"},
      {"http://kb.example.test/default.aspx?scid=kb;ja;100000", "kb.example.test",
       "/default.aspx?scid=kb;ja;100000"},
  };
  for (const auto& c : cases) {
    const Split split = SplitOf(c.url);
    EXPECT_TRUE(split.ok) << c.url;
    EXPECT_EQ(split.host, c.host) << c.url;
    EXPECT_EQ(split.path, c.path) << c.url;
  }
}

TEST(SplitUrlTest, RefusesOtherPrefixesAndLeavesOutputsAlone) {
  for (const char* url : {"HTTP://host/", " http://host/", "https://host/", "xhttp://host/", "http:/", ""}) {
    const Split split = SplitOf(url);
    EXPECT_FALSE(split.ok) << url;
    EXPECT_EQ(split.host, "(untouched)") << url;
    EXPECT_EQ(split.path, "(untouched)") << url;
  }
}

TEST(IsByteNumberTest, FollowsTheGeneralIntegerRules) {
  for (const char* text : {"0", "255", "+7", "-0", "007", " 9", "   12", "$FF", "$ff", "x1A", "X1a", "0x10",
                           "0XfF", "0x000000FF"}) {
    EXPECT_TRUE(IsByteNumber(text)) << '"' << text << '"';
  }
  for (const char* text : {"256", "-1", "", " ", "1 ", "1a", "+", "-", "$", "0x", "x", "+$1", "-0x1", "9\t",
                           "\t9", "1.0", "99999999999", "$100", "$FFFFFFFF", "$1FFFFFFFF", "0x", "2147483648"}) {
    EXPECT_FALSE(IsByteNumber(text)) << '"' << text << '"';
  }
}

TEST(IsDottedQuadTest, NeedsFourByteNumbersAndExactlyThreeDots) {
  for (const char* text : {"10.0.0.1", "127.0.0.1", "255.255.255.255", "$7F.0.0.1", " 1.+2.003.0x4"}) {
    EXPECT_TRUE(IsDottedQuad(text)) << text;
  }
  for (const char* text : {"10.0.1", "10.0.0.0.1", "10..0.1", "10.0.0.256", "10.0.0.", ".10.0.0", "...",
                           "localhost", "10.0.0.1 ", "a.b.c.d"}) {
    EXPECT_FALSE(IsDottedQuad(text)) << text;
  }
}

}  // namespace
}  // namespace velt
