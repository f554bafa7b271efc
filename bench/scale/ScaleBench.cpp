// Every user-visible operation on a database of a finished crawl (made by
// tools/filldb), each beside a baseline measured in the same run, printed
// as a ratio. bench/scale/run.sh makes the databases and runs this.
//
//   scale_bench <full.mdb> <small.mdb> <full.counts> <shell extension>
//
// The files are copied to a scratch folder first; they stay as they are.
#include <QApplication>
#include <QPlainTextEdit>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/ArticleSearch.h"
#include "session/StatusReport.h"
#include "bench/scale/ShellRunner.h"
#include "bench/scale/StoreWork.h"
#include "bench/scale/Timing.h"
#include "app/MainThreadWakeup.h"
#include "bench/scale/WindowRun.h"
#include "platform/MainThread.h"
#include "store/IndexTable.h"
#include "store/provider/Connection.h"
#include "store/provider/SqliteCalls.h"
#include "tools/filldb/ArticleText.h"

namespace fs = std::filesystem;

namespace velt::scale {
namespace {

void Row(const char* what, const char* measured, double value, const char* baseline, double base,
         const char* target = "") {
  std::printf("%-30s %s %10.3f ms   %s %10.3f ms   ratio %7.3f %s\n", what, measured, value * 1e3, baseline,
              base * 1e3, value / base, target);
}

std::map<std::string, int> ReadCounts(const std::string& path) {
  std::map<std::string, int> counts;
  std::ifstream in(path);
  std::string name;
  int value = 0;
  while (in >> name >> value) counts[name] = value;
  return counts;
}

void Require(bool ok, const std::string& what) {
  if (ok) return;
  std::fprintf(stderr, "check failed: %s\n", what.c_str());
  std::exit(1);
}

// Free pages of the file, read beside the session (or after it).
long long FreePages(const std::string& file) {
  sqlite3* db = nullptr;
  long long pages = -1;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA freelist_count", -1, &query, nullptr) == SQLITE_OK &&
        sqlite3_step(query) == SQLITE_ROW)
      pages = sqlite3_column_int64(query, 0);
    sqlite3_finalize(query);
  }
  sqlite3_close(db);
  Require(pages >= 0, "the free pages of " + file + " could be read");
  return pages;
}

// The shell's plain scan for the same terms: LIKE over the same text.
std::string ShellSearchSql(const std::vector<std::string>& terms) {
  std::string sql = "SELECT KBID,URL,TITLE,DESCRIPTION,KEYWORDS FROM VELTINDEXV WHERE ";
  for (std::size_t i = 0; i < terms.size(); ++i) {
    sql += (i ? " AND " : "") + std::string("substr(KBID||URL||coalesce(TITLE,'')||coalesce(DESCRIPTION,'')||"
                                            "coalesce(KEYWORDS,''),1,5000) LIKE '") + terms[i] + "'";
  }
  return sql;
}

void CompareSearch(const char* name, const std::vector<std::string>& terms, int expectedHits,
                   const std::string& file, const std::string& extension) {
  QString input;
  for (const std::string& term : terms) input += QString::fromStdString(term) + QLatin1Char(' ');
  int hits = 0;
  const double store = BestSeconds(3, [&] { hits = RunStoreSearch(input); });
  Require(hits == expectedHits, std::string(name) + ": " + std::to_string(hits) + " hits, planted " +
                                    std::to_string(expectedHits));
  QPlainTextEdit result, err;
  const double window = Seconds([&] { RunArticleSearch(input, result, err, [] { return false; }); });

  const std::string select = ShellSearchSql(terms);
  std::string script;
  for (int i = 0; i < 3; ++i) script += ".output /dev/null\n" + select + ";\n.output stdout\n";
  script += ".timer off\nSELECT count(*) FROM (" + select + ");\n";
  const ShellRun shell = RunShell(file, extension, script);
  Require(shell.lines.size() == 1 && std::atoi(shell.lines[0].c_str()) == hits,
          std::string(name) + ": the shell found " + (shell.lines.empty() ? "?" : shell.lines[0]));
  const double scan = *std::min_element(shell.seconds.begin(), shell.seconds.end());
  std::printf("search %s: %d hits, the same rows count as the shell's (statement: %s)\n", name, hits,
              SearchStatement(input).c_str());
  Row(("  search " + std::string(name)).c_str(), "store", store, "shell LIKE scan", scan,
      hits < 100 ? "(target <= 0.1)" : "");
  Row(("  search " + std::string(name) + " +display").c_str(), "window", window, "shell LIKE scan", scan);
}

void CompareStatus(const std::string& file, const std::string& extension) {
  StatusFigures figures;
  const double ours = BestSeconds(5, [&] { figures = QueryStatusFigures(); });
  std::string script;
  for (int i = 0; i < 5; ++i) {
    for (const char* sql : {SqlCountAll, SqlCountExisting, SqlCountRedirected, SqlMinExistingKbid, SqlMaxExistingKbid})
      script += std::string(sql) + ";\n";
  }
  const ShellRun shell = RunShell(file, extension, script);
  Require(shell.seconds.size() == 25 && shell.lines.size() == 25, "the shell ran the five queries");
  Require(shell.lines[0] == std::to_string(figures.total) && shell.lines[1] == std::to_string(figures.existing) &&
              shell.lines[3] == figures.lowest && shell.lines[4] == figures.highest,
          "the shell's figures equal the report's");
  double best = 1e300;
  for (int i = 0; i < 5; ++i) {
    double sum = 0;
    for (int k = 0; k < 5; ++k) sum += shell.seconds[i * 5 + k];
    best = std::min(best, sum);
  }
  std::printf("status report: %lld rows, %lld existing, %lld absent, %s..%s\n",
              static_cast<long long>(figures.total), static_cast<long long>(figures.existing),
              static_cast<long long>(figures.absent), figures.lowest.c_str(), figures.highest.c_str());
  Row("  status report (5 queries)", "store", ours, "sqlite3 shell", best);
}

// A file of an earlier version: its search index was folded by other
// rules, so the start-up fills it anew. Beside it, the shell indexing the
// same text unfolded into a scratch index of the same kind.
void CompareRebuild(const std::string& file, const std::string& extension) {
  {
    TDatabaseJet db;
    std::string error;
    Require(db.Open("", "", file, error), error);
    provider::ExecEngineSql(db.Connection->Handle(), "UPDATE __velt_search_relations SET text_version=0");
  }
  double rebuild = 0;
  {
    WindowRun window(file);
    rebuild = window.StartupSeconds();
    window.Close();
  }
  const ShellRun shell = RunShell(
      file, extension,
      "CREATE VIRTUAL TABLE temp.scratch USING fts5(body, content='', detail=none, columnsize=0, "
      "tokenize='trigram case_sensitive 1');\n"
      "INSERT INTO temp.scratch(rowid, body) SELECT rowid, substr(KBID||URL||coalesce(TITLE,'')||"
      "coalesce(DESCRIPTION,'')||coalesce(KEYWORDS,''),1,5000) FROM VELTINDEX;\n");
  double indexing = 0;
  for (double seconds : shell.seconds) indexing += seconds;
  Row("start-up, search index renewed", "window", rebuild, "shell trigram index", indexing);
}

int Run(const std::string& fullPath, const std::string& small, const std::string& countsPath,
        const std::string& extension) {
  const auto counts = ReadCounts(countsPath);
  const fs::path scratch = fs::temp_directory_path() / ("scale_bench_" + std::to_string(::getpid()));
  fs::create_directories(scratch);
  const std::string fullCopy = (scratch / "full.mdb").string();
  const std::string smallCopy = (scratch / "small.mdb").string();
  const double copy = Seconds([&] { fs::copy_file(fullPath, fullCopy); });
  fs::copy_file(small, smallCopy);
  std::printf("database: %d rows, %.0f MB\n", counts.at("rows"), fs::file_size(fullPath) / 1e6);

  double smallStartup = 0;
  {
    WindowRun window(smallCopy);
    smallStartup = window.StartupSeconds();
    window.Close();
  }
  const std::string rows = std::to_string(counts.at("rows") / 1000) + "k";
  const char* full = rows.c_str();
  CompareRebuild(fullCopy, extension);
  WindowRun window(fullCopy);
  Row("start-up (window, upkeep)", full, window.StartupSeconds(), "1k", smallStartup);

  TDatabaseJet smallDb;
  std::string error;
  Require(smallDb.Open("", "", smallCopy, error), error);
  double passFull = 1e300, passSmall = 1e300;
  for (int round = 0; round < 3; ++round) {
    passFull = std::min(passFull, DispatcherPassSeconds(*Database, 300));
    passSmall = std::min(passSmall, DispatcherPassSeconds(smallDb, 300));
  }
  smallDb.Close();
  Row("dispatcher pass (4,5,6,claim)", full, passFull, "1k", passSmall, "(target <= 2)");

  CompareStatus(fullCopy, extension);
  CompareSearch("few hits", filldb::RareSearch().terms, counts.at("rare-hits"), fullCopy, extension);
  CompareSearch("many hits", filldb::CommonSearch().terms, counts.at("common-hits"), fullCopy, extension);

  RefetchArticles(*Database, 1000, counts.at("rows"));
  const long long freeBefore = FreePages(fullCopy);
  const double shutdown = window.Close();
  Row("shutdown, 1,000 rows changed", full, shutdown, "file copy", copy, "(target <= 2)");
  std::printf("free pages: %lld before the close, %lld after; compacted file: %.0f MB\n", freeBefore,
              FreePages(fullCopy), fs::file_size(fullCopy) / 1e6);
  fs::remove_all(scratch);
  return 0;
}

}  // namespace
}  // namespace velt::scale

int main(int argc, char* argv[]) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s <full.mdb> <small.mdb> <full.counts> <shell extension>\n", argv[0]);
    return 2;
  }
  velt::SetMainThread();
  QApplication application(argc, argv);
  velt::ScopedMainThreadWakeup wakeup;
  return velt::scale::Run(argv[1], argv[2], argv[3], argv[4]);
}
