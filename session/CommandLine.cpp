#include "session/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <map>
#include <optional>

#include "crawler/ThreadCreator.h"
#include "net/FetchTarget.h"
#include "net/ProxyChoice.h"

namespace velt {
namespace {

// Spelt as the desktop shortcuts that users already have pass it; the
// program reads nothing from it and must go on accepting it.
constexpr char kLauncherArgument[] = "/starup";

// A decimal number above 0 with an optional fraction ("2", "0.5"), at most
// a thousand.
std::optional<double> ReadRate(const std::string& text) {
  const size_t point = text.find('.');
  const std::string whole = text.substr(0, point);
  const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
  const auto digits = [](const std::string& part) { return std::all_of(part.begin(), part.end(), ::isdigit); };
  if (whole.size() + fraction.size() == 0 || whole.size() > 4 || fraction.size() > 6 || !digits(whole) ||
      !digits(fraction) || (point != std::string::npos && fraction.empty())) {
    return std::nullopt;
  }
  // By digits, as a conversion of the whole text would follow the locale's decimal mark.
  double value = whole.empty() ? 0.0 : std::stoi(whole);
  if (!fraction.empty()) value += std::stoi(fraction) / std::pow(10.0, static_cast<double>(fraction.size()));
  if (value <= 0 || value > 1000) return std::nullopt;
  return value;
}

// A whole decimal number from `low` to `high`.
std::optional<int> ReadNumber(const std::string& text, long long low, long long high) {
  if (text.empty() || text.size() > 10 || !std::all_of(text.begin(), text.end(), ::isdigit)) return std::nullopt;
  const long long value = std::stoll(text);
  if (value < low || value > high) return std::nullopt;
  return static_cast<int>(value);
}

// The options read so far, by name, with their values.
class Options {
 public:
  // Splits "--name=value" and takes the value from the next argument for
  // options that need one. False with a message for what is not an option.
  bool Read(const std::vector<std::string>& arguments, std::string& error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
      const std::string& argument = arguments[i];
      if (!argument.starts_with("--")) {
        if (argument != kLauncherArgument) loose_.push_back(argument);
        continue;
      }
      const size_t equals = argument.find('=');
      const std::string name = argument.substr(0, equals);
      if (!kTakesValue.contains(name)) {
        error = "unknown option " + name;
        return false;
      }
      std::optional<std::string> value;
      if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
      } else if (kTakesValue.at(name) && i + 1 < arguments.size()) {
        value = arguments[++i];
      }
      if (kTakesValue.at(name) != value.has_value()) {
        error = name + (value ? " takes no value" : " needs a value");
        return false;
      }
      if (!values_.emplace(name, value.value_or("")).second) {
        error = name + " is given twice";
        return false;
      }
    }
    return true;
  }

  bool Has(const std::string& name) const { return values_.contains(name); }
  const std::string& Value(const std::string& name) const { return values_.at(name); }
  const std::vector<std::string>& Loose() const { return loose_; }

 private:
  // Every option, and whether it takes a value.
  inline static const std::map<std::string, bool> kTakesValue = {
      {"--site", true},     {"--proxy", true},     {"--headless", false}, {"--threads", true}, {"--retry-302", false},
      {"--for", true},      {"--search", true},    {"--format", true},    {"--status", false}, {"--help", false},
      {"--max-rate", true},
  };
  std::map<std::string, std::string> values_;
  std::vector<std::string> loose_;
};

bool ReadMode(const Options& options, RunMode& mode, std::string& error) {
  const std::pair<const char*, RunMode> modes[] = {
      {"--headless", RunMode::Headless}, {"--search", RunMode::Search}, {"--status", RunMode::Status}};
  mode = RunMode::Window;
  for (const auto& [name, candidate] : modes) {
    if (!options.Has(name)) continue;
    if (mode != RunMode::Window) {
      error = "--headless, --search and --status exclude each other";
      return false;
    }
    mode = candidate;
  }
  return true;
}

// Each option that only some ways of running take, with those ways.
bool CheckBelonging(const Options& options, RunMode mode, std::string& error) {
  for (const char* name : {"--threads", "--retry-302", "--for"}) {
    if (options.Has(name) && mode != RunMode::Headless) {
      error = std::string(name) + " needs --headless";
      return false;
    }
  }
  if (options.Has("--format") && mode != RunMode::Search) {
    error = "--format needs --search";
    return false;
  }
  for (const char* name : {"--site", "--proxy", "--max-rate"}) {
    if (options.Has(name) && mode != RunMode::Window && mode != RunMode::Headless) {
      error = std::string(name) + " applies to the window and to --headless only";
      return false;
    }
  }
  if (mode != RunMode::Window && !options.Loose().empty()) {
    error = "unexpected argument " + options.Loose().front();
    return false;
  }
  return true;
}

bool ReadValues(const Options& options, CommandLine& line, std::string& error) {
  if (options.Has("--site")) {
    const std::string why = SiteBaseUrlError(options.Value("--site"));
    if (!why.empty()) {
      error = "--site " + options.Value("--site") + ": " + why;
      return false;
    }
    line.site = options.Value("--site");
  }
  if (options.Has("--proxy")) {
    if (options.Value("--proxy").empty()) {
      error = "--proxy needs a proxy URL or " + std::string(kNoProxyOption);
      return false;
    }
    line.proxy = options.Value("--proxy");
  }
  if (options.Has("--threads")) {
    const auto threads = ReadNumber(options.Value("--threads"), 0, 30);
    if (!threads) {
      error = "--threads needs a number from 0 to 30";
      return false;
    }
    line.threads = *threads;
  }
  if (options.Has("--for")) {
    const auto seconds = ReadNumber(options.Value("--for"), 1, INT_MAX);
    if (!seconds) {
      error = "--for needs a number of seconds of at least 1";
      return false;
    }
    line.forSeconds = *seconds;
  }
  if (options.Has("--max-rate")) {
    const auto rate = ReadRate(options.Value("--max-rate"));
    if (!rate) {
      error = "--max-rate needs a number of fetches per second above 0 and at most 1000, such as 2 or 0.5";
      return false;
    }
    line.maxRate = *rate;
  }
  line.retry302 = options.Has("--retry-302");
  if (options.Has("--search")) line.searchTerms = options.Value("--search");
  if (options.Has("--format")) {
    const auto format = HitFormatNamed(options.Value("--format"));
    if (!format) {
      error = "--format needs text, csv, tsv or json";
      return false;
    }
    line.searchFormat = *format;
  }
  return true;
}

// How the search reads its terms; the README carries the same text.
constexpr char kLikeSyntaxText[] =
    "Search terms: blanks, full-width spaces and commas separate terms; a term in\n"
    "double quotes may hold them (\"\" inside stands for one \"). An article is a hit\n"
    "when every term matches the whole of its number, URL, title, description and\n"
    "keywords joined together, so a term usually begins and ends with %.\n"
    "  %            any run of characters, also none\n"
    "  _            one character as stored; a half-width kana with its sound mark\n"
    "               (ｶﾞ) counts as two\n"
    "  [list]       one character of the list: [abc], or a range such as [a-c]\n"
    "  [!list]      one character not in the list: [!0-9]\n"
    "  [%] [_] [[]  a literal %, _ or [; a - first or last in a list, and a ]\n"
    "               outside one, stand for themselves: %[[]-a]% finds \"[-a]\"\n"
    "A [ without its ] is refused with an error. Letters compare without regard to\n"
    "case, width (Ａ = a, ｶﾞ = ガ) and kana type (あ = ア).\n";

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& error) {
  line = CommandLine();
  line.site = ArticleBaseUrl;  // the one place that chooses the build's site
  Options options;
  if (!options.Read(arguments, error)) return false;
  if (options.Has("--help")) {
    line.mode = RunMode::Help;
    return true;
  }
  return ReadMode(options, line.mode, error) && CheckBelonging(options, line.mode, error) &&
         ReadValues(options, line, error);
}

std::string UsageText(const std::string& programName) {
  const std::string& p = programName;
  return "Usage: " + p + " [--site URL] [--proxy URL|direct] [--max-rate N]\n"
         "       " + p + " --headless [--threads N] [--retry-302] [--site URL] [--proxy URL|direct]\n"
         "       " + std::string(p.size(), ' ') + "            [--max-rate N] [--for SECONDS]\n"
         "       " + p + " --search \"TERMS\" [--format text|csv|tsv|json]\n"
         "       " + p + " --status\n"
         "       " + p + " --help\n"
         "\n"
         "Without options the window opens.\n"
         "  --site URL        crawl this site in this run instead of\n"
         "                    " + ArticleBaseUrl + "\n"
         "                    (http:// or https://, the host with an optional :port, and the\n"
         "                    path up to the article number; at most " +
         std::to_string(kMaxSiteBaseUrlLength) + " characters)\n"
         "  --proxy URL       fetch through this proxy in this run, for http:// and\n"
         "                    https:// alike: http://, socks5:// or socks5h://\n"
         "                    [user:password@]host[:port] (port " +
         std::to_string(kDefaultProxyPort) + " when none is given); without it\n"
         "                    the environment's http_proxy, https_proxy, all_proxy and\n"
         "                    no_proxy decide, else the desktop's settings or PAC script\n"
         "  --proxy direct    fetch without a proxy, whatever the environment or desktop say\n"
         "  --headless        crawl without a window: the log and a progress line every\n"
         "                    10 seconds go to standard output; Ctrl+C or SIGTERM stops the\n"
         "                    crawl as closing the window does (a second Ctrl+C ends at once)\n"
         "  --threads N       downloads at once, 0 to 30 (default " +
         std::to_string(CommandLine::DefaultHeadlessThreads) + ")\n"
         "  --retry-302       fetch articles last answered 302 again\n"
         "  --for SECONDS     stop the crawl after this many seconds\n"
         "  --max-rate N      start at most N fetches a second over all downloads, retries\n"
         "                    included (fractions such as 0.5 allowed; default no cap), for\n"
         "                    sites that must not be loaded\n"
         "  --search \"TERMS\"  print the search result for these LIKE patterns (below),\n"
         "                    as the Search tab shows it\n"
         "  --format FORMAT   how --search prints the hits: text (default) as the Search\n"
         "                    tab shows them; csv (RFC 4180, UTF-8 with byte-order mark),\n"
         "                    tsv or json (an array of objects), each with the columns\n"
         "                    KBID, URL, TITLE, DESCRIPTION, KEYWORDS\n"
         "  --status          print the download status report\n"
         "  --help            print this text\n"
         "\n" + std::string(kLikeSyntaxText) +
         "\n"
         "Exit codes: 0 done; 1 the database did not open, a query failed, or the file\n"
         "was not closed cleanly; 2 the command line was refused.\n";
}

}  // namespace velt
