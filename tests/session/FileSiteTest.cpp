// Whether a crawl of a site may go into a file that already holds articles.
#include <gtest/gtest.h>

#include <string>

#include "session/FileSite.h"

namespace velt {
namespace {

using Kind = FileSiteVerdict::Kind;

TEST(FileSite, OnlyTheFilesOwnHostMayCrawlIntoIt) {
  struct Case {
    std::string stored, site;
    Kind kind;
  };
  const std::string path = "/data/a.mdb";
  const Case cases[] = {
      {"", "http://b.test/kb/", Kind::Same},  // an empty file takes any site
      {"http://a.test/kb/100000", "http://a.test/kb/", Kind::Same},
      {"http://a.test:80/kb/100000", "http://A.TEST/other/", Kind::Same},
      {"http://a.test/kb/100000", "https://a.test/kb/", Kind::Moved},
      {"http://a.test/kb/100000", "http://a.test:8080/kb/", Kind::Moved},
      {"http://a.test/kb/100000", "http://b.test/kb/", Kind::Other},
      {"https://a.test/kb/100000", "http://a.test.b.test/kb/", Kind::Other},
      {"http://127.0.0.1/kb/100000", "http://localhost/kb/", Kind::Other},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored + " / " + c.site);
    const FileSiteVerdict verdict = JudgeFileSite(c.stored, c.site, path);
    EXPECT_EQ(verdict.kind, c.kind);
    if (c.kind == Kind::Other) {
      for (const std::string& named : {path, std::string("--database")}) {
        EXPECT_NE(verdict.text.find(named), std::string::npos) << verdict.text;
      }
    }
    if (c.kind == Kind::Moved) {
      EXPECT_NE(verdict.text.find(c.site.substr(0, c.site.find('/', 8))), std::string::npos) << verdict.text;
    }
  }
  // The refusal names both hosts.
  const std::string text = JudgeFileSite("http://a.test/kb/1", "http://b.test/kb/", path).text;
  EXPECT_NE(text.find("a.test"), std::string::npos);
  EXPECT_NE(text.find("b.test"), std::string::npos);
}

}  // namespace
}  // namespace velt
