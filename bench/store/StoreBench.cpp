// Rates of the crawler's statements and of the search through the store's
// session, each beside the same work done straight on SQLite in the same
// run, printed as ratios (session / direct; 1.0 means no overhead).
//
// The writes have two baselines: a plain table with no rules and no search
// index, which shows what the store's schema costs as a whole; and the
// store's own file (same schema, rules triggers and search index) with the
// session's statements as the provider translates them, run on a bare
// engine connection, which shows the provider's own cost.
//
//   store_bench [rows-for-writes] [rows-for-search]
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "store/IndexTable.h"
#include "store/provider/SqlDialect.h"
#include "store/provider/SqlFunctions.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void ReportWrites(const char* what, int count, double session, double plain, double sameSchema) {
  std::printf("%s\n  session %8.0f/s   plain-table sqlite %8.0f/s ratio %.2f   same-schema sqlite %8.0f/s ratio %.2f\n",
              what, count / session, count / plain, plain / session, count / sameSchema, sameSchema / session);
}

std::string Kbid(int i) { return std::to_string(100000 + i); }
std::string Url(int i) { return "http://kb.example.test/default.aspx?scid=kb;ja;" + Kbid(i); }
std::string Title(int i) {
  return (i % 100 == 0 ? "How to back up the Registry " : "How to configure the mail client ") + Kbid(i);
}
const std::string kDescription(150, 'd');
const std::string kKeywords = "kbhowto kbinfo kbenv kbwindows kbnetwork";

void Check(bool ok, const std::string& error) {
  if (!ok) {
    std::fprintf(stderr, "failed: %s\n", error.c_str());
    std::exit(1);
  }
}

void DirectExec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite failed: %s\n", message ? message : "");
    std::exit(1);
  }
}

std::string Lit(const std::string& s) {  // SQLite literal
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

sqlite3* OpenDirect(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) std::exit(1);
  DirectExec(db,
             "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
             "CREATE TABLE VELTINDEX (KBID TEXT NOT NULL PRIMARY KEY, URL TEXT NOT NULL, RESCODE INTEGER,"
             " TITLE TEXT, DESCRIPTION TEXT, KEYWORDS TEXT, KBPARENTS TEXT, GETBEGIN TEXT, GETEND TEXT);"
             "CREATE VIEW VELTINDEXV AS SELECT KBID,URL,TITLE,DESCRIPTION,KEYWORDS,KBPARENTS FROM VELTINDEX"
             " WHERE RESCODE=200;");
  return db;
}

velt::TDatabaseJet& OpenSession(velt::TDatabaseJet& session, const std::string& path) {
  std::string error;
  Check(session.Open("", "", path, error), error);
  Check(velt::RunIndexUpkeep(session, [](const std::string&) {}, error), error);
  return session;
}

std::string DirectUpdate(int i) {
  return "UPDATE VELTINDEX SET RESCODE=200,TITLE=" + Lit(Title(i)) + ",DESCRIPTION=" + Lit(kDescription) +
         ",KEYWORDS=" + Lit(kKeywords) + ",KBPARENTS='',GETBEGIN='20240101000000',GETEND='20240101000001'"
         " WHERE KBID=" + Lit(Kbid(i));
}

std::string SessionUpdate(int i) {
  return velt::BuildRowUpdateSql(200, Title(i), kDescription, kKeywords, "", "20240101000000",
                                 "20240101000001", Kbid(i));
}

// A file made by the session (schema, rules, search index), then used on
// a bare engine connection as the provider sets its connections up.
sqlite3* OpenSameSchema(const std::string& path) {
  {
    velt::TDatabaseJet session;
    OpenSession(session, path);
  }
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) std::exit(1);
  velt::provider::InstallSqlFunctions(db);
  DirectExec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
  return db;
}

std::vector<std::string> Translated(const std::vector<std::string>& statements) {
  std::vector<std::string> translated;
  for (const std::string& sql : statements) translated.push_back(velt::provider::TranslateSql(sql).sql);
  return translated;
}

// Statement 8 then statement 9 for `rows` rows, one statement per commit.
void BenchWrites(const std::string& folder, int rows) {
  velt::TDatabaseJet session;
  OpenSession(session, folder + "writes.mdb");
  sqlite3* plain = OpenDirect(folder + "writes.sqlite");
  sqlite3* same = OpenSameSchema(folder + "same.mdb");
  std::string error;

  std::vector<std::string> inserts, updates, plainInserts, plainUpdates;
  for (int i = 0; i < rows; ++i) {
    inserts.push_back(velt::BuildClaimInsertSql(Kbid(i), Url(i)));
    updates.push_back(SessionUpdate(i));
    plainInserts.push_back("INSERT INTO VELTINDEX(KBID,URL,RESCODE) VALUES(" + Lit(Kbid(i)) + "," + Lit(Url(i)) + ",0)");
    plainUpdates.push_back(DirectUpdate(i));
  }
  const std::vector<std::string> sameInserts = Translated(inserts), sameUpdates = Translated(updates);
  // The three take turns, a tenth of the rows at a time, so that other
  // work on the machine weighs on each alike.
  struct Times {
    double session = 0, plain = 0, same = 0;
  };
  const auto measure = [&](const std::vector<std::string>& ours, const std::vector<std::string>& plainSqls,
                           const std::vector<std::string>& sameSqls) {
    Times times;
    const std::size_t turn = (ours.size() + 9) / 10;
    for (std::size_t begin = 0; begin < ours.size(); begin += turn) {
      const std::size_t end = std::min(ours.size(), begin + turn);
      times.session += Seconds([&] {
        for (std::size_t i = begin; i < end; ++i) Check(session.ExecSQL(ours[i], error), error);
      });
      times.plain += Seconds([&] {
        for (std::size_t i = begin; i < end; ++i) DirectExec(plain, plainSqls[i]);
      });
      times.same += Seconds([&] {
        for (std::size_t i = begin; i < end; ++i) DirectExec(same, sameSqls[i]);
      });
    }
    return times;
  };
  const Times insert = measure(inserts, plainInserts, sameInserts);
  ReportWrites("insert (claim, statement 8)", rows, insert.session, insert.plain, insert.same);
  const Times update = measure(updates, plainUpdates, sameUpdates);
  ReportWrites("point update (statement 9)", rows, update.session, update.plain, update.same);
  sqlite3_close(plain);
  sqlite3_close(same);
}

// The search statement over `rows` stored articles.
void BenchSearch(const std::string& folder, int rows) {
  velt::TDatabaseJet session;
  OpenSession(session, folder + "search.mdb");
  sqlite3* direct = OpenDirect(folder + "search.sqlite");
  std::string error;
  Check(session.ExecSQL("BEGIN", error), error);
  DirectExec(direct, "BEGIN");
  for (int i = 0; i < rows; ++i) {
    Check(session.ExecSQL(velt::BuildClaimInsertSql(Kbid(i), Url(i)), error), error);
    Check(session.ExecSQL(SessionUpdate(i), error), error);
    DirectExec(direct, "INSERT INTO VELTINDEX(KBID,URL,RESCODE) VALUES(" + Lit(Kbid(i)) + "," + Lit(Url(i)) + ",0)");
    DirectExec(direct, DirectUpdate(i));
  }
  Check(session.ExecSQL("COMMIT", error), error);
  DirectExec(direct, "COMMIT");

  long sessionHits = 0;
  const double sessionScan = Seconds([&] {
    velt::Recordset rs;
    Check(session.OpenQuery(velt::BuildSearchSql({"%registry%"}), rs, error), error);
    for (; !session.IsEmpty(rs); session.Next(rs)) {
      for (int f = 0; f < session.FieldCount(rs); ++f) session.FieldByIndex(rs, f);
      ++sessionHits;
    }
    session.CloseQuery(rs);
  });
  long directHits = 0;
  const double directScan = Seconds([&] {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(direct,
                       "SELECT KBID,URL,TITLE,DESCRIPTION,KEYWORDS FROM VELTINDEXV WHERE "
                       "substr(KBID||URL||ifnull(TITLE,'')||ifnull(DESCRIPTION,'')||ifnull(KEYWORDS,''),1,5000)"
                       " LIKE '%registry%'",
                       -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      for (int f = 0; f < sqlite3_column_count(stmt); ++f) sqlite3_column_text(stmt, f);
      ++directHits;
    }
    sqlite3_finalize(stmt);
  });
  if (sessionHits != directHits) {
    std::fprintf(stderr, "hit counts differ: %ld vs %ld\n", sessionHits, directHits);
    std::exit(1);
  }
  std::printf("LIKE scan over %d rows (%ld hits): session %.3f s   sqlite %.3f s   ratio %.2f\n", rows,
              sessionHits, sessionScan, directScan, directScan / sessionScan);
  sqlite3_close(direct);
}

}  // namespace

int main(int argc, char** argv) {
  const int writeRows = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int searchRows = argc > 2 ? std::atoi(argv[2]) : 100000;
  std::string folder = (std::filesystem::temp_directory_path() / "velt-store-bench-XXXXXX").string();
  if (!::mkdtemp(folder.data())) return 1;
  folder += "/";
  BenchWrites(folder, writeRows);
  BenchSearch(folder, searchRows);
  std::filesystem::remove_all(folder);
  return 0;
}
