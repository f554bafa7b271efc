// The client against the sample site, and the site itself (run through
// tests/run-in-netns.sh: the site listens on 127.0.0.1:80).
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "net/Http.h"
#include "platform/Encoding.h"
#include "platform/Error.h"
#include "tests/net/LoopbackPeer.h"
#include "tools/kbsite/SiteAnswer.h"
#include "tools/kbsite/SiteModel.h"
#include "tools/kbsite/SiteProcess.h"
#include "tools/kbsite/ThrowAwayCertificates.h"

namespace velt {
namespace {

using namespace std::chrono_literals;
using kbsite::SiteModel;
using kbsite::SiteProcess;
using testing::HasSubstr;
using testing::StartsWith;

std::string RequestFor(int number, const std::string& hostHeader = "127.0.0.1:80") {
  return "GET /default.aspx?scid=kb;ja;" + std::to_string(number) + " HTTP/1.0\r\nHOST: " + hostHeader +
         "\r\nUser-Agent: VeltIndexer test\r\n\r\n";
}

struct Fetched {
  std::string answer;
  std::vector<int> counts;
  std::string error;  // empty when the fetch returned
};

FetchTarget PlainSite() {
  FetchTarget target;
  target.host = "127.0.0.1";
  return target;
}

// Collects like the crawler: stops once the marker has arrived, unless told
// to read to the end.
Fetched Fetch(int number, bool stopAtMarker = true, const HttpTimeouts& timeouts = {},
              const FetchTarget& target = PlainSite()) {
  Fetched fetched;
  try {
    HttpRequest(target, RequestFor(number, target.HostHeader()), [&](const char* bytes, int count) {
      fetched.counts.push_back(count);
      fetched.answer.append(bytes, static_cast<std::size_t>(count));
      return !stopAtMarker || fetched.answer.find(kbsite::kMarker) == std::string::npos;
    }, timeouts);
  } catch (const Error& error) {
    fetched.error = error.what();
  }
  return fetched;
}

std::string LineFor(const std::vector<std::string>& lines, int number) {
  const std::string key = "kbid=" + std::to_string(number) + "\t";
  for (const auto& line : lines) {
    if (line.starts_with(key)) return line;
  }
  return "";
}

// The first number from `from` on with the wanted status (and encoding).
int FindArticle(const SiteModel& model, int status, int encoding = -1, int from = kbsite::kFirstArticle) {
  for (int n = from;; ++n) {
    const auto article = model.ArticleFor(n);
    if (article.status == status && (encoding < 0 || static_cast<int>(article.encoding) == encoding)) return n;
  }
}

TEST(KbSiteTest, ServesWhatTheModelSaysAndPrintsOneLinePerAnswer) {
  SiteProcess site({"--seed", "7", "--page-size", "20000"});
  const SiteModel model(7);
  const int utf8 = FindArticle(model, 200, static_cast<int>(kbsite::PageEncoding::Utf8));
  const int sjis = FindArticle(model, 200, static_cast<int>(kbsite::PageEncoding::ShiftJis));
  const int absent = FindArticle(model, 302);
  const int missing = FindArticle(model, 404);

  const Fetched page = Fetch(utf8, false);
  EXPECT_THAT(page.answer, StartsWith("HTTP/1.1 200 OK\r\n"));
  EXPECT_GE(page.answer.size(), 20000u);
  EXPECT_THAT(page.answer, HasSubstr("content=\"" + model.ArticleFor(utf8).description + "\""));
  for (int count : page.counts) EXPECT_LE(count, kReceiveBufferSize);

  const std::string sjisPage = Cp932ToUtf8(Fetch(sjis, false).answer);
  EXPECT_THAT(sjisPage, HasSubstr("content=\"" + model.ArticleFor(sjis).description + "\""));
  EXPECT_THAT(Fetch(absent).answer, StartsWith("HTTP/1.1 302 Found\r\n"));
  EXPECT_THAT(Fetch(missing).answer, StartsWith("HTTP/1.1 404 Not Found\r\n"));

  const auto lines = site.ServedLines();
  EXPECT_EQ(lines.size(), 4u);
  for (int number : {utf8, sjis, absent, missing}) {
    EXPECT_EQ(LineFor(lines, number), kbsite::FormatServedLine(model.ArticleFor(number), "normal"));
  }
}

TEST(KbSiteTest, MarkerStopsTheTransferEarlyOnALongPage) {
  SiteProcess site({"--page-size", "300000"});
  const int number = FindArticle(SiteModel(1), 200);
  const Fetched early = Fetch(number);
  EXPECT_THAT(early.answer, HasSubstr(std::string(kbsite::kMarker)));
  EXPECT_LT(early.answer.size(), 20000u);
  EXPECT_GE(Fetch(number, false).answer.size(), 300000u);
}

TEST(KbSiteTest, MisbehavesOnChosenNumbers) {
  const SiteModel model(1);
  const int a = FindArticle(model, 200);
  const int b = FindArticle(model, 200, -1, a + 3);
  const int stalled = FindArticle(model, 200, -1, b + 1);
  const int silent = 100900, endless = 100901, drip = 100902;
  SiteProcess site({"--no-status-line", std::to_string(a), "--blank-line", std::to_string(b),
                    "--no-marker", std::to_string(a + 1) + "-" + std::to_string(a + 2),
                    "--silent", std::to_string(silent), "--endless", std::to_string(endless),
                    "--drip", std::to_string(drip), "--drip-ms", "30", "--head-then-stall", std::to_string(stalled)});

  EXPECT_THAT(Fetch(a).answer, testing::Not(StartsWith("HTTP/")));
  EXPECT_THAT(Fetch(b).answer, StartsWith("\r\nHTTP/1.1 200 OK"));
  EXPECT_THAT(Fetch(a + 1).answer, testing::Not(HasSubstr(std::string(kbsite::kMarker))));

  HttpTimeouts shortWait;
  shortWait.receive = 300ms;
  const Fetched nothing = Fetch(silent, true, shortWait);
  EXPECT_TRUE(nothing.answer.empty());
  EXPECT_EQ(nothing.error, "Connection timed out");
  const Fetched head = Fetch(stalled, true, shortWait);
  EXPECT_THAT(head.answer, StartsWith("HTTP/1.1 200 OK"));
  EXPECT_THAT(head.answer, HasSubstr("<title>"));
  EXPECT_THAT(head.answer, testing::Not(HasSubstr(std::string(kbsite::kMarker))));
  EXPECT_EQ(head.error, "Connection timed out");

  HttpTimeouts deadline;
  deadline.fetch = 500ms;
  EXPECT_GT(Fetch(endless, true, deadline).answer.size(), 100000u);
  const Fetched dripped = Fetch(drip, true, deadline);
  EXPECT_GT(dripped.answer.size(), 0u);
  EXPECT_LT(dripped.answer.size(), 40u);
  EXPECT_THAT(dripped.counts, testing::Each(1));
  EXPECT_EQ(dripped.error, kFetchDeadlineText);

  EXPECT_THAT(LineFor(site.ServedLines(), silent), HasSubstr("\tanswer=silent\t"));
  EXPECT_THAT(LineFor(site.ServedLines(), stalled), HasSubstr("\tanswer=head-then-stall\t"));
  EXPECT_EQ(site.Stop(), 0);
}

TEST(KbSiteTest, FetchesGoToTheUrlsPortAndHttpsVerifiesTheCertificate) {
  const auto& certificates = kbsite::TrustedTestCertificates();
  const struct {
    const char* server;  // "" for plain HTTP
    int port;
    const char* base;
    const char* error;  // "" when the page must arrive
  } cases[] = {
      {"", 8080, "http://localhost:8080", ""},
      {"localhost", 443, "https://localhost", ""},
      {"localhost", 8443, "https://127.0.0.1:8443", ""},
      {"other-name", 443, "https://localhost", "[localhost] CERTIFICATE REFUSED: hostname mismatch"},
      {"unknown-signer", 443, "https://localhost", "[localhost] CERTIFICATE REFUSED: unable to get local issuer"},
  };
  const SiteModel model(1);
  const int number = FindArticle(model, 200);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.server) + " " + c.base);
    std::vector<std::string> arguments = {"--page-size", "3000"};
    if (*c.server != '\0') {
      const auto tls = certificates.TlsArguments(c.server);
      arguments.insert(arguments.end(), tls.begin(), tls.end());
    }
    SiteProcess site(arguments, c.port);
    FetchTarget target;
    ASSERT_TRUE(SplitFetchUrl(c.base + std::string("/default.aspx?scid=kb;ja;") + std::to_string(number), target));
    const Fetched fetched = Fetch(number, false, {}, target);
    EXPECT_THAT(fetched.error, StartsWith(c.error));
    if (*c.error == '\0') {
      EXPECT_EQ(fetched.answer, kbsite::RenderAnswer(model.ArticleFor(number), 3000, kbsite::AnswerShape::Normal));
      for (int count : fetched.counts) EXPECT_LE(count, kReceiveBufferSize);
    } else {
      EXPECT_TRUE(fetched.answer.empty());
    }
  }
}

TEST(KbSiteTest, AFetchResumesTheTlsSessionOfAnEarlierOneWithTheSameHostAndPort) {
  const auto& certificates = kbsite::TrustedTestCertificates();
  for (const bool tls12 : {false, true}) {
    SCOPED_TRACE(tls12 ? "TLS 1.2" : "TLS 1.3");
    std::vector<std::string> arguments = certificates.TlsArguments("localhost");
    if (tls12) arguments.push_back("--tls-1.2");
    SiteProcess site(arguments, 443);
    SiteProcess otherPort(arguments, 8443);
    const struct {
      const char* base;
      const char* handshake;  // as the site saw it
    } fetches[] = {
        {"https://localhost", "full"},
        {"https://localhost", "resumed"},
        {"https://localhost", "resumed"},    // a TLS 1.3 ticket serves once; the site hands out new ones
        {"https://127.0.0.1", "full"},       // the same server under another name
        {"https://localhost:8443", "full"},  // another port
    };
    int number = kbsite::kFirstArticle;
    for (const auto& f : fetches) {
      SCOPED_TRACE(f.base);
      FetchTarget target;
      ASSERT_TRUE(SplitFetchUrl(f.base + std::string("/default.aspx?scid=kb;ja;") + std::to_string(++number), target));
      EXPECT_EQ(Fetch(number, false, {}, target).error, "");
      const auto lines = (target.port == 443 ? site : otherPort).ServedLines();
      EXPECT_THAT(LineFor(lines, number), testing::EndsWith(std::string("\ttls=") + f.handshake));
    }
  }
}

TEST(KbSiteTest, ServesManyConnectionsAtOnceAndStopsCleanlyWhileTheyHang) {
  SiteProcess site({"--silent", "100000-100040"});
  // Forty connections that the site never answers must not block others.
  std::vector<int> hanging;
  for (int n = 100000; n < 100040; ++n) {
    const int fd = test::ConnectToPort80(false);
    ASSERT_GE(fd, 0);
    const std::string request = RequestFor(n);
    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    hanging.push_back(fd);
  }
  std::vector<std::thread> workers;
  std::vector<std::string> answers(30);
  for (int i = 0; i < 30; ++i) {
    workers.emplace_back([&answers, i] { answers[i] = Fetch(100100 + i).answer; });
  }
  for (auto& worker : workers) worker.join();
  for (const auto& answer : answers) EXPECT_THAT(answer, StartsWith("HTTP/1.1 "));
  EXPECT_EQ(site.Stop(SIGTERM), 0);
  for (int fd : hanging) ::close(fd);
}

TEST(KbSiteTest, InterruptStopsTheSiteAndBadRequestsGet404) {
  SiteProcess site;
  std::string answer;
  HttpRequest("127.0.0.1", "GET /index.html HTTP/1.0\r\n\r\n", [&](const char* bytes, int count) {
    answer.append(bytes, static_cast<std::size_t>(count));
    return true;
  });
  EXPECT_THAT(answer, StartsWith("HTTP/1.1 404 "));
  EXPECT_THAT(site.ServedLines(), testing::ElementsAre(HasSubstr("\tanswer=bad-request\t")));
  EXPECT_EQ(site.Stop(SIGINT), 0);
}

TEST(KbSiteTest, RefusesUnknownOptions) {
  EXPECT_THROW(SiteProcess({"--frobnicate", "1"}), std::runtime_error);
  EXPECT_THROW(SiteProcess({"--silent", "12"}), std::runtime_error);
}

}  // namespace
}  // namespace velt
