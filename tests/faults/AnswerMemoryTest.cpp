// A capped answer must be analysed within about three times its size: the
// answer itself and at most one UTF-16 copy of it at a time, whatever its
// charset asks the page conversion to do.
#include <gtest/gtest.h>

#include <malloc.h>

#include <fstream>
#include <string>

#include "crawler/AnswerBuffer.h"
#include "crawler/PageAnalysis.h"
#include "regex/VBScript_RegExp_55_TLB.h"

namespace velt::faults {
namespace {

// A figure of /proc/self/status in bytes ("VmRSS", "VmHWM").
std::size_t StatusBytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with(field + ":")) return std::stoull(line.substr(field.size() + 1)) * 1024;
  return 0;
}

// Starts the peak resident size afresh from the current size.
bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5" << std::flush;
  return clear.good();
}

std::string CappedAnswer(const std::string& charset, const std::string& filler) {
  std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=" + charset + "\r\n\r\n" +
                       "<html><head><title>T</title><meta name=\"keywords\" content=\"k\"></head><body>";
  answer.reserve(MaxAnswerBytes);
  while (answer.size() + filler.size() <= MaxAnswerBytes) answer += filler;
  return answer;
}

TEST(AnswerMemory, ACappedAnswerIsAnalysedWithinThreeTimesItsSize) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' allocators keep freed memory and shadow what is used";
#endif
  struct Case {
    const char* charset;
    std::string filler;
  };
  const Case cases[] = {
      {"Shift_JIS", "<p>plain text \x93\xFA\x96\x7B</p>\r\n"},
      {"utf-8", "<p>plain text \xE6\x97\xA5\xE6\x9C\xAC</p>\r\n"},
      {"EUC-JP", "<p>plain text \xC6\xFC\xCB\xDC</p>\r\n"},
      {"", "<p>plain text only</p>\r\n"},
  };
  // Blocks of a page's size are mapped and given back one by one, so that
  // what one case left to the allocator does not count against the next.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  TRegExp engine;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.charset);
    std::string answer = CappedAnswer(c.charset, c.filler);
    const std::size_t size = answer.size();
    if (!ResetPeak()) GTEST_SKIP() << "the peak resident size cannot be reset here";
    const std::size_t before = StatusBytes("VmRSS");
    TPageInfo info;
    AnalyseResponse(engine, std::move(answer), info);
    EXPECT_EQ(info.Keywords, "k");
    // The answer is already held: two more times its size, and a little
    // for the matching and the allocator.
    EXPECT_LT(StatusBytes("VmHWM") - before, 2 * size + size / 8);
  }
}

}  // namespace
}  // namespace velt::faults
