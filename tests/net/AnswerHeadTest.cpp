#include <gtest/gtest.h>

#include <string>

#include "net/AnswerHead.h"

namespace velt {
namespace {

TEST(AnswerHeadTest, TheHeadEndsAtTheEarliestEmptyLineInEitherForm) {
  const struct {
    std::string answer;
    std::string body;  // "-" when the head has not ended
  } cases[] = {
      {"HTTP/1.0 200 OK\r\nA: 1\r\n\r\nbody", "body"},
      {"HTTP/1.0 200 OK\nA: 1\n\nbody", "body"},
      {"HTTP/1.0 200 OK\nA: 1\n\r\nbody", "body"},
      // An empty CR LF line in a page whose head ended in bare line feeds.
      {"HTTP/1.0 200 OK\nA: 1\n\n<p>\r\n\r\n</p>", "<p>\r\n\r\n</p>"},
      {"HTTP/1.0 200 OK\r\nA: 1\r\n\r\n\n\nx", "\n\nx"},
      {"HTTP/1.0 200 OK\r\nA: 1\r\n", "-"},
      {"HTTP/1.0 200 OK\r\nA: 1\r\r\n", "-"},
  };
  for (const auto& c : cases) {
    const auto start = BodyStart(c.answer);
    EXPECT_EQ(start ? c.answer.substr(*start) : "-", c.body) << c.answer;
  }
}

TEST(AnswerHeadTest, AHeadArrivingInPiecesCompletesAtItsEmptyLineOrTheCap) {
  const std::string answer = "HTTP/1.0 407 Proxy Authentication Required\r\nA: 1\r\n\r\nbody";
  const std::size_t end = answer.find("body");
  // Every split of the answer into two receives, the empty line's included.
  for (std::size_t cut = 1; cut < answer.size(); ++cut) {
    AnswerHead head;
    const bool first = head.Add(answer.data(), static_cast<int>(cut));
    EXPECT_EQ(first, cut >= end) << cut;
    EXPECT_TRUE(head.Add(answer.data() + cut, static_cast<int>(answer.size() - cut))) << cut;
    EXPECT_EQ(head.Received(), answer);
  }
  AnswerHead endless;
  const std::string line = "X-Filler: " + std::string(1000, 'x') + "\r\n";
  int added = 0;
  while (!endless.Add(line.data(), static_cast<int>(line.size()))) ASSERT_LT(++added, 1000);
  EXPECT_GE(endless.Received().size(), 64u * 1024);
  EXPECT_LE(endless.Received().size(), 64u * 1024 + line.size());
}

TEST(AnswerHeadTest, FieldsAndCutAnswersAreReadFromTheHeadAlone) {
  const struct {
    std::string answer;
    bool cut;
    std::string retryAfter;  // "-" for no field
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nabcde", false, "-"},
      {"HTTP/1.1 200 OK\r\ncontent-length:5\r\n\r\nabcdef", false, "-"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nabcd", true, "-"},
      {"HTTP/1.1 200 OK\nCONTENT-LENGTH: 5\n\nab", true, "-"},
      {"HTTP/1.1 200 OK\nContent-Length: 9\n\nab\r\n\r\ncde", false, "-"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", false, "-"},
      {"HTTP/1.1 200 OK\r\n\r\nab", false, "-"},
      {"HTTP/1.1 200 OK\r\nContent-Length: five\r\n\r\nab", false, "-"},
      {"HTTP/1.1 200 OK\r\n\r\nContent-Length: 9\r\nRetry-After: 3\r\n", false, "-"},
      {"HTTP/1.1 503 x\r\nretry-after:  7 \r\n\r\n", false, "7"},
      {"HTTP/1.1 503 x\nRetry-After: 7\r\n\n", false, "7"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsCutShort(c.answer), c.cut) << c.answer;
    EXPECT_EQ(std::string(HeaderValue(c.answer, "Retry-After").value_or("-")), c.retryAfter) << c.answer;
  }
}

}  // namespace
}  // namespace velt
