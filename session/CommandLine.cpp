#include "session/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <filesystem>
#include <functional>
#include <initializer_list>
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
constexpr char kHelpOption[] = "--help";

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

auto NumberFrom(long long low, long long high) {
  return [low, high](const std::string& text) { return ReadNumber(text, low, high); };
}

using OptionReader = std::function<std::string(const std::string& value, CommandLine& line)>;

// Stores what `read` makes of the value in the member, or refuses the
// value with `refusal` when it makes nothing.
template <typename T, typename Read>
OptionReader Into(T CommandLine::*member, Read read, std::string refusal) {
  return [member, read, refusal](const std::string& value, CommandLine& line) {
    const auto made = read(value);
    if (!made) return refusal;
    line.*member = *made;
    return std::string();
  };
}

using Modes = std::initializer_list<RunMode>;
constexpr Modes kCrawlModes = {RunMode::Window, RunMode::Headless};
constexpr Modes kEveryMode = {RunMode::Window, RunMode::Headless, RunMode::Search, RunMode::Status};

// One option: its name, the name of its value (none for a switch), the way
// of running it chooses, if any, the ways of running it belongs to, its
// help text's lines and how its value is read ("" or why it is refused).
struct Option {
  std::string name;
  std::string valueName;
  std::optional<RunMode> chooses;
  std::vector<RunMode> belongs;
  std::vector<std::string> help;
  OptionReader read;
};

const std::vector<Option>& Options() {
  static const std::vector<Option> options = {
      {"--site", "URL", std::nullopt, kCrawlModes,
       {"crawl this site in this run instead of", std::string("  ") + ArticleBaseUrl,
        "(http:// or https://, the host with an optional :port, and the",
        "path up to the article number; at most " + std::to_string(kMaxSiteBaseUrlLength) + " characters)"},
       [](const std::string& value, CommandLine& line) {
         const std::string why = SiteBaseUrlError(value);
         if (!why.empty()) return "--site " + value + ": " + why;
         line.site = value;
         return std::string();
       }},
      {"--proxy", "URL|direct", std::nullopt, kCrawlModes,
       {"fetch through this proxy in this run, for http:// and https://",
        "alike: http://, socks5:// or socks5h://[user:password@]host[:port]",
        "(port " + std::to_string(kDefaultProxyPort) + " when none is given), or with \"direct\" through",
        "none; without it the environment's http_proxy, https_proxy,",
        "all_proxy and no_proxy decide, else the desktop's settings or PAC script"},
       [](const std::string& value, CommandLine& line) {
         if (value.empty()) return "--proxy needs a proxy URL or " + std::string(kNoProxyOption);
         line.proxy = value;
         return std::string();
       }},
      {"--max-rate", "N", std::nullopt, kCrawlModes,
       {"start at most N fetches a second over all downloads, retries",
        "included (fractions such as 0.5 allowed; default no cap), for",
        "sites that must not be loaded"},
       Into(&CommandLine::maxRate, ReadRate,
            "--max-rate needs a number of fetches per second above 0 and at most 1000, such as 2 or 0.5")},
      {"--refresh", "DAYS", std::nullopt, kCrawlModes,
       {"fetch stored articles again whose last fetch is older than DAYS",
        "days (0: every one fetched before this run), after the numbers",
        "still to fetch and before new ones; unchanged ones cost a short",
        "answer, withdrawn ones leave the search"},
       Into(&CommandLine::refreshDays, NumberFrom(0, kMaxRefreshDays),
            "--refresh needs a number of days from 0 to " + std::to_string(kMaxRefreshDays))},
      {"--database", "FILE", std::nullopt, kEveryMode,
       {"open or create this database file instead of the default one;",
        "one file holds one site's articles"},
       [](const std::string& value, CommandLine& line) {
         if (value.empty()) return std::string("--database needs a file name");
         line.database = std::filesystem::absolute(value).lexically_normal().string();
         return std::string();
       }},
      {"--headless", "", RunMode::Headless, {RunMode::Headless},
       {"crawl without a window: the log and a progress line every",
        "10 seconds go to standard output; Ctrl+C or SIGTERM stops the",
        "crawl as closing the window does (a second Ctrl+C ends at once)"},
       nullptr},
      {"--threads", "N", std::nullopt, {RunMode::Headless},
       {"downloads at once, 0 to 30 (default " + std::to_string(CommandLine::DefaultHeadlessThreads) + ")"},
       Into(&CommandLine::threads, NumberFrom(0, 30), "--threads needs a number from 0 to 30")},
      {"--retry-302", "", std::nullopt, {RunMode::Headless},
       {"fetch articles last answered 302 again, each once a run"},
       [](const std::string&, CommandLine& line) {
         line.retry302 = true;
         return std::string();
       }},
      {"--for", "SECONDS", std::nullopt, {RunMode::Headless},
       {"stop the crawl after this many seconds"},
       Into(&CommandLine::forSeconds, NumberFrom(1, INT_MAX), "--for needs a number of seconds of at least 1")},
      {"--search", "\"TERMS\"", RunMode::Search, {RunMode::Search},
       {"print the search result for these LIKE patterns (below),", "as the Search tab shows it"},
       [](const std::string& value, CommandLine& line) {
         line.searchTerms = value;
         return std::string();
       }},
      {"--format", "FORMAT", std::nullopt, {RunMode::Search},
       {"how --search prints the hits: text (default) as the Search",
        "tab shows them; csv (RFC 4180, UTF-8 with byte-order mark),",
        "tsv or json (an array of objects), each with the columns",
        "KBID, URL, TITLE, DESCRIPTION, KEYWORDS"},
       Into(&CommandLine::searchFormat, HitFormatNamed, "--format needs text, csv, tsv or json")},
      {"--status", "", RunMode::Status, {RunMode::Status}, {"print the download status report"}, nullptr},
      {kHelpOption, "", RunMode::Help, {}, {"print this text"}, nullptr},
  };
  return options;
}

const Option* OptionNamed(const std::string& name) {
  for (const Option& option : Options())
    if (option.name == name) return &option;
  return nullptr;
}

// The options given, in the order of the table, with their values.
class GivenOptions {
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
      const Option* option = OptionNamed(name);
      if (!option) {
        error = "unknown option " + name;
        return false;
      }
      const bool takesValue = !option->valueName.empty();
      std::optional<std::string> value;
      if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
      } else if (takesValue && i + 1 < arguments.size()) {
        value = arguments[++i];
      }
      if (takesValue != value.has_value()) {
        error = name + (value ? " takes no value" : " needs a value");
        return false;
      }
      if (!values_.emplace(option, value.value_or("")).second) {
        error = name + " is given twice";
        return false;
      }
    }
    return true;
  }

  bool Has(const std::string& name) const { return values_.contains(OptionNamed(name)); }
  const std::map<const Option*, std::string>& Values() const { return values_; }
  const std::vector<std::string>& Loose() const { return loose_; }

 private:
  std::map<const Option*, std::string> values_;
  std::vector<std::string> loose_;
};

bool ReadMode(const GivenOptions& given, RunMode& mode, std::string& error) {
  mode = RunMode::Window;
  for (const Option& option : Options()) {
    if (!option.chooses || !given.Has(option.name)) continue;
    if (mode != RunMode::Window) {
      error = "--headless, --search and --status exclude each other";
      return false;
    }
    mode = *option.chooses;
  }
  return true;
}

// Where an option belongs, as a refusal names it.
std::string BelongingText(const Option& option) {
  const std::vector<RunMode> crawl = kCrawlModes;
  if (option.belongs == crawl) return " applies to the window and to --headless only";
  if (option.belongs == std::vector<RunMode>{RunMode::Headless}) return " needs --headless";
  return " needs --search";
}

bool CheckBelonging(const GivenOptions& given, RunMode mode, std::string& error) {
  for (const auto& [option, value] : given.Values()) {
    if (std::find(option->belongs.begin(), option->belongs.end(), mode) == option->belongs.end()) {
      error = option->name + BelongingText(*option);
      return false;
    }
  }
  if (mode != RunMode::Window && !given.Loose().empty()) {
    error = "unexpected argument " + given.Loose().front();
    return false;
  }
  return true;
}

bool ReadValues(const GivenOptions& given, CommandLine& line, std::string& error) {
  for (const Option& option : Options()) {
    const auto found = given.Values().find(&option);
    if (found == given.Values().end() || !option.read) continue;
    error = option.read(found->second, line);
    if (!error.empty()) return false;
  }
  return true;
}

// The help's lines of an option: its name and value in a column of their
// own, the text beside.
std::string OptionHelp(const Option& option) {
  constexpr size_t kColumn = 20;
  std::string label = "  " + option.name + (option.valueName.empty() ? "" : " " + option.valueName);
  std::string text;
  for (const std::string& line : option.help) {
    if (label.size() + 1 > kColumn) {
      text += label + "\n";
      label.clear();
    }
    label.resize(kColumn, ' ');
    text += label + line + "\n";
    label.clear();
  }
  return text;
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
  GivenOptions given;
  if (!given.Read(arguments, error)) return false;
  if (given.Has(kHelpOption)) {
    line.mode = RunMode::Help;
    return true;
  }
  return ReadMode(given, line.mode, error) && CheckBelonging(given, line.mode, error) &&
         ReadValues(given, line, error);
}

std::vector<std::string> OptionNames() {
  std::vector<std::string> names;
  for (const Option& option : Options()) names.push_back(option.name);
  return names;
}

std::string UsageText(const std::string& programName) {
  const std::string& p = programName;
  const std::string indent(p.size(), ' ');
  std::string options;
  for (const Option& option : Options()) options += OptionHelp(option);
  return "Usage: " + p + " [--site URL] [--proxy URL|direct] [--max-rate N] [--refresh DAYS]\n"
         "       " + indent + " [--database FILE]\n"
         "       " + p + " --headless [--threads N] [--retry-302] [--for SECONDS]\n"
         "       " + indent + "            [--site URL] [--proxy URL|direct] [--max-rate N]\n"
         "       " + indent + "            [--refresh DAYS] [--database FILE]\n"
         "       " + p + " --search \"TERMS\" [--format text|csv|tsv|json] [--database FILE]\n"
         "       " + p + " --status [--database FILE]\n"
         "       " + p + " --help\n"
         "\n"
         "Without options the window opens.\n" +
         options + "\n" + std::string(kLikeSyntaxText) +
         "\n"
         "Exit codes: 0 done; 1 the database did not open, a query failed, or the file\n"
         "was not closed cleanly; 2 the command line was refused, or the database file\n"
         "holds another site's articles (nothing was opened or claimed).\n";
}

}  // namespace velt
