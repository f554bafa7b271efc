// The program's command line.
//
// Without options, or with only the launcher's "/starup", the window opens
// as always. Every option is one row of the table in CommandLine.cpp: its
// name, its value, the ways of running it belongs to, its help text and
// how its value is read; --help prints the table. --headless, --search
// and --status choose the way of running; --site, --proxy, --max-rate and
// --refresh belong to the window and --headless, --database to every way,
// --threads, --retry-302 and --for to --headless, --format to --search.
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

inline constexpr int kMaxRefreshDays = 36500;

enum class RunMode { Window, Headless, Search, Status, Help };

struct CommandLine {
  static constexpr int DefaultHeadlessThreads = 5;
  static constexpr int NoRefresh = -1;

  RunMode mode = RunMode::Window;
  std::string site;  // the article base URL to crawl: --site's, else the build's
  std::string proxy;  // empty: the environment's; a proxy URL or "direct"
  int threads = DefaultHeadlessThreads;
  bool retry302 = false;
  int forSeconds = 0;  // 0: until a stop signal
  double maxRate = 0;  // 0: no cap
  int refreshDays = NoRefresh;  // stored articles fetched longer ago than this are fetched again
  std::string database;  // the database file, absolute; empty: the default one
  std::string searchTerms;
  HitFormat searchFormat = HitFormat::Text;
};

// Reads the arguments after the program's name. On false `error` says
// what is wrong, naming the option.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& error);

// The names of the options, in the order --help lists them.
std::vector<std::string> OptionNames();

// The text --help prints: every option, the search's LIKE patterns, the
// build's site, the exit codes.
std::string UsageText(const std::string& programName);

}  // namespace velt
