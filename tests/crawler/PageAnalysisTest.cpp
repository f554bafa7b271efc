#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "crawler/PageAnalysis.h"
#include "platform/Encoding.h"
#include "regex/VBScript_RegExp_55_TLB.h"

namespace velt {
namespace {

std::string Ok(const std::string& headers, const std::string& body) {
  return "HTTP/1.1 200 OK\r\n" + headers + "\r\n\r\n" + body;
}

TPageInfo Analyse(const std::string& answer) {
  TRegExp engine;
  TPageInfo info;
  AnalyseResponse(engine, answer, info);
  return info;
}

TEST(PageAnalysisTest, StatusLineAndCode) {
  struct Case {
    std::string answer;
    std::string statusLine;
    int resCode;
  };
  const Case cases[] = {
      {"HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n", "HTTP/1.1 302 Found", 302},
      {"HTTP/1.1 404 Not Found\r\n\r\n", "HTTP/1.1 404 Not", 404},
      {"http/1.0 200 ok\r\n\r\n", "http/1.0 200 ok", 200},
      {"HTTP/1.0 0200 OK\r\n\r\n", "HTTP/1.0 0200 OK", 200},
      {"HTTP/1.1 2147483647 Big\r\n\r\n", "HTTP/1.1 2147483647 Big", 2147483647},
      {"HTTP/1.1 2147483648 Big\r\n\r\n", "HTTP/1.1 2147483648 Big", 0},
      {"HTTP/1.1 99999999999999999999 Big\r\n\r\n", "HTTP/1.1 99999999999999999999 Big", 0},
      {"\r\nHTTP/1.1 200 OK\r\n\r\n", "", 0},  // text before the status line
      {"<html><title>T</title></html>", "", 0},
      {"", "", 0},
      // Without a word after the code the blanks run on to the next word.
      {"HTTP/1.1 200\r\n\r\n<p>", "HTTP/1.1 200\r\n\r\n<p>", 200},
  };
  for (const Case& c : cases) {
    const TPageInfo info = Analyse(c.answer);
    EXPECT_EQ(info.StatusLine, c.statusLine) << c.answer;
    EXPECT_EQ(info.ResCode, c.resCode) << c.answer;
  }
}

TEST(PageAnalysisTest, OnlyStatus200IsReadFurther) {
  const std::string page =
      "Content-Type: text/html; charset=utf-8\r\n\r\n<title>T</title><meta name=keywords content=k>";
  for (const char* status : {"HTTP/1.1 302 Found\r\n", "HTTP/1.1 500 Error\r\n", "\r\n"}) {
    const TPageInfo info = Analyse(status + page);
    EXPECT_EQ(info.Charset, "") << status;
    EXPECT_EQ(info.Title, "") << status;
    EXPECT_EQ(info.Keywords, "") << status;
  }
  EXPECT_EQ(Analyse("HTTP/1.1 200 OK\r\n" + page).Keywords, "k");
}

TEST(PageAnalysisTest, Title) {
  EXPECT_EQ(Analyse(Ok("", "<TITLE>A</TITLE>")).Title, "A");
  EXPECT_EQ(Analyse(Ok("", "<title lang=\"ja\">Two\r\nLines\n</title>")).Title, "TwoLines");
  EXPECT_EQ(Analyse(Ok("", "<title>\tTabbed  </title>")).Title, " Tabbed  ");  // not trimmed
  EXPECT_EQ(Analyse(Ok("", "<title>a < b</title>")).Title, "");
  EXPECT_EQ(Analyse(Ok("", "<title>say \"hi\"</title>")).Title, "say \"hi\"");
  EXPECT_EQ(Analyse(Ok("", "<body>no title</body>")).Title, "");
  // A zero byte could not be stored with the row; it is dropped like a line break.
  EXPECT_EQ(Analyse(Ok("", std::string("<title>N\0U\0L</title>", 20))).Title, "NUL");
}

TEST(PageAnalysisTest, MetaValues) {
  struct Case {
    std::string tag;
    std::string description;
  };
  const Case cases[] = {
      {"<meta name=\"description\" content=\"abc\" />", "abc"},
      {"<META NAME=Description CONTENT=\"x y\">", "x y"},
      {"<meta content=\"abc\" name=\"description\">", ""},  // the name must come first
      {"<meta name=\"description\">", ""},
      {"<meta name=\"description\"\r\n  content=\"joined\r\nlines\">", "joinedlines"},
      {"<meta name=\"description\" content=\"  spaced  \">", "  spaced  "},
      {"<meta name=\"description\" content=>", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Analyse(Ok("", c.tag)).Description, c.description) << c.tag;
  }
  const TPageInfo info = Analyse(Ok("",
                                    "<meta name=keywords content=a,b>"
                                    "<meta name=\"kbparents\" content=\"p1;p2\">"
                                    "<meta name=\"keywords\" content=\"second\">"));
  EXPECT_EQ(info.Keywords, "a,b");  // first match only
  EXPECT_EQ(info.KbParents, "p1;p2");
  EXPECT_EQ(info.Description, "");
}

TEST(PageAnalysisTest, CharsetChoosesTheConversion) {
  const std::string title = "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本, UTF-8
  {
    const TPageInfo info =
        Analyse(Ok("Content-Type: text/html; charset= utf-8 ", "<title>" + title + "\xC3\xA9</title>"));
    EXPECT_EQ(info.Charset, "utf-8");
    EXPECT_EQ(info.Title, title + "?");  // é is lost on the way through code page 932
  }
  {
    const TPageInfo info = Analyse(Ok("Content-Type: text/html; charset=EUC-JP",
                                      "<meta http-equiv=x content=\"text/html; charset=shift_jis\">"
                                      "<title>\xC6\xFC\xCB\xDC</title>"));
    EXPECT_EQ(info.Charset, "EUC-JP");  // the first declaration wins
    EXPECT_EQ(info.Title, title);
  }
  {
    // Declared only in the page, and not at all.
    EXPECT_EQ(Analyse(Ok("", "<meta content=\"text/html;charset=Shift_JIS\"><title>\x93\xFA\x96\x7B</title>")).Title,
              title);
    EXPECT_EQ(Analyse(Ok("", "<title>\x1B$BF|K\\\x1B(J</title>")).Title, title);
  }
}

TEST(PageAnalysisTest, QuotedAndMetaOnlyCharsetsAreRead) {
  const std::string title = "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本, UTF-8
  const struct {
    const char* headers;
    std::string body;
    const char* charset;
  } cases[] = {
      {"Content-Type: text/html; charset=\"utf-8\"", "", "utf-8"},
      {"Content-Type: text/html", "<meta charset=\"UTF-8\">", "UTF-8"},
      {"", "<head><META CHARSET='utf-8' /></head>", "utf-8"},
      {"", "<meta charset=utf-8>", "utf-8"},
      // A "; charset=" anywhere still comes first.
      {"", "<meta charset=\"shift_jis\"><meta content=\"text/html; charset=utf-8\">", "utf-8"},
  };
  for (const auto& c : cases) {
    const TPageInfo info = Analyse(Ok(c.headers, c.body + "<title>" + title + "</title>"));
    EXPECT_EQ(info.Charset, c.charset) << c.headers << c.body;
    EXPECT_EQ(info.Title, title) << c.headers << c.body;
  }
}

TEST(PageAnalysisTest, AnswersCutInsideTheirLastCharacterKeepTheirValues) {
  // The answer ends wherever the chunk that brought the marker ended.
  const std::string head = "<title>T</title><meta name=keywords content=k><p>";
  struct Case {
    const char* charset;
    std::string lastCharacter;
  };
  const Case cases[] = {
      {"utf-8", "\xE8\xAA\x9E"},   // 語
      {"utf-8", "\xC3\xA9"},       // é
      {"Shift_JIS", "\x8C\xEA"},   // 語
      {"EUC-JP", "\xB8\xEC"},
      {"", "\xB8\xEC"},
  };
  for (const Case& c : cases) {
    const std::string whole = Ok(std::string("Content-Type: text/html; charset=") + c.charset, head + c.lastCharacter);
    for (size_t cut = 0; cut < c.lastCharacter.size(); ++cut) {
      const TPageInfo info = Analyse(whole.substr(0, whole.size() - cut));
      EXPECT_EQ(info.Title, "T") << c.charset << " cut " << cut;
      EXPECT_EQ(info.Keywords, "k") << c.charset << " cut " << cut;
    }
  }
}

TEST(PageAnalysisTest, ABrokenUtf8SequenceInsideThePageEmptiesEveryValue) {
  const TPageInfo info =
      Analyse(Ok("Content-Type: text/html; charset=utf-8", "<title>T</title>\xE6" "x<meta name=keywords content=k>"));
  EXPECT_EQ(info.ResCode, 200);
  EXPECT_EQ(info.Title, "");
  EXPECT_EQ(info.Keywords, "");
}

// Workers share the compiled patterns; each must still get its own page's
// values while the others search.
TEST(PageAnalysisTest, WorkersAnalysingAtOnceGetTheirOwnValues) {
  constexpr int kWorkers = 8;
  constexpr int kPages = 200;
  std::vector<std::thread> workers;
  std::vector<int> wrong(kWorkers, 0);
  for (int w = 0; w < kWorkers; ++w) {
    workers.emplace_back([w, &wrong] {
      TRegExp engine;
      for (int i = 0; i < kPages; ++i) {
        const std::string id = std::to_string(w) + "-" + std::to_string(i);
        TPageInfo info;
        AnalyseResponse(engine,
                        Ok("Content-Type: text/html; charset=utf-8",
                           "<title>t" + id + "</title><meta name=\"kbparents\" content=\"p" + id + "\">"),
                        info);
        if (info.Title != "t" + id || info.KbParents != "p" + id || info.Charset != "utf-8") ++wrong[w];
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(wrong, std::vector<int>(kWorkers, 0));
}

}  // namespace
}  // namespace velt
