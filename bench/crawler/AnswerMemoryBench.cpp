// Memory and time of the analysis of capped answers.
//
// Memory: 30 download workers at once, each receiving an answer without
// the end marker from the sample site until the answer cap stops it, then
// analysing it. The peak resident size of the process is printed beside
// 30 times the cap (the goal: the growth over the size after start-up at
// most 3 times that product), and one worker alone beside the cap.
//
// Time: answers of cap size built to make the page patterns retry every
// start (unclosed tags repeated), analysed whole, and the title search on
// them in the interpreter that runs where no compiled code can be made;
// each beside an ordinary page of the same size in the same run; and
// analyses of ordinary pages with a new engine for each, as the workers
// make them, beside one engine for all.
//
// Port 80 must be free: run it through tests/run-in-netns.sh (the
// run_answer_memory_bench target does).
//
//   answer_memory_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "crawler/AnswerBuffer.h"
#include "crawler/DownloadThread.h"
#include "crawler/PageAnalysis.h"
#include "crawler/ThreadCreator.h"
#include "platform/Encoding.h"
#include "platform/MainThread.h"
#include "regex/CompiledPattern.h"
#include "regex/VBScript_RegExp_55_TLB.h"
#include "tools/kbsite/SiteAnswer.h"
#include "tools/kbsite/SiteModel.h"
#include "tools/kbsite/SiteProcess.h"

namespace {

constexpr int kWorkers = 30;
constexpr double kMiB = 1024.0 * 1024.0;
using Clock = std::chrono::steady_clock;

// A figure of /proc/self/status in MiB ("VmRSS", "VmHWM").
double StatusMiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field + ":", 0) == 0) return std::atof(line.c_str() + field.size() + 1) / 1024.0;
  }
  return 0;
}

// The window's part: counts the workers' lines and nothing else.
class BenchHost : public velt::CrawlerHost {
 public:
  int lines = 0;
  int MaxThreads() const override { return kWorkers; }
  int ThreadCount() const override { return lines; }
  bool Retry302() const override { return false; }
  void WriteLog(const std::string& text, int) override { std::fprintf(stderr, "log: %s\n", text.c_str()); }
  void AddToThreadList(const std::string&, const void*) override { ++lines; }
  void RemoveFromThreadList(const void*) override { --lines; }
};

// Article numbers the sample site serves with status 200.
std::vector<int> ExistingArticles(int count) {
  const velt::kbsite::SiteModel model(1);
  std::vector<int> numbers;
  for (int n = velt::kbsite::kFirstArticle; static_cast<int>(numbers.size()) < count; ++n) {
    if (model.ArticleFor(n).status == 200) numbers.push_back(n);
  }
  return numbers;
}

// Starts one worker per number and serves their main-thread steps until
// every one has ended.
void RunWorkers(const std::vector<int>& numbers) {
  BenchHost host;
  for (int number : numbers) {
    const std::string kbid = std::to_string(number);
    (new velt::TDownloadThread(host, kbid, velt::ArticleBaseUrl + kbid))->Start();
  }
  while (host.lines > 0) {
    velt::ServeMainThreadSteps();
    velt::WaitForMainThreadWork(std::chrono::milliseconds(20));
  }
}

double Milliseconds(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Analysis of the whole answer (compiled code) and the title search on its
// page in the interpreter.
void TimeAnswer(const char* name, const std::string& answer, double baselineMs[2]) {
  velt::TRegExp engine;
  velt::TPageInfo info;
  auto start = Clock::now();
  velt::AnalyseResponse(engine, answer, info);
  const double analysis = Milliseconds(start);

  const std::u16string page = velt::Cp932ToUtf16(answer);
  const velt::CompiledPattern title(velt::TitlePattern, true);
  velt::MatchScratch interpreter(false);
  velt::MatchSpans spans;
  start = Clock::now();
  title.Find(page, 0, interpreter, spans);
  const double interpreted = Milliseconds(start);
  if (baselineMs[0] == 0) baselineMs[0] = analysis, baselineMs[1] = interpreted;
  std::printf("  %-34s %9.1f ms  ratio %5.2f   %9.1f ms  ratio %5.2f\n", name, analysis, analysis / baselineMs[0],
              interpreted, interpreted / baselineMs[1]);
}

// Analyses of an ordinary page with a new engine each, as every worker
// makes its own, beside the same analyses sharing one engine.
void TimeNewEngines(const std::string& answer) {
  constexpr int kArticles = 2000;
  velt::TRegExp shared;
  auto start = Clock::now();
  for (int i = 0; i < kArticles; ++i) {
    velt::TPageInfo info;
    velt::AnalyseResponse(shared, answer, info);
  }
  const double one = Milliseconds(start);
  start = Clock::now();
  for (int i = 0; i < kArticles; ++i) {
    velt::TRegExp own;
    velt::TPageInfo info;
    velt::AnalyseResponse(own, answer, info);
  }
  const double each = Milliseconds(start);
  std::printf("\ntime, %d analyses of an ordinary page (%zu bytes):\n", kArticles, answer.size());
  std::printf("  %-34s %9.1f ms   one engine for all %9.1f ms   ratio %5.2f\n", "a new engine for each", each, one,
              each / one);
}

std::string Repeated(const std::string& head, const std::string& unit) {
  std::string answer = head;
  while (answer.size() < velt::MaxAnswerBytes) answer += unit;
  return answer + "</body></html>";
}

}  // namespace

int main() {
  velt::SetMainThread();
  const std::vector<int> numbers = ExistingArticles(kWorkers + 1);
  std::string endless;
  for (int number : numbers) endless += (endless.empty() ? "" : ",") + std::to_string(number);
  velt::kbsite::SiteProcess site({"--endless", endless});

  const double cap = velt::MaxAnswerBytes / kMiB;
  const double startUp = StatusMiB("VmRSS");
  RunWorkers({numbers.back()});
  const double single = StatusMiB("VmHWM") - startUp;
  RunWorkers(std::vector<int>(numbers.begin(), numbers.begin() + kWorkers));
  const double all = StatusMiB("VmHWM") - startUp;
  site.Stop();

  std::printf("memory, answers capped at %.0f MiB without the marker (growth of the peak resident size over\n"
              "%.1f MiB after start-up):\n", cap, startUp);
  std::printf("  %-34s %9.1f MiB   beside the cap %9.1f MiB   ratio %5.2f\n", "1 worker", single, cap, single / cap);
  std::printf("  %-34s %9.1f MiB   beside 30 x cap %8.1f MiB   ratio %5.2f (goal: at most 3)\n", "30 workers at once",
              all, kWorkers * cap, all / (kWorkers * cap));

  std::printf("\ntime, answers of %.0f MiB: whole analysis (compiled code) and title search (interpreter),\n"
              "each beside an ordinary page:\n", cap);
  const velt::kbsite::Article article = velt::kbsite::SiteModel(1).ArticleFor(numbers.front());
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=Shift_JIS\r\n\r\n<html><head>";
  double baseline[2] = {0, 0};
  TimeAnswer("ordinary page (baseline)",
             velt::kbsite::RenderAnswer(article, velt::MaxAnswerBytes, velt::kbsite::AnswerShape::NoMarker), baseline);
  TimeAnswer("unclosed \"<title \" repeated", Repeated(head, "<title "), baseline);
  TimeAnswer("\"<meta \" repeated", Repeated(head, "<meta "), baseline);
  TimeAnswer("\"<meta name=description \" repeated", Repeated(head, "<meta name=description "), baseline);
  TimeNewEngines(velt::kbsite::RenderAnswer(article, 6000, velt::kbsite::AnswerShape::Normal));
  return all <= 3 * kWorkers * cap ? 0 : 1;
}
