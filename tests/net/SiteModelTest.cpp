// The sample site's model, page encodings, answers, request reading and
// options: what end-to-end tests rely on when they compare stored rows with
// what the site served.
#include <map>
#include <set>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/Encoding.h"
#include "tools/kbsite/PageEncoder.h"
#include "tools/kbsite/SiteAnswer.h"
#include "tools/kbsite/SiteModel.h"
#include "tools/kbsite/SiteOptions.h"
#include "tools/kbsite/SiteRequest.h"

namespace velt::kbsite {
namespace {

using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

constexpr int kSample = 3000;

bool HasHalfWidthKana(const std::string& utf8) {
  for (char16_t c : Utf8ToUtf16(utf8)) {
    if (c >= 0xFF61 && c <= 0xFF9F) return true;
  }
  return false;
}

std::string Without(std::string text, const std::string& cut) {
  for (auto at = text.find(cut); at != std::string::npos; at = text.find(cut)) text.erase(at, cut.size());
  return text;
}

TEST(SiteModelTest, ArticlesDependOnlyOnSeedAndNumber) {
  const SiteModel a(5), b(5), c(6);
  int differ = 0;
  for (int n = 100000; n < 100200; ++n) {
    EXPECT_EQ(FormatServedLine(a.ArticleFor(n), "x"), FormatServedLine(b.ArticleFor(n), "x"));
    differ += FormatServedLine(a.ArticleFor(n), "x") != FormatServedLine(c.ArticleFor(n), "x");
  }
  EXPECT_GT(differ, 100);
  EXPECT_EQ(a.ArticleFor(99999).status, 404);
  EXPECT_EQ(a.ArticleFor(1000000).status, 404);
}

TEST(SiteModelTest, CoversEveryCaseTheCrawlerMustHandle) {
  const SiteModel model(1);
  std::map<int, int> statuses;
  std::set<std::string> charsets;
  std::set<PageEncoding> undeclared;
  bool quote = false, ampersand = false, halfWidth = false, lacking = false, split = false, metaOnly = false;
  for (int n = 100000; n < 100000 + kSample; ++n) {
    const Article article = model.ArticleFor(n);
    ++statuses[article.status];
    if (article.status != 200) {
      EXPECT_TRUE(article.title.empty() && article.description.empty() && article.keywords.empty() &&
                  article.kbParents.empty());
      continue;
    }
    charsets.insert(article.charset);
    if (article.charset.empty()) undeclared.insert(article.encoding);
    quote |= article.title.find('"') != std::string::npos;
    ampersand |= article.title.find('&') != std::string::npos;
    halfWidth |= HasHalfWidthKana(article.title + article.description);
    lacking |= Utf8ToCp932(article.title + article.description).find('?') != std::string::npos;
    split |= article.titleSplit;
    metaOnly |= !article.charset.empty() && !article.charsetInHeader;
  }
  EXPECT_GT(statuses[200], kSample * 7 / 10);
  EXPECT_GT(statuses[302], 0);
  EXPECT_GT(statuses[404], 0);
  EXPECT_GT(statuses[500], 0);
  for (const char* name : {"Shift_JIS", "sHiFt_JiS", "EUC-JP", "euc-jp", "ISO-2022-JP", "UTF-8", "uTF-8", ""}) {
    EXPECT_EQ(charsets.count(name), 1u) << name;
  }
  EXPECT_EQ(undeclared.size(), 2u);
  EXPECT_TRUE(quote && ampersand && halfWidth && lacking && split && metaOnly);
}

TEST(SiteModelTest, TextsSurviveTheirPageEncodingAndTheAnalysersPatterns) {
  const SiteModel model(3);
  for (int n = 100000; n < 100000 + kSample; ++n) {
    const Article a = model.ArticleFor(n);
    if (a.status != 200) continue;
    const std::string all = a.title + a.description + a.keywords + a.kbParents;
    EXPECT_EQ(all.find_first_of("\t\r\n<>"), std::string::npos) << n;
    EXPECT_EQ((a.description + a.keywords).find('"'), std::string::npos) << n;
    EXPECT_EQ(a.kbParents.find_first_of("\" /"), std::string::npos) << n;  // written unquoted
    if (a.encoding != PageEncoding::Utf8) {
      EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(all)), all) << n;
    }
    if (a.encoding == PageEncoding::Iso2022Jp || a.charset.empty()) {
      EXPECT_FALSE(HasHalfWidthKana(all)) << n;
    }
  }
}

TEST(PageEncoderTest, ProducesTheStandardBytes) {
  // あ, 漢 and half-width ｱ
  const std::string text = "a\xE3\x81\x82\xE6\xBC\xA2\xEF\xBD\xB1";
  EXPECT_EQ(EncodePage(text, PageEncoding::ShiftJis), "a\x82\xA0\x8A\xBF\xB1");
  EXPECT_EQ(EncodePage(text, PageEncoding::EucJp), "a\xA4\xA2\xB4\xC1\x8E\xB1");
  EXPECT_EQ(EncodePage(text, PageEncoding::Iso2022Jp), "a\x1B$B$\"4A\x1B(B?");
  EXPECT_EQ(EncodePage("\xE3\x81\x82\r\nb", PageEncoding::Iso2022Jp), "\x1B$B$\"\x1B(B\r\nb");
  EXPECT_EQ(EncodePage(text, PageEncoding::Utf8), text);
}

TEST(SiteAnswerTest, PagesCarryTheValuesOnceWithTheDeclaredCharset) {
  const SiteModel model(2);
  int checked = 0;
  for (int n = 100000; n < 100400; ++n) {
    const Article a = model.ArticleFor(n);
    const std::string answer = RenderAnswer(a, 4000, AnswerShape::Normal);
    if (a.status != 200) {
      EXPECT_THAT(answer, StartsWith("HTTP/1.1 " + std::to_string(a.status) + " "));
      if (a.status == 302) {
        EXPECT_THAT(answer, HasSubstr("\r\nLocation: "));
      }
      continue;
    }
    EXPECT_GE(answer.size(), 4000u);
    const auto marker = answer.find(std::string(kMarker));
    ASSERT_NE(marker, std::string::npos);
    EXPECT_EQ(answer.find(std::string(kMarker), marker + 1), std::string::npos);
    const auto charset = answer.find("; charset=");
    if (a.charset.empty()) {
      EXPECT_EQ(answer.find("charset"), std::string::npos) << n;
    } else {
      EXPECT_EQ(answer.substr(charset + 10, a.charset.size()), a.charset) << n;
      EXPECT_EQ(charset < answer.find("\r\n\r\n"), a.charsetInHeader) << n;
    }
    if (a.encoding == PageEncoding::ShiftJis || a.encoding == PageEncoding::Utf8) {
      const std::string page = Without(Cp932ToUtf8(a.encoding == PageEncoding::Utf8 ? Utf8ToCp932(answer) : answer),
                                       "\r\n");
      const std::string title = Cp932ToUtf8(Utf8ToCp932(a.title));
      EXPECT_THAT(page, HasSubstr("<title>" + title + "</title>")) << n;
      EXPECT_LT(page.find("<title>"), page.find(std::string(kMarker)));
      ++checked;
    }
    EXPECT_THAT(answer, HasSubstr(EncodePage("name=kbparents content=" + a.kbParents + ">", a.encoding)));
  }
  EXPECT_GT(checked, 50);
}

TEST(SiteAnswerTest, ShapesBreakTheAnswerAsAsked) {
  const Article a = SiteModel(1).ArticleFor(100001);
  const std::string normal = RenderAnswer(a, 0, AnswerShape::Normal);
  EXPECT_EQ(RenderAnswer(a, 0, AnswerShape::BlankLineFirst), "\r\n" + normal);
  EXPECT_EQ(RenderAnswer(a, 0, AnswerShape::NoStatusLine), normal.substr(normal.find("\r\n") + 2));
  EXPECT_THAT(RenderAnswer(a, 0, AnswerShape::NoMarker), Not(HasSubstr(std::string(kMarker))));
  EXPECT_THAT(RenderEndlessStart(a), Not(HasSubstr(std::string(kMarker))));
}

TEST(SiteRequestTest, FindsTheArticleInTheRequestLineOnly) {
  EXPECT_EQ(RequestedArticle("GET /default.aspx?scid=kb;ja;123456 HTTP/1.0\r\nHOST: h:80\r\n\r\n"), 123456);
  EXPECT_EQ(RequestedArticle("get /default.aspx?scid=KB;JA;100000\n\n"), 100000);
  EXPECT_EQ(RequestedArticle("GET / HTTP/1.0\r\nReferer: /x?scid=kb;ja;123456\r\n\r\n"), -1);
  EXPECT_EQ(RequestedArticle("GET /default.aspx?scid=kb;ja; HTTP/1.0"), -1);
  EXPECT_TRUE(RequestHeadComplete("GET / HTTP/1.0\n\n"));
  EXPECT_FALSE(RequestHeadComplete("GET / HTTP/1.0\r\nHOST: h\r\n"));
}

TEST(SiteOptionsTest, ParsesListsAndRefusesNonsense) {
  const char* argv[] = {"kbsite", "--port", "8080", "--seed", "9", "--silent", "100001,100003-100005",
                        "--drip", "100003", "--no-marker", "100007"};
  SiteOptions options;
  std::string error;
  ASSERT_TRUE(ParseSiteOptions(11, argv, options, error)) << error;
  EXPECT_EQ(options.port, 8080);
  EXPECT_EQ(options.seed, 9u);
  EXPECT_EQ(options.silent, (std::set<int>{100001, 100003, 100004, 100005}));
  // Never answering wins over any other misbehaviour.
  EXPECT_EQ(options.BehaviourFor(100003), Behaviour::Silent);
  EXPECT_EQ(options.BehaviourFor(100007), Behaviour::NoMarker);
  EXPECT_EQ(options.BehaviourFor(100008), Behaviour::Normal);

  for (std::vector<const char*> bad : {std::vector<const char*>{"kbsite", "--port"},
                                       {"kbsite", "--port", "0"},
                                       {"kbsite", "--port", "80x"},
                                       {"kbsite", "--silent", "100005-100001"},
                                       {"kbsite", "--silent", "100001,,100002"},
                                       {"kbsite", "--unknown", "1"}}) {
    SiteOptions ignored;
    EXPECT_FALSE(ParseSiteOptions(static_cast<int>(bad.size()), bad.data(), ignored, error)) << bad.back();
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace velt::kbsite
