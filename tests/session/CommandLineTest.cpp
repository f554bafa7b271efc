// What the command line chooses, and what it refuses before anything runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "crawler/ThreadCreator.h"
#include "session/CommandLine.h"

namespace velt {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, ChoosesTheRunAndItsSettings) {
  struct Case {
    Args args;
    RunMode mode;
    std::string site;
    int threads;
    bool retry302;
    int forSeconds;
    std::string terms;
    HitFormat format = HitFormat::Text;
  };
  const int standard = CommandLine::DefaultHeadlessThreads;
  const std::string site = "https://kb.example.test:8443/default.aspx?scid=kb;ja;";
  const std::string build = ArticleBaseUrl;  // without --site
  const Case cases[] = {
      {{}, RunMode::Window, build, standard, false, 0, ""},
      {{"/starup"}, RunMode::Window, build, standard, false, 0, ""},
      {{"-platform", "offscreen"}, RunMode::Window, build, standard, false, 0, ""},  // the toolkit's own
      {{"--site", site}, RunMode::Window, site, standard, false, 0, ""},
      {{"--headless"}, RunMode::Headless, build, standard, false, 0, ""},
      {{"--headless", "--threads", "30", "--retry-302", "--for", "90", "--site", site},
       RunMode::Headless, site, 30, true, 90, ""},
      {{"--for=5", "--threads=0", "--headless"}, RunMode::Headless, build, 0, false, 5, ""},
      {{"--search", "%a% \"b c\""}, RunMode::Search, build, standard, false, 0, "%a% \"b c\""},
      {{"--search", ""}, RunMode::Search, build, standard, false, 0, ""},
      {{"--search", "--status"}, RunMode::Search, build, standard, false, 0, "--status"},  // a value, not an option
      {{"--search", "x", "--format", "csv"}, RunMode::Search, build, standard, false, 0, "x", HitFormat::Csv},
      {{"--format=tsv", "--search=x"}, RunMode::Search, build, standard, false, 0, "x", HitFormat::Tsv},
      {{"--search", "x", "--format", "json"}, RunMode::Search, build, standard, false, 0, "x", HitFormat::Json},
      {{"--search", "x", "--format", "text"}, RunMode::Search, build, standard, false, 0, "x", HitFormat::Text},
      {{"--status"}, RunMode::Status, build, standard, false, 0, ""},
      {{"--status", "--threads", "99", "--help"}, RunMode::Help, build, standard, false, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(c.args, line, error)) << error;
    EXPECT_EQ(line.mode, c.mode);
    EXPECT_EQ(line.site, c.site);
    EXPECT_EQ(line.threads, c.threads);
    EXPECT_EQ(line.retry302, c.retry302);
    EXPECT_EQ(line.forSeconds, c.forSeconds);
    EXPECT_EQ(line.searchTerms, c.terms);
    EXPECT_EQ(line.searchFormat, c.format);
  }
}

TEST(CommandLine, TheRateCapTakesFetchesPerSecondWithAFraction) {
  const std::pair<std::string, double> taken[] = {{"2", 2.0}, {"0.5", 0.5}, {".25", 0.25}, {"1000", 1000.0}};
  for (const auto& [value, rate] : taken) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--headless", "--max-rate", value}, line, error)) << value << ": " << error;
    EXPECT_DOUBLE_EQ(line.maxRate, rate);
  }
  for (const char* value : {"0", "0.0", "-1", "1e3", "1,5", "5.", "1001", "", "two"}) {
    CommandLine line;
    std::string error;
    EXPECT_FALSE(ParseCommandLine({"--max-rate", value}, line, error)) << value;
    EXPECT_NE(error.find("--max-rate"), std::string::npos) << error;
  }
  CommandLine line;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({}, line, error));
  EXPECT_EQ(line.maxRate, 0.0);  // no cap
}

TEST(CommandLine, RefusesWithAMessageNamingTheCulprit) {
  struct Case {
    Args args;
    std::string named;  // what the message must mention
  };
  const Case cases[] = {
      {{"--frob"}, "--frob"},
      {{"--headless", "--thread", "5"}, "--thread"},
      {{"--headless", "--threads"}, "--threads"},
      {{"--headless", "--threads", "31"}, "--threads"},
      {{"--headless", "--threads", "-1"}, "--threads"},
      {{"--headless", "--threads", "five"}, "--threads"},
      {{"--headless", "--for", "0"}, "--for"},
      {{"--headless", "--for", "99999999999"}, "--for"},
      {{"--headless", "--headless"}, "--headless"},
      {{"--headless=yes"}, "--headless"},
      {{"--threads", "5"}, "--threads"},
      {{"--retry-302"}, "--retry-302"},
      {{"--status", "--for", "5"}, "--for"},
      {{"--status", "--site", "http://localhost/x"}, "--site"},
      {{"--headless", "--status"}, "--status"},
      {{"--search"}, "--search"},
      {{"--search", "x", "--format", "xml"}, "--format"},
      {{"--search", "x", "--format", "CSV"}, "--format"},
      {{"--status", "--format", "csv"}, "--format"},
      {{"--headless", "extra"}, "extra"},
      {{"--site", "ftp://localhost/x"}, "--site"},
      {{"--status", "--max-rate", "2"}, "--max-rate"},
      {{"--search", "x", "--refresh", "0"}, "--refresh"},
      {{"--headless", "--refresh", "-1"}, "--refresh"},
      {{"--headless", "--refresh", "36501"}, "--refresh"},
      {{"--status", "--database"}, "--database"},
      {{"--status", "--database", ""}, "--database"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    CommandLine line;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(c.args, line, error));
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
  }
}

TEST(CommandLine, TheDatabaseFileServesEveryRunAndRefreshTheCrawls) {
  const std::string here = std::filesystem::current_path().string();
  const std::pair<Args, std::string> files[] = {
      {{"--status", "--database", "/tmp/a.mdb"}, "/tmp/a.mdb"},
      {{"--search", "x", "--database=sub/../b.mdb"}, here + "/b.mdb"},
      {{"--headless", "--database", "c.mdb"}, here + "/c.mdb"},
      {{"--database", "/tmp/d.mdb"}, "/tmp/d.mdb"},
      {{"--status"}, ""},  // the default file
  };
  for (const auto& [args, file] : files) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(args, line, error)) << error;
    EXPECT_EQ(line.database, file);
  }
  const std::pair<Args, int> refresh[] = {
      {{"--headless"}, CommandLine::NoRefresh}, {{"--headless", "--refresh", "0"}, 0}, {{"--refresh=30"}, 30}};
  for (const auto& [args, days] : refresh) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(args, line, error)) << error;
    EXPECT_EQ(line.refreshDays, days);
  }
}

// Each option's name as it leads a line of the help or a row of the
// README's option table.
std::set<std::string> LeadingOptions(const std::string& text, const std::string& lineStart) {
  std::set<std::string> names;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with(lineStart + "--")) continue;
    const size_t end = line.find_first_of(" =`", lineStart.size());
    names.insert(line.substr(lineStart.size(), end - lineStart.size()));
  }
  return names;
}

TEST(CommandLine, HelpAndTheReadmeListEveryOptionTheProgramTakes) {
  const std::vector<std::string> names = OptionNames();
  const std::set<std::string> taken(names.begin(), names.end());
  for (const std::string& name : names) {
    CommandLine line;
    std::string error;
    ParseCommandLine({name}, line, error);
    EXPECT_EQ(error.find("unknown option"), std::string::npos) << name;
  }
  EXPECT_EQ(LeadingOptions(UsageText("VeltIndexer"), "  "), taken);

  std::ifstream file(VELT_README_PATH);
  const std::string readme((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  // Rows may name an option together with those it goes with.
  std::set<std::string> inReadme;
  std::istringstream rows(readme);
  for (std::string row; std::getline(rows, row);) {
    if (!row.starts_with("| `--")) continue;
    const std::string cell = row.substr(0, row.find(" |", 2));
    for (size_t at = cell.find("--"); at != std::string::npos; at = cell.find("--", at + 2))
      inReadme.insert(cell.substr(at, cell.find_first_of(" `]=", at) - at));
  }
  EXPECT_EQ(inReadme, taken);
}

}  // namespace
}  // namespace velt
