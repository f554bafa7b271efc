// The article index table VELTINDEX, its view VELTINDEXV, every SQL text
// the program sends, and the upkeep that runs once at start-up.
//
// All SQL texts live here so that the whole dialect the store must
// understand is in one place. Formats use printf conventions ("%s" takes a
// value already quoted with SqlQuote, "%d" an integer); the Build functions
// fill them and quote the values themselves.
//
// RunIndexUpkeep runs on the main thread before any other thread uses the
// database and takes no lock; the builders are pure and thread-safe.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "store/DatabaseIO.h"

namespace velt {

inline constexpr char IndexTableName[] = "VELTINDEX";
inline constexpr char IndexViewName[] = "VELTINDEXV";
// Serves the dispatcher's MIN/MAX queries (4-6) and the status counts in
// time independent of the table's size.
inline constexpr char DispatchIndexName[] = "IX_VELTINDEX_RESCODE";

// 1, 2: schema.
inline constexpr char SqlCreateIndexTable[] =
    "CREATE TABLE VELTINDEX ( KBID TEXT(6) NOT NULL, URL TEXT(100) NOT NULL, RESCODE INTEGER, "
    "TITLE MEMO, DESCRIPTION MEMO, KEYWORDS MEMO, KBPARENTS MEMO, GETBEGIN TEXT(14), "
    "GETEND TEXT(14), CONSTRAINT PK_VELTINDEX PRIMARY KEY (KBID));";
inline constexpr char SqlCreateIndexView[] =
    "CREATE VIEW VELTINDEXV AS SELECT KBID,URL,TITLE,DESCRIPTION,KEYWORDS,KBPARENTS FROM "
    "VELTINDEX WHERE (RESCODE=200)";
inline constexpr char SqlCreateDispatchIndex[] = "CREATE INDEX IX_VELTINDEX_RESCODE ON VELTINDEX (RESCODE, KBID)";
// 3: rows left claimed by an earlier run become rows to fetch.
inline constexpr char SqlResetClaimedRows[] = "UPDATE VELTINDEX SET RESCODE=NULL WHERE (RESCODE=0)";
// 4-6: the dispatcher's choice of the next article number.
inline constexpr char SqlMinUnfetchedKbid[] =
    "SELECT MIN(KBID) AS KBID FROM VELTINDEX WHERE (RESCODE IS NULL)";
// The retry walks the rows answered 302 upwards, each once a run: the
// lowest above the one it chose last.
inline constexpr char SqlMinRedirectedKbidAboveFormat[] =
    "SELECT MIN(KBID) AS KBID FROM VELTINDEX WHERE (RESCODE=302) AND (KBID>%s)";
inline constexpr char SqlMaxKbid[] = "SELECT MAX(KBID) AS KBID FROM VELTINDEX";
// The URL of one row: the site a file's articles came from.
inline constexpr char SqlRowUrlFormat[] = "SELECT URL FROM VELTINDEX WHERE (KBID=%s)";
// 7, 8: the claim of one number.
inline constexpr char SqlDeleteRowFormat[] = "DELETE FROM VELTINDEX WHERE (KBID=%s)";
inline constexpr char SqlInsertClaimFormat[] =
    "INSERT INTO VELTINDEX(KBID,URL,RESCODE) VALUES(%s,%s,0)";
// 9: a worker's result.
inline constexpr char SqlUpdateRowFormat[] =
    "UPDATE VELTINDEX SET RESCODE=%d,TITLE=%s,DESCRIPTION=%s,KEYWORDS=%s,KBPARENTS=%s,"
    "GETBEGIN=%s,GETEND=%s WHERE KBID=%s";
// The searchable text of an article: these columns joined, cut to this
// many characters. The search's statement (10) and the search index that
// serves it (RunIndexUpkeep) are both made from this one definition, so
// that the index always recognises the search.
inline constexpr std::array<const char*, 5> SearchableColumns = {"KBID", "URL", "TITLE", "DESCRIPTION",
                                                                 "KEYWORDS"};
inline constexpr int SearchableTextLength = 5000;
// A refresh answered 304: the row's texts stay, its fetch times are new.
inline constexpr char SqlUpdateFetchTimesFormat[] = "UPDATE VELTINDEX SET GETBEGIN=%s,GETEND=%s WHERE KBID=%s";
// The refresh's choice: the stored rows by their last fetch, oldest first
// and by number within one second, walked with the last row chosen as the
// cursor. Claimed and never-fetched rows have no fetch time.
inline constexpr char SqlRefreshSameTimeFormat[] =
    "SELECT MIN(KBID) AS KBID FROM VELTINDEX WHERE (GETBEGIN=%s) AND (KBID>%s)";
inline constexpr char SqlRefreshNextTimeFormat[] =
    "SELECT MIN(GETBEGIN) AS GETBEGIN FROM VELTINDEX WHERE (GETBEGIN>%s) AND (GETBEGIN<=%s)";
inline constexpr char SqlRowResCodeFormat[] = "SELECT RESCODE FROM VELTINDEX WHERE (KBID=%s)";
inline constexpr char RefreshIndexName[] = "IX_VELTINDEX_GETBEGIN";
inline constexpr char SqlCreateRefreshIndex[] = "CREATE INDEX IX_VELTINDEX_GETBEGIN ON VELTINDEX (GETBEGIN, KBID)";
// 10: the search; the WHERE text follows.
extern const std::string SqlSearchSelect;           // SELECT the columns FROM VELTINDEXV
extern const std::string SqlSearchConditionPrefix;  // LEFT(KBID&URL&...,5000) LIKE
// 11-15: the status report.
inline constexpr char SqlCountAll[] = "SELECT COUNT(*) FROM VELTINDEX";
inline constexpr char SqlCountExisting[] = "SELECT COUNT(*) FROM VELTINDEX WHERE (RESCODE=200)";
inline constexpr char SqlCountRedirected[] = "SELECT COUNT(*) FROM VELTINDEX WHERE (RESCODE=302)";
inline constexpr char SqlMinExistingKbid[] = "SELECT MIN(KBID) FROM VELTINDEX WHERE (RESCODE=200)";
inline constexpr char SqlMaxExistingKbid[] = "SELECT MAX(KBID) FROM VELTINDEX WHERE (RESCODE=200)";

std::string BuildMinRedirectedKbidAboveSql(const std::string& kbid);
std::string BuildRowUrlSql(const std::string& kbid);
std::string BuildFetchTimesUpdateSql(const std::string& getBegin, const std::string& getEnd, const std::string& kbid);
std::string BuildRefreshSameTimeSql(const std::string& getBegin, const std::string& aboveKbid);
std::string BuildRefreshNextTimeSql(const std::string& afterGetBegin, const std::string& beforeGetBegin);
std::string BuildRowResCodeSql(const std::string& kbid);
std::string BuildDeleteRowSql(const std::string& kbid);
std::string BuildClaimInsertSql(const std::string& kbid, const std::string& url);
std::string BuildRowUpdateSql(int resCode, const std::string& title, const std::string& description,
                              const std::string& keywords, const std::string& kbParents,
                              const std::string& getBegin, const std::string& getEnd,
                              const std::string& kbid);
// One LIKE condition for a search term.
std::string BuildSearchCondition(const std::string& term);
// The whole search statement: no WHERE text without terms, otherwise
// " WHERE (" first ")" and " AND (" next ")" for each further term.
std::string BuildSearchSql(const std::vector<std::string>& terms);

// The start-up upkeep, in order: create the table and the view when missing
// (names compared without regard to letter case), reopen after a creation,
// create the dispatcher's and the refresh's indexes when missing (no log
// line), bring the
// search index up to date, let nullable text columns hold zero-length
// text, reset claimed rows.
// Each successful step that has a log line passes it to `logInfo`. Stops at
// the first failure, with that step's error text in `error`.
//
// Bringing the search index up to date fills it anew when it is missing or
// was made under other rules (a file of an earlier version), which takes
// long on a large table; when that indexed any rows, it logs SEARCH INDEX
// REBUILT. With `keepAlive` given, that step
// runs on a thread of its own while the calling thread calls `keepAlive`
// every few tens of milliseconds (a window keeps itself painted there; it
// must not use the database), so the call still returns only when done.
// Once `keepAlive` answers false (the window was closed) the step is
// interrupted and undone, to be done at the next start, and the upkeep
// fails with kUpkeepAbandonedText.
inline constexpr char kUpkeepAbandonedText[] = "INDEX UPKEEP ABANDONED";
bool RunIndexUpkeep(TDatabaseJet& db, const std::function<void(const std::string&)>& logInfo,
                    std::string& error, const std::function<bool()>& keepAlive = {});

}  // namespace velt
