#include <gmock/gmock.h>
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

TEST(SplitFetchUrlTest, TakesTheSchemesPortAndNamesItInTheHostHeader) {
  const struct {
    const char* url;
    bool tls;
    const char* host;
    int port;
    const char* path;
    const char* hostHeader;
  } cases[] = {
      {"http://kb.example.test/default.aspx?scid=kb;ja;100000", false, "kb.example.test", 80,
       "/default.aspx?scid=kb;ja;100000", "kb.example.test:80"},
      {"http://host", false, "host", 80, "/", "host:80"},
      {"http://host:8080/x", false, "host", 8080, "/x", "host:8080"},
      {"https://host/x", true, "host", 443, "/x", "host:443"},
      {"https://10.0.0.1:8443/a:1", true, "10.0.0.1", 8443, "/a:1", "10.0.0.1:8443"},
      // No port number after the colon: the host keeps it, as SplitUrl leaves it.
      {"http://host:/x", false, "host:", 80, "/x", "host::80"},
      {"http://host:abc/x", false, "host:abc", 80, "/x", "host:abc:80"},
      {"http://host:65536/x", false, "host:65536", 80, "/x", "host:65536:80"},
      {"https://", true, "", 443, "/", ":443"},
  };
  for (const auto& c : cases) {
    FetchTarget target;
    ASSERT_TRUE(SplitFetchUrl(c.url, target)) << c.url;
    EXPECT_EQ(target.tls, c.tls) << c.url;
    EXPECT_EQ(target.host, c.host) << c.url;
    EXPECT_EQ(target.port, c.port) << c.url;
    EXPECT_EQ(target.path, c.path) << c.url;
    EXPECT_EQ(target.HostHeader(), c.hostHeader) << c.url;
  }
  for (const char* url : {"HTTPS://host/", "ftp://host/", " https://host/", "https:/host"}) {
    FetchTarget target;
    target.host = "(untouched)";
    EXPECT_FALSE(SplitFetchUrl(url, target)) << url;
    EXPECT_EQ(target.host, "(untouched)") << url;
  }
}

TEST(SiteBaseUrlErrorTest, AcceptsSchemeHostPortAndPathWithinTheLengthOnly) {
  const std::string longest = "http://h/" + std::string(94 - 9, 'p');
  for (const std::string& url :
       {std::string("http://localhost/default.aspx?scid=kb;ja;"), std::string("https://kb.example.test:8443/kb/"),
        std::string("http://10.0.0.1/a?b=c&d="), longest}) {
    EXPECT_EQ(SiteBaseUrlError(url), "") << url;
  }
  for (const std::string& url :
       {longest + "p", std::string("ftp://host/"), std::string("HTTP://host/"), std::string("http://host"),
        std::string("http:///path"), std::string("http://host:0/"), std::string("http://host:65536/"),
        std::string("http://host:/"), std::string("http://user@host/"), std::string("http://-host/"),
        std::string("http://host/a b"), std::string("http://host/a\r\nX: y"), std::string("http://host/#"),
        std::string("http://host/\xE3\x81\x82"), std::string("")}) {
    const std::string error = SiteBaseUrlError(url);
    EXPECT_NE(error, "") << url;
    EXPECT_THAT(error, testing::StartsWith("the ")) << url;
  }
  // The brackets' colons are no port: the message names what is wrong.
  EXPECT_THAT(SiteBaseUrlError("http://[::1]/kb/"), testing::HasSubstr("IPv4"));
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
