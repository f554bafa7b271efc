// The program's command line.
//
// Without options, or with only the launcher's "/starup", the window opens
// as always. The options:
//   --site URL           the site to crawl in this run instead of the
//                        build's (window or --headless; net/FetchTarget.h
//                        says which URLs serve)
//   --proxy URL|direct   fetch through this proxy in this run instead of
//                        the environment's, or through none (window or
//                        --headless; net/ProxyChoice.h's
//                        ChooseProxyRoutes checks the value)
//   --headless           crawl without a window
//     --threads N        downloads at once, 0 to 30
//     --retry-302        fetch rows last answered 302 again
//     --for SECONDS      end the crawl after this time
//   --max-rate N         fetch starts per second at most, over all
//                        downloads (window or --headless; fractions allowed)
//   --search "TERMS"     print the search's result and end
//     --format FORMAT    text (the result memo's lines), csv, tsv or json
//                        (HitExport.h)
//   --status             print the status report and end
//   --help               print the usage text and end
// A value may also follow its option after "=". An option that does not
// exist, one given twice, a missing or bad value, an option that does not
// belong to the chosen way of running, or an argument without "--" outside
// the window's run is refused with a message. Arguments without "--" are
// otherwise left to the window's toolkit.
//
// Pure functions; safe on any thread.
#pragma once

#include <string>
#include <vector>

#include "session/HitExport.h"

namespace velt {

enum class RunMode { Window, Headless, Search, Status, Help };

struct CommandLine {
  static constexpr int DefaultHeadlessThreads = 5;

  RunMode mode = RunMode::Window;
  std::string site;  // the article base URL to crawl: --site's, else the build's
  std::string proxy;  // empty: the environment's; a proxy URL or "direct"
  int threads = DefaultHeadlessThreads;
  bool retry302 = false;
  int forSeconds = 0;  // 0: until a stop signal
  double maxRate = 0;  // 0: no cap
  std::string searchTerms;
  HitFormat searchFormat = HitFormat::Text;
};

// Reads the arguments after the program's name. On false `error` says
// what is wrong, naming the option.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& error);

// The text --help prints: every option, the search's LIKE patterns, the
// build's site, the exit codes.
std::string UsageText(const std::string& programName);

}  // namespace velt
