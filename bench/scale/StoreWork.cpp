#include "bench/scale/StoreWork.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "session/SearchTerms.h"
#include "store/IndexTable.h"

namespace velt::scale {

namespace {

[[noreturn]] void Fail(const std::string& error) {
  std::fprintf(stderr, "store: %s\n", error.c_str());
  std::exit(1);
}

// The dispatcher's query step: the number, or -1.
long long QueryNumber(TDatabase& db, const char* sql, long long fallback) {
  CriticalSectionGuard hold(DatabaseLock);
  Recordset rs;
  std::string error;
  if (!db.OpenQuery(sql, rs, error)) Fail(error);
  const long long value = NullTo(db.FieldByName(rs, "KBID"), Variant(static_cast<std::int64_t>(fallback))).AsInteger();
  db.CloseQuery(rs);
  return value;
}

void Exec(TDatabase& db, const std::vector<std::string>& sqls) {
  CriticalSectionGuard hold(DatabaseLock);
  std::string error;
  if (!db.ExecSQLList(sqls, error)) Fail(error);
}

}  // namespace

double DispatcherPassSeconds(TDatabase& db, int passes) {
  double total = 0;
  for (int i = 0; i < passes; ++i) {
    const auto start = std::chrono::steady_clock::now();
    QueryNumber(db, SqlMinUnfetchedKbid, -1);
    const long long redirected = QueryNumber(db, BuildMinRedirectedKbidAboveSql("000000").c_str(), -1);
    QueryNumber(db, SqlMaxKbid, 99999);
    if (redirected < 0) Fail("the database holds no 302 row to claim");
    const std::string kbid = std::to_string(redirected);
    Exec(db, {BuildDeleteRowSql(kbid), BuildClaimInsertSql(kbid, "http://localhost/default.aspx?scid=kb;ja;" + kbid)});
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Exec(db, {BuildRowUpdateSql(302, "", "", "", "", "20240101000000", "20240101000001", kbid)});
  }
  return total / passes;
}

void RefetchArticles(TDatabase& db, int count, int rows) {
  for (int i = 0; i < count; ++i) {
    const std::string kbid = std::to_string(100000 + static_cast<long long>(i) * rows / count);
    Exec(db, {BuildDeleteRowSql(kbid), BuildClaimInsertSql(kbid, "http://localhost/default.aspx?scid=kb;ja;" + kbid)});
    Exec(db, {BuildRowUpdateSql(200, "Fetched again " + kbid, std::string(120 + i % 80, 'd'), "kbhowto kbinfo", "",
                                "20250101000000", "20250101000001", kbid)});
  }
}

std::string SearchStatement(const QString& input) { return BuildSearchSql(ParseSearchTerms(input)); }

int RunStoreSearch(const QString& input) {
  const std::string sql = SearchStatement(input);
  CriticalSectionGuard hold(DatabaseLock);
  Recordset rs;
  std::string error;
  if (!Database->OpenQuery(sql, rs, error)) Fail(error);
  int hits = 0;
  std::size_t bytes = 0;
  while (!Database->IsEmpty(rs)) {
    ++hits;
    for (int i = 0, fields = Database->FieldCount(rs); i < fields; ++i)
      bytes += NullTo(Database->FieldByIndex(rs, i), std::string()).AsText().size();
    Database->Next(rs);
  }
  Database->CloseQuery(rs);
  return bytes > 0 ? hits : 0;
}

}  // namespace velt::scale
