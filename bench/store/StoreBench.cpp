// Rates of the crawler's statements and of the search through the store's
// session, each beside the same work done straight on SQLite in the same
// run, printed as ratios (session / direct; 1.0 means no overhead).
//
//   store_bench [rows-for-writes] [rows-for-search]
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "store/IndexTable.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Report(const char* what, int count, double session, double direct) {
  std::printf("%-34s session %10.0f/s   sqlite %10.0f/s   ratio %.2f\n", what, count / session,
              count / direct, direct / session);
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

// Statement 8 then statement 9 for `rows` rows, one statement per commit.
void BenchWrites(const std::string& folder, int rows) {
  velt::TDatabaseJet session;
  OpenSession(session, folder + "writes.mdb");
  sqlite3* direct = OpenDirect(folder + "writes.sqlite");
  std::string error;

  const double sessionInsert = Seconds([&] {
    for (int i = 0; i < rows; ++i) Check(session.ExecSQL(velt::BuildClaimInsertSql(Kbid(i), Url(i)), error), error);
  });
  const double directInsert = Seconds([&] {
    for (int i = 0; i < rows; ++i)
      DirectExec(direct, "INSERT INTO VELTINDEX(KBID,URL,RESCODE) VALUES(" + Lit(Kbid(i)) + "," + Lit(Url(i)) + ",0)");
  });
  Report("insert (claim, statement 8)", rows, sessionInsert, directInsert);

  const double sessionUpdate = Seconds([&] {
    for (int i = 0; i < rows; ++i) Check(session.ExecSQL(SessionUpdate(i), error), error);
  });
  const double directUpdate = Seconds([&] {
    for (int i = 0; i < rows; ++i) DirectExec(direct, DirectUpdate(i));
  });
  Report("point update (statement 9)", rows, sessionUpdate, directUpdate);
  sqlite3_close(direct);
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
